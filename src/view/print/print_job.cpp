#include "view/print/print_job.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

#include "document/note/note_document.h"
#include "platform/surface/qt_surface.h"
#include "view/render/render_page.h"

namespace {

// White over (left, top) - (right, bottom), when that is not empty.
void fillWhite(Surface& s, int64_t l, int64_t t, int64_t r, int64_t b) {
  if (r <= l || b <= t) return;
  ScopedPen pen(s, Pen::null());
  ScopedBrush brush(s, Brush::solid(0xFFFFFF));
  // A rectangle without a pen fills one pixel less each way.
  s.rectangle(Figure_toInt32(l), Figure_toInt32(t), Figure_toInt32(r + 1), Figure_toInt32(b + 1));
}

// PrintSheet: every place of the sheet, then white over the paper outside
// the printable part.
void printSheet(Surface& surface, PrintPager& pager, NoteDocument& doc,
                const PrintJobOptions& options) {
  const int32_t paperW = pager.device.horizontalPixels, paperH = pager.device.verticalPixels;
  for (int32_t i = 0; i < pager.onSheet; ++i) {
    const NotePage& page = doc.pageAt(static_cast<size_t>(PrintPager_recordOf(pager, i)));
    DrawContext ctx = pager.context;
    const Point32 at = pager.positions[static_cast<size_t>(i)];
    ctx.scrollX = at.x;
    ctx.scrollY = at.y;
    ctx.pageNumber = PrintPager_pageOf(pager, i);
    // The pager's clip box is on the paper; the context's is taken before
    // the scroll offset.
    ctx.clipLeft = Figure_toInt32(int64_t{ctx.clipLeft} + ctx.scrollX);
    ctx.clipRight = Figure_toInt32(int64_t{ctx.clipRight} + ctx.scrollX);
    ctx.clipTop = Figure_toInt32(int64_t{ctx.clipTop} + ctx.scrollY);
    ctx.clipBottom = Figure_toInt32(int64_t{ctx.clipBottom} + ctx.scrollY);
    // The page above may reach into this place: this page covers it.
    if (i >= 1) fillWhite(surface, 0, -int64_t{ctx.scrollY}, paperW, paperH);
    ViewPageSource source;
    source.figures = &page.figures;
    // The note's filter variables are fresh in the current page's Canvas.
    source.canvas = doc.currentPage() != nullptr ? &doc.currentPage()->settings()
                                                 : const_cast<Canvas*>(&page.settings());
    source.pageNumber = ctx.pageNumber;
    if (doc.hasBackPage()) {
      source.backFigures = &doc.pageAt(0).figures;
      source.backPageNumber = 0;
    }
    ViewRenderOptions render;
    render.clipToPage = false;
    render.forPrint = true;
    render.noGrid = true;
    render.noBackground = true;
    render.context = &ctx;
    ViewRenderHooks hooks;
    hooks.ink = options.ink;
    View_renderPage(surface, ViewGeometry{}, source, render, hooks);
    // Each printed page once in the table of contents, at the sheet where
    // it starts.
    if (options.toc != nullptr && ctx.pageNumber > pager.lastListed) {
      *options.toc += PrintPager_tocLine(page.title(), doc.treeDepth(ctx.pageNumber),
                                         pager.sheetNumber);
      pager.lastListed = ctx.pageNumber;
    }
  }
  const DrawContext& c = pager.context;
  const int64_t u = (int64_t{c.zoomY} + 99) / 100, v = (int64_t{c.zoomX} + 99) / 100;
  const int64_t top = int64_t{c.clipTop} - u, bottom = int64_t{c.clipBottom} + u;
  fillWhite(surface, 0, 0, paperW, top);
  fillWhite(surface, 0, bottom, paperW, paperH);
  fillWhite(surface, 0, top, int64_t{c.clipLeft} - v, bottom);
  fillWhite(surface, c.clipRight, top, paperW - v, bottom);
}

}  // namespace

std::vector<PrintPageRecord> PrintJob_records(const NoteDocument& doc) {
  std::vector<PrintPageRecord> records;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const NotePage& page = doc.pageAt(i);
    records.push_back({page.settings().width(), page.settings().height()});
  }
  return records;
}

PrintDevice PrintJob_device(const QPrinter& printer) {
  PrintDevice d;
  d.horizontalPixels = printer.width();
  d.verticalPixels = printer.height();
  d.horizontalMm = printer.widthMM();
  d.verticalMm = printer.heightMM();
  return d;
}

int32_t PrintJob_print(QPrinter& printer, NoteDocument& doc, const PrintJobOptions& options) {
  if (doc.closed() || doc.pageCount() == 0) return 0;
  if (doc.currentPageNumber() >= 0) doc.storeWorkingCopy();
  const int32_t last = doc.lastPageNumber();
  int32_t first = std::clamp(options.firstPage, 1, std::max(last, 1));
  int32_t to = std::clamp(options.lastPage, 1, std::max(last, 1));
  if (first > to) std::swap(first, to);
  DrawContext base;
  PrintPager pager;
  PrintPager_start(pager, PrintJob_records(doc), doc.hasBackPage(), first, to, base);
  pager.device = PrintJob_device(printer);
  if (!PrintPager_deviceUsable(pager.device)) return 0;

  QPainter painter;
  if (!painter.begin(&printer)) return 0;  // the job could not start
  QtSurface surface(painter);
  const int32_t copies = std::max(options.copies, 1);
  const int32_t documents = options.collate ? copies : 1;
  const int32_t perSheet = options.collate ? 1 : copies;
  int32_t sheets = 0;
  for (int32_t d = 0; d < documents; ++d) {
    // Each collated copy starts the pagination afresh; the table of
    // contents keeps what it listed.
    pager.sheetRecord = -1;
    while (PrintPager_nextSheet(pager)) {
      if (options.progress) options.progress(pager.pageNumber - first + 1, to - first + 1);
      for (int32_t k = 0; k < perSheet; ++k) {
        if (sheets > 0 && !printer.newPage()) {
          painter.end();
          return sheets;
        }
        printSheet(surface, pager, doc, options);
        ++sheets;
      }
    }
  }
  painter.end();
  return sheets;
}
