// Text pieces the figure kinds share when they write their SVG elements:
// link hrefs, escaping, colours, opacity and rotation attributes, the font
// family names of the note format and the alarm time format.  Texts are
// code page 932.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/surface/surface.h"

struct SvgWriteContext;

// --- escaping -----------------------------------------------------------

// For an attribute value: & < " ' become entities, > stays.
std::string SvgFormat_escapeAttr(std::string_view text);
// For text content: & < > become entities.
std::string SvgFormat_escapeText(std::string_view text);

// --- links --------------------------------------------------------------

// The href of a figure link and whether expanding its "%name%" variables
// changed it (the writer then also keeps the link as typed).
struct SvgHref {
  std::string href;      // ready for the attribute: escaped, blanks stripped
  bool changed = false;  // the expansion differs from the link
};

// Computes the href of `link` for the file ctx.notePath:
//  1. "%name%" is expanded through ctx.variables, then the environment;
//  2. an absolute local path is made relative to the note's folder (a
//     target inside the note file itself keeps only its "#..." part);
//     "#..." links, "script:" and other "name:" scheme links, URLs and texts
//     with a variable left unexpanded stay as they are;
//  3. with ctx.lowerPath, a link that is neither a URL ("scheme://") nor a
//     script is lower-cased (double-byte characters untouched);
//  4. the result is escaped for an attribute and stripped of leading and
//     trailing blanks.
SvgHref SvgFormat_linkHref(std::string_view link, const SvgWriteContext& ctx);

// A local file path (an image) as the note refers to it: relative to the
// note's folder and lower-cased with ctx.lowerPath; not escaped.
std::string SvgFormat_relativePath(std::string_view path, const SvgWriteContext& ctx);

// The part of a link after its last '\' or '/' (the whole link without one).
std::string_view SvgFormat_linkTail(std::string_view link);
// The link begins with "script:" in any case.
bool SvgFormat_isScript(std::string_view link);
// The script of a "script:" link (the text after its 7-character prefix).
std::string_view SvgFormat_scriptBody(std::string_view link);

// The attributes of the after-click action (0 none, 1 close the browser
// window, 2 open in a new view, 3 both), each with its leading blank.
std::string SvgFormat_afterClickAttributes(int32_t afterClick);

// --- numbers and styles -------------------------------------------------

// "rgb(r,g,b)" of a colour (red in the lowest byte).
std::string SvgFormat_rgb(Colour colour);
// ";fill-opacity:0.%02d" for an opacity below or above 100 percent; "" for
// exactly 100.
std::string SvgFormat_opacitySuffix(int32_t opacity);
// " transform=\"rotate(a,cx,cy)\"" for a non-zero angle; "" for 0.
std::string SvgFormat_rotation(int32_t angle, int32_t cx, int32_t cy);

// --- fonts and times ----------------------------------------------------

// The font-family written for a face of the model: the four MS faces get
// their file names ("ＭＳ Ｐゴシック" -> "MS-PGothic,sans-serif"), any other
// face is written as it is.
std::string SvgFormat_fontFamilyForFile(std::string_view face);
// The face of the model for a font-family read from a file: the MS names
// with or without their generic family, and the generic names "monospace",
// "sans-serif" and "serif" alone, give the MS faces; any other name stays.
std::string SvgFormat_fontFaceFromFile(std::string_view family);

// The id of the ink groups of a page.  A figure group with that id carries
// one of the attributes of figure wrappers (href, onclick, pub, class,
// zerbin_formula, zerbin_variables) or else "zerbin-figure", by which the
// reader tells it from ink.
inline constexpr const char* SvgFormat_inkGroupId = "zerbin-ink";

// Seconds since the epoch as local time "%Y/%m/%d-%H:%M:%S".
std::string SvgFormat_alarmText(int64_t seconds);
// Reads that text back (local time): at least `minimumFields` of the six
// numbers must be there (the missing ones are 0) and each in its range;
// false otherwise.
bool SvgFormat_parseAlarmText(std::string_view text, int64_t& seconds, int minimumFields);
