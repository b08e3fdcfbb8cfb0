#include "document/note/note_document.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/filex/filex.h"
#include "figures/base/app_counters.h"
#include "figures/rect/rect_ex.h"
#include "note_test_util.h"
#include "support/test_support.h"

using note_test::FakeUndo;
using note_test::inkFileNumbers;
using note_test::inkMismatch;
using note_test::label;
using note_test::titles;
using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

Rect_Ex& addRect(FigureList& list, const std::string& id) {
  auto r = std::make_unique<Rect_Ex>();
  r->id = id;
  return static_cast<Rect_Ex&>(list.append(std::move(r)));
}

class NoteDoc : public ::testing::Test {
 protected:
  void SetUp() override { doc.NewDocument(7, false); }
  NotePage& p(int32_t n) { return *doc.page(n); }

  TempDir dir;
  NoteDocument doc{dir.path() + "/"};
};

// --- a new note -----------------------------------------------------------

TEST_F(NoteDoc, NewDocumentMakesOnePageNewPageWithEmptyInkFiles) {
  EXPECT_EQ(7, doc.documentNumber());
  EXPECT_EQ(dir.path(), doc.workFolder());  // the final separator is dropped
  EXPECT_FALSE(doc.closed());
  ASSERT_EQ(1u, doc.pageCount());
  EXPECT_EQ("New Page", p(1).title());
  EXPECT_EQ(1, doc.firstPageNumber());
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ(1, doc.lastPageNumber());
  EXPECT_EQ(1, doc.ordinaryPageCount());
  EXPECT_FALSE(doc.hasBackPage());
  EXPECT_EQ(200, doc.formatVersion);
  EXPECT_EQ(2147483647, doc.windowX);
  EXPECT_EQ(2147483647, doc.windowY);
  EXPECT_FALSE(doc.savedInPlace);
  EXPECT_FALSE(doc.autoSaveDisabled);
  EXPECT_FALSE(doc.inkEnabled);
  EXPECT_FALSE(doc.backPageMade);
  EXPECT_EQ(doc.page(1), doc.currentPage());
  EXPECT_EQ(&p(1).figures, &doc.workingFigures());
  EXPECT_EQ(&p(1).settings(), &doc.workingSettings());
  EXPECT_EQ(&p(1).figures.at(0), &p(1).settings());  // the Canvas heads the list
  EXPECT_EQ(0u, p(1).figureCount());
  EXPECT_TRUE(p(1).labelIds);
  EXPECT_EQ(0, p(1).state[0]);
  EXPECT_EQ(0, p(1).state[1]);
  EXPECT_EQ(dir.path() + "/ink_00000007_1_9", doc.inkLayerPath(1, InkLayer_back));
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(1, InkLayer_back)));
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(1, InkLayer_front)));
  EXPECT_EQ(0, FileX_fileSize(doc.inkLayerPath(1, InkLayer_front)));
  EXPECT_EQ(dir.path() + "/img_00000007_", doc.imageNamePrefix());
  EXPECT_EQ("", doc.checkTree());
}

TEST_F(NoteDoc, NewDocumentResetsEveryField) {
  const StrX_Guid first = doc.uuid;
  doc.AddPage(AddPage_next);
  doc.ToggleBackPage(false);
  doc.formatVersion = 300;
  doc.savedInPlace = doc.autoSaveDisabled = true;
  doc.windowX = 5;
  doc.workingSettings().setCanvasType(CanvasType_Menu);
  doc.NewDocument(0x1234ABCD, true);
  EXPECT_EQ(0x1234ABCD, doc.documentNumber());
  EXPECT_TRUE(doc.inkEnabled);
  EXPECT_EQ(1u, doc.pageCount());
  EXPECT_EQ(1, doc.firstPageNumber());
  EXPECT_FALSE(doc.backPageMade);
  EXPECT_EQ(200, doc.formatVersion);
  EXPECT_FALSE(doc.savedInPlace);
  EXPECT_FALSE(doc.autoSaveDisabled);
  EXPECT_EQ(NoteDocument_noWindowPosition, doc.windowX);
  EXPECT_EQ(CanvasType_Document, doc.documentSettings().canvasType);
  EXPECT_FALSE(first == doc.uuid);
  EXPECT_EQ(dir.path() + "/ink_1234ABCD_1_13", doc.inkLayerPath(1, InkLayer_front));
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(1, InkLayer_front)));
}

