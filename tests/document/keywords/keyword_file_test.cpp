#include "document/keywords/keyword_file.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "document/writer/note_writer.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "../writer/note_writer_fixture.h"

using namespace testing_support;

namespace {

constexpr const char* kUuid = "01234567-89AB-CDEF-0123-456789ABCDEF";

std::string header(const std::string& path) {
  return "<?xml version=\"1.0\" encoding=\"Shift-JIS\" ?>\r\n\r\n"
         "<keywords xmlns:xlink=\"http://www.w3.org/1999/xlink\"\r\n"
         "  xlink:type=\"simple\"\r\n"
         "  xlink:href=\"" +
         path + "\">\r\n\r\n";
}
const char* footer() { return "\r\n</keywords>\r\n"; }

// A minimal note file around `body` (the root carries `rootAttrs`).
std::string noteText(const std::string& rootAttrs, const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<svg" + rootAttrs + ">\n" + body + "</svg>\n";
}
std::string withUuid(const std::string& body) {
  return noteText(std::string(" uuid=\"{") + kUuid + "}\"", body);
}

class KeywordFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.NewDocument(7, false);
    doc.uuid = TestUuid();
    // The log is written only while a program path is known.
    Errors_setProgramPath(logDir.file("zerbin"));
    Errors_setLogName(logDir.file("log.txt"));
    Errors_resetLog();
  }
  void TearDown() override {
    Errors_setProgramPath("");
    Errors_setLogName("errlog.txt");
  }

  Text_Box& box(const std::string& text, const std::string& cls, const std::string& id,
                int32_t x = 20, int32_t y = 30) {
    auto t = std::make_unique<Text_Box>(&host.metricsImpl);
    t->SetNumber(++number);
    t->SetText(text);
    t->className = cls;
    t->SetId(id);
    t->SetBasePoint(x, y);
    return static_cast<Text_Box&>(doc.workingFigures().append(std::move(t)));
  }
  void newPage(const std::string& title, int32_t kind = AddPage_next) {
    doc.AddPage(kind);
    doc.currentPage()->setTitle(title);
  }
  std::string indexPath(const std::string& notePath) const {
    return KeywordFile_path(keywords.path(), notePath, TestUuid());
  }
  std::string log() const { return ReadFileBytes(logDir.file("log.txt")); }
  size_t keywordFiles() const {
    size_t n = 0;
    if (std::filesystem::exists(keywords.path()))
      for (const auto& e : std::filesystem::directory_iterator(keywords.path())) {
        (void)e;
        ++n;
      }
    return n;
  }

  // Three pages: "one" (keyword with id, heading without), "two" with a
  // quote in its title and a child page "three" with the rest.
  void fillThreePages() {
    doc.currentPage()->setTitle("one");
    box("alpha", "keyword", "k0");
    box("heading", "head", "");
    box("plain", "big,note", "p1");
    newPage("two \"q\"");
    newPage("three", AddPage_child);
    box("a,b", "keyword-2", "k1");
    box("x  y", " keyword - 3 ", "");
    box("line1\r\nline2", "head", "").angle = 30;
    box("1<2 & 3>2", "keyword", "");
  }

  TempDir work, dir, keywords, logDir;
  NoteDocument doc{work.path()};
  RecordingSaveHost host;
  int32_t number = 0;
};

TEST(KeywordFileClass, LevelsOfClassLists) {
  EXPECT_EQ(KeywordFile_levelOfClass(""), 0);
  EXPECT_EQ(KeywordFile_levelOfClass("big"), 0);
  EXPECT_EQ(KeywordFile_levelOfClass("keyword"), 1);
  EXPECT_EQ(KeywordFile_levelOfClass("keyword0"), 1);
  EXPECT_EQ(KeywordFile_levelOfClass("keyword-2"), 2);
  EXPECT_EQ(KeywordFile_levelOfClass("keyword2"), 2);
  EXPECT_EQ(KeywordFile_levelOfClass(" keyword - 3 "), 3);
  EXPECT_EQ(KeywordFile_levelOfClass("big, keyword-4,head"), 4);
  EXPECT_EQ(KeywordFile_levelOfClass("head"), 1);
  EXPECT_EQ(KeywordFile_levelOfClass("head-5"), 1);
  EXPECT_EQ(KeywordFile_levelOfClass("head,keyword-2"), 2);
  EXPECT_EQ(KeywordFile_levelOfClass("keywords,heading,xkeyword,keyword-x,keyword 2 3"), 0);
  EXPECT_EQ(KeywordFile_levelOfClass("keyword-99999999999"), INT32_MAX);
}

