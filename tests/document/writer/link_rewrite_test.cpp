#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "core/strx/strx_punycode.h"
#include "document/writer/link_pair_printer.h"
#include "document/writer/link_rewrite.h"
#include "support/test_support.h"

using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A context that writes the file /out/pub/note.svg.
SvgWriteContext Context() {
  SvgWriteContext ctx;
  ctx.notePath = "/out/pub/note.svg";
  return ctx;
}

struct Rewritten {
  int result;
  std::string href;
};

Rewritten Rewrite(SvgWriteContext& ctx, std::string_view link, std::string_view text = "") {
  Rewritten r;
  r.href = "garbage";
  r.result = RewriteLink(r.href, link, text, ctx);
  return r;
}

void SetFileTime(const std::string& path, long seconds) {
  timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0));
}

}  // namespace

TEST(RewriteLink, WithoutTableLinksBecomeRelativeToTheOutputFile) {
  SvgWriteContext ctx = Context();
  EXPECT_EQ(1, Rewrite(ctx, "/out/other/a.txt").result);
  EXPECT_EQ("../other/a.txt", Rewrite(ctx, "/out/other/a.txt").href);
  EXPECT_EQ("sub/b.svg", Rewrite(ctx, "/out/pub/sub/b.svg").href);
  // A link into the output file itself keeps only its "#" part.
  EXPECT_EQ("#frag", Rewrite(ctx, "/out/pub/note.svg#frag").href);
  EXPECT_EQ("note.svg", Rewrite(ctx, "/out/pub/note.svg").href);
  // Relative links, fragments and URLs stay as they are.
  EXPECT_EQ("c/d.svg", Rewrite(ctx, "c/d.svg").href);
  EXPECT_EQ("#x", Rewrite(ctx, "#x").href);
  EXPECT_EQ("http://h/a.svg", Rewrite(ctx, "http://h/a.svg").href);
}

TEST(RewriteLink, CutCommandOfTheFirstPass) {
  SvgWriteContext ctx = Context();
  ctx.linkTable = std::vector<SvgLinkPair>{{"/n/secret/", "script:cut"}, {"/n/", "/out/pub/"}};
  EXPECT_EQ(0, Rewrite(ctx, "/n/secret/x.svg").result);
  EXPECT_EQ(0, Rewrite(ctx, "/N/SECRET/x.svg").result);  // ASCII case ignored
  EXPECT_EQ(1, Rewrite(ctx, "/n/public/x.txt").result);
  EXPECT_EQ("public/x.txt", Rewrite(ctx, "/n/public/x.txt").href);
}

TEST(RewriteLink, JustCutCutsOnlyTheExactLink) {
  SvgWriteContext ctx = Context();
  ctx.linkTable = std::vector<SvgLinkPair>{{"/n/a.svg", "script:just_cut"}, {"/n/", "/out/pub/"}};
  EXPECT_EQ(0, Rewrite(ctx, "/n/a.svg").result);
  EXPECT_EQ(0, Rewrite(ctx, "/N/A.SVG").result);
  // Not exact: the next entry decides.
  Rewritten r = Rewrite(ctx, "/n/a.svg#x");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("a.svg#x", r.href);
}

TEST(RewriteLink, TooltipAbsGivesTwo) {
  SvgWriteContext ctx = Context();
  ctx.linkTable = std::vector<SvgLinkPair>{{"http://tip/", "script:tooltip_abs"}};
  Rewritten r = Rewrite(ctx, "http://tip/a");
  EXPECT_EQ(2, r.result);
  EXPECT_EQ("http://tip/a", r.href);
  // The tooltip link is neither made relative nor dropped as a local link.
  ctx.linkTable = std::vector<SvgLinkPair>{{"/n/", "script:tooltip_abs"}};
  ctx.noLocalLinks = true;
  r = Rewrite(ctx, "/n/a.svg");
  EXPECT_EQ(2, r.result);
  EXPECT_EQ("/n/a.svg", r.href);
}

TEST(RewriteLink, PrefixReplacementIgnoresCase) {
  SvgWriteContext ctx = Context();
  ctx.linkTable = std::vector<SvgLinkPair>{{"/N/Docs/", "/out/pub/d/"}};
  Rewritten r = Rewrite(ctx, "/n/docs/b.txt#k");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("d/b.txt#k", r.href);
  // An empty "from" never matches.
  ctx.linkTable = std::vector<SvgLinkPair>{{"", "script:cut"}};
  EXPECT_EQ(1, Rewrite(ctx, "/out/pub/x.txt").result);
}

