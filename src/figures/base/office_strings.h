// Texts placed inside the VBScript string literals of a conversion script.
//
// A literal never ends early and a statement never breaks: a double quote
// is doubled, a line break (CR LF, lone CR or LF) becomes
// "+Chr(13)+Chr(10)+" between two literals, and "</" is written as
// "<"+"/" so that a text cannot close the script element of the .wsf.
// Text lines of a text box keep their own quote form ("+Chr(34)+").
#pragma once

#include <string>
#include <string_view>

// The inside of a "..." literal holding `text` (CP932).
std::string OfficeScript_literal(std::string_view text);
// One line of a text box (no line breaks in it): each double quote becomes
// "+Chr(34)+", and "</" is split as above.
std::string OfficeScript_textLine(std::string_view line);
