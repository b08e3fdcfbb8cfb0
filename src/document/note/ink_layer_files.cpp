#include "document/note/ink_layer_files.h"

#include <cstdio>
#include <optional>

#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"

namespace {

// rename(2) of one file; failures (a missing source above all) are ignored.
void renameQuietly(const std::string& from, const std::string& to) {
  std::optional<std::string> a = FileX_osPath(from);
  std::optional<std::string> b = FileX_osPath(to);
  if (!a || !b) return;
  (void)std::rename(a->c_str(), b->c_str());
}

}  // namespace

int32_t InkFiles_holderNumber(int32_t u, int32_t i) {
  int64_t v = (int64_t{u} + i) % InkFiles_holderCount;
  if (v < 0) v += InkFiles_holderCount;
  return InkFiles_holderBase + static_cast<int32_t>(v);
}

InkLayerFiles::InkLayerFiles(std::string_view workFolder, int32_t documentNumber)
    : folder_(workFolder), documentNumber_(documentNumber) {
  if (folder_.size() > 1 && folder_.back() == '/') folder_.pop_back();
}

std::string InkLayerFiles::path(int32_t page, int32_t layer) const {
  char name[64];
  std::snprintf(name, sizeof name, "/ink_%08X_%d_%d", static_cast<uint32_t>(documentNumber_), page,
                layer);
  return folder_ + name;
}

void InkLayerFiles::createEmpty(int32_t page) const {
  FileX_writeWhole(backPath(page), "");
  FileX_writeWhole(frontPath(page), "");
}

void InkLayerFiles::move(int32_t from, int32_t to) const {
  if (from == to) return;
  renameQuietly(backPath(from), backPath(to));
  renameQuietly(frontPath(from), frontPath(to));
}

void InkLayerFiles::moveTo(int32_t from, const InkLayerFiles& other, int32_t to) const {
  renameQuietly(backPath(from), other.backPath(to));
  renameQuietly(frontPath(from), other.frontPath(to));
}

void InkLayerFiles::remove(int32_t page) const {
  FileX_deleteFile(backPath(page));
  FileX_deleteFile(frontPath(page));
}

void InkLayerFiles::shift(int32_t first, int32_t last, int32_t delta) const {
  if (delta == 0 || last < first) return;
  if (delta > 0) {
    for (int32_t n = last; n >= first; --n) move(n, n + delta);
  } else {
    for (int32_t n = first; n <= last; ++n) move(n, n + delta);
  }
}

void InkLayerFiles::exchange(int32_t a, int32_t b) const {
  if (a == b) return;
  move(a, InkFiles_scratchBase);
  move(b, a);
  move(InkFiles_scratchBase, b);
}

void InkLayerFiles::moveBlock(int32_t first, int32_t end, int32_t to) const {
  const int32_t k = end - first;
  if (k <= 0 || (to >= first && to <= end)) return;
  for (int32_t i = 0; i < k; ++i) move(first + i, InkFiles_scratchBase + i);
  int32_t target;
  if (to > end) {
    shift(end, to - 1, -k);  // the pages after the block move down into its place
    target = to - k;
  } else {
    shift(to, first - 1, k);  // the pages before the block move up behind it
    target = to;
  }
  for (int32_t i = 0; i < k; ++i) move(InkFiles_scratchBase + i, target + i);
}

int InkLayerFiles::deleteAll() const {
  char name[32];
  std::snprintf(name, sizeof name, "/ink_%08X_*", static_cast<uint32_t>(documentNumber_));
  return FileX_deleteFiles(folder_ + name);
}

std::string InkLayerFiles_read(std::string_view path) {
  std::string text;
  if (!path.empty() && FileX_exists(path)) {
    Except_tryCatch([&] { text = FileX_readWhole(path); }, [](const Errors_Msg&) {});
  }
  return text;
}
