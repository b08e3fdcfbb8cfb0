#include "app/startup/command_line.h"

#include <gtest/gtest.h>

#include "core/errors/result_code.h"
#include "core/filex/filex.h"
#include "support/test_support.h"

namespace {

struct Parsed {
  int result = 0;
  CZerbinApp_Options o;
  std::string path, fragment, dst;
};

Parsed parse(std::string_view line, std::string_view cur = "/home/u/cur") {
  Parsed p;
  p.result = CZerbinApp_parseCommandLine(line, cur, p.o, p.path, p.fragment, p.dst);
  return p;
}

std::string storedMessage() { return ResultCode_getText(ResultCode_Message); }

TEST(CZerbinAppParse, DefaultsAndPlainNote) {
  Parsed p = parse("");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.o.maxWidth, 640);
  EXPECT_EQ(p.o.maxHeight, 480);
  EXPECT_EQ(p.o.maxFold, 1);
  EXPECT_EQ(p.o.minZoom, 100);
  EXPECT_FALSE(p.o.minZoomGiven);
  EXPECT_EQ(p.o.serviceName, "BrevloGUIService");
  EXPECT_TRUE(p.o.runS);
  EXPECT_EQ(p.path, "");

  // A word beginning with "/" is the note, not an option.
  p = parse("/tmp/a.svg");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.path, "/tmp/a.svg");
  // The rest of the line, spaces and all; relative against the current folder.
  p = parse("-t sub/my note.svg ");
  EXPECT_EQ(p.path, "/home/u/cur/sub/my note.svg");
  EXPECT_TRUE(p.o.runT);
  EXPECT_FALSE(p.o.runS);
  p = parse("\"/tmp/a b/ソ表.svg\"");
  EXPECT_EQ(p.path, "/tmp/a b/ソ表.svg");
  EXPECT_EQ(p.o.srcPath, p.path);
}

TEST(CZerbinAppParse, Fragments) {
  Parsed p = parse("/tmp/a.svg#page2");
  EXPECT_EQ(p.path, "/tmp/a.svg");
  EXPECT_EQ(p.fragment, "page2");
  p = parse("\"/tmp/x y.svg#目次\"");
  EXPECT_EQ(p.path, "/tmp/x y.svg");
  EXPECT_EQ(p.fragment, "目次");
  p = parse("-cp /tmp/a.svg#p3 /tmp/o.png");
  EXPECT_EQ(p.path, "/tmp/a.svg");
  EXPECT_EQ(p.fragment, "p3");
  EXPECT_EQ(p.dst, "/tmp/o.png");
}

TEST(CZerbinAppParse, UnknownAndRefusedOptionsGoOn) {
  Parsed p = parse("-zz -t /tmp/a.svg");
  EXPECT_EQ(p.result, CZerbinApp_OptionRefused);
  EXPECT_EQ(storedMessage(), "-zz オプションはありません。");
  EXPECT_TRUE(p.o.runT);
  EXPECT_EQ(p.path, "/tmp/a.svg");

  p = parse("-idle=1 a.svg");
  EXPECT_EQ(p.result, CZerbinApp_OptionRefused);
  EXPECT_EQ(storedMessage(), "Zerbin_Test が 0 なので -idle オプションは使えません");
  EXPECT_EQ(p.path, "/home/u/cur/a.svg");
}

TEST(CZerbinAppParse, PagesAndSizes) {
  Parsed p = parse("-page=3-5 -max_size=800x600 -max_fold=4 -min_zoom=25 a.svg");
  EXPECT_EQ(p.result, 0);
  EXPECT_TRUE(p.o.hasPage);
  EXPECT_EQ(p.o.pageFirst, 3);
  EXPECT_EQ(p.o.pageLast, 5);
  EXPECT_EQ(p.o.pageName, "");
  EXPECT_EQ(p.o.maxWidth, 800);
  EXPECT_EQ(p.o.maxHeight, 600);
  EXPECT_EQ(p.o.maxFold, 4);
  EXPECT_EQ(p.o.minZoom, 25);
  EXPECT_TRUE(p.o.minZoomGiven);
  p = parse("-page=7 a.svg");
  EXPECT_EQ(p.o.pageFirst, 7);
  EXPECT_EQ(p.o.pageLast, 7);
  p = parse("-page=Intro a.svg");
  EXPECT_EQ(p.o.pageName, "Intro");
  EXPECT_EQ(p.o.pageFirst, 0);
  p = parse("-page=\"はじめ に\" a.svg");
  EXPECT_EQ(p.o.pageName, "はじめ に");
  p = parse("-max_size=800 a.svg");
  EXPECT_EQ(p.result, CZerbinApp_OptionRefused);
  EXPECT_EQ(p.o.maxWidth, 640);
}

