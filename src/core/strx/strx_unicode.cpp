#include "core/strx/strx_unicode.h"

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

bool isHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool isLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Units that fit into `size` bytes with the terminator; never half a pair.
size_t unitsThatFit(std::u16string_view s, size_t size) {
  const size_t room = size < 2 ? 0 : size / 2 - 1;
  if (s.size() <= room) return s.size();
  size_t n = room;
  if (n > 0 && isHighSurrogate(s[n - 1]) && isLowSurrogate(s[n])) --n;
  return n;
}

// Stores `units` bounded by `size` bytes; false when it had to cut.
bool storeBounded(std::u16string& dst, std::u16string_view units, size_t size) {
  const size_t n = unitsThatFit(units, size);
  dst.assign(units.substr(0, n));
  return n == units.size();
}

// Length of the UTF-8 sequence that starts with byte c.
size_t utf8SeqLen(unsigned char c) {
  if (c < 0x80 || c >= 0xF8) return 1;
  if (c >= 0xF0) return 4;
  if (c >= 0xE0) return 3;
  return c >= 0xC0 ? 2 : 1;
}

char16_t unitAt(std::string_view bytes, size_t unit, bool bigEndian) {
  const unsigned char a = static_cast<unsigned char>(bytes[unit * 2]);
  const unsigned char b = static_cast<unsigned char>(bytes[unit * 2 + 1]);
  return static_cast<char16_t>(bigEndian ? (a << 8 | b) : (b << 8 | a));
}

[[noreturn]] void notSupported() { Errors_RAISE(Errors_NotSupport, "%s", StrX_NotSupportText); }

}  // namespace

void StrX_sjis2unicode(std::u16string& dst, std::string_view src, size_t size) {
  if (!storeBounded(dst, Cp932_toUtf16(src), size))
    Errors_RAISE(StrX_Err_BufOver, "in StrX_sjis2unicode");
}

size_t StrX_utf16Size(std::string_view src, size_t align) {
  const size_t bytes = (Cp932_toUtf16(src).size() + 1) * 2;
  if (align <= 1) return bytes;
  return (bytes + align - 1) / align * align;
}

void StrX_utf16ToSjis(std::string& dst, std::u16string_view src, size_t size) {
  std::string s = Cp932_fromUtf16(src);
  const size_t room = size == 0 ? 0 : size - 1;
  const size_t n = Cp932_cutLength(s, room);
  const bool cut = n < s.size();
  s.resize(n);
  dst = std::move(s);
  if (cut) Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&dst));
}

void StrX_utf16ToUtf8(std::string& dst, std::u16string_view src, size_t size) {
  std::string s = Utf16_toUtf8(src);
  const size_t room = size == 0 ? 0 : size - 1;
  if (s.size() <= room) {
    dst = std::move(s);
    return;
  }
  size_t n = 0;
  while (n < s.size()) {
    const size_t len = utf8SeqLen(static_cast<unsigned char>(s[n]));
    if (n + len > room) break;
    n += len;
  }
  s.resize(n);
  dst = std::move(s);
  Errors_RAISE(Errors_Unofficial, "error");
}

void StrX_utf16ToAscii(std::string& dst, std::u16string_view src, size_t size) {
  dst.clear();
  const size_t room = size == 0 ? 0 : size - 1;
  for (char16_t u : src) {
    if (u == 0 || u >= 0x80) break;
    if (dst.size() == room) Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&dst));
    dst.push_back(static_cast<char>(u));
  }
}

void StrX_copyAsUtf16(std::u16string& dst, std::string_view src, size_t size, int encoding) {
  if (encoding != 0 && encoding != 6) notSupported();
  if (size < 2) {
    dst.clear();
    Errors_RAISE(StrX_Err_MemEmpty, "アプリ内部のメモリ領域が足りません");
  }
  std::u16string units;
  if (encoding == 0) {
    units = Cp932_toUtf16(src);
  } else {
    units.resize(src.size() / 2);
    for (size_t i = 0; i < units.size(); ++i) units[i] = unitAt(src, i, false);
  }
  if (!storeBounded(dst, units, size))
    Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&dst));
}

int StrX_charAt(std::string_view text, size_t index, int encoding) {
  if (encoding == 0) {
    size_t i = 0;
    for (size_t k = 0; k < index && i < text.size(); ++k) i += Cp932_charLen(text, i);
    if (i >= text.size()) return 0;
    const unsigned char c = static_cast<unsigned char>(text[i]);
    return c < 0x80 ? c : -1;
  }
  if (encoding != 6 && encoding != 7) notSupported();
  const bool be = encoding == 7;
  const size_t units = text.size() / 2;
  size_t i = 0;
  for (size_t k = 0; k < index && i < units; ++k) {
    const bool pair = isHighSurrogate(unitAt(text, i, be)) && i + 1 < units &&
                      isLowSurrogate(unitAt(text, i + 1, be));
    i += pair ? 2 : 1;
  }
  if (i >= units) return 0;
  const char16_t u = unitAt(text, i, be);
  return u < 0x80 ? u : -1;
}
