// "-cw", "-cx", "-ct", "-cT SOURCE DEST": the conversion script that
// rebuilds a note in Word, Excel, PowerPoint or enlarged PowerPoint, read
// and written without a window.
#pragma once

#include <cstdint>
#include <string>

#include "export/office/office_script.h"

struct CZerbinApp;

// 0 when the script was written; 1 after reporting the failure.
int CZerbinApp_officeScript(CZerbinApp& app, uint32_t frame, const std::string& source,
                            const std::string& destination);

