// Line_Corner: fields, links, copying, snapshots, edges and property rows.
#include "figures/corner/line_corner.h"

#include "core/errors/errors.h"
#include "core/strx/strx_numbers.h"
#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"
#include "figures/base/two_point.h"
#include "figures/line/end_shapes.h"

Line_Corner::~Line_Corner() { Links_detachOnDestroy(*this, isCopy()); }

std::string Line_Corner::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Line_Corner::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

// --- fields ---

void Line_Corner::setEnd(int32_t e, int32_t x, int32_t y) {
  endRef(e) = {Figure_clampCoord(x), Figure_clampCoord(y)};
}

void Line_Corner::setThrough(int32_t x, int32_t y) {
  through_ = {Figure_clampCoord(x), Figure_clampCoord(y)};
}

void Line_Corner::setDirection(int32_t d) {
  if (d == LineCorner_directionZ || d == LineCorner_directionN) direction_ = d;
}

void Line_Corner::setArrow(int32_t e, int32_t shape) {
  if (!LineEndShape_isValid(shape)) return;
  (e == 2 ? arrow2_ : arrow1_) = shape;
}

void Line_Corner::setEndTargetNumber(int32_t e, int32_t number) { link(e).setNumber(number); }

// --- links ---

void Line_Corner::RenumberLinks(int32_t oldNumber, int32_t newNumber) {
  end1_.renumber(oldNumber, newNumber);
  end2_.renumber(oldNumber, newNumber);
  slot1_.renumber(oldNumber, newNumber);
  slot2_.renumber(oldNumber, newNumber);
}

CadPrim* Line_Corner::GetEndTarget(int32_t e) const {
  return e == 1 || e == 2 ? link(e).target() : nullptr;
}

int32_t Line_Corner::GetEndTargetNumber(int32_t e) {
  return e == 1 || e == 2 ? link(e).numberForGet() : 0;
}

// The ends hang on text boxes only.
void Line_Corner::SetEndTarget(int32_t e, CadPrim& node) {
  if ((e != 1 && e != 2) || node.GetKind() != FigureKind_Text)
    Errors_RAISE(Errors_Unofficial, "error");
  link(e).set(node);
}

void Line_Corner::ClearEndTarget(int32_t e, const CadPrim& node) {
  if (e != 1 && e != 2) Errors_RAISE(Errors_Unofficial, "error");
  link(e).clear(node);
}

// An end slot never takes a connector's end (those hang on text boxes only);
// refused before anything changes.
void Line_Corner::AttachEnd(int32_t nodeEnd, CadPrim& line, int32_t lineEnd) {
  if ((nodeEnd != 1 && nodeEnd != 2) || line.GetKind() == FigureKind_CorneredLine)
    Errors_RAISE(Errors_Unofficial, "error");
  (nodeEnd == 2 ? slot2_ : slot1_).attach(*this, line, lineEnd);
}

void Line_Corner::DetachEnd(CadPrim& line, int32_t lineEnd, bool notify) {
  slot1_.detach(*this, line, lineEnd, notify);
  slot2_.detach(*this, line, lineEnd, notify);
}

void Line_Corner::DetachAll(bool) {
  end1_.detachFromTarget(*this, 1);
  end2_.detachFromTarget(*this, 2);
  slot1_.detachAll(*this, true);
  slot2_.detachAll(*this, true);
}

void Line_Corner::ResolveLinks(const FigureList& list) {
  end1_.resolve(list, true);
  end2_.resolve(list, true);
  for (NodeLinks* slot : {&slot1_, &slot2_}) {
    slot->resolve(list);
    // A connector's end found in a slot would hang on a line: dropped.
    const std::vector<Attachment> records = slot->records();
    for (const Attachment& a : records)
      if (a.line && a.line->GetKind() == FigureKind_CorneredLine)
        slot->detach(*this, *a.line, a.lineEnd, false);
  }
}

void Line_Corner::CollectLinkSlots(LinkSlots& out) {
  out.ends.push_back({1, &end1_});
  out.ends.push_back({2, &end2_});
  out.nodes.push_back(&slot1_);
  out.nodes.push_back(&slot2_);
}

