// Rect_Ex: drawing the six shapes, the image pipeline (working copy,
// decoding, the rendered picture) and the placeholder.
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "core/susie/susie.h"
#include "figures/rect/rect_ex.h"

namespace {

// Page point to scrolled device point.
SurfacePoint device(const DrawContext& ctx, int64_t px, int64_t py) {
  return {DrawContext_deviceX(ctx, px), DrawContext_deviceY(ctx, py)};
}

// Rotated page points (rounded or truncated) converted to the device.
std::vector<SurfacePoint> rotatedOutline(const DrawContext& ctx, std::span<const RectPointF> pts,
                                         double cx, double cy, int32_t angle, bool round) {
  std::vector<SurfacePoint> out;
  out.reserve(pts.size());
  for (const RectPointF& p : pts) {
    const RectPointF r = Rect_rotate(p.x, p.y, cx, cy, angle);
    const double ox = round ? r.x + 0.5 : r.x, oy = round ? r.y + 0.5 : r.y;
    out.push_back(device(ctx, static_cast<int64_t>(ox), static_cast<int64_t>(oy)));
  }
  return out;
}

// The picture scaled to w x h, each target pixel taking the nearest source
// pixel.
Bitmap scaledPicture(const Bitmap& src, int32_t w, int32_t h) {
  if (src.width == w && src.height == h) return src;
  Bitmap out(w, h);
  for (int32_t ty = 0; ty < h; ++ty) {
    const int32_t sy = static_cast<int32_t>(int64_t{ty} * src.height / h);
    for (int32_t tx = 0; tx < w; ++tx) {
      out.setPixel(tx, ty, src.pixel(static_cast<int32_t>(int64_t{tx} * src.width / w), sy));
    }
  }
  return out;
}

bool isDecodeError(int32_t code) { return code >= 22760 && code <= 22763; }

// The file name's extension with its dot ("" when none).
std::string extensionOf(std::string_view path) {
  size_t nameStart = 0, dot = std::string_view::npos;
  for (size_t i = 0; i < path.size(); i += Cp932_charLen(path, i)) {
    if (path[i] == '/' || path[i] == '\\') {
      nameStart = i + 1;
      dot = std::string_view::npos;
    } else if (path[i] == '.') {
      dot = i;
    }
  }
  if (dot == std::string_view::npos || dot == nameStart) return "";
  return std::string(path.substr(dot));
}

// Whether the file exists; a path the file functions refuse does not.
bool existsQuiet(const std::string& path) {
  bool found = false;
  if (!path.empty()) {
    Except_tryCatch([&] { found = FileX_exists(path); }, [&](const Errors_Msg&) {});
  }
  return found;
}

}  // namespace

// --- the working copy and the rendered picture -----------------------------------

std::string Rect_Ex::newWorkName() const {
  if (workFolder_.empty()) return "";
  std::string folder = workFolder_;
  if (folder.back() != '/') folder += '/';
  const std::string ext = extensionOf(imagePath.empty() ? workImagePath : imagePath);
  for (int32_t n = 1; n < 100000; ++n) {
    char name[48];
    std::snprintf(name, sizeof name, "img_%08X_%d", static_cast<unsigned>(header_.number), n);
    std::string path = folder + name + ext;
    if (!existsQuiet(path)) return path;
  }
  return "";
}

void Rect_Ex::RefreshWorkImage() {
  if (!existsQuiet(imagePath)) return;  // keep the only copy of an embedded picture
  if (workImagePath.empty()) workImagePath = newWorkName();
  if (workImagePath.empty()) return;
  FileX_copyFile(workImagePath, imagePath);
}

bool Rect_Ex::MakeOwnWorkingCopy() {
  if (isCopy() || !existsQuiet(workImagePath)) return false;
  const std::string fresh = newWorkName();
  if (fresh.empty() || !FileX_copyFile(fresh, workImagePath)) return false;
  workImagePath = fresh;
  DropImageCache();
  return true;
}

void Rect_Ex::DropImageCache() {
  cache = RectImageCache{};
  cacheBits_ = Bitmap{};
}

RectSize Rect_Ex::DisplaySize(const DrawContext& ctx) const {
  const int32_t w = Figure_scale(width, ctx.zoomX), h = Figure_scale(height, ctx.zoomY);
  if (!naturalSizeLock) return {w, h};
  return {naturalWidth, std::abs(int64_t{h} - naturalHeight) > 3 ? h : naturalHeight};
}

