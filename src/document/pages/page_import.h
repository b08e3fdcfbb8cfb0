// Pages that come from other note files: a new page filled from a template
// note, and every page of another note inserted into the open one.
//
// The other note is read with the note reader into a note of its own (a
// document number of its own, the same work folder), and what it holds is
// then taken over:
//   - its figures, titles, ink data and page tree;
//   - its ink layer files, renamed to the receiving note's pages;
//   - its image working copies, renamed to the receiving note's number (the
//     figures point at the new names), so that releasing the other note
//     deletes nothing the figures still need;
//   - links into the other note ("<its path>#name") point into the
//     receiving note instead ("<note path>#name", or "#name" for a note
//     without a path), so that links between the taken pages keep finding
//     each other.
// Errors of the reader are passed on after the other note is released; the
// receiving note is changed only once the file was read.
#pragma once

#include <cstdint>
#include <string_view>

#include "document/note/note_document.h"
#include "document/reader/note_reader.h"

// Fills page `number` of `doc` (its record `page`) from the first page of
// the template note at `templatePath`: the figures, ink data, ink layer
// files and title; the page keeps its own settings.  A path that does not
// exist leaves the page as it is.  `notePath`: the receiving note's path
// ("" for an untitled note).
void NotePages_takeTemplatePage(NoteDocument& doc, NotePage& page, int32_t number,
                                std::string_view templatePath, std::string_view notePath,
                                const NoteReadOptions& options);

struct NotePages_Inserted {
  int32_t first = -1;  // the number of the first inserted page
  int32_t count = 0;   // how many pages were inserted
};

// Inserts every ordinary page of the note at `path` (its back page is
// dropped) with its tree in front of page `before` (see
// NoteDocument::InsertPagesFrom) and selects the first of them.  A page
// whose id names a page of the receiving note already loses its id (one
// name, one page).  A note without pages inserts nothing (count 0).
NotePages_Inserted NotePages_insertFromFile(NoteDocument& doc, int32_t before,
                                            std::string_view path, std::string_view notePath,
                                            const NoteReadOptions& options);
