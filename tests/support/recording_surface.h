// A Surface that draws nothing and records every drawing call as one line
// of text with the state it used, for tests of what figures draw.
//   "rect 1,2,3,4 pen=solid/1/000000 brush=solid/ffffff rop=copy"
// Colours are written as 6 hex digits of 0x00BBGGRR.  moveTo/lineTo show as
// one "polyline" of the two points.
#pragma once

#include <string>
#include <vector>

#include "core/surface/surface.h"

class RecordingSurface final : public Surface {
 public:
  struct Call {
    std::string op;         // "rect", "roundrect", "ellipse", "polygon", "polyline",
                            // "arc", "pixel", "text", "bitmap", "stretch"
    std::vector<int> args;  // coordinates in call order (points as x, y)
    std::string text;       // textOut's text
    SurfaceState state;     // the state at the call
  };

  void rectangle(int l, int t, int r, int b) override { add("rect", {l, t, r, b}); }
  void roundRect(int l, int t, int r, int b, int w, int h) override {
    add("roundrect", {l, t, r, b, w, h});
  }
  void ellipse(int l, int t, int r, int b) override { add("ellipse", {l, t, r, b}); }
  void polygon(std::span<const SurfacePoint> pts) override { add("polygon", flat(pts)); }
  void polyline(std::span<const SurfacePoint> pts) override { add("polyline", flat(pts)); }
  void arc(int l, int t, int r, int b, int xs, int ys, int xe, int ye) override {
    add("arc", {l, t, r, b, xs, ys, xe, ye});
  }
  void setPixel(int x, int y, Colour c) override {
    add("pixel", {x, y, static_cast<int>(c)});
  }
  void textOut(int x, int y, std::string_view s) override;
  void drawBitmap(const Bitmap& b, int x, int y) override {
    add("bitmap", {x, y, b.width, b.height});
  }
  void stretchBitmap(const Bitmap& b, int x, int y, int w, int h, bool smooth) override {
    add("stretch", {x, y, w, h, b.width, b.height, smooth ? 1 : 0});
  }

  const std::vector<Call>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // Every call as a line "op a,b,c" (with the text in quotes for "text"),
  // optionally followed by the pen and brush.
  std::vector<std::string> lines(bool withState = false) const;
  static std::string describe(const Call& c, bool withState);

 private:
  static std::vector<int> flat(std::span<const SurfacePoint> pts);
  void add(std::string op, std::vector<int> args, std::string text = {});

  std::vector<Call> calls_;
};
