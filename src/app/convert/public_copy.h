// "-cs SOURCE DEST": the public copy of a note, read without a window and
// written through the publication filter ("-pub=") and the link-replacement
// file ("-repurl=", "-repurl2=").
#pragma once

#include <cstdint>
#include <string>

struct CZerbinApp;

// 0 when DEST was written; 1 after reporting the failure (echo file or
// message box).
int CZerbinApp_publicCopy(CZerbinApp& app, uint32_t frame, const std::string& source,
                          const std::string& destination);
