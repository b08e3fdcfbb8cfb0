#include "document/writer/keyword_link_file.h"

#include <cstdio>

#include "core/filex/text_file.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_search.h"

namespace {

constexpr size_t npos = std::string_view::npos;

bool isBlank(char c) { return StrX_isSpace(c); }

bool isNameChar(char c) {
  return StrX_isAsciiAlpha(c) || StrX_isAsciiDigit(c) || c == '_' || c == ':' || c == '.' ||
         c == '-';
}

size_t skipBlanks(std::string_view s, size_t i) {
  while (i < s.size() && isBlank(s[i])) ++i;
  return i;
}

size_t readName(std::string_view s, size_t i) {
  while (i < s.size() && isNameChar(s[i])) ++i;
  return i;
}

// Position just behind the '>' that ends the tag begun at `i`, with quoted
// values stepped over; npos when the tag does not end.
size_t skipTag(std::string_view s, size_t i) {
  char quote = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '>') {
      return i + 1;
    }
  }
  return npos;
}

struct Attribute {
  std::string_view name;
  std::string value;
};

struct AElement {
  std::vector<Attribute> attributes;
  std::string text;
  size_t end = npos;  // behind "</a>" (or "/>"); npos when malformed
};

const std::string* findAttribute(const AElement& a, std::string_view name) {
  for (const Attribute& at : a.attributes) {
    if (StrX_equalsNoCase(at.name, name)) return &at.value;
  }
  return nullptr;
}

// Reads the `a` element whose attributes begin at `i` (behind "<a").  On a
// malformed element `resume` is where reading goes on.
AElement readA(std::string_view s, size_t i, size_t& resume) {
  AElement a;
  bool empty = false;
  for (;;) {
    const size_t at = skipBlanks(s, i);
    if (at >= s.size()) {
      resume = s.size();
      return a;
    }
    if (s[at] == '>') {
      i = at + 1;
      break;
    }
    if (s[at] == '/' && at + 1 < s.size() && s[at + 1] == '>') {
      i = at + 2;
      empty = true;
      break;
    }
    if (at == i || !(StrX_isAsciiAlpha(s[at]) || s[at] == '_')) {
      // No blank before the attribute, or not a name: not our shape.
      resume = at;
      return a;
    }
    const size_t nameEnd = readName(s, at);
    size_t p = skipBlanks(s, nameEnd);
    if (p >= s.size() || s[p] != '=') {
      resume = p;
      return a;
    }
    p = skipBlanks(s, p + 1);
    if (p >= s.size() || (s[p] != '"' && s[p] != '\'')) {
      resume = p;
      return a;
    }
    const size_t close = s.find(s[p], p + 1);
    if (close == npos) {
      resume = s.size();
      return a;
    }
    a.attributes.push_back(
        {s.substr(at, nameEnd - at), KeywordLinkFile_decodeEntities(s.substr(p + 1, close - p - 1))});
    i = close + 1;
  }
  if (!empty) {
    const size_t lt = s.find('<', i);
    if (lt == npos) {
      resume = s.size();
      return a;
    }
    std::string_view raw = s.substr(i, lt - i);
    while (!raw.empty() && isBlank(raw.front())) raw.remove_prefix(1);
    while (!raw.empty() && isBlank(raw.back())) raw.remove_suffix(1);
    a.text = KeywordLinkFile_decodeEntities(raw);
    // The element must end right here with "</a>".
    size_t p = lt + 1;
    if (p >= s.size() || s[p] != '/') {
      resume = lt;
      return a;
    }
    const size_t nameEnd = readName(s, p + 1);
    if (!StrX_equalsNoCase(s.substr(p + 1, nameEnd - p - 1), "a")) {
      resume = lt;
      return a;
    }
    p = skipBlanks(s, nameEnd);
    if (p >= s.size() || s[p] != '>') {
      resume = lt;
      return a;
    }
    i = p + 1;
  }
  a.end = i;
  resume = i;
  return a;
}

}  // namespace

std::string KeywordLinkFile_decodeEntities(std::string_view text) {
  static constexpr struct {
    std::string_view entity;
    char ch;
  } kEntities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const size_t amp = text.find('&', i);
    if (amp == npos) break;
    out.append(text.substr(i, amp - i));
    i = amp + 1;
    bool decoded = false;
    for (const auto& e : kEntities) {
      if (text.substr(amp).starts_with(e.entity)) {
        out += e.ch;
        i = amp + e.entity.size();
        decoded = true;
        break;
      }
    }
    if (!decoded) out += '&';
  }
  out.append(text.substr(i));
  return out;
}

std::vector<SvgLinkPair> KeywordLinkFile_parse(std::string_view s) {
  std::vector<SvgLinkPair> entries;
  size_t i = 0;
  while (i < s.size()) {
    const size_t lt = s.find('<', i);
    if (lt == npos) break;
    std::string_view rest = s.substr(lt);
    if (rest.starts_with("<!--")) {
      const size_t end = s.find("-->", lt + 4);
      if (end == npos) break;
      i = end + 3;
      continue;
    }
    if (rest.starts_with("<?")) {
      const size_t end = s.find("?>", lt + 2);
      if (end == npos) break;
      i = end + 2;
      continue;
    }
    const char first = lt + 1 < s.size() ? s[lt + 1] : '\0';
    if (!StrX_isAsciiAlpha(first) && first != '/' && first != '!') {
      i = lt + 1;  // a '<' that starts no tag
      continue;
    }
    const size_t nameEnd = readName(s, lt + 1);
    if (StrX_equalsNoCase(s.substr(lt + 1, nameEnd - lt - 1), "a") &&
        (nameEnd >= s.size() || isBlank(s[nameEnd]) || s[nameEnd] == '>' || s[nameEnd] == '/')) {
      size_t resume = nameEnd;
      AElement a = readA(s, nameEnd, resume);
      if (a.end != npos) {
        const std::string* href = findAttribute(a, "href");
        if (href) {
          SvgLinkPair entry;
          if (const std::string* lower = findAttribute(a, "lower")) {
            entry.from = *lower;
          } else {
            entry.from = a.text;
            StrX_lowerAscii(entry.from);
          }
          entry.to = *href;
          entries.push_back(std::move(entry));
        }
      }
      i = resume > lt ? resume : lt + 1;
      continue;
    }
    // Any other tag, a declaration or an end tag.
    const size_t end = skipTag(s, lt + 1);
    if (end == npos) break;
    i = end;
  }
  return entries;
}

std::optional<std::vector<SvgLinkPair>> KeywordLinkFile_read(std::string_view path) {
  FilePtr f = FileX_openOs(path, "rb");
  if (!f) return std::nullopt;
  std::string bytes;
  char block[8192];
  size_t n = 0;
  while ((n = std::fread(block, 1, sizeof block, f.get())) > 0) bytes.append(block, n);
  if (std::ferror(f.get())) return std::nullopt;
  return KeywordLinkFile_parse(bytes);
}
