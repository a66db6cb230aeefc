#include "core/record/mode_table.h"

#include <array>
#include <cstdint>

#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace {

struct ModeRow {
    std::string_view code;  // the logged mode: at most three characters
    std::string_view mode;  // ADIF MODE, empty for a code ADIF lacks
    std::string_view submode;
    ModeClass modeClass;
    // The pair reads back as another code (the phone submodes are logged
    // "SSB", like the entry list's phone): the row is only written, and the
    // export adds the application field so the code comes back exactly.
    bool lossy = false;
};

using enum ModeClass;

// The first row of each code is how the export writes it; every row is read
// by the import. Codes are the entry list's, and the first three letters of
// the ADIF mode where nothing shorter was settled.
constexpr ModeRow kRows[] = {
    // Phone, with digital voice and the image modes.
    {"SSB", "SSB", "", Phone},
    {"USB", "SSB", "USB", Phone, true},
    {"LSB", "SSB", "LSB", Phone, true},
    {"AM", "AM", "", Phone},
    {"FM", "FM", "", Phone},
    {"DV", "DIGITALVOICE", "", Phone},
    {"C4F", "DIGITALVOICE", "C4FM", Phone},
    {"DST", "DIGITALVOICE", "DSTAR", Phone},
    {"DMR", "DIGITALVOICE", "DMR", Phone},
    {"FRE", "DIGITALVOICE", "FREEDV", Phone},
    {"M17", "DIGITALVOICE", "M17", Phone},
    {"SST", "SSTV", "", Phone},
    {"FAX", "FAX", "", Phone},
    {"ATV", "ATV", "", Phone},
    {"VOI", "VOI", "", Phone},
    {"CW", "CW", "", Cw},
    // Digital: the entry list's DIG, which ADIF lacks, and the data modes.
    {"DIG", "", "", Digital},
    {"RTT", "RTTY", "", Digital},
    {"PSK", "PSK", "", Digital},
    {"QPS", "PSK", "", Digital, true},
    {"HEL", "HELL", "", Digital},
    {"MFS", "MFSK", "", Digital},
    {"FT8", "FT8", "", Digital},
    {"FT4", "MFSK", "FT4", Digital},
    {"FST", "MFSK", "FST4", Digital},
    {"JS8", "MFSK", "JS8", Digital},
    {"FSQ", "MFSK", "FSQCALL", Digital},
    {"Q65", "MFSK", "Q65", Digital},
    {"JT6", "JT65", "", Digital},
    {"JT9", "JT9", "", Digital},
    {"JT4", "JT4", "", Digital},
    {"Q15", "Q15", "", Digital},
    {"QRA", "QRA64", "", Digital},
    {"MSK", "MSK144", "", Digital},
    {"FSK", "FSK", "", Digital},
    {"FS4", "FSK441", "", Digital},
    {"MTO", "MTONE", "", Digital},
    {"OFD", "OFDM", "", Digital},
    {"ISC", "ISCAT", "", Digital},
    {"OLI", "OLIVIA", "", Digital},
    {"CON", "CONTESTI", "", Digital},
    {"THR", "THRB", "", Digital},
    {"THO", "THOR", "", Digital},
    {"DOM", "DOMINO", "", Digital},
    {"MT6", "MT63", "", Digital},
    {"PAC", "PAC", "", Digital},
    {"PKT", "PKT", "", Digital},
    {"PAX", "PAX", "", Digital},
    {"ROS", "ROS", "", Digital},
    {"ARD", "ARDOP", "", Digital},
    {"DYN", "DYNAMIC", "", Digital},
    {"VAR", "DYNAMIC", "", Digital, true},
    {"WIN", "WINMOR", "", Digital},
    {"CHI", "CHIP", "", Digital},
    {"CLO", "CLO", "", Digital},
    {"OPE", "OPERA", "", Digital},
    {"T10", "T10", "", Digital},
    {"TOR", "TOR", "", Digital},
    {"AMT", "TOR", "AMTORFEC", Digital},
    {"GTO", "TOR", "GTOR", Digital},
    {"V4", "V4", "", Digital},
    {"WSP", "WSPR", "", Digital},
    {"SAT", "", "", Satellite},
    // Modes whose first three letters are another mode's code.
    {"RTM", "RTTYM", "", Digital},
    {"P2K", "PSK2K", "", Digital},
    {"J6M", "JT6M", "", Digital},
    {"J44", "JT44", "", Digital},
    // Read only: other submodes and the deprecated ADIF modes, each under the
    // code of its mode.
    {"VAR", "DYNAMIC", "VARA HF", Digital},
    {"VAR", "DYNAMIC", "VARA SATELLITE", Digital},
    {"VAR", "DYNAMIC", "VARA FM 1200", Digital},
    {"VAR", "DYNAMIC", "VARA FM 9600", Digital},
    {"FST", "MFSK", "FST4W", Digital},
    {"AMT", "AMTORFEC", "", Digital},
    {"RTT", "ASCI", "", Digital},
    {"C4F", "C4FM", "", Phone},
    {"CHI", "CHIP64", "", Digital},
    {"CHI", "CHIP128", "", Digital},
    {"DOM", "DOMINOF", "", Digital},
    {"DST", "DSTAR", "", Phone},
    {"HEL", "FMHELL", "", Digital},
    {"PSK", "FSK31", "", Digital},
    {"GTO", "GTOR", "", Digital},
    {"HEL", "HELL80", "", Digital},
    {"HEL", "HFSK", "", Digital},
    {"JT4", "JT4A", "", Digital},
    {"JT6", "JT65A", "", Digital},
    {"JT6", "JT65B", "", Digital},
    {"JT6", "JT65C", "", Digital},
    {"MFS", "MFSK8", "", Digital},
    {"MFS", "MFSK16", "", Digital},
    {"PAC", "PAC2", "", Digital},
    {"PAC", "PAC3", "", Digital},
    {"PAX", "PAX2", "", Digital},
    {"CW", "PCW", "", Cw},
    {"PSK", "PSK10", "", Digital},
    {"PSK", "PSK31", "", Digital},
    {"PSK", "PSK63", "", Digital},
    {"PSK", "PSK63F", "", Digital},
    {"PSK", "PSK125", "", Digital},
    {"PSK", "PSKAM10", "", Digital},
    {"PSK", "PSKAM31", "", Digital},
    {"PSK", "PSKAM50", "", Digital},
    {"PSK", "PSKFEC31", "", Digital},
    {"HEL", "PSKHELL", "", Digital},
    {"QPS", "QPSK31", "", Digital},
    {"QPS", "QPSK63", "", Digital},
    {"QPS", "QPSK125", "", Digital},
    {"THR", "THRBX", "", Digital},
};
constexpr size_t kRowCount = std::size(kRows);
constexpr uint16_t kNoRow = 0xFFFF;

