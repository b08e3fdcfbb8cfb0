#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "figures/rect/rect_ex.h"
#include "note_test_util.h"
#include "support/test_support.h"

using note_test::FakeUndo;
using note_test::inkFileNumbers;
using note_test::inkMismatch;
using note_test::label;
using note_test::pageNumbers;
using note_test::titles;
using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using Titles = std::vector<std::string>;
constexpr int32_t kDoc = 0x2A;

class PageTree : public ::testing::Test {
 protected:
  void SetUp() override { doc.NewDocument(kDoc, false); }

  // Pages 1, 2 (child 3), 4, labelled "p1" ... "p4".
  void makeOneTwoThreeFour() {
    ASSERT_EQ(2, doc.AddPage(AddPage_next));
    ASSERT_EQ(3, doc.AddPage(AddPage_child));
    doc.SelectPage(2);
    ASSERT_EQ(4, doc.AddPage(AddPage_next));
    for (int32_t n = 1; n <= 4; ++n) label(doc, n, note_test::named("p", n));
    ASSERT_EQ("", doc.checkTree());
  }

  NotePage& p(int32_t n) { return *doc.page(n); }

  // Below the holder numbers, exactly the pages have ink layer files.
  void expectFilesExactlyForPages() {
    for (int32_t layer : {InkLayer_back, InkLayer_front}) {
      std::set<int> files = inkFileNumbers(dir.path(), kDoc, layer);
      EXPECT_EQ(pageNumbers(doc), std::set<int>(files.begin(), files.lower_bound(10000)));
    }
  }
  std::set<int> holders(int32_t layer) {
    std::set<int> files = inkFileNumbers(dir.path(), kDoc, layer);
    return std::set<int>(files.lower_bound(10000), files.end());
  }

  TempDir dir;
  NoteDocument doc{dir.path()};
};

TEST_F(PageTree, NextPageGoesAfterTheDescendantsAndTheInkFilesMoveUp) {
  makeOneTwoThreeFour();
  doc.SelectPage(2);
  EXPECT_EQ(4, doc.AddPage(AddPage_next));
  EXPECT_EQ(4, doc.currentPageNumber());
  label(doc, 4, "new");
  EXPECT_EQ((Titles{"p1", "p2", "p3", "new", "p4"}), titles(doc));
  EXPECT_EQ("", doc.checkTree());
  // The new page is the next sibling of page 2 and the previous of old 4.
  EXPECT_EQ(&p(4), p(2).nextSibling);
  EXPECT_EQ(&p(2), p(4).previousSibling);
  EXPECT_EQ(&p(5), p(4).nextSibling);
  EXPECT_EQ(&p(4), p(5).previousSibling);
  EXPECT_EQ(nullptr, p(4).parent);
  EXPECT_EQ("", inkMismatch(doc));
  expectFilesExactlyForPages();
}

TEST_F(PageTree, NewPagesHaveTwoEmptyInkFiles) {
  makeOneTwoThreeFour();
  doc.SelectPage(2);
  ASSERT_EQ(4, doc.AddPage(AddPage_next));
  const std::string back = doc.inkLayerPath(4, InkLayer_back);
  EXPECT_EQ(dir.path() + "/ink_0000002A_4_9", back);
  EXPECT_EQ(dir.path() + "/ink_0000002A_4_13", doc.inkLayerPath(4, InkLayer_front));
  EXPECT_EQ(0, FileX_fileSize(back));
  EXPECT_TRUE(FileX_isFile(back));
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(4, InkLayer_front)));
  EXPECT_EQ("p4/front", ReadFileBytes(doc.inkLayerPath(5, InkLayer_front)));
}

