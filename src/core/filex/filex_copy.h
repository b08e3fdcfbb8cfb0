// Making folders, copying files and folders, moving.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string_view>

// Creates every missing folder along `path` (along its parent folder when
// `isFile`); a relative path is taken from the current folder.  Existing
// folders are left alone and nothing is raised: the answer tells whether
// the folder exists afterwards.
bool FileX_makeFolders(std::string_view path, bool isFile);

// Creates the folders of `dst` and copies `src` over it (time and mode of
// `src`); false when the copy failed (nothing is raised, an old `dst` is
// left as it was).
bool FileX_copyFile(std::string_view dst, std::string_view src);

// Raises FileX_Err_NotFindCopySrc (364) when `src` is missing; creates the
// folders of `dst` and copies over it even when it is read-only.  The copy
// goes to a temporary file beside `dst` that is renamed over it, so a
// failed write (365, write-failed flag set) leaves an old `dst` intact.
// The result gets the time and mode of `src`.
void FileX_copyByContent(std::string_view dst, std::string_view src);

// Copies bytes [offset, end) of `src` to `dst` (end < 0: up to the end of
// `src`) in blocks; a short write raises 365 ("書きこみに失敗しました。").
void FileX_copyRange(std::FILE* dst, std::FILE* src, int64_t offset, int64_t end);

// Copies every file and folder under `src` to the same relative place under
// `dst` (365 when `dst` exists as a file).  Symbolic links are copied as
// links, never followed.
void FileX_copyFolder(std::string_view dst, std::string_view src);

// Moves a file or folder: a rename when possible, else a copy and the
// deletion of the source, which happens only when the whole copy succeeded.
// A source file that cannot be deleted raises FileX_Err_AccessDenied (367,
// "%s が削除できません").
void FileX_move(std::string_view dst, std::string_view src);
// Moves a file with the plain copy of FileX_copyFile when a rename is not
// possible; raises 367 "%s が %s にコピーできません" when that fails.
void FileX_moveWithSystemCopy(std::string_view dst, std::string_view src);
