// `Text_Editor`: the editing copy of a `Text_Box` that the view uses while
// the user types into a box.  It holds a byte selection (selectionStart is
// the anchor, selectionEnd the caret), typing runs with one level of undo,
// the input-method composition shown in place, and the caret position from
// the laid-out lines.  Everything is driven by plain calls (keys as
// `EditorKey` codes, text as CP932 bytes), so the editing rules need no
// window; the view only forwards its events.
//
// Text positions are byte offsets.  The caret never stands inside a
// double-byte character or between the two bytes of "\r\n"; the character
// before a position is always found by scanning from the line start, since
// trail bytes (0x40-0xFC) overlap ASCII.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "figures/text/text_box.h"

// Key codes: characters are their byte (below 256), keys are 256 + the
// virtual-key number the notes were written with.
enum class EditorKey : int32_t {
  Enter = 10,
  Backspace = 256 + 8,
  End = 256 + 35,
  Home = 256 + 36,
  Left = 256 + 37,
  Up = 256 + 38,
  Right = 256 + 39,
  Down = 256 + 40,
  Delete = 256 + 46,
};

// What the editor needs of a clipboard; the view fills it with the
// desktop's clipboard (converting to and from CP932 there).
class EditorClipboard {
 public:
  virtual ~EditorClipboard() = default;
  // Puts CP932 text on the clipboard; false when it cannot be opened.
  virtual bool SetText(std::string_view cp932) = 0;
  // The clipboard's text as CP932; nullopt when there is none.
  virtual std::optional<std::string> Text() = 0;
};

class Text_Editor : public Text_Box {
 public:
  Text_Editor() = default;

  // Starts editing `box`: copies it with the base point moved by (1, 1),
  // unrotated, horizontal, margins at least 16 and 4 (the box's own kept),
  // the selection at 0..0.  A placeholder "ABC" becomes "あいう", all
  // selected, when `imeOpen`; another placeholder text loses the flag.
  // `ctx` is kept for re-laying out after each edit.
  void BeginEdit(const Text_Box& box, bool imeOpen, const DrawContext& ctx = DrawContext{});
  // Writes back: the text when `writeText` ("あいう" still a placeholder
  // returns to "ABC"), the placeholder flag, the selection when
  // `keepSelection` (else cleared); the box is laid out again when it has
  // metrics, otherwise its bounds are invalidated.
  void EndEdit(Text_Box& box, bool keepSelection, bool writeText) const;
  // Writes the text and metrics into the box and gives it the editor's
  // frame corrected by the margin difference and the (1, 1) shift.
  void ApplyGeometry(Text_Box& box) const;
  void SetContext(const DrawContext& ctx);

  // --- input ---
  // One key or character; true when the text or the selection changed.
  // Characters below 0x20 other than Tab and Enter (10 or 13) are ignored,
  // and so is a lone lead byte (double-byte text comes with InsertText).
  bool HandleKey(int32_t code);
  bool HandleKey(EditorKey key) { return HandleKey(static_cast<int32_t>(key)); }
  // Replaces the selection with CP932 text (line ends made "\r\n"); the
  // caret goes after it.  Part of the current typing run when at its end.
  void InsertText(std::string_view cp932);
  void SelectAll();
  void Select(int32_t anchor, int32_t caret);
  std::string GetSelectionText() const;

  // --- mouse (page coordinates) ---
  // Caret (and, unless extendSelection, the anchor) to the nearest
  // character boundary.  Mouse input and Select end a composition (as a
  // cancel).  A press on a selected character (without extendSelection)
  // starts a drag of the selection instead: the selection stays and
  // dragAnchor takes the offset nearest to the point.
  void SetCaretFromPoint(int32_t x, int32_t y);
  // Caret to the point, anchor kept; nothing while a drag holds the
  // selection.
  void ExtendFromPoint(int32_t x, int32_t y);
  // The mouse button went up: a drag ends (dragAnchor -1); the text and
  // the selection stay as they are.
  void EndDrag() { dragAnchor = -1; }
  // Selects the word (ASCII word run or one double-byte character) under
  // the point; the caret at its end.
  void SelectWordAt(int32_t x, int32_t y);

