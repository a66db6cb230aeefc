#include "windows/awards/world_map_window.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "core/awards/award_tools_messages.h"
#include "core/geo/locator.h"
#include "platform/colours.h"
#include "platform/text.h"
#include "windows/awards/export_file.h"

namespace ui {

namespace msg = dxcc::award_tools_messages;

namespace {

constexpr double kDotRadius = 3.5;
constexpr double kPickRadius = 6.0;
const QColor kSea{0xEE, 0xF4, 0xFA};
const QColor kCoast{0x70, 0x80, 0x90};
const QColor kGuide{0xB8, 0xC4, 0xD0};

QPainterPath pathOf(const dxcc::MapProjection& projection,
                    const std::vector<std::vector<dxcc::LatLon>>& lines) {
    QPainterPath path;
    for (const auto& line : lines)
        for (const auto& piece : projection.projectLine(line)) {
            path.moveTo(piece[0].x, piece[0].y);
            for (size_t i = 1; i < piece.size(); ++i) path.lineTo(piece[i].x, piece[i].y);
        }
    return path;
}

}  // namespace

const std::vector<std::vector<dxcc::LatLon>>& worldOutlines() {
    static const std::vector<std::vector<dxcc::LatLon>> outlines = [] {
        QFile f(":/data/world_outline.txt");
        if (!f.open(QIODevice::ReadOnly)) return std::vector<std::vector<dxcc::LatLon>>{};
        const QByteArray bytes = f.readAll();
        return dxcc::parseWorldOutline(std::string_view(bytes.constData(), bytes.size()));
    }();
    return outlines;
}

QColor dotColour(dxcc::Need mark) {
    switch (mark) {
        case dxcc::Need::Confirmed:
            return kConfirmedMark;
        case dxcc::Need::Worked:
            return kWorkedMark;
        case dxcc::Need::Never:
            break;
    }
    return kNewEntityMark;
}

WorldMapView::WorldMapView(QWidget* parent) : QWidget(parent) {
    setObjectName("Carte");
    setMouseTracking(true);
    setMinimumSize(480, 320);
    rebuildPaths();
}

void WorldMapView::setContent(MapContent content) {
    content_ = std::move(content);
    projection_ = dxcc::MapProjection(projection_.kind(), content_.station);
    rebuildPaths();
    update();
}

void WorldMapView::setProjection(dxcc::Projection kind) {
    projection_ = dxcc::MapProjection(kind, content_.station);
    rebuildPaths();
    update();
}

void WorldMapView::rebuildPaths() {
    coast_ = pathOf(projection_, worldOutlines());
}

void WorldMapView::resizeEvent(QResizeEvent*) {
    update();
}

QTransform WorldMapView::mapToWidget() const {
    // The map's extent in map units: a unit disc, or 2 x 1 for the plain map.
    const bool plain = projection_.kind() == dxcc::Projection::Plain;
    const double w = plain ? 2.0 : 2.0;
    const double h = plain ? 1.0 : 2.0;
    const double margin = 12;
    const double scale = std::min((width() - 2 * margin) / w, (height() - 2 * margin) / h);
    QTransform t;
    t.translate(width() / 2.0, height() / 2.0);
    t.scale(scale, scale);
    return t;
}

QPointF WorldMapView::dotPosition(int dot) const {
    const dxcc::MapXY p = projection_.project(content_.dots.at(static_cast<size_t>(dot)).position);
    return mapToWidget().map(QPointF(p.x, p.y));
}

int WorldMapView::dotAt(QPointF p) const {
    int best = -1;
    double bestDistance = kPickRadius;
    for (int i = 0; i < static_cast<int>(content_.dots.size()); ++i) {
        const QPointF d = dotPosition(i) - p;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

QString WorldMapView::dotText(int dot) const {
    const MapDot& d = content_.dots.at(static_cast<size_t>(dot));
    const dxcc::geo::LatLon from{content_.station.lat, content_.station.lon};
    const dxcc::geo::LatLon to{d.position.lat, d.position.lon};
    const double heading = dxcc::geo::shortPathHeading(from, to);
    const double km = dxcc::geo::distanceKm(from, to);
    QString text = fromView(msg::kDotTip);
    text.replace("{P}", d.prefix).replace("{E}", d.name);
    text.replace("{H}", QString::number(std::lround(heading) % 360));
    text.replace("{D}", QLocale(QLocale::French).toString(static_cast<qlonglong>(std::lround(km))));
    return text;
}

void WorldMapView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    const QTransform t = mapToWidget();
    const bool plain = projection_.kind() == dxcc::Projection::Plain;

    // Background: the sea, and the guides.
    p.setPen(Qt::NoPen);
    p.setBrush(kSea);
    if (plain)
        p.drawRect(t.mapRect(QRectF(-1, -0.5, 2, 1)));
    else
        p.drawEllipse(t.map(QPointF(0, 0)), t.m11(), t.m22());
    QPen guide(kGuide, 1);
    p.setPen(guide);
    p.setBrush(Qt::NoBrush);
    if (plain) {
        for (int lon = -150; lon <= 150; lon += 30) {
            const double x = lon / 180.0;
            p.drawLine(t.map(QPointF(x, -0.5)), t.map(QPointF(x, 0.5)));
        }
        for (int lat = -60; lat <= 60; lat += 30) {
            const double y = -lat / 180.0;
            p.drawLine(t.map(QPointF(-1, y)), t.map(QPointF(1, y)));
        }
    } else {
        // Distance rings every 5,000 km, headings every 30 degrees.
        const double half = dxcc::kHalfCircumferenceKm;
        for (int km = 5000; km < half; km += 5000) {
            const double r = km / half;
            p.drawEllipse(t.map(QPointF(0, 0)), r * t.m11(), r * t.m22());
            // Labelled along 15 degrees, between two heading lines.
            const double a = 15 * M_PI / 180.0;
            p.drawText(t.map(QPointF(r * std::sin(a), -r * std::cos(a))) + QPointF(3, -3),
                       QLocale(QLocale::French).toString(km) + " km");
        }
        for (int deg = 0; deg < 360; deg += 30) {
            const double a = deg * M_PI / 180.0;
            const QPointF rim = t.map(QPointF(std::sin(a), -std::cos(a)));
            p.drawLine(t.map(QPointF(0, 0)), rim);
            const QPointF label = t.map(QPointF(1.035 * std::sin(a), -1.035 * std::cos(a)));
            p.drawText(QRectF(label - QPointF(20, 8), QSizeF(40, 16)), Qt::AlignCenter,
                       QString::number(deg) + QChar(0xB0));
        }
    }

    // Coastlines.
    p.setPen(QPen(kCoast, 1.0));
    p.drawPath(t.map(coast_));

    // Entities: never worked first, so the others stay on top.
    for (dxcc::Need layer : {dxcc::Need::Never, dxcc::Need::Worked, dxcc::Need::Confirmed}) {
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.6));
        p.setBrush(dotColour(layer));
        for (int i = 0; i < static_cast<int>(content_.dots.size()); ++i)
            if (content_.dots[static_cast<size_t>(i)].mark == layer)
                p.drawEllipse(dotPosition(i), kDotRadius, kDotRadius);
    }

