#pragma once

#include <functional>

#include "core/awards/dxcc_table.h"
#include "core/session/log_session.h"
#include "windows/awards/world_map_window.h"

namespace ui {

// The DXCC table of the session, from its needed-status engine.
std::function<dxcc::DxccTable()> dxccTableSource(dxcc::LogSession& session);

// The map's content: the station's locator (of its settings) and every
// entity with a position, coloured by its Mixed standing. Without a valid
// locator the map is centred on Paris.
std::function<MapContent()> worldMapSource(dxcc::LogSession& session);

}  // namespace ui
