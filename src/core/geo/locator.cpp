#include "core/geo/locator.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/base/text_utils.h"

namespace dxcc::geo {

namespace {

constexpr double kEarthRadiusKm = 6371.0;
constexpr double kPi = std::numbers::pi;

double radians(double degrees) {
    return degrees * kPi / 180.0;
}
double degrees(double radians) {
    return radians * 180.0 / kPi;
}

bool letterIn(char c, char last) {
    const char u = upperAscii(c);
    return u >= 'A' && u <= last;
}

double normalizedHeading(double d) {
    d = std::fmod(d, 360.0);
    if (d < 0) d += 360.0;
    // A heading that rounds to 360 reads as north.
    return d >= 360.0 ? 0.0 : d;
}

}  // namespace

bool isValidLocator(std::string_view locator) {
    const std::string_view l = trimBlanks(locator);
    if (l.size() != 4 && l.size() != 6) return false;
    if (!letterIn(l[0], 'R') || !letterIn(l[1], 'R') || !isAsciiDigit(l[2]) || !isAsciiDigit(l[3]))
        return false;
    return l.size() == 4 || (letterIn(l[4], 'X') && letterIn(l[5], 'X'));
}

std::string normalizedLocator(std::string_view locator) {
    if (!isValidLocator(locator)) return {};
    std::string l(trimBlanks(locator));
    l[0] = upperAscii(l[0]);
    l[1] = upperAscii(l[1]);
    if (l.size() == 6) {
        l[4] = static_cast<char>(upperAscii(l[4]) + 32);
        l[5] = static_cast<char>(upperAscii(l[5]) + 32);
    }
    return l;
}

std::optional<LatLon> locatorCenter(std::string_view locator) {
    if (!isValidLocator(locator)) return std::nullopt;
    const std::string_view l = trimBlanks(locator);
    double lon = -180.0 + (upperAscii(l[0]) - 'A') * 20.0 + (l[2] - '0') * 2.0;
    double lat = -90.0 + (upperAscii(l[1]) - 'A') * 10.0 + (l[3] - '0') * 1.0;
    if (l.size() == 6) {
        lon += (upperAscii(l[4]) - 'A') * (2.0 / 24.0) + 1.0 / 24.0;
        lat += (upperAscii(l[5]) - 'A') * (1.0 / 24.0) + 0.5 / 24.0;
    } else {
        lon += 1.0;
        lat += 0.5;
    }
    return LatLon{lat, lon};
}

std::string locatorOf(LatLon point) {
    double lon = std::clamp(point.longitude, -180.0, 180.0 - 1e-9) + 180.0;
    double lat = std::clamp(point.latitude, -90.0, 90.0 - 1e-9) + 90.0;
    std::string l(6, ' ');
    const int fieldLon = static_cast<int>(lon / 20.0);
    const int fieldLat = static_cast<int>(lat / 10.0);
    lon -= fieldLon * 20.0;
    lat -= fieldLat * 10.0;
    const int squareLon = static_cast<int>(lon / 2.0);
    const int squareLat = static_cast<int>(lat);
    lon -= squareLon * 2.0;
    lat -= squareLat;
    const int subLon = std::min(23, static_cast<int>(lon * 12.0));
    const int subLat = std::min(23, static_cast<int>(lat * 24.0));
    l[0] = static_cast<char>('A' + fieldLon);
    l[1] = static_cast<char>('A' + fieldLat);
    l[2] = static_cast<char>('0' + squareLon);
    l[3] = static_cast<char>('0' + squareLat);
    l[4] = static_cast<char>('a' + subLon);
    l[5] = static_cast<char>('a' + subLat);
    return l;
}

double shortPathHeading(LatLon from, LatLon to) {
    const double phi1 = radians(from.latitude);
    const double phi2 = radians(to.latitude);
    const double dLambda = radians(to.longitude - from.longitude);
    const double y = std::sin(dLambda) * std::cos(phi2);
    const double x =
        std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dLambda);
    if (std::abs(x) < 1e-12 && std::abs(y) < 1e-12) return 0.0;
    return normalizedHeading(degrees(std::atan2(y, x)));
}

double longPathHeading(LatLon from, LatLon to) {
    return normalizedHeading(shortPathHeading(from, to) + 180.0);
}