TEST_F(PageTree, ChildPageBecomesTheFirstChildAndTheOldFirstChildFollows) {
  ASSERT_EQ(2, doc.AddPage(AddPage_child));  // 2 is a child of 1
  label(doc, 1, "p1");
  label(doc, 2, "old child");
  doc.SelectPage(1);
  EXPECT_EQ(2, doc.AddPage(AddPage_child));
  label(doc, 2, "new child");
  EXPECT_EQ((Titles{"p1", "new child", "old child"}), titles(doc));
  EXPECT_EQ(&p(2), p(1).firstChild);
  EXPECT_EQ(&p(1), p(2).parent);
  EXPECT_EQ(&p(1), p(3).parent);
  EXPECT_EQ(&p(3), p(2).nextSibling);
  EXPECT_EQ(&p(2), p(3).previousSibling);
  EXPECT_EQ(nullptr, p(2).previousSibling);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  EXPECT_EQ(1, doc.treeDepth(2));
  EXPECT_EQ(1, doc.parentNumber(3));
  EXPECT_EQ(-1, doc.parentNumber(1));
}

TEST_F(PageTree, PreviousPageTakesThePlaceOfAFirstChild) {
  makeOneTwoThreeFour();
  doc.SelectPage(3);  // the first child of 2
  EXPECT_EQ(3, doc.AddPage(AddPage_previous));
  label(doc, 3, "before p3");
  EXPECT_EQ((Titles{"p1", "p2", "before p3", "p3", "p4"}), titles(doc));
  EXPECT_EQ(&p(3), p(2).firstChild);
  EXPECT_EQ(&p(2), p(3).parent);
  EXPECT_EQ(&p(4), p(3).nextSibling);
  EXPECT_EQ(&p(3), p(4).previousSibling);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  expectFilesExactlyForPages();

  // Before a top-level page with a previous sibling.
  doc.SelectPage(5);  // p4
  EXPECT_EQ(5, doc.AddPage(AddPage_previous));
  label(doc, 5, "before p4");
  EXPECT_EQ(&p(5), p(2).nextSibling);
  EXPECT_EQ(&p(2), p(5).previousSibling);
  EXPECT_EQ(nullptr, p(5).parent);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
}

TEST_F(PageTree, NewPageTakesTheSettingsButNeitherImageFileNorId) {
  Canvas& c = doc.workingSettings();
  c.setSize(640, 480);
  c.setClassName("cls");
  c.setPubPage("a,b");
  c.setSaveImageFile("/x/page.png");
  c.SetId("first");
  for (int32_t kind : {AddPage_next, AddPage_child, AddPage_previous}) {
    doc.SelectPage(1);
    const int32_t n = doc.AddPage(kind);
    const Canvas& s = p(n).settings();
    EXPECT_EQ(640, s.width());
    EXPECT_EQ(480, s.height());
    EXPECT_EQ("cls", s.className());
    EXPECT_EQ("a,b", s.pubPage());
    EXPECT_EQ("", s.saveImageFile());
    EXPECT_EQ("", s.GetId());
    EXPECT_EQ(0u, p(n).figureCount());
    EXPECT_EQ("", p(n).title());
  }
  EXPECT_EQ("", doc.checkTree());
  // Links to the first page's id still find it, wherever it moved.
  EXPECT_EQ("first", p(2).settings().GetId());
  EXPECT_EQ(2, doc.FindPageByName("first"));
}

TEST_F(PageTree, TemplateFillIsCalledOnlyForAnExistingFile) {
  const std::string tpl = dir.file("page_default.svg");
  std::vector<int32_t> calls;
  NoteTemplateFill fill = [&](NotePage& page, int32_t number, std::string_view path) {
    calls.push_back(number);
    EXPECT_EQ(tpl, path);
    page.setTitle("from template");
    auto r = std::make_unique<Rect_Ex>();
    r->id = "t";
    page.figures.append(std::move(r));
  };
  EXPECT_EQ(2, doc.AddPage(AddPage_next, tpl, fill));  // missing file
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(0u, p(2).figureCount());
  WriteFileBytes(tpl, "<svg/>");
  EXPECT_EQ(3, doc.AddPage(AddPage_next, "", fill));  // no path
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(4, doc.AddPage(AddPage_next, tpl));  // no hook
  EXPECT_EQ(5, doc.AddPage(AddPage_next, tpl, fill));
  EXPECT_EQ((std::vector<int32_t>{5}), calls);
  EXPECT_EQ("from template", p(5).title());
  EXPECT_EQ(1u, p(5).figureCount());
  EXPECT_EQ(5, doc.FindPageByName("T"));
  EXPECT_EQ(5, doc.currentPageNumber());
}

