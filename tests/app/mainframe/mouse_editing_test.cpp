// Mouse editing in a main window on the offscreen platform, driven by mouse
// events on the view: the tools draw, figures move, resize and rotate,
// lines pulled out of text boxes connect them and follow them; each gesture
// is one undo step, so undoing everything gives back the saved bytes of the
// original note and redoing everything the edited ones.
#include <gtest/gtest.h>

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/filex/filex_open.h"
#include "core/prompts/user_prompts.h"
#include "figures/base/links.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/editing/edit_tools.h"
#include "view/editing/mouse_editor.h"
#include "view/editor/in_place_editing.h"
#include "view/selection/view_selection.h"

namespace {

const char kNote[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00820\" height=\"01020\" sub_doctype=\"zerbin-300\">\r\n"
    "<g id=\"page1\" width=\"800\" height=\"1000\" transform=\"translate(+10,+10)\">\r\n"
    "</g>\r\n"
    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n</zerbin-pages>\r\n"
    "</svg>\r\n";

struct Editing {
  testing_support::TempDir dir;
  std::string path = dir.file("note.svg");
  std::unique_ptr<CMainFrame> f;

  Editing() {
    FileX_makeFolders(dir.file("prof/"), false);
    FileX_makeFolders(dir.file("work"), false);
    FileX_writeWhole(path, kNote);
    CMainFrameOptions o;
    o.workFolder = dir.file("work");
    o.save.profileFolder = dir.file("prof/");
    o.save.desktopFolder = dir.file("desk");
    f = std::make_unique<CMainFrame>(std::string(), o);
    f->LoadNote(path, false);
    f->resize(1100, 900);
    f->show();
    QApplication::processEvents();
  }
  CChildView& view() { return f->view(); }
  FigureList& list() { return f->document().workingFigures(); }
  UndoHistory& undo() { return f->undo(); }
  CadPrim& last() { return list().at(list().size() - 1); }
  QPointF client(Point32 p) {
    const Point32 c = view().CanvasToClient(p);
    return QPointF(c.x, c.y);
  }
  void mouse(QEvent::Type type, QPointF at, Qt::MouseButtons buttons,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* vp = view().viewport();
    const Qt::MouseButton b = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, at, vp->mapToGlobal(at), b, buttons, mods);
    QApplication::sendEvent(vp, &e);
  }
  // A left drag in page units, in a few moves.
  void drag(Point32 from, Point32 to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    mouse(QEvent::MouseButtonPress, client(from), Qt::LeftButton, mods);
    for (int i = 1; i <= 4; ++i) {
      const Point32 p{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4};
      mouse(QEvent::MouseMove, client(p), Qt::LeftButton, mods);
    }
    mouse(QEvent::MouseButtonRelease, client(to), Qt::NoButton, mods);
  }
  void click(Point32 at) {
    mouse(QEvent::MouseButtonPress, client(at), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, client(at), Qt::NoButton);
  }
  void tool(int32_t t) { view().ChooseTool(t); }
  // Text committed by the input method into the running in-place edit.
  void write(const QString& text) {
    ASSERT_TRUE(view().inPlace().active());
    QInputMethodEvent e;
    e.setCommitString(text);
    QApplication::sendEvent(&view(), &e);
  }
  void escape() {
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&view(), &key);
  }
  std::string save() {
    EXPECT_TRUE(f->commands().run(Cmd_FileSave));
    return FileX_readWhole(path);
  }
  // Undo and redo as the commands will: the selection lets go first.
  bool step(bool redo) {
    view().PageLeaving();
    const bool done = redo ? undo().Redo(f->document()) : undo().Undo(f->document());
    view().PageChanged();
    return done;
  }
  // Every link is held by both sides.
  void expectLinksSound() {
    for (const auto& fig : list()) {
      for (int32_t e = 1; e <= fig->GetEndCount(); ++e) {
        if (CadPrim* t = fig->GetEndTarget(e)) {
          bool back = false;
          for (int32_t i = 1; i <= t->GetAttachmentCount(); ++i) {
            back = back || (t->GetAttachment(i)->line == fig.get() && t->GetAttachment(i)->lineEnd == e);
          }
          EXPECT_TRUE(back) << "one-sided link of figure " << fig->GetNumber();
        }
      }
    }
  }
};

Text_Box& textAt(Editing& ed, size_t i) { return dynamic_cast<Text_Box&>(ed.list().at(i)); }

}  // namespace

