#include "core/strx/strx_punycode.h"

#include <cstdint>
#include <limits>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"

namespace {

// The parameters of RFC 3492.
constexpr uint32_t kBase = 36;
constexpr uint32_t kTMin = 1;
constexpr uint32_t kTMax = 26;
constexpr uint32_t kSkew = 38;
constexpr uint32_t kDamp = 700;
constexpr uint32_t kInitialBias = 72;
constexpr uint32_t kInitialN = 128;
constexpr uint32_t kMaxInt = std::numeric_limits<uint32_t>::max();

char digitChar(uint32_t d) {
  return static_cast<char>(d < 26 ? 'a' + d : '0' + (d - 26));
}

uint32_t adapt(uint32_t delta, uint32_t numPoints, bool firstTime) {
  delta = firstTime ? delta / kDamp : delta / 2;
  delta += delta / numPoints;
  uint32_t k = 0;
  while (delta > ((kBase - kTMin) * kTMax) / 2) {
    delta /= kBase - kTMin;
    k += kBase;
  }
  return k + (kBase - kTMin + 1) * delta / (delta + kSkew);
}

char lowerAscii(char16_t c) {
  return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
}

[[noreturn]] void overflow() { Errors_RAISE(Errors_Unofficial, "error"); }

}  // namespace

std::string StrX_punycodeSegment(std::u16string_view input) {
  std::string out;
  for (char16_t c : input)
    if (c < 0x80) out.push_back(lowerAscii(c));
  const uint32_t basic = static_cast<uint32_t>(out.size());
  uint32_t handled = basic;
  if (handled == input.size()) return out;  // the '-' would end the segment
  if (basic > 0) out.push_back('-');

  uint32_t n = kInitialN;
  uint32_t delta = 0;
  uint32_t bias = kInitialBias;
  while (handled < input.size()) {
    uint32_t m = kMaxInt;
    for (char16_t c : input)
      if (c >= n && c < m) m = c;
    if (m - n > (kMaxInt - delta) / (handled + 1)) overflow();
    delta += (m - n) * (handled + 1);
    n = m;
    for (char16_t c : input) {
      if (c < n && ++delta == 0) overflow();
      if (c != n) continue;
      uint32_t q = delta;
      for (uint32_t k = kBase;; k += kBase) {
        const uint32_t t = k <= bias ? kTMin : (k >= bias + kTMax ? kTMax : k - bias);
        if (q < t) break;
        out.push_back(digitChar(t + (q - t) % (kBase - t)));
        q = (q - t) / (kBase - t);
      }
      out.push_back(digitChar(q));
      bias = adapt(delta, handled + 1, handled == basic);
      delta = 0;
      ++handled;
    }
    ++delta;
    ++n;
  }
  return out;
}

void StrX_punycodeName(std::string& dst, std::string_view src, size_t size) {
  const std::u16string text = Cp932_toUtf16(src);
  std::string result;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    const bool end = i == text.size();
    if (!end && text[i] != u'.' && text[i] != u'/' && text[i] != u'\\') continue;
    result += StrX_punycodeSegment(std::u16string_view(text).substr(start, i - start));
    if (!end) result.push_back(static_cast<char>(text[i]));
    start = i + 1;
  }
  dst.clear();
  for (char c : result)
    if (c != ' ') dst.push_back(c);
  if (size == 0 || dst.size() > size - 1) {
    dst.resize(size == 0 ? 0 : size - 1);
    overflow();
  }
}
