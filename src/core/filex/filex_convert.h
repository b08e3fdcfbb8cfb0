// File converters: Base64 to and from files, UTF-16 <-> Shift-JIS files.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// Writes the file `path` as Base64 lines (76 characters and CR LF, the last
// line without CR LF) to `out`, read in blocks of 32718 bytes (a multiple
// of 57, so the lines are those of the whole file).  363 when the file
// cannot be opened, 365 on a short write.
void FileX_base64EncodeFile(std::FILE* out, std::string_view path);

// Decodes Base64 text read from `in` (from `offset` when it is not
// negative) into the file `dst`.  White space and line breaks are skipped;
// a partial group is carried on to the next read, so line lengths do not
// matter.  Reading stops at '=' padding (which is consumed) or at any other
// byte outside the alphabet, such as a closing quote, which is left in the
// stream.  `dst` is replaced atomically (365 on a failed write).
void FileX_base64DecodeToFile(std::FILE* in, std::string_view dst, int64_t offset = -1);

// Converts a little-endian UTF-16 file (it must start with FF FE, else
// FileX_Err_NotUnicodeFile 368 "UNICODE ファイルではありません") to a
// Shift-JIS file; characters code page 932 lacks become "?".  A surrogate
// pair split by a block edge is kept whole.  `dst` is replaced atomically.
void FileX_utf16ToSjisFile(std::string_view dst, std::string_view src);

// A Shift-JIS file for reading `path`: a new temporary file ("unitmp...")
// converted from a little-endian UTF-16 file; nullopt for a big-endian
// UTF-16 file; the path itself for any other file.
std::optional<std::string> FileX_utf16InputAsSjis(std::string_view path);

// Writes FF FE and the Shift-JIS file `src` as little-endian UTF-16; a
// double-byte character split by a block edge is read whole.
void FileX_sjisToUtf16File(std::string_view dst, std::string_view src);