TEST(MouseEditing, DrawConnectMoveResizeRotateThenUndoToTheOriginalAndRedoToTheEdit) {
  Editing ed;
  const std::string original = ed.save();
  EXPECT_FALSE(ed.undo().IsModified());

  // A rectangle: it goes to the bottom run.
  ed.tool(EditTool_rect);
  ed.drag({40, 40}, {160, 120});
  auto& rect = dynamic_cast<Rect_Ex&>(ed.last());
  EXPECT_EQ((Rect32{40, 40, 120, 80}), (Rect32{rect.x, rect.y, rect.width, rect.height}));
  EXPECT_TRUE(ed.undo().IsModified());

  // Two framed text boxes, each written in place through the input method
  // as it is made; the next press ends the edit.
  ed.tool(EditTool_rectText);
  ed.click({300, 100});
  auto* a = &dynamic_cast<Text_Box&>(ed.last());
  EXPECT_EQ("ABC", a->text());
  EXPECT_EQ((Point32{300, 100}), a->basePoint());
  ed.write(QStringLiteral(u"日本語の箱"));
  ed.click({330, 400});
  EXPECT_EQ("日本語の箱", a->text());
  auto* b = &dynamic_cast<Text_Box&>(ed.last());
  ASSERT_NE(a, b);
  ed.write(QStringLiteral(u"二つ目"));

  // A straight line (Shift) and a cornered line pulled from a to b.
  ed.tool(EditTool_select);
  auto pull = [&](Qt::KeyboardModifiers mods) {
    const TextBoxFrameBounds fa = a->FrameBounds(), fb = b->FrameBounds();
    const Point32 from{(fa.left + fa.right) / 2, (fa.top + fa.bottom) / 2};
    const Point32 to{(fb.left + fb.right) / 2 + 10, (fb.top + fb.bottom) / 2};
    ed.click({600, 700});  // nothing held
    ed.click(from);
    ed.drag(from, to, mods);
  };
  pull(Qt::ShiftModifier);
  pull(Qt::NoModifier);
  Line_Ex* line = nullptr;
  Line_Corner* corner = nullptr;
  for (const auto& fig : ed.list()) {
    if (!line) line = dynamic_cast<Line_Ex*>(fig.get());
    if (!corner) corner = dynamic_cast<Line_Corner*>(fig.get());
  }
  ASSERT_NE(nullptr, line);
  ASSERT_NE(nullptr, corner);
  EXPECT_EQ(a, line->GetEndTarget(1));
  EXPECT_EQ(b, line->GetEndTarget(2));
  EXPECT_EQ(a, corner->GetEndTarget(1));
  EXPECT_EQ(b, corner->GetEndTarget(2));
  EXPECT_EQ(2, a->GetAttachmentCount());
  // Lines stand at the bottom run, after the rectangle, before the boxes.
  EXPECT_LT(ed.list().indexOf(rect), ed.list().indexOf(*line));
  EXPECT_LT(ed.list().indexOf(*corner), ed.list().indexOf(*a));

  // Moving a: the ends follow, the bend stays.
  const Point32 bend = corner->through();
  const Point32 lineStart = line->point1();
  const TextBoxFrameBounds fa = a->FrameBounds();
  ed.click({600, 700});
  ed.drag({fa.left + 6, (fa.top + fa.bottom) / 2}, {fa.left + 106, (fa.top + fa.bottom) / 2 - 50});
  EXPECT_EQ(fa.left + 100, a->FrameBounds().left);
  EXPECT_EQ(bend, corner->through());
  EXPECT_NE(lineStart, line->point1());
  EXPECT_EQ(a->OutlinePoint(line->point1(), line->point2()), line->VisibleEnd(1));

  // Resizing b by its bottom-right handle: b's ends follow.
  ed.click({600, 700});
  ed.click({(b->FrameBounds().left + b->FrameBounds().right) / 2, b->FrameBounds().top + 4});
  const Point32 handle = b->GetHandlePoint(8);
  const int32_t wide = b->FrameBounds().right - b->FrameBounds().left;
  ed.drag(handle, {handle.x + 60, handle.y + 20});
  EXPECT_GT(b->FrameBounds().right - b->FrameBounds().left, wide);
  ed.expectLinksSound();

  // Rotating the rectangle by a corner.
  ed.tool(EditTool_rotate);
  ed.drag(rect.GetHandlePoint(8), {200, 200});
  EXPECT_NE(0, rect.angle);
  ed.tool(EditTool_select);

  const std::string edited = ed.save();
  EXPECT_FALSE(ed.undo().IsModified());
  EXPECT_NE(original, edited);
  // Rectangle, two boxes and their texts, two pulls, move, resize, turn.
  int steps = 0;
  while (ed.step(false)) {
    ++steps;
    ed.expectLinksSound();
  }
  EXPECT_EQ(10, steps);
  EXPECT_TRUE(ed.undo().IsModified());
  EXPECT_EQ(original, ed.save());
  while (ed.step(true)) ed.expectLinksSound();
  EXPECT_EQ(edited, ed.save());
}

