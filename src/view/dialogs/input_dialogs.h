// The small modal dialogs the property bar and the window's commands ask
// with: one line of text (CInputDlg1), a number (CInputIntDlg1), one of a
// list (CInputSelectDlg), a date and time (CAlarmDlg), and the colour and
// font choosers.  Texts are CP932.  Each dialog is shown through
// Dialog_run: tests set its `exec` and answer it without a person.
#pragma once

#include <QColorDialog>
#include <QDialog>
#include <QFontDialog>
#include <QPoint>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QListWidget;

// Places a dialog with its centre on `at` (global), kept on the screen.
void InputDialogs_centreOn(QWidget& dialog, QPoint at);

class CInputDlg1 : public QDialog {
 public:
  // `targetChoices`: the text field offers these (an editable list), as
  // the target row does with "_blank" and "_top".
  CInputDlg1(QWidget* parent, const std::string& title, const std::string& prompt,
             const std::string& text, const std::vector<std::string>& targetChoices = {});
  std::string text() const;
  void setText(const std::string& text);
  // A "..." button beside the field asks for a file (the open dialog with
  // the filter "label|pattern|...||", opened in `folder`).
  void addBrowse(const std::string& filter, const std::string& folder);
  static std::function<int(CInputDlg1&)> exec;

 private:
  QLineEdit* edit_ = nullptr;
  QComboBox* combo_ = nullptr;
};

class CInputIntDlg1 : public QDialog {
 public:
  CInputIntDlg1(QWidget* parent, const std::string& title, const std::string& prompt,
                int32_t value);
  // The text as typed: the caller keeps it within its range.
  std::string text() const;
  void setText(const std::string& text);
  static std::function<int(CInputIntDlg1&)> exec;

 private:
  QLineEdit* edit_;
};

class CInputSelectDlg : public QDialog {
 public:
  CInputSelectDlg(QWidget* parent, const std::string& title,
                  const std::vector<std::string>& choices, int32_t current);
  int32_t chosen() const;
  void choose(int32_t index);
  QListWidget& list() const { return *list_; }
  static std::function<int(CInputSelectDlg&)> exec;

 private:
  QListWidget* list_;
};

// "アラーム時刻の設定": a date and time.
class CAlarmDlg : public QDialog {
 public:
  CAlarmDlg(QWidget* parent, bool japanese, std::time_t time);
  std::time_t time() const;
  void setTime(std::time_t time);
  static std::function<int(CAlarmDlg&)> exec;

 private:
  QDateTimeEdit* edit_;
};

class CColorDialog : public QColorDialog {
 public:
  CColorDialog(QWidget* parent, uint32_t colour);  // 0x00BBGGRR
  uint32_t colour() const;
  static std::function<int(CColorDialog&)> exec;
};

class CFontDialog : public QFontDialog {
 public:
  CFontDialog(QWidget* parent, const QFont& font);
  static std::function<int(CFontDialog&)> exec;
};
