#include "core/filex/filex_open.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/errors/errors.h"
#include "core/filex/filex_flags.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_ospath.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"

namespace filex_detail {

bool Fd::close() {
  if (fd_ < 0) return true;
  int r = ::close(fd_);
  fd_ = -1;
  return r == 0;
}

void Fd::reset() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

std::optional<struct stat> lstatPath(std::string_view p) {
  std::optional<std::string> os = FileX_osPath(p);
  struct stat st;
  if (!os || ::lstat(os->c_str(), &st) != 0) return std::nullopt;
  return st;
}

std::optional<struct stat> statPath(std::string_view p) {
  std::optional<std::string> os = FileX_osPath(p);
  struct stat st;
  if (!os || ::stat(os->c_str(), &st) != 0) return std::nullopt;
  return st;
}

bool writeAll(int fd, const void* data, size_t n) {
  FileX_WriteFn fn = FileX_writeFunction();
  const char* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t w = fn(fd, p, n);
    if (w < 0 && errno == EINTR) continue;
    if (w <= 0) return false;
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

void raiseWriteFailed(std::string_view p) {
  FileX_setWriteFailed(true);
  std::string s(p);
  Errors_RAISE(FileX_Err_CannotWrite, "%s の書きこみに失敗しました。", s.c_str());
}

}  // namespace filex_detail

using namespace filex_detail;

void FileX_raiseOpenError(std::string_view path, bool writing, int err) {
  std::string p(path);
  std::string os = Errors_osErrorText(err);
  if (writing) {
    std::string parent = StrX_parentFolder(p);
    if (!parent.empty() && !FileX_isFolder(parent))
      Errors_RAISE(FileX_Err_CannotWriteOpen,
                   "ファイルを格納するフォルダが無いので、ファイル \"%s\" が書きこめません\r\nOS=%s",
                   p.c_str(), os.c_str());
    Errors_RAISE(FileX_Err_CannotWriteOpen,
                 "ファイル \"%s\" が書きこめません(読み込み専用属性が付いているか、フォルダです）\r\nOS=%s",
                 p.c_str(), os.c_str());
  }
  std::string cwd = StrX_currentFolderOrEmpty();
  if (lstatPath(p))
    Errors_RAISE(FileX_Err_CannotReadOpen, "ファイル \"%s\" が開けません\r\nカレント＝%s\r\nOS=%s",
                 p.c_str(), cwd.c_str(), os.c_str());
  Errors_RAISE(FileX_Err_CannotReadOpen, "ファイル \"%s\" が見つかりません\r\nカレント＝%s\r\nOS=%s",
               p.c_str(), cwd.c_str(), os.c_str());
}

FilePtr FileX_open(std::string_view path, const char* mode) {
  std::string p(path);
  if (p == "\\\"") p = "\\ ";
  bool writing = std::strpbrk(mode, "wa+") != nullptr;
  if (writing) {
    // Root may write anything: the read-only rule is checked by hand.
    std::optional<struct stat> st = statPath(p);
    if (st && S_ISDIR(st->st_mode)) FileX_raiseOpenError(p, true, EISDIR);
    if (st && isReadOnlyMode(st->st_mode)) FileX_raiseOpenError(p, true, EACCES);
  } else if (std::optional<struct stat> st = statPath(p); st && S_ISDIR(st->st_mode)) {
    // A folder opens here but is no file to read: it would read as empty.
    FileX_raiseOpenError(p, false, EISDIR);
  }
  FilePtr f = FileX_openOs(p, mode);
  if (!f) FileX_raiseOpenError(p, writing, errno);
  return f;
}

size_t FileX_readAll(std::string_view path, std::string& dst, size_t size) {
  FilePtr f = FileX_open(path, "rb");
  dst.assign(size, '\0');
  size_t n = std::fread(dst.data(), 1, size, f.get());
  dst.resize(n);
  return n;
}

std::string FileX_readWhole(std::string_view path) {
  FilePtr f = FileX_open(path, "rb");
  std::string out;
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) out.append(buf, n);
  return out;
}

std::string FileX_readN(std::FILE* f, size_t n) {
  std::string out(n, '\0');
  out.resize(std::fread(out.data(), 1, n, f));
  return out;
}

void FileX_writeN(std::FILE* f, std::string_view data) {
  if (std::fwrite(data.data(), 1, data.size(), f) != data.size()) {
    FileX_setWriteFailed(true);
    Errors_RAISE(FileX_Err_CannotWrite, "書きこみに失敗しました。");
  }
}

void FileX_writeWhole(std::string_view path, std::string_view data) {
  FilePtr f = FileX_open(path, "wb");
  bool ok = std::fwrite(data.data(), 1, data.size(), f.get()) == data.size();
  if (std::fclose(f.release()) != 0) ok = false;
  if (!ok) raiseWriteFailed(path);
}
