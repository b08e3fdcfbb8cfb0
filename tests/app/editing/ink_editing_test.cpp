// Pen ink in the main window, with tablet and mouse events sent to the
// real view and the real commands: a stroke with pressure is saved and
// read back equal, a tap is a click, a dot right after a stroke is ink, the
// lasso selects strokes that then move and come back with Ctrl+Z / Ctrl+Y,
// the eraser's strokes come back in one step, and a marker lies under the
// text it marks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPointingDevice>
#include <QTabletEvent>
#include <QTest>

#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/propbar/prop_bar.h"
#include "platform/text/qt_text.h"
#include "core/filex/filex.h"
#include "document/ink/ink_serialized.h"
#include "document/note/ink_layer_files.h"
#include "document/note/note_document.h"
#include "ink/ink_engine.h"
#include "support/test_support.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_table.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

// A text box "memo" at (80, 80) on a white page.
const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<text x=\"80\" y=\"80\" style=\"font-size:12pt\">memo</text>\r\n"
    "</svg>\r\n";

struct Window {
  testing_support::TempDir dir;
  std::unique_ptr<CMainFrame> frame;
  std::string path = dir.file("note.svg");
  QPointingDevice pen{"pen", 7, QInputDevice::DeviceType::Stylus, QPointingDevice::PointerType::Pen,
                      QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3};
  QPointingDevice eraser{"eraser", 8, QInputDevice::DeviceType::Stylus,
                         QPointingDevice::PointerType::Eraser,
                         QInputDevice::Capability::Position | QInputDevice::Capability::Pressure, 1, 3};
  ulong clock = 100000;

  Window() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    o.save.profileFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(800, 600);
    FileX_writeWhole(path, kNote);
    frame->LoadNote(path, false);
    frame->show();
    frame->view().m_Sleep = [](int) {};
    QApplication::setActiveWindow(frame.get());
    QApplication::processEvents();
    frame->view().setFocus();
  }
  ~Window() { frame->undo().MarkSaved(); }
  CChildView& view() { return frame->view(); }
  InkEngine& ink() { return *view().ink(); }
  QPointF client(double x, double y) {
    const Point32 c = view().CanvasToClient({0, 0});
    const double z = view().geometry().zoom / 100.0;
    return {c.x + x * z, c.y + y * z};
  }
  void tablet(QEvent::Type type, double x, double y, double pressure, QPointingDevice& dev,
              Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at = client(x, y);
    QTabletEvent e(type, &dev, at, view().viewport()->mapToGlobal(at), pressure, 0, 0, 0, 0, 0,
                   Qt::NoModifier, type == QEvent::TabletMove ? Qt::NoButton : button,
                   type == QEvent::TabletRelease ? Qt::NoButton : Qt::MouseButtons(button));
    e.setTimestamp(clock);
    QApplication::sendEvent(view().viewport(), &e);
    QApplication::processEvents();
  }
  // A pen stroke through points (page units) with rising pressure, `pause`
  // ms after the previous one.
  void stroke(std::vector<std::pair<double, double>> pts, ulong pause = 2000,
              QPointingDevice* dev = nullptr) {
    QPointingDevice& d = dev ? *dev : pen;
    clock += pause;
    tablet(QEvent::TabletPress, pts[0].first, pts[0].second, 0.2, d);
    for (size_t i = 1; i < pts.size(); ++i) {
      clock += 5;
      tablet(QEvent::TabletMove, pts[i].first, pts[i].second, 0.2 + 0.6 * i / pts.size(), d);
    }
    clock += 5;
    tablet(QEvent::TabletRelease, pts.back().first, pts.back().second, 0.0, d);
  }
  std::vector<std::pair<double, double>> line(double x0, double y0, double x1, double y1, int n) {
    std::vector<std::pair<double, double>> out;
    for (int i = 0; i < n; ++i) out.push_back({x0 + (x1 - x0) * i / (n - 1), y0 + (y1 - y0) * i / (n - 1)});
    return out;
  }
  void run(int command) {
    frame->commands().run(command);
    QApplication::processEvents();
  }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QTest::keyClick(&view(), k, mods);
    QApplication::processEvents();
  }
  size_t strokes() { return ink().page().strokes().size(); }
  QRgb pixel(double x, double y) {
    QApplication::processEvents();
    return view().viewport()->grab().toImage().pixel(client(x, y).toPoint());
  }
};