// --- uuid ------------------------------------------------------------------

TEST(NoteUuid, TextIsUpperCaseHexWithoutBraces) {
  StrX_Guid g;
  g.data1 = 0x0123ABCD;
  g.data2 = 0x00EF;
  g.data3 = 0xA001;
  g.data4 = {0x0F, 0xF0, 0x00, 0x11, 0x9A, 0xBC, 0xDE, 0x07};
  EXPECT_EQ("0123ABCD-00EF-A001-0FF0-00119ABCDE07", NoteDocument_uuidText(g));
}

TEST(NoteUuid, NewUuidsAreRandomVersionFour) {
  const std::string a = NoteDocument_uuidText(NoteDocument_newUuid());
  const std::string b = NoteDocument_uuidText(NoteDocument_newUuid());
  ASSERT_EQ(36u, a.size());
  EXPECT_NE(a, b);
  EXPECT_EQ('4', a[14]);
  EXPECT_NE(std::string::npos, std::string("89AB").find(a[19]));
  for (size_t i : {8u, 13u, 18u, 23u}) EXPECT_EQ('-', a[i]);
}

TEST(NoteUuid, ParserTakesTheTextAloneOrInBracesAnyCase) {
  const StrX_Guid g = NoteDocument_newUuid();
  const std::string text = NoteDocument_uuidText(g);
  StrX_Guid out;
  ASSERT_TRUE(NoteDocument_parseUuid(text, out));
  EXPECT_TRUE(out == g);
  out = StrX_Guid{};
  ASSERT_TRUE(NoteDocument_parseUuid("{" + text + "}", out));
  EXPECT_TRUE(out == g);
  ASSERT_TRUE(NoteDocument_parseUuid("0123abcd-00ef-a001-0ff0-00119abcde07", out));
  EXPECT_EQ("0123ABCD-00EF-A001-0FF0-00119ABCDE07", NoteDocument_uuidText(out));
}

TEST(NoteUuid, ParserRefusesShortAndMalformedText) {
  StrX_Guid out;
  out.data1 = 0x55;
  const std::string good = "0123ABCD-00EF-A001-0FF0-00119ABCDE07";
  for (const std::string& bad : std::vector<std::string>{
           "",
           good.substr(0, 35),                      // one digit short
           "{" + good,                              // brace not closed
           good + "}",                              // brace not opened
           good + "0",                              // trailing character
           "0123ABCD_00EF-A001-0FF0-00119ABCDE07",  // wrong separator
           "0123ABCD-00EF-A001-0FF000119ABCDE07-",  // separator misplaced
           "0123ABCG-00EF-A001-0FF0-00119ABCDE07",  // not hexadecimal
           "0123ABCD-00EF-A001-0FF0-00119ABCDE0 ",
       }) {
    EXPECT_FALSE(NoteDocument_parseUuid(bad, out)) << bad;
  }
  EXPECT_EQ(0x55u, out.data1);  // untouched
}

// --- titles ----------------------------------------------------------------

TEST(NotePageTitle, CutAt255BytesOnACharacterBoundary) {
  NotePage page;
  page.setTitle(std::string(300, 'x'));
  EXPECT_EQ(std::string(255, 'x'), page.title());
  const std::string wide = Sjis(u8"表");
  ASSERT_EQ(2u, wide.size());
  page.setTitle(std::string(253, 'a') + wide + "z");
  EXPECT_EQ(std::string(253, 'a') + wide, page.title());  // exactly 255
  page.setTitle(std::string(254, 'a') + wide);
  EXPECT_EQ(std::string(254, 'a'), page.title());  // the lead byte is not kept alone
  page.setTitle("");
  EXPECT_EQ("", page.title());
}

