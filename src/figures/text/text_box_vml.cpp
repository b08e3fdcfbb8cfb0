// Text_Box: the frame shape and the positioned text of the HTML export.
//
// The frame is a VML shape; rotated text is a VML text path; any other
// text is an absolutely positioned DIV whose lines are HTML-escaped and
// joined by BR.  A linked or named box wraps its frame and its text in an
// A tag (kept below 4096 bytes); a box whose link only carries a tooltip
// gets the tooltip handlers instead.  A named box also writes its lines
// into the export's side files (anchor list, move list, keyword tree).
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "core/strx/strx_fields.h"
#include "core/errors/errors.h"
#include "core/errors/result_code.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_punycode.h"
#include "core/strx/strx_search.h"
#include "figures/base/vml_format.h"
#include "figures/base/vml_write_context.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

constexpr size_t kAnchorBufferSize = 4096;
constexpr Colour kPureBlue = 0xFF0000;  // 0x00BBGGRR

std::string number(int32_t v) { return std::to_string(v); }

bool hasNonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

// A line of text as HTML: tabs as six blanks, then escaped (runs of blanks
// kept visible) and cut at 511 bytes.
std::string htmlLine(std::string_view line) {
  std::string tabs;
  for (char c : line) {
    if (c == '\t')
      tabs += "      ";
    else
      tabs += c;
  }
  std::string out;
  StrX_htmlEscape(out, tabs, 512, StrX_HtmlSpaces);
  return out;
}

// A text for the tooltip script's string argument inside an attribute.
}  // namespace

