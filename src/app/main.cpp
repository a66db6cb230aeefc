#include <QApplication>

#include "app/command_line.h"
#include "core/session/log_session.h"
#include "platform/application.h"
#include "platform/qt_platform.h"
#include "platform/start_probe.h"
#include "platform/stop_signals.h"
#include "platform/text.h"
#include "windows/main/main_window.h"
#include "windows/main/start_up.h"

// The one place where the program is wired together.
int main(int argc, char** argv) {
    if (ui::isCommandLine(argc, argv, ui::hasDisplay())) return ui::runCommandLine(argc, argv);
    ui::prepareApplication();
    QApplication app(argc, argv);
    QApplication::setApplicationName("VEL_DXCC");
    ui::setUpApplication(app);
    ui::AppContext ctx = ui::makeProductionContext();
    dxcc::LogSession session(ui::toPath(ctx.dataDir), std::make_shared<ui::QtSettingsStore>());
    // Before anything reads the folder; only the copy that holds it may
    // finish or clear what a killed run left, or put files in.
    const dxcc::StartUpOutcome start = session.startUp(ui::shippedFiles());
    if (!ui::tellStartUp(ctx, start, ctx.dataDir)) return 0;
    ui::MainWindow window(ctx, session);
    window.startUp(start);
    ui::quitWhenShownIfAsked(window.Liste_DXCC->viewport());
    // Ended by a signal, the program still leaves through its event loop.
    const ui::StopSignals stopSignals([] { QApplication::quit(); });
    return QApplication::exec();
}