double distanceKm(LatLon from, LatLon to) {
    // Haversine: well conditioned for near and far points alike.
    const double phi1 = radians(from.latitude);
    const double phi2 = radians(to.latitude);
    const double dPhi = phi2 - phi1;
    const double dLambda = radians(to.longitude - from.longitude);
    const double a = std::sin(dPhi / 2) * std::sin(dPhi / 2) + std::cos(phi1) * std::cos(phi2) *
                                                                   std::sin(dLambda / 2) *
                                                                   std::sin(dLambda / 2);
    return 2.0 * kEarthRadiusKm * std::asin(std::sqrt(std::clamp(a, 0.0, 1.0)));
}

double longPathDistanceKm(LatLon from, LatLon to) {
    return 2.0 * kPi * kEarthRadiusKm - distanceKm(from, to);
}

SunTimes sunTimes(LatLon place, int year, int month, int day) {
    // The NOAA sunrise equation: the sun's declination and the equation of
    // time at noon of the day, the sun's centre 0.833 degrees below the
    // horizon (refraction and the disc's radius).
    const int a = (14 - month) / 12;
    const int y = year + 4800 - a;
    const int m = month + 12 * a - 3;
    const long julianDayNumber =
        day + (153L * m + 2) / 5 + 365L * y + y / 4 - y / 100 + y / 400 - 32045;
    // Julian centuries since J2000.0 at about local noon.
    const double jd = static_cast<double>(julianDayNumber) - place.longitude / 360.0;
    const double t = (jd - 2451545.0) / 36525.0;

    const double l0 = std::fmod(280.46646 + t * (36000.76983 + t * 0.0003032), 360.0);
    const double m0 = 357.52911 + t * (35999.05029 - 0.0001537 * t);
    const double e = 0.016708634 - t * (0.000042037 + 0.0000001267 * t);
    const double mr = radians(m0);
    const double center = std::sin(mr) * (1.914602 - t * (0.004817 + 0.000014 * t)) +
                          std::sin(2 * mr) * (0.019993 - 0.000101 * t) +
                          std::sin(3 * mr) * 0.000289;
    const double trueLong = l0 + center;
    const double omega = 125.04 - 1934.136 * t;
    const double apparentLong = trueLong - 0.00569 - 0.00478 * std::sin(radians(omega));
    const double obliquity0 =
        23.0 + (26.0 + (21.448 - t * (46.815 + t * (0.00059 - t * 0.001813))) / 60.0) / 60.0;
    const double obliquity = obliquity0 + 0.00256 * std::cos(radians(omega));
    const double declination =
        std::asin(std::sin(radians(obliquity)) * std::sin(radians(apparentLong)));
    const double yv = std::tan(radians(obliquity / 2)) * std::tan(radians(obliquity / 2));
    const double l0r = radians(l0);
    const double equationOfTime =
        4.0 * degrees(yv * std::sin(2 * l0r) - 2 * e * std::sin(mr) +
                      4 * e * yv * std::sin(mr) * std::cos(2 * l0r) -
                      0.5 * yv * yv * std::sin(4 * l0r) - 1.25 * e * e * std::sin(2 * mr));

    const double lat = radians(place.latitude);
    const double cosHourAngle =
        (std::cos(radians(90.833)) - std::sin(lat) * std::sin(declination)) /
        (std::cos(lat) * std::cos(declination));
    SunTimes times;
    if (cosHourAngle <= -1.0) {
        times.polarDay = true;
        return times;
    }
    if (cosHourAngle >= 1.0) {
        times.polarNight = true;
        return times;
    }
    const double hourAngle = degrees(std::acos(cosHourAngle));
    const double noon = 720.0 - 4.0 * place.longitude - equationOfTime;
    const auto wrap = [](double minutes) {
        int v = static_cast<int>(std::lround(minutes)) % 1440;
        return v < 0 ? v + 1440 : v;
    };
    times.sunrise = wrap(noon - 4.0 * hourAngle);
    times.sunset = wrap(noon + 4.0 * hourAngle);
    return times;
}

std::string minutesText(int minutes) {
    minutes %= 1440;
    if (minutes < 0) minutes += 1440;
    std::string text(5, ':');
    text[0] = static_cast<char>('0' + minutes / 600);
    text[1] = static_cast<char>('0' + minutes / 60 % 10);
    text[3] = static_cast<char>('0' + minutes % 60 / 10);
    text[4] = static_cast<char>('0' + minutes % 10);
    return text;
}

}  // namespace dxcc::geo
