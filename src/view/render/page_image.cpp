#include "view/render/page_image.h"

#include <QPainter>

#include <algorithm>
#include <optional>
#include <string>

#include "core/errors/errors.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "ink/ink_paint.h"
#include "figures/base/geometry.h"
#include "platform/images/image_writers.h"
#include "platform/surface/qt_surface.h"
#include "view/geometry/view_geometry.h"

void StoredInkPainter::DrawInk(Surface& surface, const DrawContext& ctx, int32_t pageNumber) {
  InkPaint_storedPage(surface, ctx, doc_, pageNumber);
}

QImage View_renderPageImageTile(const PageImageOptions& o, const ViewPageSource& page,
                                int32_t pageWidth, int32_t pageHeight, int32_t column,
                                int32_t row, const NoteDocument* inkOf) {
  const int32_t sw = View_pageImageSourceWidth(o), sh = View_pageImageSourceHeight(o);
  const int32_t ov = Figure_toInt32((int64_t{o.zoom} * 20 + 50) / 100);
  QImage source = QtSurface_makeImage(sw, sh);
  if (source.isNull()) {
    Errors_RAISE(Errors_Unofficial, "%d x %d の画像を作れません。", sw, sh);
  }
  // Tiles overlap by 20 page units; the last ones end at the page's edges.
  const int32_t x =
      column >= o.columns ? o.lastColumnX : Figure_toInt32(int64_t{sw - 20} * (column - 1));
  const int32_t y = row >= o.rows ? o.lastRowY : Figure_toInt32(int64_t{sh - 20} * (row - 1));
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
    std::optional<StoredInkPainter> ink;
    ViewRenderHooks hooks;
    if (inkOf != nullptr) hooks.ink = &ink.emplace(*inkOf);
    View_renderPage(surface, g, src, options, hooks);
  }
  const int32_t folds = std::max(o.folds, 1);
  if (folds == 1) {
    if (source.width() == o.tileWidth && source.height() == o.tileHeight) return source;
    return source.scaled(o.tileWidth, o.tileHeight, Qt::IgnoreAspectRatio,
                         Qt::SmoothTransformation);
  }
  // Folding: strips of the tile, each ss page units wide with 20 in common
  // with the next, stacked one above the other.
  const int32_t iw = std::max(1, Figure_toInt32((int64_t{folds - 1} * ov + o.tileWidth) / folds));
  const int32_t ss = std::max(1, Figure_toInt32((int64_t{folds} * 20 + sw - 20) / folds));
  QImage folded = QtSurface_makeImage(iw, Figure_toInt32(int64_t{folds} * o.tileHeight));
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
                          std::string_view path, const NoteDocument* inkOf) {
  const QImage tile =
      View_renderPageImageTile(options, page, pageWidth, pageHeight, column, row, inkOf)
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
  View_renderPageImage(options, source, W, H, 1, 1, path, &doc);
}
