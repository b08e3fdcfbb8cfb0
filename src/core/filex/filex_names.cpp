#include "core/filex/filex_names.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/filex/filex_info.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_open.h"
#include "core/filex/filex_ospath.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"

using namespace filex_detail;

std::string FileX_tempFolder() {
  const char* env = std::getenv("TMPDIR");
  std::string dir = "/tmp";
  if (env && *env) {
    std::optional<std::string> cp = Cp932_fromOsPath(env);
    if (cp) dir = *cp;
  }
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  return dir;
}

std::string FileX_temporaryName(std::string_view prefix) {
  std::string path = FileX_tempFolder() + "/" + std::string(prefix) + "XXXXXX";
  std::optional<std::string> os = FileX_osPath(path);
  if (!os) FileX_raiseOpenError(path, true, ENOENT);
  int fd = ::mkstemp(os->data());
  if (fd < 0) FileX_raiseOpenError(path, true, errno);
  ::close(fd);
  std::optional<std::string> cp = Cp932_fromOsPath(*os);
  return cp ? *cp : path;
}

std::string FileX_uniqueSavingName(std::string_view path) {
  std::string folder = FileX_isFolder(path) ? std::string(path) : StrX_parentFolder(path);
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  for (int n = 1;; ++n) {
    std::string name = folder + "saving-" + std::to_string(n);
    std::optional<std::string> os = FileX_osPath(name);
    if (!os) FileX_raiseOpenError(name, true, ENOENT);
    int fd = ::open(os->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      return name;
    }
    if (errno != EEXIST) FileX_raiseOpenError(name, true, errno);
  }
}

std::string FileX_uniqueNoteName(std::string_view folder, std::string_view prefix) {
  std::string base = folder.empty() ? FileX_tempFolder() + "/" : std::string(folder);
  for (int n = 1;; ++n) {
    std::string name = base + std::string(prefix) + std::to_string(n) + ".svg";
    if (!lstatPath(name)) return name;
  }
}

namespace {

// The image kind told by the first bytes ("" when unknown).
const char* imageExtension(std::string_view head) {
  if (head.substr(0, 3) == "GIF") return "gif";
  if (head.size() >= 4 && head.substr(1, 3) == "PNG") return "png";
  if (head.size() >= 10 && head.substr(6, 4) == "JFIF") return "jpg";
  return "";
}

}  // namespace

std::string FileX_imageKind(std::string_view path) {
  FilePtr f = FileX_openOs(path, "rb");
  if (!f) return {};
  char head[16];
  const size_t n = std::fread(head, 1, sizeof head, f.get());
  return imageExtension(std::string_view(head, n));
}

bool FileX_fixImageExtension(std::string& path) {
  const std::string kind = FileX_imageKind(path);
  const char* ext = kind.c_str();
  if (!*ext) return false;
  if (StrX_equalsNoCase(StrX_extension(path), ext)) return true;
  std::string target = path;
  if (!StrX_changeExtension(target, ext, target.size() + 8)) return false;
  std::string freeName = target;
  for (int k = 2; lstatPath(freeName); ++k) freeName = StrX_numberedName(target, k);
  std::optional<std::string> from = FileX_osPath(path);
  std::optional<std::string> to = FileX_osPath(freeName);
  if (!from || !to || ::rename(from->c_str(), to->c_str()) != 0) return false;
  path = freeName;
  return true;
}
