// Bounded copy, concatenation and formatting of code page 932 text, and the
// small ASCII character helpers the other string functions share.
//
// A `size` is the size of the caller's buffer in bytes, terminator included:
// the result holds at most size-1 bytes.  A cut never ends inside a
// double-byte character.  On overflow the cut text stays in `dst` and then
// StrX_Err_BufOver (3183) is raised, so a caller that ignores 3183 keeps it.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

// ---- ASCII helpers (never the C library's locale-dependent ones) ----

constexpr bool StrX_isAsciiAlpha(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool StrX_isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
// The value of a hexadecimal digit of either case, or -1.
constexpr int StrX_hexDigit(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                : -1;
}
constexpr bool StrX_isAsciiUpper(char c) { return c >= 'A' && c <= 'Z'; }
// White space: space, tab, CR and LF.
constexpr bool StrX_isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
// `s` without the white space at either end.
constexpr std::string_view StrX_trimmedView(std::string_view s) {
  while (!s.empty() && StrX_isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && StrX_isSpace(s.back())) s.remove_suffix(1);
  return s;
}
constexpr char StrX_toLowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
constexpr char StrX_toUpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equality ignoring ASCII case.  Double-byte characters compare exactly
// (their trail bytes are never folded).
bool StrX_equalsNoCase(std::string_view a, std::string_view b);
// Whether `s` begins with `prefix`, ignoring ASCII case as above.
bool StrX_startsWithNoCase(std::string_view s, std::string_view prefix);

// ---- bounded copy ----

// The usable length of a buffer of `size` bytes (size-1, 0 for size 0).
constexpr size_t StrX_room(size_t size) { return size ? size - 1 : 0; }

// dst := src; cut to size-1 bytes and raise 3183 when it does not fit.
void StrX_cpy(std::string& dst, std::string_view src, size_t size);
// dst := the first n bytes of src (a byte count: a double-byte character can
// be split at n).  Raises 3183 whenever those min(len, n) bytes do not fit.
void StrX_cpyN(std::string& dst, std::string_view src, size_t n, size_t size);
// As StrX_cpyN, but a cut at n that would split a double-byte character
// drops its lead byte too.
void StrX_cpyNChar(std::string& dst, std::string_view src, size_t n, size_t size);
// dst += src; appends what fits, then raises 3183.
void StrX_cat(std::string& dst, std::string_view src, size_t size);
// Inserts src at the start of dst.
void StrX_ins(std::string& dst, std::string_view src);
// As StrX_ins; when the result does not fit it is cut and 3183 is raised.
void StrX_insBounded(std::string& dst, std::string_view src, size_t size);
// Appends ch unless the text already ends with it (a trail byte equal to ch
// does not count); raises 3183 when there is no room for it.  With '/' (or
// '\\') this ends a folder path with a separator.
void StrX_addLastChar(std::string& path, char ch, size_t size);
// Removes a final ch unless that byte is the trail byte of a double-byte
// character.
void StrX_cutLastChar(std::string& s, char ch);

// printf into a string of any length.  A format the C library refuses
// gives "" and sets `failed` (when given).
std::string StrX_formatV(const char* format, va_list args, bool* failed = nullptr);
std::string StrX_format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Bounded printf: dst := the formatted text, cut to size-1 bytes; raises
// 3183 with an empty message when the output was cut.
void StrX_sprintf(std::string& dst, size_t size, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// A writer that appends formatted pieces to a string with a byte limit.
// The position starts at the current end of `out`; `end` is the last byte
// of the buffer (size-1), the place of the terminator.  When a piece does
// not fit it is cut, the position moves to the end (every later piece is
// refused), and 3183 is raised when the raise flag is set.
class StrX_BoundedWriter {
 public:
  StrX_BoundedWriter(std::string& out, size_t size, bool raiseOnOverflow);

  void write(std::string_view piece);
  void printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

  // The offset where the next piece goes; equals end() once the writer has
  // overflowed.
  size_t position() const { return overflowed_ ? end_ : out_.size(); }
  size_t end() const { return end_; }
  bool overflowed() const { return overflowed_; }
  bool raisesOnOverflow() const { return raise_; }
  void setRaiseOnOverflow(bool raise) { raise_ = raise; }

 private:
  std::string& out_;
  size_t end_;
  bool raise_;
  bool overflowed_ = false;
};
