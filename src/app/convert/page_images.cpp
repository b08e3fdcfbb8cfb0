#include "app/convert/page_images.h"

#include <algorithm>
#include <vector>

#include "app/convert/batch_note_host.h"
#include "app/startup/conversion_status.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"

namespace {

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


// The index beside the images: a table of contents, then each page's image
// with its clickable map.
void writeIndex(const std::string& path, const std::string& baseName,
                const std::vector<IndexPage>& pages) {
  const std::string base = StrX_htmlText(baseName);
  const std::string mapName = StrX_htmlAttr(baseName);
  std::string h;
  h += "<html>\r\n<head>\r\n<title>" + base + "</title>\r\n\r\n</head>\r\n";
  h += "<BODY bgcolor=#DDDDDD>\r\n\r\n<P>\r\n";
  h += "<TABLE width=90% bgcolor=#FFFFFF><TR><TD valign=TOP>\r\n\r\n";
  h += "<TABLE border=1 width=100%><TR><TD><CENTER><FONT size=+1><B>";
  h += base + "</B></FONT></CENTER></TD></TR></TABLE>\r\n\r\n\r\n";
  h += "<H4>目次</H4>\r\n<UL>\r\n";
  for (const IndexPage& p : pages) {
    const std::string n = std::to_string(p.number);
    h += "<LI><A href=\"#page" + n + "\">" + n + ". " + StrX_htmlText(p.title) + " --- p" +
         n + "</A>\r\n";
  }
  h += "</UL>\r\n\r\n</TD></TR></TABLE>\r\n</P>\r\n\r\n";
  for (const IndexPage& p : pages) {
    const std::string n = std::to_string(p.number);
    h += "\r\n\r\n<NOBR><A name=\"page" + n + "\">\r\n";
    h += "<IMG src=\"" + StrX_htmlHref(p.image) + "\" name=\"svg" + n + "\" border=0 USEMAP=\"#" + mapName +
         "(" + n + ")\"/>\r\n";
    h += " p" + n + "<BR></NOBR>\r\n";
    h += "<MAP name=\"" + mapName + "(" + n + ")\">\r\n";
    for (const std::string& area : p.areas) h += area + "\r\n";
    h += "</MAP>\r\n";
  }
  FileX_replaceAtomically(path, h);
}

int32_t pageWidth(const NotePage& page) { return page.settings().width(); }
int32_t pageHeight(const NotePage& page) { return page.settings().height(); }

// The layout of page p.
PageImageOptions layoutOf(NoteDocument& doc, const PageImagesRequest& r, int32_t p) {
  PageImageOptions o = r.options;
  const NotePage& page = *doc.page(p);
  View_layoutPageImage(o, p, pageWidth(page), pageHeight(page));
  return o;
}

// The name of page p before its tiles are counted.
std::string pagePath(const NoteDocument& doc, const PageImagesRequest& r, const std::string& out,
                     int32_t p) {
  return doc.lastPageNumber() == 1 || r.currentOnly ? out : StrX_numberedName(out, p);
}

// The files of one laid-out page.
void filesOf(const PageImageOptions& o, const PageImagesRequest& r, const std::string& path,
             std::vector<PageImageFile>& files) {
  const bool tiled = o.columns > 1 || o.rows > 1;
  const int32_t outerCount = r.vertical ? o.columns : o.rows;
  const int32_t innerCount = r.vertical ? o.rows : o.columns;
  for (int32_t outer = 1; outer <= outerCount; ++outer) {
    for (int32_t inner = 1; inner <= innerCount; ++inner) {
      PageImageFile f;
      f.page = o.page;
      f.column = r.vertical ? outer : inner;
      f.row = r.vertical ? inner : outer;
      f.path = tiled ? tileName(path, outer, inner) : path;
      files.push_back(std::move(f));
    }
  }
}

// Refuses a page cut into more tiles, or more pixels, than a disk should
// get from one page.
void checkBounded(const PageImageOptions& o, int32_t p) {
  const int64_t tiles = int64_t{o.columns} * o.rows;
  // A folded tile holds about as many pixels as it would unfolded.
  const int64_t pixels = tiles * o.tileWidth * o.tileHeight;
  // The part of the page one tile is drawn from, before it is scaled.
  const int64_t source =
      int64_t{View_pageImageSourceWidth(o)} * View_pageImageSourceHeight(o);
  if (tiles > PageImages_maxTiles) {
    Errors_RAISE(Errors_Unofficial,
                 "ページ %d は %d x %d 枚の画像になるので出力できません。最大サイズか最小拡大率を"
                 "変えてください。",
                 p, o.columns, o.rows);
  }
  if (pixels > PageImages_maxPixels || source > PageImages_maxPixels) {
    Errors_RAISE(Errors_Unofficial,
                 "ページ %d の画像は大きすぎるので出力できません (%d x %d ピクセル)。最大サイズを"
                 "指定してください。",
                 p, o.tileWidth, o.tileHeight);
  }
}

}  // namespace

