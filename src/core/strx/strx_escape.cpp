#include "core/strx/strx_escape.h"

#include <cstdio>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

constexpr char kHex[] = "0123456789ABCDEF";

bool isAsciiAlnum(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Appends `piece` when it fits into size-1 bytes; false otherwise.
bool put(std::string& dst, std::string_view piece, size_t size) {
  if (size == 0 || dst.size() + piece.size() > size - 1) return false;
  dst.append(piece);
  return true;
}

// One list entry: octal length, ",", name, 0, value, 0.
std::string listEntry(std::string_view name, std::string_view value) {
  char digits[24];
  std::snprintf(digits, sizeof(digits), "%zo,", name.size() + value.size());
  std::string e(digits);
  e.append(name);
  e.push_back('\0');
  e.append(value);
  e.push_back('\0');
  return e;
}

constexpr std::string_view kListEnd{"0\0", 2};

}  // namespace

int StrX_htmlEscape(std::string& dst, std::string_view src, size_t size, int flags) {
  dst.clear();
  const bool spaces = (flags & StrX_HtmlSpaces) != 0;
  const bool attr = (flags & StrX_HtmlAttr) != 0;
  bool afterPair = false;
  size_t i = 0;
  while (i < src.size()) {
    const char c = src[i];
    std::string_view piece;
    size_t used = 1;
    bool pair = false;
    if (Cp932_isLead(c)) {
      used = Cp932_charLen(src, i);
      piece = src.substr(i, used);
    } else if (c == '&') {
      piece = "&amp;";
    } else if (c == '<') {
      piece = "&lt;";
    } else if (c == '>' && !attr) {
      piece = "&gt;";
    } else if (c == '"' && attr) {
      piece = "&quot;";
    } else if (c == '\'' && attr) {
      piece = "&apos;";
    } else if (c == ' ' && spaces) {
      if (i == 0 || afterPair) {
        piece = "&nbsp;";
      } else if (i + 1 < src.size() && src[i + 1] == ' ') {
        piece = "&nbsp; ";
        used = 2;
        pair = true;
      } else {
        piece = " ";
      }
    } else {
      piece = src.substr(i, 1);
    }
    if (!put(dst, piece, size)) return StrX_HtmlCut;
    afterPair = pair;
    i += used;
  }
  return 0;
}

std::string StrX_htmlUnescape(std::string_view src) {
  static constexpr struct {
    std::string_view entity;
    char ch;
  } kEntities[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&nbsp;", ' '}};
  std::string out;
  out.reserve(src.size());
  size_t i = 0;
  while (i < src.size()) {
    if (src[i] == '&') {
      bool found = false;
      for (const auto& e : kEntities) {
        if (src.substr(i, e.entity.size()) == e.entity) {
          out.push_back(e.ch);
          i += e.entity.size();
          found = true;
          break;
        }
      }
      if (found) continue;
    }
    out.push_back(src[i]);
    ++i;
  }
  return out;
}

void StrX_urlEncode(std::string& dst, std::string_view src, size_t size, int encoding) {
  if (encoding != 0 && encoding != 8)
    Errors_RAISE(Errors_NotSupport, "Not Support in this Version");
  std::string utf8;
  if (encoding == 8) {
    utf8 = Cp932_toUtf8(src);
    src = utf8;
  }
  dst.clear();
  for (char ch : src) {
    const unsigned char c = static_cast<unsigned char>(ch);
    bool ok;
    if (isAsciiAlnum(c) || c == '&' || c == '+' || c == '-' || c == '/' || c == '=') {
      ok = put(dst, std::string_view(&ch, 1), size);
    } else {
      const char esc[3] = {'%', kHex[c >> 4], kHex[c & 0xF]};
      ok = put(dst, std::string_view(esc, 3), size);
    }
    if (!ok) Errors_RAISE(Errors_Unofficial, "error");
  }
}

void StrX_spacesToPlus(std::string& s) {
  for (char& c : s)
    if (c == ' ') c = '+';
}

void StrX_urlQueryToList(std::string& list, std::string_view url) {
  list.assign(kListEnd);
  size_t q = 0;
  while (q < url.size() && url[q] != '?') q += Cp932_charLen(url, q);
  if (q >= url.size()) return;
  std::string_view query = url.substr(q + 1);
  size_t hash = query.find('#');  // '#' is never a trail byte
  if (hash != std::string_view::npos) query = query.substr(0, hash);

  std::string body;  // the entries without the end mark
  size_t pos = 0;
  while (pos <= query.size()) {
    size_t amp = query.find('&', pos);
    if (amp == std::string_view::npos) amp = query.size();
    std::string_view pairText = query.substr(pos, amp - pos);
    pos = amp + 1;
    if (pairText.empty()) continue;
    size_t eq = pairText.find('=');
    std::string name = StrX_urlDecode(pairText.substr(0, eq));
    std::string value =
        eq == std::string_view::npos ? std::string() : StrX_urlDecode(pairText.substr(eq + 1));
    if (name.empty()) continue;
    if (value.size() >= StrX_NameValueMax)
      Errors_RAISE(StrX_Err_BufOver, "value over %d", 256);
    std::string entry = listEntry(name, value);
    if (body.size() + entry.size() + kListEnd.size() > StrX_NameValueListMax)
      Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&list));
    body += entry;
    list = body;
    list.append(kListEnd);
  }
}

