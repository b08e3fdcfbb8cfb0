// The periodic backups of the notes being edited and the start-up clean-up
// of old backups and work files.  Plain C++ (the window's timer calls in).
//
// A window's backup is "%backup%/backup-" + the note's file name + "-" + n
// + ".svg" with n the first free number, chosen when the window gets its
// note; before each new backup the previous one is copied aside (the
// backup folder's "backup" and its daily "#1" copy), and each backup is
// written whole (a reader finds the old or the new file, never half).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Two days in nanoseconds: backups and work files older than this go.
inline constexpr int64_t BackupFiles_maxAge = int64_t{2} * 24 * 3600 * 1000000000;

// The backup file name for a note (its path, "" untitled) in `backupFolder`.
std::string BackupFiles_nameFor(std::string_view backupFolder, std::string_view notePath);

// The window id a work file's name carries: four characters, an optional
// "_", then eight hexadecimal digits ending the name or followed by "_" or
// "."  ("img_0000002A_3", "ink_0000002A_1_13", "conv_0000002A.wsf"); none
// for any other name (which the clean-up never deletes).
std::optional<uint32_t> BackupFiles_workFileOwner(std::string_view name);

struct BackupCleanCount {
  int backups = 0;
  int workFiles = 0;
};
// The start-up clean-up: in `backupFolder` and its "backup" folder, every
// "backup-*.svg" older than two days before `now` (nanoseconds since 1970);
// in `workFolder` (top level, plain files only), every work file older than
// that whose window id is not `alive` and no newer work file carries.  A
// time that cannot be read counts as old.  Never raises.
BackupCleanCount BackupFiles_clean(std::string_view backupFolder, std::string_view workFolder,
                                   int64_t now, const std::function<bool(uint32_t id)>& alive);

// A copy of a note kept for going back: the window's periodic backups, the
// copies a save sets aside ("backup/" beside the note and its daily "#1").
struct BackupEntry {
  std::string path;  // CP932
  int64_t time = 0;  // nanoseconds since 1970
};
// The copies of the note at `notePath` ("" untitled: its periodic backups
// only), newest first.
std::vector<BackupEntry> BackupFiles_history(std::string_view notePath, std::string_view backupFolder);
