#include <gtest/gtest.h>

#include "../base/test_kinds.h"
#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "text_box_fixture.h"

using namespace text_box_test;
using test_kinds::TestLine;

namespace {

struct Page {
  FigureList list;
  Text_Box* box = nullptr;
  TestLine* a = nullptr;
  TestLine* b = nullptr;
  Page() {
    auto bx = std::make_unique<Text_Box>(&metrics());
    bx->SetNumber(1);
    bx->SetBasePoint(100, 100);
    layOut(*bx);
    box = static_cast<Text_Box*>(&list.append(std::move(bx)));
    auto la = std::make_unique<TestLine>(Point32{0, 0}, Point32{112, 96});
    la->SetNumber(2);
    a = static_cast<TestLine*>(&list.append(std::move(la)));
    auto lb = std::make_unique<TestLine>(Point32{112, 96}, Point32{300, 300});
    lb->SetNumber(3);
    b = static_cast<TestLine*>(&list.append(std::move(lb)));
    box->AttachEnd(0, *a, 2);
    box->AttachEnd(0, *b, 1);
  }
};

}  // namespace

TEST(TextBoxLinks, AttachAndFollowMoves) {
  Page p;
  ASSERT_EQ(p.box->GetAttachmentCount(), 2);
  EXPECT_TRUE(p.box->HasAttachments());
  EXPECT_EQ(p.a->GetEndTarget(2), p.box);
  EXPECT_EQ(p.b->GetEndTarget(1), p.box);
  EXPECT_EQ(p.box->GetAttachment(1)->lineNumber, 2);
  EXPECT_EQ(p.box->GetAttachment(2)->lineEnd, 1);
  p.box->AttachEnd(0, *p.a, 2);  // twice: no effect
  EXPECT_EQ(p.box->GetAttachmentCount(), 2);

  // Unselected lines: exactly their attached ends move.
  p.box->MoveBy(10, 5);
  EXPECT_EQ(p.box->basePoint(), (Point32{110, 105}));
  EXPECT_EQ(p.a->p[0], (Point32{0, 0}));
  EXPECT_EQ(p.a->p[1], (Point32{122, 101}));
  EXPECT_EQ(p.b->p[0], (Point32{122, 101}));
  EXPECT_EQ(p.b->p[1], (Point32{300, 300}));
  EXPECT_EQ(p.box->GetEdge(0), 102);

  // All selected, the view moves each figure once.
  for (auto& f : p.list) f->SetSelected(true);
  p.box->MoveBy(1, 1);
  p.a->MoveBy(1, 1);
  p.b->MoveBy(1, 1);
  EXPECT_EQ(p.box->basePoint(), (Point32{111, 106}));
  EXPECT_EQ(p.a->p[0], (Point32{1, 1}));
  EXPECT_EQ(p.a->p[1], (Point32{123, 102}));
  EXPECT_EQ(p.b->p[1], (Point32{301, 301}));

  // Moving a line alone drags its unselected box.
  p.box->SetSelected(false);
  p.a->MoveBy(0, 10);
  EXPECT_EQ(p.box->basePoint(), (Point32{111, 116}));

  for (auto& f : p.list) f->SetMoveMark(false);
  p.box->MarkAttachedForMove();
  EXPECT_TRUE(p.a->HasMoveMark() && p.b->HasMoveMark());
  EXPECT_FALSE(p.box->HasMoveMark());
}

TEST(TextBoxLinks, CopiesDetachAndDestroy) {
  Page p;
  {
    std::unique_ptr<CadPrim> copy = p.box->Clone(&p.list);
    copy->SetIsCopy(true);
    EXPECT_TRUE(copy->Equals(*p.box, 5));
    EXPECT_EQ(copy->GetAttachmentCount(), 2);
    EXPECT_EQ(copy->GetAttachment(1)->line, nullptr);  // numbers only
  }
  EXPECT_EQ(p.a->GetEndTarget(2), p.box);
  EXPECT_EQ(p.box->GetAttachmentCount(), 2);

  p.box->DetachEnd(*p.a, 2, true);
  EXPECT_EQ(p.a->GetEndTarget(2), nullptr);
  EXPECT_EQ(p.box->GetAttachmentCount(), 1);
  p.box->DetachEnd(*p.a, 2, true);  // missing: no error

  // A destroyed line leaves no record behind.
  std::unique_ptr<CadPrim> gone = p.list.remove(*p.b);
  gone.reset();
  EXPECT_EQ(p.box->GetAttachmentCount(), 0);

  // A destroyed box leaves no end pointing at it.
  Page q;
  std::unique_ptr<CadPrim> box = q.list.remove(*q.box);
  box.reset();
  EXPECT_EQ(q.a->GetEndTarget(2), nullptr);
  EXPECT_EQ(q.b->GetEndTarget(1), nullptr);

  Page r;
  r.box->DetachAll(true);
  EXPECT_EQ(r.box->GetAttachmentCount(), 0);
  EXPECT_EQ(r.a->GetEndTarget(2), nullptr);

  // The box's own hanging end (attachedTo) is released by DetachAll.
  Text_Box host, hanging;
  hanging.SetEndTarget(1, host);
  EXPECT_EQ(hanging.attachedTo().target(), &host);
  hanging.ClearEndTarget(1, hanging);  // not its target: kept
  EXPECT_EQ(hanging.attachedTo().target(), &host);
  hanging.DetachAll(true);
  EXPECT_EQ(hanging.attachedTo().target(), nullptr);

  // Attaching needs the frame.
  Text_Box unlaid;
  TestLine l;
  EXPECT_EQ(testing_support::CatchError([&] { unlaid.AttachEnd(0, l, 1); }).code,
            Zerbin_Err_NotSetDrawParam);
  EXPECT_EQ(l.GetEndTarget(1), nullptr);
}

TEST(TextBoxLinks, SnapshotResolveAndRenumber) {
  Page p;
  const std::vector<uint8_t> snap = Snapshot_make(*p.box);
  Text_Box restored;
  Snapshot_restore(restored, snap);
  restored.SetIsCopy(true);
  EXPECT_TRUE(restored.Equals(*p.box, 5));
  restored.ResolveLinks(p.list);
  EXPECT_EQ(restored.GetAttachment(1)->line, p.a);
  EXPECT_EQ(restored.GetAttachment(2)->line, p.b);

  // A record whose line is missing is dropped.
  FigureList other;
  other.append(std::make_unique<TestLine>()).SetNumber(3);
  restored.ResolveLinks(other);
  ASSERT_EQ(restored.GetAttachmentCount(), 1);
  EXPECT_EQ(restored.GetAttachment(1)->lineNumber, 3);

  restored.RenumberLinks(3, 30);
  EXPECT_EQ(restored.GetAttachment(1)->lineNumber, 30);
  EXPECT_FALSE(restored.Equals(*p.box, 5));
  EXPECT_TRUE(restored.Equals(*p.box, 0));
}
