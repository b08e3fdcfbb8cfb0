// The drawing surface the figures paint on, and the in-memory picture they
// hand to it.  The platform fills Surface in (a QPainter on a QImage); tests
// use recording fakes.
//
// The operations follow the device-context conventions the figures were
// written against:
//   - Coordinates are device pixels (int).  Colours are 0x00BBGGRR
//     (`Colour`, red in the lowest byte).
//   - The surface holds a current state (`SurfaceState`): pen, brush, font,
//     text colour and alignment, background mode and colour, raster
//     operation and clip rectangle.  Every drawing call uses the state as it
//     is at the call.  Figures never leave a changed state behind: they use
//     the scoped selections below (`ScopedPen`, `ScopedBrush`, `ScopedFont`)
//     or a `SurfaceSaver` for the whole state, which put the previous value
//     back when they go.
//   - `rectangle(l, t, r, b)` covers the pixels l..r-1 x t..b-1; a one-pixel
//     pen draws the outline on the outermost of those pixels and the brush
//     fills the inside.  With the null pen the filled area is one pixel
//     smaller on the right and at the bottom.  `ellipse` and `roundRect` are
//     bounded the same way.
//   - `lineTo` and `polyline` leave out the last pixel of the path.
//   - A pen of width 0 or 1 is one pixel wide.  Dashed, dotted and
//     dash-dotted pens are only styled when one pixel wide; wider ones draw
//     solid.  Wide pens are centred on the path with round ends and joins.
//   - Shapes are not antialiased.
//   - Polygons fill with the even-odd (alternate) rule.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A picture in memory: `width` x `height` pixels, rows top-down, each pixel
// 0xAARRGGBB (alpha 0xFF = opaque).
struct Bitmap {
  int32_t width = 0;
  int32_t height = 0;
  std::vector<uint32_t> pixels;

  Bitmap() = default;
  Bitmap(int32_t w, int32_t h, uint32_t fill = 0xFF000000u)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}

  bool empty() const { return width <= 0 || height <= 0; }
  uint32_t pixel(int32_t x, int32_t y) const { return pixels[index(x, y)]; }
  void setPixel(int32_t x, int32_t y, uint32_t argb) { pixels[index(x, y)] = argb; }

 private:
  size_t index(int32_t x, int32_t y) const {
    return static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
  }
};

// 0x00BBGGRR.
using Colour = uint32_t;

constexpr Colour Colour_rgb(int r, int g, int b) {
  return static_cast<Colour>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int Colour_red(Colour c) { return static_cast<int>(c & 0xFF); }
constexpr int Colour_green(Colour c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int Colour_blue(Colour c) { return static_cast<int>((c >> 16) & 0xFF); }
// The colour as a bitmap pixel 0xFFRRGGBB.
constexpr uint32_t Colour_toArgb(Colour c) {
  return 0xFF000000u | (static_cast<uint32_t>(Colour_red(c)) << 16) |
         (static_cast<uint32_t>(Colour_green(c)) << 8) | static_cast<uint32_t>(Colour_blue(c));
}
// A pixel 0xAARRGGBB as a colour (alpha dropped).
constexpr Colour Colour_fromArgb(uint32_t argb) {
  return Colour_rgb(static_cast<int>((argb >> 16) & 0xFF), static_cast<int>((argb >> 8) & 0xFF),
                    static_cast<int>(argb & 0xFF));
}

struct SurfacePoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const SurfacePoint&, const SurfacePoint&) = default;
};

// Left, top, right, bottom; right and bottom are outside.
struct SurfaceRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  friend bool operator==(const SurfaceRect&, const SurfaceRect&) = default;
};

enum class PenStyle : uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Null };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 1;  // device pixels; 0 counts as 1
  Colour colour = 0;
  friend bool operator==(const Pen&, const Pen&) = default;

  static Pen solid(Colour c, int w = 1) { return {PenStyle::Solid, w, c}; }
  static Pen null() { return {PenStyle::Null, 1, 0}; }
};

enum class BrushStyle : uint8_t { Solid, Hatched, Null };

// The hatch patterns of a hatched brush (8 x 8 pixel cells).
enum class HatchStyle : uint8_t { Horizontal, Vertical, ForwardDiagonal, BackwardDiagonal, Cross,
                                  DiagonalCross };

