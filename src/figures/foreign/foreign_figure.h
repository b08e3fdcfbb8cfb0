// A drawing element of another program that none of the figures can hold
// (a path, a polyline, a gradient-filled shape, a <use>, turned or sheared
// shapes, text the text box cannot lay out): kept as the markup it was
// read as, drawn by the surface's SVG renderer, moved and deleted as one
// piece and written back unchanged, a move as its transform.
//
// The figure holds the element (code page 932 markup, line ends "\n"), the
// definitions it refers to (gradients, patterns, markers, style sheets:
// the markup of those elements, in file order), the properties it inherited
// from the groups around it (a style text), the namespace declarations its
// prefixes need, and the map from its user units to page units.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "figures/base/cad_prim.h"
#include "figures/foreign/svg_affine.h"

// The element's extent in its own user units (stroke included).
struct ForeignBox {
  double left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const ForeignBox&, const ForeignBox&) = default;
};

struct ForeignParts {
  std::string element;     // the element name ("path")
  std::string markup;      // the element itself
  std::string defs;        // the definitions it uses
  std::string style;       // inherited properties ("fill:#f00;stroke-width:2")
  std::string namespaces;  // ` xmlns:prefix="uri"` declarations
  SvgAffine matrix;        // user units -> page units
  ForeignBox box;          // extent in user units
  friend bool operator==(const ForeignParts&, const ForeignParts&) = default;
};

// Whether every number of the map and the extent is finite (a figure
// holds no other).
bool ForeignParts_finite(const ForeignParts& parts);

class Foreign_Figure final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;

  Foreign_Figure() = default;
  explicit Foreign_Figure(ForeignParts parts) : parts_(std::move(parts)) {}

  const ForeignParts& parts() const { return parts_; }
  // The definitions, once the reader has found them all.
  void setDefs(std::string defs) {
    parts_.defs = std::move(defs);
    changed();
  }
  // The whole document the surface draws (UTF-8), built once.
  const std::string& renderDocument() const;
  // The page box (left, top, right, bottom), rounded outwards.
  Rect32 pageBox() const;

  FigureKind GetKind() const override { return FigureKind_Foreign; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;

  // <g zerbin-foreign="name" transform=... style=...> with the definitions
  // and the element, as the reader takes it back.
  void WriteSvg(SvgWriteContext& ctx) const override;

  void Draw(Surface& surface, const DrawContext& ctx) override;
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  // The page box is the body: a hit moves the whole figure.
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  Point32 GetHandlePoint(int32_t handle) const override;
  void MoveBy(int32_t dx, int32_t dy) override;
  // Handle -1 moves the box's top left corner to (x, y); the element is
  // never resized.
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain, int32_t ignored,
                    bool rotate) override;

  bool IntersectsRect(const Rect32& r) const override;
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override;
  void SetExtent(bool, int32_t) override {}

  // One row, the element's name, shown but not edited.
  int32_t GetPropertyCount() const override { return 1; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t, std::string_view, std::string_view) override {}

 private:
  void changed();

  ForeignParts parts_;
  mutable std::string render_;
  std::shared_ptr<SurfaceCache> cache_;
};
