// The keyboard and selection commands in the main window, driven as a user
// drives them (clicks and keys on the real view, menu commands through the
// command table) and checked in the saved note: nudging, the painting
// order, alignment, same size, equal spacing, the tab order, delete, and
// undo of all of it back to the bytes the note had.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/saving/save_commands.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/keyboard/selection_commands.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

std::string rect(const char* id, int x, int y, int w, int h) {
  return "<rect id=\"" + std::string(id) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
         std::to_string(y) + "\" width=\"" + std::to_string(w) + "\" height=\"" +
         std::to_string(h) + "\" style=\"fill:rgb(200,200,200)\"/>\r\n";
}
std::string text(const char* id, int x, int y, int tab) {
  return "<text id=\"" + std::string(id) + "\" x=\"" + std::to_string(x) + "\" y=\"" +
         std::to_string(y) + "\" style=\"font-size:12pt\"" +
         (tab ? " zerbin-tab-order=\"" + std::to_string(tab) + "\"" : std::string()) + ">" + id +
         "</text>\r\n";
}

// One page of 600 x 800: the rectangles a, b, c (the bottom run), the
// text boxes t1 (tab 1), t2 (tab 3), t3 (tab 2), t4 (no tab order), then
// five rectangles s1 ... s5 in a row.
std::string note() {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
         "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
         "<g id=\"page1\" width=\"600\" height=\"800\" transform=\"translate(+10,+10)\">\r\n" +
         rect("a", 10, 10, 20, 20) + rect("b", 25, 50, 30, 20) + rect("c", 40, 90, 40, 25) +
         text("t1", 300, 30, 1) + text("t2", 300, 80, 3) + text("t3", 300, 130, 2) +
         text("t4", 300, 180, 0) + rect("s1", 10, 300, 10, 20) + rect("s2", 40, 330, 20, 20) +
         rect("s3", 100, 300, 10, 20) + rect("s4", 130, 330, 30, 20) +
         rect("s5", 250, 300, 20, 20) +
         "</g>\r\n<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n"
         "</zerbin-pages>\r\n</svg>\r\n";
}

struct Keys {
  testing_support::TempDir dir;
  std::unique_ptr<CMainFrame> frame;
  std::string path;

  Keys() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(900, 700);
    path = dir.file("note.svg");
    FileX_writeWhole(path, note());
    frame->LoadNote(path, false);
    frame->show();
    frame->activateWindow();
    view().setFocus();
    QApplication::processEvents();
    view().RedrawNow();
  }
  CChildView& view() { return frame->view(); }
  ViewSelection& sel() { return *view().selection(); }
  FigureList& figures() { return frame->document().workingFigures(); }
  CadPrim& fig(const char* id) {
    for (const auto& f : figures()) {
      if (f->GetId() == id) return *f;
    }
    throw std::runtime_error(id);
  }
  // The ids of the page in painting order.
  std::string order() {
    std::string s;
    for (const auto& f : figures()) {
      if (!f->GetId().empty()) s += f->GetId() + " ";
    }
    return s;
  }
  void click(const char* id, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const Rect32 b = fig(id).GetBounds();
    const Point32 c = view().CanvasToClient({b.x + 3, b.y + 3});
    QTest::mouseClick(view().viewport(), Qt::LeftButton, mods, QPoint(c.x, c.y));
  }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&view(), k, mods);
  }
  bool run(int id) { return frame->commands().run(id); }
  int32_t x(const char* id) { return fig(id).GetEdge(0); }
  int32_t y(const char* id) { return fig(id).GetEdge(2); }
  std::string save() {
    EXPECT_TRUE(NoteSave_save(*frame));
    return FileX_readWhole(path);
  }
  void undoAll() {
    SelectionCommands_flushPendingChange(target());
    while (frame->undo().Undo(frame->document())) {
    }
    view().PageChanged();
  }
  SelectionCommandTarget target() {
    return {&sel(), &frame->document(), &frame->undo(), 1, path};
  }
};

}  // namespace

