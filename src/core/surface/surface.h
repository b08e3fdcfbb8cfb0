// The drawing surface the figures paint on, and the in-memory picture they
// hand to it.  The platform fills Surface in (a QPainter on a QImage); tests
// use recording fakes.  For now it holds the bitmap operations only.
#pragma once

#include <cstddef>
#include <cstdint>
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

class Surface {
 public:
  virtual ~Surface() = default;

  // Draws the whole bitmap in its own size with its top left at (x, y).
  // Pixels whose alpha is below 0xFF are blended over what is there.
  virtual void drawBitmap(const Bitmap& bitmap, int x, int y) = 0;

  // Stretches the whole bitmap into the rectangle (x, y, width, height).
  // `smooth` filters (the halftone stretch); without it every target pixel
  // takes the nearest source pixel.  An empty rectangle draws nothing.
  virtual void stretchBitmap(const Bitmap& bitmap, int x, int y, int width, int height,
                             bool smooth) = 0;
};
