// "-cv", "-cV", "-cm": a note written as VML-HTML pages or an MHTML archive
// by the built program without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>

#include "app/blackbox/html_links_check.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_base64.h"
#include "core/strx/strx_fields.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "zerbin_run.h"

using namespace testing_support;

namespace {

struct PageSpec;
void WriteNote(const std::string& work, const std::string& path, const std::vector<PageSpec>& pages,
               const std::string& filePub = "", const std::string& corrImage = "");

struct PageSpec {
  std::string title;
  int32_t height = 6000;
  std::string rectPub;  // the publication list of the page's rectangle
};

// A note of the given pages, each with one rectangle.
void WriteNote(const std::string& work, const std::string& path, const std::vector<PageSpec>& pages,
               const std::string& filePub, const std::string& corrImage) {
  SaveNewNote(work, path, [&](NoteDocument& doc, FixedMetrics&) {
    for (size_t i = 0; i < pages.size(); ++i) {
      if (i > 0) doc.AddPage(AddPage_next);
      doc.currentPage()->setTitle(pages[i].title);
      doc.workingSettings().setSize(800, pages[i].height);
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(static_cast<int32_t>(i + 1));
      r->x = 20;
      r->y = 20;
      r->width = 60;
      r->height = 30;
      r->pub = pages[i].rectPub;
      doc.workingFigures().append(std::move(r));
    }
    doc.SelectPage(1);
    doc.workingSettings().setSaveImageFile(corrImage);
    NoteDocumentSettings s = doc.documentSettings();
    s.pubFile = filePub;
    doc.setDocumentSettings(s);
  });
}

// A text box at (20, y).
std::unique_ptr<Text_Box> Box(FixedMetrics& metrics, int32_t number, int32_t y, const std::string& text,
                              const std::string& id, const std::string& classes) {
  auto t = std::make_unique<Text_Box>(&metrics);
  t->SetNumber(number);
  t->SetBasePoint(20, y);
  t->SetText(text);
  t->SetId(id);
  t->className = classes;
  t->Layout(metrics, DrawContext{});
  return t;
}

bool HasBareLf(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) return true;
  }
  return false;
}

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(HtmlExportBlackBox, PagesSplitIntoPageFilesWithTreeKeywordsAndFrame) {
  TempDir dir;
  WriteNote(dir.file("work"), dir.file("note.svg"),
            {{"A<&\"1", 6000, ""}, {"Second", 6000, ""}, {"third", 6000, ""}});
  // A destination folder gives the file name from the note's name.
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cV", dir.file("note.svg"), dir.file("site")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(FilesUnder(dir.file("site")),
            (std::set<std::string>{"note.html", "note.files/note_tree.html", "note.files/note_01.html",
                                   "note.files/note_02.html", "note.files/note.keyword.xml"}));
  const std::string p1 = ReadFileBytes(dir.file("site/note.files/note_01.html"));
  const std::string p2 = ReadFileBytes(dir.file("site/note.files/note_02.html"));
  // Pages 1 and 2 at 8 and 6024 in the first file, page 3 at 0 in the next.
  EXPECT_TRUE(Has(p1, "<v:rect style=\"position:absolute; margin-left:0px; margin-top:8px; width:800px; "
                      "height:6000px;\" fillcolor=\"white\"/>\r\n"));
  EXPECT_TRUE(Has(p1, "margin-top:6024px; width:800px;"));
  EXPECT_TRUE(Has(p2, "margin-top:0px; width:800px; height:6000px;"));
  EXPECT_FALSE(Has(p2, "<!-- page 2 -->"));
  EXPECT_TRUE(Has(p1, "<A href=\"#zerbin_vml_p2\" class=\"to_next_page\" style=\"margin-top:-3px;\">"));
  EXPECT_TRUE(Has(p1, "<A href=\"note_02.html#zerbin_vml_p3\" class=\"to_next_page\" style=\"margin-top:6013px;\">"));
  EXPECT_TRUE(Has(p1, "<A id=\"page_group_bottom\" href=\"note_02.html#page_group_top\""));
  EXPECT_TRUE(Has(p2, "<A href=\"note_01.html#zerbin_vml_p2\" class=\"to_prev_page\" style=\"margin-top:-11px;\">"));
  EXPECT_TRUE(Has(p2, "<A id=\"page_group_top\" href=\"note_01.html#page_group_bottom\""));
  EXPECT_TRUE(Has(p1, "<v:line from=\"800,8\" to=\"800,6008\"/>\r\n"));
  EXPECT_TRUE(Has(p2, "</PAGESET>\r\n\r\n<TABLE height=\"100%\" style=\"position:absolute; margin-top:0px\">"));
  EXPECT_TRUE(Has(p1, "<TITLE>note</TITLE>"));

  const std::string tree = ReadFileBytes(dir.file("site/note.files/note_tree.html"));
  EXPECT_TRUE(Has(tree, "<LI><A href=\"note_01.html#zerbin_vml_p1\" name=\"zerbin_index_p1\" "
                        "target=\"main\">A&lt;&amp;\"1</A>\r\n"));
  EXPECT_TRUE(Has(tree, "<LI><A href=\"note_02.html#zerbin_vml_p3\" name=\"zerbin_index_p3\""));
  const std::string kw = ReadFileBytes(dir.file("site/note.files/note.keyword.xml"));
  EXPECT_EQ(kw.substr(0, 65), "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n\r\n<keywords keyword=");
  EXPECT_TRUE(Has(kw, "<a href=\"../note.html?f1=note.files/note_tree.html&amp;sub1=zerbin_index_p1&amp;"
                      "f2=note.files/note_01.html&amp;sub2=zerbin_vml_p1\" lower=\"a&lt;&amp;&quot;1\">"
                      "A&lt;&amp;\"1</a>\r\n"));
  EXPECT_TRUE(Has(kw, "f2=note.files/note_02.html&amp;sub2=zerbin_vml_p3\">third</a>\r\n"));
  EXPECT_TRUE(Has(kw, "<a href=\"../note.html\">note</a>\r\n</keywords>\r\n"));
  const std::string frame = ReadFileBytes(dir.file("site/note.html"));
  EXPECT_TRUE(Has(frame, "src=\"note.files/note_tree.html\"")) << frame;
  EXPECT_TRUE(Has(frame, "src=\"note.files/note_01.html\""));
  for (const std::string* t : {&p1, &p2, &tree, &kw, &frame}) EXPECT_FALSE(HasBareLf(*t));
  EXPECT_EQ(html_links::check(dir.path()), "");
}

