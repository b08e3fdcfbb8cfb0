// Paths of the command line as the built program takes them: names that
// code page 932 cannot hold, a current folder it cannot name, quoted words
// and paths too long for their fields.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/filex/filex.h"
#include "support/test_support.h"
#include "zerbin_run.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

namespace fs = std::filesystem;

// "é" (UTF-8): code page 932 has no such character.
const std::string kE = "\xC3\xA9";

// A run with an empty echo file.
ZerbinRun run(const TempDir& dir, std::vector<std::string> words, const ZerbinRunOptions& setup = {}) {
  unlink(dir.file("echo.txt").c_str());
  return runZerbin(dir, std::move(words), setup);
}

// Text of a UTF-8 literal, for standard error (which is UTF-8).
std::string utf8(std::u8string_view s) { return std::string(s.begin(), s.end()); }

// A file's bytes with CR LF turned into LF.
std::string textOf(const std::string& path) {
  std::string out;
  for (char c : ReadFileBytes(path)) {
    if (c != '\r') out += c;
  }
  return out;
}

// The names in a folder, sorted (UTF-8 as on disk).
std::vector<std::string> names(const std::string& folder) {
  std::vector<std::string> out;
  for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename().string());
  std::sort(out.begin(), out.end());
  return out;
}

TEST(CommandLineBlackBox, NamesThatCodePage932CannotHoldAreRefused) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string note = dir.file("a.svg");
  WriteFileBytes(note, TemplateNote());
  // A file whose name the "?" of a lossy conversion would hit.
  WriteFileBytes(dir.file("?.svg"), TemplateNote());

  // The destination: the write failure of the command, nothing written.
  ZerbinRun r = run(dir, {prof, "-cs", note, dir.file("out" + kE + ".svg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, dir.file("out?.svg") + " に書込みができません。保存に失敗しました。\n");
  EXPECT_FALSE(FileX_exists(dir.file("out?.svg")));

  // The source of a command: not found, never the file "?.svg".
  r = run(dir, {prof, "-cs", dir.file(kE + ".svg"), dir.file("o.svg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, dir.file("?.svg") + " を開こうとしましたが見つかりません。\n");
  EXPECT_FALSE(FileX_exists(dir.file("o.svg")));

  // The note to open.
  r = run(dir, {prof, "-e", dir.file(kE + ".svg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, dir.file("?.svg") + " can not open. Zerbin exits.\n");

  // The replacement file of a public copy.
  r = run(dir, {prof, "-cs", "-repurl=" + dir.file("l" + kE + ".txt"), note, dir.file("o.svg")});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "読みこみモードで open できません。" + dir.file("l?.txt") + "\n");
  EXPECT_FALSE(FileX_exists(dir.file("o.svg")));

  // The menu and files lists.
  r = run(dir, {prof, "-menu=" + dir.file("m" + kE + ".svg"), note});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "ファイルが見つかりません。\n" + dir.file("m?.svg") + "\n");
  r = run(dir, {prof, "-files=" + dir.file("f" + kE + ".txt"), note});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "ファイルが見つかりません。\n" + dir.file("f?.txt") + "\n");

  // The profile folder: no folder "P?" appears.
  r = run(dir, {"-prof=" + dir.file("P" + kE), note});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "プロファイルフォルダに書き込めません。\npath = " + dir.file("P?") +
                        "/write_test.bin\nBrevlo を終了します。\n");
  EXPECT_FALSE(FileX_exists(dir.file("P?")));

  // The echo file itself: the message goes to standard error.
  r = run(dir, {prof, "-echo=" + dir.file("e" + kE + ".txt"), "-cs", note, dir.file("o.svg")},
          {.cwd = "", .echo = false});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find(dir.file("e?.txt") + utf8(u8" に書込みができません。")), std::string::npos)
      << r.err;
  EXPECT_FALSE(FileX_exists(dir.file("e?.txt")));
  EXPECT_FALSE(FileX_exists(dir.file("o.svg")));

  // Nothing but what the test wrote: no profile, no file of a "?" name.
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"?.svg", "a.svg", "stderr.txt"}));

  // A name that code page 932 holds still works.
  r = run(dir, {prof, "-cs", note, dir.file("out.svg")});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("out.svg")));
}

