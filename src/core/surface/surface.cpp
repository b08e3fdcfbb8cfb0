#include "core/surface/surface.h"

#include <cstdlib>

int Font_pixelsFromTenthPoints(int tenthPoints, int dpi) {
  // tenths x dpi / 720, rounded half away from zero, in 64 bits.
  int64_t num = static_cast<int64_t>(tenthPoints) * dpi;
  int64_t q = (std::llabs(num) * 2 + 720) / 1440;
  return static_cast<int>(num < 0 ? -q : q);
}
