#include "figures/base/links.h"

#include <algorithm>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"

// --- EndLink ---

int32_t EndLink::numberForGet() {
  if (number_ == -1) number_ = 0;
  return number_;
}

void EndLink::setNumber(int32_t number) {
  target_ = nullptr;
  number_ = number;
}

void EndLink::set(CadPrim& node) {
  target_ = &node;
  number_ = node.GetNumber();
}

void EndLink::clear(const CadPrim& node) {
  if (target_ != &node) return;
  reset();
}

void EndLink::reset() {
  target_ = nullptr;
  number_ = 0;
}

void EndLink::renumber(int32_t oldNumber, int32_t newNumber) {
  if (number_ == oldNumber) number_ = newNumber;
}

void EndLink::resolve(const FigureList& list, bool textBoxesOnly) {
  target_ = nullptr;
  if (number_ <= 0) return;
  CadPrim* found = list.FindFigureByNumber(number_);
  const bool ok = found && (textBoxesOnly ? found->GetKind() == FigureKind_Text
                                          : FigureKind_takesPartInLinks(found->GetKind()));
  if (ok)
    target_ = found;
  else
    number_ = 0;
}

void EndLink::detachFromTarget(CadPrim& self, int32_t end) {
  if (CadPrim* t = target_) t->DetachEnd(self, end, true);
  reset();
}

void EndLink::markForMove() const {
  if (target_) target_->SetMoveMark(true);
}

void EndLink::write(SnapshotWriter& w) const { w.i32(number_); }

void EndLink::read(SnapshotReader& r) { setNumber(r.i32()); }

// --- NodeLinks ---

namespace {

// A figure without line ends (a text box) hangs on a node as its end 1:
// that is the end its DetachAll lets go of.
bool hasEnd(const CadPrim& line, int32_t end) {
  const int32_t kind = line.GetKind();
  if (!FigureKind_takesPartInLinks(kind) || end < 1 || end > 2) return false;
  return FigureKind_hasEnds(kind) ? end <= line.GetEndCount() : end == 1;
}

}  // namespace

const Attachment* NodeLinks::get(int32_t n) const {
  if (n < 1 || static_cast<size_t>(n) > records_.size()) return nullptr;
  return &records_[static_cast<size_t>(n) - 1];
}

const Attachment* NodeLinks::find(const CadPrim& line, int32_t lineEnd) const {
  for (const Attachment& a : records_)
    if (a.line == &line && a.lineEnd == lineEnd) return &a;
  return nullptr;
}

const Attachment* NodeLinks::attach(CadPrim& self, CadPrim& line, int32_t lineEnd) {
  if (&line == &self || !hasEnd(line, lineEnd)) Errors_RAISE(Errors_Unofficial, "error");
  if (find(line, lineEnd)) return nullptr;
  if (CadPrim* old = line.GetEndTarget(lineEnd); old && old != &self)
    old->DetachEnd(line, lineEnd, true);
  if (capacity_ == 0) Errors_RAISE(Errors_Unofficial, "error");
  while (records_.size() >= capacity_) {
    Attachment oldest = records_.front();
    if (oldest.line)
      detach(self, *oldest.line, oldest.lineEnd, true);
    else
      records_.erase(records_.begin());
  }
  const Point32 p = line.GetHandlePoint(lineEnd);
  records_.push_back({&line, line.GetNumber(), lineEnd, p.x, p.y});
  line.SetEndTarget(lineEnd, self);
  return &records_.back();
}

void NodeLinks::detach(CadPrim& self, const CadPrim& line, int32_t lineEnd, bool notify) {
  auto it = std::find_if(records_.begin(), records_.end(), [&](const Attachment& a) {
    return a.line == &line && a.lineEnd == lineEnd;
  });
  if (it == records_.end()) return;
  CadPrim* l = it->line;
  records_.erase(it);
  if (notify) l->ClearEndTarget(lineEnd, self);
}

void NodeLinks::detachAll(CadPrim& self, bool notify) {
  std::vector<Attachment> all = std::move(records_);
  records_.clear();
  for (const Attachment& a : all)
    if (notify && a.line) a.line->ClearEndTarget(a.lineEnd, self);
}

void NodeLinks::copyNumbersFrom(const NodeLinks& other) {
  records_ = other.records_;
  for (Attachment& a : records_) a.line = nullptr;
}

void NodeLinks::renumber(int32_t oldNumber, int32_t newNumber) {
  for (Attachment& a : records_)
    if (a.lineNumber == oldNumber) a.lineNumber = newNumber;
}

