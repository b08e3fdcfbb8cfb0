// The tool bars of a main window (file, figure, alignment, pen, input
// assist) built from the window's commands, their visibility (the bar
// mask, show/hide all), the window modes that hide them (viewer mode, the
// note bar docked on the top edge) and the style set that gives the
// creation tools their templates.
#pragma once

#include <QObject>
#include <QRect>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/settings/settings.h"
#include "app/toolbars/note_file_watcher.h"
#include "app/toolbars/style_sets.h"

class CMainFrame;
class QActionGroup;
class QToolBar;

// The bar mask bits.
enum ToolBarBit : int32_t {
  ToolBar_file = 1,
  ToolBar_figure = 4,
  ToolBar_align = 8,
  ToolBar_pen = 16,
  ToolBar_input = 32,
};

// The note bar's place: the saved rectangle when it is wider than four
// fifths of the work area, else the work area's width at its top, 56
// pixels high; never higher than half the screen.
QRect ToolBars_noteBarRect(const QRect& saved, const QRect& workArea, const QRect& screen);

class ToolBars {
 public:
  // Registers the commands of the bars, the modes and the style sets.
  explicit ToolBars(CMainFrame& frame);
  ~ToolBars();
  // Makes the bars from the registered commands (after every module has
  // registered its own) and loads the default style set silently.
  void build();

  QToolBar* bar(int32_t bit) const;
  // The bars shown, as mask bits.
  int32_t visibleMask() const;
  void showBars(int32_t mask);
  // 33086: all four main bars shown hides them, else shows them.
  void toggleAll();
  bool allShown() const;

  // Viewer mode: the bare window that reloads its note when the file was
  // rewritten.
  bool viewerMode() const { return viewerMode_; }
  void setViewerMode(bool on);
  // Note-bar mode: docked on the top edge of the screen.
  bool noteBarMode() const { return noteBarMode_; }
  void setNoteBarMode(bool on, bool fromLoading = false);
  // The note's path changed (load, save as): the watcher follows it.
  void notePathChanged();

  // What a mode hid: whether the property bar was shown and the tree
  // hidden before it.
  bool propBarShownBefore() const { return propBarShown_; }
  bool treeHiddenBefore() const { return treeWasHidden_; }

  StyleSet& styles() { return styles_; }
  // LoadStyleSet with its box when the file cannot be read; false then.
  bool LoadStyleSet(const std::string& path);
  // The bars' places for "window.ini", in layout order, and placing them so.
  std::vector<ToolBarPlace> places() const;
  void restorePlaces(const std::vector<ToolBarPlace>& places);
  // The watcher's timing (tests shorten it).
  NoteFileWatcherTimes watcherTimes;

 private:
  void registerCommands();
  void takeMask();
  void hideForMode();
  void restoreFromMode(bool withPropertyBar);
  void keepViewSize(const QSize& before);
  void startWatcher();

  CMainFrame& frame_;
  std::vector<QToolBar*> bars_;
  QActionGroup* toolGroup_ = nullptr;  // in mask-bit order: file, figure, align, pen, input
  int32_t barMask_ = 0;
  bool propBarShown_ = true;
  bool treeWasHidden_ = false;
  bool viewerMode_ = false;
  bool noteBarMode_ = false;
  QRect savedRect_;
  bool wasMaximised_ = false;
  StyleSet styles_;
  NoteFileWatcher watcher_;
  std::unique_ptr<QObject> guard_;  // queued calls from the watcher die with it
};
