#include "view/render/page_image.h"

#include <QPainter>

#include <algorithm>
#include <string>

#include "core/errors/errors.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "platform/images/image_writers.h"
#include "platform/surface/qt_surface.h"
#include "view/geometry/view_geometry.h"

namespace {

int64_t ceilDiv(int64_t a, int64_t b) { return (a + b - 1) / b; }

int32_t clampInt(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

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
    o.tileWidth = clampInt(W);
    o.tileHeight = clampInt(Hp);
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
  o.folds = clampInt(folds);
  o.columns = clampInt(columns);
  o.rows = clampInt(rows);
  o.zoom = clampInt(zoom);
  o.lastColumnX = columns == 1 ? 0 : clampInt(W - l * 100 / zoom);
  o.lastRowY = rows == 1 ? 0 : clampInt(Hp - h * 100 / zoom);
  o.tileWidth = clampInt(columns == 1 ? std::max<int64_t>(1, zoom * W / 100) : l);
  o.tileHeight = clampInt(rows == 1 ? std::max<int64_t>(1, zoom * Hp / 100) : h);
}

int32_t View_pageImageSourceWidth(const PageImageOptions& o) {
  return clampInt(ceilDiv(int64_t{o.tileWidth} * 100, std::max(o.zoom, 1)));
}

int32_t View_pageImageSourceHeight(const PageImageOptions& o) {
  return clampInt(ceilDiv(int64_t{o.tileHeight} * 100, std::max(o.zoom, 1)));
}

QImage View_renderPageImageTile(const PageImageOptions& o, const ViewPageSource& page,
                                int32_t pageWidth, int32_t pageHeight, int32_t column,
                                int32_t row) {
  const int32_t sw = View_pageImageSourceWidth(o), sh = View_pageImageSourceHeight(o);
  const int32_t ov = clampInt((int64_t{o.zoom} * 20 + 50) / 100);
  QImage source = QtSurface_makeImage(sw, sh);
  if (source.isNull()) {
    Errors_RAISE(Errors_Unofficial, "%d x %d の画像を作れません。", sw, sh);
  }
  // Tiles overlap by 20 page units; the last ones end at the page's edges.
  const int32_t x =
      column >= o.columns ? o.lastColumnX : clampInt(int64_t{sw - 20} * (column - 1));
  const int32_t y = row >= o.rows ? o.lastRowY : clampInt(int64_t{sh - 20} * (row - 1));
  {
    ViewGeometry g;
    g.zoom = g.targetZoom = 100;
    g.origin = {0, 0};
    g.scroll = {x, y};
    g.clientWidth = sw;
    g.clientHeight = sh;
    g.pageWidth = pageWidth;
    g.pageHeight = pageHeight;
    ViewRenderOptions options;
    options.clipToPage = false;
    options.forPrint = true;
    options.noGrid = true;
    options.noBackground = true;
    options.useSystemColours = false;
    ViewPageSource src = page;
    src.editedText = nullptr;
    QtSurface surface(source);
    View_renderPage(surface, g, src, options);
  }
  const int32_t folds = std::max(o.folds, 1);
  if (folds == 1) {
    if (source.width() == o.tileWidth && source.height() == o.tileHeight) return source;
    return source.scaled(o.tileWidth, o.tileHeight, Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
  }
  // Folding: strips of the tile, each ss page units wide with 20 in common
  // with the next, stacked one above the other.
  const int32_t iw = std::max(1, clampInt((int64_t{folds - 1} * ov + o.tileWidth) / folds));
  const int32_t ss = std::max(1, clampInt((int64_t{folds} * 20 + sw - 20) / folds));
  QImage folded = QtSurface_makeImage(iw, clampInt(int64_t{folds} * o.tileHeight));
  if (folded.isNull()) {
    Errors_RAISE(Errors_Unofficial, "%d x %d の画像を作れません。", iw, folds * o.tileHeight);
  }
  QPainter p(&folded);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  for (int32_t i = 0; i < folds; ++i) {
    p.drawImage(QRect(0, i * o.tileHeight, iw, o.tileHeight), source,
                QRect((ss - 20) * i, 0, ss, sh));
    if (i >= 1) {
      p.setPen(Qt::white);
      p.drawLine(0, i * o.tileHeight - 1, iw - 1, i * o.tileHeight - 1);
      p.setPen(Qt::black);
      p.drawLine(0, i * o.tileHeight, iw - 1, i * o.tileHeight);
    }
  }
  p.end();
  return folded;
}

void View_renderPageImage(const PageImageOptions& options, const ViewPageSource& page,
                          int32_t pageWidth, int32_t pageHeight, int32_t column, int32_t row,
                          std::string_view path) {
  const QImage tile =
      View_renderPageImageTile(options, page, pageWidth, pageHeight, column, row)
          .convertToFormat(QImage::Format_RGB888);
  const std::string ext = StrX_extension(path);
  const bool png = ext.size() == 3 && (ext[0] | 0x20) == 'p' && (ext[1] | 0x20) == 'n' &&
                   (ext[2] | 0x20) == 'g';
  const auto* bits = reinterpret_cast<const uint8_t*>(tile.constBits());
  const size_t rowBytes = static_cast<size_t>(tile.bytesPerLine());
  if (png) {
    ImageWriters_savePng(tile.width(), tile.height(), rowBytes, bits, path);
  } else {
    ImageWriters_saveJpeg(tile.width(), tile.height(), rowBytes, bits, path);
  }
}

void View_exportPageImage(NoteDocument& doc, int32_t pageNumber, std::string_view path) {
  NotePage* page = doc.page(pageNumber);
  if (page == nullptr || pageNumber == 0) return;
  const int32_t W = page->settings().width(), H = page->settings().height();
  PageImageOptions options;
  View_defaultImageOptions(options);
  View_layoutPageImage(options, pageNumber, W, H);
  ViewPageSource source;
  source.figures = &page->figures;
  source.canvas = &page->settings();
  source.pageNumber = pageNumber;
  if (doc.hasBackPage()) {
    source.backFigures = &doc.page(0)->figures;
    source.backPageNumber = 0;
  }
  View_renderPageImage(options, source, W, H, 1, 1, path);
}
