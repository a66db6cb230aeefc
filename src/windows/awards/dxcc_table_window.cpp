#include "windows/awards/dxcc_table_window.h"

#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QVBoxLayout>

#include "core/awards/award_tools_messages.h"
#include "platform/busy_pointer.h"
#include "platform/colours.h"
#include "platform/text.h"
#include "windows/awards/export_file.h"

namespace ui {

namespace msg = dxcc::award_tools_messages;

namespace {

const QColor kTotalsRow{0xE4, 0xE4, 0xF0};

QString replaced(std::string_view text, const char* key, const QString& value) {
    return fromView(text).replace(QLatin1String(key), value);
}

}  // namespace

void DxccTableModel::setTable(dxcc::DxccTable table) {
    beginResetModel();
    table_ = std::move(table);
    shown_ = dxcc::tableRowOrder(table_, order_, missingIn_);
    endResetModel();
}

void DxccTableModel::setView(dxcc::TableOrder order, int missingIn) {
    beginResetModel();
    order_ = order;
    missingIn_ = missingIn;
    shown_ = dxcc::tableRowOrder(table_, order_, missingIn_);
    endResetModel();
}

int DxccTableModel::rowOfPrefix(const QString& prefix) const {
    const std::string key = toCp1252(prefix);
    for (size_t i = 0; i < shown_.size(); ++i)
        if (table_.rows[shown_[i]].entity.prefix == key) return static_cast<int>(i);
    return -1;
}

QString DxccTableModel::prefixAt(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= shown_.size()) return {};
    return fromCp1252(table_.rows[shown_[static_cast<size_t>(row)]].entity.prefix);
}

int DxccTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size()) + 2;
}

int DxccTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kLeadColumns + static_cast<int>(table_.columns.size());
}

QVariant DxccTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const size_t row = static_cast<size_t>(index.row());
    const int column = index.column();
    if (row >= shown_.size()) {
        const bool confirmed = row == shown_.size();
        if (role == Qt::BackgroundRole) return kTotalsRow;
        if (role == Qt::FontRole) {
            QFont f;
            f.setBold(true);
            return f;
        }
        if (role == Qt::TextAlignmentRole && column >= kLeadColumns) return int(Qt::AlignCenter);
        if (role != Qt::DisplayRole) return {};
        if (column == 1) return fromView(confirmed ? msg::kTotalConfirmed : msg::kTotalWorked);
        if (column < kLeadColumns) return {};
        const auto& counts = confirmed ? table_.confirmed : table_.worked;
        return qulonglong(counts.at(static_cast<size_t>(column - kLeadColumns)));
    }
    const dxcc::DxccTableRow& r = table_.rows[shown_[row]];
    if (column < kLeadColumns) {
        if (role != Qt::DisplayRole) return {};
        const std::string& text = column == 0   ? r.entity.prefix
                                  : column == 1 ? r.entity.entity
                                                : r.entity.continent;
        return fromCp1252(text);
    }
    const dxcc::Need mark = r.cells.at(static_cast<size_t>(column - kLeadColumns));
    switch (role) {
        case Qt::DisplayRole:
            return mark == dxcc::Need::Never ? QString() : QString(QChar(char(mark)));
        case Qt::BackgroundRole:
            if (mark == dxcc::Need::Confirmed) return kConfirmedLight;
            if (mark == dxcc::Need::Worked) return kWorkedLight;
            return {};
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        default:
            return {};
    }
}

QVariant DxccTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    if (section == 0) return fromView(msg::kSortPrefix);
    if (section == 1) return fromView(msg::kSortEntity);
    if (section == 2) return fromView(msg::kSortContinent);
    const size_t c = static_cast<size_t>(section - kLeadColumns);
    return c < table_.columns.size() ? QString::fromStdString(table_.columns[c]) : QVariant();
}

