#include "core/awards/needed_index.h"

#include <algorithm>

#include "core/base/collation.h"
#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/mode_classes.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
        if (x != b[i]) return false;
    }
    return true;
}

// The trimmed prefix padded with blanks and packed in a word, with a marker
// bit so no key is 0; 0 for an empty prefix or one wider than the field.
uint64_t packedKey(std::string_view prefix) {
    prefix = trimBlanks(prefix);
    if (prefix.empty() || prefix.size() > kDxccPrefixWidth) return 0;
    uint64_t key = uint64_t{1} << 63;
    for (size_t i = 0; i < kDxccPrefixWidth; ++i) {
        const unsigned char byte = i < prefix.size() ? static_cast<unsigned char>(prefix[i]) : ' ';
        key |= uint64_t{byte} << (8 * i);
    }
    return key;
}

}  // namespace

std::optional<NeedClass> needClassOfMode(std::string_view loggedMode) {
    const std::string_view mode = trimBlanks(loggedMode);
    if (equalsIgnoringCase(mode, kSatelliteMode)) return NeedClass::Satellite;
    switch (modeClassOf(mode)) {
        case ModeClass::Phone:
            return NeedClass::Phone;
        case ModeClass::Cw:
            return NeedClass::Cw;
        case ModeClass::Digital:
            return NeedClass::Digital;
        case ModeClass::None:
            break;
    }
    return std::nullopt;
}

std::string_view needClassText(NeedClass needClass) {
    switch (needClass) {
        case NeedClass::Phone:
            return modeClassText(ModeClass::Phone);
        case NeedClass::Cw:
            return modeClassText(ModeClass::Cw);
        case NeedClass::Digital:
            return modeClassText(ModeClass::Digital);
        case NeedClass::Satellite:
            break;
    }
    return "Satellite";
}

// ---- Row keys in blocks ----

void NeededIndex::RowKeys::clear() {
    blocks_.clear();
    size_ = 0;
}

std::pair<size_t, size_t> NeededIndex::RowKeys::locate(size_t row) const {
    for (size_t b = 0; b < blocks_.size(); ++b) {
        if (row < blocks_[b].size()) return {b, row};
        row -= blocks_[b].size();
    }
    return {blocks_.size(), 0};
}

NeededIndex::RowKey NeededIndex::RowKeys::at(size_t row) const {
    const auto [b, i] = locate(row);
    return blocks_[b][i];
}

void NeededIndex::RowKeys::set(size_t row, RowKey key) {
    const auto [b, i] = locate(row);
    blocks_[b][i] = key;
}

void NeededIndex::RowKeys::push_back(RowKey key) {
    if (blocks_.empty() || blocks_.back().size() >= kBlock) {
        blocks_.emplace_back();
        blocks_.back().reserve(kBlock);
    }
    blocks_.back().push_back(key);
    ++size_;
}

void NeededIndex::RowKeys::insert(size_t row, const std::vector<RowKey>& keys) {
    if (keys.empty()) return;
    if (row >= size_) {
        for (const RowKey& k : keys) push_back(k);
        return;
    }
    auto [b, i] = locate(row);
    std::vector<RowKey>& block = blocks_[b];
    if (block.size() + keys.size() <= 2 * kBlock) {
        block.insert(block.begin() + static_cast<std::ptrdiff_t>(i), keys.begin(), keys.end());
    } else {
        // A large block: the tail of this block after the new rows, in blocks
        // of their own.
        std::vector<RowKey> tail(block.begin() + static_cast<std::ptrdiff_t>(i), block.end());
        block.resize(i);
        std::vector<std::vector<RowKey>> added;
        const auto cut = [&](const std::vector<RowKey>& from) {
            for (size_t s = 0; s < from.size(); s += kBlock)
                added.emplace_back(from.begin() + static_cast<std::ptrdiff_t>(s),
                                   from.begin() + static_cast<std::ptrdiff_t>(
                                                      std::min(from.size(), s + kBlock)));
        };
        cut(keys);
        cut(tail);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1),
                       std::make_move_iterator(added.begin()), std::make_move_iterator(added.end()));
        if (blocks_[b].empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        size_ += keys.size();
        return;
    }
    if (block.size() > 2 * kBlock - 1) {
        std::vector<RowKey> second(block.begin() + kBlock, block.end());
        block.resize(kBlock);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1), std::move(second));
    }
    size_ += keys.size();
}

