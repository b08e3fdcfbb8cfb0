// Two small figure kinds for the tests of the base: a box that is a node
// (it reports kind 4 so that line ends may hang on it) and a two-point
// line.  Both implement the link operations with the helpers of links.h,
// as the real kinds do.
#pragma once

#include <memory>
#include <string>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"
#include "figures/base/handles.h"
#include "figures/base/links.h"
#include "figures/base/snapshot.h"

namespace test_kinds {

class TestBox final : public CadFigure {
 public:
  static constexpr uint16_t kVersion = 1;
  Rect32 box{0, 0, 10, 10};
  NodeLinks nodes;
  int moves = 0;  // MoveBy calls

  TestBox() = default;
  explicit TestBox(Rect32 r) : box(r) {}
  ~TestBox() override { Links_detachOnDestroy(*this, isCopy()); }

  FigureKind GetKind() const override { return FigureKind_Text; }
  std::string GetKindNameJapanese() const override { return FigureKind_nameJapanese(GetKind()); }
  std::string GetKindNameEnglish() const override { return FigureKind_nameEnglish(GetKind()); }
  void RenumberLinks(int32_t o, int32_t n) override { nodes.renumber(o, n); }
  bool HasAttachments() const override { return !nodes.empty(); }

  void Draw(Surface& s, const DrawContext& ctx) override {
    ScopedPen pen(s, Pen::solid(0));
    s.rectangle(DrawContext_deviceX(ctx, box.x), DrawContext_deviceY(ctx, box.y),
                DrawContext_deviceX(ctx, Rect32_right(box)),
                DrawContext_deviceY(ctx, Rect32_bottom(box)));
    if (IsSelected() && ctx.showHandles) DrawHandles(s, ctx, 0x00FFFF, 0);
  }
  void DrawHandles(Surface& s, const DrawContext& ctx, Colour c, int32_t) override {
    auto pts = FigureHandles_boxPoints(box);
    FigureHandles_draw(s, ctx, pts, c, IsLocked());
  }
  void CopyFrom(const CadPrim& other, const FigureList*) override {
    const auto& o = static_cast<const TestBox&>(other);
    header_.number = o.header_.number;
    header_.locked = o.header_.locked;
    box = o.box;
    nodes.copyNumbersFrom(o.nodes);
  }
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  bool Equals(const CadPrim& other, int32_t mode) const override {
    if (other.GetKind() != GetKind()) return false;
    const auto& o = static_cast<const TestBox&>(other);
    return header_.locked == o.header_.locked && box == o.box &&
           (mode != 5 || nodes.equalsNumbers(o.nodes));
  }
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override {
    auto c = std::make_unique<TestBox>();
    c->CopyFrom(*this, list);
    return c;
  }
  size_t GetSnapshotSize() const override {
    return Snapshot_headerSize + 4 + 1 + 16 + nodes.snapshotSize();
  }
  void WriteSnapshot(SnapshotWriter& w) const override {
    w.header(GetKind(), kVersion);
    w.i32(header_.number);
    w.boolean(header_.locked);
    w.i32(box.x);
    w.i32(box.y);
    w.i32(box.w);
    w.i32(box.h);
    nodes.write(w);
  }
  void ReadSnapshot(SnapshotReader& r) override {
    r.header(GetKind(), kVersion);
    header_.number = r.i32();
    header_.locked = r.boolean();
    box.x = r.i32();
    box.y = r.i32();
    box.w = r.i32();
    box.h = r.i32();
    nodes.read(r);
  }
  HitResult HitTest(int32_t x, int32_t y, int32_t, int32_t) override {
    HitResult h;
    if (ContainsPoint(x, y)) {
      h.code = -1;
      h.dx = box.x - x;
      h.dy = box.y - y;
      h.cursor = HitCursor_Move;
    }
    return h;
  }
  Point32 GetHandlePoint(int32_t handle) const override {
    if (handle >= 1 && handle <= 8) return FigureHandles_boxPoints(box)[handle - 1];
    return {box.x, box.y};
  }
  void MoveBy(int32_t dx, int32_t dy) override {
    ++moves;
    box.x += dx;
    box.y += dy;
    nodes.followMove(dx, dy);
  }
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool, int32_t, bool) override {
    if (handle == -1) MoveBy(x - box.x, y - box.y);
  }
  bool IntersectsRect(const Rect32& r) const override { return Rect32_overlaps(box, r); }
  void SetLocked(bool l) override { header_.locked = l; }
  bool IsLocked() const override { return header_.locked; }
  int32_t GetEdge(int32_t which) const override {
    Figure_checkGetEdge(which);
    if (which < 0 || which > 7) return 0;
    const int32_t values[8] = {box.x,           box.x + box.w,   box.y, box.y + box.h,
                               box.x + box.w / 2, box.y + box.h / 2, box.x, box.y};
    return values[which];
  }
  void SetEdge(int32_t which, int32_t v) override {
    Figure_checkSetEdge(which);
    const int32_t d = v - GetEdge(which);
    if (which == 0 || which == 1 || which == 4)
      MoveBy(d, 0);
    else
      MoveBy(0, d);
  }
  int32_t GetExtent(bool vertical) const override { return vertical ? box.h : box.w; }
  void SetExtent(bool vertical, int32_t v) override { (vertical ? box.h : box.w) = v; }
  int32_t GetPropertyCount() const override { return 1; }
  PropertyRow GetProperty(int32_t row, bool, size_t, std::string_view) const override {
    if (row != 0) return PropertyRow_pastEnd();
    return PropertyRow_integer("x", box.x, INT32_MIN);
  }
  void SetProperty(int32_t, std::string_view, std::string_view) override {}
  const Attachment* GetAttachment(int32_t n) const override { return nodes.get(n); }
  int32_t GetAttachmentCount() const override { return static_cast<int32_t>(nodes.size()); }
  bool ContainsPoint(int32_t x, int32_t y) const override {
    return x >= box.x && x <= box.x + box.w && y >= box.y && y <= box.y + box.h;
  }
  void AttachEnd(int32_t, CadPrim& line, int32_t lineEnd) override {
    nodes.attach(*this, line, lineEnd);
  }
  void DetachEnd(CadPrim& line, int32_t lineEnd, bool notify) override {
    nodes.detach(*this, line, lineEnd, notify);
  }
  void DetachAll(bool notify) override { nodes.detachAll(*this, notify); }
  void ResolveLinks(const FigureList& list) override { nodes.resolve(list); }
  void CollectLinkSlots(LinkSlots& out) override { out.nodes.push_back(&nodes); }
  void MarkAttachedForMove() override { nodes.markForMove(); }
};

