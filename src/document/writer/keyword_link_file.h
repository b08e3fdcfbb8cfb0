// A small reader of the keyword files that the HTML export writes
// ("X.files/X.keyword.xml"), for the keyword links of the link rewriting.
// It reads only what those files hold: `a` elements
//
//   <a href="target" lower="key">text</a>
//
// anywhere in the file, with attribute values in double or single quotes
// and the entities &amp; &lt; &gt; &quot; &apos; decoded in values and
// text (any other "&" stays as written).  Comments, declarations and all
// other tags are stepped over.  An `a` element that does not have exactly
// this shape (a value without quotes, a tag inside its text, a missing
// "</a>", no href) gives no entry, and reading goes on behind it.
//
// Texts are code page 932; every delimiter looked for ('<', '>', quotes,
// '=', '/', '&', ';', blanks) is below 0x40 and so never a trail byte.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/svg_write_context.h"

// The five entities decoded in one pass ("&amp;lt;" gives "&lt;").
std::string KeywordLinkFile_decodeEntities(std::string_view text);

// The entries of a keyword file's text, in file order: `from` is the key
// (the `lower` attribute as written, else the element's text without
// surrounding blanks, lower-cased in ASCII), `to` is the href.
std::vector<SvgLinkPair> KeywordLinkFile_parse(std::string_view text);

// Reads and parses the file (bytes, no newline translation); nullopt when
// it cannot be opened or read.
std::optional<std::vector<SvgLinkPair>> KeywordLinkFile_read(std::string_view path);