TEST_F(PageTree, AddPageRefusesTheBackPageNoCurrentPageAndUnknownKinds) {
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.AddPage(3); }).code);
  doc.SelectPage(-1);
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.AddPage(AddPage_next); }).code);
  doc.SelectPage(1);
  doc.ToggleBackPage(false);
  ASSERT_EQ(0, doc.currentPageNumber());
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.AddPage(AddPage_next); }).code);
  EXPECT_EQ(2u, doc.pageCount());
  EXPECT_EQ("", doc.checkTree());
}

TEST_F(PageTree, BackPageToggledOnAndOffKeepsThePageNumbers) {
  makeOneTwoThreeFour();
  doc.SelectPage(3);
  doc.workingSettings().setSize(777, 555);
  doc.workingSettings().SetId("three");
  doc.ToggleBackPage(true);

  EXPECT_TRUE(doc.hasBackPage());
  EXPECT_TRUE(doc.backPageMade);
  EXPECT_EQ(0, doc.firstPageNumber());
  EXPECT_EQ(0, doc.currentPageNumber());
  EXPECT_EQ(3, doc.returnPageNumber);
  EXPECT_EQ(Sjis(u8"背景"), p(0).title());
  EXPECT_EQ(777, p(0).settings().width());
  EXPECT_EQ(555, p(0).settings().height());
  EXPECT_EQ("", p(0).settings().GetId());
  EXPECT_EQ(0u, p(0).figureCount());
  EXPECT_EQ("", p(0).inkData);
  EXPECT_EQ(4, doc.ordinaryPageCount());
  EXPECT_EQ(4, doc.lastPageNumber());
  for (int32_t n = 1; n <= 4; ++n) EXPECT_EQ(note_test::named("p", n), p(n).title());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ(0, FileX_fileSize(doc.inkLayerPath(0, InkLayer_back)));
  EXPECT_TRUE(FileX_isFile(doc.inkLayerPath(0, InkLayer_front)));
  label(doc, 0, "back");
  EXPECT_EQ("", inkMismatch(doc));
  expectFilesExactlyForPages();
  EXPECT_EQ(3, doc.FindPageByName("three"));

  doc.ToggleBackPage(true);
  EXPECT_EQ(3, doc.currentPageNumber());
  EXPECT_EQ(5u, doc.pageCount());

  // A third toggle makes no second back page.
  doc.ToggleBackPage(true);
  EXPECT_EQ(0, doc.currentPageNumber());
  EXPECT_EQ(5u, doc.pageCount());
  EXPECT_EQ("back", p(0).title());
  EXPECT_EQ("", inkMismatch(doc));
}

TEST_F(PageTree, BackPageTitleFollowsTheUserInterfaceLanguage) {
  doc.ToggleBackPage(false);
  EXPECT_EQ("Background", p(0).title());
  EXPECT_EQ(1, doc.returnPageNumber);
}

