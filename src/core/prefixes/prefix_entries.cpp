#include "core/prefixes/prefix_entries.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "core/record/qso_record.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_editor_messages.h"

namespace dxcc {

namespace {

namespace msg = prefix_editor_messages;

// Sort weight of each byte: its class in the high byte (blank, other sign,
// digit, letter), its place within the class in the low byte.
enum WeightClass : uint16_t { kBlank = 0, kSign = 1, kDigit = 2, kLetter = 3 };

constexpr uint16_t weight(WeightClass c, unsigned char place) {
    return static_cast<uint16_t>(c << 8 | place);
}

// Base letters of Windows-1252 0xC0 to 0xFF; '-' for × and ÷.
constexpr std::string_view kAccentedBase =
    "AAAAAAACEEEEIIIIDNOOOOO-OUUUUYTSAAAAAAACEEEEIIIIDNOOOOO-OUUUUYTY";

constexpr std::array<std::pair<unsigned char, char>, 8> kOtherLetters{{
    {0x83, 'F'},  // ƒ
    {0x8A, 'S'},  // Š
    {0x8C, 'O'},  // Œ
    {0x8E, 'Z'},  // Ž
    {0x9A, 'S'},  // š
    {0x9C, 'O'},  // œ
    {0x9E, 'Z'},  // ž
    {0x9F, 'Y'},  // Ÿ
}};

constexpr std::array<uint16_t, 256> makeWeights() {
    std::array<uint16_t, 256> w{};
    for (unsigned b = 0; b < 256; ++b) w[b] = weight(kSign, static_cast<unsigned char>(b));
    w[' '] = weight(kBlank, 0);
    for (unsigned char d = '0'; d <= '9'; ++d) w[d] = weight(kDigit, d);
    for (unsigned char l = 'A'; l <= 'Z'; ++l) {
        w[l] = weight(kLetter, l);
        w[l + ('a' - 'A')] = weight(kLetter, l);
    }
    for (unsigned i = 0; i < kAccentedBase.size(); ++i) {
        const char base = kAccentedBase[i];
        if (base != '-') w[0xC0 + i] = weight(kLetter, static_cast<unsigned char>(base));
    }
    for (auto [byte, base] : kOtherLetters) {
        w[byte] = weight(kLetter, static_cast<unsigned char>(base));
    }
    return w;
}

constexpr std::array<uint16_t, 256> kWeights = makeWeights();

uint16_t weightOf(char c) {
    return kWeights[static_cast<unsigned char>(c)];
}

struct FieldRule {
    size_t maxLength;
    std::string_view empty;
    std::string_view tooLong;
};

constexpr std::array<FieldRule, 3> kFieldRules{{
    {kEditorCallsignPrefixMax, msg::kCallsignPrefixEmpty, msg::kCallsignPrefixTooLong},
    {kEditorEntityNameMax, msg::kEntityNameEmpty, msg::kEntityNameTooLong},
    {kEditorDxccPrefixMax, msg::kDxccPrefixEmpty, msg::kDxccPrefixTooLong},
}};

constexpr std::array<PrefixField, 3> kFieldOrder{PrefixField::CallsignPrefix,
                                                 PrefixField::EntityName, PrefixField::DxccPrefix};

PrefixFields trimmedFields(const PrefixFields& fields) {
    return {std::string(trimBlanks(fields.callsignPrefix)),
            std::string(trimBlanks(fields.entityName)), std::string(trimBlanks(fields.dxccPrefix))};
}

const std::string& textOf(const PrefixFields& fields, PrefixField field) {
    static constexpr std::array<std::string PrefixFields::*, 3> kTexts{
        &PrefixFields::callsignPrefix, &PrefixFields::entityName, &PrefixFields::dxccPrefix};
    return fields.*kTexts[static_cast<size_t>(field)];
}

}  // namespace

int comparePrefixLines(std::string_view a, std::string_view b) {
    const size_t common = std::min(a.size(), b.size());
    for (size_t i = 0; i < common; ++i) {
        const uint16_t wa = weightOf(a[i]);
        const uint16_t wb = weightOf(b[i]);
        if (wa != wb) return wa < wb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

bool PrefixFields::blank() const {
    return trimBlanks(callsignPrefix).empty() && trimBlanks(entityName).empty() &&
           trimBlanks(dxccPrefix).empty();
}

std::string prefixListHeading() {
    // Columns of the heading, one more than the field's column in the line.
    static constexpr ColumnHeading kHeadings[] = {
        {1, "Prefixe"},
        {kPrefixEntityNameColumn + 1, "Contée DXCC"},
        {kPrefixDxccColumn + 1, "Prefixe DXCC"},
    };
    return headingLine(kHeadings);
}

PrefixFields prefixFieldsOf(std::string_view line) {
    PrefixEntry entry = parsePrefixEntry(line);
    return PrefixFields{std::move(entry.callsignPrefix), std::string(trimBlanks(entry.entityName)),
                        std::move(entry.dxccPrefix)};
}

std::optional<std::string_view> checkPrefixField(PrefixField field, std::string_view text) {
    const FieldRule& rule = kFieldRules[static_cast<size_t>(field)];
    if (trimBlanks(text).empty()) return rule.empty;
    if (text.size() > rule.maxLength) return rule.tooLong;
    return std::nullopt;
}

std::optional<PrefixFieldRefusal> checkPrefixFields(const PrefixFields& fields) {
    for (PrefixField field : kFieldOrder) {
        if (auto message = checkPrefixField(field, textOf(fields, field))) {
            return PrefixFieldRefusal{field, *message};
        }
    }
    return std::nullopt;
}

std::string prefixEntryLine(const PrefixFields& fields) {
    return buildPrefixEntry(fields.callsignPrefix, fields.entityName, fields.dxccPrefix);
}

PrefixList PrefixList::fromBytes(std::string_view bytes) {
    PrefixList list;
    const std::vector<std::string_view> lines = splitLines(bytes);
    list.lines_.reserve(lines.size() + 1);
    for (std::string_view line : lines) list.lines_.emplace_back(line);
    // A file last saved by the editor is already in order: no sort needed.
    if (!std::is_sorted(list.lines_.begin(), list.lines_.end(), prefixLineLess)) {
        std::sort(list.lines_.begin(), list.lines_.end(), prefixLineLess);
    }
    return list;
}

size_t PrefixList::insert(std::string line) {
    const auto at = std::upper_bound(lines_.begin(), lines_.end(), line, prefixLineLess);
    return static_cast<size_t>(lines_.insert(at, std::move(line)) - lines_.begin());
}

void PrefixList::erase(size_t row) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(row));
}

size_t PrefixList::replace(size_t row, std::string line) {
    erase(row);
    return insert(std::move(line));
}

std::string PrefixList::fileBytes() const {
    size_t total = 0;
    for (const std::string& line : lines_) total += line.size() + kLineEnd.size();
    std::string bytes;
    bytes.reserve(total);
    for (const std::string& line : lines_) {
        bytes += line;
        bytes += kLineEnd;
    }
    return bytes;
}

PrefixEditor::PrefixEditor(std::filesystem::path dataDir)
    : file_(dataDir / kPrefixFileName), scratch_(dataDir / kPrefixScratchName) {}

void PrefixEditor::open() {
    list_ = PrefixList();
    selected_.reset();
    shown_.reset();
    editMode_ = false;
    deletePending_ = false;
    try {
        list_ = PrefixList::fromBytes(readFileBytes(file_, kPrefixFileLimits));
    } catch (const FileError& e) {
        if (e.code() != kFileNotFound) throw;
    }
}

PrefixFields PrefixEditor::select(size_t row) {
    PrefixFields fields = prefixFieldsOf(list_.line(row));
    selected_ = row;
    shown_ = fields;
    return fields;
}

PrefixFields PrefixEditor::beginEdit(size_t row) {
    PrefixFields fields = select(row);
    editMode_ = true;
    return fields;
}

std::optional<size_t> PrefixEditor::removeSelected() {
    if (!selected_ || *selected_ >= list_.size()) return std::nullopt;
    const size_t row = *selected_;
    list_.erase(row);
    selected_.reset();
    shown_.reset();
    deletePending_ = true;
    return row;
}

std::optional<size_t> PrefixEditor::rowHolding(const PrefixFields& fields) const {
    const PrefixFields wanted = trimmedFields(fields);
    const std::string entry = prefixEntryLine(wanted);
    for (size_t row = 0; row < list_.size(); ++row) {
        const std::string& line = list_.line(row);
        if (line == entry || prefixFieldsOf(line) == wanted) return row;
    }
    return std::nullopt;
}

PrefixSaveResult PrefixEditor::save(const PrefixFields& fields, PrefixFile* lookup) {
    using Status = PrefixSaveResult::Status;
    // Fields still showing a clicked line were not typed: saving them would
    // write that line a second time.
    const bool untyped = !editMode_ && shown_ && trimmedFields(fields) == trimmedFields(*shown_);
    // After a delete the fields stand empty: the save then writes the removal alone.
    const bool removalOnly = deletePending_ && (fields.blank() || untyped);
    if (!removalOnly) {
        if (auto refusal = checkPrefixFields(fields)) {
            return PrefixSaveResult{Status::Refused, refusal, std::nullopt, {}};
        }
        const std::optional<size_t> existing = rowHolding(fields);
        const bool replacesItself = editMode_ && selected_ && existing == selected_;
        if (existing && !replacesItself) {
            return PrefixSaveResult{Status::Duplicate, std::nullopt, std::nullopt,
                                    list_.line(*existing)};
        }
    }
    // The list changes only once the file holds the change.
    PrefixList updated = list_;
    if (!removalOnly) {
        std::string entry = prefixEntryLine(fields);
        if (editMode_ && selected_) {
            updated.replace(*selected_, std::move(entry));
        } else {
            updated.insert(std::move(entry));
        }
    }
    try {
        rewriteFile(file_, scratch_, updated.fileBytes());
    } catch (const FileError& e) {
        return PrefixSaveResult{Status::WriteFailed, std::nullopt, e, {}};
    }
    // The list now equals what the file holds, line for line.
    list_ = std::move(updated);
    selected_.reset();
    shown_.reset();
    editMode_ = false;
    deletePending_ = false;
    if (lookup != nullptr) lookup->refresh();
    return PrefixSaveResult{};
}

}  // namespace dxcc
