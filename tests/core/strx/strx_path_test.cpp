#include "core/strx/strx_path.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "core/errors/errors.h"
#include "support/test_support.h"

namespace {

using testing_support::CatchError;
using testing_support::Sjis;

std::string abs(std::string_view path, std::string_view base, size_t size = 512) {
  std::string dst;
  StrX_makeAbsolute(dst, path, base, size);
  return dst;
}

// UTF-8 bytes of a name as the file system holds it.
std::string osName(std::u8string_view utf8) { return std::string(utf8.begin(), utf8.end()); }

}  // namespace

TEST(StrXPath, Classification) {
  EXPECT_TRUE(StrX_isAbsolutePath("C:\\a"));
  EXPECT_TRUE(StrX_isAbsolutePath("\\\\srv\\x"));
  EXPECT_TRUE(StrX_isAbsolutePath("/a"));
  EXPECT_TRUE(StrX_isAbsolutePath("http://x/y"));
  EXPECT_FALSE(StrX_isAbsolutePath("a\\b"));
  EXPECT_FALSE(StrX_isAbsolutePath("a"));
  EXPECT_FALSE(StrX_isAbsolutePath("C:"));
  EXPECT_TRUE(StrX_isUrl("http://x"));
  EXPECT_TRUE(StrX_isUrl("file:///C|/x"));
  EXPECT_FALSE(StrX_isUrl("C://x"));
  EXPECT_FALSE(StrX_isUrl("\\\\a://b"));
  EXPECT_FALSE(StrX_isUrl("a/b://c"));
  EXPECT_FALSE(StrX_isUrl("://x"));
  EXPECT_TRUE(StrX_isNoteFile("a.svg"));
  EXPECT_TRUE(StrX_isNoteFile("/x/A.SVG#p1.txt"));
  EXPECT_FALSE(StrX_isNoteFile("a.svgz"));
  EXPECT_FALSE(StrX_isNoteFile("a.txt#x.svg"));
  EXPECT_FALSE(StrX_isNoteFile("svg"));
  EXPECT_TRUE(StrX_isNoteFile("ソフト\\表.svg"));
}

TEST(StrXPath, EqualityAndPrefix) {
  EXPECT_TRUE(StrX_pathEq("C:\\a/b", "c:/a\\b"));
  EXPECT_FALSE(StrX_pathEq("/a/B", "/a/b"));       // names keep their case
  EXPECT_FALSE(StrX_pathEq("ソ", "\x83/"));         // trail 0x5C is no separator
  EXPECT_FALSE(StrX_pathEq("/a/b", "/a/b/"));
  EXPECT_TRUE(StrX_pathHasPrefix("/a/b", "/a/"));
  EXPECT_TRUE(StrX_pathHasPrefix("/a/b", "\\a\\"));
  EXPECT_FALSE(StrX_pathHasPrefix("/A/b", "/a/"));
  EXPECT_FALSE(StrX_pathHasPrefix("表x", "\x95"));  // half a character
  EXPECT_FALSE(StrX_pathHasPrefix("/a", "/a/"));
  EXPECT_TRUE(StrX_pathEqWithoutFragment("/a/b.svg#x", "/a/b.svg#y"));
  EXPECT_FALSE(StrX_pathEqWithoutFragment("/a/B.svg#x", "/a/b.svg"));
}

TEST(StrXPath, Pieces) {
  EXPECT_EQ(StrX_fileName("C:\\a\\b.svg"), "b.svg");
  EXPECT_EQ(StrX_fileName("/a/b/"), "b");
  EXPECT_EQ(StrX_fileName("a\\表"), "表");
  EXPECT_EQ(StrX_fileName("ソ"), "ソ");
  EXPECT_EQ(StrX_parentFolder("C:\\a"), "C:\\");
  EXPECT_EQ(StrX_parentFolder("C:\\"), "C:\\");
  EXPECT_EQ(StrX_parentFolder("C:\\a\\b.svg"), "C:\\a");
  EXPECT_EQ(StrX_parentFolder("\\\\srv"), "\\\\");
  EXPECT_EQ(StrX_parentFolder("\\\\srv\\x"), "\\\\srv");
  EXPECT_EQ(StrX_parentFolder("/a"), "/");
  EXPECT_EQ(StrX_parentFolder("/"), "/");
  EXPECT_EQ(StrX_parentFolder("a"), "");
  EXPECT_EQ(StrX_parentFolder("a/b/"), "a");
  EXPECT_EQ(StrX_parentFolder("ソ\\表"), "ソ");
  EXPECT_EQ(StrX_parentFolder("ソフト"), "");
  EXPECT_EQ(StrX_extension("a.b.svg"), "svg");
  EXPECT_EQ(StrX_extension("a.d/x"), "");
  EXPECT_EQ(StrX_extension("/a/表.svg#p.x"), "x");
  EXPECT_EQ(StrX_extensionWithoutFragment("/a/表.svg#p.x"), "svg");
  EXPECT_EQ(StrX_fragment("a#b#c"), "b#c");
  EXPECT_EQ(StrX_fragment("a"), "");
  EXPECT_EQ(StrX_toSlashPath("..\\ソフト\\表.svg"), "../ソフト/表.svg");
  // A lone lead byte at the end counts as one byte.
  EXPECT_EQ(StrX_parentFolder("a/\x83"), "a");
  EXPECT_EQ(StrX_fileName("a\\\x83"), "\x83");
  EXPECT_EQ(StrX_toSlashPath("a\\\x83"), "a/\x83");
}

