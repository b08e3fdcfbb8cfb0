// The list of files that open without asking: "%security%/safefiles.txt",
// one wildcard pattern a line.  Plain C++.
#pragma once

#include <string>
#include <string_view>

// Whether a line of the list (white space trimmed) matches `path` by the
// wildcard compare; a line holding only "*" does not count.  A missing
// list matches nothing.
bool SafeFiles_isSafe(std::string_view listPath, std::string_view path);
// The pattern added when the user asks not to be asked again: "*." and the
// extension ("*" alone, which never counts, for a file without one).
std::string SafeFiles_patternOf(std::string_view path);
// Appends `pattern` as a line (CR LF), creating the folder and the list.
// Raises the file errors (362, 365).
void SafeFiles_add(std::string_view listPath, std::string_view pattern);
