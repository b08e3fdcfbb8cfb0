// Page images: one page of a note rendered on white into PNG or JPEG
// files, cut into tiles no larger than a given size, each tile optionally
// folded into strips stacked one above the other.
#pragma once

#include <cstdint>
#include <string_view>

#include <QImage>

#include "view/render/render_page.h"

class NoteDocument;

struct PageImageOptions {
  bool limitSize = false;
  int32_t maxWidth = 640, maxHeight = 480;  // at least 32
  bool useMinZoom = false;
  int32_t minZoom = 100;  // 10 when not used or below 10, at most 100
  int32_t maxFolds = 1;
  int32_t page = 1;
  // The layout (View_layoutPageImage).
  int32_t tileWidth = 0, tileHeight = 0;  // one strip's height when folded
  int32_t zoom = 100;
  int32_t columns = 1, rows = 1;
  int32_t lastColumnX = 0, lastRowY = 0;  // page units
  int32_t folds = 1;
};

// DefaultImageOptions: no size limit, no minimum zoom, one fold.
void View_defaultImageOptions(PageImageOptions& options);

// LayoutPageImage for a page of `pageWidth` x `pageHeight` page units.
// A layout whose strips are no taller than the 20 units the tiles overlap
// by cannot cover the page: raised as an error with the reason.
void View_layoutPageImage(PageImageOptions& options, int32_t page, int32_t pageWidth,
                          int32_t pageHeight);

// The size in page units of the part of the page one tile shows.
int32_t View_pageImageSourceWidth(const PageImageOptions& options);
int32_t View_pageImageSourceHeight(const PageImageOptions& options);

// The picture of tile (column, row), both from 1: the page's figures (after
// the back page's) drawn at 100 % on white, without the Canvas, then scaled
// to the tile (and folded).  `page` gives the figures, the Canvas only for
// its filter variables.
QImage View_renderPageImageTile(const PageImageOptions& options, const ViewPageSource& page,
                                int32_t pageWidth, int32_t pageHeight, int32_t column, int32_t row);

// RenderPageImage: the tile written to `path`, PNG when its extension is
// "png" (any case), else JPEG.  Raises 365 with "%s を開けません。" when the
// file cannot be written (nothing is left at the path then).
void View_renderPageImage(const PageImageOptions& options, const ViewPageSource& page,
                          int32_t pageWidth, int32_t pageHeight, int32_t column, int32_t row,
                          std::string_view path);

// The page of a saved note that names an image file: the default options
// (the whole page, one tile at 100 %) rendered into `path`.  A page that
// does not exist makes no file; a file that cannot be written raises 365.
void View_exportPageImage(NoteDocument& doc, int32_t pageNumber, std::string_view path);
