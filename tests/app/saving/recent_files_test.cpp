// The shared recent list: at most eight entries, most recent first, titles
// kept when a listed note comes again, missing files cleaned out, server
// paths skipped when read, and the menu labels.
#include <gtest/gtest.h>

#include "app/saving/recent_files.h"
#include "core/filex/filex.h"
#include "core/filex/filex_delete.h"
#include "support/test_support.h"

TEST(RecentFiles, EightEntriesMostRecentFirstTitlesKeptMissingFilesCleaned) {
  testing_support::TempDir dir;
  const std::string prof = dir.path() + "/";
  std::vector<std::string> notes;
  for (int i = 1; i <= 9; ++i) {
    notes.push_back(dir.file("n" + std::to_string(i) + ".svg"));
    FileX_writeWhole(notes.back(), "x");
  }
  RecentFiles_add(prof, notes[0], "first");
  for (int i = 1; i < 8; ++i) RecentFiles_add(prof, notes[i]);
  auto list = RecentFiles_read(prof);
  ASSERT_EQ(8u, list.size());
  EXPECT_EQ(notes[7], list[0].path);
  EXPECT_EQ(notes[0], list[7].path);
  // The first note comes again: to the front with its title.
  RecentFiles_add(prof, notes[0]);
  list = RecentFiles_read(prof);
  EXPECT_EQ(notes[0], list[0].path);
  EXPECT_EQ("first", list[0].title);
  // A ninth note drops the oldest (now notes[1]).
  RecentFiles_add(prof, notes[8], "nine");
  list = RecentFiles_read(prof);
  ASSERT_EQ(8u, list.size());
  EXPECT_EQ(notes[8], list[0].path);
  for (const auto& e : list) EXPECT_NE(notes[1], e.path);
  // A missing file is not added; a deleted one is gone at the next write.
  RecentFiles_add(prof, dir.file("missing.svg"));
  ASSERT_TRUE(FileX_deleteFile(notes[2]));
  RecentFiles_add(prof, notes[3]);
  const std::string text = FileX_readWhole(prof + "recent.ini");
  EXPECT_EQ(std::string::npos, text.find("missing.svg"));
  EXPECT_EQ(std::string::npos, text.find("n3.svg"));
  EXPECT_EQ(0u, text.find("[RecentFiles] \r\npath = " + notes[3] + ", \r\npath = " + notes[8] +
                          ", nine\r\n"));
}

TEST(RecentFiles, ServerPathsAreSkippedWhenReadAndLabelsAreShort) {
  testing_support::TempDir dir;
  const std::string prof = dir.path() + "/";
  const std::string note = dir.file("a&b.svg");
  FileX_writeWhole(note, "x");
  FileX_writeWhole(prof + "recent.ini", "[RecentFiles] \r\npath = //server/x.svg, s\r\npath = " +
                                           note + ", t\r\n \r\n");
  auto list = RecentFiles_read(prof);
  ASSERT_EQ(1u, list.size());
  EXPECT_EQ(note, list[0].path);
  EXPECT_EQ("(&1) t - a&&b.svg", RecentFiles_label(1, list[0]));
  EXPECT_EQ("(&2) a&&b.svg", RecentFiles_label(2, RecentFile{note, ""}));
  RecentFile longOne{"/x/" + std::string(80, 'n') + ".svg", std::string(40, 't')};
  const std::string label = RecentFiles_label(3, longOne);
  EXPECT_LE(label.size(), 70u);
  EXPECT_EQ("...", label.substr(label.size() - 3));
  EXPECT_EQ(0u, label.find("(&3) tttt"));
  // The server entry stays in the file when the list is written again.
  RecentFiles_add(prof, note);
  EXPECT_NE(std::string::npos, FileX_readWhole(prof + "recent.ini").find("//server/x.svg"));
}
