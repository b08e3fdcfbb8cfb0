// Lays out a page image for any options and page size the command line and
// the dialog can hand over (and hostile ones beyond): the layout either
// answers one with at least one tile that stays within its numbers, or
// refuses it with an error; a hang, an overflow or a crash is a fault.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/errors/except3.h"
#include "view/render/page_image_layout.h"

namespace {

int32_t take(const uint8_t*& data, size_t& size) {
  int32_t v = 0;
  const size_t n = size < sizeof v ? size : sizeof v;
  std::memcpy(&v, data, n);
  data += n;
  size -= n;
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = *data++;
  --size;
  PageImageOptions o;
  o.limitSize = (flags & 1) != 0;
  o.useMinZoom = (flags & 2) != 0;
  // Small values most of the time: the ranges the dialog offers.
  const bool small = (flags & 4) != 0;
  auto value = [&](int32_t mod) {
    const int32_t v = take(data, size);
    return small ? static_cast<int32_t>(static_cast<uint32_t>(v) % static_cast<uint32_t>(mod)) : v;
  };
  o.maxWidth = value(4000);
  o.maxHeight = value(4000);
  o.minZoom = value(200);
  o.maxFolds = value(10);
  const int32_t width = value(200000), height = value(200000);
  bool refused = false;
  Except_tryCatch([&] { View_layoutPageImage(o, 1, width, height); }, [&](const Errors_Msg&) { refused = true; });
  if (refused) return 0;
  if (o.columns < 1 || o.rows < 1 || o.columns == INT32_MAX || o.rows == INT32_MAX) std::abort();
  if (o.zoom < 1 || o.zoom > 100 || o.folds < 1) std::abort();
  if (o.tileWidth < 1 || o.tileHeight < 1) std::abort();
  if (View_pageImageSourceWidth(o) < 1 || View_pageImageSourceHeight(o) < 1) std::abort();
  return 0;
}