TEST(CommandLineBlackBox, CurrentFolderThatCodePage932CannotNameTakesOnlyAbsolutePaths) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string cwd = dir.file("d" + kE);
  fs::create_directories(cwd);
  WriteFileBytes(cwd + "/a.svg", TemplateNote());
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  const ZerbinRunOptions inside{.cwd = cwd};

  ZerbinRun r = run(dir, {prof, "-cs", "a.svg", dir.file("o.svg")}, inside);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "a.svg を開こうとしましたが見つかりません。\n");

  r = run(dir, {prof, "-cs", dir.file("a.svg"), "o.svg"}, inside);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "o.svg に書込みができません。保存に失敗しました。\n");

  r = run(dir, {prof, "-cs", "-repurl=links.txt", dir.file("a.svg"), dir.file("o.svg")}, inside);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, "読みこみモードで open できません。links.txt\n");

  // Nothing was written at the root or in the current folder.
  EXPECT_FALSE(FileX_exists("/o.svg"));
  EXPECT_FALSE(FileX_exists(dir.file("o.svg")));
  EXPECT_EQ(names(cwd), std::vector<std::string>{"a.svg"});

  // Absolute paths still work, a replacement file's too.
  WriteFileBytes(dir.file("links.txt"), "[repurl]\r\nsrc=x.svg\r\ndst=http://example.com/\r\n");
  r = run(dir, {prof, "-cs", "-repurl=" + dir.file("links.txt"), dir.file("a.svg"), dir.file("o.svg")},
          inside);
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("o.svg")));
  EXPECT_EQ(names(cwd), std::vector<std::string>{"a.svg"});
}

TEST(CommandLineBlackBox, PathTooLongForItsFieldIsNamedInItsMessage) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string note = dir.file("a.svg");
  WriteFileBytes(note, TemplateNote());
  const std::string longName = std::string(600, 'd') + ".svg";

  ZerbinRun r = run(dir, {prof, "-cs", note, dir.file(longName)});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, dir.file(longName) + " が長すぎます。\n");

  // Relative: named as given.
  r = run(dir, {prof, "-cs", note, longName}, {.cwd = dir.path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, longName + " が長すぎます。\n");

  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"a.svg", "echo.txt", "stderr.txt"}));
}

TEST(CommandLineBlackBox, QuotedPathsKeepTheirBlanks) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  fs::create_directories(dir.file("my notes"));
  fs::create_directories(dir.file("out dir"));
  WriteFileBytes(dir.file("my notes/a.svg"), TemplateNote());
  const ZerbinRunOptions here{.cwd = dir.path()};

  // As a Windows shell passes them: each word with its quotes.
  ZerbinRun r = run(dir,
                    {prof, "-cs", "\"" + dir.file("my notes/a.svg") + "\"",
                     "\"" + dir.file("out dir/b.svg") + "\""},
                    here);
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("out dir/b.svg")));
  EXPECT_EQ(names(dir.path()),
            (std::vector<std::string>{"P", "my notes", "out dir", "stderr.txt"}));
  EXPECT_EQ(names(dir.file("out dir")), std::vector<std::string>{"b.svg"});

  // A quoted folder as the destination takes the source's name.
  r = run(dir, {prof, "-cs", "\"my notes/a.svg\"", "\"out dir\""}, here);
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("out dir/a.svg")));

  // The note to open: its message names the path without quotes.
  r = run(dir, {prof, "-e", "\"" + dir.file("my notes/none.svg") + "\""}, here);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, dir.file("my notes/none.svg") + " can not open. Zerbin exits.\n");

  // An option value in quotes.
  r = run(dir, {prof, "-echo=\"" + dir.file("out dir/e.txt") + "\"", "\"my notes/none.svg\""},
          {.cwd = dir.path(), .echo = false});
  EXPECT_EQ(r.status, 1);
  std::string echo = textOf(dir.file("out dir/e.txt"));
  EXPECT_EQ(echo, dir.file("my notes/none.svg") + " を開こうとしましたが見つかりません。\n");

  EXPECT_EQ(names(dir.path()),
            (std::vector<std::string>{"P", "my notes", "out dir", "stderr.txt"}));
}

}  // namespace
