// What the start-up of the program asks of the parts built on top of it:
// the instance service, the main frames, backups, the search dialog, the
// site build and the conversion commands.  Each hook has a default that the
// owning part replaces when it is filled in (before CZerbinApp_startUp).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "app/startup/zerbin_options.h"

struct CZerbinApp;

// Answers of the instance service when a process starts.
enum class CZerbinApp_InstanceAnswer {
  Server,     // no other process serves the name: this one serves now
  HandedOver  // another process took the call: this one ends (exit 0)
};

struct CZerbinApp_Hooks {
  // Opens the service `options.serviceName` and hands the call ("Call",
  // command line, current folder) to a running process.  Default: Server.
  std::function<CZerbinApp_InstanceAnswer(CZerbinApp&, const std::string& commandLine,
                                          const std::string& currentFolder)>
      openInstanceService;
  // Stops serving other processes (before a batch command and at the end).
  std::function<void(CZerbinApp&)> stopInstanceService;
  // Start-up is done: calls of other processes are handled from now on.
  std::function<void(CZerbinApp&)> instanceServiceReady;

  // Opens a note (or, with `untitled`, a new note from the template `path`)
  // in a new main window with the target "_blank"; answers the window's id
  // (0: none was opened).  Raises CZerbinApp_Err_Format for a file that is
  // no note.  Default: a plain main window with the name in its title.
  std::function<uint32_t(CZerbinApp&, const std::string& path, const std::string& fragment,
                         bool untitled)>
      openNote;

  // Path variables of "%path_var%", the keyword index of "%keywords%" and
  // the recent-file list; defaults do nothing.
  std::function<void(CZerbinApp&)> loadPathVariables, freePathVariables;
  std::function<void(CZerbinApp&)> openKeywordIndex, closeKeywordIndex;
  std::function<void(CZerbinApp&)> readRecentFiles;

  // The search dialog: created at start-up, its place saved and destroyed
  // at shut-down; `postFileSearch` posts 33172 (or 33201 with the
  // clipboard) to a main window.
  std::function<void(CZerbinApp&)> createSearchDialog, destroySearchDialog;
  std::function<void(CZerbinApp&, uint32_t frame, bool useClipboard)> postFileSearch;

  // The history and backup service; false ends the start-up.
  std::function<bool(CZerbinApp&)> startBackups;

  // "-rel": builds the site of a site definition file.
  std::function<void(CZerbinApp&, const std::string& siteFile)> buildSite;

  // Shows the parts collection (33158) on a main window.
  std::function<void(CZerbinApp&, uint32_t frame)> showParts;

  // The commands of CZerbinApp_runCommand by conversion mode (and the
  // pseudo modes of "-links" and "-ids" below); each answers 0, or 1 after
  // reporting its failure.  A missing entry reports that the command is not
  // available and fails.
  std::map<int32_t, std::function<int(CZerbinApp&, uint32_t frame, const std::string& src,
                                      const std::string& dst)>>
      commands;
};

// Keys of `commands` for the list options.
inline constexpr int32_t CZerbinApp_Cmd_Links = -1;
inline constexpr int32_t CZerbinApp_Cmd_Ids = -2;
