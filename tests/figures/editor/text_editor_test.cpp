// Text_Editor: keys over double-byte text and line breaks, selection,
// typing runs, clipboard, composition, and writing back into the box.
#include "figures/editor/text_editor.h"

#include <gtest/gtest.h>

#include "support/fixed_metrics.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

class FakeClipboard final : public EditorClipboard {
 public:
  bool SetText(std::string_view t) override {
    if (!opens) return false;
    held = std::string(t);
    return true;
  }
  std::optional<std::string> Text() override { return held; }
  std::optional<std::string> held;
  bool opens = true;
};

// An editor over a box at (100, 100) holding `text` (12 pt: a single-byte
// character is 8 units wide, a double-byte one 16).
struct Editing {
  explicit Editing(std::string_view text, bool imeOpen = false) {
    box.SetTextMetrics(&metrics());
    box.SetBasePoint(100, 100);
    box.SetText(text);
    box.Layout(metrics(), DrawContext{});
    ed.BeginEdit(box, imeOpen);
  }
  Text_Box box;
  Text_Editor ed;
};

void press(Text_Editor& e, EditorKey k, int times = 1) {
  for (int i = 0; i < times; ++i) e.HandleKey(k);
}

}  // namespace

TEST(TextEditor, CaretMovesOverDoubleByteCharactersAndLineBreaks) {
  // "ソ" 83 5C, "表" 95 5C, "ア" 83 41: trail bytes that look like ASCII.
  Editing t("aソ\r\n表b\r\nア");
  Text_Editor& e = t.ed;
  ASSERT_EQ(e.text(), "a\x83\x5C\r\n\x95\x5C" "b\r\n\x83\x41");
  EXPECT_EQ(e.caret(), 0);
  EXPECT_FALSE(e.HandleKey(EditorKey::Left));  // at the start already
  press(e, EditorKey::End);
  EXPECT_EQ(e.caret(), 3);
  press(e, EditorKey::Right);
  EXPECT_EQ(e.caret(), 5);  // over "\r\n" at once
  press(e, EditorKey::Right);
  EXPECT_EQ(e.caret(), 7);  // over both bytes of "表"
  press(e, EditorKey::Right, 3);
  EXPECT_EQ(e.caret(), 12);
  EXPECT_FALSE(e.HandleKey(EditorKey::Right));  // at the end
  const int32_t back[] = {10, 8, 7, 5, 3, 1};   // "ア", "\r\n", "b", "表", "\r\n", "ソ"
  for (int32_t want : back) {
    press(e, EditorKey::Left);
    EXPECT_EQ(e.caret(), want);
  }
  press(e, EditorKey::Home);
  EXPECT_EQ(e.caret(), 0);
  e.Select(7, 7);
  press(e, EditorKey::Home);
  EXPECT_EQ(e.caret(), 5);
  press(e, EditorKey::End);
  EXPECT_EQ(e.caret(), 8);
  e.Select(2, 2);  // inside "ソ": taken back to its start
  EXPECT_EQ(e.caret(), 1);

  // End stops at a lone "\n" too.
  Editing lf("ab\ncd");
  press(lf.ed, EditorKey::End);
  EXPECT_EQ(lf.ed.caret(), 2);
}

TEST(TextEditor, UpAndDownKeepTheColumnAndStopAtTheEnds) {
  Editing t("abcd\r\n表表\r\nx");
  Text_Editor& e = t.ed;
  EXPECT_FALSE(e.HandleKey(EditorKey::Up));
  press(e, EditorKey::Right, 2);  // x = 16
  press(e, EditorKey::Down);
  EXPECT_EQ(e.caret(), 8);  // after the first "表" (x = 16)
  EXPECT_EQ(e.caretX, 16);
  EXPECT_EQ(e.caretY, e.lineSpacing);
  press(e, EditorKey::Down);
  EXPECT_EQ(e.caret(), 13);  // "x" line, nearest to 16 is its end (8)
  EXPECT_EQ(e.caretY, 2 * e.lineSpacing);
  EXPECT_FALSE(e.HandleKey(EditorKey::Down));
  press(e, EditorKey::Up);
  EXPECT_EQ(e.caret(), 6);  // x = 8 lies halfway: the left one wins
  press(e, EditorKey::Up);
  EXPECT_EQ(e.caret(), 0);
}

