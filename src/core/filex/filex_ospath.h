// The one place where a CP932 path becomes a path for the operating system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A path that never reaches the OS on this platform: a drive path ("C:\x",
// "C:x", also the bare "C:") or a server path ("\\server\share").
bool FileX_isForeignPath(std::string_view cp932Path);

// The UTF-8 path to hand to the OS; nullopt for an empty path, a foreign
// path, or a name that code page 932 text cannot be turned into without
// loss (such a path is "not found").
std::optional<std::string> FileX_osPath(std::string_view cp932Path);
