#include "app/windows/window_list.h"

#include "view/child_view/child_view.h"

#include <algorithm>

#include "app/links/follow_link.h"
#include "app/links/frame_links.h"
#include "app/saving/frame_backup.h"
#include "app/saving/save_commands.h"
#include "app/settings/settings.h"
#include "app/startup/zerbin_app.h"
#include "app/toolbars/tool_bars.h"
#include "app/windows/window_place.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_info.h"
#include "core/kwdsearch/kwdsearch.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "view/child_view/child_view.h"
#include "figures/canvas/canvas.h"
#include "platform/windows/window_ids.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include <QApplication>
#include <QDockWidget>
#include <QMenuBar>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>

namespace {

const char* tr(bool japanese, const char* ja, const char* en) { return japanese ? ja : en; }

bool isNamedTarget(std::string_view target) { return !target.empty() && target[0] != '_'; }

// The window sized to show one page (at most the work area).
void sizeForPage(CMainFrame& frame) {
  if (!frame.hasNote()) return;
  const Canvas& canvas = frame.document().workingSettings();
  const int bar = frame.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  int w = canvas.width() + bar + 68;
  int h = canvas.height() + frame.menuBar()->sizeHint().height() + 68;
  if (frame.leftPane() != nullptr && frame.leftPane()->isVisibleTo(&frame)) {
    w += frame.leftPane()->sizeHint().width();
  }
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    w = std::min(w, area.width());
    h = std::min(h, area.height());
  }
  frame.resize(w, h);
}

// With ink switched off (NoInkForDebug), ink in the note cannot be shown:
// said once per opening.
void inkNotice(CMainFrame& frame) {
  // The view's own ink engine shows it.
  if (!frame.hasNote() || frame.view().ink() != nullptr) return;
  NoteDocument& doc = frame.document();
  bool ink = false;
  for (size_t i = 0; i < doc.pageCount() && !ink; ++i) {
    for (int32_t layer : {9, 13}) {
      const std::string file = doc.inkLayerPath(doc.pageNumberAt(i), layer);
      if (FileX_isFile(file) && FileX_fileSize(file) > 0) ink = true;
    }
  }
  if (!ink) return;
  UserPrompts_get().messageBox(
      frame.options().japanese
          ? "このファイルにインクデータがありますが表示できません。\r\nZerbin で表示/加工するには、Tablet PC "
            "モジュールを含んでいるWindows Journal Viewer "
            "などをインストールしてください。ただし、インクデータを見るだけなら SVG ビューアでできます。"
          : "Ink data in this file can not display.\r\nInstall Windows Journal Viewer etc. including "
            "Tablet PC module, if you want to display or edit ink on Zerbin.",
      "Brevlo 3.10", PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok,
      WindowIds_idOf(&frame));
}

void showInFront(CMainFrame& frame) {
  if (frame.isMinimized() || frame.isMaximized()) frame.showNormal();
  frame.show();
  frame.raise();
  frame.activateWindow();
}

}  // namespace

WindowList::WindowList(CZerbinApp& app) : app_(app) {}
WindowList::~WindowList() = default;

std::string WindowList::folder(const char* format) const {
  std::string dst;
  CZerbinApp_expandPath(app_.folders, dst, CZerbinApp_notePathSize, format);
  return dst;
}

const ZerbinSettings& WindowList::settings() const { return app_.settings; }
bool WindowList::japanese() const { return app_.options.japanese; }
const std::string& WindowList::echoPath() const { return app_.options.echoPath; }

KwdSearch& WindowList::keywordSearch() {
  if (app_.keywordSearch) return *app_.keywordSearch;
  if (!ownSearch_) ownSearch_ = std::make_unique<KwdSearch>(folder("%keywords%"));
  return *ownSearch_;
}

void WindowList::reloadPathVariables() {
  pathVariables_.clear();
  pathVariables_.load(folder("%path_var%"));
}

std::vector<CMainFrame*> WindowList::frames() const {
  std::vector<CMainFrame*> list;
  for (const auto& w : app_.frames) {
    auto* f = dynamic_cast<CMainFrame*>(w.get());
    if (f != nullptr && !f->property("zerbinClosed").toBool()) list.push_back(f);
  }
  return list;
}

bool WindowList::isPooled(const CMainFrame& frame) const {
  return frame.isHidden() && frame.property("zerbinPooled").toBool();
}

bool WindowList::isBusy(const CMainFrame& frame) const {
  if (loading_.count(&frame) != 0) return true;
  for (const QWidget* w = QApplication::activeModalWidget(); w != nullptr; w = w->parentWidget()) {
    if (w == &frame) return true;
  }
  return false;
}

