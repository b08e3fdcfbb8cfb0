#include "core/filex/filex_backup.h"

#include <sys/stat.h>
#include <time.h>

#include <gtest/gtest.h>

#include "core/filex/filex_info.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {
int64_t nowNs() {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}
constexpr int64_t kHour = 3600LL * 1000000000;
}  // namespace

TEST(FileXBackup, BackupFolderAndDailyCopy) {
  testing_support::TempDir dir;
  std::string note = dir.file("note.svg");
  FileX_writeWithBackup(note, "v1");  // nothing to back up yet
  EXPECT_EQ("v1", ReadFileBytes(note));
  EXPECT_FALSE(FileX_exists(dir.file("backup")));

  int64_t today = nowNs() - kHour;
  FileX_writeWithBackup(note, "v2", today);
  EXPECT_EQ("v2", ReadFileBytes(note));
  EXPECT_EQ("v1", ReadFileBytes(dir.file("backup/note.svg")));
  EXPECT_EQ("v1", ReadFileBytes(dir.file("backup/note#1.svg")));

  FileX_writeWithBackup(note, "v3", today);  // the same day: #1 stays
  EXPECT_EQ("v2", ReadFileBytes(dir.file("backup/note.svg")));
  EXPECT_EQ("v1", ReadFileBytes(dir.file("backup/note#1.svg")));

  FileX_writeWithBackup(note, "v4", nowNs() + kHour);  // a new day began
  EXPECT_EQ("v3", ReadFileBytes(dir.file("backup/note.svg")));
  EXPECT_EQ("v3", ReadFileBytes(dir.file("backup/note#1.svg")));

  // A read-only note: its backup copy is writable.
  chmod(note.c_str(), 0444);
  FileX_makeBackupCopy(note, today);
  EXPECT_FALSE(FileX_isReadOnly(dir.file("backup/note.svg")));
  EXPECT_EQ("v4", ReadFileBytes(dir.file("backup/note.svg")));
}

TEST(FileXBackup, FolderNamesWhenAFileIsInTheWay) {
  testing_support::TempDir dir;
  WriteFileBytes(dir.file("backup"), "a file");
  std::string p = dir.file("ソ表.svg");
  WriteFileBytes(dir.path() + "/\xE3\x82\xBD\xE8\xA1\xA8.svg", "old");
  EXPECT_EQ(dir.file("backup1"), FileX_backupFolder(p));
  FileX_writeWithBackup(p, "new");
  EXPECT_EQ("old", ReadFileBytes(dir.path() + "/backup1/\xE3\x82\xBD\xE8\xA1\xA8.svg"));
  EXPECT_EQ("old", ReadFileBytes(dir.path() + "/backup1/\xE3\x82\xBD\xE8\xA1\xA8#1.svg"));
  EXPECT_EQ("a file", ReadFileBytes(dir.file("backup")));
  WriteFileBytes(dir.file("backup1x"), "");
  EXPECT_EQ(dir.file("backup1"), FileX_backupFolder(p));

  EXPECT_EQ("note#1.svg", FileX_dailyCopyName("note.svg"));
  EXPECT_EQ("a.b#1.svg", FileX_dailyCopyName("a.b.svg"));
  EXPECT_EQ("notes#1", FileX_dailyCopyName("notes"));
  EXPECT_EQ("表#1.svg", FileX_dailyCopyName("表.svg"));
}
