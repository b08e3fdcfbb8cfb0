#include "figures/base/links.h"

#include <gtest/gtest.h>

#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "support/test_support.h"
#include "test_kinds.h"

using test_kinds::TestBox;
using test_kinds::TestLine;

namespace {

struct Page {
  FigureList list;
  TestBox* box;
  TestLine* l1;
  TestLine* l2;
  Page() {
    box = &add<TestBox>(1, Rect32{100, 100, 50, 20});
    l1 = &add<TestLine>(2, Point32{0, 0}, Point32{100, 100});
    l2 = &add<TestLine>(3, Point32{300, 0}, Point32{150, 120});
  }
  template <class T, class... A>
  T& add(int32_t n, A... a) {
    auto f = std::make_unique<T>(a...);
    f->SetNumber(n);
    return static_cast<T&>(list.append(std::move(f)));
  }
};

}  // namespace

TEST(Links, AttachIsTwoSidedAndIdempotent) {
  Page p;
  ASSERT_NE(nullptr, p.box->nodes.attach(*p.box, *p.l1, 2));
  const Attachment* rec = p.box->GetAttachment(1);
  ASSERT_NE(nullptr, rec);
  EXPECT_EQ(p.l1, rec->line);
  EXPECT_EQ(2, rec->lineNumber);
  EXPECT_EQ(2, rec->lineEnd);
  EXPECT_EQ(100, rec->x);  // the end's position when attached
  EXPECT_EQ(100, rec->y);
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
  EXPECT_EQ(1, p.l1->GetEndTargetNumber(2));
  EXPECT_TRUE(p.box->HasAttachments());

  EXPECT_EQ(nullptr, p.box->nodes.attach(*p.box, *p.l1, 2));  // twice: no effect
  EXPECT_EQ(1, p.box->GetAttachmentCount());
  p.box->AttachEnd(0, *p.l1, 1);  // the other end: a second record
  EXPECT_EQ(2, p.box->GetAttachmentCount());

  // Re-attaching an end to another node takes it from the first.
  TestBox& other = p.add<TestBox>(9, Rect32{0, 0, 5, 5});
  other.AttachEnd(0, *p.l1, 2);
  EXPECT_EQ(&other, p.l1->GetEndTarget(2));
  ASSERT_EQ(1, p.box->GetAttachmentCount());
  EXPECT_EQ(1, p.box->GetAttachment(1)->lineEnd);

  // A node of capacity 1 gives its old record up (both sides).
  NodeLinks slot(1);
  TestBox holder;
  holder.SetNumber(20);
  slot.attach(holder, *p.l2, 1);
  slot.attach(holder, *p.l2, 2);
  ASSERT_EQ(1u, slot.size());
  EXPECT_EQ(2, slot.get(1)->lineEnd);
  EXPECT_EQ(nullptr, p.l2->GetEndTarget(1));
  EXPECT_EQ(&holder, p.l2->GetEndTarget(2));
  slot.detachAll(holder, true);
  EXPECT_EQ(nullptr, p.l2->GetEndTarget(2));
}

TEST(Links, DetachAndClearOnlyTheGivenNode) {
  Page p;
  p.box->AttachEnd(0, *p.l1, 2);
  TestBox stranger;
  p.l1->ClearEndTarget(2, stranger);  // not its target: no effect
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
  p.box->DetachEnd(*p.l2, 1, true);  // missing record: no error
  p.box->DetachEnd(*p.l1, 2, false);  // no notify: the line keeps it
  EXPECT_EQ(0, p.box->GetAttachmentCount());
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
  p.l1->ends[1].reset();
  p.box->AttachEnd(0, *p.l1, 2);
  p.box->DetachEnd(*p.l1, 2, true);
  EXPECT_EQ(nullptr, p.l1->GetEndTarget(2));
  EXPECT_EQ(0, p.l1->ends[1].number());
}

