#include "app/convert/table_out_window.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

#include "app/mainframe/main_frame.h"
#include "app/saving/frame_save_host.h"
#include "app/saving/save_commands.h"
#include "app/windows/window_list.h"
#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "export/lists/list_export.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/dialogs/dialog_run.h"

std::function<int(CTableOutDlg&)> CTableOutDlg::exec;

namespace {

// Literals are CP932 (the build's execution character set).
QString u(const char* ja, const char* en, bool japanese) { return QtText_fromCp932(japanese ? ja : en); }

// The format file chosen last in this session: the dialog offers it again.
std::string& lastFormatPath() {
  static std::string path;
  return path;
}

// The window's save host with the table output's boxes.
class FrameListHost final : public ListExportHost {
 public:
  explicit FrameListHost(CMainFrame& frame) : frame_(frame), base_(frame), owner_(WindowIds_idOf(&frame)) {}
  const TextMetrics* metrics() const override { return base_.metrics(); }
  // The user's path variables first, as following a link does.
  StrX_VarLookup variables() const override {
    const StrX_VarLookup folders = base_.variables();
    UserPathVariables* user = frame_.options().windows ? &frame_.options().windows->pathVariables() : nullptr;
    return [user, folders](std::string_view name, std::string& value) {
      return (user && user->lookup(name, value)) || (folders && folders(name, value));
    };
  }
  bool japanese() const override { return base_.japanese(); }
  std::string notePath() const override { return base_.notePath(); }
  void showListMessage(std::string_view text, std::string_view caption) override {
    UserPrompts_get().messageBox(text, caption, PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok,
                                 owner_);
  }
  bool retryOpen(std::string_view text, std::string_view caption) override {
    return UserPrompts_get().messageBox(text, caption, PromptButtons::RetryCancel, PromptIcon::Error,
                                        PromptAnswer::Cancel, owner_) == PromptAnswer::Retry;
  }

 private:
  CMainFrame& frame_;
  FrameSaveHost base_;
  uint32_t owner_;
};

bool askFormat(CMainFrame& frame, std::string& formatPath) {
  CTableOutDlg dialog(&frame, formatPath, frame.options().japanese);
  if (Dialog_run(dialog) != QDialog::Accepted) return false;
  formatPath = dialog.formatPath();
  return true;
}

}  // namespace

CTableOutDlg::CTableOutDlg(QWidget* parent, const std::string& formatPath, bool japanese)
    : QDialog(parent), japanese_(japanese) {
  const bool j = japanese;
  setWindowTitle(u("テーブル出力", "Table Output", j));
  auto* top = new QVBoxLayout(this);
  top->addWidget(new QLabel(u("CSV形式（表形式）で出力します。", "Writes the note as CSV tables.", j)));

  auto* formatRow = new QHBoxLayout;
  auto* formatLabel = new QLabel(u("フォーマットファイル(&F):", "&Format file:", j));
  format_ = new QLineEdit(QtText_fromCp932(formatPath));
  format_->setMinimumWidth(320);
  formatLabel->setBuddy(format_);
  auto* browseButton = new QPushButton(u("参照(&B)", "&Browse", j));
  connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
  formatRow->addWidget(formatLabel);
  formatRow->addWidget(format_, 1);
  formatRow->addWidget(browseButton);
  top->addLayout(formatRow);

  auto* rangeRow = new QHBoxLayout;
  auto* rangeLabel = new QLabel(u("ページ範囲(&P):", "&Pages:", j));
  range_ = new QLineEdit(u("すべて", "All", j));
  range_->setEnabled(false);
  rangeLabel->setBuddy(range_);
  rangeRow->addWidget(rangeLabel);
  rangeRow->addWidget(range_, 1);
  top->addLayout(rangeRow);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  next_ = new QPushButton(u("次へ >>", "Next >>", j));
  next_->setDefault(true);
  cancel_ = new QPushButton(u("ｷｬﾝｾﾙ", "Cancel", j));
  connect(next_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  buttons->addWidget(next_);
  buttons->addWidget(cancel_);
  top->addLayout(buttons);
}

std::string CTableOutDlg::formatPath() const { return QtText_toCp932(format_->text()); }

void CTableOutDlg::browse() {
  std::string path = formatPath();
  const char* filter = japanese_ ? "すべてのファイル (*.*)|*.*||" : "All Files (*.*)|*.*||";
  if (UserPrompts_get().openFileName(QtText_toCp932(windowTitle()), filter, path, 0))
    format_->setText(QtText_fromCp932(path));
}

std::string TableOutWindow_run(CMainFrame& frame) {
  if (!frame.hasNote()) return "";
  UserPrompts& prompts = UserPrompts_get();
  const bool ja = frame.options().japanese;
  const uint32_t owner = WindowIds_idOf(&frame);
  std::string format = lastFormatPath();
  if (!askFormat(frame, format)) return "";
  lastFormatPath() = format;

  // The save dialog starts at the note's path with "csv".
  std::string path = frame.notePath();
  if (path.empty()) path = StrX_joinPath(NoteSave_desktopFolder(frame), "Table");
  StrX_changeExtension(path, "csv", path.size() + 8);
  const char* filter = ja ? "表形式 (*.csv)|*.csv||" : "Table (*.csv)|*.csv||";
  for (;;) {
    int kind = 0;
    if (!prompts.saveFileName(ja ? "テーブル出力" : "Table Output", filter, path, kind, owner)) return "";
    if (!FileX_exists(path)) break;
    char text[1200];
    std::snprintf(text, sizeof text, "%s は既に存在します。\r\n上書きしますか？", path.c_str());
    if (prompts.messageBox(text, ja ? "テーブル出力" : "Table Output", PromptButtons::YesNo,
                           PromptIcon::Question, PromptAnswer::No, owner) == PromptAnswer::Yes)
      break;
    // Without a person the dialog would answer the same again.
    if (!prompts.interactive()) return "";
  }

  frame.CommitPendingEdits();
  FrameListHost host(frame);
  std::string written;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  Except_tryCatch(
      [&] {
        const TableOutResult r = WriteTable(frame.document(), path, format, host);
        if (r == TableOutResult::Written || r == TableOutResult::NoMatch) written = path;
      },
      [&](const Errors_Msg& e) {
        prompts.messageBox(e.message(), "", PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok, owner);
      });
  QGuiApplication::restoreOverrideCursor();
  return written;
}

void TableOutWindow_register(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  table.add(Cmd_ExportTableCsv, ja ? "表形式(CSV)で出力(&S)..." : "Export as CSV &Table...",
            ja ? "ファイル(&F)" : "&File", {}, [&frame] { TableOutWindow_run(frame); });
}
