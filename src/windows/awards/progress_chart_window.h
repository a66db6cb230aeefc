#pragma once

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <QtCharts/QChartView>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <optional>
#include <vector>

#include "core/awards/award_evaluation.h"
#include "core/awards/award_progress.h"
#include "platform/app_context.h"
#include "windows/awards/export_file.h"

namespace dxcc {
class Logbook;
struct LogChange;
}  // namespace dxcc

namespace ui {

// "Progression_DXCC": how the count of entities worked and confirmed for an
// award grew over the QSO dates.
class ProgressChartWindow : public QWidget {
    Q_OBJECT
public:
    ProgressChartWindow(AppContext& ctx, const dxcc::Logbook& log, ExportWriter exportTo,
                        QWidget* parent = nullptr);

    // Counts again from the log and draws (another award, or the log was
    // read again).
    void refresh();
    // Follows a change of the log: a contact added is folded in without a new
    // pass, anything else (or nothing known) counts again.
    void follow(const std::optional<dxcc::LogChange>& change);

    QComboBox* Diplome;
    QChartView* Graphe;
    QLabel* Note;
    QPushButton* Export_PNG;

    // The curves as drawn (x: day number since 1970, y: entities).
    QLineSeries* worked() const { return worked_; }
    QLineSeries* confirmed() const { return confirmed_; }
    QScatterSeries* stickers() const { return stickers_; }
    // The awards of the chooser, in its order.
    const std::vector<const dxcc::AwardDefinition*>& awards() const { return awards_; }

private:
    void draw();
    void exportPng();

    AppContext& ctx_;
    ExportWriter exportTo_;
    const dxcc::Logbook& log_;
    std::vector<const dxcc::AwardDefinition*> awards_;
    std::optional<dxcc::ProgressTracker> tracker_;
    QLineSeries* worked_ = nullptr;
    QLineSeries* confirmed_ = nullptr;
    QScatterSeries* stickers_ = nullptr;
};

}  // namespace ui
