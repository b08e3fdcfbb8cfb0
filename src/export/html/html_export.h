// The HTML export of a whole note: VML-HTML pages ("v": names made safe for
// a web server, "V": names kept) with a frame page, a tree page, page files
// split at a height limit, a keyword file and the pictures; or one MHTML
// archive ("m") with the pictures as Base64 parts.  The figures write their
// own shapes (WriteVml, WriteMhtmlPart); this module writes everything
// around them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "document/writer/note_save_host.h"
#include "figures/base/vml_write_context.h"

class NoteDocument;

// Height at which the page files are split.
inline constexpr int32_t HtmlExport_heightLimit = 10000;

// The side lists an export adds its lines to, beside its output.
inline constexpr const char* HtmlExport_sideFileNames[] = {"links.csv", "ids.csv", "keywords.repurl.txt",
                                                           "hhp_sub.txt", "hhk_sub.txt"};

struct HtmlExportOptions {
  char mode = 'v';  // 'v', 'V' or 'm'
  // The publication name ("-pub="): none publishes what has no list, ""
  // publishes everything.
  std::optional<std::string> publicationName;
  bool keepBlankTarget = false;  // "-no_blank"
  bool preferNewWindow = false;  // "-top2blank"
  bool noLocalLinks = false;     // "-no_local"
  bool headingTree = false;      // "-head": the tree lists the headings
  bool linksList = false;        // "-links": links.csv
  bool idsList = false;          // "-ids": ids.csv
  bool replacementList = false;  // "-ids2": keywords.repurl.txt
  std::string repurlPath;        // "-repurl=" / "-repurl2="
  int repurlKind = 1;
  std::string menuPath;   // "-menu=" (absolute)
  std::string filesPath;  // "-files=" (absolute)
  // "-hhc2=": the help project file (absolute).  When set, the pictures go
  // into "hhp_sub.txt" (relative to its folder) and the keyword boxes into
  // "hhk_sub.txt", beside the output.
  std::string helpContentsPath;
  // The output range: the note's page numbers to write, as (first, last)
  // pairs, both included.  Empty: every page.  The pages left out take no
  // number, as pages the publication filter leaves out.
  std::vector<std::pair<int32_t, int32_t>> pageRanges;
  std::string sourceFolder;
  std::string destinationFolder;
};

// What the export takes from the application.
class HtmlExportHost : public NoteSaveHost {
 public:
  // The installation's template folder ("%script%") and the folder whose
  // files are copied beside the pages ("%rel_copy%"); "" for none.
  virtual std::string scriptFolder() const { return ""; }
  virtual std::string relCopyFolder() const { return ""; }
  // The conversion status ("" clears it).
  virtual void showConversionStatus(std::string_view /*name*/) {}
  // An error of the link-replacement file, shown with its caption.
  virtual void showExportError(std::string_view /*text*/, std::string_view /*caption*/) {}
};

// Writes the note to `outputPath` (absolute, CP932).  True when the export
// ran to its end; false for an unpublished note (only its placeholder page
// is written) and after an error of the link-replacement file (shown
// through the host).  Other errors are raised after every file is closed.
bool ExportHtml(NoteDocument& doc, std::string_view outputPath, const HtmlExportOptions& options,
                HtmlExportHost& host);

// Reads a page list such as "1, 4, 6-8" (numbers from 1, separated by
// commas or blanks; "a-b" with a <= b) into `ranges`.  False, with `ranges`
// empty, when the text lists no page or holds anything else.
bool HtmlExport_parsePageList(std::string_view text, std::vector<std::pair<int32_t, int32_t>>& ranges);

// The link table that sends links into the note to the page files of the
// export: 0, 1040 (out of memory) or 1041 (a text too long; the table is
// then empty).  The table goes into ctx.linkTable.
int BuildNoteLinkTable(SvgWriteContext& ctx, std::string_view notePath,
                       std::string_view outputPath, const NoteDocument& doc, int32_t limit);