TEST(CZerbinAppParse, FlagsAndValues) {
  Parsed p = parse(
      "-e -n -r -u -d -p_cmd -load -unload -unload_if -html -head -ids2 -vert -nosubfo "
      "-no_blank -no_local -top2blank -parts -wait_close -view- -pub=* -repurl2=http://x/ "
      "-service_name=Svc1 -gk=語 -menu=m.svg -files=\"f l.txt\" -hhc2=h.hhc -echo=e.txt x.svg");
  EXPECT_EQ(p.result, 0);
  const CZerbinApp_Options& o = p.o;
  EXPECT_FALSE(o.japanese);
  EXPECT_TRUE(o.runN && o.runT && o.runQuiet && o.runS && o.runR && o.runU && o.runD && o.pCmd);
  EXPECT_TRUE(o.load && o.unload && o.unloadIf && o.html && o.head && o.ids2 && o.vert);
  EXPECT_TRUE(o.noSubFolder && o.noBlank && o.noLocal && o.top2Blank && o.parts && o.waitClose);
  EXPECT_FALSE(o.ids || o.links);
  EXPECT_EQ(o.viewMode, -1);
  EXPECT_TRUE(o.hasPub);
  EXPECT_EQ(o.pubName, "");
  EXPECT_EQ(o.repUrl, "http://x/");
  EXPECT_EQ(o.repUrlKind, 2);
  EXPECT_EQ(o.serviceName, "Svc1");
  EXPECT_TRUE(o.goSearch && o.useClipboard);
  EXPECT_EQ(o.keyword, "語");
  EXPECT_EQ(o.menuPath, "/home/u/cur/m.svg");
  EXPECT_EQ(o.filesPath, "/home/u/cur/f l.txt");
  EXPECT_EQ(o.hhc2Path, "/home/u/cur/h.hhc");
  EXPECT_EQ(o.echoPath, "/home/u/cur/e.txt");
  EXPECT_EQ(p.path, "/home/u/cur/x.svg");

  p = parse("-j -g -view -pub -pub=web -repurl=u -prof=/tmp/p a.svg");
  EXPECT_TRUE(p.o.japanese);
  EXPECT_TRUE(p.o.goSearch);
  EXPECT_FALSE(p.o.useClipboard);
  EXPECT_EQ(p.o.viewMode, 1);
  EXPECT_EQ(p.o.pubName, "web");
  EXPECT_EQ(p.o.repUrlKind, 1);
  EXPECT_TRUE(p.o.hasProfile);
  EXPECT_EQ(p.o.profileFolder, "/tmp/p/");
  p = parse("-gi -prof=/tmp/q/ a.svg");
  EXPECT_TRUE(p.o.goSearch && p.o.useClipboard);
  EXPECT_EQ(p.o.profileFolder, "/tmp/q/");

  // Too long for its field: 1041 with a message, nothing silently cut.
  p = parse("-service_name=" + std::string(64, 'a') + " a.svg");
  EXPECT_EQ(p.result, ResultCode_BufferTooSmall);
  p = parse("-service_name=" + std::string(63, 'a') + " a.svg");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.o.serviceName.size(), 63u);
}

TEST(CZerbinAppParse, ConversionModes) {
  const std::pair<const char*, int> modes[] = {
      {"-cd", 100}, {"-cj", 106}, {"-cp", 112}, {"-cw", 119}, {"-cx", 120}, {"-ct", 116},
      {"-cT", 84},  {"-cv", 118}, {"-cV", 86},  {"-cm", 109}, {"-cs", 115}, {"-cS", 83},
      {"-rel", 82}};
  for (auto [name, code] : modes) {
    Parsed p = parse(std::string(name) + " src.svg /tmp/out.x");
    EXPECT_EQ(p.o.convMode, code) << name;
    EXPECT_EQ(p.path, "/home/u/cur/src.svg") << name;
    EXPECT_EQ(p.dst, "/tmp/out.x") << name;
  }
  Parsed p = parse("-links \"a b.svg\" \"o u.csv\"");
  EXPECT_TRUE(p.o.links);
  EXPECT_EQ(p.path, "/home/u/cur/a b.svg");
  EXPECT_EQ(p.dst, "/home/u/cur/o u.csv");
  p = parse("-ids a.svg");
  EXPECT_EQ(p.dst, "");
  EXPECT_TRUE(p.o.batch());
}

