#include "core/filex/filex_ospath.h"

#include "core/strx/codepage.h"
#include "core/strx/strx_path.h"

bool FileX_isForeignPath(std::string_view p) {
  if (StrX_isDrivePath(p)) return true;
  return p.size() >= 2 && p[0] == '\\' && p[1] == '\\';
}

std::optional<std::string> FileX_osPath(std::string_view p) {
  if (p.empty() || FileX_isForeignPath(p)) return std::nullopt;
  std::optional<std::string> os = Cp932_toOsPath(p);
  if (!os || os->empty()) return std::nullopt;
  return os;
}
