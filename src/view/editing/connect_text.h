// "Connect with text" of a line's context menu: the end of a line that the
// right press grabbed is hung on a text box (the box then covers it: the
// line moves directly below the box in the painting order) or taken off
// the box it hangs on (the line then stands directly above the box).  One
// undo step records both figures with their places in the list.
#pragma once

#include <cstdint>

class CadPrim;
class FigureList;
class NoteDocument;
class Text_Box;
class UndoHistory;

// The box of end `end` (1 or 2) of `line`: the one it hangs on, else the
// first text box in painting order whose frame widened by 4 units holds
// the end point.  Null: no such box (the command is disabled).
Text_Box* ConnectText_target(const FigureList& list, CadPrim& line, int32_t end);
// Whether the end hangs on a box (the menu item's check mark).
bool ConnectText_attached(CadPrim& line, int32_t end);
// Attaches or detaches the end; false when there is no target.
bool ConnectText_toggle(FigureList& list, CadPrim& line, int32_t end, UndoHistory& undo,
                        const NoteDocument& doc, int32_t pageNumber);
