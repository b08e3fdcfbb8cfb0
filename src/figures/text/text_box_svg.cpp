// Text_Box: the SVG elements of the note file.
//
// A group wrapper (for a frame, a script or a "#" link) holds the link
// element, the frame shape and the text element; the lines after the first
// become tspans.  Nothing here measures: the writer lays the page out
// before it writes (FigureList_prepareForWrite), and a box without a
// layout is written with the frame and numbers it holds.
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"
#include "figures/text/text_box.h"
#include "figures/text/text_box_geometry.h"

namespace {

const char* anchorName(int32_t alignment) {
  return alignment == 1 ? "middle" : alignment == 2 ? "end" : "start";
}

int32_t I(int64_t v) { return Figure_toInt32(v); }

}  // namespace

void Text_Box::WriteSvg(SvgWriteContext& ctx) const {
  const std::string& L = url_;
  const std::string_view F = SvgFormat_linkTail(L);
  const bool script = SvgFormat_isScript(L);
  const bool hashLink = !F.empty() && F[0] == '#';
  const int32_t K = std::abs(frameShape);
  const bool wrapper = K != 0 || script || hashLink;

  // The identity attributes: on the wrapper, else on the text element.
  std::string identity;
  auto add = [&](const char* name, const std::string& value) {
    if (value.empty()) return;
    identity += ' ';
    identity += name;
    identity += "=\"";
    identity += SvgFormat_escapeAttr(value);
    identity += '"';
  };
  add("id", id_);
  add("class", className);
  add("pub", pub_);
  add("zerbin_formula", condition.text);
  add("zerbin_variables", filterText);

  // 1. The group wrapper.  A wrapper whose id reads as an ink group and
  // that carries nothing else gets a mark, so that it is read as a figure.
  if (wrapper) {
    ctx.put("\t<g");
    ctx.put(identity);
    if (id_ == SvgFormat_inkGroupId && identity.size() == std::strlen(" id=\"zerbin-ink\"") &&
        !script)
      ctx.put(" zerbin-figure=\"1\"");
    if (script)
      ctx.printf(" onclick=\"%s\"", SvgFormat_escapeAttr(SvgFormat_scriptBody(L)).c_str());
    ctx.put(">\n");
  }

  // 2. The link element.
  if (!L.empty()) {
    ctx.put("\t<a");
    if (ctx.linkTable && ctx.rewriteLink) {
      std::string rewritten;
      if (ctx.rewriteLink(rewritten, L, text_, ctx) == 1) {
        std::string href = SvgFormat_escapeAttr(rewritten);
        StrX_trim(href);
        ctx.printf(" xlink:href=\"%s\"", href.c_str());
      }
    } else {
      const SvgHref href = SvgFormat_linkHref(L, ctx);
      ctx.printf(" xlink:href=\"%s\"", href.href.c_str());
      if (href.changed) ctx.printf(" zerbin_vhref=\"%s\"", SvgFormat_escapeAttr(L).c_str());
      if (ctx.linkedPage > 0) ctx.printf(" onclick=\"chgPage( evt, %d )\"", ctx.linkedPage);
    }
    if (!target_.empty()) ctx.printf(" target=\"%s\"", SvgFormat_escapeAttr(target_).c_str());
    ctx.put(SvgFormat_afterClickAttributes(afterClick));
    if (attachedFile_) ctx.put(" zerbin-file=\"1\"");
    ctx.put(">\n");
  }

  // 3. The frame.
  if (K != 0) {
    TextBoxFrameBounds b = bounds;
    if (!(layoutFlags & TextBox_boundsValid) && HasLayout()) b = computeBounds();
    const int64_t l = b.left, t = b.top, r = b.right, bo = b.bottom;
    const int32_t frameAngle = angle + (vertical ? 90 : 0);
    if (frameAngle != 0)
      ctx.printf("\t<g transform=\"rotate(%d,%d,%d)\">\n", frameAngle, baseX_, baseY_);
    switch (K) {
      case TextBoxFrame_RoundRect:
        ctx.printf("\t<rect x=\"%d.5\" y=\"%d.5\" width=\"%d\" height=\"%d\" rx=\"10\" ry=\"10\"\n",
                   b.left, b.top, I(r - l), I(bo - t));
        break;
      case TextBoxFrame_Ellipse:
        // The centre as the rectangle writes it (x + w / 2), which the
        // reader takes back to the same frame on either side of 0.
        if (r - l == bo - t)
          ctx.printf("\t<circle cx=\"%d.5\" cy=\"%d.5\" r=\"%d\"\n", I(l + (r - l) / 2),
                     I(t + (bo - t) / 2), I((r - l) / 2));
        else
          ctx.printf("\t<ellipse cx=\"%d.5\" cy=\"%d.5\" rx=\"%d\" ry=\"%d\"\n",
                     I(l + (r - l) / 2), I(t + (bo - t) / 2), I((r - l) / 2), I((bo - t) / 2));
        break;
      case TextBoxFrame_Diamond: {
        // An odd sum moves the centre and the right and bottom corners by
        // its remainder, so that the points stay whole.
        const int64_t p = (l + r) % 2, q = (t + bo) % 2;
        const int64_t cx = (l + r + p) / 2, cy = (t + bo + q) / 2;
        ctx.printf("\t<polygon points=\"%d.5,%d.5 %d.5,%d.5 %d.5,%d.5 %d.5,%d.5\"\n", I(cx), I(t),
                   I(r + p), I(cy), I(cx), I(bo + q), I(l), I(cy));
        break;
      }
      case TextBoxFrame_Parallelogram: {
        const int64_t J = (bo - t) / 4;
        ctx.printf("\t<polygon points=\"%d.5,%d.5 %d.5,%d.5 %d.5,%d.5 %d.5,%d.5\"\n", I(l + J),
                   I(t), I(r + J), I(t), I(r - J), I(bo), I(l - J), I(bo));
        break;
      }
      default:
        ctx.printf("\t<rect x=\"%d.5\" y=\"%d.5\" width=\"%d\" height=\"%d\"\n", b.left, b.top,
                   I(r - l), I(bo - t));
        break;
    }
    ctx.printf("\t\tstyle=\"fill:%s;stroke:%s;stroke-width:%d%s\"",
               SvgFormat_rgb(fillColour).c_str(), SvgFormat_rgb(frameColour).c_str(), frameWidth,
               SvgFormat_opacitySuffix(opacity).c_str());
    if (vertical)
      ctx.printf(" transform=\"translate(%d,%d)\"", 2, lineHeight16 / 32 - descent16 / 16);
    ctx.put("/>\n");
    if (frameAngle != 0) ctx.put("\t</g>\n");
  }

  // 4. The text element's start tag.
  ctx.put("\t<text");
  if (!wrapper) ctx.put(identity);
  if (alarmSet) ctx.printf(" zerbin-alarm=\"%s\"", SvgFormat_alarmText(alarmTime).c_str());
  ctx.printf(" x=\"%d.5px\" y=\"%d.5px\"", baseX_, baseY_);
  ctx.printf(" style=\"fill:%s;font-family:%s;font-size:%dpt;%s%stext-anchor:%s\"",
             SvgFormat_rgb(textColour).c_str(),
             SvgFormat_escapeAttr(SvgFormat_fontFamilyForFile(fontFace)).c_str(),
             fontSize, bold ? "font-weight:bold;" : "", italic ? "font-style:italic;" : "",
             anchorName(alignment));
  ctx.put(SvgFormat_rotation(angle, baseX_, baseY_));
  if (vertical) ctx.put(" writing-mode=\"tb\"");
  if (tabOrder > 0) ctx.printf(" zerbin-tab-order=\"%d\"", tabOrder);
  ctx.put(" xml:space=\"preserve\">");

  // 5. The lines; a "pagenum" box shows the number of the page written.
  const std::vector<std::string_view> lines = TextBox_splitLines(text_);
  const std::string pageNumber = std::to_string(ctx.pageNumber);
  ctx.put(SvgFormat_escapeText(id_ == "pagenum" ? std::string_view(pageNumber) : lines[0]));
  for (size_t k = 1; k < lines.size(); ++k) {
    const int64_t step = int64_t{lineSpacing} * static_cast<int64_t>(k);
    const int32_t lx = vertical ? I(baseX_ - step) : baseX_;
    const int32_t ly = vertical ? baseY_ : I(baseY_ + step);
    ctx.printf("%s<tspan x=\"%d.5px\" y=\"%d.5px\" xml:space=\"preserve\">%s</tspan>",
               k == 1 ? "" : "\n\t", lx, ly, SvgFormat_escapeText(lines[k]).c_str());
  }

  // 6. The closing elements.
  ctx.put("</text>\n");
  if (!L.empty()) ctx.put("\t</a>\n");
  if (wrapper) ctx.put("\t</g>\n");
}

// The clickable area of a linked box in a page image's map: the frame,
// right and bottom one past the edge.  Nothing is appended when the box has
// no link or the area does not fit in size - 1 bytes.
bool Text_Box::WriteImageMapArea(std::string& dst, size_t size,
                                 std::string_view baseFolder) const {
  if (url_.empty()) return false;
  const TextBoxFrameBounds b = FrameBounds();
  const std::string href = baseFolder.empty() ? url_ : StrX_makeRelative(url_, baseFolder);
  std::string area = "<AREA shape=\"rect\" coords=\"" + std::to_string(b.left) + "," +
                     std::to_string(b.top) + "," + std::to_string(int64_t{b.right} + 1) + "," +
                     std::to_string(int64_t{b.bottom} + 1) + "\" href=\"" +
                     SvgFormat_escapeAttr(href) + "\"";
  if (!target_.empty()) area += " target=\"" + SvgFormat_escapeAttr(target_) + "\"";
  area += "/>";
  if (size == 0 || area.size() > size - 1) return false;
  dst += area;
  return true;
}
