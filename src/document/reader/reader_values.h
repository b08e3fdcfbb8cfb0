// The values the note reader takes from attributes: decimal integers,
// colours and other properties of a `style` attribute, the rotation of a
// `transform`, and the entities of text content.  Texts are code page 932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/surface/surface.h"
#include "core/xml/xml_event_reader.h"

// A number of the note format: optional white space, one optional sign and
// the decimal digits that follow; anything after them (the ".5" of pixel
// centres, a unit such as "pt" or "px") is dropped.  Clamped to the int32
// range; 0 without digits.
int32_t ReaderValue_int(std::string_view text);

// The attribute read as a number; `fallback` when the tag has no such
// attribute.
int32_t ReaderValue_attrInt(const XmlEventReader& xml, std::string_view name, int32_t fallback);

// The rotation of a `transform`: the number after its first "(" (0 when
// there is none).  Other transforms are not understood.
int32_t ReaderValue_transformAngle(std::string_view transform);

// A fill opacity ("0.29") as a percentage: floor(v * 100 + 1e-6), so that
// two-digit values come back exactly; clamped to 0-100.  None when the
// text is no number.
std::optional<int32_t> ReaderValue_opacityPercent(std::string_view text);

// A colour value: "rgb(r,g,b)", "#rgb" or "#rrggbb".  None for anything
// else ("none", keywords, "url(...)"): the caller keeps its colour.
std::optional<Colour> ReaderValue_colour(std::string_view text);

// One property of a `style` attribute ("name: value; ..."): names compare
// ignoring ASCII case, white space around names and values is dropped.
// None when the style does not have it.
std::optional<std::string> ReaderStyle_get(std::string_view style, std::string_view name);

// Text content with the entities decoded in one pass from left to right:
// "&lt;", "&gt;", "&amp;", "&quot;", "&apos;" and numeric references
// ("&#65;", "&#x41;") of characters that code page 932 holds.  Anything
// else (unknown names, references of other characters, a lone "&") stays
// as written.
std::string ReaderText_decodeEntities(std::string_view raw);

// Whether `path` (as StrX_makeAbsolute made it against `folder`) names a
// file inside `folder` or one of its subfolders (FileX_insideFolder).  With an empty
// folder (a note named without one) the path must be relative and never
// climb with "..".
bool ReaderValue_insideFolder(std::string_view path, std::string_view folder);
