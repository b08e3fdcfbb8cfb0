// Rect_Ex: the VML element of the HTML export and the picture part of the
// MHTML archive.
//
// A linked figure is wrapped in an A element; a named one carries an A
// anchor inside its element.  A picture is copied behind the attachment
// folder as "NN/imageMM.ext" (page number, index) and referred to by that
// name; in an MHTML archive the same name is the part's Content-Location.
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/strx/strx_escape.h"
#include "core/strx/strx_fields.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_base64.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/base/vml_format.h"
#include "figures/base/vml_write_context.h"
#include "figures/rect/rect_ex.h"

namespace {

// The picture shown: the working copy of an embedded picture, else the
// picture's own path.
const std::string& picturePath(const Rect_Ex& r) {
  return r.embedImage ? r.workImagePath : r.imagePath;
}

std::string pictureName(const VmlWriteContext& ctx, int32_t index, const std::string& picture) {
  return RectEx_pictureExportName(ctx.pageNumber, index, picture, ctx.lowerPath);
}

// The attachment folder without its final separator.
std::string attachFolder(const VmlWriteContext& ctx) {
  std::string f = ctx.attachFolderPath;
  if (!f.empty() && (f.back() == '/' || f.back() == '\\')) f.pop_back();
  return f;
}

// The link is kept when it is a URL or names an existing file.
bool linkable(const std::string& url, const VmlWriteContext& ctx) {
  if (url.empty()) return false;
  if (StrX_isUrl(url)) return true;
  std::string path;
  StrX_makeAbsolute(path, url, StrX_parentFolder(ctx.noteOfLinks()));
  return FileX_existsIgnoringFragment(path);
}

}  // namespace

