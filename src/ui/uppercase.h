#pragma once

#include <QValidator>

namespace ui {

// The uppercase rule: letters a to z become A to Z as they are typed or pasted;
// every other character, accented letters included, passes unchanged. With
// `slashToUnderscore`, '/' becomes '_' too (the station callsign's stored form).
class UppercaseValidator : public QValidator {
public:
    explicit UppercaseValidator(QObject* parent, bool slashToUnderscore = false)
        : QValidator(parent), slashToUnderscore_(slashToUnderscore) {}
    State validate(QString& input, int& pos) const override;

private:
    bool slashToUnderscore_;
};

// Applies the rule to a text.
QString applyUppercaseRule(QString text, bool slashToUnderscore = false);

}  // namespace ui