void Text_Box::WriteVml(VmlWriteContext& ctx, int32_t index) const {
  // The export lays every page out first; a box never measured has no
  // positions to write.
  if (!HasLayout()) Errors_RAISE(Zerbin_Err_NotSetDrawParam, "%s", "");
  const std::vector<std::string_view> textLines = TextBox_splitLines(text_);
  const std::string firstLine = textLines.empty() ? std::string() : std::string(textLines[0]);
  const int32_t page = ctx.pageNumber;

  // The link: 1 link, 0 none, 2 tooltip only.
  std::string H;
  const int answer = url_.empty() ? 0 : VmlFormat_rewrite(H, url_, text_, ctx);
  const bool linked = answer == 1;
  const bool tooltip = answer == 2;
  const bool named = !id_.empty() || ctx.anchorCounter > 0;
  const bool localInMhtml = ctx.mhtmlMode && linked && !H.empty() && !StrX_isUrl(H);
  const bool hashLink = !H.empty() && H[0] == '#';

  // The anchor name N.
  std::string N;
  if (named) {
    // A heading's own anchor ("h"): the page anchors are "zerbin_vml_p".
    N = ctx.anchorCounter > 0 ? "zerbin_vml_h" + number(ctx.anchorCounter) : id_;
    if (ctx.punycodeNames) {
      std::string p;
      StrX_punycodeName(p, N, 1024);
      N = p;
    } else if (ctx.lowerPath) {
      N = StrX_lowerAsciiCopy(N);
    }
  }

  // The anchor tag, without and with the name.
  std::string linkPart, targetPart;
  if (linked) {
    linkPart = " href=\"" + VmlFormat_href(H) + "\"";
    targetPart = VmlFormat_target(ctx, H, target_);
  }
  std::string colourPart;
  if (linked && textColour != kPureBlue)
    colourPart = " style=\"color:" + VmlFormat_rgb(textColour) + "\"";
  const std::string namePart = named ? " name=\"" + VmlFormat_attr(N) + "\"" : std::string();
  const std::string tagNoName = "<A" + linkPart + targetPart + colourPart + ">";
  const std::string tagNamed = "<A" + namePart + linkPart + targetPart + colourPart + ">";
  if (tagNamed.size() >= kAnchorBufferSize) {
    ResultCode_showBox(ResultCode_BufferTooSmall, 0, "");
    return;
  }
  if (linked && ctx.linkListFile) {
    const std::string rel = StrX_makeRelative(H, StrX_parentFolder(ctx.outputPath));
    *ctx.linkListFile += StrX_csvQuote(rel, '\0', true) + ", " + StrX_csvQuote(target_, '\0', true) + ", ←, " +
                         StrX_csvQuote(firstLine, '\0', true) + ", " + number(page) + ", " +
                         StrX_csvQuote(ctx.noteOfLinks(), '\0', true) + "\r\n";
  }
  // Writes a tag with the forms an MHTML archive needs for local links;
  // answers the closing tag.
  auto putTag = [&](const std::string& tag) -> std::string {
    if (localInMhtml) {
      if (hashLink && !targetPart.empty()) {
        ctx.put("<!--" + tag + "--> <!-- .mht cannot local link with target -->\r\n");
        std::string bare = tag;
        bare.erase(bare.find(targetPart), targetPart.size());
        ctx.put("    " + bare + "\r\n");
        return "</A>";
      }
      if (!hashLink) {
        ctx.put("<!--" + tag + "--> <!-- .mht cannot local link -->\r\n");
        return "<!--</A>-->";
      }
    }
    ctx.put(tag + "\r\n");
    return "</A>";
  };

  // 1. The frame.
  if (frameShape != TextBoxFrame_None) {
    const TextBoxFrameBounds b = FrameBounds();
    const int32_t left = b.left;
    const int32_t top = Figure_toInt32(int64_t{b.top} + ctx.verticalOffset);
    const int32_t w = Figure_toInt32(int64_t{b.right} - b.left);
    const int32_t h = Figure_toInt32(int64_t{b.bottom} - b.top);
    std::string closing;
    if (linked || named) closing = putTag(tagNoName);
    const std::string fill = VmlFormat_rgb(fillColour);
    const std::string frame = VmlFormat_rgb(frameColour);
    auto boxStroke = [&] {
      if (frameWidth != 0)
        ctx.printf(" strokecolor=\"%s\" strokeweight=\"%dpt\"", frame.c_str(), frameWidth);
      else
        ctx.printf(" strokecolor=\"%s\" strokeweight=\"1pt\"", fill.c_str());
    };
    auto boxEnd = [&](const char* tag) {
      if (opacity == 100)
        ctx.put("/>\r\n");
      else
        ctx.printf(">\r\n<v:fill opacity=\"0.%02d%%\"/>\r\n</%s>\r\n", opacity, tag);
    };
    auto spacedStyle = [&](const char* head) {
      ctx.printf("%smargin-left:%dpx; margin-top:%dpx; width:%dpx; height:%dpx;\" ", head, left,
                 top, w, h);
      ctx.printf("fillcolor=\"%s\" strokecolor=\"%s\" ", fill.c_str(), frame.c_str());
      if (frameWidth != 0)
        ctx.printf("strokeweight=\"%dpt\"", frameWidth);
      else
        ctx.put("stroked=\"false\"");
    };
    switch (frameShape) {
      case TextBoxFrame_Rectangle: {
        const int32_t d = frameWidth == 0 ? 1 : 0;
        ctx.printf("<v:rect style=\"position:absolute; margin-left:%dpx; margin-top:%dpx; "
                   "width:%dpx; height:%dpx;\"",
                   left, top, w - d, h - d);
        ctx.printf(" fillcolor=\"%s\"", fill.c_str());
        boxStroke();
        boxEnd("v:rect");
        break;
      }
      case TextBoxFrame_RoundRect:
        ctx.printf("<v:roundrect style=\"position:absolute; margin-left:%dpx; margin-top:%dpx; "
                   "width:%dpx; height:%dpx;\"",
                   left, top, w, h);
        ctx.printf(" arcsize=\"%f\"", 10.0 / (h != 0 ? h : 1));
        ctx.printf(" fillcolor=\"%s\"", fill.c_str());
        boxStroke();
        boxEnd("v:roundrect");
        break;
      case TextBoxFrame_Ellipse:
        spacedStyle("<v:oval style=\"position:absolute; ");
        boxEnd("v:oval");
        break;
      case TextBoxFrame_Diamond:
      case TextBoxFrame_Parallelogram:
        spacedStyle("<v:shape style=\"position:absolute; ");
        ctx.put(">\r\n");
        if (opacity != 100) ctx.printf("<v:fill opacity=\"0.%02d%%\"/>\r\n", opacity);
        if (frameShape == TextBoxFrame_Diamond) {
          ctx.put("<v:path v=\"m 500,0 l 999,500, 500,999, 0,500 x e\"/>\r\n");
        } else {
          const int32_t g = VmlFormat_muldiv(h, 250, w);
          ctx.printf("<v:path v=\"m %d,0 l %d,0, %d,999, %d,999 x e\"/>\r\n", g, g + 999,
                     999 - g, -g);
        }
        ctx.put("</v:shape>\r\n");
        break;
      default:
        break;
    }
    if (linked || named) ctx.put(closing + "\r\n");
  }

  const TextBoxGeometry g = TextBox_geometry(*this);
  const int32_t textBottom = Figure_toInt32(int64_t{g.lineBottom} + g.span);
  if (angle != 0) {
    // 2. Rotated text.
    ctx.printf("<v:shape style=\"position:absolute;margin-left:%dpx;margin-top:%dpx;width:%dpx;"
               "height:%dpx;rotation:%d;\" o:spt=\"136\" stroked=\"false\" "
               "coordsize=\"21600,14688\">\r\n",
               g.textLeft, Figure_toInt32(int64_t{g.firstLineTop} + ctx.verticalOffset),
               Figure_toInt32(int64_t{g.textRight} - g.textLeft),
               Figure_toInt32(int64_t{textBottom} - descent16 / 16 - g.firstLineTop), angle);
    ctx.printf("<v:fill color=\"%s\"/>\r\n", VmlFormat_rgb(textColour).c_str());
    ctx.printf("<v:textpath style=\"font-family:'%s';\"\r\n", VmlFormat_attr(fontFace).c_str());
    ctx.printf("  string=\"%s\" />", VmlFormat_attr(text_).c_str());
    ctx.put("</v:shape>\r\n");
  } else {
    // 3. The DIV.
    const bool working = linked && !(localInMhtml && !hashLink);
    ctx.printf("<DIV id=\"text%d_%d\" style=\"position:absolute; ", page, index);
    ctx.printf("font-family: '%s'; ", VmlFormat_attr(fontFace).c_str());
    ctx.printf("font-size:%dpt; ", fontSize);
    ctx.printf("color:%s; ", textColour == kPureBlue && !working
                                 ? "#000000"
                                 : VmlFormat_rgb(textColour).c_str());
    if (bold) ctx.put("font-weight: bold; ");
    if (italic) ctx.put("font-style: italic; ");
    int64_t x = baseX_;
    if (alignment == 1) x -= (int64_t{textWidth} + 1) / 2;
    if (alignment == 2) x -= textWidth;
    ctx.printf("margin-left:%dpx; ", Figure_toInt32(x));
    const int64_t y = int64_t{baseY_} + ctx.verticalOffset - (lineHeight16 - descent16) / 16 -
                      (int64_t{lineSpacing} - 14 - (lineSpacing < 14 ? 1 : 0)) / 2;
    ctx.printf("margin-top:%dpx; ", Figure_toInt32(y));
    if (alignment == 1) ctx.put("text-align: center; ");
    if (alignment == 2) ctx.put("text-align: right; ");
    ctx.printf("line-height:%dpx; ", lineSpacing);
    ctx.put("white-space:nowrap\"");
    if (tooltip)
      ctx.printf("\r\n class=\"tooltip\" onmouseover=\"over(text%d_%dt,'%s',%d);\" "
                 "onmouseout=\"out(text%d_%dt);\"",
                 page, index, VmlFormat_attr(VmlFormat_scriptString(H)).c_str(), static_cast<int>(H.size() + 1), page,
                 index);
    ctx.put(">\r\n");

    std::string closing;
    if (linked || named) closing = putTag(tagNamed);
    if (named) {
      if (ctx.anchorListFile)
        *ctx.anchorListFile += StrX_csvQuote(ctx.outputPath + "#" + N, '\0', true) + ", " + number(page) +
                               ", " + StrX_csvQuote(firstLine, '\0', true) + "\r\n";
      if (ctx.moveListFile)
        *ctx.moveListFile += "src = " + ctx.noteOfLinks() + "#" + N + "\r\ndst = " + ctx.outputPath +
                             "#" + N + "\r\n";
      if (ctx.keywordTreeFile && (TextBox_hasClass(className, "keyword") || TextBox_hasClass(className, "head")))
        writeKeywordEntry(ctx, firstLine);
      const int32_t bottom = Figure_toInt32(int64_t{textBottom} + ctx.verticalOffset);
      if (bottom > ctx.contentBottom) ctx.contentBottom = bottom;
    }

    const bool measured = !lines_.empty();
    const size_t count = measured ? lines_.size() : textLines.size();
    for (size_t i = 0; i < count; ++i) {
      if (i > 0) ctx.put("<BR/>\r\n");
      ctx.put(htmlLine(measured ? std::string_view(lines_[i].text) : textLines[i]));
    }
    if (linked || named) ctx.put(closing);
    if (tooltip) ctx.printf("<TEXTAREA name=\"text%d_%dt\"></TEXTAREA>", page, index);
    ctx.put("</DIV>\r\n");
  }

  // 4. The sitemap.
  if (ctx.sitemapFile && TextBox_hasClass(className, "keyword")) {
    std::string& s = *ctx.sitemapFile;
    std::string noteName = StrX_fileName(ctx.noteOfLinks());
    StrX_changeExtension(noteName, "", noteName.size() + 1);
    s += "\t<LI> <OBJECT type=\"text/sitemap\">\r\n";
    s += "\t\t<param name=\"Name\" value=\"" + VmlFormat_attr(firstLine) + "\">\r\n";
    s += "\t\t<param name=\"Name\" value=\"" + VmlFormat_attr(noteName) + "\">\r\n";
    s += "\t\t<param name=\"Local\" value=\"" +
         VmlFormat_attr(VmlFormat_backslashes(StrX_makeRelative(ctx.outputPath, ctx.imageListBase))) +
         "\">\r\n";
    s += "\t\t</OBJECT>\r\n";
  }
}

