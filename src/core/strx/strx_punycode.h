// Punycode names (RFC 3492) of code page 932 texts, used for file names
// that must stay ASCII.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Punycode of one sequence of UTF-16 code units (each unit is taken as one
// code point).  Basic code points are written in lower case and the '-'
// after them is left out when nothing follows it, so an all-ASCII input
// gives its lower-case text.  Raises 102 when the delta overflows.
std::string StrX_punycodeSegment(std::u16string_view units);

// The Punycode name of a text: the text is converted to UTF-16, each
// segment between '.', '/' and '\\' is encoded by StrX_punycodeSegment and
// the separators are kept; then every space is removed from the result
// (after encoding, as the names were always made).  When the result needs
// more than size-1 bytes, dst keeps the part that fits and 102 is raised.
void StrX_punycodeName(std::string& dst, std::string_view src, size_t size);
