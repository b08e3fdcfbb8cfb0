#include "core/strx/strx_base64.h"

#include <cstdint>

namespace {

constexpr char kAlphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr size_t kLine = 76;

int digitValue(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

std::string StrX_base64Encode(std::string_view data) {
  std::string out;
  const size_t chars = (data.size() + 2) / 3 * 4;
  out.reserve(chars + chars / kLine * 2);
  size_t column = 0;
  auto emit = [&](char c) {
    out.push_back(c);
    if (++column == kLine) {
      out += "\r\n";
      column = 0;
    }
  };
  for (size_t i = 0; i < data.size(); i += 3) {
    const size_t n = data.size() - i < 3 ? data.size() - i : 3;
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(data[i])) << 16;
    if (n > 1) group |= static_cast<uint32_t>(static_cast<unsigned char>(data[i + 1])) << 8;
    if (n > 2) group |= static_cast<unsigned char>(data[i + 2]);
    emit(kAlphabet[(group >> 18) & 0x3F]);
    emit(kAlphabet[(group >> 12) & 0x3F]);
    emit(n > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=');
    emit(n > 2 ? kAlphabet[group & 0x3F] : '=');
  }
  return out;
}

std::string StrX_base64Decode(std::string_view text, size_t* stop) {
  std::string out;
  out.reserve(text.size() / 4 * 3);
  uint32_t bits = 0;
  int count = 0;
  size_t i = 0;
  for (; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < '!') continue;
    const int v = digitValue(c);
    if (v < 0) break;  // '=' or a byte outside the alphabet
    bits = (bits << 6) | static_cast<uint32_t>(v);
    if (++count == 4) {
      out.push_back(static_cast<char>(bits >> 16));
      out.push_back(static_cast<char>(bits >> 8));
      out.push_back(static_cast<char>(bits));
      bits = 0;
      count = 0;
    }
  }
  if (count == 2) {
    out.push_back(static_cast<char>(bits >> 4));
  } else if (count == 3) {
    out.push_back(static_cast<char>(bits >> 10));
    out.push_back(static_cast<char>(bits >> 2));
  }
  if (stop) *stop = i;
  return out;
}
