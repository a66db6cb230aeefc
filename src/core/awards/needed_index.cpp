#include "core/awards/needed_index.h"

#include <algorithm>

#include "core/base/collation.h"
#include "core/base/program_constants.h"
#include "core/base/text_utils.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace {

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

// The place of a logged mode's class in kModeClasses; kNoClass for none.
uint32_t classIndexOf(std::string_view loggedMode, uint32_t noClass) {
    const ModeClass c = neededClassOf(loggedMode);
    return c == ModeClass::None ? noClass : static_cast<uint32_t>(modeClassIndex(c));
}

// Up to seven bytes at `offset` of the record, with a marker bit above them
// so that no packed text is 0 and texts of different lengths differ.
inline uint64_t packRaw(std::string_view record, size_t offset, size_t width) {
    uint64_t key = 1;
    for (size_t i = 0; i < width; ++i)
        key = (key << 8) | static_cast<unsigned char>(record[offset + i]);
    return key;
}

}  // namespace

// ---- Row keys in blocks ----

void NeededIndex::RowKeys::clear() {
    blocks_.clear();
    sizes_.clear();
    size_ = 0;
}

std::pair<size_t, size_t> NeededIndex::RowKeys::locate(size_t row) const {
    const size_t count = sizes_.size();
    for (size_t b = 0; b < count; ++b) {
        if (row < sizes_[b]) return {b, row};
        row -= sizes_[b];
    }
    return {count, 0};
}

void NeededIndex::RowKeys::resized(size_t) {
    sizes_.resize(blocks_.size());
    for (size_t b = 0; b < blocks_.size(); ++b)
        sizes_[b] = static_cast<uint32_t>(blocks_[b].size());
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
        sizes_.push_back(0);
    }
    blocks_.back().push_back(key);
    ++sizes_.back();
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
                added.emplace_back(
                    from.begin() + static_cast<std::ptrdiff_t>(s),
                    from.begin() + static_cast<std::ptrdiff_t>(std::min(from.size(), s + kBlock)));
        };
        cut(keys);
        cut(tail);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1),
                       std::make_move_iterator(added.begin()),
                       std::make_move_iterator(added.end()));
        if (blocks_[b].empty()) blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
        resized(b);
        size_ += keys.size();
        return;
    }
    if (block.size() > 2 * kBlock - 1) {
        std::vector<RowKey> second(block.begin() + kBlock, block.end());
        block.resize(kBlock);
        blocks_.insert(blocks_.begin() + static_cast<std::ptrdiff_t>(b + 1), std::move(second));
        resized(b);
    } else {
        sizes_[b] = static_cast<uint32_t>(block.size());
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
        if (block.empty()) {
            blocks_.erase(blocks_.begin() + static_cast<std::ptrdiff_t>(b));
            sizes_.erase(sizes_.begin() + static_cast<std::ptrdiff_t>(b));
        } else {
            sizes_[b] = static_cast<uint32_t>(block.size());
        }
        size_ -= n;
        count -= n;
    }
}

void NeededIndex::RawCache::put(uint64_t key, uint32_t value) {
    if ((used_ + 1) * 2 > slots_.size()) {
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.size() * 2, Slot{});
        --shift_;
        used_ = 0;
        for (const Slot& s : old)
            if (s.key != 0) put(s.key, s.value);
    }
    const size_t mask = slots_.size() - 1;
    for (size_t s = home(key);; s = (s + 1) & mask) {
        if (slots_[s].key == key) {
            slots_[s].value = value;
            return;
        }
        if (slots_[s].key == 0) {
            slots_[s] = Slot{key, value};
            ++used_;
            return;
        }
    }
}

// ---- The index ----

NeededIndex::NeededIndex() {
    clear();
}

void NeededIndex::clear() {
    entities_.clear();
    entityByKey_.clear();
    bandLabels_.clear();
    // The entry list's bands first, so their numbers never change.
    for (std::string_view band : kBands) bandLabels_.emplace_back(trimBlanks(band));
    rows_.clear();
    entityByRaw_.clear();
    bandByRaw_.clear();
    classByRaw_.clear();
    mixed_ = {};
    counted_ = 0;
}

int NeededIndex::bandIndex(std::string_view bandLabel) const {
    bandLabel = trimBlanks(bandLabel);
    for (size_t i = 0; i < bandLabels_.size(); ++i)
        if (bandLabels_[i] == bandLabel) return static_cast<int>(i);
    return -1;
}

