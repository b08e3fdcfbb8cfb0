// The box-shaped figure `Rect_Ex`: rectangle, rounded rectangle, ellipse,
// diamond, image and parallelogram (the last only as the note reader makes
// it).  Every shape can be rotated about its centre and carry a link (URL
// or script, target window, after-click action), an id and a pub rule.
//
// Image figures show a picture through the decoder registry (susie.h).  The
// picture is copied to a working copy inside the figure's work folder
// (`setWorkFolder`: the note's "%work%" folder, which the application owns
// and removes with the note), and the picture rendered at the last display
// size is kept in memory per figure (`cache` only records its key and size,
// so that snapshots round-trip it; no cache file is ever written).
//
// Files: no figure deletes a working copy.  Undo and clipboard copies
// (`isCopy`) name the same working file as their original, so the file must
// outlive every figure that names it; it goes with the work folder.  A live
// duplicate or a figure pasted into another note calls `MakeOwnWorkingCopy`
// after it got its number and work folder, so that it stops sharing the
// original's file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "figures/base/cad_prim.h"
#include "figures/base/rotation.h"

enum RectShape : int32_t {
  RectShape_Rectangle = 1,
  RectShape_RoundRect = 2,
  RectShape_Ellipse = 3,
  RectShape_Diamond = 4,
  RectShape_Image = 5,
  RectShape_Parallelogram = 6,  // only from the note reader
};

// The rendered picture's record: a key (the working copy's name with the
// extension "ddb"), the device size it was rendered at (-1 = none) and its
// size in bytes (0 = none).
struct RectImageCache {
  std::string cachePath;
  int32_t width = -1;
  int32_t height = -1;
  int32_t byteSize = 0;
  friend bool operator==(const RectImageCache&, const RectImageCache&) = default;
};

// A device size (DisplaySize).
struct RectSize {
  int32_t w = 0;
  int32_t h = 0;
  friend bool operator==(const RectSize&, const RectSize&) = default;
};

// The message stored (ResultCode_setMessage) when a picture cannot be decoded.
inline constexpr const char* Rect_imageErrorMessage = "画像を展開しているときにエラーが発生しました。";
// The placeholder's fill colour (0x00BBGGRR).
inline constexpr Colour Rect_placeholderColour = 0x804040;
// Pictures larger than this many device pixels are not kept in memory; they
// are decoded and stretched at every paint.
inline constexpr int64_t Rect_cacheMaxPixels = 16 * 1024 * 1024;

