#include "app/windows/window_place.h"

#include "app/links/frame_links.h"
#include "app/pages/page_commands.h"
#include "app/settings/settings.h"
#include "app/startup/zerbin_app.h"
#include "core/errors/except3.h"

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
  // The window has no property bar: no size, hidden, docked on the right.
  pos.barWidth = pos.barHeight = 0;
  pos.barFloating = false;
  pos.barHidden = true;
  pos.barStyle = Qt::RightDockWidgetArea;
  PageCommands& pages = frame.pages();
  if (pages.paneHidden()) {
    pos.paneMode = 1;
    pos.paneWidth = kDefaultPaneWidth;
  } else {
    // A widened pane is stored as the normal pane of the default width.
    pos.paneMode = 0;
    pos.paneWidth = pages.paneWidened() || pages.paneWidth() < 1 ? kDefaultPaneWidth
                                                                  : pages.paneWidth();
  }
  pos.viewFlags = frame.links().pinned ? 2 : 0;
  pos.viewValue = 100;
  return true;
}

bool WindowPlace_save(CMainFrame& frame, const std::string& profileFolder,
                      const std::string& echoFile) {
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
