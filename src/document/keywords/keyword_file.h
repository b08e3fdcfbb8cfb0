// The keyword index file of a note: a small XML file in the keywords folder
// that lists, page by page, the keyword and heading texts of the note and
// the ids of their text boxes, so that the keyword search can find notes
// and jump to the page and figure without opening every note.
//
// Name: "<keywords folder>/<note file name>_keywords_<uuid>.xml", the uuid
// in capitals without braces.  Text: code page 932, CR LF line ends:
//
//   <?xml version="1.0" encoding="Shift-JIS" ?>
//
//   <keywords xmlns:xlink="http://www.w3.org/1999/xlink"
//     xlink:type="simple"
//     xlink:href="/abs/note.svg">
//
//   <page id="3" title="Title">
//   <kw href="#k1" level=2>text</kw>
//   </page>
//
//   </keywords>
//
// A text box counts when its class list (comma-separated items, an item
// optionally followed by "-" and/or a number, blanks around them allowed)
// holds the item "keyword" (level = the number; none or 0 gives 1) or the
// item "head" (level 1).  "href" is written when the box has an id,
// "level" (unquoted) when the level is 2 or more.
//
// Two ways to the same file:
//   - from memory (KeywordFile_write), after a save: every page record in
//     list order with its number (the back page as page 0), one element
//     per marked text box holding its whole text;
//   - from the note file (KeywordFile_scan), for the remake over folders:
//     the pages of the file's page-title list, one element per
//     comma-separated part of the first line of each marked text box,
//     escaped with the visible-spaces rule and cut to 259 bytes.
// In both, '&', '<' and '>' of texts and '&', '<', '"' and '\'' of
// attribute values are written as entities, so the file always parses;
// plain text is written unchanged.
//
// Files are written whole from memory and renamed over the old one, so a
// reader never sees half a file and a failed scan leaves no file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/strx/strx_numbers.h"
#include "document/note/note_document.h"

// The longest part of a keyword text the scan writes, in bytes (escaped).
inline constexpr size_t KeywordFile_partMax = 259;

// The keyword level a class list gives: the number after the first
// "keyword" item (1 when it has none or 0), else 1 for a "head" item (with
// or without a number), else 0 (no mark).  "keywords", "heading" and
// "xkeyword" are no marks; numbers beyond the int32_t range give its
// largest value.
int32_t KeywordFile_levelOfClass(std::string_view classList);

// "<folder>/<file name of notePath>_keywords_<uuid>.xml".
std::string KeywordFile_path(std::string_view keywordsFolder, std::string_view notePath,
                             const StrX_Guid& uuid);
// "<folder>/<file name of notePath>_text_<uuid>.txt": the plain-text dump.
std::string KeywordFile_textPath(std::string_view plainTextFolder, std::string_view notePath,
                                 const StrX_Guid& uuid);

// --- from memory ---
// The index file's bytes for the note as it is in memory.  The page
// records are the working copy, so nothing needs storing first.
std::string KeywordFile_memoryText(const NoteDocument& doc, std::string_view notePath);
// The plain-text dump's bytes: the note's path and CR LF; per page a line
// of 71 asterisks, "  <<< title >>> ", another line of asterisks, the plain
// text of every figure (WritePlainText) in reading order (rising reference
// y, then rising reference x, else list order), and "\r\n \r\n".
std::string KeywordFile_plainText(const NoteDocument& doc, std::string_view notePath);
// Writes the index file of the note (creating the folder when missing) and,
// when `plainTextFolder` is not empty, the plain-text dump into it.  Does
// nothing for an empty note path.  Raises what writing raises (362, 365).
void KeywordFile_write(const NoteDocument& doc, std::string_view notePath,
                       std::string_view keywordsFolder, std::string_view plainTextFolder = {});

// Deletes the note's index file and, when `plainTextFolder` is not empty,
// its plain-text dump (a note that was deleted or lost its keywords).
// True when no index file is left.
bool KeywordFile_remove(std::string_view keywordsFolder, std::string_view notePath,
                        const StrX_Guid& uuid, std::string_view plainTextFolder = {});

// --- from a note file ---
// What a scan of a note's document text gives: the uuid of its root
// (valid only with hasUuid) and the index file's bytes.
struct KeywordScanResult {
  bool hasUuid = false;
  StrX_Guid uuid;
  std::string text;
};
// Scans document text (code page 932, as NoteReader_documentText gives it)
// of the note at `notePath`.  Page groups are "page" + digits (number = the
// digits) and "backpage" (0) at the top of the file only; content before
// any page group belongs to page 0, or to page 1 when the file has no page
// group.  Raises CZerbinApp_Err_SnanKeyword (4012) "uuid がありません
// (<path>)" when the root has no valid uuid.
KeywordScanResult KeywordFile_scanText(std::string text, std::string_view notePath);
// Reads the note file (svgz unpacked, UTF-16 converted) and replaces its
// index file in the keywords folder (created when missing): 0.  -1 when
// the note has no valid uuid (4012) or cannot be read (363): the message
// goes to the error log and no file is written.  Other errors pass on.
int KeywordFile_scan(std::string_view notePath, std::string_view keywordsFolder);

// --- the remake over folders ---
// Progress of the remake: pass 1 counts the notes (done = notes counted so
// far, total = 0), pass 2 scans them (done of total).  Called every 16
// files and once at the end of each pass.
using KeywordFile_Progress = std::function<void(int pass, size_t done, size_t total)>;
struct KeywordRemakeResult {
  size_t notes = 0;    // files with the extension "svg" (any case)
  size_t written = 0;  // index files written
};
// Scans every note ("svg" in any case; "svgz" is not scanned) below the
// folders, in the walk order of NestFindGrow.  An error of one note is
// logged and the remake goes on with the next.
KeywordRemakeResult KeywordFile_remake(const std::vector<std::string>& folders,
                                       std::string_view keywordsFolder,
                                       const KeywordFile_Progress& progress = {});
// The tip of the notification-area icon during the remake:
// "<program name> - 検索DB作成:<percent>%".
std::string KeywordFile_remakeTip(std::string_view programName, int percent);
