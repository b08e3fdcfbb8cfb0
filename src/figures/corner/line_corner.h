// The cornered connector `Line_Corner`: a line made of horizontal and
// vertical segments only, from end 1 to end 2 through a movable through
// point, routed Z-shaped (direction 0) or N-shaped (direction 1).  The
// route is not stored: it is computed from the ends and the through point
// whenever it is needed (LineCorner_route).  Each end can hang on a text
// box; the end is then shown where the route meets the box's frame, and it
// follows the box when the box moves.  Width, colour, dash and the end
// shapes of lines (figures/line/end_shapes.h) as straight lines have them;
// circle heads have the fixed radius 4.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "figures/base/cad_prim.h"
#include "figures/base/links.h"
#include "figures/base/two_point.h"

// A computed route: count points (1 ... 6) from the end with the smaller x
// (end 2 on a tie, then `reversed` is set) to the other end, consecutive
// points distinct, every segment horizontal or vertical.
struct CornerRoute {
  std::array<Point32, 6> points{};
  int32_t count = 0;
  bool reversed = false;
  friend bool operator==(const CornerRoute&, const CornerRoute&) = default;
};

// The route through `through` between the two ends (direction 0 Z type,
// anything else N type), with the ±8 thresholds of the four cases.
CornerRoute LineCorner_route(Point32 end1, Point32 end2, Point32 through, int32_t direction);

// Where an end is shown: the visible point and the neighbouring route point
// that an end shape points away from.
struct CornerVisibleEnd {
  Point32 point;
  Point32 neighbour;
};

inline constexpr int32_t LineCorner_directionZ = 0;
inline constexpr int32_t LineCorner_directionN = 1;

