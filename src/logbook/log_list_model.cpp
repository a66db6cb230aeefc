#include "logbook/log_list_model.h"

#include "ui/text.h"

namespace ui {

LogListModel::LogListModel(dxcc::Logbook& logbook, QObject* parent)
    : QAbstractListModel(parent), logbook_(logbook) {}

int LogListModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid()) return 0;
    return static_cast<int>(std::min<size_t>(logbook_.size(), INT_MAX));
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= logbook_.size()) return {};
    if (role == Qt::DisplayRole) return fromCp1252(logbook_.displayLine(index.row()));
    return {};
}

void LogListModel::change(const std::function<void()>& operation) {
    beginResetModel();
    try {
        operation();
    } catch (...) {
        endResetModel();
        throw;
    }
    endResetModel();
}

}  // namespace ui
