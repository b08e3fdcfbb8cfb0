#include "figures/base/svg_format.h"

#include <cstdio>
#include <ctime>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "core/strx/strx_vars.h"
#include "figures/base/svg_write_context.h"

namespace {

// Room for an expanded link (every value is at most 255 bytes).
constexpr size_t kExpandedLinkSize = 65536;

std::string escapeWith(std::string_view text, int flags) {
  std::string out;
  // Every byte grows to at most six ("&quot;"), so nothing is ever cut.
  StrX_htmlEscape(out, text, text.size() * 6 + 1, flags);
  return out;
}

// "name:" at the start with a name of two or more letters, digits, '+',
// '-' or '.' beginning with a letter ("script:", "mailto:", "http:"); a
// single letter is a drive.
bool hasSchemeName(std::string_view s) {
  if (s.empty() || !StrX_isAsciiAlpha(s[0])) return false;
  for (size_t i = 1; i < s.size(); ++i) {
    const char c = s[i];
    if (c == ':') return i >= 2;
    if (!StrX_isAsciiAlpha(c) && !StrX_isAsciiDigit(c) && c != '+' && c != '-' && c != '.')
      return false;
  }
  return false;
}

// A "%name%" that expansion left in place (a name without separators).
bool hasVariableLeft(std::string_view s) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (s[i] != '%') continue;
    size_t j = i + 1;
    while (j < s.size() && s[j] != '%' && s[j] != '/' && s[j] != '\\') j += Cp932_charLen(s, j);
    if (j < s.size() && s[j] == '%' && j > i + 1) return true;
  }
  return false;
}

// Only absolute local paths are made relative to the note.
bool isLocalAbsolute(std::string_view s) {
  if (s.empty() || s[0] == '#') return false;
  if (StrX_isUrl(s) || hasSchemeName(s) || hasVariableLeft(s)) return false;
  return StrX_isAbsolutePath(s) || StrX_isDrivePath(s);
}

}  // namespace

std::string SvgFormat_escapeAttr(std::string_view text) { return escapeWith(text, StrX_HtmlAttr); }

std::string SvgFormat_escapeText(std::string_view text) { return escapeWith(text, 0); }

SvgHref SvgFormat_linkHref(std::string_view link, const SvgWriteContext& ctx) {
  SvgHref r;
  std::string e(link);
  StrX_expandVariables(e, kExpandedLinkSize, ctx.variables);
  r.changed = e != link;
  if (!ctx.notePath.empty() && isLocalAbsolute(e)) e = StrX_makeRelativeToFile(e, ctx.notePath);
  // A script keeps its case: lower-casing would break it; so does a link
  // that is, or became, a URL.
  if (ctx.lowerPath && !StrX_isUrl(link) && !StrX_isUrl(e) && !SvgFormat_isScript(link))
    StrX_lowerAscii(e);
  r.href = SvgFormat_escapeAttr(e);
  StrX_trim(r.href);
  return r;
}

std::string SvgFormat_relativePath(std::string_view path, const SvgWriteContext& ctx) {
  std::string p(path);
  if (!ctx.notePath.empty() && isLocalAbsolute(p)) p = StrX_makeRelativeToFile(p, ctx.notePath);
  if (ctx.lowerPath && !StrX_isUrl(p)) StrX_lowerAscii(p);
  return p;
}

std::string_view SvgFormat_linkTail(std::string_view link) {
  size_t start = 0;
  for (size_t i = 0; i < link.size(); i += Cp932_charLen(link, i))
    if (link[i] == '/' || link[i] == '\\') start = i + 1;
  return link.substr(start);
}

bool SvgFormat_isScript(std::string_view link) { return StrX_startsWithNoCase(link, "script:"); }

std::string_view SvgFormat_scriptBody(std::string_view link) {
  return link.size() >= 7 ? link.substr(7) : std::string_view();
}