TEST_F(PageTree, DeletingAPageWithTwoChildrenMovesTheLaterInkDownByThree) {
  // 1, 2 (children 3, 4), 5, 6
  ASSERT_EQ(2, doc.AddPage(AddPage_next));
  ASSERT_EQ(3, doc.AddPage(AddPage_child));
  ASSERT_EQ(4, doc.AddPage(AddPage_next));
  doc.SelectPage(2);
  ASSERT_EQ(5, doc.AddPage(AddPage_next));
  ASSERT_EQ(6, doc.AddPage(AddPage_next));
  for (int32_t n = 1; n <= 6; ++n) label(doc, n, note_test::named("p", n));
  ASSERT_EQ("", doc.checkTree());
  NotePage* old2 = doc.page(2);

  doc.SelectPage(2);
  FakeUndo undo(7);
  ASSERT_TRUE(doc.DeletePage(&undo));

  EXPECT_EQ((Titles{"p1", "p5", "p6"}), titles(doc));
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ(&p(2), p(1).nextSibling);
  EXPECT_EQ(&p(1), p(2).previousSibling);
  EXPECT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ("", inkMismatch(doc));
  expectFilesExactlyForPages();

  // The undo history holds the three pages and their ink.
  ASSERT_EQ(1u, undo.kept.size());
  const DeletedPages& d = undo.kept[0];
  ASSERT_EQ(3u, d.pages.size());
  EXPECT_EQ(old2, d.pages[0].get());
  EXPECT_EQ("p3", d.pages[1]->title());
  EXPECT_EQ("p4", d.pages[2]->title());
  EXPECT_EQ(2, d.firstNumber);
  EXPECT_EQ(-1, d.parentNumber);
  EXPECT_EQ(1, d.previousNumber);
  EXPECT_EQ(nullptr, d.pages[0]->parent);
  EXPECT_EQ(nullptr, d.pages[0]->previousSibling);
  EXPECT_EQ(nullptr, d.pages[0]->nextSibling);
  EXPECT_EQ(d.pages[1].get(), d.pages[0]->firstChild);
  EXPECT_EQ(d.pages[0].get(), d.pages[2]->parent);
  EXPECT_EQ((std::set<int>{10007, 10008, 10009}), holders(InkLayer_back));
  EXPECT_EQ((std::set<int>{10007, 10008, 10009}), holders(InkLayer_front));
  for (int32_t i = 0; i < 3; ++i) {
    const int32_t h = 10007 + i;
    EXPECT_EQ(h, InkFiles_holderNumber(7, i));
    EXPECT_EQ(note_test::named("p", 2 + i) + "/back",
              ReadFileBytes(doc.inkLayerPath(h, InkLayer_back)));
    EXPECT_EQ(note_test::named("p", 2 + i) + "/front",
              ReadFileBytes(doc.inkLayerPath(h, InkLayer_front)));
  }
}

TEST_F(PageTree, DeletingTheLastChildClearsTheParentsFirstChild) {
  ASSERT_EQ(2, doc.AddPage(AddPage_child));
  for (int32_t n = 1; n <= 2; ++n) label(doc, n, note_test::named("p", n));
  FakeUndo undo(0);
  ASSERT_TRUE(doc.DeletePage(&undo));
  EXPECT_EQ(nullptr, p(1).firstChild);
  EXPECT_EQ(1, doc.currentPageNumber());  // the end of the list: the page before
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  EXPECT_EQ("p2/front", ReadFileBytes(doc.inkLayerPath(10000, InkLayer_front)));
}

TEST_F(PageTree, DeletingAMiddleChildLinksItsSiblings) {
  // 1 (children 2, 3, 4)
  ASSERT_EQ(2, doc.AddPage(AddPage_child));
  ASSERT_EQ(3, doc.AddPage(AddPage_next));
  ASSERT_EQ(4, doc.AddPage(AddPage_next));
  for (int32_t n = 1; n <= 4; ++n) label(doc, n, note_test::named("p", n));
  doc.SelectPage(3);
  ASSERT_TRUE(doc.DeletePage(nullptr));
  EXPECT_EQ((Titles{"p1", "p2", "p4"}), titles(doc));
  EXPECT_EQ(&p(3), p(2).nextSibling);
  EXPECT_EQ(&p(2), p(3).previousSibling);
  EXPECT_EQ(3, doc.currentPageNumber());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  // Without an undo history the files of the deleted page are gone.
  expectFilesExactlyForPages();
  EXPECT_TRUE(holders(InkLayer_back).empty());
  EXPECT_TRUE(holders(InkLayer_front).empty());
  // The first child.
  doc.SelectPage(2);
  ASSERT_TRUE(doc.DeletePage(nullptr));
  EXPECT_EQ(&p(2), p(1).firstChild);
  EXPECT_EQ(nullptr, p(2).previousSibling);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
}

