#include "document/writer/note_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "document/writer/note_bytes.h"
#include "document/keywords/keyword_file.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "note_writer_fixture.h"

using namespace testing_support;

namespace {

class NoteWriterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.NewDocument(7, false);
    doc.uuid = TestUuid();
    target = dir.file("note.svg");
  }

  std::string saved() { return ReadFileBytes(target); }
  int save(bool copy = false) { return NoteWriter_save(doc, target, copy, host); }

  TempDir work;
  TempDir dir;
  NoteDocument doc{work.path()};
  RecordingSaveHost host;
  std::string target;
};

TEST_F(NoteWriterTest, OnePageNoteHasNoPageGroupScriptOrOnload) {
  doc.workingFigures().append(TestRect(1, 10, 20, 30, 40));
  WriteFileBytes(doc.inkLayerPath(1, InkLayer_back), "\t<g id=\"zerbin-ink\" type=\"back\">\r\n\t</g>\r\n");
  WriteFileBytes(doc.inkLayerPath(1, InkLayer_front), "\t<g id=\"zerbin-ink\" type=\"front\">\n\t</g>\n");
  ASSERT_EQ(save(), 0);
  const std::string expected =
      TestProlog() +
      "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"document\"\n"
      " width=\"00470\" height=\"00320\"  viewBox=\"00000 00000 00470 00320\" "
      "preserveAspectRatio=\"xMidYMid meet\"" +
      TestNamespaces() + " uuid=\"" + TestUuidText() + "\">\n\n" + TestBounds(450, 300) +
      TestRectText(10, 20, 30, 40) +
      "\t<g id=\"zerbin-ink\" type=\"back\">\n\t</g>\n"
      "\t<g id=\"zerbin-ink\" type=\"front\">\n\t</g>\n"
      "<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"New Page\"/>\n</zerbin-pages>\n</svg>\n";
  EXPECT_EQ(saved(), Crlf(expected));
}

TEST_F(NoteWriterTest, BackPageAndOnePageAreBothTranslatedByTen) {
  doc.workingSettings().setSize(400, 100);
  doc.ToggleBackPage(false);
  doc.workingSettings().setSize(400, 50);
  doc.workingFigures().append(TestRect(2, 1, 2, 3, 4));
  ASSERT_EQ(save(), 0);
  const std::string text = saved();
  // 10 + (50 + 10) + (100 + 10); no onload, no script for one ordinary page.
  EXPECT_NE(text.find(" width=\"00420\" height=\"00180\"  viewBox=\"00000 00000 00420 00180\""),
            std::string::npos);
  EXPECT_EQ(text.find("onload"), std::string::npos);
  EXPECT_EQ(text.find("<script"), std::string::npos);
  const std::string groups =
      "<g id=\"backpage\" width=\"400\" height=\"50\" transform=\"translate(+10,+10)\">\r\n" +
      Crlf(TestBounds(400, 50) + TestRectText(1, 2, 3, 4)) + "</g>\r\n" +
      "<g id=\"page1\" width=\"400\" height=\"100\" transform=\"translate(+10,+10)\">\r\n" +
      Crlf(TestBounds(400, 100)) + "</g>\r\n<zerbin-pages>\r\n"
      "\t<zerbin-page num=\"1\" title=\"New Page\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
  ASSERT_GE(text.size(), groups.size());
  EXPECT_EQ(text.substr(text.size() - groups.size()), groups);
}

