#include "windows/common/row_filter_model.h"

namespace ui {

void RowFilterModel::setAccepts(Accepts accepts) {
    accepts_ = std::move(accepts);
    invalidateFilter();
}

bool RowFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    return !accepts_ || accepts_(sourceRow);
}

}  // namespace ui
