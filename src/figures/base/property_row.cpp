#include "figures/base/property_row.h"

#include <cstdio>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

PropertyRow PropertyRow_text(std::string name, std::string value, PropertyRowKind kind) {
  PropertyRow r;
  r.name = std::move(name);
  r.value = std::move(value);
  r.kind = kind;
  return r;
}

PropertyRow PropertyRow_integer(std::string name, int32_t value, int32_t minimum,
                                int32_t maximum) {
  PropertyRow r = PropertyRow_text(std::move(name), std::to_string(value),
                                   PropertyRowKind_Integer);
  r.extra.minimum = minimum;
  r.extra.maximum = maximum;
  return r;
}

PropertyRow PropertyRow_choice(std::string name, int32_t index, std::vector<std::string> choices) {
  PropertyRow r = PropertyRow_text(std::move(name), std::to_string(index),
                                   PropertyRowKind_Choice);
  r.extra.choices = std::move(choices);
  return r;
}

PropertyRow PropertyRow_onOff(std::string name, bool on) {
  return PropertyRow_text(std::move(name), on ? "1" : "0", PropertyRowKind_OnOff);
}

PropertyRow PropertyRow_colour(std::string name, uint32_t colour) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "rgb(%d,%d,%d)", static_cast<int>(colour & 0xFF),
                static_cast<int>((colour >> 8) & 0xFF), static_cast<int>((colour >> 16) & 0xFF));
  return PropertyRow_text(std::move(name), buf, PropertyRowKind_Colour);
}

PropertyRow PropertyRow_pastEnd() { return PropertyRow{}; }

std::string PropertyRow_fitValue(std::string_view value, size_t capacity) {
  if (capacity == 0) return std::string(value);
  return std::string(value.substr(0, Cp932_cutLength(value, capacity - 1)));
}

std::string PropertyRow_fontValue(const StrX_Font& font) {
  return font.face + "," + std::to_string(font.size10) + "," + (font.bold ? "1" : "0") + "," +
         (font.italic ? "1" : "0");
}

bool PropertyRow_readFontValue(std::string_view value, StrX_Font& font) {
  std::vector<std::string_view> f;
  size_t start = 0;
  for (size_t i = 0; i <= value.size(); ++i) {
    if (i == value.size() || value[i] == ',') {
      f.push_back(value.substr(start, i - start));
      start = i + 1;
    } else {
      i += Cp932_charLen(value, i) - 1;
    }
  }
  auto trim = [](std::string_view v) {
    while (!v.empty() && StrX_isSpace(v.front())) v.remove_prefix(1);
    while (!v.empty() && StrX_isSpace(v.back())) v.remove_suffix(1);
    return v;
  };
  auto on = [&](size_t i) { return f.size() > i && !trim(f[i]).empty() && trim(f[i])[0] != '0'; };
  const std::string_view name = trim(f[0]);
  if (name.empty()) return false;
  font.face = std::string(name);
  if (f.size() > 1) font.size10 = StrX_toInt(f[1]);
  font.bold = on(2);
  font.italic = on(3);
  return true;
}
