#pragma once

#include <QLabel>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <functional>
#include <vector>

#include "core/awards/dxcc_table.h"
#include "core/geo/map_projection.h"
#include "platform/app_context.h"
#include "windows/awards/export_file.h"

namespace ui {

// One entity on the map.
struct MapDot {
    QString prefix;
    QString name;
    dxcc::LatLon position;
    dxcc::Need mark = dxcc::Need::Never;
};

// What the map shows: the station's place and every entity with a position.
struct MapContent {
    dxcc::LatLon station;
    QString stationLocator;  // empty when the station has none
    std::vector<MapDot> dots;
};

// The drawing: coastlines, rings and headings (azimuthal), the entity dots.
class WorldMapView : public QWidget {
    Q_OBJECT
public:
    explicit WorldMapView(QWidget* parent = nullptr);

    void setContent(MapContent content);
    void setProjection(dxcc::Projection kind);
    const dxcc::MapProjection& projection() const { return projection_; }
    const MapContent& content() const { return content_; }

    // The dot under the widget point `p` (within a few pixels), or -1.
    int dotAt(QPointF p) const;
    // Widget position of a dot.
    QPointF dotPosition(int dot) const;
    // The tooltip text of a dot: entity, heading and distance from the station.
    QString dotText(int dot) const;

    QSize sizeHint() const override { return {900, 620}; }

signals:
    void dotClicked(const QString& prefix);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent*) override;

private:
    // Map units to widget pixels.
    QTransform mapToWidget() const;
    void rebuildPaths();

    MapContent content_;
    dxcc::MapProjection projection_{dxcc::Projection::Azimuthal, {}};
    QPainterPath coast_;  // in map units
};

// "Carte_Monde": the world with every entity coloured by its standing.
class WorldMapWindow : public QWidget {
    Q_OBJECT
public:
    // `source` gives the map's content; called at opening and at refresh().
    WorldMapWindow(AppContext& ctx, std::function<MapContent()> source, ExportWriter exportTo,
                   QWidget* parent = nullptr);

    void refresh();

    QRadioButton* Azimutale;
    QRadioButton* Planisphere;
    QLabel* Centre;
    QPushButton* Export_PNG;
    WorldMapView* Carte;

signals:
    void entityChosen(const QString& prefix);

private:
    void exportPng();

    AppContext& ctx_;
    ExportWriter exportTo_;
    std::function<MapContent()> source_;
};

// The shipped coastlines (read once from the program's resources).
const std::vector<std::vector<dxcc::LatLon>>& worldOutlines();

// The dot colours: confirmed, worked, never worked.
QColor dotColour(dxcc::Need mark);

}  // namespace ui
