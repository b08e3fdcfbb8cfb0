// The view's rendering of a page against an outside renderer: a one-page
// note with every figure kind is saved with the note writer, turned into a
// PNG by "rsvg-convert" at 100 %, and drawn by View_renderPage at 100 %.
// The two are compared where they must agree:
//   - the fill colour at the centre of each filled shape: each channel
//     within 3 (colour rounding only; the centres lie far from any edge);
//   - a pixel on each line (straight with a head, cornered connector,
//     brace): both images must show the line colour, each channel within
//     40 (the outside renderer smooths edges; the lines are 3 units wide so
//     that their middle pixel is fully covered), at the sampled point or a
//     neighbour one pixel away (the two renderers may round a line's
//     position differently by a pixel);
//   - each text box's rectangle (inside its frame) holds dark text pixels
//     (every channel below 110) in both, at least 15 of them: fonts and
//     smoothing differ, so the glyphs themselves are not compared.
// The saved page has no background of its own, so the outside renderer
// paints on white paper (--background-color=white); where the page lies in
// its picture is read from the page's boundary line.  The test is skipped
// when rsvg-convert is not installed.
#include <gtest/gtest.h>

#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "document/note/note_document.h"
#include "document/writer/note_save_host.h"
#include "document/writer/note_writer.h"
#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "support/test_support.h"
#include "view/render/render_page.h"

using namespace testing_support;

namespace {

class MetricsHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  QtTextMetrics metrics_;
};

bool near(QRgb p, Colour want, int tolerance) {
  return std::abs(qRed(p) - int(Colour_red(want))) <= tolerance &&
         std::abs(qGreen(p) - int(Colour_green(want))) <= tolerance &&
         std::abs(qBlue(p) - int(Colour_blue(want))) <= tolerance;
}

// The colour at (x, y) or at one of its eight neighbours.
bool nearAround(const QImage& image, int x, int y, Colour want, int tolerance) {
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      if (near(image.pixel(x + dx, y + dy), want, tolerance)) return true;
  return false;
}

int darkPixels(const QImage& image, QRect r) {
  int n = 0;
  r &= image.rect();
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) {
      const QRgb p = image.pixel(x, y);
      n += qRed(p) < 110 && qGreen(p) < 110 && qBlue(p) < 110;
    }
  return n;
}

std::string hex(QRgb p) {
  char b[16];
  std::snprintf(b, sizeof b, "%02x%02x%02x", qRed(p), qGreen(p), qBlue(p));
  return b;
}

}  // namespace

