// "-cp" and "-cj": the pages of a note as image files, made by the built
// program without a window.
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include "core/errors/errors.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "html_links_check.h"
#include "zerbin_run.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

const Colour kRed = Colour_rgb(220, 0, 0);
const Colour kBlue = Colour_rgb(0, 0, 200);

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

// Pages of the given sizes; page 1 has a red rectangle at (20, 30, 60 x 40)
// and page 2 (when there is one) a blue one at (250, 160, 40 x 30).
void WriteNote(const TempDir& dir, const std::string& name,
               std::initializer_list<std::pair<int, int>> sizes, bool linked = false) {
  SaveNewNote(dir.file("work"), dir.file(name), [&](NoteDocument& doc, FixedMetrics& metrics) {
    int n = 0;
    for (auto [w, h] : sizes) {
      if (n > 0) doc.AddPage(AddPage_next);
      doc.workingSettings().setSize(w, h);
      if (n == 0) addRect(doc, 20, 30, 60, 40, kRed);
      if (n == 1) addRect(doc, 250, 160, 40, 30, kBlue);
      if (n == 0 && linked) {
        auto b = std::make_unique<Text_Box>(&metrics);
        b->SetBasePoint(100, 100);
        b->SetText("link");
        b->SetUrl("http://example.com/x");
        b->Layout(metrics, DrawContext{});
        doc.workingFigures().append(std::move(b));
        doc.currentPage()->setTitle("Cover <1>");
      }
      ++n;
    }
  });
}

std::set<std::string> filesIn(const std::string& folder) {
  std::set<std::string> names;
  if (!fs::is_directory(folder)) return names;
  for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
  return names;
}

QImage readPng(const std::string& path) {
  QImage image;
  image.load(QString::fromStdString(path), "PNG");
  return image;
}

QRgb rgb(Colour c) { return qRgb(Colour_red(c), Colour_green(c), Colour_blue(c)); }

// Width and height from the JPEG's start-of-frame segment.
std::pair<int, int> jpegSize(const std::string& b) {
  size_t i = 2;
  while (i + 9 < b.size()) {
    if (static_cast<unsigned char>(b[i]) != 0xFF) return {-1, -1};
    const unsigned char marker = static_cast<unsigned char>(b[i + 1]);
    const size_t len = (static_cast<unsigned char>(b[i + 2]) << 8) | static_cast<unsigned char>(b[i + 3]);
    if (marker == 0xC0 || marker == 0xC1 || marker == 0xC2) {
      auto at = [&](size_t k) { return static_cast<unsigned char>(b[i + k]); };
      return {(at(7) << 8) | at(8), (at(5) << 8) | at(6)};
    }
    i += 2 + len;
  }
  return {-1, -1};
}

}  // namespace

TEST(PageImagesBlackBox, TwoPagesGiveOneNumberedPngEachInAFolder) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}, {400, 250}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", dir.file("note.svg"), dir.file("out.png")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_FALSE(fs::exists(dir.file("out.png")));
  EXPECT_EQ(filesIn(dir.file("out")), (std::set<std::string>{"out (1).png", "out (2).png"}));
  const QImage one = readPng(dir.file("out/out (1).png"));
  const QImage two = readPng(dir.file("out/out (2).png"));
  ASSERT_EQ(one.size(), QSize(300, 200));
  ASSERT_EQ(two.size(), QSize(400, 250));
  EXPECT_EQ(one.pixel(50, 50), rgb(kRed));
  EXPECT_EQ(one.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(one.pixel(270, 175), qRgb(255, 255, 255));
  EXPECT_EQ(two.pixel(270, 175), rgb(kBlue));
  EXPECT_EQ(two.pixel(50, 50), qRgb(255, 255, 255));

  // "-nosubfo": beside the destination.
  ZerbinRun beside = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-nosubfo", dir.file("note.svg"),
                                     dir.file("b/side.png")});
  ASSERT_EQ(beside.status, 0) << beside.echo;
  EXPECT_EQ(filesIn(dir.file("b")), (std::set<std::string>{"side (1).png", "side (2).png"}));
}

