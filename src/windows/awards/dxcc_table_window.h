#pragma once

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <functional>

#include "core/awards/dxcc_table.h"
#include "platform/app_context.h"
#include "windows/awards/export_file.h"

namespace ui {

// The DXCC table's rows as a Qt model: prefix, entity, continent, one column
// per award and band, then the two totals rows (which never sort or filter).
class DxccTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(dxcc::DxccTable table);
    void setView(dxcc::TableOrder order, int missingIn);
    const dxcc::DxccTable& table() const { return table_; }
    const std::vector<size_t>& shownRows() const { return shown_; }
    // The model row of the entity `prefix` (exact), or -1 when not shown.
    int rowOfPrefix(const QString& prefix) const;
    // The entity prefix of a model row; empty for the totals rows.
    QString prefixAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Columns before the cells.
    static constexpr int kLeadColumns = 3;

private:
    dxcc::DxccTable table_;
    std::vector<size_t> shown_;
    dxcc::TableOrder order_ = dxcc::TableOrder::Prefix;
    int missingIn_ = -1;
};

// "Tableau_DXCC": every entity and where it stands for each award and band.
class DxccTableWindow : public QWidget {
    Q_OBJECT
public:
    // `source` builds the table from the needed-status engine; it is called at
    // opening and at each refresh().
    DxccTableWindow(AppContext& ctx, std::function<dxcc::DxccTable()> source, ExportWriter exportTo,
                    QWidget* parent = nullptr);

    // Builds the table again (the log changed).
    void refresh();
    // Shows and selects the row of `prefix` (from the map); the filter is
    // lifted when it hides the row.
    void selectEntity(const QString& prefix);

    DxccTableModel* model() { return model_; }

    QCheckBox* Seulement;
    QComboBox* Colonne;
    QComboBox* Tri;
    QTableView* Table;
    QLabel* Compte;
    QPushButton* Export_CSV;

signals:
    // The operator double-clicked an entity: show its QSOs.
    void entityQsosWanted(const QString& dxccPrefix);

private:
    void applyView();
    void exportCsv();

    AppContext& ctx_;
    ExportWriter exportTo_;
    std::function<dxcc::DxccTable()> source_;
    DxccTableModel* model_;
};

}  // namespace ui
