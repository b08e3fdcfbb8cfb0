#include "core/susie/susie.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <list>
#include <mutex>
#include <optional>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/strx/codepage.h"
#include "core/susie/susie_native.h"

namespace {

// The process-wide list.  Only the current record holds a picture.
struct Registry {
  std::mutex mutex;
  std::list<Susie_Record> records;  // newest first; addresses stay put
  Susie_Record* current = nullptr;
};

Registry& registry() {
  static Registry r;
  return r;
}

// Lets go of the picture of the last decode.
void freeCurrent(Registry& r) {
  if (!r.current) return;
  r.current->bitmap.reset();
  r.current = nullptr;
}

// The first 2048 bytes of a file, zeros where the file is shorter or
// cannot be read (then no decoder is expected to take it).
std::array<uint8_t, SUSIE_HEAD_SIZE> readHead(std::string_view path) {
  std::array<uint8_t, SUSIE_HEAD_SIZE> head{};
  std::optional<std::string> os = Cp932_toOsPath(path);
  if (!os) return head;
  int fd = ::open(os->c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return head;
  size_t got = 0;
  while (got < head.size()) {
    ssize_t n = ::read(fd, head.data() + got, head.size() - got);
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  ::close(fd);
  return head;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return asciiLower(x) == asciiLower(y); });
}

// A trail byte is never '.', so the last dot starts the extension.
bool isPluginName(std::string_view name) {
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return false;
  std::string_view ext = name.substr(dot + 1);
  return equalsNoCase(ext, "so") || equalsNoCase(ext, "spi");
}

// ASCII case folded, ties by bytes: the order of the folder walkers.
bool nameLess(const std::string& a, const std::string& b) {
  auto folded = [](char x, char y) {
    return static_cast<unsigned char>(asciiLower(x)) < static_cast<unsigned char>(asciiLower(y));
  };
  if (std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), folded)) return true;
  if (std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), folded)) return false;
  return a < b;
}

// Paths (CP932) of the plug-in files directly in `folder`, sorted by name.
std::vector<std::string> pluginFiles(std::string_view folder) {
  std::vector<std::string> names;
  std::optional<std::string> osFolder = Cp932_toOsPath(folder);
  if (!osFolder) return names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(osFolder->c_str()), &closedir);
  if (!dir) return names;
  while (const dirent* e = readdir(dir.get())) {
    std::optional<std::string> name = Cp932_fromOsPath(e->d_name);
    if (!name || !isPluginName(*name)) continue;
    struct stat st {};
    std::string osFull = *osFolder + "/" + e->d_name;
    if (stat(osFull.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    names.push_back(std::move(*name));
  }
  std::sort(names.begin(), names.end(), nameLess);
  std::string prefix(folder);
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  for (std::string& n : names) n = prefix + n;
  return names;
}

}  // namespace

void Susie_register(std::unique_ptr<Susie_Decoder> decoder) {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.records.emplace_front();
  r.records.front().decoder = std::move(decoder);
}

void Susie_loadPlugin(std::string_view path) {
  std::string p(path);
  std::string why = "the file name cannot be given to the system";
  std::unique_ptr<Susie_Decoder> decoder;
  if (std::optional<std::string> os = Cp932_toOsPath(path)) decoder = SusieNative_open(*os, why);
  if (!decoder) {
    Errors_printf("%s: %s", p.c_str(), why.c_str());
    Errors_RAISE(Susie_Err_CannotLoadSPI, "プラグインがロードできません:%s", p.c_str());
  }
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  r.records.emplace_front();
  r.records.front().decoder = std::move(decoder);
  r.records.front().libraryPath = std::move(p);
}

int Susie_loadAll(std::string_view folder) {
  {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    if (r.current && !r.current->libraryPath.empty()) freeCurrent(r);
    r.records.remove_if([](const Susie_Record& rec) { return !rec.libraryPath.empty(); });
  }
  if (folder.empty()) return 0;
  int loaded = 0;
  for (const std::string& file : pluginFiles(folder)) {
    // A plug-in that does not load must not stop the start-up: skip it.
    Except_tryCatch([&] { Susie_loadPlugin(file); ++loaded; },
                    [&](const Errors_Msg& e) {
                      if (e.code != Susie_Err_CannotLoadSPI) Except_throw(e);
                      Errors_printf("%s", e.text);
                    });
  }
  return loaded;
}

Susie_Record& Susie_decode(std::string_view path) {
  const std::array<uint8_t, SUSIE_HEAD_SIZE> head = readHead(path);
  const std::string p(path);
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  auto found = std::find_if(r.records.begin(), r.records.end(), [&](Susie_Record& rec) {
    return rec.decoder->isSupported(path, head);
  });
  if (found == r.records.end())
    Errors_RAISE(Susie_Err_NotSupportImgType, "対応していない画像形式です:%s", p.c_str());
  Susie_Record& rec = *found;
  Susie_PictureInfo info;
  if (int rc = rec.decoder->pictureInfo(path, info))
    Errors_RAISE(Susie_Err_GetPictureInfo, "SPI_getPictureInfo エラー:%d", rc);
  freeCurrent(r);
  rec.bitmap.reset();
  rec.width = info.width;
  rec.height = info.height;
  rec.depth = info.depth;
  std::shared_ptr<const Bitmap> bitmap;
  int rc = rec.decoder->picture(path, bitmap);
  if (rc == 0 && (!bitmap || bitmap->empty())) rc = SUSIE_ERR_INTERNAL;
  if (rc != 0) Errors_RAISE(Susie_Err_GetPicture, "SPI_getPicture エラー:%d", rc);
  // The picture's own size wins over what the information said.
  rec.width = bitmap->width;
  rec.height = bitmap->height;
  rec.bitmap = std::move(bitmap);
  r.current = &rec;
  return rec;
}

Susie_Record* Susie_current() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.current;
}

void Susie_draw(const Susie_Record& record, Surface& surface) {
  std::shared_ptr<const Bitmap> bitmap = record.bitmap;
  if (bitmap) surface.drawBitmap(*bitmap, 0, 0);
}

void Susie_drawScaled(const Susie_Record& record, Surface& surface, int x, int y, int width,
                      int height) {
  std::shared_ptr<const Bitmap> bitmap = record.bitmap;
  if (bitmap && width > 0 && height > 0) surface.stretchBitmap(*bitmap, x, y, width, height, true);
}

void Susie_freeAll() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  freeCurrent(r);
  r.records.clear();
}

std::vector<std::string> Susie_decoderNames() {
  Registry& r = registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  std::vector<std::string> names;
  for (Susie_Record& rec : r.records) names.push_back(rec.decoder->info(1));
  return names;
}
