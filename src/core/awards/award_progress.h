#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/base/dates.h"

namespace dxcc {

class Logbook;
struct AwardDefinition;
struct LogChange;
struct AwardFilter;

// One step of a progress curve: from `day` on, `count` distinct entities.
struct ProgressStep {
    int64_t day;
    int count;
    bool operator==(const ProgressStep&) const = default;
};

struct AwardProgress {
    // Distinct entities worked (any QSO the award counts) and confirmed (a
    // confirmed such QSO), each as it grew: one step per day on which the
    // count rose, in date order. An entity counts from the date of its
    // earliest QSO of the kind.
    std::vector<ProgressStep> worked;
    std::vector<ProgressStep> confirmed;
    // QSOs the award would count but whose date cannot be read: left out.
    size_t undated = 0;
};

// One pass over the log for `award` (the 5-band award counts as Mixed here).
AwardProgress awardProgress(const Logbook& log, const AwardDefinition& award);

// The progress of one award kept as each entity's first days, so a contact
// added to the log costs only its own record, not a pass over a million.
class ProgressTracker {
public:
    explicit ProgressTracker(const AwardDefinition& award) : award_(&award) {}

    const AwardDefinition& award() const { return *award_; }
    // One pass over the log.
    void rebuild(const Logbook& log);
    // Follows one change of the log: rows added are read alone; anything that
    // may have taken a first day away (a change, a removal, a reset) is a pass.
    void apply(const Logbook& log, const LogChange& change);
    // The curves, from the first days (a few hundred entities at most).
    AwardProgress progress() const;

private:
    struct FirstDays {
        int64_t worked = INT64_MAX;
        int64_t confirmed = INT64_MAX;
    };
    void add(std::string_view record);

    const AwardDefinition* award_;
    std::unordered_map<std::string, FirstDays> firsts_;
    size_t undated_ = 0;
};

// The 1 January day numbers to mark on an axis from `first` to `last` day:
// every year when the span holds up to `maxTicks` of them, else every second,
// fifth, tenth... year (years that are multiples of the step).
std::vector<int64_t> yearTicks(int64_t first, int64_t last, size_t maxTicks = 12);

// The day a curve first reached `count`; nothing when it never did.
std::optional<int64_t> dayReached(const std::vector<ProgressStep>& curve, int count);

}  // namespace dxcc
