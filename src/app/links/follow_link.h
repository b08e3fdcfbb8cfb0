// Following a link from a main window: pages of the same note, other notes
// (with a "#" fragment), folders and files opened with their default
// program, web addresses, keyword links; the back/forward history carried
// from window to window; and the commands of links and link addresses.
#pragma once

#include <functional>
#include <cstdint>
#include <string>

#include "app/links/link_history.h"

class CMainFrame;
class CadPrim;
class CommandTable;

enum LinkKind : int32_t {
  LinkKind_Jump = 0,       // recorded in the history
  LinkKind_Back = 1,
  LinkKind_Forward = 2,
  LinkKind_NoHistory = 3,  // a jump without history (fragments of an opened note)
};

struct FollowLinkRequest {
  bool openDialog = false;   // take the link from the open dialog
  std::string link;          // CP932 link text (path, URL, "#name", "path#name")
  const CadPrim* source = nullptr;  // the figure whose link this is
  std::string target;        // target window name ("" or "_top": this window)
  int32_t kind = LinkKind_Jump;
  // The place to restore (kinds 1 and 2; filled by the history steps).
  LinkHistoryEntry restore;
};

// The decision table.  Answers the window that shows the link's note (this
// one for a jump inside the note), or null when no note window was the
// result (a file or address handed to the desktop, a failure shown to the
// user, a cancelled question).  When the link replaces this window, its
// close is posted (it happens once the event loop runs).
CMainFrame* CMainFrame_followLink(CMainFrame& frame, FollowLinkRequest request);
// A move within the window that is a step of its link history (the parent
// page command): the place before is kept, the place reached is pushed.
void CMainFrame_recordedMove(CMainFrame& frame, const std::function<void()>& move);
// A figure's link (33106; 33151 with `newWindow`), as a click follows it.
CMainFrame* CMainFrame_followFigureLink(CMainFrame& frame, const CadPrim& figure, bool newWindow);
// A click on a linked figure: its link is followed and the selection of a
// window that stays is cleared.
void CMainFrame_linkClicked(CMainFrame& frame, const CadPrim& figure);
// Back (-1, 33155) or forward (+1, 33156); false when the chain has no step.
bool CMainFrame_historyStep(CMainFrame& frame, int direction);

// The place a window shows now, and showing a place again.
LinkHistoryEntry CMainFrame_place(CMainFrame& frame);
void CMainFrame_restorePlace(CMainFrame& frame, const LinkHistoryEntry& place);
// Shows the page named `name` (a page id, a figure id, a page title or a
// number) and selects the figure of that id; false after the not-found box.
bool CMainFrame_goToName(CMainFrame& frame, const std::string& name);

// Back and forward are enabled when the window's chain has a step.
void LinkCommands_refresh(CMainFrame& frame);
// Binds 33151, 33155, 33156, 33106, the link-address commands, 33176,
// 32977, 33191, 33192 and 33035.
void LinkCommands_register(CommandTable& table, CMainFrame& frame);
