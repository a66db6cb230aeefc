#include "windows/awards/prefix_statistics_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

#include "core/awards/prefix_statistics_messages.h"
#include "core/base/program_constants.h"
#include "platform/busy_pointer.h"
#include "platform/colours.h"
#include "platform/file_error_text.h"
#include "platform/text.h"
#include "platform/uppercase.h"

namespace ui {

namespace {

namespace msg = dxcc::prefix_statistics_messages;

}  // namespace

PrefixStatisticsWindow::PrefixStatisticsWindow(AppContext& ctx, dxcc::LogSession& session,
                                               QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), session_(session) {
    setObjectName("Stat_Prefixe");
    setWindowTitle(fromView(msg::kCaption));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 16, 16);
    layout->setSpacing(14);
    buildPrefixRow();
    buildGrid();
    Pref_S->setFocus();
}

void PrefixStatisticsWindow::buildPrefixRow() {
    Label4 = new QLabel(fromView(msg::kPrefixLabel), this);
    Label4->setObjectName("Label4");
    Pref_S = new QLineEdit(this);
    Pref_S->setObjectName("Pref_S");
    Pref_S->setFixedWidth(fontMetrics().horizontalAdvance(QString(10, QLatin1Char('M'))));
    paintBackground(Pref_S, kInputColour);
    installUppercaseRule(Pref_S);
    Pref_S->installEventFilter(this);
    Label4->setBuddy(Pref_S);
    Afficher = new QPushButton(fromView(msg::kShow), this);
    Afficher->setObjectName("Afficher");
    Afficher->setAutoDefault(false);
    Afficher->setEnabled(false);
    connect(Afficher, &QPushButton::clicked, this, &PrefixStatisticsWindow::display);

    auto* row = new QHBoxLayout;
    row->addWidget(Label4);
    row->addWidget(Pref_S);
    row->addSpacing(12);
    row->addWidget(Afficher);
    row->addStretch();
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void PrefixStatisticsWindow::buildGrid() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(8);
    for (size_t column = 0; column < Label2.size(); ++column) {
        Label2[column] = new QLabel(fromView(msg::kGridHeading[column]), this);
        Label2[column]->setObjectName(QString("Label2(%1)").arg(column));
        grid->addWidget(Label2[column], 0, static_cast<int>(column),
                        column == 0 ? Qt::AlignLeft : Qt::AlignHCenter);
    }
    for (size_t row = 0; row < dxcc::kStatisticsModeRows; ++row) {
        RowCaption[row] =
            new QLabel(fromView(dxcc::modeClassText(dxcc::kStatisticsRows[row])), this);
        RowCaption[row]->setObjectName(QString("RowCaption(%1)").arg(row + 1));
        grid->addWidget(RowCaption[row], static_cast<int>(row) + 1, 0, Qt::AlignLeft);
    }
    for (size_t band = 0; band < dxcc::kStatisticsBandColumns; ++band) {
        for (size_t row = 0; row < dxcc::kStatisticsModeRows; ++row) {
            const size_t cell = dxcc::StatisticsGrid::cellIndex(band, row);
            auto* box = new QCheckBox(this);
            box->setObjectName(QString("Chk(%1)").arg(cell + 1));
            // The grid shows; the operator does not tick it.
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            Chk[cell] = box;
            grid->addWidget(box, static_cast<int>(row) + 1, static_cast<int>(band) + 1,
                            Qt::AlignHCenter);
        }
    }
    static_cast<QVBoxLayout*>(layout())->addLayout(grid);
}

bool PrefixStatisticsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Pref_S && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            enterPrefix();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void PrefixStatisticsWindow::enterPrefix() {
    if (const auto refusal = dxcc::checkStatisticsPrefix(toCp1252(Pref_S->text()))) {
        ctx_.dialogs->inform(fromView(*refusal));
        return;
    }
    paintBackground(Pref_S, kRestColour);
    Afficher->setEnabled(true);
    paintBackground(Afficher, kInputColour);
    Afficher->setFocus();
}

void PrefixStatisticsWindow::display() {
    const std::string prefix = toCp1252(Pref_S->text());
    dxcc::PrefixStatistics statistics;
    {
        BusyPointer busy;
        showGrid({});
        statistics = dxcc::prefixStatistics(session_.log(),
                                            session_.dataDir() / dxcc::kPrefixFileName, prefix);
    }
    if (statistics.prefixFileError) {
        // Without the prefix file no entity can be found: say so rather than
        // show an empty grid as if nothing were confirmed.
        setWindowTitle(fromView(msg::kCaption));
        ctx_.dialogs->inform(fileErrorText(*statistics.prefixFileError));
    } else {
        setWindowTitle(fromView(dxcc::kStatisticsCaptionLead) + fromCp1252(prefix) +
                       fromView(dxcc::kStatisticsCaptionGap) +
                       fromCp1252(statistics.entity.entityName));
        showGrid(statistics.grid);
    }
    Afficher->setEnabled(false);
    paintButtonFace(Afficher);
    Pref_S->clear();
    paintBackground(Pref_S, kInputColour);
    Pref_S->setFocus();
}

void PrefixStatisticsWindow::showGrid(const dxcc::StatisticsGrid& grid) {
    for (size_t cell = 0; cell < Chk.size(); ++cell) Chk[cell]->setChecked(grid.cells[cell]);
}

}  // namespace ui
