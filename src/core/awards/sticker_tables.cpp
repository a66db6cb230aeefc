#include "core/awards/sticker_tables.h"

#include <array>
#include <string>

#include "core/record/qso_record.h"

namespace dxcc {

namespace {

constexpr std::array<int, 14> kSteps150{100, 150, 200, 250, 275, 300, 305,
                                        310, 315, 320, 325, 330, 335, 340};
constexpr std::array<int, 20> kSteps125{100, 125, 150, 175, 200, 225, 250, 260, 270, 280,
                                        290, 300, 305, 310, 315, 320, 325, 330, 335, 340};

// What fills the placeholders of a template.
struct Values {
    long long count = 0;
    std::string_view awardName;
    StickerGrade grade;
};

std::string fill(std::string_view text, const Values& v) {
    std::string out;
    out.reserve(text.size() + 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '{' || i + 2 >= text.size() || text[i + 2] != '}') {
            out += text[i];
            continue;
        }
        switch (text[i + 1]) {
            case 'N':
                out += numberText(v.count);
                break;
            case 'A':
                out += v.awardName;
                break;
            case 'E':
                out += std::to_string(v.grade.earned);
                break;
            case 'X':
                out += std::to_string(v.grade.next);
                break;
            case 'M':
                out += numberText(v.grade.next - v.count);
                break;
            default:
                out.append(text.substr(i, 3));
                break;
        }
        i += 2;
    }
    return out;
}

}  // namespace

// Table 150 writes no blank after "manque" (the number text brings one); table
// 125 writes one, so two stand before its number, and "prefixes" in its sticker
// line has no accent.
const StickerTable kStickerTable150{
    kSteps150,
    "Il vous manque{M} préfixes confirmés",
    "Il vous manque{M} préfixes confirmés pour le sticker {X}",
    "Vous avez obtenu tous les stickers, jusqu'au sticker {E}",
};

const StickerTable kStickerTable125{
    kSteps125,
    "Il vous manque {M} préfixes confirmés",
    "Il vous manque {M} prefixes confirmés pour le sticker {X}",
    "Vous avez obtenu tous les stickers, jusqu'au sticker {E}",
};

const ConfirmedWording kMixedWording{
    "{N} préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC {A}",
    "{N} préfixes confirmés, vous pouvez obtenir le diplôme DXCC {A}",
    "{N} préfixes confirmés, vous pouvez obtenir le sticker {E}",
    "{N} préfixes confirmés, vous pouvez obtenir le sticker {E}",
};

const ConfirmedWording kSelectorWording{
    "{N} préfixes confirmés, vous ne pouvez pas encore obtenir le diplôme DXCC {A}",
    "{N} préfixes confirmés, vous pouvez obtenir le diplôme DXCC {A}",
    "{N} préfixes confirmés, vous pouvez obtenir le diplôme DXCC {A} sticker {E}",
    "{N} préfixes confirmés, vous pouvez obtenir le diplôme DXCC {A} sticker {E}",
};

const ConfirmedWording kAwardNameWording{
    "Vous ne pouvez pas encore obtenir le diplôme DXCC {A}",
    "Bravo vous pouvez obtenir le diplôme DXCC {A}",
    "Bravo vous pouvez obtenir le diplôme DXCC {A}",
    "Bravo vous pouvez obtenir le diplôme DXCC {A} sticker {E}",
};

StickerGrade gradeCount(const StickerTable& table, long long count) {
    StickerGrade grade;
    for (int step : table.steps) {
        if (step > count) {
            grade.next = step;
            break;
        }
        grade.earned = step;
    }
    return grade;
}

AwardLabels confirmedLabels(const StickerTable& table, const ConfirmedWording& wording,
                            std::string_view awardName, long long count) {
    const Values v{count, awardName, gradeCount(table, count)};
    const int award = table.steps.front();
    if (v.grade.next == 0) return {fill(wording.everyStep, v), fill(table.everyStepEarned, v)};
    if (v.grade.earned == 0) return {fill(wording.notYet, v), fill(table.missingForAward, v)};
    const std::string_view status = v.grade.earned == award ? wording.award : wording.sticker;
    return {fill(status, v), fill(table.missingForSticker, v)};
}

AwardLabels contactedLabels(std::string_view wording, long long count) {
    return {fill(wording, Values{count, {}, {}}), {}};
}

}  // namespace dxcc
