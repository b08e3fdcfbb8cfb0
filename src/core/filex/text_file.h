// Text-mode files: lines end with CR LF on disk; readers accept CR LF and LF.
// Paths are CP932 and converted for the OS here.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// A FILE* that closes itself.
struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f) std::fclose(f);
  }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a CP932 path with an fopen mode; null when the path cannot be
// converted, is a drive or server path, or the file cannot be opened
// (errno tells why).  No messages: FileX_open (filex_open.h) raises them.
FilePtr FileX_openOs(std::string_view cp932Path, const char* mode);

// The text with every lone LF written as CR LF (CR LF stays as it is).
std::string TextFile_toDisk(std::string_view text);
// The text with every CR LF read as LF.
std::string TextFile_fromDisk(std::string_view bytes);

// Writes (or appends) text in text mode; false when opening, writing or
// closing fails.
bool TextFile_write(std::string_view cp932Path, std::string_view text, bool append);
// Reads a whole file in text mode; nullopt when it cannot be read.
std::optional<std::string> TextFile_read(std::string_view cp932Path);
