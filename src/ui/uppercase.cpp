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

QValidator::State UppercaseValidator::validate(QString& input, int& /*pos*/) const {
    input = applyUppercaseRule(input, slashToUnderscore_);
    return Acceptable;
}

}  // namespace ui
