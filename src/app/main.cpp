#include <QApplication>
#include <QStyleFactory>

#include "app/main_window.h"
#include "ui/qt_platform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("VEL_DXCC");
    // Fusion honours the field colours on every platform.
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    ui::AppContext ctx = ui::makeProductionContext();
    ui::MainWindow window(ctx);
    window.startUp();
    return QApplication::exec();
}
