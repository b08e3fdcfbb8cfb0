#include "figures/base/svg_write_context.h"

#include <cstdio>
#include <cstring>

namespace {

// Whether every conversion of `format` is one the fast path knows: "%d" and
// "%s" with an optional '0' flag and width, and "%%".
bool simpleFormat(const char* p) {
  for (; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    if (*p == '0') ++p;
    while (*p >= '1' && *p <= '9') ++p;
    if (*p != 'd' && *p != 's') return false;
  }
  return true;
}

void appendInt(std::string& out, int value, bool zeroPad, int width) {
  char digits[16];
  int n = 0;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude);
  const int length = n + (value < 0 ? 1 : 0);
  if (!zeroPad && width > length) out.append(static_cast<size_t>(width - length), ' ');
  if (value < 0) out.push_back('-');
  if (zeroPad && width > length) out.append(static_cast<size_t>(width - length), '0');
  while (n) out.push_back(digits[--n]);
}

}  // namespace

void SvgWriteContext::vprintf(const char* format, va_list args) {
  // The element writers format a great many numbers: a small formatter for
  // the conversions they use is several times faster than vsnprintf.
  if (simpleFormat(format)) {
    const char* p = format;
    for (;;) {
      const char* run = p;
      while (*p && *p != '%') ++p;
      out.append(run, static_cast<size_t>(p - run));
      if (!*p) return;
      ++p;
      if (*p == '%') {
        out.push_back('%');
        ++p;
        continue;
      }
      bool zeroPad = false;
      if (*p == '0') {
        zeroPad = true;
        ++p;
      }
      int width = 0;
      while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
      if (*p == 'd') {
        appendInt(out, va_arg(args, int), zeroPad, width);
      } else {
        const char* s = va_arg(args, const char*);
        if (!s) s = "(null)";
        const size_t len = std::strlen(s);
        if (static_cast<size_t>(width) > len) out.append(static_cast<size_t>(width) - len, ' ');
        out.append(s, len);
      }
      ++p;
    }
  }
  char small[512];
  va_list again;
  va_copy(again, args);
  const int n = std::vsnprintf(small, sizeof small, format, args);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
  } else {
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<size_t>(n) + 1, format, again);
    out.resize(at + static_cast<size_t>(n));
  }
  va_end(again);
}
