#include "figures/canvas/canvas.h"

#include <algorithm>
#include <vector>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/base/snapshot.h"

namespace {

// `s` cut to capacity - 1 bytes at a character boundary.
std::string fit(std::string_view s, size_t capacity) {
  return std::string(s.substr(0, Cp932_cutLength(s, StrX_room(capacity))));
}

int32_t clampSize(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, Canvas_sizeMin, Canvas_sizeMax));
}

bool sameText(const std::string& a, const std::string& b, bool exact) {
  return exact ? a == b : StrX_equalsNoCase(a, b);
}

std::vector<std::string> typeChoices(bool japanese) {
  if (japanese) return {"ホワイトボード", "ドキュメント", "メニュー", "デスクトップ"};
  return {"WhiteBoard", "Document", "Menu", "Desktop"};
}

// The file-dialog filter of the save-image row: the stored file's format
// first.
std::string saveFileFilter(std::string_view path, bool japanese) {
  const bool png = StrX_equalsNoCase(StrX_extension(path), "png");
  if (japanese) {
    return png ? "PNG形式 (*.png)|*.png|JPEG形式 (*.jpg)|*.jpg;*.jpeg||"
               : "JPEG形式 (*.jpg)|*.jpg;*.jpeg|PNG形式 (*.png)|*.png||";
  }
  return png ? "PNG format (*.png)|*.png|JPEG format (*.jpg)|*.jpg;*.jpeg||"
             : "JPEG format (*.jpg)|*.jpg;*.jpeg|PNG format (*.png)|*.png||";
}

PropertyRow textRow(const char* name, std::string_view value, size_t valueCapacity,
                    PropertyRowKind kind = PropertyRowKind_Text) {
  return PropertyRow_text(name, fit(value, valueCapacity == 0 ? SIZE_MAX : valueCapacity), kind);
}

}  // namespace

int32_t Canvas_parseRowInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && StrX_isSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t v = 0;
  for (; i < text.size() && StrX_isAsciiDigit(text[i]); ++i) {
    v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
  }
  return Figure_toInt32(negative ? -v : v);
}

// --- fields ----------------------------------------------------------------

void Canvas::setSize(int64_t width, int64_t height) {
  width_ = clampSize(width);
  height_ = clampSize(height);
}

void Canvas::setGrid(int64_t gridX, int64_t gridY) {
  gridX_ = clampSize(gridX);
  gridY_ = clampSize(gridY);
}

void Canvas::setPubFile(std::string_view s) { pubFile_ = fit(s, Canvas_pubSize); }
void Canvas::setPubPage(std::string_view s) { pubPage_ = fit(s, Canvas_pubSize); }
void Canvas::setSaveImageFile(std::string_view s) { saveImageFile_ = fit(s, Canvas_pathSize); }
void Canvas::setClassName(std::string_view s) { className_ = fit(s, Canvas_classSize); }
void Canvas::setFilterVariables(std::string_view s) {
  filterVariables_ = fit(s, Canvas_filterSize);
}

std::string Canvas::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Canvas::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

void Canvas::SetId(std::string_view id) {
  id_ = fit(id, Canvas_idSize);
  StrX_trimQuotes(id_);
}

// --- drawing -----------------------------------------------------------------

Colour Canvas::background(const DrawContext& ctx) const {
  return ctx.useSystemColours ? SystemColour_window : Colour{0xFFFFFF};
}

void Canvas::Draw(Surface& surface, const DrawContext& ctx) {
  const Colour b = background(ctx);
  ScopedPen pen(surface, Pen::solid(b, 1));
  ScopedBrush brush(surface, Brush::solid(b));
  // Page (0, 0)-(width, height) in device coordinates, as every figure.
  surface.rectangle(DrawContext_deviceX(ctx, 0), DrawContext_deviceY(ctx, 0),
                    DrawContext_deviceX(ctx, width_), DrawContext_deviceY(ctx, height_));
}

void Canvas::DrawPageSurround(Surface& surface, const DrawContext& ctx, int32_t right,
                              int32_t bottom) const {
  SurfaceSaver saver(surface);
  const int64_t sx = ctx.scrollX, sy = ctx.scrollY;
  const int r = Figure_toInt32(Figure_scale(width_, ctx.zoomX) - sx);   // page right
  const int b = Figure_toInt32(Figure_scale(height_, ctx.zoomY) - sy);  // page bottom
  const int l = Figure_toInt32(-sx), t = Figure_toInt32(-sy);           // page left, top

  surface.setPen(Pen::solid(SystemColour_appWorkspace, 0));
  surface.setBrush(Brush::solid(SystemColour_appWorkspace));
  surface.rectangle(r, 0, right, b);
  surface.rectangle(0, b, right, bottom);
  if (sx < 0) surface.rectangle(0, t, l, bottom);
  if (sy < 0) surface.rectangle(0, 0, right, t);

  surface.setPen(Pen::solid(0, 1));
  for (int out = 0; out < 2; ++out) {
    surface.moveTo(r + out, t);
    surface.lineTo(r + out, b + out);
    surface.lineTo(l, b + out);
    surface.setPixel(l, b + out, 0);
  }

  surface.setPen(Pen::solid(SystemColour_highlight ^ 0xFFFFFF, 1));
  surface.setBrush(Brush::solid(SystemColour_highlight));
  surface.rectangle(r, b, r + 5, b + 5);
}