TEST_F(NoteWriterTest, ThreePagesOfHeights100To300) {
  host.script = dir.file("svg-script.txt");
  WriteFileBytes(host.script, "function chgPage(){}\r\n");
  doc.workingSettings().setSize(400, 100);
  doc.pageAt(0).setTitle("one");
  doc.AddPage(AddPage_next);
  doc.workingSettings().setSize(400, 200);
  doc.currentPage()->setTitle("two");
  doc.AddPage(AddPage_next);
  doc.workingSettings().setSize(400, 300);
  doc.currentPage()->setTitle("three");
  NoteDocumentSettings s = doc.documentSettings();
  s.pageInterval = 3000;
  doc.setDocumentSettings(s);
  ASSERT_EQ(save(), 0);
  const std::string expected =
      TestProlog() +
      "<svg sub_doctype=\"zerbin-300\" zerbin_canvas_type=\"document\"\n"
      " width=\"00420\" height=\"00640\" onload=\"svg_onload( evt, 3000 );\"\n"
      " viewBox=\"00000 00000 00420 00640\" preserveAspectRatio=\"xMidYMid meet\"" +
      TestNamespaces() + " uuid=\"" + TestUuidText() + "\">\n\n" +
      "<script type=\"text/ecmascript\">\n<![CDATA[\nvar  mPage=3;\nfunction chgPage(){}\n"
      "]]>\n</script>\n\n"
      "<g id=\"page1\" width=\"400\" height=\"100\" transform=\"translate(+10,+10)\">\n" +
      TestBounds(400, 100) + "</g>\n" +
      "<g id=\"page2\" width=\"400\" height=\"200\" transform=\"translate(+10,+120)\">\n" +
      TestBounds(400, 200) + "</g>\n" +
      "<g id=\"page3\" width=\"400\" height=\"300\" transform=\"translate(+10,+330)\">\n" +
      TestBounds(400, 300) + "</g>\n" +
      "<zerbin-pages>\n\t<zerbin-page num=\"1\" title=\"one\"/>\n"
      "\t<zerbin-page num=\"2\" title=\"two\"/>\n\t<zerbin-page num=\"3\" title=\"three\"/>\n"
      "</zerbin-pages>\n</svg>\n";
  EXPECT_EQ(saved(), Crlf(expected));
}

TEST_F(NoteWriterTest, PageTreeAndTitleEscaping) {
  doc.pageAt(0).setTitle("a\"b<c>");
  doc.AddPage(AddPage_child);
  doc.currentPage()->setTitle("child");
  doc.SelectPage(1);
  doc.AddPage(AddPage_next);
  doc.currentPage()->setTitle("three");
  ASSERT_EQ(save(), 0);
  const std::string list = Crlf(
      "<zerbin-pages>\n"
      "\t<zerbin-page num=\"1\" title=\"a&quot;b&lt;c>\">\n"
      "\t\t<zerbin-page num=\"2\" title=\"child\"/>\n"
      "\t</zerbin-page>\n"
      "\t<zerbin-page num=\"3\" title=\"three\"/>\n"
      "</zerbin-pages>\n</svg>\n");
  const std::string text = saved();
  ASSERT_GE(text.size(), list.size());
  EXPECT_EQ(text.substr(text.size() - list.size()), list);
}

TEST_F(NoteWriterTest, JapaneseTitleMakesTheFileUtf16) {
  doc.pageAt(0).setTitle(Sjis(u8"日本"));
  ASSERT_EQ(save(), 0);
  const std::string bytes = saved();
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFE<\0?\0", 6));
  EXPECT_EQ(bytes.substr(bytes.size() - 16), std::string("<\0/\0s\0v\0g\0>\0\r\0\n\0", 16));
  EXPECT_NE(bytes.find(std::string("u\0t\0f\0-\0\x31\0\x36\0", 12)), std::string::npos);
  // The title in UTF-16: U+65E5 U+672C.
  EXPECT_NE(bytes.find(std::string("\xE5\x65\x2C\x67", 4)), std::string::npos);
}

TEST_F(NoteWriterTest, JapaneseIdAloneMakesTheFileUtf16) {
  auto r = TestRect(1, 0, 0, 5, 5);
  r->id = Sjis(u8"図");
  doc.workingFigures().append(std::move(r));
  ASSERT_EQ(save(), 0);
  const std::string bytes = saved();
  EXPECT_EQ(bytes.substr(0, 6), std::string("\xFF\xFE<\0?\0", 6));
  EXPECT_NE(bytes.find(std::string("u\0t\0f\0-\0\x31\0\x36\0", 12)), std::string::npos);
  // The id in UTF-16: U+56F3.
  EXPECT_NE(bytes.find(std::string(" \0i\0d\0=\0\"\0\xF3\x56\"\0", 12)), std::string::npos);
}

TEST_F(NoteWriterTest, FigureWithAStructuralIdIsKeptInsideAPageGroup) {
  auto r = TestRect(1, 0, 0, 5, 5);
  r->id = "page2";
  r->url = "http://example.com/";
  doc.workingFigures().append(std::move(r));
  ASSERT_EQ(save(), 0);
  EXPECT_NE(saved().find("<g id=\"page1\" width=\"450\""), std::string::npos);
}

