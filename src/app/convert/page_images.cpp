#include "app/convert/page_images.h"

#include <algorithm>
#include <vector>

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "figures/base/app_counters.h"
#include "view/render/page_image.h"

namespace {

// The pages chosen by "-page=" (a range, one number, or page names), as
// flags for the pages 1 ... L.  `names` receives the names asked for.
std::vector<bool> selectPages(const NoteDocument& doc, const CZerbinApp_Options& o,
                              std::string& names) {
  const int32_t last = doc.lastPageNumber();
  std::vector<bool> selected(static_cast<size_t>(std::max(last, 0)) + 1, false);
  if (last < 1) return selected;
  if (o.hasPage && !o.pageName.empty()) {
    names = o.pageName;
    size_t at = 0;
    while (at < names.size()) {
      size_t end = names.find(' ', at);
      if (end == std::string::npos) end = names.size();
      if (end > at) {
        const int32_t n = doc.FindPageByName(std::string_view(names).substr(at, end - at));
        if (n >= 1 && n <= last) selected[static_cast<size_t>(n)] = true;
      }
      at = end + 1;
    }
    return selected;
  }
  int32_t first = 1, to = last;
  if (o.hasPage) {
    first = std::clamp(o.pageFirst, 1, last);
    to = std::clamp(o.pageLast, 1, last);
    if (first > to) std::swap(first, to);
  }
  for (int32_t p = first; p <= to; ++p) selected[static_cast<size_t>(p)] = true;
  return selected;
}

PageImageOptions imageOptions(const CZerbinApp_Options& o) {
  PageImageOptions options;
  View_defaultImageOptions(options);
  options.limitSize = o.maxSizeGiven;
  options.maxWidth = o.maxWidth;
  options.maxHeight = o.maxHeight;
  options.useMinZoom = o.minZoomGiven;
  options.minZoom = o.minZoom;
  options.maxFolds = o.maxFold;
  return options;
}

// "a/b.png" -> "a/b (2,3).png".
std::string tileName(const std::string& path, int32_t outer, int32_t inner) {
  std::string base = path;
  const std::string ext = StrX_extension(path);
  StrX_changeExtension(base, "", base.size() + 1);
  return base + " (" + std::to_string(outer) + "," + std::to_string(inner) + ")." + ext;
}

// A page of the HTML index: its title, its first image and the areas of
// its linked figures.
struct IndexPage {
  int32_t number = 0;
  std::string title;
  std::string image;
  std::vector<std::string> areas;
};

std::string escapeHtml(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    // A lead byte takes its trail byte with it (0x5C can be a trail byte).
    if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
      out += text[i];
      if (i + 1 < text.size()) out += text[++i];
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += text[i];
    }
  }
  return out;
}

// The index beside the images: a table of contents, then each page's image
// with its clickable map.
void writeIndex(const std::string& path, const std::string& baseName,
                const std::vector<IndexPage>& pages) {
  const std::string base = escapeHtml(baseName);
  std::string h;
  h += "<html>\r\n<head>\r\n<title>" + base + "</title>\r\n\r\n</head>\r\n";
  h += "<BODY bgcolor=#DDDDDD>\r\n\r\n<P>\r\n";
  h += "<TABLE width=90% bgcolor=#FFFFFF><TR><TD valign=TOP>\r\n\r\n";
  h += "<TABLE border=1 width=100%><TR><TD><CENTER><FONT size=+1><B>";
  h += base + "</B></FONT></CENTER></TD></TR></TABLE>\r\n\r\n\r\n";
  h += "<H4>目次</H4>\r\n<UL>\r\n";
  for (const IndexPage& p : pages) {
    const std::string n = std::to_string(p.number);
    h += "<LI><A href=\"#page" + n + "\">" + n + ". " + escapeHtml(p.title) + " --- p" +
         std::to_string(p.number + 1) + "</A>\r\n";
  }
  h += "</UL>\r\n\r\n</TD></TR></TABLE>\r\n</P>\r\n\r\n";
  for (const IndexPage& p : pages) {
    const std::string n = std::to_string(p.number);
    h += "\r\n\r\n<NOBR><A name=\"page" + n + "\">\r\n";
    h += "<IMG src=\"" + escapeHtml(p.image) + "\" name=\"svg" + n + "\" border=0 USEMAP=\"#" + base +
         "(" + n + ")\"/>\r\n";
    h += " p" + std::to_string(p.number + 1) + "<BR></NOBR>\r\n";
    h += "<MAP name=\"" + base + "(" + n + ")\">\r\n";
    for (const std::string& area : p.areas) h += area + "\r\n";
    h += "</MAP>\r\n";
  }
  FileX_replaceAtomically(path, h);
}

int32_t pageWidth(const NotePage& page) { return page.settings().width(); }
int32_t pageHeight(const NotePage& page) { return page.settings().height(); }

}  // namespace

