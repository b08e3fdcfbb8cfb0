#include "document/writer/list_items.h"

#include <algorithm>
#include <limits>

#include "core/strx/strx_copy.h"

// Commas, '-', digits and blanks are never trail bytes of code page 932, so
// a list is scanned byte by byte.

namespace {

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && StrX_isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && StrX_isSpace(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

ListItemMatch ListItems_match(std::string_view item, std::string_view name) {
  ListItemMatch m;
  if (!item.starts_with(name)) return m;
  std::string_view rest = item.substr(name.size());
  size_t i = 0;
  while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  if (i < rest.size() && rest[i] == '-') {
    ++i;
    while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  }
  const size_t digitsFrom = i;
  int64_t value = 0;
  while (i < rest.size() && StrX_isAsciiDigit(rest[i])) {
    value = std::min<int64_t>(value * 10 + (rest[i] - '0'), std::numeric_limits<int32_t>::max());
    ++i;
  }
  const bool numbered = i > digitsFrom;
  while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  if (i != rest.size()) return m;
  m.matches = true;
  m.numbered = numbered;
  m.number = static_cast<int32_t>(value);
  return m;
}

bool ListItems_any(std::string_view list, const std::function<bool(std::string_view)>& fn) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    const std::string_view item = trimBlanks(list.substr(start, comma - start));
    if (!item.empty() && fn(item)) return true;
    start = comma + 1;
  }
  return false;
}
