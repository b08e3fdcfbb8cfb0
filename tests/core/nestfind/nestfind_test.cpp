#include "core/nestfind/nestfind.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "support/test_support.h"

using testing_support::Sjis;
using testing_support::TempDir;

namespace {

void makeDir(const std::string& p) { ASSERT_EQ(0, mkdir(p.c_str(), 0700)) << p; }
void touch(const std::string& p, std::string_view bytes = "") {
  testing_support::WriteFileBytes(p, bytes);
}

// Every entry of a walk: the relative path, "/" added for folders and "@"
// for links.
template <class Walker>
std::vector<std::string> walk(Walker& w, const std::string& root, bool withFolders) {
  std::vector<std::string> out;
  w.open(root, withFolders);
  while (w.next()) {
    EXPECT_EQ(w.path(), root + "/" + w.relativePath());
    out.push_back(w.relativePath() + (w.isFolder() ? "/" : "") + (w.isLink() ? "@" : ""));
  }
  return out;
}

std::string nested(int depth) {
  std::string rel;
  for (int i = 0; i < depth; ++i) rel += "d/";
  return rel;
}

}  // namespace

TEST(NestFind, SortedDepthFirstAndFoldersAfterTheirContent) {
  TempDir t;
  for (const char* f : {"b.txt", "a.txt", "A.txt", "_last.txt"}) touch(t.file(f));
  makeDir(t.file("empty"));
  makeDir(t.file("sub"));
  makeDir(t.file("sub/Y"));
  touch(t.file("sub/z.txt"));
  touch(t.file("sub/x.txt"), "12345");
  touch(t.file("sub/Y/w.txt"));
  NestFind nf;
  // ASCII folded to upper case (so "_" follows the letters), ties by bytes.
  EXPECT_EQ((std::vector<std::string>{"A.txt", "a.txt", "b.txt", "sub/x.txt", "sub/Y/w.txt",
                                      "sub/z.txt", "_last.txt"}),
            walk(nf, t.path(), false));
  EXPECT_EQ((std::vector<std::string>{"A.txt", "a.txt", "b.txt", "empty/", "sub/x.txt",
                                      "sub/Y/w.txt", "sub/Y/", "sub/z.txt", "sub/",
                                      "_last.txt"}),
            walk(nf, t.path(), true));

  nf.open(t.path() + "/", false);  // a final separator changes nothing
  while (nf.next() && nf.relativePath() != "sub/x.txt") {}
  EXPECT_EQ(t.path() + "/sub/x.txt", nf.path());
  EXPECT_EQ(5, nf.size());
  EXPECT_FALSE(nf.isFolder());

  NestFindGrow grow;
  EXPECT_EQ(walk(nf, t.path(), true), walk(grow, t.path(), true));
  grow.close();
  EXPECT_FALSE(grow.next());
  nf.open(t.file("missing"), false);
  EXPECT_FALSE(nf.next());
}

TEST(NestFind, FortyNineLevelsAreWalkedFiftyRaise9991) {
  TempDir t;
  std::string rel;
  for (int i = 0; i < 49; ++i) {
    makeDir(t.file(rel += "d"));
    rel += "/";
  }
  touch(t.file(rel + "f"));
  NestFind nf;
  EXPECT_EQ((std::vector<std::string>{nested(49) + "f"}), walk(nf, t.path(), false));

  makeDir(t.file(rel + "d"));  // the 50th folder below the root
  nf.open(t.path(), false);
  Errors_Msg e = testing_support::CatchError([&] { while (nf.next()) {} });
  EXPECT_EQ(NestFind_Err_OverNest, e.code);
  EXPECT_EQ("NestFind: over Nest (" + t.path() + "/" + nested(49) + "d)\n",
            std::string(e.message()));
  EXPECT_FALSE(nf.next());  // the walk cannot go on

  NestFindGrow grow;
  EXPECT_EQ((std::vector<std::string>{nested(49) + "f"}), walk(grow, t.path(), false));
}

TEST(NestFind, MoreThan3000NamesHeldAtOnceRaise9992) {
  TempDir t;
  makeDir(t.file("big"));
  for (int i = 0; i < 2999; ++i) touch(t.file("big/f" + std::to_string(i)));
  NestFind nf;
  EXPECT_EQ(2999u, walk(nf, t.path(), false).size());  // 1 + 2999 names held

  touch(t.file("big/one_more"));  // "big" plus its 3000 names: 3001
  nf.open(t.path(), false);
  Errors_Msg e = testing_support::CatchError([&] { nf.next(); });
  EXPECT_EQ(NestFind_Err_OverBuf, e.code);
  EXPECT_EQ("NestFind: over Buf (" + t.path() + "/big)\n", std::string(e.message()));
  EXPECT_FALSE(nf.next());

  // The names of a dropped level are freed: two folders of 2000 each pass.
  TempDir t2;
  for (const char* d : {"p", "q"}) {
    makeDir(t2.file(d));
    for (int i = 0; i < 2000; ++i) touch(t2.file(std::string(d) + "/" + std::to_string(i)));
  }
  EXPECT_EQ(4000u, walk(nf, t2.path(), true).size() - 2);
}