// With both ends attached the connector stays only while its boxes are not
// both in the selection (end 1's box decides first).
bool Line_Corner::KeepInSelection() const {
  const CadPrim* t1 = end1_.target();
  const CadPrim* t2 = end2_.target();
  if (!t1 || !t2) return true;
  if (t1->IsSelected()) return false;
  return !t2->IsSelected();
}

// Tested by pointer: an end whose number has no pointer marks nothing.
void Line_Corner::MarkAttachedForMove() {
  end1_.markForMove();
  end2_.markForMove();
}

// --- copying and comparing ---

void Line_Corner::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Line_Corner*>(&other);
  if (!o) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  p1_ = o->p1_;
  p2_ = o->p2_;
  through_ = o->through_;
  direction_ = o->direction_;
  autoCentre_ = o->autoCentre_;
  width_ = o->width_;
  colour_ = o->colour_;
  dashed_ = o->dashed_;
  arrow1_ = o->arrow1_;
  arrow2_ = o->arrow2_;
  end1_.copyNumberFrom(o->end1_);
  end2_.copyNumberFrom(o->end2_);
  slot1_.copyNumbersFrom(o->slot1_);
  slot2_.copyNumbersFrom(o->slot2_);
}

void Line_Corner::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Line_Corner*>(&other);
  if (!o) return;
  width_ = o->width_;
  colour_ = o->colour_;
  dashed_ = o->dashed_;
}

bool Line_Corner::Equals(const CadPrim& other, int32_t mode) const {
  const auto* o = dynamic_cast<const Line_Corner*>(&other);
  if (!o) return false;
  const bool same = header_.number == o->header_.number && p1_ == o->p1_ && p2_ == o->p2_ &&
                    through_ == o->through_ && direction_ == o->direction_ &&
                    autoCentre_ == o->autoCentre_ && width_ == o->width_ &&
                    colour_ == o->colour_ && dashed_ == o->dashed_ && arrow1_ == o->arrow1_ &&
                    arrow2_ == o->arrow2_;
  if (!same || mode != 5) return same;
  return end1_.number() == o->end1_.number() && end2_.number() == o->end2_.number() &&
         slot1_.equalsNumbers(o->slot1_) && slot2_.equalsNumbers(o->slot2_);
}

std::unique_ptr<CadPrim> Line_Corner::Clone(const FigureList* list) const {
  auto c = std::make_unique<Line_Corner>();
  c->CopyFrom(*this, list);
  return c;
}

// --- snapshots ---
// number, end 1, end 2, through point, direction, autoCentre, width,
// colour, dashed, arrows, target numbers, end slots.

size_t Line_Corner::GetSnapshotSize() const {
  return Snapshot_headerSize + 12 * Snapshot_int32Size + 2 * Snapshot_int8Size +
         2 * EndLink::snapshotSize() + slot1_.snapshotSize() + slot2_.snapshotSize();
}

void Line_Corner::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  for (const Point32& p : {p1_, p2_, through_}) {
    out.i32(p.x);
    out.i32(p.y);
  }
  out.i32(direction_);
  out.boolean(autoCentre_);
  out.i32(width_);
  out.u32(colour_);
  out.boolean(dashed_);
  out.i32(arrow1_);
  out.i32(arrow2_);
  end1_.write(out);
  end2_.write(out);
  slot1_.write(out);
  slot2_.write(out);
}

namespace {

Point32 readPoint(SnapshotReader& in) {
  const int32_t x = in.i32();
  const int32_t y = in.i32();
  return {Figure_clampCoord(x), Figure_clampCoord(y)};
}

}  // namespace

// Read into a scratch connector first, so that malformed data (raised)
// leaves this one as it was; selection and marks stay.
void Line_Corner::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  Line_Corner read;
  read.header_.isCopy = true;  // the scratch object never detaches anything
  read.header_.number = in.i32();
  read.p1_ = readPoint(in);
  read.p2_ = readPoint(in);
  read.through_ = readPoint(in);
  read.direction_ = in.i32();
  read.autoCentre_ = in.boolean();
  read.width_ = in.i32();
  read.colour_ = in.u32();
  read.dashed_ = in.boolean();
  read.arrow1_ = in.i32();
  read.arrow2_ = in.i32();
  const bool valid = (read.direction_ == 0 || read.direction_ == 1) && read.width_ >= 1 &&
                     read.colour_ <= 0xFFFFFF && LineEndShape_isValid(read.arrow1_) &&
                     LineEndShape_isValid(read.arrow2_);
  if (!valid) Errors_RAISE(Errors_Unofficial, "error");
  read.end1_.read(in);
  read.end2_.read(in);
  read.slot1_.read(in);
  read.slot2_.read(in);
  const FigureHeader keep = header_;
  CopyFrom(read, nullptr);
  header_ = FigureHeader{read.header_.number, keep.isCopy, keep.selected, keep.moveMark,
                         keep.locked};
}

