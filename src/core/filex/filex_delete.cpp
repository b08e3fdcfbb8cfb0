#include "core/filex/filex_delete.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "core/errors/errors.h"
#include "core/filex/filex_internal.h"
#include "core/filex/filex_ospath.h"
#include "core/nestfind/nestfind.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_search.h"

using namespace filex_detail;

namespace {

std::optional<std::string> realPath(const std::string& os) {
  char* r = ::realpath(os.c_str(), nullptr);
  if (!r) return std::nullopt;
  std::string s(r);
  std::free(r);
  return s;
}

bool isInside(const std::string& path, const std::string& folder) {
  return path == folder ||
         (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
          (folder == "/" || path[folder.size()] == '/'));
}

bool isSystemFolder(const std::string& real) {
  if (real == "/") return true;
  static const char* const kFolders[] = {"/bin", "/boot", "/dev", "/etc", "/proc",
                                         "/sbin", "/sys",  "/usr", "/var"};
  for (const char* f : kFolders)
    if (real == f) return true;
  return real.rfind("/lib", 0) == 0 && real.find('/', 1) == std::string::npos;
}

// The real path is protected: a system folder, $HOME or a folder above it.
bool isProtectedReal(const std::string& real) {
  if (isSystemFolder(real)) return true;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return false;
  std::optional<std::string> realHome = realPath(home);
  return realHome && isInside(*realHome, real);
}

}  // namespace

bool FileX_isProtectedFolder(std::string_view folder) {
  std::optional<std::string> os = FileX_osPath(folder);
  if (!os) return folder.empty();
  if (isProtectedReal(*os)) return true;
  std::optional<std::string> real = realPath(*os);
  return real && isProtectedReal(*real);
}

bool FileX_deleteTree(std::string_view folder) {
  if (FileX_isProtectedFolder(folder)) Errors_RAISE(Errors_Unofficial, "error");
  std::optional<std::string> os = FileX_osPath(folder);
  struct stat st;
  if (!os || ::lstat(os->c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return ::unlink(os->c_str()) == 0;  // a link or a file
  std::optional<std::string> real = realPath(*os);
  std::optional<std::string> cwd = realPath(".");
  if (real && cwd && isInside(*cwd, *real)) {
    std::string up = real->substr(0, real->rfind('/'));
    if (::chdir(up.empty() ? "/" : up.c_str()) != 0) return false;
  }
  NestFindGrow walk;
  walk.open(folder, true);
  while (walk.next()) {
    std::optional<std::string> p = FileX_osPath(walk.path());
    if (!p) continue;
    if (walk.isFolder()) {
      ::rmdir(p->c_str());
    } else {
      ::unlink(p->c_str());
    }
  }
  walk.close();
  ::rmdir(os->c_str());
  return ::lstat(os->c_str(), &st) != 0;
}

int FileX_deleteFiles(std::string_view pattern) {
  std::optional<std::string> os = FileX_osPath(pattern);
  if (!os) return 0;
  size_t cut = os->rfind('/');
  std::string folder = cut == std::string::npos ? "." : cut == 0 ? "/" : os->substr(0, cut);
  std::optional<std::string> namePattern =
      Cp932_fromOsPath(cut == std::string::npos ? *os : os->substr(cut + 1));
  if (!namePattern) return 0;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) return 0;
  int count = 0;
  while (struct dirent* e = ::readdir(dir.get())) {
    std::string name = e->d_name;
    std::optional<std::string> cpName = Cp932_fromOsPath(name);
    if (!cpName || !StrX_wildcardMatch(*namePattern, *cpName)) continue;
    std::string full = folder + "/" + name;
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    if (::unlink(full.c_str()) == 0) ++count;
  }
  return count;
}

bool FileX_deleteFile(std::string_view path) {
  std::optional<std::string> os = FileX_osPath(path);
  return os && ::unlink(os->c_str()) == 0;
}