class Line_Corner final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;
  static constexpr int32_t kPropertyCount = 12;
  // The radius of circle heads (straight lines use width + 2).
  static constexpr int32_t kCircleRadius = 4;

  Line_Corner() = default;
  ~Line_Corner() override;

  // --- fields (the reader and the view set them) ---
  Point32 end(int32_t e) const { return e == 2 ? p2_ : p1_; }
  // Coordinates are clamped to the model's range.
  void setEnd(int32_t e, int32_t x, int32_t y);
  Point32 through() const { return through_; }
  void setThrough(int32_t x, int32_t y);
  int32_t direction() const { return direction_; }
  // 0 or 1; other values are ignored.
  void setDirection(int32_t d);
  bool autoCentre() const { return autoCentre_; }
  void setAutoCentre(bool on) { autoCentre_ = on; }
  int32_t width() const { return width_; }
  // At least 1.
  void setWidth(int32_t w) { width_ = w < 1 ? 1 : w; }
  Colour colour() const { return colour_; }
  void setColour(Colour c) { colour_ = c & 0xFFFFFF; }
  bool dashed() const { return dashed_; }
  void setDashed(bool on) { dashed_ = on; }
  int32_t arrow(int32_t e) const { return e == 2 ? arrow2_ : arrow1_; }
  // End shapes 0-7; other values are ignored.
  void setArrow(int32_t e, int32_t shape);
  const NodeLinks& endSlot(int32_t e) const { return e == 2 ? slot2_ : slot1_; }

  // The route as it stands now (what Draw, HitTest and the writer use).
  CornerRoute ComputeRoute() const;
  // The visible end of end e (1 or 2) along the route: without a laid-out
  // text box as target the route point itself; with one, where the first
  // route segment (walked from that end) with exactly one point inside the
  // frame crosses the frame, or the frame's centre when none does.
  CornerVisibleEnd VisibleEnd(int32_t e) const;

  // --- the figure interface ---
  void RenumberLinks(int32_t oldNumber, int32_t newNumber) override;
  FigureKind GetKind() const override { return FigureKind_CorneredLine; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;

  // The note file's elements (line_corner_svg.cpp): the route as segments,
  // the end segments carrying p1 / p2, and the end shapes.
  void WriteSvg(SvgWriteContext& ctx) const override;
  // The statements of a conversion script (corner_office.cpp): one line
  // shape per route segment.  Returns 1.
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                            int32_t kind, int32_t flags) const override;

  void Draw(Surface& surface, const DrawContext& ctx) override;
  // Squares at end 1, end 2 and the through point (never crosses).
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  // Width, colour, dash.
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;
  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  // Ends (tolerance 7, 1 from zoom 400; an attached end is a miss), the
  // through point (4), then the route segments (margin width + 4).  The
  // distance is |dx| + |dy| for a point, the squared distance to the
  // nearest segment for the body.
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  // 1 end 1, 2 end 2, 3 the through point; other handles give end 1.
  Point32 GetHandlePoint(int32_t handle) const override;
  // Ends and through point; the end targets stay.
  void MoveBy(int32_t dx, int32_t dy) override;
  // The fourth argument is the no-snap flag for this kind.
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool noSnap, int32_t ignored,
                    bool rotate) override;
  void DragHandleBy(int32_t handle, int32_t dx, int32_t dy, bool noSnap,
                    int32_t ignored) override;
  bool KeepInSelection() const override;
  void MarkAttachedForMove() override;
  bool IntersectsRect(const Rect32& r) const override;
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override;
  void SetExtent(bool vertical, int32_t value) override;
  void EnsureMinimumSize() override;

  int32_t GetPropertyCount() const override { return kPropertyCount; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;

  CadPrim* GetEndTarget(int32_t end) const override;
  int32_t GetEndTargetNumber(int32_t end) override;
  int32_t GetEndCount() const override { return 2; }
  // The end slots (nodeEnd 1 or 2) hold one line end each.
  void AttachEnd(int32_t nodeEnd, CadPrim& line, int32_t lineEnd) override;
  void DetachEnd(CadPrim& line, int32_t lineEnd, bool notify) override;
  void DetachAll(bool notify) override;
  void SetEndTarget(int32_t end, CadPrim& node) override;
  void ClearEndTarget(int32_t end, const CadPrim& node) override;
  void ResolveLinks(const FigureList& list) override;
  // Both ends and both end slots.
  void CollectLinkSlots(LinkSlots& out) override;

  // The end's target number alone (the reader; the pointer comes from
  // ResolveLinks).
  void setEndTargetNumber(int32_t e, int32_t number);
  // The stored number as it is (-1, "attached, target still to be found",
  // included), without the reset of GetEndTargetNumber.
  int32_t rawEndTargetNumber(int32_t e) const { return link(e).number(); }

 private:
  Point32& endRef(int32_t e) { return e == 2 ? p2_ : p1_; }
  TwoPointRefs ends() { return {p1_.x, p1_.y, p2_.x, p2_.y}; }
  EndLink& link(int32_t e) { return e == 2 ? end2_ : end1_; }
  const EndLink& link(int32_t e) const { return e == 2 ? end2_ : end1_; }
  // Part of the end rule: the end moves to (x, y), snapped to the other
  // end's axis unless noSnap.
  void moveEnd(int32_t e, int32_t x, int32_t y, bool noSnap);
  void dragEnd(int32_t e, int32_t x, int32_t y, bool noSnap);
  void drawRoute(Surface& s, const DrawContext& ctx, const CornerRoute& r, Colour stroke) const;
  void drawEnds(Surface& s, const DrawContext& ctx, Colour colour) const;

  Point32 p1_{0, 0};
  Point32 p2_{10, 10};
  Point32 through_{5, 5};
  int32_t direction_ = LineCorner_directionN;
  bool autoCentre_ = true;  // a new connector re-centres; the reader clears it
  int32_t width_ = 1;
  Colour colour_ = 0;
  bool dashed_ = false;
  int32_t arrow1_ = 0;
  int32_t arrow2_ = 0;
  EndLink end1_, end2_;
  NodeLinks slot1_{1}, slot2_{1};
};
