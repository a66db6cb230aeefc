#pragma once

#include <QFont>
#include <QLabel>
#include <QListView>

namespace ui {

// Lists whose lines are laid out in fixed columns under a heading label.

// The fixed-pitch font of those lists and of their headings.
QFont columnListFont();

// Indents `heading` so its text starts where the text of `list`'s lines
// starts; with the same font, every heading word stands over its column.
void alignHeadingWith(QLabel* heading, const QListView* list);

// Width of `columns` characters of the list's font plus its frame, margins
// and vertical scroll bar: the list shows whole lines of that length.
int listWidthFor(const QListView* list, int columns);

}  // namespace ui