// --- moving, edges, extents ---

void Line_Corner::MoveBy(int32_t dx, int32_t dy) {
  for (Point32* p : {&p1_, &p2_, &through_})
    *p = {Figure_clampCoord(int64_t{p->x} + dx), Figure_clampCoord(int64_t{p->y} + dy)};
}

// Edges 4 and 5 are the through point.
int32_t Line_Corner::GetEdge(int32_t which) const {
  if (which == 4) return through_.x;
  if (which == 5) return through_.y;
  return TwoPoint_getEdge(p1_, p2_, which);
}

// Edges 0-3 translate both ends (the through point stays where it is);
// 4 and 5 set the through point.
void Line_Corner::SetEdge(int32_t which, int32_t value) {
  if (which == 4) {
    through_.x = Figure_clampCoord(value);
  } else if (which == 5) {
    through_.y = Figure_clampCoord(value);
  } else {
    TwoPoint_setEdge(ends(), which, value);
  }
}

int32_t Line_Corner::GetExtent(bool vertical) const {
  return TwoPoint_getExtent(p1_, p2_, vertical);
}

// End 1 stays; end 2 moves along the axis keeping the direction.
void Line_Corner::SetExtent(bool vertical, int32_t value) {
  TwoPoint_setExtentKeepingFirst(ends(), vertical, value);
}

void Line_Corner::EnsureMinimumSize() {
  if (TwoPoint_ensureMinimumSize(ends(), 2, 32, 20))
    through_ = {Figure_clampCoord(int64_t{p1_.x} + 16), Figure_clampCoord(int64_t{p1_.y} + 10)};
}

// --- property rows ---

PropertyRow Line_Corner::GetProperty(int32_t row, bool japanese, size_t,
                                     std::string_view) const {
  const auto pick = [japanese](const char* ja, const char* en) { return japanese ? ja : en; };
  switch (row) {
    case 0: case 1: case 2: case 3: return TwoPoint_pointRow(row, p1_, p2_);
    case 4: return PropertyRow_integer(pick("通過点 x", "Through Point X"), through_.x, INT32_MIN);
    case 5: return PropertyRow_integer(pick("通過点 y", "Through Point Y"), through_.y, INT32_MIN);
    case 6: {
      std::vector<std::string> choices;
      if (japanese)
        choices = {"Z 型（横線用）", "N 型（縦線用）"};
      else
        choices = {"Z type (for Horizontal)", "N type (for Vertical)"};
      return PropertyRow_choice(pick("折れ線方向", "Corner Direction"), direction_,
                                std::move(choices));
    }
    case 7: return Stroke_widthRow(japanese, width_);
    case 8: return Stroke_colourRow(japanese, colour_);
    case 9: return Stroke_dashedRow(japanese, dashed_);
    case 10: return LineEnd_shapeRow(japanese, 1, arrow1_);
    case 11: return LineEnd_shapeRow(japanese, 2, arrow2_);
    default: return PropertyRow_pastEnd();
  }
}

void Line_Corner::SetProperty(int32_t row, std::string_view value, std::string_view) {
  const int32_t n = StrX_toInt(value);
  switch (row) {
    case 0: case 1: case 2: case 3: TwoPoint_setPointRow(ends(), row, n); break;
    case 4: setThrough(n, through_.y); break;
    case 5: setThrough(through_.x, n); break;
    case 6: setDirection(n); break;
    case 7: setWidth(n); break;
    case 8: Stroke_readColour(value, colour_); break;
    case 9: dashed_ = n != 0; break;
    case 10: setArrow(1, n); break;
    case 11: setArrow(2, n); break;
    default: break;
  }
}