TEST(KeywordFilePath, NameOfTheIndexAndTheDump) {
  EXPECT_EQ(KeywordFile_path("/kw", "/a/b/note.svg", TestUuid()),
            std::string("/kw/note.svg_keywords_") + kUuid + ".xml");
  EXPECT_EQ(KeywordFile_path("/kw/", "note.svgz", TestUuid()),
            std::string("/kw/note.svgz_keywords_") + kUuid + ".xml");
  EXPECT_EQ(KeywordFile_textPath("/all", "/a/n.svg", TestUuid()),
            std::string("/all/n.svg_text_") + kUuid + ".txt");
  EXPECT_EQ(KeywordFile_remakeTip("Brevlo", 42), Sjis(u8"Brevlo - 検索DB作成:42%"));
}

TEST_F(KeywordFileTest, WholeFileFromMemory) {
  fillThreePages();
  const std::string path = "/abs/note.svg";
  KeywordFile_write(doc, path, keywords.path());
  const std::string expected = header(path) +
                               "<page id=\"1\" title=\"one\">\r\n"
                               "<kw href=\"#k0\">alpha</kw>\r\n"
                               "<kw>heading</kw>\r\n"
                               "</page>\r\n"
                               "<page id=\"2\" title=\"two &quot;q&quot;\">\r\n"
                               "</page>\r\n"
                               "<page id=\"3\" title=\"three\">\r\n"
                               "<kw href=\"#k1\" level=2>a,b</kw>\r\n"
                               "<kw level=3>x  y</kw>\r\n"
                               "<kw>line1\r\nline2</kw>\r\n"
                               "<kw>1&lt;2 &amp; 3&gt;2</kw>\r\n"
                               "</page>\r\n" +
                               footer();
  EXPECT_EQ(ReadFileBytes(indexPath(path)), expected);
  EXPECT_EQ(KeywordFile_memoryText(doc, path), expected);
}

TEST_F(KeywordFileTest, WholeFileScannedFromTheSavedNote) {
  fillThreePages();
  const std::string note = dir.file("note.svg");
  ASSERT_EQ(NoteWriter_save(doc, note, false, host), NoteWriter_ok);
  ASSERT_EQ(KeywordFile_scan(note, keywords.path()), 0);
  const std::string expected = header(note) +
                               "<page id=\"1\" title=\"one\">\r\n"
                               "<kw href=\"#k0\">alpha</kw>\r\n"
                               "<kw>heading</kw>\r\n"
                               "</page>\r\n"
                               "<page id=\"2\" title=\"two &quot;q&quot;\">\r\n"
                               "</page>\r\n"
                               "<page id=\"3\" title=\"three\">\r\n"
                               "<kw href=\"#k1\" level=2>a</kw>\r\n"
                               "<kw href=\"#k1\" level=2>b</kw>\r\n"
                               "<kw level=3>x&nbsp; y</kw>\r\n"
                               "<kw>line1</kw>\r\n"
                               "<kw>1&lt;2 &amp; 3&gt;2</kw>\r\n"
                               "</page>\r\n" +
                               footer();
  EXPECT_EQ(ReadFileBytes(indexPath(note)), expected);
  EXPECT_EQ(keywordFiles(), 1u);
}

TEST_F(KeywordFileTest, OnePageNoteWithoutPageGroup) {
  box("solo", "keyword", "s");
  const std::string note = dir.file("one.svg");
  ASSERT_EQ(NoteWriter_save(doc, note, false, host), NoteWriter_ok);
  ASSERT_EQ(ReadFileBytes(note).find("id=\"page1\""), std::string::npos);
  ASSERT_EQ(KeywordFile_scan(note, keywords.path()), 0);
  EXPECT_EQ(ReadFileBytes(indexPath(note)),
            header(note) + "<page id=\"1\" title=\"New Page\">\r\n<kw href=\"#s\">solo</kw>\r\n"
                           "</page>\r\n" + footer());
}

