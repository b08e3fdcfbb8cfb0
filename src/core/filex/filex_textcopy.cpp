#include "core/filex/filex_textcopy.h"

#include "core/filex/filex_open.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_search.h"

namespace {

// One line with its line break; false at the end of the file.
bool readLine(std::FILE* f, std::string& line) {
  line.clear();
  int c;
  while ((c = std::getc(f)) != EOF) {
    line.push_back(static_cast<char>(c));
    if (c == '\n') break;
  }
  return !line.empty();
}

// The first position at a character start where `key` begins, or npos.
size_t findAtChar(std::string_view s, std::string_view key) {
  if (key.empty()) return std::string_view::npos;
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i))
    if (s.compare(i, key.size(), key) == 0) return i;
  return std::string_view::npos;
}

}  // namespace

void FileX_textCopy(std::FILE* out, std::string_view path) {
  FilePtr in = FileX_open(path, "rb");
  char buf[8192];  // per call
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, in.get())) > 0)
    FileX_writeN(out, std::string_view(buf, n));
}

void FileX_textCopyReplacing(std::FILE* out, std::string_view path,
                             const FileX_Replacements& replacements) {
  FilePtr in = FileX_open(path, "rb");
  std::string line;
  while (readLine(in.get(), line)) {
    for (const auto& [from, to] : replacements)
      StrX_replaceText(line, from, to, line.size() + (to.size() + 1) * (line.size() + 1) + 1);
    FileX_writeN(out, line);
  }
}

int FileX_textCopyUntil(std::FILE* out, std::string_view path, int64_t offset,
                        const std::vector<std::string>& keys, int64_t* foundOffset) {
  FilePtr in = FileX_open(path, "rb");
  if (offset > 0) std::fseek(in.get(), static_cast<long>(offset), SEEK_SET);
  int64_t lineStart = offset > 0 ? offset : 0;
  std::string line;
  while (readLine(in.get(), line)) {
    size_t best = std::string::npos;
    int found = -1;
    for (size_t k = 0; k < keys.size(); ++k) {
      size_t at = findAtChar(line, keys[k]);
      if (at < best) {
        best = at;
        found = static_cast<int>(k);
      }
    }
    if (found >= 0) {
      FileX_writeN(out, std::string_view(line).substr(0, best));
      if (foundOffset) *foundOffset = lineStart + static_cast<int64_t>(best);
      return found;
    }
    FileX_writeN(out, line);
    lineStart += static_cast<int64_t>(line.size());
  }
  if (foundOffset) *foundOffset = lineStart;
  return -1;
}
