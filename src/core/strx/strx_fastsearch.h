// Fast search of a byte pattern in a long text (keyword search).
//
// The search examines only every L-th byte of the text (L = pattern
// length) and uses two 256-entry tables to find the candidate starts.
//
// Padding contract: the text given to StrX_search must be followed in
// memory by at least L zero bytes (StrX_SearchPadding = 256 covers every
// pattern).  StrX_PaddedText builds such a buffer.  A zero byte met at an
// examined position inside the text also ends the search.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t StrX_SearchPadding = 256;
inline constexpr size_t StrX_SearchPatternMax = 255;

struct StrX_SearchPattern {
  // The pattern; when not case-sensitive its foldable letters (ASCII
  // letters that are not trail bytes) are stored in upper case.
  std::string text;
  int length = 0;
  bool caseSensitive = true;
  // For each byte value, the 1-based position of its last occurrence in
  // the pattern (0 = absent).  When not case-sensitive, every ASCII letter
  // is entered under its upper-case value.
  std::array<uint8_t, 256> lastPos{};
  // Byte values (entered as above) that occur more than once.
  std::array<bool, 256> repeated{};
  // Positions whose text byte is compared without ASCII case.
  std::array<bool, StrX_SearchPatternMax> foldable{};
};

// Prepares a pattern of 1-255 bytes without zero bytes; raises 102
// otherwise.  Case-insensitive patterns ignore ASCII case only where the
// pattern byte is an ASCII letter standing for itself (not the trail byte of
// a double-byte character).
StrX_SearchPattern StrX_initSearch(std::string_view pattern, bool caseSensitive);

// Offset of the first match of `pattern` in `text`, or -1.  `text.data()`
// must be followed by at least pattern.length zero bytes (see above).
ptrdiff_t StrX_search(const StrX_SearchPattern& pattern, std::string_view text);

// A copy of a text followed by StrX_SearchPadding zero bytes.
class StrX_PaddedText {
 public:
  explicit StrX_PaddedText(std::string_view text);
  // The text without its padding, safe to give to StrX_search.
  std::string_view view() const { return std::string_view(buf_.data(), size_); }

 private:
  std::string buf_;
  size_t size_;
};
