// The print command of a main window (32888, Ctrl+P): the question for a
// table of contents (a CSV file of the pages and the sheets they start
// on), the print dialog (a printer, or a PDF file through its "print to
// file"), then the print job of the view (view/print/print_job.h), while
// the view does not paint and the window title counts the pages.
#pragma once

#include <functional>

class CMainFrame;
class CommandTable;
class QPrinter;

// The print dialog: answers false when cancelled.  It is given the printer
// with the full range 1 ... `lastPage` preset and collated copies.
using NotePrint_Dialog = std::function<bool(QPrinter& printer, int lastPage)>;

// PrintNote.  `dialog` empty: the window system's print dialog (never shown
// without a person: nothing is printed then).  Answers the sheets printed.
int NotePrint_printNote(CMainFrame& frame, const NotePrint_Dialog& dialog = {});

void NotePrint_registerCommands(CommandTable& table, CMainFrame& frame);
