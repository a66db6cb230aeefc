#include "ui/uppercase.h"

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

void installUppercaseRule(QLineEdit* edit, bool slashToUnderscore) {
    QObject::connect(edit, &QLineEdit::textEdited, edit,
                     [edit, slashToUnderscore](const QString& text) {
                         const QString ruled = applyUppercaseRule(text, slashToUnderscore);
                         if (ruled == text) return;
                         const int cursor = edit->cursorPosition();
                         edit->setText(ruled);
                         edit->setCursorPosition(cursor);
                     });
}

}  // namespace ui
