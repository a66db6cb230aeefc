#include "core/session/station_settings.h"

#include <charconv>

#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/station_callsign.h"

namespace dxcc {

namespace {

// Every section and key of the settings store, defined here only. The
// program's settings sit in the global section; each station's own in a
// section named after it.
constexpr std::string_view kGlobalSection = "Setup ";
constexpr std::string_view kStationSectionPrefix = "Setup ";

constexpr std::string_view kKeyStationCallsign = "Indicatif Station";
constexpr std::string_view kKeyProgramDirectory = "Chemin Repertoire";
// Qt's saved geometry of the main window, in base64.
constexpr std::string_view kKeyMainGeometry = "Fenetre Principale";
constexpr std::string_view kKeyClusterHost = "Cluster Hote";
constexpr std::string_view kKeyClusterPort = "Cluster Port";
constexpr std::string_view kKeyClusterLogin = "Cluster Indicatif";
constexpr std::string_view kKeyClusterBell = "Cluster Sonnerie";
constexpr std::string_view kKeyClusterConnected = "Cluster Connecte";
constexpr std::string_view kKeyRigModel = "Rig Modele";
constexpr std::string_view kKeyRigPort = "Rig Port";
constexpr std::string_view kKeyRigSpeed = "Rig Vitesse";
constexpr std::string_view kKeyDigitalAddress = "WSJTX Adresse";
constexpr std::string_view kKeyDigitalPort = "WSJTX Port";
constexpr std::string_view kKeyDigitalHighlights = "WSJTX Surlignage";
constexpr std::string_view kKeyDigitalSound = "WSJTX Son";
constexpr std::string_view kKeyDigitalFollowDxCall = "WSJTX Suivre DX";
constexpr std::string_view kKeyDigitalAsk = "WSJTX Demander";
constexpr std::string_view kKeyDigitalListening = "WSJTX Ecoute";

// In the station's section.
constexpr std::string_view kKeyBandIndex = "bande Utilisee";
constexpr std::string_view kKeyModeIndex = "Mode Utilise";
constexpr std::string_view kKeyDateAuto = "Date Auto";
constexpr std::string_view kKeyLocator = "Locator";
constexpr std::string_view kKeyRevision = "Revision";

constexpr std::string_view kYes = "Oui";
constexpr std::string_view kNo = "Non";

// The position to select in a list of `itemCount` entries for a stored value:
// -1 means no selection; anything else outside the list, or unreadable,
// selects the first entry.
int listPosition(std::string_view value, int itemCount) {
    int index = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), index);
    if (ec != std::errc() || end != value.data() + value.size()) return 0;
    if (index == -1) return -1;
    return index >= 0 && index < itemCount ? index : 0;
}

std::string_view labelAt(int position, std::span<const std::string_view> items) {
    return items[position >= 0 ? static_cast<size_t>(position) : 0];
}

}  // namespace

std::optional<int> chosenPosition(const BoxChoice& choice,
                                  std::span<const std::string_view> items) {
    const int index = listItemIndex(choice.text, items);
    if (choice.showsLoggedLine && !(choice.enter && index >= 0)) return std::nullopt;
    if (choice.showsRadioBand) return std::nullopt;
    return index;
}

StationSettings::StationSettings(std::shared_ptr<SessionSettings> store)
    : store_(std::move(store)), station_(kNoStation) {}

std::string StationSettings::value(std::string_view section, std::string_view key,
                                   std::string_view fallback) const {
    return store_ ? store_->get(section, key, fallback) : std::string(fallback);
}

void StationSettings::store(std::string_view section, std::string_view key,
                            std::string_view value) {
    if (store_) store_->set(section, key, value);
}

std::string StationSettings::stationSection() const {
    return std::string(kStationSectionPrefix) + station_;
}

int StationSettings::number(std::string_view key, int fallback) const {
    const std::string text(trimBlanks(value(kGlobalSection, key, {})));
    int n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    return ec == std::errc() && end == text.data() + text.size() ? n : fallback;
}

bool StationSettings::answer(std::string_view key, bool fallback) const {
    const std::string text = value(kGlobalSection, key, {});
    if (text == kYes) return true;
    if (text == kNo) return false;
    return fallback;
}

std::string StationSettings::chosenStation() const {
    return value(kGlobalSection, kKeyStationCallsign, kNoStation);
}

void StationSettings::setChosenStation(std::string_view station) {
    store(kGlobalSection, kKeyStationCallsign, station);
}

void StationSettings::forgetStation() {
    setChosenStation(kNoStation);
    store(stationSection(), kKeyLocator, {});
}

void StationSettings::setProgramDirectory(const std::filesystem::path& folder) {
    const std::u8string utf8 = folder.u8string();
    store(kGlobalSection, kKeyProgramDirectory, std::string(utf8.begin(), utf8.end()));
}

std::string StationSettings::mainWindowGeometry() const {
    return value(kGlobalSection, kKeyMainGeometry, {});
}

void StationSettings::setMainWindowGeometry(std::string_view geometry) {
    store(kGlobalSection, kKeyMainGeometry, geometry);
}

