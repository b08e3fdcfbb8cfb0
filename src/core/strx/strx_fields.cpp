#include "core/strx/strx_fields.h"

#include <charconv>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"

// CR, LF, comma, double quote and space are all below 0x40, so they are
// never trail bytes: the scanners below may look at them byte by byte.

namespace {

// Length of the line break at text[i] (0 when there is none).
size_t breakLen(std::string_view text, size_t i) {
  char c = text[i];
  if (c != '\r' && c != '\n') return 0;
  char other = c == '\r' ? '\n' : '\r';
  return (i + 1 < text.size() && text[i + 1] == other) ? 2 : 1;
}

// Offset and length of the break that ends the line starting at `from`
// (npos when the line is the last one).
size_t nextBreak(std::string_view text, size_t from, size_t& len) {
  for (size_t i = from; i < text.size(); ++i) {
    len = breakLen(text, i);
    if (len) return i;
  }
  len = 0;
  return StrX_npos;
}

// The text of line n (nullopt when absent).
std::optional<std::string_view> lineText(std::string_view text, int n) {
  size_t start = StrX_lineStart(text, n);
  if (start == StrX_npos) return std::nullopt;
  size_t len = 0;
  size_t end = nextBreak(text, start, len);
  return text.substr(start, end == StrX_npos ? StrX_npos : end - start);
}

bool isSpaceOrTab(char c) { return c == ' ' || c == '\t'; }

std::string_view trimView(std::string_view s) {
  while (!s.empty() && StrX_isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && StrX_isSpace(s.back())) s.remove_suffix(1);
  return s;
}

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// After a closing quote: skip to just past the next comma (npos at the end
// of the line).
size_t afterComma(std::string_view line, size_t i) {
  while (i < line.size() && line[i] != ',' && !isLineEnd(line[i])) ++i;
  return (i < line.size() && line[i] == ',') ? i + 1 : StrX_npos;
}

// The part of a tagged item after the name: -1 for no number, the number,
// or -2 when the item is another word.
int32_t tagValue(std::string_view rest) {
  size_t i = 0;
  while (i < rest.size() && isSpaceOrTab(rest[i])) ++i;
  if (i < rest.size() && rest[i] == '-') ++i;
  while (i < rest.size() && isSpaceOrTab(rest[i])) ++i;
  size_t digits = i;
  while (i < rest.size() && StrX_isAsciiDigit(rest[i])) ++i;
  size_t digitsEnd = i;
  while (i < rest.size() && isSpaceOrTab(rest[i])) ++i;
  if (i != rest.size()) return -2;
  if (digits == digitsEnd) return -1;
  return StrX_toInt(rest.substr(digits, digitsEnd - digits));
}

// A coordinate at text[i]: an integer with an optional fraction skipped.
bool coordinate(std::string_view text, size_t& i, int32_t& value) {
  size_t used = 0;
  value = StrX_toInt(text.substr(i), &used);
  if (used == 0) return false;
  i += used;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && StrX_isAsciiDigit(text[i])) ++i;
  }
  return true;
}

size_t skipWhite(std::string_view text, size_t i) {
  while (i < text.size() && StrX_isSpace(text[i])) ++i;
  return i;
}

// The value of a style property as a view into `style`.
std::optional<std::string_view> findProperty(std::string_view style, std::string_view name) {
  std::string_view wanted = trimView(name);
  size_t b = 0;
  while (b <= style.size()) {
    size_t e = style.find(';', b);
    std::string_view item = style.substr(b, e == StrX_npos ? StrX_npos : e - b);
    size_t colon = item.find(':');
    if (colon != StrX_npos && StrX_equalsNoCase(trimView(item.substr(0, colon)), wanted)) {
      return trimView(item.substr(colon + 1));
    }
    if (e == StrX_npos) break;
    b = e + 1;
  }
  return std::nullopt;
}

}  // namespace

int StrX_lineCount(std::string_view text) {
  int lines = 1;
  size_t i = 0;
  size_t len = 0;
  while ((i = nextBreak(text, i, len)) != StrX_npos) {
    ++lines;
    i += len;
  }
  return lines;
}

size_t StrX_lineStart(std::string_view text, int n) {
  if (n < 1) return StrX_npos;
  size_t start = 0;
  size_t len = 0;
  for (int line = 1; line < n; ++line) {
    size_t b = nextBreak(text, start, len);
    if (b == StrX_npos) return StrX_npos;
    start = b + len;
  }
  return start;
}

int StrX_lineNumberAt(std::string_view text, size_t pos) {
  int line = 1;
  size_t i = 0;
  size_t len = 0;
  while ((i = nextBreak(text, i, len)) != StrX_npos && i + len <= pos) {
    ++line;
    i += len;
  }
  return line;
}

size_t StrX_lineLength(std::string_view text, int n) {
  auto line = lineText(text, n);
  return line ? line->size() : 0;
}

