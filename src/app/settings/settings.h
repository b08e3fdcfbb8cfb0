// The user's settings ("%prof%/zerbin.ini") and the places of windows
// ("%prof%/window.ini").  Both files are shared by every running process of
// the program: writers hold the named locks "Zerbin_IniSema" and
// "Zerbin_WindowPosSema".
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

struct SearchWebEntry {
  std::string name;  // menu name
  std::string url;   // URL template with "?p8" or "?ps"

  bool operator==(const SearchWebEntry&) const = default;
};

// Every key of the main settings file, with its default.
struct ZerbinSettings {
  bool windowColor = false;
  std::string imgFolderPath;
  std::string workFolderPath;
  std::string keywordsFolderPath;
  bool lowerPath = false;
  bool gridOn = false;
  bool gridDisp = false;
  int32_t backupInterval = 1;
  bool singleClick = true;
  bool ctrlRet = true;
  int32_t splitX = 120;
  int32_t defaultImageType = 1;
  int32_t vbaVer = 2000;
  std::string allSearchDBPath;
  bool noInkForDebug = false;
  bool keepDebugOut = false;  // keep the developer trace file at shut-down
  std::string defaultCommand;
  std::string searchOpen;
  int32_t searchOpenShow = 1;
  bool resident = true;
  bool partsAlwaysShow = false;
  std::string multiSaveRoot;
  int32_t prevCaptureMode = 0;
  int32_t prevCaptureRect[4] = {0, 0, 100, 100};
  std::time_t nextCaptureWindowTime = 0;  // 0: the current time when read
  int32_t tooBigCapture = 0;
  // The embedding text is written as document.write calls in a script
  // (written last, only when set).
  bool scriptWrapper = false;
  std::vector<SearchWebEntry> searchWeb;  // the six defaults when the file has none

  bool operator==(const ZerbinSettings&) const = default;
};

// The six web-search entries of a settings file without any.
std::vector<SearchWebEntry> Settings_defaultSearchWeb();

// Reads "zerbin.ini" of the profile folder (CP932 path ending with "/")
// into `settings`; a missing file leaves the defaults.  A file that cannot
// be read is reported (`ReportToUser` to `echoFile`) and leaves the
// defaults; it never stops the program.  Answers whether the file existed;
// `readable` (may be null) gets whether it was missing or could be read, so
// that writing it back loses nothing.
bool CZerbinApp_readSettings(const std::string& profileFolder, ZerbinSettings& settings,
                             const std::string& echoFile, bool* readable = nullptr);
// Writes it under "Zerbin_IniSema": "zerbin.ini_" then replaced over
// "zerbin.ini".  Answers false (and reports) when the write failed.
bool CZerbinApp_writeSettings(const std::string& profileFolder, const ZerbinSettings& settings,
                              const std::string& echoFile);

// One `w` line of "window.ini".
struct WindowPosition {
  std::string key;  // note path, "?SearchWindow", or a design file path
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t barWidth = 0, barHeight = 0;
  bool barFloating = false;
  bool barHidden = false;
  int32_t barStyle = 2;  // docked on the right (0 is a damaged record)
  int32_t paneWidth = 120;
  int32_t paneMode = 0;
  int32_t viewFlags = 0;
  int32_t viewValue = 100;

  bool operator==(const WindowPosition&) const = default;
};

// Replaces the entry of `pos.key` (exact comparison) or appends it, under
// "Zerbin_WindowPosSema".
bool CZerbinApp_saveWindowPosition(const std::string& profileFolder, const WindowPosition& pos,
                                   const std::string& echoFile);
// The place of one tool bar, in the section ToolBars of "window.ini".
struct ToolBarPlace {
  std::string name;       // the bar's object name ("fileBar", ...)
  int32_t area = 4;       // Qt::ToolBarArea (4: top)
  bool visible = true;
  bool lineBreak = false;  // the bar starts a new row
  bool operator==(const ToolBarPlace&) const = default;
};
// Replaces the tool bars' places (the window entries stay), under
// "Zerbin_WindowPosSema".
bool CZerbinApp_saveToolBarPlaces(const std::string& profileFolder,
                                  const std::vector<ToolBarPlace>& bars,
                                  const std::string& echoFile);
// The stored places, in layout order (empty: none stored).
std::vector<ToolBarPlace> CZerbinApp_loadToolBarPlaces(const std::string& profileFolder);

// Finds the entry of `key`; false when there is none.
bool CZerbinApp_loadWindowPosition(const std::string& profileFolder, const std::string& key,
                                   WindowPosition& pos);
