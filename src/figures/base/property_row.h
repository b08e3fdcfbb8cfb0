// The property-row protocol between the figures and the property grid:
// `GetProperty` fills a `PropertyRow`, `SetProperty` parses a value text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/strx/strx_numbers.h"

enum PropertyRowKind : int32_t {
  PropertyRowKind_Text = 0,        // single-line text
  PropertyRowKind_Colour = 1,      // "rgb(%d,%d,%d)"
  PropertyRowKind_Font = 2,        // "face,size x 10,bold,italic", e.g. "ＭＳ Ｐゴシック,120,0,0"
  PropertyRowKind_OnOff = 3,       // "0" or "1"
  PropertyRowKind_Integer = 4,     // extra.minimum / extra.maximum
  PropertyRowKind_Choice = 5,      // zero-based index; extra.choices
  PropertyRowKind_Url = 6,         // relative to the note folder; extra.filter
  PropertyRowKind_ImagePath = 7,   // extra.filter
  PropertyRowKind_ReadOnly = 8,    // also the kind of a row past the end
  PropertyRowKind_MultiLine = 9,
  PropertyRowKind_DateTime = 10,   // "%Y/%m/%d-%H:%M:%S"
  PropertyRowKind_TargetWindow = 11,
  PropertyRowKind_ClassName = 12,
  PropertyRowKind_Id = 13,
};
inline constexpr int32_t PropertyRowKind_max = 13;

// The extra data of a row; only the members its kind names are used.
struct PropertyExtra {
  int32_t minimum = INT32_MIN;       // Integer rows
  int32_t maximum = INT32_MAX;
  std::vector<std::string> choices;  // Choice rows (CP932)
  std::string filter;                // Url / ImagePath rows: "desc|pattern|...||"
};

struct PropertyRow {
  std::string name;   // CP932, in the asked language
  std::string value;  // CP932
  PropertyRowKind kind = PropertyRowKind_ReadOnly;
  PropertyExtra extra;
};

// Builders for the common row shapes.
PropertyRow PropertyRow_text(std::string name, std::string value,
                             PropertyRowKind kind = PropertyRowKind_Text);
PropertyRow PropertyRow_integer(std::string name, int32_t value, int32_t minimum,
                                int32_t maximum = INT32_MAX);
PropertyRow PropertyRow_choice(std::string name, int32_t index, std::vector<std::string> choices);
PropertyRow PropertyRow_onOff(std::string name, bool on);
// "rgb(%d,%d,%d)" of a 0x00BBGGRR colour.
PropertyRow PropertyRow_colour(std::string name, uint32_t colour);
// The row of an index past the end: read-only, empty.
PropertyRow PropertyRow_pastEnd();

// A row name in the asked language.
constexpr const char* PropertyRow_name(bool japanese, const char* ja, const char* en) {
  return japanese ? ja : en;
}
// A shown value cut to the grid's value capacity (terminator included;
// 0 = no limit), never inside a double-byte character.
std::string PropertyRow_fitValue(std::string_view value, size_t capacity);

// The value form of a font row, "face,size x 10,bold,italic" (for example
// "ＭＳ Ｐゴシック,120,0,0"), and its reader: white space around the fields
// is dropped, a flag is on unless it begins with '0', a missing size keeps
// the font's.  False (font untouched) without a face.
std::string PropertyRow_fontValue(const StrX_Font& font);
bool PropertyRow_readFontValue(std::string_view value, StrX_Font& font);
