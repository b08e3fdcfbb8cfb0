// The list of recently used notes that every window and every process of
// the user shares: "%prof%/recent.ini", section "RecentFiles", one "path"
// attribute of (path, title) per entry, most recent first, at most eight.
// Every change reads the file again and writes it whole under the lock
// "Zerbin_IniSema", so that two processes never lose each other's entries.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

inline constexpr size_t RecentFiles_max = 8;
inline constexpr const char* RecentFiles_fileName = "recent.ini";
inline constexpr const char* RecentFiles_lockName = "Zerbin_IniSema";

struct RecentFile {
  std::string path;   // CP932, full path
  std::string title;  // CP932, may be empty
};

// "//" begins a server path: kept without asking whether it exists.
bool RecentFiles_isServerPath(std::string_view path);

// The entries of the file in `profileFolder` in file order, server paths
// and missing files skipped, at most eight.  A missing or unreadable file
// gives an empty list (never raises).
std::vector<RecentFile> RecentFiles_read(std::string_view profileFolder);

// Puts `path` (an existing file) in front: an entry with the same path
// moves there and keeps its title unless `title` is given; a new one gets
// `title`.  Then the list is cleaned and written.  A path that does not
// exist changes nothing.  Raises what the settings writer raises (362,
// 365).
// With `keepKnownTitle` an entry that is in the list keeps its title
// whatever `title` says (opening a note keeps the title the list knows).
void RecentFiles_add(std::string_view profileFolder, std::string_view path,
                     std::string_view title = {}, bool keepKnownTitle = false);
// Removes the entry of `path` with its title, cleans and writes the list.
void RecentFiles_remove(std::string_view profileFolder, std::string_view path);

// Drops the entries whose local files no longer exist (server paths stay).
void RecentFiles_clean(std::vector<RecentFile>& list);

// The menu label of entry `n` (from 1): "(&n) " + title + " - " + file
// name (no title: the file name alone), at most 70 bytes: the longer of
// title and file name is shortened first, a shortened file name ends in
// "...".  "&" in the parts is doubled, so it shows as itself.
std::string RecentFiles_label(int n, const RecentFile& entry);
