#include "app/saving/frame_backup.h"

#include <algorithm>
#include <climits>

#include "app/saving/backup_files.h"
#include "app/saving/emergency_save.h"
#include "app/saving/frame_save_host.h"
#include "core/errors/debug_trace.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_backup.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_info.h"
#include "document/writer/note_writer.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_table.h"
#include "view/dialogs/dialog_run.h"
#include "view/dialogs/input_dialogs.h"
#include "view/editor/in_place_editing.h"
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include "core/filex/filex_open.h"
#include "platform/text/qt_text.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_numbers.h"

std::function<int(CHistoryDlg&)> CHistoryDlg::exec;

namespace {
void showHistory(CMainFrame& frame);
}  // namespace

int FrameBackup_periodMs(int32_t minutes) {
  return static_cast<int>(std::clamp<int64_t>(int64_t{minutes} * 60000, 1, INT_MAX));
}

FrameBackup::FrameBackup(CMainFrame& frame, std::string backupFolder, int32_t intervalMinutes)
    : frame_(frame), folder_(std::move(backupFolder)), interval_(intervalMinutes) {
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
}

void FrameBackup::noteChanged() {
  discard();
  if (folder_.empty()) return;
  path_ = BackupFiles_nameFor(folder_, frame_.notePath());
}

void FrameBackup::setInterval(int32_t minutes) {
  interval_ = minutes;
  stop();
  start();
}

void FrameBackup::start() {
  if (interval_ <= 0 || folder_.empty()) return;
  timer_.start(FrameBackup_periodMs(interval_));
}

void FrameBackup::stop() { timer_.stop(); }

void FrameBackup::tick() {
  // Not in the middle of a text being written or a drag: a little later.
  if (frame_.view().inPlace().active() || frame_.view().leftDown()) {
    timer_.start(5000);
    return;
  }
  backupNow();
  start();
}

bool FrameBackup::backupNow() {
  if (folder_.empty() || !frame_.hasNote() || !frame_.noteModified()) return false;
  if (path_.empty()) path_ = BackupFiles_nameFor(folder_, frame_.notePath());
  bool written = false;
  Except_tryCatch(
      [&] {
        FileX_makeFolders(folder_, false);
        // The backup before goes aside first.
        FileX_makeBackupCopy(path_);
        FrameSaveHost host(frame_);
        if (NoteWriter_save(frame_.document(), path_, true, host) == NoteWriter_failed) return;
        written = true;
        EmergencySave_list(folder_, path_, frame_.notePath());
      },
      [&](const Errors_Msg& e) {
        DebugTrace_printf("backup of %s failed: %s\n", frame_.notePath().c_str(), e.message());
      });
  return written;
}

void FrameBackup::discard() {
  stop();
  if (path_.empty()) return;
  Except_tryCatch([&] { FileX_deleteFile(path_); }, [](const Errors_Msg&) {});
  path_.clear();
}

void FrameBackup_registerCommands(CommandTable& table, CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  CMainFrame* f = &frame;
  table.add(32882, ja ? "定期バックアップ設定" : "Periodical Backup Setting", ja ? "ツール(&T)" : "&Tools", {},
            [f, ja] {
              FrameBackup& backup = f->backup();
              backup.stop();
              UserPrompts_get().messageBox(
                  ja ? "（メモ）定期バックアップ機能は、Zerbin がハングアップしたときのための機能です。"
                       "バックアップは、Zerbin の実行ファイルがあるフォルダに作成されます。"
                       "次の設定ウィンドウで０を設定すると、この機能は無効になります。"
                     : "(Memorandom) Periodical backup function is for when Zerbin hang up. Backup file "
                       "is made in the folder of zerbin.exe. If you want to disable the function, set 0 "
                       "in the next setting window.",
                  "help", PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok, 0);
              CInputIntDlg1 dialog(f, ja ? "バックアップ間隔 (分, 0=しない)" : "Backup Interval (min., 0=not backup)",
                                   "", backup.interval());
              if (Dialog_run(dialog) == QDialog::Accepted) {
                const int32_t minutes = std::clamp(StrX_toInt(dialog.text()), 0, 90);
                backup.setInterval(minutes);
                if (f->options().backupIntervalChanged) f->options().backupIntervalChanged(minutes);
              }
              backup.start();
            });
  table.add(33076, ja ? "更新履歴(&V)..." : "&Version History...", ja ? "ファイル(&F)" : "&File", {},
            [f] { showHistory(*f); });
}

