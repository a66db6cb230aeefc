#include "core/prefixes/prefix_entries.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "core/base/collation.h"
#include "core/base/text_file.h"
#include "core/prefixes/prefix_editor_messages.h"
#include "core/record/qso_record.h"

namespace dxcc {

namespace {

namespace msg = prefix_editor_messages;

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

// The award lists' order: one collation for every sorted list.
int comparePrefixLines(std::string_view a, std::string_view b) {
    return collate(a, b);
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

PrefixFields exactCallFieldsOf(std::string_view line) {
    PrefixEntry entry = parseExactCallLine(line);
    return PrefixFields{std::move(entry.callsignPrefix), std::string(trimBlanks(entry.entityName)),
                        std::move(entry.dxccPrefix)};
}

std::optional<std::string_view> checkExactCallField(PrefixField field, std::string_view text) {
    if (field != PrefixField::CallsignPrefix) return checkPrefixField(field, text);
    if (trimBlanks(text).empty()) return msg::kExactCallEmpty;
    if (text.size() > kEditorExactCallMax) return msg::kExactCallTooLong;
    // The whole callsign as the log holds it: no blank, no lower case, nothing
    // that no callsign has.
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
    });
    if (!plain) return msg::kExactCallCharacters;
    return std::nullopt;
}

std::string exactCallListHeading() {
    static constexpr ColumnHeading kHeadings[] = {
        {1, "Indicatif"},
        {kExactEntityNameColumn + 1, "Contée DXCC"},
        {kExactDxccColumn + 1, "Prefixe DXCC"},
    };
    return headingLine(kHeadings);
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
    : file_(dataDir / kPrefixFileName), exactFile_(dataDir / kExactCallFileName) {}

namespace {

// The lines of `file`; none when it does not exist.
PrefixList listOf(const std::filesystem::path& file) {
    try {
        return PrefixList::fromBytes(readFileBytes(file, kPrefixFileLimits));
    } catch (const FileError& e) {
        if (e.code() != kFileNotFound) throw;
    }
    return {};
}

}  // namespace

void PrefixEditor::open() {
    list_ = PrefixList();
    exactList_ = PrefixList();
    selected_.reset();
    shown_.reset();
    editMode_ = false;
    deletePending_ = false;
    prefixesDeleted_ = false;
    exactCallsDeleted_ = false;
    PrefixList prefixes = listOf(file_);
    exactList_ = listOf(exactFile_);
    list_ = std::move(prefixes);
}

void PrefixEditor::showExactCalls(bool exact) {
    if (exact == exact_) return;
    exact_ = exact;
    selected_.reset();
    shown_.reset();
    editMode_ = false;
}

std::optional<std::string_view> PrefixEditor::checkField(PrefixField field,
                                                         std::string_view text) const {
    return exact_ ? checkExactCallField(field, text) : checkPrefixField(field, text);
}

PrefixFields PrefixEditor::fieldsOf(std::string_view line) const {
    return exact_ ? exactCallFieldsOf(line) : prefixFieldsOf(line);
}

std::string PrefixEditor::lineOf(const PrefixFields& fields) const {
    return exact_ ? buildExactCallLine(fields.callsignPrefix, fields.entityName, fields.dxccPrefix)
                  : prefixEntryLine(fields);
}

PrefixFields PrefixEditor::select(size_t row) {
    PrefixFields fields = fieldsOf(list().line(row));
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
    if (!selected_ || *selected_ >= list().size()) return std::nullopt;
    const size_t row = *selected_;
    (exact_ ? exactList_ : list_).erase(row);
    (exact_ ? exactCallsDeleted_ : prefixesDeleted_) = true;
    selected_.reset();
    shown_.reset();
    deletePending_ = true;
    return row;
}

std::optional<size_t> PrefixEditor::rowHolding(const PrefixFields& fields) const {
    const PrefixFields wanted = trimmedFields(fields);
    const std::string entry = lineOf(wanted);
    for (size_t row = 0; row < list().size(); ++row) {
        const std::string& line = list().line(row);
        const PrefixFields held = fieldsOf(line);
        if (line == entry || held == wanted) return row;
        if (exact_ && held.callsignPrefix == wanted.callsignPrefix) return row;
    }
    return std::nullopt;
}

std::optional<PrefixFieldRefusal> PrefixEditor::checkFields(const PrefixFields& fields) const {
    for (PrefixField field : kFieldOrder) {
        if (auto message = checkField(field, textOf(fields, field)))
            return PrefixFieldRefusal{field, *message};
    }
    return std::nullopt;
}

PrefixEditor::SavePlan PrefixEditor::planSave(const PrefixFields& fields) const {
    using Status = PrefixSaveResult::Status;
    // Fields still showing a clicked line were not typed: saving them would
    // write that line a second time.
    const bool untyped = !editMode_ && shown_ && trimmedFields(fields) == trimmedFields(*shown_);
    // After a delete the fields stand empty: the save then writes the removal alone.
    const bool removalOnly = deletePending_ && (fields.blank() || untyped);
    SavePlan plan;
    if (!removalOnly) {
        if (auto refusal = checkFields(fields)) {
            plan.refusal = PrefixSaveResult{Status::Refused, refusal, std::nullopt, {}};
            return plan;
        }
        const std::optional<size_t> existing = rowHolding(fields);
        const bool replacesItself = editMode_ && selected_ && existing == selected_;
        if (existing && !replacesItself) {
            plan.refusal = PrefixSaveResult{Status::Duplicate, std::nullopt, std::nullopt,
                                            list().line(*existing)};
            return plan;
        }
    }
    // The lists change only once the files hold the change.
    plan.list = list_;
    plan.exactList = exactList_;
    plan.prefixesChanged = prefixesDeleted_;
    plan.exactCallsChanged = exactCallsDeleted_;
    if (!removalOnly) {
        PrefixList& target = exact_ ? plan.exactList : plan.list;
        (exact_ ? plan.exactCallsChanged : plan.prefixesChanged) = true;
        std::string entry = lineOf(fields);
        if (editMode_ && selected_) {
            target.replace(*selected_, std::move(entry));
        } else {
            target.insert(std::move(entry));
        }
    }
    return plan;
}

void PrefixEditor::saved(SavePlan plan) {
    // The lists now equal what the files hold, line for line.
    list_ = std::move(plan.list);
    exactList_ = std::move(plan.exactList);
    prefixesDeleted_ = false;
    exactCallsDeleted_ = false;
    selected_.reset();
    shown_.reset();
    editMode_ = false;
    deletePending_ = false;
}

}  // namespace dxcc
