#include "platform/uppercase.h"

#include <memory>

namespace ui {

QString applyUppercaseRule(QString text, bool slashToUnderscore) {
    for (QChar& c : text) {
        if (c >= QChar('a') && c <= QChar('z'))
            c = QChar(c.unicode() - 32);
        else if (slashToUnderscore && c == QChar('/'))
            c = QChar('_');
    }
    return text;
}

QString withoutControlCharacters(QString text) {
    text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return text;
}

namespace {

// The part of `now` that an edit of `before` inserted: what lies between the
// common beginning and the common end.
struct Inserted {
    qsizetype start = 0;
    qsizetype length = 0;
};

Inserted insertedPart(const QString& before, const QString& now) {
    qsizetype start = 0;
    const qsizetype shorter = std::min(before.size(), now.size());
    while (start < shorter && before[start] == now[start]) ++start;
    qsizetype tail = 0;
    while (tail < shorter - start && before[before.size() - 1 - tail] == now[now.size() - 1 - tail])
        ++tail;
    return {start, now.size() - start - tail};
}

}  // namespace

void installUppercaseRule(QLineEdit* edit, bool slashToUnderscore, bool uppercase) {
    // The text before each edit: textEdited comes before textChanged, which
    // follows every change, the program's included.
    auto before = std::make_shared<QString>(edit->text());
    QObject::connect(edit, &QLineEdit::textChanged, edit,
                     [edit, before](const QString&) { *before = edit->text(); });
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit, before, slashToUnderscore, uppercase](const QString& text) {
                         const Inserted part = insertedPart(*before, text);
                         QString piece =
                             withoutControlCharacters(text.mid(part.start, part.length));
                         if (uppercase) piece = applyUppercaseRule(piece, slashToUnderscore);
                         const QString ruled =
                             text.left(part.start) + piece + text.mid(part.start + part.length);
                         if (ruled != text) {
                             const int cursor = edit->cursorPosition() -
                                                static_cast<int>(part.length - piece.size());
                             edit->setText(ruled);
                             edit->setCursorPosition(std::max(0, cursor));
                         }
                         *before = edit->text();
                     });
}

}  // namespace ui