int CZerbinApp_pageImages(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination) {
  const CZerbinApp_Options& o = app.options;
  const std::string ext = o.convMode == CZerbinApp_Conv_Png ? "png" : "jpg";
  std::string work;
  CZerbinApp_expandPath(app.folders, work, CZerbinApp_notePathSize, "%work%");
  NoteDocument doc(work);
  CZerbinApp_BatchNoteHost host(app, frame, source);
  int result = 1;
  Except_tryCatch(
      [&] {
        AppCounters& counters = AppCounters_instance();
        NoteReadOptions read(counters);
        read.metrics = host.metrics();
        read.japanese = o.japanese;
        NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, work), source, read);

        // The destination takes the format's extension.
        std::string dst = destination;
        if (!StrX_changeExtension(dst, ext, CZerbinApp_notePathSize)) {
          ReportToUser(frame, o.echoPath, "%s",
                       ResultCode_getText(ResultCode_BufferTooSmall).c_str());
          return;
        }
        const int32_t last = doc.lastPageNumber();
        std::string names;
        const std::vector<bool> selected = selectPages(doc, o, names);
        const int32_t count =
            static_cast<int32_t>(std::count(selected.begin(), selected.end(), true));
        if (count == 0) {
          ReportToUser(frame, o.echoPath, "%s のページがありません", names.c_str());
          return;
        }

        const PageImageOptions base = imageOptions(o);
        // One file, or a folder of them.
        PageImageOptions first = base;
        doc.SelectPage(1);
        View_layoutPageImage(first, 1, pageWidth(*doc.page(1)), pageHeight(*doc.page(1)));
        std::string out = dst;
        std::string folder = dst;
        StrX_changeExtension(folder, "", folder.size() + 1);
        if (!(last < 2 && first.columns == 1 && first.rows == 1)) {
          if (o.noSubFolder) folder = StrX_parentFolder(dst);
          out = StrX_joinPath(folder, StrX_fileName(dst));
        } else if (o.html) {
          out = StrX_joinPath(folder + ".files", StrX_fileName(dst));
        }
        FileX_makeFolders(out, true);
        std::string indexPath = dst;
        if (StrX_extension(dst).substr(0, 3) != "htm") StrX_setHtmlExtension(indexPath, CZerbinApp_notePathSize);
        std::vector<IndexPage> index;

        for (int32_t p = 1; p <= last; ++p) {
          if (!selected[static_cast<size_t>(p)]) continue;
          doc.SelectPage(p);
          const NotePage& page = *doc.page(p);
          const int32_t W = pageWidth(page), H = pageHeight(page);
          PageImageOptions options = base;
          View_layoutPageImage(options, p, W, H);
          ViewPageSource src;
          src.figures = &page.figures;
          src.canvas = const_cast<Canvas*>(&page.settings());
          src.pageNumber = p;
          if (doc.hasBackPage()) {
            src.backFigures = &doc.page(0)->figures;
            src.backPageNumber = 0;
          }
          const std::string pagePath = last == 1 ? out : StrX_numberedName(out, p);
          const bool tiled = options.columns > 1 || options.rows > 1;
          const int32_t outerCount = o.vert ? options.columns : options.rows;
          const int32_t innerCount = o.vert ? options.rows : options.columns;
          if (o.html) {
            IndexPage entry;
            entry.number = p;
            entry.title = page.title();
            const std::string firstFile = tiled ? tileName(pagePath, 1, 1) : pagePath;
            entry.image = StrX_toSlashPath(StrX_makeRelative(firstFile, StrX_parentFolder(indexPath)));
            // From the top-most figure to the bottom-most.
            for (size_t i = page.figures.size(); i-- > 1;) {
              std::string area;
              if (page.figures.at(i).WriteImageMapArea(area, 16000, StrX_parentFolder(indexPath))) {
                entry.areas.push_back(area);
              }
            }
            index.push_back(std::move(entry));
          }
          for (int32_t outer = 1; outer <= outerCount; ++outer) {
            for (int32_t inner = 1; inner <= innerCount; ++inner) {
              const int32_t column = o.vert ? outer : inner;
              const int32_t row = o.vert ? inner : outer;
              const std::string file = tiled ? tileName(pagePath, outer, inner) : pagePath;
              View_renderPageImage(options, src, W, H, column, row, file);
            }
          }
        }
        if (o.html) {
          std::string baseName = StrX_fileName(dst);
          StrX_changeExtension(baseName, "", baseName.size() + 1);
          writeIndex(indexPath, baseName, index);
        }
        result = 0;
      },
      [&](const Errors_Msg& e) {
        ReportToUser(frame, o.echoPath, "%s", e.message());
        result = 1;
      });
  Except_tryCatch([&] { doc.ClearDocument(); }, [](const Errors_Msg&) {});
  return result;
}
