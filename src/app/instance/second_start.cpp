#include "app/instance/second_start.h"

#include <unistd.h>

#include <cstdio>

#include "app/instance/instance_channel.h"
#include "app/startup/command_line.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/errors/result_code.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/strx/codepage.h"
#include "document/reader/reader_elements.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include <QApplication>
#include <QClipboard>
#include <QSystemTrayIcon>
#include <QWidget>

namespace {

std::u16string u16(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string answerLines(uint32_t window) {
  char text[48];
  std::snprintf(text, sizeof text, "0x%08X\n0x%08X\n", window, static_cast<unsigned>(getpid()));
  return u16(text);
}

std::string currentFolderUtf8() {
  char buf[4096];
  return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

bool busyWindow() { return QApplication::activeModalWidget() != nullptr; }

// Closes every main window (each asks its save question); when none is
// left, the service stops and the process ends.
void endProcess(CZerbinApp& app) {
  for (CMainFrame* f : CMainFrame_shownFrames()) f->close();
  if (SecondStart_visibleMainWindows() > 0) return;  // a close was cancelled
  app.hooks.stopInstanceService(app);
  QCoreApplication::exit(0);
}

// "-unload" and "Exit": refused while a window is busy with a dialog.
GUIServiceAnswer endAnswer(CZerbinApp& app, const std::string& echo) {
  GUIServiceAnswer a;
  a.text = answerLines(0);
  if (busyWindow()) {
    ReportToUser(app.mainFrame, echo, "%s", "作業中のウィンドウがあるため、終了できません");
    return a;
  }
  a.after = [&app] { endProcess(app); };
  return a;
}

uint32_t firstShownFrame(CZerbinApp& app) {
  const std::vector<CMainFrame*> shown = CMainFrame_shownFrames();
  return shown.empty() ? app.mainFrame : WindowIds_idOf(shown.front());
}

// Step 5 of a second start: the note in a new window, and its command.
uint32_t openAndRun(CZerbinApp& app, const CZerbinApp_Options& o, const std::string& notePath,
                    const std::string& fragment, const std::string& destination) {
  const std::string& echo = o.echoPath.empty() ? app.options.echoPath : o.echoPath;
  // A conversion names its note (an empty source names none that exists).
  if ((!notePath.empty() || o.batch()) && !FileX_exists(notePath)) {
    ReportToUser(app.mainFrame, echo, "ファイルが見つかりません。\r\n%s", notePath.c_str());
    return 0;
  }
  uint32_t frame = 0;
  Except_tryCatch(
      [&] {
        if (notePath.empty()) {
          std::string templ;
          CZerbinApp_expandPath(app.folders, templ, CZerbinApp_notePathSize,
                                "%template%/new_default.svg");
          frame = app.hooks.openNote(app, templ, {}, true);
        } else {
          frame = app.hooks.openNote(app, notePath, fragment, false);
        }
      },
      [&](const Errors_Msg& e) {
        // Whatever stopped the reader refuses this note only: the
        // process and its other windows go on.
        if (!ReaderError_shownToUser(e)) ReportToUser(app.mainFrame, echo, "%s", e.message());
        frame = 0;
      });
  if (frame != 0) {
    if (QWidget* w = WindowIds_find(frame)) {
      w->raise();
      w->activateWindow();
    }
    if (o.batch()) {
      // The command reads the options of this call (format, pages, sizes,
      // publication); the serving process keeps its own and its exit status.
      const CZerbinApp_Options keep = app.options;
      const int keepExit = app.exitCode;
      app.options = o;
      app.options.echoPath = echo;
      Except_tryFinally(
          [&] {
            CZerbinApp_runCommand(app, frame, app.options, o.srcPath, destination,
                                  CZerbinApp_pathSize);
          },
          [&] {
            app.options = keep;
            app.exitCode = keepExit;
          });
    }
  }
  return frame;
}

}  // namespace

size_t SecondStart_visibleMainWindows() { return CMainFrame_shownFrames().size(); }

std::string SecondStart_lineToCp932(std::u16string_view line, std::vector<bool>& lossyWords) {
  lossyWords.clear();
  std::string out;
  size_t i = 0;
  while (i < line.size()) {
    if (line[i] == u' ') {
      out.push_back(' ');
      ++i;
      continue;
    }
    // One word: up to a space outside double quotes.
    size_t start = i;
    bool quoted = false;
    while (i < line.size() && (line[i] != u' ' || quoted)) {
      if (line[i] == u'"') quoted = !quoted;
      ++i;
    }
    bool lossy = false;
    out += Cp932_fromUtf16(line.substr(start, i - start), &lossy);
    lossyWords.push_back(lossy);
  }
  return out;
}

GUIServiceAnswer SecondStart_handle(CZerbinApp& app, const GUIServiceRequest& request) {
  GUIServiceAnswer answer;
  answer.text = answerLines(0);
  if (request.lines.empty()) return answer;
  if (request.lines[0] == u"Exit") return endAnswer(app, app.options.echoPath);
  if (request.lines[0] != u"Call" || request.lines.size() < 3) return answer;

  // 1. The two lines, parsed as at start-up.
  std::vector<bool> lossy;
  const std::string line = SecondStart_lineToCp932(request.lines[1], lossy);
  bool folderLossy = false;
  std::string folder = Cp932_fromUtf16(request.lines[2], &folderLossy);
  if (folderLossy) folder.clear();  // relative paths then name no file
  CZerbinApp_Options o;
  o.japanese = app.options.japanese;
  std::string notePath, fragment, destination;
  const int parsed =
      CZerbinApp_parseCommandLine(line, folder, o, notePath, fragment, destination, lossy);
  const std::string& echo = o.echoPath.empty() ? app.options.echoPath : o.echoPath;
  if (parsed != 0) ReportToUser(app.mainFrame, echo, "%s", ResultCode_getText(ResultCode_Message).c_str());
  if (parsed == CZerbinApp_PathRefused || parsed == ResultCode_BufferTooSmall) return answer;

  // 2. Ending and staying.
  if (o.unloadIf && o.convMode == CZerbinApp_Conv_None) {
    // A process stays resident only with its notification icon.
    const bool resident = app.settings.resident && app.trayIcon;
    if (SecondStart_visibleMainWindows() == 0 && !resident) answer.after = [&app] { endProcess(app); };
    return answer;
  }
  if (o.unload && o.convMode == CZerbinApp_Conv_None) return endAnswer(app, echo);
  if (o.load) return answer;

  // 3. File search.
  if (o.goSearch) {
    if (!o.keyword.empty()) QGuiApplication::clipboard()->setText(QtText_fromCp932(o.keyword));
    app.hooks.postFileSearch(app, firstShownFrame(app), o.useClipboard);
    return answer;
  }
  // 4. Site build.
  if (o.convMode == CZerbinApp_Conv_Rel) {
    // The build reads the options of this call (its current folder and
    // echo file); the serving process keeps its own and its exit status.
    const CZerbinApp_Options keep = app.options;
    const int keepExit = app.exitCode;
    app.options = o;
    app.options.echoPath = echo;
    Except_tryFinally([&] { app.hooks.buildSite(app, notePath); },
                      [&] {
                        app.options = keep;
                        app.exitCode = keepExit;
                      });
    return answer;
  }
  // 5, 6. A new window (at the page of "-page=" when no "#" names one),
  // its command, and the answer.
  std::string page = fragment;
  if (page.empty() && o.hasPage) page = o.pageName.empty() ? std::to_string(o.pageFirst) : o.pageName;
  answer.text = answerLines(openAndRun(app, o, notePath, page, destination));
  return answer;
}

void SecondStart_setDefaultHooks(CZerbinApp_Hooks& h) {
  if (!h.openInstanceService) {
    h.openInstanceService = [](CZerbinApp& app, const std::string& commandLine,
                               const std::string&) {
      // The words as given travel as UTF-16, so that the server knows which
      // of them code page 932 cannot hold.
      const std::u16string line = app.commandLineUtf8.empty() ? Cp932_toUtf16(commandLine)
                                                              : Utf8_toUtf16(app.commandLineUtf8);
      const std::u16string request =
          u"Call\n" + line + u"\n" + Utf8_toUtf16(currentFolderUtf8()) + u"\n";
      std::vector<std::u16string> answer;
      bool connected = false;
      const int r = GUIService_call(app.options.serviceName, request, answer, connected);
      if (r == 0) return CZerbinApp_InstanceAnswer::HandedOver;
      if (connected) {
        // A server took the call but gave no answer.
        app.show(ResultCode_getText(r));
        app.exitCode = CZerbinApp_Exit_Failed;
        return CZerbinApp_InstanceAnswer::HandedOver;
      }
      // Nobody serves the name.  A start that only ends a server, or that
      // runs one conversion and quits, serves nobody.
      const CZerbinApp_Options& o = app.options;
      if (o.batch() || ((o.unload || o.unloadIf) && o.convMode == CZerbinApp_Conv_None))
        return CZerbinApp_InstanceAnswer::Server;
      std::string problem;
      app.instanceServer = GUIServiceServer::create(o.serviceName, problem);
      if (!app.instanceServer) {
        // The windows of this process still work; later starts run apart.
        app.show(problem);
        return CZerbinApp_InstanceAnswer::Server;
      }
      app.instanceServer->setHandler(
          [&app](const GUIServiceRequest& req) { return SecondStart_handle(app, req); });
      return CZerbinApp_InstanceAnswer::Server;
    };
  }
  if (!h.stopInstanceService) {
    h.stopInstanceService = [](CZerbinApp& app) { app.instanceServer.reset(); };
  }
  if (!h.instanceServiceReady) {
    h.instanceServiceReady = [](CZerbinApp& app) {
      if (app.instanceServer) app.instanceServer->setDispatching(true);
    };
  }
}
