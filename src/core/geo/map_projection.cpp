#include "core/geo/map_projection.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace dxcc {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

// Angular distance (radians) and initial heading (radians) from a to b.
struct Polar {
    double angle;
    double heading;
};

Polar polar(double sinLat0, double cosLat0, double lon0, LatLon p) {
    const double lat = p.lat * kRad;
    const double dLon = (p.lon - lon0) * kRad;
    const double sinLat = std::sin(lat), cosLat = std::cos(lat);
    const double cosC =
        std::clamp(sinLat0 * sinLat + cosLat0 * cosLat * std::cos(dLon), -1.0, 1.0);
    // atan2 form of the angle: exact near 0 and near pi, where acos is not.
    const double y = cosLat * std::sin(dLon);
    const double x = cosLat0 * sinLat - sinLat0 * cosLat * std::cos(dLon);
    const double angle = std::atan2(std::hypot(x, y), cosC);
    const double heading = (x == 0 && y == 0) ? 0.0 : std::atan2(y, x);
    return {angle, heading};
}

// Longitude brought into [-180, 180).
double wrapLon(double lon) {
    lon = std::fmod(lon + 180.0, 360.0);
    if (lon < 0) lon += 360.0;
    return lon - 180.0;
}

}  // namespace

MapProjection::MapProjection(Projection kind, LatLon centre)
    : kind_(kind),
      centre_(centre),
      sinLat0_(std::sin(centre.lat * kRad)),
      cosLat0_(std::cos(centre.lat * kRad)) {}

MapXY MapProjection::project(LatLon p) const {
    if (kind_ == Projection::Plain) return {wrapLon(p.lon) / 180.0, -p.lat / 180.0};
    const Polar q = polar(sinLat0_, cosLat0_, centre_.lon, p);
    const double r = q.angle / kPi;
    return {r * std::sin(q.heading), -r * std::cos(q.heading)};
}

std::vector<std::vector<MapXY>> MapProjection::projectLine(const std::vector<LatLon>& line) const {
    // A real coastline segment (1:110m) spans a few degrees; a jump of more
    // than this on the map is a wrap, not a segment to draw.
    const double maxJump = kind_ == Projection::Plain ? 0.5 : 0.25;
    std::vector<std::vector<MapXY>> out;
    std::vector<MapXY> current;
    for (const LatLon& p : line) {
        const MapXY xy = project(p);
        if (!current.empty() &&
            std::hypot(xy.x - current.back().x, xy.y - current.back().y) > maxJump) {
            if (current.size() >= 2) out.push_back(std::move(current));
            current.clear();
        }
        current.push_back(xy);
    }
    if (current.size() >= 2) out.push_back(std::move(current));
    return out;
}

std::vector<std::vector<LatLon>> parseWorldOutline(std::string_view text) {
    std::vector<std::vector<LatLon>> outlines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        if (line.empty() || line.front() == '#') continue;
        std::vector<LatLon> points;
        size_t i = 0;
        while (i < line.size()) {
            while (i < line.size() && (line[i] == ' ' || line[i] == '\r')) ++i;
            size_t j = line.find(' ', i);
            if (j == std::string_view::npos) j = line.size();
            std::string_view pair = line.substr(i, j - i);
            i = j;
            if (!pair.empty() && pair.back() == '\r') pair.remove_suffix(1);
            const size_t comma = pair.find(',');
            if (comma == std::string_view::npos) continue;
            int lon = 0, lat = 0;
            const char* b = pair.data();
            auto [p1, e1] = std::from_chars(b, b + comma, lon);
            auto [p2, e2] = std::from_chars(b + comma + 1, b + pair.size(), lat);
            if (e1 != std::errc() || e2 != std::errc() || p1 != b + comma ||
                p2 != b + pair.size() || lon < -18000 || lon > 18000 || lat < -9000 ||
                lat > 9000)
                continue;
            points.push_back({lat / 100.0, lon / 100.0});
        }
        if (points.size() >= 2) outlines.push_back(std::move(points));
    }
    return outlines;
}

}  // namespace dxcc
