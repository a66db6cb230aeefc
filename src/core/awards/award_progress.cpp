#include "core/awards/award_progress.h"

#include <algorithm>
#include <unordered_map>

#include "core/awards/award_evaluation.h"
#include "core/base/text_utils.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"
#include "core/record/record_dates.h"

namespace dxcc {

namespace {

std::vector<ProgressStep> curveOf(std::vector<int64_t> firstDays) {
    std::sort(firstDays.begin(), firstDays.end());
    std::vector<ProgressStep> curve;
    int count = 0;
    for (int64_t d : firstDays) {
        ++count;
        if (!curve.empty() && curve.back().day == d)
            curve.back().count = count;
        else
            curve.push_back({d, count});
    }
    return curve;
}

}  // namespace

AwardProgress awardProgress(const Logbook& log, const AwardDefinition& award) {
    ProgressTracker tracker(award);
    tracker.rebuild(log);
    return tracker.progress();
}

void ProgressTracker::add(std::string_view record) {
    const AwardFilter every{};
    const AwardFilter& filter = award_->family == AwardFamily::FiveBand ? every : award_->filter;
    const std::string_view prefix = trimBlanks(recordField(record, Field::DxccPrefix));
    if (prefix.empty() || !awardAccepts(filter, record)) return;
    const std::optional<int64_t> day = recordDay(record);
    if (!day) {
        ++undated_;
        return;
    }
    auto found = firsts_.find(std::string(prefix));
    if (found == firsts_.end()) found = firsts_.emplace(std::string(prefix), FirstDays{}).first;
    FirstDays& f = found->second;
    f.worked = std::min(f.worked, *day);
    if (recordConfirmed(record)) f.confirmed = std::min(f.confirmed, *day);
}

void ProgressTracker::rebuild(const Logbook& log) {
    firsts_.clear();
    undated_ = 0;
    for (size_t i = 0, n = log.size(); i < n; ++i) add(log.record(i));
}

void ProgressTracker::apply(const Logbook& log, const LogChange& change) {
    if (change.kind != LogChange::Kind::Inserted || change.row + change.count > log.size()) {
        rebuild(log);
        return;
    }
    for (size_t i = change.row; i < change.row + change.count; ++i) add(log.record(i));
}

AwardProgress ProgressTracker::progress() const {
    std::vector<int64_t> worked, confirmed;
    worked.reserve(firsts_.size());
    for (const auto& [prefix, f] : firsts_) {
        worked.push_back(f.worked);
        if (f.confirmed != INT64_MAX) confirmed.push_back(f.confirmed);
    }
    AwardProgress out;
    out.worked = curveOf(std::move(worked));
    out.confirmed = curveOf(std::move(confirmed));
    out.undated = undated_;
    return out;
}

std::vector<int64_t> yearTicks(int64_t first, int64_t last, size_t maxTicks) {
    std::vector<int64_t> ticks;
    if (last < first || maxTicks == 0) return ticks;
    const int y0 = yearOfDay(first) + (dayNumber(yearOfDay(first), 1, 1) < first ? 1 : 0);
    const int y1 = yearOfDay(last);
    if (y1 < y0) return ticks;
    static constexpr int kSteps[] = {1, 2, 5, 10, 20, 50, 100};
    int step = kSteps[0];
    for (int s : kSteps) {
        step = s;
        const int firstMultiple = (y0 + s - 1) / s * s;
        if (firstMultiple > y1 || static_cast<size_t>((y1 - firstMultiple) / s + 1) <= maxTicks)
            break;
    }
    for (int y = (y0 + step - 1) / step * step; y <= y1; y += step)
        ticks.push_back(dayNumber(y, 1, 1));
    return ticks;
}

std::optional<int64_t> dayReached(const std::vector<ProgressStep>& curve, int count) {
    for (const ProgressStep& s : curve)
        if (s.count >= count) return s.day;
    return std::nullopt;
}

}  // namespace dxcc
