// Opening files with the messages of codes 362 and 363, and the small
// read and write helpers on open files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "core/filex/text_file.h"

// fopen with precise errors.  A writing mode ('w', 'a' or '+') raises
// FileX_Err_CannotWriteOpen (362): the missing-folder message when the
// parent folder does not exist, else the read-only message (also when the
// file is read-only by its mode bits, checked before opening so that the
// rule holds for root too).  A reading mode raises FileX_Err_CannotReadOpen
// (363) with "が開けません" when the file exists, else "が見つかりません".
// The path "\\\"" (a backslash and a quote) is read as "\\ ".
FilePtr FileX_open(std::string_view path, const char* mode);

// Raises the 362/363 error of `path` for the errno value `err`.
[[noreturn]] void FileX_raiseOpenError(std::string_view path, bool writing, int err);

// Reads at most `size` bytes of a file into dst; returns the count.
// Raises 363 when the file cannot be opened.
size_t FileX_readAll(std::string_view path, std::string& dst, size_t size);
// The whole file (363 when it cannot be opened).
std::string FileX_readWhole(std::string_view path);
// Up to n bytes from an open file (fewer at its end).
std::string FileX_readN(std::FILE* f, size_t n);
// Writes all bytes; a short write sets the write-failed flag and raises 365
// ("書きこみに失敗しました。").
void FileX_writeN(std::FILE* f, std::string_view data);
// Creates or truncates a file with the given bytes (362 / 365).
void FileX_writeWhole(std::string_view path, std::string_view data);
