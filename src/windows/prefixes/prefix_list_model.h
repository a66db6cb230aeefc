#pragma once

#include <QAbstractListModel>

#include "core/prefixes/prefix_entries.h"

namespace ui {

// The prefix editor's list: one line per line of the editor's list, exactly as
// read from the file, in list order. Built only for the lines on screen.
class PrefixListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit PrefixListModel(const dxcc::PrefixEditor& editor, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Runs `change`, which may replace the editor's whole list (opening, a
    // save), and returns what it returns; the views then show the new list.
    template <class Change>
    decltype(auto) reload(Change&& change) {
        beginResetModel();
        struct End {
            PrefixListModel* model;
            ~End() { model->endResetModel(); }
        } end{this};
        return change();
    }
    // Runs `removal`, which takes line `row` out of the editor's list.
    template <class Removal>
    void removeLine(int row, Removal&& removal) {
        beginRemoveRows({}, row, row);
        removal();
        endRemoveRows();
    }

private:
    const dxcc::PrefixEditor& editor_;
};

}  // namespace ui
