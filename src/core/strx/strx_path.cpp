#include "core/strx/strx_path.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

constexpr size_t npos = std::string_view::npos;

bool isSep(char c) { return c == '\\' || c == '/'; }

// First position of `c` (an ASCII byte) that is not a trail byte.
size_t findChar(std::string_view s, char c) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (s[i] == c) return i;
  }
  return npos;
}

size_t findFirstSep(std::string_view s) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (isSep(s[i])) return i;
  }
  return npos;
}

// Last separator of s[0, end) that is not a trail byte.
size_t findLastSep(std::string_view s, size_t end) {
  size_t last = npos;
  for (size_t i = 0; i < end; i += Cp932_charLen(s, i)) {
    if (isSep(s[i])) last = i;
  }
  return last;
}

// Whether the last character of s is a separator (a trail byte is not).
bool endsWithSep(std::string_view s) {
  size_t last = npos;
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) last = i;
  return last != npos && isSep(s[last]);
}

bool hasBackslashSep(std::string_view s) { return findChar(s, '\\') != npos; }
bool usesSlash(std::string_view s) { return s.find('/') != npos; }

struct Split {
  std::string_view path;
  std::string_view fragment;  // from the '#' on, or empty
};

Split splitFragment(std::string_view s) {
  size_t hash = findChar(s, '#');
  if (hash == npos) return {s, {}};
  return {s.substr(0, hash), s.substr(hash)};
}

// "name:" at the start, the name being a drive letter or a URL scheme
// (ASCII letter, then letters, digits, '+', '-', '.').
bool hasSchemePrefix(std::string_view s) {
  if (s.empty() || !StrX_isAsciiAlpha(s[0])) return false;
  for (size_t i = 1; i < s.size(); ++i) {
    char c = s[i];
    if (c == ':') return true;
    if (!StrX_isAsciiAlpha(c) && !StrX_isAsciiDigit(c) && c != '+' && c != '-' && c != '.') return false;
  }
  return false;
}

bool startsWithTwoSeps(std::string_view s) { return s.size() >= 2 && isSep(s[0]) && isSep(s[1]); }

// Length of the prefix that normalising leaves alone: "X:" (+ separator),
// "\\server\", "scheme://host/" or a single leading separator.
size_t rootLength(std::string_view s) {
  if (StrX_isDrivePath(s)) return (s.size() > 2 && isSep(s[2])) ? 3 : 2;
  if (startsWithTwoSeps(s)) {
    size_t next = findFirstSep(s.substr(2));
    return next == npos ? s.size() : 2 + next + 1;
  }
  if (StrX_isUrl(s)) {
    size_t host = s.find("://") + 3;
    size_t next = findFirstSep(s.substr(host));
    return next == npos ? s.size() : host + next + 1;
  }
  if (!s.empty() && isSep(s[0])) return 1;
  return 0;
}

// Roots compare with separators equal and ASCII case ignored (drive letters
// and server names).
bool rootsEqual(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size();) {
    size_t n = Cp932_charLen(a, i);
    if (n == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (!(isSep(a[i]) && isSep(b[i])) && StrX_toLowerAscii(a[i]) != StrX_toLowerAscii(b[i])) {
      return false;
    }
    i += n;
  }
  return true;
}

struct Component {
  size_t pos;
  std::string_view name;
  char sep;  // the separator after the name, or 0 at the end
};

// The components of s[from, end): names between separators.
std::vector<Component> components(std::string_view s, size_t from) {
  std::vector<Component> out;
  size_t start = from;
  size_t i = from;
  while (i < s.size()) {
    if (isSep(s[i])) {
      out.push_back({start, s.substr(start, i - start), s[i]});
      start = ++i;
    } else {
      i += Cp932_charLen(s, i);
    }
  }
  if (start < s.size()) out.push_back({start, s.substr(start), 0});
  return out;
}

