#include "core/awards/award_progress.h"

#include <algorithm>
#include <unordered_map>

#include "core/awards/award_evaluation.h"
#include "core/base/dates.h"
#include "core/base/text_utils.h"
#include "core/logbook/logbook.h"
#include "core/record/qso_record.h"

namespace dxcc {

int64_t dayNumber(int year, int month, int day) {
    // Howard Hinnant's days_from_civil.
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t mp = (month + 9) % 12;
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int yearOfDay(int64_t z) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t month = mp < 10 ? mp + 3 : mp - 9;
    return static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

namespace {

int twoDigits(std::string_view s, size_t at) {
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

bool leapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leapYear(y) ? 29 : kDays[m - 1];
}

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

std::optional<int64_t> recordDay(std::string_view record) {
    const std::string_view date = recordField(record, Field::Date);
    if (date.size() != kDateWidth || checkDate(date) != 0) return std::nullopt;
    const int day = twoDigits(date, 0);
    const int month = twoDigits(date, 3);
    const int year = widenYear(twoDigits(date, 6));
    if (month < 1 || day < 1 || day > daysInMonth(year, month)) return std::nullopt;
    return dayNumber(year, month, day);
}

AwardProgress awardProgress(const Logbook& log, const AwardSpec& award) {
    ProgressTracker tracker(award);
    tracker.rebuild(log);
    return tracker.progress();
}

void ProgressTracker::add(std::string_view record) {
    const AwardFilter every{};
    const AwardFilter& filter = award_->window == AwardWindow::FiveBand ? every : award_->filter;
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
