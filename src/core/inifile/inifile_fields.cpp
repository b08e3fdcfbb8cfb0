#include "core/inifile/inifile_fields.h"

namespace inifile_detail {

namespace {
constexpr size_t npos = std::string_view::npos;
constexpr bool isWhite(char c) { return isBlank(c) || c == '\r' || c == '\n'; }

size_t skipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && isBlank(s[i])) ++i;
  return i;
}
}  // namespace

std::string_view trim(std::string_view s) {
  while (!s.empty() && isWhite(s.front())) s.remove_prefix(1);
  while (!s.empty() && isWhite(s.back())) s.remove_suffix(1);
  return s;
}

bool isBlankLine(std::string_view s) { return trim(s).empty(); }

Field readField(std::string_view v, size_t pos) {
  Field f;
  size_t i = skipBlanks(v, pos);
  if (i < v.size() && v[i] == '"') {
    f.present = true;
    for (++i; i < v.size(); ++i) {
      if (v[i] != '"') {
        f.text.push_back(v[i]);
      } else if (i + 1 < v.size() && v[i + 1] == '"') {
        f.text.push_back('"');
        ++i;
      } else {
        size_t comma = v.find(',', i + 1);
        f.next = comma == npos ? npos : comma + 1;
        return f;
      }
    }
    return f;  // no closing quote: the field runs to the end
  }
  size_t comma = v.find(',', i);
  size_t end = comma == npos ? v.size() : comma;
  size_t e = end;
  while (e > i && isWhite(v[e - 1])) --e;
  if (i < e) f.text.assign(v.substr(i, e - i));
  f.present = !f.text.empty();
  f.next = comma == npos ? npos : comma + 1;
  return f;
}

bool quoteOpen(std::string_view v) {
  size_t i = 0;
  for (;;) {
    i = skipBlanks(v, i);
    if (i < v.size() && v[i] == '"') {
      for (++i;; ++i) {
        if (i >= v.size()) return true;
        if (v[i] != '"') continue;
        if (i + 1 < v.size() && v[i + 1] == '"') {
          ++i;
          continue;
        }
        break;
      }
    }
    size_t comma = v.find(',', i);
    if (comma == npos) return false;
    i = comma + 1;
  }
}

QuoteShape quoteShape(std::string_view v, bool inside) {
  size_t i = 0;
  for (;;) {
    if (!inside) {
      i = skipBlanks(v, i);
      if (i >= v.size() || v[i] != '"') {
        size_t comma = v.find(',', i);
        if (comma == npos) return QuoteShape::Closed;
        i = comma + 1;
        continue;
      }
      ++i;
    }
    // Inside a quoted field: up to its closing quote ("" is one quote).
    for (;; ++i) {
      if (i >= v.size()) return QuoteShape::Open;
      if (v[i] != '"') continue;
      if (i + 1 < v.size() && v[i + 1] == '"') {
        ++i;
        continue;
      }
      break;
    }
    inside = false;
    ++i;
    while (i < v.size() && isWhite(v[i])) ++i;
    if (i >= v.size()) return QuoteShape::Closed;
    if (v[i] != ',') return QuoteShape::Bad;
    ++i;
  }
}

}  // namespace inifile_detail