TEST(NotePageSettings, TheCanvasHeadsTheListAndStaysWhenFiguresAreCleared) {
  NotePage page;
  ASSERT_EQ(1u, page.figures.size());
  EXPECT_EQ(FigureKind_Canvas, page.figures.at(0).GetKind());
  addRect(page.figures, "a");
  addRect(page.figures, "b");
  EXPECT_EQ(2u, page.figureCount());
  Canvas* canvas = &page.settings();
  page.clearFigures();
  EXPECT_EQ(0u, page.figureCount());
  EXPECT_EQ(canvas, &page.settings());
  // A list that lost its Canvas is an internal error.
  page.figures.clear();
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { page.settings(); }).code);
}

// --- selecting pages -------------------------------------------------------

TEST_F(NoteDoc, SelectPageStoresFiguresAndSettingsWhileNoteSettingsStay) {
  Canvas& one = doc.workingSettings();
  addRect(doc.workingFigures(), "a");
  one.setSize(500, 600);
  one.setClassName("c1");
  one.setCanvasType(CanvasType_Menu);
  one.setPageInterval(2000);
  one.setPubFile("f");
  one.setFilterVariables("v=1");
  p(1).state = {1, 2};
  p(1).labelIds = false;

  ASSERT_EQ(2, doc.AddPage(AddPage_next));
  Canvas& two = doc.workingSettings();
  EXPECT_EQ(&p(2).settings(), &two);
  EXPECT_EQ(CanvasType_Menu, two.canvasType());
  EXPECT_EQ(2000, two.pageInterval());
  EXPECT_EQ("f", two.pubFile());
  EXPECT_EQ("v=1", two.filterVariables());
  EXPECT_EQ(500, two.width());
  EXPECT_EQ(0u, doc.workingFigures().size() - 1);
  EXPECT_EQ(0, p(2).state[0]);
  EXPECT_TRUE(p(2).labelIds);
  two.setSize(100, 200);
  two.setClassName("c2");
  two.setCanvasType(CanvasType_Desktop);
  two.setPageInterval(5);
  two.setPubFile("g");

  doc.SelectPage(1);
  EXPECT_EQ(1, doc.currentPageNumber());
  const Canvas& back = doc.workingSettings();
  EXPECT_EQ(500, back.width());  // the page's own settings
  EXPECT_EQ(600, back.height());
  EXPECT_EQ("c1", back.className());
  EXPECT_EQ(CanvasType_Desktop, back.canvasType());  // the note's settings
  EXPECT_EQ(5, back.pageInterval());
  EXPECT_EQ("g", back.pubFile());
  EXPECT_EQ("v=1", back.filterVariables());
  ASSERT_EQ(1u, p(1).figureCount());
  EXPECT_EQ("a", p(1).figures.at(1).GetId());
  EXPECT_EQ(0u, p(2).figureCount());
  EXPECT_EQ(100, p(2).settings().width());
  EXPECT_EQ(1, p(1).state[0]);
  EXPECT_EQ(2, p(1).state[1]);
  EXPECT_FALSE(p(1).labelIds);

  const NoteDocumentSettings expected{CanvasType_Desktop, 5, "g", "v=1"};
  EXPECT_TRUE(expected == doc.documentSettings());
  doc.SelectPage(-1);
  EXPECT_EQ(-1, doc.currentPageNumber());
  EXPECT_EQ(nullptr, doc.currentPage());
  EXPECT_TRUE(expected == doc.documentSettings());
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.workingFigures(); }).code);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.workingSettings(); }).code);

  // Set while no page is current: the page selected next carries them.
  doc.setDocumentSettings({CanvasType_WhiteBoard, 9, "h", "w"});
  doc.SelectPage(2);
  EXPECT_EQ(CanvasType_WhiteBoard, p(2).settings().canvasType());
  EXPECT_EQ(9, p(2).settings().pageInterval());
  EXPECT_EQ("h", p(2).settings().pubFile());
  EXPECT_EQ("w", p(2).settings().filterVariables());
  // Set while a page is current: into its Canvas at once.
  doc.setDocumentSettings({CanvasType_Document, -4, "", ""});
  EXPECT_EQ(0, p(2).settings().pageInterval());  // the Canvas keeps no negative interval
  EXPECT_EQ(0, doc.documentSettings().pageInterval);
}

