// A print job: the pages of a note drawn onto a printer (or into a PDF
// file, which is a printer too) sheet by sheet as the pager lays them out,
// each page through RenderPage onto a Surface over the printer's painter:
// on white, without the Canvas, with the back page's figures first and the
// ink when the view has it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "view/print/print_pager.h"

class NoteDocument;
class QPrinter;
class ViewInkPainter;

struct PrintJobOptions {
  int32_t firstPage = 1, lastPage = 1;  // brought into 1 ... the last page
  // Copies the printer cannot make itself: collated, the whole range once
  // per copy; else each sheet as many times.
  int32_t copies = 1;
  bool collate = true;
  // The table of contents (CSV lines) is appended here when given.
  std::string* toc = nullptr;
  // Before each sheet: the page being printed and the pages of the range
  // (the window title "印刷中 (%d/%d) ...").
  std::function<void(int32_t done, int32_t total)> progress;
  ViewInkPainter* ink = nullptr;
};

// The pager's records of a note: each page record's size, in list order.
std::vector<PrintPageRecord> PrintJob_records(const NoteDocument& doc);
// The device values of a printer: printable area in pixels and millimetres.
PrintDevice PrintJob_device(const QPrinter& printer);

// Prints; answers the number of sheets made (0: nothing printed, also when
// the printer could not be started or its paper is too small).  The working
// copy is stored first.
int32_t PrintJob_print(QPrinter& printer, NoteDocument& doc, const PrintJobOptions& options);
