// The note's filter-variable table (FilterVariables, declared with the
// drawing context): parsing it from the canvas's "name=value; ..." text,
// writing it back, setting and looking up one variable.  Text boxes test
// their conditions against it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "figures/base/draw_context.h"

// The longest name a parse keeps before SetFilterVariable cuts it to 79.
inline constexpr size_t FilterVariables_parseNameMax = 255;
// The capacity of the formatted text in bytes, terminator included.
inline constexpr size_t FilterVariables_textSize = 512;

// Fills the table from `text`.  Without `keep` every entry is cleared
// first.  The text is read as: leading blanks; then repeatedly a name (a
// run of ASCII letters and digits), blanks and '=' characters, a value (a
// run of letters and digits), blanks and ';' characters.  A pair whose name
// and value are both non-empty is stored with SetFilterVariable.  Any other
// character ends a name or value; the parse stops at the first character
// that no step consumes (so "a=1, b=2" gives only a -> 1, and a text that
// starts with such a character gives nothing).
void ParseFilterVariables(FilterVariables& table, std::string_view text, bool keep);

// "name=value; " for each entry with a name, in table order.  The text
// holds at most FilterVariables_textSize - 1 bytes and is cut at whole
// entries.
std::string FormatFilterVariables(const FilterVariables& table);

// Replaces the value of the entry named exactly `name`, else fills the
// first free entry; with all ten in use nothing changes.  Name and value
// are cut to 79 bytes (never inside a double-byte character).  An empty
// name changes nothing.
void SetFilterVariable(FilterVariables& table, std::string_view name, std::string_view value);

// The value of the first entry named exactly `name` (case-sensitive), or "".
std::string LookupFilterVariable(const FilterVariables& table, std::string_view name);
