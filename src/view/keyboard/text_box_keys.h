// The keys that make or start editing text boxes: Enter edits the held
// text box in place, Space (outside an edit) makes a new text box at the
// view's next text position and edits it, Ctrl+Shift+Down at the end of a
// box that the edit made continues with a new box below it, and the bold
// button while editing flips the edited box's bold and goes on editing.
// Each change is one undo step.
#pragma once

#include <cstdint>
#include <functional>

#include "figures/base/geometry.h"

class CChildView;
class CommandTable;
class Text_Box;

// The view's next text position (m_NextTextPos) in page units.
struct NextTextPosition {
  Point32 at{30, 30};
  // The place of the next box on a canvas of `width` x `height`: below the
  // canvas it moves 60 right and back to y = 30; right of it, x goes back
  // to 30.  Then the position moves 30 down.
  Point32 Take(int32_t width, int32_t height);
};

// A new text box at the next text position, recorded as its creation and
// edited in place with its placeholder text selected (null: no page).
Text_Box* TextBoxKeys_newBox(CChildView& view, NextTextPosition& next);
// Starts editing the held text box; false when none is held.
bool TextBoxKeys_editHeld(CChildView& view);
// While a box made by the running edit is edited with the caret at the end
// of its text: an empty copy below it is made, recorded and edited.
// False (nothing done) otherwise.
bool TextBoxKeys_continueBelow(CChildView& view);
// How far the box continuing `box` lies below it.
int32_t TextBoxKeys_continueOffset(const Text_Box& box);

// Runs `change` with the running edit ended, then edits the same box again
// with the same text selection; the answer is `change`'s.
bool TextBoxKeys_aroundEdit(CChildView& view, const std::function<bool()>& change);

// Registers Enter (32836) and Space (32863) on the view.
void TextBoxKeys_register(CommandTable& table, CChildView& view);
