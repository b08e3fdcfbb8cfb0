#include "figures/canvas/canvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "figures/base/snapshot.h"
#include "support/recording_surface.h"
#include "support/test_support.h"
#include "figures/base/test_kinds.h"

namespace {

using testing_support::CatchError;

// A canvas with every persistent field away from its default.
void fillCanvas(Canvas& c) {
  c.setCanvasType(CanvasType_Menu);
  c.setSize(640, 480);
  c.setPageInterval(2500);
  c.setSaveImageFile("/notes/page.png");
  c.setClassName("cls");
  c.SetId("page1");
  c.setPubPage("pp");
  c.setPubFile("pf");
  c.setFilterVariables("a=1;");
}

std::string repeatSo(int n) {  // n x "ソ" (83 5C)
  std::string s;
  for (int i = 0; i < n; ++i) s += "\x83\x5C";
  return s;
}

}  // namespace

TEST(Canvas, IdentitySelectionAndHitBehaviour) {
  Canvas c;
  EXPECT_EQ(FigureKind_Canvas, c.GetKind());
  EXPECT_EQ("キャンバス", c.GetKindNameJapanese());
  EXPECT_EQ("Canvas", c.GetKindNameEnglish());
  EXPECT_EQ(CanvasType_Document, c.canvasType());
  EXPECT_EQ(-1, c.GetNumber());
  c.SetNumber(42);
  EXPECT_EQ(-1, c.GetNumber());
  c.SetSelected(false);
  c.SetMoveMark(false);
  c.SetIsCopy(true);
  EXPECT_TRUE(c.IsSelected());
  EXPECT_TRUE(c.HasMoveMark());
  EXPECT_TRUE(c.KeepInSelection());
  EXPECT_FALSE(c.IntersectsRect({0, 0, 1000, 1000}));
  EXPECT_FALSE(c.IntersectsRect({10, 10, 5, 5}));
  for (int zoom : {25, 100, 400}) {
    for (Point32 p : {Point32{0, 0}, Point32{100, 100}, Point32{450, 300}, Point32{449, 299}}) {
      HitResult h = c.HitTest(p.x, p.y, zoom, 0);
      EXPECT_EQ(0, h.code);
      EXPECT_EQ(HitCursor_None, h.cursor);
    }
  }
  for (int which = 0; which < 8; ++which) EXPECT_EQ(0, c.GetEdge(which));
  EXPECT_EQ(102, CatchError([&] { c.GetEdge(8); }).code);
  EXPECT_EQ((Rect32{0, 0, 0, 0}), c.GetBounds());
  EXPECT_EQ(0, c.GetExtent(false));
  EXPECT_EQ(0, c.GetExtent(true));
  c.SetEdge(1, 77);
  c.SetExtent(true, 5);
  c.MoveBy(30, 40);
  EXPECT_EQ(450, c.width());
  EXPECT_EQ(300, c.height());
  EXPECT_EQ("", c.GetPub());
}

TEST(Canvas, ResizingByTheCornerHandleIsClamped) {
  Canvas c;
  EXPECT_EQ((Point32{450, 300}), c.GetHandlePoint(8));
  EXPECT_EQ((Point32{450, 300}), c.GetHandlePoint(1));
  c.DragHandleBy(8, -10, 5, false, 0);
  EXPECT_EQ(440, c.width());
  EXPECT_EQ(305, c.height());
  c.DragHandleTo(3, 123, 45, false, 0, false);
  EXPECT_EQ((Point32{123, 45}), c.GetHandlePoint(0));
  c.DragHandleBy(1, -1000, INT32_MIN, false, 0);
  EXPECT_EQ((Point32{2, 2}), c.GetHandlePoint(8));
  c.DragHandleTo(8, INT32_MAX, 100000, false, 0, false);
  EXPECT_EQ((Point32{99999, 99999}), c.GetHandlePoint(8));
  c.DragHandleBy(8, INT32_MAX, INT32_MAX, false, 0);
  EXPECT_EQ((Point32{99999, 99999}), c.GetHandlePoint(8));
}