TEST(TextEditor, BackspaceAndDeleteRemoveWholeCharactersAndBreaks) {
  Editing t("aソ\r\n表");
  Text_Editor& e = t.ed;
  e.Select(5, 5);
  press(e, EditorKey::Backspace);  // "\r\n" as one
  EXPECT_EQ(e.text(), "aソ表");
  EXPECT_EQ(e.caret(), 3);
  press(e, EditorKey::Backspace);  // both bytes of "ソ"
  EXPECT_EQ(e.text(), "a表");
  press(e, EditorKey::Delete);  // both bytes of "表"
  EXPECT_EQ(e.text(), "a");
  EXPECT_FALSE(e.HandleKey(EditorKey::Delete));
  press(e, EditorKey::Backspace);
  EXPECT_EQ(e.text(), "");
  EXPECT_FALSE(e.HandleKey(EditorKey::Backspace));

  Editing pair("a\r\nア\n\rb");
  pair.ed.Select(1, 1);
  press(pair.ed, EditorKey::Delete);
  EXPECT_EQ(pair.ed.text(), "aア\n\rb");
  pair.ed.Select(3, 3);
  press(pair.ed, EditorKey::Delete);  // "\n\r" as one
  EXPECT_EQ(pair.ed.text(), "aアb");

  Editing back("x\n\ry");
  back.ed.Select(3, 3);
  press(back.ed, EditorKey::Backspace);
  EXPECT_EQ(back.ed.text(), "xy");
}

TEST(TextEditor, TypingReplacesTheSelectionAndIgnoresControlBytes) {
  Editing t("表");
  Text_Editor& e = t.ed;
  press(e, EditorKey::End);
  EXPECT_TRUE(e.HandleKey('x'));
  EXPECT_FALSE(e.HandleKey(0x1B));  // Esc
  EXPECT_FALSE(e.HandleKey(0x83));  // a lone lead byte
  EXPECT_TRUE(e.HandleKey(EditorKey::Enter));
  e.InsertText("ソ\n");
  EXPECT_EQ(e.text(), "表x\r\nソ\r\n");
  EXPECT_EQ(e.caret(), 9);
  EXPECT_FALSE(e.placeholder);

  // Shift held: the anchor stays.
  e.Select(0, 0);
  e.extendSelection = true;
  press(e, EditorKey::Right, 2);
  EXPECT_EQ(e.anchor(), 0);
  EXPECT_EQ(e.caret(), 3);
  EXPECT_EQ(e.GetSelectionText(), "表x");
  press(e, EditorKey::Left);
  EXPECT_EQ(e.GetSelectionText(), "表");
  e.extendSelection = false;
  e.InsertText("ア");
  EXPECT_EQ(e.text(), "アx\r\nソ\r\n");
  // Backwards selection (anchor after the caret).
  e.Select(3, 0);
  press(e, EditorKey::Delete);
  EXPECT_EQ(e.text(), "\r\nソ\r\n");
}

TEST(TextEditor, TypingRunsUndoAsOneStep) {
  Editing t("ab");
  Text_Editor& e = t.ed;
  press(e, EditorKey::End);
  e.HandleKey('c');
  e.InsertText("ソ");
  press(e, EditorKey::Backspace);  // the run's own "ソ"
  press(e, EditorKey::Backspace);  // "c"
  press(e, EditorKey::Backspace);  // "b": before the run
  e.HandleKey('X');
  EXPECT_EQ(e.text(), "aX");
  EXPECT_EQ(e.runStart, 1);
  EXPECT_EQ(e.runRemoved, "b");
  press(e, EditorKey::Home);  // moving ends the run
  EXPECT_EQ(e.runStart, -1);
  EXPECT_EQ(e.undoPos, 1);
  EXPECT_EQ(e.undoInserted, "X");
  EXPECT_EQ(e.undoRemoved, "b");
  EXPECT_TRUE(e.UndoRun());
  EXPECT_EQ(e.text(), "ab");
  EXPECT_TRUE(e.UndoRun());  // and back
  EXPECT_EQ(e.text(), "aX");
}