class Rect_Ex final : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;

  Rect_Ex() = default;
  ~Rect_Ex() override = default;

  // --- persistent fields (the creator and the note reader set them) ---
  std::string url;
  std::string target = "_blank";
  int32_t afterClick = 0;  // 0 nothing, 1 close, 2 viewer mode, 3 viewer and close
  std::string id;
  std::string pub;
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 1;   // at least 1
  int32_t height = 1;
  int32_t angle = 0;   // degrees about the centre, clockwise on the screen
  int32_t strokeWidth = 1;  // 0 = no border
  Colour strokeColour = 0;
  Colour fillColour = 0xFFFFFF;
  int32_t opacity = 100;  // fill opacity in percent
  int32_t styleReserve = 0;
  int32_t shape = RectShape_Rectangle;
  std::string imagePath;      // the picture shown (absolute)
  std::string workImagePath;  // its working copy in the work folder
  RectImageCache cache;
  bool embedImage = true;
  bool takeNaturalSize = true;  // the next load sets width and height to the picture's size
  int32_t naturalWidth = 100;
  int32_t naturalHeight = 100;
  bool naturalSizeLock = false;  // draw at natural width whatever the zoom
  bool imageLoadable = true;     // cleared after a failed decode

  // --- the work folder (not persistent; copies keep it) ---
  // Where working copies are made; "" = none can be made (the figure then
  // shows its placeholder until it has a working copy).
  void setWorkFolder(std::string_view folder) { workFolder_ = folder; }
  const std::string& workFolder() const { return workFolder_; }

  // --- the image machinery ---
  // Copies imagePath over the working copy (a new name in the work folder
  // when there is none yet).  When imagePath is missing the working copy is
  // kept: it may be the only copy of an embedded picture.
  void RefreshWorkImage();
  // Gives this figure a working copy of its own: the current working file is
  // copied to a new name in the work folder.  False (nothing changed) for a
  // snapshot copy, without a work folder or when there is no working file.
  bool MakeOwnWorkingCopy();
  // Forgets the rendered picture and empties cachePath.
  void DropImageCache();
  // The device size the picture is shown at.
  RectSize DisplaySize(const DrawContext& ctx) const;
  // The rendered picture (empty when none); for tests and the exporters.
  const Bitmap& cachedPicture() const { return cacheBits_; }

  // --- the figure interface ---
  FigureKind GetKind() const override { return FigureKind_Rect; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;
  std::string GetUrl() const override { return url; }
  void SetUrl(std::string_view v) override { url = v; }
  std::string GetTarget() const override { return target; }
  void SetTarget(std::string_view v) override { target = v; }
  int32_t GetAfterClick() const override { return afterClick; }
  std::string GetId() const override { return id; }
  void SetId(std::string_view v) override { id = v; }
  std::string GetPub() const override { return pub; }
  void SetLocked(bool on) override { header_.locked = on; }
  bool IsLocked() const override { return header_.locked; }
  // imagePath holds a Shift-JIS lead byte.
  bool HasMultibyteText() const override;

  // The note file's element (rect_ex_svg.cpp).
  void WriteSvg(SvgWriteContext& ctx) const override;
  // The HTML export's element and MHTML picture part (rect_ex_vml.cpp);
  // `index` numbers the picture file "NN/imageMM.ext".
  void WriteVml(VmlWriteContext& ctx, int32_t index) const override;
  void WriteMhtmlPart(MhtmlWriteContext& ctx, int32_t index) const override;
  // The statements of a conversion script (rect_office.cpp); a picture is
  // copied behind the attachment folder as "NN/imageMM.ext" (a failed copy
  // raises the file error).  Returns 1.
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                            int32_t kind, int32_t flags) const override;

  void Draw(Surface& surface, const DrawContext& ctx) override;
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;

  // Every persistent field but the rendered picture (each figure renders
  // its own); the work folder is kept too.
  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  // strokeWidth, strokeColour, fillColour, opacity, styleReserve.
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  // Every persistent field but the cache record and imageLoadable (states
  // of the display, not of the note).
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;

  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;

  HitResult HitTest(int32_t px, int32_t py, int32_t zoom, int32_t mode) override;
  // Handles 1-8 of the unrotated box; others give (0, 0).
  Point32 GetHandlePoint(int32_t handle) const override;
  void MoveBy(int32_t dx, int32_t dy) override;
  // `constrain` is the modifier: off snaps a rotation to right angles and
  // keeps an image's aspect on handle 8; on makes shapes 1-4 and 6 square.
  void DragHandleTo(int32_t handle, int32_t px, int32_t py, bool constrain, int32_t ignored,
                    bool rotate) override;

  // The box ignoring rotation.
  bool IntersectsRect(const Rect32& r) const override;
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override { return vertical ? height : width; }
  void SetExtent(bool vertical, int32_t value) override;
  // A box no larger than 2 x 2 becomes 32 x 20.
  void EnsureMinimumSize() override;

  // 22 rows for an image, 18 otherwise (rows 13-17 are the image's).
  int32_t GetPropertyCount() const override;
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;

 private:
  // Drawing (rect_ex_draw.cpp).
  void drawShape(Surface& surface, const DrawContext& ctx);
  bool drawImage(Surface& surface, const DrawContext& ctx);
  void prepareImage(const DrawContext& ctx);
  bool drawDirect(Surface& surface, const DrawContext& ctx) const;
  // A fresh name in the work folder ("" without one).
  std::string newWorkName() const;
  // Property rows (rect_ex_props.cpp), by table row.
  PropertyRow tableRow(int32_t row, bool japanese, size_t valueCapacity,
                       std::string_view noteFolder) const;
  void setTableRow(int32_t row, std::string_view value, std::string_view noteFolder);
  void setZoomRow(bool horizontal, int32_t percent);
  // Resizing rules (rect_ex_geometry.cpp).
  void applyBoxRule(int32_t handle, int64_t qx, int64_t qy, bool square);

  std::string workFolder_;
  Bitmap cacheBits_;  // the picture at cache.width x cache.height
};

// Rotates (px, py) about (cx, cy) by `degrees` (Figure_rotate: clockwise
// on the screen, 2 pi taken as 6.283184); the result is not rounded.
using RectPointF = FigurePointF;
inline RectPointF Rect_rotate(double px, double py, double cx, double cy, int32_t degrees) {
  return Figure_rotate(px, py, cx, cy, degrees);
}
// The same, rounded with +0.5 and truncation; a multiple of 360 degrees
// leaves the point exactly where it is.
Point32 Rect_rotateRound(double px, double py, double cx, double cy, int32_t degrees);

// "NN/imageMM.ext": the name an export gives a picture behind its folder of
// page files (the part's Content-Location in an archive); the extension is
// the picture's up to its first byte that is not a letter or a digit (at
// most 8; "jpg" when none is left).
std::string RectEx_pictureExportName(int32_t pageNumber, int32_t index, std::string_view picture, bool lower);
