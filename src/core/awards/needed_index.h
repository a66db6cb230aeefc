#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/logbook/logbook.h"
#include "core/logbook/need.h"
#include "core/record/mode_table.h"

namespace dxcc {

// Entities counted, and of those confirmed.
struct NeedCounts {
    size_t worked = 0;
    size_t confirmed = 0;
    bool operator==(const NeedCounts&) const = default;
};

// The needed status of every entity of the log, by band and by class of
// modes, answered in well under a microsecond and kept current by each change
// of the log without a new pass over it.
//
// An entity is the trimmed DXCC prefix of a QSO, exact bytes (as the award
// windows count them); a QSO without one is not counted. A band is the QSO's
// band field, blanks trimmed; a class is neededClassOf the QSO's mode, and a
// QSO of no class counts in no class (asked for class None, the answer is
// Never).
class NeededIndex {
public:
    NeededIndex();

    // One pass over the log.
    void rebuild(const Logbook& log);
    // Follows one change of the log, which `log` already holds: rows inserted,
    // changed or removed are read (or forgotten) alone; Reset reads it all.
    void apply(const Logbook& log, const LogChange& change);
    // Forgets everything (an empty log).
    void clear();

    // Any QSO with the entity.
    Need entity(std::string_view dxccPrefix) const;
    // QSOs with the entity on the band (a band label, "14 Mhz" or "14 Mhz ").
    Need band(std::string_view dxccPrefix, std::string_view bandLabel) const;
    // QSOs with the entity in the class (any band).
    Need mode(std::string_view dxccPrefix, ModeClass modeClass) const;
    // QSOs with the entity on the band and in the class: one cell of the
    // entry form's band x class grid.
    Need bandAndMode(std::string_view dxccPrefix, std::string_view bandLabel,
                     ModeClass modeClass) const;

    // Mixed: every entity with a QSO, and those with a confirmed one.
    NeedCounts counts() const { return mixed_; }
    // The same, counting only the QSOs on one band or in one class.
    NeedCounts bandCounts(std::string_view bandLabel) const;
    NeedCounts classCounts(ModeClass modeClass) const;

    // The QSOs counted (those with a DXCC prefix).
    size_t qsoCount() const { return counted_; }
    // Rows followed: the size of the log this index was built or kept for.
    size_t rowCount() const { return rows_.size(); }

    // One entity with a QSO in the log, for the DXCC table.
    struct EntityView {
        std::string_view dxccPrefix;  // trimmed, exact bytes of the log
        std::string_view entityName;  // trimmed, of a QSO with it
        Need entity;
        std::array<Need, kModeClasses.size()> classes;  // in the order of kModeClasses
    };
    // Every entity with a QSO, in ascending case-insensitive order of prefix
    // (the award windows' order).
    std::vector<EntityView> entities() const;

    // Upper bound of the distinct bands followed; QSOs on further band texts
    // still count for the entity and its class, not for a band.
    // Distinct band labels counted; one more number means "no band".
    static constexpr size_t kMaxBands = 31;

private:
    struct Cell {
        uint32_t worked = 0;
        uint32_t confirmed = 0;
        Need need() const {
            return confirmed ? Need::Confirmed : worked ? Need::Worked : Need::Never;
        }
    };
    struct EntityCells {
        std::string prefix;
        std::string name;
        Cell all;
        std::array<Cell, kModeClasses.size()> classes{};
        std::array<Cell, kMaxBands> bands{};
        std::array<std::array<Cell, kModeClasses.size()>, kMaxBands> bandClasses{};
    };
    // What one row contributes: its entity (kNoEntity without one), band
    // (kNoBand without), class as its place in kModeClasses (kNoClass
    // without), confirmed or not. Four bytes, kept for every row: a log holds
    // fewer lines than 2^23.
    struct RowKey {
        uint32_t entity : 23;
        uint32_t band : 5;
        uint32_t classIndex : 3;
        uint32_t confirmed : 1;
    };
    static constexpr uint32_t kNoEntity = (1u << 23) - 1;
    static constexpr uint32_t kNoBand = kMaxBands;
    static constexpr uint32_t kNoClass = 7;
    static_assert(kMaxBands < 32 && kModeClasses.size() < kNoClass);
    static_assert(sizeof(RowKey) == 4 && kLogFileLimits.maxLines < kNoEntity);

    RowKey keyOf(std::string_view record);
    // The slow path of keyOf, for fields not met before.
    uint32_t entityOf(std::string_view record);
    uint8_t bandOf(std::string_view bandField);
    void add(const RowKey& key, int sign);
    const EntityCells* find(std::string_view dxccPrefix) const;
    int bandIndex(std::string_view bandLabel) const;

    // Per-row keys in blocks, so an insertion or a removal in the middle of a
    // large log moves a few kilobytes, not the whole array.
    class RowKeys {
    public:
        size_t size() const { return size_; }
        void clear();
        RowKey at(size_t row) const;
        void set(size_t row, RowKey key);
        void insert(size_t row, const std::vector<RowKey>& keys);
        void erase(size_t row, size_t count);
        void push_back(RowKey key);

    private:
        static constexpr size_t kBlock = 1024;
        // Block holding `row`, and the row's place in it.
        std::pair<size_t, size_t> locate(size_t row) const;
        void resized(size_t block);
        std::vector<std::vector<RowKey>> blocks_;
        // The blocks' sizes side by side, so finding a row reads a few cache
        // lines rather than every block's header.
        std::vector<uint32_t> sizes_;
        size_t size_ = 0;
    };

    // From a field's raw bytes packed in a word (never 0) to what they mean:
    // most logs hold a few hundred prefixes, a dozen bands and modes, so a
    // line is read with three probes and no trimming or string compare.
    class RawCache {
    public:
        RawCache() { clear(); }
        void clear() {
            slots_.assign(64, Slot{});
            shift_ = 58;  // 64 slots: the hash's top six bits
            used_ = 0;
        }
        // Null when the key was never stored.
        const uint32_t* find(uint64_t key) const {
            const size_t mask = slots_.size() - 1;
            for (size_t s = home(key);; s = (s + 1) & mask) {
                if (slots_[s].key == key) return &slots_[s].value;
                if (slots_[s].key == 0) return nullptr;
            }
        }
        void put(uint64_t key, uint32_t value);

    private:
        struct Slot {
            uint64_t key = 0;
            uint32_t value = 0;
        };
        size_t home(uint64_t key) const {
            return static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> shift_);
        }
        std::vector<Slot> slots_;
        unsigned shift_ = 58;
        size_t used_ = 0;
    };

    // A deque: a new entity never moves the others (a vector would copy every
    // entity's cells when it grows, in the middle of one change).
    std::deque<EntityCells> entities_;
    // Entity number by its trimmed prefix packed in a word (the prefix field
    // is six bytes wide).
    std::unordered_map<uint64_t, uint32_t> entityByKey_;
    std::vector<std::string> bandLabels_;
    RawCache entityByRaw_;
    RawCache bandByRaw_;
    RawCache classByRaw_;
    RowKeys rows_;
    NeedCounts mixed_;
    size_t counted_ = 0;
};

}  // namespace dxcc