bool StrX_copyLine(std::string& dst, std::string_view text, int n, size_t size) {
  auto line = lineText(text, n);
  if (!line) {
    dst.clear();
    return false;
  }
  StrX_cpy(dst, *line, size);
  return true;
}

std::string StrX_csvQuote(std::string_view field, char prefix, bool always) {
  std::string value;
  if (prefix && !field.empty() &&
      (field[0] == '+' || field[0] == '-' || field[0] == '=' || StrX_isAsciiDigit(field[0]))) {
    value.push_back(prefix);
  }
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\r' && i + 1 < field.size() && field[i + 1] == '\n') continue;
    value.push_back(field[i]);
  }
  bool enclose = always || value.find_first_of(",\"\r\n") != std::string::npos ||
                 (!value.empty() && (value.front() == ' ' || value.back() == ' '));
  if (!enclose) return value;
  std::string out = "\"";
  for (char c : value) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

StrX_Field StrX_csvField(std::string_view line, size_t pos) {
  StrX_Field f;
  size_t i = pos;
  while (i < line.size() && line[i] == ' ') ++i;
  if (i < line.size() && line[i] == '"') {
    for (++i; i < line.size(); ++i) {
      if (line[i] == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          f.text.push_back('"');
          ++i;
        } else {
          f.next = afterComma(line, i + 1);
          return f;
        }
      } else {
        f.text.push_back(line[i]);
      }
    }
    return f;  // no closing quote: the field runs to the end
  }
  size_t b = i;
  while (i < line.size() && line[i] != ',' && !isLineEnd(line[i])) ++i;
  size_t e = i;
  while (e > b && line[e - 1] == ' ') --e;
  if (b < line.size()) f.text.assign(line.substr(b, e - b));
  f.next = (i < line.size() && line[i] == ',') ? i + 1 : StrX_npos;
  return f;
}

std::optional<std::string> StrX_csvFieldN(std::string_view line, int n) {
  if (n < 1) return std::nullopt;
  size_t pos = 0;
  for (int k = 1;; ++k) {
    StrX_Field f = StrX_csvField(line, pos);
    if (k == n) return std::move(f.text);
    if (f.next == StrX_npos) return std::nullopt;
    pos = f.next;
  }
}

StrX_Field StrX_token(std::string_view text, size_t pos) {
  StrX_Field f;
  size_t i = skipWhite(text, pos);
  bool quoted = false;
  while (i < text.size() && (quoted || !StrX_isSpace(text[i]))) {
    size_t len = Cp932_charLen(text, i);
    if (len == 1 && text[i] == '"') {
      quoted = !quoted;
    } else {
      f.text.append(text.substr(i, len));
    }
    i += len;
  }
  i = skipWhite(text, i);
  f.next = i < text.size() ? i : StrX_npos;
  return f;
}

int32_t StrX_taggedNumber(std::string_view list, std::string_view name) {
  if (name.empty()) return -2;
  size_t b = 0;
  while (b <= list.size()) {
    size_t e = list.find(',', b);
    std::string_view item = list.substr(b, e == StrX_npos ? StrX_npos : e - b);
    while (!item.empty() && isSpaceOrTab(item.front())) item.remove_prefix(1);
    if (item.substr(0, name.size()) == name) {
      int32_t v = tagValue(item.substr(name.size()));
      if (v != -2) return v;
    }
    if (e == StrX_npos) break;
    b = e + 1;
  }
  return -2;
}

int StrX_pointList(std::string_view text, std::array<StrX_Point, 4>& points) {
  int count = 0;
  size_t i = 0;
  while (true) {
    i = skipWhite(text, i);
    if (i >= text.size()) break;
    StrX_Point p;
    if (!coordinate(text, i, p.x)) break;
    i = skipWhite(text, i);
    if (i >= text.size() || text[i] != ',') break;
    i = skipWhite(text, i + 1);
    if (!coordinate(text, i, p.y)) break;
    if (count < 4) points[static_cast<size_t>(count)] = p;
    ++count;
  }
  return count;
}

bool StrX_styleProperty(std::string& dst, std::string_view style, std::string_view name,
                        size_t size) {
  auto value = findProperty(style, name);
  if (!value) {
    dst.clear();
    return false;
  }
  StrX_cpy(dst, *value, size);
  return true;
}

bool StrX_stylePropertyInt(std::string_view style, std::string_view name, int32_t& value) {
  auto text = findProperty(style, name);
  if (!text) return false;
  size_t used = 0;
  int32_t v = StrX_toInt(*text, &used);
  if (used == 0) return false;
  value = v;
  return true;
}

bool StrX_stylePropertyFloat(std::string_view style, std::string_view name, double& value) {
  auto text = findProperty(style, name);
  if (!text) return false;
  std::string_view t = *text;
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  double v = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
  if (ec != std::errc() || end == t.data()) return false;
  value = v;
  return true;
}

bool StrX_stylePropertyColor(std::string_view style, std::string_view name, uint32_t& color) {
  auto text = findProperty(style, name);
  return text && StrX_readColor(*text, color);
}