TEST_F(PageTree, DeletePageRefusesTheBackPageAndTheLastOrdinaryPages) {
  FakeUndo undo(1);
  EXPECT_FALSE(doc.DeletePage(&undo));  // the only page
  ASSERT_EQ(2, doc.AddPage(AddPage_child));
  doc.SelectPage(1);
  EXPECT_FALSE(doc.DeletePage(&undo));  // 1 with its child is every ordinary page
  doc.ToggleBackPage(false);
  EXPECT_FALSE(doc.DeletePage(&undo));  // the back page
  doc.SelectPage(-1);
  EXPECT_FALSE(doc.DeletePage(&undo));  // no current page
  EXPECT_TRUE(undo.kept.empty());
  EXPECT_EQ(3u, doc.pageCount());
  EXPECT_EQ(-1, doc.currentPageNumber());
  doc.SelectPage(2);
  EXPECT_TRUE(doc.DeletePage(&undo));
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ("", doc.checkTree());
}

TEST_F(PageTree, DeletedHoldersStayBelowTheParkingNumbers) {
  EXPECT_EQ(10000, InkFiles_holderNumber(0, 0));
  EXPECT_EQ(19999, InkFiles_holderNumber(9999, 0));
  EXPECT_EQ(10000, InkFiles_holderNumber(9999, 1));
  EXPECT_EQ(15000, InkFiles_holderNumber(25000, 0));
  EXPECT_EQ(19999, InkFiles_holderNumber(-1, 0));

  ASSERT_EQ(2, doc.AddPage(AddPage_next));
  ASSERT_EQ(3, doc.AddPage(AddPage_child));
  ASSERT_EQ(4, doc.AddPage(AddPage_next));
  for (int32_t n = 1; n <= 4; ++n) label(doc, n, note_test::named("p", n));
  doc.SelectPage(2);
  FakeUndo undo(19998);
  ASSERT_TRUE(doc.DeletePage(&undo));
  EXPECT_EQ("p2/back", ReadFileBytes(doc.inkLayerPath(19998, InkLayer_back)));
  EXPECT_EQ("p3/back", ReadFileBytes(doc.inkLayerPath(19999, InkLayer_back)));
  EXPECT_EQ("p4/back", ReadFileBytes(doc.inkLayerPath(10000, InkLayer_back)));
  EXPECT_FALSE(FileX_exists(doc.inkLayerPath(20000, InkLayer_back)));
}

TEST_F(PageTree, AppendPageBuildsAPreOrderTree) {
  // 1, 2 (child 3 (child 4)), 5
  label(doc, 1, "p1");
  NotePage& two = doc.appendPage(nullptr);
  NotePage& three = doc.appendPage(&two);
  NotePage& four = doc.appendPage(&three);
  NotePage& five = doc.appendPage(nullptr);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ(5u, doc.pageCount());
  EXPECT_EQ(&two, p(1).nextSibling);
  EXPECT_EQ(&five, two.nextSibling);
  EXPECT_EQ(&three, two.firstChild);
  EXPECT_EQ(&four, three.firstChild);
  EXPECT_EQ(2, doc.treeDepth(4));
  EXPECT_EQ(0, doc.treeDepth(5));
  EXPECT_EQ(3, doc.parentNumber(4));
  // A second child of 2 after 4 is still a pre-order walk.
  NotePage& six = doc.appendPage(nullptr);
  EXPECT_EQ(&six, five.nextSibling);
  expectFilesExactlyForPages();
  EXPECT_EQ(0, FileX_fileSize(doc.inkLayerPath(6, InkLayer_front)));
  // Under 3, which is not an ancestor of the last record: refused.
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.appendPage(&three); }).code);
  EXPECT_EQ(6u, doc.pageCount());
  NotePage stranger;
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.appendPage(&stranger); }).code);
  EXPECT_EQ("", doc.checkTree());
}

