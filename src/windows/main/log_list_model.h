#pragma once

#include <QAbstractListModel>
#include <functional>

#include "core/logbook/logbook.h"

namespace ui {

// The main list: one display line per record of the Logbook, built only for
// the rows on screen. Changes are announced row by row, so every view keeps
// its selection and scroll position.
class LogListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogListModel(dxcc::Logbook& logbook, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    dxcc::Logbook& logbook() { return logbook_; }
    // Runs an operation that changes the log and announces what it changed.
    // When it throws, the log may have been read again: the views are reset.
    void apply(const std::function<dxcc::LogChange()>& operation);
    // Runs an operation that may change anything (a load, a reset).
    void change(const std::function<void()>& operation);
    // Called with every change of the log, before the views and logChanged()
    // hear of it, so what follows the log is current when they look.
    void setFollower(std::function<void(const dxcc::LogChange&)> follower) {
        follower_ = std::move(follower);
    }

signals:
    // After every change of the log, whatever it was.
    void logChanged();

private:
    void announce(const dxcc::LogChange& change);
    void resetTo(size_t rows);
    void lineNumbersChangedFrom(int row);

    void follow(const dxcc::LogChange& change) {
        if (follower_) follower_(change);
    }

    dxcc::Logbook& logbook_;
    std::function<void(const dxcc::LogChange&)> follower_;
    int rows_ = 0;  // what the views have been told
};

}  // namespace ui
