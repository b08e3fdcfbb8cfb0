// Base64 (standard alphabet, '=' padding) as embedded images use it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Encodes bytes; a CR LF follows every 76th output character, so 57 bytes
// give exactly one line and its CR LF.  A last, shorter line has no CR LF.
std::string StrX_base64Encode(std::string_view data);

// Decodes Base64 text.  Bytes below '!' (white space, line breaks) are
// skipped; decoding stops at '=' and at the first other byte that is not in
// the alphabet (a closing quote, "/>" ...).  When `stop` is given it gets
// the offset of the byte where decoding stopped (the size when it ran to
// the end).  Bits of an incomplete last group are dropped.
std::string StrX_base64Decode(std::string_view text, size_t* stop = nullptr);