TEST(RenderAgainstRsvg, EveryFigureKindAgreesWithTheOutsideRenderer) {
  if (std::system("command -v rsvg-convert >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "rsvg-convert is not installed";
  }
  TempDir work, dir;
  MetricsHost host;
  NoteDocument doc(work.path());
  doc.NewDocument(1, false);
  constexpr int W = 700, H = 520;
  doc.workingSettings().setSize(W, H);
  FigureList& list = doc.workingFigures();

  struct Filled {
    const char* name;
    int x, y;
    Colour fill;
  };
  const Filled shapes[] = {{"rectangle", 30, 30, Colour_rgb(220, 40, 40)},
                           {"rounded rectangle", 190, 30, Colour_rgb(40, 170, 60)},
                           {"ellipse", 350, 30, Colour_rgb(40, 80, 210)},
                           {"diamond", 510, 30, Colour_rgb(230, 200, 30)}};
  const int32_t kinds[] = {RectShape_Rectangle, RectShape_RoundRect, RectShape_Ellipse,
                           RectShape_Diamond};
  for (int i = 0; i < 4; ++i) {
    auto r = std::make_unique<Rect_Ex>();
    r->x = shapes[i].x;
    r->y = shapes[i].y;
    r->width = 140;
    r->height = 100;
    r->shape = kinds[i];
    r->fillColour = shapes[i].fill;
    r->strokeColour = 0;
    r->strokeWidth = 1;
    list.append(std::move(r));
  }
  // The lines, each 3 wide in a colour of its own.
  const Colour lineColour = Colour_rgb(200, 0, 150), cornerColour = Colour_rgb(0, 120, 200),
               braceColour = Colour_rgb(120, 60, 0);
  auto line = std::make_unique<Line_Ex>();
  line->SetPoints({40, 200}, {300, 260});
  line->SetColour(lineColour);
  line->SetWidth(3);
  line->SetArrow(2, 1);
  Line_Ex* straight = static_cast<Line_Ex*>(&list.append(std::move(line)));
  auto corner = std::make_unique<Line_Corner>();
  corner->setEnd(1, 360, 180);
  corner->setEnd(2, 620, 300);
  corner->setColour(cornerColour);
  corner->setWidth(3);
  Line_Corner* cornered = static_cast<Line_Corner*>(&list.append(std::move(corner)));
  auto brace = std::make_unique<Matome>();
  brace->SetPoints({40, 300}, {70, 480});
  brace->SetColour(braceColour);
  brace->SetWidth(3);
  Matome* braced = static_cast<Matome*>(&list.append(std::move(brace)));
  // A framed text box with Japanese text and a turned one without a frame.
  DrawContext layoutCtx;
  auto framed = std::make_unique<Text_Box>(&host.metrics_);
  framed->SetText(Sjis(u8"日本語の枠付きテキスト\n二行目です"));
  framed->SetBasePoint(130, 340);
  framed->fillColour = Colour_rgb(255, 255, 210);
  framed->frameWidth = 1;
  framed->fontSize = 16;
  framed->Layout(host.metrics_, layoutCtx);
  Text_Box* framedBox = static_cast<Text_Box*>(&list.append(std::move(framed)));
  auto turned = std::make_unique<Text_Box>(&host.metrics_);
  turned->SetText(Sjis(u8"回転した文字 Turned"));
  turned->SetBasePoint(450, 420);
  turned->frameWidth = 0;
  turned->fontSize = 16;
  turned->angle = 30;
  turned->Layout(host.metrics_, layoutCtx);
  Text_Box* turnedBox = static_cast<Text_Box*>(&list.append(std::move(turned)));

  // The outside renderer.
  const std::string svg = dir.file("note.svg"), png = dir.file("note.png");
  ASSERT_EQ(0, NoteWriter_save(doc, svg, false, host));
  // The saved page has no background of its own: the paper is white.
  const std::string command =
      "rsvg-convert --background-color=white -o '" + png + "' '" + svg + "' 2>&1";
  ASSERT_EQ(0, std::system(command.c_str())) << command;
  QImage outside(QString::fromStdString(png));
  ASSERT_FALSE(outside.isNull());
  outside = outside.convertToFormat(QImage::Format_RGB32);
  // Where the page lies in the picture: its right boundary line (black, at
  // page x = W) is the first dark pixel from the right in a row that only
  // the boundary crosses.
  ASSERT_GT(outside.width(), W);
  int off = -1;
  for (int x = outside.width() - 1; x >= W - 5 && off < 0; --x) {
    if (near(outside.pixel(x, 150), 0, 60)) off = x - W;
  }
  ASSERT_GE(off, 0) << "no page boundary found";
  ASSERT_LE(off, 10);
  ASSERT_LE(H + off, outside.height());

  // The view at 100 %, the page at the image's origin.
  ViewGeometry g;
  g.clientWidth = W;
  g.clientHeight = H;
  g.pageWidth = W;
  g.pageHeight = H;
  QImage own(W, H, QImage::Format_RGB32);
  own.fill(Qt::black);
  {
    QtSurface surface(own);
    View_renderPage(surface, g, ViewPageSource{&list, &doc.workingSettings()}, {});
  }

  for (const Filled& s : shapes) {
    SCOPED_TRACE(s.name);
    const int cx = s.x + 70, cy = s.y + 50;
    EXPECT_TRUE(near(own.pixel(cx, cy), s.fill, 3)) << hex(own.pixel(cx, cy));
    EXPECT_TRUE(near(outside.pixel(cx + off, cy + off), s.fill, 3))
        << hex(outside.pixel(cx + off, cy + off));
  }

  // A point on each line: the middle of the straight line, of the longest
  // piece of the connector's route and of the brace's first straight piece.
  struct OnLine {
    const char* name;
    Point32 at;
    Colour colour;
  };
  const Point32 a = straight->point1(), b = straight->point2();
  const CornerRoute route = cornered->ComputeRoute();
  ASSERT_GE(route.count, 2);
  Point32 p = route.points[0], q = route.points[1];
  for (int32_t i = 1; i + 1 < route.count; ++i) {
    const Point32 u = route.points[i], v = route.points[i + 1];
    if (std::abs(v.x - u.x) + std::abs(v.y - u.y) > std::abs(q.x - p.x) + std::abs(q.y - p.y)) {
      p = u;
      q = v;
    }
  }
  const MatomeShape m = braced->Shape();
  const OnLine lines[] = {
      {"line", {(a.x + b.x) / 2, (a.y + b.y) / 2}, lineColour},
      {"connector", {(p.x + q.x) / 2, (p.y + q.y) / 2}, cornerColour},
      {"brace", {(m.points[1].x + m.points[2].x) / 2, (m.points[1].y + m.points[2].y) / 2},
       braceColour}};
  for (const OnLine& l : lines) {
    SCOPED_TRACE(l.name);
    EXPECT_TRUE(nearAround(own, l.at.x, l.at.y, l.colour, 40)) << hex(own.pixel(l.at.x, l.at.y));
    EXPECT_TRUE(nearAround(outside, l.at.x + off, l.at.y + off, l.colour, 40))
        << hex(outside.pixel(l.at.x + off, l.at.y + off));
  }

  // Text inside each box, in both.
  for (Text_Box* box : {framedBox, turnedBox}) {
    SCOPED_TRACE(box == framedBox ? "framed text" : "turned text");
    const Rect32 r = box->GetBounds();
    ASSERT_GT(r.w, 20);
    const QRect inside = QRect(r.x, r.y, r.w, r.h).adjusted(3, 3, -3, -3);
    EXPECT_GE(darkPixels(own, inside), 15);
    EXPECT_GE(darkPixels(outside, inside.translated(off, off)), 15);
  }
  // Away from every figure both show the page's white.
  EXPECT_TRUE(near(own.pixel(650, 150), 0xFFFFFF, 0));
  EXPECT_TRUE(near(outside.pixel(650 + off, 150 + off), 0xFFFFFF, 3));
}
