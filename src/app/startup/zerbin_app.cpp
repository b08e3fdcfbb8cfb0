#include "app/startup/zerbin_app.h"
#include "app/startup/end_signals.h"

#include <chrono>
#include <clocale>
#include <cstdlib>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "app/convert/page_images.h"
#include "app/instance/instance_server.h"
#include "app/instance/second_start.h"
#include "app/saving/auto_save.h"
#include "app/saving/backup_files.h"
#include "app/saving/emergency_save.h"
#include "app/startup/conversion_status.h"
#include "app/startup/notification_icon.h"
#include "app/convert/html_export_command.h"
#include "app/convert/list_commands.h"
#include "app/convert/office_script_command.h"
#include "app/convert/public_copy.h"
#include "app/convert/site_build_command.h"
#include "app/startup/command_line.h"
#include "core/errors/debug_trace.h"
#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/kwdsearch/kwdsearch.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_ospath.h"
#include "core/lock/named_lock.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"
#include "core/susie/susie.h"
#include "document/reader/reader_elements.h"
#include "platform/images/qt_image_decoder.h"
#include "platform/prompts/qt_user_prompts.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"

// Qt after the core headers: its `emit` macro must not meet their names.
#include "app/mainframe/main_frame.h"
#include "app/windows/window_list.h"
#include "app/windows/window_place.h"
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QSessionManager>
#include <QStandardPaths>
#include <QSystemTrayIcon>
#include <QTimer>