TEST(PageImagesBlackBox, OnePageOneTileIsExactlyTheDestination) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{1200, 900}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", dir.file("note.svg"), dir.file("whole.png")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(readPng(dir.file("whole.png")).size(), QSize(1200, 900));
  // Limited to 640 x 480 without a minimum zoom: shrunk into one image.
  ZerbinRun small = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-max_size=640x480",
                                    dir.file("note.svg"), dir.file("small.png")});
  ASSERT_EQ(small.status, 0) << small.echo;
  const QImage s = readPng(dir.file("small.png"));
  EXPECT_EQ(s.size(), QSize(636, 477));
  EXPECT_EQ(s.pixel(26, 26), rgb(kRed));  // (50, 50) at 53 %
}

TEST(PageImagesBlackBox, JpegPagesAndTheJpgExtension) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}, {400, 250}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cj", dir.file("note.svg"), dir.file("pic.jpeg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(filesIn(dir.file("pic")), (std::set<std::string>{"pic (1).jpg", "pic (2).jpg"}));
  const std::string one = ReadFileBytes(dir.file("pic/pic (1).jpg"));
  ASSERT_GT(one.size(), 100u);
  EXPECT_EQ(one.substr(0, 3), "\xFF\xD8\xFF");
  EXPECT_EQ(jpegSize(one), std::make_pair(300, 200));
  EXPECT_EQ(jpegSize(ReadFileBytes(dir.file("pic/pic (2).jpg"))), std::make_pair(400, 250));
  // Quality 90: the first value of the luminance table is 3.
  const size_t dqt = one.find("\xFF\xDB");
  ASSERT_NE(dqt, std::string::npos);
  EXPECT_EQ(static_cast<unsigned char>(one[dqt + 5]), 3);
}

TEST(PageImagesBlackBox, PageOptionChoosesPages) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}, {400, 250}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=2", dir.file("note.svg"), dir.file("out.png")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(filesIn(dir.file("out")), (std::set<std::string>{"out (2).png"}));
  EXPECT_EQ(readPng(dir.file("out/out (2).png")).size(), QSize(400, 250));

  ZerbinRun none = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=NoSuch", dir.file("note.svg"),
                                   dir.file("none.png")});
  EXPECT_EQ(none.status, 1);
  EXPECT_NE(none.echo.find("NoSuch のページがありません"), std::string::npos) << none.echo;
  EXPECT_FALSE(fs::exists(dir.file("none")));
  EXPECT_FALSE(fs::exists(dir.file("none.png")));
}

TEST(PageImagesBlackBox, MaxSizeCutsTilesThatEndAtThePageEdges) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}, {400, 250}});
  // Page 2 (400 x 250) in tiles of 200 x 150 at 100 %: 3 columns (the
  // 20-unit overlap needs a third) and 2 rows.
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=2", "-max_size=200x150",
                                "-min_zoom=100", dir.file("note.svg"), dir.file("t.png")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(filesIn(dir.file("t")),
            (std::set<std::string>{"t (2) (1,1).png", "t (2) (1,2).png", "t (2) (1,3).png",
                                   "t (2) (2,1).png", "t (2) (2,2).png", "t (2) (2,3).png"}));
  for (const auto& name : filesIn(dir.file("t"))) {
    EXPECT_EQ(readPng(dir.file("t/" + name)).size(), QSize(200, 150)) << name;
  }
  // The last tile shows the page from (200, 100): the blue rectangle at
  // (50, 60) ... (90, 90).
  const QImage last = readPng(dir.file("t/t (2) (2,3).png"));
  EXPECT_EQ(last.pixel(70, 75), rgb(kBlue));
  EXPECT_EQ(last.pixel(30, 40), qRgb(255, 255, 255));

  // Vertical order: column before row in the names.
  ZerbinRun v = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=2", "-max_size=200x150",
                                "-min_zoom=100", "-vert", dir.file("note.svg"), dir.file("v.png")});
  ASSERT_EQ(v.status, 0) << v.echo;
  EXPECT_TRUE(fs::exists(dir.file("v/v (2) (3,2).png")));
  EXPECT_FALSE(fs::exists(dir.file("v/v (2) (2,3).png")));
  EXPECT_EQ(ReadFileBytes(dir.file("v/v (2) (3,2).png")), ReadFileBytes(dir.file("t/t (2) (2,3).png")));
}

