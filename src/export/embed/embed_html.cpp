#include "export/embed/embed_html.h"

#include <cstdarg>
#include <cstdio>
#include <limits>
#include <optional>
#include <vector>

#include "core/errors/errors.h"
#include "core/filex/filex_open.h"
#include "core/filex/text_file.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "document/note/note_document.h"
#include "figures/base/cad_prim.h"
#include "figures/base/vml_format.h"

namespace {

void appendf(std::string& out, const char* format, ...) {
  char buf[2048];
  va_list args;
  va_start(args, format);
  const int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  if (n < 0) Errors_UNOFFICIAL();
  if (static_cast<size_t>(n) < sizeof buf) {
    out.append(buf, static_cast<size_t>(n));
    return;
  }
  std::string big(static_cast<size_t>(n) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(big.data(), big.size(), format, args);
  va_end(args);
  big.resize(static_cast<size_t>(n));
  out += big;
}

std::string attr(std::string_view text) { return StrX_htmlAttr(text); }
std::string body(std::string_view text) { return StrX_htmlText(text); }

// The content of a template file ("" when the path does not expand or the
// file cannot be read), ending with a line break when it is not empty.
std::string templateText(const EmbedHtmlHost& host, int layout, int part) {
  char name[64];
  std::snprintf(name, sizeof name, "%%script%%/html%d-script%d.txt", layout, part);
  std::string path = name;
  StrX_expandVariables(path, 1024, host.variables());
  if (path.find("%script%") != std::string::npos) return "";
  std::optional<std::string> text = TextFile_read(path);
  if (!text || text->empty()) return "";
  if (text->back() != '\n') *text += '\n';
  return *text;
}

const NotePage& pageOf(const NoteDocument& doc, int32_t number) {
  const NotePage* page = doc.page(number);
  if (!page) Errors_UNOFFICIAL();
  return *page;
}

// The page being edited (page 1 while none is).
const NotePage& editedPage(const NoteDocument& doc) {
  const NotePage* page = doc.currentPage();
  return page ? *page : pageOf(doc, 1);
}

// The contents of the document layout: the pages in list order, nested
// like the page tree.
void appendContents(std::string& out, const NoteDocument& doc, int32_t last) {
  out += "<UL>\n";
  for (int32_t n = 1; n <= last; ++n) {
    const NotePage& page = pageOf(doc, n);
    const int depth = doc.treeDepth(n);
    appendf(out, "%*s<LI><A href=\"#page%d\">[%d] %s</A>\n", depth * 2, "", n, n, body(page.title()).c_str());
    if (page.firstChild) appendf(out, "%*s<UL>\n", (depth + 1) * 2, "");
    const int next = n < last ? doc.treeDepth(n + 1) : 0;
    for (int level = depth; level > next; --level) appendf(out, "%*s</UL>\n", level * 2, "");
  }
  out += "</UL>\n";
}

}  // namespace

std::string EmbedHtml_frameText(const EmbedHtmlHost& host, std::string_view svgRef,
                                std::string_view title, int layout) {
  if (layout < EmbedHtml_wallpaper || layout > EmbedHtml_document) Errors_UNOFFICIAL();
  const NoteDocument& doc = host.document();
  const int32_t last = doc.lastPageNumber();
  const std::string src = attr(svgRef);
  std::string out;
  appendf(out, "<html>\n<head>\n<title>%s</title>\n\n", body(title).c_str());
  appendf(out, "<script language=\"JavaScript\"><!--\nvar  mPage=%d;\n", last);
  out += templateText(host, layout, 1);
  if (layout == EmbedHtml_wallpaper) {
    appendf(out, "<embed src=\"%s\" width=\"100%%\" height=\"100%%\" name=\"svg\">\n", src.c_str());
  } else if (layout == EmbedHtml_presentation) {
    const Canvas& canvas = editedPage(doc).settings();
    appendf(out, "<embed src=\"%s\" width=\"%dpx\" height=\"%dpx\" name=\"svg\">\n", src.c_str(), canvas.width(),
            canvas.height());
  } else {
    if (last > 1) {
      bool allNew = true;
      for (int32_t n = 1; n <= last; ++n) allNew = allNew && pageOf(doc, n).title() == "New Page";
      if (allNew) {
        out += "Page ";
        for (int32_t n = 1; n <= last; ++n) appendf(out, "<A href=\"#page%d\">[%d]</A> ", n, n);
        out += "<BR><BR>\n";
      } else {
        appendf(out, "<H3>%s</H3>\n\n<H4>目次</H4>\n", body(svgRef).c_str());
        appendContents(out, doc, last);
        out += "\n<H4>内容</H4>\n\n";
      }
    }
    for (int32_t n = 1; n <= last; ++n) {
      const Canvas& canvas = pageOf(doc, n).settings();
      if (n == 1) {
        appendf(out, "<NOBR><A name=\"page1\"><embed src=\"%s\" width=\"%dpx\" height=\"%dpx\" name=\"svg\"> 1</A></NOBR>\n",
                src.c_str(), canvas.width(), canvas.height());
      } else {
        appendf(out,
                "<NOBR><A name=\"page%d\"><embed src=\"%s\" width=\"%dpx\" height=\"%dpx\" name=\"svg%d\"> %d</A></NOBR>\n",
                n, src.c_str(), canvas.width(), canvas.height(), n, n);
      }
    }
  }
  out += templateText(host, layout, 2);
  return out;
}

void WriteFrameHtml(const EmbedHtmlHost& host, std::string_view htmlPath, std::string_view svgRef,
                    std::string_view title, int layout) {
  FileX_writeWhole(htmlPath, TextFile_toDisk(EmbedHtml_frameText(host, svgRef, title, layout)));
}

void WriteEmbedTag(const EmbedHtmlHost& host, std::string& text, size_t size, int form) {
  if (form != EmbedHtml_svgForm && form != EmbedHtml_imageForm) Errors_UNOFFICIAL();
  const NoteDocument& doc = host.document();
  const NotePage& page = editedPage(doc);
  const bool wrap = host.scriptWrapper();
  const std::string scriptStart = wrap ? "<SCRIPT><!--\r\n" : "";
  const std::string scriptEnd = wrap ? "//--></SCRIPT>\r\n" : "";
  const std::string lineStart = wrap ? "document.write('" : "";
  const std::string lineEnd = wrap ? "');" : "";
  auto quoted = [wrap](std::string_view piece) { return wrap ? VmlFormat_scriptString(piece) : std::string(piece); };

  std::string n = StrX_fileName(host.notePath());
  if (host.lowerPath()) StrX_lowerAscii(n);
  std::string b = n;
  StrX_changeExtension(b, "", b.size() + 1);
  const std::string N = quoted(attr(n));
  const std::string B = quoted(attr(b));
  const int32_t w = page.settings().width();
  const int32_t h = page.settings().height();

  std::string head;
  std::string tail;
  std::vector<const CadPrim*> linked;
  if (form == EmbedHtml_svgForm) {
    const bool ja = host.japanese();
    appendf(head,
            "%s%s<span title=\"%s %s\">%s\r\n%s<embed src=\"%s\" name=\"%s\" width=\"%d\" height=\"%d\" %stype=\"image/svg+xml\" pluginspage=\"%s\">%s\r\n%s</span>%s\r\n%s",
            scriptStart.c_str(), lineStart.c_str(),
            ja ? "この図を表示するには SVG ビューアが必要です。" : "Download SVG Viewer for looking at this figure.",
            ja ? EmbedHtml_viewerPageJa : EmbedHtml_viewerPageEn, lineEnd.c_str(), lineStart.c_str(), N.c_str(),
            B.c_str(), w, h, host.transparentBackground() ? "wmode=\"transparent\" " : "", EmbedHtml_viewerPageJa,
            lineEnd.c_str(), lineStart.c_str(), lineEnd.c_str(), scriptEnd.c_str());
  } else {
    // From the top-most figure to the bottom-most (the Canvas has no link).
    for (size_t i = page.figures.size(); i-- > 1;)
      if (!page.figures.at(i).GetUrl().empty()) linked.push_back(&page.figures.at(i));
    head = scriptStart;
    appendf(head, "%s<IMG src=\"%s.%s\" width=\"%d\" height=\"%d\"", lineStart.c_str(), B.c_str(), "png", w, h);
    if (!linked.empty()) appendf(head, " border=0 USEMAP=\"#%s\"", B.c_str());
    appendf(head, "/>%s\r\n", lineEnd.c_str());
    if (!linked.empty()) {
      appendf(head, "%s<MAP name=\"%s\">%s\r\n%s", lineStart.c_str(), B.c_str(), lineEnd.c_str(),
              lineStart.c_str());
      appendf(tail, "</MAP>%s\r\n", lineEnd.c_str());
    }
    tail += scriptEnd;
  }
  if (size == 0 || head.size() + tail.size() > size - 1) Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", &text);

  text = head;
  const std::string folder = StrX_parentFolder(host.notePath());
  for (const CadPrim* figure : linked) {
    std::string area;
    if (!figure->WriteImageMapArea(area, std::numeric_limits<size_t>::max(), folder)) continue;  // a kind without areas
    std::string piece = quoted(area) + lineEnd + "\r\n" + lineStart;
    // Never half an area: the map ends before the first that does not fit.
    if (text.size() + piece.size() + tail.size() > size - 1) break;
    text += piece;
  }
  text += tail;
}
