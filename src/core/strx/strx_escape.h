// Escaping of code page 932 text for HTML, URLs and identifiers, and the
// name/value list that holds the parameters of a URL query.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Flags of StrX_htmlEscape.
inline constexpr int StrX_HtmlSpaces = 1;  // keep runs of spaces visible
inline constexpr int StrX_HtmlAttr = 2;    // attribute text: quotes escaped, '>' kept
// Result of StrX_htmlEscape when the output had to be cut.
inline constexpr int StrX_HtmlCut = 1041;

// Copies `src` into `dst` with '&' -> "&amp;", '<' -> "&lt;" and, by flags:
// - StrX_HtmlAttr: '"' -> "&quot;", '\'' -> "&apos;"; without it '>' -> "&gt;".
// - StrX_HtmlSpaces: a space at the start of the text or right after an
//   emitted pair becomes "&nbsp;"; a space followed by a space becomes the
//   pair "&nbsp; " (both consumed); any other space stays.  So three spaces
//   give "&nbsp; &nbsp;" and four "&nbsp; &nbsp; ".
// The output holds at most size-1 bytes: it stops before the first entity
// or character that does not fit, keeps what was written and returns
// StrX_HtmlCut; otherwise 0.
int StrX_htmlEscape(std::string& dst, std::string_view src, size_t size, int flags);

// The two escapes every HTML writer uses (never cut):
// text between elements: '&', '<', '>' as entities;
std::string StrX_htmlText(std::string_view src);
// an attribute value in double or single quotes: '&', '<', '>', '"', '\''
// as entities.
std::string StrX_htmlAttr(std::string_view src);
// An address (href, src) in double quotes: only '"', '<' and '>' become
// entities, so that the '&' of a query stays byte for byte.
std::string StrX_htmlHref(std::string_view src);

// A word of a Windows batch-file line.  Quoted: the text inside double
// quotes with every '%' doubled (cmd expands "%name%" inside quotes too).
// Bare (the argument of "echo"): '%' doubled and & | < > ^ ( ) each after
// a '^'.  nullopt when the text cannot be written safely either way: it
// holds a '"', a line break or another control character.
enum class StrX_Batch { Quoted, Bare };
std::optional<std::string> StrX_batchWord(std::string_view src, StrX_Batch form = StrX_Batch::Quoted);
// Whether a value can stand bare in a batch-file line: only letters,
// digits, double-byte characters and "_-.,+@:/\\*?=" (nothing cmd treats
// specially: no blanks, & | < > ^ % ! ( ) " or line breaks).
bool StrX_isPlainBatchValue(std::string_view src);

// A MIME header value on one line: CR, LF and other control characters
// become '_' (a value can never start another header).
std::string StrX_mimeHeaderValue(std::string_view src);

// Replaces "&lt;", "&gt;", "&amp;" and "&nbsp;" (by a space); any other '&'
// stays as it is.
std::string StrX_htmlUnescape(std::string_view src);

// Percent-encoding.  With encoding 8 the text is converted to UTF-8 first;
// with 0 the code page 932 bytes are encoded as they are (other encodings
// raise 107).  A-Z a-z 0-9 & + - / = are kept, every other byte becomes '%'
// and two upper-case hexadecimal digits.  When the result needs more than
// size-1 bytes, dst keeps the part that fits (never half of a "%hh") and 102
// is raised.
void StrX_urlEncode(std::string& dst, std::string_view src, size_t size, int encoding);

// Decodes every "%hh" into its byte; a '%' without two hexadecimal digits
// stays, '+' too.
std::string StrX_urlDecode(std::string_view src);

// Replaces every space by '+'.
void StrX_spacesToPlus(std::string& s);

// The name/value list: entries of <octal digits of len(name)+len(value)> ","
// name "\0" value "\0", ended by "0\0".  The std::string holds those bytes
// (embedded zero bytes included) and never more than StrX_NameValueListMax.
inline constexpr size_t StrX_NameValueListMax = 1024;
// A value must stay below this many bytes ("value over 256" otherwise).
inline constexpr size_t StrX_NameValueMax = 253;

// Parses the query of `url` (the text after the first '?', up to a '#')
// as name=value pairs separated by '&' into a name/value list.  %hh is
// decoded (a '%' without two hexadecimal digits stays), '+' is not.  A pair
// without '=' has an empty value; pairs with an empty name are skipped.  No
// '?' gives the empty list.  A value of 253 bytes or more raises 3183
// ("value over 256"); a list that would exceed 1024 bytes raises 3183
// ("BufOver:%p").  In both cases `list` keeps the entries before and is
// properly ended.
void StrX_urlQueryToList(std::string& list, std::string_view url);

// The value of `name` in a name/value list (names compared exactly), or
// nullopt when the list has no such entry.
std::optional<std::string> StrX_listLookup(std::string_view list, std::string_view name);

// Longest result of StrX_identifierEscape, in bytes.
inline constexpr size_t StrX_IdentifierMax = 259;

// Makes an identifier of any text: a leading digit gets an 'x' before it;
// every byte that is not 0-9 A-Z a-w _ y z (so 'x' too) becomes 'x' and two
// upper-case hexadecimal digits.  A result over 259 bytes is cut before the
// first piece that does not fit, and 3183 is raised.
void StrX_identifierEscape(std::string& dst, std::string_view src);
