#include <gtest/gtest.h>

#include <QApplication>

#include "platform/application.h"

// The embedded browser, fontconfig and Hamlib (its network radio keeps what
// rig_open allocates past rig_cleanup) keep memory until exit; leak reports
// there are not ours. Every other leak still fails the tests.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\nleak:libhamlib.so\n";
}

// GUI tests run offscreen, set up as the program sets itself up.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    ui::prepareApplication();
    QApplication app(argc, argv);
    ui::setUpApplication(app);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