TEST(Canvas, PropertyRowsInBothLanguages) {
  Canvas c;
  fillCanvas(c);
  c.setGrid(10, 12);
  ASSERT_EQ(12, c.GetPropertyCount());
  struct Row {
    const char* ja;
    const char* en;
    PropertyRowKind kind;
    const char* value;
  } rows[] = {
      {"タイプ", "Canvas Type", PropertyRowKind_Choice, "2"},
      {"class", "class", PropertyRowKind_Text, "cls"},
      {"id", "id", PropertyRowKind_Id, "page1"},
      {"pub(file)", "pub(file)", PropertyRowKind_Text, "pf"},
      {"pub(page)", "pub(page)", PropertyRowKind_Text, "pp"},
      {"キャンバスの幅", "Width of Canvas", PropertyRowKind_Integer, "640"},
      {"キャンバスの高さ", "Height of Canvas", PropertyRowKind_Integer, "480"},
      {"グリッドの間隔（横）", "Width of Grid", PropertyRowKind_Integer, "10"},
      {"グリッドの間隔（縦）", "Height of Grid", PropertyRowKind_Integer, "12"},
      {"フィルタ変数", "フィルタ変数", PropertyRowKind_Text, "a=1;"},
      {"次ページ間隔（ミリ秒）", "Chg Page Interval", PropertyRowKind_Integer, "2500"},
      {"同時保存ファイル", "Corresponding Save File", PropertyRowKind_Url, "/notes/page.png"},
  };
  for (int i = 0; i < 12; ++i) {
    for (bool ja : {true, false}) {
      PropertyRow r = c.GetProperty(i, ja, 1024, "");
      EXPECT_EQ(ja ? rows[i].ja : rows[i].en, r.name) << i;
      EXPECT_EQ(rows[i].kind, r.kind) << i;
      EXPECT_EQ(rows[i].value, r.value) << i;
      if (r.kind == PropertyRowKind_Integer) {
        EXPECT_EQ(i == 10 ? 0 : 2, r.extra.minimum) << i;
        EXPECT_EQ(i == 10 ? INT32_MAX : 99999, r.extra.maximum) << i;
      }
    }
  }
  EXPECT_EQ((std::vector<std::string>{"ホワイトボード", "ドキュメント", "メニュー", "デスクトップ"}),
            c.GetProperty(0, true, 1024, "").extra.choices);
  EXPECT_EQ((std::vector<std::string>{"WhiteBoard", "Document", "Menu", "Desktop"}),
            c.GetProperty(0, false, 1024, "").extra.choices);
  EXPECT_EQ("PNG形式 (*.png)|*.png|JPEG形式 (*.jpg)|*.jpg;*.jpeg||",
            c.GetProperty(11, true, 1024, "").extra.filter);
  EXPECT_EQ("PNG format (*.png)|*.png|JPEG format (*.jpg)|*.jpg;*.jpeg||",
            c.GetProperty(11, false, 1024, "").extra.filter);
  c.setSaveImageFile("/notes/x.PNG");
  EXPECT_EQ("PNG形式 (*.png)|*.png|JPEG形式 (*.jpg)|*.jpg;*.jpeg||",
            c.GetProperty(11, true, 1024, "").extra.filter);
  for (const char* jpegFirst : {"/notes/x.jpg", "", "/notes/png"}) {
    c.setSaveImageFile(jpegFirst);
    EXPECT_EQ("JPEG形式 (*.jpg)|*.jpg;*.jpeg|PNG形式 (*.png)|*.png||",
              c.GetProperty(11, true, 1024, "").extra.filter);
    EXPECT_EQ("JPEG format (*.jpg)|*.jpg;*.jpeg|PNG format (*.png)|*.png||",
              c.GetProperty(11, false, 1024, "").extra.filter);
  }
  // Relative to the note folder when one is given.
  c.setSaveImageFile("/notes/img/p.jpg");
  EXPECT_EQ("img/p.jpg", c.GetProperty(11, true, 1024, "/notes").value);
  EXPECT_EQ("/notes/img/p.jpg", c.GetProperty(11, true, 1024, "").value);
  // Past the end; the value buffer's capacity cuts at a character boundary.
  EXPECT_EQ(PropertyRowKind_ReadOnly, c.GetProperty(12, true, 1024, "").kind);
  EXPECT_EQ(PropertyRowKind_ReadOnly, c.GetProperty(-1, true, 1024, "").kind);
  c.setPubFile("a" + repeatSo(5));
  EXPECT_EQ("a\x83\x5C", c.GetProperty(3, true, 5, "").value);
  EXPECT_EQ("a\x83\x5C\x83\x5C", c.GetProperty(3, true, 6, "").value);
}

