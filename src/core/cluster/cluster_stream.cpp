#include "core/cluster/cluster_stream.h"

#include <algorithm>

namespace dxcc::cluster {

namespace {

constexpr unsigned char kIac = 255;
constexpr unsigned char kSe = 240;
constexpr unsigned char kSb = 250;
constexpr unsigned char kWill = 251;
constexpr unsigned char kDont = 254;

// Bytes that are text: printable ASCII and the Windows-1252 characters above
// it (the five code points that page leaves undefined are not text).
bool isText(unsigned char c) {
    if (c >= 0x20 && c < 0x7F) return true;
    if (c < 0xA0) {
        return c >= 0x80 && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
    }
    return true;
}

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

}  // namespace

void LineAssembler::reset() {
    telnet_ = Telnet::Text;
    subBytes_ = 0;
    pending_.clear();
    cut_ = false;
}

void LineAssembler::feed(std::string_view bytes,
                         const std::function<void(std::string_view)>& line) {
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (telnet_) {
            case Telnet::Text:
                break;
            case Telnet::Command:
                // Only the bytes from SE up are commands (IAC IAC is a data
                // byte 255: not text either); any other byte is read as text.
                if (c < kSe) {
                    telnet_ = Telnet::Text;
                    break;
                }
                telnet_ = c >= kWill && c <= kDont ? Telnet::Option
                          : c == kSb               ? Telnet::Sub
                                                   : Telnet::Text;
                subBytes_ = 0;
                continue;
            case Telnet::Option:
                telnet_ = Telnet::Text;
                continue;
            case Telnet::Sub:
            case Telnet::SubCommand:
                if (!inSubnegotiation(c)) break;
                continue;
        }
        if (c == kIac) {
            telnet_ = Telnet::Command;
            continue;
        }
        if (c == '\n') {
            line(pending_);
            pending_.clear();
            cut_ = false;
            continue;
        }
        if (cut_) continue;
        if (c == '\t') {
            pending_ += ' ';
        } else if (isText(c)) {
            pending_ += ch;
        } else {
            continue;  // CR, bell, escape sequences' introducer, NUL...
        }
        if (pending_.size() >= kMaxLineBytes) cut_ = true;
    }
}

bool LineAssembler::inSubnegotiation(unsigned char c) {
    // A subnegotiation never ends without IAC SE in the protocol, but a
    // server that never sends it must not silence the rest of the
    // connection: a line end or a length no option needs ends it too.
    if (c == '\n' || ++subBytes_ > kMaxSubnegotiationBytes) {
        telnet_ = Telnet::Text;
        return false;
    }
    if (telnet_ == Telnet::SubCommand)
        telnet_ = c == kSe ? Telnet::Text : Telnet::Sub;
    else if (c == kIac)
        telnet_ = Telnet::SubCommand;
    return true;
}

void LineAssembler::endLine(const std::function<void(std::string_view)>& line) {
    line(pending_);
    pending_.clear();
    cut_ = false;
}

bool isLoginPrompt(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '>')) text.remove_suffix(1);
    if (text.empty() || text.back() != ':') return false;
    text.remove_suffix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    std::string tail;
    for (size_t i = text.size() > 40 ? text.size() - 40 : 0; i < text.size(); ++i)
        tail += lower(text[i]);
    for (std::string_view word : {"login", "call", "callsign", "your call", "user"})
        if (tail.size() >= word.size() &&
            tail.compare(tail.size() - word.size(), word.size(), word) == 0)
            return true;
    return false;
}

ClusterConversation::ClusterConversation(ClusterLink& link, std::string callsign, Handlers handlers)
    : link_(link), callsign_(std::move(callsign)), handlers_(std::move(handlers)) {}

void ClusterConversation::connected() {
    lines_.reset();
    loggedIn_ = false;
}

void ClusterConversation::login() {
    loggedIn_ = true;
    link_.send(callsign_ + "\r\n");
}

void ClusterConversation::received(std::string_view bytes) {
    lines_.feed(bytes, [this](std::string_view text) { line(text); });
    // A prompt ends without a line break: it waits in the pending text.
    if (!loggedIn_ && isLoginPrompt(lines_.pending())) {
        login();
        lines_.endLine([this](std::string_view text) {
            if (handlers_.console) handlers_.console(text);
        });
    }
}

void ClusterConversation::closed() {
    if (!lines_.pending().empty()) lines_.endLine([this](std::string_view text) { line(text); });
}

void ClusterConversation::line(std::string_view text) {
    if (auto spot = parseSpotLine(text)) {
        if (handlers_.spot) handlers_.spot(*spot);
        return;
    }
    if (handlers_.console) handlers_.console(text);
    if (!loggedIn_ && isLoginPrompt(text)) login();
}

void ClusterConversation::command(std::string_view text) {
    std::string clean;
    for (char c : text)
        if (c != '\r' && c != '\n') clean += c;
    link_.send(clean + "\r\n");
}

ReconnectSchedule::ReconnectSchedule(Delay first, Delay longest)
    : first_(first), longest_(std::max(first, longest)), current_(first) {}

ReconnectSchedule::Delay ReconnectSchedule::next() {
    const Delay wait = current_;
    current_ = std::min(current_ * 2, longest_);
    return wait;
}

}  // namespace dxcc::cluster