TEST_F(NoteDoc, SelectPageRefusesNumbersThatAreNoPage) {
  doc.AddPage(AddPage_next);
  for (int32_t n : {0, 3, -2, 10000}) {
    EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.SelectPage(n); }).code) << n;
    EXPECT_EQ(2, doc.currentPageNumber());
  }
  doc.ToggleBackPage(false);
  doc.SelectPage(0);
  EXPECT_EQ(0, doc.currentPageNumber());
}

// An ink component that logs what the note asks of it.
class FakeInk : public InkManager {
 public:
  bool loaded = true;
  bool changed = false;
  std::string ink;
  int32_t zoom = 150;
  std::vector<std::string> log;

  bool hasInkLoaded() const override { return loaded; }
  bool inkChanged() const override { return changed; }
  std::string serialiseInk() override {
    log.push_back("serialise");
    return "S:" + ink;
  }
  void writeLayerFiles(std::string_view back, std::string_view front) override {
    log.push_back("write");
    WriteFileBytes(std::string(back), "back of " + ink);
    WriteFileBytes(std::string(front), "front of " + ink);
  }
  void clearInk() override {
    log.push_back("clear");
    ink.clear();
  }
  void loadInk(std::string_view data, std::string_view, std::string_view) override {
    log.push_back("load " + std::string(data));
    ink = data;
    changed = false;
  }
  int32_t zoomPercent() const override { return zoom; }
  void setInkArea(int32_t w, int32_t h) override {
    log.push_back("area " + std::to_string(w) + note_test::named("x", h));
  }
};

TEST_F(NoteDoc, InkIsStoredAndLoadedThroughTheInkManager) {
  FakeInk ink;
  doc.inkManager = &ink;
  doc.NewDocument(7, true);
  EXPECT_EQ((std::vector<std::string>{"clear", "load ", "area 675x450"}), ink.log);
  ink.log.clear();

  // Unchanged ink is never written: the record keeps what the note held.
  doc.AddPage(AddPage_next);
  EXPECT_EQ((std::vector<std::string>{"clear", "load ", "area 675x450"}), ink.log);
  EXPECT_EQ("", p(1).inkData);
  ink.log.clear();

  ink.ink = "xyz";
  ink.changed = true;
  doc.workingSettings().setSize(200, 100);
  doc.SelectPage(1);
  EXPECT_EQ("S:xyz", p(2).inkData);
  EXPECT_EQ("back of xyz", ReadFileBytes(doc.inkLayerPath(2, InkLayer_back)));
  EXPECT_EQ("front of xyz", ReadFileBytes(doc.inkLayerPath(2, InkLayer_front)));
  EXPECT_EQ((std::vector<std::string>{"serialise", "write", "clear", "load ", "area 675x450"}),
            ink.log);
  ink.log.clear();

  // Unchanged ink of a record that has ink data: nothing written.
  ink.zoom = 50;
  doc.SelectPage(2);
  EXPECT_EQ((std::vector<std::string>{"clear", "load S:xyz", "area 100x50"}), ink.log);
  ink.log.clear();
  // Selecting the current page only stores.
  ink.changed = true;
  doc.SelectPage(2);
  EXPECT_EQ((std::vector<std::string>{"serialise", "write"}), ink.log);
  ink.log.clear();

  // Without ink loaded nothing is stored; with ink off nothing is loaded.
  ink.loaded = false;
  doc.inkEnabled = false;
  doc.SelectPage(1);
  EXPECT_TRUE(ink.log.empty());
  doc.inkManager = nullptr;
}