TEST(Canvas, SetPropertyParsesAndClamps) {
  Canvas c;
  c.SetProperty(0, "0", "");
  EXPECT_EQ(CanvasType_WhiteBoard, c.canvasType());
  c.SetProperty(0, " 3", "");
  EXPECT_EQ(CanvasType_Desktop, c.canvasType());
  c.SetProperty(0, "4", "");  // no such choice
  c.SetProperty(0, "-1", "");
  EXPECT_EQ(CanvasType_Desktop, c.canvasType());

  c.SetProperty(5, "  +640px", "");
  c.SetProperty(6, "\t481", "");
  EXPECT_EQ(640, c.width());
  EXPECT_EQ(481, c.height());
  c.SetProperty(5, "abc", "");  // no digits: 0, clamped to 2
  c.SetProperty(6, "99999999999", "");
  EXPECT_EQ(2, c.width());
  EXPECT_EQ(99999, c.height());

  // Grid spacings: 0, negative and junk become the minimum 2.
  c.SetProperty(7, "0", "");
  c.SetProperty(8, "-5", "");
  EXPECT_EQ(2, c.gridX());
  EXPECT_EQ(2, c.gridY());
  c.SetProperty(7, "25", "");
  c.SetProperty(8, "- 4", "");  // a blank after the sign ends the number
  EXPECT_EQ(25, c.gridX());
  EXPECT_EQ(2, c.gridY());

  c.SetProperty(10, "1500ms", "");
  EXPECT_EQ(1500, c.pageInterval());
  c.SetProperty(10, "-3", "");
  EXPECT_EQ(0, c.pageInterval());

  // Text rows keep at most capacity - 1 bytes, never half a character.
  c.SetProperty(1, "x" + repeatSo(40), "");  // 81 bytes -> 63
  EXPECT_EQ("x" + repeatSo(31), c.className());
  c.SetProperty(3, repeatSo(300), "");  // 600 -> 510 (511 would split)
  EXPECT_EQ(repeatSo(255), c.pubFile());
  c.SetProperty(4, "z" + repeatSo(300), "");
  EXPECT_EQ(511u, c.pubPage().size());
  c.SetProperty(9, std::string(600, 'f'), "");
  EXPECT_EQ(std::string(511, 'f'), c.filterVariables());

  // id: cut to 259 bytes, then blanks and surrounding quotes go.
  c.SetProperty(2, "  \"top\"  ", "");
  EXPECT_EQ("top", c.GetId());
  c.SetId(" " + std::string(300, 'i'));
  EXPECT_EQ(std::string(258, 'i'), c.GetId());
  c.SetId("\"\x94\x5C\"");  // 能: the trail byte is not a quote or blank
  EXPECT_EQ("\x94\x5C", c.GetId());

  // Save file: relative paths become absolute against the note folder.
  c.SetProperty(11, "img/p.png", "/notes");
  EXPECT_EQ("/notes/img/p.png", c.saveImageFile());
  c.SetProperty(11, "../p.png", "/notes/sub");
  EXPECT_EQ("/notes/p.png", c.saveImageFile());
  c.SetProperty(11, "/abs/q.jpg", "/notes");
  EXPECT_EQ("/abs/q.jpg", c.saveImageFile());
  c.SetProperty(11, "", "/notes");
  EXPECT_EQ("", c.saveImageFile());
  c.SetProperty(11, std::string(300, 'p'), "/n");  // cut to 259 bytes
  EXPECT_EQ(259u, c.saveImageFile().size());
  c.SetProperty(12, "x", "");  // ignored
  c.SetProperty(-1, "x", "");
}