TEST(RewriteLink, FirstMatchThenEveryEntry) {
  SvgWriteContext ctx = Context();
  // The first pass stops at the first match: "/n/long/" gives "/m/".  The
  // second pass goes through every entry: "/m/" then matches too.
  ctx.linkTable =
      std::vector<SvgLinkPair>{{"/n/long/", "/m/"}, {"/m/", "/out/pub/m/"}, {"/n/", "/z/"}};
  Rewritten r = Rewrite(ctx, "/n/long/f.txt");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("m/f.txt", r.href);
  // A link that only the later entry matches in the first pass.
  EXPECT_EQ("../../z/f.txt", Rewrite(ctx, "/n/f.txt").href);
}

TEST(RewriteLink, SecondPassCommandsAfterTheTailRule) {
  SvgWriteContext ctx = Context();
  ctx.destinationFolder = "/out/pub";
  // "hidden.svg" becomes "hidden.html" by the tail rule; only then the
  // table cuts it.
  ctx.linkTable = std::vector<SvgLinkPair>{{"/out/pub/hidden.html", "script:cut"},
                                           {"/out/pub/exact.html", "script:just_cut"},
                                           {"/out/pub/tip.html", "script:tooltip_abs"}};
  EXPECT_EQ(0, Rewrite(ctx, "/out/pub/hidden.svg").result);
  EXPECT_EQ(0, Rewrite(ctx, "/out/pub/exact.svg").result);
  Rewritten r = Rewrite(ctx, "/out/pub/exact.svg#x");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("exact.html#x", r.href);
  r = Rewrite(ctx, "/out/pub/tip.svg");
  EXPECT_EQ(2, r.result);
  EXPECT_EQ("/out/pub/tip.html", r.href);
}

TEST(RewriteLink, SecondPassReplacementIsFollowedByTheTailRule) {
  SvgWriteContext ctx = Context();
  ctx.destinationFolder = "/out/pub";
  ctx.linkTable = std::vector<SvgLinkPair>{{"/out/pub/b.html", "/out/pub/docs/b.svg"}};
  Rewritten r = Rewrite(ctx, "/out/pub/b.svg");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("docs/b.html", r.href);
}

TEST(RewriteLink, PathVariablesAreExpanded) {
  SvgWriteContext ctx = Context();
  ctx.variables = [](std::string_view name, std::string& value) {
    if (name != "site") return false;
    value = "/out/pub";
    return true;
  };
  EXPECT_EQ("c.txt", Rewrite(ctx, "%site%/c.txt").href);
  EXPECT_EQ("%zz_not_a_variable%/c.txt", Rewrite(ctx, "%zz_not_a_variable%/c.txt").href);
  // The first table pass sees the link before expansion.
  ctx.linkTable = std::vector<SvgLinkPair>{{"%site%/", "/out/pub/r/"}};
  EXPECT_EQ("r/c.txt", Rewrite(ctx, "%site%/c.txt").href);
  // The second pass sees it after expansion.
  ctx.linkTable = std::vector<SvgLinkPair>{{"/out/pub/", "script:cut"}};
  EXPECT_EQ(0, Rewrite(ctx, "%site%/c.txt").result);
}

TEST(RewriteLink, SvgBecomesHtmlBehindTheDestinationOrSourceFolder) {
  SvgWriteContext ctx = Context();
  ctx.destinationFolder = "/out/pub";
  EXPECT_EQ("c.html", Rewrite(ctx, "/out/pub/c.svg").href);
  // The folder is found ignoring case; file identity (make-relative) is
  // case-sensitive.
  EXPECT_EQ("../../OUT/PUB/C.html#p2", Rewrite(ctx, "/OUT/PUB/C.SVG#p2").href);
  EXPECT_EQ("c.svgz", Rewrite(ctx, "/out/pub/c.svgz").href);
  // The folder must be followed by a separator.
  EXPECT_EQ("../publish/c.svg", Rewrite(ctx, "/out/publish/c.svg").href);
  // A folder given with a final separator.
  ctx.destinationFolder = "/out/pub/";
  EXPECT_EQ("c.html", Rewrite(ctx, "/out/pub/c.svg").href);
  // The source folder when the destination folder does not match.
  ctx.sourceFolder = "/src";
  EXPECT_EQ("../../src/s.html", Rewrite(ctx, "/src/s.svg").href);
  // Neither folder: nothing changes.
  EXPECT_EQ("../../x/s.svg", Rewrite(ctx, "/x/s.svg").href);
}

