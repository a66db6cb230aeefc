#include "windows/awards/award_list_model.h"

#include "platform/text.h"

namespace ui {

int AwardListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant AwardListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return fromCp1252(lines_[static_cast<size_t>(index.row())]);
}

void AwardListModel::setLines(std::vector<std::string> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

}  // namespace ui