struct Brush {
  BrushStyle style = BrushStyle::Solid;
  HatchStyle hatch = HatchStyle::Horizontal;  // used when Hatched
  Colour colour = 0xFFFFFF;
  friend bool operator==(const Brush&, const Brush&) = default;

  static Brush solid(Colour c) { return {BrushStyle::Solid, HatchStyle::Horizontal, c}; }
  static Brush hatched(HatchStyle h, Colour c) { return {BrushStyle::Hatched, h, c}; }
  static Brush null() { return {BrushStyle::Null, HatchStyle::Horizontal, 0}; }
};

// A font.  `face` is the CP932 face name the user chose (the platform maps
// it to an installed family).  `height` is the em height in device pixels
// (what a negative font height asks for); use `Font_pixelsFromTenthPoints`
// to get it from a point size.  `escapement` turns the text counter-
// clockwise on the screen about the text's reference point, in tenths of a
// degree.
struct FontSpec {
  std::string face = "ＭＳ Ｐゴシック";
  int height = 16;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  int escapement = 0;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// The pixel height of a size in tenths of a point at `dpi` dots per inch,
// rounded to the nearest pixel (halves away from zero): 120 -> 16 at 96 dpi.
int Font_pixelsFromTenthPoints(int tenthPoints, int dpi = 96);

enum class BackgroundMode : uint8_t { Transparent, Opaque };

// How a drawn pixel combines with what is there: copy the pen or brush,
// exclusive-or it into the pixel, or invert the pixel (the colour unused).
enum class RasterOp : uint8_t { Copy, Xor, Not };

// Where text output puts its reference point (x, y).
enum class TextHAlign : uint8_t { Left, Centre, Right };
enum class TextVAlign : uint8_t { Top, Baseline, Bottom };

struct SurfaceState {
  Pen pen;
  Brush brush;
  FontSpec font;
  Colour textColour = 0;
  Colour backgroundColour = 0xFFFFFF;
  BackgroundMode backgroundMode = BackgroundMode::Opaque;
  TextHAlign textHAlign = TextHAlign::Left;
  TextVAlign textVAlign = TextVAlign::Top;
  RasterOp rasterOp = RasterOp::Copy;
  std::optional<SurfaceRect> clip;  // none = the whole surface
  SurfacePoint current;             // the pen position of moveTo / lineTo
};

// What a surface keeps between paints for one drawing it was given (a
// parsed SVG document); the owner of the drawing holds it and drops it
// with the drawing.
class SurfaceCache {
 public:
  virtual ~SurfaceCache() = default;
};

// An affine map (x, y) -> (a x + c y + e, b x + d y + f).
struct SurfaceAffine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;
};

class Surface {
 public:
  virtual ~Surface() = default;

  // --- state ---
  const SurfaceState& state() const { return state_; }
  void setState(const SurfaceState& s) { state_ = s; }
  void setPen(const Pen& p) { state_.pen = p; }
  void setBrush(const Brush& b) { state_.brush = b; }
  void setFont(const FontSpec& f) { state_.font = f; }
  void setTextColour(Colour c) { state_.textColour = c; }
  void setBackgroundColour(Colour c) { state_.backgroundColour = c; }
  void setBackgroundMode(BackgroundMode m) { state_.backgroundMode = m; }
  void setTextAlign(TextHAlign h, TextVAlign v) {
    state_.textHAlign = h;
    state_.textVAlign = v;
  }
  void setRasterOp(RasterOp op) { state_.rasterOp = op; }
  // Limits drawing to the rectangle; none lifts the limit.
  void setClipRect(std::optional<SurfaceRect> clip) { state_.clip = clip; }