TEST_F(PageTree, AppendPageAfterABackPage) {
  doc.ToggleBackPage(false);
  doc.SelectPage(1);
  NotePage& two = doc.appendPage(nullptr);
  EXPECT_EQ(2, doc.numberOf(&two));
  EXPECT_EQ(&p(1), two.previousSibling);
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.appendPage(doc.page(0)); }).code);
}

TEST_F(PageTree, CheckTreeFindsBrokenLinks) {
  makeOneTwoThreeFour();
  p(3).parent = nullptr;
  EXPECT_NE("", doc.checkTree());
  p(3).parent = &p(2);
  p(4).previousSibling = &p(3);
  EXPECT_NE("", doc.checkTree());
  p(4).previousSibling = &p(2);
  ASSERT_EQ("", doc.checkTree());
  // The list no longer in pre-order: 4 is linked as the first child of 1.
  p(1).firstChild = &p(4);
  EXPECT_NE("", doc.checkTree());
  p(1).firstChild = nullptr;
  p(4).nextSibling = &p(1);  // a cycle
  EXPECT_NE("", doc.checkTree());
  p(4).nextSibling = nullptr;
  doc.SelectPage(1);
  doc.ToggleBackPage(false);
  ASSERT_EQ("", doc.checkTree());
  p(0).nextSibling = &p(1);
  EXPECT_NE("", doc.checkTree());
  p(0).nextSibling = nullptr;
  p(1).previousSibling = &p(0);
  EXPECT_NE("", doc.checkTree());
}

// A fixed pseudo-random walk of adds, deletions and page changes: after
// every step the list is the pre-order walk of the tree and every page's ink
// files hold its own content.
TEST_F(PageTree, TreeAndInkFilesStaySoundThroughLongSequences) {
  uint32_t seed = 12345;
  auto next = [&](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  int made = 1;
  label(doc, 1, "n1");
  FakeUndo undo(0);
  for (int step = 0; step < 300; ++step) {
    const uint32_t what = next(10);
    const int32_t pages = doc.ordinaryPageCount();
    if (what < 5) {
      const int32_t target = 1 + static_cast<int32_t>(next(static_cast<uint32_t>(pages)));
      doc.SelectPage(target);
      const int32_t n = doc.AddPage(static_cast<int32_t>(what % 3));
      label(doc, n, note_test::named("n", ++made));
    } else if (what < 8) {
      doc.SelectPage(1 + static_cast<int32_t>(next(static_cast<uint32_t>(pages))));
      const Titles before = titles(doc);
      const int32_t current = doc.currentPageNumber();
      if (!doc.DeletePage(what == 7 ? nullptr : &undo)) {
        // Refused: nothing changed.
        ASSERT_EQ(before, titles(doc));
        ASSERT_EQ(current, doc.currentPageNumber());
      }
    } else if (what == 8) {
      doc.ToggleBackPage(false);
      ASSERT_EQ(0, doc.currentPageNumber());
      if (p(0).title() != "back") label(doc, 0, "back");
      doc.ToggleBackPage(false);
    } else {
      doc.SelectPage(-1);
      doc.SelectPage(doc.lastPageNumber());
    }
    ASSERT_EQ("", doc.checkTree()) << "step " << step;
    ASSERT_EQ("", inkMismatch(doc)) << "step " << step;
    ASSERT_GE(doc.ordinaryPageCount(), 1);
    ASSERT_NE(-1, doc.currentPageNumber());
  }
  EXPECT_GT(made, 50);
  EXPECT_TRUE(doc.hasBackPage());
  // Apart from the holders of deleted pages, exactly the pages have files;
  // nothing is left parked.
  for (int32_t layer : {InkLayer_back, InkLayer_front}) {
    std::set<int> files = inkFileNumbers(dir.path(), kDoc, layer);
    std::set<int> low(files.begin(), files.lower_bound(InkFiles_holderBase));
    EXPECT_EQ(pageNumbers(doc), low);
    EXPECT_EQ(files.end(), files.lower_bound(InkFiles_scratchBase));
  }
}

}  // namespace