TEST_F(NoteWriterTest, SvgzTargetsAreGzipInAnyCase) {
  target = dir.file("note.SVGZ");
  ASSERT_EQ(save(), 0);
  const std::string bytes = saved();
  ASSERT_GT(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\x1F\x8B");
  const std::string text = NoteBytes_gunzip(bytes, 1 << 20);
  EXPECT_EQ(text.substr(0, 38), "<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  EXPECT_EQ(text.substr(text.size() - 8), "</svg>\r\n");
}

TEST_F(NoteWriterTest, SaveUpdatesTheNoteAndCopyLeavesItAlone) {
  host.path = dir.file("old.svg");
  doc.formatVersion = 200;
  ASSERT_EQ(save(true), 0);
  EXPECT_EQ(host.path, dir.file("old.svg"));
  EXPECT_EQ(doc.formatVersion, 200);
  EXPECT_TRUE(host.recent.empty());
  EXPECT_EQ(host.savedMarks, 0);

  ASSERT_EQ(save(false), 0);
  EXPECT_EQ(host.path, target);
  EXPECT_EQ(doc.formatVersion, 300);
  EXPECT_FALSE(doc.autoSaveDisabled);
  EXPECT_EQ(host.recent, std::vector<std::string>{target});
  EXPECT_EQ(host.savedMarks, 1);
  // Copies are backed up too.
  EXPECT_EQ(host.backups, (std::vector<std::string>{target, target}));
  EXPECT_FALSE(doc.savedInPlace);
  ASSERT_EQ(save(false), 0);
  EXPECT_TRUE(doc.savedInPlace);
}

TEST_F(NoteWriterTest, FailedSaveKeepsTheOldFileAndReports) {
  WriteFileBytes(target, "old bytes");
  ::chmod(target.c_str(), 0444);
  host.autoSave = true;
  host.path = target;
  doc.formatVersion = 200;
  EXPECT_EQ(save(), 1);
  ::chmod(target.c_str(), 0644);
  EXPECT_EQ(saved(), "old bytes");
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0], target + Sjis(u8" に書込みができません。保存に失敗しました。") +
                                  "\r\n\r\n" + Sjis(u8"このファイルの自動保存を無効にしました。") +
                                  "|Brevlo 3.10 " + Sjis(u8"エラー"));
  EXPECT_TRUE(doc.autoSaveDisabled);
  EXPECT_EQ(doc.formatVersion, 200);
  EXPECT_TRUE(host.recent.empty());
  EXPECT_EQ(host.savedMarks, 0);
  // Nothing stays beside the target.
  size_t entries = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
    (void)e;
    ++entries;
  }
  EXPECT_EQ(entries, 1u);
}

TEST_F(NoteWriterTest, OversizedPageIsAFailedSaveNotAFatalStop) {
  // The canvas keeps sizes below 100000, so a page cannot reach the limit
  // through its own setters; a missing folder fails the same path.
  target = dir.file("missing/note.svg");
  EXPECT_EQ(save(), 1);
  EXPECT_EQ(host.failures.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(target));
}

TEST_F(NoteWriterTest, LockThatCannotBeHadFailsTheSave) {
  host.lockWorks = false;
  WriteFileBytes(target, "old");
  EXPECT_EQ(save(), 1);
  EXPECT_EQ(saved(), "old");
  EXPECT_EQ(host.failures.size(), 1u);
  EXPECT_TRUE(host.backups.empty());
  EXPECT_EQ(host.unlockCalls, 0);
  host.lockWorks = true;
  EXPECT_EQ(save(), 0);
  EXPECT_EQ(host.lockCalls, 2);
  EXPECT_EQ(host.unlockCalls, 1);
}

TEST_F(NoteWriterTest, MirrorFailureBecomesTheResult) {
  host.mirrorResult = 1025;
  EXPECT_EQ(save(), 1025);
  EXPECT_TRUE(std::filesystem::exists(target));
}

TEST_F(NoteWriterTest, PageFilesAreRegeneratedOnlyBySaves) {
  doc.workingSettings().setSaveImageFile(dir.file("p1.png"));
  doc.AddPage(AddPage_next);
  doc.workingSettings().setSaveImageFile("p2.jpg");
  ASSERT_EQ(save(true), 0);
  EXPECT_TRUE(host.images.empty());
  ASSERT_EQ(save(false), 0);
  EXPECT_EQ(host.images, (std::vector<std::string>{"1:" + dir.file("p1.png"), "2:" + dir.file("p2.jpg")}));
  EXPECT_EQ(host.statuses.size(), 2u);
  EXPECT_EQ(host.statuses[1], Sjis(u8"画像出力中 (2/2) ..."));
  // Written relative to the note's folder.
  EXPECT_NE(saved().find("corr-image=\"p1.png\""), std::string::npos);
  EXPECT_NE(saved().find("corr-image=\"p2.jpg\""), std::string::npos);
}