TEST(NestFindGrow, ListsFiveThousandFilesSorted) {
  TempDir t;
  for (int i = 0; i < 5000; ++i) {
    std::string name = "f";
    name += std::to_string(10000 + i);
    touch(t.file(name));
  }
  NestFindGrow grow;
  std::vector<std::string> all = walk(grow, t.path(), false);
  ASSERT_EQ(5000u, all.size());
  EXPECT_EQ("f10000", all.front());
  EXPECT_EQ("f14999", all.back());
  EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));

  NestFind nf;  // one folder of more than 3000 names is too much for NestFind
  EXPECT_EQ(NestFind_Err_OverBuf,
            testing_support::CatchError([&] { nf.open(t.path(), false); }).code);
}

TEST(NestFind, SymbolicLinksAreNeverEntered) {
  TempDir t;
  touch(t.file("f.txt"), "abc");
  makeDir(t.file("dir"));
  touch(t.file("dir/in.txt"));
  ASSERT_EQ(0, symlink("f.txt", t.file("lnk_file").c_str()));
  ASSERT_EQ(0, symlink("dir", t.file("lnk_dir").c_str()));
  ASSERT_EQ(0, symlink("nowhere", t.file("dangling").c_str()));
  ASSERT_EQ(0, symlink(".", t.file("loop").c_str()));
  NestFind nf;
  // Files only: a link to a file is a file; other links are skipped.
  EXPECT_EQ((std::vector<std::string>{"dir/in.txt", "f.txt", "lnk_file@"}),
            walk(nf, t.path(), false));
  nf.open(t.path(), false);
  while (nf.next() && !nf.isLink()) {}
  EXPECT_EQ(3, nf.size());
  // With folders every link is produced as a file, so deletion unlinks it.
  EXPECT_EQ((std::vector<std::string>{"dangling@", "dir/in.txt", "dir/", "f.txt", "lnk_dir@",
                                      "lnk_file@", "loop@"}),
            walk(nf, t.path(), true));
}

TEST(NestFind, ShiftJisNamesAndNamesTheCodePageCannotHold) {
  TempDir t;
  // On disk the names are UTF-8; the walk gives CP932.
  touch(t.file("\xE3\x82\xBD.txt"));                     // ソ (83 5C)
  makeDir(t.file("\xE8\xA1\xA8"));                        // 表 (95 5C)
  touch(t.file("\xE8\xA1\xA8/\xE5\x8D\x81.txt"));         // 十 (8F 5C)
  touch(t.file("\xE3\x83\x82"));                          // ヂ (83 61)
  touch(t.file("\xE3\x82\xA4"));                          // イ (83 43)
  touch(t.file("caf\xC3\xA9.txt"));                       // é: not in CP932
  Errors_setProgramPath(t.file("zerbin"));
  Errors_setLogName(t.file("log.txt"));
  Errors_resetLog();
  NestFind nf;
  // The trail byte 'a' of ヂ is not folded, so イ (83 43) comes first.
  EXPECT_EQ((std::vector<std::string>{Sjis(u8"イ"), Sjis(u8"ソ.txt"), Sjis(u8"ヂ"),
                                      Sjis(u8"表/十.txt"), Sjis(u8"表") + "/"}),
            walk(nf, t.path(), true));
  std::string log = testing_support::ReadFileBytes(t.file("log.txt"));
  Errors_setProgramPath("");
  EXPECT_NE(std::string::npos, log.find("caf?.txt")) << log;
  EXPECT_EQ(log.find("caf?"), log.rfind("caf?"));  // logged once
}

TEST(NestFind, PathsOver259BytesRaise3183) {
  TempDir t;
  std::string name(255, 'n');  // the longest file name: full path > 259 below any folder
  makeDir(t.file("s"));
  touch(t.file("s/" + name));
  NestFind nf;
  nf.open(t.path(), false);
  ASSERT_TRUE(nf.next());
  EXPECT_EQ("s/" + name, nf.relativePath());  // 257 bytes fit
  EXPECT_EQ(StrX_Err_BufOver, testing_support::CatchError([&] { nf.path(); }).code);
  NestFindGrow grow;  // no limits
  grow.open(t.path());
  ASSERT_TRUE(grow.next());
  EXPECT_EQ(t.path() + "/s/" + name, grow.path());
}
