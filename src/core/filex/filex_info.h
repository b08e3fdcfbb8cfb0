// Questions about files on disk: existence, kind, times, sizes, the
// read-only state and the UTF-16 mark.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Whether the path exists.  A path that is not well-formed Shift-JIS or
// longer than 4095 bytes is written to the developer trace and raises 102.
// A path with ".." components is made absolute first and does not exist
// when ".." is left (it climbs above the root).  A bare drive ("C:") exists;
// other drive and server paths never reach the OS and do not exist.
bool FileX_exists(std::string_view path);
// As FileX_exists; when false, tries again without the part of the file
// name from its first '#' or '?'.
bool FileX_existsIgnoringFragment(std::string_view path);
// An existing folder, or a bare drive ("C:", "C:\"); a final separator is
// ignored.
bool FileX_isFolder(std::string_view path);
// A regular file (symbolic links followed).
bool FileX_isFile(std::string_view path);

// Modification time in nanoseconds since 1970; raises
// FileX_Err_NotSupportUnicode (370) when the file cannot be examined.
int64_t FileX_fileTime(std::string_view path);
// Size in bytes, 0 when the file cannot be examined.
int64_t FileX_fileSize(std::string_view path);
// 1 when a is newer, -1 when older, 0 when equal or neither exists, 2 when
// only a exists, -2 when only b exists.
int FileX_compareTimes(std::string_view a, std::string_view b);
// 1 for a file that starts with FF FE, 2 for FE FF, 0 otherwise.
int FileX_utf16Kind(std::string_view path);

// Read-only means no write bit in the mode.  Setting clears every write
// bit; clearing gives the owner the write bit.  102 when the file is
// missing.
bool FileX_isReadOnly(std::string_view path);
void FileX_setReadOnly(std::string_view path, bool on);

// --- the identity of a note file ---
// The path a note is known by: absolute (against the current folder), with
// "." and ".." pieces and doubled separators taken out; symbolic links are
// left as they are.  A fragment stays.  Empty stays empty.
std::string FileX_notePath(std::string_view path);
// Whether two paths name one file: the same device and inode when both
// exist (whatever links, "..", "." or doubled separators lead there),
// otherwise equal note paths (FileX_notePath).  Windows, the recent list,
// links and conversions compare notes with this alone.
bool FileX_sameFile(std::string_view a, std::string_view b);

// --- "inside this folder" ---
// Whether `path` names something strictly below `folder` (a file or folder
// inside it or one of its subfolders), both taken as FileX_notePath takes
// them and with every symbolic link of the part that exists followed: a
// link inside the folder that leads out of it is outside.  The folder
// itself is not inside.  Every writer that must stay in its folder asks
// this.
bool FileX_insideFolder(std::string_view path, std::string_view folder);
