// What the windows of the process share about saving and ending: the
// auto-save and tray-icon flags, the closing flag, and the actions of the
// application that a window's commands call (a new window, the icon).
#pragma once

#include <functional>

struct NoteSaveShell {
  // "自動保存(&W)": a window that loses activation, or closes, saves its
  // modified note without asking.  Off until the user turns it on.
  bool autoSave = false;
  // "ﾀｽｸﾄﾚｲにｱｲｺﾝを表示": the notification-area icon is shown.
  bool trayIcon = true;
  // The application is ending (the exit command was confirmed).
  bool closing = false;
  // A save is being written: auto-save waits for the next occasion.
  bool saving = false;

  // Set by the application: opens an untitled note in a new window
  // (32985); shows or removes the notification icon.
  std::function<void()> newWindow;
  std::function<void(bool shown)> showTrayIcon;
  // Whether the process may end now (the instance service has no call
  // waiting); asked when the last window closes.
  std::function<bool()> mayEnd;
};

NoteSaveShell& NoteSave_shell();
