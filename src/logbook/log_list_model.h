#pragma once

#include <QAbstractListModel>
#include <functional>

#include "logbook/logbook.h"

namespace ui {

// The main list: one display line per record of the Logbook, built only for
// the rows on screen.
class LogListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogListModel(dxcc::Logbook& logbook, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    dxcc::Logbook& logbook() { return logbook_; }
    // Runs an operation that changes the log, resetting the views around it,
    // even when the operation throws.
    void change(const std::function<void()>& operation);

private:
    dxcc::Logbook& logbook_;
};

}  // namespace ui
