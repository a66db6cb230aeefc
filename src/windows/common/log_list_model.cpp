#include "windows/common/log_list_model.h"

#include <climits>

#include "platform/text.h"

namespace ui {

namespace {

int rowsOf(size_t size) {
    return static_cast<int>(std::min<size_t>(size, INT_MAX));
}

}  // namespace

LogListModel::LogListModel(const dxcc::Logbook& logbook, QObject* parent)
    : QAbstractListModel(parent), logbook_(logbook), rows_(rowsOf(logbook.size())) {}

int LogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_;
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_ ||
        static_cast<size_t>(index.row()) >= logbook_.size())
        return {};
    if (role == Qt::DisplayRole) return fromCp1252(logbook_.displayLine(index.row()));
    return {};
}

void LogListModel::follow(const dxcc::SessionOutcome& outcome) {
    using F = dxcc::SessionOutcome::Failure;
    lastChange_ = outcome.change;
    if (outcome.change) {
        announce(*outcome.change);
    } else if (outcome.failure == F::File || outcome.failure == F::LineChanged) {
        resetTo(logbook_.size());
    } else {
        // Refused before the log was touched.
        if (rows_ != rowsOf(logbook_.size())) resetTo(logbook_.size());
        return;
    }
    emit logChanged();
}

void LogListModel::change(const std::function<void()>& operation) {
    lastChange_.reset();
    beginResetModel();
    try {
        operation();
    } catch (...) {
        rows_ = rowsOf(logbook_.size());
        endResetModel();
        emit logChanged();
        throw;
    }
    rows_ = rowsOf(logbook_.size());
    endResetModel();
    emit logChanged();
}

void LogListModel::resetTo(size_t rows) {
    beginResetModel();
    rows_ = rowsOf(rows);
    endResetModel();
}

void LogListModel::announce(const dxcc::LogChange& c) {
    using K = dxcc::LogChange::Kind;
    const int row = rowsOf(c.row);
    const int count = rowsOf(c.count);
    const bool fits = c.row + c.count <= INT_MAX;
    if (c.kind == K::Inserted && fits && count > 0 && rows_ + count == rowsOf(logbook_.size())) {
        beginInsertRows({}, row, row + count - 1);
        rows_ += count;
        endInsertRows();
        return lineNumbersChangedFrom(row + count);
    }
    if (c.kind == K::Removed && fits && count > 0 && rows_ - count == rowsOf(logbook_.size())) {
        beginRemoveRows({}, row, row + count - 1);
        rows_ -= count;
        endRemoveRows();
        return lineNumbersChangedFrom(row);
    }
    if (c.kind == K::Changed && fits && row < rows_ && rows_ == rowsOf(logbook_.size())) {
        emit dataChanged(index(row), index(row + count - 1), {Qt::DisplayRole});
        return;
    }
    if (c.kind == K::Inserted && count == 0 && rows_ == rowsOf(logbook_.size())) return;
    resetTo(logbook_.size());
}

// Each display line begins with its line number, so the lines after an
// insertion or a removal read differently.
void LogListModel::lineNumbersChangedFrom(int row) {
    if (row < rows_) emit dataChanged(index(row), index(rows_ - 1), {Qt::DisplayRole});
}

}  // namespace ui
