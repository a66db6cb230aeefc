#include "core/digital/ft8_message.h"

#include <optional>
#include <span>
#include <vector>

#include "core/base/text_utils.h"

namespace dxcc::digital {

namespace {

// The longest message of these modes has six words ("TU; KA0DEF K1ABC R 569
// MA"); more is free text, whatever it holds.
constexpr std::size_t kMaxWords = 8;
constexpr std::size_t kMaxCallsignLength = 12;

// The words of the message in capitals; none when there are too many.
std::optional<std::vector<std::string>> wordsOf(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlankOrTab(text[i])) ++i;
        if (i == text.size()) break;
        if (words.size() == kMaxWords) return std::nullopt;
        std::string word;
        for (; i < text.size() && !isBlankOrTab(text[i]); ++i) word += upperAscii(text[i]);
        words.push_back(std::move(word));
    }
    return words;
}

// What a decoder may print after the message itself: a "?" for a doubtful
// decode, "a1" to "a9" for one helped by what it expected.
bool isDecoderMark(std::string_view word) {
    return word == "?" || (word.size() == 2 && word[0] == 'a' && isAsciiDigit(word[1]));
}

std::string_view withoutDecoderMarks(std::string_view text) {
    for (int pass = 0; pass < 2; ++pass) {
        text = trimmed(text, "", " \t");
        const std::size_t blank = text.find_last_of(" \t");
        if (blank == std::string_view::npos || !isDecoderMark(text.substr(blank + 1))) break;
        text = text.substr(0, blank);
    }
    return text;
}

// The part of a callsign around which prefixes and suffixes stand: a digit,
// and a letter last (the ITU's rule for the suffix), so that neither a grid
// ("FN42") nor "RR73" reads as one.
bool isHomeCall(std::string_view part) {
    bool digit = false;
    for (char c : part) digit = digit || isAsciiDigit(c);
    return part.size() >= 3 && digit && isAsciiLetter(part.back());
}

// A call as a message carries it: plain, or in angle brackets when the
// decoder filled it in from its hash. `call` is empty for "<...>".
struct CallWord {
    std::string call;
};

std::optional<CallWord> callWord(std::string_view word) {
    if (word == "<...>") return CallWord{};
    if (word.size() > 2 && word.front() == '<' && word.back() == '>')
        word = word.substr(1, word.size() - 2);
    if (!isCallsign(word)) return std::nullopt;
    return CallWord{std::string(word)};
}

// "DX", "NA", "POTA", "TEST": one to four letters; or three digits ("CQ 290",
// a call for answers on that frequency).
bool isCqTarget(std::string_view word) {
    bool letters = !word.empty() && word.size() <= 4, digits = word.size() == 3;
    for (char c : word) {
        letters = letters && isAsciiLetter(c);
        digits = digits && isAsciiDigit(c);
    }
    return letters || digits;
}

bool isGrid4(std::string_view w) {
    return w.size() == 4 && w != "RR73" && w[0] >= 'A' && w[0] <= 'R' && w[1] >= 'A' &&
           w[1] <= 'R' && isAsciiDigit(w[2]) && isAsciiDigit(w[3]);
}

bool isGrid6(std::string_view w) {
    return w.size() == 6 && isGrid4(w.substr(0, 4)) && w[4] >= 'A' && w[4] <= 'X' && w[5] >= 'A' &&
           w[5] <= 'X';
}

// "-09", "+05": the signal-to-noise report of these modes.
bool isReport(std::string_view w) {
    return (w.size() == 2 || w.size() == 3) && (w[0] == '-' || w[0] == '+') && isAsciiDigit(w[1]) &&
           (w.size() == 2 || isAsciiDigit(w[2]));
}

// "579": a readability-strength-tone report, as the RTTY contests send it.
bool isRst(std::string_view w) {
    return w.size() == 3 && w[0] >= '1' && w[0] <= '5' && w[1] >= '1' && w[1] <= '9' &&
           w[2] >= '1' && w[2] <= '9';
}

// "590003": readability, strength and a serial number (the EU VHF contest).
bool isReportAndSerial(std::string_view w) {
    if (w.size() != 6 || w[0] < '1' || w[0] > '5') return false;
    for (char c : w)
        if (!isAsciiDigit(c)) return false;
    return true;
}

void readSingleWord(std::string_view w, MessageReading& r) {
    if (w == "RRR") {
        r.roger = true;
    } else if (w == "RR73") {
        r.roger = r.signOff = true;
    } else if (w == "73") {
        r.signOff = true;
    } else if (isGrid4(w)) {
        r.grid = w;
    } else if (isReport(w)) {
        r.report = w;
    } else if (w.size() > 1 && w[0] == 'R' && isReport(w.substr(1))) {
        r.roger = true;
        r.report = w.substr(1);
    }
}

