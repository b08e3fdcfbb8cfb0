// "-rel DEFINITION": the web site of a site definition file, its copies and
// conversions run in this process through the commands of "-cv", "-cV" and
// "-cs".
#pragma once

#include <string>

struct CZerbinApp;

// Builds the site; every failure (of the definition, of reading or writing
// a file, of a copy or a conversion) is reported to the user (echo file or
// box) and makes app.exitCode 1.  Never raises.
void CZerbinApp_buildSite(CZerbinApp& app, const std::string& definition);
