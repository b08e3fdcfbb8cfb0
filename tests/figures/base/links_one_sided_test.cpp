// Links restored from snapshots (undo, paste) with the real kinds: a
// snapshot that names a live figure in any link slot (line ends, line end
// slots, connector ends and end slots, a text box's records and the line it
// hangs on) must not leave a pointer on one side only, and deleting either
// figure afterwards must leave no pointer to it anywhere.  The suite also
// runs under AddressSanitizer, where a pointer left behind shows up as a
// use after free when the survivor lets go of its links.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "figures/base/figure_list.h"
#include "figures/base/figure_numbering.h"
#include "figures/base/links.h"
#include "figures/base/snapshot.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "../text/text_box_fixture.h"
#include "test_kinds.h"

namespace {

using text_box_test::metrics;

// A laid-out text box, a straight line and a connector, none linked.
struct Page {
  FigureList list;
  Text_Box* box = nullptr;
  Line_Ex* line = nullptr;
  Line_Corner* corner = nullptr;
  Page() {
    box = &add<Text_Box>(1, &metrics());
    text_box_test::placed(*box);
    line = &add<Line_Ex>(2);
    line->SetPoints({0, 0}, {110, 95});
    corner = &add<Line_Corner>(3);
    corner->setEnd(1, 300, 300);
    corner->setEnd(2, 112, 96);
  }
  template <class T, class... A>
  T& add(int32_t number, A... args) {
    CadPrim& f = list.append(std::make_unique<T>(args...));
    f.SetNumber(number);
    return static_cast<T&>(f);
  }
};

// Every partner pointer a figure holds, read through the kinds' own
// accessors (never dereferenced).
std::vector<const CadPrim*> pointersOf(const CadPrim& f) {
  std::vector<const CadPrim*> out;
  if (const auto* l = dynamic_cast<const Line_Ex*>(&f)) {
    for (int32_t e = 1; e <= 2; ++e) {
      out.push_back(l->GetEndTarget(e));
      if (const Attachment* a = l->EndSlot(e)) out.push_back(a->line);
    }
  } else if (const auto* c = dynamic_cast<const Line_Corner*>(&f)) {
    for (int32_t e = 1; e <= 2; ++e) {
      out.push_back(c->GetEndTarget(e));
      for (const Attachment& a : c->endSlot(e).records()) out.push_back(a.line);
    }
  } else if (const auto* t = dynamic_cast<const Text_Box*>(&f)) {
    out.push_back(t->attachedTo().target());
    for (int32_t i = 1; i <= t->GetAttachmentCount(); ++i) out.push_back(t->GetAttachment(i)->line);
  }
  std::erase(out, nullptr);
  return out;
}

bool refersTo(const CadPrim& f, const CadPrim* other) {
  for (const CadPrim* p : pointersOf(f))
    if (p == other) return true;
  return false;
}

// One slot kind: makes the link on a fresh page and says which figure holds
// the slot (whose snapshot is taken) and which figure the slot names.
struct SlotCase {
  std::string name;
  std::function<void(Page&)> link;
  std::function<CadPrim*(Page&)> holder;
  std::function<CadPrim*(Page&)> named;
  // Whether the kinds allow the link to be restored (a straight line's
  // ends hang on text boxes only).
  bool restorable = true;
};

std::vector<SlotCase> slotCases() {
  auto box = [](Page& p) -> CadPrim* { return p.box; };
  auto line = [](Page& p) -> CadPrim* { return p.line; };
  auto corner = [](Page& p) -> CadPrim* { return p.corner; };
  return {
      {"line end", [](Page& p) { p.box->AttachEnd(0, *p.line, 1); }, line, box},
      {"line end slot", [](Page& p) { p.line->AttachEnd(1, *p.box, 1); }, line, box},
      {"connector end", [](Page& p) { p.box->AttachEnd(0, *p.corner, 2); }, corner, box},
      {"connector end slot (box)", [](Page& p) { p.corner->AttachEnd(1, *p.box, 1); }, corner,
       box},
      {"connector end slot (line)", [](Page& p) { p.corner->AttachEnd(2, *p.line, 1); }, corner,
       line, false},
      {"box record", [](Page& p) { p.box->AttachEnd(0, *p.line, 2); }, box, line},
      {"box hangs on a connector", [](Page& p) { p.corner->AttachEnd(2, *p.box, 1); }, box,
       corner},
      {"box hangs on a line", [](Page& p) { p.line->AttachEnd(1, *p.box, 1); }, box, line},
  };
}

// Deletes a figure of the page as the editor does and returns where it was.
const CadPrim* erase(Page& p, CadPrim* figure) {
  std::unique_ptr<CadPrim> gone = p.list.remove(*figure);
  EXPECT_NE(nullptr, gone);
  return gone.get();  // freed here: the address is only compared
}

// Links one slot case on a fresh page, snapshots the holder (and with
// bothSides the named figure too), undoes the link on both sides, restores
// the snapshots as undo does, resolves the page and checks the link: kept
// on both sides when both came back and the kinds allow it, else on none.
// Then deletes one side and checks that no figure points at it.
void undoThenDelete(const SlotCase& c, bool bothSides, bool deleteHolder) {
  SCOPED_TRACE(c.name + (bothSides ? ", both restored" : ", holder restored") +
               (deleteHolder ? ", holder deleted" : ", named figure deleted"));
  Page p;
  CadPrim* holder = c.holder(p);
  CadPrim* named = c.named(p);
  c.link(p);
  ASSERT_TRUE(refersTo(*holder, named));
  ASSERT_TRUE(refersTo(*named, holder));
  const std::vector<uint8_t> holderSnap = Snapshot_make(*holder);
  const std::vector<uint8_t> namedSnap = Snapshot_make(*named);
  holder->DetachAll(true);
  ASSERT_FALSE(refersTo(*named, holder));
  Snapshot_restore(*holder, holderSnap);
  if (bothSides) Snapshot_restore(*named, namedSnap);
  FigureList_resolveLinks(p.list);
  const bool linked = bothSides && c.restorable;
  EXPECT_EQ(linked, refersTo(*holder, named));
  EXPECT_EQ(linked, refersTo(*named, holder));

  const CadPrim* gone = erase(p, deleteHolder ? holder : named);
  for (const auto& f : p.list) EXPECT_FALSE(refersTo(*f, gone)) << f->GetKind();
}

}  // namespace

