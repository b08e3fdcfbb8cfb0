#include "figures/base/svg_write_context.h"

#include <cstdio>
#include <cstring>

namespace {

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

namespace {

// The C library's formatting of the whole format; `forSize` and `forText`
// are two untouched copies of the arguments.
void appendFormatted(std::string& out, const char* format, va_list forSize, va_list forText) {
  char small[512];
  const int n = std::vsnprintf(small, sizeof small, format, forSize);
  if (n < 0) return;
  if (static_cast<size_t>(n) < sizeof small) {
    out.append(small, static_cast<size_t>(n));
    return;
  }
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(n) + 1);
  std::vsnprintf(out.data() + at, static_cast<size_t>(n) + 1, format, forText);
  out.resize(at + static_cast<size_t>(n));
}

}  // namespace

void SvgWriteContext::vprintf(const char* format, va_list args) {
  // The element writers format a great many numbers: "%d" and "%s" (with an
  // optional '0' flag and width) and "%%" are done here in one pass, several
  // times faster than vsnprintf; a format with any other conversion goes to
  // vsnprintf whole.
  const size_t start = out.size();
  va_list forSize, forText;
  va_copy(forSize, args);
  va_copy(forText, args);
  const char* p = format;
  for (;;) {
    const char* pct = std::strchr(p, '%');
    if (!pct) {
      out.append(p);
      break;
    }
    out.append(p, static_cast<size_t>(pct - p));
    p = pct + 1;
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
    } else if (*p == 's') {
      const char* s = va_arg(args, const char*);
      if (!s) s = "(null)";
      const size_t len = std::strlen(s);
      if (static_cast<size_t>(width) > len) out.append(static_cast<size_t>(width) - len, ' ');
      out.append(s, len);
    } else {
      out.resize(start);
      appendFormatted(out, format, forSize, forText);
      break;
    }
    ++p;
  }
  va_end(forSize);
  va_end(forText);
}
