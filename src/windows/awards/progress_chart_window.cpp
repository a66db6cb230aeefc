#include "windows/awards/progress_chart_window.h"

#include <QHBoxLayout>
#include <QPixmap>
#include <QVBoxLayout>
#include <QtCharts/QCategoryAxis>
#include <QtCharts/QChart>
#include <QtCharts/QValueAxis>
#include <algorithm>

#include "core/awards/award_progress.h"
#include "core/awards/award_tools_messages.h"
#include "core/awards/sticker_tables.h"
#include "core/logbook/logbook.h"
#include "platform/busy_pointer.h"
#include "platform/text.h"
#include "windows/awards/export_file.h"

namespace ui {

namespace msg = dxcc::award_tools_messages;

namespace {

// The award's count for the Mixed award and each award of one kind.
constexpr int kAwardCount = 100;

// A count that rises by steps, drawn as steps: flat until the day it rose.
void fillSteps(QLineSeries* series, const std::vector<dxcc::ProgressStep>& curve, int64_t lastDay) {
    QList<QPointF> points;
    int previous = 0;
    for (const dxcc::ProgressStep& s : curve) {
        const double x = static_cast<double>(s.day);
        if (!points.isEmpty()) points << QPointF(x, previous);
        points << QPointF(x, s.count);
        previous = s.count;
    }
    if (!points.isEmpty() && points.back().x() < static_cast<double>(lastDay))
        points << QPointF(static_cast<double>(lastDay), previous);
    series->replace(points);
}

}  // namespace

ProgressChartWindow::ProgressChartWindow(AppContext& ctx, const dxcc::Logbook& log,
                                         ExportWriter exportTo, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx), exportTo_(std::move(exportTo)), log_(log) {
    setObjectName("Progression_DXCC");
    setWindowTitle(fromView(msg::kChartCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    for (const dxcc::AwardDefinition& a : dxcc::allAwards())
        if (a.family != dxcc::AwardFamily::FiveBand) awards_.push_back(&a);

    auto* chooserLabel = new QLabel(fromView(msg::kAwardChooser), this);
    Diplome = new QComboBox(this);
    Diplome->setObjectName("Diplome");
    for (const dxcc::AwardDefinition* a : awards_)
        Diplome->addItem(QString::fromStdString(a->name));
    chooserLabel->setBuddy(Diplome);
    Export_PNG = new QPushButton(fromView(msg::kExportPng), this);
    Export_PNG->setObjectName("Export_PNG");
    Export_PNG->setAutoDefault(true);
    Note = new QLabel(this);
    Note->setObjectName("Note");

    Graphe = new QChartView(this);
    Graphe->setObjectName("Graphe");
    Graphe->setRenderHint(QPainter::Antialiasing);
    Graphe->setMinimumSize(720, 440);

    auto* top = new QHBoxLayout;
    top->addWidget(chooserLabel);
    top->addWidget(Diplome);
    top->addSpacing(16);
    top->addWidget(Note, 1);
    top->addWidget(Export_PNG);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Graphe, 1);

    connect(Diplome, &QComboBox::currentIndexChanged, this, &ProgressChartWindow::refresh);
    connect(Export_PNG, &QPushButton::clicked, this, &ProgressChartWindow::exportPng);
    refresh();
}

void ProgressChartWindow::refresh() {
    BusyPointer busy;
    tracker_.emplace(*awards_.at(static_cast<size_t>(qMax(0, Diplome->currentIndex()))));
    tracker_->rebuild(log_);
    draw();
}

void ProgressChartWindow::follow(const std::optional<dxcc::LogChange>& change) {
    if (!change || !tracker_) {
        refresh();
        return;
    }
    BusyPointer busy;
    tracker_->apply(log_, *change);
    draw();
}

void ProgressChartWindow::draw() {
    const dxcc::AwardDefinition& award = tracker_->award();
    const dxcc::AwardProgress progress = tracker_->progress();

    auto* chart = new QChart;
    chart->setTitle(fromView(msg::kChartTitle).replace("{A}", QString::fromStdString(award.name)));
    chart->legend()->setAlignment(Qt::AlignBottom);
    worked_ = new QLineSeries(chart);
    worked_->setName(fromView(msg::kWorkedCurve));
    confirmed_ = new QLineSeries(chart);
    confirmed_->setName(fromView(msg::kConfirmedCurve));
    stickers_ = new QScatterSeries(chart);
    stickers_->setName(fromView(msg::kStickerMarks));
    stickers_->setMarkerSize(9);
    auto* awardLine = new QLineSeries(chart);
    awardLine->setName(fromView(msg::kAwardLine));
    QPen dashed(QColor(0xC0, 0x30, 0x30));
    dashed.setStyle(Qt::DashLine);
    awardLine->setPen(dashed);

    const bool empty = progress.worked.empty();
    const int64_t first = empty ? dxcc::dayNumber(2000, 1, 1) : progress.worked.front().day;
    int64_t last = empty ? first + 365 : progress.worked.back().day;
    if (last <= first) last = first + 30;
    fillSteps(worked_, progress.worked, last);
    fillSteps(confirmed_, progress.confirmed, last);
    awardLine->append(static_cast<double>(first), kAwardCount);
    awardLine->append(static_cast<double>(last), kAwardCount);
    if (award.table)
        for (int step : award.table->steps)
            if (const auto day = dxcc::dayReached(progress.confirmed, step))
                stickers_->append(static_cast<double>(*day), step);

    chart->addSeries(worked_);
    chart->addSeries(confirmed_);
    chart->addSeries(awardLine);
    chart->addSeries(stickers_);

    auto* x = new QCategoryAxis(chart);
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setRange(static_cast<double>(first), static_cast<double>(last));
    for (int64_t tick : dxcc::yearTicks(first, last))
        x->append(QString::number(dxcc::yearOfDay(tick)), static_cast<double>(tick));
    x->setGridLineVisible(true);
    auto* y = new QValueAxis(chart);
    const int top = empty ? 0 : progress.worked.back().count;
    const int yTop = std::max(kAwardCount + 20, top + top / 10 + 5);
    const int yStep = yTop <= 150 ? 25 : 50;
    y->setRange(0, (yTop + yStep - 1) / yStep * yStep);
    y->setTickType(QValueAxis::TicksDynamic);
    y->setTickAnchor(0);
    y->setTickInterval(yStep);
    y->setLabelFormat("%d");
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QAbstractSeries* s : chart->series()) {
        s->attachAxis(x);
        s->attachAxis(y);
    }
    QChart* old = Graphe->chart();
    Graphe->setChart(chart);
    delete old;

    if (empty)
        Note->setText(fromView(msg::kChartEmpty));
    else if (progress.undated > 0)
        Note->setText(
            fromView(msg::kChartUndated).replace("{N}", QString::number(progress.undated)));
    else
        Note->clear();
}

void ProgressChartWindow::exportPng() {
    savePicture(ctx_, exportTo_, *Graphe);
}

}  // namespace ui
