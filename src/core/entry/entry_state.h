#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dxcc {

// A contact of the log as the operator picked it: its 0-based row and the
// record that row held then, so a later change of the file is noticed.
struct PickedLine {
    size_t row = 0;
    std::string record;
};

// What a commit does with the record built from the fields.
struct CommitAction {
    enum class Kind { Append, Insert, Modify };
    Kind kind = Kind::Append;
    PickedLine opened;  // the contact replaced, for Modify
};

// The entry form's modes: normal entry, insertion by date, modification of
// an opened contact; the list lock; the line last shown. The form only shows
// this state and forwards the operator's actions.
class EntryState {
public:
    enum class Caption { Entry, Insertion, Modification };
    enum class Opening { Opened, NothingSelected, Ignored };

    // A click (or the operator's keyboard selection) on a line: answers whether
    // the fields show it; ignored while a modification locks the list.
    bool click(size_t row, std::string_view record);
    // A double-click: opens the selected line for modification.
    Opening doubleClick();
    // "Inserer un QSO": the next commit inserts by date (a modification still
    // modifies, though the caption says insertion).
    void startInsertion();
    // Back to normal entry after a commit or a reset. The selected line stays.
    void reset();
    // The log changed under the form: the rows it names may hold other contacts.
    void forgetLines();

    CommitAction commitAction(bool automaticDate) const;
    // Whether Enter in the first-name field takes the date and time from the clock.
    bool datesFromClock(bool automaticDate) const;

    bool modification() const { return opened_.has_value(); }
    bool insertion() const { return insertion_; }
    bool listLocked() const { return opened_.has_value(); }
    Caption caption() const { return caption_; }
    const std::optional<PickedLine>& selected() const { return selected_; }
    const std::optional<PickedLine>& opened() const { return opened_; }

private:
    std::optional<PickedLine> selected_;
    std::optional<PickedLine> opened_;
    bool insertion_ = false;
    Caption caption_ = Caption::Entry;
};

}  // namespace dxcc
