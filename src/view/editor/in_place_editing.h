// In-place text editing in the view: one text box of the shown page is
// edited by the view's Text_Editor, drawn over the page in place of the box
// with the blinking caret and the input method's composition underlined.
// Keys, input-method events and mouse presses in the editor's frame go to
// the editor; a press outside it, Escape, a page change or an undo end the
// edit, which writes the text back into the box and records it as one undo
// step (a text record) when it changed.
//
// The view widget forwards its events here and paints what Draw and
// PaintOverlay give; no editing rule lives in the widget.
#pragma once

#include <QTimer>
#include <QVariant>

#include <cstdint>
#include <optional>
#include <string>

#include "figures/base/geometry.h"
#include "figures/editor/text_editor.h"

class CChildView;
class QInputMethodEvent;
class QKeyEvent;
class QPainter;
class Text_Box;

class InPlaceEditing {
 public:
  explicit InPlaceEditing(CChildView& view);
  ~InPlaceEditing();
  InPlaceEditing(const InPlaceEditing&) = delete;
  InPlaceEditing& operator=(const InPlaceEditing&) = delete;

  // m_Editing: a text box is being edited.
  bool active() const { return box_ != nullptr; }
  // The live box being edited (null: none) and the editor.
  Text_Box* box() const { return box_; }
  Text_Editor& editor() { return editor_; }
  const Text_Editor& editor() const { return editor_; }
  // The edited box was made by the gesture that started the edit
  // (m_NewTextBox): left untouched, it is taken away again when the edit
  // ends.
  bool newTextBox() const { return newTextBox_; }

  // Starts editing `box` (a text box of the shown page), ending a running
  // edit of another box first.  The caret goes to `caretAt` (page units),
  // or the whole text is selected when there is none.  `newBox`: the box
  // was created by this gesture.
  void Begin(Text_Box& box, std::optional<Point32> caretAt, bool newBox = false);
  // Starts editing with the caret at byte offset `caret` (undo of a text
  // edit).
  void BeginAt(Text_Box& box, int32_t caret);
  // Ends the edit: the text goes back into the box and, when it changed,
  // one text record is made.  An untouched new box is removed again (its
  // creation undone).  Answers whether the text changed.
  bool End();
  // The editor's text differs from the box's (a composition not counted).
  bool Changed() const;

  // --- events (the view's hooks) ---
  // A key while editing; false when the key is not the editor's.
  bool KeyPress(QKeyEvent& event);
  // Whether a key that a window shortcut would take goes to the editor
  // instead (copy, cut, paste, select all and plain typing).
  bool WantsShortcut(const QKeyEvent& event) const;
  void InputMethod(QInputMethodEvent& event);
  QVariant Query(Qt::InputMethodQuery query) const;
  // A left press at a page point: inside the editor's frame the caret goes
  // there (Shift extends) and the press is taken (true); outside, the edit
  // ends and the press goes on to the selection (false).
  bool LeftPress(Point32 p, bool shift);
  // A right press: outside the editor the edit ends.  Answers whether the
  // press lay in the editor.
  bool RightPress(Point32 p);
  // Moves with the left button down after a press the editor took: the
  // selection follows the mouse.  False when the editor took no press.
  bool LeftMove(Point32 p);
  bool LeftRelease();
  // A double click at a page point: in the editor the word under it is
  // selected; on a text box editing starts there; on empty canvas (or a
  // figure that is neither a text box nor a cornered line) a new text box
  // is made there and edited with its placeholder selected (Shift: a
  // diamond frame, Ctrl: a rectangle, both: an ellipse).  Answers whether
  // it was taken.
  bool DoubleClick(Point32 p, bool shift = false, bool ctrl = false);
  // Makes the new text box of a double click at `p` (recorded as its
  // creation) and starts editing it.
  Text_Box* CreateBoxAt(Point32 p, bool shift, bool ctrl);
  // Whether a page point lies in the editor's frame.
  bool Contains(Point32 p) const;

  // The editor was changed from outside (a menu command): redraw, caret.
  void Refresh(bool textChanged) { changed(textChanged); }

  // --- painting ---
  // Draws the editor into the page (RenderPage, after the figures).
  void Draw(Surface& surface, const DrawContext& ctx);
  // Paints the caret (while it blinks on) and the composition underline
  // over the viewport.
  void PaintOverlay(QPainter& painter) const;
  // The caret in viewport pixels (zoom and scroll applied).
  QRect CaretRect() const;
  // The focus came or went: the caret blinks only with the focus.
  void FocusChanged(bool in);

 private:
  DrawContext context() const;
  // The text changed or the caret moved: the page is drawn again, the
  // caret kept in view and shown at once, the input method told.
  void changed(bool textChanged);
  void restartBlink();
  void keepCaretVisible();
  void removeUntouchedNewBox();

  CChildView& view_;
  Text_Editor editor_;
  Text_Box* box_ = nullptr;
  int32_t boxNumber_ = 0;
  std::string textBefore_;
  bool newTextBox_ = false;
  bool pressInEditor_ = false;
  bool caretOn_ = false;
  bool focused_ = true;
  QTimer blink_;
};

// The words that an untouched new text box still shows.
bool InPlaceEditing_isInitialText(const std::string& text);
