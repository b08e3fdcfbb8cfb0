#include "figures/base/figure_list.h"

#include <gtest/gtest.h>

#include <vector>

#include "figures/base/app_counters.h"
#include "figures/base/figure_numbering.h"
#include "test_kinds.h"

using test_kinds::TestBox;
using test_kinds::TestLine;

namespace {

TestBox& addBox(FigureList& list, int32_t number, Rect32 r = {0, 0, 10, 10}) {
  auto b = std::make_unique<TestBox>(r);
  b->SetNumber(number);
  return static_cast<TestBox&>(list.append(std::move(b)));
}

TestLine& addLine(FigureList& list, int32_t number, Point32 a = {0, 0}, Point32 b = {50, 50}) {
  auto l = std::make_unique<TestLine>(a, b);
  l->SetNumber(number);
  return static_cast<TestLine&>(list.append(std::move(l)));
}

}  // namespace

TEST(FigureList, FindFigureByNumberTakesTheFirstAndNeverLooksUpZeroOrLess) {
  FigureList list;
  TestBox& minus = addBox(list, -1);  // stands for the canvas
  TestBox& a = addBox(list, 5);
  addBox(list, 5);
  TestBox& zero = addBox(list, 0);
  EXPECT_EQ(&a, list.FindFigureByNumber(5));
  EXPECT_EQ(nullptr, list.FindFigureByNumber(-1));
  EXPECT_EQ(nullptr, list.FindFigureByNumber(0));
  EXPECT_EQ(nullptr, list.FindFigureByNumber(6));
  EXPECT_EQ(0, list.indexOf(minus));
  EXPECT_EQ(3, list.indexOf(zero));
  TestBox stranger;
  EXPECT_EQ(-1, list.indexOf(stranger));
  EXPECT_EQ(nullptr, list.remove(stranger));
  EXPECT_EQ(4u, list.size());
}

TEST(FigureList, RemovalAndDestructionLeaveNoPointerBehind) {
  FigureList list;
  TestBox& box = addBox(list, 1);
  TestLine& line = addLine(list, 2);
  TestLine& other = addLine(list, 3);
  box.AttachEnd(0, line, 2);
  box.AttachEnd(0, other, 1);
  ASSERT_EQ(&box, line.GetEndTarget(2));

  // Removing a line detaches it from the box.
  std::unique_ptr<CadPrim> removed = list.remove(line);
  ASSERT_TRUE(removed);
  EXPECT_EQ(nullptr, line.GetEndTarget(2));
  EXPECT_EQ(0, line.GetEndTargetNumber(2));
  ASSERT_EQ(1u, box.nodes.size());
  EXPECT_EQ(&other, box.nodes.get(1)->line);

  // Destroying the box (not a copy) clears the other line's end.
  list.remove(box).reset();
  EXPECT_EQ(nullptr, other.GetEndTarget(1));
  EXPECT_EQ(0, other.GetEndTargetNumber(1));
}

// A z-order move changes the place only: the links stay on both sides.
TEST(FigureList, MoveKeepsTheLinksAndLandsBeforeTheGivenIndex) {
  FigureList list;
  TestBox& box = addBox(list, 1);
  TestLine& line = addLine(list, 2);
  TestBox& c = addBox(list, 3);
  TestBox& d = addBox(list, 4);
  box.AttachEnd(0, line, 1);
  auto order = [&] {
    std::vector<int32_t> out;
    for (const auto& f : list) out.push_back(f->GetNumber());
    return out;
  };
  EXPECT_TRUE(list.move(box, list.size()));  // to the end
  EXPECT_EQ((std::vector<int32_t>{2, 3, 4, 1}), order());
  EXPECT_TRUE(list.move(box, 1));  // in front of 3
  EXPECT_EQ((std::vector<int32_t>{2, 1, 3, 4}), order());
  EXPECT_TRUE(list.move(line, 3));  // in front of 4
  EXPECT_EQ((std::vector<int32_t>{1, 3, 2, 4}), order());
  EXPECT_TRUE(list.move(d, 0));
  EXPECT_EQ((std::vector<int32_t>{4, 1, 3, 2}), order());
  EXPECT_TRUE(list.move(c, 2));  // where it stands
  EXPECT_EQ((std::vector<int32_t>{4, 1, 3, 2}), order());
  EXPECT_EQ(&box, line.GetEndTarget(1));
  ASSERT_EQ(1u, box.nodes.size());
  EXPECT_EQ(&line, box.nodes.get(1)->line);
  TestBox stranger;
  EXPECT_FALSE(list.move(stranger, 0));
}

