#include "core/filex/text_file.h"

#include <cerrno>

#include "core/filex/filex_ospath.h"

FilePtr FileX_openOs(std::string_view cp932Path, const char* mode) {
  std::optional<std::string> os = FileX_osPath(cp932Path);
  if (!os) {
    errno = ENOENT;
    return nullptr;
  }
  return FilePtr(std::fopen(os->c_str(), mode));
}

std::string TextFile_toDisk(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\n' && (i == 0 || text[i - 1] != '\r')) out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

std::string TextFile_fromDisk(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    out.push_back(bytes[i]);
  }
  return out;
}

bool TextFile_write(std::string_view cp932Path, std::string_view text, bool append) {
  FilePtr f = FileX_openOs(cp932Path, append ? "ab" : "wb");
  if (!f) return false;
  std::string disk = TextFile_toDisk(text);
  bool ok = std::fwrite(disk.data(), 1, disk.size(), f.get()) == disk.size();
  std::FILE* raw = f.release();
  if (std::fclose(raw) != 0) ok = false;
  return ok;
}

std::optional<std::string> TextFile_read(std::string_view cp932Path) {
  FilePtr f = FileX_openOs(cp932Path, "rb");
  if (!f) return std::nullopt;
  std::string bytes;
  char buf[8192];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f.get())) > 0) bytes.append(buf, n);
  if (std::ferror(f.get())) return std::nullopt;
  return TextFile_fromDisk(bytes);
}