namespace {

constexpr int kInitialWaitMs = 180000;
constexpr int kInitialSliceMs = 5000;

// "%var%..." of the app's folders (no printf arguments).
std::string path(const CZerbinApp& app, const char* format) {
  std::string dst;
  CZerbinApp_expandPath(app.folders, dst, CZerbinApp_notePathSize, format);
  return dst;
}

// Words of argv as CP932; a word that CP932 cannot hold keeps "?" marks
// and is marked in `lossy` (one flag per word).
std::vector<std::string> toCp932(const std::vector<std::string>& args, std::vector<bool>& lossy) {
  std::vector<std::string> words;
  for (const std::string& a : args) {
    bool l = false;
    words.push_back(Cp932_fromUtf8(a, &l));
    lossy.push_back(l);
  }
  return words;
}

bool nonInteractive(const CZerbinApp_Options& o) {
  return !o.echoPath.empty() || o.batch() || UserPrompts_nonInteractiveByEnvironment();
}

void installPrompts(CZerbinApp& app, bool batch) {
  if (batch) {
    app.prompts = std::make_unique<NonInteractivePrompts>(app.options.echoPath);
  } else {
    app.prompts = std::make_unique<QtUserPrompts>();
  }
  UserPrompts_set(app.prompts.get());
}

// Writes "test" to the file and deletes it again.
bool writeTest(const std::string& file) {
  bool ok = false;
  Except_tryCatch(
      [&] {
        FileX_makeFolders(file, true);
        FileX_writeWhole(file, "test");
        ok = FileX_deleteFile(file);
      },
      [&](const Errors_Msg&) { ok = false; });
  return ok;
}

std::string buildTimeText() {
  std::tm tm{};
  std::string stamp = std::string(__DATE__) + " " + __TIME__;
  strptime(stamp.c_str(), "%b %d %Y %H:%M:%S", &tm);
  char buf[64];
  std::strftime(buf, sizeof buf, "%c", &tm);
  return buf;
}

// Waits for the start-up lock in slices, letting the window system run
// between them.
bool waitInitialSema(NamedLock& lock) {
  QElapsedTimer timer;
  timer.start();
  while (true) {
    if (lock.lock(kInitialSliceMs)) return true;
    QCoreApplication::processEvents();
    if (timer.elapsed() >= kInitialWaitMs) return false;
  }
}

void exitHook(void* app) {
  auto* a = static_cast<CZerbinApp*>(app);
  if (!a) return;
  // Unsaved work goes to recovery copies before the process ends.
  Except_tryCatch([&] { EmergencySave_writeAll(path(*a, "%backup%")); }, [](const Errors_Msg&) {});
  if (a->trayIcon) a->trayIcon->hide();
}

void setTimeLocale(bool japanese) {
  if (!japanese || !std::setlocale(LC_TIME, "ja_JP.UTF-8")) std::setlocale(LC_TIME, "C");
  std::setlocale(LC_NUMERIC, "C");
}

// Steps 14 and 15: writable folders and the first-run copy.  False ends.
bool prepareProfile(CZerbinApp& app) {
  std::string profTest = path(app, "%prof%/write_test.bin");
  if (!writeTest(profTest)) {
    app.show("プロファイルフォルダに書き込めません。\r\npath = " + profTest +
                 "\r\nBrevlo を終了します。",
             "Brevlo エラー");
    app.exitCode = CZerbinApp_Exit_NotWritable;
    return false;
  }
  std::string workTest = path(app, "%work%/write_test.bin");
  if (!writeTest(workTest)) {
    app.show("ワークフォルダに書き込めません。\r\npath = " + workTest + "\r\nBrevlo を終了します。",
             "Brevlo エラー");
    app.exitCode = CZerbinApp_Exit_NotWritable;
    return false;
  }
  if (!FileX_isFolder(path(app, "%script%"))) {
    std::string first = path(app, "%profile_first%");
    if (!FileX_isFolder(first)) {
      app.show(
          "プロファイルの初期状態のファイルが入ったフォルダありません。\r\nBrevlo "
          "を再インストールしてください。\r\npath = " +
          first + "\r\nBrevlo を終了します。");
      app.exitCode = CZerbinApp_Exit_Failed;
      return false;
    }
    std::string prof = app.folders.profileFolder;
    prof.pop_back();
    FileX_copyFolder(prof, first);
  }
  return true;
}

// The start-up lock is let go once this process will serve no other start
// (a conversion, a site build): another start never waits for a command.
void releaseStartLock(CZerbinApp& app) {
  if (!app.initialSema) return;
  app.initialSema->unlock();
  app.initialSema.reset();
}

// Step 21: opens the note of the command line (or a new note).
bool openFirstNote(CZerbinApp& app) {
  bool ok = true;
  Except_tryCatch(
      [&] {
        if (app.notePath.empty()) {
          app.mainFrame = app.hooks.openNote(app, path(app, "%template%/new_default.svg"), {}, true);
        } else {
          app.mainFrame = app.hooks.openNote(app, app.notePath, app.fragment, false);
        }
      },
      [&](const Errors_Msg& e) {
        // A file that is no note, cannot be read or is damaged in any way
        // (a broken gzip stream, a reader error of any code) is reported.
        // The reader showed its unsupported-element box already.
        if (!ReaderError_shownToUser(e)) ReportToUser(0, app.options.echoPath, "%s", e.message());
        app.exitCode = CZerbinApp_Exit_Failed;
        ok = false;
      });
  return ok;
}

bool startUpSteps(CZerbinApp& app, const std::vector<std::string>& args) {
  // 1. The file lock is created, not owned.
  if (NamedLock_runtimeFolder().empty()) {
    app.show(ResultCode_getText(ResultCode_OsError));
    app.exitCode = CZerbinApp_Exit_Failed;
    return false;
  }
  app.fileSema = std::make_unique<NamedLock>("Zerbin_FileSema");

  // 2. Command line and current folder.
  std::vector<std::string> words = toCp932(args, app.unconvertibleWords);
  app.commandLine = CZerbinApp_joinArguments(words);
  app.commandLineUtf8 = CZerbinApp_joinArguments(args);
  // "" when CP932 cannot name it: the parser then refuses relative paths.
  app.currentFolder = StrX_currentFolderOrEmpty();

  // 3. Error model.
  std::string program = Errors_selfProgramPath();
  Errors_setProgramPath(program);
  Errors_setAppName(CZerbinApp_appName, Errors_buildVersion());
  app.folders.programFolder = StrX_parentFolder(program) + "/";

  // 4. Default profile folder; the developer trace goes to its log folder.
  CZerbinApp_setProfileFolder(app.folders, nullptr);
  DebugTrace_setName(path(app, "%log%/DebugOut.txt").c_str());

  // 5. Locale and names.
  auto env = [](std::string_view n, std::string& v) { return StrX_getEnvironment(n, v); };
  app.options.japanese = CZerbinApp_localeIsJapanese(env);
  QCoreApplication::setOrganizationName("Kestrow");
  QCoreApplication::setApplicationName("Brevlo");

  // 6. Start-ups of several processes one after the other.
  app.initialSema = std::make_unique<NamedLock>("Zerbin_InitialSema");
  if (!waitInitialSema(*app.initialSema)) {
    ResultCode_setMessage("Zerbin_InitialSema");
    app.show(ResultCode_getText(ResultCode_Message));
    app.exitCode = CZerbinApp_Exit_Failed;
    return false;
  }

  // 8. An empty command line runs the `DefaultCommand` setting.
  bool settingsRead = false;
  if (app.commandLine.empty()) {
    app.firstRun = !CZerbinApp_readSettings(app.folders.profileFolder, app.settings, {},
                                            &app.settingsReadable);
    settingsRead = true;
    app.commandLine = app.settings.defaultCommand;
  }

  // 9. Version request.
  if (CZerbinApp_isVersionRequest(app.commandLine)) {
    DebugTrace_printf("Zerbin 3 beta: build %s\n", buildTimeText().c_str());
    app.versionShown = true;
    return false;
  }

  // 10. Options.
  int parsed = CZerbinApp_parseCommandLine(app.commandLine, app.currentFolder, app.options,
                                           app.notePath, app.fragment, app.destination,
                                           app.unconvertibleWords);
  installPrompts(app, nonInteractive(app.options));
  if (parsed != 0) app.show(ResultCode_getText(ResultCode_Message));
  // A path that names no file, or one too long, ends the start.
  if (parsed == CZerbinApp_PathRefused || parsed == ResultCode_BufferTooSmall) {
    app.exitCode = CZerbinApp_Exit_Failed;
    return false;
  }

  // 11. Language, profile and settings.
  setTimeLocale(app.options.japanese);
  if (app.options.hasProfile) {
    CZerbinApp_setProfileFolder(app.folders, &app.options.profileFolder);
    DebugTrace_setName(path(app, "%log%/DebugOut.txt").c_str());
  }
  if (!settingsRead || app.options.hasProfile) {
    app.firstRun = !CZerbinApp_readSettings(app.folders.profileFolder, app.settings,
                                            app.options.echoPath, &app.settingsReadable);
  }
  app.folders.workFolderSetting = app.settings.workFolderPath;
  app.folders.keywordsFolderSetting = app.settings.keywordsFolderPath;

  // 12, 13. One process serves the user's windows.
  if (app.hooks.openInstanceService(app, app.commandLine, app.currentFolder) ==
      CZerbinApp_InstanceAnswer::HandedOver) {
    return false;
  }
  if ((app.options.unload || app.options.unloadIf) && app.options.convMode == 0) return false;

  // 14, 15.
  if (!prepareProfile(app)) return false;
  // The first run writes the settings, so that the next start is not one.
  if (app.firstRun) CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);

