// Printing: the pagination at its edges (shrinking, continuing, stacking,
// copies), and a whole print of a three-page note into a PDF file that is
// turned back into pictures of its sheets.
#include <gtest/gtest.h>

#include <QImage>
#include <QPrinter>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "document/note/note_document.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text_metrics.h"
#include "support/test_support.h"
#include "view/print/print_job.h"
#include "view/print/print_pager.h"
#include "view/view_test_app.h"

using namespace testing_support;
namespace fs = std::filesystem;

WIDGET_TEST_APP_REGISTER();

namespace {

// A device of 1 pixel per page unit across (zoomX 100) whose usable part
// is 611 x 899 page units, its top margin 74.
PrintDevice device() { return PrintDevice{760, 1049, 200, 276}; }

PrintPager pagerFor(std::vector<PrintPageRecord> pages, int32_t first = 1, int32_t last = 99,
                    bool back = false) {
  PrintPager p;
  PrintPager_start(p, std::move(pages), back, first, last, DrawContext{});
  p.device = device();
  return p;
}

}  // namespace

TEST(PrintPager, ShrinksAShortOverflowContinuesALongPageAndFollowsThePaperWidth) {
  // 1000 units high in 899: 89 %, one sheet.
  PrintPager a = pagerFor({{600, 1000}});
  ASSERT_TRUE(PrintPager_nextSheet(a));
  EXPECT_EQ(a.textZoom, 89);
  EXPECT_EQ(a.context.zoomY, 89);
  EXPECT_EQ(a.context.clipTop, 74);
  EXPECT_EQ(a.context.clipBottom, 973);
  EXPECT_FALSE(PrintPager_nextSheet(a));

  // 1200 high (74 %, below 80): 100 % over two sheets, the second shifted
  // up by the usable height less 20.
  PrintPager b = pagerFor({{600, 1200}});
  ASSERT_TRUE(PrintPager_nextSheet(b));
  EXPECT_EQ(b.textZoom, 100);
  EXPECT_EQ(b.positions[0].y, -74);
  ASSERT_TRUE(PrintPager_nextSheet(b));
  EXPECT_EQ(b.sheetNumber, 2);
  EXPECT_EQ(b.positions[0].y, -74 + 899 - 20);
  EXPECT_FALSE(PrintPager_nextSheet(b));

  // Width ratio 70: 70 % whatever the height.
  for (int32_t h : {300, 5000}) {
    PrintPager c = pagerFor({{872, h}});
    ASSERT_TRUE(PrintPager_nextSheet(c));
    EXPECT_EQ(c.textZoom, 70) << h;
  }
}

TEST(PrintPager, StacksShortPagesSkipsThoseBeforeTheRangeAndEndsOnDegenerateInput) {
  // Pages 2 and 3 of 400 fit one sheet, 32 units apart; page 4 does not.
  PrintPager p = pagerFor({{500, 100}, {500, 400}, {500, 400}, {500, 400}}, 2, 3);
  ASSERT_TRUE(PrintPager_nextSheet(p));
  EXPECT_EQ(p.pageNumber, 2);
  EXPECT_EQ(p.onSheet, 2);
  EXPECT_EQ(p.positions[1].y, -74 - 400 - 32);
  // Stacking does not look at the range: page 4 starts the next sheet and
  // lies beyond it.
  EXPECT_FALSE(PrintPager_nextSheet(p));
  // A back page is never a sheet of its own.
  PrintPager back = pagerFor({{500, 300}, {500, 300}}, 1, 1, true);
  ASSERT_TRUE(PrintPager_nextSheet(back));
  EXPECT_EQ(back.sheetRecord, 1);
  EXPECT_EQ(back.pageNumber, 1);
  // Paper of no size, a page of no size, a usable height of under 20 units.
  PrintPager none = pagerFor({{500, 300}});
  none.device = PrintDevice{0, 0, 0, 0};
  EXPECT_FALSE(PrintPager_nextSheet(none));
  // A coarse device (72 dpi) still prints: about 0.75 pixels a page unit.
  PrintPager coarse = pagerFor({{500, 300}});
  coarse.device = PrintDevice{595, 842, 210, 297};
  ASSERT_TRUE(PrintPager_nextSheet(coarse));
  EXPECT_EQ(coarse.context.zoomX, 74);
  PrintPager flat = pagerFor({{0, 0}});
  EXPECT_TRUE(PrintPager_nextSheet(flat));
  PrintPager tiny = pagerFor({{10, 100000}});
  tiny.device = PrintDevice{200, 200, 40, 40};  // 5 usable units a sheet
  int sheets = 0;
  while (PrintPager_nextSheet(tiny) && sheets < 100) ++sheets;
  EXPECT_LT(sheets, 100);
  EXPECT_EQ(PrintPager_tocLine("a,\"b\"", 2, 3), "\t\t\"a,\"\"b\"\"\",3\n");
}