TEST(MouseEditing, EveryToolCreatesItsKindAsOneStepAndEscapeTakesADragBack) {
  Editing ed;
  struct Case {
    int32_t tool;
    FigureKind kind;
    int32_t shape;  // Rect_Ex shape or Text_Box frame, -1 none
  };
  const Case cases[] = {
      {EditTool_text, FigureKind_Text, TextBoxFrame_None},
      {EditTool_redText, FigureKind_Text, TextBoxFrame_None},
      {EditTool_blueText, FigureKind_Text, TextBoxFrame_None},
      {EditTool_dateText, FigureKind_Text, TextBoxFrame_None},
      {EditTool_rectText, FigureKind_Text, TextBoxFrame_Rectangle},
      {EditTool_roundText, FigureKind_Text, TextBoxFrame_RoundRect},
      {EditTool_circleText, FigureKind_Text, TextBoxFrame_Ellipse},
      {EditTool_diamondText, FigureKind_Text, TextBoxFrame_Diamond},
      {EditTool_parallelogramText, FigureKind_Text, TextBoxFrame_Parallelogram},
      {EditTool_line, FigureKind_Line, -1},
      {EditTool_arrow, FigureKind_Line, -1},
      {EditTool_corner, FigureKind_CorneredLine, -1},
      {EditTool_matome, FigureKind_Matome, -1},
      {EditTool_guideLine, FigureKind_Text, TextBoxFrame_Rectangle},
      {EditTool_emphasis, FigureKind_Rect, RectShape_Ellipse},
      {EditTool_rect, FigureKind_Rect, RectShape_Rectangle},
      {EditTool_roundRect, FigureKind_Rect, RectShape_RoundRect},
      {EditTool_ellipse, FigureKind_Rect, RectShape_Ellipse},
      {EditTool_diamond, FigureKind_Rect, RectShape_Diamond},
      {EditTool_image, FigureKind_Rect, RectShape_Image},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    // Through the tool's command where it has one.
    const int32_t command = EditTools_table()[c.tool].command;
    if (command != 0) {
      ASSERT_TRUE(ed.f->commands().run(command));
    } else {
      ed.tool(c.tool);
    }
    ASSERT_EQ(c.tool, ed.view().m_Tool);
    const size_t count = ed.list().size();
    const size_t records = ed.undo().current();
    ed.drag({200, 200}, {290, 260});
    const size_t made = c.tool == EditTool_guideLine ? 2 : 1;
    ASSERT_EQ(count + made, ed.list().size());
    const CadPrim* held = ed.view().selection()->HoldPrim();
    ASSERT_NE(nullptr, held);
    EXPECT_EQ(c.kind, held->GetKind());
    if (auto* r = dynamic_cast<const Rect_Ex*>(held)) {
      EXPECT_EQ(c.shape, r->shape);
      // An image keeps its aspect.
      const int32_t h = c.tool == EditTool_image ? 90 : 60;
      EXPECT_EQ((Rect32{200, 200, 90, h}), (Rect32{r->x, r->y, r->width, r->height}));
      EXPECT_EQ(c.tool == EditTool_emphasis ? 0 : 100, r->opacity);
      // Rectangles stand below everything else, the emphasis circle on top.
      EXPECT_EQ(c.tool == EditTool_emphasis, ed.list().indexOf(*held) + 1 == static_cast<ptrdiff_t>(ed.list().size()));
    }
    if (auto* t = dynamic_cast<const Text_Box*>(held)) {
      EXPECT_EQ(c.shape, t->frameShape);
      EXPECT_EQ((Point32{290, 260}), t->basePoint());
      EXPECT_EQ(c.tool == EditTool_redText || c.tool == EditTool_dateText ? 255
                : c.tool == EditTool_blueText                          ? 16711680
                                                                       : 0,
                t->textColour);
      if (c.tool == EditTool_guideLine) {
        const CadPrim* line = ed.view().selection()->DragPrim();
        ASSERT_NE(nullptr, line);
        EXPECT_EQ(held, line->GetEndTarget(2));
        EXPECT_EQ((Point32{200, 200}), line->GetHandlePoint(1));
      }
    }
    if (auto* l = dynamic_cast<const Line_Ex*>(held)) {
      EXPECT_EQ((Point32{290, 260}), l->point2());
      EXPECT_EQ(c.tool == EditTool_arrow ? 1 : 0, l->arrow(2));
    }
    // A new text box (but the date's) is written in place; Escape ends the
    // edit and its text is a step of its own.
    const bool writes = ed.view().inPlace().active();
    EXPECT_EQ(c.kind == FigureKind_Text && c.tool != EditTool_dateText, writes);
    if (writes) {
      ed.write(QStringLiteral(u"文字"));
      ed.escape();
      EXPECT_EQ("文字", dynamic_cast<const Text_Box&>(*held).text());
    }
    // Past the text, one undo step takes it all away.
    EXPECT_EQ(records + made + (writes ? 1 : 0), ed.undo().current());
    if (writes) {
      ASSERT_TRUE(ed.step(false));
    }
    ASSERT_TRUE(ed.step(false));
    EXPECT_EQ(count, ed.list().size());
    ASSERT_TRUE(ed.step(true));
    if (writes) {
      ASSERT_TRUE(ed.step(true));
    }
    EXPECT_EQ(count + made, ed.list().size());
  }

  // A guide line made by a click puts its box below and right of it; the
  // box is edited but is not a box of the gesture alone: left untouched,
  // it stays with its line.
  ed.tool(EditTool_guideLine);
  const size_t guided = ed.list().size();
  ed.click({500, 500});
  ASSERT_TRUE(ed.view().inPlace().active());
  EXPECT_FALSE(ed.view().inPlace().newTextBox());
  ed.escape();
  EXPECT_FALSE(ed.view().inPlace().active());
  EXPECT_EQ(guided + 2, ed.list().size());

  // Escape in the middle of a drag puts the figure back and records nothing.
  ed.tool(EditTool_rect);
  ed.drag({500, 600}, {600, 680});
  auto& r = dynamic_cast<Rect_Ex&>(*ed.view().selection()->HoldPrim());
  ed.tool(EditTool_select);
  const Rect32 was{r.x, r.y, r.width, r.height};
  const size_t records = ed.undo().current();
  ed.mouse(QEvent::MouseButtonPress, ed.client({r.x + 30, r.y + 30}), Qt::LeftButton);
  ed.mouse(QEvent::MouseMove, ed.client({r.x + 130, r.y + 90}), Qt::LeftButton);
  EXPECT_NE(was.x, r.x);
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&ed.view(), &escape);
  ed.mouse(QEvent::MouseButtonRelease, ed.client({r.x + 130, r.y + 90}), Qt::NoButton);
  EXPECT_EQ(was, (Rect32{r.x, r.y, r.width, r.height}));
  EXPECT_EQ(records, ed.undo().current());

  // Copy by the drag menu: one step of copies moved by the gesture.
  ed.click({r.x + 30, r.y + 30});
  const size_t before = ed.list().size();
  ed.view().mouseEditor().SetDragGesture({0, 0}, {400, 300});
  ASSERT_TRUE(ed.f->commands().run(Cmd_DragCopy));
  ASSERT_EQ(before + 1, ed.list().size());
  auto& copy = dynamic_cast<Rect_Ex&>(ed.last());
  EXPECT_EQ((Point32{was.x + 400, was.y + 300}), (Point32{copy.x, copy.y}));
  EXPECT_NE(r.GetNumber(), copy.GetNumber());
  ASSERT_TRUE(ed.step(false));
  EXPECT_EQ(before, ed.list().size());
}

