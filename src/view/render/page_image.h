// Page images: one page of a note rendered on white into PNG or JPEG
// files, cut into tiles no larger than a given size, each tile optionally
// folded into strips stacked one above the other.
#pragma once

#include <cstdint>
#include <string_view>

#include <QImage>

#include "view/render/page_image_layout.h"
#include "view/render/render_page.h"

class NoteDocument;

// The picture of tile (column, row), both from 1: the page's figures (after
// the back page's) drawn at 100 % on white, without the Canvas, then scaled
// to the tile (and folded).  `page` gives the figures, the Canvas only for
// its filter variables.
// `inkOf`: the note whose stored pen ink is drawn with the page (none: no
// ink).
QImage View_renderPageImageTile(const PageImageOptions& options, const ViewPageSource& page,
                                int32_t pageWidth, int32_t pageHeight, int32_t column, int32_t row,
                                const NoteDocument* inkOf = nullptr);

// RenderPageImage: the tile written to `path`, PNG when its extension is
// "png" (any case), else JPEG.  Raises 365 with "%s を開けません。" when the
// file cannot be written (nothing is left at the path then).
void View_renderPageImage(const PageImageOptions& options, const ViewPageSource& page,
                          int32_t pageWidth, int32_t pageHeight, int32_t column, int32_t row,
                          std::string_view path, const NoteDocument* inkOf = nullptr);

// The pen ink a note stores for its pages, as page images and prints draw
// it.
class StoredInkPainter final : public ViewInkPainter {
 public:
  explicit StoredInkPainter(const NoteDocument& doc) : doc_(doc) {}
  void DrawInk(Surface& surface, const DrawContext& ctx, int32_t pageNumber) override;
  void DrawInkSelection(Surface&, const DrawContext&) override {}

 private:
  const NoteDocument& doc_;
};

// The page of a saved note that names an image file: the default options
// (the whole page, one tile at 100 %) rendered into `path`.  A page that
// does not exist makes no file; a file that cannot be written raises 365.
void View_exportPageImage(NoteDocument& doc, int32_t pageNumber, std::string_view path);
