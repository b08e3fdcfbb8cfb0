#include "figures/base/property_row.h"

#include <cstdio>

#include "core/strx/codepage.h"

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
