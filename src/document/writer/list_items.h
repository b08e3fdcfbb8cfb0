// Comma lists of names, as the publication lists ("web, intra-2") and the
// class lists of text boxes ("keyword-2, head") hold them: items separated
// by commas, blanks around them, each a name optionally followed by "-"
// and/or a number.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

// How an item (trimmed, not empty) relates to a name.
struct ListItemMatch {
  bool matches = false;   // the item is the name, with or without a number
  bool numbered = false;  // digits follow the name
  int32_t number = 0;     // their value (clamped to int32), 0 without digits
};
ListItemMatch ListItems_match(std::string_view item, std::string_view name);

// Calls fn(item) for every non-empty trimmed item until it answers true;
// answers whether one did.
bool ListItems_any(std::string_view list, const std::function<bool(std::string_view)>& fn);