TEST(CZerbinAppParse, DestinationFolders) {
  testing_support::TempDir dir;
  std::string cur = dir.path();
  // An existing folder takes the source name.
  FileX_makeFolders(cur + "/out", false);
  Parsed p = parse("-cs /n/a.svg out", cur);
  EXPECT_EQ(p.dst, cur + "/out/a.svg");
  p = parse("-cS /n/b.svg out", cur);
  EXPECT_EQ(p.dst, cur + "/out/b.svg");
  // -cv: html; a missing ".files" folder is created.
  p = parse("-cv /n/a.svg pub.files", cur);
  EXPECT_EQ(p.dst, cur + "/pub.files/a.html");
  EXPECT_TRUE(FileX_isFolder(cur + "/pub.files"));
  p = parse("-cV /n/a.svg newdir", cur);
  EXPECT_EQ(p.dst, cur + "/newdir/a.html");
  EXPECT_TRUE(FileX_isFolder(cur + "/newdir"));
  // A name with another extension is a file.
  p = parse("-cv /n/a.svg x.htm", cur);
  EXPECT_EQ(p.dst, cur + "/x.htm");
  EXPECT_FALSE(FileX_exists(cur + "/x.htm"));
  // Other modes leave a folder name as it is.
  p = parse("-cp /n/a.svg other", cur);
  EXPECT_EQ(p.dst, cur + "/other");
  EXPECT_FALSE(FileX_exists(cur + "/other"));
}

Parsed parseMarked(std::string_view line, std::vector<bool> unconvertible,
                   std::string_view cur = "/home/u/cur") {
  Parsed p;
  p.result = CZerbinApp_parseCommandLine(line, cur, p.o, p.path, p.fragment, p.dst, unconvertible);
  return p;
}

TEST(CZerbinAppParse, PathsThatNameNoFileAreRefused) {
  // Words marked as not held by code page 932 (their "?" stand for other
  // characters): each path option with its own message.
  Parsed p = parseMarked("-cs a.svg out?.svg", {false, false, true});
  EXPECT_EQ(p.result, CZerbinApp_PathRefused);
  EXPECT_EQ(storedMessage(), "/home/u/cur/out?.svg に書込みができません。保存に失敗しました。");
  EXPECT_EQ(p.dst, "");
  p = parseMarked("-cs ?.svg o.svg", {false, true, false});
  EXPECT_EQ(storedMessage(), "/home/u/cur/?.svg を開こうとしましたが見つかりません。");
  p = parseMarked("-t \"/a b/?.svg\"", {false, true});
  EXPECT_EQ(p.result, CZerbinApp_PathRefused);
  EXPECT_EQ(storedMessage(), "/a b/?.svg を開こうとしましたが見つかりません。");
  p = parseMarked("-menu=m?.svg a.svg", {true, false});
  EXPECT_EQ(storedMessage(), "ファイルが見つかりません。\r\n/home/u/cur/m?.svg");
  p = parseMarked("-e x?.svg", {false, true});
  EXPECT_EQ(storedMessage(), "/home/u/cur/x?.svg can not open. Zerbin exits.");
  p = parseMarked("-echo=/e?.txt a.svg", {true, false});
  EXPECT_EQ(storedMessage(), "/e?.txt に書込みができません。保存に失敗しました。");
  EXPECT_EQ(p.o.echoPath, "");
  p = parseMarked("-prof=/p? a.svg", {true, false});
  EXPECT_EQ(storedMessage(), "プロファイルフォルダに書き込めません。\r\npath = /p?/write_test.bin\r\nBrevlo を終了します。");
  EXPECT_FALSE(p.o.hasProfile);
  p = parseMarked("-cs -repurl=r?.txt a.svg b.svg", {false, true, false, false});
  EXPECT_EQ(storedMessage(), "読みこみモードで open できません。/home/u/cur/r?.txt");
  // The first refused path is reported; refused paths win over unknown options.
  p = parseMarked("-zz -files=f?.txt -hhc2=h?.hhc a.svg", {false, true, true, false});
  EXPECT_EQ(p.result, CZerbinApp_PathRefused);
  EXPECT_EQ(storedMessage(), "ファイルが見つかりません。\r\n/home/u/cur/f?.txt");
  // A marked word that is no path is taken as it is.
  p = parseMarked("-gk=?? -pub=w? a.svg", {true, true, false});
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.o.keyword, "??");
  EXPECT_EQ(p.path, "/home/u/cur/a.svg");

  // A current folder without a name: relative paths are refused, absolute ones taken.
  p = parse("-cs a.svg /tmp/o.svg", "");
  EXPECT_EQ(p.result, CZerbinApp_PathRefused);
  EXPECT_EQ(storedMessage(), "a.svg を開こうとしましたが見つかりません。");
  p = parse("-cs /tmp/a.svg o.svg", "");
  EXPECT_EQ(storedMessage(), "o.svg に書込みができません。保存に失敗しました。");
  p = parse("-echo=e.txt /tmp/a.svg", "");
  EXPECT_EQ(storedMessage(), "e.txt に書込みができません。保存に失敗しました。");
  p = parse("-prof=p -echo=/e.txt -cs /tmp/a.svg /tmp/o.svg", "");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.path, "/tmp/a.svg");
  EXPECT_EQ(p.dst, "/tmp/o.svg");
  EXPECT_EQ(p.o.echoPath, "/e.txt");
}