TEST_F(NoteDoc, WithoutAnInkManagerTheLayerFilesPassThroughUntouched) {
  label(doc, 1, "p1");
  doc.AddPage(AddPage_next);
  label(doc, 2, "p2");
  doc.SelectPage(1);
  doc.SelectPage(-1);
  doc.SelectPage(2);
  doc.storeWorkingCopy();
  EXPECT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ("", inkMismatch(doc));
  EXPECT_EQ("", p(1).inkData);
}

// --- back page and first page ---------------------------------------------

TEST_F(NoteDoc, ExchangeBackPageAndFirstSwapsContentAndInkFiles) {
  Canvas& c = doc.workingSettings();
  c.setSize(321, 123);
  c.SetId("one");
  c.setCanvasType(CanvasType_Menu);
  addRect(doc.workingFigures(), "r");
  p(1).inkData = "I1";
  label(doc, 1, "p1");
  doc.ToggleBackPage(false);
  label(doc, 0, "bg");
  p(0).settings().setSize(50, 60);
  p(0).inkData = "I0";
  ASSERT_EQ(0, doc.currentPageNumber());

  doc.ExchangeBackPageAndFirst();
  EXPECT_EQ(0, doc.currentPageNumber());
  EXPECT_EQ(&p(0).figures, &doc.workingFigures());
  ASSERT_EQ(1u, p(0).figureCount());
  EXPECT_EQ("r", p(0).figures.at(1).GetId());
  EXPECT_EQ(0u, p(1).figureCount());
  EXPECT_EQ(321, p(0).settings().width());
  EXPECT_EQ("one", p(0).settings().GetId());
  EXPECT_EQ(50, p(1).settings().width());
  EXPECT_EQ("I1", p(0).inkData);
  EXPECT_EQ("I0", p(1).inkData);
  // Titles and tree links stay with the records.
  EXPECT_EQ("bg", p(0).title());
  EXPECT_EQ("p1", p(1).title());
  EXPECT_EQ("p1/back", ReadFileBytes(doc.inkLayerPath(0, InkLayer_back)));
  EXPECT_EQ("p1/front", ReadFileBytes(doc.inkLayerPath(0, InkLayer_front)));
  EXPECT_EQ("bg/front", ReadFileBytes(doc.inkLayerPath(1, InkLayer_front)));
  EXPECT_FALSE(FileX_exists(doc.inkLayerPath(InkFiles_scratchBase, InkLayer_back)));
  EXPECT_EQ(CanvasType_Menu, doc.workingSettings().canvasType());
  EXPECT_EQ("", doc.checkTree());
  doc.SelectPage(1);
  EXPECT_EQ(CanvasType_Menu, doc.workingSettings().canvasType());
}

TEST_F(NoteDoc, ExchangeNeedsABackPage) {
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.ExchangeBackPageAndFirst(); }).code);
}

// --- finding pages and figures ---------------------------------------------

TEST_F(NoteDoc, FindPageByNamePrefersTheEarlierPageAndSeesTheBackPage) {
  addRect(doc.workingFigures(), "Target");
  doc.AddPage(AddPage_next);
  doc.workingSettings().SetId("target");
  addRect(doc.workingFigures(), "second");
  doc.AddPage(AddPage_next);
  doc.workingSettings().SetId("only3");

  EXPECT_EQ(1, doc.FindPageByName("target"));
  EXPECT_EQ(1, doc.FindPageByName("TARGET"));
  EXPECT_EQ(2, doc.FindPageByName("Second"));
  EXPECT_EQ(3, doc.FindPageByName("only3"));
  EXPECT_EQ(-1, doc.FindPageByName("none"));
  EXPECT_EQ(-1, doc.FindPageByName(""));  // pages without an id do not match it

  doc.ToggleBackPage(false);
  addRect(doc.workingFigures(), "bg");
  EXPECT_EQ(0, doc.FindPageByName("BG"));
  addRect(doc.workingFigures(), "second");
  EXPECT_EQ(0, doc.FindPageByName("second"));
  EXPECT_EQ(1, doc.FindPageByName("target"));
  // Stored and not current: the records are searched all the same.
  doc.SelectPage(-1);
  EXPECT_EQ(3, doc.FindPageByName("only3"));
}

