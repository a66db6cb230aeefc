#include "windows/awards/award_tool_sources.h"

#include "core/geo/locator.h"
#include "platform/text.h"

namespace ui {

namespace {

// Where the azimuthal map is centred when the station has no locator.
constexpr const char* kDefaultLocator = "JN18du";

}  // namespace

std::function<dxcc::DxccTable()> dxccTableSource(dxcc::LogSession& session) {
    return [&session] {
        return dxcc::dxccTableOf(session.prefixes().table(), session.needed(),
                                 session.entityData());
    };
}

std::function<MapContent()> worldMapSource(dxcc::LogSession& session) {
    return [&session] {
        MapContent c;
        std::optional<dxcc::geo::LatLon> centre = session.settings().stationPosition();
        if (centre)
            c.stationLocator =
                QString::fromStdString(dxcc::geo::normalizedLocator(session.settings().locator()));
        else
            centre = dxcc::geo::locatorCenter(kDefaultLocator);
        c.station = {centre->latitude, centre->longitude};
        const dxcc::DxccTable table = dxccTableSource(session)();
        for (const dxcc::MapEntity& e : dxcc::mapEntities(table, session.entityData()))
            c.dots.push_back(
                {fromCp1252(e.prefix), fromCp1252(e.entity), {e.latitude, e.longitude}, e.mark});
        return c;
    };
}

}  // namespace ui