void WindowList::frameClosed(CMainFrame& frame) {
  if (frames().size() >= WindowList_poolFrom) {
    // Kept hidden for the next note; its note goes now.
    frame.setProperty("zerbinPooled", true);
    frame.links() = FrameLinks();
    frame.NewNote();
    return;
  }
  // Out of the list once the close is over (a caller may be walking the
  // list); until then the window no longer counts.
  frame.setProperty("zerbinClosed", true);
  CMainFrame* closed = &frame;
  QMetaObject::invokeMethod(
      closed,
      [this, closed] {
        for (auto it = app_.frames.begin(); it != app_.frames.end(); ++it) {
          if (it->get() == closed) {
            QWidget* w = it->release();
            app_.frames.erase(it);
            w->deleteLater();
            return;
          }
        }
      },
      Qt::QueuedConnection);
}

CMainFrameOptions WindowList::frameOptions() {
  CZerbinApp& app = app_;
  CMainFrameOptions o;
  o.japanese = app.options.japanese;
  o.workFolder = folder("%work%");
  o.gridOn = app.settings.gridOn;
  o.gridDisp = app.settings.gridDisp;
  o.gridChanged = [&app](bool on, bool disp) {
    app.settings.gridOn = on;
    app.settings.gridDisp = disp;
  };
  o.defaultImageType = app.settings.defaultImageType;
  o.imageTypeChanged = [&app](int32_t type) {
    app.settings.defaultImageType = type;
    CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);
  };
  o.vbaVer = app.settings.vbaVer;
  o.vbaVerChanged = [&app](int32_t version) { app.settings.vbaVer = version; };
  o.windowColor = app.settings.windowColor;
  o.scriptWrapper = app.settings.scriptWrapper;
  o.embedSettingsChanged = [&app](bool lowerPath, bool windowColor, bool scriptWrapper) {
    app.settings.lowerPath = lowerPath;
    app.settings.windowColor = windowColor;
    app.settings.scriptWrapper = scriptWrapper;
    CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);
  };
  o.save.profileFolder = app.folders.profileFolder;
  o.save.scriptPath = folder("%script%/svg-script.txt");
  o.save.keywordsFolder = folder("%keywords%");
  const CZerbinApp_Folders folders = app.folders;
  o.save.variables = [folders](std::string_view name, std::string& value) {
    return CZerbinApp_folderVariable(folders, name, value);
  };
  o.save.lowerPath = app.settings.lowerPath;
  o.save.openNote = [this](const std::string& note) { openNote(note, "_blank", false, true); };
  o.windows = this;
  o.ink = !app.settings.noInkForDebug;
  o.backupFolder = folder("%backup%");
  o.backupInterval = app.settings.backupInterval;
  o.backupIntervalChanged = [this, &app](int32_t minutes) {
    app.settings.backupInterval = minutes;
    CZerbinApp_writeSettings(app.folders.profileFolder, app.settings, app.options.echoPath);
    // Every window backs up at the new pace.
    for (CMainFrame* f : frames()) f->backup().setInterval(minutes);
  };
  return o;
}

CMainFrame* WindowList::newFrame(bool& created) {
  created = true;
  auto frame = std::make_unique<CMainFrame>(std::string(), frameOptions());
  CMainFrame* f = frame.get();
  app_.frames.insert(app_.frames.begin(), std::move(frame));
  return f;
}

void WindowList::loadInto(CMainFrame& frame, const std::string& path, bool untitled) {
  if (untitled && !FileX_isFile(path)) {
    frame.NewNote();
    return;
  }
  // An empty note file starts from the template of empty files.
  if (!untitled && FileX_isFile(path) && FileX_fileSize(path) == 0) {
    const std::string empty = folder("%template%/file_default.svg");
    if (FileX_isFile(empty)) {
      frame.LoadNote(empty, true);
    } else {
      frame.NewNote();
    }
    frame.setNotePath(path);
    frame.RefreshWindowTitle();
    return;
  }
  frame.LoadNote(path, untitled);
}

