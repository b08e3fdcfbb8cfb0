// Shared helpers of the text-box tests: a box laid out with the fixed
// metrics at base (100, 100) ("abc", 12 pt: the frame is 92..132 x 86..107).
#pragma once

#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace text_box_test {

inline const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

inline void layOut(Text_Box& b, const DrawContext& ctx = DrawContext{}) { b.Layout(metrics(), ctx); }

inline Text_Box& placed(Text_Box& b, int32_t x = 100, int32_t y = 100) {
  b.SetTextMetrics(&metrics());
  b.SetBasePoint(x, y);
  layOut(b);
  return b;
}

}  // namespace text_box_test
