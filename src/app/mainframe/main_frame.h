// The main window of a note: the editing view in the middle, the left pane
// (the page tree, a placeholder for now) beside it, and the menu bar built
// from the window's command table.  The window owns its note; the view
// shows the note's current page.
#pragma once

#include <QMainWindow>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/saving/save_options.h"
#include "document/note/note_document.h"
#include "platform/text/qt_text_metrics.h"
#include "undo/undo_history.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_table.h"
#include "view/keyboard/selection_commands.h"

class CZerbinPropBar;
class FrameClipboard;
class PageCommands;
class ToolBars;
class QDockWidget;
class WindowList;
struct FrameLinks;

// The title: file name, " - ", then the page part and " - " when there is
// one, then "Brevlo 3.10".  An empty path gives "無題" / "NoTitle".
std::string CMainFrame_titleText(std::string_view notePath, std::string_view pagePart,
                                 bool japanese);

struct CMainFrameOptions {
  bool japanese = true;
  std::string workFolder;  // "%work%", where the note's working files go
  // The grid settings of the settings file, given to every page shown.
  bool gridOn = false;
  bool gridDisp = false;
  // Called when a grid command changed them.
  std::function<void(bool gridOn, bool gridDisp)> gridChanged;
  // Folders and settings of saving and the recent list.
  NoteSaveOptions save;
  // The page image format last chosen (DefaultImageType: 1 PNG, 2 JPEG),
  // and who keeps it when the page image command changes it.
  int32_t defaultImageType = 1;
  std::function<void(int32_t type)> imageTypeChanged;
  // The Excel version of the last Excel conversion (VBAVer: 2000 or 2007),
  // and who keeps it when the Excel command changes it.
  int32_t vbaVer = 2000;
  std::function<void(int32_t version)> vbaVerChanged;
  // The embedding settings (WindowColor, ScriptWrapper; LowerPath is
  // save.lowerPath) and who stores them when the embedding dialog changes one.
  bool windowColor = false;
  bool scriptWrapper = false;
  std::function<void(bool lowerPath, bool windowColor, bool scriptWrapper)> embedSettingsChanged;
  // The application's windows (null: a window on its own, as in tests).
  WindowList* windows = nullptr;
  // Pen ink (off: the NoInkForDebug setting).
  bool ink = true;
  // The periodic backup: "%backup%" ("" none), the interval in minutes (0:
  // none), and who keeps a new interval (the settings file).
  std::string backupFolder;
  int32_t backupInterval = 0;
  std::function<void(int32_t minutes)> backupIntervalChanged;
};

class CMainFrame;
class FrameBackup;
// The main windows on screen (not those kept hidden for reuse), in the
// toolkit's order of top-level windows.  Every "for each window" of the
// program walks this list.
std::vector<CMainFrame*> CMainFrame_shownFrames();

class CMainFrame : public QMainWindow, private ChildViewHost {
 public:
  // A window without a note (empty path, no page until LoadNote).
  CMainFrame(std::string notePath, bool japanese);
  CMainFrame(std::string notePath, CMainFrameOptions options);
  ~CMainFrame() override;

  const std::string& notePath() const { return notePath_; }
  // The note file's last-write time when this window loaded or last saved
  // it (0: unknown); a different time on disk means someone else wrote it.
  int64_t loadedTime = 0;
  // The writer gives a saved note its new path.
  void setNotePath(std::string path);
  const CMainFrameOptions& options() const { return options_; }
  // The embedding dialog changed a setting: kept here and stored at once.
  void setEmbedSettings(bool lowerPath, bool windowColor, bool scriptWrapper) {
    options_.save.lowerPath = lowerPath;
    options_.windowColor = windowColor;
    options_.scriptWrapper = scriptWrapper;
    if (options_.embedSettingsChanged) options_.embedSettingsChanged(lowerPath, windowColor, scriptWrapper);
  }
  const QtTextMetrics& metrics() const { return metrics_; }
  UndoHistory& undo() { return undo_; }
  // The title; a modified note is marked with "*" in front.
  void RefreshWindowTitle();
  // The note has changes that are not saved: undo's state, a pending nudge
  // or a running in-place edit.
  bool noteModified() const;
  // Records a running in-place edit and pending nudges (before a save or
  // the close question).
  void CommitPendingEdits();

