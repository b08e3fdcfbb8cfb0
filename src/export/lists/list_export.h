// The comma-separated outputs of a note: the link list ("-links"), the id
// list ("-ids") and the table output, which turns pages of a given class
// into rows whose cells are the texts of text boxes of given classes.
//
// All three are code page 932 with CR LF line ends, written whole: a file
// is replaced in one step (FileX_AtomicFile), so a failure on the way never
// leaves half a list behind.
//
// Link list, one line per figure with a link, pages in list order (the back
// page is page 0):
//   "link", "target", "true|false", ←, page, "text", "note path"
// Id list, one line per figure with an id:
//   "note path#id", page, "text"
// "true" when the link is a web address or a "mailto:" (never checked) or
// names an existing file (after "%name%" variables; "#name" and "?kw=..."
// alone name the note itself).  The text is a text box's first line (at
// most 79 bytes, never half of a double-byte character), "(image)" for a
// picture, else empty.  Double quotes inside a field are doubled.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/writer/note_save_host.h"

class CadPrim;
class NoteDocument;

// What the lists take from the application beyond the note: the note's
// path, the folder variables and the text measuring (NoteSaveHost), and the
// boxes of the table output.
class ListExportHost : public NoteSaveHost {
 public:
  // A message box; an empty caption shows none.
  virtual void showListMessage(std::string_view /*text*/, std::string_view /*caption*/) {}
  // The CSV file cannot be created: true to try again (Retry), false to
  // give up (Cancel).
  virtual bool retryOpen(std::string_view /*text*/, std::string_view /*caption*/) { return false; }
};

// --- the link and id lists ---

// The list text of a figure: its first line for a text box (79 bytes at
// most), "(image)" for a picture, "" otherwise.
std::string ListExport_figureText(const CadPrim& figure);
// Whether a link names something that exists: a web address, or a file
// relative to the note's folder (variables expanded with `variables`).
bool ListExport_linkExists(std::string_view link, std::string_view notePath,
                           const StrX_VarLookup& variables);
// The bytes of the two lists.  The page being edited is stored first.
std::string ListExport_linkListText(NoteDocument& doc, std::string_view notePath,
                                    const StrX_VarLookup& variables);
std::string ListExport_idListText(NoteDocument& doc, std::string_view notePath);
// Write them to `path` (362 / 365 as FileX_replaceAtomically raises).
void WriteLinkList(NoteDocument& doc, std::string_view path, ListExportHost& host);
void WriteIdList(NoteDocument& doc, std::string_view path, ListExportHost& host);

// --- the table output ---

// One column of a table: the class of the text box that fills it, the
// character put before a cell that begins with '+', '-', '=' or a digit
// ("" for none), and the length rule: 0 the whole text, n > 0 its first n
// characters, n < 0 the text without its first -n characters (a
// double-byte character counts as one).
struct TableColumn {
  std::string className;
  std::string prefix;
  int32_t length = 0;
};
// One [TableFormat] section of a format file.
struct TableFormat {
  std::string pageClassName;
  bool reverse = false;
  std::vector<TableColumn> columns;
};

// The text cut by a length rule.
std::string ListExport_cutChars(std::string_view text, int32_t rule);
// One cell: the prefix where it applies, then the CSV quoting of the
// settings files (quoted when it holds a comma, a double quote or a line
// break, or begins or ends with a blank; quotes doubled; CR LF as LF).
std::string ListExport_csvCell(std::string_view text, std::string_view prefix);

// Every [TableFormat] section of the format file, in file order (an empty
// list when it has none).  Raises what the settings reader raises for a
// file that cannot be read (363) or a section it cannot read (593, 595,
// 596 ...).
std::vector<TableFormat> TableFormat_read(std::string_view formatPath);
// The table text of the note; `rows` gets the number of rows written.
std::string ListExport_tableText(NoteDocument& doc, const std::vector<TableFormat>& formats,
                                 int* rows = nullptr);

enum class TableOutResult {
  Written,    // the CSV file holds the tables
  NoMatch,    // written, but no page matched any table (after the message)
  NoSection,  // the format had no [TableFormat] section: nothing written
  Cancelled,  // the file could not be created and the user cancelled
};
// The table output: creates the CSV file (Retry / Cancel through the host
// while it cannot be), reads the format and writes the tables.  The two
// messages go through the host.  Other errors (a format file that cannot be
// read or parsed) are raised with nothing written.
TableOutResult WriteTable(NoteDocument& doc, std::string_view csvPath, std::string_view formatPath,
                          ListExportHost& host);