TEST(LinksOneSided, AnUndoneSnapshotNamingALiveFigureLeavesNoPointerBehind) {
  // The holder's old state comes back naming a figure that no longer holds
  // the link: the link is dropped on both sides.
  for (const SlotCase& c : slotCases())
    for (const bool deleteHolder : {false, true}) undoThenDelete(c, false, deleteHolder);
}

TEST(LinksOneSided, SnapshotsOfBothSidesKeepTheLinkAndDeletingEitherClearsTheOther) {
  for (const SlotCase& c : slotCases())
    for (const bool deleteHolder : {false, true}) undoThenDelete(c, true, deleteHolder);
}

TEST(LinksOneSided, PastedCopiesKeepOnlyLinksAmongThemselves) {
  // A pasted connector whose end slot names the live box: the paste's
  // renumbering sees the slot and drops the number, so no pointer is made.
  Page p;
  p.corner->AttachEnd(1, *p.box, 1);
  p.box->AttachEnd(0, *p.line, 2);
  std::vector<std::unique_ptr<CadPrim>> copies;
  copies.push_back(p.corner->Clone(&p.list));
  AppCounters counters;
  Figures_renumberCopies(copies, counters);
  auto* pasted = static_cast<Line_Corner*>(&p.list.append(std::move(copies.front())));
  for (const Attachment& a : pasted->endSlot(1).records()) EXPECT_EQ(a.lineNumber, 0);
  FigureList_resolveLinks(p.list);
  EXPECT_FALSE(refersTo(*pasted, p.box));
  EXPECT_EQ(p.box->attachedTo().target(), p.corner);  // the original keeps its link
  EXPECT_EQ(p.line->GetEndTarget(2), p.box);
}

TEST(LinksOneSided, TwoRecordsOfOneLineEndAreOneTooMany) {
  // Node records as a snapshot may carry them: the same line end twice.
  FigureList list;
  auto& box = static_cast<test_kinds::TestBox&>(
      list.append(std::make_unique<test_kinds::TestBox>(Rect32{100, 100, 50, 20})));
  box.SetNumber(1);
  auto& line = static_cast<test_kinds::TestLine&>(list.append(
      std::make_unique<test_kinds::TestLine>(Point32{0, 0}, Point32{100, 100})));
  line.SetNumber(2);
  std::vector<uint8_t> records(4 + 2 * 16);
  SnapshotWriter w(records);
  w.u32(2);
  for (int i = 0; i < 2; ++i) {
    w.i32(2);  // line number
    w.i32(2);  // line end
    w.i32(100);
    w.i32(100);
  }
  SnapshotReader r(records);
  box.nodes.read(r);
  line.ends[1].setNumber(1);
  FigureList_resolveLinks(list);
  ASSERT_EQ(line.GetEndTarget(2), &box);
  EXPECT_EQ(box.GetAttachmentCount(), 1);
  const CadPrim* gone = list.remove(line).get();
  EXPECT_EQ(box.GetAttachmentCount(), 0);
  EXPECT_NE(gone, nullptr);
}