// A text of up to 15 bytes, letters folded to capitals, packed with its
// length (the length and seven bytes, then eight); longer texts are in no row.
struct Key {
    uint64_t low = 0, high = 0;
    constexpr bool operator==(const Key&) const = default;
};
constexpr size_t kLongestText = 15;

constexpr Key keyOf(std::string_view text, bool fold) {
    Key k{text.size(), 0};
    for (size_t i = 0; i < text.size() && i < kLongestText; ++i) {
        const uint64_t byte = static_cast<unsigned char>(fold ? upperAscii(text[i]) : text[i]);
        if (i < 7)
            k.low |= byte << (8 * (i + 1));
        else
            k.high |= byte << (8 * (i - 7));
    }
    return k;
}

constexpr uint64_t mix(Key a, Key b) {
    uint64_t h = a.low * 0x9E3779B97F4A7C15ull ^ a.high * 0xC2B2AE3D27D4EB4Full;
    h ^= (b.low * 0x165667B19E3779F9ull) ^ (b.high * 0x27D4EB2F165667C5ull);
    return h ^ (h >> 31);
}

// Open addressing built at compile time: the scans of a million records look
// a mode up per record.
template <size_t Bits>
struct Slots {
    static constexpr size_t kCount = size_t{1} << Bits;
    std::array<Key, kCount> first{};
    std::array<Key, kCount> second{};
    std::array<uint16_t, kCount> row{};

    static constexpr size_t home(uint64_t h) { return h >> (64 - Bits); }

    constexpr Slots() { row.fill(kNoRow); }
    // Keeps the first row given for a key.
    constexpr void add(Key a, Key b, uint16_t r) {
        for (size_t s = home(mix(a, b));; s = (s + 1) % kCount) {
            if (row[s] == kNoRow) {
                first[s] = a, second[s] = b, row[s] = r;
                return;
            }
            if (first[s] == a && second[s] == b) return;
        }
    }
    constexpr uint16_t find(Key a, Key b) const {
        for (size_t s = home(mix(a, b));; s = (s + 1) % kCount) {
            if (row[s] == kNoRow) return kNoRow;
            if (first[s] == a && second[s] == b) return row[s];
        }
    }
};

constexpr size_t kSlotBits = 8;
static_assert(kRowCount * 2 <= (size_t{1} << kSlotBits));