TEST(FigureList, ResolveLinksDropsFailedAndOneSidedLinks) {
  FigureList list;
  addBox(list, -1);  // a canvas-like figure numbered -1
  TestBox& box = addBox(list, 10);
  TestLine& line = addLine(list, 11);
  TestLine& legacy = addLine(list, 12);
  TestLine& lost = addLine(list, 13);

  line.ends[0].setNumber(10);   // the box holds no record: one-sided
  line.ends[1].setNumber(99);   // not found
  legacy.ends[0].setNumber(-1); // old files: never looked up, never the canvas
  lost.ends[1].setNumber(10);
  Attachment rec;
  rec.lineNumber = 13;
  rec.lineEnd = 2;
  Attachment ghost;
  ghost.lineNumber = 77;  // no such line
  ghost.lineEnd = 1;
  std::vector<uint8_t> buf(4 + 32);
  {
    SnapshotWriter w(buf);
    w.u32(2);
    for (const Attachment& a : {rec, ghost}) {
      w.i32(a.lineNumber);
      w.i32(a.lineEnd);
      w.i32(a.x);
      w.i32(a.y);
    }
  }
  SnapshotReader r(buf);
  box.nodes.read(r);

  FigureList_resolveLinks(list);
  EXPECT_EQ(nullptr, line.GetEndTarget(1));  // the box did not hold it
  EXPECT_EQ(0, line.GetEndTargetNumber(1));
  EXPECT_EQ(nullptr, line.GetEndTarget(2));
  EXPECT_EQ(0, line.ends[1].number());  // failed lookup: no number without pointer
  EXPECT_EQ(nullptr, legacy.GetEndTarget(1));
  EXPECT_EQ(0, legacy.GetEndTargetNumber(1));  // -1 read as 0
  // The two-sided link survives; the ghost record is dropped.
  EXPECT_EQ(&box, lost.GetEndTarget(2));
  ASSERT_EQ(1u, box.nodes.size());
  EXPECT_EQ(&lost, box.nodes.get(1)->line);
}

TEST(FigureNumbering, CreateAndCounters) {
  AppCounters c;
  auto a = Figure_create<TestBox>(c, Rect32{1, 2, 3, 4});
  auto b = Figure_create<TestBox>(c);
  EXPECT_EQ(1, a->GetNumber());
  EXPECT_EQ(2, b->GetNumber());
  EXPECT_EQ((Rect32{1, 2, 3, 4}), a->box);
  c.raiseFigureNumberAbove(1);
  EXPECT_EQ(3, c.peekFigureNumber());
  c.raiseFigureNumberAbove(40);
  EXPECT_EQ(41, c.nextFigureNumber());
  EXPECT_EQ(1, c.nextImageSerial());
  EXPECT_EQ(2, c.nextImageSerial());
  EXPECT_EQ(1, c.nextDocumentNumber());
  EXPECT_EQ(&AppCounters_instance(), &AppCounters_instance());
}

TEST(FigureNumbering, DuplicateRenumbersLinksInsideTheSetAndDropsTheRest) {
  FigureList list;
  AppCounters counters;
  TestBox& a = addBox(list, 1, {0, 0, 20, 20});
  TestBox& b = addBox(list, 2, {100, 0, 20, 20});
  TestLine& l = addLine(list, 50);  // above the counter: it is raised first
  a.AttachEnd(0, l, 1);
  b.AttachEnd(0, l, 2);

  CadPrim* sel[] = {&a, &l};
  std::vector<CadPrim*> dup = Figures_duplicate(list, sel, counters);
  ASSERT_EQ(2u, dup.size());
  auto& a2 = static_cast<TestBox&>(*dup[0]);
  auto& l2 = static_cast<TestLine&>(*dup[1]);
  EXPECT_EQ(51, a2.GetNumber());
  EXPECT_EQ(52, l2.GetNumber());
  EXPECT_EQ(53, counters.peekFigureNumber());
  // Inside the set: the copies point at each other, both sides.
  EXPECT_EQ(&a2, l2.GetEndTarget(1));
  EXPECT_EQ(51, l2.GetEndTargetNumber(1));
  ASSERT_EQ(1u, a2.nodes.size());
  EXPECT_EQ(&l2, a2.nodes.get(1)->line);
  EXPECT_EQ(52, a2.nodes.get(1)->lineNumber);
  // Outside the set (b): dropped from the copy, the original untouched.
  EXPECT_EQ(nullptr, l2.GetEndTarget(2));
  EXPECT_EQ(0, l2.GetEndTargetNumber(2));
  ASSERT_EQ(1u, b.nodes.size());
  EXPECT_EQ(&l, b.nodes.get(1)->line);
  EXPECT_EQ(&b, l.GetEndTarget(2));
  EXPECT_EQ(&a, l.GetEndTarget(1));
  ASSERT_EQ(1u, a.nodes.size());
  EXPECT_EQ(&l, a.nodes.get(1)->line);

  // Moving the copied line drags the copied box only.
  l2.MoveBy(5, 0);
  EXPECT_EQ(1, a2.moves);
  EXPECT_EQ(0, a.moves);
  EXPECT_EQ(0, b.moves);
}

TEST(FigureNumbering, RenumberCopiesWithNumbersThatChain) {
  // Old numbers 1 and 2 and a link 1 -> 2: fresh numbers never meet an
  // old one, so the link follows exactly once.
  AppCounters counters;
  std::vector<std::unique_ptr<CadPrim>> copies;
  auto box = std::make_unique<TestBox>();
  box->SetNumber(2);
  auto line = std::make_unique<TestLine>();
  line->SetNumber(1);
  line->ends[0].setNumber(2);
  line->ends[1].setNumber(1);  // nonsense self link, still renumbered
  copies.push_back(std::move(line));
  copies.push_back(std::move(box));
  Figures_renumberCopies(copies, counters);
  EXPECT_EQ(3, copies[0]->GetNumber());
  EXPECT_EQ(4, copies[1]->GetNumber());
  EXPECT_EQ(4, copies[0]->GetEndTargetNumber(1));
  EXPECT_EQ(3, copies[0]->GetEndTargetNumber(2));
}
