#pragma once

#include <QFont>
#include <QLabel>
#include <QListView>

#include "platform/uniform_list_view.h"

namespace ui {

// Lists whose lines are laid out in fixed columns under a heading label.

// The fixed-pitch font of those lists and of their headings.
QFont columnListFont();

// Sets `list` up for lines of fixed-width columns: the fixed-pitch font, no
// editing, one selected line, the rest colour. The list is a uniform one: a
// column list may hold the whole log, and Qt's own keeps a table of its rows.
void setUpColumnList(UniformListView* list);

// Where the text of a line starts inside `list`, in pixels from its left edge.
int listTextLeft(const QListView* list);

// Gives `heading` the list's font and starts its text `columnsLeft` characters
// left of where the list's text starts, so each word stands over its column.
// The heading must begin at the list's left edge; a heading that would start
// left of it gets no margin, and the caller indents the list by
// `headingOverhang`.
void alignHeadingWith(QLabel* heading, const QListView* list, int columnsLeft = 0);
int headingOverhang(const QListView* list, int columnsLeft);

// Width of `columns` characters of the list's font plus its frame, margins
// and vertical scroll bar: the list shows whole lines of that length.
int listWidthFor(const QListView* list, int columns);

}  // namespace ui
