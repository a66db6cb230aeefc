#include "core/base/text_utils.h"

#include <algorithm>

namespace dxcc {

std::string padRight(std::string_view s, size_t width) {
    std::string out(s);
    if (out.size() < width) out.append(width - out.size(), ' ');
    return out;
}

std::string numberText(long long value) {
    std::string text = value < 0 ? "" : " ";
    text += std::to_string(value);
    return text;
}

std::string upperCaseCp1252(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = upperCaseCp1252(c);
    return out;
}

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u < 0x20 || u == 0x7F;
    });
}

int listItemIndex(std::string_view text, std::span<const std::string_view> items) {
    const std::string wanted = upperCaseCp1252(trimBlanks(text));
    if (wanted.empty()) return -1;
    for (size_t i = 0; i < items.size(); ++i)
        if (upperCaseCp1252(trimBlanks(items[i])) == wanted) return static_cast<int>(i);
    return -1;
}

}  // namespace dxcc
