#pragma once

#include <QSortFilterProxyModel>
#include <functional>

namespace ui {

// The rows of a list that a window's filters let through, in the list's own
// order. The window says which rows pass: a test of a row of the source model,
// built from its filter boxes (usually a core filter over the row's data).
class RowFilterModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using Accepts = std::function<bool(int sourceRow)>;
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // From now on only the rows `accepts` lets through are shown; without a
    // test, every row is.
    void setAccepts(Accepts accepts);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    Accepts accepts_;
};

}  // namespace ui
