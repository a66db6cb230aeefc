#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/geo/locator.h"
#include "core/session/session_settings.h"

namespace dxcc {

// The DX cluster's server and what the operator chose of it.
struct ClusterSettings {
    std::string host;  // empty while none is set
    int port = 7300;
    // The callsign given at the login: the one set, else the station's in
    // display form.
    std::string login;
    bool bell = false;       // ring when a spot brings a new entity
    bool connected = false;  // connected when the program last ended: again at its start
};

// The radio whose band and mode the entry form follows.
struct RadioSettings {
    int model = 0;     // Hamlib's number of the model; 0: no radio
    std::string port;  // serial device, or host:port of a running rigctld
    int speed = 0;     // serial speed; 0: the model's own
};

// Where the digital-mode program (WSJT-X, JTDX) sends its datagrams.
struct DigitalLinkSettings {
    std::string address = "127.0.0.1";
    int port = 2237;
    // What the program does with the decodes and the contacts logged there.
    bool highlights = true;         // colours the callsigns in the decoder's window
    bool sound = true;              // a sound when a new entity is heard
    bool followDxCall = true;       // the decoder's DX call goes into the entry form
    bool askBeforeLogging = false;  // a contact logged there waits in the form for Enter
    bool listening = false;         // listening when the program last ended: again at its start
};

// What the band or mode box of the entry form shows when the operator
// presses a key in it.
struct BoxChoice {
    std::string_view text;  // the box's text
    // The box still shows the band or mode of the line of the log last looked at.
    bool showsLoggedLine = false;
    // The band box shows the radio's band, which its list lacks.
    bool showsRadioBand = false;
    bool enter = false;  // the key is Enter
};

// The position of the entry list `items` that `choice` makes the operator's
// (-1: a text that names no entry), or none when the box is only passed
// through: looking at a logged line's band or mode, or at the radio's band, is
// not choosing it; Enter on a listed entry is.
std::optional<int> chosenPosition(const BoxChoice& choice, std::span<const std::string_view> items);

// The settings of the program and of each station, typed: what every window
// and command reads and writes, never a key of the store. Each reading goes to
// the store (defaults without one), each change is written at once. The
// station's own settings (band, mode, date, locator) are those of the station
// followed, the session's.
class StationSettings {
public:
    explicit StationSettings(std::shared_ptr<SessionSettings> store = {});

    // The station whose own settings are read and written.
    void follow(std::string station) { station_ = std::move(station); }

    // --- the program's
    // The station chosen in the windows (stored form); kNoStation while none
    // was ever chosen.
    std::string chosenStation() const;
    void setChosenStation(std::string_view station);
    // The station's log is gone and the operator gave the station up: the next
    // start asks for one, and the station's locator is forgotten with it.
    void forgetStation();
    // The data folder of the program's last start, for the operator to find.
    void setProgramDirectory(const std::filesystem::path& folder);
    // The main window's size and place (as the window saves them); empty when
    // never saved.
    std::string mainWindowGeometry() const;
    void setMainWindowGeometry(std::string_view geometry);

    ClusterSettings cluster() const;
    // The server, its port and the login callsign (empty: the station's).
    void setClusterServer(std::string_view host, int port, std::string_view login);
    void setClusterBell(bool on);
    void setClusterConnected(bool on);
    RadioSettings radio() const;
    void setRadio(const RadioSettings& radio);
    DigitalLinkSettings digitalLink() const;
    // Stores everything but `listening`, which setDigitalListening keeps.
    void setDigitalLink(const DigitalLinkSettings& link);
    void setDigitalListening(bool on);

    // --- the station's own
    // The entry form's band and mode, by position in the entry lists (kBands,
    // kModes): -1 for a text that names no entry; the first entry when nothing
    // readable is stored.
    int bandPosition() const;
    int modePosition() const;
    // Their labels in the entry lists; the first entry for a text of none.
    std::string_view bandLabel() const;
    std::string_view modeLabel() const;
    // Stores the box's position when `choice` chooses it (see chosenPosition);
    // answers whether it did.
    bool chooseBand(const BoxChoice& choice);
    bool chooseMode(const BoxChoice& choice);
    // A station whose log was just made starts at the first band and mode.
    void startNewStation(std::string_view station);

    // Whether the entry form takes the date from the clock (unless the station
    // said otherwise).
    bool automaticDate() const;
    void setAutomaticDate(bool automatic);

    // The station's Maidenhead locator as stored (see setLocator); empty when none.
    std::string locator() const;
    // Stores the locator in its normal form ("JN18du"), or none for an empty
    // text. Refuses (false, nothing stored) a malformed one.
    bool setLocator(std::string_view locator);
    // The centre of the locator's square; none without a valid locator.
    std::optional<geo::LatLon> stationPosition() const;

    // The program's revision, kept in the station's settings once its log was read.
    void noteRevision();

private:
    std::string value(std::string_view section, std::string_view key,
                      std::string_view fallback) const;
    void store(std::string_view section, std::string_view key, std::string_view value);
    std::string stationSection() const;
    int number(std::string_view key, int fallback) const;
    // "Oui" or "Non"; `fallback` for anything else.
    bool answer(std::string_view key, bool fallback = false) const;

    std::shared_ptr<SessionSettings> store_;
    std::string station_;
};

}  // namespace dxcc
