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
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_numbers.h"

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
}
