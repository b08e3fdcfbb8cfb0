#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "figures/base/vml_write_context.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"

using testing_support::Sjis;

namespace {

// A box "a<b" / "line2" with its layout numbers set directly (no fonts):
// base (100, 200), lines 16 px high with a 3 px descent, 41 px wide, and
// the frame 90..150 x 185..221.
std::unique_ptr<Text_Box> box(std::string_view text = "a<b\r\nline2") {
  auto b = std::make_unique<Text_Box>();
  b->SetText(text);
  b->SetBasePoint(100, 200);
  b->fontFace = "Arial";
  b->lineHeight16 = 256;
  b->descent16 = 48;
  b->textWidth = 41;
  b->lineCount = 2;
  b->frameShape = TextBoxFrame_None;
  b->bounds = {90, 185, 150, 221};
  b->layoutFlags |= TextBox_boundsValid;
  return b;
}

VmlWriteContext context() {
  VmlWriteContext ctx;
  ctx.notePath = "/n/X.svg";
  ctx.outputPath = "/s/X.files/X_01.html";
  ctx.baseName = "X";
  ctx.pageNumber = 2;
  ctx.verticalOffset = 1000;
  return ctx;
}

// A rewriting that answers `answer` with the link itself as the href.
SvgRewriteLinkFn answering(int answer) {
  return [answer](std::string& href, std::string_view link, std::string_view, SvgWriteContext&) {
    href = link;
    return answer;
  };
}

const std::string kDiv =
    "<DIV id=\"text2_5\" style=\"position:absolute; font-family: 'Arial'; font-size:12pt; ";
const std::string kPlace = "margin-left:100px; margin-top:1187px; line-height:14px; "
                           "white-space:nowrap\"";
const std::string kLines = "a&lt;b<BR/>\r\nline2";
const std::string kRect =
    "<v:rect style=\"position:absolute; margin-left:90px; margin-top:1185px; width:60px; "
    "height:36px;\" fillcolor=\"#FFFFFF\" strokecolor=\"#000000\" strokeweight=\"1pt\"/>\r\n";

}  // namespace

