// New file names: temporary files, "saving-N", numbered note names, and
// the extension that matches an image's content.
#pragma once

#include <string>
#include <string_view>

// The temporary folder: $TMPDIR, else "/tmp" (no final separator).
std::string FileX_tempFolder();

// Creates a new, empty file "<prefix>XXXXXX" in the temporary folder with
// mkstemp (O_EXCL) and returns its path.  Raises 362 when none can be made.
std::string FileX_temporaryName(std::string_view prefix);

// Creates (O_EXCL) the first free "saving-N" (N from 1) inside `path` when
// it is a folder, else beside it, and returns its path.
std::string FileX_uniqueSavingName(std::string_view path);

// The first "<folder><prefix><N>.svg" (N from 1) that does not exist; an
// empty folder means the temporary folder followed by "/".
std::string FileX_uniqueNoteName(std::string_view folder, std::string_view prefix);

// The picture kind of a file by its first 16 bytes ("gif", "png", "jpg";
// "" for anything else or a file that cannot be read).
std::string FileX_imageKind(std::string_view path);
// Reads the first 16 bytes: "GIF" at 0 -> gif, "PNG" at 1 -> png, "JFIF" at
// 6 -> jpg; false for anything else.  When the extension differs (ASCII
// case ignored) the file is renamed to that extension and `path` updated;
// an existing file of the new name is never replaced: the name gets " (2)",
// " (3)" ... instead.
bool FileX_fixImageExtension(std::string& path);
