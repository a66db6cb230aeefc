#include "windows/search/search_results_model.h"

#include <climits>

#include "core/search/qso_search.h"
#include "platform/text.h"

namespace ui {

SearchResultsModel::SearchResultsModel(const dxcc::Logbook& log, QAbstractItemModel* mainList,
                                       QObject* parent)
    : QAbstractListModel(parent), log_(log) {
    if (mainList) followMainList(mainList);
}

int SearchResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::min<size_t>(rows_.size(), INT_MAX));
}

QVariant SearchResultsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    const size_t row = rows_[static_cast<size_t>(index.row())];
    if (row >= log_.size()) return {};
    return fromCp1252(log_.displayLine(row));
}

void SearchResultsModel::setRows(std::vector<size_t> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void SearchResultsModel::followMainList(QAbstractItemModel* mainList) {
    connect(mainList, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) {
                beginResetModel();
                dxcc::followInsertedRows(rows_, static_cast<size_t>(first),
                                         static_cast<size_t>(last - first + 1));
                endResetModel();
            });
    connect(mainList, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex&, int first, int last) {
                beginResetModel();
                dxcc::followRemovedRows(rows_, static_cast<size_t>(first),
                                        static_cast<size_t>(last - first + 1));
                endResetModel();
            });
    // A load or a change of station: the rows no longer name the same contacts.
    connect(mainList, &QAbstractItemModel::modelReset, this, [this] { setRows({}); });
    connect(mainList, &QAbstractItemModel::dataChanged, this, &SearchResultsModel::allLinesChanged);
}

void SearchResultsModel::allLinesChanged() {
    if (!rows_.empty()) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

}  // namespace ui
