// Runs the built program with its own profile, service name and echo file
// and looks at what it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings/settings.h"
#include "core/filex/filex.h"
#include "support/test_support.h"
#include "zerbin_run.h"

namespace {

TEST(ZerbinBlackBox, NewProfileIsFilledFromProfileFirst) {
  testing_support::TempDir dir;
  std::string prof = dir.file("P");
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 0) << r.echo;
  for (const char* sub : {"auto", "backup", "design", "icon", "keywords", "log", "path_var",
                          "script", "security", "template", "work"}) {
    EXPECT_TRUE(FileX_isFolder(prof + "/" + sub)) << sub;
  }
  EXPECT_TRUE(FileX_isFile(prof + "/template/new_default.svg"));
  EXPECT_TRUE(FileX_isFile(prof + "/script/svg-script.txt"));
  EXPECT_FALSE(FileX_exists(prof + "/write_test.bin"));
  EXPECT_FALSE(FileX_exists(prof + "/work/write_test.bin"));
  // -t: no welcome box in the echo file.
  EXPECT_EQ(r.echo.find(testing_support::Sjis(u8"ようこそ")), std::string::npos) << r.echo;
}

TEST(ZerbinBlackBox, UnknownOptionIsReportedAndStartUpGoesOn) {
  testing_support::TempDir dir;
  std::string note = dir.file("a.svg");
  testing_support::WriteFileBytes(note, testing_support::ReadFileBytes(
                                            std::string(ZERBIN_PROGRAM_PATH).substr(
                                                0, std::string(ZERBIN_PROGRAM_PATH).rfind('/')) +
                                            "/system/profile_first/template/new_default.svg"));
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-zz", note});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(r.echo, "-zz オプションはありません。\n");
  EXPECT_TRUE(FileX_isFolder(dir.file("P/work")));  // start-up went on
}

TEST(ZerbinBlackBox, MissingNoteEndsWithMessage) {
  testing_support::TempDir dir;
  std::string note = dir.file("none.svg");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), note});
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.echo, note + " を開こうとしましたが見つかりません。\n");
}

TEST(ZerbinBlackBox, MissingNoteInEnglish) {
  testing_support::TempDir dir;
  std::string note = dir.file("none.svg");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-e", note});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, note + " can not open. Zerbin exits.\n");
}

TEST(ZerbinBlackBox, ProfileBelowRegularFileEndsWithStatus5) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.file("plain"), "x");
  std::string prof = dir.file("plain") + "/sub";
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.echo, "プロファイルフォルダに書き込めません。\npath = " + prof +
                        "/write_test.bin\nBrevlo を終了します。\n");
}

TEST(ZerbinBlackBox, WorkFolderBelowRegularFileEndsWithStatus5) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.file("plain"), "x");
  std::string prof = dir.file("P");
  FileX_makeFolders(prof, false);
  ZerbinSettings settings;
  settings.workFolderPath = dir.file("plain") + "/w";
  ASSERT_TRUE(CZerbinApp_writeSettings(prof + "/", settings, dir.file("settings_echo.txt")));
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.echo, "ワークフォルダに書き込めません。\npath = " + dir.file("plain") +
                        "/w/write_test.bin\nBrevlo を終了します。\n");
}

TEST(ZerbinBlackBox, BatchCommandWithoutWriterFails) {
  testing_support::TempDir dir;
  std::string prof = dir.file("P");
  ZerbinRun first = runZerbin(dir, {"-prof=" + prof});
  ASSERT_EQ(first.status, 0);
  std::string note = prof + "/template/new_default.svg";
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof, "-cd", note, dir.file("o.txt")});
  // Until the text export exists, the command is reported and fails.
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.echo.find("o.txt"), std::string::npos) << r.echo;
}

}  // namespace
