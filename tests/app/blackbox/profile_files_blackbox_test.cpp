// The files of the profile that every process shares, run as the program:
// "window.ini" gives a note's window its place and size at the next start
// and gets them back when the program ends; damaged lines of "window.ini"
// and "recent.ini" are passed over and the entries around them survive the
// next write.
#include <gtest/gtest.h>

#include <string>

#include "core/filex/filex_copy.h"
#include "support/test_support.h"
#include "zerbin_run.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::string windowFile(const std::string& lines) {
  return "[main] \r\nApplication = Zerbin\r\nVersion = 300\r\n \r\n[WindowPosition] \r\n" + lines + " \r\n";
}

// The `w` line of `key`, "" when there is none.
std::string lineOf(const std::string& file, const std::string& key) {
  const size_t at = file.find("w = " + key + ", ");
  return at == std::string::npos ? std::string() : file.substr(at, file.find("\r\n", at) - at);
}

}  // namespace

TEST(ProfileFilesBlackBox, WindowPlaceAndSizeSurviveARestartAndAGarbageFileLosesNothing) {
  TempDir dir;
  const std::string prof = dir.file("P");
  const std::string a = dir.file("a.svg");
  WriteFileBytes(a, TemplateNote());
  TempDir run1, run2, run3, run4, run5;

  // First start: the window is sized for the page; the end writes it.
  ZerbinRun r = runZerbin(run1, {"-prof=" + prof, a});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  const std::string first = lineOf(ReadFileBytes(prof + "/window.ini"), a);
  ASSERT_NE("", first) << ReadFileBytes(prof + "/window.ini");

  // The user left the window elsewhere, with a wider tree pane, pinned.
  const std::string placed = "w = " + a + ", 37, 41, 637, 451, 0, 0, 0, 1, 2, 200, 0, 2, 100";
  ASSERT_NE(placed, first);
  WriteFileBytes(prof + "/window.ini", windowFile(placed + "\r\n"));
  r = runZerbin(run2, {"-prof=" + prof, a});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(placed, lineOf(ReadFileBytes(prof + "/window.ini"), a));
  // And again: the place holds from start to start, the file keeps its bytes.
  const std::string kept = ReadFileBytes(prof + "/window.ini");
  r = runZerbin(run3, {"-prof=" + prof, a});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ(kept, ReadFileBytes(prof + "/window.ini"));

  // Damaged lines between the records of other notes: the note opens at its
  // place, the other records stay, nothing is said to the user.
  const std::string other1 = "w = /notes/one.svg, 1, 2, 301, 202, 0, 0, 0, 1, 2, 120, 0, 0, 100";
  const std::string other2 = "w = /notes/two.svg, 5, 6, 405, 306, 0, 0, 0, 1, 2, 130, 1, 0, 100";
  WriteFileBytes(prof + "/window.ini",
                 "\x83\x5c\xff\x01 junk before\r\n" +
                     windowFile(other1 + "\r\nw = " + std::string(5000, 'k') + ", 1, 2\r\n" + placed +
                                "\r\nw = /notes/bad.svg, x, y, z\r\n" + other2 + "\r\n\x83\x5c\xff\r\n"));
  r = runZerbin(run4, {"-prof=" + prof, a});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  const std::string after = ReadFileBytes(prof + "/window.ini");
  EXPECT_EQ(placed, lineOf(after, a)) << after;
  EXPECT_EQ(other1, lineOf(after, "/notes/one.svg")) << after;
  EXPECT_EQ(other2, lineOf(after, "/notes/two.svg")) << after;

  // A file that is garbage through and through is no window file: the
  // window is sized for its page and the file becomes a window file.
  static const char kGarbage[] = "\x00\x01\x02\xff\x83 no sections\r\n= , ,\r\n";
  WriteFileBytes(prof + "/window.ini", std::string(kGarbage, sizeof kGarbage - 1));
  r = runZerbin(run5, {"-prof=" + prof, a});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  const std::string rebuilt = ReadFileBytes(prof + "/window.ini");
  const size_t bars = rebuilt.find("[ToolBars] \r\n");
  ASSERT_NE(std::string::npos, bars) << rebuilt;
  EXPECT_EQ(windowFile(first + "\r\n"), rebuilt.substr(0, bars));
  // The tool bars' places follow, one line per bar: the file bar shown at the top.
  EXPECT_NE(std::string::npos, rebuilt.find("bar = fileBar, 4, 1, 0\r\n", bars)) << rebuilt;
}

TEST(ProfileFilesBlackBox, GarbageInTheRecentListLosesNoOtherEntry) {
  TempDir dir;
  const std::string prof = dir.file("P");
  std::string notes[4];
  for (int i = 0; i < 4; ++i) {
    notes[i] = dir.file("n" + std::to_string(i) + ".svg");
    WriteFileBytes(notes[i], TemplateNote());
  }
  FileX_makeFolders(prof, false);
  // Entries around an over-long line, a value that breaks off in a quote
  // mark and bytes that are no text.
  WriteFileBytes(prof + "/recent.ini",
                 "\xff\xfe junk\r\n[RecentFiles] \r\npath = " + notes[1] + ", One\r\npath = " +
                     std::string(5000, 'x') + ", Long\r\npath = " + notes[2] + ", Two\r\n\x83\x5c\xff\x01\r\npath = " +
                     notes[3] + ", Three\r\n \r\n");
  TempDir run;
  ZerbinRun r = runZerbin(run, {"-prof=" + prof, notes[0]});
  ASSERT_EQ(0, r.status) << r.err;
  EXPECT_EQ("", r.echo);
  // The opened note in front with its page's title, the others after it as
  // they were.
  const std::string list = ReadFileBytes(prof + "/recent.ini");
  const size_t p0 = list.find("path = " + notes[0] + ", ");
  const size_t p1 = list.find("path = " + notes[1] + ", One\r\n");
  const size_t p2 = list.find("path = " + notes[2] + ", Two\r\n");
  const size_t p3 = list.find("path = " + notes[3] + ", Three\r\n");
  ASSERT_NE(std::string::npos, p0) << list;
  ASSERT_NE(std::string::npos, p1) << list;
  ASSERT_NE(std::string::npos, p2) << list;
  ASSERT_NE(std::string::npos, p3) << list;
  EXPECT_TRUE(p0 < p1 && p1 < p2 && p2 < p3) << list;
  EXPECT_EQ(std::string::npos, list.find("xxxx")) << list;
}

TEST(ProfileFilesBlackBox, NotePathWithAnUndefinedVariableIsReportedAndOpensNothing) {
  TempDir dir;
  const std::string prof = dir.file("P");
  TempDir run;
  ZerbinRun r = runZerbin(run, {"-prof=" + prof, dir.file("%undefined%/x.svg")});
  EXPECT_EQ(1, r.status) << r.err;
  EXPECT_EQ(dir.file("%undefined%/x.svg") + Sjis(u8" を開こうとしましたが見つかりません。\n"), r.echo);
  EXPECT_EQ("", ReadFileBytes(prof + "/recent.ini"));
  EXPECT_EQ("", ReadFileBytes(prof + "/window.ini"));
}
