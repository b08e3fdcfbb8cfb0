// Files dropped or pasted on a main window become figures: pictures
// become image figures, notes and other files become link text boxes
// stacked 24 units apart.  The drop target and the clipboard call
// MakeFigureForFile with each file's position in the list.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "figures/base/geometry.h"

class CMainFrame;
class CadPrim;

// The link and the text of a link box for a file.  A symbolic link acts
// as a shortcut: without arguments it links to its target with the
// shortcut's name and the target's extension.  An Internet shortcut
// (".url", "[InternetShortcut]" "URL=") and a desktop link (".desktop",
// "Type=Link") give their URL and the name followed by " (Web)".  A note
// keeps its path with its name without extension; any other file its path
// and its name.  Plain C++.
struct DroppedFileLink {
  std::string link;
  std::string text;
};
DroppedFileLink DroppedFile_linkFor(const std::string& path);
// Whether a file is taken as a picture by its name (jpg, jpeg, gif, png,
// any case).
bool DroppedFile_isPicture(std::string_view path);

// The figure for file `path` dropped at `point` (page units), the
// `index`-th of the dropped files.  A picture (jpg, jpeg, gif, png)
// becomes an image figure unless `asLink`; everything else, notes
// included (a dropped note is never opened), a link text box at the point
// moved down by 24 x index.  The figure is added to the page, held and
// selected, and recorded for undo.  Answers the new figure (null without a
// page).
CadPrim* MakeFigureForFile(CMainFrame& frame, Point32 point, const std::string& path, int32_t index,
                           bool asLink);
// A new image figure at `point` taking the picture's natural size when it
// is first drawn.  With `copy` the file is its imagePath and a copy in the
// work folder its working copy; else the file itself is the working copy.
CadPrim* InsertImageFigure(CMainFrame& frame, Point32 point, const std::string& path, bool copy);
