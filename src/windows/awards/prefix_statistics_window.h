#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>

#include "core/awards/prefix_statistics.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// "Stat_Prefixe": for one callsign prefix, on which bands and in which kinds of
// mode a confirmed contact with its entity exists, as a grid of check marks.
class PrefixStatisticsWindow : public QWidget {
    Q_OBJECT
public:
    PrefixStatisticsWindow(AppContext& ctx, dxcc::LogSession& session, QWidget* parent = nullptr);

    QLabel* Label4;
    QLineEdit* Pref_S;
    QPushButton* Afficher;
    // The grid's heading, one label per grid column: Label2[0] "Mode" over the
    // row captions, then one per band ("Label2(0)" to "Label2(11)").
    std::array<QLabel*, dxcc::kStatisticsBandColumns + 1> Label2;
    // The row captions "SSB", "CW", "RTTY", left of the rows.
    std::array<QLabel*, dxcc::kStatisticsModeRows> RowCaption;
    // The grid: Chk[i] is the classic box of index i + 1 ("Chk(1)" to "Chk(33)"),
    // the cell of band column b and mode row r at i = 3 * b + r.
    std::array<QCheckBox*, dxcc::kStatisticsBandColumns * dxcc::kStatisticsModeRows> Chk;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildPrefixRow();
    void buildGrid();
    void enterPrefix();
    void display();
    void showGrid(const dxcc::StatisticsGrid& grid);

    AppContext& ctx_;
    dxcc::LogSession& session_;
};

}  // namespace ui
