#pragma once

#include <QFont>
#include <QLabel>
#include <QListView>

namespace ui {

// The fixed-pitch font of the lists whose lines are columns of text.
QFont fixedListFont();

// Sets `list` up for lines of fixed-width columns: the fixed-pitch font, one
// line height for all (so a long list opens at once), no editing, one
// selected line, the rest colour.
void setUpFixedList(QListView* list);

// Where the text of a line starts inside `list`, in pixels from its left edge.
int listTextLeft(const QListView* list);

// Gives `heading` the list's font and starts its text `columnsLeft` characters
// left of where the list's text starts, so each word stands over its column.
// The heading must begin at the list's left edge; a heading that would start
// left of it gets no margin, and the caller indents the list by
// `headingOverhang`.
void alignHeadingOver(QLabel* heading, const QListView* list, int columnsLeft = 0);
int headingOverhang(const QListView* list, int columnsLeft);

}  // namespace ui
