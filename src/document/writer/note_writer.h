// Saving a note: the whole file in the note format, written beside the
// target and renamed over it, so that a save that fails at any step leaves
// the old file exactly as it was.  The publishing save writes the public
// copy of a note through the publication filter and the link rewriting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "document/note/note_document.h"
#include "document/writer/note_save_host.h"

// Results of the saves.
inline constexpr int NoteWriter_ok = 0;
inline constexpr int NoteWriter_failed = 1;

// What the publishing save is asked for.
struct NotePublishOptions {
  // The publication name ("-pub="); none publishes everything that has no
  // list.
  std::optional<std::string> publicationName;
  // The link-replacement settings file ("-repurl=" kind 1, "-repurl2="
  // kind 2); "" builds the link table from the note's own ids.
  std::string repurlPath;
  int repurlKind = 1;
  std::string sourceFolder;
  std::string destinationFolder;
};

// Gives every figure that line ends hang on an id that no earlier figure
// of its page has (ignoring case): "label-1", "label-2", ...
void NoteWriter_assignLabelIds(NoteDocument& doc);

// Whether the note must be written in the wide (UTF-16) form: a page title,
// a page image path, an image path of a figure, or the text or link of a
// text box holds a Shift-JIS lead byte.  The saves also take the wide form
// whenever the text they write holds any byte from 0x80 up (an id, a
// class, a font name, ...), so that a file declared "utf-8" is plain ASCII.
bool NoteWriter_needsUtf16(const NoteDocument& doc);

// Lays out every page (text frames, connector routes, line ends) with the
// host's metrics.
void NoteWriter_preparePages(NoteDocument& doc, const NoteSaveHost& host);

// Saves the note to `target`: 0 success, 1 the target was not written (the
// host was shown the message).  `copy` saves a copy: the note keeps its
// path, saved state and settings, and no page files are regenerated.
int NoteWriter_save(NoteDocument& doc, std::string_view target, bool copy, NoteSaveHost& host);

// Writes the public copy of the note to `target`: 0 success, 1 failure.
// A failure is shown through the host: a replacement file (repurlPath) that
// cannot be read with its own error, naming that file; any other failure as
// the write failure of `target`.
int NoteWriter_savePublished(NoteDocument& doc, std::string_view target,
                             const NotePublishOptions& options, NoteSaveHost& host);

// The document text of the note as a save to `target` writes it ("\n" line
// breaks, before encoding), for the exports and tests.  Raises on errors.
std::string NoteWriter_documentText(NoteDocument& doc, std::string_view target,
                                    NoteSaveHost& host, bool& wide);
