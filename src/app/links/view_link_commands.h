// The view's link and input-method commands of a main window: page buttons
// (32976), new link page (33160), link address (33205), the input method
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
void ViewLinkCommands_toggleInputMethod(CMainFrame& frame);
// Whether the input method of the view is open.
bool ViewLinkCommands_inputMethodOpen(CMainFrame& frame);
// Whether the platform lets a program hand text to the input method for
// reconversion (false with Qt's input method interface).
bool ViewLinkCommands_canReconvert();
