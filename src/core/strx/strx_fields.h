// Lines and fields of code page 932 text: line access, comma-separated
// fields (writing and reading), tokens, tagged numbers, point lists and the
// properties of a `style` attribute.
//
// A line break is CR LF, LF CR, a lone CR or a lone LF; lines count from 1.
// Positions are byte offsets; "none" is StrX_npos.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/strx/strx_search.h"

// Number of lines; an empty text has 1 line, and a final break starts an
// empty last line.
int StrX_lineCount(std::string_view text);
// Offset of the start of line n, or npos when the text has fewer lines.
size_t StrX_lineStart(std::string_view text, int n);
// The line that holds byte `pos`; a break belongs to the line it ends.
int StrX_lineNumberAt(std::string_view text, size_t pos);
// Length of line n without its break (0 when there is no such line).
size_t StrX_lineLength(std::string_view text, int n);
// dst := line n without its break, bounded by `size` (cut + 3183).  False
// (dst empty) when there is no such line.
bool StrX_copyLine(std::string& dst, std::string_view text, int n, size_t size);

// One CSV field as written: enclosed in double quotes when it holds a
// comma, a double quote, a CR or an LF, or begins or ends with a space;
// every double quote doubled; CR LF turned into LF.  With a prefix
// character, a field beginning with '+', '-', '=' or a digit gets it in
// front (inside the quotes).  With `always` the field is enclosed in any
// case (the lists whose every text field is quoted).  Every CSV file this
// program writes quotes its fields here.
std::string StrX_csvQuote(std::string_view field, char prefix = '\0', bool always = false);

// A field read from a text and where the next one starts (npos: none).
struct StrX_Field {
  std::string text;
  size_t next = StrX_npos;
};
// Reads the CSV field at `pos`: leading spaces skipped; a quoted field ends
// at its closing quote ("" is one quote) and the rest up to the next comma
// is skipped; an unquoted field ends at a comma, CR, LF or the end, its
// trailing spaces removed.  `next` is the offset after the comma, npos at
// the end of the line.
StrX_Field StrX_csvField(std::string_view line, size_t pos = 0);
// Field n (1-based) of a line; nullopt when the line has fewer.
std::optional<std::string> StrX_csvFieldN(std::string_view line, int n);

// One word at `pos`: leading white space skipped; double quotes group a
// word that holds spaces and are removed.  `next` is the offset of the
// following word, npos when there is none.
StrX_Field StrX_token(std::string_view text, size_t pos = 0);

// In a comma list such as "name-5, other 3": the number after the item
// `name` (blanks and one '-' allowed between).  Items match whole and with
// case ("key" is not "keys").  -1 when the item has no number, -2 when no
// item is `name`.
int32_t StrX_taggedNumber(std::string_view list, std::string_view name);

struct StrX_Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const StrX_Point&) const = default;
};
// Parses "x,y x,y ..." (white space between and around pairs).  Numbers
// are integers; a decimal fraction (the ".5" of pixel centres) is skipped.
// The first 4 pairs are stored; returns the number of pairs read (it stops
// at the first malformed pair).
int StrX_pointList(std::string_view text, std::array<StrX_Point, 4>& points);

// Finds a property in "name: value; name: value" (names without ASCII
// case, white space around names and values ignored).  dst := the value,
// bounded by `size` (cut + 3183).  False (dst empty) when absent.
bool StrX_styleProperty(std::string& dst, std::string_view style, std::string_view name,
                        size_t size);
// The value read as an integer / a float / a colour (StrX_readColor).
// False (value untouched) when absent or not readable.
bool StrX_stylePropertyInt(std::string_view style, std::string_view name, int32_t& value);
bool StrX_stylePropertyFloat(std::string_view style, std::string_view name, double& value);
bool StrX_stylePropertyColor(std::string_view style, std::string_view name, uint32_t& color);
