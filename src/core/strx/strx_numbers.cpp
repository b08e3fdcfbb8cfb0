#include "core/strx/strx_numbers.h"

#include <cstdio>

#include "core/errors/errors.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_search.h"

namespace {

constexpr size_t numberingBufferSize = 1024;
constexpr size_t guidTextLength = 36;

size_t skipSpaces(std::string_view s, size_t i) {
  while (i < s.size() && StrX_isSpace(s[i])) ++i;
  return i;
}

uint32_t clampComponent(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<uint32_t>(v); }

// A number with digits at s[i..]: its value, or false.
bool numberAt(std::string_view s, size_t i, int32_t& value) {
  if (i > s.size()) return false;
  size_t used = 0;
  value = StrX_toInt(s.substr(i), &used);
  return used != 0;
}

bool readHexColor(std::string_view hex, uint32_t& color) {
  size_t n = 0;
  while (n < hex.size() && StrX_hexDigit(hex[n]) >= 0) ++n;
  uint32_t c[3];
  if (n == 3) {
    for (int k = 0; k < 3; ++k) c[k] = static_cast<uint32_t>(StrX_hexDigit(hex[k]) * 17);
  } else if (n == 6) {
    for (int k = 0; k < 3; ++k) {
      c[k] = static_cast<uint32_t>(StrX_hexDigit(hex[2 * k]) * 16 + StrX_hexDigit(hex[2 * k + 1]));
    }
  } else {
    return false;
  }
  color = StrX_rgb(c[0], c[1], c[2]);
  return true;
}

// The value of `digits` hexadecimal digits at s[i..], or -1.
int64_t hexGroup(std::string_view s, size_t i, size_t digits) {
  if (i + digits > s.size()) return -1;
  int64_t v = 0;
  for (size_t k = 0; k < digits; ++k) {
    int h = StrX_hexDigit(s[i + k]);
    if (h < 0) return -1;
    v = v * 16 + h;
  }
  return v;
}

// Parses the 36 characters of a GUID at s[0..].
bool parseGuid(std::string_view s, StrX_Guid& out) {
  if (s.size() < guidTextLength) return false;
  for (size_t dash : {8u, 13u, 18u, 23u}) {
    if (s[dash] != '-') return false;
  }
  int64_t d1 = hexGroup(s, 0, 8);
  int64_t d2 = hexGroup(s, 9, 4);
  int64_t d3 = hexGroup(s, 14, 4);
  if (d1 < 0 || d2 < 0 || d3 < 0) return false;
  StrX_Guid g;
  g.data1 = static_cast<uint32_t>(d1);
  g.data2 = static_cast<uint16_t>(d2);
  g.data3 = static_cast<uint16_t>(d3);
  static constexpr size_t bytePos[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (size_t k = 0; k < 8; ++k) {
    int64_t b = hexGroup(s, bytePos[k], 2);
    if (b < 0) return false;
    g.data4[k] = static_cast<uint8_t>(b);
  }
  out = g;
  return true;
}

// The text between commas number `index` (0-based), or false.
bool commaField(std::string_view s, int index, std::string_view& field) {
  size_t b = 0;
  for (int k = 0; k < index; ++k) {
    size_t c = s.find(',', b);
    if (c == std::string_view::npos) return false;
    b = c + 1;
  }
  size_t e = s.find(',', b);
  field = s.substr(b, e == std::string_view::npos ? std::string_view::npos : e - b);
  return true;
}

bool flagField(std::string_view s, int index) {
  std::string_view f;
  if (!commaField(s, index, f)) return false;
  size_t i = skipSpaces(f, 0);
  return i < f.size() && f[i] != '0';
}

}  // namespace

int32_t StrX_toInt(std::string_view s, size_t* used) {
  constexpr int64_t limit = int64_t{1} << 31;
  size_t i = skipSpaces(s, 0);
  if (i < s.size() && s[i] == '+') ++i;
  bool negative = false;
  while (i < s.size() && s[i] == '-') {
    negative = !negative;
    ++i;
  }
  size_t digitsStart = i;
  int64_t v = 0;
  while (i < s.size() && StrX_isAsciiDigit(s[i])) {
    v = v * 10 + (s[i] - '0');
    if (v > limit) v = limit;
    ++i;
  }
  if (used) *used = i > digitsStart ? i : 0;
  if (negative) v = -v;
  if (v > INT32_MAX) v = INT32_MAX;
  return static_cast<int32_t>(v);
}

bool StrX_intRange(std::string_view s, char sep, int32_t& first, int32_t& last) {
  size_t used = 0;
  int32_t a = StrX_toInt(s, &used);
  if (used == 0) return false;
  int32_t b = a;
  size_t i = sep == ' ' ? used : skipSpaces(s, used);
  if (i < s.size() && s[i] == sep) {
    int32_t second = 0;
    if (numberAt(s, i + 1, second)) b = second;
  }
  first = a;
  last = b;
  return true;
}

void StrX_numbering(std::string& s, int32_t n) {
  size_t b = StrX_findChar(s, '#');
  if (b == StrX_npos) return;
  size_t e = b;
  while (e < s.size() && s[e] == '#') ++e;
  char format[32];
  snprintf(format, sizeof format, "%%0%dd", static_cast<int>(e - b));
  int len = snprintf(nullptr, 0, format, n);
  size_t total = s.size() - (e - b) + static_cast<size_t>(len);
  if (total + 1 > numberingBufferSize) {
    Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&s));
  }
  std::string number(static_cast<size_t>(len) + 1, '\0');
  snprintf(number.data(), number.size(), format, n);
  number.pop_back();
  s.replace(b, e - b, number);
}

