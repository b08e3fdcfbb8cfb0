// Reads any bytes as a figure block from the clipboard, as a paste does:
// the block's header, texts and records, then each record's figure.  A
// block that is refused or a record whose snapshot raises is the expected
// answer to broken bytes; a crash, a read past the data, a hang or a leak
// is a fault, and so is a block that reads but does not write back to the
// same bytes' meaning.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "clipboard/figure_block.h"
#include "core/errors/except3.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  InkBox box;
  InkBox_decode(bytes, box);
  FigureBlock block;
  if (!FigureBlock_decode(bytes, block)) return 0;
  // Written again, the block reads back the same.
  FigureBlock again;
  std::string written;
  Except_tryCatch([&] { written = FigureBlock_encode(block); }, [](const Errors_Msg&) { std::abort(); });
  if (!FigureBlock_decode(written, again) || again.records.size() != block.records.size() ||
      again.flags != block.flags || again.held != block.held || again.folderPath != block.folderPath)
    std::abort();
  for (size_t i = 0; i < block.records.size(); ++i) {
    if (again.records[i].kind != block.records[i].kind ||
        again.records[i].snapshot != block.records[i].snapshot)
      std::abort();
  }
  Except_tryCatch(
      [&] {
        auto figures = FigureBlock_figures(block, nullptr);
        FigureBlock_renumber(figures);
      },
      [](const Errors_Msg&) {});
  return 0;
}
