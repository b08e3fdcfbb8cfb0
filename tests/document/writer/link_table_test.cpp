#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/result_code.h"
#include "document/writer/link_table.h"
#include "support/test_support.h"
#include "document/writer/link_pair_printer.h"

using testing_support::CatchError;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

using Table = std::vector<SvgLinkPair>;

}  // namespace

TEST(LinkTableRepurl, PairsMadeAbsoluteAndSortedByFallingLength) {
  TempDir dir;
  const std::string path = dir.file("r.repurl.txt");
  WriteFileBytes(path,
                 "[repurl]\r\n"
                 "src=a.svg\r\n"
                 "dst=a.html\r\n"
                 "src = sub/longer.svg\r\n"
                 "dst = out/longer.html\r\n"
                 "src=/abs/b.svg\r\n"
                 "dst=http://example.com/b.html\r\n"
                 "src=c.svg\r\n"
                 "dst=script:cut\r\n"
                 " \r\n");
  Table t = LinkTable_readRepurl(path, "/src", "/dst", LinkTable_kindHtml);
  // Falling length of src; the three of length 10 keep their file order.
  EXPECT_EQ((Table{{"/src/sub/longer.svg", "/dst/out/longer.html"},
                   {"/src/a.svg", "/dst/a.html"},
                   {"/abs/b.svg", "http://example.com/b.html"},
                   {"/src/c.svg", "script:cut"}}),
            t);
}

TEST(LinkTableRepurl, EmptyFoldersMeanTheSettingsFileFolder) {
  TempDir dir;
  const std::string path = dir.file("r.txt");
  WriteFileBytes(path, "[main]\nx = 1\n[repurl]\nsrc=n/a.svg\ndst=../w/a.html\n");
  Table t = LinkTable_readRepurl(path, "", "", LinkTable_kindHtml);
  const std::string base = dir.path();
  const std::string parent = base.substr(0, base.rfind('/'));
  EXPECT_EQ((Table{{base + "/n/a.svg", parent + "/w/a.html"}}), t);
  // Only the source folder given: the destination still takes the file's folder.
  t = LinkTable_readRepurl(path, "/s", "", LinkTable_kindHtml);
  EXPECT_EQ((Table{{"/s/n/a.svg", parent + "/w/a.html"}}), t);
}

TEST(LinkTableRepurl, KindTwoGivesXmlForHtmlPagesOfNotes) {
  TempDir dir;
  const std::string path = dir.file("r.txt");
  WriteFileBytes(path,
                 "[repurl]\n"
                 "src=a.SVG\ndst=a.HTM\n"
                 "src=bb.svg\ndst=bb.html#top\n"
                 "src=ccc.txt\ndst=ccc.html\n"
                 "src=dddd.svg\ndst=dddd.png\n"
                 "src=eeeee.svgz\ndst=eeeee.html\n");
  Table t2 = LinkTable_readRepurl(path, "/s", "/d", LinkTable_kindSvgCopy);
  EXPECT_EQ((Table{{"/s/eeeee.svgz", "/d/eeeee.html"},
                   {"/s/dddd.svg", "/d/dddd.png"},
                   {"/s/ccc.txt", "/d/ccc.html"},
                   {"/s/bb.svg", "/d/bb.xml#top"},
                   {"/s/a.SVG", "/d/a.xml"}}),
            t2);
  Table t1 = LinkTable_readRepurl(path, "/s", "/d", LinkTable_kindHtml);
  EXPECT_EQ("/d/bb.html#top", t1[3].to);
  EXPECT_EQ("/d/a.HTM", t1[4].to);
}

TEST(LinkTableRepurl, ABadKeyRaisesTheSettingsError) {
  TempDir dir;
  const std::string path = dir.file("r.txt");
  WriteFileBytes(path, "[repurl]\nsrc=a.svg\ndst=a.html\ndst=b.html\nsrc=b.svg\n");
  Errors_Msg e = CatchError([&] { LinkTable_readRepurl(path, "/s", "/d", 1); });
  EXPECT_EQ(596, e.code);
  EXPECT_EQ(IniFile_Err_BadAttr, e.code);
  EXPECT_NE(std::string::npos, std::string(e.text).find("dst=b.html"));

  // The second line of a pair must be dst.
  WriteFileBytes(path, "[repurl]\nsrc=a.svg\nsrc=b.svg\n");
  EXPECT_EQ(596, CatchError([&] { LinkTable_readRepurl(path, "/s", "/d", 1); }).code);
  // A src line at the end of the file.
  WriteFileBytes(path, "[repurl]\nsrc=a.svg\n");
  EXPECT_EQ(IniFile_Err_FewAttr, CatchError([&] { LinkTable_readRepurl(path, "/s", "/d", 1); }).code);
  // Missing section and missing file.
  WriteFileBytes(path, "[other]\nsrc=a.svg\ndst=b\n");
  EXPECT_EQ(IniFile_NotFoundSection,
            CatchError([&] { LinkTable_readRepurl(path, "/s", "/d", 1); }).code);
  EXPECT_EQ(FileX_Err_CannotReadOpen,
            CatchError([&] { LinkTable_readRepurl(dir.file("none.txt"), "/s", "/d", 1); }).code);
}

