// Page images: the tile layout at its boundaries, the tiles drawn from a
// page, and the files written.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <memory>
#include <string>

#include "core/errors/errors.h"
#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"
#include "view/render/page_image.h"
#include "view/view_test_app.h"

using namespace testing_support;

namespace {

PageImageOptions limited(int32_t w, int32_t h, int32_t minZoom = 0, int32_t folds = 1) {
  PageImageOptions o;
  View_defaultImageOptions(o);
  o.limitSize = true;
  o.maxWidth = w;
  o.maxHeight = h;
  o.useMinZoom = minZoom != 0;
  o.minZoom = minZoom;
  o.maxFolds = folds;
  return o;
}

struct Page {
  FigureList figures;
  Canvas* canvas = nullptr;
  Page(int32_t w, int32_t h) {
    auto c = std::make_unique<Canvas>();
    c->setSize(w, h);
    c->setGridMode(1);  // shown in the view, never in an image
    canvas = static_cast<Canvas*>(&figures.append(std::move(c)));
  }
  void rect(int x, int y, int w, int h, Colour fill) {
    auto r = std::make_unique<Rect_Ex>();
    r->x = x;
    r->y = y;
    r->width = w;
    r->height = h;
    r->fillColour = fill;
    r->strokeColour = fill;
    figures.append(std::move(r));
  }
  ViewPageSource source() const { return ViewPageSource{&figures, canvas}; }
};

QRgb rgb(Colour c) { return qRgb(Colour_red(c), Colour_green(c), Colour_blue(c)); }

}  // namespace

WIDGET_TEST_APP_REGISTER();

TEST(PageImageLayout, WithoutLimitTheWholePageIsOneTileAtFullSize) {
  PageImageOptions o;
  View_defaultImageOptions(o);
  View_layoutPageImage(o, 3, 1200, 900);
  EXPECT_EQ(o.page, 3);
  EXPECT_EQ(o.zoom, 100);
  EXPECT_EQ(o.tileWidth, 1200);
  EXPECT_EQ(o.tileHeight, 900);
  EXPECT_EQ(o.columns, 1);
  EXPECT_EQ(o.rows, 1);
  EXPECT_EQ(o.folds, 1);
  EXPECT_EQ(o.lastColumnX, 0);
  EXPECT_EQ(o.lastRowY, 0);
  EXPECT_EQ(o.minZoom, 10);  // not used: the smallest zoom
}

TEST(PageImageLayout, WithoutMinimumZoomAPageShrinksIntoOneTile) {
  PageImageOptions o = limited(640, 480);
  View_layoutPageImage(o, 1, 1200, 900);
  EXPECT_EQ(o.zoom, 53);
  EXPECT_EQ(o.tileWidth, 636);
  EXPECT_EQ(o.tileHeight, 477);
  EXPECT_EQ(o.columns, 1);
  EXPECT_EQ(o.rows, 1);
}

TEST(PageImageLayout, AtFullZoomTheTilesOverlapAndEndAtThePageEdges) {
  PageImageOptions o = limited(640, 480, 100);
  View_layoutPageImage(o, 1, 1200, 900);
  EXPECT_EQ(o.zoom, 100);
  EXPECT_EQ(o.columns, 2);
  EXPECT_EQ(o.rows, 2);
  EXPECT_EQ(o.tileWidth, 640);
  EXPECT_EQ(o.tileHeight, 480);
  EXPECT_EQ(o.lastColumnX, 560);
  EXPECT_EQ(o.lastRowY, 420);
  EXPECT_EQ(o.lastColumnX + View_pageImageSourceWidth(o), 1200);
  EXPECT_EQ(o.lastRowY + View_pageImageSourceHeight(o), 900);
}

