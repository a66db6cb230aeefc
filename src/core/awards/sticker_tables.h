#pragma once

#include <span>
#include <string>
#include <string_view>

namespace dxcc {

// Texts below are UTF-8 templates: {N} is the number text of the count, {A} the
// award's name as shown (a selector's text keeps its blanks), {E} the step
// earned and {X} the next step in digits, {M} the number text of what is
// missing for the next step.

// A sticker table: the award and the stickers that follow it, with the missing
// line it writes under the status line.
struct StickerTable {
    std::span<const int> steps;  // ascending; the first is the award itself
    std::string_view missingForAward;
    std::string_view missingForSticker;
    std::string_view everyStepEarned;  // from the last step on
};

// Stickers from 150 by 50, then 275, 300 and every 5 up to 340.
extern const StickerTable kStickerTable150;
// Stickers from 125 by 25 up to 250, by 10 up to 300, then by 5 up to 340.
extern const StickerTable kStickerTable125;

// Where a count stands in a table. 0 for "none": no step earned below the
// award, no next step from the last one on.
struct StickerGrade {
    int earned = 0;
    int next = 0;
};
StickerGrade gradeCount(const StickerTable& table, long long count);

// The status line of a window in the confirmed basis.
struct ConfirmedWording {
    std::string_view notYet;     // below the award
    std::string_view award;      // the award earned, no sticker yet
    std::string_view sticker;    // sticker {E} earned
    std::string_view everyStep;  // the last step of the table earned
};

// "N préfixes confirmés, vous pouvez obtenir le sticker E" (Mixed).
extern const ConfirmedWording kMixedWording;
// "... le diplôme DXCC S sticker E", S being the selector's text (mode, band).
extern const ConfirmedWording kSelectorWording;
// "Bravo vous pouvez obtenir le diplôme DXCC A": the count and the sticker are
// not named (bands of table 125, Satellite).
extern const ConfirmedWording kAwardNameWording;

// The status line in the contacted basis.
inline constexpr std::string_view kContactedWithComma = "{N} préfixes contactés,";
inline constexpr std::string_view kContacted = "{N} préfixes contactés";

struct AwardLabels {
    std::string label1;  // status line
    std::string label4;  // missing line
    bool operator==(const AwardLabels&) const = default;
};

// The two labels for `count` confirmed entities.
AwardLabels confirmedLabels(const StickerTable& table, const ConfirmedWording& wording,
                            std::string_view awardName, long long count);

// The two labels for `count` contacted entities; the missing line is empty.
AwardLabels contactedLabels(std::string_view wording, long long count);

}  // namespace dxcc
