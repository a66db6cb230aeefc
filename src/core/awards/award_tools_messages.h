#pragma once

#include <string_view>

// Every text of the DXCC table, the progress chart and the world map (UTF-8),
// defined once.
namespace dxcc::award_tools_messages {

// Menu items (menu "Outils").
inline constexpr std::string_view kTableMenuItem = "Tableau DXCC";
inline constexpr std::string_view kChartMenuItem = "Progression DXCC";
inline constexpr std::string_view kMapMenuItem = "Carte du monde";

// The DXCC table.
// Each window is named as its menu item.
inline constexpr std::string_view kTableCaption = kTableMenuItem;
inline constexpr std::string_view kMissingOnly = "Seulement ce qui manque en";
inline constexpr std::string_view kSortBy = "Trier par";
inline constexpr std::string_view kSortPrefix = "Préfixe";
inline constexpr std::string_view kSortEntity = "Contrée";
inline constexpr std::string_view kSortContinent = "Continent";
inline constexpr std::string_view kTotalConfirmed = "Total confirmé";
inline constexpr std::string_view kTotalWorked = "Total contacté";
inline constexpr std::string_view kRowCount = "{N} contrées affichées";
inline constexpr std::string_view kExportCsv = "Exporter en CSV";
inline constexpr std::string_view kCsvFilter = "Fichiers CSV (*.csv)";
inline constexpr std::string_view kCsvSuffix = ".csv";
inline constexpr std::string_view kTableHint =
    "C : confirmé, W : contacté ; un double clic cherche les QSO de la contrée";

// The progress chart.
inline constexpr std::string_view kChartCaption = kChartMenuItem;
inline constexpr std::string_view kAwardChooser = "Diplôme";
inline constexpr std::string_view kWorkedCurve = "Contrées contactées";
inline constexpr std::string_view kConfirmedCurve = "Contrées confirmées";
inline constexpr std::string_view kAwardLine = "100 (diplôme)";
inline constexpr std::string_view kStickerMarks = "Stickers";
inline constexpr std::string_view kChartTitle = "DXCC {A}";
inline constexpr std::string_view kChartEmpty = "Aucun QSO daté pour ce diplôme";
inline constexpr std::string_view kChartUndated = "{N} QSO sans date lisible ignorés";

// The world map.
inline constexpr std::string_view kMapCaption = kMapMenuItem;
inline constexpr std::string_view kAzimuthal = "Azimutale (depuis le locator)";
inline constexpr std::string_view kPlain = "Planisphère";
inline constexpr std::string_view kLegendConfirmed = "Confirmée";
inline constexpr std::string_view kLegendWorked = "Contactée";
inline constexpr std::string_view kLegendNeeded = "Jamais contactée";
inline constexpr std::string_view kNoLocator =
    "Pas de locator pour la station : la carte azimutale est centrée sur Paris (JN18du)";
inline constexpr std::string_view kMapCentre = "Centre : {L}";
// "{P} - {E} : 123°, 4 567 km"
inline constexpr std::string_view kDotTip = "{P} - {E} : {H}°, {D} km";

// Both windows' picture export.
inline constexpr std::string_view kExportPng = "Exporter en PNG";
inline constexpr std::string_view kPngFilter = "Images PNG (*.png)";
inline constexpr std::string_view kPngSuffix = ".png";
inline constexpr std::string_view kExportNotWritten = "Le fichier n'a pas été écrit.";
inline constexpr std::string_view kExportedTo = "Exporté dans ";

}  // namespace dxcc::award_tools_messages
