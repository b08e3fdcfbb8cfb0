#include "app/links/safe_files.h"

#include "core/filex/filex.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"

bool SafeFiles_isSafe(std::string_view listPath, std::string_view path) {
  if (!FileX_isFile(listPath)) return false;
  const std::string text = FileX_readWhole(listPath);
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    StrX_trim(line);
    if (!line.empty() && line != "*" && StrX_wildcardMatch(line, path)) return true;
    start = end + 1;
  }
  return false;
}

std::string SafeFiles_patternOf(std::string_view path) {
  const std::string ext = StrX_extension(path);
  return ext.empty() ? std::string("*") : "*." + ext;
}

void SafeFiles_add(std::string_view listPath, std::string_view pattern) {
  std::string text = FileX_isFile(listPath) ? FileX_readWhole(listPath) : std::string();
  if (!text.empty() && text.back() != '\n') text += "\r\n";
  text += std::string(pattern) + "\r\n";
  FileX_makeFolders(listPath, true);
  FileX_writeWhole(listPath, text);
}
