#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/digital/decode_classifier.h"

namespace dxcc {
class PrefixTable;
class EntityData;
}  // namespace dxcc

namespace dxcc::digital {

// One row of the decodes shown: a decode classified, with the decoder that
// heard it and how that decoder was tuned (to classify it again).
struct DecodeRow {
    ClassifiedDecode decode;
    std::string decoderId;
    DecoderTuning tuning;
};

// The length of one transmission period of a mode, in milliseconds.
std::uint32_t periodOf(std::string_view mode);

// The decodes shown, newest first, one row per decoder, callsign and period:
// a callsign decoded again in the same period (a second decoding pass, a
// replay) updates its row. Free text makes a row of its own. The list keeps
// kMaxRows: the oldest go, so a flood never grows memory.
class DecodeRows {
public:
    static constexpr std::size_t kMaxRows = 5000;

    // How many rows `batch` (oldest first) would put on top.
    std::size_t newRowsOf(const std::vector<DecodeRow>& batch) const;
    // Adds the batch: its new rows on top, newest first; answers the rows
    // (counted after the change) that took a decode again.
    std::vector<std::size_t> add(std::vector<DecodeRow> batch);
    // How many rows past kMaxRows, to be taken from the end by trim().
    std::size_t excess() const { return rows_.size() > kMaxRows ? rows_.size() - kMaxRows : 0; }
    void trim();
    void clear();

    std::size_t size() const { return rows_.size(); }
    const DecodeRow& at(std::size_t row) const { return rows_[row].row; }
    DecodeRow& at(std::size_t row) { return rows_[row].row; }

private:
    struct Stored {
        DecodeRow row;
        std::uint64_t serial = 0;
        std::string key;  // empty: a row no later decode joins
    };
    static std::string keyOf(const DecodeRow& row);

    std::deque<Stored> rows_;  // newest first
    std::unordered_map<std::string, std::uint64_t> serials_;
    std::uint64_t nextSerial_ = 1;
};

// What the window's filters let through.
struct DecodeFilter {
    bool cqOnly = false;
    bool neededOnly = false;
    std::string band;             // the log's band label (trimmed); empty: any
    std::string hiddenContinent;  // "EU"...; empty: none hidden
    bool accepts(const DecodeRow& row) const;
};

}  // namespace dxcc::digital

namespace dxcc::digital {

// The continent of the station `callsign` ("EU"); empty when its entity or
// the entity's continent is unknown.
std::string continentOfStation(std::string_view callsign, const PrefixTable& prefixes,
                               const EntityData& entities);

}  // namespace dxcc::digital