uint32_t NeededIndex::entityOf(std::string_view record) {
    const std::string_view prefix = trimBlanks(recordField(record, Field::DxccPrefix));
    const uint64_t packed = packedKey(prefix);
    if (packed == 0 || entities_.size() >= kNoEntity) return kNoEntity;
    auto [it, added] = entityByKey_.try_emplace(packed, static_cast<uint32_t>(entities_.size()));
    if (added) {
        entities_.emplace_back();
        entities_.back().prefix = std::string(prefix);
        entities_.back().name = std::string(trimBlanks(recordField(record, Field::EntityName)));
    }
    return it->second;
}

uint8_t NeededIndex::bandOf(std::string_view bandField) {
    int band = bandIndex(bandField);
    if (band < 0) {
        const std::string_view label = trimBlanks(bandField);
        if (label.empty() || bandLabels_.size() >= kMaxBands) return kNoBand;
        bandLabels_.emplace_back(label);
        band = static_cast<int>(bandLabels_.size() - 1);
    }
    return static_cast<uint8_t>(band);
}

NeededIndex::RowKey NeededIndex::keyOf(std::string_view record) {
    RowKey key{kNoEntity, kNoBand, kNoClass, 0};
    if (record.size() < kRecordLength) {
        // A short line: its fields cut by the record's own rules.
        key.entity = entityOf(record);
        if (key.entity == kNoEntity) return key;
        key.band = bandOf(recordField(record, Field::Band));
        key.classIndex = classIndexOf(recordField(record, Field::Mode), kNoClass);
        key.confirmed = recordConfirmed(record) ? 1 : 0;
        return key;
    }
    const size_t prefixAt = kRecordFieldOffsets[static_cast<size_t>(Field::DxccPrefix)];
    const uint64_t rawPrefix = packRaw(record, prefixAt, kDxccPrefixWidth);
    if (const uint32_t* known = entityByRaw_.find(rawPrefix)) {
        key.entity = *known;
    } else {
        key.entity = entityOf(record);
        entityByRaw_.put(rawPrefix, key.entity);
    }
    if (key.entity == kNoEntity) return key;

    const size_t bandAt = kRecordFieldOffsets[static_cast<size_t>(Field::Band)];
    const uint64_t rawBand = packRaw(record, bandAt, kBandWidth);
    if (const uint32_t* known = bandByRaw_.find(rawBand)) {
        key.band = static_cast<uint8_t>(*known);
    } else {
        key.band = bandOf(record.substr(bandAt, kBandWidth));
        bandByRaw_.put(rawBand, key.band);
    }

    const size_t modeAt = kRecordFieldOffsets[static_cast<size_t>(Field::Mode)];
    const uint64_t rawMode = packRaw(record, modeAt, kModeWidth);
    if (const uint32_t* known = classByRaw_.find(rawMode)) {
        key.classIndex = *known;
    } else {
        key.classIndex = classIndexOf(record.substr(modeAt, kModeWidth), kNoClass);
        classByRaw_.put(rawMode, key.classIndex);
    }
    key.confirmed = record[kRecordQslOffset] == '*' ? 1 : 0;
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
    if (key.band != kNoBand) bump(e.bands[key.band]);
    if (key.classIndex != kNoClass) bump(e.classes[key.classIndex]);
    if (key.band != kNoBand && key.classIndex != kNoClass)
        bump(e.bandClasses[key.band][key.classIndex]);
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

Need NeededIndex::mode(std::string_view dxccPrefix, ModeClass modeClass) const {
    const EntityCells* e = find(dxccPrefix);
    if (!e || modeClass == ModeClass::None) return Need::Never;
    return e->classes[modeClassIndex(modeClass)].need();
}

Need NeededIndex::bandAndMode(std::string_view dxccPrefix, std::string_view bandLabel,
                              ModeClass modeClass) const {
    const EntityCells* e = find(dxccPrefix);
    if (!e || modeClass == ModeClass::None) return Need::Never;
    const int b = bandIndex(bandLabel);
    return b < 0 ? Need::Never
                 : e->bandClasses[static_cast<size_t>(b)][modeClassIndex(modeClass)].need();
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

NeedCounts NeededIndex::classCounts(ModeClass modeClass) const {
    NeedCounts counts;
    if (modeClass == ModeClass::None) return counts;
    for (const EntityCells& e : entities_) {
        const Cell& c = e.classes[modeClassIndex(modeClass)];
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
        return collate(padRight(a->prefix, kDxccPrefixWidth),
                       padRight(b->prefix, kDxccPrefixWidth)) < 0;
    });
    std::vector<EntityView> views;
    views.reserve(worked.size());
    for (const EntityCells* e : worked) {
        EntityView v{e->prefix, e->name, e->all.need(), {}};
        for (size_t c = 0; c < kModeClasses.size(); ++c) v.classes[c] = e->classes[c].need();
        views.push_back(v);
    }
    return views;
}

}  // namespace dxcc
