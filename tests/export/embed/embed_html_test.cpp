// The frame HTML of the three layouts and the embedding text of both forms,
// with the script wrapper and an image map that stays whole in its buffer.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "export/embed/embed_html.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

class FakeHost : public EmbedHtmlHost {
 public:
  explicit FakeHost(NoteDocument& doc) : doc_(doc) {}
  NoteDocument& document() const override { return doc_; }
  std::string notePath() const override { return path; }
  bool japanese() const override { return ja; }
  bool lowerPath() const override { return lower; }
  bool transparentBackground() const override { return transparent; }
  bool scriptWrapper() const override { return wrapper; }
  StrX_VarLookup variables() const override {
    return [this](std::string_view name, std::string& value) { return name == "script" && !scriptFolder.empty() && (value = scriptFolder, true);
    };
  }
  std::string path = "/notes/Plan.svg";
  std::string scriptFolder;
  bool ja = true, lower = false, transparent = false, wrapper = false;

 private:
  NoteDocument& doc_;
};

const FixedMetrics metrics;

// A text box "abc" at (x, y) with the fixed metrics: its frame is
// x-8 ... x+32 by y-14 ... y+7.
Text_Box& addBox(NotePage& page, int32_t x, int32_t y, std::string_view url) {
  auto box = std::make_unique<Text_Box>(&metrics);
  box->SetText("abc");
  box->SetBasePoint(x, y);
  box->Layout(metrics, DrawContext{});
  if (!url.empty()) box->SetUrl(url);
  return static_cast<Text_Box&>(page.figures.append(std::move(box)));
}

struct Note {
  explicit Note(const testing_support::TempDir& dir) : doc(dir.path()) { doc.NewDocument(7, false); }
  ~Note() { doc.ClearDocument(); }
  NotePage& page(int32_t n) { return *doc.page(n); }
  NoteDocument doc;
};

// The embed lines of pages 1 ... sizes.size() of the document layout.
std::string embedLines(const std::string& src, const std::vector<std::pair<int, int>>& sizes, const char* eol) {
  std::string out;
  for (size_t n = 1; n <= sizes.size(); ++n) {
    const std::string num = std::to_string(n);
    out += "<NOBR><A name=\"page" + num + "\"><embed src=\"" + src + "\" width=\"" +
           std::to_string(sizes[n - 1].first) + "px\" height=\"" + std::to_string(sizes[n - 1].second) +
           "px\" name=\"svg" + (n == 1 ? "" : num) + "\"> " + num + "</A></NOBR>" + eol;
  }
  return out;
}

}  // namespace

TEST(EmbedHtml, DocumentLayoutOfThreeNewPagesLinksThemAndEmbedsEach) {
  testing_support::TempDir dir;
  Note note(dir);
  note.doc.AddPage(AddPage_next);
  note.doc.AddPage(AddPage_next);
  for (int32_t n = 1; n <= 3; ++n) {
    note.page(n).setTitle("New Page");
    note.page(n).settings().setSize(400 + n, 300 + n);
  }
  note.doc.SelectPage(2);
  FakeHost host(note.doc);
  FileX_makeFolders(dir.file("script/x"), true);
  host.scriptFolder = dir.file("script");
  FileX_writeWhole(dir.file("script/html3-script1.txt"), "//--></script>\r\n<body>\r\n");
  FileX_writeWhole(dir.file("script/html3-script2.txt"), "</body>");  // no final line break

  // A note named with '&' and '"' keeps the markup whole.
  const std::string html = dir.file("Plan.htm");
  WriteFrameHtml(host, html, "a&b\".svg", "a&b\"<", EmbedHtml_document);
  EXPECT_EQ(ReadFileBytes(html),
            "<html>\r\n<head>\r\n<title>a&amp;b\"&lt;</title>\r\n\r\n"
            "<script language=\"JavaScript\"><!--\r\nvar  mPage=3;\r\n"
            "//--></script>\r\n<body>\r\n"
            "Page <A href=\"#page1\">[1]</A> <A href=\"#page2\">[2]</A> <A href=\"#page3\">[3]</A> <BR><BR>\r\n" +
                embedLines("a&amp;b&quot;.svg", {{401, 301}, {402, 302}, {403, 303}}, "\r\n") + "</body>\r\n");

  // Wallpaper; the presentation as large as the page being edited (page
  // 2); a missing template is empty.
  const std::string head = "<html>\n<head>\n<title>T</title>\n\n<script language=\"JavaScript\"><!--\nvar  mPage=3;\n";
  EXPECT_EQ(EmbedHtml_frameText(host, "x.svg", "T", EmbedHtml_wallpaper),
            head + "<embed src=\"x.svg\" width=\"100%\" height=\"100%\" name=\"svg\">\n");
  EXPECT_EQ(EmbedHtml_frameText(host, "x.svg", "T", EmbedHtml_presentation),
            head + "<embed src=\"x.svg\" width=\"402px\" height=\"302px\" name=\"svg\">\n");
  EXPECT_EQ(testing_support::CatchError([&] { EmbedHtml_frameText(host, "x.svg", "T", 4); }).code, 102);
}

