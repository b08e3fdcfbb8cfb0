// The decoder over a native plug-in library (see susie_plugin_abi.h).
#pragma once

#include <memory>
#include <string>

#include "core/susie/susie.h"

// Opens the library at `osPath` (the operating system's name) and looks up
// its entry points.  On failure returns nullptr and puts the reason, as
// CP932 text, into `why`.
std::unique_ptr<Susie_Decoder> SusieNative_open(const std::string& osPath, std::string& why);
