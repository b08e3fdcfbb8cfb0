#include "view/print/print_pager.h"

#include <algorithm>

#include "core/strx/strx_fields.h"

namespace {

int32_t toInt(int64_t v) { return Figure_toInt32(v); }

int64_t heightOf(const PrintPager& p, int32_t record) {
  return std::max(p.records[static_cast<size_t>(record)].height, 1);
}
int64_t widthOf(const PrintPager& p, int32_t record) {
  return std::max(p.records[static_cast<size_t>(record)].width, 1);
}

// No sheet (any more): the next call starts the job again.
bool finished(PrintPager& p) {
  p.sheetRecord = -1;
  p.onSheet = 0;
  return false;
}

// Step 4: the zoom, margins and clip box of a sheet for its first page.
void layOutSheet(PrintPager& p) {
  const int64_t H = p.device.horizontalMm, V = p.device.verticalMm;
  const int64_t X = p.device.horizontalPixels, Y = p.device.verticalPixels;
  const int64_t W = widthOf(p, p.sheetRecord), Hp = heightOf(p, p.sheetRecord);
  DrawContext& c = p.context;
  int64_t zoomX = X * 1000 / (H * 38), zoomY = Y * 1000 / (V * 38);
  // The paper less 38.1 mm, in page units, and the margins that centre it.
  const int64_t g = (H * 377900 - 14397990) / 100000;
  const int64_t f = (V * 377900 - 14397990) / 100000;
  const int64_t cm = (H * 3800 - (g * 1000 / 38) * 38) / 2000;
  const int64_t dm = (V * 3800 - (f * 1000 / 38) * 38) / 2000;
  c.clipLeft = toInt(cm * zoomX / 100);
  c.clipRight = toInt((g + cm) * zoomX / 100);
  c.clipTop = toInt(dm * zoomY / 100);
  c.clipBottom = toInt((f + dm) * zoomY / 100);
  c.scrollX = -c.clipLeft;
  c.scrollY = -c.clipTop;
  const int64_t a = std::min<int64_t>(g * 100 / W, 100);
  int64_t b = f * 100 / Hp;
  if (b >= 101) {
    b = 100;
  } else if (b < 80) {
    b = a;
  }
  const int64_t textZoom = std::max<int64_t>(1, std::min(a, b));
  if (textZoom < 100) {
    zoomX = X * textZoom * 10 / (H * 38);
    zoomY = textZoom * Y * 10 / (V * 38);
  }
  p.textZoom = toInt(textZoom);
  c.zoomX = toInt(std::max<int64_t>(zoomX, 1));
  c.zoomY = toInt(std::max<int64_t>(zoomY, 1));
  // Font sizes follow the device as the shapes do.
  c.textZoom = c.zoomY;
  c.directOutput = true;
  c.useSystemColours = false;
  c.showHandles = false;
  c.pageNumber = p.pageNumber;
}

// Step 5: the pages that share the sheet with its first one.
bool fillSheet(PrintPager& p) {
  const int32_t count = static_cast<int32_t>(p.records.size());
  const DrawContext& c = p.context;
  p.positions[0] = {c.scrollX, c.scrollY};
  p.onSheet = 0;
  for (int32_t at = p.sheetRecord;; ++at) {
    ++p.onSheet;
    if (at == count - 1) return true;
    const int64_t e = int64_t{c.zoomY} * 32 / 100;
    const Point32 last = p.positions[static_cast<size_t>(p.onSheet - 1)];
    if (c.clipBottom <
        heightOf(p, at + 1) * c.zoomY / 100 + e + heightOf(p, at) * c.zoomY / 100 - last.y) {
      return true;
    }
    p.positions[static_cast<size_t>(p.onSheet)] = {
        last.x, toInt(last.y - int64_t{c.zoomY} * heightOf(p, at) / 100 - e)};
  }
}

}  // namespace

void PrintPager_start(PrintPager& p, std::vector<PrintPageRecord> records, bool hasBackPage,
                      int32_t firstPage, int32_t lastPage, const DrawContext& context) {
  p.records = std::move(records);
  p.hasBackPage = hasBackPage && !p.records.empty();
  p.firstPage = firstPage;
  p.lastPage = lastPage;
  p.device = PrintDevice{};
  p.sheetRecord = -1;
  p.pageNumber = p.onSheet = p.sheetNumber = p.lastListed = 0;
  p.positions.assign(p.records.size(), Point32{});
  p.context = context;
  p.textZoom = 100;
}

bool PrintPager_deviceUsable(const PrintDevice& d) {
  // The usable part (the paper less 38.1 mm) must hold page units, and the
  // device at least one pixel per 100 of them.
  if (d.horizontalMm < 39 || d.verticalMm < 39) return false;
  if (d.horizontalPixels < 1 || d.verticalPixels < 1) return false;
  return int64_t{d.horizontalPixels} * 1000 >= int64_t{d.horizontalMm} * 38 &&
         int64_t{d.verticalPixels} * 1000 >= int64_t{d.verticalMm} * 38;
}

bool PrintPager_nextSheet(PrintPager& p) {
  const int32_t count = static_cast<int32_t>(p.records.size());
  if (!PrintPager_deviceUsable(p.device)) return finished(p);
  DrawContext& c = p.context;
  if (p.sheetRecord < 0) {
    // 1. The first sheet: the first ordinary page.
    p.sheetRecord = p.hasBackPage ? 1 : 0;
    if (p.sheetRecord >= count) return finished(p);
    p.pageNumber = 1;
    p.sheetNumber = 1;
  } else {
    // 2. The first page of the sheet goes on when it did not fit.
    if (c.clipBottom < heightOf(p, p.sheetRecord) * c.zoomY / 100 - p.positions[0].y) {
      const int64_t step = int64_t{c.clipBottom} - c.clipTop - int64_t{c.zoomY} * 20 / 100;
      // A sheet that shows nothing new would repeat for ever.
      if (step <= 0) return finished(p);
      c.scrollY = toInt(c.scrollY + step);
      ++p.sheetNumber;
      return fillSheet(p);
    }
    p.sheetRecord += p.onSheet;
    p.pageNumber += p.onSheet;
    if (p.sheetRecord >= count) return finished(p);
    ++p.sheetNumber;
  }
  // 3. The pages before the range are skipped.
  while (p.pageNumber < p.firstPage) {
    ++p.sheetRecord;
    ++p.pageNumber;
    if (p.sheetRecord >= count) return finished(p);
  }
  if (p.pageNumber > p.lastPage) return finished(p);
  layOutSheet(p);
  return fillSheet(p);
}

std::string PrintPager_tocLine(std::string_view title, int32_t depth, int32_t sheetNumber) {
  std::string line(static_cast<size_t>(std::max(depth, 0)), '\t');
  line += StrX_csvQuote(title);
  line += ',';
  line += std::to_string(sheetNumber);
  line += '\n';
  return line;
}