  // --- clipboard ---
  bool CopySelection(EditorClipboard& clip) const;
  bool CutSelection(EditorClipboard& clip);
  // Replaces the selection with the clipboard text (see the .cpp for the
  // line-break rules); the pasted text becomes the current run.
  bool Paste(EditorClipboard& clip);
  // After a copy: draws the editor with the selection shown, waits 100 ms
  // through `wait` (given the milliseconds; by default the calling thread
  // sleeps) and draws it again as usual.
  void BlinkSelection(Surface& surface, const DrawContext& ctx,
                      const std::function<void(int)>& wait = {});

  // --- typing runs ---
  void CommitRun();
  // Swaps the last committed run's text back (a second call redoes it).
  bool UndoRun();

  // --- input-method composition ---
  // Shows `cp932` in place of the selection (the replaced text is kept);
  // `cursor` is a byte offset in the composition for the caret.
  void SetComposition(std::string_view cp932, int32_t cursor);
  // Removes the composition and inserts the committed text as typed input.
  void CommitComposition(std::string_view cp932);
  // Removes the composition and restores the text and selection it hid.
  void CancelComposition();
  bool IsComposing() const { return composing_; }
  // The byte range [start, end) the composition occupies in the text;
  // empty (0, 0) when none.
  std::pair<int32_t, int32_t> CompositionRange() const;

  // --- caret ---
  int32_t caret() const { return selectionEnd; }
  int32_t anchor() const { return selectionStart; }
  bool hasSelection() const { return selectionStart != selectionEnd; }
  // Recomputes caretX/caretY from the laid-out lines.
  void UpdateCaret();
  // The caret rectangle in device pixels at the context's zoom.
  SurfaceRect CaretRect(const DrawContext& ctx) const;
  // The page point where the character at byte offset `pos` starts: x of
  // its left side, y of the top of its line.
  Point32 PointAt(int32_t pos) const;

  // --- drawing and hits ---
  // The frame rectangle filled without outline (never the box's own frame
  // shape or hatch), the text as Text_Box draws it with the selection, then
  // the sunken edit border of three rings.
  void Draw(Surface& surface, const DrawContext& ctx) override;
  // As Text_Box, with the frame grown to at least the editing margins.
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;

  bool caretShown = false;
  bool extendSelection = false;
  int32_t caretX = 0;
  int32_t caretY = 0;
  int32_t savedMarginX = 8;
  int32_t savedMarginY = 2;
  int32_t dragAnchor = -1;
  bool firstKey = true;
  int32_t savedAngle = 0;
  bool savedVertical = false;
  int32_t runStart = -1;
  int32_t runEnd = -1;
  int32_t undoPos = -1;
  std::string undoRemoved, undoInserted, runRemoved;

 protected:
  bool IsEditCopy() const override { return true; }

 private:
  // Positions (byte offsets in text()).
  size_t lineStartOf(size_t pos) const;
  size_t lineEndOf(size_t pos) const;  // before the line break
  size_t lineIndexOf(size_t pos) const;
  size_t lineStartByIndex(size_t index) const;
  size_t unitLen(size_t pos) const;  // a character, or "\r\n" as one
  size_t prevPos(size_t pos) const;
  size_t nextPos(size_t pos) const;
  size_t clampToBoundary(size_t pos) const;
  // x of a byte column in a line, in page units from the base point.
  int32_t columnX(size_t lineIndex, size_t column) const;
  size_t nearestColumn(size_t lineIndex, int64_t x) const;
  size_t positionFromPoint(int32_t x, int32_t y) const;
  // The start of the character drawn under the point (its line chosen as
  // for positionFromPoint); npos beside the line's text.
  size_t characterAtPoint(int32_t x, int32_t y) const;

  bool moveCaret(size_t pos);
  // The one edit: [lo, hi) becomes `ins`, merged into the typing run when
  // it touches the run's end.
  void replaceRange(size_t lo, size_t hi, std::string_view ins);
  void relayout();

  DrawContext ctx_;
  bool composing_ = false;
  size_t compStart_ = 0;
  size_t compLen_ = 0;
  std::string compHidden_;  // the selection the composition replaced
  int32_t compAnchor_ = 0, compCaret_ = 0;
};

// Typed or pasted text made fit for a box: line ends become "\r\n" (lone
// "\n" and lone "\r" alike); bytes below 0x20 but Tab, DEL and lead bytes
// without a valid trail byte are dropped; double-byte characters are kept
// whole.
std::string TextEditor_normaliseInput(std::string_view cp932);
