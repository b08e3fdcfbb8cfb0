// Periodic backups and the start-up clean-up: a modified note's backup
// holds the edit, is named for recovery after a kill, keeps the backup
// before it aside, and goes when the window closes; the clean-up deletes
// old backups and the old work files of windows that are gone, nothing
// else.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/saving/backup_files.h"
#include "app/saving/emergency_save.h"
#include "app/saving/frame_backup.h"
#include "core/filex/filex.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_table.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

namespace fs = std::filesystem;

void age(const std::string& path, std::chrono::hours hours) {
  fs::last_write_time(path, fs::file_time_type::clock::now() - hours);
}

int64_t nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

TEST(Backups, TheCleanUpDeletesOnlyOldBackupsAndOrphanedWorkFiles) {
  testing_support::TempDir dir;
  const std::string backup = dir.file("backup"), work = dir.file("work");
  fs::create_directories(backup + "/backup");
  fs::create_directories(work + "/img_0000002D_1");
  auto file = [](const std::string& path, std::chrono::hours old) {
    FileX_writeWhole(path, "x");
    age(path, old);
  };
  const std::chrono::hours threeDays(72), oneDay(24), fresh(0);
  file(backup + "/backup-a.svg-1.svg", threeDays);
  file(backup + "/backup-b.svg-1.svg", oneDay);
  file(backup + "/backup/backup-a.svg-1#1.svg", threeDays);
  file(backup + "/notes.txt", threeDays);
  file(work + "/img_0000002A_1", threeDays);       // its window is gone
  file(work + "/ink_0000002B_1_13", threeDays);    // its window wrote lately:
  file(work + "/ink_0000002B_1_9", fresh);         //   kept
  file(work + "/conv_0000002C.wsf", threeDays);    // a window of ours
  file(work + "/mydata.txt", threeDays);           // not a work file
  file(work + "/img_0000002Dx", threeDays);        // not one either
  const BackupCleanCount n =
      BackupFiles_clean(backup, work, nowNs(), [](uint32_t id) { return id == 0x2C; });
  EXPECT_EQ(n.backups, 2);
  EXPECT_EQ(n.workFiles, 1);
  EXPECT_FALSE(fs::exists(backup + "/backup-a.svg-1.svg"));
  EXPECT_FALSE(fs::exists(backup + "/backup/backup-a.svg-1#1.svg"));
  EXPECT_FALSE(fs::exists(work + "/img_0000002A_1"));
  for (const char* kept : {"/backup-b.svg-1.svg", "/notes.txt"}) EXPECT_TRUE(fs::exists(backup + kept));
  for (const char* kept : {"/ink_0000002B_1_13", "/conv_0000002C.wsf", "/mydata.txt",
                           "/img_0000002Dx", "/img_0000002D_1"})
    EXPECT_TRUE(fs::exists(work + kept)) << kept;
  EXPECT_EQ(BackupFiles_workFileOwner("conv_0000002C.wsf"), 0x2Cu);
  EXPECT_EQ(BackupFiles_workFileOwner("ink_0000002b_1_13"), 0x2Bu);
  EXPECT_FALSE(BackupFiles_workFileOwner("saving-12"));
}

const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00420\" height=\"00320\" sub_doctype=\"zerbin-300\">\r\n"
    "<rect x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n"
    "</svg>\r\n";

// A window on "memo.svg" (kNote) in `dir`, backing up into "backups".
std::unique_ptr<CMainFrame> openMemo(const testing_support::TempDir& dir) {
  CMainFrameOptions o;
  o.workFolder = dir.file("");
  o.save.profileFolder = dir.file("");
  o.backupFolder = dir.file("backups");
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  FileX_writeWhole(dir.file("memo.svg"), kNote);
  frame->LoadNote(dir.file("memo.svg"), false);
  frame->show();
  QApplication::processEvents();
  return frame;
}