// What follows the two calls: a grid or report, the acknowledgements, or a
// contest exchange ("R EN37", "579 WI", "R 590003 IO91NP", "6A WI").
void readPayload(std::span<const std::string> words, MessageReading& r) {
    if (words.size() == 1) return readSingleWord(words[0], r);
    if (!words.empty() && words[0] == "R") {
        r.roger = true;
        words = words.subspan(1);
    }
    if (words.size() == 1 && isGrid4(words[0])) {
        r.grid = words[0];
    } else if (!words.empty() && isRst(words[0])) {
        r.report = words[0];
    } else if (words.size() == 2 && isReportAndSerial(words[0]) && isGrid6(words[1])) {
        r.report = words[0].substr(0, 2);
        r.grid = words[1];
    }
}

// "CQ [TARGET] CALL [GRID]", "QRZ CALL [GRID]".
std::optional<MessageReading> readCq(std::span<const std::string> words) {
    MessageReading r;
    r.kind = MessageKind::Cq;
    std::size_t at = 1;
    if (words[0] == "CQ" && words.size() > 2 && isCqTarget(words[1])) {
        r.cqTarget = words[1];
        at = 2;
    }
    if (at >= words.size()) return std::nullopt;
    const auto caller = callWord(words[at]);
    if (!caller) return std::nullopt;
    r.transmitter = caller->call;
    ++at;
    if (at < words.size() && isGrid4(words[at])) r.grid = words[at++];
    if (at != words.size()) return std::nullopt;
    return r;
}

// The fox of a DXpedition answers two stations at once:
// "K1ABC RR73; W9XYZ <KH1/KH7Z> -08" (K1ABC is done, W9XYZ gets a report).
std::optional<MessageReading> readFoxMessage(std::span<const std::string> words) {
    if (words.size() != 5 || words[1] != "RR73;" || !callWord(words[0])) return std::nullopt;
    const auto called = callWord(words[2]);
    const auto fox = callWord(words[3]);
    if (!called || !fox || !isReport(words[4])) return std::nullopt;
    MessageReading r;
    r.kind = MessageKind::Directed;
    r.transmitter = fox->call;
    r.called = called->call;
    r.report = words[4];
    return r;
}

// "CALL1 CALL2 ...": CALL2 calls CALL1.
std::optional<MessageReading> readDirected(std::span<const std::string> words) {
    if (words.size() < 2 || words.size() > 5) return std::nullopt;
    const auto called = callWord(words[0]);
    const auto transmitter = callWord(words[1]);
    if (!called || !transmitter) return std::nullopt;
    MessageReading r;
    r.kind = MessageKind::Directed;
    r.called = called->call;
    r.transmitter = transmitter->call;
    readPayload(words.subspan(2), r);
    return r;
}

bool holdsSemicolon(std::span<const std::string> words) {
    for (const std::string& w : words)
        if (w.find(';') != std::string::npos) return true;
    return false;
}

std::optional<MessageReading> readWords(std::span<const std::string> words) {
    if (words.empty()) return std::nullopt;
    if (const auto fox = readFoxMessage(words)) return fox;
    // "TU; KA0DEF K1ABC R 569 MA": thanks to the last station, then the next exchange.
    if (words[0] == "TU;") words = words.subspan(1);
    if (words.empty() || holdsSemicolon(words)) return std::nullopt;
    if (words[0] == "CQ" || words[0] == "QRZ") return readCq(words);
    return readDirected(words);
}

}  // namespace

bool isCallsign(std::string_view word) {
    if (word.size() < 3 || word.size() > kMaxCallsignLength) return false;
    if (word.front() == '/' || word.back() == '/') return false;
    bool homeCall = false;
    std::size_t partStart = 0;
    for (std::size_t i = 0; i <= word.size(); ++i) {
        if (i < word.size() && word[i] != '/') {
            if (!isAsciiLetter(word[i]) && !isAsciiDigit(word[i])) return false;
            continue;
        }
        const std::string_view part = word.substr(partStart, i - partStart);
        if (part.empty()) return false;
        homeCall = homeCall || isHomeCall(part);
        partStart = i + 1;
    }
    return homeCall;
}

MessageReading readMessage(std::string_view text) {
    const auto words = wordsOf(withoutDecoderMarks(text));
    if (!words) return {};
    return readWords(*words).value_or(MessageReading{});
}

}  // namespace dxcc::digital