// Steps a-d: refresh the working copy, then decode and render when the
// rendered picture is stale.  Decode failures of any code store the
// message, clear imageLoadable and leave no picture; nothing is raised.
void Rect_Ex::prepareImage(const DrawContext& ctx) {
  bool stale = cacheBits_.empty();
  if (!embedImage) {
    int cmp = 0;
    if (workImagePath.empty()) cmp = existsQuiet(imagePath) ? 2 : 0;
    else if (!imagePath.empty()) cmp = FileX_compareTimes(imagePath, workImagePath);
    if (cmp == 1 || cmp == 2) {
      RefreshWorkImage();
      stale = true;
    }
  } else if (!imagePath.empty() && !existsQuiet(workImagePath)) {
    RefreshWorkImage();
    stale = true;
  }
  if (cache.cachePath.empty()) {
    const std::string ext = extensionOf(workImagePath);
    cache.cachePath = workImagePath.substr(0, workImagePath.size() - ext.size()) + ".ddb";
    if (workImagePath.empty()) cache.cachePath.clear();
    stale = true;
  }
  RectSize size = DisplaySize(ctx);
  if (size.w != cache.width || size.h != cache.height) stale = true;
  if (!takeNaturalSize && !stale) return;
  if (!imageLoadable || !existsQuiet(workImagePath)) {
    DropImageCache();
    return;
  }
  bool decoded = false;
  Except_tryCatch(
      [&] {
        Susie_Record& rec = Susie_decode(workImagePath);
        if (!rec.bitmap || rec.bitmap->empty()) return;
        decoded = true;
        naturalWidth = std::max(rec.bitmap->width, 1);
        naturalHeight = std::max(rec.bitmap->height, 1);
        if (takeNaturalSize) {
          width = Figure_clampSize(naturalWidth);
          height = Figure_clampSize(naturalHeight);
          size = DisplaySize(ctx);
          takeNaturalSize = false;
        }
        cacheBits_ = Bitmap{};
        if (size.w > 0 && size.h > 0 && int64_t{size.w} * size.h <= Rect_cacheMaxPixels) {
          cacheBits_ = scaledPicture(*rec.bitmap, size.w, size.h);
        }
        cache.width = size.w;
        cache.height = size.h;
        cache.byteSize = Figure_toInt32(int64_t{size.w} * size.h * 4);
      },
      [&](const Errors_Msg& e) {
        // Reported once: imageLoadable stays cleared until the picture is
        // chosen again.  The loader's own codes carry their message; any
        // other failure (reading the file, a decoder's error) goes to the
        // log as well.
        if (!isDecodeError(e.code)) Errors_printf("%s", e.text);
        ResultCode_setMessage("%s", Rect_imageErrorMessage);
        imageLoadable = false;
      });
  if (!decoded) DropImageCache();
}

// Decodes the working copy and stretches it over the figure's device box.
bool Rect_Ex::drawDirect(Surface& surface, const DrawContext& ctx) const {
  if (!imageLoadable || !existsQuiet(workImagePath)) return false;
  bool drawn = false;
  Except_tryCatch(
      [&] {
        const Susie_Record& rec = Susie_decode(workImagePath);
        Susie_drawScaled(rec, surface, DrawContext_deviceX(ctx, x), DrawContext_deviceY(ctx, y),
                         Figure_scale(width, ctx.zoomX), Figure_scale(height, ctx.zoomY));
        drawn = rec.bitmap != nullptr;
      },
      [&](const Errors_Msg&) {});
  return drawn;
}

// Step e: the rendered picture, or the decoded one for printing and page
// images (and for pictures too large to keep).
bool Rect_Ex::drawImage(Surface& surface, const DrawContext& ctx) {
  bool ok = true;
  Except_tryCatch([&] { prepareImage(ctx); }, [&](const Errors_Msg&) { ok = false; });
  if (!ok || !imageLoadable || cache.width < 0) return false;
  if (!ctx.directOutput && !cacheBits_.empty()) {
    surface.drawBitmap(cacheBits_, DrawContext_deviceX(ctx, x), DrawContext_deviceY(ctx, y));
    return true;
  }
  bool drawn = false;
  Except_tryCatch([&] { drawn = drawDirect(surface, ctx); }, [&](const Errors_Msg&) {});
  return drawn;
}

// --- shapes ----------------------------------------------------------------------

