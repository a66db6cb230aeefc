#pragma once

#include <optional>
#include <string>
#include <string_view>

// The station's Maidenhead locator and the great-circle and sun arithmetic
// between two points of the Earth, modelled as a sphere.
namespace dxcc::geo {

struct LatLon {
    double latitude = 0;   // degrees, north positive
    double longitude = 0;  // degrees, east positive
};

// A Maidenhead locator of 4 or 6 characters: two letters A-R, two digits,
// then optionally two letters A-X. Letter case is ignored, blanks around it
// too. Anything else is malformed.
bool isValidLocator(std::string_view locator);

// The locator in the form it is stored: upper-case field, digits, lower-case
// subsquare ("JN18du"); empty when malformed.
std::string normalizedLocator(std::string_view locator);

// The centre of the square (4 characters) or subsquare (6); none when malformed.
std::optional<LatLon> locatorCenter(std::string_view locator);

// The locator of 6 characters of a point.
std::string locatorOf(LatLon point);

// Short-path initial heading from `from` to `to`, degrees clockwise from true
// north in [0, 360). 0 when the points are the same.
double shortPathHeading(LatLon from, LatLon to);
// Long-path heading: the opposite direction.
double longPathHeading(LatLon from, LatLon to);
// Great-circle distance in km along the short path (mean Earth radius).
double distanceKm(LatLon from, LatLon to);
// Along the long path: the rest of the circumference.
double longPathDistanceKm(LatLon from, LatLon to);

// Sunrise and sunset at a place on a day, in minutes after 00:00 UTC of that
// day (may fall before 0 or after 1440 far from Greenwich: then wrapped into
// the day). Neither when the sun stays up (polarDay) or down all day.
struct SunTimes {
    std::optional<int> sunrise;
    std::optional<int> sunset;
    bool polarDay = false;
    bool polarNight = false;
};
SunTimes sunTimes(LatLon place, int year, int month, int day);

// "HH:MM" of a count of minutes after 00:00 (wrapped into one day).
std::string minutesText(int minutes);

}  // namespace dxcc::geo
