// Saving without asking, and the end of the application and of the
// session: the auto-save of a window that loses activation, the exit
// command (57665) with its question, the commands of the shell flags
// (32963 auto save, 32961 tray icon, 32985 new window), the standard keys
// of the file commands, and the session end.
#pragma once

#include <cstddef>

class CMainFrame;
class CommandTable;

// Writes the note silently when the window's note is modified, has a path
// and its auto-save is not disabled, and no save is running.  Answers
// whether it wrote.
bool NoteSave_autoSave(CMainFrame& frame);
// Auto-saves the window whenever it loses activation to a window that is
// not its own (while the auto-save flag is on).
void NoteSave_watchActivation(CMainFrame& frame);

// The exit command: with two or more windows (one or more from the icon's
// menu) asks "Brevlo 3.10 のすべてのウィンドウを閉じますが、よろしいですか。";
// on Yes closes every main window (each with its close question).
// Answers whether every window closed.
bool NoteSave_exitAll(CMainFrame* owner, bool fromIcon);

// The session ends: every modified note is saved as the save command does
// (an untitled one only when `mayInteract`, through its save dialog).
// Answers false when a note could not be saved: the session should not
// end.
bool NoteSave_sessionEnd(bool mayInteract);

// The main windows that are shown.
size_t NoteSave_shownWindows();

void NoteSave_registerShellCommands(CommandTable& table, CMainFrame& frame);
// The platform's standard keys of new, save, save as, close and exit, less
// those another command of the window already has.
void NoteSave_assignStandardKeys(CommandTable& table);