  // 16. Log ring, keyword index, image plug-ins, search dialog.
  Errors_setLogName(path(app, "%log%/errlog%%d.txt"));
  app.hooks.openKeywordIndex(app);
  QtImageDecoder_register();
  std::string plugins = path(app, "%plugin%");
  if (FileX_isFolder(plugins)) Susie_loadAll(plugins);
  app.hooks.createSearchDialog(app);

  // 17. The note to open must exist; a conversion names its note (an empty
  // source names none that exists).
  const bool sourceRequired = app.options.batch() && app.options.convMode != CZerbinApp_Conv_Rel;
  if ((!app.notePath.empty() || sourceRequired) && !FileX_exists(app.notePath)) {
    app.show(app.notePath + (app.options.japanese ? " を開こうとしましたが見つかりません。"
                                                  : " can not open. Zerbin exits."));
    app.exitCode = CZerbinApp_Exit_Failed;
    return false;
  }

  // 18. Path variables.
  Except_tryCatch([&] { app.hooks.loadPathVariables(app); },
                  [&](const Errors_Msg& e) {
                    ReportToUser(0, app.options.echoPath, "%s", e.message());
                    app.exitCode = CZerbinApp_Exit_Failed;
                  });

  // 19. Recent files, pictures folder, work and backup folders.
  app.hooks.readRecentFiles(app);
  app.imageFolder = QtText_toCp932(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
  FileX_makeFolders(path(app, "%work%"), false);
  FileX_makeFolders(path(app, "%backup%"), false);

  // 20. Site build.
  if (app.options.convMode == CZerbinApp_Conv_Rel) {
    // A long command serves nobody: other starts need not wait for it.
    releaseStartLock(app);
    Except_tryCatch([&] { app.hooks.buildSite(app, app.notePath); },
                    [&](const Errors_Msg& e) {
                      if (e.code != CZerbinApp_Err_MakeRel) Except_throw(e);
                      ReportToUser(0, app.options.echoPath, "%s", e.message());
                      app.exitCode = CZerbinApp_Exit_Failed;
                    });
    return false;
  }

  // 21, 22. The first main window.
  if (!openFirstNote(app)) return false;
  if (app.mainFrame == 0 && !app.frames.empty()) app.mainFrame = WindowIds_idOf(app.frames[0].get());
  if (app.mainFrame == 0) return false;
  if (app.options.goSearch) {
    if (!app.options.keyword.empty()) {
      QGuiApplication::clipboard()->setText(QtText_fromCp932(app.options.keyword));
    }
    app.hooks.postFileSearch(app, app.mainFrame, app.options.useClipboard);
    if (QWidget* w = WindowIds_find(app.mainFrame)) w->hide();
  }

  // 23. Notification icon.
  CZerbinApp_installShell(app);

  // 24. Welcome box of the first run: shown once the start-up lock is
  // released, so that a start beside the open box does not wait for it.
  app.welcomeDue = app.firstRun && !app.options.runT && !app.options.runN;

  // 25, 26.
  if (!app.hooks.startBackups(app)) {
    app.show(ResultCode_getText(ResultCode_Message));
    app.exitCode = CZerbinApp_Exit_Failed;
    return false;
  }
  Errors_setExitHook(exitHook, &app);

  // 27. A batch command runs and the program quits.
  if (app.options.batch()) {
    app.hooks.stopInstanceService(app);
    releaseStartLock(app);
    int r = CZerbinApp_runCommand(app, app.mainFrame, app.options, app.options.srcPath,
                                  app.destination, CZerbinApp_pathSize);
    if (r != 0) app.exitCode = CZerbinApp_Exit_Failed;
    app.frames.clear();
    return false;
  }

  // 28. Parts collection and the start time.
  if (!app.options.unload) {
    if (app.options.parts) app.settings.partsAlwaysShow = true;
    if (app.settings.partsAlwaysShow && app.frames.size() <= 1) app.hooks.showParts(app, app.mainFrame);
    app.startTime = std::time(nullptr);
  }
  QApplication::setQuitOnLastWindowClosed(!(app.settings.resident && app.trayIcon));
  // The settings go back at the end of the session and at shut-down.
  app.writeSettingsAtExit = app.settingsReadable;
  QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp, [&app](QSessionManager& m) {
    Except_barrier([&] {
      if (app.writeSettingsAtExit)
        CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);
      // A note that cannot be saved keeps the session.
      const bool interact = m.allowsInteraction();
      if (!NoteSave_sessionEnd(interact)) m.cancel();
      if (interact) m.release();
    });
  });
  // SIGTERM and SIGHUP: no question can be asked; modified notes are kept
  // as recovery copies (offered at the next start), never lost.
  EndSignals_install(*qApp, [&app] {
    for (CMainFrame* f : CMainFrame_shownFrames()) f->CommitPendingEdits();
    EmergencySave_writeAll(path(app, "%backup%"));
  });
  return true;
}

}  // namespace