std::string StrX_colorText(uint32_t color) {
  char buf[48];
  snprintf(buf, sizeof buf, "rgb(%d,%d,%d)", static_cast<int>(color & 0xFF),
           static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF));
  return buf;
}

bool StrX_readColor(std::string_view text, uint32_t& color) {
  size_t i = skipSpaces(text, 0);
  if (i < text.size() && text[i] == '#') return readHexColor(text.substr(i + 1), color);
  size_t open = StrX_findChar(text, '(');
  if (open == StrX_npos) return false;
  int32_t v[3];
  size_t at = open;
  for (int k = 0; k < 3; ++k) {
    if (k > 0) {
      at = text.find(',', at + 1);
      if (at == std::string_view::npos) return false;
    }
    if (!numberAt(text, at + 1, v[k])) return false;
  }
  color = StrX_rgb(clampComponent(v[0]), clampComponent(v[1]), clampComponent(v[2]));
  return true;
}

std::string StrX_fontText(const StrX_Font& font) {
  int32_t points = font.size10 >= 0 ? (font.size10 + 5) / 10 : (font.size10 - 5) / 10;
  char tail[64];
  snprintf(tail, sizeof tail, ", %d, %d, %d", static_cast<int>(points), font.bold ? 1 : 0,
           font.italic ? 1 : 0);
  return font.face + tail;
}

bool StrX_readFont(std::string_view text, StrX_Font& font) {
  std::string_view faceField;
  std::string_view sizeField;
  if (!commaField(text, 0, faceField) || !commaField(text, 1, sizeField)) return false;
  std::string face(faceField);
  StrX_trim(face);
  size_t used = 0;
  int32_t points = StrX_toInt(sizeField, &used);
  if (face.empty() || used == 0) return false;
  int64_t size10 = static_cast<int64_t>(points) * 10;
  if (used + 1 < sizeField.size() && sizeField[used] == '.' &&
      StrX_isAsciiDigit(sizeField[used + 1])) {
    int tenth = sizeField[used + 1] - '0';
    size10 += points < 0 ? -tenth : tenth;
  }
  if (size10 > INT32_MAX) size10 = INT32_MAX;
  if (size10 < INT32_MIN) size10 = INT32_MIN;
  font.face = std::move(face);
  font.size10 = static_cast<int32_t>(size10);
  font.bold = flagField(text, 2);
  font.italic = flagField(text, 3);
  return true;
}

std::string StrX_guidText(const StrX_Guid& g) {
  char buf[48];
  snprintf(buf, sizeof buf, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
           static_cast<unsigned>(g.data1), static_cast<unsigned>(g.data2),
           static_cast<unsigned>(g.data3), g.data4[0], g.data4[1], g.data4[2], g.data4[3],
           g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
  return buf;
}

bool StrX_readGuid(std::string_view text, StrX_Guid& guid) {
  if (!text.empty() && text[0] == '{') text.remove_prefix(1);
  return parseGuid(text, guid);
}

bool StrX_isGuidText(std::string_view text) {
  if (!text.empty() && text[0] == '{') {
    if (text.size() != guidTextLength + 2 || text.back() != '}') return false;
    text = text.substr(1, guidTextLength);
  } else if (text.size() != guidTextLength) {
    return false;
  }
  StrX_Guid unused;
  return parseGuid(text, unused);
}