void Rect_Ex::drawShape(Surface& surface, const DrawContext& ctx) {
  const int64_t X = x, Y = y, W = width, H = height;
  const int32_t l = Figure_scale(X, ctx.zoomX), t = Figure_scale(Y, ctx.zoomY);
  const int32_t r = Figure_scale(X + W, ctx.zoomX), b = Figure_scale(Y + H, ctx.zoomY);
  const int32_t sx = ctx.scrollX, sy = ctx.scrollY;
  const double cx = double(X + W / 2), cy = double(Y + H / 2);
  switch (shape) {
    case RectShape_Rectangle:
      if (angle == 0) {
        surface.rectangle(l - sx, t - sy, r - sx + 1, b - sy + 1);
      } else {
        const RectPointF p[4] = {{double(X), double(Y)}, {double(X + W), double(Y)},
                                 {double(X + W), double(Y + H)}, {double(X), double(Y + H)}};
        surface.polygon(rotatedOutline(ctx, p, cx, cy, angle, true));
      }
      break;
    case RectShape_RoundRect:
      if (angle == 0) {
        surface.roundRect(l - sx, t - sy, r - sx + 1, b - sy + 1, Figure_scale(20, ctx.zoomX),
                          Figure_scale(20, ctx.zoomY));
      } else {
        const double x0 = double(X), y0 = double(Y), x1 = double(X + W), y1 = double(Y + H);
        const RectPointF p[8] = {{x0, y0 + 6}, {x0 + 6, y0}, {x1 - 6, y0}, {x1, y0 + 6},
                                 {x1, y1 - 6}, {x1 - 6, y1}, {x0 + 6, y1}, {x0, y1 - 6}};
        surface.polygon(rotatedOutline(ctx, p, cx, cy, angle, false));
      }
      break;
    case RectShape_Ellipse:
      if (angle == 0) {
        surface.ellipse(l - sx, t - sy, r - sx + 1, b - sy + 1);
      } else {
        const double dcx = double((int64_t{l} + r) / 2), dcy = double((int64_t{t} + b) / 2);
        const double rx = double((int64_t{r} - l) / 2), ry = double((int64_t{b} - t) / 2);
        std::vector<SurfacePoint> pts;
        pts.reserve(72);
        for (int i = 0; i < 72; ++i) {
          const double a = i * 5 * Figure_twoPi / 360.0;
          const RectPointF q =
              Rect_rotate(dcx + rx * std::cos(a), dcy + ry * std::sin(a), dcx, dcy, angle);
          pts.push_back({Figure_toInt32(static_cast<int64_t>(q.x) - sx),
                         Figure_toInt32(static_cast<int64_t>(q.y) - sy)});
        }
        surface.polygon(pts);
      }
      break;
    case RectShape_Diamond: {
      const double ew = double(W + (W & 1)), eh = double(H + (H & 1));
      const double x0 = double(X), y0 = double(Y);
      const RectPointF p[4] = {{x0 + ew / 2, y0}, {x0 + ew, y0 + eh / 2}, {x0 + ew / 2, y0 + eh},
                               {x0, y0 + eh / 2}};
      surface.polygon(rotatedOutline(ctx, p, x0 + ew / 2, y0 + eh / 2, angle, false));
      break;
    }
    case RectShape_Parallelogram: {
      const double v = double(H / 4), x0 = double(X), y0 = double(Y);
      const RectPointF p[4] = {{x0 + v, y0}, {x0 + W + v, y0}, {x0 + W - v, y0 + H},
                               {x0 - v, y0 + H}};
      surface.polygon(rotatedOutline(ctx, p, cx, cy, angle, true));
      break;
    }
    case RectShape_Image:
      if (!drawImage(surface, ctx)) {
        ScopedBrush placeholder(surface, Brush::solid(Rect_placeholderColour));
        surface.rectangle(l - sx, t - sy, r - sx + 1, b - sy + 1);
      }
      break;
    default: break;
  }
}

void Rect_Ex::Draw(Surface& surface, const DrawContext& ctx) {
  const int64_t l = Figure_scale(x, ctx.zoomX), t = Figure_scale(y, ctx.zoomY);
  const int64_t r = Figure_scale(int64_t{x} + width, ctx.zoomX);
  const int64_t b = Figure_scale(int64_t{y} + height, ctx.zoomY);
  // The box, widened by the pen and, for a turned shape, to the circle
  // through its corners: a box wholly outside the repaint area draws
  // nothing but its handles.
  int64_t m = DrawContext_penWidth(ctx, strokeWidth) / 2 + 2;
  if (angle % 360 != 0) m += (std::abs(r - l) + std::abs(b - t)) / 2 + 2;
  if (!DrawContext_outsideClip(ctx, l - ctx.scrollX - m, t - ctx.scrollY - m,
                               r - ctx.scrollX + m, b - ctx.scrollY + m)) {
    SurfaceSaver saver(surface);
    surface.setPen(strokeWidth > 0
                       ? Pen::solid(DrawContext_strokeColour(ctx, strokeColour),
                                    DrawContext_penWidth(ctx, strokeWidth))
                       : Pen::null());
    if (opacity >= 100) {
      surface.setBrush(Brush::solid(DrawContext_fillColour(ctx, fillColour)));
    } else if (opacity > 0) {
      surface.setBackgroundMode(BackgroundMode::Transparent);
      surface.setBrush(Brush::hatched(HatchStyle::Vertical, fillColour));
    } else {
      surface.setBrush(Brush::null());
    }
    drawShape(surface, ctx);
  }
  if (IsSelected() && ctx.showHandles) {
    DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
  }
}
