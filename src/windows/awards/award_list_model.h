#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

namespace ui {

// The entity lines of an award window (Windows-1252 bytes), converted only for
// the rows on screen.
class AwardListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Replaces every line.
    void setLines(std::vector<std::string> lines);

private:
    std::vector<std::string> lines_;
};

}  // namespace ui
