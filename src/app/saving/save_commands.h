// The save and close commands of a main window: save (32771), save as
// (32779), read-only save (32984), close (33152), the close question, and
// the recent-file entries of the File menu (32785-32788, 32966-32969).
#pragma once

#include <ctime>
#include <string>
#include <string_view>

class CMainFrame;
class CommandTable;

// Saves the note under its path (an untitled note goes to save as).
// Answers whether the note was written.
bool NoteSave_save(CMainFrame& frame);
// Asks for a name and saves the note under it; `readOnly` gives the saved
// file the read-only attribute.  Answers whether the note was written.
bool NoteSave_saveAs(CMainFrame& frame, bool readOnly = false);
// The close question of a modified note: Yes saves (the close goes on only
// when the note is no longer modified), No closes without saving, Cancel
// keeps the window.  Answers whether the window may close.  A note with a
// path goes to the front of the recent list.
bool NoteSave_queryClose(CMainFrame& frame);
// A note was read into the window under its path: the recent list gets it.
void NoteSave_noteLoaded(CMainFrame& frame);
// Whether the note's file was written by someone else since this window
// loaded or saved it (its last-write time differs from the loaded time).
bool NoteSave_changedOnDisk(CMainFrame& frame);
// 33033: asks to save a modified note (Yes/No/Cancel), then loads the
// file again when it changed on disk (or the edits were dropped), on the
// page and at the scroll position it showed.
void NoteSave_reopen(CMainFrame& frame);

// The name proposed for an untitled note: `folder` + "/" + "メモ" ("memo")
// + " " + yymmdd, then nothing or "A" ... "Z", "AA", "AB", ...: the first
// for which neither ".svg" nor ".svgz" exists; without extension.
std::string NoteSave_proposeMemoName(std::string_view folder, const std::tm& date,
                                     bool japanese);

// Binds the commands of this module; `NoteSave_menusBuilt` after the menu
// bar is built makes the recent entries follow the list whenever the File
// menu opens.
void NoteSave_registerCommands(CommandTable& table, CMainFrame& frame);
void NoteSave_menusBuilt(CommandTable& table, CMainFrame& frame);
// Sets the recent entries' texts from "recent.ini" (entries beyond the
// list are hidden).
void NoteSave_refreshRecentEntries(CommandTable& table, CMainFrame& frame);

// The folder dialogs start in before anything was saved: the options' desktop
// folder, else the user's desktop (or home).
std::string NoteSave_desktopFolder(const CMainFrame& frame);