  // Reads the note at `path` into the window's document with its first
  // page current; `untitled` keeps the window's path empty (a new note made
  // from a template).  Raises what the reader raises (363 missing file,
  // 4010 not a note); the window then holds no note.
  // Gives the note the view's ink engine (or none when ink is off).
  void attachInk();
  FrameBackup& backup() { return *backup_; }
  void LoadNote(const std::string& path, bool untitled);
  // An untitled note of one empty page (no template to start from).
  void NewNote();
  // Selects the page given on the command line: a number, or a name (a
  // page title or a figure id).  Answers false when there is none.
  bool SelectPageByText(std::string_view page);
  bool SelectPageNumber(int32_t number);

  NoteDocument& document() { return *doc_; }
  bool hasNote() const { return doc_ && !doc_->closed() && doc_->currentPage() != nullptr; }
  CChildView& view() { return *view_; }
  CommandTable& commands() { return *commands_; }
  QDockWidget* leftPane() { return leftPane_; }
  // History, target name and pinned flag of link following.
  FrameLinks& links() { return *links_; }
  // The page tree and the page commands.
  PageCommands& pages() { return *pages_; }
  // The current page is shown anew (grid settings, the view's page).
  void pageShown();
  // Cut, copy, paste and what drops insert.
  FrameClipboard& clipboard() { return *clipboard_; }
  // The property bar beside the view.
  CZerbinPropBar& propBar() { return *propBar_; }
  // The tool bars, the window modes and the style set's templates.
  ToolBars& toolBars() { return *toolBars_; }

 protected:
  // The close question of a modified note; Cancel keeps the window.
  void closeEvent(QCloseEvent* event) override;

 private:
  // ChildViewHost.
  ViewPageSource CurrentPage() override;
  int32_t CurrentPageNumber() override;
  bool TurnPage(int direction) override;
  void GoToPage(int32_t number) override;
  void SwitchBackPage() override;
  void GridChanged(const Canvas& canvas) override;
  bool Japanese() const override { return options_.japanese; }
  uint32_t WindowId() override;
  std::string NoteFolder() override;
  void SelectionChanged() override;
  void HistoryStepped() override;
  void LinkClicked(CadPrim& figure) override;
  void LinkHistoryStep(int direction) override;
  UndoHistory* History() override { return &undo_; }
  NoteDocument* Document() override { return hasNote() ? doc_.get() : nullptr; }
  const TextMetrics* Metrics() override { return &metrics_; }
  std::string NotePath() override { return notePath_; }
  void ModifiedChanged() override;
  Qt::DropAction DropAction(const QMimeData& data, Qt::KeyboardModifiers keys) override;
  Qt::DropAction Drop(const QMimeData& data, Point32 at, Qt::DropAction action) override;
  void DragOut(Point32 anchor) override;

  SelectionCommandTarget selectionTarget();

  std::string notePath_;
  CMainFrameOptions options_;
  QtTextMetrics metrics_;
  std::unique_ptr<NoteDocument> doc_;
  // Destroyed before the note: its records hold copies of the note's pages.
  UndoHistory undo_;
  CChildView* view_ = nullptr;
  QDockWidget* leftPane_ = nullptr;
  CZerbinPropBar* propBar_ = nullptr;
  FrameClipboard* clipboard_ = nullptr;
  bool tearingDown_ = false;
  std::unique_ptr<ToolBars> toolBars_;
  std::unique_ptr<CommandTable> commands_;
  std::unique_ptr<FrameLinks> links_;
  std::unique_ptr<FrameBackup> backup_;
  std::unique_ptr<PageCommands> pages_;
};