ClusterSettings StationSettings::cluster() const {
    ClusterSettings c;
    c.host = std::string(trimBlanks(value(kGlobalSection, kKeyClusterHost, {})));
    const int port = number(kKeyClusterPort, c.port);
    if (port > 0 && port <= 65535) c.port = port;
    c.login = std::string(trimBlanks(value(kGlobalSection, kKeyClusterLogin, {})));
    if (c.login.empty()) c.login = displayForm(station_);
    c.bell = answer(kKeyClusterBell);
    c.connected = answer(kKeyClusterConnected);
    return c;
}

void StationSettings::setClusterServer(std::string_view host, int port, std::string_view login) {
    store(kGlobalSection, kKeyClusterHost, trimBlanks(host));
    store(kGlobalSection, kKeyClusterPort, std::to_string(port));
    store(kGlobalSection, kKeyClusterLogin, trimBlanks(login));
}

void StationSettings::setClusterBell(bool on) {
    store(kGlobalSection, kKeyClusterBell, on ? kYes : kNo);
}

void StationSettings::setClusterConnected(bool on) {
    store(kGlobalSection, kKeyClusterConnected, on ? kYes : kNo);
}

RadioSettings StationSettings::radio() const {
    RadioSettings r;
    r.model = number(kKeyRigModel, 0);
    r.port = value(kGlobalSection, kKeyRigPort, {});
    r.speed = number(kKeyRigSpeed, 0);
    return r;
}

void StationSettings::setRadio(const RadioSettings& radio) {
    store(kGlobalSection, kKeyRigModel, std::to_string(radio.model));
    store(kGlobalSection, kKeyRigPort, trimBlanks(radio.port));
    store(kGlobalSection, kKeyRigSpeed, std::to_string(radio.speed));
}

DigitalLinkSettings StationSettings::digitalLink() const {
    DigitalLinkSettings link;
    link.address = value(kGlobalSection, kKeyDigitalAddress, link.address);
    const int port = number(kKeyDigitalPort, link.port);
    if (port > 0 && port <= 65535) link.port = port;
    link.highlights = answer(kKeyDigitalHighlights, link.highlights);
    link.sound = answer(kKeyDigitalSound, link.sound);
    link.followDxCall = answer(kKeyDigitalFollowDxCall, link.followDxCall);
    link.askBeforeLogging = answer(kKeyDigitalAsk, link.askBeforeLogging);
    link.listening = answer(kKeyDigitalListening, link.listening);
    return link;
}

void StationSettings::setDigitalLink(const DigitalLinkSettings& link) {
    store(kGlobalSection, kKeyDigitalAddress, trimBlanks(link.address));
    store(kGlobalSection, kKeyDigitalPort, std::to_string(link.port));
    store(kGlobalSection, kKeyDigitalHighlights, link.highlights ? kYes : kNo);
    store(kGlobalSection, kKeyDigitalSound, link.sound ? kYes : kNo);
    store(kGlobalSection, kKeyDigitalFollowDxCall, link.followDxCall ? kYes : kNo);
    store(kGlobalSection, kKeyDigitalAsk, link.askBeforeLogging ? kYes : kNo);
}

void StationSettings::setDigitalListening(bool on) {
    store(kGlobalSection, kKeyDigitalListening, on ? kYes : kNo);
}

int StationSettings::bandPosition() const {
    return listPosition(value(stationSection(), kKeyBandIndex, "0"), int(kBands.size()));
}

int StationSettings::modePosition() const {
    return listPosition(value(stationSection(), kKeyModeIndex, "0"), int(kModes.size()));
}

std::string_view StationSettings::bandLabel() const {
    return labelAt(bandPosition(), kBands);
}

std::string_view StationSettings::modeLabel() const {
    return labelAt(modePosition(), kModes);
}

bool StationSettings::chooseBand(const BoxChoice& choice) {
    const std::optional<int> position = chosenPosition(choice, kBands);
    if (position) store(stationSection(), kKeyBandIndex, std::to_string(*position));
    return position.has_value();
}

bool StationSettings::chooseMode(const BoxChoice& choice) {
    const std::optional<int> position = chosenPosition(choice, kModes);
    if (position) store(stationSection(), kKeyModeIndex, std::to_string(*position));
    return position.has_value();
}

void StationSettings::startNewStation(std::string_view station) {
    const std::string section = std::string(kStationSectionPrefix) + std::string(station);
    store(section, kKeyBandIndex, "0");
    store(section, kKeyModeIndex, "0");
}

bool StationSettings::automaticDate() const {
    return value(stationSection(), kKeyDateAuto, kYes) != kNo;
}

void StationSettings::setAutomaticDate(bool automatic) {
    store(stationSection(), kKeyDateAuto, automatic ? kYes : kNo);
}

std::string StationSettings::locator() const {
    return value(stationSection(), kKeyLocator, {});
}

bool StationSettings::setLocator(std::string_view locator) {
    const std::string_view typed = trimBlanks(locator);
    const std::string normal = geo::normalizedLocator(typed);
    if (!typed.empty() && normal.empty()) return false;
    store(stationSection(), kKeyLocator, normal);
    return true;
}

std::optional<geo::LatLon> StationSettings::stationPosition() const {
    return geo::locatorCenter(locator());
}

void StationSettings::noteRevision() {
    store(stationSection(), kKeyRevision, kRevision);
}

}  // namespace dxcc
