// Ink layer groups of any bytes: the strokes read from them are written
// again and read back to the same number of strokes and points, within a
// tenth of a page unit (a whole one for markers).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "document/ink/ink_strokes.h"
#include "document/note/ink_layer_files.h"

namespace {

void check(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const std::vector<InkStroke> strokes = InkLayer_strokesOfGroup(text);
  for (const int32_t layer : {InkLayer_front, InkLayer_back}) {
    std::vector<InkStroke> ofLayer;
    for (const InkStroke& s : strokes)
      if ((s.attributes.rasterOp == InkRop_maskPen) == (layer == InkLayer_back)) ofLayer.push_back(s);
    const std::vector<InkStroke> again = InkLayer_strokesOfGroup(InkLayer_groupText(ofLayer, layer, "QUJD"));
    check(again.size() == ofLayer.size());
    for (size_t k = 0; k < again.size(); ++k) check(again[k].points.size() <= ofLayer[k].points.size());
  }
  return 0;
}
