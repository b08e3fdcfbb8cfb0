// What a main window needs from the application to save its note: folders,
// settings and the way to open a note from the recent list.
#pragma once

#include <functional>
#include <string>

#include "core/strx/strx_vars.h"

struct NoteSaveOptions {
  std::string profileFolder;   // "%prof%", where "recent.ini" lies ("" keeps no list)
  std::string scriptPath;      // "%script%/svg-script.txt" ("" none)
  std::string keywordsFolder;  // "%keywords%" ("" writes no keyword file)
  StrX_VarLookup variables;    // folder variables for "%name%" in links
  bool lowerPath = false;      // the LowerPath setting
  // Where an untitled note is proposed to go and the save dialog first
  // opens; "" is the user's desktop folder.
  std::string desktopFolder;
  // Opens a note of the recent list in a new window (target "_blank").
  std::function<void(const std::string& path)> openNote;
};