TEST(HtmlExportBlackBox, PublicationFilterAndSideFiles) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  // The whole file is not published: only the placeholder, nothing else.
  WriteNote(dir.file("work"), dir.file("closed.svg"), {{"x", 100, ""}}, "intra");
  ZerbinRun closed = runZerbin(dir, {prof, "-cV", "-pub=web", dir.file("closed.svg"), dir.file("c/out.html")});
  ASSERT_EQ(closed.status, 0) << closed.echo;
  EXPECT_EQ(FilesUnder(dir.file("c")), std::set<std::string>{"out.html"});
  EXPECT_EQ(ReadFileBytes(dir.file("c/out.html")),
            "<HTML><HEAD><TITLE>closed</TITLE></HEAD><BODY>\r\n<BR/><BR/>" +
                Sjis(u8"（非公開情報のためカットされました）") + "\r\n</BODY></HTML>\r\n");

  // A page whose figures are not published is left out and the numbers
  // close up; the side files are written beside the output.
  WriteNote(dir.file("work"), dir.file("mixed.svg"),
            {{"open1", 100, "web"}, {"hidden", 100, "intra"}, {"open2", 100, "web"}});
  ZerbinRun mixed = runZerbin(dir, {prof, "-cV", "-pub=web", "-ids", "-links", "-ids2",
                                    dir.file("mixed.svg"), dir.file("m/out.html")});
  ASSERT_EQ(mixed.status, 0) << mixed.echo;
  EXPECT_EQ(FilesUnder(dir.file("m")),
            (std::set<std::string>{"out.html", "out.files/out_tree.html", "out.files/out_01.html",
                                   "out.files/out.keyword.xml", "links.csv", "ids.csv",
                                   "keywords.repurl.txt"}));
  const std::string page = ReadFileBytes(dir.file("m/out.files/out_01.html"));
  EXPECT_TRUE(Has(page, "<!-- page 2 -->"));
  EXPECT_FALSE(Has(page, "<!-- page 3 -->"));
  const std::string tree = ReadFileBytes(dir.file("m/out.files/out_tree.html"));
  EXPECT_FALSE(Has(tree, "hidden"));
  EXPECT_TRUE(Has(tree, "zerbin_index_p2\" target=\"main\">open2</A>"));
  EXPECT_EQ(ReadFileBytes(dir.file("m/ids.csv")), "\"" + dir.file("m/out.files/out_01.html") + "\", , 1,\r\n");
  EXPECT_EQ(ReadFileBytes(dir.file("m/keywords.repurl.txt")),
            "src=" + dir.file("mixed.svg") + "\r\ndst=" + dir.file("m/out.files/out_01.html") + "\r\n");
}

