// The place of a main window in "%prof%/window.ini", under the note's full
// path: written when the window closes and when the program ends with the
// window still shown, taken by a new window that opens the note.
#pragma once

#include <string>

struct CZerbinApp;
class CMainFrame;
struct WindowPosition;

// The record of the window as it is now: the rectangle measured from the
// work area's origin, the tree pane, the pinned flag.  False when nothing
// is to be written: a window without a note path, hidden, minimised or
// maximised.
bool WindowPlace_take(CMainFrame& frame, WindowPosition& pos);
// Writes the window's record (under "Zerbin_WindowPosSema"); false when
// nothing was written.  A failed write is reported to `echoFile`.
bool WindowPlace_save(CMainFrame& frame, const std::string& profileFolder,
                      const std::string& echoFile);
// Gives the window the place, tree pane and pin of the note's record;
// false when the note has none (or a record with no area).
bool WindowPlace_restore(CMainFrame& frame, const std::string& profileFolder);
// At the end of the program: every main window still shown writes its
// place (windows closed before wrote theirs when they closed).
void WindowPlace_saveShownWindows(CZerbinApp& app);
