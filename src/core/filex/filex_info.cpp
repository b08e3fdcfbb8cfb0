#include "core/filex/filex_info.h"

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/errors/debug_trace.h"
#include "core/errors/errors.h"
#include "core/filex/filex_internal.h"
#include "core/filex/text_file.h"
#include "core/filex/filex_ospath.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"

using namespace filex_detail;

namespace {

constexpr size_t kMaxPath = 4095;

bool isSep(char c) { return c == '/' || c == '\\'; }

// Every lead byte is followed by a valid trail byte (0x40-0x7E, 0x80-0xFC).
bool isWellFormedSjis(std::string_view p) {
  for (size_t i = 0; i < p.size(); ++i) {
    if (p[i] == '\0') return false;
    if (!Cp932_isLead(p[i])) continue;
    if (i + 1 >= p.size()) return false;
    unsigned char t = static_cast<unsigned char>(p[i + 1]);
    if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    ++i;
  }
  return true;
}

// A component that is exactly "..".
bool hasDotDot(std::string_view p) {
  size_t start = 0;
  for (size_t i = 0; i <= p.size();) {
    if (i == p.size() || isSep(p[i])) {
      if (p.substr(start, i - start) == "..") return true;
      start = ++i;
    } else {
      i += Cp932_charLen(p, i);
    }
  }
  return false;
}

// "C:", "C:\" or "C:/".
bool isBareDrive(std::string_view p) {
  return StrX_isDrivePath(p) && (p.size() == 2 || (p.size() == 3 && isSep(p[2])));
}

// The path without one final separator (a lone "/" stays).
std::string_view withoutFinalSep(std::string_view p) {
  if (p.size() > 1 && isSep(p.back()) && !StrX_isTrailAt(p, p.size() - 1))
    p.remove_suffix(1);
  return p;
}

}  // namespace

bool FileX_exists(std::string_view path) {
  if (path.size() > kMaxPath || !isWellFormedSjis(path)) {
    std::string p(path);
    DebugTrace_printf("Error in the path. path=\"%s\"", p.c_str());
    Errors_RAISE(Errors_Unofficial, "error");
  }
  if (path.empty()) return false;
  if (isBareDrive(path)) return true;
  if (FileX_isForeignPath(path)) return false;
  if (hasDotDot(path)) {
    std::string abs;
    StrX_absoluteFromCurrentFolder(abs, path, kMaxPath + 1);
    abs = StrX_normalizePath(abs);
    if (hasDotDot(abs)) return false;
    return lstatPath(abs).has_value();
  }
  return lstatPath(path).has_value();
}

bool FileX_existsIgnoringFragment(std::string_view path) {
  if (FileX_exists(path)) return true;
  size_t nameStart = 0;
  for (size_t i = 0; i < path.size(); i += Cp932_charLen(path, i))
    if (isSep(path[i])) nameStart = i + 1;
  for (size_t i = nameStart; i < path.size(); i += Cp932_charLen(path, i))
    if (path[i] == '#' || path[i] == '?') return i > 0 && FileX_exists(path.substr(0, i));
  return false;
}

bool FileX_isFolder(std::string_view path) {
  if (isBareDrive(path)) return true;
  std::optional<struct stat> st = statPath(withoutFinalSep(path));
  return st && S_ISDIR(st->st_mode);
}

bool FileX_isFile(std::string_view path) {
  std::optional<struct stat> st = statPath(path);
  return st && S_ISREG(st->st_mode);
}

int64_t FileX_fileTime(std::string_view path) {
  std::optional<struct stat> st = statPath(path);
  if (!st) {
    std::string p(path);
    Errors_RAISE(FileX_Err_NotSupportUnicode, "getUpdate できません : %s", p.c_str());
  }
  return toNs(st->st_mtim);
}

int64_t FileX_fileSize(std::string_view path) {
  std::optional<struct stat> st = statPath(path);
  return st ? static_cast<int64_t>(st->st_size) : 0;
}

