#include "core/strx/strx_search.h"

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

bool inSet(std::string_view set, char c) { return set.find(c) != std::string_view::npos; }

template <class Pred>
size_t findCharIf(std::string_view s, Pred pred) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (pred(s, i)) return i;
  }
  return StrX_npos;
}

// The unit at index i of UTF-16 bytes, little- or big-endian.
char16_t unitAt(std::string_view bytes, size_t i, bool bigEndian) {
  auto lo = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 1 : 0)]);
  auto hi = static_cast<unsigned char>(bytes[2 * i + (bigEndian ? 0 : 1)]);
  return static_cast<char16_t>(lo | (hi << 8));
}

size_t findInEncoded(std::string_view bytes, std::string_view set, int encoding,
                     bool wantIn) {
  if (encoding == 0) return wantIn ? StrX_findAnyOf(bytes, set) : StrX_findNoneOf(bytes, set);
  if (encoding != 6 && encoding != 7) {
    Errors_RAISE(Errors_NotSupport, "encoding %d", encoding);
  }
  size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    char16_t u = unitAt(bytes, i, encoding == 7);
    bool in = u < 0x80 && inSet(set, static_cast<char>(u));
    if (in == wantIn) return 2 * i;
  }
  return StrX_npos;
}

size_t findInSet16(std::u16string_view s, std::u16string_view set, bool wantIn) {
  for (size_t i = 0; i < s.size(); ++i) {
    if ((set.find(s[i]) != std::u16string_view::npos) == wantIn) return i;
  }
  return StrX_npos;
}

// Kind of the byte at pos: 0 a single-byte character, 1 a lead byte, 2 a
// trail byte, 3 the terminator.
int byteKind(std::string_view s, size_t pos) {
  if (pos > s.size()) Errors_RAISE(Errors_Unofficial, "error");
  if (pos == s.size()) return 3;
  size_t i = 0;
  while (true) {
    size_t len = Cp932_charLen(s, i);
    if (pos < i + len) return pos == i ? (len == 2 ? 1 : 0) : 2;
    i += len;
  }
}

bool isTrimmed(char c, bool quotes) { return StrX_isSpace(c) || (quotes && c == '"'); }

// White space and '"' are below 0x40 and never trail bytes, so the ends
// can be cut byte by byte.
void trimSet(std::string& s, bool quotes) {
  size_t b = 0;
  size_t e = s.size();
  while (b < e && isTrimmed(s[b], quotes)) ++b;
  while (e > b && isTrimmed(s[e - 1], quotes)) --e;
  s.erase(e);
  s.erase(0, b);
}

// Whether the characters at pattern[p] and text[t] are the same one
// (ASCII case ignored).
bool sameChar(std::string_view pattern, size_t p, std::string_view text, size_t t) {
  size_t lp = Cp932_charLen(pattern, p);
  if (lp != Cp932_charLen(text, t)) return false;
  if (lp == 2) return pattern[p] == text[t] && pattern[p + 1] == text[t + 1];
  return StrX_toLowerAscii(pattern[p]) == StrX_toLowerAscii(text[t]);
}

char16_t foldUnit(char16_t u) {
  return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u - u'A' + u'a') : u;
}

bool unitMatchesAscii(char16_t u, char c) {
  return u < 0x80 && foldUnit(u) == static_cast<char16_t>(StrX_toLowerAscii(c));
}

bool isWordByte(char c) { return StrX_isAsciiAlpha(c) || StrX_isAsciiDigit(c) || c == '_'; }

}  // namespace

size_t StrX_findChar(std::string_view s, char ch) {
  return findCharIf(s, [ch](std::string_view t, size_t i) {
    return Cp932_charLen(t, i) == 1 && t[i] == ch;
  });
}

size_t StrX_findLastChar(std::string_view s, char ch) {
  size_t found = StrX_npos;
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (Cp932_charLen(s, i) == 1 && s[i] == ch) found = i;
  }
  return found;
}

size_t StrX_findAnyOf(std::string_view s, std::string_view set) {
  return findCharIf(s, [set](std::string_view t, size_t i) {
    return Cp932_charLen(t, i) == 1 && inSet(set, t[i]);
  });
}

size_t StrX_findNoneOf(std::string_view s, std::string_view set) {
  return findCharIf(s, [set](std::string_view t, size_t i) {
    return Cp932_charLen(t, i) == 2 || !inSet(set, t[i]);
  });
}

size_t StrX_findAnyOf16(std::u16string_view s, std::u16string_view set) {
  return findInSet16(s, set, true);
}

size_t StrX_findNoneOf16(std::u16string_view s, std::u16string_view set) {
  return findInSet16(s, set, false);
}

size_t StrX_findAnyOfEncoded(std::string_view bytes, std::string_view set, int encoding) {
  return findInEncoded(bytes, set, encoding, true);
}

size_t StrX_findNoneOfEncoded(std::string_view bytes, std::string_view set, int encoding) {
  return findInEncoded(bytes, set, encoding, false);
}

bool StrX_isTrailAt(std::string_view s, size_t pos) { return byteKind(s, pos) == 2; }

