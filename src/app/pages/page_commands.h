// The page commands of a main window and its page tree (CLeftView): turning
// pages, adding, deleting, inserting from another note, retitling, moving
// pages in the tree, folding, the tree pane, and the title bar.
//
// Every change of the shown page goes through one selection handler
// (ShowPage): the view lets go of the old page, the note selects the new
// one, the view shows it from its top left corner, and the title bar
// follows.  Every change of the pages is one undo step (page records of the
// window's undo history); Undo and Redo here put the tree and the view in
// step with the pages afterwards.
//
// The tree is filled anew from the note after every change of the pages
// (folded pages stay folded), so it always mirrors the page list.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include <QPoint>

#include "app/pages/left_view.h"

class CMainFrame;
class CommandTable;
class QDockWidget;
class QMenu;

// The title bar: "[<page title> - ]<file name> - <page part> - Brevlo 3.10",
// the page title only with two or more ordinary pages; the page part is
// "%d/%d ページ目" ("Page %d/%d") with the current and the last page
// number, or "背景ページ" ("Background Page") on the back page.  An untitled
// note shows "無題" ("NoTitle"); without a note only the name is shown.
std::string PageTree_titleBar(const NoteDocument* doc, std::string_view notePath, bool japanese);

class PageCommands {
 public:
  explicit PageCommands(CMainFrame& frame);
  ~PageCommands();
  PageCommands(const PageCommands&) = delete;
  PageCommands& operator=(const PageCommands&) = delete;

  CLeftView& tree() { return *tree_; }

  // --- what the window calls ---
  // A note was loaded (or closed): fills the tree and selects the current
  // page's item.
  void NoteLoaded();
  // Shows page n: its item is selected (folded items above it unfold) and
  // the selection handler runs; n = 0 on a note with a back page runs the
  // back-page switch.  False when there is no such page.
  bool GoToPage(int32_t n);
  // The selection handler: shows `page` (a page of the note).
  void ShowPage(NotePage* page);

  // --- the commands ---
  void NextPage();
  void PreviousPage();
  void FirstPage();
  void LastPage();
  void AddPage(int32_t kind);
  void SwitchBackPage();
  void DeletePage();
  // Asks for a note (askNoteToInsert) and inserts its pages.
  void InsertPagesFromFile();
  // Inserts the pages of the note at `path` in front of the current page;
  // a note that cannot be read is reported and nothing changes.  Answers
  // the number of pages inserted.
  int32_t InsertPagesFromFile(const std::string& path);
  void EditTitle();
  void GoToParentPage();
  void FoldPage();
  void FoldChildPages();
  void ToggleTreePane();
  void WidenTreePane();
  // The drop of the tree: moves `page` before, under or after `target`
  // (PageDrop).  A target below the page itself is refused with a box.
  // False when nothing moved.
  bool MovePageInTree(NotePage* page, NotePage* target, int where);
  // One step of the undo history backwards / forwards, with the page tree
  // and the view following the pages.
  bool Undo();
  bool Redo();
  // After a step of the history (whoever ran it): the tree shows the pages
  // as they are now.
  void HistoryStepped();

  // Whether a command of this module can run now (its enabling rule).
  bool IsEnabled(int id) const;
  // Refreshes the enabled states and check marks of the commands.
  void UpdateCommands();
  void SetCommandTable(CommandTable* table) { table_ = table; }

  bool japanese() const;
  // The back page is shown.
  bool onBackPage() const;

  // --- the tree pane ---
  bool paneHidden() const { return paneHidden_; }
  bool paneWidened() const { return paneWidened_; }
  int paneWidth() const;

  // --- what the window may replace ---
  // Asks for the note whose pages are inserted; false when cancelled.
  // Default: the open dialog (nothing without a person to answer).
  std::function<bool(std::string& path)> askNoteToInsert;
  // Writes the current place into the link history as a step, before the
  // parent page is shown (the window's link history; none by default).
  std::function<void(const std::function<void()>& move)> recordHistoryStep;

 private:
  NoteDocument* doc() const;
  // The view lets go of the shown page (before the note changes it).
  void leavePage();
  // After the note changed its pages: the tree anew, the current page's
  // item selected, the view and the title bar following.
  void pagesChanged();
  void showCurrent(bool scrollHome);
  void contextMenu(QPoint global);
  void setPaneWidth(int width);
  std::string templatePath() const;
  void showTreePane();

  CMainFrame& frame_;
  CLeftView* tree_ = nullptr;
  CommandTable* table_ = nullptr;
  NotePage* lastSelected_ = nullptr;
  bool paneHidden_ = false;
  bool paneWidened_ = false;
  bool widenedFromHidden_ = false;
  int savedWidth_ = 160;
};

// Binds the page commands to their numbers, texts and keys.
void PageCommands_registerCommands(CommandTable& table, PageCommands& pages);
