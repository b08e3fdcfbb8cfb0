// The polygon figure: a polyline or polygon the note reader found in a file
// that is none of the program's own shapes.  It is display-only: drawn as
// an open, unfilled path, never hit by the mouse, its property rows shown
// but not edited, and not written back to the note.  It can be moved and
// its vertices dragged.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/cad_prim.h"

enum PolygonShape : int32_t {
  PolygonShape_Polyline = 0,
  PolygonShape_Polygon = 1,
};

// The most vertices a polygon keeps (the reader's limit).
inline constexpr size_t Polygon_maxPoints = 10000;

class Polygon_Ex final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;

  Polygon_Ex() = default;

  // --- fields (the reader fills them) ---
  int32_t shape() const { return shape_; }
  // 0 polyline, 1 polygon; other values are ignored.
  void setShape(int32_t shape);
  const std::vector<Point32>& points() const { return points_; }
  // Keeps at most Polygon_maxPoints vertices, coordinates clamped to the
  // model's range.
  void setPoints(std::span<const Point32> points);
  int32_t angle() const { return angle_; }
  void setAngle(int32_t degrees) { angle_ = degrees; }
  int32_t width() const { return width_; }
  void setWidth(int32_t width) { width_ = width < 1 ? 1 : width; }
  Colour colour() const { return colour_; }
  void setColour(Colour c) { colour_ = c & 0xFFFFFF; }
  bool dashed() const { return dashed_; }
  void setDashed(bool on) { dashed_ = on; }
  int32_t arrow1() const { return arrow1_; }
  int32_t arrow2() const { return arrow2_; }
  // End shapes 0-7 (as lines have them); others are ignored.
  void setArrows(int32_t arrow1, int32_t arrow2);
  Colour fillColour() const { return fillColour_; }
  void setFillColour(Colour c) { fillColour_ = c & 0xFFFFFF; }
  int32_t opacity() const { return opacity_; }
  // Percent, clamped to 0-100.
  void setOpacity(int32_t percent);
  int32_t styleReserve() const { return styleReserve_; }
  void setStyleReserve(int32_t v) { styleReserve_ = v; }
  int32_t afterOpen() const { return afterOpen_; }
  // 0-3 (as the after-click choices); others are ignored.
  void setAfterOpen(int32_t v);
  // The target window (the figure interface has no setter for this kind).
  void setTarget(std::string_view target) { target_ = target; }

  // --- the figure interface ---
  FigureKind GetKind() const override { return FigureKind_Polygon; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;
  std::string GetUrl() const override { return url_; }
  void SetUrl(std::string_view url) override { url_ = url; }
  std::string GetTarget() const override { return target_; }
  std::string GetId() const override { return id_; }
  void SetId(std::string_view id) override { id_ = id; }

  // Writes nothing: a polygon only comes from a foreign element of a file,
  // and the note does not keep it when it is saved again.
  void WriteSvg(SvgWriteContext&) const override {}

  // An open path through the vertices (not filled, not closed) and a pixel
  // at the last one; nothing with fewer than two vertices.
  void Draw(Surface& surface, const DrawContext& ctx) override;
  // A handle square at every vertex.
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  // Copies, compares and snapshots every field, the vertices, shape,
  // arrows, angle, dash and after-open action included.
  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  // Width, colour, fill colour, opacity and the style reserve, from another
  // polygon (other kinds give nothing).
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  // Never a hit (code 0, dx = dy = 0); the cursor is 6 (line point) when a
  // vertex other than the first lies within max(700 / zoom, 1) of (x, y) on
  // both axes.
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  Point32 GetHandlePoint(int32_t) const override { return {}; }
  void MoveBy(int32_t dx, int32_t dy) override;
  // With k = handle / 2: an odd handle moves vertex k to (x, y); an even
  // one moves vertex k - 1 there and vertex k by the same distance (the
  // edge between them).  Handle -1 moves the whole figure so that the first
  // vertex lands on (x, y).  Handles naming no vertex are ignored.
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain, int32_t ignored,
                    bool rotate) override;

  bool IntersectsRect(const Rect32&) const override { return false; }
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool) const override { return 0; }
  void SetExtent(bool, int32_t) override {}

  // 12 + 2 x points for a polygon, 10 + 2 x points for a polyline.
  int32_t GetPropertyCount() const override;
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  // Display only: no row is edited.
  void SetProperty(int32_t, std::string_view, std::string_view) override {}

 private:
  PropertyRow styleRow(int32_t row, bool japanese) const;

  int32_t shape_ = PolygonShape_Polyline;
  std::vector<Point32> points_;
  int32_t angle_ = 0;
  int32_t width_ = 1;
  Colour colour_ = 0;
  bool dashed_ = false;
  int32_t arrow1_ = 0;
  int32_t arrow2_ = 0;
  Colour fillColour_ = 0xFFFFFF;
  int32_t opacity_ = 100;
  int32_t styleReserve_ = 0;
  std::string url_;
  std::string target_;
  int32_t afterOpen_ = 0;
  std::string id_;
};