TEST(InkEditing, AStrokeWithPressureIsSavedAndReadBackEqual) {
  Window w;
  w.run(32907);  // the red pen
  w.stroke(w.line(200, 300, 400, 360, 30));
  ASSERT_EQ(w.strokes(), 1u);
  const InkStroke drawn = w.ink().page().strokes()[0].stroke;
  EXPECT_EQ(drawn.attributes.colour, 255u);
  EXPECT_GT(drawn.points.back().pressure, drawn.points.front().pressure);
  // Drawn in red where it runs (a thin line: its most covered pixel).
  const QImage shown = w.view().viewport()->grab().toImage();
  const QPoint at = w.client(300, 330).toPoint();
  int green = 255;
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) green = std::min(green, qGreen(shown.pixel(at + QPoint(dx, dy))));
  EXPECT_LT(green, 100);
  EXPECT_EQ(qRed(shown.pixel(at)), 255);

  w.key(Qt::Key_S, Qt::ControlModifier);
  const std::string saved = testing_support::ReadFileBytes(w.path);
  EXPECT_NE(saved.find("<g id=\"zerbin-ink\" type=\"front\">"), std::string::npos) << saved;
  EXPECT_NE(saved.find("stroke:rgb(255,0,0)"), std::string::npos);
  const size_t raw = saved.find("<![CDATA[", saved.find("<zerbin-ink-rawdata>"));
  ASSERT_NE(raw, std::string::npos);
  const auto stored = InkIsf_decodeBase64(saved.substr(raw + 9, saved.find("]]>", raw) - raw - 9));
  ASSERT_TRUE(stored);
  EXPECT_EQ(*stored, std::vector<InkStroke>{drawn});

  w.frame->LoadNote(w.path, false);
  QApplication::processEvents();
  ASSERT_EQ(w.strokes(), 1u);
  EXPECT_EQ(w.ink().page().strokes()[0].stroke, drawn);
  // Saved again unchanged: the same bytes.
  w.frame->undo().MarkSaved();
  w.key(Qt::Key_S, Qt::ControlModifier);
  EXPECT_EQ(testing_support::ReadFileBytes(w.path), saved);
}

TEST(InkEditing, ATapIsAClickAndADotRightAfterAStrokeIsInk) {
  Window w;
  w.run(32884);  // the pen; its first stroke is ink whatever its length
  w.stroke(w.line(300, 400, 420, 400, 20));
  ASSERT_EQ(w.strokes(), 1u);
  // A dot 300 ms later: the dot of an "i".
  w.stroke({{310, 380}, {310, 380}}, 300);
  EXPECT_EQ(w.strokes(), 2u);
  // A tap two seconds later on the text box: a click that selects it.
  w.stroke({{90, 72}, {91, 72}}, 2000);
  EXPECT_EQ(w.strokes(), 2u);
  EXPECT_EQ(w.view().m_Tool, 0);
  ASSERT_EQ(w.view().selection()->Selection().size(), 1u);
  // The barrel button's press leaves no ink.
  w.run(32884);
  w.clock += 2000;
  w.tablet(QEvent::TabletPress, 300, 500, 0.5, w.pen, Qt::RightButton);
  w.tablet(QEvent::TabletRelease, 300, 520, 0.0, w.pen, Qt::RightButton);
  EXPECT_EQ(w.strokes(), 2u);
}