// Code (as stored) to the code's first row.
constexpr Slots<kSlotBits> buildCodes() {
    Slots<kSlotBits> s;
    for (size_t r = 0; r < kRowCount; ++r)
        s.add(keyOf(kRows[r].code, false), {}, static_cast<uint16_t>(r));
    return s;
}
// MODE and SUBMODE to the row that reads them.
constexpr Slots<kSlotBits> buildPairs() {
    Slots<kSlotBits> s;
    for (size_t r = 0; r < kRowCount; ++r)
        if (!kRows[r].mode.empty() && !kRows[r].lossy)
            s.add(keyOf(kRows[r].mode, false), keyOf(kRows[r].submode, false),
                  static_cast<uint16_t>(r));
    return s;
}

constexpr Slots<kSlotBits> kCodes = buildCodes();
constexpr Slots<kSlotBits> kPairs = buildPairs();

// Each code's rows read back as that code: a pair never names two codes, and
// each code's first row is written as a pair that reads back to it (or says
// it needs the application field).
constexpr bool rowsAgree() {
    for (size_t r = 0; r < kRowCount; ++r) {
        const ModeRow& row = kRows[r];
        if (row.code.empty() || row.code.size() > kModeWidth) return false;
        if (row.mode.size() > kLongestText || row.submode.size() > kLongestText) return false;
        const uint16_t first = kCodes.find(keyOf(row.code, false), {});
        if (kRows[first].modeClass != row.modeClass) return false;
        if (row.mode.empty() || row.lossy || first != r) continue;
        const uint16_t reader = kPairs.find(keyOf(row.mode, false), keyOf(row.submode, false));
        if (reader == kNoRow || kRows[reader].code != row.code) return false;
    }
    return true;
}
static_assert(rowsAgree(), "a mode pair reads back as another code, or a code has two classes");

const ModeRow* rowOfCode(std::string_view code, bool fold) {
    if (code.empty() || code.size() > kModeWidth) return nullptr;
    const uint16_t r = kCodes.find(keyOf(code, fold), {});
    return r == kNoRow ? nullptr : &kRows[r];
}

// ---- Words that name a mode elsewhere, each tied to a code of the table ----

// A word and the logged mode it stands for: the word's class is that code's.
struct ModeWord {
    std::string_view word;
    std::string_view code;
};

// Words of cluster spot comments that name a mode, in capitals.
constexpr ModeWord kCommentWords[] = {
    {"CW", "CW"},      {"SSB", "SSB"},    {"USB", "USB"},       {"LSB", "LSB"},    {"FM", "FM"},
    {"AM", "AM"},      {"PHONE", "SSB"},  {"SSTV", "SST"},      {"FT8", "FT8"},    {"FT4", "FT4"},
    {"RTTY", "RTT"},   {"PSK", "PSK"},    {"PSK31", "PSK"},     {"PSK63", "PSK"},  {"BPSK", "PSK"},
    {"BPSK31", "PSK"}, {"QPSK", "QPS"},   {"JT65", "JT6"},      {"JT9", "JT9"},    {"JS8", "JS8"},
    {"MFSK", "MFS"},   {"OLIVIA", "OLI"}, {"CONTESTIA", "CON"}, {"HELL", "HEL"},   {"THOR", "THO"},
    {"Q65", "Q65"},    {"FST4", "FST"},   {"MSK144", "MSK"},    {"PACTOR", "PAC"}, {"DIGI", "DIG"},
    {"VARA", "VAR"},   {"FSK441", "FS4"},
};

// The mode groups of a confirmation service (LoTW), for a mode the table lacks.
constexpr ModeWord kModeGroups[] = {
    {"PHONE", "SSB"},
    {"CW", "CW"},
    {"DATA", "DIG"},
};

constexpr ModeClass classOfCode(std::string_view code) {
    const uint16_t r = kCodes.find(keyOf(code, false), {});
    return r == kNoRow ? None : kRows[r].modeClass;
}

template <size_t N>
constexpr std::array<ModeClass, N> classesOf(const ModeWord (&words)[N]) {
    std::array<ModeClass, N> classes{};
    for (size_t i = 0; i < N; ++i) classes[i] = classOfCode(words[i].code);
    return classes;
}
constexpr auto kCommentWordClasses = classesOf(kCommentWords);
constexpr auto kModeGroupClasses = classesOf(kModeGroups);

template <size_t N>
constexpr bool everyWordHasAClass(const std::array<ModeClass, N>& classes) {
    for (ModeClass c : classes)
        if (c == None) return false;
    return true;
}
static_assert(everyWordHasAClass(kCommentWordClasses) && everyWordHasAClass(kModeGroupClasses),
              "a word stands for a code the table lacks");

