#include "figures/base/office_strings.h"

#include "core/strx/codepage.h"

namespace {

std::string escape(std::string_view text, std::string_view quote) {
  std::string out;
  out.reserve(text.size() + 8);
  for (size_t i = 0; i < text.size();) {
    const size_t n = Cp932_charLen(text, i);
    if (n == 2) {
      out.append(text.substr(i, 2));
      i += 2;
      continue;
    }
    const char c = text[i];
    if (c == '"') {
      out.append(quote);
    } else if (c == '\r' || c == '\n') {
      out.append("\"+Chr(13)+Chr(10)+\"");
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '<' && i + 1 < text.size() && text[i + 1] == '/') {
      out.append("<\"+\"");
    } else {
      out.push_back(c);
    }
    ++i;
  }
  return out;
}

}  // namespace

std::string OfficeScript_literal(std::string_view text) { return escape(text, "\"\""); }

std::string OfficeScript_textLine(std::string_view line) {
  return escape(line, "\"+Chr(34)+\"");
}