TEST_F(KeywordFileTest, BackPageIsPageZeroFromMemory) {
  box("front", "keyword", "f");
  doc.ToggleBackPage(false);
  box("behind", "head", "b");
  const std::string text = KeywordFile_memoryText(doc, "/n.svg");
  EXPECT_EQ(text, header("/n.svg") +
                      "<page id=\"0\" title=\"Background\">\r\n<kw href=\"#b\">behind</kw>\r\n"
                      "</page>\r\n"
                      "<page id=\"1\" title=\"New Page\">\r\n<kw href=\"#f\">front</kw>\r\n"
                      "</page>\r\n" +
                      footer());
}

TEST_F(KeywordFileTest, RewrittenAfterEditsAndRemoved) {
  Text_Box& b = box("first", "keyword", "k");
  const std::string path = "/abs/edit.svg";
  KeywordFile_write(doc, path, keywords.path());
  ASSERT_NE(ReadFileBytes(indexPath(path)).find(">first</kw>"), std::string::npos);
  b.SetText("second");
  box("more", "head", "");
  KeywordFile_write(doc, path, keywords.path());
  const std::string text = ReadFileBytes(indexPath(path));
  EXPECT_EQ(text.find("first"), std::string::npos);
  EXPECT_NE(text.find("<kw href=\"#k\">second</kw>\r\n<kw>more</kw>\r\n"), std::string::npos);
  // A box that loses its mark leaves the file.
  b.className = "note";
  KeywordFile_write(doc, path, keywords.path());
  EXPECT_EQ(ReadFileBytes(indexPath(path)).find("second"), std::string::npos);
  EXPECT_EQ(keywordFiles(), 1u);  // no temporary files left

  EXPECT_TRUE(KeywordFile_remove(keywords.path(), path, doc.uuid));
  EXPECT_FALSE(std::filesystem::exists(indexPath(path)));
  EXPECT_TRUE(KeywordFile_remove(keywords.path(), path, doc.uuid));  // nothing left to remove
}

TEST_F(KeywordFileTest, EmptyPathWritesNothing) {
  box("k", "keyword", "");
  KeywordFile_write(doc, "", keywords.path(), dir.path());
  EXPECT_EQ(keywordFiles(), 0u);
}

TEST_F(KeywordFileTest, MissingFolderIsCreated) {
  box("k", "keyword", "");
  const std::string folder = keywords.file("deep/er");
  KeywordFile_write(doc, "/n.svg", folder);
  EXPECT_TRUE(std::filesystem::exists(KeywordFile_path(folder, "/n.svg", doc.uuid)));
}

TEST_F(KeywordFileTest, PlainTextDumpInReadingOrder) {
  doc.currentPage()->setTitle("one");
  box("low", "", "", 10, 90);
  box("right", "", "", 50, 40);
  box("left", "", "", 5, 40);
  box("top", "keyword", "", 99, 5);
  newPage("two");
  box("only", "", "");
  const std::string dump = dir.file("all");
  KeywordFile_write(doc, "/abs/n.svg", keywords.path(), dump);
  const std::string stars(71, '*');
  EXPECT_EQ(ReadFileBytes(KeywordFile_textPath(dump, "/abs/n.svg", doc.uuid)),
            "/abs/n.svg\r\n" + stars + "\r\n  <<< one >>> \r\n" + stars +
                "\r\ntop\r\nleft\r\nright\r\nlow\r\n\r\n \r\n" + stars + "\r\n  <<< two >>> \r\n" +
                stars + "\r\nonly\r\n\r\n \r\n");
  EXPECT_TRUE(KeywordFile_remove(keywords.path(), "/abs/n.svg", doc.uuid, dump));
  EXPECT_FALSE(std::filesystem::exists(KeywordFile_textPath(dump, "/abs/n.svg", doc.uuid)));
}