TEST(Canvas, CopyEqualsCloneAndSnapshotCoverEveryPersistentField) {
  Canvas a;
  fillCanvas(a);
  Canvas b;
  b.setGrid(5, 6);
  b.setSnapToGrid(true);
  b.setGridMode(1);
  b.CopyFrom(a, nullptr);
  EXPECT_TRUE(b.Equals(a, 0));
  EXPECT_TRUE(b.Equals(a, 5));
  EXPECT_EQ(5, b.gridX());  // view settings are not copied
  EXPECT_TRUE(b.snapToGrid());
  EXPECT_EQ(1, b.gridMode());
  EXPECT_EQ(CanvasType_Menu, b.canvasType());
  EXPECT_EQ("a=1;", b.filterVariables());

  std::unique_ptr<CadPrim> clone = a.Clone(nullptr);
  EXPECT_EQ(FigureKind_Canvas, clone->GetKind());
  EXPECT_TRUE(clone->Equals(a, 0));
  EXPECT_EQ(19, static_cast<Canvas&>(*clone).gridX());

  // Each persistent field on its own makes a difference.
  using Change = void (*)(Canvas&);
  const Change changes[] = {
      [](Canvas& c) { c.setCanvasType(4); },
      [](Canvas& c) { c.setSize(641, 480); },
      [](Canvas& c) { c.setSize(640, 481); },
      [](Canvas& c) { c.setPageInterval(1); },
      [](Canvas& c) { c.setSaveImageFile("/notes/other.png"); },
      [](Canvas& c) { c.setClassName("c2"); },
      [](Canvas& c) { c.SetId("page2"); },
      [](Canvas& c) { c.setPubPage("pq"); },
      [](Canvas& c) { c.setPubFile("pg"); },
      [](Canvas& c) { c.setFilterVariables("a=2;"); },
  };
  for (size_t i = 0; i < std::size(changes); ++i) {
    Canvas d;
  fillCanvas(d);
    changes[i](d);
    EXPECT_FALSE(d.Equals(a, 0)) << i;
    EXPECT_FALSE(a.Equals(d, 5)) << i;
    const std::vector<uint8_t> snap = Snapshot_make(d);
    EXPECT_EQ(d.GetSnapshotSize(), snap.size());
    Canvas e;
    Snapshot_restore(e, snap);
    EXPECT_TRUE(e.Equals(d, 5)) << i;
  }
  // Not persistent: the grid settings.
  Canvas g;
  fillCanvas(g);
  g.setGrid(40, 41);
  g.setSnapToGrid(true);
  g.setGridMode(1);
  EXPECT_TRUE(g.Equals(a, 5));
  Canvas restored;
  Snapshot_restore(restored, Snapshot_make(g));
  EXPECT_EQ(19, restored.gridX());
  EXPECT_FALSE(restored.snapToGrid());
  EXPECT_EQ(0, restored.gridMode());

  // Texts compare ignoring case, except for undo's change check (mode 5).
  Canvas upper;
  fillCanvas(upper);
  upper.SetId("PAGE1");
  upper.setPubFile("PF");
  EXPECT_TRUE(upper.Equals(a, 0));
  EXPECT_FALSE(upper.Equals(a, 5));
  // Other kinds are never equal and cannot be copied from.
  test_kinds::TestBox box;
  EXPECT_FALSE(a.Equals(box, 0));
  EXPECT_EQ(102, CatchError([&] { b.CopyFrom(box, nullptr); }).code);
}

TEST(Canvas, MalformedSnapshotsRaiseAndLeaveTheCanvasAlone) {
  Canvas a;
  fillCanvas(a);
  std::vector<uint8_t> snap = Snapshot_make(a);
  Canvas c;
  std::vector<uint8_t> shortSnap(snap.begin(), snap.end() - 1);
  EXPECT_EQ(102, CatchError([&] { Snapshot_restore(c, shortSnap); }).code);
  EXPECT_EQ(450, c.width());
  EXPECT_EQ("", c.GetId());
  test_kinds::TestBox box;
  EXPECT_EQ(102, CatchError([&] { Snapshot_restore(c, Snapshot_make(box)); }).code);
  // A text longer than its field in the data is refused (class: 63 bytes).
  for (size_t classBytes : {63u, 64u}) {
    std::vector<uint8_t> data(Snapshot_headerSize + 16 + 6 * 4 + classBytes);
    SnapshotWriter w(data);
    w.header(FigureKind_Canvas, 1);
    for (int32_t v : {1, 100, 100, 0}) w.i32(v);
    w.string("");
    w.string(std::string(classBytes, 'c'));
    for (int i = 0; i < 4; ++i) w.string("");
    Canvas d;
    const int code = CatchError([&] { Snapshot_restore(d, data); }).code;
    EXPECT_EQ(classBytes == 63 ? 0 : 102, code);
    EXPECT_EQ(classBytes == 63 ? 63u : 0u, d.className().size());
  }
}