TEST(InkEditing, LassoMovesUndoRedoEraserAndMarker) {
  Window w;
  w.run(32884);
  for (int i = 0; i < 3; ++i) w.stroke(w.line(200 + 40 * i, 300, 220 + 40 * i, 360, 12));
  w.stroke(w.line(500, 600, 560, 620, 12));  // outside the lasso
  ASSERT_EQ(w.strokes(), 4u);
  const std::vector<PageInkStroke> before = w.ink().page().strokes();

  // The lasso around the first three.
  w.run(32893);
  std::vector<std::pair<double, double>> ring;
  for (int i = 0; i <= 40; ++i) {
    const double a = 2 * 3.14159265 * i / 40;
    ring.push_back({260 + 110 * std::cos(a), 330 + 70 * std::sin(a)});
  }
  w.stroke(ring);
  EXPECT_EQ(w.strokes(), 4u);
  EXPECT_EQ(w.ink().page().selection().size(), 3u);
  EXPECT_EQ(w.view().m_Tool, 0);

  // Dragged 50 right with the mouse from a selected stroke.
  QWidget* port = w.view().viewport();
  QTest::mousePress(port, Qt::LeftButton, {}, w.client(210, 330).toPoint());
  for (int i = 1; i <= 5; ++i) QTest::mouseMove(port, w.client(210 + 10 * i, 330).toPoint());
  QTest::mouseRelease(port, Qt::LeftButton, {}, w.client(260, 330).toPoint());
  QApplication::processEvents();
  const int32_t moved = w.ink().page().strokes()[0].stroke.points[0].x - before[0].stroke.points[0].x;
  EXPECT_NEAR(moved, 50 * Ink_unitsPerPixel, 30);
  EXPECT_EQ(w.ink().page().strokes()[3].stroke, before[3].stroke);
  w.key(Qt::Key_Z, Qt::ControlModifier);
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(w.ink().page().strokes()[i].stroke, before[i].stroke);
  w.key(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(w.ink().page().strokes()[0].stroke.points[0].x - before[0].stroke.points[0].x, moved);

  // The eraser end of the pen through two strokes: back in one step.
  w.stroke(w.line(150, 340, 330, 340, 40), 2000, &w.eraser);
  EXPECT_LE(w.strokes(), 3u);
  const size_t left = w.strokes();
  w.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.strokes(), 4u);
  EXPECT_LT(left, 4u);

  // A yellow marker over the text: the text stays dark under it.
  w.run(32913);
  w.stroke(w.line(70, 75, 140, 75, 20));
  const QRgb under = w.pixel(140, 75);
  EXPECT_GT(qRed(under), 200);
  EXPECT_LT(qBlue(under), 80);
  const std::string saved = [&] {
    w.key(Qt::Key_S, Qt::ControlModifier);
    return testing_support::ReadFileBytes(w.path);
  }();
  EXPECT_NE(saved.find("<g id=\"zerbin-ink\" type=\"back\">"), std::string::npos);
  EXPECT_NE(saved.find("stroke-opacity:0.30"), std::string::npos);
}

TEST(InkEditing, SelectAllInkShowsInTheBarCopiesPastesAndDeletes) {
  Window w;
  w.run(32911);  // the blue pen
  w.stroke(w.line(200, 300, 300, 320, 15));
  w.run(33077);  // select all ink
  ASSERT_EQ(w.ink().page().selection().size(), 1u);
  QListWidget& bar = w.frame->propBar().list();
  std::vector<std::string> lines;
  for (int i = 0; i < bar.count(); ++i) lines.push_back(QtText_toCp932(bar.item(i)->text()));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "タイプ = インク"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "色 = rgb(0,0,255)"), lines.end());

  // Copied and pasted 8 units further, as one step.
  w.key(Qt::Key_C, Qt::ControlModifier);
  w.key(Qt::Key_V, Qt::ControlModifier);
  ASSERT_EQ(w.strokes(), 2u);
  const auto& s = w.ink().page().strokes();
  EXPECT_NEAR(s[1].stroke.points[0].x - s[0].stroke.points[0].x, 8 * Ink_unitsPerPixel, 1);
  EXPECT_EQ(s[1].stroke.attributes, s[0].stroke.attributes);
  w.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.strokes(), 1u);

  // Delete takes the selected ink; undo brings it back.
  w.run(33077);
  w.key(Qt::Key_Delete);
  EXPECT_EQ(w.strokes(), 0u);
  w.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.strokes(), 1u);
}