CMainFrame* WindowList::openNote(std::string_view pathIn, std::string_view target, bool untitled,
                                 bool report) {
  const bool ja = japanese();
  // 1. Variables and fragment.
  std::string path = pathVariables_.expand(pathIn, CZerbinApp_notePathSize);
  std::string fragment;
  if (const size_t hash = path.find('#'); hash != std::string::npos) {
    fragment = path.substr(hash + 1);
    path.resize(hash);
  }
  if (untitled && path.empty()) path = folder("%template%/new_default.svg");
  // One file, one window: the note is known by its absolute path, and
  // windows are compared by the file's identity.
  if (!untitled) path = FileX_notePath(path);
  // 3. A missing file gives no window.
  if (!untitled && !path.empty() && !FileX_exists(path)) {
    if (!report) Errors_RAISE(FileX_Err_CannotReadOpen, "%s", path.c_str());
    UserPrompts_get().messageBox(path + tr(ja, " が見つかりません。", " Not Found."), "Brevlo 3.10",
                                 PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok, 0);
    return nullptr;
  }
  // 2.1 The window that shows the note, the target's window, a pooled one.
  std::vector<CMainFrame*> all = frames();
  CMainFrame* found = nullptr;
  bool byPath = false;
  if (!untitled && !path.empty()) {
    for (CMainFrame* f : all) {
      if (!isPooled(*f) && f->hasNote() && FileX_sameFile(f->notePath(), path)) {
        found = f;
        byPath = true;
        break;
      }
    }
  }
  if (found == nullptr && isNamedTarget(target)) {
    for (CMainFrame* f : all) {
      if (!isPooled(*f) && StrX_equalsNoCase(f->links().targetName, target)) {
        found = f;
        break;
      }
    }
  }
  if (found == nullptr && all.size() >= WindowList_poolFrom) {
    for (CMainFrame* f : all) {
      if (isPooled(*f) && !isBusy(*f)) {
        found = f;
        break;
      }
    }
  }

  // 2.2 A window that shows the note already comes to the front.
  if (found != nullptr && byPath) {
    if (!fragment.empty()) CMainFrame_goToName(*found, fragment);
    found->links().history.startChain(CMainFrame_place(*found));
    LinkCommands_refresh(*found);
    showInFront(*found);
    return found;
  }

  bool created = false;
  CMainFrame* frame = found;
  if (frame != nullptr) {
    // A target window holding a modified note asks first.
    if (!isPooled(*frame) && !NoteSave_queryClose(*frame)) return nullptr;
  } else {
    frame = newFrame(created);
  }
  bool failed = false;
  loading_.insert(frame);
  Except_tryCatch([&] { Except_tryFinally([&] { loadInto(*frame, path, untitled); },
                                          [&] { loading_.erase(frame); }); },
                  [&](const Errors_Msg& e) {
                    // Any error of the reader (a damaged gzip stream, a
                    // broken element, a missing file) refuses this note
                    // alone; the other windows live on.
                    failed = true;
                    if (created) {
                      // 2.3 No half-loaded window stays.
                      for (auto it = app_.frames.begin(); it != app_.frames.end(); ++it) {
                        if (it->get() == frame) {
                          app_.frames.erase(it);
                          break;
                        }
                      }
                    } else {
                      frame->NewNote();
                    }
                    if (!report) Except_throw(e);
                    UserPrompts_get().showDetail("Brevlo 3.10", e.message(), 0);
                  });
  if (failed) return created ? nullptr : frame;
  frame->setProperty("zerbinPooled", false);
  frame->links().targetName = isNamedTarget(target) ? std::string(target) : std::string();
  // 2.4 The fragment, then the window's first history entry.
  if (!fragment.empty()) CMainFrame_goToName(*frame, fragment);
  frame->links().history = LinkHistory();
  frame->links().history.startChain(CMainFrame_place(*frame));
  LinkCommands_refresh(*frame);
  if (created && !WindowPlace_restore(*frame, app_.folders.profileFolder)) sizeForPage(*frame);
  showInFront(*frame);
  inkNotice(*frame);
  if (!fragment.empty()) {
    // The page is laid out for the window's size now: the figure shows.
    frame->links().history.update(CMainFrame_place(*frame));
  }
  return frame;
}

WindowList& WindowList_of(CZerbinApp& app) {
  if (!app.windowList) app.windowList = std::make_unique<WindowList>(app);
  return *app.windowList;
}

void WindowList_applyPageOption(CZerbinApp& app, CMainFrame& frame) {
  if (app.options.hasPage && !app.options.pageName.empty()) {
    frame.SelectPageByText(app.options.pageName);
  } else if (app.options.hasPage && app.options.pageFirst > 0) {
    frame.SelectPageNumber(app.options.pageFirst);
  }
}

void WindowList_installHooks(CZerbinApp_Hooks& h) {
  if (!h.openNote) {
    h.openNote = [](CZerbinApp& a, const std::string& notePath, const std::string& fragment,
                    bool untitled) -> uint32_t {
      WindowList& list = WindowList_of(a);
      if (a.options.batch()) {
        // A batch command reads the note itself; the window only shows one.
        auto frame = std::make_unique<CMainFrame>(untitled ? std::string() : notePath,
                                                  list.frameOptions());
        const uint32_t id = WindowIds_idOf(frame.get());
        a.frames.insert(a.frames.begin(), std::move(frame));
        return id;
      }
      const std::string path = fragment.empty() || untitled ? notePath : notePath + "#" + fragment;
      CMainFrame* f = list.openNote(path, "_blank", untitled, false);
      if (f == nullptr) return 0;
      if (fragment.empty()) WindowList_applyPageOption(a, *f);
      // "-view" and "-view-": the window goes into viewer mode or out of it.
      if (a.options.viewMode != 0) f->toolBars().setViewerMode(a.options.viewMode > 0);
      return WindowIds_idOf(f);
    };
  }
  if (!h.loadPathVariables) {
    h.loadPathVariables = [](CZerbinApp& a) { WindowList_of(a).reloadPathVariables(); };
  }
  if (!h.freePathVariables) {
    h.freePathVariables = [](CZerbinApp& a) {
      if (a.windowList) a.windowList->pathVariables().clear();
    };
  }
}
