#include "app/convert/page_images.h"

#include <algorithm>
#include <vector>

#include "app/convert/batch_note_host.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
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
        if (!(last < 2 && first.columns == 1 && first.rows == 1)) {
          std::string folder = dst;
          StrX_changeExtension(folder, "", folder.size() + 1);
          if (o.noSubFolder) folder = StrX_parentFolder(dst);
          out = StrX_joinPath(folder, StrX_fileName(dst));
        }
        FileX_makeFolders(out, true);

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
          for (int32_t outer = 1; outer <= outerCount; ++outer) {
            for (int32_t inner = 1; inner <= innerCount; ++inner) {
              const int32_t column = o.vert ? outer : inner;
              const int32_t row = o.vert ? inner : outer;
              const std::string file = tiled ? tileName(pagePath, outer, inner) : pagePath;
              View_renderPageImage(options, src, W, H, column, row, file);
            }
          }
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
