#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// ADIF values arrive as UTF-8 or as one-byte text; the log keeps upper-case
// Windows-1252. These conversions sit between the two.
namespace dxcc::adif {

// An ADIF value as the log stores it: decoded (UTF-8 when the bytes are valid
// UTF-8, else Windows-1252), upper-cased (accented letters included), control
// characters made blanks, blanks trimmed at both ends. A character that
// Windows-1252 lacks becomes its base letter when it has one, else "?";
// combining accents are dropped.
std::string logText(std::string_view value);

// The same, keeping the first `width` characters, into `out`: leading blanks
// skipped, trailing ones dropped. `cut` tells that more than blanks was left.
struct CutText {
    size_t size = 0;
    bool cut = false;
};
CutText logTextCut(std::string_view value, char* out, size_t width);

// Whether `bytes` is well-formed UTF-8 (plain ASCII is).
bool isValidUtf8(std::string_view bytes);

// Bytes taken by the first `characters` UTF-8 characters of `bytes` (a byte
// that starts no well-formed sequence counts as one character); all of
// `bytes` when it holds fewer.
size_t utf8PrefixBytes(std::string_view bytes, size_t characters);

// Windows-1252 text as UTF-8, for messages built from log texts.
std::string cp1252ToUtf8(std::string_view text);

}  // namespace dxcc::adif
