#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/program_constants.h"
#include "core/prefixes/exact_calls.h"
#include "core/prefixes/prefix_table.h"

namespace dxcc {

// The prefix editor's save goes through the same scratch file as the log's rewrites; the two
// never run at the same time.
inline constexpr const char* kPrefixScratchName = kRewriteScratchName;

// The editor's list order over whole lines: the collation of every sorted
// list of the program (case-insensitive, a blank before digits, digits before
// letters, each accented letter right after its base letter); lines equal in
// that order are ordered by their bytes, so the order is total.
// Negative, zero or positive as `a` sorts before, with or after `b`.
int comparePrefixLines(std::string_view a, std::string_view b);
inline bool prefixLineLess(std::string_view a, std::string_view b) {
    return comparePrefixLines(a, b) < 0;
}

// The editor's three fields.
enum class PrefixField { CallsignPrefix, EntityName, DxccPrefix };

// Longest text each field accepts on Enter: the columns of the prefix entry.
inline constexpr size_t kEditorCallsignPrefixMax = kCallsignPrefixWidth;
inline constexpr size_t kEditorEntityNameMax = kPrefixEntityNameWidth;
inline constexpr size_t kEditorDxccPrefixMax = kPrefixDxccWidth;

// The texts of the three fields (Windows-1252 bytes).
struct PrefixFields {
    std::string callsignPrefix;
    std::string entityName;
    std::string dxccPrefix;

    bool blank() const;
    bool operator==(const PrefixFields&) const = default;
};

// The heading over the editor's list (UTF-8): each word over its field. It is
// meant to start one column left of the list's text, so that "Prefixe", one
// character wider than its field, does not run into the entity name's column.
std::string prefixListHeading();

// What a click on a list line shows: columns 1-6, 8-40 and 42-47, each with
// the blanks at both ends trimmed.
PrefixFields prefixFieldsOf(std::string_view line);

// The message refusing `text` on Enter in `field`; nothing when it is accepted.
// A text of blanks only counts as empty: it would make an entry that no
// callsign can match.
std::optional<std::string_view> checkPrefixField(PrefixField field, std::string_view text);

struct PrefixFieldRefusal {
    PrefixField field;
    std::string_view message;
};

// The three fields checked in their order of entry; the first refusal.
std::optional<PrefixFieldRefusal> checkPrefixFields(const PrefixFields& fields);

// The 49-character prefix entry for fields that passed the checks.
std::string prefixEntryLine(const PrefixFields& fields);

// The exact-call lines the editor adds: the callsign as the log holds it
// (letters, digits and '/', up to 12 characters) in `callsignPrefix`, the
// entity name and DXCC prefix as for a prefix entry.
inline constexpr size_t kEditorExactCallMax = kExactCallsignWidth;
// The fields of an exact-call line: columns 1-12, 14-46 and 48-53, trimmed.
PrefixFields exactCallFieldsOf(std::string_view line);
// The check of Enter in `field` for an exact call: the callsign's own rules,
// the other fields as for a prefix entry.
std::optional<std::string_view> checkExactCallField(PrefixField field, std::string_view text);
// The heading over the list of exact calls (UTF-8), as prefixListHeading.
std::string exactCallListHeading();

// The editor's list: every line of the prefix file exactly as read, always in
// list order.
class PrefixList {
public:
    PrefixList() = default;
    // The lines of file bytes (CR LF or LF), put in list order.
    static PrefixList fromBytes(std::string_view bytes);

    size_t size() const { return lines_.size(); }
    bool empty() const { return lines_.empty(); }
    const std::string& line(size_t row) const { return lines_.at(row); }
    const std::vector<std::string>& lines() const { return lines_; }

    // Puts `line` at its sorted place; returns its row.
    size_t insert(std::string line);
    // Removes the line at `row`.
    void erase(size_t row);
    // Removes the line at `row` and puts `line` at its sorted place; returns its row.
    size_t replace(size_t row, std::string line);

