#include "figures/text/text_condition.h"

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

bool isWordChar(char c) { return StrX_isAsciiAlpha(c) || StrX_isAsciiDigit(c); }
bool isBlank(char c) { return c == ' ' || c == '\t'; }

void skipBlanks(std::string_view s, size_t& i) {
  while (i < s.size() && isBlank(s[i])) ++i;
}

std::string readWord(std::string_view s, size_t& i) {
  const size_t start = i;
  while (i < s.size() && isWordChar(s[i])) ++i;
  std::string_view w = s.substr(start, i - start);
  return std::string(w.substr(0, TextCondition_wordMax));
}

}  // namespace

TextCondition TextCondition_parse(std::string_view text) {
  TextCondition c;
  c.text = std::string(text.substr(0, Cp932_cutLength(text, TextCondition_textMax)));
  std::string_view s = c.text;
  size_t i = 0;
  skipBlanks(s, i);
  c.name = readWord(s, i);
  skipBlanks(s, i);
  if (i < s.size() && s[i] == '=') {
    c.op = TextCondition_opEqual;
    ++i;
    if (i < s.size() && s[i] == '=') ++i;
  } else if (i + 1 < s.size() && s[i] == '!' && s[i + 1] == '=') {
    c.op = TextCondition_opNotEqual;
    i += 2;
  }
  skipBlanks(s, i);
  c.value = readWord(s, i);
  return c;
}

std::string TextCondition_lookup(const FilterVariables& vars, std::string_view name) {
  if (name.empty()) return "";
  for (const FilterVariable& v : vars.entries)
    if (v.name == name) return v.value;
  return "";
}

bool TextCondition_fails(const TextCondition& c, const FilterVariables& vars) {
  if (c.text.empty()) return false;
  const std::string value = TextCondition_lookup(vars, c.name);
  if (value.empty()) return false;
  bool holds = false;
  if (c.op == TextCondition_opEqual) holds = value == c.value;
  if (c.op == TextCondition_opNotEqual) holds = value != c.value;
  return !holds;
}
