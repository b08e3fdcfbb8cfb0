#include "document/writer/note_layout.h"

#include "document/reader/note_reader_pages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "figures/base/svg_format.h"

namespace {

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendf(std::string& out, const char* format, ...) {
  char buf[512];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (n > 0) out.append(buf, std::min(static_cast<size_t>(n), sizeof buf - 1));
}

const char* canvasTypeName(int32_t type) {
  switch (type) {
    case 1: return "workspace";
    case 2: return "document";
    case 3: return "menu";
    case 4: return "desktop";
    default: return nullptr;
  }
}

}  // namespace

// The same escape as every attribute the figures write.
std::string NoteLayout_attr(std::string_view value) { return SvgFormat_escapeAttr(value); }

void NoteLayout_writePrologue(std::string& out, bool wide) {
  appendf(out, "<?xml version=\"1.0\" encoding=\"utf-%d\"?>\n\n", wide ? 16 : 8);
  out += "<!DOCTYPE svg PUBLIC \"";
  out += NoteLayout_svgPublicId;
  out += "\"\n\t\"";
  out += NoteLayout_svgSystemId;
  out += "\">\n\n";
}

NotePageSize NoteLayout_rootSize(const std::vector<NotePageSize>& pages) {
  int64_t widest = 1;
  int64_t height = 10;
  for (const NotePageSize& p : pages) {
    if (p.width >= NoteLayout_sizeLimit || p.height >= NoteLayout_sizeLimit) Errors_UNOFFICIAL();
    widest = std::max<int64_t>(widest, p.width);
    height += p.height + 10;
  }
  return {static_cast<int32_t>(widest + 20), static_cast<int32_t>(height)};
}

void NoteLayout_writeRoot(std::string& out, const NoteRootInfo& root) {
  out += "<svg sub_doctype=\"zerbin-300\"";
  if (const char* type = canvasTypeName(root.canvasType)) {
    out += " zerbin_canvas_type=\"";
    out += type;
    out += '"';
  }
  appendf(out, "\n width=\"%05d\" height=\"%05d\" ", root.width, root.height);
  if (root.ordinaryPages >= 2) appendf(out, "onload=\"svg_onload( evt, %d );\"\n", root.pageInterval);
  appendf(out, " %s=\"00000 00000 %05d %05d\" preserveAspectRatio=\"xMidYMid meet\"",
          root.fixedZoom ? "__viewBox" : "viewBox", root.width, root.height);
  out += "\n xmlns=\"";
  out += NoteLayout_svgNamespace;
  out += "\" xmlns:xlink=\"";
  out += NoteLayout_xlinkNamespace;
  out += "\"\n";
  out += " uuid=\"{" + root.uuidText + "}\"";
  if (root.singleRecord) {
    if (!root.corrImage.empty()) out += " corr-image=\"" + NoteLayout_attr(root.corrImage) + "\"";
    if (!root.pageClass.empty())
      out += " zerbin_page_class=\"" + NoteLayout_attr(root.pageClass) + "\"";
    if (!root.pagePub.empty()) out += " zerbin-pub=\"" + NoteLayout_attr(root.pagePub) + "\"";
  }
  if (!root.filePub.empty()) out += " zerbin-file-pub=\"" + NoteLayout_attr(root.filePub) + "\"";
  out += ">\n\n";
}

void NoteLayout_writePageScript(std::string& out, int32_t ordinaryPages, std::string_view script) {
  out += "<script type=\"text/ecmascript\">\n<![CDATA[\n";
  appendf(out, "var  mPage=%d;\n", ordinaryPages);
  out += script;
  out += "]]>\n</script>\n\n";
}

void NoteLayout_writePageGroupStart(std::string& out, const NotePageGroupInfo& page) {
  if (page.backPage)
    out += "<g id=\"backpage\" ";
  else
    appendf(out, "<g id=\"page%d\" ", page.number);
  if (!page.id2.empty()) out += "id2=\"" + NoteLayout_attr(page.id2) + "\" ";
  appendf(out, "width=\"%d\" height=\"%d\" transform=\"translate(+10,+%d)\"", page.width,
          page.height, page.offset);
  if (!page.corrImage.empty()) out += " corr-image=\"" + NoteLayout_attr(page.corrImage) + "\"";
  if (!page.pageClass.empty())
    out += " zerbin_page_class=\"" + NoteLayout_attr(page.pageClass) + "\"";
  if (!page.pagePub.empty()) out += " zerbin-pub=\"" + NoteLayout_attr(page.pagePub) + "\"";
  out += ">\n";
}

void NoteLayout_writeBounds(std::string& out, int32_t w, int32_t h) {
  const char* format =
      "<line class=\"page_bound\" x1=\"%s\" y1=\"%s\" x2=\"%s\" y2=\"%s\" "
      "style=\"stroke:rgb(0,0,0);stroke-width:1\"/>\n";
  const std::string wh = std::to_string(w) + ".5";
  const std::string hh = std::to_string(h) + ".5";
  appendf(out, format, "-0.5", "-0.5", wh.c_str(), "-0.5");         // top
  appendf(out, format, "-0.5", "-0.5", "-0.5", hh.c_str());         // left
  appendf(out, format, wh.c_str(), "-0.5", wh.c_str(), hh.c_str()); // right
  appendf(out, format, "-0.5", hh.c_str(), wh.c_str(), hh.c_str()); // bottom
}

void NoteLayout_writePageTitles(std::string& out, const std::vector<NotePageTitle>& pages) {
  out += "<zerbin-pages>\n";
  std::vector<int32_t> open;  // levels of the pages whose elements are open
  auto closeTo = [&](int32_t level) {
    while (!open.empty() && open.back() >= level) {
      out.append(static_cast<size_t>(open.back()) + 1, '\t');
      out += "</zerbin-page>\n";
      open.pop_back();
    }
  };
  for (size_t i = 0; i < pages.size(); ++i) {
    const NotePageTitle& p = pages[i];
    const int32_t level = std::max<int32_t>(0, p.level);
    closeTo(level);
    const bool hasChildren = i + 1 < pages.size() && pages[i + 1].level > level;
    out.append(static_cast<size_t>(level) + 1, '\t');
    appendf(out, "<zerbin-page num=\"%d\" title=\"", p.number);
    // An empty title is read back as "Page": the file says so itself, so
    // that a note read and written again keeps its bytes.
    out += NoteLayout_attr(p.title.empty() ? std::string(NoteReader_defaultTitle) : p.title);
    out += hasChildren ? "\">\n" : "\"/>\n";
    if (hasChildren) open.push_back(level);
  }
  closeTo(0);
  out += "</zerbin-pages>\n";
}

std::string NoteLayout_placeholderDocument() {
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-16\"?>\r\n\r\n<!DOCTYPE svg PUBLIC \"";
  text += NoteLayout_svgPublicId;
  text += "\"\r\n  \"";
  text += NoteLayout_svgSystemId;
  text += "\">\r\n\r\n<svg width=\"00294\" height=\"00100\" xmlns=\"";
  text += NoteLayout_svgNamespace;
  text += "\">\r\n  <text x=\"28.5px\" y=\"40.5px\">（非公開情報のためカットされました）</text>\r\n</svg>\r\n";
  const std::u16string wide = Cp932_toUtf16(text);
  std::string bytes = "\xFF\xFE";
  bytes.reserve(2 + wide.size() * 2);
  for (char16_t u : wide) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}
