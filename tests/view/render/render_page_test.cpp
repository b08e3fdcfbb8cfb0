// A page rendered by the view through the Qt surface: the canvas, a back
// page, filled rectangles, a line, a text box, the selection-marks step and
// the grid, at 100 %, 50 % and 200 %.
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "view/view_test_app.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "view/render/render_page.h"

namespace {

Colour pixelAt(const QImage& image, int x, int y) {
  QRgb p = image.pixel(x, y);
  return Colour_rgb(qRed(p), qGreen(p), qBlue(p));
}

constexpr Colour kRed = Colour_rgb(255, 0, 0);
constexpr Colour kBlue = Colour_rgb(0, 0, 255);
constexpr Colour kGreen = Colour_rgb(0, 160, 0);
constexpr Colour kYellow = Colour_rgb(255, 255, 0);
constexpr Colour kWhite = 0xFFFFFF;

Rect_Ex& addRect(FigureList& list, int32_t x, int32_t y, int32_t w, int32_t h, Colour fill) {
  auto r = std::make_unique<Rect_Ex>();
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  r->fillColour = fill;
  r->strokeColour = 0;
  return static_cast<Rect_Ex&>(list.append(std::move(r)));
}

struct Page {
  QtTextMetrics metrics;
  FigureList figures, back;
  Canvas* canvas = nullptr;
  Text_Box* box = nullptr;

  Page() {
    canvas = static_cast<Canvas*>(&figures.append(std::make_unique<Canvas>()));
    canvas->setSize(400, 300);
    back.append(std::make_unique<Canvas>());
    addRect(back, 300, 200, 80, 80, kYellow);        // back page, under everything
    addRect(figures, 20, 20, 100, 60, kRed);         // bottom
    addRect(figures, 80, 40, 100, 60, kBlue);        // over the red one
    auto line = std::make_unique<Line_Ex>();
    line->SetPoints({20, 150}, {200, 150});
    line->SetWidth(1);
    line->SetColour(kGreen);
    figures.append(std::move(line));
    auto text = std::make_unique<Text_Box>(&metrics);
    text->SetText("日本語テキストABC");
    text->SetBasePoint(220, 20);
    text->fillColour = kWhite;
    text->frameColour = 0;
    DrawContext ctx;
    text->Layout(metrics, ctx);
    box = static_cast<Text_Box*>(&figures.append(std::move(text)));
  }
  ViewPageSource source() {
    ViewPageSource s;
    s.figures = &figures;
    s.canvas = canvas;
    s.backFigures = &back;
    return s;
  }
};

class MarksProbe : public ViewSelectionMarks {
 public:
  void DrawSelectionMarks(Surface& surface, const DrawContext& ctx, Colour highlight) override {
    ++calls;
    colour = highlight;
    ScopedPen pen(surface, Pen::solid(highlight, 1));
    ScopedBrush brush(surface, Brush::solid(highlight));
    // A mark on the red rectangle's top-left corner, 5 pixels at any zoom.
    const int x = DrawContext_deviceX(ctx, 20), y = DrawContext_deviceY(ctx, 20);
    surface.rectangle(x - 2, y - 2, x + 3, y + 3);
  }
  int calls = 0;
  Colour colour = 0;
};

QImage render(Page& page, int zoom, const ViewRenderOptions& options, ViewSelectionMarks* marks) {
  ViewGeometry g;
  g.clientWidth = 900;
  g.clientHeight = 700;
  g.pageWidth = page.canvas->width();
  g.pageHeight = page.canvas->height();
  g.zoom = g.targetZoom = zoom;
  QImage image(g.clientWidth, g.clientHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QtSurface surface(image);
    View_drawOutside(surface, g, *page.canvas);
    ViewRenderHooks hooks;
    hooks.selection = marks;
    View_renderPage(surface, g, page.source(), options, hooks);
  }
  return image;
}

bool darkPixelIn(const QImage& image, int l, int t, int r, int b) {
  for (int y = t; y < b; ++y)
    for (int x = l; x < r; ++x) {
      const Colour c = pixelAt(image, x, y);
      if (Colour_red(c) < 100 && Colour_green(c) < 100 && Colour_blue(c) < 100) return true;
    }
  return false;
}

}  // namespace

