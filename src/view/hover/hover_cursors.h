// The real cursors of the hover rules: Qt's standard shapes where one
// fits, else a cursor drawn here (the program's move cursors, the rotate
// cursor, the two image cursors), made once per process.
#pragma once

#include <QCursor>

#include "view/selection/hover_cursor.h"

// The cursor for `cursor` (Keep gives the arrow: the caller keeps its own).
QCursor HoverCursors_cursor(HoverCursor cursor);