void NodeLinks::resolve(const FigureList& list) {
  std::vector<Attachment> kept;
  for (Attachment a : records_) {
    a.line = list.FindFigureByNumber(a.lineNumber);
    if (a.line && hasEnd(*a.line, a.lineEnd)) kept.push_back(a);
  }
  records_ = std::move(kept);
}

void NodeLinks::markForMove() const {
  for (const Attachment& a : records_)
    if (a.line) a.line->SetMoveMark(true);
}

void NodeLinks::followMove(int32_t dx, int32_t dy) const {
  // A copy: a line that reacts by detaching must not invalidate the loop.
  std::vector<Attachment> all = records_;
  for (const Attachment& a : all)
    if (a.line && !a.line->IsSelected()) a.line->DragHandleBy(a.lineEnd, dx, dy, true, 0);
}

bool NodeLinks::equalsNumbers(const NodeLinks& other) const {
  return std::equal(records_.begin(), records_.end(), other.records_.begin(),
                    other.records_.end(), [](const Attachment& a, const Attachment& b) {
                      return a.lineNumber == b.lineNumber && a.lineEnd == b.lineEnd &&
                             a.x == b.x && a.y == b.y;
                    });
}

void NodeLinks::write(SnapshotWriter& w) const {
  w.u32(static_cast<uint32_t>(records_.size()));
  for (const Attachment& a : records_) {
    w.i32(a.lineNumber);
    w.i32(a.lineEnd);
    w.i32(a.x);
    w.i32(a.y);
  }
}

void NodeLinks::read(SnapshotReader& r) {
  const uint32_t n = r.u32();
  // Each record takes 16 bytes: a count beyond the data is malformed.
  if (n > capacity_ || n > r.remaining() / 16) Errors_RAISE(Errors_Unofficial, "error");
  std::vector<Attachment> recs(n);
  for (Attachment& a : recs) {
    a.lineNumber = r.i32();
    a.lineEnd = r.i32();
    a.x = r.i32();
    a.y = r.i32();
  }
  records_ = std::move(recs);
}

// --- list-wide helpers ---

void Links_detachOnDestroy(CadPrim& self, bool isCopy) noexcept {
  if (isCopy) return;
  Except_tryCatch([&] { self.DetachAll(true); }, [](const Errors_Msg&) {});
}

void Links_moveEndTargets(std::span<const EndLink> ends, int32_t dx, int32_t dy) {
  std::vector<CadPrim*> moved;
  for (const EndLink& e : ends) {
    CadPrim* t = e.target();
    if (!t || t->IsSelected() || std::find(moved.begin(), moved.end(), t) != moved.end())
      continue;
    moved.push_back(t);
    t->MoveBy(dx, dy);
  }
}

LinkSlots Links_slotsOf(CadPrim& figure) {
  LinkSlots slots;
  figure.CollectLinkSlots(slots);
  return slots;
}

namespace {

// Whether end `lineEnd` of `line` points at `node`.
bool endPointsAt(CadPrim& line, int32_t lineEnd, const CadPrim& node) {
  for (const LinkSlots::End& e : Links_slotsOf(line).ends)
    if (e.end == lineEnd && e.link->target() == &node) return true;
  return false;
}

// Whether `node` holds a record of end `lineEnd` of `line`.
bool holdsRecord(CadPrim& node, const CadPrim& line, int32_t lineEnd) {
  for (const NodeLinks* n : Links_slotsOf(node).nodes)
    if (n->find(line, lineEnd)) return true;
  return false;
}

}  // namespace

void Links_dropOneSided(FigureList& list) {
  auto inList = [&](const CadPrim* f) { return f && list.indexOf(*f) >= 0; };
  // Node records whose line is gone, is the node itself, does not point
  // back, or was recorded already.  A pointer outside the list is never
  // followed.
  for (const auto& node : list) {
    std::vector<std::pair<const CadPrim*, int32_t>> seen;
    for (NodeLinks* records : Links_slotsOf(*node).nodes) {
      records->dropIf([&](const Attachment& a) {
        if (!a.line) return false;
        const std::pair<const CadPrim*, int32_t> key{a.line, a.lineEnd};
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) return true;
        if (a.line == node.get() || !inList(a.line) || !endPointsAt(*a.line, a.lineEnd, *node))
          return true;
        seen.push_back(key);
        return false;
      });
    }
  }
  // Own ends whose node is gone, is the figure itself, or holds no record
  // of them.
  for (const auto& line : list) {
    for (const LinkSlots::End& e : Links_slotsOf(*line).ends) {
      CadPrim* t = e.link->target();
      if (t && (t == line.get() || !inList(t) || !holdsRecord(*t, *line, e.end)))
        e.link->reset();
    }
  }
}