std::vector<bool> PageImages_selectPages(const NoteDocument& doc, const PageImagesRequest& r) {
  const int32_t last = doc.lastPageNumber();
  std::vector<bool> selected(static_cast<size_t>(std::max(last, 0)) + 1, false);
  if (last < 1) return selected;
  if (!r.hasRange && !r.names.empty()) {
    size_t at = 0;
    while (at < r.names.size()) {
      size_t end = r.names.find(' ', at);
      if (end == std::string::npos) end = r.names.size();
      if (end > at) {
        const int32_t n = doc.FindPageByName(std::string_view(r.names).substr(at, end - at));
        if (n >= 1 && n <= last) selected[static_cast<size_t>(n)] = true;
      }
      at = end + 1;
    }
    return selected;
  }
  int32_t first = 1, to = last;
  if (r.hasRange) {
    first = std::clamp(r.first, 1, last);
    to = std::clamp(r.last, 1, last);
    if (first > to) std::swap(first, to);
  }
  for (int32_t p = first; p <= to; ++p) selected[static_cast<size_t>(p)] = true;
  return selected;
}

bool PageImages_severalFiles(NoteDocument& doc, const PageImagesRequest& r) {
  if (doc.page(1) == nullptr) return false;
  if (doc.currentPageNumber() >= 0) doc.storeWorkingCopy();
  const PageImageOptions first = layoutOf(doc, r, 1);
  const bool onePage = doc.lastPageNumber() < 2 || (r.currentOnly && !r.options.limitSize);
  return !(onePage && first.columns == 1 && first.rows == 1);
}

std::vector<PageImageFile> PageImages_files(NoteDocument& doc, const std::vector<bool>& selected,
                                            const PageImagesRequest& r, const std::string& out) {
  std::vector<PageImageFile> files;
  if (doc.currentPageNumber() >= 0) doc.storeWorkingCopy();
  for (int32_t p = 1; p < static_cast<int32_t>(selected.size()); ++p) {
    if (!selected[static_cast<size_t>(p)]) continue;
    const PageImageOptions o = layoutOf(doc, r, p);
    checkBounded(o, p);
    filesOf(o, r, pagePath(doc, r, out, p), files);
  }
  return files;
}

std::string PageImages_indexPath(const std::string& destination) {
  std::string indexPath = destination;
  std::string ext = StrX_extension(destination);
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext.substr(0, 3) != "htm") StrX_setHtmlExtension(indexPath, indexPath.size() + 8);
  return indexPath;
}