// Frames, the DIV with its colour rules, links, anchors, MHTML comment forms,
// tooltips and rotated text.
TEST(TextBoxVml, FramesTextLinksAndTooltips) {
  struct Case {
    const char* name;
    std::function<void(Text_Box&, VmlWriteContext&)> setup;
    std::string expected;
  } cases[] = {
      {"pure blue without link", [](Text_Box& b, VmlWriteContext&) { b.textColour = 0xFF0000; },
       kDiv + "color:#000000; " + kPlace + ">\r\n" + kLines + "</DIV>\r\n"},
      {"linked, named, framed",
       [](Text_Box& b, VmlWriteContext&) {
         b.textColour = 0xFF0000;
         b.AssignUrl("http://e/?a=1&b=2");
         b.SetTarget("");
         b.SetId("Top");
         b.frameShape = TextBoxFrame_Rectangle;
         b.bounds = {90, 185, 150, 221};
       },
       "<A href=\"http://e/?a=1&b=2\" target=\"_top\">\r\n" + kRect + "</A>\r\n" + kDiv +
           "color:#0000FF; " + kPlace +
           ">\r\n<A name=\"Top\" href=\"http://e/?a=1&b=2\" target=\"_top\">\r\n" + kLines +
           "</A></DIV>\r\n"},
      {"mhtml local link, centred, bold, red",
       [](Text_Box& b, VmlWriteContext& c) {
         c.mhtmlMode = true;
         b.AssignUrl("other.html");
         b.SetTarget("");
         b.textColour = 0x0000FF;
         b.bold = true;
         b.alignment = 1;
       },
       kDiv + "color:#FF0000; font-weight: bold; margin-left:79px; margin-top:1187px; "
              "text-align: center; line-height:14px; white-space:nowrap\">\r\n"
              "<!--<A href=\"other.html\" style=\"color:#FF0000\">--> <!-- .mht cannot local "
              "link -->\r\n" +
           kLines + "<!--</A>--></DIV>\r\n"},
      {"mhtml hash link with target",
       [](Text_Box& b, VmlWriteContext& c) {
         c.mhtmlMode = true;
         b.AssignUrl("#sec");
         b.SetTarget("main");
       },
       kDiv + "color:#000000; " + kPlace +
           ">\r\n<!--<A href=\"#sec\" target=\"main\" style=\"color:#000000\">--> <!-- .mht "
           "cannot local link with target -->\r\n    <A href=\"#sec\" "
           "style=\"color:#000000\">\r\n" +
           kLines + "</A></DIV>\r\n"},
      {"tooltip",
       [](Text_Box& b, VmlWriteContext& c) {
         c.rewriteLink = answering(2);
         b.AssignUrl("C:\\tip 'x'");
       },
       kDiv + "color:#000000; " + kPlace +
           "\r\n class=\"tooltip\" onmouseover=\"over(text2_5t,'C:\\\\tip \\&apos;x\\&apos;',11);\" "
           "onmouseout=\"out(text2_5t);\">\r\n" +
           kLines + "<TEXTAREA name=\"text2_5t\"></TEXTAREA></DIV>\r\n"},
      {"tooltip whose character ends in a backslash byte",  // "ソ" is 0x83 0x5C
       [](Text_Box& b, VmlWriteContext& c) {
         c.rewriteLink = answering(2);
         b.AssignUrl("\x83\x5C");
       },
       kDiv + "color:#000000; " + kPlace +
           "\r\n class=\"tooltip\" onmouseover=\"over(text2_5t,'\x83\x5C',3);\" "
           "onmouseout=\"out(text2_5t);\">\r\n" +
           kLines + "<TEXTAREA name=\"text2_5t\"></TEXTAREA></DIV>\r\n"},
      {"rectangle frame without border",
       [](Text_Box& b, VmlWriteContext&) {
         b.frameShape = TextBoxFrame_Rectangle;
         b.frameWidth = 0;
         b.fillColour = 0x00FF00;
         b.bounds = {90, 185, 150, 221};
       },
       "<v:rect style=\"position:absolute; margin-left:90px; margin-top:1185px; width:59px; "
       "height:35px;\" fillcolor=\"#00FF00\" strokecolor=\"#00FF00\" strokeweight=\"1pt\"/>\r\n" +
           kDiv + "color:#000000; " + kPlace + ">\r\n" + kLines + "</DIV>\r\n"},
      {"rotated, oval frame without border at 50%",
       [](Text_Box& b, VmlWriteContext&) {
         b.angle = 30;
         b.frameShape = TextBoxFrame_Ellipse;
         b.frameWidth = 0;
         b.opacity = 50;
         b.bounds = {90, 185, 150, 221};
       },
       "<v:oval style=\"position:absolute; margin-left:90px; margin-top:1185px; width:60px; "
       "height:36px;\" fillcolor=\"#FFFFFF\" strokecolor=\"#000000\" stroked=\"false\">\r\n"
       "<v:fill opacity=\"0.50%\"/>\r\n</v:oval>\r\n"
       "<v:shape style=\"position:absolute;margin-left:100px;margin-top:1188px;width:41px;"
       "height:26px;rotation:30;\" o:spt=\"136\" stroked=\"false\" "
       "coordsize=\"21600,14688\">\r\n<v:fill color=\"#000000\"/>\r\n<v:textpath "
       "style=\"font-family:'Arial';\"\r\n  string=\"a&lt;b\r\nline2\" />"
       "</v:shape>\r\n"},
      {"parallelogram frame, anchor counter",
       [](Text_Box& b, VmlWriteContext& c) {
         c.anchorCounter = 7;
         b.frameShape = TextBoxFrame_Parallelogram;
         b.bounds = {90, 185, 150, 221};
       },
       "<A>\r\n<v:shape style=\"position:absolute; margin-left:90px; margin-top:1185px; "
       "width:60px; height:36px;\" fillcolor=\"#FFFFFF\" strokecolor=\"#000000\" "
       "strokeweight=\"1pt\">\r\n<v:path v=\"m 150,0 l 1149,0, 849,999, -150,999 x "
       "e\"/>\r\n</v:shape>\r\n</A>\r\n" +
           kDiv + "color:#000000; " + kPlace + ">\r\n<A name=\"zerbin_vml_h7\">\r\n" + kLines +
           "</A></DIV>\r\n"},
  };
  for (const Case& c : cases) {
    auto b = box();
    VmlWriteContext ctx = context();
    c.setup(*b, ctx);
    b->WriteVml(ctx, 5);
    EXPECT_EQ(ctx.out, c.expected) << c.name;
  }

  // An anchor tag that would not fit its 4096 bytes ends the box's output.
  auto b = box();
  b->AssignUrl("http://e/" + std::string(5000, 'a'));
  VmlWriteContext ctx = context();
  b->WriteVml(ctx, 5);
  EXPECT_EQ(ctx.out, "");
  // A box that was never laid out is refused.
  Text_Box raw;
  EXPECT_EQ(testing_support::CatchError([&] { raw.WriteVml(ctx, 1); }).code,
            Zerbin_Err_NotSetDrawParam);
}