bool StrX_isLeadAt(std::string_view s, size_t pos) { return byteKind(s, pos) == 1; }

bool StrX_hasDoubleByte(std::string_view s) {
  return findCharIf(s, [](std::string_view t, size_t i) { return Cp932_charLen(t, i) == 2; }) !=
         StrX_npos;
}

bool StrX_hasAsciiUpper(std::string_view s) {
  return findCharIf(s, [](std::string_view t, size_t i) {
           return Cp932_charLen(t, i) == 1 && StrX_isAsciiUpper(t[i]);
         }) != StrX_npos;
}

bool StrX_isBlank(std::string_view s) {
  for (char c : s) {
    if (!StrX_isSpace(c)) return false;
  }
  return true;
}

void StrX_lowerAscii(std::string& s) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (Cp932_charLen(s, i) == 1) s[i] = StrX_toLowerAscii(s[i]);
  }
}

std::string StrX_lowerAsciiCopy(std::string s) {
  StrX_lowerAscii(s);
  return s;
}

void StrX_trim(std::string& s) { trimSet(s, false); }

void StrX_trimQuotes(std::string& s) { trimSet(s, true); }

void StrX_replaceChar(std::string& s, char from, char to) {
  for (size_t i = 0; i < s.size(); i += Cp932_charLen(s, i)) {
    if (Cp932_charLen(s, i) == 1 && s[i] == from) s[i] = to;
  }
}

void StrX_replaceText(std::string& s, std::string_view from, std::string_view to,
                      size_t size) {
  if (from.empty()) return;
  std::string out;
  size_t i = 0;
  while (i < s.size()) {
    if (s.compare(i, from.size(), from) == 0) {
      out.append(to);
      i += from.size();
    } else {
      size_t len = Cp932_charLen(s, i);
      out.append(s, i, len);
      i += len;
    }
  }
  StrX_cpy(s, out, size);
}

bool StrX_wildcardMatch(std::string_view pattern, std::string_view text) {
  size_t p = 0;
  size_t t = 0;
  size_t starP = StrX_npos;
  size_t starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (p < pattern.size() && (pattern[p] == '?' || sameChar(pattern, p, text, t))) {
      p += pattern[p] == '?' ? 1 : Cp932_charLen(pattern, p);
      t += Cp932_charLen(text, t);
    } else if (starP != StrX_npos) {
      // Let the last '*' take one more character and try again.
      p = starP + 1;
      starT += Cp932_charLen(text, starT);
      t = starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool StrX_startsWithUtf16Ascii(std::u16string_view s, std::string_view ascii) {
  if (s.size() < ascii.size()) return false;
  for (size_t i = 0; i < ascii.size(); ++i) {
    if (!unitMatchesAscii(s[i], ascii[i])) return false;
  }
  return true;
}

bool StrX_equalsUtf16Ascii(std::u16string_view s, std::string_view ascii) {
  return s.size() == ascii.size() && StrX_startsWithUtf16Ascii(s, ascii);
}

bool StrX_equalsUtf16BEAscii(std::string_view beBytes, std::string_view ascii) {
  size_t units = beBytes.size() / 2;
  if (units != ascii.size()) return false;
  for (size_t i = 0; i < units; ++i) {
    if (!unitMatchesAscii(unitAt(beBytes, i, true), ascii[i])) return false;
  }
  return true;
}

size_t StrX_findCommentEnd16(std::u16string_view s, StrX_CommentEndScan& scan) {
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t u = s[i];
    if (scan.matched == 2 && u == u'>') {
      scan.matched = 0;
      return i + 1;
    }
    if (u == u'-') {
      if (scan.matched < 2) ++scan.matched;  // "--->" still ends with "-->"
    } else {
      scan.matched = 0;
    }
  }
  return StrX_npos;
}

std::string StrX_wordAt(std::string_view s, size_t pos, size_t* start) {
  if (start) *start = pos;
  if (pos >= s.size()) return {};
  // Find the character that holds pos and the start of the word run
  // before it, walking from the start so trail bytes are never taken for
  // letters.
  size_t i = 0;
  size_t runStart = 0;
  size_t len = 0;
  while (true) {
    len = Cp932_charLen(s, i);
    if (len == 2 || !isWordByte(s[i])) runStart = i + len;
    if (pos < i + len) break;
    i += len;
  }
  if (len == 2) {
    if (start) *start = i;
    return std::string(s.substr(i, 2));
  }
  if (!isWordByte(s[i])) return {};
  size_t end = i + 1;
  while (end < s.size() && Cp932_charLen(s, end) == 1 && isWordByte(s[end])) ++end;
  if (start) *start = runStart;
  return std::string(s.substr(runStart, end - runStart));
}

uint32_t StrX_hash(std::string_view s, uint32_t tableSize) {
  if (tableSize == 0) Errors_UNOFFICIAL();
  uint64_t sum = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    sum += static_cast<uint64_t>(i + 1) * static_cast<unsigned char>(s[i]);
  }
  return static_cast<uint32_t>(sum % tableSize);
}
