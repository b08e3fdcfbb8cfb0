// The canvas: the first figure of every page, holding the page's settings
// (canvas type, size, grid, publication rules, filter-variable text, page
// interval, the image file saved with the note).  It has no figure number,
// is never hit, selected or moved like other figures; the view resizes it
// by its bottom-right corner and asks it to paint the page, the grid and
// what lies around the page.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "figures/base/cad_prim.h"

// Canvas types (property row 0 shows type - 1).
enum CanvasType : int32_t {
  CanvasType_WhiteBoard = 1,
  CanvasType_Document = 2,
  CanvasType_Menu = 3,
  CanvasType_Desktop = 4,
};

// Text capacities in bytes, terminator included: a stored text holds at
// most capacity - 1 bytes, cut at a character boundary.
inline constexpr size_t Canvas_pubSize = 512;
inline constexpr size_t Canvas_pathSize = 260;
inline constexpr size_t Canvas_classSize = 64;
inline constexpr size_t Canvas_idSize = 260;
inline constexpr size_t Canvas_filterSize = 512;
// Width, height and grid spacings are kept in this range (a page of 100000
// units cannot be saved; a spacing below 2 would divide by zero or flood
// the page with dots).
inline constexpr int32_t Canvas_sizeMin = 2;
inline constexpr int32_t Canvas_sizeMax = 99999;
inline constexpr int32_t Canvas_propertyCount = 12;

class Canvas final : public CadPrim {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;

  explicit Canvas(int32_t canvasType = CanvasType_Document) : canvasType_(canvasType) {}

  // --- fields ---
  int32_t canvasType() const { return canvasType_; }
  void setCanvasType(int32_t type) { canvasType_ = type; }
  int32_t width() const { return width_; }
  int32_t height() const { return height_; }
  // Clamped to Canvas_sizeMin ... Canvas_sizeMax.
  void setSize(int64_t width, int64_t height);
  int32_t pageInterval() const { return pageInterval_; }
  // Milliseconds; negative values become 0 (never).
  void setPageInterval(int32_t ms) { pageInterval_ = ms < 0 ? 0 : ms; }
  bool snapToGrid() const { return snapToGrid_; }
  void setSnapToGrid(bool on) { snapToGrid_ = on; }
  // 1 = the dotted grid is drawn; other values draw nothing.
  int32_t gridMode() const { return gridMode_; }
  void setGridMode(int32_t mode) { gridMode_ = mode; }
  int32_t gridX() const { return gridX_; }
  int32_t gridY() const { return gridY_; }
  // Clamped to Canvas_sizeMin ... Canvas_sizeMax.
  void setGrid(int64_t gridX, int64_t gridY);

  // Texts are cut to their capacities (see above).
  const std::string& pubFile() const { return pubFile_; }
  void setPubFile(std::string_view s);
  const std::string& pubPage() const { return pubPage_; }
  void setPubPage(std::string_view s);
  const std::string& saveImageFile() const { return saveImageFile_; }
  void setSaveImageFile(std::string_view s);
  const std::string& className() const { return className_; }
  void setClassName(std::string_view s);
  const std::string& filterVariables() const { return filterVariables_; }
  void setFilterVariables(std::string_view s);

  // --- the figure interface ---
  int32_t GetNumber() const override { return -1; }
  void SetNumber(int32_t) override {}
  FigureKind GetKind() const override { return FigureKind_Canvas; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;
  void SetIsCopy(bool) override {}
  std::string GetId() const override { return id_; }
  // Keeps at most 259 bytes, then drops surrounding blanks and double quotes.
  void SetId(std::string_view id) override;

  // Fills the page rectangle with the background colour.
  void Draw(Surface& surface, const DrawContext& ctx) override;
  void DrawHandles(Surface&, const DrawContext&, Colour, int32_t) override {}

  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  // Same persistent fields (not the grid settings).  Texts compare ignoring
  // ASCII case, except in mode 5 (undo's change check), where a change of
  // case counts.
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  HitResult HitTest(int32_t, int32_t, int32_t, int32_t) override { return {}; }
  // Every handle is the bottom-right corner (width, height).
  Point32 GetHandlePoint(int32_t) const override { return {width_, height_}; }
  void MoveBy(int32_t, int32_t) override {}
  // width := x, height := y (clamped).
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool constrain, int32_t ignored,
                    bool rotate) override;
  // width += dx, height += dy (clamped).
  void DragHandleBy(int32_t handle, int32_t dx, int32_t dy, bool noSnap,
                    int32_t ignored) override;

  void SetSelected(bool) override {}
  bool IsSelected() const override { return true; }
  bool KeepInSelection() const override { return true; }
  void SetMoveMark(bool) override {}
  bool HasMoveMark() const override { return true; }

  bool IntersectsRect(const Rect32&) const override { return false; }
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool) const override { return 0; }
  void SetExtent(bool, int32_t) override {}

  int32_t GetPropertyCount() const override { return Canvas_propertyCount; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;

  // --- used by the view ---
  // Paints around the page up to the client area's device extent (right,
  // bottom): the workspace colour right of, below, and (when scrolled
  // negative) left of and above the page, the page's two-pixel shadow and
  // the resize handle at its bottom-right corner.
  void DrawPageSurround(Surface& surface, const DrawContext& ctx, int32_t right,
                        int32_t bottom) const;
  // Paints the grid dots when gridMode is 1.  Spacing and extent are taken
  // as device pixels (no zoom); dots outside the client area and the
  // repaint area are skipped.
  void DrawGrid(Surface& surface, const DrawContext& ctx) const;
  // The distance from (x, y) to the nearest grid point (for non-negative
  // coordinates), or (0, 0) when snapToGrid is off.
  Point32 GridSnapOffset(int32_t x, int32_t y) const;

 private:
  Colour background(const DrawContext& ctx) const;

  int32_t canvasType_;
  int32_t pageInterval_ = 0;
  std::string pubFile_;
  int32_t width_ = 450;
  int32_t height_ = 300;
  bool snapToGrid_ = false;
  int32_t gridMode_ = 0;
  int32_t gridX_ = 19;
  int32_t gridY_ = 19;
  std::string saveImageFile_;
  std::string className_;
  std::string id_;
  std::string pubPage_;
  std::string filterVariables_;
};

// A property-grid number: optional blanks, an optional sign and decimal
// digits; any other character ends it, no digits give 0.  Clamped to int32.
int32_t Canvas_parseRowInt(std::string_view text);
