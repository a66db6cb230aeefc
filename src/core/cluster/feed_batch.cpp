#include "core/cluster/feed_batch.h"

#include <iterator>

#include "core/cluster/cluster_messages.h"

namespace dxcc::cluster {

std::string unshownText(const Unshown& unshown) {
    if (unshown.spots == 0 && unshown.lines == 0) return {};
    std::string text(messages::kDropped);
    const auto count = [&text](uint64_t n, const char* one, const char* many) {
        if (n == 0) return;
        if (text.back() != ' ') text += ", ";
        text += std::to_string(n) + (n == 1 ? one : many);
    };
    count(unshown.spots, " spot", " spots");
    count(unshown.lines, " autre ligne", " autres lignes");
    return text + '.';
}

void FeedBatcher::spot(Spot spot) {
    if (limits_.spots == 0) {
        ++dropped_.spots;
        return;
    }
    if (spots_.size() >= limits_.spots) {
        spots_.pop_front();
        ++dropped_.spots;
    }
    spots_.push_back(std::move(spot));
}

void FeedBatcher::line(std::string_view text) {
    if (limits_.lines == 0) {
        ++dropped_.lines;
        return;
    }
    if (lines_.size() >= limits_.lines) {
        // The oldest line's storage takes the new text: a flood allocates nothing.
        std::string reused = std::move(lines_.front());
        lines_.pop_front();
        reused.assign(text);
        lines_.push_back(std::move(reused));
        ++dropped_.lines;
        return;
    }
    lines_.emplace_back(text);
}

bool FeedBatcher::empty() const {
    return spots_.empty() && lines_.empty() && dropped_.spots == 0 && dropped_.lines == 0;
}

std::optional<FeedBatcher::Delay> FeedBatcher::wait(TimePoint now) const {
    if (out_ || empty()) return std::nullopt;
    if (!lastTaken_ || now - *lastTaken_ >= limits_.interval) return Delay(0);
    return std::chrono::ceil<Delay>(limits_.interval - (now - *lastTaken_));
}

FeedBatch FeedBatcher::take(TimePoint now) {
    FeedBatch batch;
    batch.spots.assign(std::make_move_iterator(spots_.begin()),
                       std::make_move_iterator(spots_.end()));
    batch.lines.assign(std::make_move_iterator(lines_.begin()),
                       std::make_move_iterator(lines_.end()));
    batch.dropped = dropped_;
    spots_.clear();
    lines_.clear();
    dropped_ = {};
    lastTaken_ = now;
    out_ = true;
    return batch;
}

}  // namespace dxcc::cluster
