#include "app/windows/window_place.h"

#include "app/links/frame_links.h"
#include "app/pages/page_commands.h"
#include "app/propbar/prop_bar.h"
#include "app/toolbars/tool_bars.h"
#include "app/settings/settings.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"
#include "core/prompts/user_prompts.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include <QDockWidget>
#include <QGuiApplication>
#include <QScreen>

namespace {

constexpr int32_t kDefaultPaneWidth = 120;

QPoint workAreaOrigin() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry().topLeft() : QPoint();
}

}  // namespace

bool WindowPlace_take(CMainFrame& frame, WindowPosition& pos) {
  if (frame.notePath().empty() || !frame.isVisible() || frame.isMinimized() ||
      frame.isMaximized())
    return false;
  const QPoint origin = workAreaOrigin();
  const QPoint at = frame.pos() - origin;
  pos = WindowPosition{};
  pos.key = frame.notePath();
  pos.left = at.x();
  pos.top = at.y();
  pos.right = at.x() + frame.width();
  pos.bottom = at.y() + frame.height();
  CZerbinPropBar& bar = frame.propBar();
  ToolBars& modes = frame.toolBars();
  const QSize size = bar.isVisible() ? bar.size() : bar.keptSize;
  pos.barWidth = size.width();
  pos.barHeight = size.height();
  pos.barFloating = bar.isFloating();
  // In a mode that hid the bar, the state before the mode is kept.
  pos.barHidden = modes.viewerMode() || modes.noteBarMode() ? !modes.propBarShownBefore()
                                                             : bar.isHidden();
  const Qt::DockWidgetArea area = frame.dockWidgetArea(&bar);
  pos.barStyle = area == Qt::NoDockWidgetArea ? Qt::RightDockWidgetArea : area;
  PageCommands& pages = frame.pages();
  const bool paneHidden = modes.viewerMode() || modes.noteBarMode() ? modes.treeHiddenBefore()
                                                                   : pages.paneHidden();
  if (paneHidden) {
    pos.paneMode = 1;
    pos.paneWidth = kDefaultPaneWidth;
  } else {
    // A widened pane is stored as the normal pane of the default width.
    pos.paneMode = 0;
    pos.paneWidth = pages.paneWidened() || pages.paneWidth() < 1 ? kDefaultPaneWidth
                                                                  : pages.paneWidth();
  }
  pos.viewFlags = (frame.links().pinned ? 2 : 0) | (modes.viewerMode() ? 1 : 0);
  pos.viewValue = 100;
  return true;
}

bool WindowPlace_save(CMainFrame& frame, const std::string& profileFolder,
                      const std::string& echoFile) {
  // The tool bars' places are the program's, kept whatever the note.
  if (!profileFolder.empty() && !frame.toolBars().viewerMode() && !frame.toolBars().noteBarMode()) {
    CZerbinApp_saveToolBarPlaces(profileFolder, frame.toolBars().places(), echoFile);
  }
  WindowPosition pos;
  if (profileFolder.empty() || !WindowPlace_take(frame, pos)) return false;
  return CZerbinApp_saveWindowPosition(profileFolder, pos, echoFile);
}

bool WindowPlace_restore(CMainFrame& frame, const std::string& profileFolder) {
  WindowPosition pos;
  if (frame.notePath().empty() || profileFolder.empty() ||
      !CZerbinApp_loadWindowPosition(profileFolder, frame.notePath(), pos))
    return false;
  if (pos.right <= pos.left || pos.bottom <= pos.top) return false;
  const QPoint origin = workAreaOrigin();
  frame.move(pos.left + origin.x(), pos.top + origin.y());
  frame.resize(pos.right - pos.left, pos.bottom - pos.top);
  PageCommands& pages = frame.pages();
  if (pos.paneMode == 1) {
    if (!pages.paneHidden()) pages.ToggleTreePane();
  } else if (QDockWidget* pane = frame.leftPane(); pane != nullptr && pos.paneWidth > 0) {
    frame.resizeDocks({pane}, {pos.paneWidth}, Qt::Horizontal);
  }
  frame.links().pinned = (pos.viewFlags & 2) != 0;
  CZerbinPropBar& bar = frame.propBar();
  // A record without the bar's docking place is damaged: said, and the
  // bar stays where it is.
  if (pos.barStyle == 0) {
    UserPrompts_get().messageBox("window.ini styles[i] == 0", "Brevlo", PromptButtons::Ok,
                                 PromptIcon::Warning, PromptAnswer::Ok, 0);
  }
  const auto area = static_cast<Qt::DockWidgetArea>(pos.barStyle);
  if (area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea ||
      area == Qt::TopDockWidgetArea || area == Qt::BottomDockWidgetArea) {
    frame.addDockWidget(area, &bar);
  }
  bar.setFloating(pos.barFloating);
  bar.keptSize = QSize(pos.barWidth, pos.barHeight);
  if (pos.barWidth > 0 && pos.barHeight > 0) {
    if (pos.barFloating) {
      bar.resize(pos.barWidth, pos.barHeight);
    } else {
      const bool vertical = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
      frame.resizeDocks({&bar}, {vertical ? pos.barWidth : pos.barHeight},
                        vertical ? Qt::Horizontal : Qt::Vertical);
    }
  }
  bar.setVisible(!pos.barHidden);
  if ((pos.viewFlags & 1) != 0) frame.toolBars().setViewerMode(true);
  return true;
}

void WindowPlace_saveShownWindows(CZerbinApp& app) {
  for (const auto& w : app.frames) {
    auto* frame = dynamic_cast<CMainFrame*>(w.get());
    if (frame == nullptr) continue;
    Except_tryCatch(
        [&] { WindowPlace_save(*frame, app.folders.profileFolder, app.options.echoPath); },
        [&](const Errors_Msg& e) { Errors_printf("window.ini: %s", e.message()); });
  }
}
