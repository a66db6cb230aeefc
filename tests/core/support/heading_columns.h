#pragma once

#include <string>
#include <string_view>

namespace testing_support {

// The 1-based column, in characters, at which `word` begins in a UTF-8 heading;
// 0 when it is not there.
inline size_t headingColumnOf(std::string_view heading, std::string_view word) {
    const size_t byte = heading.find(word);
    if (byte == std::string_view::npos) return 0;
    size_t chars = 0;
    for (size_t i = 0; i < byte; ++i)
        if ((static_cast<unsigned char>(heading[i]) & 0xC0) != 0x80) ++chars;
    return chars + 1;
}

// The 1-based column at which `text` begins in a line of single-byte text.
inline size_t lineColumnOf(std::string_view line, std::string_view text) {
    const size_t at = line.find(text);
    return at == std::string_view::npos ? 0 : at + 1;
}

}  // namespace testing_support