TEST(TextEditor, ClipboardCopyCutAndPaste) {
  FakeClipboard clip;
  Editing t("表ソ\r\nb");
  Text_Editor& e = t.ed;
  EXPECT_FALSE(e.CopySelection(clip));  // nothing selected
  e.Select(2, 4);
  EXPECT_TRUE(e.CutSelection(clip));
  EXPECT_EQ(*clip.held, "ソ");
  EXPECT_EQ(e.text(), "表\r\nb");

  // Two lines ending in a line break, pasted at the end: no trailing break.
  clip.held = std::string("x\ny\r\n\r\n");
  e.Select(5, 5);
  ASSERT_EQ(e.caret(), static_cast<int32_t>(e.text().size()));
  EXPECT_TRUE(e.Paste(clip));
  EXPECT_EQ(e.text(), "表\r\nbx\r\ny");
  EXPECT_EQ(e.caret(), 9);
  EXPECT_EQ(e.runStart, 5);
  EXPECT_EQ(e.runEnd, 9);

  // A whole line replaced by text without a break keeps the break.
  clip.held = std::string("ア");
  e.Select(0, 4);
  EXPECT_TRUE(e.Paste(clip));
  EXPECT_EQ(e.text(), "ア\r\nbx\r\ny");

  // Failures leave the text alone.
  clip.held.reset();
  EXPECT_FALSE(e.Paste(clip));
  clip.opens = false;
  e.Select(0, 2);
  EXPECT_FALSE(e.CutSelection(clip));
  EXPECT_EQ(e.text(), "ア\r\nbx\r\ny");
}

TEST(TextEditor, CompositionIsShownInPlaceAndCommittedOrCancelled) {
  Editing t("a表b");
  Text_Editor& e = t.ed;
  e.Select(1, 3);  // "表"
  e.SetComposition("か", 2);
  EXPECT_TRUE(e.IsComposing());
  EXPECT_EQ(e.text(), "aかb");
  EXPECT_EQ(e.caret(), 3);
  e.SetComposition("漢字", 2);
  EXPECT_EQ(e.text(), "a漢字b");
  EXPECT_EQ(e.caret(), 3);
  EXPECT_EQ(e.caretX, 8 + 16);
  e.CancelComposition();
  EXPECT_FALSE(e.IsComposing());
  EXPECT_EQ(e.text(), "a表b");
  EXPECT_EQ(e.GetSelectionText(), "表");

  e.SetComposition("そ", 1);  // a cursor inside a character is taken back
  EXPECT_EQ(e.caret(), 1);
  e.CommitComposition("ソ十");
  EXPECT_FALSE(e.IsComposing());
  EXPECT_EQ(e.text(), "aソ十b");
  EXPECT_EQ(e.caret(), 5);
  EXPECT_EQ(e.runRemoved, "表");  // the commit is typed input

  // An empty update ends the composition like a cancel.
  e.SetComposition("x", 1);
  e.SetComposition("", 0);
  EXPECT_EQ(e.text(), "aソ十b");
  // Commit without a composition is plain input.
  e.CommitComposition("能");
  EXPECT_EQ(e.text(), "aソ十能b");
}

