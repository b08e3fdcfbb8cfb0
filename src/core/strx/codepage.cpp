#include "core/strx/codepage.h"

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// Closes an iconv descriptor.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts one complete input; false when iconv rejects it.
  bool convert(const char* p, size_t n, char* out, size_t outSize, size_t& outLen) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(p);
    size_t inLeft = n;
    char* o = out;
    size_t oLeft = outSize;
    if (iconv(cd_, &in, &inLeft, &o, &oLeft) == static_cast<size_t>(-1) || inLeft != 0)
      return false;
    outLen = outSize - oLeft;
    return true;
  }

 private:
  iconv_t cd_;
};

constexpr char16_t kNone = 0xFFFF;

// The code page, read once from the C library's "CP932" converter into two
// tables: bytes to UTF-16 and UTF-16 to bytes (0 = no character).
struct Tables {
  char16_t single[256];
  std::vector<char16_t> dbcs;   // (lead << 8 | trail) -> unit
  std::vector<uint16_t> rev;    // unit -> 1- or 2-byte code

  Tables() : dbcs(65536, kNone), rev(65536, 0) {
    Converter to("UTF-16LE", "CP932");
    Converter from("CP932", "UTF-16LE");
    char16_t out[4];
    size_t len = 0;
    for (int b = 0; b < 256; ++b) {
      single[b] = kNone;
      if (b < 0x80) {
        single[b] = static_cast<char16_t>(b);
        continue;
      }
      if (Cp932_isLead(static_cast<unsigned char>(b))) continue;
      char c = static_cast<char>(b);
      if (to.ok() && to.convert(&c, 1, reinterpret_cast<char*>(out), sizeof(out), len) &&
          len == 2)
        single[b] = out[0];
    }
    // Bytes the C library rejects, as the original code page has them.
    single[0x80] = 0x0080;
    single[0xA0] = 0xF8F0;
    single[0xFD] = 0xF8F1;
    single[0xFE] = 0xF8F2;
    single[0xFF] = 0xF8F3;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!Cp932_isLead(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (trail == 0x7F) continue;
        char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        if (to.ok() && to.convert(in, 2, reinterpret_cast<char*>(out), sizeof(out), len) &&
            len == 2)
          dbcs[(lead << 8) | trail] = out[0];
      }
    }
    for (int b = 0; b < 256; ++b)
      if (single[b] != kNone) rev[single[b]] = static_cast<uint16_t>(b);
    // Characters with two codes (NEC and IBM rows): the C library's
    // reverse direction chooses, as the original code page does.
    for (int code = 0x8140; code <= 0xFCFC; ++code) {
      char16_t u = dbcs[code];
      if (u == kNone || rev[u] != 0) continue;
      char in16[2];
      std::memcpy(in16, &u, 2);
      char bytes[4];
      if (from.ok() && from.convert(in16, 2, bytes, sizeof(bytes), len) && len == 2)
        rev[u] = static_cast<uint16_t>((static_cast<unsigned char>(bytes[0]) << 8) |
                                       static_cast<unsigned char>(bytes[1]));
      else
        rev[u] = static_cast<uint16_t>(code);
    }
  }
};

const Tables& tables() {
  static const Tables t;
  return t;
}

}  // namespace

std::u16string Cp932_toUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  const Tables* t = nullptr;
  size_t i = 0;
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    if (!t) t = &tables();
    if (Cp932_isLead(b)) {
      if (i + 1 < s.size()) {
        char16_t u = t->dbcs[(b << 8) | static_cast<unsigned char>(s[i + 1])];
        if (u != kNone) {
          out.push_back(u);
          i += 2;
          continue;
        }
      }
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    char16_t u = t->single[b];
    out.push_back(u == kNone ? char16_t(0xFFFD) : u);
    ++i;
  }
  return out;
}

void Cp932_appendUtf16Le(std::string& out, std::string_view s, bool crlf) {
  size_t room = s.size();
  if (crlf) room += static_cast<size_t>(std::count(s.begin(), s.end(), '\n'));
  const size_t start = out.size();
  out.resize(start + 2 * room);  // a character never takes more
  unsigned char* p = reinterpret_cast<unsigned char*>(out.data() + start);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(s.data());
  const size_t n = s.size();
  const Tables* t = nullptr;
  unsigned char previous = 0;
  size_t i = 0;
  while (i < n) {
#if defined(__SSE2__)
    // Runs of ASCII other than line feeds, 16 bytes at a time: the bytes
    // with a zero byte after each.  There are at least 32 bytes of room
    // while 16 bytes of input are left.
    if (i + 16 <= n) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
      int special = _mm_movemask_epi8(v);
      if (crlf) special |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
      const int plain = special ? __builtin_ctz(static_cast<unsigned>(special)) : 16;
      if (plain > 0) {
        const __m128i zero = _mm_setzero_si128();
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_unpacklo_epi8(v, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + 16), _mm_unpackhi_epi8(v, zero));
        p += 2 * plain;
        i += static_cast<size_t>(plain);
        previous = in[i - 1];
        continue;
      }
    }
