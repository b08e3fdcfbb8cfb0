#include "view/render/page_image_layout.h"

#include <algorithm>
#include <climits>

#include "core/errors/errors.h"
#include "figures/base/geometry.h"

namespace {

int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }


// The overlap correction: the tiles overlap by 20 page units, so more of
// them may be needed than the plain division gives.
// The caller makes sure that a tile is wider than the overlap (so the
// count settles); the count is bounded all the same.
int64_t corrected(int64_t count, int64_t scaled, int64_t tile, int64_t z) {
  constexpr int64_t kMost = INT32_MAX;
  int64_t t = ceilDiv(scaled + (count * 20 - 20) * z / 100, tile);
  while (t < kMost) {
    const int64_t next = ceilDiv(scaled + (t * 20 - 20) * z / 100, tile);
    if (next <= t) break;
    t = next;
  }
  return std::min(std::max(count, t), kMost);
}

// The zoom (percent of the minimum zoom) at which `count` tiles of `tile`
// pixels are filled.
int64_t fillZoom(int64_t tile, int64_t count, int64_t scaled, int64_t z) {
  const int64_t d = std::max<int64_t>(1, scaled + ((count * 20 - 20) * z + 50) / 100);
  int64_t v = tile * count * 100 / d;
  if (v * z > 10000) v = 10000 / z;
  return v;
}

}  // namespace

void View_defaultImageOptions(PageImageOptions& o) {
  o.limitSize = false;
  o.useMinZoom = false;
  o.maxFolds = 1;
}

void View_layoutPageImage(PageImageOptions& o, int32_t page, int32_t pageWidth,
                          int32_t pageHeight) {
  o.page = page;
  o.maxWidth = std::max(o.maxWidth, 32);
  o.maxHeight = std::max(o.maxHeight, 32);
  if (!o.useMinZoom || o.minZoom < 10) o.minZoom = 10;
  o.minZoom = std::min(o.minZoom, 100);
  const int64_t W = std::max(pageWidth, 1), Hp = std::max(pageHeight, 1);
  if (!o.limitSize) {
    o.tileWidth = Figure_toInt32(W);
    o.tileHeight = Figure_toInt32(Hp);
    o.zoom = 100;
    o.lastColumnX = o.lastRowY = 0;
    o.columns = o.rows = 1;
    o.folds = 1;
    return;
  }
  const int64_t z = o.minZoom;
  // The page at the minimum zoom; a page under 10 units still has a pixel.
  const int64_t sw = std::max<int64_t>(1, W * z / 100);
  const int64_t sh = std::max<int64_t>(1, Hp * z / 100);
  const int64_t maxW = o.maxWidth, maxH = o.maxHeight;
  int64_t folds = std::min<int64_t>(ceilDiv(sw, maxW), std::max(o.maxFolds, 1));
  // A strip keeps at least one pixel row.
  folds = std::clamp<int64_t>(folds, 1, maxH);
  const int64_t l = folds * (maxW - 20) + 20;
  const int64_t h = maxH / folds;
  // Tiles overlap by 20 page units: a strip no taller than that never
  // gets further down the page.
  if (h * 100 <= 20 * z) {
    Errors_RAISE(Errors_Unofficial,
                 "%d x %d の画像を %d 段に折りたたむと、1 段の高さ (%d ピクセル) が重なり (%d ピクセル) "
                 "以下になるので出力できません。最大サイズを大きくするか、折りたたみを減らしてください。",
                 o.maxWidth, o.maxHeight, static_cast<int>(folds), static_cast<int>(h),
                 static_cast<int>(20 * z / 100));
  }
  int64_t columns = ceilDiv(sw, l);
  int64_t rows = ceilDiv(sh, h);
  columns = corrected(columns, sw, l, z);
  rows = corrected(rows, sh, h, z);
  const int64_t v = fillZoom(l, columns, sw, z);
  const int64_t a = fillZoom(h, rows, sh, z);
  const int64_t zoom = std::max<int64_t>(1, (std::min(v, a) * z + 50) / 100);
  o.folds = Figure_toInt32(folds);
  o.columns = Figure_toInt32(columns);
  o.rows = Figure_toInt32(rows);
  o.zoom = Figure_toInt32(zoom);
  o.lastColumnX = columns == 1 ? 0 : Figure_toInt32(W - l * 100 / zoom);
  o.lastRowY = rows == 1 ? 0 : Figure_toInt32(Hp - h * 100 / zoom);
  o.tileWidth = Figure_toInt32(columns == 1 ? std::max<int64_t>(1, zoom * W / 100) : l);
  o.tileHeight = Figure_toInt32(rows == 1 ? std::max<int64_t>(1, zoom * Hp / 100) : h);
}

int32_t View_pageImageSourceWidth(const PageImageOptions& o) {
  return Figure_toInt32(ceilDiv(int64_t{o.tileWidth} * 100, std::max(o.zoom, 1)));
}

int32_t View_pageImageSourceHeight(const PageImageOptions& o) {
  return Figure_toInt32(ceilDiv(int64_t{o.tileHeight} * 100, std::max(o.zoom, 1)));
}