TEST(InkEditing, TheRubberBandSelectsInkAndTheCornerResizesIt) {
  Window w;
  w.run(32884);
  w.stroke(w.line(200, 300, 300, 300, 15));
  w.stroke(w.line(200, 340, 300, 340, 15));
  w.stroke(w.line(500, 600, 560, 620, 12));
  w.run(32775);  // the select tool
  // A band around the first two strokes (only part of the second).
  QWidget* port = w.view().viewport();
  QTest::mousePress(port, Qt::LeftButton, {}, w.client(150, 280).toPoint());
  for (int i = 1; i <= 5; ++i) QTest::mouseMove(port, w.client(150 + 20 * i, 280 + 14 * i).toPoint());
  QTest::mouseRelease(port, Qt::LeftButton, {}, w.client(250, 350).toPoint());
  QApplication::processEvents();
  ASSERT_EQ(w.ink().page().selection().size(), 2u);
  const Rect32 box = w.ink().page().selectionBox();

  // The corner mark dragged 100 units right and down: twice the size.
  const Point32 corner = *w.ink().cornerMark();
  QTest::mousePress(port, Qt::LeftButton, {}, w.client(corner.x, corner.y).toPoint());
  QTest::mouseMove(port, w.client(corner.x + 50, corner.y + 20).toPoint());
  QTest::mouseRelease(port, Qt::LeftButton, {},
                      w.client(corner.x + 100 - 4, corner.y + 40 - 4).toPoint());
  QApplication::processEvents();
  const Rect32 grown = w.ink().page().selectionBox();
  EXPECT_EQ(grown.x, box.x);
  EXPECT_NEAR(grown.w, box.w + 100 * Ink_unitsPerPixel, 40);
  EXPECT_NEAR(grown.h, box.h + 40 * Ink_unitsPerPixel, 40);
  w.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.ink().page().selectionBox(), box);
}

TEST(InkEditing, SelectedInkFollowsAMoveOfTheSelectedFiguresInOneStep) {
  Window w;
  w.run(32884);
  w.stroke(w.line(200, 300, 300, 320, 15));
  const InkStroke before = w.ink().page().strokes()[0].stroke;
  w.run(32775);
  w.key(Qt::Key_A, Qt::ControlModifier);  // the text box and the ink
  ASSERT_EQ(w.view().selection()->Selection().size(), 1u);
  ASSERT_EQ(w.ink().page().selection().size(), 1u);
  CadPrim& box = *w.view().selection()->Selection()[0];
  const Rect32 boxBefore = box.GetBounds();
  // The text box dragged 60 units down: the ink comes along.
  QWidget* port = w.view().viewport();
  QTest::mousePress(port, Qt::LeftButton, {}, w.client(95, 72).toPoint());
  for (int i = 1; i <= 6; ++i) QTest::mouseMove(port, w.client(95, 72 + 10 * i).toPoint());
  QTest::mouseRelease(port, Qt::LeftButton, {}, w.client(95, 132).toPoint());
  QApplication::processEvents();
  const int32_t dy = w.ink().page().strokes()[0].stroke.points[0].y - before.points[0].y;
  EXPECT_NEAR(dy, (box.GetBounds().y - boxBefore.y) * Ink_unitsPerPixel, 30);
  EXPECT_GT(box.GetBounds().y - boxBefore.y, 40);
  // One Ctrl+Z takes both back.
  w.key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(w.ink().page().strokes()[0].stroke, before);
  const auto& figures = w.frame->document().workingFigures();
  EXPECT_EQ(figures.at(figures.size() - 1).GetBounds(), boxBefore);
}

