// The editing state machine without a widget: the drag threshold at 50 %
// and 400 %, the double click by timing and distance (15 units apart is one,
// 16 is not), and a double click on empty canvas making a text box that a
// pull turns into a line to a new box.
#include <gtest/gtest.h>

#include <memory>

#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text_metrics.h"
#include "view/editing/edit_tools.h"
#include "view/editing/mouse_editor.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

namespace {

struct Page {
  QtTextMetrics metrics;
  FigureList list;
  Canvas* canvas;
  Rect_Ex* rect;
  ViewSelection sel{list};
  MouseEditor editor;
  Page() {
    auto c = std::make_unique<Canvas>();
    c->setSize(1000, 1000);
    canvas = static_cast<Canvas*>(&list.append(std::move(c)));
    auto r = std::make_unique<Rect_Ex>();
    r->x = 100;
    r->y = 100;
    r->width = 100;
    r->height = 60;
    rect = static_cast<Rect_Ex*>(&list.append(std::move(r)));
  }
  EditPage page(int32_t zoom = 100) {
    EditPage p{sel};
    p.canvas = canvas;
    p.zoom = zoom;
    p.metrics = &metrics;
    return p;
  }
  void press(Point32 at, uint32_t tick, int32_t zoom = 100) {
    EditPage p = page(zoom);
    editor.Press(p, {at, false, false, tick});
  }
  void move(Point32 at, int32_t zoom = 100) {
    EditPage p = page(zoom);
    editor.Move(p, {at, false, false, 0});
  }
  void release(Point32 at, uint32_t tick) {
    EditPage p = page();
    editor.Release(p, {at, false, false, tick});
  }
};

}  // namespace

TEST(MouseEditor, TheDragThresholdFollowsTheZoom) {
  for (auto [zoom, threshold] : {std::pair{50, 8}, std::pair{400, 1}}) {
    Page pg;
    pg.press({150, 130}, 0, zoom);
    pg.move({150 + threshold, 130}, zoom);
    EXPECT_EQ(100, pg.rect->x) << zoom;
    EXPECT_TRUE(pg.editor.m_NotMoved);
    pg.move({150 + threshold + 1, 130}, zoom);
    EXPECT_EQ(100 + threshold + 1, pg.rect->x) << zoom;
    EXPECT_FALSE(pg.editor.m_NotMoved);
    pg.release({150 + threshold + 1, 130}, 10);
    EXPECT_FALSE(pg.editor.m_LeftDrag);
    EXPECT_EQ(nullptr, pg.sel.BeforePrim());
    EXPECT_TRUE(pg.sel.BeforeCopies().empty());
  }
}

TEST(MouseEditor, ADoubleClickIsTwoPressesWithinTheTimeAndFifteenUnits) {
  // 16 units apart: two single clicks on empty canvas, nothing made.
  Page far;
  far.press({500, 500}, 1000);
  far.release({500, 500}, 1010);
  far.press({508, 508}, 1100);
  far.release({508, 508}, 1110);
  EXPECT_EQ(2u, far.list.size());
  // 15 apart but after the double-click time: nothing either.
  Page late;
  late.editor.hooks().doubleClickTime = 500;
  late.press({500, 500}, 1000);
  late.release({500, 500}, 1010);
  late.press({507, 508}, 1510);
  late.release({507, 508}, 1520);
  EXPECT_EQ(2u, late.list.size());
  // The same late press that the window system calls a double click is one.
  Page told;
  told.press({500, 500}, 1000);
  told.release({500, 500}, 1010);
  {
    EditPage p = told.page();
    MouseInput in{{507, 508}, false, false, 1510};
    in.doubleClick = true;
    told.editor.Press(p, in);
  }
  EXPECT_EQ(3u, told.list.size());
  EXPECT_TRUE(told.editor.m_DoubleDrag);
  // 15 apart in time: a text box at the point, held and created.
  Page pg;
  pg.press({500, 500}, 1000);
  pg.release({500, 500}, 1010);
  pg.press({507, 508}, 1100);
  ASSERT_EQ(3u, pg.list.size());
  auto* box = dynamic_cast<Text_Box*>(&pg.list.at(2));
  ASSERT_NE(nullptr, box);
  EXPECT_EQ("ABC", box->text());
  EXPECT_EQ(TextBoxFrame_None, box->frameShape);
  EXPECT_TRUE(pg.editor.m_Creating);
  EXPECT_TRUE(pg.editor.m_DoubleDrag);
  EXPECT_EQ(box, pg.sel.HoldPrim());
  // Pulled more than 30 units: the box goes, a line runs from the point
  // to a new box at its end.
  pg.move({507, 560});
  pg.move({620, 640});
  pg.release({620, 640}, 1300);
  ASSERT_EQ(4u, pg.list.size());
  auto* line = dynamic_cast<Line_Ex*>(&pg.list.at(2));
  ASSERT_NE(nullptr, line);
  EXPECT_EQ((Point32{507, 508}), line->point1());
  auto* target = dynamic_cast<Text_Box*>(&pg.list.at(3));
  ASSERT_NE(nullptr, target);
  EXPECT_EQ(target, line->GetEndTarget(2));
  EXPECT_EQ(target, pg.sel.HoldPrim());
  EXPECT_FALSE(pg.editor.m_DoubleDrag);
  EXPECT_FALSE(pg.editor.m_Creating);
}

