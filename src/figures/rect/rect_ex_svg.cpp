// Rect_Ex: the SVG element of the note file.
//
// Written in this order: a group wrapper for script, "#" and published
// figures; the link element; the shape; its style and rotation; the closing
// elements.  An image refers to its picture by a relative path or carries
// it embedded as Base64.
#include <cstdint>
#include <string>

#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_base64.h"
#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"
#include "figures/rect/rect_ex.h"

namespace {

int32_t half(int64_t v) { return Figure_toInt32(v / 2); }
int32_t sum(int64_t a, int64_t b) { return Figure_toInt32(a + b); }

// v rounded up to an even number.
int64_t evenUp(int64_t v) { return v % 2 != 0 ? v + 1 : v; }

bool existingFile(const std::string& path) { return !path.empty() && FileX_exists(path); }

// The picture as Base64 lines of 76 characters, each full line ended by a
// line break; the last, shorter line has none.
std::string base64Lines(const std::string& path) {
  const std::string crlf = StrX_base64Encode(FileX_readWhole(path));
  std::string out;
  out.reserve(crlf.size());
  for (char c : crlf)
    if (c != '\r') out += c;
  return out;
}

}  // namespace

void Rect_Ex::WriteSvg(SvgWriteContext& ctx) const {
  const std::string& L = url;
  const std::string_view F = SvgFormat_linkTail(L);
  // The script test looks at the whole link: a script may hold slashes.
  const bool script = SvgFormat_isScript(L);
  const bool hashLink = !F.empty() && F[0] == '#';
  const bool wrapper = script || hashLink || !pub.empty();

  // 1. The group wrapper.
  if (wrapper) {
    ctx.put("\t<g");
    if (!id.empty()) ctx.printf(" id=\"%s\"", SvgFormat_escapeAttr(id).c_str());
    if (hashLink) ctx.printf(" href=\"%s\"", SvgFormat_escapeAttr(F).c_str());
    if (!pub.empty()) ctx.printf(" pub=\"%s\"", SvgFormat_escapeAttr(pub).c_str());
    if (script)
      ctx.printf(" onclick=\"%s\"", SvgFormat_escapeAttr(SvgFormat_scriptBody(L)).c_str());
    if (ctx.linkedPage > 0) ctx.printf(" onclick=\"chgPage( evt, %d )\"", ctx.linkedPage);
    ctx.put(">\n");
  }
  const std::string idText =
      !wrapper && !id.empty() ? " id=\"" + SvgFormat_escapeAttr(id) + "\"" : std::string();

  // 2. The link element.
  if (!L.empty()) {
    if (script || hashLink) {
      ctx.put("<a>\n");
    } else {
      const SvgHref href = SvgFormat_linkHref(L, ctx);
      ctx.printf("\t<a xlink:href=\"%s\"", href.href.c_str());
      if (href.changed) ctx.printf(" zerbin_vhref=\"%s\"", SvgFormat_escapeAttr(L).c_str());
      if (!target.empty()) ctx.printf(" target=\"%s\"", SvgFormat_escapeAttr(target).c_str());
      ctx.put(SvgFormat_afterClickAttributes(afterClick));
      ctx.put(">\n");
    }
  }

  // 3. The shape.
  const int64_t w = width, h = height;
  switch (shape) {
    case RectShape_RoundRect:
      ctx.printf("\t<rect%s x=\"%d.5\" y=\"%d.5\" width=\"%d\" height=\"%d\" rx=\"10\" ry=\"10\"\n",
                 idText.c_str(), x, y, width, height);
      break;
    case RectShape_Ellipse:
      if (width == height)
        ctx.printf("\t<circle%s cx=\"%d.5\" cy=\"%d.5\" r=\"%d\"\n", idText.c_str(), sum(x, w / 2),
                   sum(y, h / 2), half(w));
      else
        ctx.printf("\t<ellipse%s cx=\"%d.5\" cy=\"%d.5\" rx=\"%d\" ry=\"%d\"\n", idText.c_str(),
                   sum(x, w / 2), sum(y, h / 2), half(w), half(h));
      break;
    case RectShape_Diamond: {
      const int64_t W = evenUp(w), H = evenUp(h);
      ctx.printf("\t<polygon%s points=\"%d.5,%d.5 %d.5,%d.5 %d.5,%d.5 %d.5,%d.5\"\n",
                 idText.c_str(), sum(x, W / 2), y, sum(x, W), sum(y, H / 2), sum(x, W / 2),
                 sum(y, H), x, sum(y, H / 2));
      break;
    }
    case RectShape_Parallelogram: {
      const int64_t J = h / 4;
      ctx.printf("\t<polygon%s points=\"%d.5,%d.5 %d.5,%d.5 %d.5,%d.5 %d.5,%d.5\"\n",
                 idText.c_str(), sum(x, J), y, sum(x, w + J), y, sum(x, w - J), sum(y, h),
                 sum(x, -J), sum(y, h));
      break;
    }
    case RectShape_Image: {
      ctx.printf("\t<image%s x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"", idText.c_str(), x, y,
                 width, height);
      const std::string* source = nullptr;
      if (embedImage) {
        if (existingFile(imagePath))
          source = &imagePath;
        else if (existingFile(workImagePath))
          source = &workImagePath;
      }
      if (source) {
        ctx.put(" xlink:href=\"data:;base64,\n");
        ctx.put(base64Lines(*source));
        ctx.put('"');
      } else {
        ctx.printf(" xlink:href=\"%s\"",
                   SvgFormat_escapeAttr(SvgFormat_relativePath(imagePath, ctx)).c_str());
      }
      break;
    }
    default:
      ctx.printf("\t<rect%s x=\"%d.5\" y=\"%d.5\" width=\"%d\" height=\"%d\"\n", idText.c_str(), x,
                 y, width, height);
      break;
  }

  // 4. The style (pictures have none).
  if (shape != RectShape_Image)
    ctx.printf("\t\tstyle=\"fill:%s;stroke:%s;stroke-width:%d%s\"",
               SvgFormat_rgb(fillColour).c_str(), SvgFormat_rgb(strokeColour).c_str(), strokeWidth,
               SvgFormat_opacitySuffix(opacity).c_str());

  // 5. The rotation about the centre.
  ctx.put(SvgFormat_rotation(angle, sum(x, w / 2), sum(y, h / 2)));

  // 6. The closing elements.
  ctx.put("/>\n");
  if (!L.empty()) ctx.put("\t</a>\n");
  if (wrapper) ctx.put("\t</g>\n");
}
