#include <QApplication>

#include "app/command_line.h"
#include "core/session/log_session.h"
#include "platform/application.h"
#include "windows/main/start_up.h"
#include "platform/qt_platform.h"
#include "platform/session_settings.h"
#include "platform/start_probe.h"
#include "platform/text.h"
#include "windows/main/main_window.h"

// The one place where the program is wired together.
int main(int argc, char** argv) {
    if (ui::isCommandLine(argc, argv, ui::hasDisplay())) return ui::runCommandLine(argc, argv);
    ui::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName("VEL_DXCC");
    ui::setUpApplication(app);
    ui::AppContext ctx = ui::makeProductionContext();
    dxcc::LogSession session(ui::toPath(ctx.dataDir));
    session.setSettings(std::make_shared<ui::SessionSettingsStore>(ctx.settings));
    if (!ui::claimDataDir(ctx, session)) return 0;
    // Before anything reads the folder; only the copy that holds it may
    // finish or clear what a killed run left, or put files in.
    ui::openDataDir(ctx, session);
    ui::MainWindow window(ctx, session);
    window.startUp();
    ui::quitWhenShownIfAsked(window.Liste_DXCC->viewport());
    return QApplication::exec();
}
