// Reads any bytes as a note file: in the plain form, and (by the first
// byte's lowest bit) as an svgz note, so that the unpacking and UTF-16
// paths are reached too.  Errors the reader raises are the expected answer
// to broken input; a crash, a hang, a leak or a failed check is a fault.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/errors/except3.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "figures/base/app_counters.h"

namespace {

const std::string& folder() {
  static const std::string f = [] {
    std::string path = "/tmp/zerbin-fuzz-" + std::to_string(::getpid());
    std::system(("mkdir -p '" + path + "/work'").c_str());
    return path;
  }();
  return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool svgz = size > 0 && (data[0] & 1) != 0;
  const std::string path = folder() + (svgz ? "/in.svgz" : "/in.svg");
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  } else {
    return 0;
  }
  NoteDocument doc(folder() + "/work");
  AppCounters counters;
  NoteReadOptions options(counters);
  options.unpackLimit = 64 << 20;
  Except_tryCatch([&] { NoteReader_read(doc, 1, path, options); }, [](const Errors_Msg&) {});
  // Whatever was read, the note is consistent and can be released.
  if (!doc.closed() && !doc.checkTree().empty()) std::abort();
  Except_tryCatch([&] { doc.ClearDocument(); }, [](const Errors_Msg&) {});
  std::remove(path.c_str());
  return 0;
}
