// The main window's commands that write the open note as VML-HTML pages
// ("v": names a web server takes, "V": names kept) or as one MHTML archive
// ("m"): the export dialog (CSaveExDlg) for the destination and choices,
// then the same export as "-cv", "-cV" and "-cm".
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CMainFrame;
class CommandTable;
struct SaveExValues;

// The dialog's output range as the export's page ranges: empty for all
// pages, the current page, or the listed pages (empty when the list is
// not valid).
std::vector<std::pair<int32_t, int32_t>> HtmlExportWindow_pageRanges(const SaveExValues& values,
                                                                     int32_t currentPage);

// Asks for the destination (proposed: the note's path with "html", "mht"
// for 'm'; "HTML" for an untitled note, on the desktop), the publication
// name and the link choices, and writes the note there (then opens it in
// the browser when asked).  Answers the file written, "" when cancelled or failed
// (failures are reported).
std::string HtmlExportWindow_run(CMainFrame& frame, char mode);

void HtmlExportWindow_register(CommandTable& table, CMainFrame& frame);
