#pragma once

class QWidget;

namespace ui {

// Measuring the start-up from outside: when the environment names
// kStartProbeVariable, the program says on stderr how much memory it holds once
// `list` has been painted for the first time, then quits. The whole process,
// timed by an outside tool, is then "start to full list shown".
inline constexpr const char* kStartProbeVariable = "VEL_DXCC_QUIT_WHEN_SHOWN";

void quitWhenShownIfAsked(QWidget* list);

}  // namespace ui
