#include "core/digital/mode_symbols.h"

namespace dxcc::digital {

namespace {

struct ModeSymbol {
    char symbol;
    std::string_view mode;
    bool takesSyncMark;  // the decoder may write a second character after it
};

// As the decoders print them after the audio offset.
constexpr ModeSymbol kModeSymbols[] = {
    {'~', "FT8", false}, {'+', "FT4", false},    {'#', "JT65", true}, {'@', "JT9", false},
    {'$', "JT4", true},  {'&', "MSK144", false}, {':', "Q65", false}, {'`', "FST4", false},
};

}  // namespace

std::string_view modeOfSymbol(std::string_view symbol) {
    if (symbol.empty() || symbol.size() > 2) return {};
    for (const ModeSymbol& m : kModeSymbols) {
        if (m.symbol != symbol.front()) continue;
        if (symbol.size() == 1 || m.takesSyncMark) return m.mode;
    }
    return {};
}

}  // namespace dxcc::digital