class TestLine final : public CadFigure {
 public:
  static constexpr uint16_t kVersion = 1;
  Point32 p[2]{{0, 0}, {100, 0}};
  EndLink ends[2];

  TestLine() = default;
  TestLine(Point32 a, Point32 b) : p{a, b} {}
  ~TestLine() override { Links_detachOnDestroy(*this, isCopy()); }

  FigureKind GetKind() const override { return FigureKind_Line; }
  std::string GetKindNameJapanese() const override { return FigureKind_nameJapanese(GetKind()); }
  std::string GetKindNameEnglish() const override { return FigureKind_nameEnglish(GetKind()); }
  void RenumberLinks(int32_t o, int32_t n) override {
    for (EndLink& e : ends) e.renumber(o, n);
  }
  void Draw(Surface& s, const DrawContext& ctx) override {
    ScopedPen pen(s, Pen::solid(0));
    s.moveTo(DrawContext_deviceX(ctx, p[0].x), DrawContext_deviceY(ctx, p[0].y));
    s.lineTo(DrawContext_deviceX(ctx, p[1].x), DrawContext_deviceY(ctx, p[1].y));
  }
  void DrawHandles(Surface& s, const DrawContext& ctx, Colour c, int32_t) override {
    FigureHandles_draw(s, ctx, p, c, false);
  }
  void CopyFrom(const CadPrim& other, const FigureList*) override {
    const auto& o = static_cast<const TestLine&>(other);
    header_.number = o.header_.number;
    p[0] = o.p[0];
    p[1] = o.p[1];
    for (int i = 0; i < 2; ++i) ends[i].copyNumberFrom(o.ends[i]);
  }
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  bool Equals(const CadPrim& other, int32_t mode) const override {
    if (other.GetKind() != GetKind()) return false;
    const auto& o = static_cast<const TestLine&>(other);
    bool same = p[0] == o.p[0] && p[1] == o.p[1];
    if (mode == 5)
      same = same && ends[0].number() == o.ends[0].number() &&
             ends[1].number() == o.ends[1].number();
    return same;
  }
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override {
    auto c = std::make_unique<TestLine>();
    c->CopyFrom(*this, list);
    return c;
  }
  size_t GetSnapshotSize() const override {
    return Snapshot_headerSize + 4 + 16 + 2 * EndLink::snapshotSize();
  }
  void WriteSnapshot(SnapshotWriter& w) const override {
    w.header(GetKind(), kVersion);
    w.i32(header_.number);
    for (const Point32& q : p) {
      w.i32(q.x);
      w.i32(q.y);
    }
    for (const EndLink& e : ends) e.write(w);
  }
  void ReadSnapshot(SnapshotReader& r) override {
    r.header(GetKind(), kVersion);
    header_.number = r.i32();
    for (Point32& q : p) {
      q.x = r.i32();
      q.y = r.i32();
    }
    for (EndLink& e : ends) e.read(r);
  }
  HitResult HitTest(int32_t, int32_t, int32_t, int32_t) override { return {}; }
  Point32 GetHandlePoint(int32_t h) const override { return p[h == 2 ? 1 : 0]; }
  void MoveBy(int32_t dx, int32_t dy) override {
    for (Point32& q : p) {
      q.x += dx;
      q.y += dy;
    }
    Links_moveEndTargets(ends, dx, dy);
  }
  void DragHandleTo(int32_t h, int32_t x, int32_t y, bool, int32_t, bool) override {
    p[h == 2 ? 1 : 0] = {x, y};
  }
  void DragHandleBy(int32_t h, int32_t dx, int32_t dy, bool, int32_t) override {
    Point32& q = p[h == 2 ? 1 : 0];
    q.x += dx;
    q.y += dy;
  }
  bool IntersectsRect(const Rect32&) const override { return false; }
  int32_t GetEdge(int32_t which) const override {
    Figure_checkGetEdge(which);
    const int32_t values[8] = {std::min(p[0].x, p[1].x), std::max(p[0].x, p[1].x),
                               std::min(p[0].y, p[1].y), std::max(p[0].y, p[1].y),
                               0, 0, p[0].x, p[0].y};
    return values[which];
  }
  void SetEdge(int32_t which, int32_t) override { Figure_checkSetEdge(which); }
  int32_t GetExtent(bool) const override { return 0; }
  void SetExtent(bool, int32_t) override {}
  int32_t GetPropertyCount() const override { return 0; }
  PropertyRow GetProperty(int32_t, bool, size_t, std::string_view) const override {
    return PropertyRow_pastEnd();
  }
  void SetProperty(int32_t, std::string_view, std::string_view) override {}
  CadPrim* GetEndTarget(int32_t end) const override {
    return end == 1 || end == 2 ? ends[end - 1].target() : nullptr;
  }
  int32_t GetEndTargetNumber(int32_t end) override {
    return end == 1 || end == 2 ? ends[end - 1].numberForGet() : 0;
  }
  int32_t GetEndCount() const override { return 2; }
  void SetEndTarget(int32_t end, CadPrim& node) override { ends[end - 1].set(node); }
  void ClearEndTarget(int32_t end, const CadPrim& node) override { ends[end - 1].clear(node); }
  void DetachAll(bool) override {
    for (int i = 0; i < 2; ++i) ends[i].detachFromTarget(*this, i + 1);
  }
  void ResolveLinks(const FigureList& list) override {
    for (EndLink& e : ends) e.resolve(list, true);
  }
  void CollectLinkSlots(LinkSlots& out) override {
    out.ends.push_back({1, &ends[0]});
    out.ends.push_back({2, &ends[1]});
  }
  void MarkAttachedForMove() override {
    for (const EndLink& e : ends) e.markForMove();
  }
};

}  // namespace test_kinds
