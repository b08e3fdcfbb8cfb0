// The tool bars, the style sets and the window modes in the main window:
// each creation tool of the figure bar makes its figure when its button is
// clicked and the page dragged; the bars hide, show and keep their places
// from window to window; a style set's samples become the tools'
// templates; viewer mode leaves a bare window that reloads its note once
// the file has been rewritten completely.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/mainframe/main_frame.h"
#include "app/pages/page_commands.h"
#include "app/propbar/prop_bar.h"
#include "app/toolbars/tool_bars.h"
#include "app/windows/window_place.h"
#include "core/filex/filex.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/editing/edit_tools.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

const char kEmpty[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00820\" height=\"01020\" sub_doctype=\"zerbin-300\">\r\n"
    "<g id=\"page1\" width=\"800\" height=\"1000\" transform=\"translate(+10,+10)\">\r\n"
    "</g>\r\n"
    "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n</zerbin-pages>\r\n"
    "</svg>\r\n";

// A style set: a red text, a blue rectangle, a label "Line" over a line of
// width 5, a label "Arrow" over nothing.
const char kStyles[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<text id=\"Text\" x=\"40\" y=\"40\" style=\"font-size:12pt;fill:rgb(255,0,0)\">T</text>\r\n"
    "<rect id=\"Rect\" x=\"40\" y=\"100\" width=\"80\" height=\"40\" "
    "style=\"fill:rgb(0,0,255)\" fill=\"rgb(0,0,255)\"/>\r\n"
    "<rect id=\"Line\" x=\"40\" y=\"200\" width=\"200\" height=\"40\" style=\"fill:none\"/>\r\n"
    "<line x1=\"60\" y1=\"220\" x2=\"220\" y2=\"220\" style=\"stroke:rgb(0,0,0);stroke-width:5\"/>\r\n"
    "<rect id=\"Arrow\" x=\"40\" y=\"400\" width=\"200\" height=\"40\" style=\"fill:none\"/>\r\n"
    "</svg>\r\n";

struct Window {
  testing_support::TempDir& dir;
  std::unique_ptr<CMainFrame> f;
  std::string path;

  explicit Window(testing_support::TempDir& d, const std::string& name = "note.svg",
                  const char* note = kEmpty)
      : dir(d), path(d.file(name)) {
    FileX_makeFolders(dir.file("prof/"), false);
    FileX_makeFolders(dir.file("work/"), false);
    FileX_makeFolders(dir.file("design/"), false);
    if (!FileX_exists(path)) FileX_writeWhole(path, note);
    CMainFrameOptions o;
    o.workFolder = dir.file("work");
    o.save.profileFolder = dir.file("prof/");
    const std::string design = dir.file("design");
    o.save.variables = [design](std::string_view name, std::string& value) {
      if (name != "design") return false;
      value = design;
      return true;
    };
    f = std::make_unique<CMainFrame>(std::string(), o);
    f->LoadNote(path, false);
    f->resize(1100, 900);
    f->show();
    f->view().m_Sleep = [](int) {};
    QApplication::processEvents();
  }
  ~Window() { f->undo().MarkSaved(); }

  FigureList& list() { return f->document().workingFigures(); }
  // The figure made last (rectangles go below the other figures).
  const CadPrim& newest() {
    const CadPrim* n = &list().at(0);
    for (const auto& x : list()) {
      if (x->GetNumber() > n->GetNumber()) n = x.get();
    }
    return *n;
  }
  QToolBar* bar(int32_t bit) { return f->toolBars().bar(bit); }
  void clickTool(int32_t command) {
    QAction* a = f->commands().action(command);
    ASSERT_NE(nullptr, a);
    QWidget* button = bar(ToolBar_figure)->widgetForAction(a);
    ASSERT_NE(nullptr, button) << command;
    QTest::mouseClick(button, Qt::LeftButton);
    QApplication::processEvents();
  }
  void drag(Point32 from, Point32 to) {
    QWidget* vp = f->view().viewport();
    auto at = [&](Point32 p) {
      const Point32 c = f->view().CanvasToClient(p);
      return QPoint(c.x, c.y);
    };
    QTest::mousePress(vp, Qt::LeftButton, {}, at(from));
    for (int i = 1; i <= 4; ++i) {
      const Point32 p{from.x + (to.x - from.x) * i / 4, from.y + (to.y - from.y) * i / 4};
      QMouseEvent move(QEvent::MouseMove, at(p), vp->mapToGlobal(at(p)), Qt::NoButton,
                       Qt::LeftButton, {});
      QApplication::sendEvent(vp, &move);
    }
    QTest::mouseRelease(vp, Qt::LeftButton, {}, at(to));
    QApplication::processEvents();
  }
};

}  // namespace

TEST(ToolBars, EachCreationToolOfTheFigureBarMakesItsFigure) {
  testing_support::TempDir dir;
  Window w(dir);
  // The figure bar holds the tools with a command, each with an icon and
  // the tool table's tip.
  QToolBar* figures = w.bar(ToolBar_figure);
  ASSERT_NE(nullptr, figures);
  ASSERT_TRUE(figures->isVisible());
  int32_t y = 40;
  for (int32_t tool = EditTool_text; tool <= EditTool_diamond; ++tool) {
    const EditToolInfo& info = EditTools_table()[tool];
    QAction* a = w.f->commands().action(info.command);
    ASSERT_NE(nullptr, a) << tool;
    EXPECT_FALSE(a->icon().isNull()) << tool;
    if (info.japanese[0] != '\0') EXPECT_EQ(QtText_fromCp932(info.japanese), a->toolTip());
    std::vector<int32_t> old;
    for (const auto& f : w.list()) old.push_back(f->GetNumber());
    w.clickTool(info.command);
    EXPECT_EQ(tool, w.f->view().m_Tool);
    EXPECT_TRUE(a->isChecked()) << tool;
    EXPECT_FALSE(w.f->commands().action(32775)->isChecked()) << "one tool shown checked";
    w.drag({100, y}, {220, y + 30});
    // The guide line makes its line and its text.
    std::vector<const CadPrim*> made;
    for (const auto& f : w.list()) {
      if (std::find(old.begin(), old.end(), f->GetNumber()) == old.end()) made.push_back(f.get());
    }
    ASSERT_EQ(tool == EditTool_guideLine ? 2u : 1u, made.size()) << "tool " << tool;
    const CadPrim& last = *made.back();
    const FigureKind kind = EditTools_isText(tool)                            ? FigureKind_Text
                            : tool == EditTool_corner                         ? FigureKind_CorneredLine
                            : tool == EditTool_matome                         ? FigureKind_Matome
                            : tool == EditTool_line || tool == EditTool_arrow ? FigureKind_Line
                            : tool == EditTool_guideLine                      ? FigureKind_Text
                                                                              : FigureKind_Rect;
    EXPECT_EQ(kind, last.GetKind()) << "tool " << tool;
    // A text box waits for its text: a character keeps it.
    if (last.GetKind() == FigureKind_Text) QTest::keyClicks(&w.f->view(), "x");
    w.f->commands().run(32775);  // back to the select tool
    y += 45;
  }
}

TEST(ToolBars, BarsHideShowAndKeepTheirPlacesForTheNextWindow) {
  testing_support::TempDir dir;
  {
    Window w(dir);
    ToolBars& bars = w.f->toolBars();
    QAction* all = w.f->commands().action(Cmd_AllBars);
    EXPECT_EQ("すべてのバーを非表示(&A)", QtText_toCp932(all->text()));
    all->trigger();
    QApplication::processEvents();
    EXPECT_EQ(0, bars.visibleMask() & (ToolBar_file | ToolBar_figure | ToolBar_align));
    EXPECT_EQ("すべてのバーを表示(&A)", QtText_toCp932(all->text()));
    all->trigger();
    QApplication::processEvents();
    // The pen bar has its tools now that ink is drawn.
    EXPECT_EQ(ToolBar_file | ToolBar_figure | ToolBar_align | ToolBar_input | ToolBar_pen,
              bars.visibleMask());
    // The alignment bar hidden, the figure bar moved to the left edge.
    w.f->commands().run(Cmd_AlignBar);
    w.f->addToolBar(Qt::LeftToolBarArea, w.bar(ToolBar_figure));
    QApplication::processEvents();
    ASSERT_TRUE(WindowPlace_save(*w.f, dir.file("prof/"), {}));
  }
  const std::string ini = testing_support::ReadFileBytes(dir.file("prof/window.ini"));
  EXPECT_NE(std::string::npos, ini.find("bar = figureBar, 1, 1, 0\r\n")) << ini;
  EXPECT_NE(std::string::npos, ini.find("bar = alignBar, 4, 0, ")) << ini;
  Window next(dir, "other.svg");
  EXPECT_EQ(Qt::LeftToolBarArea, next.f->toolBarArea(next.bar(ToolBar_figure)));
  EXPECT_TRUE(next.bar(ToolBar_align)->isHidden());
  EXPECT_FALSE(next.bar(ToolBar_file)->isHidden());
}

TEST(ToolBars, StyleSetSamplesBecomeTemplatesAndResetForgetsThem) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window w(dir);
  // Neither file: the box names the ".svgz" one.
  w.f->commands().run(Cmd_DefaultStyleSet);
  ASSERT_EQ(1u, prompts.asked.size());
  EXPECT_EQ(dir.file("design/Default Design.svgz") + "が見つかりません。", prompts.asked[0].text);

  FileX_writeWhole(dir.file("design/Default Design.svg"), kStyles);
  w.f->commands().run(Cmd_DefaultStyleSet);
  EXPECT_EQ(1u, prompts.asked.size());
  StyleSet& styles = w.f->toolBars().styles();
  ASSERT_NE(nullptr, styles.slot(EditTool_rect));
  EXPECT_EQ(nullptr, styles.slot(EditTool_arrow)) << "a label over no line leaves the slot";
  ASSERT_NE(nullptr, styles.slot(EditTool_text));
  EXPECT_EQ("", styles.slot(EditTool_text)->GetId());

  w.clickTool(EditTools_table()[EditTool_rect].command);
  w.drag({100, 100}, {200, 160});
  ASSERT_EQ(FigureKind_Rect, w.newest().GetKind());
  const auto& rect = static_cast<const Rect_Ex&>(w.newest());
  EXPECT_EQ(0xFF0000u, rect.fillColour);
  EXPECT_EQ(100, rect.width);
  w.clickTool(EditTools_table()[EditTool_line].command);
  w.drag({100, 300}, {300, 300});
  ASSERT_EQ(FigureKind_Line, w.newest().GetKind());
  EXPECT_EQ(5, static_cast<const Line_Ex&>(w.newest()).width());

  w.f->commands().run(Cmd_ResetStyleSet);
  EXPECT_EQ(nullptr, styles.slot(EditTool_rect));
  w.clickTool(EditTools_table()[EditTool_rect].command);
  EXPECT_EQ(EditTool_rect, w.f->view().m_Tool);
  w.drag({100, 400}, {200, 460});
  ASSERT_EQ(FigureKind_Rect, w.newest().GetKind());
  EXPECT_EQ(0xFFFFFFu, static_cast<const Rect_Ex&>(w.newest()).fillColour);
}