TEST(HtmlExportBlackBox, MhtmlArchiveIsOneFileWithItsBoundaries) {
  TempDir dir;
  WriteNote(dir.file("work"), dir.file("note.svg"), {{"one", 300, ""}, {"two", 300, ""}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cm", dir.file("note.svg"), dir.file("m/out.mht")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(FilesUnder(dir.file("m")), std::set<std::string>{"out.mht"});
  const std::string mht = ReadFileBytes(dir.file("m/out.mht"));
  EXPECT_EQ(mht.substr(0, 33), "From: <Saved by Brevlo 3.10>\r\nSub");
  EXPECT_TRUE(Has(mht, "boundary=\"----=_NextPart_<Zerbin>\""));
  EXPECT_TRUE(Has(mht, "\r\n------=_NextPart_<Zerbin>\r\nContent-Type: text/html"));
  EXPECT_TRUE(Has(mht, "<!-- page 2 -->"));
  EXPECT_FALSE(Has(mht, "(for Internet Explorer)"));
  const std::string tail = "</BODY>\r\n</HTML> \r\n \r\n\r\n------=_NextPart_<Zerbin>--\r\n \r\n";
  ASSERT_GE(mht.size(), tail.size());
  EXPECT_EQ(mht.substr(mht.size() - tail.size()), tail);
  EXPECT_FALSE(HasBareLf(mht));
}

TEST(HtmlExportBlackBox, PunycodeNamesAndUnwritableDestination) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string jp = dir.file(Sjis(u8"メモ.svg"));
  WriteNote(dir.file("work"), jp, {{"p", 100, ""}});
  // "-cv" names the files in their ASCII form.
  const std::string jpUtf8 = dir.path() + "/" + reinterpret_cast<const char*>(u8"メモ.svg");
  ZerbinRun v = runZerbin(dir, {prof, "-cv", jpUtf8, dir.file("v")});
  ASSERT_EQ(v.status, 0) << v.echo;
  const std::set<std::string> files = FilesUnder(dir.file("v"));
  std::string listed;
  for (const std::string& f : files) listed += f + " ";
  ASSERT_EQ(files.size(), 4u) << listed << v.echo;
  for (const std::string& f : files) {
    for (char c : f) EXPECT_LT(static_cast<unsigned char>(c), 0x80) << f;
  }
  EXPECT_EQ(std::count_if(files.begin(), files.end(),
                          [](const std::string& f) { return f.find('/') == std::string::npos && f.ends_with(".html"); }),
            1);

  // A name whose ASCII form is longer than a path may be is refused.
  std::string longName;
  for (int i = 0; i < 180; ++i) {
    longName += static_cast<char>(0x89 + i * 7 % 15);
    longName += static_cast<char>(0x40 + i * 13 % 63);
  }
  ZerbinRun refused = runZerbin(dir, {prof, "-cv", jpUtf8, dir.path() + "/" + Cp932_toUtf8(longName) + ".html"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(Has(refused.echo, Sjis(u8": この名前は ASCII の名前 (Punycode) にできません。"))) << refused.echo;

  // A link-replacement file that is not one: its error with the export's
  // caption, and the command fails.
  WriteFileBytes(dir.file("bad.ini"), "[repurl]\r\nsrx=a\r\ndst=b\r\n");
  ZerbinRun badList = runZerbin(dir, {prof, "-cV", "-repurl=" + dir.file("bad.ini"), jpUtf8, dir.file("r")});
  EXPECT_EQ(badList.status, 1);
  EXPECT_TRUE(Has(badList.echo, Sjis(u8"属性名が異なる"))) << badList.echo;

  // Under a plain file no folder can be made.
  WriteFileBytes(dir.file("plain"), "x");
  ZerbinRun bad = runZerbin(dir, {prof, "-cV", jpUtf8, dir.file("plain/out.html")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.echo.find(dir.file("plain/out.html") + "\" " + Sjis(u8"が書きこめません")), std::string::npos)
      << bad.echo;
  EXPECT_EQ(html_links::check(dir.path()), "");
}

TEST(HtmlExportBlackBox, MarkupInNamesAndTitlesIsEscaped) {
  TempDir dir;
  WriteNote(dir.file("work"), dir.file("a<&'b.svg"), {{"<script>alert(\"x\")</script>", 100, ""}});
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cV", dir.file("a<&'b.svg"), dir.file("s")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::set<std::string> files = FilesUnder(dir.file("s"));
  ASSERT_EQ(files.size(), 4u);
  for (const std::string& f : files) {
    const std::string text = ReadFileBytes(dir.file("s/" + f));
    EXPECT_FALSE(Has(text, "<script>")) << f;
    EXPECT_FALSE(Has(text, "a<&")) << f;
  }
  const std::string frame = ReadFileBytes(dir.file("s/a<&'b.html"));
  EXPECT_TRUE(Has(frame, "<TITLE>a&lt;&amp;&apos;b</TITLE>")) << frame;
  EXPECT_TRUE(Has(frame, "src=\"a&lt;&amp;&apos;b.files/a&lt;&amp;&apos;b_tree.html\""));
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("s/a<&'b.files/a<&'b_tree.html")),
                  ">&lt;script&gt;alert(\"x\")&lt;/script&gt;</A>"));
}

TEST(HtmlExportBlackBox, SavedCopyRegeneratesTheHtmlCopyItsFirstPageNames) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("out"));
  WriteNote(dir.file("work"), dir.file("note.svg"), {{"one", 100, ""}}, "", "copy.htm");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cs", dir.file("note.svg"), dir.file("out/pub.svg")});
  ASSERT_EQ(r.status, 0) << r.echo;
  // The page names its copy beside the note it was read from.
  EXPECT_EQ(FilesUnder(dir.file("out")), std::set<std::string>{"pub.svg"});
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("copy.htm")), "src=\"copy.files/copy_01.htm\"")) << r.echo;
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("copy.files/copy_01.htm")), "<!-- page 1 -->"));
}

