#include "core/filex/filex_tag.h"

#include <algorithm>

FileX_Tag FileX_makeTag(std::string_view name, int32_t value) {
  FileX_Tag t;
  std::copy_n(name.begin(), std::min<size_t>(name.size(), 4), t.name.begin());
  t.value = value;
  return t;
}

int32_t FileX_tagValue(const FileX_Tag& tag, std::string_view name) {
  if (name.size() > 4) return -1;
  FileX_Tag probe = FileX_makeTag(name, 0);
  return probe.name == tag.name ? tag.value : -1;
}

int32_t FileX_findTag(const std::vector<FileX_Tag>& tags, std::string_view name) {
  if (name.size() > 4) return -1;
  FileX_Tag probe = FileX_makeTag(name, 0);
  for (const FileX_Tag& t : tags)
    if (t.name == probe.name) return t.value;
  return -1;
}

std::string FileX_tagBytes(const FileX_Tag& tag) {
  std::string out(tag.name.begin(), tag.name.end());
  uint32_t v = static_cast<uint32_t>(tag.value);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return out;
}

bool FileX_tagFromBytes(std::string_view bytes, FileX_Tag& tag) {
  if (bytes.size() < 8) return false;
  std::copy_n(bytes.begin(), 4, tag.name.begin());
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[4 + i])) << (8 * i);
  tag.value = static_cast<int32_t>(v);
  return true;
}