TEST(MouseEditing, SnapsToTheGridAndToANeighbouringTextBox) {
  Editing ed;
  // Grid catch at 19 units: a press at (50, 50) makes the corner (57, 57),
  // the drag's corner (133, 95) the nearest grid point to (130, 100).
  ed.f->commands().run(Cmd_GridStandard);
  ed.tool(EditTool_rect);
  ed.drag({50, 50}, {130, 100});
  auto& r = dynamic_cast<Rect_Ex&>(ed.last());
  EXPECT_EQ((Rect32{57, 57, 76, 38}), (Rect32{r.x, r.y, r.width, r.height}));
  // A text box moved whole lands its base point 5 above a grid line.
  ed.tool(EditTool_rectText);
  ed.drag({300, 300}, {401, 420});
  EXPECT_EQ((Point32{399, 413}), textAt(ed, ed.list().size() - 1).basePoint());
  ed.write(QStringLiteral(u"格子"));
  ed.escape();
  ed.f->commands().run(Cmd_GridCatch);
  ASSERT_FALSE(ed.f->document().workingSettings().snapToGrid());

  // Without the grid a box dropped 9 below another and 3 to its right
  // aligns its left edge and keeps 6 units between them.
  ed.click({600, 100});
  Text_Box& upper = dynamic_cast<Text_Box&>(ed.last());
  ed.write(QStringLiteral(u"上"));
  ed.click({100, 700});
  Text_Box& lower = dynamic_cast<Text_Box&>(ed.last());
  ed.write(QStringLiteral(u"下の箱"));
  ed.tool(EditTool_select);
  const TextBoxFrameBounds u = upper.FrameBounds(), l0 = lower.FrameBounds();
  const Point32 grab{l0.left + 5, (l0.top + l0.bottom) / 2};
  const Point32 to{grab.x + (u.left + 3 - l0.left), grab.y + (u.bottom + 9 - l0.top)};
  ed.click({700, 900});
  ed.drag(grab, to);
  EXPECT_EQ(u.left, lower.FrameBounds().left);
  EXPECT_EQ(u.bottom + 6, lower.FrameBounds().top);
  // Shift locks the axis that moved less.
  ed.click({700, 900});
  const TextBoxFrameBounds l1 = lower.FrameBounds();
  ed.drag({l1.left + 5, l1.top + 4}, {l1.left + 305, l1.top + 24}, Qt::ShiftModifier);
  EXPECT_EQ(l1.top, lower.FrameBounds().top);
  EXPECT_EQ(l1.left + 300, lower.FrameBounds().left);
}