DxccTableWindow::DxccTableWindow(AppContext& ctx, std::function<dxcc::DxccTable()> source,
                                 ExportWriter exportTo, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      exportTo_(std::move(exportTo)),
      source_(std::move(source)) {
    setObjectName("Tableau_DXCC");
    setWindowTitle(fromView(msg::kTableCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    Seulement = new QCheckBox(fromView(msg::kMissingOnly), this);
    Seulement->setObjectName("Seulement");
    Colonne = new QComboBox(this);
    Colonne->setObjectName("Colonne");
    for (const std::string& c : dxcc::dxccTableColumns())
        Colonne->addItem(QString::fromStdString(c));
    auto* sortLabel = new QLabel(fromView(msg::kSortBy), this);
    Tri = new QComboBox(this);
    Tri->setObjectName("Tri");
    Tri->addItems(
        {fromView(msg::kSortPrefix), fromView(msg::kSortEntity), fromView(msg::kSortContinent)});
    sortLabel->setBuddy(Tri);
    Export_CSV = new QPushButton(fromView(msg::kExportCsv), this);
    Export_CSV->setObjectName("Export_CSV");
    Export_CSV->setAutoDefault(true);

    model_ = new DxccTableModel(this);
    Table = new QTableView(this);
    Table->setObjectName("Table");
    Table->setModel(model_);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    Table->horizontalHeader()->setMinimumSectionSize(24);
    Compte = new QLabel(this);
    Compte->setObjectName("Compte");
    auto* hint = new QLabel(fromView(msg::kTableHint), this);

    auto* top = new QHBoxLayout;
    top->addWidget(Seulement);
    top->addWidget(Colonne);
    top->addSpacing(16);
    top->addWidget(sortLabel);
    top->addWidget(Tri);
    top->addStretch();
    top->addWidget(Export_CSV);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(Compte);
    bottom->addStretch();
    bottom->addWidget(hint);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Table, 1);
    layout->addLayout(bottom);

    connect(Seulement, &QCheckBox::toggled, this, &DxccTableWindow::applyView);
    connect(Colonne, &QComboBox::currentIndexChanged, this, [this] {
        if (Seulement->isChecked()) applyView();
    });
    connect(Tri, &QComboBox::currentIndexChanged, this, &DxccTableWindow::applyView);
    connect(Export_CSV, &QPushButton::clicked, this, &DxccTableWindow::exportCsv);
    connect(Table, &QTableView::doubleClicked, this, [this](const QModelIndex& i) {
        const QString prefix = model_->prefixAt(i.row());
        if (!prefix.isEmpty()) emit entityQsosWanted(prefix);
    });
    connect(Table, &QTableView::activated, this, [this](const QModelIndex& i) {
        const QString prefix = model_->prefixAt(i.row());
        if (!prefix.isEmpty()) emit entityQsosWanted(prefix);
    });

    refresh();
    Table->resizeColumnsToContents();
    Table->setColumnWidth(
        1, qMin(Table->columnWidth(1), fontMetrics().horizontalAdvance(QString(26, 'n'))));
    int width = 0;
    for (int c = 0; c < model_->columnCount(); ++c) width += Table->columnWidth(c);
    resize(width + 48, 640);
}

void DxccTableWindow::refresh() {
    BusyPointer busy;
    const QString current = model_->prefixAt(Table->currentIndex().row());
    const int scroll = Table->verticalScrollBar()->value();
    model_->setTable(source_());
    applyView();
    const int row = model_->rowOfPrefix(current);
    if (row >= 0) Table->setCurrentIndex(model_->index(row, 0));
    Table->verticalScrollBar()->setValue(scroll);
}

void DxccTableWindow::applyView() {
    const auto order = static_cast<dxcc::TableOrder>(qMax(0, Tri->currentIndex()));
    model_->setView(order, Seulement->isChecked() ? Colonne->currentIndex() : -1);
    Compte->setText(replaced(msg::kRowCount, "{N}", QString::number(model_->shownRows().size())));
}

void DxccTableWindow::selectEntity(const QString& prefix) {
    int row = model_->rowOfPrefix(prefix);
    if (row < 0 && Seulement->isChecked()) {
        Seulement->setChecked(false);
        row = model_->rowOfPrefix(prefix);
    }
    if (row < 0) return;
    const QModelIndex index = model_->index(row, 0);
    Table->setCurrentIndex(index);
    Table->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

void DxccTableWindow::exportCsv() {
    saveExport(ctx_, exportTo_, fromView(msg::kExportCsv), fromView(msg::kCsvFilter),
               fromView(msg::kCsvSuffix), dxcc::dxccTableCsv(model_->table(), model_->shownRows()));
}

}  // namespace ui
