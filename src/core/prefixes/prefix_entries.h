#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/file_error.h"
#include "core/base/program_constants.h"
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

// The prefix editor without its window: the list, the list's selection, edit
// mode and delete pending, and what a save would write.
class PrefixEditor {
public:
    explicit PrefixEditor(std::filesystem::path dataDir);

    // What opening the window does: reads the prefix file into the list (a
    // missing file gives an empty list; the first save creates it), and clears
    // the selection, edit mode and delete pending. Throws FileError when the file
    // exists but cannot be read; the list is then empty.
    void open();

    const PrefixList& list() const { return list_; }
    std::optional<size_t> selectedRow() const { return selected_; }
    bool editMode() const { return editMode_; }
    bool deletePending() const { return deletePending_; }
    const std::filesystem::path& file() const { return file_; }

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
    // is added, or replaces the selected line in edit mode (added when no line
    // is selected). Fields that still show the line last clicked were not
    // typed: they add nothing. With delete pending and the fields empty or
    // untyped, only the removal is saved. Fields that are neither that nor all
    // valid are refused, and so is an entry identical to a line of the list
    // other than the one it replaces. Nothing changes here: the session writes
    // the file from the plan's list (see LogSession::savePrefixEntry), then
    // hands it back through saved().
    struct SavePlan {
        std::optional<PrefixSaveResult> refusal;  // Refused or Duplicate
        PrefixList list;                          // what the file must hold
    };
    SavePlan planSave(const PrefixFields& fields) const;
    // The file now holds `list`: it becomes the editor's, and the selection,
    // edit mode and delete pending are cleared.
    void saved(PrefixList list);

private:
    // The row of a line holding the same entry as `fields`, blanks aside.
    std::optional<size_t> rowHolding(const PrefixFields& fields) const;

    std::filesystem::path file_;
    PrefixList list_;
    std::optional<size_t> selected_;
    // The fields of the line last shown by a click or double-click, until the
    // save or the delete that ends their showing.
    std::optional<PrefixFields> shown_;
    bool editMode_ = false;
    bool deletePending_ = false;
};

}  // namespace dxcc