CZerbinApp::CZerbinApp() { CZerbinApp_setDefaultHooks(hooks); }

CZerbinApp::~CZerbinApp() {
  UserPrompts* current = &UserPrompts_get();
  if (prompts && current == prompts.get()) UserPrompts_set(nullptr);
}

void CZerbinApp::show(std::string_view text, std::string_view title) {
  if (!options.echoPath.empty()) {
    ReportToUserText(0, options.echoPath, text);
    return;
  }
  UserPrompts_get().messageBox(text, title, PromptButtons::Ok, PromptIcon::None, PromptAnswer::Ok,
                               mainFrame);
}

void CZerbinApp_setDefaultHooks(CZerbinApp_Hooks& h) {
  auto none = [](CZerbinApp&) {};
  SecondStart_setDefaultHooks(h);
  if (!h.openInstanceService) {
    h.openInstanceService = [](CZerbinApp&, const std::string&, const std::string&) {
      return CZerbinApp_InstanceAnswer::Server;
    };
  }
  if (!h.stopInstanceService) h.stopInstanceService = none;
  // Main windows, opening notes, the user's path variables.
  WindowList_installHooks(h);
  if (!h.openKeywordIndex) {
    h.openKeywordIndex = [](CZerbinApp& app) {
      app.keywordSearch = std::make_unique<KwdSearch>(path(app, "%keywords%"));
    };
  }
  if (!h.closeKeywordIndex) {
    h.closeKeywordIndex = [](CZerbinApp& app) {
      if (app.keywordSearch && app.keywordSearch->isModified()) app.keywordSearch->saveCache();
      app.keywordSearch.reset();
    };
  }
  for (auto* f : {&h.loadPathVariables, &h.freePathVariables, &h.openKeywordIndex,
                  &h.closeKeywordIndex, &h.readRecentFiles, &h.createSearchDialog,
                  &h.destroySearchDialog}) {
    if (!*f) *f = none;
  }
  if (!h.postFileSearch) h.postFileSearch = [](CZerbinApp&, uint32_t, bool) {};
  // The start-up clean-up of old backups and of work files no window owns.
  if (!h.startBackups) {
    h.startBackups = [](CZerbinApp& app) {
      const int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
      BackupFiles_clean(path(app, "%backup%"), path(app, "%work%"), now, {});
      return true;
    };
  }
  for (int32_t mode : {CZerbinApp_Conv_Public, CZerbinApp_Conv_PublicPlain}) {
    if (!h.commands.count(mode)) h.commands[mode] = CZerbinApp_publicCopy;
  }
  for (int32_t mode : {CZerbinApp_Conv_Vml, CZerbinApp_Conv_VmlPlain, CZerbinApp_Conv_Mhtml}) {
    if (!h.commands.count(mode)) h.commands[mode] = CZerbinApp_htmlExport;
  }
  for (int32_t mode : {CZerbinApp_Conv_Word, CZerbinApp_Conv_Excel, CZerbinApp_Conv_Ppt, CZerbinApp_Conv_PptLarge}) {
    if (!h.commands.count(mode)) h.commands[mode] = CZerbinApp_officeScript;
  }
  for (int32_t mode : {CZerbinApp_Conv_Png, CZerbinApp_Conv_Jpeg}) {
    if (!h.commands.count(mode)) h.commands[mode] = CZerbinApp_pageImages;
  }
  if (!h.buildSite) h.buildSite = CZerbinApp_buildSite;
  if (!h.commands.count(CZerbinApp_Cmd_Links)) h.commands[CZerbinApp_Cmd_Links] = CZerbinApp_linkList;
  if (!h.commands.count(CZerbinApp_Cmd_Ids)) h.commands[CZerbinApp_Cmd_Ids] = CZerbinApp_idList;
  if (!h.commands.count(CZerbinApp_Conv_Diff)) h.commands[CZerbinApp_Conv_Diff] = CZerbinApp_compareText;
  if (!h.showParts) h.showParts = [](CZerbinApp&, uint32_t) {};
}