TEST_F(KeywordFileTest, ScanOfSvgzAndUtf16Notes) {
  doc.currentPage()->setTitle(Sjis(u8"見出し"));
  box(Sjis(u8"索引,語"), "keyword", "j");
  const std::string plain = dir.file("wide.svg");
  const std::string packed = dir.file("wide.svgz");
  ASSERT_EQ(NoteWriter_save(doc, packed, true, host), NoteWriter_ok);
  ASSERT_EQ(NoteWriter_save(doc, plain, false, host), NoteWriter_ok);
  const std::string raw = ReadFileBytes(plain);
  ASSERT_GE(raw.size(), 2u);
  ASSERT_EQ(raw.substr(0, 2), "\xFF\xFE");  // written as UTF-16
  ASSERT_EQ(ReadFileBytes(packed).substr(0, 2), "\x1F\x8B");
  const std::string body = Sjis(u8"<page id=\"1\" title=\"見出し\">\r\n<kw href=\"#j\">索引</kw>\r\n"
                                u8"<kw href=\"#j\">語</kw>\r\n</page>\r\n");
  ASSERT_EQ(KeywordFile_scan(plain, keywords.path()), 0);
  EXPECT_EQ(ReadFileBytes(indexPath(plain)), header(plain) + body + footer());
  ASSERT_EQ(KeywordFile_scan(packed, keywords.path()), 0);
  EXPECT_EQ(ReadFileBytes(indexPath(packed)), header(packed) + body + footer());
}

TEST_F(KeywordFileTest, NoteWithoutUuidWritesNoFileAndLogs) {
  const std::string note = dir.file("nouuid.svg");
  WriteFileBytes(note, noteText("", "<text class=\"keyword\">k</text>\n"
                                    "<zerbin-pages><zerbin-page num=\"1\" title=\"t\"/></zerbin-pages>\n"));
  EXPECT_EQ(KeywordFile_scan(note, keywords.path()), -1);
  EXPECT_EQ(keywordFiles(), 0u);
  EXPECT_NE(log().find(Sjis(u8"uuid がありません (") + note + ")"), std::string::npos) << log();

  // Without a title list either: still no file (and nothing written blind).
  const std::string bare = dir.file("bare.svg");
  WriteFileBytes(bare, noteText("", "<text class=\"keyword\">k</text>\n"));
  EXPECT_EQ(KeywordFile_scan(bare, keywords.path()), -1);
  EXPECT_EQ(keywordFiles(), 0u);
  EXPECT_NE(log().find(bare + ")"), std::string::npos);

  // An invalid uuid counts as none: it never names a file.
  const std::string bad = dir.file("bad.svg");
  WriteFileBytes(bad, noteText(" uuid=\"../../x\"", "<text class=\"keyword\">k</text>\n"));
  EXPECT_EQ(KeywordFile_scan(bad, keywords.path()), -1);
  EXPECT_EQ(keywordFiles(), 0u);

  const Errors_Msg e = CatchError([&] { KeywordFile_scanText(noteText("", ""), "/p.svg"); });
  EXPECT_EQ(e.code, CZerbinApp_Err_SnanKeyword);
  EXPECT_STREQ(e.message(), Sjis(u8"uuid がありません (/p.svg)").c_str());
}

TEST_F(KeywordFileTest, MissingNoteIsLoggedAndOtherErrorsPassOn) {
  EXPECT_EQ(KeywordFile_scan(dir.file("absent.svg"), keywords.path()), -1);
  EXPECT_EQ(keywordFiles(), 0u);
  EXPECT_FALSE(log().empty());
  // A damaged svgz is no missing file: its error goes on to the caller.
  const std::string broken = dir.file("broken.svgz");
  WriteFileBytes(broken, "\x1F\x8B\x08\x00garbage");
  const Errors_Msg e = CatchError([&] { KeywordFile_scan(broken, keywords.path()); });
  EXPECT_EQ(e.code, Errors_Unofficial);
  EXPECT_EQ(keywordFiles(), 0u);
}

TEST_F(KeywordFileTest, StructuralLookingIdsInsideAPageAreFigures) {
  const std::string body =
      "<g id=\"page1\">\n"
      "<g id=\"page2\" class=\"keyword\"><g transform=\"rotate(5)\"><rect/></g>"
      "<text x=\"1\">in-one</text></g>\n"
      "<text id=\"pagenum\" class=\"head\">1</text>\n"
      "<g id=\"backpage\"><text class=\"keyword\">still-one</text></g>\n"
      "</g>\n"
      "<g id=\"page2\"><text id=\"page3\" class=\"keyword-2\">two</text></g>\n"
      "<zerbin-pages><zerbin-page num=\"1\" title=\"A\"/>"
      "<zerbin-page num=\"2\" title=\"B\"/></zerbin-pages>\n";
  const KeywordScanResult r = KeywordFile_scanText(withUuid(body), "/n.svg");
  EXPECT_TRUE(r.hasUuid);
  EXPECT_EQ(NoteDocument_uuidText(r.uuid), kUuid);
  EXPECT_EQ(r.text, header("/n.svg") +
                        "<page id=\"1\" title=\"A\">\r\n"
                        "<kw href=\"#page2\">in-one</kw>\r\n"
                        "<kw href=\"#pagenum\">1</kw>\r\n"
                        "<kw href=\"#backpage\">still-one</kw>\r\n"
                        "</page>\r\n"
                        "<page id=\"2\" title=\"B\">\r\n"
                        "<kw href=\"#page3\" level=2>two</kw>\r\n"
                        "</page>\r\n" +
                        footer());
}

