// The state handed to every figure's `WriteSvg` while a note (or an export
// built on the note format) is written.
//
// Figures append their element text to `out`, with "\n" for every line
// break; the document writer turns the finished text into CR LF lines (and
// into UTF-16 when the note needs it).  Texts are code page 932.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/strx/strx_vars.h"

// One replacement of the link table: a link beginning with `from` (ignoring
// case) is rewritten to begin with `to`; `to` may also be one of the
// commands "script:cut", "script:just_cut" and "script:tooltip_abs".
struct SvgLinkPair {
  std::string from;
  std::string to;
  friend bool operator==(const SvgLinkPair&, const SvgLinkPair&) = default;
};

// A keyword file read by the link rewriting, kept until its file time
// changes: its entries are (lower-cased key, target).
struct SvgKeywordFile {
  std::string path;
  int64_t modifiedNs = 0;
  std::vector<SvgLinkPair> entries;
};

struct SvgWriteContext;

// Link rewriting of the publishing save and the exports: writes the href
// for `link` (the link of a figure whose text is `figureText`) into `href`
// and answers 1 (write the link with that href), 0 (drop the link) or 2
// (the link only carries a tooltip).
using SvgRewriteLinkFn = std::function<int(std::string& href, std::string_view link,
                                           std::string_view figureText, SvgWriteContext& ctx)>;

struct SvgWriteContext {
  // The element text written so far.
  std::string out;

  // Full path of the file being written; links and image paths are made
  // relative to its folder.
  std::string notePath;
  // Local links and image paths are lower-cased (the LowerPath setting).
  bool lowerPath = false;

  // Number of the page being written (0 for the back page).
  int32_t pageNumber = 0;
  // The page number of the figure's "#" link, or -1; set by the writer
  // before each WriteSvg.
  int32_t linkedPage = -1;

  // Publishing and exports only: the replacements of link targets, longest
  // `from` first.  With a table the hrefs of text boxes go through
  // `rewriteLink`.
  std::optional<std::vector<SvgLinkPair>> linkTable;
  std::optional<std::string> publicationName;
  SvgRewriteLinkFn rewriteLink;

  // The folder variables for "%name%" in links (null: only the process
  // environment is asked).
  StrX_VarLookup variables;

  // Export fields (zero or empty for a note file).
  int32_t verticalOffset = 0;
  std::string baseName;           // output file name without extension
  std::string sourceFolder;       // the source path of the options
  std::string destinationFolder;  // the destination path of the options
  bool punycodeNames = false;
  bool mhtmlMode = false;
  bool noLocalLinks = false;
  // Keyword files already read by the link rewriting.
  std::vector<SvgKeywordFile> keywordFiles;

  void put(std::string_view text) { out.append(text); }
  void put(char c) { out.push_back(c); }
  // Appends printf-formatted text (no length limit).
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
  }
  void vprintf(const char* format, va_list args);
};
