// Every conversion of the command line as a user meets it: the file it
// writes without a destination, that it never writes over its note, and
// what a missing, unreadable or absent source note gives (exit status and the messages of the echo file).
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/filex/filex.h"
#include "support/test_support.h"
#include "zerbin_run.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct Conversion {
  const char* option;
  const char* written;  // the file written beside "n.xml" without a destination
};

// "n.xml": no conversion keeps the extension of its source.
constexpr Conversion kConversions[] = {
    {"-cd", "n.txt"},  {"-cj", "n.jpg"},  {"-cp", "n.png"},  {"-cw", "n.wsf"},
    {"-cx", "n.wsf"},  {"-ct", "n.wsf"},  {"-cT", "n.wsf"},  {"-cv", "n.html"},
    {"-cV", "n.html"}, {"-cm", "n.mht"},  {"-cs", "n.svg"},  {"-cS", "n.svg"},
    {"-links", "n.links.csv"}, {"-ids", "n.ids.csv"},
};

TEST(ConversionsBlackBox, EveryConversionWritesItsDefaultNameAndReportsBadSourcesOnce) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("n.xml"), TemplateNote());
  WriteFileBytes(dir.file("bad.svg"), "garbage\n");
  const std::string unsupported =
      "Zerbin ではサポートされていない SVG の要素があるため、開けません。 "
      "もしくは、ファイルが壊れた可能性があります。バックアップがあれば復活させてください\n";
  ZerbinRunOptions inDir;
  inDir.cwd = dir.path();
  for (const Conversion& c : kConversions) {
    SCOPED_TRACE(c.option);
    const std::string written = dir.file(c.written);
    unlink(written.c_str());
    unlink(dir.file("echo.txt").c_str());
    ZerbinRun r = runZerbin(dir, {prof, c.option, "n.xml"}, inDir);
    EXPECT_EQ(r.status, 0) << r.echo;
    EXPECT_EQ(r.echo, "");
    EXPECT_TRUE(FileX_isFile(written));

    // The note itself as destination: it stays as it was (page images take
    // their own extension).
    unlink(dir.file("echo.txt").c_str());
    r = runZerbin(dir, {prof, c.option, "n.xml", "./sub/../n.xml"}, inDir);
    EXPECT_EQ(testing_support::ReadFileBytes(dir.file("n.xml")), TemplateNote());
    const std::string option = c.option;
    if (option == "-cj" || option == "-cp") {
      EXPECT_EQ(r.status, 0) << r.echo;
    } else {
      EXPECT_EQ(r.status, 1);
      EXPECT_EQ(r.echo, dir.file("n.xml") + (option == "-cs" || option == "-cS"
                                                 ? ": 公開用のコピーで元のノートを上書きすることはできません。\n"
                                                 : ": 変換の出力で元のノートを上書きすることはできません。\n"));
    }

    // A file that is no note: the reader's message once, nothing written.
    unlink(dir.file("echo.txt").c_str());
    r = runZerbin(dir, {prof, c.option, "bad.svg", "out.bin"}, inDir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.echo, unsupported);
    EXPECT_FALSE(FileX_exists(dir.file("out.bin")));

    // A folder is no note either.
    unlink(dir.file("echo.txt").c_str());
    r = runZerbin(dir, {prof, c.option, "P", "out.bin"}, inDir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.echo, "ファイル \"" + dir.file("P") + "\" が開けません\nカレント＝" + dir.path() +
                          "\nOS=Is a directory\n");
    EXPECT_FALSE(FileX_exists(dir.file("out.bin")));

    // A missing note, and none at all: the note that cannot be opened.
    unlink(dir.file("echo.txt").c_str());
    r = runZerbin(dir, {prof, c.option, "none.svg"}, inDir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.echo, dir.file("none.svg") + " を開こうとしましたが見つかりません。\n");
    unlink(dir.file("echo.txt").c_str());
    r = runZerbin(dir, {prof, c.option}, inDir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.echo, " を開こうとしましたが見つかりません。\n");
  }
}

}  // namespace
