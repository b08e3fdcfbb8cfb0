// Every conversion of the command line as a user meets it: the file it
// writes without a destination, that it never writes over its note, and
// what a missing, unreadable or absent source note gives (exit status and
// the messages of the echo file).
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
    {"-cV", "n.html"}, {"-cm", "n.mht"},  {"-cs", "n.wsf"},  {"-cS", "n.svg"},
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

    // Nor through a link of the file system.
    unlink(dir.file("echo.txt").c_str());
    unlink(dir.file("link.xml").c_str());
    ASSERT_EQ(symlink("n.xml", dir.file("link.xml").c_str()), 0);
    r = runZerbin(dir, {prof, c.option, "n.xml", "link.xml"}, inDir);
    EXPECT_EQ(testing_support::ReadFileBytes(dir.file("n.xml")), TemplateNote());
    if (option != "-cj" && option != "-cp") EXPECT_EQ(r.status, 1);

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

namespace {

// Options of the command line around a conversion: refused and unknown
// options (the last message is shown and the conversion goes on), values
// too long for their fields (the start ends), options given twice.
TEST(ConversionsBlackBox, OptionsAroundAConversionGiveTheirMessagesAndStatus) {
  TempDir dir;
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("n.xml"), TemplateNote());
  struct Case {
    std::vector<std::string> words;
    int status;
    std::string echo;
    const char* written;  // "" = nothing
  };
  const std::string a80(80, 'a');
  const Case cases[] = {
      {{"-zz", "-yy", "-cd", "n.xml", "o1.txt"}, 0, "-yy オプションはありません。\n", "o1.txt"},
      {{"-idle=1", "-zz", "-cd", "n.xml", "o2.txt"}, 0, "-zz オプションはありません。\n", "o2.txt"},
      {{"-zz", "-idle=1", "-cd", "n.xml", "o3.txt"}, 0,
       "Zerbin_Test が 0 なので -idle オプションは使えません\n", "o3.txt"},
      {{"-max_size=640", "-cp", "n.xml", "o4.png"}, 0, "-max_size=640 オプションはありません。\n", "o4.png"},
      {{"-pub=" + a80, "-cs", "n.xml", "o5.svg"}, 1, "-pub= が長すぎます。\n", ""},
      {{"-pub=" + a80.substr(1), "-cs", "n.xml", "o6.svg"}, 0, "", "o6.svg"},
      {{"-service_name=" + std::string(64, 's'), "-cd", "n.xml", "o7.txt"}, 1,
       "-service_name= が長すぎます。\n", ""},
      {{"-gk=" + a80, "-cd", "n.xml", "o8.txt"}, 1, "-gk= が長すぎます。\n", ""},
      {{"-page=" + a80, "-cp", "n.xml", "o9.png"}, 1, "-page= が長すぎます。\n", ""},
      // Twice: the last conversion and the last value count.
      {{"-cd", "-cp", "n.xml", "o10.out"}, 0, "", "o10.png"},
      {{"-pub=x", "-pub=*", "-cs", "n.xml", "o11.svg"}, 0, "", "o11.svg"},
  };
  ZerbinRunOptions inDir;
  inDir.cwd = dir.path();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.words[0]);
    unlink(dir.file("echo.txt").c_str());
    std::vector<std::string> words = {prof};
    words.insert(words.end(), c.words.begin(), c.words.end());
    ZerbinRun r = runZerbin(dir, words, inDir);
    EXPECT_EQ(r.status, c.status) << r.echo;
    EXPECT_EQ(r.echo, c.echo);
    if (*c.written != '\0') EXPECT_TRUE(FileX_isFile(dir.file(c.written)));
    const std::string last = c.words.back();
    if (*c.written == '\0') EXPECT_FALSE(FileX_exists(dir.file(last)));
  }
  EXPECT_FALSE(FileX_exists(dir.file("o10.out")));

  // Both lists: the id list under the link list's name.
  ZerbinRun both = runZerbin(dir, {prof, "-links", "-ids", "n.xml"}, inDir);
  EXPECT_EQ(both.status, 0) << both.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("n.links.csv")));
  EXPECT_TRUE(FileX_isFile(dir.file("n.ids.csv")));
  both = runZerbin(dir, {prof, "-ids", "-links", "n.xml", "l.csv"}, inDir);
  EXPECT_EQ(both.status, 0) << both.echo;
  EXPECT_TRUE(FileX_isFile(dir.file("l.csv")));
  EXPECT_TRUE(FileX_isFile(dir.file("l.ids.csv")));

  // A relative echo file lies in the current folder; given twice, the last.
  ZerbinRun r = runZerbin(dir, {prof, "-echo=first.txt", "-echo=e/../rel.txt", "-zz", "-cd", "n.xml"},
                          inDir);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("rel.txt")), "-zz オプションはありません。\r\n");
  EXPECT_FALSE(FileX_exists(dir.file("first.txt")));

  // Without an echo file the messages go to standard error (UTF-8), and
  // nothing else does, even without a runtime folder of the session.
  ZerbinRunOptions noEcho = inDir;
  noEcho.echo = false;
  noEcho.env = {{"XDG_RUNTIME_DIR", ""}};
  r = runZerbin(dir, {prof, "-zz", "-cd", "n.xml", "o12.txt"}, noEcho);
  EXPECT_EQ(r.status, 0);
  const std::u8string_view message = u8"-zz オプションはありません。\n";
  EXPECT_EQ(r.err, std::string(message.begin(), message.end()));
  EXPECT_TRUE(FileX_isFile(dir.file("o12.txt")));
}

}  // namespace
