// The conversion scripts: a Windows Script File (VBScript) that, run where
// Word, Excel or PowerPoint is installed, rebuilds the note's pages as the
// application's own shapes.  The figures write their statements
// (WriteOfficeScript); this module writes everything around them: the job
// header, the conversion class, the constants, the main routine with one
// step per page, the page routines split into chunks of about 2000 lines,
// and the helpers.  Every line ends with CR LF; text is code page 932.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "document/writer/note_save_host.h"
#include "figures/base/office_script_writer.h"

class NoteDocument;

// A page routine is closed once its figures wrote more lines than this.
inline constexpr int32_t OfficeScript_chunkLines = 2000;

// What the conversion takes from the application: the measuring of text
// while the pages are prepared, the path variables and the note's path
// (NoteSaveHost), and the installation's script folder.
class OfficeScriptHost : public NoteSaveHost {
 public:
  // The expansion of "%script%" (the folder of ExcelLib.vbs); "" for none.
  virtual std::string scriptFolder() const { return ""; }
};

// The attachment folder of a script: its path with the extension replaced
// by "files" (pictures are copied into numbered folders below it).
std::string OfficeScript_attachFolder(std::string_view scriptPath);

// Writes the whole script for `target` to `scriptPath` (absolute, CP932).
// Flags: kOfficeFlagEnlarge (PowerPoint shapes at twice their size),
// kOfficeFlagExcel2007 (the Excel comment).  The current page is stored and
// every page is laid out first.  Raises file errors (362, 365) and the
// errors of the figures (a picture that cannot be copied).
void WriteConversionScript(NoteDocument& doc, std::string_view scriptPath, OfficeTarget target,
                           int32_t flags, OfficeScriptHost& host);

// The same script as text (for tests and the benchmark); `scriptPath`
// names the attachment folder and the pictures' copies.
std::string OfficeScript_text(NoteDocument& doc, std::string_view scriptPath, OfficeTarget target,
                              int32_t flags, OfficeScriptHost& host);