void PageImages_write(NoteDocument& doc, const std::vector<bool>& selected,
                      const PageImagesRequest& r, const std::string& out,
                      const std::string& indexPath,
                      const std::function<void(int32_t, int32_t)>& progress) {
  // The shown page's ink as it is now.
  if (doc.currentPageNumber() >= 0) doc.SelectPage(doc.currentPageNumber());
  // Every page's layout is checked before the first file is made.
  const std::vector<PageImageFile> all = PageImages_files(doc, selected, r, out);
  // The status shows the images' name while they are written.
  ConversionStatus_set(StrX_fileName(out));
  struct ClearStatus {
    ~ClearStatus() { ConversionStatus_set(""); }
  } clearStatus;
  FileX_makeFolders(out, true);
  const int32_t count = static_cast<int32_t>(std::count(selected.begin(), selected.end(), true));
  std::vector<IndexPage> index;
  int32_t k = 0;
  for (int32_t p = 1; p < static_cast<int32_t>(selected.size()); ++p) {
    if (!selected[static_cast<size_t>(p)]) continue;
    if (progress) progress(++k, count);
    const PageImageOptions options = layoutOf(doc, r, p);
    const NotePage& page = *doc.page(p);
    const int32_t W = pageWidth(page), H = pageHeight(page);
    ViewPageSource src;
    src.figures = &page.figures;
    // The note's filter variables are fresh in the current page's Canvas.
    src.canvas = doc.currentPage() != nullptr ? &doc.currentPage()->settings()
                                              : const_cast<Canvas*>(&page.settings());
    src.pageNumber = p;
    if (doc.hasBackPage()) {
      src.backFigures = &doc.page(0)->figures;
      src.backPageNumber = 0;
    }
    std::vector<PageImageFile> files;
    filesOf(options, r, pagePath(doc, r, out, p), files);
    if (r.html) {
      IndexPage entry;
      entry.number = p;
      entry.title = page.title();
      entry.image =
          StrX_toSlashPath(StrX_makeRelative(files.front().path, StrX_parentFolder(indexPath)));
      // From the top-most figure to the bottom-most.
      for (size_t i = page.figures.size(); i-- > 1;) {
        std::string area;
        if (page.figures.at(i).WriteImageMapArea(area, 16000, StrX_parentFolder(indexPath))) {
          entry.areas.push_back(area);
        }
      }
      index.push_back(std::move(entry));
    }
    for (const PageImageFile& f : files) {
      View_renderPageImage(options, src, W, H, f.column, f.row, f.path, &doc);
    }
  }
  if (r.html) {
    std::string baseName = StrX_fileName(out);
    StrX_changeExtension(baseName, "", baseName.size() + 1);
    writeIndex(indexPath, baseName, index);
  }
}

namespace {

// "-cj"/"-cp" of the note read: the options of the command line choose the
// pages, the tiles and the names.
int writeCommandLineImages(CZerbinApp& app, uint32_t frame, NoteDocument& doc,
                           const std::string& destination) {
  const CZerbinApp_Options& o = app.options;
  const std::string ext = o.convMode == CZerbinApp_Conv_Png ? "png" : "jpg";
  // The destination takes the format's extension.
  std::string dst = destination;
  if (!StrX_changeExtension(dst, ext, CZerbinApp_notePathSize)) {
    ReportToUser(frame, o.echoPath, "%s",
                 ResultCode_getText(ResultCode_BufferTooSmall).c_str());
    return 1;
  }
  PageImagesRequest r;
  r.png = o.convMode == CZerbinApp_Conv_Png;
  View_defaultImageOptions(r.options);
  r.options.limitSize = o.maxSizeGiven;
  r.options.maxWidth = o.maxWidth;
  r.options.maxHeight = o.maxHeight;
  r.options.useMinZoom = o.minZoomGiven;
  r.options.minZoom = o.minZoom;
  r.options.maxFolds = o.maxFold;
  r.vertical = o.vert;
  r.html = o.html;
  if (o.hasPage && o.pageName.empty()) {
    r.hasRange = true;
    r.first = o.pageFirst;
    r.last = o.pageLast;
  } else if (o.hasPage) {
    r.names = o.pageName;
  }
  const std::vector<bool> selected = PageImages_selectPages(doc, r);
  if (std::count(selected.begin(), selected.end(), true) == 0) {
    ReportToUser(frame, o.echoPath, "%s のページがありません", r.names.c_str());
    return 1;
  }
  // One file, or a folder of them.
  std::string out = dst;
  std::string folder = dst;
  StrX_changeExtension(folder, "", folder.size() + 1);
  if (PageImages_severalFiles(doc, r)) {
    if (o.noSubFolder) folder = StrX_parentFolder(dst);
    out = StrX_joinPath(folder, StrX_fileName(dst));
  } else if (o.html) {
    out = StrX_joinPath(folder + ".files", StrX_fileName(dst));
  }
  PageImages_write(doc, selected, r, out, PageImages_indexPath(dst));
  return 0;
}

}  // namespace

int CZerbinApp_pageImages(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination) {
  CZerbinApp_BatchNoteHost host(app, frame, source);
  return CZerbinApp_withBatchNote(
      app, frame, source, host.metrics(),
      [&](NoteDocument& doc) { return writeCommandLineImages(app, frame, doc, destination); });
}
