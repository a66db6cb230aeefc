#include "core/entry/entry_state.h"

#include <gtest/gtest.h>

namespace dxcc {
namespace {

using Kind = CommitAction::Kind;
using Caption = EntryState::Caption;

TEST(EntryState, CommitChoiceFollowsTheModes) {
    struct Case {
        const char* name;
        bool insertion;
        bool open;
        bool automaticDate;
        Kind expected;
        Caption caption;
        bool datesFromClock;
    };
    const Case cases[] = {
        {"entry, automatic date", false, false, true, Kind::Append, Caption::Entry, true},
        {"entry, manual date", false, false, false, Kind::Insert, Caption::Entry, false},
        {"insertion, automatic date", true, false, true, Kind::Insert, Caption::Insertion, false},
        {"modification", false, true, true, Kind::Modify, Caption::Modification, false},
        // The caption says insertion, the commit still modifies.
        {"insertion during a modification", true, true, true, Kind::Modify, Caption::Insertion,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EntryState s;
        if (c.open) {
            ASSERT_TRUE(s.click(3, "REC"));
            ASSERT_EQ(s.doubleClick(), EntryState::Opening::Opened);
        }
        if (c.insertion) s.startInsertion();
        const CommitAction a = s.commitAction(c.automaticDate);
        EXPECT_EQ(a.kind, c.expected);
        EXPECT_EQ(s.caption(), c.caption);
        EXPECT_EQ(s.datesFromClock(c.automaticDate), c.datesFromClock);
        if (c.expected == Kind::Modify) {
            EXPECT_EQ(a.opened.row, 3u);
            EXPECT_EQ(a.opened.record, "REC");
        }
    }
}

TEST(EntryState, ListLockSelectionAndForgetting) {
    EntryState s;
    EXPECT_EQ(s.doubleClick(), EntryState::Opening::NothingSelected);
    EXPECT_TRUE(s.click(1, "ONE"));
    EXPECT_EQ(s.doubleClick(), EntryState::Opening::Opened);
    // Locked: clicks and double-clicks are ignored until the reset.
    EXPECT_FALSE(s.click(2, "TWO"));
    EXPECT_EQ(s.doubleClick(), EntryState::Opening::Ignored);
    EXPECT_EQ(s.selected()->row, 1u);
    s.reset();
    EXPECT_FALSE(s.listLocked());
    EXPECT_EQ(s.caption(), Caption::Entry);
    EXPECT_EQ(s.selected()->record, "ONE");  // the selected line outlives the reset

    // A change of the log forgets every row: nothing can be reopened or re-appended.
    s.forgetLines();
    EXPECT_FALSE(s.selected());
    EXPECT_EQ(s.doubleClick(), EntryState::Opening::NothingSelected);
    EXPECT_EQ(s.commitAction(true).kind, Kind::Append);
}

}  // namespace
}  // namespace dxcc