TEST(RenderPage, FiguresInListOrderOverTheBackPageAtThreeZooms) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  Page page;
  for (int zoom : {100, 50, 200}) {
    SCOPED_TRACE(zoom);
    MarksProbe marks;
    QImage image = render(page, zoom, {}, &marks);
    auto at = [&](int x, int y) { return pixelAt(image, x * zoom / 100, y * zoom / 100); };
    // The canvas is white; outside the page the workspace.
    EXPECT_EQ(kWhite, at(250, 250));
    EXPECT_EQ(SystemColour_appWorkspace, pixelAt(image, 400 * zoom / 100 + 20, 10));
    // The back page under the page's figures.
    EXPECT_EQ(kYellow, at(340, 240));
    // Fill colours; the blue rectangle lies over the red one.
    EXPECT_EQ(kRed, at(40, 50));
    EXPECT_EQ(kBlue, at(100, 60));
    EXPECT_EQ(kBlue, at(150, 90));
    // The rectangles' black outline.
    EXPECT_EQ(0u, at(20, 50));
    // The line, scaled.
    EXPECT_EQ(kGreen, at(100, 150));
    EXPECT_EQ(kWhite, at(100, 154));
    // The text box shows dark text pixels inside its frame.
    const Rect32 b = page.box->GetBounds();
    EXPECT_TRUE(darkPixelIn(image, (b.x + 4) * zoom / 100, (b.y + 4) * zoom / 100,
                            (b.x + b.w - 4) * zoom / 100, (b.y + b.h - 4) * zoom / 100));
    // Step 6: the selection marks in the highlight colour, over the figures.
    EXPECT_EQ(1, marks.calls);
    EXPECT_EQ(SystemColour_highlight, marks.colour);
    EXPECT_EQ(SystemColour_highlight, at(20, 20));
  }
}

TEST(RenderPage, PrintingHidesMarksAndTheGridCommandsDrawDots) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  Page page;
  MarksProbe marks;
  ViewRenderOptions print;
  print.forPrint = true;
  QImage image = render(page, 100, print, &marks);
  EXPECT_EQ(0, marks.calls);
  EXPECT_EQ(0u, pixelAt(image, 20, 20));  // the outline, no mark over it
  EXPECT_EQ(kRed, pixelAt(image, 21, 21));

  // No grid until it is displayed; the catch command displays it too.
  EXPECT_EQ(kWhite, pixelAt(image, 19 * 12, 19 * 12));
  View_toggleGridCatch(*page.canvas);
  EXPECT_TRUE(page.canvas->snapToGrid());
  EXPECT_TRUE(View_gridDisplayed(*page.canvas));
  View_toggleGridDisplay(*page.canvas);
  EXPECT_FALSE(View_gridDisplayed(*page.canvas));
  EXPECT_TRUE(page.canvas->snapToGrid());
  page.canvas->setGrid(40, 40);
  View_standardGrid(*page.canvas);
  EXPECT_EQ(19, page.canvas->gridX());
  image = render(page, 100, {}, nullptr);
  EXPECT_EQ(0u, pixelAt(image, 19 * 12, 19 * 12));
  EXPECT_EQ(kWhite, pixelAt(image, 19 * 12 + 1, 19 * 12));
  ViewRenderOptions noGrid;
  noGrid.noGrid = true;
  image = render(page, 100, noGrid, nullptr);
  EXPECT_EQ(kWhite, pixelAt(image, 19 * 12, 19 * 12));
}

TEST(RenderPage, ClipsToThePageUnlessFiguresStickOut) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  Page page;
  addRect(page.figures, 350, 100, 200, 40, kRed);  // sticks out on the right
  ViewGeometry g;
  g.clientWidth = 900;
  g.clientHeight = 700;
  g.pageWidth = 400;
  g.pageHeight = 300;
  QImage image(900, 700, QImage::Format_RGB32);
  {
    QtSurface surface(image);
    View_drawOutside(surface, g, *page.canvas);
    View_renderPage(surface, g, page.source(), {});
  }
  EXPECT_EQ(kRed, pixelAt(image, 380, 120));
  EXPECT_EQ(SystemColour_appWorkspace, pixelAt(image, 450, 120));

  ViewGeometry_setMode(g, ViewZoom_FitPage,
                       ViewGeometry_pageExtent(&page.figures, g.pageWidth, g.pageHeight));
  ASSERT_TRUE(g.outsideFigures);
  {
    QtSurface surface(image);
    View_drawOutside(surface, g, *page.canvas);
    View_renderPage(surface, g, page.source(), {});
  }
  const Point32 out = ViewGeometry_canvasToClient(g, {450, 120});
  EXPECT_EQ(kRed, pixelAt(image, out.x, out.y));
}
