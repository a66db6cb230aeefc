#pragma once

#include <QApplication>

namespace ui {

// The busy pointer for as long as it lives, or until end().
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { end(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

    void end() {
        if (ended_) return;
        ended_ = true;
        QApplication::restoreOverrideCursor();
    }

private:
    bool ended_ = false;
};

}  // namespace ui
