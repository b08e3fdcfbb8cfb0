// Copying text files into an open stream: whole, with replacements, or up
// to the first of some keywords.  The bytes are copied as they are on disk
// (CR LF stays CR LF).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

using FileX_Replacements = std::vector<std::pair<std::string, std::string>>;

// Appends the whole file to `out` (363 when it cannot be opened, 365 on a
// short write).
void FileX_textCopy(std::FILE* out, std::string_view path);

// The same, line by line, replacing in each line every old text of the
// list by its new text (in list order; matches start at characters only).
void FileX_textCopyReplacing(std::FILE* out, std::string_view path,
                             const FileX_Replacements& replacements);

// Copies lines from `offset` until a line that holds one of `keys`; copies
// that line up to the earliest key found in it and returns the key's index
// (the first listed wins when two start at the same place), with the file
// offset of the key in `foundOffset`.  -1 (and the offset of the end) when
// no line holds a key: then everything was copied.
int FileX_textCopyUntil(std::FILE* out, std::string_view path, int64_t offset,
                        const std::vector<std::string>& keys, int64_t* foundOffset);
