#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace dxcc {

// A place on the Earth in degrees: latitude north positive, longitude east positive.
struct LatLon {
    double lat = 0;
    double lon = 0;
};

// A point of the map, in map units: the plain map spans x in [-1, 1] and y in
// [-0.5, 0.5]; the azimuthal map is the unit disc, the antipode on its rim.
// y grows downwards, as on a screen.
struct MapXY {
    double x = 0;
    double y = 0;
};

enum class Projection { Azimuthal, Plain };

// Half the Earth's great circle in kilometres: the azimuthal map's radius.
inline constexpr double kHalfCircumferenceKm = 3.14159265358979323846 * 6371.0;

class MapProjection {
public:
    // `centre` matters only for the azimuthal projection.
    MapProjection(Projection kind, LatLon centre);

    Projection kind() const { return kind_; }
    LatLon centre() const { return centre_; }

    // Where `p` stands on the map.
    MapXY project(LatLon p) const;

    // The polylines of an outline as drawn: broken where consecutive points
    // land far apart on the map (a line wrapping round the edge of the plain
    // map, or passing near the antipode of the azimuthal one).
    std::vector<std::vector<MapXY>> projectLine(const std::vector<LatLon>& line) const;

private:
    Projection kind_;
    LatLon centre_;
    double sinLat0_ = 0;
    double cosLat0_ = 1;
};

// Outlines read from the shipped coastline file: one line per outline of
// "lon,lat" pairs in hundredths of a degree, separated by blanks; lines
// starting with '#' and malformed pairs are skipped, outlines of fewer than
// two points dropped.
std::vector<std::vector<LatLon>> parseWorldOutline(std::string_view text);

}  // namespace dxcc
