// Comma-separated values of the settings readers: fields, blanks and the
// quoted fields that go on over line breaks.  Shared by the ordered reader
// and the line scanner.
#pragma once

#include <string>
#include <string_view>

namespace inifile_detail {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Without spaces, tabs, CR and LF at both ends.
std::string_view trim(std::string_view s);
// Whether the line holds only white space.
bool isBlankLine(std::string_view s);

struct Field {
  std::string text;
  bool present = false;  // quoted, or some text before the comma
  size_t next = std::string_view::npos;  // after the comma; npos: no more
};
// The field at `pos`: blanks skipped; a quoted field ends at its closing
// quote ("" is one quote; the rest up to the comma is dropped); an unquoted
// one at the comma or the end, without trailing blanks.  Commas and quotes
// are never trail bytes of code page 932, so bytes can be tested directly.
Field readField(std::string_view values, size_t pos);

// Whether a quoted field is still open at the end of `values`.
bool quoteOpen(std::string_view values);

// The shape of a piece of a value that may go on over line breaks, scanned
// from its start (`insideQuote`: the piece continues a quoted field of the
// lines before).  Closed: every quoted field is closed and its closing quote
// is followed only by blanks up to a comma or the end, as the writer puts
// it; Open: the same, but the last quoted field goes on after the piece;
// Bad: a closing quote followed by other text.
enum class QuoteShape { Closed, Open, Bad };
QuoteShape quoteShape(std::string_view piece, bool insideQuote);

// A quoted value that holds a line feed goes on over the following lines,
// which `next(std::string&)` gives one by one: true, with `line` holding
// them joined by "\n", when a later line closes the quote in the writer's
// shape; false (and `line` untouched) when none does, so that the damaged
// line stands alone and the caller reads on after it.
template <class NextLine>
bool joinQuotedLines(std::string& line, NextLine&& next) {
  std::string joined = line, more;
  QuoteShape shape = QuoteShape::Open;
  while (shape == QuoteShape::Open && next(more)) {
    joined += '\n';
    joined += more;
    shape = quoteShape(more, true);
  }
  if (shape != QuoteShape::Closed) return false;
  line = std::move(joined);
  return true;
}

}  // namespace inifile_detail