bool FrameBackup_restore(CMainFrame& frame, const std::string& copy) {
  const std::string note = frame.notePath();
  if (!frame.hasNote() || note.empty() || !FileX_isFile(copy)) return false;
  const bool ja = frame.options().japanese;
  const std::string question =
      ja ? note + " を\r\n" + copy + " の内容に戻しますか？\r\nいまの内容はバックアップに残ります。"
         : "Do you put back\r\n" + copy + "\r\nas " + note + "?\r\nThe present content stays in the backups.";
  if (UserPrompts_get().messageBox(question, "Brevlo 3.10", PromptButtons::YesNo, PromptIcon::Question,
                                   PromptAnswer::No, 0) != PromptAnswer::Yes)
    return false;
  bool done = false;
  Except_tryCatch(
      [&] {
        // Read first: the window's own backup may be the copy chosen.
        const std::string bytes = FileX_readWhole(copy);
        frame.backup().backupNow();  // unsaved edits stay recoverable
        FileX_writeWithBackup(note, bytes);
        done = true;
      },
      [&](const Errors_Msg& e) { UserPrompts_get().messageBox(e.message(), "", PromptButtons::Ok,
                                                             PromptIcon::Warning, PromptAnswer::Ok, 0); });
  if (!done) return false;
  frame.undo().MarkSaved();
  frame.LoadNote(note, false);
  return true;
}

namespace {

void showHistory(CMainFrame& frame) {
  const bool ja = frame.options().japanese;
  CHistoryDlg dialog(&frame);
  dialog.setWindowTitle(QtText_fromCp932(ja ? "ファイル更新履歴" : "File History"));
  auto* layout = new QVBoxLayout(&dialog);
  auto* nameLabel = new QLabel(QtText_fromCp932(ja ? "ファイル名(&N):" : "File &Name:"), &dialog);
  auto* name = new QLineEdit(QtText_fromCp932(frame.notePath()), &dialog);
  name->setReadOnly(true);
  nameLabel->setBuddy(name);
  auto* listLabel = new QLabel(QtText_fromCp932(ja ? "履歴一覧(&L):" : "&History:"), &dialog);
  auto* list = new QListWidget(&dialog);
  listLabel->setBuddy(list);
  const std::vector<BackupEntry> entries = BackupFiles_history(frame.notePath(), frame.options().backupFolder);
  for (const BackupEntry& e : entries) {
    const QString when = QDateTime::fromMSecsSinceEpoch(e.time / 1000000).toString("yyyy/MM/dd HH:mm:ss");
    list->addItem(when + "  " + QtText_fromCp932(e.path));
  }
  if (!entries.empty()) list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(&dialog);
  QPushButton* show = buttons->addButton(QtText_fromCp932(ja ? "表示(&P)" : "&Preview"), QDialogButtonBox::ActionRole);
  QPushButton* restore = buttons->addButton(QtText_fromCp932(ja ? "復旧(&R)" : "&Restore"), QDialogButtonBox::ActionRole);
  buttons->addButton(QtText_fromCp932(ja ? "閉じる" : "Close"), QDialogButtonBox::RejectRole);
  show->setEnabled(!entries.empty());
  restore->setEnabled(!entries.empty() && !frame.notePath().empty());
  layout->addWidget(nameLabel);
  layout->addWidget(name);
  layout->addWidget(listLabel);
  layout->addWidget(list);
  layout->addWidget(buttons);
  CMainFrame* f = &frame;
  auto chosen = [list, &entries]() -> std::string {
    const int row = list->currentRow();
    return row >= 0 && row < static_cast<int>(entries.size()) ? entries[static_cast<size_t>(row)].path
                                                              : std::string();
  };
  QObject::connect(show, &QPushButton::clicked, &dialog, [f, chosen, &dialog] {
    const std::string path = chosen();
    if (path.empty()) return;
    // The copy opens in a window of its own; the note stays as it is.
    if (f->options().save.openNote) f->options().save.openNote(path);
    dialog.accept();
  });
  QObject::connect(restore, &QPushButton::clicked, &dialog, [f, chosen, &dialog] {
    const std::string path = chosen();
    if (!path.empty() && FrameBackup_restore(*f, path)) dialog.accept();
  });
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  Dialog_run(dialog);
}

}  // namespace