TEST(ToolBars, ViewerModeIsABareWindowThatReloadsACompleteRewriteOnce) {
  testing_support::TempDir dir;
  Window w(dir);
  w.f->toolBars().watcherTimes = {50, 100, 5};
  const QSize viewSize = w.f->view().size();
  const int32_t mask = w.f->toolBars().visibleMask();
  ASSERT_TRUE(w.f->commands().run(Cmd_ViewerMode));
  EXPECT_TRUE(w.f->toolBars().viewerMode());
  EXPECT_FALSE(w.f->menuBar()->isVisible());
  EXPECT_EQ(0, w.f->toolBars().visibleMask());
  EXPECT_FALSE(w.f->propBar().isVisible());
  EXPECT_TRUE(w.f->pages().paneHidden());

  // Another program rewrites the note: half of it first, then all of it.
  const std::string changed = std::string(kEmpty).replace(
      std::string(kEmpty).find("</g>"), 0,
      "<rect x=\"10\" y=\"10\" width=\"50\" height=\"50\" style=\"fill:rgb(0,0,255)\"/>\r\n");
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  FileX_writeWhole(w.path, changed.substr(0, changed.size() - 30));
  QTest::qWait(500);
  EXPECT_EQ(1u, w.list().size()) << "a half-written note is not read";
  FileX_writeWhole(w.path, changed);
  QTRY_COMPARE_WITH_TIMEOUT(w.list().size(), size_t{2}, 5000);
  const CadPrim* reloaded = &w.list().at(1);
  QTest::qWait(400);
  EXPECT_EQ(reloaded, &w.list().at(1)) << "reloaded once";

  ASSERT_TRUE(w.f->commands().run(Cmd_ViewerMode));
  EXPECT_FALSE(w.f->toolBars().viewerMode());
  EXPECT_TRUE(w.f->menuBar()->isVisible());
  EXPECT_EQ(mask, w.f->toolBars().visibleMask());
  EXPECT_TRUE(w.f->propBar().isVisible());
  EXPECT_FALSE(w.f->pages().paneHidden());
  EXPECT_EQ(viewSize, w.f->view().size());
}