int FileX_compareTimes(std::string_view a, std::string_view b) {
  std::optional<struct stat> sa = statPath(a);
  std::optional<struct stat> sb = statPath(b);
  if (!sa && !sb) return 0;
  if (!sb) return 2;
  if (!sa) return -2;
  int64_t ta = toNs(sa->st_mtim);
  int64_t tb = toNs(sb->st_mtim);
  return ta > tb ? 1 : ta < tb ? -1 : 0;
}

int FileX_utf16Kind(std::string_view path) {
  FilePtr f = FileX_openOs(path, "rb");
  if (!f) return 0;
  unsigned char b[2];
  if (std::fread(b, 1, 2, f.get()) != 2) return 0;
  if (b[0] == 0xFF && b[1] == 0xFE) return 1;
  if (b[0] == 0xFE && b[1] == 0xFF) return 2;
  return 0;
}

bool FileX_isReadOnly(std::string_view path) {
  std::optional<struct stat> st = statPath(path);
  return st && isReadOnlyMode(st->st_mode);
}

void FileX_setReadOnly(std::string_view path, bool on) {
  std::optional<struct stat> st = statPath(path);
  if (!st) Errors_RAISE(Errors_Unofficial, "error");
  mode_t m = st->st_mode & 07777;
  m = on ? (m & ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH)) : (m | S_IWUSR);
  std::optional<std::string> os = FileX_osPath(path);
  ::chmod(os->c_str(), m);
}

std::string FileX_notePath(std::string_view path) {
  if (path.empty()) return {};
  std::string abs;
  if (path.front() == '/' || path.front() == '\\') {
    abs.assign(path);
  } else {
    StrX_absoluteFromCurrentFolder(abs, path, kMaxPath + 1);
  }
  // Doubled separators are one (a leading "//" too: this platform has no
  // server paths).
  std::string single;
  single.reserve(abs.size());
  for (size_t i = 0; i < abs.size(); ++i) {
    const char c = abs[i];
    if ((c == '/') && !single.empty() && single.back() == '/') continue;
    // A double-byte character is copied whole (its trail may be 0x5C).
    if (Cp932_isLead(static_cast<unsigned char>(c)) && i + 1 < abs.size()) {
      single += c;
      single += abs[++i];
      continue;
    }
    single += c;
  }
  return StrX_normalizePath(single);
}

bool FileX_sameFile(std::string_view a, std::string_view b) {
  if (a.empty() || b.empty()) return a.empty() && b.empty();
  const std::optional<std::string> osA = FileX_osPath(a), osB = FileX_osPath(b);
  struct stat sa {}, sb {};
  if (osA && osB && ::stat(osA->c_str(), &sa) == 0 && ::stat(osB->c_str(), &sb) == 0) {
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  }
  return StrX_pathEq(FileX_notePath(a), FileX_notePath(b));
}

namespace {

// The OS form of a normalised absolute path with the symbolic links of its
// longest existing part followed; the rest is appended as it is.
std::optional<std::string> resolvedOsPath(std::string_view notePath) {
  std::optional<std::string> os = FileX_osPath(notePath);
  if (!os) return std::nullopt;
  std::string head = *os, tail;
  for (;;) {
    char buf[PATH_MAX];
    if (::realpath(head.empty() ? "/" : head.c_str(), buf) != nullptr) {
      std::string r = buf;
      if (!tail.empty()) r += (r.size() > 1 ? "/" : "") + tail;
      return r;
    }
    const size_t slash = head.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    const std::string name = head.substr(slash + 1);
    tail = tail.empty() ? name : name + "/" + tail;
    head.resize(slash);
  }
}

}  // namespace

bool FileX_insideFolder(std::string_view path, std::string_view folder) {
  if (path.empty() || folder.empty()) return false;
  const std::optional<std::string> p = resolvedOsPath(FileX_notePath(path));
  const std::optional<std::string> f = resolvedOsPath(FileX_notePath(folder));
  if (!p || !f) return false;
  if (*f == "/") return p->size() > 1 && (*p)[0] == '/';
  return p->size() > f->size() + 1 && p->compare(0, f->size(), *f) == 0 && (*p)[f->size()] == '/';
}
