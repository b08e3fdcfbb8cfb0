// The pagination of a print job: which pages go on which sheet of paper and
// where.  A page unit (one screen pixel at 100 %) is printed as 1/3.8 mm; a
// page wider than the paper is shrunk to its width, a page a little too
// high is shrunk to fit the sheet (down to 80 %), a longer one continues
// over several sheets (overlapping by 20 page units), and pages short
// enough to share a sheet are stacked one under another, 32 page units
// apart.  Integer arithmetic throughout, as the printer's numbers give it;
// no Qt here: the print job (print_job.h) draws what the pager lays out.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/draw_context.h"

// A page record of the note as the pager sees it, in list order (the back
// page first when the note has one).
struct PrintPageRecord {
  int32_t width = 0, height = 0;  // page units
};

// The printer: its printable area in device pixels (HORZRES, VERTRES) and
// in millimetres (HORZSIZE, VERTSIZE).
struct PrintDevice {
  int32_t horizontalPixels = -1, verticalPixels = -1;
  int32_t horizontalMm = -1, verticalMm = -1;
};

struct PrintPager {
  std::vector<PrintPageRecord> records;
  bool hasBackPage = false;  // records[0] is the back page
  int32_t firstPage = 1, lastPage = 1;
  PrintDevice device;
  // The record of the first page on the current sheet; -1 before the first
  // sheet and after the last page.
  int32_t sheetRecord = -1;
  int32_t pageNumber = 0;  // the number of that page (ordinary pages from 1)
  int32_t onSheet = 0;     // pages placed on the current sheet
  int32_t sheetNumber = 0;
  int32_t lastListed = 0;  // the last page written to the table of contents
  // For each place on the sheet: the context's scroll values that put the
  // page there (the page of place i is record sheetRecord + i).
  std::vector<Point32> positions;
  // The context every figure of the sheet is drawn with: zoomX and zoomY
  // are device pixels per 100 page units, the clip box is the printable
  // part of the paper.
  DrawContext context;
  // The shrink of the sheet in percent (100: 1/3.8 mm per page unit).
  int32_t textZoom = 100;
};

// StartPager: no sheet yet, the counters at 0, the device unknown.
// `context` is the view's (its filter variables and line spacing stay).
void PrintPager_start(PrintPager& pager, std::vector<PrintPageRecord> records, bool hasBackPage,
                      int32_t firstPage, int32_t lastPage, const DrawContext& context);
// Whether the device's numbers allow any sheet (a paper of at least
// 38.1 mm plus a page unit each way and a resolution).
bool PrintPager_deviceUsable(const PrintDevice& device);
// NextSheet: lays out the next sheet; false when there is none.  A sheet
// that would show nothing new ends the job.
bool PrintPager_nextSheet(PrintPager& pager);
// The ordinary page number of a place on the current sheet.
inline int32_t PrintPager_pageOf(const PrintPager& pager, int32_t place) {
  return pager.pageNumber + place;
}
// The record index of a place on the current sheet.
inline int32_t PrintPager_recordOf(const PrintPager& pager, int32_t place) {
  return pager.sheetRecord + place;
}

// The table-of-contents line of a page: a tab for each ancestor, then the
// title (quoted when it holds a comma, a quote or a line break), a comma
// and the sheet number, and "\n".
std::string PrintPager_tocLine(std::string_view title, int32_t depth, int32_t sheetNumber);