TEST(FindFigureById, FirstMatchIgnoringCaseNeverTheCanvas) {
  NotePage page;
  page.settings().SetId("pageid");
  addRect(page.figures, "");
  Rect_Ex& a = addRect(page.figures, "Box");
  addRect(page.figures, "box");
  EXPECT_EQ(&a, NoteDocument_findFigureById(page.figures, "BOX"));
  EXPECT_EQ(nullptr, NoteDocument_findFigureById(page.figures, "pageid"));
  EXPECT_EQ(nullptr, NoteDocument_findFigureById(page.figures, ""));
  EXPECT_EQ(nullptr, NoteDocument_findFigureById(page.figures, "bo"));
  const std::string wide = Sjis(u8"図形");
  Rect_Ex& w = addRect(page.figures, wide);
  EXPECT_EQ(&w, NoteDocument_findFigureById(page.figures, wide));
}

// --- clearing ---------------------------------------------------------------

TEST_F(NoteDoc, ClearDocumentDeletesOnlyThisNotesFiles) {
  doc.AddPage(AddPage_next);
  doc.AddPage(AddPage_next);
  FakeUndo undo(3);
  ASSERT_TRUE(doc.DeletePage(&undo));  // leaves holder files
  WriteFileBytes(doc.imageNamePrefix() + "1", "image");
  WriteFileBytes(doc.imageNamePrefix() + "22.png", "image");

  NoteDocument other(dir.path());
  other.NewDocument(8, false);
  other.AddPage(AddPage_child);
  WriteFileBytes(other.imageNamePrefix() + "1", "other image");
  WriteFileBytes(dir.file("ink_00000070_1_9"), "not ours");
  WriteFileBytes(dir.file("img_000000070_1"), "not ours");
  WriteFileBytes(dir.file("keep.txt"), "keep");
  ASSERT_FALSE(inkFileNumbers(dir.path(), 7, InkLayer_back).empty());

  doc.ClearDocument();
  EXPECT_TRUE(doc.closed());
  EXPECT_EQ(0u, doc.pageCount());
  EXPECT_EQ(-1, doc.currentPageNumber());
  EXPECT_EQ(nullptr, doc.currentPage());
  EXPECT_TRUE(inkFileNumbers(dir.path(), 7, InkLayer_back).empty());
  EXPECT_TRUE(inkFileNumbers(dir.path(), 7, InkLayer_front).empty());
  EXPECT_FALSE(FileX_exists(doc.imageNamePrefix() + "1"));
  EXPECT_FALSE(FileX_exists(doc.imageNamePrefix() + "22.png"));

  EXPECT_EQ((std::set<int>{1, 2}), inkFileNumbers(dir.path(), 8, InkLayer_back));
  EXPECT_EQ((std::set<int>{1, 2}), inkFileNumbers(dir.path(), 8, InkLayer_front));
  EXPECT_EQ("other image", ReadFileBytes(other.imageNamePrefix() + "1"));
  EXPECT_EQ("not ours", ReadFileBytes(dir.file("ink_00000070_1_9")));
  EXPECT_EQ("not ours", ReadFileBytes(dir.file("img_000000070_1")));
  EXPECT_EQ("keep", ReadFileBytes(dir.file("keep.txt")));

  // Clearing twice is harmless; a new note opens it again.
  doc.ClearDocument();
  doc.NewDocument(7, false);
  EXPECT_FALSE(doc.closed());
  EXPECT_EQ((std::set<int>{1}), inkFileNumbers(dir.path(), 7, InkLayer_back));
}

// --- moving ink files with page blocks --------------------------------------

