// Command 33320 of a main window, "表形式(CSV)で出力(&S)...": the dialog
// CTableOutDlg ("テーブル出力") asks for the table format file, a save
// dialog for the CSV file (asking before it replaces one), and the tables
// of the note are written there (export/lists: WriteTable).
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class CMainFrame;
class CommandTable;
class QLineEdit;
class QPushButton;

class CTableOutDlg : public QDialog {
 public:
  CTableOutDlg(QWidget* parent, const std::string& formatPath, bool japanese);

  // The format file as typed (CP932).
  std::string formatPath() const;
  QLineEdit& formatField() const { return *format_; }
  // Shown, not read: every ordinary page is examined.
  QLineEdit& rangeField() const { return *range_; }
  QPushButton& nextButton() const { return *next_; }
  QPushButton& cancelButton() const { return *cancel_; }

  // Shows the dialog modally.  Tests replace it (the dialog is filled and
  // answered without a person); by default QDialog::exec, and without a
  // person to answer, OK as filled.
  static std::function<int(CTableOutDlg&)> exec;

 private:
  void browse();

  QLineEdit* format_;
  QLineEdit* range_;
  QPushButton* next_;
  QPushButton* cancel_;
  bool japanese_;
};

// Runs the command: answers the CSV file written, "" when cancelled, when
// nothing was written (no [TableFormat] section) or after a failure
// (reported in a box).
std::string TableOutWindow_run(CMainFrame& frame);

void TableOutWindow_register(CommandTable& table, CMainFrame& frame);
