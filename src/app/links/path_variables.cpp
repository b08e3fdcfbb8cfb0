#include "app/links/path_variables.h"

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/inifile/inifile.h"
#include "core/nestfind/nestfind.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_vars.h"

void UserPathVariables::load(std::string_view folder) {
  list_.clear();
  NestFindGrow walk;
  walk.open(folder, false);
  while (walk.next()) {
    const std::string file = walk.path();
    std::string name = StrX_fileName(file);
    if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.resize(dot);
    UserPathVariable v;
    IniFileReader r;
    r.open(file);
    // A file that is no settings file at all (a read-me, an empty file)
    // defines nothing; a settings file of the wrong shape is an error.
    bool settingsFile = true;
    Except_tryCatch([&] { r.setSection("PathVariable"); },
                    [&](const Errors_Msg& e) {
                      if (e.code != IniFile_Err_BadFormat && e.code != FileX_Err_EOF) Except_throw(e);
                      settingsFile = false;
                    });
    if (!settingsFile) continue;
    r.readOptionalAttribute("Comment", 's', &v.comment, std::string_view());
    r.readAttribute("Path", "s", &v.path);
    if (name.size() > PathVariables_nameMax || v.path.size() > PathVariables_pathMax) {
      Errors_RAISE(StrX_Err_BufOver, "%s", file.c_str());
    }
    v.name = std::move(name);
    add(std::move(v));
  }
}

bool UserPathVariables::lookup(std::string_view name, std::string& value) const {
  for (const UserPathVariable& v : list_) {
    if (StrX_equalsNoCase(v.name, name)) {
      value = v.path;
      return true;
    }
  }
  return false;
}

std::string UserPathVariables::expand(std::string_view text, size_t size) const {
  std::string s(text);
  StrX_VarLookup own = [this](std::string_view name, std::string& value) {
    return lookup(name, value);
  };
  StrX_expandVariables(s, size, own);
  return s;
}

std::string UserPathVariables::undefinedName(std::string_view text) const {
  size_t pos = 0;
  while ((pos = text.find('%', pos)) != std::string_view::npos) {
    const size_t end = text.find('%', pos + 1);
    if (end == std::string_view::npos) break;
    const std::string_view name = text.substr(pos + 1, end - pos - 1);
    std::string value;
    if (!name.empty() && !lookup(name, value) && !StrX_getEnvironment(name, value)) {
      return std::string(name);
    }
    pos = end + 1;
  }
  return {};
}

std::string UserPathVariables::toVariableForm(std::string_view path,
                                              std::string_view second) const {
  for (const UserPathVariable& v : list_) {
    if (v.path.empty() || !StrX_pathHasPrefix(path, v.path)) continue;
    if (!second.empty() && StrX_pathHasPrefix(second, v.path)) return std::string(path);
    return "%" + v.name + "%" + std::string(path.substr(v.path.size()));
  }
  return std::string(path);
}