TEST(CZerbinAppParse, PathTooLongIsNamedAsGiven) {
  const std::string dst = std::string(600, 'd') + ".svg";
  Parsed p = parse("-cs a.svg " + dst);
  EXPECT_EQ(p.result, ResultCode_BufferTooSmall);
  EXPECT_EQ(storedMessage(), dst + " が長すぎます。");
  p = parse("-cs a.svg /" + dst);
  EXPECT_EQ(p.result, ResultCode_BufferTooSmall);
  EXPECT_EQ(storedMessage(), "/" + dst + " が長すぎます。");
  // A source has room for longer paths.
  p = parse("-cs /" + std::string(600, 's') + ".svg#frag /o.svg");
  EXPECT_EQ(p.result, 0);
  EXPECT_EQ(p.path, "/" + std::string(600, 's') + ".svg");
}

TEST(CZerbinAppParse, QuotedWordsLoseTheirQuotesOnce) {
  // Words that came with their quotes, as Windows shells pass them.
  std::string line = CZerbinApp_joinArguments(
      {"-cs", "-echo=\"/e f.txt\"", "\"/a b/x.svg\"", "\"/o.svg\"", "\"\""});
  EXPECT_EQ(line, "-cs -echo=\"/e f.txt\" \"/a b/x.svg\" /o.svg \"\"");
  Parsed p = parse(line);
  EXPECT_EQ(p.o.echoPath, "/e f.txt");
  EXPECT_EQ(p.path, "/a b/x.svg");
  EXPECT_EQ(p.dst, "/o.svg");
  p = parse(CZerbinApp_joinArguments({"-t", "\"/my notes/x.svg#p2\""}));
  EXPECT_EQ(p.path, "/my notes/x.svg");
  EXPECT_EQ(p.fragment, "p2");
  // One word of the line per argument, so the marks of the words stay in step.
  line = CZerbinApp_joinArguments({"-cs", "\"/a b.svg\"", "/o?.svg"});
  p = parseMarked(line, {false, false, true});
  EXPECT_EQ(p.result, CZerbinApp_PathRefused);
  EXPECT_EQ(storedMessage(), "/o?.svg に書込みができません。保存に失敗しました。");
}

TEST(CZerbinAppParse, JoinAndPrescan) {
  EXPECT_EQ(CZerbinApp_joinArguments({"-t", "-prof=/a b", "/x y.svg", ""}),
            "-t -prof=\"/a b\" \"/x y.svg\" \"\"");
  Parsed p = parse(CZerbinApp_joinArguments({"-prof=/a b", "-echo=/e f.txt", "/x y.svg"}));
  EXPECT_EQ(p.o.profileFolder, "/a b/");
  EXPECT_EQ(p.o.echoPath, "/e f.txt");
  EXPECT_EQ(p.path, "/x y.svg");

  EXPECT_TRUE(CZerbinApp_isVersionRequest("-v"));
  EXPECT_TRUE(CZerbinApp_isVersionRequest(" -v 1"));
  EXPECT_FALSE(CZerbinApp_isVersionRequest("-view a.svg"));
  EXPECT_TRUE(CZerbinApp_isBatchArguments({"-t", "-cp", "a", "b"}));
  EXPECT_TRUE(CZerbinApp_isBatchArguments({"-echo=/e"}));
  EXPECT_FALSE(CZerbinApp_isBatchArguments({"-t", "/x/-cp"}));
}

}  // namespace
