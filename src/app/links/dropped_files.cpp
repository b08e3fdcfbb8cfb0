#include "app/links/dropped_files.h"

#include <cstdio>
#include <memory>

#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_ospath.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "figures/base/app_counters.h"
#include "figures/base/draw_context.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "undo/undo_history.h"
#include "view/selection/view_selection.h"

#include <unistd.h>

namespace {

std::string nameWithoutExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

// "URL=" of an Internet shortcut, or of a desktop entry of Type=Link.
std::string shortcutUrl(const std::string& path, bool desktop) {
  std::string text;
  if (!FileX_isFile(path) || FileX_fileSize(path) > 65536) return {};
  text = FileX_readWhole(path);
  std::string url;
  bool isLink = !desktop;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    StrX_trim(line);
    if (StrX_startsWithNoCase(line, "URL=")) url = line.substr(4);
    if (desktop && line == "Type=Link") isLink = true;
    start = end + 1;
  }
  return isLink ? url : std::string();
}

// The target of a symbolic link, made absolute against its folder ("" for
// anything else).
std::string linkTarget(const std::string& path) {
  const std::optional<std::string> os = FileX_osPath(path);
  if (!os) return {};
  char buf[4096];
  const ssize_t n = readlink(os->c_str(), buf, sizeof buf - 1);
  if (n <= 0) return {};
  const std::optional<std::string> target =
      Cp932_fromOsPath(std::string_view(buf, static_cast<size_t>(n)));
  if (!target) return {};
  std::string t = *target;
  if (!StrX_isAbsolutePath(t)) t = StrX_parentFolder(path) + "/" + t;
  return StrX_normalizePath(t);
}

CadPrim& addHeld(CMainFrame& frame, std::unique_ptr<CadPrim> figure) {
  NoteDocument& doc = frame.document();
  CadPrim& live = doc.workingFigures().append(std::move(figure));
  if (ViewSelection* sel = frame.view().selection()) {
    sel->DeselectAll(true);
    sel->SelectOnly(live);
    sel->TakeSelectionChanged();
  }
  frame.undo().RecordCreation(live, doc, doc.currentPageNumber());
  frame.view().Invalidate();
  return live;
}

}  // namespace

DroppedFileLink DroppedFile_linkFor(const std::string& path) {
  std::string name = StrX_fileName(path);
  if (name.empty()) name = path;
  const std::string ext = StrX_extension(path);
  if (const std::string target = linkTarget(path); !target.empty()) {
    const std::string targetExt = StrX_extension(target);
    return {target, nameWithoutExtension(name) + (targetExt.empty() ? "" : "." + targetExt)};
  }
  if (StrX_equalsNoCase(ext, "url") || StrX_equalsNoCase(ext, "desktop")) {
    const std::string url = shortcutUrl(path, StrX_equalsNoCase(ext, "desktop"));
    if (!url.empty()) return {url, nameWithoutExtension(name) + " (Web)"};
  }
  if (StrX_equalsNoCase(ext, "svg") || StrX_equalsNoCase(ext, "svgz")) {
    return {path, nameWithoutExtension(name)};
  }
  return {path, name};
}

CadPrim* InsertImageFigure(CMainFrame& frame, Point32 point, const std::string& path, bool copy) {
  if (!frame.hasNote()) return nullptr;
  frame.view().m_Tool = 0;
  NoteDocument& doc = frame.document();
  auto image = std::make_unique<Rect_Ex>();
  image->SetNumber(AppCounters_instance().nextFigureNumber());
  image->x = point.x;
  image->y = point.y;
  image->width = 1;
  image->height = 1;
  image->takeNaturalSize = true;
  image->shape = RectShape_Image;
  image->fillColour = 0xFFFFFF;
  image->embedImage = true;
  image->setWorkFolder(doc.workFolder());
  if (copy) {
    image->imagePath = path;
    char name[48];
    std::snprintf(name, sizeof name, "img_%08X_%d", static_cast<unsigned>(doc.documentNumber()),
                  AppCounters_instance().nextImageSerial());
    std::string work = StrX_joinPath(doc.workFolder(), name);
    const std::string ext = StrX_extension(path);
    if (!ext.empty()) work += "." + ext;
    image->workImagePath = work;
    FileX_copyFile(work, path);
  } else {
    image->workImagePath = path;
  }
  return &addHeld(frame, std::move(image));
}

bool DroppedFile_isPicture(std::string_view path) {
  const std::string ext = StrX_extension(path);
  return StrX_equalsNoCase(ext, "jpg") || StrX_equalsNoCase(ext, "jpeg") ||
         StrX_equalsNoCase(ext, "gif") || StrX_equalsNoCase(ext, "png");
}

CadPrim* MakeFigureForFile(CMainFrame& frame, Point32 point, const std::string& path, int32_t index,
                           bool asLink) {
  if (!frame.hasNote()) return nullptr;
  frame.raise();
  if (DroppedFile_isPicture(path) && !asLink) return InsertImageFigure(frame, point, path, true);
  const DroppedFileLink l = DroppedFile_linkFor(path);
  auto box = std::make_unique<Text_Box>(&frame.metrics());
  box->SetNumber(AppCounters_instance().nextFigureNumber());
  box->SetText(l.text);
  box->SetUrl(l.link);
  box->SetBasePoint(point.x, point.y + 24 * index);
  // Measured once, so that its frame is known before it is first drawn.
  DrawContext ctx;
  frame.view().FillDrawContext(ctx, false);
  box->Layout(frame.metrics(), ctx);
  return &addHeld(frame, std::move(box));
}
