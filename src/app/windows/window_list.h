// The main windows of the process: the list (newest first), the pool of
// hidden windows that are kept for reuse once 20 or more windows exist,
// opening a note into a window (reusing the one that shows it, the one of
// a target name, or a pooled one), the templates of new and empty notes,
// and what a window asks of the application (folders, settings, path
// variables, the keyword engine).
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/links/path_variables.h"

struct CZerbinApp;
struct CMainFrameOptions;
class CMainFrame;
class KwdSearch;
struct ZerbinSettings;

inline constexpr size_t WindowList_poolFrom = 20;

class WindowList {
 public:
  explicit WindowList(CZerbinApp& app);
  ~WindowList();
  WindowList(const WindowList&) = delete;
  WindowList& operator=(const WindowList&) = delete;

  // Opens `path` (user path variables expanded, "#fragment" split off) in
  // a window: the one showing the path is brought to the front with a new
  // history chain; else the window of the target name or a pooled one gets
  // the note; else a new window.  `untitled` opens the file as an untitled
  // copy ("" opens a new note from "%template%/new_default.svg").  An empty
  // existing file gets "%template%/file_default.svg".  With `report`, a
  // missing file or a file that is no note (4010, 363) is shown to the user
  // and answers null; without it the errors go to the caller.  Other errors
  // always go on.
  CMainFrame* openNote(std::string_view path, std::string_view target, bool untitled,
                       bool report = true);

  // The windows, newest first (pooled hidden ones included, closed ones
  // waiting to be destroyed not).
  std::vector<CMainFrame*> frames() const;
  bool isPooled(const CMainFrame& frame) const;
  // A window that cannot take another note now: a note is being loaded
  // into it (its messages wait for an answer while other calls come in), or
  // one of its dialogs is open.  A busy pooled window is not reused.
  bool isBusy(const CMainFrame& frame) const;
  // A window's close was accepted: it is kept hidden in the pool when 20
  // or more windows exist, else taken out of the list and destroyed once
  // the event loop runs again.
  void frameClosed(CMainFrame& frame);

  CMainFrameOptions frameOptions();
  UserPathVariables& pathVariables() { return pathVariables_; }
  // Reads "%path_var%" again (command 33176 and start-up).
  void reloadPathVariables();
  // "%var%/rest" of the application's folders.
  std::string folder(const char* format) const;
  const ZerbinSettings& settings() const;
  bool japanese() const;
  const std::string& echoPath() const;
  KwdSearch& keywordSearch();

 private:
  CMainFrame* newFrame(bool& created);
  void loadInto(CMainFrame& frame, const std::string& path, bool untitled);

  CZerbinApp& app_;
  // The windows a note is being loaded into.
  std::set<const CMainFrame*> loading_;
  UserPathVariables pathVariables_;
  std::unique_ptr<KwdSearch> ownSearch_;
};

// The application's list (made on first use).
WindowList& WindowList_of(CZerbinApp& app);
// Installs the application hooks of this module that are not set: opening
// a note, loading and freeing the path variables.
struct CZerbinApp_Hooks;
void WindowList_installHooks(CZerbinApp_Hooks& hooks);
// The command line's "-page=" on the first window.
void WindowList_applyPageOption(CZerbinApp& app, CMainFrame& frame);

// The commands of a window for new notes, the open dialog and templates
// (32985, 32780, 32982).
class CommandTable;
void WindowCommands_register(CommandTable& table, CMainFrame& frame);