TEST(Canvas, DrawFillsThePageAtEveryZoom) {
  Canvas c;
  struct Case {
    int zoom, sx, sy, r, b, l, t;
  } cases[] = {{100, 0, 0, 450, 300, 0, 0},
               {25, 0, 0, 112, 75, 0, 0},
               {400, 0, 0, 1800, 1200, 0, 0},
               {100, 30, -20, 420, 320, -30, 20}};
  for (const Case& k : cases) {
    DrawContext ctx;
    ctx.zoomX = ctx.zoomY = k.zoom;
    ctx.scrollX = k.sx;
    ctx.scrollY = k.sy;
    RecordingSurface s;
    s.setPen(Pen::solid(0x123456, 4));
    c.Draw(s, ctx);
    ASSERT_EQ(1u, s.calls().size());
    EXPECT_EQ((std::vector<int>{k.l, k.t, k.r, k.b}), s.calls()[0].args) << k.zoom;
    EXPECT_EQ(Pen::solid(0xFFFFFF, 1), s.calls()[0].state.pen);
    EXPECT_EQ(Brush::solid(0xFFFFFF), s.calls()[0].state.brush);
    EXPECT_EQ(Pen::solid(0x123456, 4), s.state().pen);
    EXPECT_EQ(Brush{}, s.state().brush);
  }
  DrawContext sys;
  sys.useSystemColours = true;
  RecordingSurface s;
  c.Draw(s, sys);
  EXPECT_EQ(Brush::solid(SystemColour_window), s.calls()[0].state.brush);
  s.clear();
  c.DrawHandles(s, sys, 0xFF, 0);
  EXPECT_TRUE(s.calls().empty());
}

TEST(Canvas, PageSurroundCallsInOrder) {
  Canvas c;
  c.setSize(100, 50);
  DrawContext ctx;
  ctx.zoomX = ctx.zoomY = 200;  // W = 200, H = 100
  RecordingSurface s;
  c.DrawPageSurround(s, ctx, 640, 480);
  const std::vector<std::string> expected = {
      "rect 200,0,640,100", "rect 0,100,640,480",
      "polyline 200,0,200,100", "polyline 200,100,0,100", "pixel 0,100,0",
      "polyline 201,0,201,101", "polyline 201,101,0,101", "pixel 0,101,0",
      "rect 200,100,205,105"};
  EXPECT_EQ(expected, s.lines());
  const auto& calls = s.calls();
  EXPECT_EQ(Pen::solid(SystemColour_appWorkspace, 0), calls[0].state.pen);
  EXPECT_EQ(Brush::solid(SystemColour_appWorkspace), calls[1].state.brush);
  EXPECT_EQ(Pen::solid(0, 1), calls[2].state.pen);
  EXPECT_EQ(Pen::solid(SystemColour_highlight ^ 0xFFFFFF, 1), calls[8].state.pen);
  EXPECT_EQ(Brush::solid(SystemColour_highlight), calls[8].state.brush);
  EXPECT_EQ(Pen{}, s.state().pen);
  EXPECT_EQ(Brush{}, s.state().brush);

  // Scrolled to negative offsets (the page centred): left and top bands too.
  ctx.zoomX = ctx.zoomY = 100;
  ctx.scrollX = -10;
  ctx.scrollY = -20;
  s.clear();
  c.DrawPageSurround(s, ctx, 300, 200);
  const std::vector<std::string> centred = {
      "rect 110,0,300,70", "rect 0,70,300,200", "rect 0,20,10,200", "rect 0,0,300,20",
      "polyline 110,20,110,70", "polyline 110,70,10,70", "pixel 10,70,0",
      "polyline 111,20,111,71", "polyline 111,71,10,71", "pixel 10,71,0",
      "rect 110,70,115,75"};
  EXPECT_EQ(centred, s.lines());
}