TEST_F(KeywordFileTest, MarksLastForTheirElementOnly) {
  const std::string body =
      "<g id=\"page1\">\n"
      "<g id=\"outer\" class=\"keyword\"><text>a</text><text class=\"note\">not</text>"
      "<text>b</text></g>\n"
      "<text>after</text>\n"
      "<text class=\"keyword\">one<tspan>second line</tspan></text>\n"
      "</g>\n"
      "<zerbin-pages><zerbin-page num=\"1\" title=\"\"/></zerbin-pages>\n";
  EXPECT_EQ(KeywordFile_scanText(withUuid(body), "/n.svg").text,
            header("/n.svg") +
                "<page id=\"1\" title=\"\">\r\n"
                "<kw href=\"#outer\">a</kw>\r\n<kw href=\"#outer\">b</kw>\r\n<kw>one</kw>\r\n"
                "</page>\r\n" +
                footer());
}

TEST_F(KeywordFileTest, EntitiesDecodedBeforeSplittingAndEscaping) {
  const std::string body =
      "<text class=\"keyword\" id=\"a&quot;b\">a&amp;b,c&lt;d&gt;, e,&quot;q&quot;</text>\n"
      "<zerbin-pages><zerbin-page num=\"1\" title=\"&lt;T&amp;&quot;\"/></zerbin-pages>\n";
  EXPECT_EQ(KeywordFile_scanText(withUuid(body), "/n.svg").text,
            header("/n.svg") +
                "<page id=\"1\" title=\"&lt;T&amp;&quot;\">\r\n"
                "<kw href=\"#a&quot;b\">a&amp;b</kw>\r\n"
                "<kw href=\"#a&quot;b\">c&lt;d&gt;</kw>\r\n"
                "<kw href=\"#a&quot;b\">&nbsp;e</kw>\r\n"
                "<kw href=\"#a&quot;b\">\"q\"</kw>\r\n"
                "</page>\r\n" +
                footer());
}

TEST_F(KeywordFileTest, PartsAreCutTo259BytesAtACharacter) {
  std::string kanji;
  for (int i = 0; i < 200; ++i) kanji += Sjis(u8"語");
  const std::string body = "<text class=\"keyword\">" + std::string(300, 'a') + "," + kanji + "," +
                           std::string(100, '&') + "</text>\n";
  const std::string text = KeywordFile_scanText(withUuid(body), "/n.svg").text;
  std::string amps;
  for (int i = 0; i < 51; ++i) amps += "&amp;";  // 255 bytes: a 52nd would pass 259
  std::string kanjiCut;
  for (int i = 0; i < 129; ++i) kanjiCut += Sjis(u8"語");  // 258 bytes
  EXPECT_EQ(text, header("/n.svg") + "<page id=\"1\" title=\"\">\r\n<kw>" + std::string(259, 'a') +
                      "</kw>\r\n<kw>" + kanjiCut + "</kw>\r\n<kw>" + amps + "</kw>\r\n</page>\r\n" +
                      footer());
}

TEST_F(KeywordFileTest, NoTitleListWithPageGroups) {
  const std::string body =
      "<text class=\"keyword\">before</text>\n"
      "<g id=\"page1\"><text class=\"keyword\">one</text></g>\n"
      "<g id=\"page2\"><text class=\"keyword\">two</text></g>\n";
  EXPECT_EQ(KeywordFile_scanText(withUuid(body), "/n.svg").text,
            header("/n.svg") +
                "<page id=\"0\" title=\"\">\r\n<kw>before</kw>\r\n</page>\r\n"
                "<page id=\"1\" title=\"\">\r\n<kw>one</kw>\r\n</page>\r\n"
                "<page id=\"2\" title=\"\">\r\n<kw>two</kw>\r\n</page>\r\n" +
                footer());
}

