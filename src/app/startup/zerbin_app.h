// The application object: start-up and shut-down of the program, and the
// dispatch of the command-line conversions.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/settings.h"
#include "app/startup/app_hooks.h"
#include "app/startup/folders.h"
#include "app/startup/zerbin_options.h"

class NamedLock;
class UserPrompts;
class QWidget;
class QSystemTrayIcon;
class GUIServiceServer;

inline constexpr const char* CZerbinApp_appName = "Brevlo 3.10";

// Exit statuses of the process.
enum CZerbinApp_ExitStatus {
  CZerbinApp_Exit_Ok = 0,
  CZerbinApp_Exit_Failed = 1,       // a command, open or save failed (reported)
  CZerbinApp_Exit_NotWritable = 5,  // profile or work folder not writable
};

class KwdSearch;
class WindowList;

struct CZerbinApp {
  CZerbinApp();
  ~CZerbinApp();
  CZerbinApp(const CZerbinApp&) = delete;
  CZerbinApp& operator=(const CZerbinApp&) = delete;

  CZerbinApp_Hooks hooks;
  CZerbinApp_Options options;
  CZerbinApp_Folders folders;
  ZerbinSettings settings;

  std::string commandLine;    // CP932, argv joined
  std::string commandLineUtf8;  // argv joined as given ("" for DefaultCommand)
  std::string currentFolder;  // CP932; "" when CP932 cannot name it
  std::vector<bool> unconvertibleWords;  // per word: it could not be held in CP932
  std::string notePath, fragment, destination;
  bool firstRun = false;  // "%prof%/zerbin.ini" did not exist before this start
  bool settingsReadable = true;  // the settings file was missing or read
  bool welcomeDue = false;       // the first-run box, shown once start-up is done
  bool writeSettingsAtExit = false;  // this process ran the windows: settings go back
  bool versionShown = false;     // "-v" answered in the developer trace
  std::string imageFolder;
  std::time_t startTime = 0;
  int exitCode = CZerbinApp_Exit_Ok;
  uint32_t mainFrame = 0;  // id of the main window of the start

  // The main windows (newest first) and what they share.
  std::unique_ptr<WindowList> windowList;
  std::vector<std::unique_ptr<QWidget>> frames;

  std::unique_ptr<NamedLock> fileSema, initialSema;
  // The instance service while this process serves the user's windows.
  std::unique_ptr<GUIServiceServer> instanceServer;
  std::unique_ptr<UserPrompts> prompts;
  std::unique_ptr<QSystemTrayIcon> trayIcon;
  // The keyword search over "%keywords%" (the default keyword-index hooks);
  // its cache is saved at shut-down when a search changed it.
  std::unique_ptr<KwdSearch> keywordSearch;

  // Messages of start-up: to the echo file when "-echo=" was given, else a
  // box with `title` (the non-interactive service never blocks).
  void show(std::string_view text, std::string_view title = CZerbinApp_appName);
};

// The start-up sequence.  `args` are the words after the program name, as
// the system passed them (UTF-8).  Answers false when the process is to
// end at once with app.exitCode; never raises.  Needs a QApplication.
bool CZerbinApp_startUp(CZerbinApp& app, const std::vector<std::string>& args);
// The shut-down sequence; answers the exit status (`quitCode`, or 1 when a
// start-up step failed).
int CZerbinApp_shutDown(CZerbinApp& app, int quitCode);

// Runs the conversion or list option on an opened note.  The destination
// is `destination`, or the source with the command's extension when none
// was given.  Answers 0, or 1 when the command failed (reported).
int CZerbinApp_runCommand(CZerbinApp& app, uint32_t frame, const CZerbinApp_Options& options,
                          const std::string& source, const std::string& destination,
                          size_t size);

// The extension that a command gives a destination derived from the source
// ("" for a mode without a command).
std::string CZerbinApp_commandExtension(const CZerbinApp_Options& options);

// Installs the defaults of every hook that is not set.
void CZerbinApp_setDefaultHooks(CZerbinApp_Hooks& hooks);