bool CZerbinApp_startUp(CZerbinApp& app, const std::vector<std::string>& args) {
  bool batch = CZerbinApp_isBatchArguments(args) || UserPrompts_nonInteractiveByEnvironment();
  installPrompts(app, batch);
  bool go = false;
  Except_barrier([&] {
    Except_try([&] { go = startUpSteps(app, args); },
               [&](const Errors_Msg& e) {
                 ReportToUser(0, app.options.echoPath, "%s", e.message());
                 app.exitCode = CZerbinApp_Exit_Failed;
                 go = false;
               },
               [&] {
                 if (!go && app.initialSema) app.initialSema->unlock();
               });
  });
  // 29. The next process may start up; calls of other starts are taken.
  if (go && app.initialSema) app.initialSema->unlock();
  if (go) app.hooks.instanceServiceReady(app);
  if (app.welcomeDue) {
    app.welcomeDue = false;
    app.show(
        "ヘルプ - F1 キーを押すと、クイックツアー（ビジュアル・ヘルプ）が表示されます。\n"
        "（このメッセージは、初めて起動したときだけ表示されます。）",
        "Brevlo 3 へようこそ！");
  }
  // Recovery copies of the last fatal stop.
  if (go) {
    EmergencySave_offerRecovery(path(app, "%backup%"), app.options.japanese,
                                [&app](const std::string& copy) {
                                  Except_tryCatch([&] { app.hooks.openNote(app, copy, "", false); },
                                                  [&](const Errors_Msg& e) { app.show(e.message()); });
                                });
  }
  return go;
}