TEST(Canvas, GridDotsInDevicePixelsAtEveryZoom) {
  Canvas c;
  c.setSize(40, 20);
  RecordingSurface s;
  DrawContext ctx;
  c.DrawGrid(s, ctx);  // grid mode 0: nothing
  c.setGridMode(2);
  c.DrawGrid(s, ctx);
  EXPECT_TRUE(s.calls().empty());

  c.setGridMode(1);
  const std::vector<std::string> dots = {"pixel 0,0,0",   "pixel 19,0,0",  "pixel 38,0,0",
                                         "pixel 0,19,0",  "pixel 19,19,0", "pixel 38,19,0"};
  for (int zoom : {25, 100, 400}) {  // spacing and extent ignore the zoom
    ctx.zoomX = ctx.zoomY = zoom;
    s.clear();
    c.DrawGrid(s, ctx);
    EXPECT_EQ(dots, s.lines()) << zoom;
  }
  // Scrolled: the offsets are remainders with the sign of -scroll.
  ctx.scrollX = 5;
  ctx.scrollY = -45;  // oy = 45 % 19 = 7
  s.clear();
  c.DrawGrid(s, ctx);
  EXPECT_EQ((std::vector<std::string>{"pixel -5,7,0", "pixel 14,7,0", "pixel 33,7,0",
                                      "pixel -5,26,0", "pixel 14,26,0", "pixel 33,26,0"}),
            s.lines());
  // The client area and the repaint area bound the dots.
  ctx.clientWidth = 30;
  ctx.clientHeight = 20;
  s.clear();
  c.DrawGrid(s, ctx);
  EXPECT_EQ((std::vector<std::string>{"pixel 14,7,0"}), s.lines());
  ctx = DrawContext{};
  ctx.clipLeft = 10;
  ctx.clipRight = 25;
  s.clear();
  c.DrawGrid(s, ctx);
  EXPECT_EQ((std::vector<std::string>{"pixel 19,0,0", "pixel 19,19,0"}), s.lines());

  // Dot colour: inverse-ish of the background; spacing 0 is taken as 2.
  ctx = DrawContext{};
  c.SetProperty(7, "0", "");
  c.SetProperty(8, "0", "");
  c.setSize(4, 3);
  s.clear();
  c.DrawGrid(s, ctx);
  EXPECT_EQ((std::vector<std::string>{"pixel 0,0,0", "pixel 2,0,0", "pixel 0,2,0",
                                      "pixel 2,2,0"}),
            s.lines());
  // A big canvas on a small client area stays small.
  c.setSize(99999, 99999);
  ctx.clientWidth = 10;
  ctx.clientHeight = 10;
  s.clear();
  c.DrawGrid(s, ctx);
  EXPECT_EQ(25u, s.calls().size());
}

TEST(Canvas, GridSnapOffsetFollowsTheFormula) {
  Canvas c;
  EXPECT_EQ((Point32{0, 0}), c.GridSnapOffset(28, 5));  // snapping off
  c.setSnapToGrid(true);
  // 9 - (28 + 9) % 19 = -9: the nearest grid point of 28 is 19.
  EXPECT_EQ((Point32{-9, 0}), c.GridSnapOffset(28, 0));
  EXPECT_EQ((Point32{-9, 0}), c.GridSnapOffset(9, 0));
  EXPECT_EQ((Point32{9, 1}), c.GridSnapOffset(10, 37));
  EXPECT_EQ((Point32{0, 0}), c.GridSnapOffset(38, 19));
  c.setGrid(0, 10);  // spacing 0 is kept at 2: no division by zero
  EXPECT_EQ(2, c.gridX());
  EXPECT_EQ((Point32{1, 0}), c.GridSnapOffset(3, 0));
  EXPECT_EQ((Point32{0, 5}), c.GridSnapOffset(0, 5));  // 5 - 10 % 10
}
