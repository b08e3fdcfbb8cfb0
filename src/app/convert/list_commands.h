// "-links", "-ids" and "-cd SOURCE DEST": the note's links or figure ids as
// CSV lists, or its text form for comparison tools, read without a window.
#pragma once

#include <cstdint>
#include <string>

struct CZerbinApp;

// Each answers 0 when the file was written, 1 after reporting the failure.
int CZerbinApp_linkList(CZerbinApp& app, uint32_t frame, const std::string& source,
                        const std::string& destination);
int CZerbinApp_idList(CZerbinApp& app, uint32_t frame, const std::string& source,
                      const std::string& destination);
int CZerbinApp_compareText(CZerbinApp& app, uint32_t frame, const std::string& source,
                           const std::string& destination);