// Compares s[0, n) of a and b under the rules of StrX_pathEq; false when n
// falls inside a double-byte character of a.
bool pathRangeEq(std::string_view a, std::string_view b, size_t n) {
  bool drive = n >= 2 && StrX_isDrivePath(a) && StrX_isDrivePath(b);
  for (size_t i = 0; i < n;) {
    size_t len = Cp932_charLen(a, i);
    if (i + len > n) return false;
    if (len == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (isSep(a[i])) {
      if (!isSep(b[i])) return false;
    } else if (i == 0 && drive) {
      if (StrX_toLowerAscii(a[0]) != StrX_toLowerAscii(b[0])) return false;
    } else if (a[i] != b[i]) {
      return false;
    }
    i += len;
  }
  return true;
}

// Position of the '.' that starts the extension of s[0, end), or npos.
size_t extensionDot(std::string_view s, size_t end) {
  size_t lastSep = findLastSep(s, end);
  size_t from = lastSep == npos ? 0 : lastSep + 1;
  size_t dot = npos;
  for (size_t i = from; i < end; i += Cp932_charLen(s, i)) {
    if (s[i] == '.') dot = i;
  }
  return dot;
}

// The file-name part of s: [begin, end) without a final separator.
std::string_view fileNameView(std::string_view s) {
  size_t end = s.size();
  if (endsWithSep(s)) --end;
  size_t sep = findLastSep(s, end);
  size_t begin = sep == npos ? 0 : sep + 1;
  return s.substr(begin, end - begin);
}

std::string_view extensionView(std::string_view s) {
  std::string_view name = fileNameView(s);
  size_t dot = findChar(name, '.');
  if (dot == npos) return {};
  size_t last = dot;
  for (size_t i = dot; i < name.size(); i += Cp932_charLen(name, i)) {
    if (name[i] == '.') last = i;
  }
  return name.substr(last + 1);
}

[[noreturn]] void raiseBufOver(const std::string& dst) {
  Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", (const void*)&dst);
}

// Stores `text` into dst, cut to size-1 bytes; raises 3183 after a cut.
void storeBounded(std::string& dst, std::string text, size_t size) {
  size_t limit = size > 0 ? size - 1 : 0;
  bool cut = text.size() > limit;
  if (cut) text.resize(Cp932_cutLength(text, limit));
  dst = std::move(text);
  if (cut) raiseBufOver(dst);
}

// The folder used as base for "absolute from the program folder".
std::string programFolder() {
  const std::string& program = Errors_programPath();
  return StrX_parentFolder(program.empty() ? Errors_selfProgramPath() : program);
}

// The OS name of the current folder; false (errno kept) when it cannot be read.
bool osCurrentFolder(std::string& buf) {
  buf.assign(256, '\0');
  while (getcwd(buf.data(), buf.size()) == nullptr) {
    if (errno != ERANGE) return false;
    buf.resize(buf.size() * 2);
  }
  buf.resize(buf.find('\0'));
  return true;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

// The one entry of osDir whose CP932 name equals `name` ignoring ASCII case;
// nothing when there is none or more than one.
std::optional<std::string> uniqueCaseMatch(const std::string& osDir, std::string_view name,
                                           std::string& osMatch) {
  std::unique_ptr<DIR, DirCloser> dir(opendir(osDir.c_str()));
  if (!dir) return std::nullopt;
  std::optional<std::string> found;
  while (dirent* e = readdir(dir.get())) {
    std::optional<std::string> cp = Cp932_fromOsPath(e->d_name);
    if (!cp || !StrX_equalsNoCase(*cp, name)) continue;
    if (found) return std::nullopt;
    found = std::move(cp);
    osMatch = e->d_name;
  }
  return found;
}

}  // namespace

// --- comparisons ---------------------------------------------------------

bool StrX_pathEq(std::string_view a, std::string_view b) {
  return a.size() == b.size() && pathRangeEq(a, b, a.size());
}

bool StrX_pathHasPrefix(std::string_view path, std::string_view prefix) {
  return prefix.size() <= path.size() && pathRangeEq(path, prefix, prefix.size());
}

bool StrX_pathEqWithoutFragment(std::string_view a, std::string_view b) {
  return StrX_pathEq(splitFragment(a).path, splitFragment(b).path);
}

// --- classification ------------------------------------------------------

bool StrX_isAbsolutePath(std::string_view path) {
  size_t sep = findFirstSep(path);
  return sep != npos && (sep == 0 || path[sep - 1] == ':');
}

bool StrX_isDrivePath(std::string_view path) {
  return path.size() >= 2 && StrX_isAsciiAlpha(path[0]) && path[1] == ':';
}

bool StrX_isUrl(std::string_view path) {
  if (startsWithTwoSeps(path) || StrX_isDrivePath(path)) return false;
  size_t mark = path.find("://");
  if (mark == npos || mark == 0) return false;
  std::string_view scheme = path.substr(0, mark);
  // The scheme holds no separator (nor a fragment mark).
  return findFirstSep(scheme) == npos && findChar(scheme, '#') == npos;
}

bool StrX_isNoteFile(std::string_view path) {
  return StrX_equalsNoCase(extensionView(splitFragment(path).path), "svg");
}

// --- pieces --------------------------------------------------------------

std::string StrX_fileName(std::string_view path) { return std::string(fileNameView(path)); }

std::string StrX_parentFolder(std::string_view path) {
  bool drive = StrX_isDrivePath(path);
  bool server = startsWithTwoSeps(path);
  // A bare root is its own parent.
  if ((path.size() == 1 && isSep(path[0])) || (server && path.size() == 2) ||
      (drive && path.size() == 3 && isSep(path[2]))) {
    return std::string(path);
  }
  size_t end = path.size();
  if (endsWithSep(path)) --end;
  size_t sep = findLastSep(path, end);
  if (sep == npos) return {};
  if (sep == 0) return std::string(path.substr(0, 1));
  if (sep == 1 && server) return std::string(path.substr(0, 2));
  if (sep == 2 && drive) return std::string(path.substr(0, 3));
  return std::string(path.substr(0, sep));
}

std::string StrX_extension(std::string_view path) { return std::string(extensionView(path)); }

std::string StrX_extensionWithoutFragment(std::string_view path) {
  return std::string(extensionView(splitFragment(path).path));
}

std::string StrX_fragment(std::string_view path) {
  std::string_view frag = splitFragment(path).fragment;
  return frag.empty() ? std::string() : std::string(frag.substr(1));
}

// --- rewriting -----------------------------------------------------------

std::string StrX_toSlashPath(std::string_view path) {
  std::string out(path);
  for (size_t i = 0; i < out.size(); i += Cp932_charLen(out, i)) {
    if (out[i] == '\\') out[i] = '/';
  }
  return out;
}

std::string StrX_fileUrl(std::string_view path) {
  if (StrX_isUrl(path)) return std::string(path);
  std::string out;
  std::string_view rest = path;
  if (startsWithTwoSeps(path)) {
    out = "file:";
  } else if (StrX_isDrivePath(path)) {
    out = "file:///";
    out += path[0];
    out += '|';
    rest = path.substr(2);
  } else if (!path.empty() && isSep(path[0])) {
    out = "file://";
  }
  for (size_t i = 0; i < rest.size();) {
    size_t n = Cp932_charLen(rest, i);
    if (n == 2) {
      out.append(rest.substr(i, 2));
    } else if (rest[i] == '\\') {
      out += '/';
    } else if (rest[i] == ' ') {
      out += "%20";
    } else {
      out += rest[i];
    }
    i += n;
  }
  return out;
}

std::string StrX_normalizePath(std::string_view path) {
  Split split = splitFragment(path);
  std::string_view p = split.path;
  size_t root = rootLength(p);
  std::vector<Component> kept;
  for (const Component& c : components(p, root)) {
    if (c.name == "." && c.sep != 0) continue;  // ".\" piece
    if (c.name == ".." && !kept.empty() && kept.back().name != "..") {
      kept.pop_back();
      // A final "\.." leaves the folder before it without a separator.
      if (c.sep == 0 && !kept.empty()) kept.back().sep = 0;
      continue;
    }
    kept.push_back(c);
  }
  std::string out(p.substr(0, root));
  for (const Component& c : kept) {
    out.append(c.name);
    if (c.sep != 0) out += c.sep;
  }
  out.append(split.fragment);
  return out;
}

bool StrX_changeExtension(std::string& path, std::string_view ext, size_t size) {
  size_t dot = extensionDot(path, path.size());
  std::string out = path.substr(0, dot == npos ? path.size() : dot);
  if (!ext.empty()) {
    out += '.';
    out.append(ext);
  }
  if (size == 0 || out.size() > size - 1) return false;
  path = std::move(out);
  return true;
}

void StrX_setHtmlExtension(std::string& path, size_t size) {
  Split split = splitFragment(path);
  size_t dot = extensionDot(split.path, split.path.size());
  std::string out(split.path.substr(0, dot == npos ? split.path.size() : dot));
  out += ".html";
  out.append(split.fragment);
  if (size == 0 || out.size() > size - 1) Errors_RAISE(Errors_Unofficial, "error");
  path = std::move(out);
}

std::string StrX_numberedName(std::string_view path, int n) {
  Split split = splitFragment(path);
  size_t dot = extensionDot(split.path, split.path.size());
  size_t at = dot == npos ? split.path.size() : dot;
  char number[24];
  std::snprintf(number, sizeof number, " (%d)", n);
  std::string out(split.path.substr(0, at));
  out += number;
  out.append(split.path.substr(at));
  out.append(split.fragment);
  return out;
}

std::string StrX_joinPath(std::string_view folder, std::string_view name) {
  if (StrX_isDrivePath(name) || folder.empty()) return std::string(name);
  std::string out(folder);
  if (!endsWithSep(folder)) {
    out += (hasBackslashSep(folder) && !usesSlash(folder)) ? '\\' : '/';
  }
  out.append(name);
  return out;
}

void StrX_joinPath(std::string& dst, std::string_view folder, std::string_view name,
                   size_t size) {
  storeBounded(dst, StrX_joinPath(folder, name), size);
}

// --- absolute and relative -----------------------------------------------

void StrX_makeAbsolute(std::string& dst, std::string_view path, std::string_view baseFolder,
                       size_t size) {
  if (StrX_isAbsolutePath(path) || hasSchemePrefix(path) || baseFolder.empty()) {
    storeBounded(dst, std::string(path), size);
    return;
  }
  Split split = splitFragment(path);
  bool slash = usesSlash(baseFolder) || !hasBackslashSep(baseFolder);
  std::string joined(baseFolder);
  if (!endsWithSep(baseFolder)) joined += slash ? '/' : '\\';
  joined += slash ? StrX_toSlashPath(split.path) : std::string(split.path);
  std::string out = StrX_normalizePath(joined);
  // A final separator + "." goes; within the root only the "." goes.
  if (out.size() >= 2 && out.back() == '.' &&
      endsWithSep(std::string_view(out).substr(0, out.size() - 1))) {
    out.resize(out.size() - 1 > rootLength(out) ? out.size() - 2 : out.size() - 1);
  }
  out.append(split.fragment);
  storeBounded(dst, std::move(out), size);
}

std::string StrX_currentFolder() {
  std::string buf;
  if (!osCurrentFolder(buf)) Errors_RAISE_ERRNO(".");
  std::optional<std::string> cp = Cp932_fromOsPath(buf);
  if (!cp) Errors_RAISE(WinX_Err_WrongPath, "%s", Cp932_fromUtf8(buf).c_str());
  return *cp;
}

std::string StrX_currentFolderOrEmpty() {
  std::string buf;
  if (!osCurrentFolder(buf)) return {};
  return Cp932_fromOsPath(buf).value_or(std::string());
}

void StrX_absoluteFromCurrentFolder(std::string& dst, std::string_view path, size_t size) {
  // An absolute path needs no current folder (code page 932 may not name it).
  std::string base = StrX_isAbsolutePath(path) || hasSchemePrefix(path) ? std::string()
                                                                        : StrX_currentFolder();
  StrX_makeAbsolute(dst, path, base, size);
}

void StrX_absoluteFromProgramFolder(std::string& dst, std::string_view path, size_t size) {
  std::string base = programFolder();
  StrX_makeAbsolute(dst, path, base, size);
}

void StrX_absoluteFromFileFolder(std::string& dst, std::string_view path, std::string_view file,
                                 size_t size) {
  std::string base = StrX_parentFolder(splitFragment(file).path);
  StrX_makeAbsolute(dst, path, base, size);
}

std::string StrX_makeRelative(std::string_view path, std::string_view baseFolder) {
  Split split = splitFragment(path);
  std::string_view p = split.path;
  if (StrX_isUrl(p) || !StrX_isAbsolutePath(p)) return std::string(path);
  size_t rootP = rootLength(p);
  size_t rootB = rootLength(baseFolder);
  if (rootP == 0 || !rootsEqual(p.substr(0, rootP), baseFolder.substr(0, rootB))) {
    return std::string(path);
  }
  std::vector<Component> cp = components(p, rootP);
  std::vector<Component> cb = components(baseFolder, rootB);
  std::erase_if(cp, [](const Component& c) { return c.name.empty(); });
  std::erase_if(cb, [](const Component& c) { return c.name.empty(); });
  size_t common = 0;
  while (common < cp.size() && common < cb.size() &&
         StrX_pathEq(cp[common].name, cb[common].name)) {
    ++common;
  }
  if (common == cp.size() && common == cb.size()) {
    std::string same = ".";
    same += split.fragment;
    return same;
  }
  const char* up = usesSlash(p) ? "../" : "..\\";
  std::string out;
  for (size_t i = common; i < cb.size(); ++i) out += up;
  if (common < cp.size()) {
    out.append(p.substr(cp[common].pos));
  } else {
    out.pop_back();  // "..\.." without a final separator
  }
  out.append(split.fragment);
  return out;
}

std::string StrX_makeRelativeToFile(std::string_view path, std::string_view file) {
  Split target = splitFragment(path);
  std::string_view filePath = splitFragment(file).path;
  if (!target.fragment.empty() && StrX_pathEq(target.path, filePath)) {
    return std::string(target.fragment);
  }
  return StrX_makeRelative(path, StrX_parentFolder(filePath));
}

void StrX_resolveLink(std::string& dst, std::string_view link, std::string_view file,
                      size_t size) {
  if (!link.empty() && link[0] == '#') {
    std::string out(splitFragment(file).path);
    out.append(link);
    storeBounded(dst, std::move(out), size);
    return;
  }
  StrX_absoluteFromFileFolder(dst, link, file, size);
}

// --- the disk ------------------------------------------------------------

void StrX_realCase(std::string& path) {
  std::string_view p = splitFragment(path).path;
  if (p.empty() || StrX_isDrivePath(p) || startsWithTwoSeps(p) || StrX_isUrl(p)) return;
  bool rooted = isSep(p[0]);
  std::string osDir = rooted ? "" : ".";
  std::string result = path;
  std::string osName;
  std::string osMatch;
  struct stat st;
  for (const Component& c : components(p, rooted ? 1 : 0)) {
    if (c.name.empty()) continue;
    std::optional<std::string> os = Cp932_toOsPath(c.name);
    if (!os) break;
    osName = osDir + "/" + *os;
    if (c.name == "." || c.name == ".." || lstat(osName.c_str(), &st) == 0) {
      osDir = std::move(osName);
      continue;
    }
    std::optional<std::string> match = uniqueCaseMatch(osDir.empty() ? "/" : osDir, c.name, osMatch);
    if (!match) break;
    result.replace(c.pos, c.name.size(), *match);
    osDir += "/" + osMatch;
  }
  path = std::move(result);
}
