#include "figures/base/vml_format.h"

#include "core/strx/strx_escape.h"

#include <cstdio>

#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "figures/base/geometry.h"

std::string VmlFormat_rgb(Colour colour) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", colour & 0xFF, (colour >> 8) & 0xFF,
                (colour >> 16) & 0xFF);
  return buf;
}

std::string VmlFormat_attr(std::string_view text) { return StrX_htmlAttr(text); }

std::string VmlFormat_href(std::string_view text) { return StrX_htmlHref(text); }

int VmlFormat_rewrite(std::string& href, std::string_view link, std::string_view figureText,
                      VmlWriteContext& ctx) {
  if (ctx.rewriteLink) return ctx.rewriteLink(href, link, figureText, ctx);
  href.assign(link);
  return 1;
}

std::string VmlFormat_target(const VmlWriteContext& ctx, std::string_view href,
                             std::string_view target) {
  if (target.empty() || (ctx.keepBlankTarget && target == "_blank")) {
    if (!StrX_isUrl(href)) return "";
    return ctx.preferNewWindow ? " target=\"_blank\"" : " target=\"_top\"";
  }
  if (ctx.preferNewWindow && target == "_top") return " target=\"_blank\"";
  return " target=\"" + VmlFormat_attr(target) + "\"";
}

int32_t VmlFormat_muldiv(int64_t a, int64_t b, int64_t c) {
  if (c == 0) c = 1;
  return Figure_toInt32(a * b / c);
}

std::string VmlFormat_backslashes(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string VmlFormat_scriptString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const size_t n = Cp932_charLen(text, i);
    if (n == 1 && (text[i] == '\\' || text[i] == '\'')) out += '\\';
    out.append(text.substr(i, n));
    i += n;
  }
  return out;
}