class MoveInk : public NoteDoc {
 protected:
  void SetUp() override {
    NoteDoc::SetUp();
    for (int32_t n = 2; n <= 5; ++n) doc.AddPage(AddPage_next);
    for (int32_t n = 1; n <= 5; ++n) label(doc, n, note_test::named("p", n));
  }
  // The labels held by the front files of pages 1 ... 5.
  std::vector<std::string> fronts() {
    std::vector<std::string> out;
    for (int32_t n = 1; n <= 5; ++n) {
      std::string s = ReadFileBytes(doc.inkLayerPath(n, InkLayer_front));
      out.push_back(s.substr(0, s.find('/')));
    }
    return out;
  }
};

using Labels = std::vector<std::string>;

TEST_F(MoveInk, BlockMovedDownwards) {
  doc.MovePageInkFiles(2, 4, 5);
  EXPECT_EQ((Labels{"p1", "p4", "p2", "p3", "p5"}), fronts());
  EXPECT_EQ("p2/back", ReadFileBytes(doc.inkLayerPath(3, InkLayer_back)));
}

TEST_F(MoveInk, BlockMovedUpwards) {
  doc.MovePageInkFiles(4, 6, 2);
  EXPECT_EQ((Labels{"p1", "p4", "p5", "p2", "p3"}), fronts());
}

TEST_F(MoveInk, EndOrTargetBelowTheFirstPageMeanAfterTheLast) {
  doc.MovePageInkFiles(4, 0, 2);  // [4, 6)
  EXPECT_EQ((Labels{"p1", "p4", "p5", "p2", "p3"}), fronts());
  doc.MovePageInkFiles(1, 2, -1);  // page 1 to the end
  EXPECT_EQ((Labels{"p4", "p5", "p2", "p3", "p1"}), fronts());
  EXPECT_EQ((std::set<int>{1, 2, 3, 4, 5}), inkFileNumbers(dir.path(), 7, InkLayer_back));
}

TEST_F(MoveInk, TargetAtTheBlockChangesNothing) {
  doc.MovePageInkFiles(2, 4, 2);
  doc.MovePageInkFiles(2, 4, 4);
  doc.MovePageInkFiles(2, 4, 3);
  EXPECT_EQ((Labels{"p1", "p2", "p3", "p4", "p5"}), fronts());
}

TEST_F(MoveInk, RangesOutsideThePagesAreRefused) {
  const std::vector<std::array<int32_t, 3>> ranges{
      {0, 2, 4}, {3, 3, 1}, {4, 2, 1}, {2, 7, 1}, {1, 2, 7}};
  for (const auto& r : ranges) {
    EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.MovePageInkFiles(r[0], r[1], r[2]); }).code)
        << r[0] << " " << r[1] << " " << r[2];
  }
  EXPECT_EQ((Labels{"p1", "p2", "p3", "p4", "p5"}), fronts());
}

TEST_F(MoveInk, MissingFilesAreSkipped) {
  FileX_deleteFile(doc.inkLayerPath(3, InkLayer_front));
  doc.MovePageInkFiles(2, 4, 6);  // 1, 4, 5, 2, 3
  EXPECT_EQ("p3/back", ReadFileBytes(doc.inkLayerPath(5, InkLayer_back)));
  EXPECT_FALSE(FileX_exists(doc.inkLayerPath(5, InkLayer_front)));
  EXPECT_EQ("p2/front", ReadFileBytes(doc.inkLayerPath(4, InkLayer_front)));
  EXPECT_EQ("p5/front", ReadFileBytes(doc.inkLayerPath(3, InkLayer_front)));
}

// --- the ink layer files on their own ---------------------------------------

TEST(InkLayerFiles, NamesUseTheDocumentNumberInHex) {
  InkLayerFiles files("/w/", -1);
  EXPECT_EQ("/w/ink_FFFFFFFF_0_9", files.backPath(0));
  EXPECT_EQ("/w/ink_FFFFFFFF_10003_13", files.frontPath(10003));
  EXPECT_EQ("/w/ink_0000000B_12_9", InkLayerFiles("/w", 11).path(12, 9));
}

