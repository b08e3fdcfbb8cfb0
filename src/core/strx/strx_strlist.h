// String lists: consecutive zero-terminated strings in a buffer of fixed
// size.  The list has a current string at its position; "next" ends it and
// starts a new, empty current string behind it.  Narrow (code page 932) and
// UTF-16 lists share one template; sizes are counted in bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

template <class Ch>
class StrX_BasicStrList {
 public:
  // A zero-filled buffer of `sizeBytes` bytes (at least one character);
  // the current string is the empty string at the start.
  explicit StrX_BasicStrList(size_t sizeBytes);

  // Replaces the current string.  It holds at most freeBytes() bytes with
  // its terminator: a longer text is cut (never inside a double-byte
  // character of a narrow list) and 3183 is raised.
  void setCurrent(std::basic_string_view<Ch> s);
  // Moves past the current string and writes an empty string there;
  // raises 3180 ("アプリ内部のメモリ領域が足りません") when no room for it is
  // left.
  void next();

  std::basic_string_view<Ch> current() const;
  // Bytes from the start of the current string to the end of the buffer.
  size_t freeBytes() const { return (buf_.size() - pos_) * sizeof(Ch); }
  // The strings ended by next(), in order.
  std::vector<std::basic_string<Ch>> strings() const;
  // The whole buffer.
  const std::basic_string<Ch>& buffer() const { return buf_; }

 private:
  std::basic_string<Ch> buf_;
  size_t pos_ = 0;  // start of the current string, in characters
};

using StrX_StrList = StrX_BasicStrList<char>;
using StrX_StrListW = StrX_BasicStrList<char16_t>;

extern template class StrX_BasicStrList<char>;
extern template class StrX_BasicStrList<char16_t>;
