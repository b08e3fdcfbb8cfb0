#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "core/strx/strx_base64.h"
#include "figures/base/vml_write_context.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

std::unique_ptr<Rect_Ex> box(int32_t shape, int32_t stroke = 1, int32_t opacity = 100) {
  auto r = std::make_unique<Rect_Ex>();
  r->shape = shape;
  r->x = 10;
  r->y = 20;
  r->width = 30;
  r->height = 40;
  r->strokeWidth = stroke;
  r->opacity = opacity;
  r->strokeColour = Colour_rgb(1, 2, 3);
  r->fillColour = Colour_rgb(204, 204, 255);
  return r;
}

std::string vml(const Rect_Ex& r, VmlWriteContext& ctx, int32_t index = 1) {
  ctx.out.clear();
  r.WriteVml(ctx, index);
  return ctx.out;
}

}  // namespace

// Every shape's element, with the border, opacity, link, anchor and target
// forms; the y carries the page's vertical offset.
TEST(RectExVml, ShapesLinksAnchorsAndTargets) {
  VmlWriteContext ctx;
  ctx.notePath = "/notes/a.svg";
  ctx.outputPath = "/site/a.files/a_01.html";
  ctx.verticalOffset = 100;
  const std::string pos =
      "position:absolute; margin-left:10px; margin-top:120px; width:30px; height:40px;\"";
  struct Case {
    int32_t shape, stroke, opacity;
    std::string expected;
  } cases[] = {
      {1, 1, 100,
       "<v:rect style=\"" + pos +
           " fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" strokeweight=\"1pt\"/>\r\n"},
      // No border, opacity 0: one pixel smaller, not stroked.
      {1, 0, 0,
       "<v:rect style=\"position:absolute; margin-left:10px; margin-top:120px; width:29px; "
       "height:39px;\" fillcolor=\"#CCCCFF\" stroked=\"false\">\r\n<v:fill "
       "opacity=\"0.00%\"/></v:rect>\r\n"},
      // No border, opacity 50: the fill colour at 1pt.
      {1, 0, 50,
       "<v:rect style=\"position:absolute; margin-left:10px; margin-top:120px; width:29px; "
       "height:39px;\" fillcolor=\"#CCCCFF\" strokecolor=\"#CCCCFF\" strokeweight=\"1pt\">\r\n"
       "<v:fill opacity=\"0.50%\"/></v:rect>\r\n"},
      {2, 2, 50,
       "<v:roundrect style=\"" + pos +
           " arcsize=\"0.500000\" fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" "
           "strokeweight=\"2pt\">\r\n<v:fill opacity=\"0.50%\"/>\r\n</v:roundrect>\r\n"},
      {3, 0, 100,
       "<v:oval style=\"" + pos +
           " fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" stroked=\"false\"/>\r\n"},
      {4, 1, 7,
       "<v:shape style=\"" + pos +
           " fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" strokeweight=\"1pt\">\r\n<v:fill "
           "opacity=\"0.07%\"/>\r\n<v:path v=\"m 500,0 l 999,500, 500,999, 0,500 x "
           "e\"/>\r\n</v:shape>\r\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(vml(*box(c.shape, c.stroke, c.opacity), ctx), c.expected) << c.shape;

  // Linked (a URL, rotated) and named: the A wraps the element, the anchor
  // sits inside it; the side files get their lines.
  std::string links, anchors;
  ctx.linkListFile = &links;
  ctx.anchorListFile = &anchors;
  ctx.pageNumber = 3;
  auto r = box(1);
  r->url = "http://x/?a=1&b=2";
  r->target = "";
  r->id = "pic";
  r->angle = 15;
  EXPECT_EQ(vml(*r, ctx),
            "<A href=\"http://x/?a=1&b=2\" target=\"_top\">\r\n<v:rect style=\"position:absolute; "
            "margin-left:10px; margin-top:120px; width:30px; height:40px; rotation:15; "
            "cursor:hand;\" fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" strokeweight=\"1pt\">\r\n"
            "<A name=\"pic\">\r\n</A></v:rect></A>\r\n");
  EXPECT_EQ(links, Sjis(u8"\"http://x/?a=1&b=2\", \"\", ←, \"(image)\", 3, \"/notes/a.svg\"\r\n"));
  EXPECT_EQ(anchors, "\"/site/a.files/a_01.html#pic\", 3, \"(image)\"\r\n");
  EXPECT_EQ(ctx.contentBottom, 160);

  // The target rule: keep "_blank" as no target, and prefer new windows.
  ctx.linkListFile = ctx.anchorListFile = nullptr;
  r->id.clear();
  r->angle = 0;
  for (const char* t : {"_blank", "_top"}) {
    r->target = t;
    ctx.keepBlankTarget = ctx.preferNewWindow = true;
    EXPECT_EQ(vml(*r, ctx).substr(0, 46), "<A href=\"http://x/?a=1&b=2\" target=\"_blank\">\r\n");
  }
  // Markup in the link, target and id comes out escaped.
  r->url = "http://x/\"><script>";
  r->target = "t\"<&";
  r->id = "i\"<&";
  ctx.keepBlankTarget = ctx.preferNewWindow = false;
  EXPECT_EQ(vml(*r, ctx),
            "<A href=\"http://x/&quot;&gt;&lt;script&gt;\" target=\"t&quot;&lt;&amp;\">\r\n"
            "<v:rect style=\"position:absolute; margin-left:10px; margin-top:120px; width:30px; "
            "height:40px; cursor:hand;\" fillcolor=\"#CCCCFF\" strokecolor=\"#010203\" "
            "strokeweight=\"1pt\">\r\n<A name=\"i&quot;&lt;&amp;\">\r\n</A></v:rect></A>\r\n");
  r->id.clear();
  // A local link to a file that does not exist is no link.
  r->url = "missing.html";
  EXPECT_EQ(vml(*r, ctx).substr(0, 8), "<v:rect ");
}

// A picture is copied to NN/imageMM.ext behind the attachment folder and
// listed; in MHTML mode nothing is copied and the part carries the picture.
TEST(RectExVml, PictureCopyAndMhtmlPart) {
  TempDir dir;
  const std::string picture = dir.file("Photo.PNG");
  const std::string bytes(200, '\x89');
  WriteFileBytes(picture, bytes);
  auto r = box(5);
  r->embedImage = false;
  r->imagePath = picture;
  r->id = "p";

  VmlWriteContext ctx;
  ctx.notePath = dir.file("a.svg");
  ctx.attachFolderPath = dir.file("a.files/");
  ctx.pageNumber = 1;
  std::string images;
  ctx.imageListFile = &images;
  ctx.imageListBase = dir.path();
  EXPECT_EQ(vml(*r, ctx, 2),
            "<v:image src=\"01/image02.PNG\"\r\n   style=\"position:absolute; margin-left:10px; "
            "margin-top:20px; width:30px; height:40px;\">\r\n<A name=\"p\">\r\n</A></v:image>\r\n");
  EXPECT_EQ(ReadFileBytes(dir.file("a.files/01/image02.PNG")), bytes);
  EXPECT_EQ(images, "a.files\\01\\image02.PNG\r\n");

  r->id.clear();
  MhtmlWriteContext m;
  m.mhtmlMode = true;
  m.lowerPath = true;
  m.attachFolderPath = dir.file("m.files/");
  m.pageNumber = 1;
  r->WriteVml(m, 1);
  EXPECT_EQ(m.out.substr(0, 30), "<v:image src=\"01/image01.png\"\r");
  EXPECT_FALSE(std::filesystem::exists(dir.file("m.files")));
  m.out.clear();
  r->WriteMhtmlPart(m, 1);
  const std::string head =
      "------=_NextPart_<Zerbin>\r\nContent-Type: image/jpeg\r\nContent-Transfer-Encoding: "
      "base64\r\nContent-Location: 01/image01.png \r\n\r\n";
  ASSERT_EQ(m.out.substr(0, head.size()), head);
  EXPECT_EQ(m.out.substr(m.out.size() - 6), "\r\n\r\n\r\n");
  const std::string body = m.out.substr(head.size(), m.out.size() - 6 - head.size());
  EXPECT_EQ(body.substr(76, 2), "\r\n");
  EXPECT_EQ(StrX_base64Decode(body), bytes);
  // Shapes other than pictures have no part.
  m.out.clear();
  box(1)->WriteMhtmlPart(m, 1);
  EXPECT_EQ(m.out, "");
}