TEST(HtmlExportBlackBox, HeadingTreeListsTheHeadingsInReadingOrder) {
  TempDir dir;
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& metrics) {
    doc.currentPage()->setTitle("one");
    int32_t number = 1;
    for (auto [text, y] : {std::pair{"Second<", 100}, std::pair{"First", 40}}) {
      auto t = std::make_unique<Text_Box>(&metrics);
      t->SetNumber(number++);
      t->SetBasePoint(20, y);
      t->SetText(text);
      t->className = "big head";
      t->Layout(metrics, DrawContext{});
      doc.workingFigures().append(std::move(t));
    }
    doc.AddPage(AddPage_next);
    doc.currentPage()->setTitle("two");
    // Enough pages for several page files.
    for (int i = 0; i < 40; ++i) doc.AddPage(AddPage_next);
  });
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cV", "-head", dir.file("note.svg"), dir.file("h")});
  ASSERT_EQ(r.status, 0) << r.echo;
  const std::string tree = ReadFileBytes(dir.file("h/note.files/note_tree.html"));
  // Headings have anchors of their own, apart from the pages'.
  EXPECT_TRUE(Has(tree, "<LI><A href=\"note_01.html#zerbin_vml_h1\" name=\"zerbin_index_p1\" target=\"main\">First</A>\r\n"
                        "<LI><A href=\"note_01.html#zerbin_vml_h2\" name=\"zerbin_index_p2\" target=\"main\">Second&lt;</A>\r\n"))
      << tree;
  // Every arrow, heading and tree link leads to an anchor that exists, and
  // no page file ends with its spacer far above the page.
  EXPECT_EQ(html_links::check(dir.file("h")), "");
  ASSERT_TRUE(std::filesystem::exists(dir.file("h/note.files/note_02.html")));
  EXPECT_FALSE(Has(ReadFileBytes(dir.file("h/note.files/note_01.html")), "margin-top:-9999px"));
  EXPECT_FALSE(Has(tree, ">one</A>"));
  const std::string page = ReadFileBytes(dir.file("h/note.files/note_01.html"));
  // The second page (below the first) links back to the last heading before
  // it, in the tree beside the page file.
  EXPECT_TRUE(Has(page, "<A style=\"text-decoration: none;\" href=\"note_tree.html#zerbin_index_p2\" "
                        "target=\"index\">"));
}

TEST(HtmlExportBlackBox, SearchFigureBecomesAForm) {
  TempDir dir;
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& metrics) {
    doc.workingFigures().append(Box(metrics, 1, 40, "keyword", "q", ""));
    for (const char* link : {"find.cgi?q=?&lang=ja", "other.cgi?k=?"}) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(2);
      r->x = 100;
      r->y = 40;
      r->url = link;
      doc.workingFigures().append(std::move(r));
      if (doc.pageCount() == 1) doc.AddPage(AddPage_next);
    }
  });
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cV", dir.file("note.svg"), dir.file("f")});
  ASSERT_EQ(r.status, 0) << r.echo;
  // The address goes from the page file to the note's folder.
  const std::string page = ReadFileBytes(dir.file("f/note.files/note_01.html"));
  EXPECT_TRUE(Has(page, "<FORM action=\"../../find.cgi\">\r\n<INPUT style=\"position:absolute; margin-left:")) << page;
  EXPECT_TRUE(Has(page, "\r\n       type=\"text\" name=\"q\" value=\"\"/>\r\n"
                        "<INPUT type=\"hidden\" name=\"lang\" value=\"ja\"/>\r\n</FORM>\r\n"));
  EXPECT_TRUE(Has(page, "<FORM action=\"../../other.cgi\">\r\n<INPUT type=\"hidden\" name=\"k\" value=\"" +
                            Sjis(u8"キーワードを入力するテキストボックスが見つかりません") + "\"/>\r\n</FORM>"));
  EXPECT_EQ(html_links::check(dir.path()), "");
}

TEST(HtmlExportBlackBox, InstalledTemplatesAndSharedFilesAreUsed) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  WriteNote(dir.file("work"), dir.file("note.svg"), {{"one", 100, ""}});
  ASSERT_EQ(runZerbin(dir, {prof, "-cV", dir.file("note.svg"), dir.file("a")}).status, 0);
  // The installation's tree head and a shared file beside the pages.
  WriteFileBytes(dir.file("P/script/toc_1_head.txt"), "<html><title>%title%</title>\r\n<ul>\r\n");
  std::filesystem::create_directories(dir.file("P/script/rel_copy"));
  WriteFileBytes(dir.file("P/script/rel_copy/tree.css"), "a {}\r\n");
  ZerbinRun r = runZerbin(dir, {prof, "-cV", dir.file("note.svg"), dir.file("b")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(ReadFileBytes(dir.file("b/note.files/tree.css")), "a {}\r\n");
  const std::string tree = ReadFileBytes(dir.file("b/note.files/note_tree.html"));
  EXPECT_EQ(tree.substr(0, 37), "<html><title>note</title>\r\n<ul>\r\n<LI>");
  // With a menu page the shared files are not copied; the frame has the menu.
  WriteFileBytes(dir.file("menu.html"), "menu");
  ZerbinRun m = runZerbin(dir, {prof, "-cV", "-menu=" + dir.file("menu.html"), dir.file("note.svg"), dir.file("c")});
  ASSERT_EQ(m.status, 0) << m.echo;
  EXPECT_FALSE(FileX_exists(dir.file("c/note.files/tree.css")));
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("c/note.html")),
                  "<FRAMESET rows=\"25,*\"><FRAME src=\"../menu.html\" name=\"menu\">"));
  EXPECT_EQ(html_links::check(dir.path()), "");
}