TEST_F(NoteWriterTest, SavesWriteTheKeywordIndexAndCopiesDoNot) {
  host.keywords = dir.file("keywords");
  auto t = std::make_unique<Text_Box>(&host.metricsImpl);
  t->SetNumber(1);
  t->SetId("k1");
  t->SetText("topic");
  t->className = "keyword-2";
  doc.workingFigures().append(std::move(t));
  const std::string index = KeywordFile_path(host.keywords, target, doc.uuid);
  ASSERT_EQ(save(true), 0);
  EXPECT_FALSE(std::filesystem::exists(index));
  ASSERT_EQ(save(false), 0);
  const std::string text = ReadFileBytes(index);
  EXPECT_NE(text.find("<kw href=\"#k1\" level=2>topic</kw>\r\n"), std::string::npos) << text;
}

// Every step after the file is in place runs on its own: page images, the
// keyword index and the recent list fail here, and the note is still saved,
// marked, backed up, and each failure is told once.
class FailingStepsHost : public RecordingSaveHost {
 public:
  void exportPageImage(int32_t page, std::string_view p) override {
    if (page == 1) Errors_RAISE(Errors_Unofficial, "%s", "no image");
    RecordingSaveHost::exportPageImage(page, p);
  }
  void addRecentFile(std::string_view) override {
    Errors_RAISE(Errors_Unofficial, "%s", "recent list locked");
  }
  void showSaveStepFailure(std::string_view text) override { stepFailures.emplace_back(text); }
  std::vector<std::string> stepFailures;
};

TEST_F(NoteWriterTest, FailingStepsAfterTheWriteAreEachReportedAndTheRestRun) {
  FailingStepsHost failing;
  // The keywords "folder" is a file: the index cannot be written.
  failing.keywords = dir.file("blocker");
  WriteFileBytes(failing.keywords, "x");
  doc.workingSettings().setSaveImageFile("p1.png");
  doc.AddPage(AddPage_next);
  doc.workingSettings().setSaveImageFile("p2.png");

  ASSERT_EQ(NoteWriter_save(doc, target, false, failing), 0);
  EXPECT_EQ(failing.path, target);
  EXPECT_EQ(failing.savedMarks, 1);
  EXPECT_EQ(failing.images, (std::vector<std::string>{"2:" + dir.file("p2.png")}));
  EXPECT_EQ(failing.backups, (std::vector<std::string>{target}));
  EXPECT_TRUE(failing.failures.empty());
  ASSERT_EQ(failing.stepFailures.size(), 3u);
  EXPECT_EQ(failing.stepFailures[0], dir.file("p1.png") + " : no image");
  EXPECT_EQ(failing.stepFailures[1].rfind(target + " : ", 0), 0u) << failing.stepFailures[1];
  EXPECT_EQ(failing.stepFailures[2], target + " : recent list locked");
  EXPECT_FALSE(doc.autoSaveDisabled);
}

TEST(NoteWriterLabels, DuplicateAndMissingIdsOfTargetsGetLabels) {
  TempDir work;
  NoteDocument doc(work.path());
  doc.NewDocument(1, false);
  FigureList& list = doc.workingFigures();
  FixedMetrics metrics;
  auto box = [&](int32_t n, const char* id) -> Text_Box& {
    auto t = std::make_unique<Text_Box>(&metrics);
    t->Layout(metrics, DrawContext{});
    t->SetNumber(n);
    t->SetId(id);
    return static_cast<Text_Box&>(list.append(std::move(t)));
  };
  Text_Box& a = box(1, "x");
  Text_Box& b = box(2, "X");
  Text_Box& c = box(3, "");
  Text_Box& d = box(4, "label-1");  // not a target: keeps its id, and label-1 is taken
  (void)d;
  // Every box but d is a target of a line end.
  auto attach = [&](Text_Box& t, int32_t n) {
    auto line = std::make_unique<Line_Ex>();
    line->SetNumber(n);
    Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(line)));
    const Errors_Msg e = CatchError([&] { t.AttachEnd(0, l, 1); });
    ASSERT_EQ(e.code, 0) << e.message();
  };
  attach(a, 10);
  attach(b, 11);
  attach(c, 12);
  NoteWriter_assignLabelIds(doc);
  EXPECT_EQ(a.GetId(), "x");
  EXPECT_EQ(b.GetId(), "label-2");
  EXPECT_EQ(c.GetId(), "label-3");
}

}  // namespace