void Text_Box::writeKeywordEntry(VmlWriteContext& ctx, const std::string& firstLine) const {
  const std::string main =
      ctx.exportFileName.empty() ? ctx.baseName + ".html" : ctx.exportFileName;
  // The anchor as the box names it (the ASCII form of the id for the web
  // server's names).
  std::string sub2 = id_.empty() ? "zerbin_vml_p" + number(ctx.pageNumber)
                                 : (ctx.lowerPath ? StrX_lowerAsciiCopy(id_) : id_);
  if (!id_.empty() && ctx.punycodeNames) StrX_punycodeName(sub2, id_, 1024);
  std::string& k = *ctx.keywordTreeFile;
  k += "<a href=\"" + VmlFormat_href("../" + main);
  k += "?f1=" + VmlFormat_href(ctx.baseName + ".files/" + ctx.baseName + "_tree.html");
  k += "&amp;sub1=zerbin_index_p" + number(ctx.pageNumber);
  k += "&amp;f2=" + VmlFormat_href(ctx.baseName + ".files/" + StrX_fileName(ctx.outputPath));
  k += "&amp;sub2=" + VmlFormat_href(sub2) + "\"";
  std::string text;
  StrX_htmlEscape(text, firstLine, 4096, 0);
  if (hasNonAscii(firstLine)) {
    std::string p;
    StrX_punycodeName(p, firstLine, 1024);
    k += " lower=\"" + VmlFormat_attr(StrX_lowerAsciiCopy(p)) + "\">" + text + "</a>\r\n";
  } else {
    k += ">" + text + "</a>\r\n";
  }
  if (firstLine == ctx.pageTitle || firstLine == ctx.noteTitle) ctx.titleInKeywordTree = true;
  if (firstLine == ctx.noteTitle) ctx.noteTitleInKeywordTree = true;
}
