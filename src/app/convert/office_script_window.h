// The main window's commands that write the open note as a conversion
// script for Word, Excel or PowerPoint (and enlarged PowerPoint): a
// question (Word, PowerPoint) or the CExcelOption dialog (Excel) chooses
// between running the conversion at once (the script goes to the work
// folder and is opened with its default program) and writing the script
// only, to a file the user names.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

#include "figures/base/office_script_writer.h"

class CMainFrame;
class CommandTable;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// What CExcelOption holds (texts CP932).
struct ExcelOptionValues {
  int32_t version = 2007;   // 2000 ("for Excel 2003") or 2007
  bool sheetPerPage = true;  // "ページごとにシートを分ける (&P)"
  bool toFile = false;       // "デスクトップにスクリプトに出力する(&F):"
  std::string path;          // the field: relative to the desktop
};

class CExcelOption : public QDialog {
 public:
  CExcelOption(QWidget* parent, const ExcelOptionValues& values, std::string desktopFolder,
               bool japanese);
  ExcelOptionValues values() const;

  QComboBox& versionList() const { return *version_; }
  QCheckBox& sheetBox() const { return *sheets_; }
  QCheckBox& fileBox() const { return *toFile_; }
  QLineEdit& pathField() const { return *path_; }
  QPushButton& browseButton() const { return *browse_; }

  // Shows the dialog modally.  Tests replace it; by default QDialog::exec,
  // and without a person to answer, OK as filled.
  static std::function<int(CExcelOption&)> exec;

 private:
  void browse();

  QComboBox* version_;
  QCheckBox* sheets_;
  QCheckBox* toFile_;
  QLineEdit* path_;
  QPushButton* browse_;
  std::string desktop_;
  bool japanese_;
};

// Runs the command of `target` (flags: kOfficeFlagEnlarge for the enlarged
// PowerPoint conversion).  Answers the script written, "" when cancelled
// or failed (failures are reported).
std::string OfficeScriptWindow_run(CMainFrame& frame, OfficeTarget target, int32_t flags);

void OfficeScriptWindow_register(CommandTable& table, CMainFrame& frame);
