// Link rewriting of the publishing save and the exports: the href that a
// figure's link gets in the written file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "figures/base/svg_write_context.h"

// Results of RewriteLink.
inline constexpr int RewriteLink_drop = 0;
inline constexpr int RewriteLink_write = 1;
inline constexpr int RewriteLink_tooltip = 2;

// The longest href is this size - 1 bytes: variable expansion cuts there,
// the other steps raise StrX_Err_BufOver (3183) beyond it.
inline constexpr size_t RewriteLink_hrefSize = 4096;

// Rewrites the link `link` of a figure whose text is `figureText` into
// `href`; answers 1 (write the link with `href`), 0 (drop the link) or 2
// (the link only carries a tooltip).  The steps, with H starting as the
// link:
// 1. With a link table, the first entry whose non-empty `from` begins H
//    (ASCII case ignored) decides: "script:cut" gives 0, "script:just_cut"
//    gives 0 when H equals `from` and otherwise leaves it to the next
//    entries, "script:tooltip_abs" gives 2, any other target replaces that
//    prefix.  A result of 0 ends the rewriting (href is then undefined).
// 2. "%name%" variables are expanded (ctx.variables, then the environment).
// 3. Keyword link "file?kw=word" (the word "." stands for the figure text):
//    the lower-cased word is looked up among the `a` elements of the
//    keyword file (keyword_link_file.h), which is kept in ctx.keywordFiles
//    until its modification time changes.  A missing file or word gives 0
//    with href left as H stood; else H becomes the found href, made
//    absolute against the keyword file's folder unless it is a URL.  A
//    relative keyword file path is taken from the current folder.
// 4. With result 1: the tail rule, unless the link is a URL: when H begins
//    (ASCII case ignored) with the destination folder, else the source
//    folder, followed by a separator, the part behind it gets "html" for
//    an extension "svg" before any '#' (not in MHTML mode), its Punycode
//    form (ctx.punycodeNames) and ASCII lower case (ctx.lowerPath).  A
//    folder given with a final separator is compared without it; an empty
//    folder never matches.  Then every entry of the link table in turn
//    acts on H as in step 1 (a replacement is followed by the tail rule
//    again; 0 and 2 end the rewriting).  Last, an H that begins with
//    ctx.baseName followed by its end or '#' loses the base name, and any
//    other H is made relative to the output file ctx.notePath (a link into
//    that file keeps only its "#" part).
// 5. With ctx.noLocalLinks or ctx.mhtmlMode, a result of 1 becomes 0 when H
//    is no URL, does not begin with '#' and holds a '/' or '\'.
int RewriteLink(std::string& href, std::string_view link, std::string_view figureText,
                SvgWriteContext& ctx);