TEST(InkLayerFiles, ShiftNeverOverwritesAPageStillToMove) {
  TempDir dir;
  InkLayerFiles files(dir.path(), 1);
  for (int32_t n = 1; n <= 4; ++n) {
    WriteFileBytes(files.backPath(n), note_test::named("b", n));
    WriteFileBytes(files.frontPath(n), note_test::named("f", n));
  }
  files.shift(2, 4, 1);
  EXPECT_EQ("b1", ReadFileBytes(files.backPath(1)));
  EXPECT_FALSE(FileX_exists(files.backPath(2)));
  EXPECT_EQ("b2", ReadFileBytes(files.backPath(3)));
  EXPECT_EQ("f3", ReadFileBytes(files.frontPath(4)));
  EXPECT_EQ("f4", ReadFileBytes(files.frontPath(5)));
  files.shift(3, 5, -2);
  EXPECT_EQ("b2", ReadFileBytes(files.backPath(1)));
  EXPECT_EQ("b3", ReadFileBytes(files.backPath(2)));
  EXPECT_EQ("f4", ReadFileBytes(files.frontPath(3)));
  EXPECT_FALSE(FileX_exists(files.frontPath(4)));
  EXPECT_FALSE(FileX_exists(files.frontPath(5)));
  files.exchange(1, 3);
  EXPECT_EQ("b4", ReadFileBytes(files.backPath(1)));
  EXPECT_EQ("b2", ReadFileBytes(files.backPath(3)));
  EXPECT_EQ(6, files.deleteAll());
}

// Two processes of one profile share the work folder: neither may take a
// note number whose files the other has, and closing one note removes only
// its own files.
TEST(NoteNumbers, NotesOfTwoProcessesNeverShareTheirWorkFiles) {
  TempDir work;
  const std::string folder = work.path() + "/";
  AppCounters first, second;  // both start at 1, as two fresh processes
  NoteDocument a(folder), b(folder);
  a.NewDocument(NoteDocument_newDocumentNumber(first, folder), false);
  WriteFileBytes(a.imageNamePrefix() + "1.png", "picture of a");
  b.NewDocument(NoteDocument_newDocumentNumber(second, folder), false);
  EXPECT_NE(a.documentNumber(), b.documentNumber());
  const std::string inkOfA = a.inkLayerPath(1, 9);
  ASSERT_TRUE(FileX_exists(inkOfA));
  b.ClearDocument();
  EXPECT_TRUE(FileX_exists(inkOfA));
  EXPECT_EQ("picture of a", ReadFileBytes(a.imageNamePrefix() + "1.png"));

  // The process-wide counters of two processes start in different ranges.
  int fds[2];
  ASSERT_EQ(0, pipe(fds));
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int32_t base = AppCounters_processDocumentBase();
    _exit(write(fds[1], &base, sizeof base) == sizeof base ? 0 : 1);
  }
  int32_t childBase = 0;
  ASSERT_EQ(static_cast<ssize_t>(sizeof childBase), read(fds[0], &childBase, sizeof childBase));
  int status = 0;
  waitpid(child, &status, 0);
  close(fds[0]);
  close(fds[1]);
  const uint32_t distance = static_cast<uint32_t>(childBase) - static_cast<uint32_t>(AppCounters_processDocumentBase());
  EXPECT_GE(std::min(distance, 0u - distance), 1024u);
}

}  // namespace

namespace {

TEST(NotePageIds, OnlyPageAndDigitsNameAPageGroup) {
  EXPECT_EQ(std::optional<int32_t>(12), NotePage_idNumber("page12"));
  EXPECT_EQ(std::optional<int32_t>(0), NotePage_idNumber("page000"));
  EXPECT_EQ(std::optional<int32_t>(2147483647), NotePage_idNumber("page99999999999"));
  for (const char* other : {"page", "Page1", "page1a", "backpage", "pag1", "page-1", ""})
    EXPECT_EQ(std::nullopt, NotePage_idNumber(other)) << other;
}

}  // namespace
