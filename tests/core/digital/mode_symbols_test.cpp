// The mode symbols of a decode.
#include "core/digital/mode_symbols.h"

#include <gtest/gtest.h>

namespace dxcc::digital {
namespace {

TEST(ModeSymbols, NameTheModeOfADecode) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"~", "FT8"},
        {"+", "FT4"},
        {"#", "JT65"},
        {"@", "JT9"},
        {"$", "JT4"},
        {"&", "MSK144"},
        {":", "Q65"},
        {"`", "FST4"},
        // JT65 and JT4 with the decoder's sync mark after the symbol.
        {"#*", "JT65"},
        {"##", "JT65"},
        {"$*", "JT4"},
        // Nothing a decoder writes.
        {"", ""},
        {"~~", ""},
        {"~*", ""},
        {"FT8", ""},
        {"*", ""},
        {"#**", ""},
    };
    for (const auto& [symbol, mode] : cases) EXPECT_EQ(modeOfSymbol(symbol), mode) << symbol;
}

}  // namespace
}  // namespace dxcc::digital
