// The display condition of a text box ("name=value" or "name!=value") and
// its test against the note's filter variables.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "figures/base/draw_context.h"

inline constexpr int32_t TextCondition_opEqual = 61;     // '='
inline constexpr int32_t TextCondition_opNotEqual = 33;  // '!'
inline constexpr size_t TextCondition_textMax = 255;
inline constexpr size_t TextCondition_wordMax = 79;

struct TextCondition {
  std::string text;   // as the user wrote it (at most 255 bytes)
  std::string name;   // ASCII letters and digits (at most 79 bytes)
  std::string value;  // ASCII letters and digits (at most 79 bytes)
  int32_t op = 0;     // TextCondition_opEqual, TextCondition_opNotEqual or 0
  friend bool operator==(const TextCondition&, const TextCondition&) = default;
};

// ParseCondition: keeps the text (cut to 255 bytes), then reads blanks, the
// name (a run of ASCII letters and digits), blanks, "=" / "==" (op 61) or
// "!=" (op 33), blanks and the value (a run of letters and digits).
TextCondition TextCondition_parse(std::string_view text);

// The value of the first entry named exactly `name` in the table, or "".
std::string TextCondition_lookup(const FilterVariables& vars, std::string_view name);

// Whether a box with this condition is drawn greyed: the condition text is
// set, the variable it names has a non-empty value in the table, and the
// condition does not hold (op 61: equal; op 33: not equal; no operator:
// never holds).
bool TextCondition_fails(const TextCondition& c, const FilterVariables& vars);
