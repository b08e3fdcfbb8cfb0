// The layout of a page image: how a page is cut into tiles no larger than
// a given size, each optionally folded into strips stacked one above the
// other.  Plain arithmetic, without the painting.
#pragma once

#include <cstdint>

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