TEST(TextEditor, MousePlacesTheCaretAndSelectsWords) {
  Editing t("ab表\r\nword two");
  Text_Editor& e = t.ed;
  const int32_t bx = e.basePoint().x, top = e.firstLineTop;
  e.SetCaretFromPoint(bx + 20, top + 1);
  EXPECT_EQ(e.caret(), 2);  // 16 is nearer than 32
  e.ExtendFromPoint(bx + 30, top + 1);
  EXPECT_EQ(e.GetSelectionText(), "表");
  e.SetCaretFromPoint(bx + 9, top + e.lineSpacing + 2);
  EXPECT_EQ(e.caret(), 7);
  e.SelectWordAt(bx + 48, top + e.lineSpacing + 2);
  EXPECT_EQ(e.GetSelectionText(), "two");
  EXPECT_EQ(e.caret(), 14);
  e.SetCaretFromPoint(bx - 50, top - 50);  // beyond the ends
  EXPECT_EQ(e.caret(), 0);
}

TEST(TextEditor, BeginAndEndEditWriteBackTheBox) {
  Editing t("abc");
  EXPECT_EQ(t.ed.basePoint().x, 101);
  EXPECT_EQ(t.ed.basePoint().y, 101);
  EXPECT_EQ(t.ed.marginX, 16);
  EXPECT_EQ(t.ed.marginY, 4);
  EXPECT_EQ(t.ed.savedMarginX, 8);
  press(t.ed, EditorKey::End);
  t.ed.HandleKey(EditorKey::Enter);
  t.ed.InsertText("表ソ");
  t.ed.EndEdit(t.box, true, true);
  EXPECT_EQ(t.box.text(), "abc\r\n表ソ");
  EXPECT_EQ(t.box.basePoint().x, 100);
  EXPECT_EQ(t.box.marginX, 8);
  EXPECT_EQ(t.box.selectionStart, 9);
  ASSERT_EQ(t.box.lines().size(), 2u);
  EXPECT_EQ(t.box.lines()[1].text, "表ソ");
  EXPECT_EQ(t.box.lines()[1].width, 32);
  EXPECT_EQ(t.box.FrameBounds().right, 100 + 32 + 8);

  // The placeholder: "ABC" shows as "あいう" (selected) with the input
  // method open and returns untouched.
  Editing p("ABC", true);
  EXPECT_EQ(p.ed.text(), "あいう");
  EXPECT_EQ(p.ed.GetSelectionText(), "あいう");
  p.ed.EndEdit(p.box, false, true);
  EXPECT_EQ(p.box.text(), "ABC");
  EXPECT_TRUE(p.box.placeholder);
  Editing q("ABC", false);
  EXPECT_EQ(q.ed.text(), "ABC");
  q.ed.HandleKey('D');
  q.ed.EndEdit(q.box, false, true);
  EXPECT_EQ(q.box.text(), "DABC");
  EXPECT_FALSE(q.box.placeholder);
}

TEST(TextEditor, ApplyGeometryAndCaretRectangle) {
  Editing t("ab");
  const TextBoxFrameBounds before = t.box.FrameBounds();
  t.ed.ApplyGeometry(t.box);
  EXPECT_EQ(t.box.FrameBounds(), before);  // unchanged text, same frame

  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;
  ctx.scrollX = 10;
  press(t.ed, EditorKey::End);
  const SurfaceRect r = t.ed.CaretRect(ctx);
  EXPECT_EQ(r.left, (101 + 16) * 2 - 10);
  EXPECT_EQ(r.top, (t.ed.firstLineTop - 1) * 2);
  EXPECT_EQ(r.right - r.left, 2);
  EXPECT_EQ(r.bottom - r.top, t.ed.lineHeight16 * 200 / 1600 + 2);
}

