// "-cv", "-cV", "-cm SOURCE DEST": a note written as VML-HTML pages (names
// made ASCII with Punycode for "-cv", kept for "-cV") or as one MHTML
// archive, read without a window.
#pragma once

#include <cstdint>
#include <string>

struct CZerbinApp;
class NoteDocument;

// The destination with its file name in the Punycode form that a web
// server takes ("-cv", "-cs"); "" after reporting a name that has none.
std::string CZerbinApp_webName(CZerbinApp& app, uint32_t frame, const std::string& destination);

// 0 when the export ran (an unpublished note gives its placeholder page and
// 0 too); 1 after reporting the failure.
int CZerbinApp_htmlExport(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination);

// The HTML copy of an open note that a saved page names in its
// `corr-image` ('v', 'V' or 'm'), with the default options.  Raises on
// errors.
void CZerbinApp_exportHtmlOf(CZerbinApp& app, uint32_t frame, NoteDocument& doc,
                             const std::string& notePath, const std::string& output, char mode);