// A note whose raw ink block does not decode, as another system may leave
// it: its ink shows from the line segments; saved unchanged it keeps every
// byte; once written on, its ink is ours, the old strokes included.
TEST(InkEditing, AnUndecodableRawBlockIsKeptUntilTheInkChanges) {
  Window w;
  InkStroke old{{{2646, 5292, 0}, {7938, 5292, 0}}, InkTool_attributes(26)};
  const std::string note =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
      "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n" +
      InkLayer_groupText(std::vector<InkStroke>{old}, InkLayer_front, "////AAAAbm90IGluaw==") +
      "</svg>\r\n";
  FileX_writeWhole(w.path, note);
  w.frame->LoadNote(w.path, false);
  QApplication::processEvents();
  ASSERT_EQ(w.strokes(), 1u);
  EXPECT_LT(qGreen(w.pixel(200, 200)), 100);  // the red line at y = 200
  w.frame->undo().MarkSaved();
  w.key(Qt::Key_S, Qt::ControlModifier);
  const std::string kept = testing_support::ReadFileBytes(w.path);
  EXPECT_NE(kept.find("////AAAAbm90IGluaw=="), std::string::npos);

  w.run(32884);
  w.stroke(w.line(100, 400, 300, 420, 12));
  w.key(Qt::Key_S, Qt::ControlModifier);
  const std::string saved = testing_support::ReadFileBytes(w.path);
  EXPECT_EQ(saved.find("////AAAAbm90IGluaw=="), std::string::npos);
  const size_t raw = saved.find("<![CDATA[", saved.find("<zerbin-ink-rawdata>"));
  ASSERT_NE(raw, std::string::npos);
  const auto stored = InkIsf_decodeBase64(saved.substr(raw + 9, saved.find("]]>", raw) - raw - 9));
  ASSERT_TRUE(stored);
  ASSERT_EQ(stored->size(), 2u);
  EXPECT_EQ((*stored)[0].points, old.points);
}

// With ink switched off (NoInkForDebug) the pen tools change nothing and
// the note's ink passes through a save untouched.
TEST(InkEditing, WithInkOffThePenChangesNothingAndInkPassesThrough) {
  testing_support::TempDir dir;
  CMainFrameOptions o;
  o.workFolder = dir.file("");
  o.save.profileFolder = dir.file("");
  o.ink = false;
  CMainFrame frame(std::string(), o);
  const std::string path = dir.file("note.svg");
  const std::string group = InkLayer_groupText(
      std::vector<InkStroke>{InkStroke{{{100, 100, 0}, {900, 900, 0}}, InkTool_attributes(25)}},
      InkLayer_front, "AAEC");
  FileX_writeWhole(path, std::string(kNote).insert(std::string(kNote).rfind("</svg>"), group));
  frame.LoadNote(path, false);
  frame.resize(800, 600);
  frame.show();
  QApplication::processEvents();
  ASSERT_EQ(frame.view().ink(), nullptr);
  frame.commands().run(32884);
  QWidget* port = frame.view().viewport();
  QTest::mousePress(port, Qt::LeftButton, {}, QPoint(300, 300));
  QTest::mouseMove(port, QPoint(400, 350));
  QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(400, 350));
  QApplication::processEvents();
  EXPECT_FALSE(frame.undo().CanUndo());
  frame.undo().MarkSaved();
  QTest::keyClick(&frame.view(), Qt::Key_S, Qt::ControlModifier);
  QApplication::processEvents();
  const std::string saved = testing_support::ReadFileBytes(path);
  EXPECT_NE(saved.find("AAEC"), std::string::npos);
  EXPECT_NE(saved.find("x2=\"34.0\""), std::string::npos) << saved;
}

}  // namespace