TEST(ToolBars, NoteBarDocksOnTheTopEdgeAndGivesBackTheWindow) {
  const QRect work(0, 30, 1280, 770), screen(0, 0, 1280, 800);
  // Narrow windows span the work area's top, 56 pixels high; a window wider
  // than four fifths of it keeps its rectangle, never higher than half the
  // screen.
  EXPECT_EQ(QRect(0, 30, 1280, 56), ToolBars_noteBarRect(QRect(100, 100, 800, 600), work, screen));
  EXPECT_EQ(QRect(10, 40, 1100, 300), ToolBars_noteBarRect(QRect(10, 40, 1100, 300), work, screen));
  EXPECT_EQ(400, ToolBars_noteBarRect(QRect(10, 40, 1100, 700), work, screen).height());

  testing_support::TempDir dir;
  Window w(dir);
  const int32_t mask = w.f->toolBars().visibleMask();
  ASSERT_TRUE(w.f->commands().run(Cmd_NoteBarMode));
  EXPECT_TRUE(w.f->toolBars().noteBarMode());
  EXPECT_TRUE((w.f->windowFlags() & Qt::FramelessWindowHint) != 0);
  EXPECT_TRUE((w.f->windowFlags() & Qt::WindowStaysOnTopHint) != 0);
  EXPECT_FALSE(w.f->menuBar()->isVisible());
  EXPECT_EQ(0, w.f->toolBars().visibleMask());
  EXPECT_FALSE(w.f->propBar().isVisible());
  ASSERT_TRUE(w.f->commands().run(Cmd_NoteBarOff));
  EXPECT_FALSE(w.f->toolBars().noteBarMode());
  EXPECT_FALSE((w.f->windowFlags() & Qt::FramelessWindowHint) != 0);
  EXPECT_TRUE(w.f->menuBar()->isVisible());
  EXPECT_EQ(mask, w.f->toolBars().visibleMask());
  EXPECT_TRUE(w.f->propBar().isVisible());
  EXPECT_FALSE(w.f->pages().paneHidden());
  EXPECT_EQ(200, w.f->height());
}