// A page with a rectangle, a linked Japanese text box, a line and a picture.
void WriteMixedNote(TempDir& dir) {
  WriteFileBytes(dir.file("pic.png"), kPng);
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& metrics) {
    doc.currentPage()->setTitle("mixed");
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(1);
    r->x = 20;
    r->y = 20;
    r->width = 60;
    r->height = 30;
    doc.workingFigures().append(std::move(r));
    auto t = std::make_unique<Text_Box>(&metrics);
    t->SetNumber(2);
    t->SetBasePoint(120, 40);
    t->SetText(Sjis(u8"日本語のメモ<&>"));
    t->SetUrl("http://example.com/a?b=1&c=\"2\"");
    t->Layout(metrics, DrawContext{});
    doc.workingFigures().append(std::move(t));
    auto l = std::make_unique<Line_Ex>();
    l->SetNumber(3);
    l->SetPoints({10, 200}, {300, 250});
    doc.workingFigures().append(std::move(l));
    auto pic = PictureFigure(dir.file("pic.png"), 4);
    pic->x = 400;
    pic->y = 300;
    doc.workingFigures().append(std::move(pic));
  });
}

std::string Between(const std::string& text, const std::string& from, const std::string& to) {
  const size_t a = text.find(from);
  if (a == std::string::npos) return "";
  const size_t b = text.find(to, a + from.size());
  return b == std::string::npos ? "" : text.substr(a + from.size(), b - a - from.size());
}

// The archive's picture part is named as the page's src and holds the picture.
void ExpectPicturePart(const std::string& mht) {
  const std::string src = Between(mht, "<v:image src=\"", "\"");
  ASSERT_FALSE(src.empty()) << mht;
  const std::string part = Between(mht, "\r\n------=_NextPart_<Zerbin>\r\nContent-Type: image/", "------=_NextPart_");
  ASSERT_FALSE(part.empty()) << mht;
  std::string location = Between(part, "Content-Location: ", "\r\n");
  while (!location.empty() && location.back() == ' ') location.pop_back();
  EXPECT_EQ(location, src);
  const size_t body = part.find("\r\n\r\n");
  ASSERT_NE(body, std::string::npos);
  EXPECT_EQ(StrX_base64Decode(part.substr(body + 4)), kPng);
  // Nothing but Base64 lines and blank lines: browsers refuse the archive
  // when a line of the part's body holds a space.
  EXPECT_EQ(part.find(' ', body), std::string::npos);
}

TEST(HtmlExportBlackBox, RectTextLineAndPictureInPagesAndArchive) {
  TempDir dir;
  WriteMixedNote(dir);
  const std::string prof = "-prof=" + dir.file("P");
  ZerbinRun v = runZerbin(dir, {prof, "-cv", dir.file("note.svg"), dir.file("v")});
  ASSERT_EQ(v.status, 0) << v.echo;
  EXPECT_EQ(FilesUnder(dir.file("v")),
            (std::set<std::string>{"note.html", "note.files/note_tree.html", "note.files/note_01.html",
                                   "note.files/note.keyword.xml", "note.files/01/image04.png"}));
  const std::string page = ReadFileBytes(dir.file("v/note.files/note_01.html"));
  EXPECT_TRUE(Has(page, "<v:rect style=\"position:absolute; margin-left:20px; margin-top:28px;")) << page;
  EXPECT_TRUE(Has(page, "<v:line ")) << page;
  EXPECT_TRUE(Has(page, "<DIV ")) << page;
  EXPECT_TRUE(Has(page, Sjis(u8"日本語のメモ&lt;&amp;&gt;")));
  EXPECT_TRUE(Has(page, "href=\"http://example.com/a?b=1&c=&quot;2&quot;\"")) << page;
  EXPECT_FALSE(Has(page, "c=\"2\""));
  EXPECT_TRUE(Has(page, "<v:image src=\"01/image04.png\"")) << page;
  EXPECT_EQ(ReadFileBytes(dir.file("v/note.files/01/image04.png")), kPng);

  ZerbinRun m = runZerbin(dir, {prof, "-cm", dir.file("note.svg"), dir.file("m/out.mht")});
  ASSERT_EQ(m.status, 0) << m.echo;
  EXPECT_EQ(FilesUnder(dir.file("m")), std::set<std::string>{"out.mht"});
  const std::string mht = ReadFileBytes(dir.file("m/out.mht"));
  EXPECT_TRUE(Has(mht, Sjis(u8"日本語のメモ&lt;&amp;&gt;")));
  EXPECT_TRUE(Has(mht, "<v:line "));
  ExpectPicturePart(mht);
  EXPECT_FALSE(HasBareLf(mht));
  EXPECT_EQ(html_links::check(dir.path()), "");
}

