// "-rel": a web site built by the program from a site definition file, its
// batch files, lists and frame pages, and its copies and conversions run at
// once so that the site can be browsed.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

#include "core/strx/strx_punycode.h"
#include "html_links_check.h"
#include "zerbin_run.h"

using namespace testing_support;
namespace fs = std::filesystem;

namespace {

std::string text(const std::string& path) {
  std::string r;
  for (char c : ReadFileBytes(path)) {
    if (c != '\r') r += c;
  }
  return r;
}

size_t lineCount(const std::string& s) { return static_cast<size_t>(std::count(s.begin(), s.end(), '\n')); }

// Every href and frame src of a page names an existing file (and anchor).
void expectLinksResolve(const std::string& page) {
  int n = 0;
  EXPECT_EQ(html_links::checkFile(page, &n), "");
  EXPECT_GT(n, 0) << page;
}

}  // namespace

TEST(SiteBuildBlackBox, ThreeNotesInTwoFoldersGiveBatchFilesListsAndABrowsableSite) {
  TempDir run, work;
  const std::string W = work.path();
  const std::string P = run.file("P");
  fs::create_directories(W + "/notes/A");
  fs::create_directories(W + "/notes/B");
  fs::copy_file(TemplateNotePath(), W + "/notes/A/first.svg");
  fs::copy_file(TemplateNotePath(), W + "/notes/B/second.svg");
  fs::copy_file(TemplateNotePath(), fs::path(W + "/notes/B") / fs::path(u8"日本.svg"));
  WriteFileBytes(W + "/notes/B/readme.txt", "read me\n");
  WriteFileBytes(W + "/notes/B/x&y.txt", "hidden\n");
  WriteFileBytes(W + "/site.xml", Sjis(u8R"(<site>
<server local="out" title="Notes" pub="web">
 <folder src="notes/A" dest="a">
  <file src="first.svg" dest="first.html" conv="vml">First: <a>the first</a> (new)</file>
 </folder>
 <separator/>
 <folder src="notes/B" dest="b">
  <file src="second.svg" dest="second.html" conv="vml"><a>Second</a></file>
  <file src="readme.txt" dest="readme.txt">Read me</file>
  <file src="x&amp;y.txt" dest="hidden%.txt" conv="copy"/>
 </folder>
</server>
<server local="out2" ascii="1" first="日本.html">
 <file src="notes/B/日本.svg" dest="日本.html" conv="vml">日本</file>
</server>
</site>)"));

  ZerbinRunOptions o;
  o.cwd = W;
  ZerbinRun r = runZerbin(run, {"-prof=" + P, "-rel", "site.xml"}, o);
  ASSERT_EQ(r.status, 0) << r.echo << r.err;
  EXPECT_EQ(r.echo, "");

  // The files beside the definition: no svg_local, so no "_svg" ones.
  std::set<std::string> top;
  for (const auto& e : fs::directory_iterator(W)) {
    if (e.is_regular_file()) top.insert(e.path().filename().string());
  }
  EXPECT_EQ(top, (std::set<std::string>{
                     "site.xml", "site.copy.bat", "site.repurl.txt", "site.conv.bat", "site.conv2.bat",
                     "site.conv3.bat", "site.files.html", "site.files_local.html", "site.index_local.html",
                     "site.help_hhp_head.txt", "site.help_tree.hhc", "site.help_hhk_head.txt"}));

  std::string puny;
  StrX_punycodeName(puny, Sjis(u8"日本.html"), 512);
  const std::string conv = text(W + "/site.conv.bat");
  EXPECT_EQ(lineCount(conv), 3u);
  EXPECT_NE(conv.find("%brevlo% -cV %opt% -top2blank -links -ids -hhc2=\"site.help.hhp\" -pub=web "
                      "-menu=\"out/menu.html\" -files=\"out/files.html\" -repurl=\"site.repurl.work.txt\" \"" +
                      W + "/notes/A/first.svg\"  \"out/a/first.html\"  \"out\"\n"),
            std::string::npos)
      << conv;
  EXPECT_NE(conv.find("%brevlo% -cv %opt% -top2blank -links -ids -hhc2=\"site.help.hhp\" "
                      "-menu=\"out2/menu.html\" -files=\"out2/files.html\" -repurl=\"site.repurl.work.txt\" \"" +
                      W + "/notes/B/" + Sjis(u8"日本.svg") + "\"  \"out2/" + puny + "\"  \"out2\"\n"),
            std::string::npos)
      << conv;
  const std::string conv3 = text(W + "/site.conv3.bat");
  EXPECT_EQ(lineCount(conv3), 3u);
  EXPECT_NE(conv3.find("%brevlo% -cV %opt% -top2blank -ids2 -pub=web -repurl=\"site.repurl.work.txt\" \"" + W +
                       "/notes/B/second.svg\"  \"out/b/second.html\"  \"out\"\n"),
            std::string::npos)
      << conv3;
  EXPECT_EQ(text(W + "/site.conv2.bat"), "");

  // Batch paths escape "%" (and "&" where no quotes protect it).
  const std::string relCopy = P + "/script/rel_copy";
  EXPECT_EQ(text(W + "/site.copy.bat"),
            "REM copy\n"
            "mkdir \"" + W + "/out/files.files\"\n"
            "copy \"" + relCopy + "\\*.*\" \"" + W + "/out/files.files\"\n\n"
            "if not exist \"" + W + "/out/b\"  mkdir \"" + W + "/out/b\"\n"
            "copy \"" + W + "/notes/B/readme.txt\" \"" + W + "/out/b/readme.txt\"\n"
            "if errorlevel  1 echo Not found or error " + W + "/notes/B/readme.txt & pause\n\n"
            "if not exist \"" + W + "/out/b\"  mkdir \"" + W + "/out/b\"\n"
            "copy \"" + W + "/notes/B/x&y.txt\" \"" + W + "/out/b/hidden%%.txt\"\n"
            "if errorlevel  1 echo Not found or error " + W + "/notes/B/x^&y.txt & pause\n\n"
            "mkdir \"" + W + "/out2/files.files\"\n"
            "copy \"" + relCopy + "\\*.*\" \"" + W + "/out2/files.files\"\n\n");
  EXPECT_EQ(text(W + "/site.repurl.txt"), "[repurl]\nsrc=" + W + "/notes/B/readme.txt\ndst=b/readme.txt\nsrc=" + W +
                                              "/notes/B/x&y.txt\ndst=b/hidden%.txt\n");

  // The local list (the installation's head with the title): no entry for
  // the file without text; Punycode names.
  EXPECT_EQ(text(W + "/site.files_local.html"),
            Sjis(u8"<HTML><HEAD>\n<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\n"
                 u8"<TITLE>Notes</TITLE>\n</HEAD><BODY><NOBR>\n"
                 u8"・First: <A href=\"out/a/first.html\" target=\"_top\">the first</A> (new)<BR/>\n"
                 u8"<BR>\n"
                 u8"・<A href=\"out/b/second.html\" target=\"_top\">Second</A> <BR/>\n"
                 u8"・<A href=\"out/b/readme.txt\" target=\"main\">Read me</A><BR/>\n") +
                Sjis(u8"・<A href=\"out2/") + puny + Sjis(u8"\" target=\"_top\">日本</A><BR/>\n") +
                "</NOBR></BODY></HTML>\n");
  const std::string index = text(W + "/out/index.html");
  EXPECT_NE(index.find("<TITLE>Notes</TITLE></HEAD>\n\n<frameset cols=\"25%,*\">\n<noframes>\n" +
                       Sjis(u8"フレームに対応したブラウザが必要です。\n") +
                       "</noframes>\n\n<frameset rows=\"25,*\">\n  <frame src=\"menu.html\" name=\"menu\">\n"
                       "  <frame src=\"files.html\" name=\"tree\">\n</frameset>\n\n"
                       "<frame src=\"files.html\" name=\"main\">\n"),
            std::string::npos)
      << index;
  EXPECT_NE(text(W + "/site.index_local.html").find("<TITLE>Notes (Local Files)</TITLE>\n\n</HEAD>"),
            std::string::npos);

  // The help pieces: the built-in project head; every file in the project
  // and the index, only listed files in the contents.
  const std::string hhp = text(W + "/site.help_hhp_head.txt");
  const std::string head = "[OPTIONS]\nCompatibility=1.1 or later\nCompiled file=site.chm\nContents ";
  EXPECT_EQ(hhp.substr(0, head.size()), head);
  EXPECT_NE(hhp.find(Sjis(u8"Language=0x411 日本語\n\n[WINDOWS]\ntypeA=\"Notes\",")), std::string::npos);
  EXPECT_NE(hhp.find("\n\n[FILES]\nout/files.files\\*\nout/a/first.html\nout/b/second.html\nout/b/readme.txt\n"
                     "out/b/hidden%.txt\nout2/files.files\\*\nout2/" + puny + "\n"),
            std::string::npos)
      << hhp;
  const std::string hhc = text(W + "/site.help_tree.hhc");
  EXPECT_EQ(hhc.substr(hhc.size() - 20), "</UL>\n</BODY></HTML>");
  EXPECT_EQ(hhc.find("hidden"), std::string::npos);
  EXPECT_NE(hhc.find("\t\t<param name=\"Name\" value=\"First:the first(new)\">\n"
                     "\t\t<param name=\"Local\" value=\"out/a/first.html\">\n"),
            std::string::npos);
  EXPECT_NE(text(W + "/site.help_hhk_head.txt")
                .find("\t\t<param name=\"Name\" value=\"hidden%\">\n\t\t<param name=\"Name\" value=\"hidden%\">\n"
                      "\t\t<param name=\"Local\" value=\"out/b/hidden%.txt\">\n"),
            std::string::npos);

  // The site itself: converted pages with the menu, copies, and every link
  // of its frame, menu and list pages leads to a file.
  const std::set<std::string> site = FilesUnder(W + "/out");
  for (const char* f : {"index.html", "menu.html", "files.html", "a/first.html", "b/second.html",
                        "b/readme.txt", "b/hidden%.txt"}) {
    EXPECT_TRUE(site.count(f)) << f;
  }
  EXPECT_TRUE(fs::is_regular_file(W + "/out2/" + puny));
  EXPECT_EQ(text(W + "/out/b/readme.txt"), "read me\n");
  EXPECT_NE(text(W + "/out/a/first.html").find("<FRAME src=\"../menu.html\" name=\"menu\">"), std::string::npos);
  for (const char* page : {"/out/index.html", "/out/menu.html", "/out/files.html", "/site.files_local.html",
                           "/site.index_local.html", "/out2/index.html"}) {
    expectLinksResolve(W + page);
  }
  // Nothing beside the definition, the notes and the two sites.
  for (const std::string& f : FilesUnder(W)) {
    const bool inside = f.rfind("site.", 0) == 0 || f.rfind("notes/", 0) == 0 || f.rfind("out/", 0) == 0 ||
                        f.rfind("out2/", 0) == 0;
    EXPECT_TRUE(inside) << f;
  }
}

TEST(SiteBuildBlackBox, BadDefinitionsAreReportedWithStatusOneAndWriteOnlyBesideThemselves) {
  const std::string kUnquotable = "パスか値に \" や改行があるため、バッチファイルに書けません：";
  struct Case {
    std::string definition;
    std::string message;
  };
  const std::string ok = "src=\"../notes/ok.svg\" dest=\"a.html\"";
  const std::vector<Case> cases = {
      {"<server title=\"t\"><file " + ok + "/></server>", "<server local> がありません"},
      {"<server local=\"out\"><file src=\"%NO_SUCH_H22%/ok.svg\" dest=\"a.html\"/></server>",
       "パス変数が展開できませんでした：<file src=\"%NO_SUCH_H22%/ok.svg\">"},
      {"<server local=\"out\"><folder src=\"%NO_SUCH_H22%\"></folder></server>",
       "パス変数が展開できませんでした：<folder src=\"%NO_SUCH_H22%\">"},
      {"<server local=\"out\"><folder src=\"..\"><folder src=\"..\"></folder></folder></server>",
       "<folder> の中に <folder> を入れることはできません。"},
      {"<server local=\"out\"><file " + ok + "><file " + ok + "/></file></server>",
       "<file> の中に <file> を入れることはできません。"},
      {"<server local=\"out\"><file dest=\"a.html\"/></server>", "<file src> がありません"},
      {"<server local=\"out\"><file src=\"../notes/ok.svg\"/></server>", "<file dest> がありません"},
      {"<server local=\"out\"><file " + ok + " conv=\"pdf\"/></server>",
       "<file conv> は、\"vml\" か \"copy\" か conv をなしにしてください。"},
      {"<file " + ok + "/>", "<server> の外に <file> を置くことはできません。"},
      {"<server local=\"out\"><file src=\"../notes/broken.svg\" dest=\"b.html\" conv=\"vml\">B</file></server>",
       "サポートされていない SVG の要素があるため、開けません。"},
      {"<server local=\"out\"><file src=\"../notes/gone.svg\" dest=\"b.html\" conv=\"vml\">B</file></server>",
       "/notes/gone.svg を開こうとしましたが見つかりません。"},
      {"\x01\x02 garbage <<< \xff\xfe >>", "<server> がありません"},
      // A folder that would be taken from the current folder, not the site's.
      {"<server local=\"out\" svg_local=\"svg:\"><file " + ok + "/></server>",
       "<server svg_local> が絶対パスになっていません"},
      // A batch file cannot quote a path that holds a double quote.
      {"<server local=\"out\"><file src=\"../notes/a&quot;b.svg\" dest=\"a.html\" conv=\"vml\">A</file></server>",
       kUnquotable},
      {"<server local=\"out\"><file " + ok + "/><file src=\"../notes/ok.svg\" dest=\"x&quot;.txt\"/></server>",
       kUnquotable},
      // Nothing is written outside the site, over the definition or over a
      // source, whichever element names it: refused before anything is written.
      {"<server local=\"out\"><file " + ok + "/><file src=\"../notes/broken.svg\" dest=\"../../notes/ok.svg\"/></server>",
       "<file dest> が <server local> の外を指しているので書き込みません："},
      {"<server local=\"out\"><file src=\"../notes/broken.svg\" dest=\"../site.xml\"/></server>",
       "<file dest> が <server local> の外を指しているので書き込みません："},
      {"<server local=\"out\"><file src=\"../notes/broken.svg\" dest=\"/tmp/zerbin-never-here.txt\"/></server>",
       "<file dest> が <server local> の外を指しているので書き込みません："},
      {"<server local=\"out\" index=\"../../notes/ok.svg\"><file " + ok + "/></server>",
       "<server index> が <server local> の外を指しているので書き込みません："},
      {"<server local=\"..\"><file src=\"../notes/ok.svg\" dest=\"a.svg\"/>"
       "<file src=\"../notes/broken.svg\" dest=\"notes/ok.svg\"/></server>",
       "<file dest> が読み込むファイルを上書きするので書き込みません："},
      {"<server local=\"..\"><file src=\"../notes/ok.svg\" dest=\"def/site.xml\"/></server>",
       "<file dest> が読み込むファイルを上書きするので書き込みません："},
  };
  for (const Case& c : cases) {
    TempDir run, work;
    const std::string W = work.path();
    fs::create_directories(W + "/notes");
    fs::create_directories(W + "/def");
    fs::copy_file(TemplateNotePath(), W + "/notes/ok.svg");
    WriteFileBytes(W + "/notes/broken.svg", "not a note at all");
    WriteFileBytes(W + "/def/site.xml", c.definition);
    ZerbinRunOptions o;
    o.cwd = W + "/def";
    ZerbinRun r = runZerbin(run, {"-prof=" + run.file("P"), "-rel", "site.xml"}, o);
    const std::string& message = c.message;  // CP932 as every narrow literal
    EXPECT_EQ(r.status, 1) << c.definition;
    const size_t at = r.echo.find(message);
    EXPECT_NE(at, std::string::npos) << c.definition << "\n" << r.echo;
    // Shown once, and nothing else went wrong.
    EXPECT_EQ(r.echo.find(message, at + 1), std::string::npos) << r.echo;
    EXPECT_EQ(lineCount(r.echo), 1u) << r.echo;
    EXPECT_EQ(FilesUnder(W + "/notes"), (std::set<std::string>{"ok.svg", "broken.svg"}));
    EXPECT_EQ(ReadFileBytes(W + "/notes/ok.svg"), ReadFileBytes(TemplateNotePath()));
    EXPECT_EQ(ReadFileBytes(W + "/notes/broken.svg"), "not a note at all");
    EXPECT_EQ(ReadFileBytes(W + "/def/site.xml"), c.definition);
    EXPECT_FALSE(fs::exists("/tmp/zerbin-never-here.txt"));
    for (const auto& e : fs::directory_iterator(W)) {
      EXPECT_TRUE(e.path().filename() == "notes" || e.path().filename() == "def") << e.path();
    }
    EXPECT_FALSE(fs::exists(W + "/def/svg:"));
    // No batch line holds a path that cmd would cut at its quote.
    for (const char* bat : {"/def/site.copy.bat", "/def/site.conv.bat", "/def/site.conv3.bat"}) {
      const std::string lines = fs::exists(W + bat) ? text(W + bat) : "";
      EXPECT_EQ(lines.find("a\"b"), std::string::npos) << bat;
      EXPECT_EQ(lines.find("x\".txt"), std::string::npos) << bat;
    }
  }
}

TEST(SiteBuildBlackBox, SvgLocalGetsThePublicCopiesItsListAndFramePage) {
  TempDir run, work;
  const std::string W = work.path();
  fs::create_directories(W + "/n");
  fs::copy_file(TemplateNotePath(), W + "/n/note.svg");
  WriteFileBytes(W + "/n/c.txt", "copied\n");
  WriteFileBytes(W + "/d.xml", "<server local=\"site\" svg_local=\"svg\" pub=\"*\" first=\"p/note.html\">"
                               "<file src=\"n/note.svg\" dest=\"p/note.html\" conv=\"vml\"><a>Note</a></file>"
                               "<file src=\"n/c.txt\" dest=\"c.txt\">C</file></server>");
  ZerbinRunOptions o;
  o.cwd = W;
  ZerbinRun r = runZerbin(run, {"-prof=" + run.file("P"), "-rel", "d.xml"}, o);
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(text(W + "/d.conv2.bat"),
            "%brevlo% -cS %opt2% -no_blank -pub=* -menu=\"svg/menu.html\" -repurl2=\"d.repurl.work.txt\" \"" + W +
                "/n/note.svg\"  \"svg/p/note.xml\"  \"svg\"\n");
  // The public copy is a note; the copied file lies in both folders.
  EXPECT_NE(text(W + "/svg/p/note.xml").find("<svg "), std::string::npos);
  EXPECT_EQ(text(W + "/svg/c.txt"), "copied\n");
  EXPECT_EQ(text(W + "/site/c.txt"), "copied\n");
  const std::string list = text(W + "/d.files_local_svg.html");
  EXPECT_NE(list.find(Sjis(u8"・<A href=\"svg/p/note.xml\" target=\"main\">Note</A> <BR/>\n")), std::string::npos);
  EXPECT_NE(list.find(Sjis(u8"・<A href=\"svg/c.txt\" target=\"main\">C</A><BR/>\n")), std::string::npos);
  EXPECT_NE(text(W + "/d.index_local_svg.html").find("  <frame src=\"d.files_local_svg.html\" name=\"tree\">\n"),
            std::string::npos);
  // Every frame of every frame page (and the menus) opens a file: the
  // public copies have their menu and their first page.
  for (const char* page : {"/d.index_local_svg.html", "/d.index_local.html", "/site/index.html", "/svg/menu.html",
                           "/site/menu.html"}) {
    expectLinksResolve(W + page);
  }
  EXPECT_NE(text(W + "/d.index_local_svg.html").find("<frame src=\"svg/p/note.xml\" name=\"main\">"),
            std::string::npos);

  // The batch line of the public copy runs with the program ("-cS"), with
  // the replacement file that the user assembles, and writes the same copy.
  const std::string inProcess = ReadFileBytes(W + "/svg/p/note.xml");
  fs::remove(W + "/svg/p/note.xml");
  fs::copy_file(W + "/d.repurl.txt", W + "/d.repurl.work.txt");
  std::vector<std::string> words;
  std::string word;
  bool quoted = false, any = false;
  for (char c : text(W + "/d.conv2.bat")) {
    if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if ((c == ' ' || c == '\n') && !quoted) {
      if (any || !word.empty()) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word += c;
    }
  }
  ASSERT_GE(words.size(), 3u);
  ASSERT_EQ(words[0], "%brevlo%");
  words.erase(words.begin());
  for (std::string& w : words) {
    if (w == "%opt2%") w = "-prof=" + run.file("P");
  }
  r = runZerbin(run, words, o);
  EXPECT_EQ(r.status, 0) << r.echo << r.err;
  EXPECT_EQ(r.echo, "");
  EXPECT_EQ(ReadFileBytes(W + "/svg/p/note.xml"), inProcess);
}

// "-cS" (the batch word of a site without ASCII names) is the public copy
// of "-cs" under the name given, into a folder it creates; "-cs" names its
// file as "-cv" does, in Punycode.
TEST(SiteBuildBlackBox, UpperCsIsThePublicCopyUnderTheNameGiven) {
  TempDir run;
  const std::string note = run.file("note.svg");
  fs::copy_file(TemplateNotePath(), note);
  const std::u8string u8name = u8"日本.svg";
  const std::string name(u8name.begin(), u8name.end());  // the words and the disk are UTF-8
  std::string coded;
  StrX_punycodeName(coded, Sjis(u8name), 512);
  ASSERT_NE(coded, Sjis(u8name));
  fs::create_directories(run.file("s"));
  ZerbinRun r = runZerbin(run, {"-prof=" + run.file("P"), "-cs", note, run.file("s/" + name)});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_FALSE(fs::exists(run.file("s/" + name)));
  const std::string pub = ReadFileBytes(run.file("s/" + coded));
  ASSERT_FALSE(pub.empty());
  r = runZerbin(run, {"-prof=" + run.file("P"), "-cS", note, run.file("S")});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(ReadFileBytes(run.file("S/note.svg")), pub);
  r = runZerbin(run, {"-prof=" + run.file("P"), "-cS", note, run.file("S/" + name)});
  ASSERT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(ReadFileBytes(run.file("S/" + name)), pub);
}

// Texts of the definition reach the pages as text and the batch lines as
// one word; a build run twice gives the same files, side lists included.
TEST(SiteBuildBlackBox, HostileTextsStayTextAndABuildRepeatedGivesTheSameSite) {
  TempDir run, work;
  const std::string W = work.path();
  fs::create_directories(W + "/n");
  fs::copy_file(TemplateNotePath(), W + "/n/note.svg");
  WriteFileBytes(W + "/d.xml",
                 "<server local=\"site\" title=\"&lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;\" "
                 "pub=\"all &amp; echo PWNED&gt;pwn.txt\">"
                 "<file src=\"n/note.svg\" dest=\"p/note.html\" conv=\"vml\">&lt;b&gt;T<a>&lt;i&gt;A</a> R</file>"
                 "</server>");
  ZerbinRunOptions o;
  o.cwd = W;
  std::map<std::string, std::string> first;
  for (int pass = 0; pass < 2; ++pass) {
    ZerbinRun r = runZerbin(run, {"-prof=" + run.file("P"), "-rel", "d.xml"}, o);
    ASSERT_EQ(r.status, 0) << r.echo;
    std::map<std::string, std::string> files;
    for (const std::string& f : FilesUnder(W)) files[f] = ReadFileBytes(W + "/" + f);
    if (pass == 0) first = files;
    else EXPECT_TRUE(files == first);
  }
  const std::string conv = text(W + "/d.conv.bat");
  EXPECT_NE(conv.find(" -pub=\"all & echo PWNED>pwn.txt\" "), std::string::npos) << conv;
  for (const char* page : {"/site/index.html", "/site/menu.html", "/site/files.html", "/d.files_local.html",
                           "/d.index_local.html", "/d.help_tree.hhc", "/d.help_hhk_head.txt"}) {
    const std::string html = text(W + page);
    EXPECT_EQ(html.find("<script>"), std::string::npos) << page;
    EXPECT_EQ(html.find("<b>"), std::string::npos) << page;
    EXPECT_EQ(html.find("<i>"), std::string::npos) << page;
  }
  EXPECT_NE(text(W + "/site/index.html").find("<TITLE>&lt;/title&gt;&lt;script&gt;x()&lt;/script&gt;</TITLE>"),
            std::string::npos);
  EXPECT_EQ(html_links::check(W + "/site"), "");
}
