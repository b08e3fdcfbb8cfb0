// Conversion between the program's code page 932 text and the encodings of
// the outside world (UTF-16 for the toolkit, UTF-8 for file names, argv and
// the environment).  Every conversion at an edge of the program goes
// through here.
//
// Policy:
// - CP932 -> Unicode follows code page 932 exactly, NEC and IBM extension
//   rows included; the single bytes 0x80, 0xA0, 0xFD, 0xFE, 0xFF become
//   U+0080, U+F8F0, U+F8F1, U+F8F2, U+F8F3 as on the original platform.
//   A lead byte with no valid trail byte becomes U+FFFD (one per byte).
// - Unicode -> CP932: a character that code page 932 cannot hold becomes
//   "?" in text.  Path conversions fail instead, so that a name is never
//   turned into a different file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The lead-byte test of code page 932: 0x81-0x9F and 0xE0-0xFC.
constexpr bool Cp932_isLead(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool Cp932_isLead(char c) { return Cp932_isLead(static_cast<unsigned char>(c)); }

// Length in bytes of the character that starts at s[i] (1 or 2; a lead byte
// at the end of the text, or before a zero byte, counts as 1).
inline size_t Cp932_charLen(std::string_view s, size_t i) {
  return (Cp932_isLead(s[i]) && i + 1 < s.size() && s[i + 1] != '\0') ? 2 : 1;
}

std::u16string Cp932_toUtf16(std::string_view cp932);
// Appends the UTF-16 little-endian bytes of the text for a file (as
// Cp932_toUtf16, but a byte that is no character is written as the '?' it
// reads back as, so that a file written again stays the same); with `crlf`
// every line feed not preceded by a carriage return gets one.
void Cp932_appendUtf16Le(std::string& out, std::string_view cp932, bool crlf = false);
// `lossy` is set when a character had to become "?".
std::string Cp932_fromUtf16(std::u16string_view utf16, bool* lossy = nullptr);
std::string Cp932_toUtf8(std::string_view cp932);
std::string Cp932_fromUtf8(std::string_view utf8, bool* lossy = nullptr);
// Code page 932 text with every byte sequence that is no character of the
// code page (a lead byte without a valid trail byte) replaced by "?".
std::string Cp932_normalise(std::string_view cp932);
// Whether the bytes are well-formed UTF-8.
bool Utf8_isValid(std::string_view bytes);
// Bytes of the named character set as UTF-8 (through iconv); none when the
// set is unknown or the bytes do not convert.
std::optional<std::string> Charset_toUtf8(std::string_view bytes, const std::string& charset);

// UTF-16 <-> UTF-8 (invalid sequences become U+FFFD).
std::string Utf16_toUtf8(std::u16string_view utf16);
std::u16string Utf8_toUtf16(std::string_view utf8);

// File names: nullopt when the name cannot be converted without loss.
std::optional<std::string> Cp932_toOsPath(std::string_view cp932);
std::optional<std::string> Cp932_fromOsPath(std::string_view utf8);

// The length of the longest prefix of `s` of at most `maxBytes` bytes that
// does not end inside a double-byte character.
size_t Cp932_cutLength(std::string_view s, size_t maxBytes);
