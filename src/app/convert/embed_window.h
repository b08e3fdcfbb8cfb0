// The main window's commands for pages that embed the note's SVG file:
// "ﾌﾚｰﾑHTMLを出力(&H)..." (the frame HTML beside the note, in the layout
// chosen in CHtmlSelDlg), "SVGビューアでプレビュー(&V)" (a copy of the note
// and its frame HTML in the work folder, opened in the browser) and
// "埋め込みHTML(&H)..." (the embedding text in CDummy, for the clipboard).
#pragma once

#include <QDialog>

#include <functional>
#include <string>

class CMainFrame;
class CommandTable;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

// "HTMLの出力": the layout of the frame HTML.
class CHtmlSelDlg : public QDialog {
 public:
  explicit CHtmlSelDlg(QWidget* parent);
  // 3 document, 1 wallpaper, 2 presentation.
  int layout() const;
  // The buttons in the dialog's order: document, wallpaper, presentation.
  QRadioButton& layoutButton(int which) const { return *buttons_[which]; }
  // Tests answer the dialog (by default QDialog::exec; without a person,
  // OK as it stands).
  static std::function<int(CHtmlSelDlg&)> exec;

 private:
  QRadioButton* buttons_[3];
};

// "埋め込み HTML": the embedding text and its settings.  Each change of a
// box rebuilds the text; the first three store their setting at once.
class CDummy : public QDialog {
 public:
  explicit CDummy(CMainFrame& frame);
  // 0 lower-case names, 1 transparent background, 2 script wrapper,
  // 3 the image form.
  QCheckBox& checkBox(int which) const { return *checks_[which]; }
  QPlainTextEdit& textField() const { return *text_; }
  QPushButton& copyButton() const { return *copy_; }
  QPushButton& okButton() const { return *ok_; }
  // The text shown (CP932).
  std::string text() const;
  static std::function<int(CDummy&)> exec;

 private:
  void rebuild();
  void settingChanged();

  CMainFrame& frame_;
  QPlainTextEdit* text_;
  QCheckBox* checks_[4];
  QPushButton* ok_;
  QPushButton* copy_;
};

// The commands; each answers what it wrote ("" when nothing: untitled,
// cancelled or failed; failures are reported).
std::string EmbedWindow_frameHtml(CMainFrame& frame);
std::string EmbedWindow_preview(CMainFrame& frame);
void EmbedWindow_embedText(CMainFrame& frame);

void EmbedWindow_register(CommandTable& table, CMainFrame& frame);
