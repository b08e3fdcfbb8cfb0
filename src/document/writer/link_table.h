// The link tables of the publishing save and the HTML export: the
// replacements of link targets read from a "repurl" settings file, and the
// table built from the note's own figure ids.
//
// A table is ordered by falling length of `from`, so that the longest
// matching prefix is met first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/svg_write_context.h"

// Kinds of the link-replacement file: 1 ("-repurl="), 2 ("-repurl2=", the
// public copies of notes beside HTML pages).
inline constexpr int LinkTable_kindHtml = 1;
inline constexpr int LinkTable_kindSvgCopy = 2;

// Reads the section "repurl" of the settings file `settingsPath`: pairs of
// lines "src = path" and "dst = path".  Each src is made absolute against
// `sourceFolder` (the settings file's folder when that is empty), each dst
// against `destinationFolder` (or that folder).  With kind 2, a dst whose
// extension begins with "htm" paired with a src whose extension is "svg"
// (both ignoring case) gets the extension "xml".  The pairs come out in
// falling length of src; pairs of equal length keep their file order.
// Raises what the settings reader raises: 363 when the file cannot be
// read, 591 without the section, 596 (IniFile_Err_BadAttr) when a pair
// does not begin with "src" or its second line is not "dst", 595 when the
// file ends after a "src" line, 3183 when a path gets too long.
std::vector<SvgLinkPair> LinkTable_readRepurl(std::string_view settingsPath,
                                              std::string_view sourceFolder,
                                              std::string_view destinationFolder, int kind);

// One ordinary page of the note for LinkTable_buildFromNote (the back page
// is left out by the caller, and so are the pages the export leaves out).
struct LinkTablePage {
  int32_t height = 0;
  std::vector<std::string> figureIds;  // in list order; empty ids are skipped
};

class NoteDocument;

// The ordinary pages of a note (the back page left out), for
// LinkTable_buildFromNote.
std::vector<LinkTablePage> LinkTable_pagesOf(const NoteDocument& doc);

// The longest text of a table entry is this size - 1 bytes.
inline constexpr size_t LinkTable_textSize = 512;

// Builds into `table` the replacements that send links into the note P
// (`notePath`) to the page files of the export O (`outputPath`): when
// `limit` is not 0, one entry per non-empty figure id, from P + "#" + id to
// O with its extension replaced by "files/<name>_<NN>.<ext>#<id>" (name and
// ext those of O's file name, NN the page-file number as "%02d").  Page
// files are numbered from 1 with an offset `firstOffset` (the HTML export
// places its first page at 8); after each page the offset grows by the
// page height + 16, and when that would exceed `limit` the offset restarts
// at 0 and the number grows by one.  The entries are
// sorted by falling length of `from` (stable), and a last entry maps P to
// O.  Answers 0; 1041 when a text would need more than
// LinkTable_textSize - 1 bytes, 1040 when memory runs out; the table is
// then empty.
int LinkTable_buildFromNote(std::vector<SvgLinkPair>& table, std::string_view notePath,
                            std::string_view outputPath, const std::vector<LinkTablePage>& pages,
                            int32_t limit, int32_t firstOffset = 0);

// Sorts a table by falling length of `from`, keeping the order of entries
// of equal length.
void LinkTable_sortByFallingLength(std::vector<SvgLinkPair>& table);
