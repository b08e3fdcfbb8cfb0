#include "document/reader/reader_values.h"

#include "core/filex/filex_info.h"

#include <charconv>
#include <cmath>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"

int32_t ReaderValue_int(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && StrX_isSpace(s[i])) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int64_t v = 0;
  for (; i < s.size() && StrX_isAsciiDigit(s[i]); ++i) {
    // Saturates far above the int32 range; the clamp below does the rest.
    if (v < (int64_t{1} << 40)) v = v * 10 + (s[i] - '0');
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(v);
}

int32_t ReaderValue_attrInt(const XmlEventReader& xml, std::string_view name, int32_t fallback) {
  const std::optional<std::string_view> v = xml.Attribute(name);
  return v ? ReaderValue_int(*v) : fallback;
}

int32_t ReaderValue_transformAngle(std::string_view transform) {
  const size_t open = transform.find('(');
  if (open == std::string_view::npos) return 0;
  return ReaderValue_int(transform.substr(open + 1));
}

std::optional<int32_t> ReaderValue_opacityPercent(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && StrX_isSpace(text[i])) ++i;
  if (i < text.size() && text[i] == '+') ++i;
  double v = 0;
  const char* begin = text.data() + i;
  const auto [end, ec] = std::from_chars(begin, text.data() + text.size(), v);
  if (ec != std::errc() || end == begin || !std::isfinite(v)) return std::nullopt;
  // Two-digit percentages such as 0.29 are just below their value in
  // binary; the small bias brings them back to it.
  const double percent = std::floor(v * 100 + 1e-6);
  if (percent <= 0) return 0;
  if (percent >= 100) return 100;
  return static_cast<int32_t>(percent);
}

std::optional<Colour> ReaderValue_colour(std::string_view text) {
  uint32_t c = 0;
  if (!StrX_readColor(text, c)) return std::nullopt;
  return static_cast<Colour>(c & 0xFFFFFF);
}


std::optional<std::string> ReaderStyle_get(std::string_view style, std::string_view name) {
  size_t start = 0;
  while (start <= style.size()) {
    size_t end = style.find(';', start);
    if (end == std::string_view::npos) end = style.size();
    const std::string_view item = style.substr(start, end - start);
    const size_t colon = item.find(':');
    if (colon != std::string_view::npos &&
        StrX_equalsNoCase(StrX_trimmedView(item.substr(0, colon)), StrX_trimmedView(name)))
      return std::string(StrX_trimmedView(item.substr(colon + 1)));
    start = end + 1;
  }
  return std::nullopt;
}

namespace {

// The character of a numeric reference's code point as code page 932 text;
// none when code page 932 has no such character.
std::optional<std::string> referenceChar(uint32_t code) {
  if (code == 0 || code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) return std::nullopt;
  bool lossy = false;
  const char16_t u[1] = {static_cast<char16_t>(code)};
  std::string s = Cp932_fromUtf16(std::u16string_view(u, 1), &lossy);
  if (lossy || s.empty()) return std::nullopt;
  return s;
}

// The entity at s[i] (an '&'): its text and length; none when it is not
// one this reader decodes.
std::optional<std::string> entityAt(std::string_view s, size_t i, size_t& length) {
  const size_t semi = s.find(';', i + 1);
  // Names and references are short; a far ';' belongs to other text.
  if (semi == std::string_view::npos || semi - i > 10) return std::nullopt;
  const std::string_view body = s.substr(i + 1, semi - i - 1);
  length = semi - i + 1;
  if (body == "lt") return std::string("<");
  if (body == "gt") return std::string(">");
  if (body == "amp") return std::string("&");
  if (body == "quot") return std::string("\"");
  if (body == "apos") return std::string("'");
  if (body.size() < 2 || body[0] != '#') return std::nullopt;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  if (digits.empty()) return std::nullopt;
  uint32_t code = 0;
  const auto [end, ec] =
      std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
  if (ec != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return referenceChar(code);
}

}  // namespace

std::string ReaderText_decodeEntities(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size();) {
    if (raw[i] == '&') {
      size_t length = 0;
      if (std::optional<std::string> e = entityAt(raw, i, length)) {
        out += *e;
        i += length;
        continue;
      }
      out += '&';
      ++i;
      continue;
    }
    // Whole characters, so that a trail byte is never taken for '&'.
    const size_t n = Cp932_charLen(raw, i);
    out.append(raw.substr(i, n));
    i += n;
  }
  return out;
}

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

// No component of `rest` is "..", and it names something.
bool staysBelow(std::string_view rest) {
  if (rest.empty()) return false;
  size_t start = 0;
  for (size_t i = 0; i <= rest.size(); i += i < rest.size() ? Cp932_charLen(rest, i) : 1) {
    if (i < rest.size() && !isSeparator(rest[i])) continue;
    if (rest.substr(start, i - start) == "..") return false;
    start = i + 1;
  }
  return true;
}

}  // namespace

bool ReaderValue_insideFolder(std::string_view path, std::string_view folder) {
  if (folder.empty()) {
    if (path.empty() || isSeparator(path[0]) || StrX_isDrivePath(path) || StrX_isUrl(path))
      return false;
    if (path.find(':') != std::string_view::npos) return false;
    return staysBelow(path);
  }
  return FileX_insideFolder(path, folder);
}