TEST(PageImagesBlackBox, UnwritableDestinationIsReportedAndLeavesNoFile) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}});
  WriteFileBytes(dir.file("plain.txt"), "x");
  const std::string dst = dir.file("plain.txt/out.png");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", dir.file("note.svg"), dst});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.echo.find(dst + " を開けません。"), std::string::npos) << r.echo;
  EXPECT_EQ(filesIn(dir.path()),
            (std::set<std::string>{"P", "work", "note.svg", "plain.txt", "echo.txt", "stderr.txt"}));
}

TEST(PageImagesBlackBox, BadSizesAndPagesGiveAMessageOrABoundedResult) {
  TempDir dir;
  WriteNote(dir, "big.svg", {{99999, 99999}});
  WriteNote(dir, "two.svg", {{660, 500}, {400, 250}});
  WriteNote(dir, "wide.svg", {{2000, 1200}});
  // Tiles of 32 pixels over a page of 99,999: hundreds of thousands of
  // files; the whole page in one image: 40 GB.  Refused before any file.
  for (std::vector<std::string> size : {std::vector<std::string>{"-max_size=32x32"},
                                        {"-max_size=32x32", "-min_zoom=100"},
                                        {"-max_size=99999x99999"},
                                        {}}) {
    std::vector<std::string> words = {"-prof=" + dir.file("P"), "-cp"};
    words.insert(words.end(), size.begin(), size.end());
    words.push_back(dir.file("big.svg"));
    words.push_back(dir.file("big/o.png"));
    ZerbinRun r = runZerbin(dir, words);
    EXPECT_EQ(r.status, 1) << (size.empty() ? "" : size[0]);
    EXPECT_NE(r.echo.find("ページ 1 "), std::string::npos) << r.echo;
    EXPECT_FALSE(fs::exists(dir.file("big")));
  }
  // Strips no taller than the overlap of the tiles: refused at once with
  // the reason, whatever the page (these once ran forever or overflowed).
  for (std::vector<std::string> size : {std::vector<std::string>{"-max_size=640x40", "-max_fold=4", "-min_zoom=100"},
                                        {"-max_size=240x80", "-max_fold=4", "-min_zoom=100"},
                                        {"-max_size=640x36", "-max_fold=2", "-min_zoom=100"}}) {
    std::vector<std::string> words = {"-prof=" + dir.file("P"), "-cp"};
    words.insert(words.end(), size.begin(), size.end());
    words.push_back(dir.file("wide.svg"));
    words.push_back(dir.file("strip/o.png"));
    ZerbinRun r = runZerbin(dir, words);
    EXPECT_EQ(r.status, 1) << size[0];
    EXPECT_NE(r.echo.find("以下になるので出力できません"), std::string::npos) << r.echo;
    EXPECT_FALSE(fs::exists(dir.file("strip")));
  }
  // A size of 0 x 0 is raised to 32 x 32; page numbers beyond the note are
  // brought into it.
  ZerbinRun zero = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-max_size=0x0", "-page=1",
                                   dir.file("two.svg"), dir.file("z.png")});
  ASSERT_EQ(zero.status, 0) << zero.echo;
  const std::set<std::string> tiles = filesIn(dir.file("z"));
  EXPECT_GE(tiles.size(), 2u);
  EXPECT_LT(tiles.size(), 20u);
  for (const std::string& t : tiles) {
    const QSize size = readPng(dir.file("z/" + t)).size();
    EXPECT_TRUE(size.width() <= 34 && size.height() <= 34 && !size.isEmpty()) << t;
  }
  ZerbinRun high = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=99",
                                   dir.file("two.svg"), dir.file("h.png")});
  ASSERT_EQ(high.status, 0) << high.echo;
  EXPECT_EQ(filesIn(dir.file("h")), (std::set<std::string>{"h (2).png"}));
  ZerbinRun low = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-page=0",
                                  dir.file("two.svg"), dir.file("l.png")});
  ASSERT_EQ(low.status, 0) << low.echo;
  EXPECT_EQ(filesIn(dir.file("l")), (std::set<std::string>{"l (1).png"}));
}