TEST(StrXPath, FileUrl) {
  EXPECT_EQ(StrX_fileUrl("C:\\My Notes\\a.svg"), "file:///C|/My%20Notes/a.svg");
  EXPECT_EQ(StrX_fileUrl("\\\\server\\path\\a b"), "file://server/path/a%20b");
  EXPECT_EQ(StrX_fileUrl("/home/a b/x.svg"), "file:///home/a%20b/x.svg");
  EXPECT_EQ(StrX_fileUrl("C:\\ソフト\\表.svg"), "file:///C|/ソフト/表.svg");
  EXPECT_EQ(StrX_fileUrl("http://x/a b"), "http://x/a b");
  EXPECT_EQ(StrX_fileUrl("a b/c"), "a%20b/c");
}

TEST(StrXPath, Normalize) {
  EXPECT_EQ(StrX_normalizePath("C:\\a\\b\\..\\c"), "C:\\a\\c");
  EXPECT_EQ(StrX_normalizePath("/a/b/../c"), "/a/c");
  EXPECT_EQ(StrX_normalizePath("..\\..\\a"), "..\\..\\a");
  EXPECT_EQ(StrX_normalizePath("a\\..\\..\\b"), "..\\b");
  EXPECT_EQ(StrX_normalizePath("C:\\a\\b\\.."), "C:\\a");
  EXPECT_EQ(StrX_normalizePath("C:\\a\\.."), "C:\\");
  EXPECT_EQ(StrX_normalizePath("/a/.."), "/");
  EXPECT_EQ(StrX_normalizePath("./a/./b"), "a/b");
  EXPECT_EQ(StrX_normalizePath("\\\\srv\\..\\x"), "\\\\srv\\..\\x");
  EXPECT_EQ(StrX_normalizePath("http://h/a/../b"), "http://h/b");
  EXPECT_EQ(StrX_normalizePath("ソ\\..\\x"), "x");
  EXPECT_EQ(StrX_normalizePath("表\\.\\能.svg"), "表\\能.svg");
  EXPECT_EQ(StrX_normalizePath("a/b.svg#x/../y"), "a/b.svg#x/../y");
}

TEST(StrXPath, MakeAbsolute) {
  EXPECT_EQ(abs("b\\c.svg", "C:\\a"), "C:\\a\\b\\c.svg");
  EXPECT_EQ(abs("..\\b\\c.svg", "C:\\a\\d"), "C:\\a\\b\\c.svg");
  EXPECT_EQ(abs("..\\b\\c.svg", "/a/d"), "/a/b/c.svg");
  EXPECT_EQ(abs("../x", "/a/d/"), "/a/x");
  EXPECT_EQ(abs("C:\\x", "/a"), "C:\\x");
  EXPECT_EQ(abs("http://x/../y", "/a"), "http://x/../y");
  EXPECT_EQ(abs("/abs/../x", "/a"), "/abs/../x");
  EXPECT_EQ(abs(".", "/a/d"), "/a/d");
  EXPECT_EQ(abs(".", "/"), "/");
  EXPECT_EQ(abs("x/.", "C:\\a"), "C:\\a\\x");
  EXPECT_EQ(abs("x.svg#a/../b", "/a"), "/a/x.svg#a/../b");
  EXPECT_EQ(abs("ソフト\\表.svg", "/home/u"), "/home/u/ソフト/表.svg");
  std::string same = "b";
  StrX_makeAbsolute(same, same, "/a");
  EXPECT_EQ(same, "/a/b");
}