TEST_F(KeywordFileTest, RemakeOverAFolderTree) {
  namespace fs = std::filesystem;
  TempDir tree;
  fs::create_directories(tree.file("a/b"));
  fs::create_directories(tree.file("c"));
  auto note = [&](const std::string& rel, const std::string& uuidTail, const std::string& kw) {
    WriteFileBytes(tree.file(rel),
                   noteText(" uuid=\"{01234567-89AB-CDEF-0123-4567" + uuidTail + "}\"",
                            "<text class=\"keyword\">" + kw + "</text>\n"));
  };
  note("a/one.svg", "00000001", "one");
  note("a/b/two.SVG", "00000002", "two");
  note("c/three.svgz", "00000003", "three");  // not scanned by the remake
  WriteFileBytes(tree.file("c/nouuid.svg"), noteText("", "<text class=\"keyword\">x</text>\n"));
  for (int i = 0; i < 20; ++i)
    note("c/n" + std::to_string(i) + ".svg", "10000" + std::to_string(100 + i), "n");
  for (int i = 0; i < 5; ++i) WriteFileBytes(tree.file("a/other" + std::to_string(i) + ".txt"), "x");

  auto uuid = [](const std::string& tail) {
    StrX_Guid g;
    EXPECT_TRUE(NoteDocument_parseUuid("01234567-89AB-CDEF-0123-4567" + tail, g));
    return g;
  };
  // The index of one.svg cannot be written (a folder stands in its place):
  // that error passes on from its scan, and the remake goes on.
  const std::string blocked = KeywordFile_path(keywords.path(), tree.file("a/one.svg"), uuid("00000001"));
  fs::create_directories(blocked + "/x");
  const Errors_Msg e = CatchError([&] { KeywordFile_scan(tree.file("a/one.svg"), keywords.path()); });
  EXPECT_NE(e.code, 0);
  EXPECT_NE(e.code, CZerbinApp_Err_SnanKeyword);

  std::vector<std::string> calls;
  const KeywordRemakeResult r =
      KeywordFile_remake({tree.file("a"), tree.file("c")}, keywords.path(),
                         [&](int pass, size_t done, size_t total) {
                           calls.push_back(std::to_string(pass) + ":" + std::to_string(done) +
                                           "/" + std::to_string(total));
                         });
  EXPECT_EQ(r.notes, 23u);  // one, two, nouuid and 20
  EXPECT_EQ(r.written, 21u);
  EXPECT_EQ(keywordFiles(), 22u);  // and the folder that blocks one.svg
  EXPECT_EQ(calls, (std::vector<std::string>{"1:11/0", "1:23/0", "2:16/23", "2:23/23"}));
  EXPECT_TRUE(fs::exists(KeywordFile_path(keywords.path(), tree.file("c/n19.svg"), uuid("10000119"))));
  EXPECT_EQ(ReadFileBytes(KeywordFile_path(keywords.path(), tree.file("a/b/two.SVG"), uuid("00000002"))),
            header(tree.file("a/b/two.SVG")) +
                "<page id=\"1\" title=\"\">\r\n<kw>two</kw>\r\n</page>\r\n" + footer());
  EXPECT_NE(log().find(tree.file("c/nouuid.svg")), std::string::npos);
}

}  // namespace

namespace {

// Titles go into the scanned index whole, however long they grow when
// escaped: a cut title would lose the search's hits on its end.
TEST_F(KeywordFileTest, ScannedTitlesAreNeverCut) {
  std::string escapedTitle;
  for (int i = 0; i < 200; ++i) escapedTitle += "&amp;";
  escapedTitle += " &lt;last> &quot;word&quot;";
  std::string inFile;
  for (int i = 0; i < 200; ++i) inFile += "&amp;";
  inFile += " &lt;last&gt; &quot;word&quot;";
  const std::string body = "<text class=\"keyword\">k</text>\n"
                           "<zerbin-pages><zerbin-page num=\"1\" title=\"" + inFile +
                           "\"/></zerbin-pages>\n";
  EXPECT_EQ(KeywordFile_scanText(withUuid(body), "/n.svg").text,
            header("/n.svg") + "<page id=\"1\" title=\"" + escapedTitle + "\">\r\n<kw>k</kw>\r\n" +
                "</page>\r\n" + footer());
}

}  // namespace
