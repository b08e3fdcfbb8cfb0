// Serialised ink of any bytes: decoding never crashes or hangs, and what
// decodes is encoded and decoded again to the same strokes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "document/ink/ink_serialized.h"
#include "document/ink/page_ink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto strokes = InkIsf_decode(bytes);
  if (strokes) {
    const auto again = InkIsf_decode(InkIsf_encode(*strokes));
    if (!again || *again != *strokes) std::abort();
  }
  // The same bytes as a page's raw block and its layer group.
  PageInk page;
  page.load(bytes, bytes, {});
  return 0;
}
