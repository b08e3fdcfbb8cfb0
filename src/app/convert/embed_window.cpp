#include "app/convert/embed_window.h"

#include <QCheckBox>
#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cstdio>

#include "app/links/shell_services.h"
#include "app/mainframe/main_frame.h"
#include "app/saving/frame_save_host.h"
#include "core/errors/except3.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "document/writer/note_writer.h"
#include "export/embed/embed_html.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/dialogs/dialog_run.h"

std::function<int(CHtmlSelDlg&)> CHtmlSelDlg::exec;
std::function<int(CDummy&)> CDummy::exec;

namespace {

// Literals are CP932 (the build's execution character set).
QString q(const char* text) { return QtText_fromCp932(text); }

// The window's note and settings for the embedding pages.
class FrameEmbedHost final : public EmbedHtmlHost {
 public:
  explicit FrameEmbedHost(CMainFrame& frame) : frame_(frame) {}
  NoteDocument& document() const override { return frame_.document(); }
  std::string notePath() const override { return frame_.notePath(); }
  bool japanese() const override { return frame_.options().japanese; }
  bool lowerPath() const override { return frame_.options().save.lowerPath; }
  bool transparentBackground() const override { return frame_.options().windowColor; }
  bool scriptWrapper() const override { return frame_.options().scriptWrapper; }
  StrX_VarLookup variables() const override { return frame_.options().save.variables; }

 private:
  CMainFrame& frame_;
};

bool hasInk(const NoteDocument& doc) {
  for (size_t i = 0; i < doc.pageCount(); ++i)
    if (!doc.pageAt(i).inkData.empty()) return true;
  return false;
}

// Writes the frame HTML; a failure is shown and answers false.
bool writeFrame(CMainFrame& frame, const std::string& path, const std::string& svgRef,
                const std::string& title, int layout) {
  bool ok = false;
  Except_tryCatch(
      [&] {
        WriteFrameHtml(FrameEmbedHost(frame), path, svgRef, title, layout);
        ok = true;
      },
      [&](const Errors_Msg& e) {
        UserPrompts_get().messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok,
                                     WindowIds_idOf(&frame));
      });
  return ok;
}

}  // namespace

CHtmlSelDlg::CHtmlSelDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(q("HTMLの出力"));
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(q("出力する HTML の形式を選んでください。")));
  buttons_[0] = new QRadioButton(q("ドキュメント・タイプ（各ページを並べます）"));
  buttons_[1] = new QRadioButton(q("壁紙タイプ（上下左右のマージンを無くします）"));
  buttons_[2] = new QRadioButton(q("プレゼン・タイプ（ページ送りボタンをつけます）"));
  for (QRadioButton* b : buttons_) top->addWidget(b);
  buttons_[0]->setChecked(true);
  auto* row = new QHBoxLayout;
  auto* ok = new QPushButton(q("OK"));
  auto* cancel = new QPushButton(q("キャンセル"));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  row->addStretch();
  row->addWidget(ok);
  row->addWidget(cancel);
  top->addLayout(row);
}

int CHtmlSelDlg::layout() const {
  if (buttons_[1]->isChecked()) return EmbedHtml_wallpaper;
  if (buttons_[2]->isChecked()) return EmbedHtml_presentation;
  return EmbedHtml_document;
}

CDummy::CDummy(CMainFrame& frame) : QDialog(&frame), frame_(frame) {
  setWindowTitle(q("埋め込み HTML"));
  resize(560, 320);
  auto* top = new QVBoxLayout(this);
  text_ = new QPlainTextEdit;
  text_->setReadOnly(true);
  text_->setLineWrapMode(QPlainTextEdit::NoWrap);
  top->addWidget(text_);
  checks_[0] = new QCheckBox(q("ファイル名を小文字にする(&L)"));
  checks_[1] = new QCheckBox(q("背景を透明にする(&B)"));
  checks_[2] = new QCheckBox(q("特許回避する(&P)"));
  checks_[3] = new QCheckBox(q("画像を埋め込む(&P)"));
  const CMainFrameOptions& o = frame.options();
  checks_[0]->setChecked(o.save.lowerPath);
  checks_[1]->setChecked(o.windowColor);
  checks_[2]->setChecked(o.scriptWrapper);
  checks_[3]->setChecked(hasInk(frame.document()));
  for (QCheckBox* c : checks_) top->addWidget(c);
  for (int i = 0; i < 3; ++i) connect(checks_[i], &QCheckBox::toggled, this, [this] { settingChanged(); });
  connect(checks_[3], &QCheckBox::toggled, this, [this] { rebuild(); });
  auto* row = new QHBoxLayout;
  ok_ = new QPushButton(q("OK"));
  copy_ = new QPushButton(q("コピー＆ OK"));
  ok_->setDefault(true);
  connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
  connect(copy_, &QPushButton::clicked, this, [this] {
    QGuiApplication::clipboard()->setText(text_->toPlainText());
    accept();
  });
  row->addStretch();
  row->addWidget(ok_);
  row->addWidget(copy_);
  top->addLayout(row);
  rebuild();
}

