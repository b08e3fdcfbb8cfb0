#include "app/startup/folders.h"

#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <vector>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"

namespace {

enum class Base { Prof, Prog };

struct Variable {
  const char* name;
  Base base;
  const char* sub;  // below the base folder
};

constexpr Variable kVariables[] = {
    {"%prof%", Base::Prof, ""},
    {"%auto%", Base::Prof, "auto"},
    {"%backup%", Base::Prof, "backup"},
    {"%design%", Base::Prof, "design"},
    {"%icon%", Base::Prof, "icon"},
    {"%keywords%", Base::Prof, "keywords"},
    {"%log%", Base::Prof, "log"},
    {"%log_copy%", Base::Prof, "log_copy/"},
    {"%path_var%", Base::Prof, "path_var"},
    {"%script%", Base::Prof, "script"},
    {"%security%", Base::Prof, "security"},
    {"%rel_copy%", Base::Prof, "script/rel_copy"},
    {"%template%", Base::Prof, "template"},
    {"%work%", Base::Prof, "work"},
    {"%prog%", Base::Prog, ""},
    {"%scriptlib%", Base::Prog, "system/scriptlib"},
    {"%plugin%", Base::Prog, "system/plugin"},
    {"%profile_first%", Base::Prog, "system/profile_first"},
};

std::string today() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%y%m%d", &tm);
  return buf;
}

std::string folderOf(const CZerbinApp_Folders& f, const Variable& v) {
  std::string_view name = v.name;
  // The settings of the work and keyword folders: a relative value lies in
  // the profile folder, never in the current folder.
  auto setting = [&](const std::string& value) {
    return value[0] == '/' ? value : f.profileFolder + value;
  };
  if (name == "%work%" && !f.workFolderSetting.empty()) return setting(f.workFolderSetting);
  if (name == "%keywords%" && !f.keywordsFolderSetting.empty())
    return setting(f.keywordsFolderSetting);
  std::string folder = (v.base == Base::Prof ? f.profileFolder : f.programFolder) + v.sub;
  if (name == "%log_copy%") folder += today();
  return folder;
}


bool isSeparator(std::string_view s) { return s == "/" || s == "\\"; }

}  // namespace

bool CZerbinApp_folderVariable(const CZerbinApp_Folders& folders, std::string_view name,
                               std::string& value) {
  for (const Variable& v : kVariables) {
    std::string_view full = v.name;
    if (full.substr(1, full.size() - 2) == name) {
      value = folderOf(folders, v);
      return true;
    }
  }
  return false;
}

void CZerbinApp_expandPath(const CZerbinApp_Folders& folders, std::string& dst, size_t size,
                           const char* format, ...) {
  std::string_view fmt = format;
  const Variable* var = nullptr;
  for (const Variable& v : kVariables) {
    if (fmt.substr(0, std::string_view(v.name).size()) == v.name) {
      var = &v;
      break;
    }
  }
  if (!var) Errors_RAISE(Errors_Unofficial, "error");
  std::string result = folderOf(folders, *var);
  std::string_view rest = fmt.substr(std::string_view(var->name).size());
  bool endsWithSlash = !result.empty() && result.back() == '/';
  if (!isSeparator(rest)) {
    // The folder of "%prof%" and "%prog%" ends with "/": the rest's leading
    // separator is not repeated.
    size_t skip = (endsWithSlash && !rest.empty() && (rest[0] == '/' || rest[0] == '\\')) ? 1 : 0;
    va_list args;
    va_start(args, format);
    std::string tail = StrX_formatV(format + (fmt.size() - rest.size()) + skip, args);
    va_end(args);
    result += tail;
  }
  int cut = StrX_expandVariables(result, size);
  if (cut || result.size() >= size) {
    dst.assign(result, 0, Cp932_cutLength(result, size - 1));
    Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&dst));
  }
  dst = result;
}

std::string CZerbinApp_profileFolderFor(std::string_view profOption,
                                        std::string_view programFolder,
                                        const StrX_VarLookup& env) {
  std::string folder;
  if (!profOption.empty()) {
    folder.assign(profOption);
  } else if (!StrX_pathHasPrefix(programFolder, "/usr/")) {
    folder = std::string(programFolder);
    if (folder.empty() || folder.back() != '/') folder += '/';
    folder += "profile";
  } else {
    std::string data;
    if (!env("XDG_DATA_HOME", data) || data.empty()) {
      std::string home;
      if (!env("HOME", home)) home = "";
      data = home + "/.local/share";
    }
    if (!data.empty() && data.back() == '/') data.pop_back();
    folder = data + "/Brevlo";
  }
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

void CZerbinApp_setProfileFolder(CZerbinApp_Folders& folders, const std::string* profOption) {
  folders.profileFolder = CZerbinApp_profileFolderFor(
      profOption ? std::string_view(*profOption) : std::string_view(), folders.programFolder,
      [](std::string_view name, std::string& value) { return StrX_getEnvironment(name, value); });
}

bool CZerbinApp_localeIsJapanese(const StrX_VarLookup& env) {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value;
    if (env(name, value) && !value.empty()) return value.substr(0, 2) == "ja";
  }
  return false;
}
