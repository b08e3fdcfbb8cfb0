// The straight line figure `Line_Ex`: two points, a width, a colour, an
// optional dash, the layout-line flag and an end shape at each end
// (end_shapes.h).  Either end can hang on a text box (its end target): the
// end is then drawn where the segment meets the box's frame, follows the
// box when the box moves, and moving the line drags unselected boxes along.
// The line also has two end slots (the node side of links, capacity 1
// each), which the editor never fills but which are copied, snapshotted
// and resolved.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "figures/base/cad_prim.h"
#include "figures/base/links.h"
#include "figures/base/two_point.h"

class Line_Ex final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;
  static constexpr int32_t kPropertyCount = 10;

  // legacyLinkData: nothing, the marker of the pre-300 file format, or an
  // owned buffer.
  struct LegacyMarker {
    friend bool operator==(const LegacyMarker&, const LegacyMarker&) = default;
  };
  using LegacyLinkData = std::variant<std::monostate, LegacyMarker, std::vector<uint8_t>>;

  Line_Ex() = default;
  ~Line_Ex() override;

  // --- fields ---
  Point32 point1() const { return {x1_, y1_}; }
  Point32 point2() const { return {x2_, y2_}; }
  // Coordinates are clamped to the model's range.
  void SetPoints(Point32 p1, Point32 p2);
  int32_t width() const { return width_; }
  void SetWidth(int32_t width) { width_ = width < 1 ? 1 : width; }
  Colour colour() const { return colour_; }
  void SetColour(Colour c) { colour_ = c & 0xFFFFFF; }
  bool dashed() const { return dashed_; }
  void SetDashed(bool on) { dashed_ = on; }
  bool layoutLine() const { return layoutLine_; }
  void SetLayoutLine(bool on) { layoutLine_ = on; }
  int32_t arrow(int32_t end) const { return end == 1 ? arrow1_ : end == 2 ? arrow2_ : 0; }
  // End shapes 0-7; other values are ignored.
  void SetArrow(int32_t end, int32_t shape);
  const LegacyLinkData& legacyLinkData() const { return legacyLinkData_; }
  void SetLegacyLinkData(LegacyLinkData data) { legacyLinkData_ = std::move(data); }

  // Reader side of end targets.  The stored number as it is (-1 and -2
  // included), without the reset of GetEndTargetNumber.
  int32_t RawEndTargetNumber(int32_t end) const;
  // -1 in an old file: marked attached without a target.
  bool IsLegacyAttached(int32_t end) const { return RawEndTargetNumber(end) == -1; }
  // Sets the number alone, pointer none (ends other than 1 and 2: no effect).
  void SetEndTargetNumber(int32_t end, int32_t number);
  // The end's target known only by its id: number -2 and the id kept.
  void SetPendingTargetId(int32_t end, std::string_view id);
  // The pending id ("" when none).
  const std::string& PendingTargetId(int32_t end) const;
  // Forgets the pending id; the number becomes 0 unless the end has been
  // attached meanwhile.
  void ReleasePendingTargetId(int32_t end);
  // The end slot's record (null when empty).
  const Attachment* EndSlot(int32_t slot) const;

  // Where end 1 or 2 is drawn: on the target's frame when the end hangs on
  // a laid-out text box, else the stored point.
  Point32 VisibleEnd(int32_t end) const;

  // --- the figure interface ---
  void RenumberLinks(int32_t oldNumber, int32_t newNumber) override;
  FigureKind GetKind() const override { return FigureKind_Line; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;

  // The note file's element (line_ex_svg.cpp): the visible segment, its
  // arrow kinds and end targets, and the end shapes as plain SVG.
  void WriteSvg(SvgWriteContext& ctx) const override;
  // The HTML export's VML element (line_ex_vml.cpp).
  void WriteVml(VmlWriteContext& ctx, int32_t index) const override;
  // The statements of a conversion script (line_office.cpp): one line
  // shape between the stored points with its arrowheads.  Returns 1.
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                            int32_t kind, int32_t flags) const override;

  void Draw(Surface& surface, const DrawContext& ctx) override;
  // A square at each stored end point (never crosses).
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  // Number, points, style, arrows, target and end-slot numbers; pointers
  // none until ResolveLinks.  Another kind raises 102.
  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  // Width, colour, dash and layout flag from another line.
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  // Mode 5 also compares the target numbers and end-slot records.
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  // Ends first (within max(700 / zoom, 1) on both axes; cursor 6), then the
  // body (squared distance below (width + 3)²; cursor 1).
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  // 1: point 1, 2: point 2, others (0, 0).
  Point32 GetHandlePoint(int32_t handle) const override;
  // Moves both points and every unselected end target.
  void MoveBy(int32_t dx, int32_t dy) override;
  // Handle 1 or 2 moves that end to (x, y), snapped to the other end's axis
  // unless `noSnap` (the fifth argument) is non-zero.  Handle -1 moves every
  // end target by the offset of point 1 and translates the line so that
  // point 1 lands on (x, y).  Other handles change nothing.
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain, int32_t noSnap,
                    bool rotate) override;
  // Handle 1 or 2: DragHandleTo with the point moved by (dx, dy).
  void DragHandleBy(int32_t handle, int32_t dx, int32_t dy, bool noSnap,
                    int32_t ignored) override;
  void MarkAttachedForMove() override;

  bool IntersectsRect(const Rect32& r) const override;
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override;
  // Keeps end 1 and moves end 2 along the axis, keeping the direction.
  void SetExtent(bool vertical, int32_t value) override;
  void EnsureMinimumSize() override;

  int32_t GetPropertyCount() const override { return kPropertyCount; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;

  const Attachment* GetAttachment(int32_t n) const override;
  int32_t GetAttachmentCount() const override;
  CadPrim* GetEndTarget(int32_t end) const override;
  int32_t GetEndTargetNumber(int32_t end) override;
  int32_t GetEndCount() const override { return 2; }

  // Node side (end slots): slotEnd 1 or 2, others raise 102.
  void AttachEnd(int32_t slotEnd, CadPrim& figure, int32_t figureEnd) override;
  void DetachEnd(CadPrim& figure, int32_t figureEnd, bool notify) override;
  void DetachAll(bool notify) override;
  // Ends 1 and 2; others raise 102.
  void SetEndTarget(int32_t end, CadPrim& node) override;
  void ClearEndTarget(int32_t end, const CadPrim& node) override;
  // End targets (text boxes only) and end-slot records from their numbers.
  void ResolveLinks(const FigureList& list) override;
  // Both ends and both end slots.
  void CollectLinkSlots(LinkSlots& out) override;

 private:
  EndLink& endLink(int32_t end);
  TwoPointRefs points() { return {x1_, y1_, x2_, y2_}; }
  void drawStroke(Surface& surface, const DrawContext& ctx, Point32 a, Point32 b,
                  Colour stroke) const;

  int32_t x1_ = 0, y1_ = 0, x2_ = 10, y2_ = 10;
  int32_t width_ = 1;
  Colour colour_ = 0;
  bool dashed_ = false;
  bool layoutLine_ = false;
  int32_t arrow1_ = 0, arrow2_ = 0;
  LegacyLinkData legacyLinkData_;
  std::array<EndLink, 2> ends_;
  std::array<std::string, 2> pendingIds_;
  std::array<NodeLinks, 2> slots_{NodeLinks(1), NodeLinks(1)};
};
