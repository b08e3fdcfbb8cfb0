#include "core/susie/susie_native.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>
#include <optional>

#include "core/strx/codepage.h"

namespace {

// Beyond these sizes a plug-in's bitmap is taken as broken.
constexpr int32_t kMaxSide = 32767;
constexpr int64_t kMaxPixels = int64_t{1} << 28;

struct LibraryCloser {
  void operator()(void* handle) const {
    if (handle) dlclose(handle);
  }
};
using Library = std::unique_ptr<void, LibraryCloser>;

struct EntryPoints {
  SusieGetPluginInfoFn getPluginInfo = nullptr;
  SusieIsSupportedFn isSupported = nullptr;
  SusieGetPictureInfoFn getPictureInfo = nullptr;
  SusieGetPictureFn getPicture = nullptr;
  SusieFreePluginMemoryFn release = nullptr;
};

// A block the plug-in handed over, released once through its rule.
class PluginBlock {
 public:
  PluginBlock(void* block, SusieFreePluginMemoryFn release) : block_(block), release_(release) {}
  ~PluginBlock() {
    if (block_) release_(block_);
  }
  PluginBlock(const PluginBlock&) = delete;
  PluginBlock& operator=(const PluginBlock&) = delete;

 private:
  void* block_;
  SusieFreePluginMemoryFn release_;
};

// Copies the plug-in's bitmap into a Bitmap; false when its header does not
// describe a usable block.
bool copyBitmap(const SusieBitmap& in, Bitmap& out) {
  if (!in.pixels || in.width <= 0 || in.height <= 0 || in.width > kMaxSide ||
      in.height > kMaxSide || int64_t{in.width} * in.height > kMaxPixels)
    return false;
  if (in.bits_per_pixel != 24 && in.bits_per_pixel != 32) return false;
  const int64_t rowBytes = int64_t{in.width} * (in.bits_per_pixel / 8);
  if (in.stride < rowBytes) return false;
  out = Bitmap(in.width, in.height);
  const auto* base = static_cast<const uint8_t*>(in.pixels);
  for (int32_t y = 0; y < in.height; ++y) {
    const uint8_t* row = base + static_cast<size_t>(y) * static_cast<size_t>(in.stride);
    uint32_t* dst = out.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(in.width);
    if (in.bits_per_pixel == 32) {
      std::memcpy(dst, row, static_cast<size_t>(rowBytes));
      continue;
    }
    for (int32_t x = 0; x < in.width; ++x) {
      const uint8_t* p = row + 3 * x;
      dst[x] = 0xFF000000u | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }
  }
  return true;
}

class NativeDecoder final : public Susie_Decoder {
 public:
  NativeDecoder(Library library, const EntryPoints& entry)
      : library_(std::move(library)), entry_(entry) {}

  std::string info(int number) override {
    char buf[1024] = {};
    int n = entry_.getPluginInfo(number, buf, static_cast<int>(sizeof buf));
    buf[sizeof buf - 1] = '\0';
    if (n <= 0) return {};
    size_t len = std::min(static_cast<size_t>(n), std::strlen(buf));
    return Cp932_fromUtf8(std::string_view(buf, len));
  }

  bool isSupported(std::string_view path, std::span<const uint8_t, SUSIE_HEAD_SIZE> head) override {
    std::optional<std::string> os = Cp932_toOsPath(path);
    return os && entry_.isSupported(os->c_str(), head.data()) != 0;
  }

  int pictureInfo(std::string_view path, Susie_PictureInfo& info) override {
    std::optional<std::string> os = Cp932_toOsPath(path);
    if (!os) return SUSIE_ERR_FILE_READ;
    SusiePictureInfo pi{};
    int rc = entry_.getPictureInfo(os->c_str(), 0, 0, &pi);
    if (rc != SUSIE_OK) return rc;
    PluginBlock text(pi.info_text, entry_.release);
    info.width = pi.width;
    info.height = pi.height;
    info.depth = pi.colour_depth;
    return SUSIE_OK;
  }

  int picture(std::string_view path, std::shared_ptr<const Bitmap>& bitmap) override {
    std::optional<std::string> os = Cp932_toOsPath(path);
    if (!os) return SUSIE_ERR_FILE_READ;
    SusieBitmap bm{};
    int rc = entry_.getPicture(os->c_str(), 0, 0, &bm, nullptr, 0);
    if (rc != SUSIE_OK) return rc;
    PluginBlock pixels(bm.pixels, entry_.release);
    auto copy = std::make_shared<Bitmap>();
    if (!copyBitmap(bm, *copy)) return SUSIE_ERR_BROKEN_DATA;
    bitmap = std::move(copy);
    return SUSIE_OK;
  }

 private:
  Library library_;  // closed when the decoder goes
  EntryPoints entry_;
};

template <class Fn>
bool lookUp(void* handle, const char* name, Fn& fn, std::string& why) {
  fn = reinterpret_cast<Fn>(dlsym(handle, name));
  if (!fn) why = std::string("entry point missing: ") + name;
  return fn != nullptr;
}

}  // namespace

std::unique_ptr<Susie_Decoder> SusieNative_open(const std::string& osPath, std::string& why) {
  Library library(dlopen(osPath.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!library) {
    const char* err = dlerror();
    why = Cp932_fromUtf8(err ? err : "dlopen failed");
    return nullptr;
  }
  EntryPoints entry;
  void* h = library.get();
  if (!lookUp(h, "GetPluginInfo", entry.getPluginInfo, why) ||
      !lookUp(h, "IsSupported", entry.isSupported, why) ||
      !lookUp(h, "GetPictureInfo", entry.getPictureInfo, why) ||
      !lookUp(h, "GetPicture", entry.getPicture, why))
    return nullptr;
  entry.release = reinterpret_cast<SusieFreePluginMemoryFn>(dlsym(h, "FreePluginMemory"));
  if (!entry.release) entry.release = &std::free;
  return std::make_unique<NativeDecoder>(std::move(library), entry);
}