int CZerbinApp_shutDown(CZerbinApp& app, int quitCode) {
  Except_barrier([&] {
    Except_tryCatch(
        [&] {
          app.hooks.stopInstanceService(app);
          app.fileSema.reset();
          app.hooks.freePathVariables(app);
          app.hooks.closeKeywordIndex(app);
          app.hooks.destroySearchDialog(app);
          Susie_freeAll();
          ConversionStatus_setRefresh(nullptr);
          app.trayIcon.reset();
          WindowPlace_saveShownWindows(app);
          app.frames.clear();
          if (app.writeSettingsAtExit) {
            app.writeSettingsAtExit = false;
            if (qApp) QObject::disconnect(qApp, SIGNAL(commitDataRequest(QSessionManager&)), qApp, nullptr);
            CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);
          }
          if (!app.settings.keepDebugOut && !app.versionShown) DebugTrace_removeFile();
        },
        [&](const Errors_Msg& e) { ReportToUser(0, app.options.echoPath, "%s", e.message()); });
  });
  Errors_setExitHook(nullptr, nullptr);
  return quitCode != 0 ? quitCode : app.exitCode;
}

std::string CZerbinApp_commandExtension(const CZerbinApp_Options& o) {
  switch (o.convMode) {
    case CZerbinApp_Conv_Diff: return "txt";
    case CZerbinApp_Conv_Jpeg: return "jpg";
    case CZerbinApp_Conv_Png: return "png";
    case CZerbinApp_Conv_Word:
    case CZerbinApp_Conv_Excel:
    case CZerbinApp_Conv_Ppt:
    case CZerbinApp_Conv_PptLarge: return "wsf";
    case CZerbinApp_Conv_Vml:
    case CZerbinApp_Conv_VmlPlain: return "html";
    case CZerbinApp_Conv_Mhtml: return "mht";
    // The public copy keeps the command line's documented default, so that
    // "-cs note.svg" writes beside the note rather than over it; "-cS"
    // (always given a destination by the site build) names a note.
    case CZerbinApp_Conv_Public: return "wsf";
    case CZerbinApp_Conv_PublicPlain: return "svg";
    default: break;
  }
  if (o.links) return "links.csv";
  if (o.ids) return "ids.csv";
  return {};
}

