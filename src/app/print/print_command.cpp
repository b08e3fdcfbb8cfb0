#include "app/print/print_command.h"

#include <cerrno>

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

#include <cstdio>
#include <string>

#include "app/mainframe/main_frame.h"
#include "core/errors/except3.h"
#include "core/filex/filex_open.h"
#include "core/filex/text_file.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/print/print_job.h"

namespace {

// m_Printing from the start of the command to its end, on every way out;
// the view paints again afterwards.
class PrintingState {
 public:
  explicit PrintingState(CChildView& view) : view_(view) { view_.m_Printing = true; }
  ~PrintingState() {
    view_.m_Printing = false;
    view_.Invalidate();
  }
  PrintingState(const PrintingState&) = delete;
  PrintingState& operator=(const PrintingState&) = delete;

 private:
  CChildView& view_;
};

bool windowSystemDialog(CMainFrame& frame, QPrinter& printer, int lastPage) {
  if (!UserPrompts_get().interactive()) return false;
  QPrintDialog dialog(&printer, &frame);
  dialog.setMinMax(1, lastPage);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintCollateCopies, true);
  dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
  return dialog.exec() == QDialog::Accepted;
}

// A table of contents that cannot be written is said, never dropped.
void reportUnwritable(CMainFrame& frame, const std::string& path, int err) {
  Except_tryCatch([&] { FileX_raiseOpenError(path, true, err); },
                  [&](const Errors_Msg& e) {
                    UserPrompts_get().messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning,
                                                 PromptAnswer::Ok, WindowIds_idOf(&frame));
                  });
}

// The table of contents: asked for, named and created empty; false ends
// the command.
bool askToc(CMainFrame& frame, std::string& tocPath) {
  UserPrompts& prompts = UserPrompts_get();
  const uint32_t owner = WindowIds_idOf(&frame);
  if (prompts.messageBox("印刷物のもくじファイル(CSV形式)も出力しますか。", "",
                         PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::No,
                         owner) != PromptAnswer::Yes) {
    return true;
  }
  std::string path = "Print.csv";
  if (!frame.notePath().empty()) path = StrX_joinPath(StrX_parentFolder(frame.notePath()), path);
  int kind = 0;
  if (!prompts.saveFileName("", "もくじCSVファイル|*.csv|すべてのファイル (*.*)|*.*||", path, kind,
                            owner)) {
    return false;
  }
  if (kind == 0 && StrX_extension(path).empty()) path += ".csv";
  // A file that cannot be made is said at once, before anything prints.
  if (!TextFile_write(path, "", false)) {
    reportUnwritable(frame, path, errno);
    return false;
  }
  tocPath = path;
  return true;
}

}  // namespace

int NotePrint_printNote(CMainFrame& frame, const NotePrint_Dialog& dialog) {
  if (!frame.hasNote()) return 0;
  PrintingState printing(frame.view());
  std::string tocPath;
  if (!askToc(frame, tocPath)) return 0;
  NoteDocument& doc = frame.document();
  const int lastPage = std::max(doc.lastPageNumber(), 1);
  QPrinter printer(QPrinter::HighResolution);
  printer.setFromTo(1, lastPage);
  printer.setCollateCopies(true);
  printer.setDocName(QtText_fromCp932(
      frame.notePath().empty() ? std::string() : StrX_fileName(frame.notePath())));
  const bool accepted =
      dialog ? dialog(printer, lastPage) : windowSystemDialog(frame, printer, lastPage);
  if (!accepted) return 0;

  QApplication::setOverrideCursor(Qt::WaitCursor);
  PrintJobOptions options;
  options.firstPage = printer.fromPage() > 0 ? printer.fromPage() : 1;
  options.lastPage = printer.toPage() > 0 ? printer.toPage() : lastPage;
  // Copies the printer cannot make are made here.
  if (!printer.supportsMultipleCopies()) {
    options.copies = printer.copyCount();
    options.collate = printer.collateCopies();
  }
  std::string toc;
  if (!tocPath.empty()) options.toc = &toc;
  const bool ja = frame.options().japanese;
  options.progress = [&frame, ja](int32_t done, int32_t total) {
    char title[64];
    std::snprintf(title, sizeof title, ja ? "印刷中 (%d/%d) ..." : "Printing (%d/%d) ...", done,
                  total);
    frame.setWindowTitle(QtText_fromCp932(title));
  };
  options.ink = frame.view().m_Ink;
  const int sheets = PrintJob_print(printer, doc, options);
  frame.RefreshWindowTitle();
  QApplication::restoreOverrideCursor();
  if (!tocPath.empty() && !TextFile_write(tocPath, toc, false)) reportUnwritable(frame, tocPath, errno);
  return sheets;
}

void NotePrint_registerCommands(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  table.add(Cmd_Print, ja ? "印刷(&P)..." : "&Print...", ja ? "ファイル(&F)" : "&File",
            {QKeySequence(QKeySequence::Print)},
            [&frame] { NotePrint_printNote(frame); });
}
