// CSaveExDlg ("ファイル出力"): the dialog of the main window's VML-HTML and
// MHTML commands.  It takes the destination (relative names land on the
// desktop), the output type, the range, the publication name and the link
// choices, and answers them as plain values.
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// What the dialog holds (texts CP932).
struct SaveExValues {
  std::string fileName;  // as typed (the field's text)
  int outputType = 0;    // 0: "v", 1: "V", 2: "m"
  int range = 0;         // 0: all, 1: current page, 2: the listed pages
  std::string pages;     // "1, 4, 6-8"
  std::string publication = "_all";
  bool sameFileNoNewWindow = false;
  bool noLinksToOtherFiles = true;
  bool openInBrowser = true;
};

class CSaveExDlg : public QDialog {
 public:
  CSaveExDlg(QWidget* parent, const SaveExValues& values, bool japanese);

  SaveExValues values() const;
  void setValues(const SaveExValues& values);

  QLineEdit& fileField() const { return *file_; }
  QComboBox& typeList() const { return *type_; }
  QRadioButton& rangeButton(int which) const { return *range_[which]; }
  QLineEdit& pagesField() const { return *pages_; }
  QLineEdit& publicationField() const { return *pub_; }
  QCheckBox& checkBox(int which) const { return *checks_[which]; }

  // Shows the dialog modally.  Tests replace it (the dialog is filled and
  // answered without a person); by default QDialog::exec, and without a
  // person to answer (the non-interactive prompt service), OK as filled.
  static std::function<int(CSaveExDlg&)> exec;

 private:
  void browse();
  void updateEnabling();

  QLineEdit* file_;
  QComboBox* type_;
  QRadioButton* range_[3];
  QLineEdit* pages_;
  QLineEdit* pub_;
  QCheckBox* checks_[3];
  bool japanese_;
};

// Shows the dialog filled with `values`; false on Cancel (values as they
// were), else the values read back.
bool CSaveExDlg_ask(QWidget* parent, SaveExValues& values, bool japanese);

// The name read back: absolute against the desktop folder.
std::string CSaveExDlg_absoluteName(const std::string& fileName, const std::string& desktopFolder);
