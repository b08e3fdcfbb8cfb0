// The view's link and input-method commands of a main window: page buttons
// (32976), new link page (33160), link address (33205), the text dialog
// (33060), the lock toggle (33104), scrolling to the start and end
// (33130, 33131), the input method
// on and off (33073), and reconversion and sending text to the input
// method (33062, 33078, 33198), which the platform's input method does not
// offer and which stay disabled.
#pragma once

class CMainFrame;
class CommandTable;

void ViewLinkCommands_register(CommandTable& table, CMainFrame& frame);
// Sets the enabled states from the held figure and the window mode.
void ViewLinkCommands_refresh(CMainFrame& frame);

// The steps of the commands (they do nothing when their condition does not
// hold).
void ViewLinkCommands_pageButtons(CMainFrame& frame);
void ViewLinkCommands_newLinkPage(CMainFrame& frame);
void ViewLinkCommands_editLinkAddress(CMainFrame& frame);
// The held text box's text edited in the multi-line dialog; a changed text
// is recorded as the box's change.
void ViewLinkCommands_textDialog(CMainFrame& frame);
bool ViewLinkCommands_canEditText(CMainFrame& frame);
// Locks (or unlocks) the selection after the held figure's state; this is
// not an undo step.
void ViewLinkCommands_toggleLock(CMainFrame& frame);
bool ViewLinkCommands_canToggleLock(CMainFrame& frame);
// Ctrl+Home / Ctrl+End: the page's start or end, or while editing in place
// the start or end of the text.
void ViewLinkCommands_scrollTo(CMainFrame& frame, bool toEnd);
// Connect with text (33089) on the end of the held line that the right
// press of its menu grabbed.
void ViewLinkCommands_connectText(CMainFrame& frame);
bool ViewLinkCommands_canConnectText(CMainFrame& frame);
void ViewLinkCommands_toggleInputMethod(CMainFrame& frame);
// Whether the input method of the view is open.
bool ViewLinkCommands_inputMethodOpen(CMainFrame& frame);
// Whether the platform lets a program hand text to the input method for
// reconversion (false with Qt's input method interface).
bool ViewLinkCommands_canReconvert();
