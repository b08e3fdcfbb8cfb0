// The publication filter of the publishing save and the exports: which
// file, pages and figures of a note are published under a publication name.
//
// A list ("zerbin-file-pub", "zerbin-pub", "pub") is a comma-separated list
// of items; an item is a name, optionally followed by "-" and/or a number,
// with blanks (space, tab, CR, LF) allowed around the item and around the
// "-".  Empty items are ignored; a list without items is empty.
//
// Names compare byte for byte (case-sensitively): a publication filter
// decides what leaves the author's hands, so "Web" and "web" are not taken
// for each other.
//
// The name is absent when no publication was asked for, and empty when it
// was asked for without a name ("-pub" alone, or "-pub=*": the option
// parser turns "*" into the empty name).  An empty name lets every list
// pass; an absent name lets only empty lists pass.
#pragma once

#include <optional>
#include <string_view>

// A list passes when: it is empty; or the name is empty; or it holds an
// item equal to the name with no number after it ("web" and "web-" pass
// for the name web, "web-2", "web2" and "intra" do not).
bool PublicationFilter_listPasses(std::string_view list, std::optional<std::string_view> name);

// Whether a list holds no item.
bool PublicationFilter_listIsEmpty(std::string_view list);

// The file is published when its file list passes.
bool PublicationFilter_filePublished(std::string_view fileList,
                                     std::optional<std::string_view> name);

// A figure is published when the file list, its page's list and its own
// list pass, and not all three lists are empty while a non-empty name is
// given (with a name, something must mark the figure as published).
bool PublicationFilter_figurePublished(std::string_view fileList, std::string_view pageList,
                                       std::string_view figureList,
                                       std::optional<std::string_view> name);

// A page is published when the file list and its page list pass and at
// least one of its figures is published.
bool PublicationFilter_pagePublished(std::string_view fileList, std::string_view pageList,
                                     bool anyFigurePublished,
                                     std::optional<std::string_view> name);