TEST(RewriteLink, MhtmlModeKeepsSvgAndDropsLocalLinks) {
  SvgWriteContext ctx = Context();
  ctx.destinationFolder = "/out/pub";
  ctx.mhtmlMode = true;
  Rewritten r = Rewrite(ctx, "/out/pub/c.svg");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("c.svg", r.href);
  EXPECT_EQ(0, Rewrite(ctx, "/out/pub/sub/c.svg").result);
  EXPECT_EQ(1, Rewrite(ctx, "#x").result);
  EXPECT_EQ(1, Rewrite(ctx, "http://h/a/b").result);
}

TEST(RewriteLink, TheTailRuleLeavesUrlLinksAlone) {
  SvgWriteContext ctx = Context();
  ctx.destinationFolder = "http://h/d";
  EXPECT_EQ("http://h/d/c.svg", Rewrite(ctx, "http://h/d/c.svg").href);
  // A local link turned into that URL by the table gets the tail rule.
  ctx.linkTable = std::vector<SvgLinkPair>{{"/n/", "http://h/d/"}};
  EXPECT_EQ("http://h/d/c.html", Rewrite(ctx, "/n/c.svg").href);
}

TEST(RewriteLink, PunycodeAndLowerCaseOfTheTail) {
  SvgWriteContext ctx = Context();
  ctx.notePath = "/other/n.svg";
  ctx.destinationFolder = "/Out/Pub";
  ctx.punycodeNames = true;
  // "日本" is "wgv71a" (RFC 3492); the separators stay; blanks go.
  Rewritten r = Rewrite(ctx, "/Out/Pub/\x93\xFA\x96\x7B/A b.svg");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("../Out/Pub/wgv71a/ab.html", r.href);
  ctx.punycodeNames = false;
  ctx.lowerPath = true;
  // Only the tail is lower-cased; the trail byte 0x5A ('Z') is kept.
  EXPECT_EQ("../Out/Pub/sub/\x83\x5Az.html", Rewrite(ctx, "/Out/Pub/Sub/\x83\x5AZ.SVG").href);
  // Without a matching folder there is no tail to change.
  EXPECT_EQ("../X/Y.svg", Rewrite(ctx, "/X/Y.svg").href);
}

TEST(RewriteLink, BaseNameRule) {
  SvgWriteContext ctx = Context();
  ctx.baseName = "page";
  EXPECT_EQ("#x", Rewrite(ctx, "page#x").href);
  EXPECT_EQ("", Rewrite(ctx, "page").href);
  EXPECT_EQ("pages#x", Rewrite(ctx, "pages#x").href);
  // Reached through the table: the note P maps to the base name.
  ctx.linkTable = std::vector<SvgLinkPair>{{"/n/x.svg", "page"}};
  EXPECT_EQ("#id", Rewrite(ctx, "/n/x.svg#id").href);
}

TEST(RewriteLink, NoteLinkTableSendsLinksIntoTheOutputFile) {
  SvgWriteContext ctx = Context();
  ctx.linkTable = std::vector<SvgLinkPair>{{"/src/n.svg#id", "/out/pub/note.svg#id"},
                                           {"/src/n.svg", "/out/pub/note.svg"}};
  EXPECT_EQ("#id", Rewrite(ctx, "/src/n.svg#id").href);
  EXPECT_EQ("#other", Rewrite(ctx, "/src/n.svg#other").href);
  EXPECT_EQ("note.svg", Rewrite(ctx, "/src/n.svg").href);
}

TEST(RewriteLink, NoLocalLinks) {
  SvgWriteContext ctx = Context();
  ctx.noLocalLinks = true;
  EXPECT_EQ(0, Rewrite(ctx, "/out/other/a.txt").result);
  EXPECT_EQ(0, Rewrite(ctx, "..\\b\\c.txt").result);
  Rewritten r = Rewrite(ctx, "/out/pub/a.txt");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("a.txt", r.href);
  EXPECT_EQ(1, Rewrite(ctx, "/out/pub/note.svg#x").result);
  EXPECT_EQ(1, Rewrite(ctx, "http://h/a/b.html").result);
  EXPECT_EQ(1, Rewrite(ctx, "mailto:a@b").result);
  ctx.noLocalLinks = false;
  EXPECT_EQ(1, Rewrite(ctx, "/out/other/a.txt").result);
}