  // --- primitives (pen for outlines, brush for insides) ---
  // The base class draws nothing (a surface that only shows bitmaps need not
  // implement them); QtSurface and the tests' RecordingSurface do.
  virtual void rectangle(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}
  // Corners are quarter ellipses `ellipseWidth` x `ellipseHeight` wide.
  virtual void roundRect(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/,
                         int /*ellipseWidth*/, int /*ellipseHeight*/) {}
  virtual void ellipse(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/) {}
  // Closed and filled (even-odd rule).
  virtual void polygon(std::span<const SurfacePoint> /*points*/) {}
  // Open, pen only, the last point left out.
  virtual void polyline(std::span<const SurfacePoint> /*points*/) {}
  void moveTo(int x, int y) { state_.current = {x, y}; }
  // A line from the current position to (x, y), without (x, y) itself; the
  // current position becomes (x, y).
  void lineTo(int x, int y) {
    const SurfacePoint pts[2] = {state_.current, {x, y}};
    polyline(pts);
    state_.current = {x, y};
  }
  // The part of the ellipse in the bounding box that runs counter-clockwise
  // (on the screen) from the ray towards (xStart, yStart) to the ray towards
  // (xEnd, yEnd); the same two rays give the whole ellipse.  Pen only.
  virtual void arc(int /*left*/, int /*top*/, int /*right*/, int /*bottom*/, int /*xStart*/,
                   int /*yStart*/, int /*xEnd*/, int /*yEnd*/) {}
  // One pixel in the colour (the raster operation applies).
  virtual void setPixel(int /*x*/, int /*y*/, Colour /*colour*/) {}
  // CP932 text in the current font and text colour, its reference point at
  // (x, y) as the text alignment says.  With the opaque background mode the
  // text's cell is filled with the background colour first.
  virtual void textOut(int /*x*/, int /*y*/, std::string_view /*cp932*/) {}

  // A whole SVG document (UTF-8) drawn as SVG draws it, its user units
  // taken through `toDevice` to device pixels.  The surface may keep what
  // it parsed in `cache` (empty the first time) and use it while the
  // document stays the same.  A document that does not parse draws
  // nothing.
  virtual void svgDocument(std::string_view /*utf8*/, const SurfaceAffine& /*toDevice*/,
                           std::shared_ptr<SurfaceCache>& /*cache*/) {}

  // --- bitmaps ---
  // Draws the whole bitmap in its own size with its top left at (x, y).
  // Pixels whose alpha is below 0xFF are blended over what is there.
  virtual void drawBitmap(const Bitmap& bitmap, int x, int y) = 0;

  // Stretches the whole bitmap into the rectangle (x, y, width, height).
  // `smooth` filters (the halftone stretch); without it every target pixel
  // takes the nearest source pixel.  An empty rectangle draws nothing.
  virtual void stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                             bool smooth) = 0;

 protected:
  SurfaceState state_;
};

// Saves the whole state of a surface and puts it back when it goes.
class SurfaceSaver {
 public:
  explicit SurfaceSaver(Surface& s) : surface_(s), saved_(s.state()) {}
  ~SurfaceSaver() { surface_.setState(saved_); }
  SurfaceSaver(const SurfaceSaver&) = delete;
  SurfaceSaver& operator=(const SurfaceSaver&) = delete;

 private:
  Surface& surface_;
  SurfaceState saved_;
};

// Selects a pen for the lifetime of the object, then the previous one.
class ScopedPen {
 public:
  ScopedPen(Surface& s, const Pen& pen) : surface_(s), saved_(s.state().pen) { s.setPen(pen); }
  ~ScopedPen() { surface_.setPen(saved_); }
  ScopedPen(const ScopedPen&) = delete;
  ScopedPen& operator=(const ScopedPen&) = delete;

 private:
  Surface& surface_;
  Pen saved_;
};

// Selects a brush for the lifetime of the object, then the previous one.
class ScopedBrush {
 public:
  ScopedBrush(Surface& s, const Brush& brush) : surface_(s), saved_(s.state().brush) {
    s.setBrush(brush);
  }
  ~ScopedBrush() { surface_.setBrush(saved_); }
  ScopedBrush(const ScopedBrush&) = delete;
  ScopedBrush& operator=(const ScopedBrush&) = delete;

 private:
  Surface& surface_;
  Brush saved_;
};

// Selects a font for the lifetime of the object, then the previous one.
class ScopedFont {
 public:
  ScopedFont(Surface& s, const FontSpec& font) : surface_(s), saved_(s.state().font) {
    s.setFont(font);
  }
  ~ScopedFont() { surface_.setFont(saved_); }
  ScopedFont(const ScopedFont&) = delete;
  ScopedFont& operator=(const ScopedFont&) = delete;

 private:
  Surface& surface_;
  FontSpec saved_;
};
