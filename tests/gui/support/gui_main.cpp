#include <gtest/gtest.h>

#include <QApplication>

#include "platform/application.h"

// The embedded browser, fontconfig and Hamlib (its network radio keeps what
// rig_open allocates past rig_cleanup) keep memory until exit; leak reports
// there are not ours. Every other leak still fails the tests.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6WebEngineCore.so\nleak:libfontconfig.so\nleak:libhamlib.so\n";
}

// The embedded browser's engine, when a page fails to load, frees an object
// through a pointer to a smaller base type with a sized delete; AddressSanitizer
// cannot suppress that report for one library only, so the GUI tests, which
// open that page, do without the check. The core tests keep it.
extern "C" const char* __asan_default_options() {
    return "new_delete_type_mismatch=0";
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
