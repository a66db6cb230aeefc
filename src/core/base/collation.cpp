#include "core/base/collation.h"

#include <array>
#include <cstddef>

namespace dxcc {

namespace {

// The accented forms of a letter, each as its capital and small byte (the same
// byte twice when Windows-1252 has one case only), in the order they sort.
struct AccentedForms {
    char base;
    std::string_view pairs;
};

constexpr AccentedForms kAccented[] = {
    {'A', "\xC0\xE0\xC1\xE1\xC2\xE2\xC3\xE3\xC4\xE4\xC5\xE5\xC6\xE6"},
    {'C', "\xC7\xE7"},
    {'D', "\xD0\xF0"},
    {'E', "\xC8\xE8\xC9\xE9\xCA\xEA\xCB\xEB"},
    {'I', "\xCC\xEC\xCD\xED\xCE\xEE\xCF\xEF"},
    {'N', "\xD1\xF1"},
    {'O', "\xD2\xF2\xD3\xF3\xD4\xF4\xD5\xF5\xD6\xF6\xD8\xF8\x8C\x9C"},
    {'S', "\x8A\x9A\xDF\xDF"},
    {'T', "\xDE\xFE"},
    {'U', "\xD9\xF9\xDA\xFA\xDB\xFB\xDC\xFC"},
    {'Y', "\xDD\xFD\x9F\xFF"},
    {'Z', "\x8E\x9E"},
};

constexpr std::string_view accentedFormsOf(char base) {
    for (const AccentedForms& a : kAccented)
        if (a.base == base) return a.pairs;
    return {};
}

// Bytes up to '@' (controls, blank, punctuation, digits) keep their code order;
// then the letters, each followed by its accented forms; then every other byte
// in code order.
constexpr std::array<uint8_t, 256> buildWeights() {
    std::array<uint8_t, 256> weight{};
    std::array<bool, 256> done{};
    unsigned next = 0;
    auto assign = [&](unsigned char byte, unsigned w) {
        weight[byte] = static_cast<uint8_t>(w);
        done[byte] = true;
    };
    for (unsigned b = 0; b <= '@'; ++b) assign(static_cast<unsigned char>(b), next++);
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        assign(static_cast<unsigned char>(letter), next);
        assign(static_cast<unsigned char>(letter - 'A' + 'a'), next++);
        std::string_view pairs = accentedFormsOf(letter);
        for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
            assign(static_cast<unsigned char>(pairs[i]), next);
            assign(static_cast<unsigned char>(pairs[i + 1]), next++);
        }
    }
    for (unsigned b = 0; b < 256; ++b)
        if (!done[b]) assign(static_cast<unsigned char>(b), next++);
    return weight;
}

constexpr std::array<uint8_t, 256> kWeights = buildWeights();

static_assert(kWeights['a'] == kWeights['A'] && kWeights['B'] == kWeights['A'] + 1 + 7);
static_assert(kWeights[0xE9] == kWeights[0xC9] && kWeights[0xC9] > kWeights['E'] &&
              kWeights[0xC9] < kWeights['F']);
static_assert(kWeights[' '] < kWeights['0'] && kWeights['9'] < kWeights['A']);

}  // namespace

uint8_t collationWeight(unsigned char byte) {
    return kWeights[byte];
}

int collate(std::string_view a, std::string_view b) {
    const size_t common = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < common; ++i) {
        const int d =
            kWeights[static_cast<unsigned char>(a[i])] - kWeights[static_cast<unsigned char>(b[i])];
        if (d != 0) return d;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

}  // namespace dxcc