TEST(PageImageLayout, FoldedTilesStackStrips) {
  PageImageOptions o = limited(240, 260, 60, 3);
  View_layoutPageImage(o, 1, 1000, 600);
  EXPECT_EQ(o.folds, 3);
  EXPECT_EQ(o.columns, 1);
  EXPECT_EQ(o.rows, 5);
  EXPECT_EQ(o.zoom, 63);
  EXPECT_EQ(o.tileWidth, 630);
  EXPECT_EQ(o.tileHeight, 86);
  Page page(1000, 600);
  const QImage tile = View_renderPageImageTile(o, page.source(), 1000, 600, 1, 2);
  EXPECT_EQ(tile.width(), 218);
  EXPECT_EQ(tile.height(), 258);
  // Between strips: a white row, then a black one.
  EXPECT_EQ(tile.pixel(100, 85) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(tile.pixel(100, 86) & 0xFFFFFF, 0u);
  EXPECT_EQ(tile.pixel(100, 172) & 0xFFFFFF, 0u);
}

TEST(PageImageLayout, ExactFitAndOneUnitMore) {
  PageImageOptions fit = limited(640, 480, 100);
  View_layoutPageImage(fit, 1, 640, 480);
  EXPECT_EQ(fit.columns, 1);
  EXPECT_EQ(fit.rows, 1);
  EXPECT_EQ(fit.zoom, 100);
  EXPECT_EQ(fit.tileWidth, 640);
  EXPECT_EQ(fit.tileHeight, 480);

  PageImageOptions wider = limited(640, 480, 100);
  View_layoutPageImage(wider, 1, 641, 480);
  EXPECT_EQ(wider.columns, 2);
  EXPECT_EQ(wider.rows, 1);
  EXPECT_EQ(wider.zoom, 100);
  EXPECT_EQ(wider.lastColumnX, 1);
  EXPECT_EQ(wider.tileWidth, 640);

  // 620 more units need one more tile only because of the 20-unit overlap.
  PageImageOptions overlap = limited(640, 480, 100);
  View_layoutPageImage(overlap, 1, 1270, 100);
  EXPECT_EQ(overlap.columns, 3);  // 1270 / 640 rounds up to 2, the overlap makes 3
}

TEST(PageImageLayout, LimitsAreBroughtIntoRange) {
  PageImageOptions o = limited(5, 0, 500, 0);
  View_layoutPageImage(o, 1, 100, 100);
  EXPECT_EQ(o.maxWidth, 32);
  EXPECT_EQ(o.maxHeight, 32);
  EXPECT_EQ(o.minZoom, 100);
  EXPECT_EQ(o.folds, 1);  // no folds asked: one strip, not a division by zero
  EXPECT_GE(o.zoom, 1);

  PageImageOptions low = limited(640, 480, 3);
  View_layoutPageImage(low, 1, 100, 100);
  EXPECT_EQ(low.minZoom, 10);

  // A page smaller than a pixel at the minimum zoom, and a huge one.
  PageImageOptions tiny = limited(640, 480);
  View_layoutPageImage(tiny, 1, 5, 5);
  EXPECT_EQ(tiny.folds, 1);
  EXPECT_GE(tiny.tileWidth, 1);
  EXPECT_GE(tiny.tileHeight, 1);
  PageImageOptions huge = limited(640, 480, 100);
  View_layoutPageImage(huge, 1, 2000000000, 2000000000);
  EXPECT_EQ(huge.zoom, 100);
  EXPECT_EQ(huge.columns, 3225807);  // (W + 20 per extra tile) / 620 per tile
  EXPECT_GT(huge.rows, 4000000);
  EXPECT_EQ(huge.lastColumnX, 2000000000 - 640);
}

TEST(PageImageTile, DrawsThePageOnWhiteWithoutItsCanvas) {
  Page page(300, 200);
  page.rect(250, 160, 40, 30, Colour_rgb(200, 0, 0));
  PageImageOptions o = limited(200, 150, 100);
  View_layoutPageImage(o, 1, 300, 200);
  ASSERT_EQ(o.columns, 2);
  ASSERT_EQ(o.rows, 2);
  const QImage first = View_renderPageImageTile(o, page.source(), 300, 200, 1, 1);
  EXPECT_EQ(first.size(), QSize(200, 150));
  int notWhite = 0;
  for (int y = 0; y < first.height(); ++y)
    for (int x = 0; x < first.width(); ++x) notWhite += (first.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_EQ(notWhite, 0);  // no grid dots, no background
  const QImage last = View_renderPageImageTile(o, page.source(), 300, 200, 2, 2);
  // The last tile starts at (100, 50): the rectangle sits at (150, 110).
  EXPECT_EQ(last.pixel(170, 125), rgb(Colour_rgb(200, 0, 0)));
  EXPECT_EQ(last.pixel(140, 100) & 0xFFFFFF, 0xFFFFFFu);
}

TEST(PageImageTile, AFileThatCannotBeWrittenIsReportedAndLeavesNothing) {
  TempDir dir;
  Page page(50, 40);
  PageImageOptions o;
  View_defaultImageOptions(o);
  View_layoutPageImage(o, 1, 50, 40);
  View_renderPageImage(o, page.source(), 50, 40, 1, 1, dir.file("a.PNG"));
  EXPECT_EQ(ReadFileBytes(dir.file("a.PNG")).substr(1, 3), "PNG");
  View_renderPageImage(o, page.source(), 50, 40, 1, 1, dir.file("a.jpeg"));
  EXPECT_EQ(ReadFileBytes(dir.file("a.jpeg")).substr(0, 3), "\xFF\xD8\xFF");
  const std::string bad = dir.file("missing/b.png");
  const Errors_Msg e = CatchError([&] { View_renderPageImage(o, page.source(), 50, 40, 1, 1, bad); });
  EXPECT_EQ(e.code, FileX_Err_CannotWrite);
  EXPECT_EQ(std::string(e.message()), bad + " を開けません。");
  EXPECT_FALSE(std::filesystem::exists(bad));
}