TEST(HtmlExportBlackBox, ArchivePictureAfterASearchFormKeepsItsName) {
  TempDir dir;
  WriteFileBytes(dir.file("pic.png"), kPng);
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& metrics) {
    doc.workingFigures().append(Box(metrics, 1, 40, "keyword", "q", ""));
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(2);
    r->x = 100;
    r->y = 40;
    r->url = "find.cgi?q=?";
    doc.workingFigures().append(std::move(r));
    doc.workingFigures().append(PictureFigure(dir.file("pic.png"), 3));
  });
  ZerbinRun m = runZerbin(dir, {"-prof=" + dir.file("P"), "-cm", dir.file("note.svg"), dir.file("m/out.mht")});
  ASSERT_EQ(m.status, 0) << m.echo;
  const std::string mht = ReadFileBytes(dir.file("m/out.mht"));
  EXPECT_TRUE(Has(mht, "<FORM action="));
  ExpectPicturePart(mht);
}


std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// "-hhc2=": the pictures go into hhp_sub.txt (relative to the help project's
// folder, with backslashes) and the keyword boxes into hhk_sub.txt, beside
// the output; like the other side files they are added to, so that the
// exports of a site into one folder collect their lines.  The keyword
// box's entry and replacement lines name the page file and the note.
// Exported twice, the side lists hold the note's entries once.
TEST(HtmlExportBlackBox, HelpSideFilesAreAddedToBesideTheOutput) {
  TempDir dir;
  std::filesystem::create_directories(dir.file("help"));
  WriteFileBytes(dir.file("pic.png"), kPng);
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& m) {
    doc.workingFigures().append(Box(m, 1, 40, "<b>\"K&w'</b>", "kw", "keyword"));
    doc.workingFigures().append(PictureFigure(dir.file("pic.png"), 2));
  });
  for (int run = 0; run < 2; ++run) {
    ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-cV", "-ids2", "-hhc2=" + dir.file("help/site.hhp"),
                                  dir.file("note.svg"), dir.file("h/out.html")});
    ASSERT_EQ(r.status, 0) << r.echo;
  }
  EXPECT_EQ(FilesUnder(dir.file("h")),
            (std::set<std::string>{"out.html", "out.files/out_tree.html", "out.files/out_01.html",
                                   "out.files/out.keyword.xml", "out.files/01/image02.png",
                                   "keywords.repurl.txt", "hhp_sub.txt", "hhk_sub.txt"}));
  const std::string image = "..\\h\\out.files\\01\\image02.png\r\n";
  EXPECT_EQ(ReadFileBytes(dir.file("h/hhp_sub.txt")), image);
  const std::string entry =
      "\t<LI> <OBJECT type=\"text/sitemap\">\r\n"
      "\t\t<param name=\"Name\" value=\"&lt;b&gt;&quot;K&amp;w&apos;&lt;/b&gt;\">\r\n"
      "\t\t<param name=\"Name\" value=\"note\">\r\n"
      "\t\t<param name=\"Local\" value=\"..\\h\\out.files\\out_01.html\">\r\n"
      "\t\t</OBJECT>\r\n";
  EXPECT_EQ(ReadFileBytes(dir.file("h/hhk_sub.txt")), entry);
  const std::string note = dir.file("note.svg"), page = dir.file("h/out.files/out_01.html");
  const std::string moves = "src = " + note + "#kw\r\ndst = " + page + "#kw\r\nsrc=" + note + "\r\ndst=" + page + "\r\n";
  EXPECT_EQ(ReadFileBytes(dir.file("h/keywords.repurl.txt")), moves);
  // The keyword file sends the keyword to its page file.
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("h/out.files/out.keyword.xml")), "&amp;f2=out.files/out_01.html&amp;sub2=kw\">"));
}