TEST(PageImagesBlackBox, HtmlIndexLinksItsImagesAndMaps) {
  TempDir dir;
  WriteNote(dir, "note.svg", {{300, 200}}, true);
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cp", "-html", dir.file("note.svg"), dir.file("out.png")});
  ASSERT_EQ(r.status, 0) << r.echo;
  // One page, one tile: the image goes into "out.files".
  EXPECT_FALSE(fs::exists(dir.file("out.png")));
  EXPECT_EQ(readPng(dir.file("out.files/out.png")).size(), QSize(300, 200));
  const std::string html = ReadFileBytes(dir.file("out.html"));
  EXPECT_EQ(html.substr(0, 300),
            std::string("<html>\r\n<head>\r\n<title>out</title>\r\n\r\n</head>\r\n"
                        "<BODY bgcolor=#DDDDDD>\r\n\r\n<P>\r\n"
                        "<TABLE width=90% bgcolor=#FFFFFF><TR><TD valign=TOP>\r\n\r\n"
                        "<TABLE border=1 width=100%><TR><TD><CENTER><FONT size=+1><B>"
                        "out</B></FONT></CENTER></TD></TR></TABLE>\r\n\r\n\r\n"
                        "<H4>目次</H4>\r\n<UL>\r\n"
                        "<LI><A href=\"#page1\">1. Cover &lt;1&gt; --- p1</A>\r\n"
                        "</UL>\r\n\r\n</TD></TR></TABLE>\r\n</P>\r\n\r\n"
                        "\r\n\r\n<NOBR><A name=\"page1\">\r\n"
                        "<IMG src=\"out.files/out.png\" name=\"svg1\" border=0 USEMAP=\"#out(1)\"/>\r\n"
                        " p1<BR></NOBR>\r\n<MAP name=\"out(1)\">\r\n<AREA ")
                .substr(0, 300));
  EXPECT_NE(html.find("href=\"http://example.com/x\""), std::string::npos) << html;
  EXPECT_EQ(html.substr(html.size() - 13), "\"/>\r\n</MAP>\r\n");
  EXPECT_EQ(html_links::check(dir.path()), "");
}

namespace {

// A page that names an image file gets a fresh image of itself whenever the
// note is written, also by a public copy made from the command line.
TEST(PageImagesBlackBox, PublicCopyRegeneratesThePageImageThatAPageNames) {
  TempDir dir;
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics&) {
    doc.workingSettings().setSize(300, 200);
    addRect(doc, 20, 30, 60, 40, kRed);
    doc.AddPage(AddPage_next);
    doc.workingSettings().setSize(320, 240);
    doc.workingSettings().setSaveImageFile(dir.file("two.png"));
    addRect(doc, 250, 160, 40, 30, kBlue);
  }, true);
  ASSERT_FALSE(fs::exists(dir.file("two.png")));
  fs::create_directories(dir.file("out"));
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", dir.file("note.svg"), dir.file("out/pub.svg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const QImage image = readPng(dir.file("two.png"));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 320);
  EXPECT_EQ(image.height(), 240);
  EXPECT_EQ(image.pixel(270, 175) & 0xFFFFFF, rgb(kBlue) & 0xFFFFFF);
  EXPECT_EQ(image.pixel(5, 5) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(filesIn(dir.file("out")), (std::set<std::string>{"pub.svg"}));
}

}  // namespace
