#include "core/cluster/spot_line.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "core/base/text_utils.h"

namespace dxcc::cluster {

namespace {

// Blanks and tabs before, and line ends too after: as a server sends a line.
std::string_view trim(std::string_view s) {
    return trimmed(s, " \t", " \t\r\n");
}

// A word of the line and where it starts, so the comment keeps its spacing.
struct Word {
    std::string_view text;
    size_t begin;
    size_t end;
};

std::vector<Word> words(std::string_view s) {
    std::vector<Word> out;
    size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && isBlankOrTab(s[i])) ++i;
        if (i >= s.size()) break;
        const size_t begin = i;
        while (i < s.size() && !isBlankOrTab(s[i])) ++i;
        out.push_back({s.substr(begin, i - begin), begin, i});
    }
    return out;
}

// A frequency in kHz: digits with at most one decimal point, within the radio
// spectrum (a cluster spots from 1.8 MHz to the microwaves).
std::optional<double> frequency(std::string_view text) {
    if (text.empty() || text.size() > 12 || !isAsciiDigit(text.front())) return std::nullopt;
    int points = 0;
    for (char c : text) {
        if (c == '.')
            ++points;
        else if (!isAsciiDigit(c))
            return std::nullopt;
    }
    if (points > 1 || text.back() == '.') return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value < 100 || value > 300'000'000) return std::nullopt;
    return value;
}

// A callsign as spotted: letters, digits and '/', with at least one digit
// and one letter ("JA1ABC", "VP8/G3XYZ", "4U1UN").
std::optional<std::string> callsign(std::string_view text) {
    if (text.size() < 3 || text.size() > 20) return std::nullopt;
    bool digit = false, letter = false;
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (isAsciiDigit(c))
            digit = true;
        else if (isAsciiLetter(c))
            letter = true;
        else if (c != '/')
            return std::nullopt;
        out += upperAscii(c);
    }
    if (!digit || !letter || out.front() == '/' || out.back() == '/') return std::nullopt;
    return out;
}

// "0312Z": a valid UTC time of day.
std::optional<std::string> spotTime(std::string_view text) {
    if (text.size() != 5 || upperAscii(text[4]) != 'Z') return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (!isAsciiDigit(text[i])) return std::nullopt;
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[2] - '0') * 10 + (text[3] - '0');
    if (hours > 23 || minutes > 59) return std::nullopt;
    return std::string(text.substr(0, 4));
}

// "JN18" or "JN18EU", in capitals.
std::optional<std::string> locator(std::string_view text) {
    if (text.size() != 4 && text.size() != 6) return std::nullopt;
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = upperAscii(text[i]);
        const bool ok = i < 2   ? (c >= 'A' && c <= 'R')
                        : i < 4 ? isAsciiDigit(c)
                                : (c >= 'A' && c <= 'X');
        if (!ok) return std::nullopt;
        out += c;
    }
    return out;
}

// "8-Dec-2026", "08-Dec" (some servers leave the year out).
bool isDate(std::string_view text) {
    const size_t dash = text.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash > 2) return false;
    for (size_t i = 0; i < dash; ++i)
        if (!isAsciiDigit(text[i])) return false;
    std::string_view rest = text.substr(dash + 1);
    if (rest.size() < 3) return false;
    for (int i = 0; i < 3; ++i)
        if (!isAsciiLetter(rest[i])) return false;
    rest.remove_prefix(3);
    if (rest.empty()) return true;
    if (rest.front() != '-' || rest.size() < 3 || rest.size() > 5) return false;
    for (char c : rest.substr(1))
        if (!isAsciiDigit(c)) return false;
    return true;
}

bool startsWithNoCase(std::string_view s, std::string_view head) {
    if (s.size() < head.size()) return false;
    for (size_t i = 0; i < head.size(); ++i)
        if (upperAscii(s[i]) != upperAscii(head[i])) return false;
    return true;
}

// The spotter, frequency and callsign that both kinds of line begin with; none
// when one of them cannot be read (`w` holds at least the first two words).
std::optional<Spot> startSpot(std::string_view spotter, const std::vector<Word>& w) {
    if (spotter.empty() || spotter.size() > 20 || words(spotter).size() != 1) return std::nullopt;
    const auto kHz = frequency(w[0].text);
    auto dx = callsign(w[1].text);
    if (!kHz || !dx) return std::nullopt;
    Spot spot;
    spot.spotter = std::string(spotter);
    spot.frequencyText = std::string(w[0].text);
    spot.kilohertz = *kHz;
    spot.dx = std::move(*dx);
    return spot;
}

// "DX de SPOTTER: FREQ CALL comment HHMMZ [LOC]"
std::optional<Spot> broadcastSpot(std::string_view line) {
    line.remove_prefix(6);  // "DX de "
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view rest = line.substr(colon + 1);
    const std::vector<Word> w = words(rest);
    if (w.size() < 2) return std::nullopt;
    std::optional<Spot> started = startSpot(trim(line.substr(0, colon)), w);
    if (!started) return std::nullopt;
    Spot& spot = *started;
    size_t commentEnd = rest.size();
    // The time closes the line, or comes just before a locator.
    if (w.size() >= 3) {
        if (auto t = spotTime(w.back().text)) {
            spot.time = *t;
            commentEnd = w.back().begin;
        } else if (w.size() >= 4) {
            auto t2 = spotTime(w[w.size() - 2].text);
            auto loc = locator(w.back().text);
            if (t2 && loc) {
                spot.time = *t2;
                spot.locator = *loc;
                commentEnd = w[w.size() - 2].begin;
            }
        }
    }
    if (commentEnd > w[1].end)
        spot.comment = std::string(trim(rest.substr(w[1].end, commentEnd - w[1].end)));
    return started;
}

// "FREQ CALL DATE HHMMZ comment <SPOTTER>"
std::optional<Spot> listingSpot(std::string_view line) {
    line = trim(line);
    if (line.empty() || line.back() != '>') return std::nullopt;
    const size_t open = line.rfind('<');
    if (open == std::string_view::npos) return std::nullopt;
    const std::string_view body = line.substr(0, open);
    const std::vector<Word> w = words(body);
    if (w.size() < 3) return std::nullopt;
    std::optional<Spot> started = startSpot(line.substr(open + 1, line.size() - open - 2), w);
    if (!started) return std::nullopt;
    Spot& spot = *started;
    size_t next = 2;
    if (isDate(w[next].text)) spot.date = std::string(w[next++].text);
    if (next < w.size()) {
        if (auto t = spotTime(w[next].text)) {
            spot.time = *t;
            ++next;
        }
    }
    // A listing line always dates its spot; without a date or time it is
    // some other line that happens to end in brackets.
    if (spot.date.empty() && spot.time.empty()) return std::nullopt;
    if (next < w.size()) spot.comment = std::string(trim(body.substr(w[next].begin)));
    return started;
}

}  // namespace

std::optional<Spot> parseSpotLine(std::string_view line) {
    if (line.size() > kMaxLineBytes) line = line.substr(0, kMaxLineBytes);
    const std::string_view trimmed = trim(line);
    if (startsWithNoCase(trimmed, "DX de ")) return broadcastSpot(trimmed);
    if (!trimmed.empty() && isAsciiDigit(trimmed.front())) return listingSpot(trimmed);
    return std::nullopt;
}

}  // namespace dxcc::cluster
