// CInputML1: the modal multi-line text dialog of the view.  It edits the
// text of a text box (the editor command, a line pulled to empty space)
// and answers OK with the edited text, or Cancel.
#pragma once

#include <QDialog>
#include <QPoint>

#include <functional>
#include <string>

class QPlainTextEdit;

class CInputML1 : public QDialog {
 public:
  // `text` is CP932; `at` the screen point where the dialog opens.
  CInputML1(QWidget* parent, const std::string& text, bool japanese, QPoint at);

  std::string text() const;
  void setText(const std::string& text);
  QPlainTextEdit& editor() const { return *edit_; }

  // Shows the dialog modally.  Tests replace it (the dialog is filled and
  // its answer given without a person); by default QDialog::exec, and,
  // without a person to answer (the non-interactive prompt service), OK
  // with the text unchanged.
  static std::function<int(CInputML1&)> exec;

 private:
  QPlainTextEdit* edit_;
};

// Asks for a multi-line text; false on Cancel (`text` unchanged).
bool CInputML1_ask(QWidget* parent, std::string& text, bool japanese, QPoint at);
