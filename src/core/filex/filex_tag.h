// The four-character tag: a name of up to four characters padded with
// spaces, and an int32 value (stored little-endian after the name).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct FileX_Tag {
  std::array<char, 4> name{' ', ' ', ' ', ' '};
  int32_t value = 0;
};

// A tag of the name (cut to four bytes, padded with spaces) and the value.
FileX_Tag FileX_makeTag(std::string_view name, int32_t value);
// The value of the tag whose name matches (a shorter name matches the
// space-padded one); -1 when none does.
int32_t FileX_tagValue(const FileX_Tag& tag, std::string_view name);
int32_t FileX_findTag(const std::vector<FileX_Tag>& tags, std::string_view name);
// The eight bytes on disk, and back (false for fewer than eight bytes).
std::string FileX_tagBytes(const FileX_Tag& tag);
bool FileX_tagFromBytes(std::string_view bytes, FileX_Tag& tag);
