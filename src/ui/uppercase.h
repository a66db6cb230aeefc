#pragma once

#include <QLineEdit>
#include <QString>

namespace ui {

// The uppercase rule: letters a to z become A to Z; every other character,
// accented letters included, passes unchanged. With `slashToUnderscore`, '/'
// becomes '_' too (the station callsign's stored form).
QString applyUppercaseRule(QString text, bool slashToUnderscore = false);

// Applies the rule to what the operator types or pastes into `edit`. Text set
// by the program is left as it is (a band label keeps "Mhz").
void installUppercaseRule(QLineEdit* edit, bool slashToUnderscore = false);

}  // namespace ui