// A named keyword box writes the anchor list, the move list, its keyword
// tree entry and the sitemap lines, and lowers the content bottom.
TEST(TextBoxVml, SideFilesOfANamedKeywordBox) {
  auto b = box(Sjis(u8"見出し\r\nline2"));
  b->SetId("Sec");
  b->className = "keyword";
  VmlWriteContext ctx = context();
  std::string anchors, moves, tree, sitemap;
  ctx.anchorListFile = &anchors;
  ctx.moveListFile = &moves;
  ctx.keywordTreeFile = &tree;
  ctx.sitemapFile = &sitemap;
  ctx.imageListBase = "/s";
  ctx.pageTitle = Sjis(u8"見出し");
  ctx.lowerPath = true;
  b->WriteVml(ctx, 1);
  EXPECT_EQ(anchors, Sjis(u8"\"/s/X.files/X_01.html#sec\", 2, \"見出し\"\r\n"));
  EXPECT_EQ(moves, "src = /n/X.svg#sec\r\ndst = /s/X.files/X_01.html#sec\r\n");
  EXPECT_EQ(tree, Sjis(u8"<a href=\"../X.html?f1=X.files/X_tree.html&amp;sub1=zerbin_index_p2"
                       u8"&amp;f2=X.files/X_01.html&amp;sub2=sec\" lower=\"") +
                      "68j852hj91b" + Sjis(u8"\">見出し</a>\r\n"));
  EXPECT_TRUE(ctx.titleInKeywordTree);
  EXPECT_FALSE(ctx.noteTitleInKeywordTree);
  EXPECT_EQ(sitemap, Sjis(u8"\t<LI> <OBJECT type=\"text/sitemap\">\r\n\t\t<param name=\"Name\" "
                          u8"value=\"見出し\">\r\n\t\t<param name=\"Name\" value=\"X\">\r\n\t\t"
                          u8"<param name=\"Local\" value=\"X.files\\X_01.html\">\r\n\t\t</OBJECT>\r\n"));
  EXPECT_EQ(ctx.contentBottom, 1217);

  // With the web server's names the keyword leads to the anchor's ASCII name.
  VmlWriteContext v = context();
  std::string ascii;
  v.keywordTreeFile = &ascii;
  v.punycodeNames = true;
  b->SetId(Sjis(u8"節A"));
  b->WriteVml(v, 1);
  EXPECT_NE(v.out.find(" name=\"a-8r5c\""), std::string::npos) << v.out;
  EXPECT_NE(ascii.find("&amp;sub2=a-8r5c\" lower="), std::string::npos) << ascii;
}

// Texts, ids, fonts and links holding markup come out escaped everywhere.
TEST(TextBoxVml, MarkupInTextsAndLinksIsEscaped) {
  auto b = box("<script>&\"x\"\r\n\t<i>");
  b->SetId("a\"><b");
  b->AssignUrl("http://x/\"><script>alert(1)</script>");
  b->SetTarget("t\"><s");
  b->fontFace = "F'\"<";
  b->frameShape = TextBoxFrame_None;
  VmlWriteContext ctx = context();
  b->WriteVml(ctx, 1);
  EXPECT_EQ(ctx.out,
            "<DIV id=\"text2_1\" style=\"position:absolute; font-family: 'F&apos;&quot;&lt;'; "
            "font-size:12pt; color:#000000; " +
                kPlace +
                ">\r\n<A name=\"a&quot;&gt;&lt;b\" "
                "href=\"http://x/&quot;&gt;&lt;script&gt;alert(1)&lt;/script&gt;\" "
                "target=\"t&quot;&gt;&lt;s\" style=\"color:#000000\">\r\n"
                "&lt;script&gt;&amp;\"x\"<BR/>\r\n&nbsp;&nbsp; &nbsp;&nbsp; &lt;i&gt;</A></DIV>\r\n");
  EXPECT_EQ(ctx.out.find("<script"), std::string::npos);
  EXPECT_EQ(ctx.out.find("<i>"), std::string::npos);
}

// Lower-cased anchor names fold ASCII letters only: the second byte of a
// double-byte character ("ア" is 0x83 0x41) stays as it is.
TEST(TextBoxVml, LowerCasedAnchorKeepsDoubleByteCharacters) {
  auto b = box();
  const std::string id = "Sec" + Sjis(u8"ア");
  ASSERT_EQ(id.substr(3), "\x83\x41");
  b->SetId(id);
  VmlWriteContext ctx = context();
  ctx.lowerPath = true;
  b->WriteVml(ctx, 1);
  EXPECT_NE(ctx.out.find("<A name=\"sec\x83\x41\">"), std::string::npos) << ctx.out;
}
