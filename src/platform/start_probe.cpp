#include "platform/start_probe.h"

#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace ui {

namespace {

// "VmRSS:  123456 kB" and "VmHWM: ..." of this process, as the kernel counts them.
QByteArray memoryLines() {
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly)) return {};
    QByteArray out;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS") || line.startsWith("VmHWM") || line.startsWith("RssAnon") ||
            line.startsWith("RssFile"))
            out += line.simplified() + "\n";
    return out;
}

class FirstPaint : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // After this paint has been done, not before it.
            QTimer::singleShot(0, qApp, [] {
                std::fputs(memoryLines().constData(), stderr);
                QApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

}  // namespace

void quitWhenShownIfAsked(QWidget* list) {
    if (std::getenv(kStartProbeVariable) == nullptr || list == nullptr) return;
    list->installEventFilter(new FirstPaint(list));
}

}  // namespace ui