TEST(TextEditor, InputIsNormalisedAndRawCodesWork) {
  EXPECT_EQ(TextEditor_normaliseInput("a\nb\r\nc\rd\n\re"), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  // Trail bytes 0x5C, 'A' and 0x0A: the first two belong to their
  // characters, a lead byte before a line feed or at the end is dropped.
  EXPECT_EQ(TextEditor_normaliseInput("ソア\x83\n\x7F\x1B\t\x95"), "ソア\r\n\t");

  Editing t("x");
  Text_Editor& e = t.ed;
  EXPECT_TRUE(e.HandleKey(256 + 35));  // End as a virtual-key code
  EXPECT_TRUE(e.HandleKey(13));        // Return as a character
  EXPECT_TRUE(e.HandleKey(0xB1));      // half-width katakana: one byte
  EXPECT_EQ(e.text(), "x\r\n\xB1");
  EXPECT_FALSE(e.HandleKey(256 + 99));
  // A click ends a composition before it is placed.
  e.SetComposition("かな", 4);
  e.SetCaretFromPoint(e.basePoint().x, e.firstLineTop);
  EXPECT_FALSE(e.IsComposing());
  EXPECT_EQ(e.text(), "x\r\n\xB1");
  EXPECT_EQ(e.caret(), 0);
}

// A press on a selected character starts a drag of the selection: the
// selection stays, the press offset is the drag anchor, moving the mouse
// does not reselect, and the release ends the drag without moving text.
// Presses elsewhere, or with Shift, place or extend the caret as usual.
TEST(TextEditor, PressInsideTheSelectionStartsADragThatKeepsIt) {
  Editing t("abc表def\r\nxy");
  Text_Editor& e = t.ed;
  const int32_t bx = e.basePoint().x, top = e.firstLineTop + 1;
  e.Select(2, 5);  // "c表"
  EXPECT_EQ(e.dragAnchor, -1);
  e.SetCaretFromPoint(bx + 29, top);  // inside "表" (24..40), nearer to 24
  EXPECT_EQ(e.dragAnchor, 3);
  EXPECT_EQ(e.anchor(), 2);
  EXPECT_EQ(e.caret(), 5);
  e.ExtendFromPoint(bx + 60, top);  // the mouse moves on while dragging
  EXPECT_EQ(e.GetSelectionText(), "c表");
  e.EndDrag();
  EXPECT_EQ(e.dragAnchor, -1);
  EXPECT_EQ(e.text(), "abc表def\r\nxy");
  EXPECT_EQ(e.GetSelectionText(), "c表");

  // The left half of the first selected character is inside too.
  e.SetCaretFromPoint(bx + 17, top);
  EXPECT_EQ(e.dragAnchor, 2);
  EXPECT_EQ(e.GetSelectionText(), "c表");
  e.EndDrag();

  // Just after the selection: the caret goes there, no drag.
  e.SetCaretFromPoint(bx + 42, top);
  EXPECT_EQ(e.dragAnchor, -1);
  EXPECT_EQ(e.caret(), 5);
  EXPECT_FALSE(e.hasSelection());
  e.EndDrag();  // a release without a drag changes nothing
  EXPECT_EQ(e.caret(), 5);

  // Shift held: the press extends the selection even inside it.
  e.Select(1, 6);
  e.extendSelection = true;
  e.SetCaretFromPoint(bx + 17, top);
  e.extendSelection = false;
  EXPECT_EQ(e.dragAnchor, -1);
  EXPECT_EQ(e.anchor(), 1);
  EXPECT_EQ(e.caret(), 2);

  // The line below the selected one is outside it.
  e.Select(0, 11);  // "abc表def\r\n" and "x"
  e.SetCaretFromPoint(bx + 10, top + e.lineSpacing);
  EXPECT_EQ(e.dragAnchor, -1);
  EXPECT_EQ(e.caret(), 11);
  e.Select(0, 11);
  e.SetCaretFromPoint(bx + 3, top + e.lineSpacing);
  EXPECT_EQ(e.dragAnchor, 10);
  // The second press of a double click selects the word and ends the drag,
  // so that the mouse extends the selection again.
  e.SelectWordAt(bx + 3, top);
  EXPECT_EQ(e.GetSelectionText(), "abc");
  EXPECT_EQ(e.dragAnchor, -1);
  e.ExtendFromPoint(bx + 62, top);
  EXPECT_EQ(e.GetSelectionText(), "abc表def");
}
