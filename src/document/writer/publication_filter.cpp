#include "document/writer/publication_filter.h"

#include "core/strx/strx_copy.h"

namespace {

// Commas, '-', digits and blanks are never trail bytes of code page 932, so
// the list can be scanned byte by byte.

std::string_view trimBlanks(std::string_view s) {
  while (!s.empty() && StrX_isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && StrX_isSpace(s.back())) s.remove_suffix(1);
  return s;
}

enum class ItemMatch { Other, Plain, Numbered };

// How a trimmed, non-empty item relates to `name`: it is the name itself
// (Plain), the name followed by a number (Numbered), or another item.
ItemMatch matchItem(std::string_view item, std::string_view name) {
  if (!item.starts_with(name)) return ItemMatch::Other;
  std::string_view rest = item.substr(name.size());
  size_t i = 0;
  while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  if (i < rest.size() && rest[i] == '-') {
    ++i;
    while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  }
  const size_t digitsFrom = i;
  while (i < rest.size() && StrX_isAsciiDigit(rest[i])) ++i;
  const bool numbered = i > digitsFrom;
  while (i < rest.size() && StrX_isSpace(rest[i])) ++i;
  if (i != rest.size()) return ItemMatch::Other;
  return numbered ? ItemMatch::Numbered : ItemMatch::Plain;
}

// Calls fn(item) for every non-empty trimmed item until it answers true.
template <class Fn>
bool anyItem(std::string_view list, Fn&& fn) {
  size_t start = 0;
  while (start <= list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) comma = list.size();
    std::string_view item = trimBlanks(list.substr(start, comma - start));
    if (!item.empty() && fn(item)) return true;
    start = comma + 1;
  }
  return false;
}

}  // namespace

bool PublicationFilter_listIsEmpty(std::string_view list) {
  return !anyItem(list, [](std::string_view) { return true; });
}

bool PublicationFilter_listPasses(std::string_view list, std::optional<std::string_view> name) {
  if (PublicationFilter_listIsEmpty(list)) return true;
  if (!name) return false;
  if (name->empty()) return true;
  return anyItem(list, [&](std::string_view item) {
    return matchItem(item, *name) == ItemMatch::Plain;
  });
}

bool PublicationFilter_filePublished(std::string_view fileList,
                                     std::optional<std::string_view> name) {
  return PublicationFilter_listPasses(fileList, name);
}

bool PublicationFilter_figurePublished(std::string_view fileList, std::string_view pageList,
                                       std::string_view figureList,
                                       std::optional<std::string_view> name) {
  if (!PublicationFilter_listPasses(fileList, name) ||
      !PublicationFilter_listPasses(pageList, name) ||
      !PublicationFilter_listPasses(figureList, name)) {
    return false;
  }
  const bool allEmpty = PublicationFilter_listIsEmpty(fileList) &&
                        PublicationFilter_listIsEmpty(pageList) &&
                        PublicationFilter_listIsEmpty(figureList);
  return !(allEmpty && name && !name->empty());
}

bool PublicationFilter_pagePublished(std::string_view fileList, std::string_view pageList,
                                     bool anyFigurePublished,
                                     std::optional<std::string_view> name) {
  return PublicationFilter_listPasses(fileList, name) &&
         PublicationFilter_listPasses(pageList, name) && anyFigurePublished;
}
