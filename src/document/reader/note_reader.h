// Reading a note file into a NoteDocument: a note written by the note
// writer (format version 300), a note of the older format (200, without the
// "zerbin-" version mark) or a foreign SVG file, of which the elements the
// program knows are taken.
//
// The file is read whole into memory and never changed.  An svgz note
// (extension "svgz" in any case, starting with the gzip mark) is unpacked
// in memory; a file that starts with a UTF-16 byte-order mark is converted
// to code page 932 in memory; no temporary file is made for either.  A
// file without a mark is read as its XML declaration says (UTF-8 when it
// names none), except the program's own notes and files whose bytes are
// not UTF-8, which are code page 932.
//
// One pass over the markup events with a little state fills the pages:
//   - page groups ("backpage", "page" + N) and ink groups ("zerbin-ink")
//     are structure only at the top of the file (no group open; a page
//     group also not inside another page group): anywhere else such ids
//     belong to figures;
//   - the attributes a figure takes from the groups and links around it
//     are kept per open group (a group starts with its parent's values and
//     gives them back when it closes), so an inner <g transform=...> does
//     not lose the id of the text box around it, and a bare <a> keeps the
//     link its group set;
//   - pages are numbered in file order (the number of a page group's id is
//     not used); what stands before the first page group (figures, or a
//     back page group, even an empty one) becomes the back page;
//   - texts too long for the page's fields (titles, classes, publication
//     lists, ids) are cut at a character;
//   - the figures are made by the element readers (reader_elements.h) and
//     each ordinary group is resolved when it closes;
//   - each ink group is copied byte for byte into the page's ink layer
//     file, so that ink survives a load and a save unchanged.
// After the pass every page has both ink layer files, its line ends
// connected (so any page can be saved again unseen) and the page tree of
// the title list (a flat tree when the file has none or it does not fit
// the page order); page 1 is current.
//
// Errors: a missing file raises FileX_Err_CannotReadOpen (363) with an
// empty message; broken structure and unsupported elements raise
// CZerbinApp_Err_Format (4010) through ReaderError_*; a path too long for
// its field raises 4010 "BufOver ERROR in (line) path".  The document is
// then partly filled (but consistent: a page is current).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/surface/text_metrics.h"
#include "document/note/note_document.h"
#include "figures/base/app_counters.h"

class UserPrompts;

// An svgz note is never unpacked beyond this many bytes.
inline constexpr size_t NoteReader_unpackLimit = size_t{1} << 30;

struct NoteReadOptions {
  explicit NoteReadOptions(AppCounters& appCounters) : counters(appCounters) {}

  // Given to every text box made (null: boxes measure later).
  const TextMetrics* metrics = nullptr;
  // The user interface speaks Japanese: the back page's title and the
  // language of the error message.
  bool japanese = true;
  // Figure numbers and image serials.
  AppCounters& counters;
  // Where the "feof" message of a cut ink block goes (null: UserPrompts_get()).
  UserPrompts* prompts = nullptr;
  // The largest unpacked size of an svgz note.
  size_t unpackLimit = NoteReader_unpackLimit;
};

// Clears `doc` (its temporary files included), starts it as a new note with
// `documentNumber` and fills it from the file at `path`.  An empty file is
// one empty page of format version 300.
void NoteReader_read(NoteDocument& doc, int32_t documentNumber, std::string_view path,
                     const NoteReadOptions& options);

// A quick look before a window is sized: the size of the first page as the
// reader would give it (the root's size, less the margins of a written
// note, or the size of the first page group) goes to width and height, and
// the answer is true when the note has a second page.  It stops at the
// second page group.  Raises what reading the file raises (363, and 102 for
// a damaged svgz), nothing for the markup.
bool NoteReader_probePageSize(std::string_view path, int32_t& width, int32_t& height,
                              size_t unpackLimit = NoteReader_unpackLimit);

// The document text of a note file as the reader sees it: unpacked when it
// is an svgz note, and converted to code page 932 when it starts with a
// UTF-16 (either byte order) or UTF-8 byte-order mark, or when it is
// UTF-8 or another declared encoding (characters code page 932 lacks
// become "?").  Raises 363 when the
// file cannot be read and 102 for a damaged or oversized svgz.
std::string NoteReader_documentText(std::string_view path,
                                    size_t unpackLimit = NoteReader_unpackLimit);