std::string CDummy::text() const { return QtText_toCp932(text_->toPlainText()); }

void CDummy::settingChanged() {
  frame_.setEmbedSettings(checks_[0]->isChecked(), checks_[1]->isChecked(), checks_[2]->isChecked());
  rebuild();
}

void CDummy::rebuild() {
  std::string text;
  Except_tryCatch(
      [&] {
        WriteEmbedTag(FrameEmbedHost(frame_), text, EmbedHtml_bufferSize,
                      checks_[3]->isChecked() ? EmbedHtml_imageForm : EmbedHtml_svgForm);
      },
      [&](const Errors_Msg& e) { text = e.message(); });
  // The field and the clipboard get the lines with the platform's line ends.
  std::string shown;
  for (char c : text)
    if (c != '\r') shown += c;
  text_->setPlainText(QtText_fromCp932(shown));
}

std::string EmbedWindow_frameHtml(CMainFrame& frame) {
  if (!frame.hasNote()) return "";
  UserPrompts& prompts = UserPrompts_get();
  const bool ja = frame.options().japanese;
  const uint32_t owner = WindowIds_idOf(&frame);
  const char* caption = ja ? "HTMLの出力" : "HTML";
  if (frame.notePath().empty()) {
    prompts.messageBox(ja ? "この機能は、ファイル名が決定してから使えます。" : "This function can use after naming file.",
                       caption, PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok, owner);
    return "";
  }
  CHtmlSelDlg dialog(&frame);
  if (Dialog_run(dialog) != QDialog::Accepted) return "";
  const std::string svgRef = StrX_fileName(frame.notePath());
  std::string title = svgRef;
  StrX_changeExtension(title, "", title.size() + 1);
  // The page goes beside the note; the lower-case setting folds its file
  // name (the folders are the note's own).
  std::string name = svgRef;
  StrX_changeExtension(name, "htm", name.size() + 5);
  if (frame.options().save.lowerPath) StrX_lowerAscii(name);
  const std::string path = StrX_joinPath(StrX_parentFolder(frame.notePath()), name);
  frame.CommitPendingEdits();
  if (!writeFrame(frame, path, svgRef, title, dialog.layout())) return "";
  if (prompts.messageBox(ja ? "SVG ファイルと同じフォルダに HTML ファイルを作成しました。\n開きますか？"
                            : "HTML file was made in the folder similar to SVG file.\nDo you want to open it?",
                         caption, PromptButtons::YesNo, PromptIcon::Question, PromptAnswer::No,
                         owner) == PromptAnswer::Yes)
    ShellServices_get().openWithDefault(path);
  return path;
}

std::string EmbedWindow_preview(CMainFrame& frame) {
  if (!frame.hasNote()) return "";
  frame.CommitPendingEdits();
  NoteDocument& doc = frame.document();
  const std::string svgPath = StrX_joinPath(doc.workFolder(), "__preview.svg");
  const std::string htmlPath = StrX_joinPath(doc.workFolder(), "__preview.html");
  FrameSaveHost host(frame);
  if (NoteWriter_save(doc, svgPath, true, host) != NoteWriter_ok) return "";
  if (!writeFrame(frame, htmlPath, "__preview.svg", "Preview - Zerbin", EmbedHtml_document)) return "";
  std::string target = htmlPath;
  if (doc.currentPageNumber() > 1) target += "#page" + std::to_string(doc.currentPageNumber());
  ShellServices_get().openWithDefault(target);
  return htmlPath;
}

void EmbedWindow_embedText(CMainFrame& frame) {
  if (!frame.hasNote()) return;
  frame.CommitPendingEdits();
  CDummy dialog(frame);
  Dialog_run(dialog);
}

void EmbedWindow_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  const char* menu = ja ? "ファイル(&F)" : "&File";
  table.add(Cmd_FrameHtml, ja ? "ﾌﾚｰﾑHTMLを出力(&H)..." : "Frame &HTML...", menu, {},
            [&frame] { EmbedWindow_frameHtml(frame); });
  table.add(Cmd_PreviewInSvgViewer, ja ? "SVGビューアでプレビュー(&V)" : "Pre&view in SVG Viewer", menu, {},
            [&frame] { EmbedWindow_preview(frame); });
  // Beside the clipboard commands: its mnemonic is the frame HTML's too.
  table.add(Cmd_EmbedHtml, ja ? "埋め込みHTML(&H)..." : "Embedding &HTML...", ja ? "編集(&E)" : "&Edit", {},
            [&frame] { EmbedWindow_embedText(frame); });
}
