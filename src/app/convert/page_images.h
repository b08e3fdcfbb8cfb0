// The pages of a note as PNG or JPEG images (ExportPageImages): from the
// command line ("-cp SOURCE DEST", "-cj SOURCE DEST", read without a
// window; "-page=", "-max_size=", "-min_zoom=", "-max_fold=", "-vert",
// "-nosubfo" and "-html" choose the pages, the tiles and the names) and
// from the window (command 33041, page_image_command.h).  Both go through
// the steps here: which pages, one file or a folder of them, the file
// names, the tiles, and the HTML index with its image maps.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "view/render/page_image.h"

struct CZerbinApp;
class NoteDocument;

// What to make.
struct PageImagesRequest {
  bool png = true;
  PageImageOptions options;  // the size limit, minimum zoom and folds
  bool vertical = false;     // tiles numbered column by column
  bool html = false;         // the index with clickable maps
  bool currentOnly = false;  // the current page only (no " (%d)" in names)
  // A range of pages (brought into 1 ... L and swapped when reversed), or
  // page names separated by spaces; neither: all pages.
  bool hasRange = false;
  int32_t first = 1, last = 1;
  std::string names;
};

// The flags of pages 0 ... L (page 0 never set).
std::vector<bool> PageImages_selectPages(const NoteDocument& doc, const PageImagesRequest& r);
// Whether the images go into several files (and so into a folder): not
// when the note has one page (or only the current page is asked for
// without a size limit) and page 1 is one tile.
bool PageImages_severalFiles(NoteDocument& doc, const PageImagesRequest& r);
// The files of the selected pages in the order they are written: for each
// page, " (%d)" with the page number unless the note has one page or only
// the current page is asked for; for a page of several tiles
// " (%d,%d)" with the row before the column (the column first when
// vertical).
struct PageImageFile {
  int32_t page = 0, column = 1, row = 1;
  std::string path;
};
std::vector<PageImageFile> PageImages_files(NoteDocument& doc, const std::vector<bool>& selected,
                                            const PageImagesRequest& r, const std::string& out);
// The tiles a page may be cut into, and the pixels they may hold together:
// more is refused with a message before anything is written.
inline constexpr int64_t PageImages_maxTiles = 10000;
inline constexpr int64_t PageImages_maxPixels = int64_t{1} << 30;
// Writes the images of the selected pages to the names of PageImages_files
// for `out` (its folders are created), then, when asked, the HTML index at
// `indexPath`.  `progress` gets (k, count) before each page.  While it
// writes, the application's conversion status names the file.  Raises 365
// for a file that cannot be written, 102 for a page whose tiles are too
// many ("%s" with the page number).
void PageImages_write(NoteDocument& doc, const std::vector<bool>& selected,
                      const PageImagesRequest& r, const std::string& out,
                      const std::string& indexPath,
                      const std::function<void(int32_t, int32_t)>& progress = {});
// The index beside the destination: its extension becomes "html" unless it
// already begins with "htm".
std::string PageImages_indexPath(const std::string& destination);

// "-cj"/"-cp": 0 when every image was written; 1 after reporting the
// failure (echo file or message box).
int CZerbinApp_pageImages(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination);
