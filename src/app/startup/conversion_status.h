// The application's conversion status: the name of the file an export is
// writing.  While it is set, the notification icon shows the busy icon and
// its tip adds " - 変換中:" and the name; the shell installs the refresh
// (no icon, e.g. offscreen or without a notification area: nothing to do).
#pragma once

#include <functional>
#include <string>
#include <string_view>

// Sets the status (cut to 39 bytes without splitting a double-byte
// character; "" clears it) and refreshes the icon.
void ConversionStatus_set(std::string_view name);
const std::string& ConversionStatus_name();

// The icon's tip: `appName`, then " - 変換中:" and the name while set.
std::string ConversionStatus_tip(std::string_view appName);

// Called after every change (null: none).
void ConversionStatus_setRefresh(std::function<void()> refresh);