// Contents nested like the page tree, every list closed; the back page is
// not one of the listed pages.
TEST(EmbedHtml, DocumentLayoutContentsFollowThePageTree) {
  testing_support::TempDir dir;
  Note note(dir);
  NoteDocument& doc = note.doc;
  doc.AddPage(AddPage_child);  // 2 under 1
  doc.AddPage(AddPage_child);  // 3 under 2
  doc.SelectPage(1);
  doc.AddPage(AddPage_next);   // 4 after 1 and its pages
  doc.AddPage(AddPage_child);  // 5 under 4
  const char* titles[] = {"Intro <&>", "A", "A1", "B", "B1"};
  for (int32_t n = 1; n <= 5; ++n) {
    doc.page(n)->setTitle(titles[n - 1]);
    doc.page(n)->settings().setSize(100 * n, 50 * n);
  }
  doc.ToggleBackPage(true);  // the back page becomes page 0
  ASSERT_EQ(doc.lastPageNumber(), 5);
  FakeHost host(doc);
  const std::string text = EmbedHtml_frameText(host, "n&.svg", "n", EmbedHtml_document);
  EXPECT_EQ(text, "<html>\n<head>\n<title>n</title>\n\n<script language=\"JavaScript\"><!--\nvar  mPage=5;\n" +
                      Sjis(u8"<H3>n&amp;.svg</H3>\n\n<H4>目次</H4>\n") +
                      "<UL>\n"
                      "<LI><A href=\"#page1\">[1] Intro &lt;&amp;&gt;</A>\n"
                      "  <UL>\n"
                      "  <LI><A href=\"#page2\">[2] A</A>\n"
                      "    <UL>\n"
                      "    <LI><A href=\"#page3\">[3] A1</A>\n"
                      "    </UL>\n"
                      "  </UL>\n"
                      "<LI><A href=\"#page4\">[4] B</A>\n"
                      "  <UL>\n"
                      "  <LI><A href=\"#page5\">[5] B1</A>\n"
                      "  </UL>\n"
                      "</UL>\n" +
                      Sjis(u8"\n<H4>内容</H4>\n\n") +
                      embedLines("n&amp;.svg", {{100, 50}, {200, 100}, {300, 150}, {400, 200}, {500, 250}}, "\n"));
}