std::string RectEx_pictureExportName(int32_t pageNumber, int32_t index, std::string_view picture, bool lower) {
  // The extension up to its first byte that is not a letter or a digit: a
  // file name may hold anything, the copy's name (an archive's header) not.
  std::string ext;
  for (char c : StrX_extension(picture)) {
    if (ext.size() == 8 || !((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) break;
    ext += c;
  }
  if (ext.empty()) ext = "jpg";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%02d/image%02d.", pageNumber, index);
  std::string name = buf + ext;
  return lower ? StrX_lowerAsciiCopy(name) : name;
}

void Rect_Ex::WriteVml(VmlWriteContext& ctx, int32_t index) const {
  if (shape == RectShape_Parallelogram) return;
  const int32_t top = Figure_toInt32(int64_t{y} + ctx.verticalOffset);

  // 1. The link.
  std::string H;
  const bool linked = linkable(url, ctx) && VmlFormat_rewrite(H, url, "", ctx) == 1;
  if (linked) {
    ctx.printf("<A href=\"%s\"", VmlFormat_href(H).c_str());
    if (ctx.linkListFile) {
      std::string abs;
      StrX_makeAbsolute(abs, H, StrX_parentFolder(ctx.notePath));
      char num[16];
      std::snprintf(num, sizeof num, "%d", ctx.pageNumber);
      *ctx.linkListFile += StrX_csvQuote(abs, '\0', true) + ", " + StrX_csvQuote(GetTarget(), '\0', true) +
                           ", ←, \"(image)\", " + num + ", " + StrX_csvQuote(ctx.noteOfLinks(), '\0', true) +
                           "\r\n";
    }
    ctx.put(VmlFormat_target(ctx, H, target));
    ctx.put(">\r\n");
  }

  // 2. The anchor of a named figure.
  std::string anchor, closing;
  if (!id.empty()) {
    anchor = "<A name=\"" + VmlFormat_attr(id) + "\">\r\n";
    closing = "</A>";
    if (ctx.anchorListFile) {
      char num[16];
      std::snprintf(num, sizeof num, "%d", ctx.pageNumber);
      *ctx.anchorListFile +=
          StrX_csvQuote(ctx.outputPath + "#" + id, '\0', true) + ", " + num + ", \"(image)\"\r\n";
    }
  }

  // 3. The element.
  const bool reduce =
      (shape == RectShape_Rectangle || shape == RectShape_RoundRect) && strokeWidth == 0;
  auto style = [&](int32_t w, int32_t h) {
    ctx.printf(" margin-left:%dpx; margin-top:%dpx; width:%dpx; height:%dpx;", x, top, w, h);
    if (angle != 0) ctx.printf(" rotation:%d;", angle);
    if (linked) ctx.put(" cursor:hand;");
    ctx.put('"');
  };
  auto boxColours = [&] {
    ctx.printf(" fillcolor=\"%s\"", VmlFormat_rgb(fillColour).c_str());
    if (strokeWidth != 0)
      ctx.printf(" strokecolor=\"%s\" strokeweight=\"%dpt\"", VmlFormat_rgb(strokeColour).c_str(),
                 strokeWidth);
    else if (opacity != 0)
      ctx.printf(" strokecolor=\"%s\" strokeweight=\"1pt\"", VmlFormat_rgb(fillColour).c_str());
    else
      ctx.put(" stroked=\"false\"");
  };
  auto shapeColours = [&] {
    ctx.printf(" fillcolor=\"%s\" strokecolor=\"%s\"", VmlFormat_rgb(fillColour).c_str(),
               VmlFormat_rgb(strokeColour).c_str());
    if (strokeWidth != 0)
      ctx.printf(" strokeweight=\"%dpt\"", strokeWidth);
    else
      ctx.put(" stroked=\"false\"");
  };
  // The endings of shapes 1-3; `gap` is the line break after the fill.
  auto ending = [&](const char* tag, const char* gap) {
    if (opacity == 100) {
      if (!anchor.empty())
        ctx.printf(">\r\n%s%s</%s>", anchor.c_str(), closing.c_str(), tag);
      else
        ctx.put("/>");
    } else {
      ctx.printf(">\r\n%s<v:fill opacity=\"0.%02d%%\"/>%s%s</%s>", anchor.c_str(), opacity, gap,
                 closing.c_str(), tag);
    }
  };
  const int32_t w = reduce ? width - 1 : width;
  const int32_t h = reduce ? height - 1 : height;
  switch (shape) {
    case RectShape_RoundRect:
      ctx.put("<v:roundrect style=\"position:absolute;");
      style(w, h);
      ctx.printf(" arcsize=\"%f\"", 20.0 / (height != 0 ? height : 1));
      boxColours();
      ending("v:roundrect", "\r\n");
      break;
    case RectShape_Ellipse:
      ctx.put("<v:oval style=\"position:absolute;");
      style(width, height);
      shapeColours();
      ending("v:oval", "\r\n");
      break;
    case RectShape_Diamond:
      ctx.put("<v:shape style=\"position:absolute;");
      style(width, height);
      shapeColours();
      ctx.put(">\r\n");
      ctx.put(anchor);
      if (opacity != 100) ctx.printf("<v:fill opacity=\"0.%02d%%\"/>\r\n", opacity);
      ctx.put("<v:path v=\"m 500,0 l 999,500, 500,999, 0,500 x e\"/>\r\n");
      ctx.put(closing);
      ctx.put("</v:shape>");
      break;
    case RectShape_Image: {
      const std::string& P = picturePath(*this);
      const std::string name = pictureName(ctx, index, P);
      if (!ctx.mhtmlMode) {
        const std::string copy = attachFolder(ctx) + "/" + name;
        FileX_copyByContent(copy, P);
        if (ctx.imageListFile)
          *ctx.imageListFile += VmlFormat_backslashes(StrX_makeRelative(copy, ctx.imageListBase)) + "\r\n";
      }
      ctx.printf("<v:image src=\"%s\"\r\n", VmlFormat_href(name).c_str());
      ctx.put("   style=\"position:absolute;");
      style(width, height);
      if (!anchor.empty())
        ctx.printf(">\r\n%s%s</v:image>", anchor.c_str(), closing.c_str());
      else
        ctx.put("/>");
      break;
    }
    default:
      ctx.put("<v:rect style=\"position:absolute;");
      style(w, h);
      boxColours();
      ending("v:rect", "");
      break;
  }

  // 4. The closing.
  if (linked) ctx.put("</A>");
  ctx.put("\r\n");
  if (!id.empty()) {
    const int32_t bottom = Figure_toInt32(int64_t{top} + height);
    if (bottom > ctx.contentBottom) ctx.contentBottom = bottom;
  }
}

void Rect_Ex::WriteMhtmlPart(MhtmlWriteContext& ctx, int32_t index) const {
  if (shape != RectShape_Image) return;
  const std::string& P = picturePath(*this);
  ctx.put("------=_NextPart_<Zerbin>\r\n");
  ctx.put("Content-Type: image/jpeg\r\n");
  ctx.put("Content-Transfer-Encoding: base64\r\n");
  ctx.printf("Content-Location: %s \r\n", StrX_mimeHeaderValue(pictureName(ctx, index, P)).c_str());
  ctx.put("\r\n");
  ctx.put(StrX_base64Encode(FileX_readWhole(P)));
  // Blank lines only after the Base64 lines: a line holding a space is
  // taken as part of the Base64 text, and browsers then drop the archive.
  ctx.put("\r\n\r\n\r\n");
}
