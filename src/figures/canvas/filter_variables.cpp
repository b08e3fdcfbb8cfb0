#include "figures/canvas/filter_variables.h"

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

bool isNameChar(char c) { return StrX_isAsciiAlpha(c) || StrX_isAsciiDigit(c); }

// The run of letters and digits at `pos`; pos moves past it.
std::string_view takeWord(std::string_view text, size_t& pos) {
  const size_t start = pos;
  while (pos < text.size() && isNameChar(text[pos])) ++pos;
  return text.substr(start, pos - start);
}

// Moves pos past blanks and the character `extra`.
void skipBlanksAnd(std::string_view text, size_t& pos, char extra) {
  while (pos < text.size() && (StrX_isSpace(text[pos]) || text[pos] == extra)) ++pos;
}

std::string cutTo(std::string_view s, size_t maxBytes) {
  return std::string(s.substr(0, Cp932_cutLength(s, maxBytes)));
}

}  // namespace

void ParseFilterVariables(FilterVariables& table, std::string_view text, bool keep) {
  if (!keep) {
    for (FilterVariable& e : table.entries) e = FilterVariable{};
  }
  size_t pos = 0;
  skipBlanksAnd(text, pos, ' ');
  while (pos < text.size()) {
    const size_t before = pos;
    std::string_view name = takeWord(text, pos);
    if (name.size() > FilterVariables_parseNameMax) name = name.substr(0, FilterVariables_parseNameMax);
    skipBlanksAnd(text, pos, '=');
    const std::string_view value = takeWord(text, pos);
    skipBlanksAnd(text, pos, ';');
    if (!name.empty() && !value.empty()) SetFilterVariable(table, name, value);
    if (pos == before) break;  // a character no step takes: stop, never loop
  }
}

std::string FormatFilterVariables(const FilterVariables& table) {
  const size_t room = StrX_room(FilterVariables_textSize);
  std::string out;
  for (const FilterVariable& e : table.entries) {
    if (e.name.empty()) continue;
    const size_t entrySize = e.name.size() + 1 + e.value.size() + 2;
    if (out.size() + entrySize > room) break;
    out.append(e.name).append("=").append(e.value).append("; ");
  }
  return out;
}

void SetFilterVariable(FilterVariables& table, std::string_view name, std::string_view value) {
  const std::string n = cutTo(name, FilterVariables_textMax);
  if (n.empty()) return;
  for (FilterVariable& e : table.entries) {
    if (e.name == n) {
      e.value = cutTo(value, FilterVariables_textMax);
      return;
    }
  }
  for (FilterVariable& e : table.entries) {
    if (e.name.empty()) {
      e.name = n;
      e.value = cutTo(value, FilterVariables_textMax);
      return;
    }
  }
}

std::string LookupFilterVariable(const FilterVariables& table, std::string_view name) {
  if (name.empty()) return "";
  for (const FilterVariable& e : table.entries) {
    if (e.name == name) return e.value;
  }
  return "";
}