TEST(Links, MovingABoxDragsUnselectedEndsAndMovingALineDragsEachTargetOnce) {
  Page p;
  p.box->AttachEnd(0, *p.l1, 2);
  p.box->AttachEnd(0, *p.l2, 2);
  p.l2->SetSelected(true);
  p.box->MoveBy(10, -5);
  EXPECT_EQ((Point32{110, 95}), p.l1->p[1]);  // followed
  EXPECT_EQ((Point32{0, 0}), p.l1->p[0]);     // the other end stays
  EXPECT_EQ((Point32{150, 120}), p.l2->p[1]); // selected: the view moves it

  // A line with both ends on one box moves it once; a selected target not.
  p.box->AttachEnd(0, *p.l1, 1);
  p.box->moves = 0;
  p.box->SetSelected(false);
  p.l1->SetSelected(true);
  p.l1->MoveBy(1, 1);
  EXPECT_EQ(1, p.box->moves);
  p.box->SetSelected(true);
  p.l1->MoveBy(1, 1);
  EXPECT_EQ(1, p.box->moves);

  // Marking for a move goes through pointers only.
  for (const auto& f : p.list) f->SetMoveMark(false);
  p.l1->MarkAttachedForMove();
  EXPECT_TRUE(p.box->HasMoveMark());
  p.box->MarkAttachedForMove();
  EXPECT_TRUE(p.l1->HasMoveMark());
  EXPECT_TRUE(p.l2->HasMoveMark());
  TestLine free;
  free.ends[0].setNumber(5);  // a number without a pointer marks nothing
  free.MarkAttachedForMove();
}

TEST(Links, DestroyingASnapshotCopyLeavesLiveLinksAlone) {
  Page p;
  p.box->AttachEnd(0, *p.l1, 2);
  {
    std::unique_ptr<CadPrim> boxCopy = p.box->Clone(&p.list);
    std::unique_ptr<CadPrim> lineCopy = p.l1->Clone(&p.list);
    boxCopy->SetIsCopy(true);
    lineCopy->SetIsCopy(true);
    EXPECT_TRUE(boxCopy->Equals(*p.box, 5));
    EXPECT_TRUE(lineCopy->Equals(*p.l1, 5));
    // Copies carry numbers only.
    EXPECT_EQ(nullptr, static_cast<TestBox&>(*boxCopy).nodes.get(1)->line);
    EXPECT_EQ(nullptr, lineCopy->GetEndTarget(2));
  }
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
  EXPECT_EQ(1, p.box->GetAttachmentCount());

  // Even a non-copy clone without pointers cannot harm them.
  { std::unique_ptr<CadPrim> plain = p.box->Clone(&p.list); }
  EXPECT_EQ(1, p.box->GetAttachmentCount());
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
}

TEST(Links, ResolveAfterSnapshotRestoresBothSides) {
  Page p;
  p.box->AttachEnd(0, *p.l1, 2);
  std::vector<uint8_t> boxSnap = Snapshot_make(*p.box);
  std::vector<uint8_t> lineSnap = Snapshot_make(*p.l1);
  // Undo-like: both figures are restored from snapshots (pointers gone) and
  // the list resolves them again.
  p.box->nodes.reset();
  p.l1->ends[1].reset();
  Snapshot_restore(*p.box, boxSnap);
  Snapshot_restore(*p.l1, lineSnap);
  EXPECT_EQ(nullptr, p.l1->GetEndTarget(2));
  EXPECT_EQ(1, p.l1->GetEndTargetNumber(2));
  FigureList_resolveLinks(p.list);
  EXPECT_EQ(p.box, p.l1->GetEndTarget(2));
  EXPECT_EQ(p.l1, p.box->GetAttachment(1)->line);

  // Renumbering rewrites stored numbers only.
  p.box->RenumberLinks(2, 7);
  EXPECT_EQ(7, p.box->GetAttachment(1)->lineNumber);
  EXPECT_EQ(p.l1, p.box->GetAttachment(1)->line);
}

TEST(Links, ResolveAcceptsOnlyNodesOfTheRightKind) {
  Page p;
  EndLink e;
  e.setNumber(2);  // a line, not a text box
  e.resolve(p.list, true);
  EXPECT_EQ(nullptr, e.target());
  EXPECT_EQ(0, e.number());
  e.setNumber(2);
  e.resolve(p.list, false);  // a line takes part in links
  EXPECT_EQ(p.l1, e.target());
  e.setNumber(-2);  // pending id marker: kept, no pointer
  e.resolve(p.list, true);
  EXPECT_EQ(-2, e.number());
  EXPECT_EQ(nullptr, e.target());
}
