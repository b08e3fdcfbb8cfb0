// The periodic backup of one main window's note: a timer of
// `BackupInterval` minutes (none at 0 or less) that writes the note, when it
// has unsaved changes, to the window's backup file (backup_files.h), names
// it in the recovery list so that a killed program offers it at the next
// start, and deletes it when the window closes normally.  A backup waits a
// few seconds while the user is in the middle of something (a text being
// written, a drag); a backup that cannot be written is logged and the
// timer goes on: it never stops the program.
#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

class CMainFrame;
class CommandTable;

class FrameBackup {
 public:
  FrameBackup(CMainFrame& frame, std::string backupFolder, int32_t intervalMinutes);
  // The window has a note (another one): its backup file name is chosen;
  // the file of the note before is deleted.
  void noteChanged();
  void setInterval(int32_t minutes);
  int32_t interval() const { return interval_; }
  void start();
  void stop();
  // One backup now; false when there was nothing to write or it failed.
  bool backupNow();
  // The window closes normally: its backup goes.
  void discard();
  const std::string& path() const { return path_; }

 private:
  void tick();
  CMainFrame& frame_;
  std::string folder_;
  int32_t interval_;
  std::string path_;
  QTimer timer_;
};

// The milliseconds of an interval in minutes, within what a timer takes.
int FrameBackup_periodMs(int32_t minutes);

// Command 32882 "定期バックアップ設定": the note on what backups are for,
// then the interval (0 to 90 minutes, 0: none), kept in the settings and
// used from then on.  Command 33076 "更新履歴(&V)...": the note's kept
// copies, newest first, shown in a window of their own or put back.
void FrameBackup_registerCommands(CommandTable& table, CMainFrame& frame);

// Puts a kept copy back as the note: after the question, the window's
// unsaved edits go to its backup, the note file is replaced by the copy
// (the file before goes aside) and read again.  False when not done.
bool FrameBackup_restore(CMainFrame& frame, const std::string& copy);

// The history window of command 33076 (tests answer `exec`).
class CHistoryDlg : public QDialog {
 public:
  using QDialog::QDialog;
  static std::function<int(CHistoryDlg&)> exec;
};