TEST(MouseEditing, FarDragsAndExtremeZoomsKeepTheNoteSound) {
  Editing ed;
  const std::string original = ed.save();
  ed.tool(EditTool_rect);
  ed.mouse(QEvent::MouseButtonPress, QPointF(100, 100), Qt::LeftButton);
  ed.mouse(QEvent::MouseMove, QPointF(2e9, 2e9), Qt::LeftButton);
  ed.mouse(QEvent::MouseButtonRelease, QPointF(2e9, 2e9), Qt::NoButton);
  auto& r = dynamic_cast<Rect_Ex&>(ed.last());
  EXPECT_LE(int64_t{r.x} + r.width, int64_t{Figure_coordMax} + Figure_sizeMax);
  // Held figures dragged far out of the window leave the view as a drag to
  // other programs (nobody takes it here): they stay where they were.
  ed.tool(EditTool_select);
  const int32_t x = r.x;
  ed.mouse(QEvent::MouseButtonPress, ed.client({r.x + 5, r.y + 5}), Qt::LeftButton);
  ed.mouse(QEvent::MouseMove, QPointF(-2e9, -2e9), Qt::LeftButton);
  ed.mouse(QEvent::MouseButtonRelease, QPointF(-2e9, -2e9), Qt::NoButton);
  EXPECT_EQ(x, r.x);
  for (int32_t zoom : {1, 6400}) {
    ed.view().SetZoom(zoom, 1, {400, 400});
    ASSERT_EQ(zoom, ed.view().geometry().zoom);
    ed.tool(EditTool_ellipse);
    const size_t n = ed.list().size();
    ed.drag(ed.view().ClientToCanvas({300, 300}), ed.view().ClientToCanvas({340, 330}));
    ASSERT_EQ(n + 1, ed.list().size());
    const auto& e = dynamic_cast<Rect_Ex&>(ed.last());
    EXPECT_GE(e.width, 1);
    // The threshold is one unit at 6400 % and 400 at 1 %.
    EXPECT_EQ(zoom == 1 ? 400 : 1, MouseEditor_threshold(zoom));
  }
  const std::string edited = ed.save();
  int undone = 0;
  while (ed.step(false)) ++undone;
  EXPECT_EQ(3, undone);
  EXPECT_EQ(original, ed.save());
  while (ed.step(true)) {
  }
  EXPECT_EQ(edited, ed.save());
}

