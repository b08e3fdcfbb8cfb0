// Pages that change their place: moved in the tree (and back by the move
// the operation answers), and taken from another note.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/note/note_document.h"
#include "note_test_util.h"
#include "support/test_support.h"

using note_test::inkFileNumbers;
using note_test::inkMismatch;
using note_test::label;
using note_test::named;
using note_test::pageNumbers;
using note_test::titles;
using testing_support::TempDir;

namespace {

using Titles = std::vector<std::string>;

// Pages 1, 2 (child 3), 4 labelled by `prefix` and their numbers.
void makeOneTwoThreeFour(NoteDocument& doc, const char* prefix) {
  doc.AddPage(AddPage_next);
  doc.AddPage(AddPage_child);
  doc.SelectPage(2);
  doc.AddPage(AddPage_next);
  for (int32_t n = 1; n <= 4; ++n) label(doc, n, named(prefix, n));
}

}  // namespace

TEST(PageMove, ASubtreeMovesWithItsInkFilesAndTheAnsweredMovePutsItBack) {
  TempDir dir;
  NoteDocument doc(dir.path());
  doc.NewDocument(0x31, false);
  makeOneTwoThreeFour(doc, "p");

  // 2 (with 3) behind 4: the block goes to the end.
  NoteDocument::PageMoveResult done = doc.MovePageInTree({2, 4, PageDrop_after});
  ASSERT_TRUE(done.moved);
  EXPECT_EQ((Titles{"p1", "p4", "p2", "p3"}), titles(doc));
  EXPECT_EQ(2, done.first);
  EXPECT_EQ(4, done.end);
  EXPECT_EQ(5, done.to);
  EXPECT_EQ(3, done.number);
  EXPECT_EQ(3, doc.currentPageNumber());
  EXPECT_EQ(3, doc.parentNumber(4));
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  // Back: behind its old previous sibling, page 1.
  EXPECT_EQ((PageTreeMove{3, 1, PageDrop_after}), done.back);
  ASSERT_TRUE(doc.MovePageInTree(done.back).moved);
  EXPECT_EQ((Titles{"p1", "p2", "p3", "p4"}), titles(doc));
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));

  // 4 as the first child of 1; back behind 2 (now page 3).
  done = doc.MovePageInTree({4, 1, PageDrop_under});
  ASSERT_TRUE(done.moved);
  EXPECT_EQ((Titles{"p1", "p4", "p2", "p3"}), titles(doc));
  EXPECT_EQ(1, doc.parentNumber(2));
  EXPECT_EQ((PageTreeMove{2, 3, PageDrop_after}), done.back);
  ASSERT_TRUE(doc.MovePageInTree(done.back).moved);
  EXPECT_EQ((Titles{"p1", "p2", "p3", "p4"}), titles(doc));
  EXPECT_EQ(-1, doc.parentNumber(4));
  EXPECT_EQ("", inkMismatch(doc));

  // The first top-level page behind the last: back in front of page 2.
  done = doc.MovePageInTree({1, 4, PageDrop_after});
  EXPECT_EQ((Titles{"p2", "p3", "p4", "p1"}), titles(doc));
  EXPECT_EQ((PageTreeMove{4, 1, PageDrop_before}), done.back);
  ASSERT_TRUE(doc.MovePageInTree(done.back).moved);
  EXPECT_EQ("", doc.checkTree());

  // Refused: into its own subtree, onto itself, or where it stands.
  for (PageTreeMove m : {PageTreeMove{2, 3, PageDrop_under}, PageTreeMove{2, 2, PageDrop_after},
                         PageTreeMove{4, 2, PageDrop_after}, PageTreeMove{3, 2, PageDrop_under},
                         PageTreeMove{9, 1, PageDrop_after}}) {
    EXPECT_FALSE(doc.MovePageInTree(m).moved) << m.page << " " << m.target;
  }
  EXPECT_EQ((Titles{"p1", "p2", "p3", "p4"}), titles(doc));
  EXPECT_EQ("", inkMismatch(doc));
}

TEST(PageMove, PagesOfAnotherNoteGoInFrontOfAPageWithTheirTreeAndInkFiles) {
  TempDir dir;
  NoteDocument doc(dir.path());
  doc.NewDocument(0x32, false);
  makeOneTwoThreeFour(doc, "p");
  // Three pages, the second a child of the first, behind a back page.
  NoteDocument other(dir.path());
  other.NewDocument(0x33, false);
  other.AddPage(AddPage_child);
  other.SelectPage(1);
  other.AddPage(AddPage_next);
  for (int32_t n = 1; n <= 3; ++n) label(other, n, named("q", n));
  other.ToggleBackPage(false);
  label(other, 0, "back");

  EXPECT_EQ(2, doc.InsertPagesFrom(other, 2));
  EXPECT_EQ((Titles{"p1", "q1", "q2", "q3", "p2", "p3", "p4"}), titles(doc));
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("", inkMismatch(doc));
  EXPECT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ(2, doc.parentNumber(3));
  EXPECT_EQ(-1, doc.parentNumber(4));
  EXPECT_EQ(5, doc.parentNumber(6));
  EXPECT_EQ(pageNumbers(doc), inkFileNumbers(dir.path(), 0x32, InkLayer_front));
  // The other note keeps its back page and its files only.
  EXPECT_EQ(1u, other.pageCount());
  EXPECT_EQ((std::set<int>{0}), inkFileNumbers(dir.path(), 0x33, InkLayer_back));
  other.ClearDocument();
  EXPECT_EQ("", inkMismatch(doc));
}
