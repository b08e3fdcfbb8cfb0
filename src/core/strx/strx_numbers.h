// Numbers in text: the integer reader, integer ranges, '#' numbering, and
// the texts of colours, fonts and GUIDs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Reads optional white space, an optional '+', any number of '-' (each one
// flips the sign) and decimal digits.  The value is clamped to the int32
// range; 0 when there are no digits.  `used` receives the offset after the
// last digit (0 when there is none).
int32_t StrX_toInt(std::string_view s, size_t* used = nullptr);

// "a" or "a<sep>b" (white space allowed around the separator); a single
// number gives both ends.  False (ends untouched) when there is no number.
bool StrX_intRange(std::string_view s, char sep, int32_t& first, int32_t& last);

// Replaces the first run of '#' by n, zero-padded to the run's length
// ("note###" with 7 gives "note007").  A result that would not fit in 1024
// bytes (terminator included) is refused: the text stays and 3183 is raised.
void StrX_numbering(std::string& s, int32_t n);

// Colour values are 0x00BBGGRR: red in the lowest byte.
constexpr uint32_t StrX_rgb(uint32_t r, uint32_t g, uint32_t b) {
  return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16);
}
// "rgb(%d,%d,%d)".
std::string StrX_colorText(uint32_t color);
// Reads "rgb(r,g,b)" (the numbers after '(' and the two ','), "#rgb" or
// "#rrggbb"; components are clamped to 0-255.  False (colour untouched)
// when the text is neither.
bool StrX_readColor(std::string_view text, uint32_t& color);

// A font as the property texts show it.  The size is held in tenths of a
// point (10.5 pt = 105).
struct StrX_Font {
  std::string face;
  int32_t size10 = 0;
  bool bold = false;
  bool italic = false;
  bool operator==(const StrX_Font&) const = default;
};
// "%s, %d, %d, %d": face, size in whole points (size10 rounded to the
// nearest point, halves away from zero), bold and italic as 0 or 1.
std::string StrX_fontText(const StrX_Font& font);
// Reads the comma fields of a font text: face (white space around it
// removed), size in points (a decimal fraction such as "10.5" is kept to
// one tenth), bold, italic.  A flag is on unless its field begins with '0';
// a missing flag field is off.  False (font untouched) without a face or
// without a size.
bool StrX_readFont(std::string_view text, StrX_Font& font);

struct StrX_Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  std::array<uint8_t, 8> data4{};
  bool operator==(const StrX_Guid&) const = default;
};
// "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X".
std::string StrX_guidText(const StrX_Guid& guid);
// Reads the 8-4-4-4-12 hexadecimal groups after an optional '{' (any case;
// what follows them is not looked at).  False (guid untouched) when a group
// is malformed.
bool StrX_readGuid(std::string_view text, StrX_Guid& guid);
// Whether the text is exactly a GUID, alone or in braces "{...}".
bool StrX_isGuidText(std::string_view text);
