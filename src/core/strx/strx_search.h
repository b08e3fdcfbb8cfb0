// Searching and testing code page 932 text: character search that skips
// trail bytes, sets, lead/trail tests, trimming and replacing, wildcard
// matching, UTF-16 helpers (comparison with ASCII, the "-->" scanner), the
// word at a position and the string hash.
//
// Positions are byte offsets; "not found" is std::string_view::npos.
// UTF-16 text in native (little-endian) order is a std::u16string_view;
// big-endian UTF-16 is given as its raw bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t StrX_npos = std::string_view::npos;

// First / last occurrence of the ASCII character ch; trail bytes never match.
size_t StrX_findChar(std::string_view s, char ch);
size_t StrX_findLastChar(std::string_view s, char ch);

// First character that is / is not one of the ASCII bytes of `set`.  A
// double-byte character is never in the set.
size_t StrX_findAnyOf(std::string_view s, std::string_view set);
size_t StrX_findNoneOf(std::string_view s, std::string_view set);
// The same on UTF-16 text (unit index).
size_t StrX_findAnyOf16(std::u16string_view s, std::u16string_view set);
size_t StrX_findNoneOf16(std::u16string_view s, std::u16string_view set);
// The same on raw bytes of encoding 0 (Shift-JIS), 6 (UTF-16LE) or 7
// (UTF-16BE) with an ASCII set; the result is a byte offset.  Another
// encoding raises Errors_NotSupport (107).
size_t StrX_findAnyOfEncoded(std::string_view bytes, std::string_view set, int encoding);
size_t StrX_findNoneOfEncoded(std::string_view bytes, std::string_view set, int encoding);

// Whether s[pos] is the trail / lead byte of a double-byte character.
// pos == s.size() (the terminator) is neither; beyond it raises 102.
bool StrX_isTrailAt(std::string_view s, size_t pos);
bool StrX_isLeadAt(std::string_view s, size_t pos);

bool StrX_hasDoubleByte(std::string_view s);
bool StrX_hasAsciiUpper(std::string_view s);
// Empty or only space, tab, CR and LF.
bool StrX_isBlank(std::string_view s);

// Folds A-Z to a-z in place; double-byte characters stay as they are.
void StrX_lowerAscii(std::string& s);
// The same on a copy.
std::string StrX_lowerAsciiCopy(std::string s);

// Removes leading and trailing white space.
void StrX_trim(std::string& s);
// Removes leading and trailing white space and double quotes.
void StrX_trimQuotes(std::string& s);

// Replaces every ASCII `from` by `to`; trail bytes are left alone.
void StrX_replaceChar(std::string& s, char from, char to);
// Replaces every occurrence of `from` (matched at character starts only).
// When the result does not fit in `size` bytes its tail is cut and 3183 is
// raised.  An empty `from` changes nothing.
void StrX_replaceText(std::string& s, std::string_view from, std::string_view to,
                      size_t size);

// Wildcard match of the whole text: '*' any run, '?' one character (a
// double-byte character counts as one); ASCII case ignored.
bool StrX_wildcardMatch(std::string_view pattern, std::string_view text);

// Whether UTF-16 text equals / begins with an ASCII text, ignoring ASCII
// case; a non-ASCII unit never matches.
bool StrX_equalsUtf16Ascii(std::u16string_view s, std::string_view ascii);
bool StrX_startsWithUtf16Ascii(std::u16string_view s, std::string_view ascii);
// The same on UTF-16BE bytes (an odd last byte is ignored).
bool StrX_equalsUtf16BEAscii(std::string_view beBytes, std::string_view ascii);

// The state of a "-->" search carried from one buffer to the next: how
// many characters of the marker ended the previous buffer (0-2).
struct StrX_CommentEndScan {
  int matched = 0;
};
// Searches UTF-16 text for the end of a comment, continuing a marker begun
// in the previous buffer.  Returns the unit index just past the '>', or
// npos (the partial match at the end is then kept in `scan`).  A find
// resets the state.
size_t StrX_findCommentEnd16(std::u16string_view s, StrX_CommentEndScan& scan);

// The word around byte `pos`: the run of [0-9A-Za-z_] characters that holds
// it, or the double-byte character that holds it; empty otherwise.  `start`
// receives the word's offset (pos when empty).
std::string StrX_wordAt(std::string_view s, size_t pos, size_t* start = nullptr);

// Sum over the bytes (unsigned) of (1-based position * byte value), modulo
// tableSize (0 raises 102).
uint32_t StrX_hash(std::string_view s, uint32_t tableSize);