TEST(StrXPath, MakeAbsoluteOverflowKeepsCutText) {
  EXPECT_EQ(abs("bc", "/a", 6), "/a/bc");  // 5 bytes fit in 6
  std::string dst;
  Errors_Msg e = CatchError([&] { StrX_makeAbsolute(dst, "bc", "/a", 5); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "/a/b");
  e = CatchError([&] { StrX_makeAbsolute(dst, "表", "/a", 5); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "/a/");  // never half of "表"
  // The default limit is 512 bytes including the terminator.
  std::string name(508, 'n');
  EXPECT_EQ(abs(name, "/a").size(), 511u);
  e = CatchError([&] { StrX_makeAbsolute(dst, name + "n", "/a"); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst.size(), 511u);
}

TEST(StrXPath, AbsoluteFromFolders) {
  std::string dst;
  StrX_absoluteFromFileFolder(dst, "c.svg", "/a/b/n.svg#p");
  EXPECT_EQ(dst, "/a/b/c.svg");
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  StrX_absoluteFromCurrentFolder(dst, "x/../y");
  EXPECT_EQ(dst, std::string(cwd) + "/y");
  std::string saved = Errors_programPath();
  Errors_setProgramPath("/opt/zb/zerbin");
  StrX_absoluteFromProgramFolder(dst, "system/plugin");
  Errors_setProgramPath(saved);
  EXPECT_EQ(dst, "/opt/zb/system/plugin");
}

TEST(StrXPath, CurrentFolderThatCodePage932CannotNameIsReported) {
  char saved[4096];
  ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
  EXPECT_EQ(StrX_currentFolder(), saved);
  EXPECT_EQ(StrX_currentFolderOrEmpty(), saved);

  testing_support::TempDir dir;
  const std::string unnamed = dir.file("d\xC3\xA9");  // "é": not in code page 932
  std::filesystem::create_directories(unnamed);
  ASSERT_EQ(chdir(unnamed.c_str()), 0);
  std::string folder = "unset";
  std::string dst = "unset";
  Errors_Msg e = CatchError([&] { folder = StrX_currentFolder(); });
  Errors_Msg e2 = CatchError([&] { StrX_absoluteFromCurrentFolder(dst, "x.svg"); });
  std::string empty = StrX_currentFolderOrEmpty();
  // An absolute path needs no current folder.
  std::string absolute;
  Errors_Msg e3 = CatchError([&] { StrX_absoluteFromCurrentFolder(absolute, "/n/./x.svg"); });
  ASSERT_EQ(chdir(saved), 0);
  EXPECT_EQ(e.code, WinX_Err_WrongPath);
  EXPECT_EQ(std::string(e.message()), dir.file("d?"));
  EXPECT_EQ(folder, "unset");
  EXPECT_EQ(e2.code, WinX_Err_WrongPath);
  EXPECT_EQ(dst, "unset");  // never "/x.svg" or another file
  EXPECT_EQ(empty, "");
  EXPECT_EQ(e3.code, 0);
  EXPECT_EQ(absolute, "/n/./x.svg");
}

TEST(StrXPath, MakeRelative) {
  EXPECT_EQ(StrX_makeRelative("C:\\a\\b\\c.svg", "C:\\a\\d"), "..\\b\\c.svg");
  EXPECT_EQ(StrX_makeRelative("C:\\a\\b\\c.svg", "D:\\x"), "C:\\a\\b\\c.svg");
  EXPECT_EQ(StrX_makeRelative("/a/b/c.svg", "/a/d"), "../b/c.svg");
  EXPECT_EQ(StrX_makeRelative("c:\\A\\b.svg", "C:\\A"), "b.svg");
  EXPECT_EQ(StrX_makeRelative("/A/b.svg", "/a"), "../A/b.svg");
  EXPECT_EQ(StrX_makeRelative("/a/d", "/a/d/"), ".");
  EXPECT_EQ(StrX_makeRelative("/a", "/a/d/e"), "../..");
  EXPECT_EQ(StrX_makeRelative("/a/b/c.svg", "/"), "a/b/c.svg");
  EXPECT_EQ(StrX_makeRelative("http://x/y", "/a"), "http://x/y");
  EXPECT_EQ(StrX_makeRelative("b/c.svg", "/a"), "b/c.svg");
  EXPECT_EQ(StrX_makeRelative("\\\\srv\\a\\b", "\\\\SRV\\a"), "b");
  EXPECT_EQ(StrX_makeRelative("\\\\srv\\a\\b", "\\\\other\\a"), "\\\\srv\\a\\b");
  EXPECT_EQ(StrX_makeRelative("/a/ソ/表.svg#p", "/a/ソ"), "表.svg#p");
  EXPECT_EQ(StrX_makeRelative("C:\\ソフト\\表.svg", "C:\\ソフト\\十"), "..\\表.svg");
  EXPECT_EQ(StrX_makeRelativeToFile("/a/n.svg#p1", "/a/n.svg"), "#p1");
  EXPECT_EQ(StrX_makeRelativeToFile("/a/m.svg#p1", "/a/n.svg"), "m.svg#p1");
  EXPECT_EQ(StrX_makeRelativeToFile("/a/N.svg#p", "/a/n.svg"), "N.svg#p");
  EXPECT_EQ(StrX_makeRelativeToFile("/b/x.svg", "/a/n.svg"), "../b/x.svg");
}

TEST(StrXPath, ResolveLink) {
  std::string dst;
  StrX_resolveLink(dst, "#p2", "/a/n.svg#old");
  EXPECT_EQ(dst, "/a/n.svg#p2");
  StrX_resolveLink(dst, "..\\b\\c.svg", "/a/d/n.svg");
  EXPECT_EQ(dst, "/a/b/c.svg");
  StrX_resolveLink(dst, "..\\ソフト\\表.svg#p", "/a/d/n.svg");
  EXPECT_EQ(dst, "/a/ソフト/表.svg#p");
  Errors_Msg e = CatchError([&] { StrX_resolveLink(dst, "#p2", "/a/n.svg", 10); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "/a/n.svg#");
}

TEST(StrXPath, ExtensionsAndNames) {
  std::string p = "a.txt";
  EXPECT_FALSE(StrX_changeExtension(p, "svg", 5));
  EXPECT_EQ(p, "a.txt");
  EXPECT_TRUE(StrX_changeExtension(p, "svg", 6));
  EXPECT_EQ(p, "a.svg");
  EXPECT_TRUE(StrX_changeExtension(p, "", 6));
  EXPECT_EQ(p, "a");
  p = "a.b/c";
  EXPECT_TRUE(StrX_changeExtension(p, "x", 100));
  EXPECT_EQ(p, "a.b/c.x");
  p = "表.svg#p";
  StrX_setHtmlExtension(p, 10);
  EXPECT_EQ(p, "表.html#p");
  p = "表.svg#p";
  EXPECT_EQ(CatchError([&] { StrX_setHtmlExtension(p, 9); }).code, Errors_Unofficial);
  EXPECT_EQ(p, "表.svg#p");
  EXPECT_EQ(StrX_numberedName("a/b.svg", 2), "a/b (2).svg");
  EXPECT_EQ(StrX_numberedName("a/b", 3), "a/b (3)");
  EXPECT_EQ(StrX_numberedName("c.d/ソ", 1), "c.d/ソ (1)");
}

TEST(StrXPath, Join) {
  EXPECT_EQ(StrX_joinPath("/a", "b"), "/a/b");
  EXPECT_EQ(StrX_joinPath("/a/", "b"), "/a/b");
  EXPECT_EQ(StrX_joinPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(StrX_joinPath("C:\\a", "D:\\x"), "D:\\x");
  EXPECT_EQ(StrX_joinPath("ソ", "x"), "ソ/x");  // the trail byte does not end the folder
  std::string dst;
  StrX_joinPath(dst, "/a", "bc", 6);
  EXPECT_EQ(dst, "/a/bc");
  Errors_Msg e = CatchError([&] { StrX_joinPath(dst, "/a", "bc", 5); });
  EXPECT_EQ(e.code, StrX_Err_BufOver);
  EXPECT_EQ(dst, "/a/b");
}

TEST(StrXPath, RealCase) {
  namespace fs = std::filesystem;
  testing_support::TempDir tmp;
  fs::create_directories(tmp.file("Dir"));
  testing_support::WriteFileBytes(tmp.file("Dir/File.SVG"), "x");
  fs::create_directories(tmp.file(osName(u8"ソフトA")));  // "ソ" ends in 0x5C in CP932
  testing_support::WriteFileBytes(tmp.file(osName(u8"ソフトA/表.svg")), "x");
  fs::create_directories(tmp.file("amb"));
  testing_support::WriteFileBytes(tmp.file("amb/ab"), "x");
  testing_support::WriteFileBytes(tmp.file("amb/AB"), "x");
  const std::string t = tmp.path();

  std::string p = t + "/dir/file.svg";
  StrX_realCase(p);
  EXPECT_EQ(p, t + "/Dir/File.SVG");
  p = t + "/dir/missing/FILE.svg#p";
  StrX_realCase(p);
  EXPECT_EQ(p, t + "/Dir/missing/FILE.svg#p");
  p = t + "/" + Sjis(u8"ソフトa\\表.svg");
  StrX_realCase(p);
  EXPECT_EQ(p, t + "/" + Sjis(u8"ソフトA\\表.svg"));
  p = t + "/amb/Ab";  // two candidates: the spelling stays
  StrX_realCase(p);
  EXPECT_EQ(p, t + "/amb/Ab");
  p = t + "/amb/ab";
  StrX_realCase(p);
  EXPECT_EQ(p, t + "/amb/ab");
  p = "C:\\dir";
  StrX_realCase(p);
  EXPECT_EQ(p, "C:\\dir");
}
