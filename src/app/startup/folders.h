// The folders of the program and the folder variables ("%prof%", "%work%",
// ...) with which every path of the program's own files begins.  No widgets
// here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/strx/strx_vars.h"

struct CZerbinApp_Folders {
  std::string programFolder;  // ends with "/"
  std::string profileFolder;  // ends with "/"
  // `WorkFolderPath` and `KeywordsFolderPath` ("" = default); a relative
  // value is taken against the profile folder.
  std::string workFolderSetting;
  std::string keywordsFolderSetting;
};

// Expands `format`: the variable at its start is replaced by its folder and
// the rest of `format` is formatted printf-style and appended (nothing is
// appended when the rest is a single separator); then environment
// variables are expanded.  "%prof%" and "%prog%" end with "/", so a "/"
// right after them is not repeated.  Any other start of `format` raises 102;
// a result longer than size-1 bytes raises 3183 (the cut text stays in dst).
// (No printf format check: the format begins with a folder variable.)
void CZerbinApp_expandPath(const CZerbinApp_Folders& folders, std::string& dst, size_t size,
                           const char* format, ...);

// The folder of a variable named without its percent signs ("work" for
// "%work%"), for the expansion of "%name%" in links; false for other names.
bool CZerbinApp_folderVariable(const CZerbinApp_Folders& folders, std::string_view name,
                               std::string& value);

// The profile folder rule: "-prof=" (already absolute) when given; else,
// when the program does not lie under "/usr/", "profile/" beside the
// program; else "$XDG_DATA_HOME/Brevlo/" or "$HOME/.local/share/Brevlo/".
// `env` answers environment variables.  The answer ends with "/".
std::string CZerbinApp_profileFolderFor(std::string_view profOption,
                                        std::string_view programFolder,
                                        const StrX_VarLookup& env);
// Sets folders.profileFolder by the rule with the process environment
// (`profOption` nullptr: no "-prof=").
void CZerbinApp_setProfileFolder(CZerbinApp_Folders& folders, const std::string* profOption);

// Japanese interface by the locale: LC_ALL, LC_MESSAGES or LANG (the first
// that is set and not empty) begins with "ja".
bool CZerbinApp_localeIsJapanese(const StrX_VarLookup& env);
