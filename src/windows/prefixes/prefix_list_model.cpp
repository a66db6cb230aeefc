#include "windows/prefixes/prefix_list_model.h"

#include <climits>

#include "platform/text.h"

namespace ui {

PrefixListModel::PrefixListModel(const dxcc::PrefixEditor& editor, QObject* parent)
    : QAbstractListModel(parent), editor_(editor) {}

int PrefixListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0
                            : static_cast<int>(std::min<size_t>(editor_.list().size(), INT_MAX));
}

QVariant PrefixListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return fromCp1252(editor_.list().line(static_cast<size_t>(index.row())));
}

}  // namespace ui
