#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/settings/settings.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {
WindowPosition positionOf(const std::string& key, int32_t n) {
  WindowPosition p;
  p.key = key;
  p.left = n;
  p.top = n + 1;
  p.right = n + 200;
  p.bottom = n + 300;
  p.barWidth = 30;
  p.barHeight = 400;
  p.barFloating = true;
  p.barStyle = 2;
  p.paneWidth = 150;
  p.paneMode = 1;
  p.viewFlags = 3;
  return p;
}
}  // namespace

TEST(WindowPositions, WrittenTextAndRoundTrip) {
  TempDir dir;
  std::string prof = dir.path() + "/sub/";  // the folder is created
  WindowPosition a = positionOf("/n/a, \"b\".svg", 10);
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, a, ""));
  EXPECT_EQ(
      "[main] \r\nApplication = Zerbin\r\nVersion = 300\r\n \r\n[WindowPosition] \r\n"
      "w = \"/n/a, \"\"b\"\".svg\", 10, 11, 210, 310, 30, 400, 1, 0, 2, 150, 1, 3, 100\r\n \r\n",
      ReadFileBytes(prof + "window.ini"));
  WindowPosition back;
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, a.key, back));
  EXPECT_TRUE(back == a);
  EXPECT_FALSE(CZerbinApp_loadWindowPosition(prof, "/n/A, \"b\".svg", back));  // exact key
  EXPECT_FALSE(CZerbinApp_loadWindowPosition(dir.path() + "/none/", a.key, back));
}

TEST(WindowPositions, NewKeyIsAppendedAndOthersKept) {
  TempDir dir;
  std::string prof = dir.path() + "/";
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("?SearchWindow", 1), ""));
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("/n/ソ表.svg", 2), ""));
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("?SearchWindow", 5), ""));
  WindowPosition p = positionOf("/n/new.svg", 9);
  p.paneWidth = 0;  // stored as 120 with the normal pane
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, p, ""));
  std::string text = ReadFileBytes(prof + "window.ini");
  size_t first = text.find("w = ?SearchWindow, 5,");
  size_t second = text.find("w = /n/ソ表.svg, 2,");
  size_t third = text.find("w = /n/new.svg, 9,");
  EXPECT_TRUE(first < second && second < third) << text;
  WindowPosition back;
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, "/n/new.svg", back));
  EXPECT_EQ(120, back.paneWidth);
  EXPECT_EQ(0, back.paneMode);
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, "/n/ソ表.svg", back));
  EXPECT_EQ(2, back.left);
}

TEST(WindowPositions, DamagedFileKeepsTheLinesBeforeTheFault) {
  TempDir dir;
  std::string prof = dir.path() + "/";
  // An old file without the header, a line cut short and a quoted key that
  // never ends.
  WriteFileBytes(prof + "window.ini",
                 "[WindowPosition] \nw = /a.svg, 1, 2, 3, 4, 0, 0, 0, 0, 1, 120, 0, 0, 100\n"
                 "w = /b.svg, 5, 6\nnoise\nw = \"/c.svg, 7");
  WindowPosition back;
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, "/a.svg", back));
  EXPECT_EQ(3, back.right);
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, "/b.svg", back));
  EXPECT_EQ(6, back.top);
  EXPECT_EQ(0, back.viewValue);
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("/d.svg", 1), ""));
  EXPECT_TRUE(CZerbinApp_loadWindowPosition(prof, "/a.svg", back));
  EXPECT_TRUE(CZerbinApp_loadWindowPosition(prof, "/d.svg", back));

  // A file that is no window file at all counts as empty.
  WriteFileBytes(prof + "window.ini", "\x83\x5c garbage\n[other] \nw = x\n");
  EXPECT_FALSE(CZerbinApp_loadWindowPosition(prof, "x", back));
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("/e.svg", 1), ""));
  EXPECT_TRUE(CZerbinApp_loadWindowPosition(prof, "/e.svg", back));
}

// The key of a note with a long path is read back whole: saving its place
// again replaces its line instead of adding one at every close.  The file
// keeps its mode.
TEST(WindowPositions, LongKeysMatchAndTheModeIsKept) {
  TempDir dir;
  std::string prof = dir.path() + "/";
  std::string key = "/notes/" + std::string(300, 'n') + "/ソ表.svg";
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf(key, 1), ""));
  ASSERT_EQ(0, ::chmod((prof + "window.ini").c_str(), 0600));
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf("?SearchWindow", 2), ""));
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(prof, positionOf(key, 7), ""));
  std::string text = ReadFileBytes(prof + "window.ini");
  size_t first = text.find("w = " + key + ", ");
  ASSERT_NE(std::string::npos, first) << text;
  EXPECT_EQ(std::string::npos, text.find("w = /notes/", first + 1)) << text;
  WindowPosition back;
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(prof, key, back));
  EXPECT_EQ(7, back.left);
  struct stat st{};
  ASSERT_EQ(0, ::stat((prof + "window.ini").c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
}
