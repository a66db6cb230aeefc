#pragma once

#include <QAbstractListModel>
#include <functional>
#include <optional>

#include "core/logbook/logbook.h"
#include "core/session/log_session.h"

namespace ui {

// The main list: one display line per record of the Logbook, built only for
// the rows on screen. Changes are announced row by row, so every view keeps
// its selection and scroll position.
class LogListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit LogListModel(const dxcc::Logbook& logbook, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const dxcc::Logbook& logbook() const { return logbook_; }
    // Announces what a command of the session did to the log. When it failed
    // on a file, the log may have been read again: the views are reset.
    void follow(const dxcc::SessionOutcome& outcome);
    // Runs an operation that may change anything (a load, a reset).
    void change(const std::function<void()>& operation);
    // What the latest change was, for views that can follow it without a new
    // pass; nothing when it may have been anything (a load, a reset, a failure).
    const std::optional<dxcc::LogChange>& lastChange() const { return lastChange_; }

signals:
    // After every change of the log, whatever it was.
    void logChanged();

private:
    void announce(const dxcc::LogChange& change);
    void resetTo(size_t rows);
    void lineNumbersChangedFrom(int row);

    const dxcc::Logbook& logbook_;
    int rows_ = 0;  // what the views have been told
    std::optional<dxcc::LogChange> lastChange_;
};

}  // namespace ui