// Texts, ids, titles and links that hold markup and script reach every HTML
// and XML output only as text: the pages, the tree, the frame, the keyword
// file, the help index and the archive hold no tag of theirs.
TEST(HtmlExportBlackBox, ScriptInTextsLinksAndIdsIsEscapedInEveryOutput) {
  TempDir dir;
  const std::string evil = "<script>alert(\"1&2\")</script>'";
  SaveNewNote(dir.file("work"), dir.file("n<script>.svg"), [&](NoteDocument& doc, FixedMetrics& m) {
    doc.currentPage()->setTitle(evil);
    for (int32_t n : {1, 2}) {
      auto t = Box(m, n, 40 * n, evil + "\r\n" + evil, n == 1 ? "a\"><script>b" : "", n == 1 ? "keyword head" : "head");
      t->SetUrl("\"><script>alert(1)</script>");
      doc.workingFigures().append(std::move(t));
    }
    for (const char* link : {"http://x/\"><script>?q=?&<script>=\"><script>", "http://y/?a=\"><script>"}) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(static_cast<int32_t>(doc.workingFigures().size()) + 1);
      r->x = r->y = 200;
      r->SetId("r\"<script>");
      r->url = link;
      doc.workingFigures().append(std::move(r));
    }
  });
  const std::string prof = "-prof=" + dir.file("P");
  for (const char* head : {"-html", "-head"}) {
    ZerbinRun v = runZerbin(dir, {prof, "-cV", head, "-ids", "-links", "-ids2", "-hhc2=" + dir.file("help/h.hhp"),
                                  dir.file("n<script>.svg"), dir.file(std::string("v") + head)});
    ASSERT_EQ(v.status, 0) << v.echo;
  }
  ZerbinRun m = runZerbin(dir, {prof, "-cm", dir.file("n<script>.svg"), dir.file("m/out.mht")});
  ASSERT_EQ(m.status, 0) << m.echo;
  size_t checked = 0;
  for (const char* folder : {"v-html", "v-head", "m"}) {
    for (const std::string& f : FilesUnder(dir.file(folder))) {
      if (f.ends_with(".csv") || f.ends_with("repurl.txt") || f.ends_with("hhp_sub.txt")) continue;
      std::string text = ReadFileBytes(dir.file(std::string(folder) + "/" + f));
      // The archive's mail header names the note as it is (no markup there).
      if (f.ends_with(".mht")) text.erase(0, text.find("Content-Type: text/html"));
      EXPECT_FALSE(Has(LowerAscii(text), "<script")) << folder << "/" << f << "\n" << text;
      ++checked;
    }
  }
  EXPECT_EQ(checked, 5u + 5u + 1u);
  // The texts are there, as text.
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("v-html/n<script>.files/n<script>_01.html")),
                  "&lt;script&gt;alert(\"1&amp;2\")&lt;/script&gt;'<BR/>"));
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("v-html/hhk_sub.txt")),
                  "value=\"&lt;script&gt;alert(&quot;1&amp;2&quot;)&lt;/script&gt;&apos;\""));
}

// The installation's tree templates, a page without figures, the back page
// and a picture that is a search form's button: the tree arrays list the
// published pages only, a name is put into a template as it is (no
// placeholder in it is filled), the back page shows on page 1 only, the
// button's picture lies where its src says (beside the page files; in the
// archive, the part of that name), and the note's keyword entry stays when
// the last page's keyword box names that page.
TEST(HtmlExportBlackBox, TreeTemplatesEmptyPageBackPageAndPictureButton) {
  TempDir dir;
  WriteFileBytes(dir.file("pic.png"), kPng);
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& m) {
    auto rect = [&](int32_t number, int32_t width) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(number);
      r->x = r->y = 10;
      r->width = width;
      r->height = 30;
      r->pub = "web";
      return r;
    };
    doc.currentPage()->setTitle("one %path%");
    doc.workingFigures().append(rect(1, 60));
    auto pic = PictureFigure(dir.file("pic.png"), 2);
    pic->url = "find.cgi?q=?";
    pic->pub = "web";
    doc.workingFigures().append(std::move(pic));
    doc.AddPage(AddPage_next);
    doc.currentPage()->setTitle("two");
    doc.AddPage(AddPage_next);
    doc.currentPage()->setTitle("three");
    doc.workingFigures().append(rect(3, 60));
    auto t = Box(m, 4, 80, "three", "k3", "keyword");
    t->SetProperty(5, "web", "");  // its publication list
    doc.workingFigures().append(std::move(t));
    doc.ToggleBackPage(true);
    doc.workingFigures().append(rect(5, 77));
  });
  const std::string prof = "-prof=" + dir.file("P");
  ASSERT_EQ(runZerbin(dir, {prof, "-cV", dir.file("note.svg"), dir.file("first")}).status, 0);
  WriteFileBytes(dir.file("P/script/toc_3_leaf.txt"), "<LI>%title%|%path%\r\n");
  WriteFileBytes(dir.file("P/script/toc_5_foot.txt"), "<script>\r\n%array%</script>\r\n");
  ZerbinRun v = runZerbin(dir, {prof, "-cV", "-pub=web", dir.file("note.svg"), dir.file("v")});
  ASSERT_EQ(v.status, 0) << v.echo;
  const std::string tree = ReadFileBytes(dir.file("v/note.files/note_tree.html"));
  EXPECT_TRUE(Has(tree, "<LI>one %path%|note_01.html#zerbin_vml_p1\r\n<LI>two|note_01.html#zerbin_vml_p2\r\n"
                        "<LI>three|note_01.html#zerbin_vml_p3\r\n<script>\r\ng_elem_ids = new Array( \"\",\r\n"
                        "  \"zerbin_index_p1\", \"zerbin_index_p3\" );\r\ng_parents = new Array( -1,\r\n  -1, -1 );\r\n"
                        "g_flags = new Array( 0,\r\n  1, 2 );\r\n</script>\r\n"))
      << tree;
  const std::string page = ReadFileBytes(dir.file("v/note.files/note_01.html"));
  const size_t back = page.find("width:77px;");
  EXPECT_LT(back, page.find("<!-- page 2 -->"));
  EXPECT_EQ(page.find("width:77px;", back + 1), std::string::npos);
  EXPECT_TRUE(Has(page, "type=\"image\" src=\"01/image02.png\" alt=\"pic.png\"/>\r\n</FORM>")) << page;
  EXPECT_EQ(ReadFileBytes(dir.file("v/note.files/01/image02.png")), kPng);
  const std::string kw = ReadFileBytes(dir.file("v/note.files/note.keyword.xml"));
  EXPECT_TRUE(Has(kw, "sub2=k3\">three</a>")) << kw;
  EXPECT_FALSE(Has(kw, "sub2=zerbin_vml_p3\">three</a>"));
  EXPECT_TRUE(Has(kw, "<a href=\"../note.html\">note</a>\r\n</keywords>\r\n"));
  // A name that looks like a placeholder stays as it is in the frame page.
  ASSERT_EQ(runZerbin(dir, {prof, "-cV", dir.file("note.svg"), dir.file("t/%tree_path%.html")}).status, 0);
  EXPECT_TRUE(Has(ReadFileBytes(dir.file("t/%tree_path%.html")), "<TITLE>%tree_path%</TITLE>"));

  ZerbinRun m = runZerbin(dir, {prof, "-cm", "-pub=web", dir.file("note.svg"), dir.file("m/out.mht")});
  ASSERT_EQ(m.status, 0) << m.echo;
  const std::string mht = ReadFileBytes(dir.file("m/out.mht"));
  EXPECT_TRUE(Has(mht, "type=\"image\" src=\"01/image02.png\" alt=\"pic.png\"/>")) << mht;
  EXPECT_TRUE(Has(mht, "Content-Location: 01/image02.png \r\n\r\n" + StrX_base64Encode(kPng).substr(0, 20)));
  EXPECT_EQ(html_links::check(dir.path()), "");
}

}  // namespace