#endif
    const unsigned char b = in[i];
    if (b < 0x80) {
      if (b == '\n' && crlf && previous != '\r') {
        *p++ = '\r';
        *p++ = 0;
      }
      *p++ = b;
      *p++ = 0;
      previous = b;
      ++i;
      continue;
    }
    previous = b;
    if (!t) t = &tables();
    char16_t u;
    if (Cp932_isLead(b)) {
      u = i + 1 < n ? t->dbcs[(b << 8) | in[i + 1]] : kNone;
      if (u != kNone) {
        previous = in[i + 1];
        i += 2;
      } else {
        u = u'?';
        ++i;
      }
    } else {
      u = t->single[b];
      if (u == kNone) u = u'?';
      ++i;
    }
    *p++ = static_cast<unsigned char>(u & 0xFF);
    *p++ = static_cast<unsigned char>(u >> 8);
  }
  out.resize(static_cast<size_t>(reinterpret_cast<char*>(p) - out.data()));
}

std::string Cp932_fromUtf16(std::u16string_view s, bool* lossy) {
  std::string out;
  out.reserve(s.size() * 2);
  if (lossy) *lossy = false;
  const Tables* t = nullptr;
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t u = s[i];
    if (u < 0x80) {
      out.push_back(static_cast<char>(u));
      continue;
    }
    if (!t) t = &tables();
    uint16_t code = (u >= 0xD800 && u <= 0xDFFF) ? 0 : t->rev[u];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF)
      ++i;  // a pair outside the basic plane: never in code page 932
    if (code == 0) {
      out.push_back('?');
      if (lossy) *lossy = true;
    } else if (code < 0x100) {
      out.push_back(static_cast<char>(code));
    } else {
      out.push_back(static_cast<char>(code >> 8));
      out.push_back(static_cast<char>(code & 0xFF));
    }
  }
  return out;
}

std::string Utf16_toUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size() * 3);
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

namespace {

// Decodes UTF-8; `valid` is cleared when an invalid sequence was replaced.
std::u16string decodeUtf8(std::string_view s, bool* valid) {
  std::u16string out;
  out.reserve(s.size());
  if (valid) *valid = true;
  size_t i = 0;
  auto bad = [&] {
    out.push_back(0xFFFD);
    if (valid) *valid = false;
    ++i;
  };
  while (i < s.size()) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    int n;
    uint32_t c;
    if (b >= 0xC2 && b <= 0xDF) { n = 1; c = b & 0x1F; }
    else if (b >= 0xE0 && b <= 0xEF) { n = 2; c = b & 0x0F; }
    else if (b >= 0xF0 && b <= 0xF4) { n = 3; c = b & 0x07; }
    else { bad(); continue; }
    // An incomplete sequence becomes one U+FFFD for all its bytes.
    int k = 1;
    for (; k <= n && i + k < s.size(); ++k) {
      unsigned char t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0) != 0x80) break;
      c = (c << 6) | (t & 0x3F);
    }
    if (k <= n) {
      out.push_back(0xFFFD);
      if (valid) *valid = false;
      i += k;
      continue;
    }
    if ((n == 1 && c < 0x80) || (n == 2 && c < 0x800) || (n == 3 && (c < 0x10000 || c > 0x10FFFF)) ||
        (c >= 0xD800 && c <= 0xDFFF)) {
      out.push_back(0xFFFD);
      if (valid) *valid = false;
      i += n + 1;
      continue;
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
    i += n + 1;
  }
  return out;
}

}  // namespace

std::u16string Utf8_toUtf16(std::string_view s) { return decodeUtf8(s, nullptr); }

std::string Cp932_toUtf8(std::string_view s) { return Utf16_toUtf8(Cp932_toUtf16(s)); }

std::string Cp932_fromUtf8(std::string_view s, bool* lossy) {
  bool valid = true;
  std::u16string u = decodeUtf8(s, &valid);
  std::string out = Cp932_fromUtf16(u, lossy);
  if (!valid && lossy) *lossy = true;
  return out;
}

std::optional<std::string> Cp932_toOsPath(std::string_view s) {
  std::u16string u = Cp932_toUtf16(s);
  for (char16_t c : u)
    if (c == 0xFFFD) return std::nullopt;
  return Utf16_toUtf8(u);
}

std::optional<std::string> Cp932_fromOsPath(std::string_view s) {
  bool lossy = false;
  std::string out = Cp932_fromUtf8(s, &lossy);
  if (lossy) return std::nullopt;
  return out;
}

size_t Cp932_cutLength(std::string_view s, size_t maxBytes) {
  if (s.size() <= maxBytes) return s.size();
  size_t i = 0;
  while (i < maxBytes) {
    size_t n = Cp932_charLen(s, i);
    if (i + n > maxBytes) break;
    i += n;
  }
  return i;
}

std::string Cp932_normalise(std::string_view s) {
  const Tables& t = tables();
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (!Cp932_isLead(b)) {
      out += s[i++];
      continue;
    }
    if (i + 1 < s.size() &&
        t.dbcs[(size_t{b} << 8) | static_cast<unsigned char>(s[i + 1])] != kNone) {
      out.append(s.substr(i, 2));
      i += 2;
      continue;
    }
    out += '?';
    ++i;
  }
  return out;
}

bool Utf8_isValid(std::string_view bytes) {
  bool valid = true;
  decodeUtf8(bytes, &valid);
  return valid;
}

std::optional<std::string> Charset_toUtf8(std::string_view bytes, const std::string& charset) {
  Converter c("UTF-8", charset.c_str());
  if (!c.ok()) return std::nullopt;
  // Four bytes of UTF-8 at most for each byte of input, and room for a mark.
  std::string out(bytes.size() * 4 + 8, '\0');
  size_t len = 0;
  if (!c.convert(bytes.data(), bytes.size(), out.data(), out.size(), len)) return std::nullopt;
  out.resize(len);
  return out;
}