std::string SvgFormat_afterClickAttributes(int32_t afterClick) {
  std::string out;
  if (afterClick == 1 || afterClick == 3)
    out += " onclick=\"parent.window.opener='a'; parent.window.close();\"";
  if (afterClick == 2 || afterClick == 3) out += " zerbin-onclick=\"NewView\"";
  return out;
}

std::string SvgFormat_rgb(Colour c) {
  // Written for every figure: without the C library's formatter.
  std::string out = "rgb(";
  out.reserve(16);
  auto part = [&out](unsigned v) {
    if (v >= 100) out.push_back(static_cast<char>('0' + v / 100));
    if (v >= 10) out.push_back(static_cast<char>('0' + v / 10 % 10));
    out.push_back(static_cast<char>('0' + v % 10));
  };
  part(c & 0xFF);
  out.push_back(',');
  part((c >> 8) & 0xFF);
  out.push_back(',');
  part((c >> 16) & 0xFF);
  out.push_back(')');
  return out;
}

std::string SvgFormat_opacitySuffix(int32_t opacity) {
  if (opacity == 100) return "";
  char buf[48];
  std::snprintf(buf, sizeof buf, ";fill-opacity:0.%02d", opacity);
  return buf;
}

std::string SvgFormat_rotation(int32_t angle, int32_t cx, int32_t cy) {
  if (angle == 0) return "";
  char buf[80];
  std::snprintf(buf, sizeof buf, " transform=\"rotate(%d,%d,%d)\"", angle, cx, cy);
  return buf;
}

namespace {

struct FontName {
  const char* face;     // the model's face (CP932)
  const char* written;  // what the file gets
  const char* plain;    // the file name alone
  const char* generic;  // a generic family that means this face, or null
};

constexpr FontName kFonts[] = {
    {"ＭＳ ゴシック", "MS-Gothic,monospace", "MS-Gothic", "monospace"},
    {"ＭＳ Ｐゴシック", "MS-PGothic,sans-serif", "MS-PGothic", "sans-serif"},
    {"ＭＳ 明朝", "MS-Mincho,monospace", "MS-Mincho", nullptr},
    {"ＭＳ Ｐ明朝", "MS-PMincho,serif", "MS-PMincho", "serif"},
};

}  // namespace

std::string SvgFormat_fontFamilyForFile(std::string_view face) {
  for (const FontName& f : kFonts)
    if (face == f.face) return f.written;
  return std::string(face);
}

std::string SvgFormat_fontFaceFromFile(std::string_view family) {
  for (const FontName& f : kFonts) {
    if (family == f.written || family == f.plain || (f.generic && family == f.generic))
      return f.face;
  }
  return std::string(family);
}

std::string SvgFormat_alarmText(int64_t seconds) {
  const std::time_t t = static_cast<std::time_t>(seconds);
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return "";
  char buf[64];
  const size_t n = std::strftime(buf, sizeof buf, "%Y/%m/%d-%H:%M:%S", &tm);
  return std::string(buf, n);
}

bool SvgFormat_parseAlarmText(std::string_view text, int64_t& seconds, int minimumFields) {
  const std::string s(text);
  std::tm tm{};
  const int fields = std::sscanf(s.c_str(), "%d/%d/%d-%d:%d:%d", &tm.tm_year, &tm.tm_mon,
                                 &tm.tm_mday, &tm.tm_hour, &tm.tm_min, &tm.tm_sec);
  if (fields < minimumFields || fields < 3) return false;
  if (tm.tm_mon < 1 || tm.tm_mon > 12 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour < 0 ||
      tm.tm_hour > 23 || tm.tm_min < 0 || tm.tm_min > 59 || tm.tm_sec < 0 || tm.tm_sec > 60)
    return false;
  tm.tm_year -= 1900;
  tm.tm_mon -= 1;
  tm.tm_isdst = -1;
  const std::time_t t = std::mktime(&tm);
  if (t == static_cast<std::time_t>(-1)) return false;
  seconds = static_cast<int64_t>(t);
  return true;
}
