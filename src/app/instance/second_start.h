// One process serves the user's windows: a start of the program first asks
// the process serving its service name to take its command line, and
// becomes the server itself when nobody serves it.  The server's handler
// takes the command lines of later starts: it opens their notes in new
// windows, runs their commands, and ends the process on "-unload",
// "-unload_if" (only without windows) or "Exit".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/instance/instance_server.h"

struct CZerbinApp;
struct CZerbinApp_Hooks;

// Installs the hooks of the instance service (open, stop, ready) where they
// are not set.
void SecondStart_setDefaultHooks(CZerbinApp_Hooks& hooks);

// The handler of the server: "Call", command line, current folder (or
// "Exit").  Answers the id of the window that shows the note (0 when none
// was opened) and this process id, each as "0x%08X".
GUIServiceAnswer SecondStart_handle(CZerbinApp& app, const GUIServiceRequest& request);

// A command line received as UTF-16 in code page 932, with one flag per
// word (words as the command-line parser splits them) that tells whether
// the word held characters code page 932 cannot hold.
std::string SecondStart_lineToCp932(std::u16string_view line, std::vector<bool>& lossyWords);

// The main windows that are shown.
size_t SecondStart_visibleMainWindows();