namespace {

// Answers every question Yes and keeps what it was asked.
class YesPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer, uint32_t) override {
    asked.push_back(std::string(title) + "|" + std::string(text));
    return PromptAnswer::Yes;
  }
  std::vector<std::string> asked;
};

Rect32 boxOf(const CadPrim& f) { return f.GetBounds(); }

}  // namespace

TEST(MouseEditing, RightButtonRowsCopiesAndCancels) {
  Editing ed;
  YesPrompts prompts;
  UserPrompts_set(&prompts);
  ed.view().m_Sleep = [](int) {};
  ed.tool(EditTool_rect);
  ed.drag({100, 100}, {200, 150});
  CadPrim& top = ed.last();
  ed.drag({100, 400}, {200, 450});
  CadPrim& low = ed.last();
  ed.tool(EditTool_select);
  Canvas& canvas = ed.f->document().workingSettings();
  auto right = [&](Point32 from, Point32 to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QWidget* vp = ed.view().viewport();
    // Ctrl at the press would arm a row operation: the keys come after it.
    auto send = [&](QEvent::Type type, Point32 at, Qt::MouseButton b, Qt::MouseButtons bs) {
      const Qt::KeyboardModifiers keys = type == QEvent::MouseButtonPress ? Qt::NoModifier : mods;
      QMouseEvent e(type, ed.client(at), vp->mapToGlobal(ed.client(at)), b, bs, keys);
      QApplication::sendEvent(vp, &e);
    };
    send(QEvent::MouseButtonPress, from, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::RightButton);
    send(QEvent::MouseButtonRelease, to, Qt::RightButton, Qt::NoButton);
  };
  const size_t start = ed.undo().current();
  // Down from empty canvas at 300: room of 60 above the lower rectangle.
  right({400, 300}, {400, 360});
  EXPECT_EQ(100, boxOf(top).y);
  EXPECT_EQ(460, boxOf(low).y);
  EXPECT_EQ(1000, canvas.height());
  // Up from 390 to 300: nothing crosses the band, nothing is asked.
  right({400, 390}, {400, 300});
  EXPECT_EQ(370, boxOf(low).y);
  EXPECT_EQ(910, canvas.height());
  EXPECT_TRUE(prompts.asked.empty());
  // Up over the upper rectangle: asked, and Yes deletes it too.
  right({400, 160}, {400, 90});
  ASSERT_EQ(1u, prompts.asked.size());
  EXPECT_EQ("行削除|選択した図形も削除しますか？", prompts.asked[0]);
  EXPECT_EQ(ed.list().indexOf(top), -1);
  EXPECT_EQ(300, boxOf(low).y);
  EXPECT_EQ(840, canvas.height());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(ed.step(false));
  EXPECT_EQ(start, ed.undo().current());
  EXPECT_EQ(1000, ed.f->document().workingSettings().height());
  CadPrim& back = ed.list().at(1);
  EXPECT_EQ(100, boxOf(back).y);
  EXPECT_EQ(400, boxOf(ed.list().at(2)).y);

  // A right drag with Ctrl copies the figure by the drag.
  const size_t n = ed.list().size();
  right({150, 420}, {450, 420}, Qt::ControlModifier);
  ASSERT_EQ(n + 1, ed.list().size());
  EXPECT_EQ(400, boxOf(ed.last()).x);
  EXPECT_EQ(400, boxOf(ed.last()).y);

  // The right button during a left drag takes it back.
  CadPrim& first = ed.list().at(1);
  const Rect32 was = boxOf(first);
  const size_t records = ed.undo().current();
  ed.mouse(QEvent::MouseButtonPress, ed.client({150, 120}), Qt::LeftButton);
  ed.mouse(QEvent::MouseMove, ed.client({250, 220}), Qt::LeftButton);
  EXPECT_NE(was, boxOf(first));
  QMouseEvent rp(QEvent::MouseButtonPress, ed.client({250, 220}),
                 ed.view().viewport()->mapToGlobal(ed.client({250, 220})), Qt::RightButton,
                 Qt::LeftButton | Qt::RightButton, Qt::NoModifier);
  QApplication::sendEvent(ed.view().viewport(), &rp);
  ed.mouse(QEvent::MouseButtonRelease, ed.client({250, 220}), Qt::NoButton);
  EXPECT_EQ(was, boxOf(first));
  EXPECT_EQ(records, ed.undo().current());
  UserPrompts_set(nullptr);
}
