// The surface's quick painting (state handed to the painter only when it
// changes, texts shaped once, stamps) against its plain painting, over a page of
// every figure kind, frame, fill, pen, alignment and turn, at several zooms.
#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "view/render/render_page.h"
#include "view/view_test_app.h"

namespace {

struct MixedPage {
  QtTextMetrics metrics;
  FigureList figures;
  Canvas* canvas = nullptr;
  std::vector<Text_Box*> boxes;

  MixedPage() {
    canvas = static_cast<Canvas*>(&figures.append(std::make_unique<Canvas>()));
    canvas->setSize(640, 480);
    canvas->setGridMode(1);
    const char* texts[] = {"日本語のテキスト", "ABC abc 123", "見出し\n本文の二行目\nthird",
                           "タブ\tの後", "（括弧）ー～…", "x"};
    for (int i = 0; i < 60; ++i) {
      const int x = (i * 47) % 560, y = (i * 83) % 430;
      const Colour fill = Colour_rgb((i * 53) & 0xFF, (i * 97) & 0xFF, (i * 31) & 0xFF);
      switch (i % 3) {
        case 0: {
          auto box = std::make_unique<Text_Box>(&metrics);
          box->SetText(texts[(i / 3) % 6]);
          box->SetBasePoint(x, y + 20);
          box->fillColour = fill;
          box->textColour = Colour_rgb(i * 11, 0, 255 - i * 4);
          box->frameColour = Colour_rgb(0, i * 4, 0);
          box->frameWidth = i % 4;
          box->frameShape = 1 + (i / 3) % 5;
          box->alignment = (i / 9) % 3;
          box->fontSize = 9 + (i % 5) * 3;
          box->bold = i % 7 == 0;
          box->italic = i % 11 == 0;
          if (i == 12) box->fontFace = "ＭＳ 明朝";
          if (i % 15 == 6) box->opacity = 50;
          if (i == 21) box->angle = 30;
          if (i == 33) box->vertical = true;
          DrawContext ctx;
          box->Layout(metrics, ctx);
          boxes.push_back(box.get());
          figures.append(std::move(box));
          break;
        }
        case 1: {
          auto r = std::make_unique<Rect_Ex>();
          r->x = x;
          r->y = y;
          r->width = 40 + i % 50;
          r->height = 20 + i % 30;
          r->fillColour = fill;
          r->strokeColour = Colour_rgb(i * 3, 0, 0);
          r->strokeWidth = i % 4;
          r->shape = i % 5 == 4 ? RectShape_Parallelogram : 1 + (i / 3) % 4;
          r->opacity = i % 8 == 1 ? 40 : i % 8 == 4 ? 0 : 100;
          if (i % 10 == 7) r->angle = 25;
          figures.append(std::move(r));
          break;
        }
        default: {
          auto line = std::make_unique<Line_Ex>();
          line->SetPoints({x, y}, {x + 90 - i, y + 40 + i % 20});
          line->SetColour(fill);
          line->SetWidth(1 + i % 3);
          line->SetDashed(i % 4 == 1);
          if (i % 5 == 0) line->SetArrow(2, 1);
          figures.append(std::move(line));
          break;
        }
      }
    }
  }
};

QImage render(MixedPage& page, int zoom, bool plain, QtSurfaceTextCache* texts = nullptr) {
  ViewGeometry g;
  g.clientWidth = 900;
  g.clientHeight = 700;
  g.pageWidth = page.canvas->width();
  g.pageHeight = page.canvas->height();
  g.zoom = g.targetZoom = zoom;
  g.scroll = {zoom > 100 ? 150 : 0, zoom > 100 ? 90 : 0};
  QImage image(g.clientWidth, g.clientHeight, QImage::Format_RGB32);
  image.fill(Qt::black);
  {
    QtSurface surface(image, texts);
    surface.setPlain(plain);
    View_drawOutside(surface, g, *page.canvas);
    View_renderPage(surface, g, ViewPageSource{&page.figures, page.canvas}, {});
  }
  return image;
}

int differingPixels(const QImage& a, const QImage& b) {
  int differing = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x)
      if (a.pixel(x, y) != b.pixel(x, y)) ++differing;
  return differing;
}

}  // namespace

// A view keeps one text cache over its paints: what it paints is what a
// fresh surface paints, also after the texts change their font.
TEST(RenderPagePixels, ATextCacheSharedOverPaintsPaintsWhatAFreshSurfaceDoes) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  MixedPage page;
  QtSurfaceTextCache texts;
  for (int zoom : {100, 250}) {
    SCOPED_TRACE(zoom);
    const QImage fresh = render(page, zoom, false);
    for (int round = 0; round < 2; ++round)
      EXPECT_EQ(0, differingPixels(fresh, render(page, zoom, false, &texts)));
  }
  EXPECT_GT(texts.texts(), 0u);
  EXPECT_GT(texts.bytes(), 0u);
  const QImage before = render(page, 100, false);

  // Every text box in another face, size and weight, with the same texts.
  DrawContext ctx;
  for (size_t i = 0; i < page.boxes.size(); ++i) {
    Text_Box& box = *page.boxes[i];
    switch (i % 3) {
      case 0: box.fontFace = "ＭＳ 明朝"; break;
      case 1: box.fontSize += 5; break;
      default: box.bold = !box.bold; box.italic = !box.italic; break;
    }
    box.Layout(page.metrics, ctx);
  }
  for (int zoom : {100, 250}) {
    SCOPED_TRACE(zoom);
    const QImage fresh = render(page, zoom, false);
    if (zoom == 100) {
      EXPECT_GT(differingPixels(before, fresh), 1000);
    }
    for (int round = 0; round < 2; ++round)
      EXPECT_EQ(0, differingPixels(fresh, render(page, zoom, false, &texts)));
  }
  // Cleared, it shapes anew and paints the same.
  texts.clear();
  EXPECT_EQ(0u, texts.texts());
  EXPECT_EQ(0, differingPixels(render(page, 100, false), render(page, 100, false, &texts)));
}

TEST(RenderPagePixels, QuickPaintingEqualsPlainPaintingOverEveryKindAndZoom) {
  ASSERT_NE(nullptr, QCoreApplication::instance());
  MixedPage page;
  for (int zoom : {100, 39, 250}) {
    SCOPED_TRACE(zoom);
    const QImage plain = render(page, zoom, true);
    // Three times over one cache, as the view paints: the second paint
    // finds its texts shaped, and the texts, ellipses and rounded
    // rectangles seen before set from their stamps.
    QtSurfaceTextCache texts;
    for (int round = 0; round < 3; ++round) {
      const QImage quick = render(page, zoom, false, &texts);
      int differing = 0, firstX = -1, firstY = -1;
      for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
          if (plain.pixel(x, y) != quick.pixel(x, y) && differing++ == 0) {
            firstX = x;
            firstY = y;
          }
      EXPECT_EQ(0, differing) << "first at " << firstX << "," << firstY;
    }
    // The page was drawn at all: text, fills and the workspace.
    int colours = 0;
    QRgb last = 0;
    for (int x = 0; x < 600; ++x)
      if (plain.pixel(x, 100) != last) {
        ++colours;
        last = plain.pixel(x, 100);
      }
    EXPECT_GT(colours, 10);
  }
}
