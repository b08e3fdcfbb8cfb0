// Conversions between code page 932 text, UTF-16 and UTF-8 into bounded
// destinations, and character access in texts of the file encodings
// (0 = code page 932, 6 = UTF-16LE, 7 = UTF-16BE, 8 = UTF-8).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The text of error 107 for an encoding a function does not handle.
inline constexpr const char* StrX_NotSupportText = "Not Support in this Version";

// Code page 932 to UTF-16.  `size` is the destination size in bytes,
// including the 2-byte terminator: dst holds at most size/2-1 units.  When
// the text needs more, dst keeps the units that fit and 3183 ("in
// StrX_sjis2unicode") is raised.
void StrX_sjis2unicode(std::u16string& dst, std::string_view src, size_t size);

// Bytes the UTF-16 form of `src` needs, its 2-byte terminator included,
// rounded up to a multiple of `align` (0 or 1: no rounding).
size_t StrX_utf16Size(std::string_view src, size_t align);

// UTF-16 to code page 932 (a character the code page lacks becomes '?'),
// at most size-1 bytes; a longer result is cut without splitting a
// double-byte character and raises 3183.
void StrX_utf16ToSjis(std::string& dst, std::u16string_view src, size_t size);

// UTF-16 to UTF-8, at most size-1 bytes; a longer result is cut at a
// character boundary and raises 102.
void StrX_utf16ToUtf8(std::string& dst, std::u16string_view src, size_t size);

// Copies the units of `src` up to the first one of 128 or more (or a zero
// unit) as ASCII, at most size-1 bytes; a longer run is cut and raises 3183.
void StrX_utf16ToAscii(std::string& dst, std::u16string_view src, size_t size);

// Copies a text of encoding 6 (UTF-16LE bytes; an odd last byte is
// ignored) or 0 (converted from code page 932) into a UTF-16 destination of
// `size` bytes including the terminator.  Fewer than 2 bytes of room raises
// 3180; a text that needs more room is cut and raises 3183; any other
// encoding raises 107.
void StrX_copyAsUtf16(std::u16string& dst, std::string_view src, size_t size, int encoding);

// The character with index `index` (counting characters: a double-byte
// character or a surrogate pair is one) of a text of encoding 0, 6 or 7
// given as bytes: its ASCII value, -1 for a non-ASCII character, 0 at or
// past the end.  Other encodings raise 107.
int StrX_charAt(std::string_view text, size_t index, int encoding);
