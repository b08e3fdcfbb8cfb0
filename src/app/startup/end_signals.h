// SIGTERM and SIGHUP (the session or a service manager ending the program,
// the terminal closing) end the program as a session end does: the
// signal only writes a byte into a pipe; the event loop reads it and runs
// `onEnd` (recovery copies of modified notes), then leaves the loop, so the
// ordinary shut-down removes the socket and writes the settings.
#pragma once

#include <functional>

class QObject;

// Installs the handlers once per process; `owner` keeps the notifier.
void EndSignals_install(QObject& owner, std::function<void()> onEnd);
