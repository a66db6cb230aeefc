#pragma once

#include <QAbstractListModel>
#include <vector>

#include "core/logbook/logbook.h"

namespace ui {

// The search results: rows of the log in memory, each shown as the main list
// shows it. The rows follow the main list's insertions and removals, so a
// result always names the contact it was found for.
class SearchResultsModel : public QAbstractListModel {
    Q_OBJECT
public:
    // `mainList` is the model of the main list over `log`.
    SearchResultsModel(const dxcc::Logbook& log, QAbstractItemModel* mainList,
                       QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // The new results, 0-based log rows in log order.
    void setRows(std::vector<size_t> rows);
    // The log row of a result line.
    size_t logRow(int resultRow) const { return rows_.at(static_cast<size_t>(resultRow)); }

private:
    void followMainList(QAbstractItemModel* mainList);
    void allLinesChanged();

    const dxcc::Logbook& log_;
    std::vector<size_t> rows_;
};

}  // namespace ui
