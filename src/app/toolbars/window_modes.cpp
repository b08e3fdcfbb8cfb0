// The window modes: viewer mode (a bare window that reloads its note when
// the file was rewritten) and note-bar mode (docked on the top edge).
#include "app/toolbars/tool_bars.h"

#include "view/commands/command_ids.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include "app/pages/page_commands.h"
#include "app/propbar/prop_bar.h"
#include "view/menus/context_menus.h"
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QScreen>
#include <QToolBar>

void ToolBars::takeMask() {
  if (!frame_.isMinimized()) barMask_ = visibleMask();
}

void ToolBars::hideForMode() {
  if (frame_.isVisible()) {
    takeMask();
    propBarShown_ = !frame_.propBar().isHidden();
  }
  for (QToolBar* b : bars_) b->setVisible(false);
  frame_.propBar().setVisible(false);
  treeWasHidden_ = frame_.pages().paneHidden();
  if (!treeWasHidden_) frame_.pages().ToggleTreePane();
  frame_.menuBar()->setVisible(false);
}

void ToolBars::restoreFromMode(bool withPropertyBar) {
  showBars(barMask_);
  if (withPropertyBar) {
    frame_.propBar().setVisible(propBarShown_);
    if (frame_.pages().paneHidden() && !treeWasHidden_) frame_.pages().ToggleTreePane();
  }
  frame_.menuBar()->setVisible(true);
}

void ToolBars::keepViewSize(const QSize& before) {
  // Window managers answer later: the size is corrected up to four times.
  for (int i = 0; i < 4; ++i) {
    QApplication::processEvents();
    const QSize now = frame_.view().size();
    if (now == before) break;
    frame_.resize(frame_.size() + (before - now));
  }
}

void ToolBars::setViewerMode(bool on) {
  if (on == viewerMode_) return;
  const QSize before = frame_.view().size();
  if (on) {
    if (noteBarMode_) setNoteBarMode(false);
    const QPoint viewAt = frame_.view().mapToGlobal(QPoint());
    hideForMode();
    viewerMode_ = true;
    frame_.view().m_ViewerMode = true;
    // Without the menu bar the key V leaves the mode (it is no key while
    // notes are edited: it would take the letter from the text).
    if (QAction* a = frame_.commands().action(Cmd_ViewerMode)) a->setShortcut(Qt::Key_V);
    QApplication::processEvents();
    // The view keeps its place: the window moves by what left of it went.
    frame_.move(frame_.pos() + (viewAt - frame_.view().mapToGlobal(QPoint())));
    startWatcher();
  } else {
    watcher_.Stop();
    viewerMode_ = false;
    frame_.view().m_ViewerMode = false;
    if (QAction* a = frame_.commands().action(Cmd_ViewerMode)) a->setShortcut(QKeySequence());
    restoreFromMode(true);
  }
  keepViewSize(before);
}

void ToolBars::startWatcher() {
  watcher_.Stop();
  if (!viewerMode_ || frame_.notePath().empty()) return;
  QObject* guard = guard_.get();
  CMainFrame* frame = &frame_;
  // The reload runs on the window's thread, and never after the window.
  watcher_.Start(
      frame_.notePath(),
      [guard, frame] {
        QMetaObject::invokeMethod(
            guard, [frame] { frame->commands().run(Cmd_FileReopen); }, Qt::QueuedConnection);
      },
      watcherTimes);
}

void ToolBars::notePathChanged() {
  if (viewerMode_) startWatcher();
}

void ToolBars::setNoteBarMode(bool on, bool fromLoading) {
  if (on == noteBarMode_) return;
  const QScreen* screen = frame_.screen() != nullptr ? frame_.screen() : QGuiApplication::primaryScreen();
  const QRect work = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  const QRect full = screen != nullptr ? screen->geometry() : work;
  if (on) {
    if (viewerMode_) setViewerMode(false);
    hideForMode();
    wasMaximised_ = frame_.isMaximized();
    if (wasMaximised_) frame_.showNormal();
    savedRect_ = frame_.geometry();
    noteBarMode_ = true;
    frame_.view().contextMenus().noteBarMode = true;
    frame_.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    frame_.setGeometry(ToolBars_noteBarRect(savedRect_, work, full));
    frame_.show();
  } else {
    noteBarMode_ = false;
    frame_.view().contextMenus().noteBarMode = false;
    frame_.setWindowFlags(Qt::Window);
    frame_.setGeometry(QRect(work.left(), work.top() + 20, work.width(), 200));
    frame_.show();
    if (wasMaximised_) frame_.showMaximized();
    restoreFromMode(!fromLoading);
  }
}
