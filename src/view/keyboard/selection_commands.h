// The keyboard and menu commands that edit the selection of the shown page:
// nudging with the cursor keys, the scroll keys, deleting, the painting
// order, alignment, same size, equal spacing and the tab order of text
// boxes.  The operations are plain C++ on the selection, the note and its
// undo history, so that a test drives them without a widget;
// SelectionCommands_register binds them to their command numbers, texts and
// keys in the window's CommandTable.
//
// Every operation that changes figures first records a pending change
// (keyboard nudges are recorded late, SelectionCommands_flushPendingChange)
// and then records its own change as one undo step.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class CChildView;
class CommandTable;
class NoteDocument;
class UndoHistory;
class ViewSelection;

// What the commands work on; `selection`, `document` or `undo` null: no
// page is shown, every command does nothing.
struct SelectionCommandTarget {
  ViewSelection* selection = nullptr;
  NoteDocument* document = nullptr;
  UndoHistory* undo = nullptr;
  int32_t pageNumber = 1;
  // The note's path ("" for a new note): its "files" folder is the path
  // with the extension replaced by "files".
  std::string notePath;
  bool ok() const { return selection && document && undo; }
};

// The painting-order moves.
enum SelectionOrder : int32_t {
  SelectionOrder_stepUp = 0,    // one step to the front
  SelectionOrder_stepDown = 1,  // one step to the back
  SelectionOrder_top = 2,
  SelectionOrder_bottom = 3,
};

// Records the run of keyboard nudges since the before copies were taken:
// one change per member of the move set (or of the held figure), one undo
// step; then the before copies are discarded.  Nothing when none are held.
void SelectionCommands_flushPendingChange(const SelectionCommandTarget& t);
// Moves the held figure (or the move set) by (dx, dy) page units without
// recording at once; false when no figure is held.
bool SelectionCommands_nudge(const SelectionCommandTarget& t, int32_t dx, int32_t dy);
// Deletes the selection (or the held figure) as one undo step; false when
// no figure is held.  An empty "files" folder of the note is removed.
bool SelectionCommands_delete(const SelectionCommandTarget& t);
// Moves the held figure in the painting order; false when nothing moved.
bool SelectionCommands_order(const SelectionCommandTarget& t, SelectionOrder how);
// Aligns the selection on edge 0-5 (GetEdge codes).
bool SelectionCommands_align(const SelectionCommandTarget& t, int32_t edge);
// Gives the selection the held figure's width (or height).
bool SelectionCommands_sameSize(const SelectionCommandTarget& t, bool vertical);
// Spaces the selection evenly along x (or y); needs three members.
bool SelectionCommands_equalSpacing(const SelectionCommandTarget& t, bool vertical);
bool SelectionCommands_canEqualSpacing(const SelectionCommandTarget& t);
// The next (+1) or previous (-1) text box in tab order from the held one:
// it becomes the only selected figure.  canTab: whether one exists.
bool SelectionCommands_tab(const SelectionCommandTarget& t, int direction);
bool SelectionCommands_canTab(const SelectionCommandTarget& t, int direction);

// Flips the bold flag of every selected text box (others are left alone)
// as one undo step; canBold: a text box is held.
bool SelectionCommands_bold(const SelectionCommandTarget& t);
bool SelectionCommands_canBold(const SelectionCommandTarget& t);
// The held picture: halved to the next power-of-two share of its pixel
// size, or back to its pixel size; one undo step each.
bool SelectionCommands_shrinkImage(const SelectionCommandTarget& t);
bool SelectionCommands_canShrinkImage(const SelectionCommandTarget& t);
bool SelectionCommands_imageToPixelSize(const SelectionCommandTarget& t);
bool SelectionCommands_canImageToPixelSize(const SelectionCommandTarget& t);
// Zoom up: the view zoom that shows the held picture at its pixel size
// (none: no picture, locked at its size, or shown so already) ...
std::optional<int32_t> SelectionCommands_imageZoomUpRate(const SelectionCommandTarget& t,
                                                         int32_t zoom);
// ... and the picture locked at that size, recorded as its change.
bool SelectionCommands_lockImageAtPixelSize(const SelectionCommandTarget& t);

// What the registered commands ask of their window besides the target.
struct SelectionCommandHooks {
  // The target of the moment (the shown page).
  std::function<SelectionCommandTarget()> target;
  // A text box is being edited in place: the keys go to the editor (as
  // virtual-key codes) instead.  Null: no editor, never editing.
  std::function<bool()> editingInPlace;
  std::function<void(int virtualKey)> keyToEditor;
  // Ctrl+Shift+Down while editing: true when it continued with a new box.
  std::function<bool()> continueBelow;
  // Runs `change` with the edit in place ended and then restarted with
  // the same text selection (the bold button while editing).
  std::function<bool(const std::function<bool()>& change)> aroundEdit;
  // Back (-1) / forward (+1) in the link history; null leaves Backspace and
  // Shift+Backspace disabled.
  std::function<void(int direction)> linkHistory;
  // The figures changed (the property bar and the modified mark).
  std::function<void()> changed;
};

// Binds the commands to their numbers, menu texts and keys.
void SelectionCommands_register(CommandTable& table, CChildView& view,
                                SelectionCommandHooks hooks);