// With lower-case paths on, an export into a folder with capitals keeps its
// pictures beside its pages; the lists quote as CSV readers expect; a
// picture whose name holds a line break adds no header to an archive.
TEST(HtmlExportBlackBox, LowerPathQuotedListsAndPictureNamesStayInTheirPlace) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string pic = dir.file("a.png\r\nX-Injected: 1");
  WriteFileBytes(pic, kPng);
  SaveNewNote(dir.file("work"), dir.file("note.svg"), [&](NoteDocument& doc, FixedMetrics& m) {
    auto t = Box(m, 1, 40, "He said \"hi\", twice", "", "");
    t->SetUrl("http://example.com/?q=\"x\"");
    doc.workingFigures().append(std::move(t));
    doc.workingFigures().append(PictureFigure(pic, 2));
  });
  ASSERT_EQ(runZerbin(dir, {prof, "-cV", dir.file("note.svg"), dir.file("first/o.html")}).status, 0);
  std::string ini = ReadFileBytes(dir.file("P/zerbin.ini"));
  const size_t view = ini.find("[view] \r\n");
  ASSERT_NE(view, std::string::npos) << ini;
  ini.insert(view + 9, "LowerPath = 1\r\n");
  WriteFileBytes(dir.file("P/zerbin.ini"), ini);

  ZerbinRun r = runZerbin(dir, {prof, "-cV", "-links", "-ids", dir.file("note.svg"), dir.file("Out Dir/Note.html")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(FilesUnder(dir.file("Out Dir")),
            (std::set<std::string>{"Note.html", "Note.files/Note_tree.html", "Note.files/Note_01.html",
                                   "Note.files/Note.keyword.xml", "Note.files/01/image02.png", "links.csv",
                                   "ids.csv"}));
  EXPECT_EQ(html_links::check(dir.file("Out Dir")), "");
  // Each line of the lists is fields a CSV reader takes back as written.
  const std::string links = ReadFileBytes(dir.file("Out Dir/links.csv"));
  const std::string line = links.substr(0, links.find("\r\n"));
  EXPECT_EQ(StrX_csvFieldN(line, 2), std::optional<std::string>(""));
  EXPECT_EQ(StrX_csvFieldN(line, 4), std::optional<std::string>("He said \"hi\", twice")) << links;
  EXPECT_EQ(StrX_csvFieldN(line, 6), std::optional<std::string>(dir.file("note.svg"))) << links;

  ZerbinRun m = runZerbin(dir, {prof, "-cm", dir.file("note.svg"), dir.file("m/o.mht")});
  ASSERT_EQ(m.status, 0) << m.echo;
  const std::string mht = ReadFileBytes(dir.file("m/o.mht"));
  EXPECT_FALSE(Has(mht, "\r\nX-Injected")) << mht;
  EXPECT_TRUE(Has(mht, "Content-Location: 01/image02.png")) << mht;
}