TEST(LinkTableRepurl, TheSectionEndsAtTheNextSection) {
  TempDir dir;
  const std::string path = dir.file("r.txt");
  WriteFileBytes(path, "[repurl]\nsrc=a.svg\ndst=a.html\n \n[next]\nother=1\n");
  EXPECT_EQ((Table{{"/s/a.svg", "/d/a.html"}}), LinkTable_readRepurl(path, "/s", "/d", 1));
  WriteFileBytes(path, "[repurl]\n \n");
  EXPECT_TRUE(LinkTable_readRepurl(path, "/s", "/d", 1).empty());
}

TEST(LinkTableFromNote, PageFilesNumberedAcrossTheLimit) {
  // Three pages of height 6000 with the limit 10000: pages 1 and 2 in
  // file 01, page 3 in file 02.
  std::vector<LinkTablePage> pages = {
      {6000, {"a", "", "intro"}}, {6000, {"b"}}, {6000, {"cc", "d"}}};
  Table t;
  ASSERT_EQ(0, LinkTable_buildFromNote(t, "/n/note.svg", "/o/site.html", pages, 10000));
  EXPECT_EQ((Table{{"/n/note.svg#intro", "/o/site.files/site_01.html#intro"},
                   {"/n/note.svg#cc", "/o/site.files/site_02.html#cc"},
                   {"/n/note.svg#a", "/o/site.files/site_01.html#a"},
                   {"/n/note.svg#b", "/o/site.files/site_01.html#b"},
                   {"/n/note.svg#d", "/o/site.files/site_02.html#d"},
                   {"/n/note.svg", "/o/site.html"}}),
            t);
}

TEST(LinkTableFromNote, OffsetBoundaryAndRestart) {
  // 84 + 16 = 100 reaches the limit without exceeding it; the next page
  // would exceed it.  After a restart the offset is 0 again.
  std::vector<LinkTablePage> pages = {{84, {"p1"}}, {0, {"p2"}}, {200, {"p3"}}, {10, {"p4"}}};
  Table t;
  ASSERT_EQ(0, LinkTable_buildFromNote(t, "/n/x.svg", "/o/y.htm", pages, 100));
  // p1: 0 -> 100 (not over); p2 in 01: 100 -> 116 over, next 02;
  // p3 in 02: 0 -> 216 over, next 03; p4 in 03.
  EXPECT_EQ((Table{{"/n/x.svg#p1", "/o/y.files/y_01.htm#p1"},
                   {"/n/x.svg#p2", "/o/y.files/y_01.htm#p2"},
                   {"/n/x.svg#p3", "/o/y.files/y_02.htm#p3"},
                   {"/n/x.svg#p4", "/o/y.files/y_03.htm#p4"},
                   {"/n/x.svg", "/o/y.htm"}}),
            t);
}

TEST(LinkTableFromNote, LimitZeroGivesOnlyTheNoteEntry) {
  std::vector<LinkTablePage> pages = {{100, {"a"}}};
  Table t = {{"old", "old"}};
  ASSERT_EQ(0, LinkTable_buildFromNote(t, "/n/x.svg", "/o/x.svg", pages, 0));
  EXPECT_EQ((Table{{"/n/x.svg", "/o/x.svg"}}), t);
}

TEST(LinkTableFromNote, ATooLongTextGives1041AndAnEmptyTable) {
  std::vector<LinkTablePage> pages = {{100, {"a"}}, {100, {std::string(500, 'i')}}};
  Table t = {{"old", "old"}};
  EXPECT_EQ(ResultCode_BufferTooSmall,
            LinkTable_buildFromNote(t, "/n/x.svg", "/o/x.html", pages, 10000));
  EXPECT_TRUE(t.empty());
  // The longest texts that fit: 511 bytes.
  const std::string note = "/n/" + std::string(505, 'n');  // 508 bytes
  std::vector<LinkTablePage> fits = {{100, {"ab"}}};
  ASSERT_EQ(0, LinkTable_buildFromNote(t, note, "/o/x.html", fits, 10000));
  EXPECT_EQ(511u, t[0].from.size());
  std::vector<LinkTablePage> over = {{100, {"abc"}}};
  EXPECT_EQ(ResultCode_BufferTooSmall, LinkTable_buildFromNote(t, note, "/o/x.html", over, 10000));
  EXPECT_TRUE(t.empty());
}