TEST(SelectionKeys, NudgeOrderAlignSizeSpacingAndTabEndInTheSavedNoteAndUndoToTheOriginal) {
  Keys k;
  const std::string original = k.save();
  EXPECT_EQ("a b c t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());

  // Nudging: ten Rights and one Down move a by (10, 1), recorded late as one
  // step; the grid with snapping on does not round the moves.
  ASSERT_TRUE(k.run(Cmd_GridCatch));
  k.click("a");
  ASSERT_EQ(&k.fig("a"), k.sel().HoldPrim());
  for (int i = 0; i < 10; ++i) k.key(Qt::Key_Right);
  k.key(Qt::Key_Down);
  EXPECT_EQ(20, k.x("a"));
  EXPECT_EQ(11, k.y("a"));
  EXPECT_EQ(0u, k.frame->undo().recordCount());
  EXPECT_TRUE(k.frame->undo().IsModified({k.sel().BeforePrim() != nullptr}));
  // The menu's "左(&L)" moves by one unit too; the next recording command
  // records the run as one step.
  ASSERT_TRUE(k.run(Cmd_MoveLeft));
  EXPECT_EQ(19, k.x("a"));
  ASSERT_TRUE(k.run(Cmd_OrderTop));
  EXPECT_EQ(2u, k.frame->undo().recordCount());
  // Top: a rectangle inside the bottom run goes to the end of the run,
  // a second Top to the very top; Bottom back to the run's end, then the
  // head; one step up and down.
  EXPECT_EQ("b c a t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());
  ASSERT_TRUE(k.run(Cmd_OrderTop));
  EXPECT_EQ("b c t1 t2 t3 t4 s1 s2 s3 s4 s5 a ", k.order());
  ASSERT_TRUE(k.run(Cmd_OrderBottom));
  EXPECT_EQ("b c a t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());
  ASSERT_TRUE(k.run(Cmd_OrderBottom));
  EXPECT_EQ("a b c t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());
  const size_t atHead = k.frame->undo().recordCount();
  k.run(Cmd_OrderStepDown);  // never in front of the canvas
  EXPECT_EQ("a b c t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());
  EXPECT_EQ(atHead, k.frame->undo().recordCount());
  ASSERT_TRUE(k.run(Cmd_OrderStepUp));
  EXPECT_EQ("b a c t1 t2 t3 t4 s1 s2 s3 s4 s5 ", k.order());
  k.click("s5");
  ASSERT_TRUE(k.run(Cmd_OrderStepDown));
  EXPECT_EQ("b a c t1 t2 t3 t4 s1 s2 s3 s5 s4 ", k.order());
  const size_t orderSteps = k.frame->undo().recordCount();

  // Alignment of a (x 19), b (25) and c (40), c held: left takes the
  // smallest left edge, right the largest right edge, the centres the held
  // figure's; each command is one step.
  k.click("a");
  k.click("b", Qt::ShiftModifier);
  k.click("c", Qt::ShiftModifier);
  ASSERT_EQ(3u, k.sel().Selection().size());
  ASSERT_EQ(&k.fig("c"), k.sel().HoldPrim());
  ASSERT_TRUE(k.run(Cmd_AlignLeft));
  EXPECT_EQ(19, k.x("a"));
  EXPECT_EQ(19, k.x("b"));
  EXPECT_EQ(19, k.x("c"));
  EXPECT_EQ(orderSteps + 2, k.frame->undo().recordCount());  // b and c changed
  ASSERT_TRUE(k.run(Cmd_AlignRight));
  EXPECT_EQ(59, k.fig("a").GetEdge(1));
  EXPECT_EQ(59, k.fig("b").GetEdge(1));
  EXPECT_EQ(59, k.fig("c").GetEdge(1));
  ASSERT_TRUE(k.run(Cmd_AlignVertical));  // horizontal centre of c: 39
  EXPECT_EQ(39, k.fig("a").GetEdge(4));
  EXPECT_EQ(39, k.fig("b").GetEdge(4));
  ASSERT_TRUE(k.run(Cmd_AlignTop));
  EXPECT_EQ(11, k.y("c"));
  ASSERT_TRUE(k.run(Cmd_AlignBottom));
  EXPECT_EQ(k.fig("c").GetEdge(3), k.fig("a").GetEdge(3));
  ASSERT_TRUE(k.run(Cmd_AlignHorizontal));
  EXPECT_EQ(k.fig("c").GetEdge(5), k.fig("b").GetEdge(5));
  // Same size: the held figure's width and height.
  ASSERT_TRUE(k.run(Cmd_SameWidth));
  ASSERT_TRUE(k.run(Cmd_SameHeight));
  EXPECT_EQ(40, k.fig("a").GetExtent(false));
  EXPECT_EQ(25, k.fig("b").GetExtent(true));

  // Equal spacing of five: sorted by left edge, the first and the last
  // stay, the gap in 1/256 units is ((270 - 10 - 85) * 256 - 256) / 4.
  k.click("s1");
  for (const char* id : {"s4", "s2", "s5", "s3"}) k.click(id, Qt::ShiftModifier);
  ASSERT_EQ(5u, k.sel().Selection().size());
  ASSERT_TRUE(k.run(Cmd_SpaceHorizontal));
  EXPECT_EQ(10, k.x("s1"));
  EXPECT_EQ(62, k.x("s2"));
  EXPECT_EQ(125, k.x("s3"));
  EXPECT_EQ(177, k.x("s4"));
  EXPECT_EQ(250, k.x("s5"));
  // With two selected there is nothing to space: disabled.
  k.click("a");
  k.click("s1");
  k.click("s2", Qt::ShiftModifier);
  EXPECT_FALSE(k.run(Cmd_SpaceHorizontal));

  // The tab order: t1 (1) -> t3 (2) -> t2 (3), the end; Shift+Tab back.
  // A box without a tab order neither starts nor takes part.
  k.click("t4");
  ASSERT_EQ(&k.fig("t4"), k.sel().HoldPrim());
  EXPECT_FALSE(k.run(Cmd_TabNext));
  k.click("t1");
  k.key(Qt::Key_Tab);
  EXPECT_EQ(&k.fig("t3"), k.sel().HoldPrim());
  k.key(Qt::Key_Tab);
  EXPECT_EQ(&k.fig("t2"), k.sel().HoldPrim());
  EXPECT_EQ(1u, k.sel().Selection().size());
  EXPECT_FALSE(k.run(Cmd_TabNext));
  k.key(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(&k.fig("t3"), k.sel().HoldPrim());

  // Delete of two figures is one step; the note's empty attachment folder
  // goes with it.
  const std::string files = k.dir.file("note.files");
  ASSERT_EQ(0, ::mkdir(files.c_str(), 0700));
  k.click("t4");
  k.click("s3", Qt::ShiftModifier);
  const size_t beforeDelete = k.frame->undo().recordCount();
  k.key(Qt::Key_Delete);
  EXPECT_EQ("b a c t1 t2 t3 s1 s2 s5 s4 ", k.order());
  EXPECT_EQ(nullptr, k.sel().HoldPrim());
  EXPECT_EQ(beforeDelete + 2, k.frame->undo().recordCount());
  EXPECT_FALSE(FileX_isFolder(files));

  // The saved note holds every change: read back, it has the same figures
  // in the same order at the same places.
  const std::string edited = k.save();
  EXPECT_NE(original, edited);
  {
    Keys back;
    back.frame->LoadNote(k.path, false);
    EXPECT_EQ(k.order(), back.order());
    for (const char* id : {"a", "b", "c", "s1", "s2", "s4", "s5"}) {
      EXPECT_EQ(k.fig(id).GetBounds(), back.fig(id).GetBounds()) << id;
    }
  }

  // Undo of everything gives the original bytes back.
  k.undoAll();
  EXPECT_EQ(original, k.save());
}

TEST(SelectionKeys, WithoutAHeldFigureTheCursorKeysScrollAndTheCommandsAreDisabled) {
  Keys k;
  k.view().SetZoom(400, 1, {0, 0});
  k.view().ScrollTo({0, 0});
  k.key(Qt::Key_Right);
  k.key(Qt::Key_Down);
  EXPECT_EQ((Point32{40, 40}), k.view().geometry().scroll);
  k.key(Qt::Key_End);
  EXPECT_EQ(ViewGeometry_maxScroll(k.view().geometry()), k.view().geometry().scroll);
  k.key(Qt::Key_Home);
  EXPECT_EQ((Point32{0, 0}), k.view().geometry().scroll);
  for (int id : {Cmd_Delete, Cmd_OrderTop, Cmd_AlignLeft, Cmd_SameWidth, Cmd_TabNext}) {
    EXPECT_FALSE(k.run(id)) << id;
  }
  // Backspace goes back in the link history, empty here: nothing changes.
  k.run(Cmd_KeyBackspace);
  QApplication::processEvents();
  EXPECT_EQ((Point32{0, 0}), k.view().geometry().scroll);
  EXPECT_EQ(0u, k.frame->undo().recordCount());
}

TEST(SelectionKeys, ClosingAfterNudgesAsksToSaveThem) {
  Keys k;
  k.click("a");
  for (int i = 0; i < 3; ++i) k.key(Qt::Key_Right);
  EXPECT_EQ(13, k.x("a"));
  // Not yet recorded, yet the note counts as edited: the close question's
  // default answer saves it.
  k.frame->close();
  Keys back;
  back.frame->LoadNote(k.path, false);
  EXPECT_EQ(13, back.x("a"));
}

TEST(SelectionKeys, BoldFlipsTheSelectedTextBoxesAndPicturesShrinkByPowersOfTwo) {
  Keys k;
  // Bold: the text boxes of the selection flip, the rectangle stays; one
  // undo step.
  k.click("t1");
  k.click("a", Qt::ShiftModifier);
  EXPECT_FALSE(k.run(Cmd_Bold));  // a rectangle is held
  k.click("t2", Qt::ShiftModifier);
  ASSERT_TRUE(k.run(Cmd_Bold));
  EXPECT_TRUE(static_cast<Text_Box&>(k.fig("t1")).bold);
  EXPECT_TRUE(static_cast<Text_Box&>(k.fig("t2")).bold);
  EXPECT_FALSE(static_cast<Text_Box&>(k.fig("t3")).bold);
  EXPECT_EQ(2u, k.frame->undo().recordCount());
  ASSERT_TRUE(k.frame->undo().Undo(k.frame->document()));
  EXPECT_FALSE(static_cast<Text_Box&>(k.fig("t1")).bold);

  // A picture of 80 x 60 pixels shown 100 wide: p = 124, so 100 %; then
  // 50 %, 25 %; back to 100 % only while it differs.
  auto& image = static_cast<Rect_Ex&>(k.fig("s5"));
  image.shape = RectShape_Image;
  image.naturalWidth = 80;
  image.naturalHeight = 60;
  image.width = 100;
  image.naturalSizeLock = true;
  k.click("s5");
  ASSERT_TRUE(k.run(Cmd_ImageShrink));
  EXPECT_EQ(80, image.width);
  EXPECT_EQ(60, image.height);
  EXPECT_FALSE(image.naturalSizeLock);
  EXPECT_FALSE(k.run(Cmd_Image100));
  ASSERT_TRUE(k.run(Cmd_ImageShrink));
  EXPECT_EQ(40, image.width);
  ASSERT_TRUE(k.run(Cmd_ImageShrink));
  EXPECT_EQ(20, image.width);
  EXPECT_EQ(15, image.height);
  ASSERT_TRUE(k.run(Cmd_Image100));
  EXPECT_EQ(80, image.width);
  // Zoom up: at its pixel size already, nothing; shown 40 wide, the view
  // zooms to 200 % and the picture is locked at its size (one step).
  EXPECT_FALSE(k.run(Cmd_ImageZoomUp));
  ASSERT_TRUE(k.run(Cmd_ImageShrink));
  ASSERT_EQ(40, image.width);
  ASSERT_TRUE(k.run(Cmd_ImageZoomUp));
  EXPECT_EQ(200, k.view().geometry().zoom);
  EXPECT_TRUE(image.naturalSizeLock);
  EXPECT_FALSE(k.run(Cmd_ImageZoomUp));
  ASSERT_TRUE(k.frame->undo().Undo(k.frame->document()));
  EXPECT_FALSE(static_cast<Rect_Ex&>(k.fig("s5")).naturalSizeLock);
  // A picture whose pixel size is not known yet is left alone.
  image.naturalWidth = 0;
  EXPECT_FALSE(k.run(Cmd_ImageShrink));
}
