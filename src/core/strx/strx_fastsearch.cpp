#include "core/strx/strx_fastsearch.h"

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

inline bool isAsciiLetter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
inline unsigned char upperAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - ('a' - 'A')) : c;
}

// Whether the pattern matches at `t` (at least length bytes readable).
inline bool matchesAt(const StrX_SearchPattern& p, const unsigned char* t) {
  const unsigned char* pat = reinterpret_cast<const unsigned char*>(p.text.data());
  if (p.caseSensitive) {
    for (int j = 0; j < p.length; ++j)
      if (t[j] != pat[j]) return false;
    return true;
  }
  for (int j = 0; j < p.length; ++j) {
    const unsigned char c = p.foldable[static_cast<size_t>(j)] ? upperAscii(t[j]) : t[j];
    if (c != pat[j]) return false;
  }
  return true;
}

}  // namespace

StrX_SearchPattern StrX_initSearch(std::string_view pattern, bool caseSensitive) {
  if (pattern.empty() || pattern.size() > StrX_SearchPatternMax ||
      pattern.find('\0') != std::string_view::npos)
    Errors_RAISE(Errors_Unofficial, "error");
  StrX_SearchPattern p;
  p.text.assign(pattern);
  p.length = static_cast<int>(pattern.size());
  p.caseSensitive = caseSensitive;
  size_t i = 0;
  while (i < pattern.size()) {
    const size_t n = Cp932_charLen(pattern, i);
    const unsigned char c = static_cast<unsigned char>(pattern[i]);
    if (!caseSensitive && n == 1 && isAsciiLetter(c)) {
      p.foldable[i] = true;
      p.text[i] = static_cast<char>(upperAscii(c));
    }
    i += n;
  }
  for (size_t j = 0; j < pattern.size(); ++j) {
    unsigned char key = static_cast<unsigned char>(p.text[j]);
    if (!caseSensitive) key = upperAscii(key);
    if (p.lastPos[key] != 0) p.repeated[key] = true;
    p.lastPos[key] = static_cast<uint8_t>(j + 1);
  }
  return p;
}

ptrdiff_t StrX_search(const StrX_SearchPattern& p, std::string_view text) {
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  const size_t len = static_cast<size_t>(p.length);
  if (len == 0) return -1;
  for (size_t e = len - 1; e < n; e += len) {
    unsigned char b = t[e];
    if (b == 0) return -1;
    if (!p.caseSensitive) b = upperAscii(b);
    const size_t k = p.lastPos[b];
    if (k == 0) continue;
    // Starts e-(k-1) and, for a repeated byte, e-(k-2) ... e: the first
    // (leftmost) start that matches wins.
    if (matchesAt(p, t + e - (k - 1))) return static_cast<ptrdiff_t>(e - (k - 1));
    if (!p.repeated[b]) continue;
    for (size_t back = k - 1; back-- > 0;)
      if (matchesAt(p, t + e - back)) return static_cast<ptrdiff_t>(e - back);
  }
  return -1;
}

StrX_PaddedText::StrX_PaddedText(std::string_view text)
    : buf_(text.size() + StrX_SearchPadding, '\0'), size_(text.size()) {
  buf_.replace(0, text.size(), text);
}
