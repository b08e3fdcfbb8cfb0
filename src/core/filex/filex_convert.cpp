#include "core/filex/filex_convert.h"

#include <vector>

#include "core/errors/errors.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_flags.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_names.h"
#include "core/filex/filex_open.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_base64.h"

namespace {

constexpr size_t kBase64Block = 32718;  // 574 lines of 57 bytes
constexpr size_t kUtf16Block = 4094;
constexpr size_t kSjisBlock = 2047;
constexpr size_t kDecodeChunk = 4096;  // Base64 characters, a multiple of 4

bool isBase64Char(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
         c == '+' || c == '/';
}

// The length of the prefix of `b` that ends on a whole character (a final
// lead byte is left for the next block).
size_t wholeCharsLength(std::string_view b) {
  size_t i = 0;
  while (i < b.size()) {
    if (Cp932_isLead(b[i])) {
      if (i + 1 >= b.size()) return i;
      i += 2;
    } else {
      ++i;
    }
  }
  return b.size();
}

std::string toUtf16LeBytes(std::u16string_view u) {
  std::string out;
  out.reserve(u.size() * 2);
  for (char16_t c : u) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

}  // namespace

void FileX_base64EncodeFile(std::FILE* out, std::string_view path) {
  FilePtr in = FileX_open(path, "rb");
  std::vector<char> buf(kBase64Block);  // per call
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), in.get())) > 0)
    FileX_writeN(out, StrX_base64Encode(std::string_view(buf.data(), n)));
}

void FileX_base64DecodeToFile(std::FILE* in, std::string_view dst, int64_t offset) {
  if (offset >= 0) std::fseek(in, static_cast<long>(offset), SEEK_SET);
  FileX_AtomicFile out(dst);
  std::string pending;  // alphabet characters not yet decoded
  int c;
  while ((c = std::getc(in)) != EOF) {
    if (c < '!') continue;
    if (c == '=') {
      while ((c = std::getc(in)) == '=') {
      }
      if (c != EOF) std::ungetc(c, in);
      break;
    }
    if (!isBase64Char(c)) {
      std::ungetc(c, in);
      break;
    }
    pending.push_back(static_cast<char>(c));
    if (pending.size() == kDecodeChunk) {
      out.write(StrX_base64Decode(pending));
      pending.clear();
    }
  }
  out.write(StrX_base64Decode(pending));
  out.commit();
}

void FileX_utf16ToSjisFile(std::string_view dst, std::string_view src) {
  FilePtr in = FileX_open(src, "rb");
  unsigned char mark[2] = {0, 0};
  if (std::fread(mark, 1, 2, in.get()) != 2 || mark[0] != 0xFF || mark[1] != 0xFE)
    Errors_RAISE(FileX_Err_NotUnicodeFile, "UNICODE ファイルではありません");
  FileX_AtomicFile out(dst);
  std::vector<char> buf(kUtf16Block);
  std::string carry;  // an odd byte or a high surrogate from the last block
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), in.get())) > 0) {
    std::string bytes = carry + std::string(buf.data(), n);
    size_t whole = bytes.size() & ~size_t{1};
    std::u16string units;
    for (size_t i = 0; i < whole; i += 2)
      units.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                            static_cast<unsigned char>(bytes[i + 1]) << 8));
    carry = bytes.substr(whole);
    if (!units.empty() && units.back() >= 0xD800 && units.back() <= 0xDBFF) {
      carry = bytes.substr(whole - 2);
      units.pop_back();
    }
    out.write(Cp932_fromUtf16(units));
  }
  if (carry.size() >= 2) {
    std::u16string last(1, static_cast<char16_t>(static_cast<unsigned char>(carry[0]) |
                                                 static_cast<unsigned char>(carry[1]) << 8));
    out.write(Cp932_fromUtf16(last));
  }
  out.commit();
}

std::optional<std::string> FileX_utf16InputAsSjis(std::string_view path) {
  int kind = FileX_utf16Kind(path);
  if (kind == 2) return std::nullopt;
  if (kind != 1) return std::string(path);
  std::string tmp = FileX_temporaryName("unitmp");
  FileX_utf16ToSjisFile(tmp, path);
  return tmp;
}

void FileX_sjisToUtf16File(std::string_view dst, std::string_view src) {
  FilePtr in = FileX_open(src, "rb");
  FileX_AtomicFile out(dst);
  out.write("\xFF\xFE");
  std::vector<char> buf(kSjisBlock);
  std::string carry;  // a lead byte cut off by the block edge
  size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), in.get())) > 0) {
    std::string bytes = carry + std::string(buf.data(), n);
    size_t whole = wholeCharsLength(bytes);
    carry = bytes.substr(whole);
    out.write(toUtf16LeBytes(Cp932_toUtf16(std::string_view(bytes).substr(0, whole))));
  }
  if (!carry.empty()) out.write(toUtf16LeBytes(Cp932_toUtf16(carry)));
  out.commit();
}
