#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "core/cluster/spot_line.h"

namespace dxcc::cluster {

// Where the conversation with a server writes: a socket in the program, a
// recorder in the tests.
class ClusterLink {
public:
    virtual ~ClusterLink() = default;
    virtual void send(std::string_view bytes) = 0;
};

// The bytes a server sends, made into text lines: telnet negotiation dropped
// (a subnegotiation ends at the latest at a line end or after
// kMaxSubnegotiationBytes, so a stray one cannot swallow the rest),
// carriage returns and control bytes left out (a tab is a blank), every line
// cut at kMaxLineBytes, so what comes out is printable text of bounded size
// whatever the server sends.
class LineAssembler {
public:
    // Calls `line` for each complete line.
    void feed(std::string_view bytes, const std::function<void(std::string_view)>& line);
    // The text received since the last line end (a prompt waits there).
    std::string_view pending() const { return pending_; }
    // Ends the pending text as a line (a prompt answered: what the server
    // sends next starts a new line).
    void endLine(const std::function<void(std::string_view)>& line);
    void reset();

    // The longest subnegotiation read as one (terminal type, window size and
    // the like take a few bytes); what comes after is text again.
    static constexpr size_t kMaxSubnegotiationBytes = 256;

private:
    enum class Telnet { Text, Command, Option, Sub, SubCommand };
    // Follows a subnegotiation by one byte; false when the byte ended it
    // without being part of it (it is then read as text).
    bool inSubnegotiation(unsigned char c);

    Telnet telnet_ = Telnet::Text;
    size_t subBytes_ = 0;
    std::string pending_;
    bool cut_ = false;  // the current line passed the limit: the rest is dropped
};

// Whether the text ends with a server's request for a callsign ("login:",
// "Please enter your call:", "Enter your callsign:").
bool isLoginPrompt(std::string_view text);

// One connection's conversation: answers the login prompt once with the
// callsign, hands on spots and the other lines, sends the operator's commands.
class ClusterConversation {
public:
    struct Handlers {
        std::function<void(const Spot&)> spot;
        std::function<void(std::string_view)> console;  // every other line
    };
    ClusterConversation(ClusterLink& link, std::string callsign, Handlers handlers);

    // A new connection: the login is to be given again.
    void connected();
    void received(std::string_view bytes);
    // The server closed the connection: a last line it did not end is read
    // as a whole one.
    void closed();
    // A command typed by the operator; line breaks in it are dropped.
    void command(std::string_view text);
    bool loggedIn() const { return loggedIn_; }

private:
    void line(std::string_view text);
    void login();

    ClusterLink& link_;
    std::string callsign_;
    Handlers handlers_;
    LineAssembler lines_;
    bool loggedIn_ = false;
};

// The waits between attempts to reach a server again: from the first delay,
// doubled after each failed attempt, up to the last. A connection that
// succeeded starts the series again.
class ReconnectSchedule {
public:
    using Delay = std::chrono::milliseconds;
    ReconnectSchedule() : ReconnectSchedule(Delay(2000), Delay(60000)) {}
    ReconnectSchedule(Delay first, Delay longest);
    // The wait before the next attempt; the one after will be longer.
    Delay next();
    void connected() { current_ = first_; }

private:
    Delay first_;
    Delay longest_;
    Delay current_;
};

}  // namespace dxcc::cluster