TEST(EmbedHtml, SvgFormWithAndWithoutTheScriptWrapper) {
  testing_support::TempDir dir;
  Note note(dir);
  note.page(1).settings().setSize(500, 400);
  FakeHost host(note.doc);
  host.path = "/notes/My'Plan&B.svg";
  std::string text;
  WriteEmbedTag(host, text, EmbedHtml_bufferSize, EmbedHtml_svgForm);
  const std::string ja = EmbedHtml_viewerPageJa;
  EXPECT_EQ(text, Sjis(u8"<span title=\"この図を表示するには SVG ビューアが必要です。 ") + ja + "\">\r\n" +
                      "<embed src=\"My&apos;Plan&amp;B.svg\" name=\"My&apos;Plan&amp;B\" width=\"500\" "
                      "height=\"400\" type=\"image/svg+xml\" pluginspage=\"" + ja + "\">\r\n</span>\r\n");

  // English notice with its own address; the plug-in page stays the
  // Japanese one.  Lower-case names, transparent background, and every line
  // a document.write call.
  host.ja = false;
  host.lower = host.transparent = host.wrapper = true;
  WriteEmbedTag(host, text, EmbedHtml_bufferSize, EmbedHtml_svgForm);
  EXPECT_EQ(text, std::string("<SCRIPT><!--\r\n") +
                      "document.write('<span title=\"Download SVG Viewer for looking at this figure. " +
                      EmbedHtml_viewerPageEn + "\">');\r\n" +
                      "document.write('<embed src=\"my&apos;plan&amp;b.svg\" name=\"my&apos;plan&amp;b\" "
                      "width=\"500\" height=\"400\" wmode=\"transparent\" type=\"image/svg+xml\" pluginspage=\"" +
                      ja + "\">');\r\n" + "document.write('</span>');\r\n//--></SCRIPT>\r\n");
}

TEST(EmbedHtml, ImageFormMapsTheLinkedFiguresTopMostFirstAndNeverCutsAnArea) {
  testing_support::TempDir dir;
  Note note(dir);
  NotePage& page = note.page(1);
  page.settings().setSize(320, 200);
  FakeHost host(note.doc);
  std::string text;

  // No link: no USEMAP and no map.
  addBox(page, 100, 100, "");
  WriteEmbedTag(host, text, EmbedHtml_bufferSize, EmbedHtml_imageForm);
  EXPECT_EQ(text, "<IMG src=\"Plan.png\" width=\"320\" height=\"200\"/>\r\n");

  addBox(page, 20, 30, "/notes/sub/a.svg#x");      // under the others
  addBox(page, 200, 60, "http://e.example/a\\b");  // top-most
  const std::string areaA = "<AREA shape=\"rect\" coords=\"12,16,53,38\" href=\"sub/a.svg#x\"/>";
  const std::string areaB = "<AREA shape=\"rect\" coords=\"192,46,233,68\" href=\"http://e.example/a\\b\"/>";
  WriteEmbedTag(host, text, EmbedHtml_bufferSize, EmbedHtml_imageForm);
  const std::string head = "<IMG src=\"Plan.png\" width=\"320\" height=\"200\" border=0 USEMAP=\"#Plan\"/>\r\n"
                           "<MAP name=\"Plan\">\r\n";
  EXPECT_EQ(text, head + areaB + "\r\n" + areaA + "\r\n" + "</MAP>\r\n");

  // In the script every line is a document.write call; a backslash of
  // the address is doubled inside the script's string.
  host.wrapper = true;
  WriteEmbedTag(host, text, EmbedHtml_bufferSize, EmbedHtml_imageForm);
  EXPECT_EQ(text,
            "<SCRIPT><!--\r\n"
            "document.write('<IMG src=\"Plan.png\" width=\"320\" height=\"200\" border=0 USEMAP=\"#Plan\"/>');\r\n"
            "document.write('<MAP name=\"Plan\">');\r\n"
            "document.write('<AREA shape=\"rect\" coords=\"192,46,233,68\" href=\"http://e.example/a\\\\b\"/>');\r\n"
            "document.write('" + areaA + "');\r\n"
            "document.write('</MAP>');\r\n"
            "//--></SCRIPT>\r\n");

  // A buffer that holds the top-most area but not the next: the map ends
  // there, closed, and the text stays within the buffer.
  host.wrapper = false;
  const size_t room = head.size() + areaB.size() + 2 + std::string("</MAP>\r\n").size() + 1;
  WriteEmbedTag(host, text, room, EmbedHtml_imageForm);
  EXPECT_EQ(text, head + areaB + "\r\n</MAP>\r\n");
  WriteEmbedTag(host, text, room - 1, EmbedHtml_imageForm);
  EXPECT_EQ(text, head + "</MAP>\r\n");
  // Fixed parts that do not fit at all.
  EXPECT_EQ(testing_support::CatchError([&] { WriteEmbedTag(host, text, 20, EmbedHtml_imageForm); }).code, 3183);
}