void Canvas::DrawGrid(Surface& surface, const DrawContext& ctx) const {
  if (gridMode_ != 1) return;
  const Colour b = background(ctx);
  const Colour dot = Colour_rgb(Colour_red(b) < 0x80 ? 0xFF : 0, Colour_green(b) < 0x80 ? 0xFF : 0,
                                Colour_blue(b) < 0x80 ? 0xFF : 0);
  // The setters keep the spacings at 2 or more; never divide by less.
  const int64_t gx = std::max(gridX_, Canvas_sizeMin), gy = std::max(gridY_, Canvas_sizeMin);
  const int64_t ox = -int64_t{ctx.scrollX} % gx, oy = -int64_t{ctx.scrollY} % gy;

  // The visible device range: the repaint area, and the client area when
  // the view gave one.  Dots outside it would not show.
  int64_t xLo = int64_t{ctx.clipLeft} - ctx.scrollX, xHi = int64_t{ctx.clipRight} - ctx.scrollX;
  int64_t yLo = int64_t{ctx.clipTop} - ctx.scrollY, yHi = int64_t{ctx.clipBottom} - ctx.scrollY;
  if (ctx.clientWidth > 0) {
    xLo = std::max<int64_t>(xLo, 0);
    xHi = std::min<int64_t>(xHi, ctx.clientWidth - 1);
  }
  if (ctx.clientHeight > 0) {
    yLo = std::max<int64_t>(yLo, 0);
    yHi = std::min<int64_t>(yHi, ctx.clientHeight - 1);
  }
  // The first multiple of the spacing at or after lo - o.
  auto first = [](int64_t lo, int64_t o, int64_t g) {
    return lo - o > 0 ? (lo - o + g - 1) / g * g : 0;
  };
  for (int64_t r = first(yLo, oy, gy); r < height_ && oy + r <= yHi; r += gy) {
    for (int64_t k = first(xLo, ox, gx); k < width_ && ox + k <= xHi; k += gx) {
      surface.setPixel(static_cast<int>(ox + k), static_cast<int>(oy + r), dot);
    }
  }
}

Point32 Canvas::GridSnapOffset(int32_t x, int32_t y) const {
  if (!snapToGrid_) return {0, 0};
  const int64_t gx = std::max(gridX_, Canvas_sizeMin), gy = std::max(gridY_, Canvas_sizeMin);
  return {Figure_toInt32(gx / 2 - (x + gx / 2) % gx), Figure_toInt32(gy / 2 - (y + gy / 2) % gy)};
}

// --- copies, equality, snapshots ----------------------------------------------

void Canvas::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Canvas*>(&other);
  if (o == nullptr) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  canvasType_ = o->canvasType_;
  width_ = o->width_;
  height_ = o->height_;
  pageInterval_ = o->pageInterval_;
  saveImageFile_ = o->saveImageFile_;
  className_ = o->className_;
  id_ = o->id_;
  pubPage_ = o->pubPage_;
  pubFile_ = o->pubFile_;
  filterVariables_ = o->filterVariables_;
}

bool Canvas::Equals(const CadPrim& other, int32_t mode) const {
  const auto* o = dynamic_cast<const Canvas*>(&other);
  if (o == nullptr) return false;
  const bool exact = mode == 5;
  return canvasType_ == o->canvasType_ && width_ == o->width_ && height_ == o->height_ &&
         pageInterval_ == o->pageInterval_ &&
         sameText(saveImageFile_, o->saveImageFile_, exact) &&
         sameText(className_, o->className_, exact) && sameText(id_, o->id_, exact) &&
         sameText(pubPage_, o->pubPage_, exact) && sameText(pubFile_, o->pubFile_, exact) &&
         sameText(filterVariables_, o->filterVariables_, exact);
}

std::unique_ptr<CadPrim> Canvas::Clone(const FigureList* list) const {
  auto c = std::make_unique<Canvas>();
  c->CopyFrom(*this, list);
  return c;
}

size_t Canvas::GetSnapshotSize() const {
  return Snapshot_headerSize + 4 * Snapshot_int32Size + Snapshot_stringSize(saveImageFile_) +
         Snapshot_stringSize(className_) + Snapshot_stringSize(id_) +
         Snapshot_stringSize(pubPage_) + Snapshot_stringSize(pubFile_) +
         Snapshot_stringSize(filterVariables_);
}

void Canvas::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(canvasType_);
  out.i32(width_);
  out.i32(height_);
  out.i32(pageInterval_);
  out.string(saveImageFile_);
  out.string(className_);
  out.string(id_);
  out.string(pubPage_);
  out.string(pubFile_);
  out.string(filterVariables_);
}