bool sameWordAnyCase(std::string_view text, std::string_view capitals) {
    if (text.size() != capitals.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (upperAscii(text[i]) != capitals[i]) return false;
    return true;
}

// Radio modes (as the rig library names them) and the entry modes they stand
// for, best first.
struct RadioMode {
    std::string_view radio;
    std::string_view entries[2];
};
// clang-format off
constexpr RadioMode kRadioModes[] = {
    {"USB", {"SSB"}},          {"LSB", {"SSB"}},          {"SSB", {"SSB"}},
    {"CW", {"CW"}},            {"CWR", {"CW"}},           {"RTTY", {"RTTY", "DIG"}},
    {"RTTYR", {"RTTY", "DIG"}}, {"PKTUSB", {"DIG"}},       {"PKTLSB", {"DIG"}},
    {"PKTFM", {"DIG"}},        {"PKTAM", {"DIG"}},        {"PSK", {"DIG"}},
    {"PSKR", {"DIG"}},         {"FSK", {"DIG"}},          {"FM", {"FM"}},
    {"WFM", {"FM"}},           {"FMN", {"FM"}},           {"AM", {"AM"}},
    {"SAM", {"AM"}},           {"AMN", {"AM"}},
};
// clang-format on

}  // namespace

ModeClass modeClassOf(std::string_view loggedMode) {
    const ModeRow* row = rowOfCode(trimBlanks(loggedMode), false);
    return row ? row->modeClass : None;
}

ModeClass neededClassOf(std::string_view loggedMode) {
    return isSatelliteMode(loggedMode) ? Satellite : modeClassOf(loggedMode);
}

std::string_view modeClassText(ModeClass modeClass) {
    switch (modeClass) {
        case Phone:
            return "SSB";
        case Cw:
            return "CW";
        case Digital:
            return "RTTY";
        case Satellite:
            return kSatelliteMode;
        case None:
            break;
    }
    return {};
}

std::string_view modeClassHeading(ModeClass modeClass) {
    return modeClass == Satellite ? "Satellite" : modeClassText(modeClass);
}

bool isSatelliteMode(std::string_view loggedMode) {
    const ModeRow* row = rowOfCode(trimBlanks(loggedMode), true);
    return row && row->modeClass == Satellite;
}

CommentMode modeOfCommentWord(std::string_view word) {
    for (size_t i = 0; i < std::size(kCommentWords); ++i)
        if (sameWordAnyCase(word, kCommentWords[i].word))
            return {kCommentWords[i].word, kCommentWordClasses[i]};
    return {};
}

std::vector<std::string_view> entryModesOfRadio(std::string_view radioMode) {
    std::vector<std::string_view> out;
    for (const RadioMode& m : kRadioModes) {
        if (m.radio != radioMode) continue;
        for (std::string_view e : m.entries)
            if (!e.empty()) out.push_back(e);
    }
    return out;
}

std::string_view radioModeOfClass(ModeClass modeClass, bool upperSideband, bool radioHasDataMode) {
    switch (modeClass) {
        case Cw:
            return "CW";
        case Phone:
            return upperSideband ? "USB" : "LSB";
        case Digital:
            return radioHasDataMode ? "PKTUSB" : "USB";
        case None:
        case Satellite:
            break;
    }
    return {};
}

namespace adif {

AdifMode adifModeOf(std::string_view loggedMode) {
    const std::string_view code = trimBlanks(loggedMode);
    if (code.empty() || code == kModeSubstitute) return {};
    const ModeRow* row = rowOfCode(code, true);
    if (!row) return {{}, {}, false, code};
    if (row->modeClass == Satellite) return {{}, {}, true, {}};
    if (row->mode.empty()) return {{}, {}, false, row->code};
    return {row->mode, row->submode, false, row->lossy ? row->code : std::string_view()};
}

std::string_view loggedModeOf(std::string_view mode, std::string_view submode) {
    mode = trimBlanks(mode);
    submode = trimBlanks(submode);
    if (mode.empty() || mode.size() > kLongestText) return {};
    const Key m = keyOf(mode, true);
    if (!submode.empty() && submode.size() <= kLongestText)
        if (const uint16_t r = kPairs.find(m, keyOf(submode, true)); r != kNoRow)
            return kRows[r].code;
    const uint16_t r = kPairs.find(m, keyOf({}, true));
    return r == kNoRow ? std::string_view() : kRows[r].code;
}

ModeClass modeClassOfGroup(std::string_view group) {
    for (size_t i = 0; i < std::size(kModeGroups); ++i)
        if (group == kModeGroups[i].word) return kModeGroupClasses[i];
    return None;
}

}  // namespace adif

}  // namespace dxcc