void NeededIndex::RowKeys::erase(size_t row, size_t count) {
    count = std::min(count, size_ > row ? size_ - row : 0);
    while (count > 0) {
        auto [b, i] = locate(row);
        std::vector<RowKey>& block = blocks_[b];
        const size_t n = std::min(count, block.size() - i);
        block.erase(block.begin() + static_cast<std::ptrdiff_t>(i),
                    block.begin() + static_cast<std::ptrdiff_t>(i + n));
        if (block.empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        size_ -= n;
        count -= n;
    }
}

// ---- The index ----

NeededIndex::NeededIndex() { clear(); }

void NeededIndex::clear() {
    entities_.clear();
    entityByKey_.clear();
    bandLabels_.clear();
    // The entry list's bands first, so their numbers never change.
    for (std::string_view band : kBands) bandLabels_.emplace_back(trimBlanks(band));
    rows_.clear();
    mixed_ = {};
    counted_ = 0;
}

int NeededIndex::bandIndex(std::string_view bandLabel) const {
    bandLabel = trimBlanks(bandLabel);
    for (size_t i = 0; i < bandLabels_.size(); ++i)
        if (bandLabels_[i] == bandLabel) return static_cast<int>(i);
    return -1;
}

NeededIndex::RowKey NeededIndex::keyOf(std::string_view record) {
    RowKey key{kNoEntity, kNone, kNone, 0};
    const std::string_view prefix = trimBlanks(recordField(record, Field::DxccPrefix));
    const uint64_t packed = packedKey(prefix);
    if (packed == 0) return key;
    auto [it, added] = entityByKey_.try_emplace(packed, static_cast<uint32_t>(entities_.size()));
    if (added) {
        entities_.emplace_back();
        entities_.back().prefix = std::string(prefix);
        entities_.back().name = std::string(trimBlanks(recordField(record, Field::EntityName)));
    }
    key.entity = it->second;
    int band = bandIndex(recordField(record, Field::Band));
    if (band < 0) {
        const std::string_view label = trimBlanks(recordField(record, Field::Band));
        if (!label.empty() && bandLabels_.size() < kMaxBands) {
            bandLabels_.emplace_back(label);
            band = static_cast<int>(bandLabels_.size() - 1);
        }
    }
    if (band >= 0) key.band = static_cast<uint8_t>(band);
    if (const auto cls = needClassOfMode(recordField(record, Field::Mode)))
        key.needClass = static_cast<uint8_t>(*cls);
    key.confirmed = recordConfirmed(record) ? 1 : 0;
    return key;
}

void NeededIndex::add(const RowKey& key, int sign) {
    if (key.entity == kNoEntity) return;
    EntityCells& e = entities_[key.entity];
    const auto bump = [&](Cell& c) {
        c.worked += static_cast<uint32_t>(sign);
        if (key.confirmed) c.confirmed += static_cast<uint32_t>(sign);
    };
    const bool wasWorked = e.all.worked > 0;
    const bool wasConfirmed = e.all.confirmed > 0;
    bump(e.all);
    if (key.band != kNone) bump(e.bands[key.band]);
    if (key.needClass != kNone) bump(e.classes[key.needClass]);
    counted_ += static_cast<size_t>(sign);
    if (wasWorked != (e.all.worked > 0)) mixed_.worked += static_cast<size_t>(sign);
    if (wasConfirmed != (e.all.confirmed > 0)) mixed_.confirmed += static_cast<size_t>(sign);
}

void NeededIndex::rebuild(const Logbook& log) {
    clear();
    const size_t size = log.size();
    for (size_t i = 0; i < size; ++i) {
        const RowKey key = keyOf(log.record(i));
        add(key, +1);
        rows_.push_back(key);
    }
}

void NeededIndex::apply(const Logbook& log, const LogChange& change) {
    switch (change.kind) {
        case LogChange::Kind::Reset:
            rebuild(log);
            return;
        case LogChange::Kind::Inserted: {
            if (change.row > rows_.size() || rows_.size() + change.count != log.size()) break;
            std::vector<RowKey> keys;
            keys.reserve(change.count);
            for (size_t r = change.row; r < change.row + change.count; ++r) {
                keys.push_back(keyOf(log.record(r)));
                add(keys.back(), +1);
            }
            rows_.insert(change.row, keys);
            return;
        }
        case LogChange::Kind::Changed: {
            if (change.row + change.count > rows_.size() || rows_.size() != log.size()) break;
            for (size_t r = change.row; r < change.row + change.count; ++r) {
                const RowKey key = keyOf(log.record(r));
                add(rows_.at(r), -1);
                add(key, +1);
                rows_.set(r, key);
            }
            return;
        }
        case LogChange::Kind::Removed: {
            if (change.row + change.count > rows_.size() ||
                rows_.size() != log.size() + change.count)
                break;
            for (size_t r = change.row; r < change.row + change.count; ++r) add(rows_.at(r), -1);
            rows_.erase(change.row, change.count);
            return;
        }
    }
    // A change that does not fit what this index followed: read the log again
    // rather than answer from a wrong state.
    rebuild(log);
}

const NeededIndex::EntityCells* NeededIndex::find(std::string_view dxccPrefix) const {
    const uint64_t packed = packedKey(dxccPrefix);
    if (packed == 0) return nullptr;
    const auto it = entityByKey_.find(packed);
    return it == entityByKey_.end() ? nullptr : &entities_[it->second];
}

Need NeededIndex::entity(std::string_view dxccPrefix) const {
    const EntityCells* e = find(dxccPrefix);
    return e ? e->all.need() : Need::Never;
}

Need NeededIndex::band(std::string_view dxccPrefix, std::string_view bandLabel) const {
    const EntityCells* e = find(dxccPrefix);
    if (!e) return Need::Never;
    const int b = bandIndex(bandLabel);
    return b < 0 ? Need::Never : e->bands[static_cast<size_t>(b)].need();
}

Need NeededIndex::mode(std::string_view dxccPrefix, NeedClass needClass) const {
    const EntityCells* e = find(dxccPrefix);
    return e ? e->classes[static_cast<size_t>(needClass)].need() : Need::Never;
}

NeedCounts NeededIndex::bandCounts(std::string_view bandLabel) const {
    NeedCounts counts;
    const int b = bandIndex(bandLabel);
    if (b < 0) return counts;
    for (const EntityCells& e : entities_) {
        const Cell& c = e.bands[static_cast<size_t>(b)];
        counts.worked += c.worked > 0;
        counts.confirmed += c.confirmed > 0;
    }
    return counts;
}

NeedCounts NeededIndex::classCounts(NeedClass needClass) const {
    NeedCounts counts;
    for (const EntityCells& e : entities_) {
        const Cell& c = e.classes[static_cast<size_t>(needClass)];
        counts.worked += c.worked > 0;
        counts.confirmed += c.confirmed > 0;
    }
    return counts;
}

std::vector<NeededIndex::EntityView> NeededIndex::entities() const {
    std::vector<const EntityCells*> worked;
    for (const EntityCells& e : entities_)
        if (e.all.worked > 0) worked.push_back(&e);
    std::sort(worked.begin(), worked.end(), [](const EntityCells* a, const EntityCells* b) {
        return collate(padRight(a->prefix, kDxccPrefixWidth), padRight(b->prefix, kDxccPrefixWidth)) < 0;
    });
    std::vector<EntityView> views;
    views.reserve(worked.size());
    for (const EntityCells* e : worked) {
        EntityView v{e->prefix, e->name, e->all.need(), {}};
        for (size_t c = 0; c < kNeedClassCount; ++c) v.classes[c] = e->classes[c].need();
        views.push_back(v);
    }
    return views;
}

}  // namespace dxcc