    // The file's content: every line in list order, CR LF after each.
    std::string fileBytes() const;

private:
    std::vector<std::string> lines_;
};

struct PrefixSaveResult {
    enum class Status {
        Saved,        // the file holds the list; the list, flags and selection are reset
        Refused,      // a field does not pass its check: nothing changed
        Duplicate,    // the entry is already a line of the list: nothing changed
        WriteFailed,  // the file is unchanged, and so are the list, flags and selection
    };
    Status status = Status::Saved;
    std::optional<PrefixFieldRefusal> refusal;  // when Refused
    std::optional<FileError> error;             // when WriteFailed
    std::string duplicate;                      // the existing line, when Duplicate
};

// The prefix editor without its window: the lists of the prefix file and of
// the exact-call file, which of the two is shown and edited, the list's
// selection, edit mode and delete pending, and what a save would write.
class PrefixEditor {
public:
    explicit PrefixEditor(std::filesystem::path dataDir);

    // What opening the window does: reads the prefix file and the exact-call
    // file into their lists (a missing file gives an empty list; the first
    // save creates it), and clears the selection, edit mode and delete
    // pending. Throws FileError when a file exists but cannot be read; the
    // lists are then empty.
    void open();

    // Whether the list shown and edited is that of the exact calls. Switching
    // clears the selection and edit mode; a line deleted from either list and
    // not yet saved stays deleted, and the next save writes it.
    bool exactCalls() const { return exact_; }
    void showExactCalls(bool exact);
    // Enter in `field`: the check of the list shown (see checkPrefixField and
    // checkExactCallField).
    std::optional<std::string_view> checkField(PrefixField field, std::string_view text) const;

    // The list shown.
    const PrefixList& list() const { return exact_ ? exactList_ : list_; }
    const PrefixList& prefixList() const { return list_; }
    const PrefixList& exactCallList() const { return exactList_; }
    std::optional<size_t> selectedRow() const { return selected_; }
    bool editMode() const { return editMode_; }
    bool deletePending() const { return deletePending_; }
    const std::filesystem::path& file() const { return file_; }
    const std::filesystem::path& exactCallFile() const { return exactFile_; }

    // A click: the line becomes the selection; returns the fields to show.
    PrefixFields select(size_t row);
    // A double-click: the line becomes the selection and edit mode is set;
    // returns the fields to show.
    PrefixFields beginEdit(size_t row);
    // The delete button: removes the selected line from the list (not from the
    // file) and sets delete pending. Returns the row removed; nothing, and no
    // change, when no line is selected.
    std::optional<size_t> removeSelected();

    // What the save button would do with `fields`: the entry built from them
    // (a prefix entry, or an exact-call line while the exact calls are shown)
    // is added, or replaces the selected line in edit mode (added when no line
    // is selected). An exact call whose callsign a line already holds is a
    // duplicate, whatever its entity: the lookup would never reach it. Fields that still show the
    // line last clicked were not typed: they add nothing. With delete pending and the fields empty
    // or untyped, only the removal is saved. Fields that are neither that nor all valid are
    // refused, and so is an entry identical to a line of the list other than the one it replaces.
    // Nothing changes here: the session writes the file from the plan's list (see
    // LogSession::savePrefixEntry), then hands it back through saved().
    struct SavePlan {
        std::optional<PrefixSaveResult> refusal;  // Refused or Duplicate
        PrefixList list;                          // what the prefix file must hold
        PrefixList exactList;                     // what the exact-call file must hold
        bool prefixesChanged = false;             // the prefix file must be written
        bool exactCallsChanged = false;           // the exact-call file must be written
    };
    SavePlan planSave(const PrefixFields& fields) const;
    // The files now hold the plan's lists: they become the editor's, and the
    // selection, edit mode and delete pending are cleared.
    void saved(SavePlan plan);

private:
    // The row of a line of the list shown holding the same entry as
    // `fields`, blanks aside; for an exact call, the same callsign.
    std::optional<size_t> rowHolding(const PrefixFields& fields) const;
    PrefixFields fieldsOf(std::string_view line) const;
    // The fields checked in their order of entry; the first refusal.
    std::optional<PrefixFieldRefusal> checkFields(const PrefixFields& fields) const;
    std::string lineOf(const PrefixFields& fields) const;

    std::filesystem::path file_;
    std::filesystem::path exactFile_;
    PrefixList list_;
    PrefixList exactList_;
    bool exact_ = false;
    // A line of that list was deleted and the deletion is not saved yet.
    bool prefixesDeleted_ = false;
    bool exactCallsDeleted_ = false;
    std::optional<size_t> selected_;
    // The fields of the line last shown by a click or double-click, until the
    // save or the delete that ends their showing.
    std::optional<PrefixFields> shown_;
    bool editMode_ = false;
    bool deletePending_ = false;
};

}  // namespace dxcc
