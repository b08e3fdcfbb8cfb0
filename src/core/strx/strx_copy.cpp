#include "core/strx/strx_copy.h"

#include <cstdarg>
#include <cstdio>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

// Whether a[i..] and b[i..] hold the same `n` bytes, ignoring ASCII case
// outside double-byte characters.  The character structure is taken from
// `a`; where the two agree byte for byte it is the same in `b`.
bool equalNoCase(std::string_view a, std::string_view b, size_t n) {
  size_t i = 0;
  while (i < n) {
    size_t len = Cp932_charLen(a, i);
    if (len == 2) {
      if (i + 1 >= n || a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (StrX_toLowerAscii(a[i]) != StrX_toLowerAscii(b[i])) {
      return false;
    }
    i += len;
  }
  return true;
}

// Offset of the last character of a non-empty text.
size_t lastCharStart(std::string_view s) {
  size_t i = 0;
  size_t last = 0;
  while (i < s.size()) {
    last = i;
    i += Cp932_charLen(s, i);
  }
  return last;
}

// Whether the text ends with the single-byte character ch.
bool endsWithChar(std::string_view s, char ch) {
  if (s.empty()) return false;
  size_t last = lastCharStart(s);
  return last == s.size() - 1 && s[last] == ch;
}

[[noreturn]] void raiseBufOver(const std::string& dst) {
  Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<const void*>(&dst));
}

// dst := piece cut to the room of `size`; raises 3183 after a cut.
void assignBounded(std::string& dst, std::string_view piece, size_t size) {
  size_t room = StrX_room(size);
  if (piece.size() <= room) {
    dst.assign(piece);
    return;
  }
  std::string cut(piece.substr(0, Cp932_cutLength(piece, room)));
  dst.swap(cut);
  raiseBufOver(dst);
}

std::string formatV(const char* format, va_list args) {
  bool failed = false;
  std::string out = StrX_formatV(format, args, &failed);
  if (failed) Errors_UNOFFICIAL();
  return out;
}

}  // namespace

bool StrX_equalsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && equalNoCase(a, b, a.size());
}

bool StrX_startsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && equalNoCase(prefix, s, prefix.size());
}

void StrX_cpy(std::string& dst, std::string_view src, size_t size) {
  assignBounded(dst, src, size);
}

void StrX_cpyN(std::string& dst, std::string_view src, size_t n, size_t size) {
  assignBounded(dst, src.substr(0, n), size);
}

void StrX_cpyNChar(std::string& dst, std::string_view src, size_t n, size_t size) {
  assignBounded(dst, src.substr(0, Cp932_cutLength(src, n)), size);
}

void StrX_cat(std::string& dst, std::string_view src, size_t size) {
  size_t room = StrX_room(size);
  size_t free = dst.size() < room ? room - dst.size() : 0;
  if (src.size() <= free) {
    dst.append(src);
    return;
  }
  dst.append(src.substr(0, Cp932_cutLength(src, free)));
  raiseBufOver(dst);
}

void StrX_ins(std::string& dst, std::string_view src) { dst.insert(0, src); }

void StrX_insBounded(std::string& dst, std::string_view src, size_t size) {
  std::string joined;
  joined.reserve(src.size() + dst.size());
  joined.append(src).append(dst);
  assignBounded(dst, joined, size);
}

void StrX_addLastChar(std::string& path, char ch, size_t size) {
  if (endsWithChar(path, ch)) return;
  if (path.size() + 1 > StrX_room(size)) raiseBufOver(path);
  path.push_back(ch);
}

void StrX_cutLastChar(std::string& s, char ch) {
  if (endsWithChar(s, ch)) s.pop_back();
}

void StrX_sprintf(std::string& dst, size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatV(format, args);
  va_end(args);
  size_t room = StrX_room(size);
  if (text.size() <= room) {
    dst.swap(text);
    return;
  }
  dst.assign(text, 0, Cp932_cutLength(text, room));
  Errors_RAISE(StrX_Err_BufOver, "%s", "");
}

StrX_BoundedWriter::StrX_BoundedWriter(std::string& out, size_t size, bool raiseOnOverflow)
    : out_(out), end_(StrX_room(size)), raise_(raiseOnOverflow) {
  if (out_.size() > end_) {
    out_.resize(Cp932_cutLength(out_, end_));
    overflowed_ = true;
  }
}

void StrX_BoundedWriter::write(std::string_view piece) {
  if (!overflowed_) {
    size_t free = end_ - out_.size();
    if (piece.size() <= free) {
      out_.append(piece);
      return;
    }
    out_.append(piece.substr(0, Cp932_cutLength(piece, free)));
    overflowed_ = true;
  } else if (piece.empty()) {
    return;
  }
  if (raise_) raiseBufOver(out_);
}

void StrX_BoundedWriter::printf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatV(format, args);
  va_end(args);
  write(text);
}

std::string StrX_format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string s = StrX_formatV(format, args);
  va_end(args);
  return s;
}

std::string StrX_formatV(const char* format, va_list args, bool* failed) {
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (failed) *failed = n < 0;
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), format, args);
  out.resize(static_cast<size_t>(n));
  return out;
}
