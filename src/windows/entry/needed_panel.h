#pragma once

#include <QFrame>
#include <QLabel>
#include <array>
#include <string>
#include <vector>

#include "core/awards/needed_index.h"
#include "core/awards/needed_report.h"
#include "core/base/program_constants.h"
#include "core/session/log_session.h"
#include "platform/app_context.h"

namespace ui {

// Beside the entry fields: what a contact with the entity of the callsign
// would bring (status line and band x class grid), where the entity lies from
// the station, its zones, local time and the sun there and here, and the
// earlier contacts with the same callsign (the latest on the band and mode
// chosen on a line of its own). The status comes from the session's needed
// status, in microseconds; the callsign's contacts from one pass over the
// log's callsign column, made once per callsign.
class NeededPanel : public QFrame {
    Q_OBJECT
public:
    NeededPanel(AppContext& ctx, dxcc::LogSession& session, QWidget* parent = nullptr);

    // Shows the entity of `dxccPrefix` for the band and mode texts of the
    // entry form and the earlier contacts of `callsign`; blank when the
    // prefix is empty.
    void showFor(const std::string& callsign, const std::string& dxccPrefix,
                 const std::string& band, const std::string& mode);
    // The log changed: the same question, answered again.
    void logChanged();

    QLabel* Etat_Besoin;     // status line
    QLabel* workedBefore;    // the latest contact with the callsign on the band and mode
    QLabel* Infos_Contree;   // heading, distance, zones, local time, sun
    QLabel* QSO_Precedents;  // earlier contacts with the callsign

private:
    void refresh();
    void showGrid(const std::string& prefix, int bandColumn, int classRow);

    AppContext& ctx_;
    dxcc::LogSession& session_;
    std::string callsign_;
    std::string prefix_;
    std::string band_;
    std::string mode_;
    // The rows of callsign_'s contacts, latest first, found once per
    // callsign and log version.
    bool rowsKnown_ = false;
    std::vector<size_t> rows_;
    // The grid: a row per class of modes, a column per band of the entry list.
    std::array<std::array<QLabel*, dxcc::kBands.size()>, dxcc::kModeClasses.size()> cells_{};
};

}  // namespace ui