// Every page of a tree deleted and put back (the undo of a deletion): the
// list, the tree, the ink files and the page objects are as before; two
// deletions put back in reverse order too.
TEST_F(PageTree, DeletedPagesPutBackRestoreListTreeAndInk) {
  // back page 0; 1, 2 (children 3, 4 (child 5)), 6, 7
  ASSERT_EQ(2, doc.AddPage(AddPage_next));
  ASSERT_EQ(3, doc.AddPage(AddPage_child));
  ASSERT_EQ(4, doc.AddPage(AddPage_next));
  ASSERT_EQ(5, doc.AddPage(AddPage_child));
  doc.SelectPage(2);
  ASSERT_EQ(6, doc.AddPage(AddPage_next));
  ASSERT_EQ(7, doc.AddPage(AddPage_next));
  doc.ToggleBackPage(false);
  for (int32_t n = 0; n <= 7; ++n) label(doc, n, note_test::named("p", n));
  ASSERT_EQ("", doc.checkTree());
  const Titles all = titles(doc);
  std::vector<NotePage*> objects;
  std::vector<int32_t> parents;
  for (int32_t n = 0; n <= 7; ++n) {
    objects.push_back(doc.page(n));
    parents.push_back(doc.parentNumber(n));
  }
  auto expectAsBefore = [&](int32_t n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(all, titles(doc));
    EXPECT_EQ("", doc.checkTree());
    EXPECT_EQ("", inkMismatch(doc));
    for (int32_t m = 0; m <= 7; ++m) {
      EXPECT_EQ(objects[static_cast<size_t>(m)], doc.page(m));
      EXPECT_EQ(parents[static_cast<size_t>(m)], doc.parentNumber(m));
    }
    EXPECT_EQ(std::set<int>{}, holders(InkLayer_back));
  };

  FakeUndo undo(40);
  for (int32_t n = 1; n <= 7; ++n) {
    doc.SelectPage(n);
    ASSERT_TRUE(doc.DeletePage(&undo));
    ASSERT_NE(all, titles(doc));
    DeletedPages cut = std::move(undo.kept.back());
    undo.kept.pop_back();
    doc.RestoreDeletedPages(std::move(cut), 40);
    EXPECT_EQ(n, doc.currentPageNumber());
    expectAsBefore(n);
  }

  // 4 (with 5), then 6; put back 6 first, then 4.
  doc.SelectPage(4);
  ASSERT_TRUE(doc.DeletePage(&undo));
  doc.SelectPage(4);  // the old 6
  ASSERT_EQ("p6", doc.currentPage()->title());
  FakeUndo second(90);
  ASSERT_TRUE(doc.DeletePage(&second));
  EXPECT_EQ((Titles{"p0", "p1", "p2", "p3", "p7"}), titles(doc));
  doc.RestoreDeletedPages(std::move(second.kept.back()), 90);
  doc.RestoreDeletedPages(std::move(undo.kept.back()), 40);
  expectAsBefore(0);
}

// Numbers that no longer fit the note raise 102 and change nothing.
TEST_F(PageTree, DeletedPagesThatNoLongerFitAreRefused) {
  makeOneTwoThreeFour();
  doc.SelectPage(3);  // the child of 2
  FakeUndo undo(0);
  ASSERT_TRUE(doc.DeletePage(&undo));
  DeletedPages cut = std::move(undo.kept.back());
  const Titles before = titles(doc);
  DeletedPages wrong;
  wrong.pages = std::move(cut.pages);
  wrong.firstNumber = 9;  // past the end
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.RestoreDeletedPages(std::move(wrong), 0); }).code);
  EXPECT_EQ(before, titles(doc));
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ(Errors_Unofficial, CatchError([&] { doc.RestoreDeletedPages(DeletedPages{}, 0); }).code);
  EXPECT_EQ(before, titles(doc));
}