std::optional<std::string> StrX_listLookup(std::string_view list, std::string_view name) {
  size_t i = 0;
  while (i < list.size()) {
    size_t comma = list.find(',', i);
    if (comma == std::string_view::npos) break;  // "0\0" or a damaged list
    size_t nameEnd = list.find('\0', comma + 1);
    if (nameEnd == std::string_view::npos) break;
    size_t valueEnd = list.find('\0', nameEnd + 1);
    if (valueEnd == std::string_view::npos) break;
    if (list.substr(comma + 1, nameEnd - comma - 1) == name)
      return std::string(list.substr(nameEnd + 1, valueEnd - nameEnd - 1));
    i = valueEnd + 1;
  }
  return std::nullopt;
}

void StrX_identifierEscape(std::string& dst, std::string_view src) {
  dst.clear();
  constexpr size_t size = StrX_IdentifierMax + 1;
  for (size_t i = 0; i < src.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(src[i]);
    bool ok;
    if (i == 0 && c >= '0' && c <= '9') {
      const char piece[2] = {'x', static_cast<char>(c)};
      ok = put(dst, std::string_view(piece, 2), size);
    } else if ((isAsciiAlnum(c) && c != 'x') || c == '_') {
      const char piece = static_cast<char>(c);
      ok = put(dst, std::string_view(&piece, 1), size);
    } else {
      const char piece[3] = {'x', kHex[c >> 4], kHex[c & 0xF]};
      ok = put(dst, std::string_view(piece, 3), size);
    }
    if (!ok) Errors_RAISE(StrX_Err_BufOver, "BufOver:%p", static_cast<void*>(&dst));
  }
}

std::string StrX_urlDecode(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && StrX_hexDigit(s[i + 1]) >= 0 &&
        StrX_hexDigit(s[i + 2]) >= 0) {
      out.push_back(static_cast<char>(StrX_hexDigit(s[i + 1]) * 16 + StrX_hexDigit(s[i + 2])));
      i += 2;
    } else {
      out.push_back(s[i]);
    }
  }
  return out;
}

std::string StrX_htmlText(std::string_view src) {
  std::string out;
  StrX_htmlEscape(out, src, src.size() * 6 + 1, 0);
  return out;
}

std::string StrX_htmlAttr(std::string_view src) {
  std::string out;
  StrX_htmlEscape(out, src, src.size() * 6 + 1, StrX_HtmlAttr);
  // '>' too: the value may sit inside a comment ("-->" would end it).
  std::string r;
  r.reserve(out.size());
  for (char c : out) {
    if (c == '>') r += "&gt;";
    else r += c;
  }
  return r;
}

std::string StrX_htmlHref(std::string_view src) {
  std::string out;
  out.reserve(src.size());
  for (char c : src) {
    if (c == '"') out += "&quot;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

std::optional<std::string> StrX_batchWord(std::string_view src, StrX_Batch form) {
  const bool quoted = form == StrX_Batch::Quoted;
  std::string out = quoted ? "\"" : "";
  for (size_t i = 0; i < src.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(src[i]);
    if (Cp932_isLead(src[i]) && i + 1 < src.size()) {
      out.append(src.substr(i, 2));
      ++i;
      continue;
    }
    if (c == '"' || c < 0x20 || c == 0x7F) return std::nullopt;
    if (c == '%') out += '%';
    if (!quoted && std::string_view("&|<>^()").find(static_cast<char>(c)) != std::string_view::npos) out += '^';
    out += static_cast<char>(c);
  }
  if (quoted) out += '"';
  return out;
}

bool StrX_isPlainBatchValue(std::string_view src) {
  for (size_t i = 0; i < src.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(src[i]);
    if (Cp932_isLead(src[i]) && i + 1 < src.size()) {
      ++i;
      continue;
    }
    if (isAsciiAlnum(c) || c >= 0x80) continue;
    if (std::string_view("_-.,+@:/\\*?=").find(static_cast<char>(c)) == std::string_view::npos) return false;
  }
  return true;
}

std::string StrX_mimeHeaderValue(std::string_view src) {
  std::string out(src);
  for (char& c : out) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = '_';
  }
  return out;
}
