// The application's side of the shell: the notification-area icon with its
// menu "IconRight" (skipped where the desktop has no notification area),
// and the actions the windows' commands call (a new window, the icon).
#pragma once

struct CZerbinApp;

void CZerbinApp_installShell(CZerbinApp& app);