int CZerbinApp_runCommand(CZerbinApp& app, uint32_t frame, const CZerbinApp_Options& options,
                          const std::string& source, const std::string& destination,
                          size_t size) {
  int32_t key = options.convMode != 0 ? options.convMode
                : options.links       ? CZerbinApp_Cmd_Links
                : options.ids         ? CZerbinApp_Cmd_Ids
                                      : 0;
  if (key == 0) return 0;
  std::string dst = destination;
  if (dst.empty()) {
    dst = source;
    std::string ext = CZerbinApp_commandExtension(options);
    if (ext.find('.') != std::string::npos) {
      StrX_changeExtension(dst, "", size);
      dst += "." + ext;
    } else if (!StrX_changeExtension(dst, ext, size)) {
      ReportToUser(frame, options.echoPath, "%s", ResultCode_getText(ResultCode_BufferTooSmall).c_str());
      return 1;
    }
  }
  // Written over its own note (also through a link of the file system), a
  // conversion would destroy the note.  Page images always take their
  // format's extension.
  std::string written = dst;
  if (key == CZerbinApp_Conv_Jpeg || key == CZerbinApp_Conv_Png) {
    StrX_changeExtension(written, CZerbinApp_commandExtension(options), size);
  }
  if (FileX_sameFile(source, written)) {
    const bool publicCopy = key == CZerbinApp_Conv_Public || key == CZerbinApp_Conv_PublicPlain;
    ReportToUser(frame, options.echoPath,
                 publicCopy ? (options.japanese
                                   ? "%s: 公開用のコピーで元のノートを上書きすることはできません。"
                                   : "%s: the public copy cannot replace its own note.")
                            : (options.japanese
                                   ? "%s: 変換の出力で元のノートを上書きすることはできません。"
                                   : "%s: the conversion cannot replace its own note."),
                 source.c_str());
    return 1;
  }
  auto it = app.hooks.commands.find(key);
  if (it == app.hooks.commands.end() || !it->second) {
    ReportToUser(frame, options.echoPath, "%s -> %s: この変換はまだ使えません。", source.c_str(),
                 dst.c_str());
    return 1;
  }
  int result = 0;
  Except_tryCatch([&] { result = it->second(app, frame, source, dst); },
                  [&](const Errors_Msg& e) {
                    if (e.code < FileX_Err_EOF || e.code > FileX_Err_CannotWrite ||
                        e.code == FileX_Err_NotFindCopySrc) {
                      Except_throw(e);
                    }
                    ReportToUser(frame, options.echoPath, "%s", e.message());
                    result = 1;
                  });
  // "-links" with "-ids": the id list goes beside the link list, under its
  // name with "ids.csv" in place of "links.csv".
  if (key == CZerbinApp_Cmd_Links && options.ids) {
    std::string ids = dst;
    const std::string_view links = ".links.csv";
    if (ids.size() > links.size() && ids.compare(ids.size() - links.size(), links.size(), links) == 0) {
      ids.resize(ids.size() - links.size());
    } else {
      StrX_changeExtension(ids, "", size);
    }
    ids += ".ids.csv";
    CZerbinApp_Options idsOnly = options;
    idsOnly.links = false;
    result |= CZerbinApp_runCommand(app, frame, idsOnly, source, ids, size);
  }
  return result;
}