TEST(MouseEditor, AStyleTemplateStandsInForTheDefaultFigure) {
  Page pg;
  auto title = std::make_unique<Text_Box>(&pg.metrics);
  title->className = "title";
  title->SetBasePoint(50, 40);
  title->Layout(pg.metrics, DrawContext{});
  pg.list.append(std::move(title));
  pg.editor.hooks().templateFor = [&pg](int32_t tool) -> std::unique_ptr<CadPrim> {
    if (tool == EditTool_rect) {
      auto r = std::make_unique<Rect_Ex>();
      r->fillColour = 0x00FF00;
      r->strokeWidth = 3;
      r->url = "http://example.com/";
      r->SetNumber(7);
      return r;
    }
    if (tool == EditTool_rectText) {
      auto t = std::make_unique<Text_Box>(&pg.metrics);
      t->className = "big title";
      t->SetText("from the template");
      return t;
    }
    return nullptr;
  };
  pg.editor.SetTool(EditTool_rect);
  pg.press({300, 300}, 0);
  pg.move({360, 340});
  pg.release({360, 340}, 10);
  // In the bottom run: after the rectangle, before the title.
  auto& r = dynamic_cast<Rect_Ex&>(pg.list.at(2));
  EXPECT_EQ(0x00FF00u, r.fillColour);
  EXPECT_EQ(3, r.strokeWidth);
  EXPECT_EQ("", r.url);
  EXPECT_NE(7, r.GetNumber());
  EXPECT_EQ((Rect32{300, 300, 60, 40}), (Rect32{r.x, r.y, r.width, r.height}));
  pg.editor.SetTool(EditTool_rectText);
  pg.press({600, 600}, 100);
  pg.release({600, 600}, 110);
  auto& t = dynamic_cast<Text_Box&>(pg.list.at(pg.list.size() - 1));
  EXPECT_EQ("from the template", t.text());
  EXPECT_EQ((Point32{600, 600}), t.basePoint());
  EXPECT_EQ("keyword", t.className);
}

TEST(MouseEditor, EscapeTakesBackWhatTheGestureMadeAndLeavesTheStateIdle) {
  Page pg;
  // A guide line with its box, a cornered line hanging on a box, a pulled line.
  auto box = std::make_unique<Text_Box>(&pg.metrics);
  box->SetBasePoint(600, 600);
  box->Layout(pg.metrics, DrawContext{});
  Text_Box* node = static_cast<Text_Box*>(&pg.list.append(std::move(box)));
  const TextBoxFrameBounds f = node->FrameBounds();
  const Point32 inside{(f.left + f.right) / 2, (f.top + f.bottom) / 2};
  for (int32_t tool : {int32_t{EditTool_guideLine}, int32_t{EditTool_corner}}) {
    SCOPED_TRACE(tool);
    pg.editor.SetTool(tool);
    pg.press(inside, 0);
    pg.move({inside.x + 100, inside.y + 80});
    EXPECT_GT(pg.list.size(), 3u);
    EditPage p = pg.page();
    EXPECT_TRUE(pg.editor.Cancel(p));
    EXPECT_EQ(3u, pg.list.size());
    EXPECT_EQ(0, node->GetAttachmentCount());
    EXPECT_FALSE(pg.editor.m_LeftDrag || pg.editor.m_Creating || pg.editor.m_DoubleDrag);
    EXPECT_EQ(nullptr, pg.sel.HoldPrim());
    EXPECT_TRUE(pg.sel.BeforeCopies().empty());
  }
  pg.editor.SetTool(EditTool_select);
  pg.press(inside, 1000);
  pg.release(inside, 1010);
  pg.press(inside, 1100);  // a double click on the box
  pg.move({inside.x, inside.y + 90});
  EXPECT_EQ(4u, pg.list.size());
  EXPECT_EQ(1, node->GetAttachmentCount());
  EditPage p = pg.page();
  EXPECT_TRUE(pg.editor.Cancel(p));
  EXPECT_EQ(3u, pg.list.size());
  EXPECT_EQ(0, node->GetAttachmentCount());
  EXPECT_EQ(TextBoxFrame_Rectangle, node->frameShape);
  EXPECT_FALSE(pg.editor.Cancel(p));
}
