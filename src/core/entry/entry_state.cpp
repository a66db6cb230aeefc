#include "core/entry/entry_state.h"

namespace dxcc {

bool EntryState::click(size_t row, std::string_view record) {
    if (listLocked()) return false;
    selected_ = PickedLine{row, std::string(record)};
    return true;
}

EntryState::Opening EntryState::doubleClick() {
    if (listLocked()) return Opening::Ignored;
    if (!selected_) return Opening::NothingSelected;
    opened_ = selected_;
    caption_ = Caption::Modification;
    return Opening::Opened;
}

void EntryState::startInsertion() {
    insertion_ = true;
    caption_ = Caption::Insertion;
}

void EntryState::reset() {
    opened_.reset();
    insertion_ = false;
    caption_ = Caption::Entry;
}

void EntryState::forgetLines() {
    selected_.reset();
    opened_.reset();
}

CommitAction EntryState::commitAction(bool automaticDate) const {
    if (opened_) return {CommitAction::Kind::Modify, *opened_};
    if (automaticDate && !insertion_) return {CommitAction::Kind::Append, {}};
    return {CommitAction::Kind::Insert, {}};
}

bool EntryState::datesFromClock(bool automaticDate) const {
    return automaticDate && !insertion_ && !modification();
}

}  // namespace dxcc
