// Reads any bytes as the format file of the table output and cuts and
// quotes sample texts with every column it read.  Errors the settings
// reader raises are the expected answer to a broken format; a crash, a
// hang, a leak or a cell that is not valid CSV is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/errors/except3.h"
#include "export/lists/list_export.h"

namespace {

const std::string& path() {
  static const std::string p = [] {
    std::atexit([] { std::remove(("/tmp/zerbin-table-fuzz-" + std::to_string(::getpid()) + ".ini").c_str()); });
    return "/tmp/zerbin-table-fuzz-" + std::to_string(::getpid()) + ".ini";
  }();
  return p;
}

// A quoted cell starts and ends with '"' and doubles the quotes inside;
// an unquoted one holds no quote, comma or line break.
void checkCell(const std::string& cell) {
  if (!cell.empty() && cell.front() == '"') {
    if (cell.size() < 2 || cell.back() != '"') std::abort();
    for (size_t i = 1; i + 1 < cell.size(); i++) {
      if (cell[i] != '"') continue;
      if (i + 2 >= cell.size() || cell[i + 1] != '"') std::abort();
      i++;
    }
    return;
  }
  if (cell.find_first_of("\",\n") != std::string::npos) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (std::FILE* f = std::fopen(path().c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  std::vector<TableFormat> formats;
  Except_tryCatch([&] { formats = TableFormat_read(path()); }, [](const Errors_Msg&) {});
  // Texts with double-byte characters (code page 932), blanks and marks.
  static const std::string texts[] = {"", "12345", "-1,5", " a\"b ", "\x93\xfa\x96\x7b\x8c\xea", "x\r\ny",
                                      "\x81"};
  for (const TableFormat& f : formats) {
    for (const TableColumn& c : f.columns) {
      for (const std::string& t : texts) {
        const std::string cut = ListExport_cutChars(t, c.length);
        if (cut.size() > t.size()) std::abort();
        checkCell(ListExport_csvCell(cut, c.prefix));
      }
    }
  }
  return 0;
}