class RewriteKeywordLink : public ::testing::Test {
 protected:
  void SetUp() override {
    kw = dir.file("kw.xml");
    Write("<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n\r\n"
          "<keywords keyword=\"oo\" subfolder=\"\">\r\n"
          "<a href=\"../site.html?f1=site.files/site_tree.html&amp;sub1=zerbin_index_p1\" "
          "lower=\"intro\">Intro</a>\r\n"
          "<a href=\"pages/t.html\">Note &amp; Title</a>\r\n"
          "<a href=\"http://h/u.html\">Web</a>\r\n"
          "</keywords>\r\n");
    ctx.notePath = dir.file("out/n.svg");
  }
  void Write(std::string_view text) {
    WriteFileBytes(kw, text);
    SetFileTime(kw, 1000000000);
  }
  TempDir dir;
  std::string kw;
  SvgWriteContext ctx;
};

TEST_F(RewriteKeywordLink, FoundWordsBecomeTheirTargets) {
  const std::string parent = dir.path().substr(0, dir.path().rfind('/'));
  Rewritten r = Rewrite(ctx, kw + "?kw=INTRO");
  EXPECT_EQ(1, r.result);
  // "../site.html" from the keyword file's folder, relative to out/n.svg.
  EXPECT_EQ("../../site.html?f1=site.files/site_tree.html&sub1=zerbin_index_p1", r.href);
  // "." stands for the figure text.
  r = Rewrite(ctx, kw + "?kw=.", "Note & Title");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("../pages/t.html", r.href);
  // A URL target stays a URL.
  EXPECT_EQ("http://h/u.html", Rewrite(ctx, kw + "?kw=web").href);
  ASSERT_EQ(1u, ctx.keywordFiles.size());
  EXPECT_EQ(kw, ctx.keywordFiles[0].path);
  EXPECT_EQ(3u, ctx.keywordFiles[0].entries.size());
}

TEST_F(RewriteKeywordLink, MissingWordOrFileGivesZeroWithTheHrefUnchanged) {
  Rewritten r = Rewrite(ctx, kw + "?kw=nothing");
  EXPECT_EQ(0, r.result);
  EXPECT_EQ(kw + "?kw=nothing", r.href);
  const std::string none = dir.file("none.xml") + "?kw=intro";
  r = Rewrite(ctx, none);
  EXPECT_EQ(0, r.result);
  EXPECT_EQ(none, r.href);
  // Not a keyword link: "?" without "kw=".
  r = Rewrite(ctx, kw + "?k=intro");
  EXPECT_EQ(1, r.result);
}

TEST_F(RewriteKeywordLink, TheCacheIsReadAgainWhenTheFileTimeChanges) {
  EXPECT_EQ(1, Rewrite(ctx, kw + "?kw=intro").result);
  EXPECT_EQ(0, Rewrite(ctx, kw + "?kw=fresh").result);
  // New content with the old time: the cached entries still answer.
  Write("<a href=\"fresh.html\">Fresh</a>");
  EXPECT_EQ(1, Rewrite(ctx, kw + "?kw=intro").result);
  EXPECT_EQ(0, Rewrite(ctx, kw + "?kw=fresh").result);
  // Another time: the file is read again.
  SetFileTime(kw, 1000000100);
  Rewritten r = Rewrite(ctx, kw + "?kw=fresh");
  EXPECT_EQ(1, r.result);
  EXPECT_EQ("../fresh.html", r.href);
  EXPECT_EQ(0, Rewrite(ctx, kw + "?kw=intro").result);
  ASSERT_EQ(1u, ctx.keywordFiles.size());
  EXPECT_EQ(1000000100LL * 1000000000LL, ctx.keywordFiles[0].modifiedNs);
  // A file that went away is forgotten.
  ASSERT_EQ(0, ::unlink(kw.c_str()));
  EXPECT_EQ(0, Rewrite(ctx, kw + "?kw=fresh").result);
  EXPECT_TRUE(ctx.keywordFiles.empty());
}

TEST_F(RewriteKeywordLink, KeywordTargetsGoThroughTheTailRule) {
  ctx.destinationFolder = dir.path();
  WriteFileBytes(kw, "<a href=\"pages/T.svg#x\">t</a>");
  ctx.lowerPath = true;
  EXPECT_EQ("../pages/t.html#x", Rewrite(ctx, kw + "?kw=T").href);
}
