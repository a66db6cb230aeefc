#pragma once

#include <QLineEdit>
#include <QString>

namespace ui {

// The uppercase rule: letters a to z become A to Z; every other character,
// accented letters included, passes unchanged. With `slashToUnderscore`, '/'
// becomes '_' too (the station callsign's stored form).
QString applyUppercaseRule(QString text, bool slashToUnderscore = false);

// What a field takes from typed or pasted text: control characters (CR, LF,
// tab...) are dropped, since a line break in a field would split a log line.
QString withoutControlCharacters(QString text);

// Applies both rules to what the operator types or pastes into `edit`, and only
// to those characters, at their place: the rest of the field keeps its text
// ("14 Mhz " edited to "18 Mhz " stays a band label). Text set by the program
// is left as it is. `uppercase` false keeps only the control-character rule.
void installUppercaseRule(QLineEdit* edit, bool slashToUnderscore = false, bool uppercase = true);

}  // namespace ui