TEST(Backups, AModifiedNoteIsBackedUpOfferedAfterAKillAndItsBackupGoesOnClose) {
  testing_support::TempDir dir;
  auto frame = openMemo(dir);
  const std::string path = dir.file("memo.svg");
  FrameBackup& backup = frame->backup();
  EXPECT_EQ(backup.path(), dir.file("backups/backup-memo.svg-1.svg"));
  EXPECT_FALSE(backup.backupNow());  // nothing unsaved
  EXPECT_FALSE(fs::exists(backup.path()));

  // The rectangle deleted: the backup has the edit, the note not yet.
  frame->view().setFocus();
  QTest::keyClick(&frame->view(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&frame->view(), Qt::Key_Delete);
  ASSERT_TRUE(frame->noteModified());
  ASSERT_TRUE(backup.backupNow());
  EXPECT_TRUE(frame->noteModified());  // a backup is no save
  EXPECT_EQ(testing_support::ReadFileBytes(backup.path()).find("<rect"), std::string::npos);
  EXPECT_NE(testing_support::ReadFileBytes(path).find("<rect"), std::string::npos);
  // A second backup keeps the first aside.
  ASSERT_TRUE(backup.backupNow());
  EXPECT_TRUE(fs::exists(dir.file("backups/backup/backup-memo.svg-1.svg")));
  // Named once for the next start, as a kill would leave it.
  const std::vector<EmergencyCopy> listed = EmergencySave_listed(dir.file("backups"));
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0].copy, backup.path());
  EXPECT_EQ(listed[0].original, path);

  // A normal close: the backup goes, and nothing is offered any more.
  const std::string file = backup.path();
  frame->undo().MarkSaved();
  frame->close();
  QApplication::processEvents();
  EXPECT_FALSE(fs::exists(file));
  EXPECT_TRUE(EmergencySave_listed(dir.file("backups")).empty());
  EXPECT_EQ(FrameBackup_periodMs(90), 90 * 60000);
  EXPECT_EQ(FrameBackup_periodMs(INT32_MAX), INT_MAX);
}

TEST(Backups, TheHistoryListsTheKeptCopiesAndPutsOneBack) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed{prompts};
  auto frame = openMemo(dir);
  const std::string path = dir.file("memo.svg");
  // The rectangle deleted and backed up, then the deletion undone: the
  // backup is the one version without it.
  frame->view().setFocus();
  QTest::keyClick(&frame->view(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(&frame->view(), Qt::Key_Delete);
  ASSERT_TRUE(frame->backup().backupNow());
  QTest::keyClick(&frame->view(), Qt::Key_Z, Qt::ControlModifier);
  const std::vector<BackupEntry> kept = BackupFiles_history(path, dir.file("backups"));
  ASSERT_EQ(kept.size(), 1u);
  EXPECT_EQ(testing_support::ReadFileBytes(kept[0].path).find("<rect"), std::string::npos);

  // Put back through the history window: its first row, Restore, Yes.
  int rows = -1;
  CHistoryDlg::exec = [&rows](CHistoryDlg& dialog) {
    rows = dialog.findChild<QListWidget*>()->count();
    for (QPushButton* b : dialog.findChildren<QPushButton*>())
      if (b->text().startsWith(QString::fromUtf8("\xE5\xBE\xA9\xE6\x97\xA7"))) b->click();  // 復旧
    return dialog.result();
  };
  prompts.answers.push_back(PromptAnswer::Yes);
  frame->commands().run(33076);
  CHistoryDlg::exec = nullptr;
  EXPECT_EQ(rows, 1);
  // The note is the backup now; what it was stays beside it.
  EXPECT_EQ(testing_support::ReadFileBytes(path).find("<rect"), std::string::npos);
  EXPECT_FALSE(frame->noteModified());
  EXPECT_EQ(frame->document().workingFigures().size(), 1u);  // the Canvas alone
  bool before = false;
  for (const BackupEntry& e : BackupFiles_history(path, dir.file("backups")))
    before |= testing_support::ReadFileBytes(e.path).find("<rect") != std::string::npos;
  EXPECT_TRUE(before);
}

}  // namespace
