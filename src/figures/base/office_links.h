// The link of a picture or text box as the conversion scripts write it:
// an address (another file or a web address) and a sub-address (a place in
// this note, as an identifier).
#pragma once

#include <string>
#include <string_view>

struct OfficeScriptWriter;

// False when nothing is written for `url`: it is empty, or neither a web
// address nor a place in the note being converted.  Otherwise `address`
// and `subAddress` receive the two parts (CP932).
bool OfficeLinkParts(const OfficeScriptWriter& w, std::string_view url, std::string& address,
                     std::string& subAddress);
