#include "document/writer/publication_filter.h"

#include "document/writer/list_items.h"


bool PublicationFilter_listIsEmpty(std::string_view list) {
  return !ListItems_any(list, [](std::string_view) { return true; });
}

bool PublicationFilter_listPasses(std::string_view list, std::optional<std::string_view> name) {
  if (PublicationFilter_listIsEmpty(list)) return true;
  if (!name) return false;
  if (name->empty()) return true;
  return ListItems_any(list, [&](std::string_view item) {
    const ListItemMatch m = ListItems_match(item, *name);
    return m.matches && !m.numbered;
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
