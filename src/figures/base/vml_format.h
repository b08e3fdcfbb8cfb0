// The number and text forms shared by the figures' VML output: colours,
// escaped attribute values, the link of a figure and its target attribute.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/surface/surface.h"
#include "figures/base/vml_write_context.h"

// "#RRGGBB" (upper-case hex) of a 0x00BBGGRR colour.
std::string VmlFormat_rgb(Colour colour);

// An attribute value from the note: '&', '<', '"' and '\'' escaped.
std::string VmlFormat_attr(std::string_view text);
// An href or src value: '"', '<' and '>' escaped, so that the '&' of
// ordinary URLs stays as written (and no "-->" can end a comment).
std::string VmlFormat_href(std::string_view text);
// A path with '/' turned into '\\' (the side lists are read on Windows).
std::string VmlFormat_backslashes(std::string path);
// Text for a single-quoted script string: '\\' and '\'' get a '\\' before
// them; the bytes of double-byte characters stay as they are.
std::string VmlFormat_scriptString(std::string_view text);

// The figure's link after the export's rewriting: 1 (link with `href`),
// 0 (no link) or 2 (tooltip only).  Without a rewriting function the link
// is taken as it is.
int VmlFormat_rewrite(std::string& href, std::string_view link, std::string_view figureText,
                      VmlWriteContext& ctx);

// The target attribute of a link with href `href` and the figure's
// `target` (" target=\"...\"" or "").
std::string VmlFormat_target(const VmlWriteContext& ctx, std::string_view href,
                             std::string_view target);

// a * b / c in C integer arithmetic, a zero c taken as 1.
int32_t VmlFormat_muldiv(int64_t a, int64_t b, int64_t c);