namespace {

const Colour kRed = Colour_rgb(220, 0, 0), kBlue = Colour_rgb(0, 0, 200),
             kGreen = Colour_rgb(0, 160, 0);

void addRect(NoteDocument& doc, int x, int y, int w, int h, Colour fill) {
  auto r = std::make_unique<Rect_Ex>();
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  r->fillColour = fill;
  r->strokeColour = fill;
  doc.workingFigures().append(std::move(r));
}

// The colour of a sheet picture at a point of the paper given in page units
// at 100 % (1/3.8 mm each), rendered at `dpi`.
QRgb at(const QImage& sheet, double dpi, double unitsX, double unitsY) {
  const auto px = [dpi](double units) { return static_cast<int>(units / 3.8 / 25.4 * dpi); };
  return sheet.pixel(px(unitsX), px(unitsY));
}

bool near(QRgb a, Colour b) {
  return std::abs(qRed(a) - Colour_red(b)) < 24 && std::abs(qGreen(a) - Colour_green(b)) < 24 &&
         std::abs(qBlue(a) - Colour_blue(b)) < 24;
}

}  // namespace

TEST(PrintJob, ThreePagesIntoAPdfStackContinueAndListTheirSheets) {
  TempDir dir;
  fs::create_directories(dir.file("work"));
  NoteDocument doc(dir.file("work"));
  doc.NewDocument(1, false);
  // Pages 1 and 2 (400 high) share sheet 1; page 3 (1600 high) takes
  // sheets 2 and 3.
  doc.workingSettings().setSize(600, 400);
  doc.currentPage()->setTitle("One");
  addRect(doc, 100, 100, 100, 60, kRed);
  QtTextMetrics metrics;
  auto box = std::make_unique<Text_Box>(&metrics);
  box->SetBasePoint(100, 250);
  box->SetText("Printed text");
  box->fontSize = 24;
  box->Layout(metrics, DrawContext{});
  doc.workingFigures().append(std::move(box));
  doc.AddPage(AddPage_child);
  doc.workingSettings().setSize(600, 400);
  doc.currentPage()->setTitle("Two, child");
  addRect(doc, 300, 200, 100, 60, kBlue);
  doc.AddPage(AddPage_next);
  doc.workingSettings().setSize(600, 1600);
  doc.currentPage()->setTitle("Three");
  addRect(doc, 100, 1400, 100, 60, kGreen);

  const std::string pdf = dir.file("note.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
  std::string toc;
  PrintJobOptions options;
  options.firstPage = 1;
  options.lastPage = 3;
  options.toc = &toc;
  int progressCalls = 0;
  options.progress = [&](int32_t, int32_t total) {
    EXPECT_EQ(total, 3);
    ++progressCalls;
  };
  ASSERT_EQ(PrintJob_print(printer, doc, options), 3);
  EXPECT_EQ(progressCalls, 3);
  EXPECT_EQ(toc, "One,1\n\t\"Two, child\",1\n\tThree,2\n");

  // Pages 2-3, two collated copies: pages 2-3 twice (2 sheets each), and
  // the contents list each page once.
  std::string toc2;
  options.firstPage = 3;
  options.lastPage = 2;
  options.copies = 2;
  options.toc = &toc2;
  options.progress = nullptr;
  QPrinter copies(QPrinter::HighResolution);
  copies.setOutputFormat(QPrinter::PdfFormat);
  copies.setOutputFileName(QString::fromStdString(dir.file("copies.pdf")));
  EXPECT_EQ(PrintJob_print(copies, doc, options), 6);
  EXPECT_EQ(toc2, "\t\"Two, child\",1\n\tThree,2\n");
  doc.ClearDocument();

  if (std::system("command -v pdftoppm >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
  }
  const std::string cmd = "pdftoppm -r 100 -png '" + pdf + "' '" + dir.file("sheet") + "'";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  std::vector<QImage> sheets;
  for (int i = 1; i <= 4; ++i) {
    QImage img(QString::fromStdString(dir.file("sheet-" + std::to_string(i) + ".png")));
    if (img.isNull()) break;
    sheets.push_back(img.convertToFormat(QImage::Format_RGB32));
  }
  ASSERT_EQ(sheets.size(), 3u);
  // A4 at 100 dpi; the usable part starts 74 x 75 page units in.
  EXPECT_EQ(sheets[0].width(), 827);
  const double left = 74, top = 75;
  // Sheet 1: page 1's red rectangle, page 2's blue one 432 units lower.
  EXPECT_TRUE(near(at(sheets[0], 100, left + 150, top + 130), kRed));
  EXPECT_TRUE(near(at(sheets[0], 100, left + 350, top + 432 + 230), kBlue));
  EXPECT_TRUE(near(at(sheets[0], 100, left + 150, top + 432 + 130), 0xFFFFFF));
  // The text box at the size it has on screen: dark pixels along its
  // first line, none past its end.
  int dark = 0;
  for (int x = 0; x < 200; ++x) dark += qGray(at(sheets[0], 100, left + 100 + x, top + 240)) < 128;
  EXPECT_GT(dark, 10);
  // Sheet 2: the top of page 3, white where its rectangle will come.
  EXPECT_TRUE(near(at(sheets[1], 100, left + 150, top + 130), 0xFFFFFF));
  // Sheet 3: page 3 shifted up by 978 - 20 units: the green rectangle.
  EXPECT_TRUE(near(at(sheets[2], 100, left + 150, top + 1430 - 958), kGreen));
  EXPECT_TRUE(near(at(sheets[2], 100, left + 150, top + 1430 - 958 - 100), 0xFFFFFF));
}