void Canvas::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  const int32_t type = in.i32();
  const int32_t w = in.i32();
  const int32_t h = in.i32();
  const int32_t interval = in.i32();
  std::string save = in.string(StrX_room(Canvas_pathSize));
  std::string cls = in.string(StrX_room(Canvas_classSize));
  std::string id = in.string(StrX_room(Canvas_idSize));
  std::string pubPage = in.string(StrX_room(Canvas_pubSize));
  std::string pubFile = in.string(StrX_room(Canvas_pubSize));
  std::string filter = in.string(StrX_room(Canvas_filterSize));
  // Only a wholly read snapshot changes the canvas.
  canvasType_ = type;
  setSize(w, h);
  setPageInterval(interval);
  saveImageFile_ = std::move(save);
  className_ = std::move(cls);
  id_ = std::move(id);
  pubPage_ = std::move(pubPage);
  pubFile_ = std::move(pubFile);
  filterVariables_ = std::move(filter);
}

// --- handles and edges ----------------------------------------------------------

void Canvas::DragHandleTo(int32_t, int32_t x, int32_t y, bool, int32_t, bool) { setSize(x, y); }

void Canvas::DragHandleBy(int32_t, int32_t dx, int32_t dy, bool, int32_t) {
  setSize(int64_t{width_} + dx, int64_t{height_} + dy);
}

int32_t Canvas::GetEdge(int32_t which) const {
  Figure_checkGetEdge(which);
  return 0;
}

void Canvas::SetEdge(int32_t which, int32_t) { Figure_checkSetEdge(which); }

// --- property rows ------------------------------------------------------------------

PropertyRow Canvas::GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                                std::string_view noteFolder) const {
  const auto pick = [japanese](const char* ja, const char* en) { return japanese ? ja : en; };
  switch (row) {
    case 0:
      return PropertyRow_choice(pick("タイプ", "Canvas Type"), canvasType_ - 1,
                                typeChoices(japanese));
    case 1: return textRow("class", className_, valueCapacity);
    case 2: return textRow("id", id_, valueCapacity, PropertyRowKind_Id);
    case 3: return textRow("pub(file)", pubFile_, valueCapacity);
    case 4: return textRow("pub(page)", pubPage_, valueCapacity);
    case 5:
      return PropertyRow_integer(pick("キャンバスの幅", "Width of Canvas"), width_,
                                 Canvas_sizeMin, Canvas_sizeMax);
    case 6:
      return PropertyRow_integer(pick("キャンバスの高さ", "Height of Canvas"), height_,
                                 Canvas_sizeMin, Canvas_sizeMax);
    case 7:
      return PropertyRow_integer(pick("グリッドの間隔（横）", "Width of Grid"), gridX_,
                                 Canvas_sizeMin, Canvas_sizeMax);
    case 8:
      return PropertyRow_integer(pick("グリッドの間隔（縦）", "Height of Grid"), gridY_,
                                 Canvas_sizeMin, Canvas_sizeMax);
    case 9: return textRow("フィルタ変数", filterVariables_, valueCapacity);
    case 10:
      return PropertyRow_integer(pick("次ページ間隔（ミリ秒）", "Chg Page Interval"),
                                 pageInterval_, 0);
    case 11: {
      const std::string shown =
          noteFolder.empty() ? saveImageFile_ : StrX_makeRelative(saveImageFile_, noteFolder);
      PropertyRow r = textRow(pick("同時保存ファイル", "Corresponding Save File"), shown,
                              valueCapacity, PropertyRowKind_Url);
      r.extra.filter = saveFileFilter(saveImageFile_, japanese);
      return r;
    }
    default: return PropertyRow_pastEnd();
  }
}

void Canvas::SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) {
  switch (row) {
    case 0: {
      const int32_t n = Canvas_parseRowInt(value);
      if (n >= 0 && n <= CanvasType_Desktop - 1) canvasType_ = n + 1;
      break;
    }
    case 1: setClassName(value); break;
    case 2: SetId(value); break;
    case 3: setPubFile(value); break;
    case 4: setPubPage(value); break;
    case 5: setSize(Canvas_parseRowInt(value), height_); break;
    case 6: setSize(width_, Canvas_parseRowInt(value)); break;
    case 7: setGrid(Canvas_parseRowInt(value), gridY_); break;
    case 8: setGrid(gridX_, Canvas_parseRowInt(value)); break;
    case 9: setFilterVariables(value); break;
    case 10: setPageInterval(Canvas_parseRowInt(value)); break;
    case 11: {
      if (value.empty()) {
        saveImageFile_.clear();
        break;
      }
      std::string absolute;
      StrX_makeAbsolute(absolute, fit(value, Canvas_pathSize), noteFolder, SIZE_MAX);
      setSaveImageFile(absolute);
      break;
    }
    default: break;  // rows past the end are ignored
  }
}