    // The station at the centre of the azimuthal map, or at its place.
    const dxcc::MapXY s = projection_.project(content_.station);
    const QPointF station = t.map(QPointF(s.x, s.y));
    p.setPen(QPen(Qt::black, 2));
    p.drawLine(station - QPointF(6, 0), station + QPointF(6, 0));
    p.drawLine(station - QPointF(0, 6), station + QPointF(0, 6));

    // Legend.
    const QString names[] = {fromView(msg::kLegendConfirmed), fromView(msg::kLegendWorked),
                             fromView(msg::kLegendNeeded)};
    const dxcc::Need marks[] = {dxcc::Need::Confirmed, dxcc::Need::Worked, dxcc::Need::Never};
    QPointF at(14, height() - 14 - 3 * 18);
    for (int i = 0; i < 3; ++i) {
        p.setPen(QPen(QColor(0x30, 0x30, 0x30), 0.6));
        p.setBrush(dotColour(marks[i]));
        p.drawEllipse(at + QPointF(5, 9), kDotRadius + 1, kDotRadius + 1);
        p.setPen(Qt::black);
        p.drawText(at + QPointF(16, 13), names[i]);
        at.ry() += 18;
    }
}

void WorldMapView::mouseMoveEvent(QMouseEvent* event) {
    const int dot = dotAt(event->position());
    if (dot >= 0)
        QToolTip::showText(event->globalPosition().toPoint(), dotText(dot), this);
    else
        QToolTip::hideText();
}

void WorldMapView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int dot = dotAt(event->position());
    if (dot >= 0) emit dotClicked(content_.dots[static_cast<size_t>(dot)].prefix);
}

WorldMapWindow::WorldMapWindow(AppContext& ctx, std::function<MapContent()> source,
                               ExportWriter exportTo, QWidget* parent)
    : QWidget(parent, Qt::Window),
      ctx_(ctx),
      exportTo_(std::move(exportTo)),
      source_(std::move(source)) {
    setObjectName("Carte_Monde");
    setWindowTitle(fromView(msg::kMapCaption));
    setAttribute(Qt::WA_DeleteOnClose);

    Azimutale = new QRadioButton(fromView(msg::kAzimuthal), this);
    Azimutale->setObjectName("Azimutale");
    Planisphere = new QRadioButton(fromView(msg::kPlain), this);
    Planisphere->setObjectName("Planisphere");
    Azimutale->setChecked(true);
    Centre = new QLabel(this);
    Centre->setObjectName("Centre");
    Export_PNG = new QPushButton(fromView(msg::kExportPng), this);
    Export_PNG->setObjectName("Export_PNG");
    Export_PNG->setAutoDefault(true);
    Carte = new WorldMapView(this);

    auto* top = new QHBoxLayout;
    top->addWidget(Azimutale);
    top->addWidget(Planisphere);
    top->addSpacing(16);
    top->addWidget(Centre, 1);
    top->addWidget(Export_PNG);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Carte, 1);

    connect(Azimutale, &QRadioButton::toggled, this, [this](bool on) {
        Carte->setProjection(on ? dxcc::Projection::Azimuthal : dxcc::Projection::Plain);
    });
    connect(Carte, &WorldMapView::dotClicked, this, &WorldMapWindow::entityChosen);
    connect(Export_PNG, &QPushButton::clicked, this, &WorldMapWindow::exportPng);
    refresh();
}

void WorldMapWindow::refresh() {
    MapContent content = source_();
    Centre->setText(content.stationLocator.isEmpty()
                        ? fromView(msg::kNoLocator)
                        : fromView(msg::kMapCentre).replace("{L}", content.stationLocator));
    Carte->setContent(std::move(content));
}

void WorldMapWindow::exportPng() {
    savePicture(ctx_, exportTo_, *Carte);
}

}  // namespace ui
