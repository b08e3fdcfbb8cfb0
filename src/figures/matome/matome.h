// The brace figure `Matome` ("まとめ線", "Pack Line"): a curly brace between
// two points that bundles items visually.  It lies horizontally when its
// points are further apart in x than in y (ends at (x1, y2) and (x2, y2),
// tip at (xm, y1)), vertically otherwise (ends at (x2, y1) and (x2, y2), tip
// at (x1, ym)).  Two arms along the long axis each end in a quarter curve,
// and the pointed middle is two more quarter curves.  It has a width and a
// colour, no links and no fill.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "figures/base/cad_prim.h"

// The seven key points of a brace (page units) and the centres of its four
// quarter curves.  points: end 1, after curve 1, before curve 2, tip,
// after curve 3, before curve 4, end 2; pieces 0-1, 2-3, 3-4 and 5-6 are
// curves with centres[0..3] and radius r, pieces 1-2 and 4-5 straight.
struct MatomeShape {
  bool horizontal = true;
  int32_t radius = 0;  // half the short side
  std::array<Point32, 7> points{};
  std::array<Point32, 4> centres{};
};
// xm = (x1 + x2) / 2, ym = (y1 + y2) / 2 (truncating), r = |short side| / 2,
// s = +1 when the long axis runs from point 1 to point 2 increasingly.
MatomeShape Matome_shape(Point32 p1, Point32 p2);

class Matome final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;
  static constexpr int32_t kPropertyCount = 6;
  static constexpr int32_t kHitTolerance = 5;

  Matome() = default;

  Point32 point1() const { return {x1_, y1_}; }
  Point32 point2() const { return {x2_, y2_}; }
  // Coordinates are clamped to the model's range.
  void SetPoints(Point32 p1, Point32 p2);
  int32_t width() const { return width_; }
  void SetWidth(int32_t width) { width_ = width < 1 ? 1 : width; }
  Colour colour() const { return colour_; }
  void SetColour(Colour c) { colour_ = c & 0xFFFFFF; }
  MatomeShape Shape() const { return Matome_shape(point1(), point2()); }

  // --- the figure interface ---
  FigureKind GetKind() const override { return FigureKind_Matome; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;

  // The note file's element (matome_svg.cpp): one path of arcs and lines.
  void WriteSvg(SvgWriteContext& ctx) const override;
  // The HTML export's VML element (matome_vml.cpp).
  void WriteVml(VmlWriteContext& ctx, int32_t index) const override;
  // The statements of a conversion script (matome_office.cpp): a left or
  // right brace shape.  Returns 1.
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                            int32_t kind, int32_t flags) const override;

  // The four quarter curves as arcs and the two straight pieces, each
  // straight piece one pixel longer at both ends so that it joins the arcs.
  void Draw(Surface& surface, const DrawContext& ctx) override;
  // Squares at the eight handle points.
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  // Handles on the 3 x 3 grid of x1/xm/x2 by y1/ym/y2 without the centre
  // cell, then the middle line; 5 units at every zoom.
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  // 1 (x1, y1), 2 (xm, y1), 3 (x2, y1), 4 (x1, ym), 5 (x2, ym), 6 (x1, y2),
  // 7 (xm, y2), 8 (x2, y2); others (0, 0).
  Point32 GetHandlePoint(int32_t handle) const override;
  void MoveBy(int32_t dx, int32_t dy) override;
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain, int32_t ignored,
                    bool rotate) override;

  // The box spanned by the points (inclusive) overlaps r by 1 x 1.
  bool IntersectsRect(const Rect32& r) const override;
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override;
  // Keeps the lower coordinate of the axis; the higher becomes lower + v - 1.
  void SetExtent(bool vertical, int32_t value) override;
  void EnsureMinimumSize() override;

  int32_t GetPropertyCount() const override { return kPropertyCount; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;

 private:
  void translate(int64_t dx, int64_t dy);

  int32_t x1_ = 0, y1_ = 0, x2_ = 4, y2_ = 32;
  int32_t width_ = 1;
  Colour colour_ = 0;
};
