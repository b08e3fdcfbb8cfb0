#include "core/filex/filex_copy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_flags.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_ospath.h"
#include "core/nestfind/nestfind.h"

using namespace filex_detail;

namespace {

// The OS path made absolute against the current folder.
std::string absoluteOs(const std::string& os) {
  if (!os.empty() && os[0] == '/') return os;
  char buf[4096];
  if (!::getcwd(buf, sizeof buf)) return os;
  return std::string(buf) + "/" + os;
}

// Recreates a symbolic link at `dstOs` with the target of `srcOs`.
void copyLink(std::string_view dst, const std::string& srcOs, const std::string& dstOs) {
  std::vector<char> target(4096);
  ssize_t n = ::readlink(srcOs.c_str(), target.data(), target.size() - 1);
  if (n < 0) raiseWriteFailed(dst);
  ::unlink(dstOs.c_str());
  if (::symlink(std::string(target.data(), static_cast<size_t>(n)).c_str(), dstOs.c_str()) != 0)
    raiseWriteFailed(dst);
}

// `inner` is `outer` or lies below it (both existing, compared as real paths).
bool isInsideFolder(std::string_view inner, std::string_view outer) {
  std::optional<std::string> a = FileX_osPath(inner), b = FileX_osPath(outer);
  if (!a || !b) return false;
  char* ra = ::realpath(a->c_str(), nullptr);
  char* rb = ::realpath(b->c_str(), nullptr);
  std::string sa = ra ? ra : "", sb = rb ? rb : "";
  std::free(ra);
  std::free(rb);
  if (sa.empty() || sb.empty()) return false;
  return sa == sb || (sa.compare(0, sb.size(), sb) == 0 && sa.size() > sb.size() &&
                      (sb == "/" || sa[sb.size()] == '/'));
}

bool isFileCode(int32_t code) {
  return code >= FileX_Err_EOF && code <= FileX_Err_NotSupportUnicode;
}

}  // namespace

bool FileX_makeFolders(std::string_view path, bool isFile) {
  std::optional<std::string> os = FileX_osPath(path);
  if (!os) return false;
  std::string abs = absoluteOs(*os);
  if (isFile) {
    size_t cut = abs.rfind('/');
    abs.resize(cut == 0 ? 1 : cut);
  }
  for (size_t i = 1; i <= abs.size(); ++i) {
    if (i < abs.size() && abs[i] != '/') continue;
    std::string part = abs.substr(0, i);
    struct stat st;
    if (::stat(part.c_str(), &st) != 0) ::mkdir(part.c_str(), 0777);
  }
  struct stat st;
  return ::stat(abs.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileX_copyFile(std::string_view dst, std::string_view src) {
  bool ok = true;
  Except_tryCatch(
      [&] {
        FileX_makeFolders(dst, true);
        FileX_copyOverAtomically(dst, src, true, true);
      },
      [&](const Errors_Msg& e) {
        if (!isFileCode(e.code)) Except_throw(e);
        ok = false;
      });
  return ok;
}

void FileX_copyByContent(std::string_view dst, std::string_view src) {
  if (!statPath(src)) {
    std::string s(src);
    Errors_RAISE(FileX_Err_NotFindCopySrc, "コピー元が見つかりません %s", s.c_str());
  }
  FileX_makeFolders(dst, true);
  FileX_copyOverAtomically(dst, src, true, true);
}

void FileX_copyRange(std::FILE* dst, std::FILE* src, int64_t offset, int64_t end) {
  char buf[2048];
  if (std::fseek(src, static_cast<long>(offset), SEEK_SET) != 0) return;
  int64_t left = end < 0 ? INT64_MAX : end - offset;
  while (left > 0) {
    size_t want = left < static_cast<int64_t>(sizeof buf) ? static_cast<size_t>(left) : sizeof buf;
    size_t n = std::fread(buf, 1, want, src);
    if (n == 0) break;
    if (std::fwrite(buf, 1, n, dst) != n) break;
    left -= static_cast<int64_t>(n);
    if (n < want) break;
  }
  if (std::ferror(dst) || std::fflush(dst) != 0) {
    FileX_setWriteFailed(true);
    Errors_RAISE(FileX_Err_CannotWrite, "書きこみに失敗しました。");
  }
}

void FileX_copyFolder(std::string_view dst, std::string_view src) {
  std::optional<struct stat> d = statPath(dst);
  if (d && !S_ISDIR(d->st_mode)) raiseWriteFailed(dst);
  FileX_makeFolders(dst, false);
  if (isInsideFolder(dst, src)) Errors_RAISE(Errors_Unofficial, "error");  // would never end
  std::string base(dst);
  if (!base.empty() && base.back() != '/') base.push_back('/');
  NestFindGrow walk;
  walk.open(src, true);
  while (walk.next()) {
    std::string target = base + walk.relativePath();
    std::string from = walk.path();
    std::optional<struct stat> st = lstatPath(from);
    if (!st) continue;
    if (S_ISDIR(st->st_mode)) {
      FileX_makeFolders(target, false);
    } else if (S_ISLNK(st->st_mode)) {
      FileX_makeFolders(target, true);
      std::optional<std::string> fromOs = FileX_osPath(from);
      std::optional<std::string> toOs = FileX_osPath(target);
      if (!fromOs || !toOs) raiseWriteFailed(target);
      copyLink(target, *fromOs, *toOs);
    } else {
      FileX_copyByContent(target, from);
    }
  }
}

void FileX_move(std::string_view dst, std::string_view src) {
  FileX_setWriteFailed(false);
  std::optional<std::string> srcOs = FileX_osPath(src);
  std::optional<std::string> dstOs = FileX_osPath(dst);
  if (srcOs && dstOs && ::rename(srcOs->c_str(), dstOs->c_str()) == 0) return;
  std::optional<struct stat> st = lstatPath(src);
  if (st && S_ISDIR(st->st_mode)) {
    FileX_copyFolder(dst, src);  // a failed copy raises before the delete
    if (!FileX_writeFailed()) FileX_deleteTree(src);
    return;
  }
  FileX_copyByContent(dst, src);
  if (::unlink(srcOs->c_str()) != 0) {
    std::string s(src);
    Errors_RAISE(FileX_Err_AccessDenied, "%s が削除できません", s.c_str());
  }
}

void FileX_moveWithSystemCopy(std::string_view dst, std::string_view src) {
  std::optional<std::string> srcOs = FileX_osPath(src);
  std::optional<std::string> dstOs = FileX_osPath(dst);
  if (srcOs && dstOs && ::rename(srcOs->c_str(), dstOs->c_str()) == 0) return;
  std::string s(src), d(dst);
  if (!srcOs || !FileX_copyFile(dst, src))
    Errors_RAISE(FileX_Err_AccessDenied, "%s が %s にコピーできません", s.c_str(), d.c_str());
  if (::unlink(srcOs->c_str()) != 0)
    Errors_RAISE(FileX_Err_AccessDenied, "%s が削除できません", s.c_str());
}
