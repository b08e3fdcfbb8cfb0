// Deleting folder trees and files.
#pragma once

#include <string_view>

// Deletes a folder with everything inside it, never following symbolic
// links (a link is removed itself).  Refuses with 102, deleting nothing,
// the empty path, "/", the system folders (/bin /boot /dev /etc /lib*
// /proc /sbin /sys /usr /var), $HOME and any folder that holds $HOME,
// checked on the real path.  Steps out of the folder when it holds the
// current folder.  True when the folder is gone afterwards (false also when
// it did not exist).
bool FileX_deleteTree(std::string_view folder);

// Whether FileX_deleteTree refuses this folder (as given or as its real
// path).
bool FileX_isProtectedFolder(std::string_view folder);

// Deletes every file (not folder) of a folder whose name matches the
// wildcard pattern of the last path component ('*', '?', ASCII case
// ignored); returns how many were deleted.
int FileX_deleteFiles(std::string_view pattern);

// Deletes one file (or symbolic link); false when it could not.
bool FileX_deleteFile(std::string_view path);
