// The backup copy made before a file is overwritten: "backup/<name>" beside
// the file, plus a daily copy "backup/<name>#1.<ext>" refreshed once a day.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Local midnight of today, in nanoseconds since 1970.
int64_t FileX_startOfToday();

// The backup folder of a file: "backup" beside it, or backup1, backup2 ...
// when a file (not a folder) of the name is in the way.
std::string FileX_backupFolder(std::string_view path);

// The daily copy's name: "#1" before the extension ("note.svg" ->
// "note#1.svg"; "notes" -> "notes#1").
std::string FileX_dailyCopyName(std::string_view fileName);

// Makes the backup copy of an existing file (nothing when it is missing):
// creates the backup folder (366 "フォルダ %s が作成できませんでした" when that
// fails), copies the file there under its own name (writable), and copies
// that to the daily copy when the daily copy is missing or older than
// `startOfToday` (FileX_startOfToday() when not given).  The daily copy is
// stamped with the time it was made.
void FileX_makeBackupCopy(std::string_view path,
                          std::optional<int64_t> startOfToday = std::nullopt);

// Makes the backup copy, creates the folders and replaces the file with
// `data` (atomically, see filex_atomic.h).
void FileX_writeWithBackup(std::string_view path, std::string_view data,
                           std::optional<int64_t> startOfToday = std::nullopt);
