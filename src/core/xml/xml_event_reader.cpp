#include "core/xml/xml_event_reader.h"

#include <cstring>
#include <utility>

#include "core/filex/filex_open.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

// Every byte this tokenizer stops at ('<', '>', '"', '=', '/', '?', blanks,
// tab, CR, LF) lies below 0x40 and so can never be the trail byte of a
// double-byte character: the searches below look at plain bytes, and names
// and values run whole between them.

namespace {

constexpr std::string_view kCdataOpen = "<![CDATA[";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// "/>" or "?>" at p: the end of an empty-element tag or of an instruction.
bool isCloser(const char* b, size_t p, size_t n) {
  return (b[p] == '/' || b[p] == '?') && p + 1 < n && b[p + 1] == '>';
}

// Writes the value with its entities decoded to out; returns the length.
// One pass from left to right does what the replacements of "&quot;",
// "&lt;", "&gt;", "&apos;" and then "&amp;" over the whole value do: no
// two entities overlap, and no replacement makes a new one.
size_t decodeEntities(std::string_view v, char* out) {
  struct Entity {
    std::string_view text;
    char c;
  };
  static constexpr Entity entities[] = {
      {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&amp;", '&'}};
  size_t o = 0;
  size_t i = 0;
  while (i < v.size()) {
    const void* amp = std::memchr(v.data() + i, '&', v.size() - i);
    size_t at = amp ? static_cast<size_t>(static_cast<const char*>(amp) - v.data()) : v.size();
    std::memcpy(out + o, v.data() + i, at - i);
    o += at - i;
    i = at;
    if (i == v.size()) break;
    std::string_view rest = v.substr(i);
    bool replaced = false;
    for (const Entity& e : entities) {
      if (rest.starts_with(e.text)) {
        out[o++] = e.c;
        i += e.text.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out[o++] = v[i++];
  }
  return o;
}

}  // namespace

void XmlEventReader::Open(std::string_view path) {
  std::string bytes = FileX_readWhole(path);
  OpenBytes(std::move(bytes));
}

void XmlEventReader::OpenBytes(std::string bytes) {
  Close();
  bytes_ = std::move(bytes);
  open_ = true;
}

void XmlEventReader::Close() {
  std::string().swap(bytes_);
  open_ = false;
  pos_ = 0;
  lastEnd_ = 0;
  afterTag_ = false;
  kind_ = XmlEvent_none;
  closing_ = 0;
  name_.clear();
  attrs_.clear();
  raw_.clear();
  values_.clear();
  eventOffset_ = 0;
  textStart_ = 0;
  textEnd_ = 0;
  preserve_ = false;
  preserveName_.clear();
  countedTo_ = 0;
  lineFeeds_ = 0;
  lineStart_ = 0;
}

// Skips from p (inside a tag) to behind the next ">" that is not inside
// double quotes; the closing mark is the character before that ">" when it
// is "/" or "?".  An unclosed quote runs to the end of the input.
size_t XmlEventReader::skipToClose(size_t p) {
  const char* b = bytes_.data();
  size_t n = bytes_.size();
  while (p < n) {
    char c = b[p];
    if (c == '"') {
      const void* q = std::memchr(b + p + 1, '"', n - p - 1);
      if (!q) return n;
      p = static_cast<size_t>(static_cast<const char*>(q) - b) + 1;
    } else if (c == '>') {
      if (b[p - 1] == '/' || b[p - 1] == '?') closing_ = b[p - 1];
      return p + 1;
    } else {
      ++p;
    }
  }
  return n;
}

// Reads the tag whose "<" stands at lt.  False, with nothing changed, when
// the "<" starts no tag.
bool XmlEventReader::parseTag(size_t lt) {
  const char* b = bytes_.data();
  size_t n = bytes_.size();
  size_t p = lt + 1;
  if (p >= n) return false;
  char c0 = b[p];
  if (!isLetter(c0) && c0 != '!' && c0 != '/' && c0 != '?') return false;

  closing_ = 0;
  raw_.clear();
  attrs_.clear();
  if (n - p >= 3 && std::memcmp(b + p, "!--", 3) == 0) {
    // A comment ends at the first "-->" behind its "<!--", also when no
    // blank follows the opener ("<!--x-->").
    name_.assign("!--");
    const void* e = memmem(b + p + 3, n - p - 3, "-->", 3);
    lastEnd_ = e ? static_cast<size_t>(static_cast<const char*>(e) - b) + 3 : n;
    return true;
  }

  size_t nameAt = p;
  while (p < n && !isBlank(b[p]) && b[p] != '>' && !(p > nameAt && isCloser(b, p, n))) ++p;
  name_.assign(b + nameAt, p - nameAt);

  size_t end = n;
  for (;;) {
    while (p < n && isBlank(b[p])) ++p;
    if (p >= n) break;
    char c = b[p];
    if (c == '>') {
      end = p + 1;
      break;
    }
    if (isCloser(b, p, n)) {
      closing_ = c;
      end = p + 2;
      break;
    }
    if (!isLetter(c) && c != '_') {
      end = skipToClose(p);
      break;
    }
    if (raw_.size() >= XmlEventReader_maxAttributes) {
      end = skipToClose(p);
      break;
    }
    RawAttr a{p, 0, p, 0, false};
    while (p < n && !isBlank(b[p]) && b[p] != '=' && b[p] != '>' && !isCloser(b, p, n)) ++p;
    a.nameLen = p - a.nameAt;
    a.valueAt = p;
    while (p < n && isBlank(b[p])) ++p;
    if (p < n && b[p] == '=') {
      ++p;
      while (p < n && isBlank(b[p])) ++p;
      if (p < n && b[p] == '"') {
        ++p;
        const void* q = std::memchr(b + p, '"', n - p);
        size_t valueEnd = q ? static_cast<size_t>(static_cast<const char*>(q) - b) : n;
        a.valueAt = p;
        a.valueLen = valueEnd - p;
        p = q ? valueEnd + 1 : n;
      } else {
        a.valueAt = p;
        while (p < n && !isBlank(b[p]) && b[p] != '=' && b[p] != '>' && !isCloser(b, p, n)) ++p;
        a.valueLen = p - a.valueAt;
      }
      a.decode = a.valueLen > 0 && std::memchr(b + a.valueAt, '&', a.valueLen) != nullptr;
    }
    raw_.push_back(a);
  }
  lastEnd_ = end;

  // Values with entities are decoded into one buffer, sized first so that
  // the views into it stay valid.
  size_t decodedSize = 0;
  for (const RawAttr& a : raw_) {
    if (a.decode) decodedSize += a.valueLen;
  }
  if (values_.size() < decodedSize) values_.resize(decodedSize);
  char* out = values_.data();
  for (const RawAttr& a : raw_) {
    std::string_view name(b + a.nameAt, a.nameLen);
    std::string_view value(b + a.valueAt, a.valueLen);
    if (a.decode) {
      size_t len = decodeEntities(value, out);
      value = std::string_view(out, len);
      out += len;
    }
    attrs_.push_back(Attr{name, value});
  }
  return true;
}

// What a tag means for the text behind it: an element with
// xml:space="preserve" opens the preserving state, its end tag closes it.
void XmlEventReader::settleTag() {
  afterTag_ = false;
  if (!preserve_) {
    if (kind_ == XmlEvent_start) {
      std::optional<std::string_view> space = Attribute("xml:space");
      if (space && *space == "preserve") {
        preserve_ = true;
        preserveName_ = name_;
      }
    }
  } else if (kind_ == XmlEvent_end && name_.size() == preserveName_.size() + 1 &&
             std::string_view(name_).substr(1) == preserveName_) {
    preserve_ = false;
  }
}

void XmlEventReader::finish() {
  afterTag_ = false;
  kind_ = XmlEvent_none;
  pos_ = bytes_.size();
  eventOffset_ = bytes_.size();
}

// "<![CDATA[" at p.
bool XmlEventReader::cdataAt(size_t p) const {
  return bytes_.size() - p >= kCdataOpen.size() &&
         std::memcmp(bytes_.data() + p, kCdataOpen.data(), kCdataOpen.size()) == 0;
}

// The CDATA section whose "<![CDATA[" stands at p becomes the current text
// event: its content, whatever it holds, up to the first "]]>" (to the end
// of the input when there is none).  The next tag is searched behind it.
bool XmlEventReader::startCdata(size_t p) {
  const char* b = bytes_.data();
  size_t n = bytes_.size();
  size_t from = p + kCdataOpen.size();
  const void* e = memmem(b + from, n - from, "]]>", 3);
  kind_ = XmlEvent_text;
  eventOffset_ = p;
  textStart_ = from;
  textEnd_ = e ? static_cast<size_t>(static_cast<const char*>(e) - b) : n;
  lastEnd_ = e ? textEnd_ + 3 : n;
  pos_ = lastEnd_;
  afterTag_ = false;
  return true;
}

bool XmlEventReader::Next() {
  if (!open_) return false;
  const char* b = bytes_.data();
  size_t n = bytes_.size();
  for (;;) {
    if (afterTag_) {
      settleTag();
      size_t p = lastEnd_;
      if (preserve_) {
        while (p < n && (b[p] == '\r' || b[p] == '\n')) ++p;
      } else {
        while (p < n && isBlank(b[p])) ++p;
      }
      if (p >= n) {
        finish();
        return false;
      }
      if (b[p] == '<' && closing_ != 0) {
        pos_ = p;  // no text behind an empty-element tag
        continue;
      }
      if (cdataAt(p)) return startCdata(p);
      const void* lt = std::memchr(b + p, '<', n - p);
      kind_ = XmlEvent_text;
      eventOffset_ = p;
      textStart_ = p;
      textEnd_ = lt ? static_cast<size_t>(static_cast<const char*>(lt) - b) : n;
      pos_ = textEnd_;
      return true;
    }
    if (pos_ >= n) {
      finish();
      return false;
    }
    const void* lt = std::memchr(b + pos_, '<', n - pos_);
    if (!lt) {
      finish();
      return false;
    }
    size_t at = static_cast<size_t>(static_cast<const char*>(lt) - b);
    if (cdataAt(at)) return startCdata(at);
    if (!parseTag(at)) {
      pos_ = at + 1;  // a "<" that starts no tag: search on behind it
      continue;
    }
    if (closing_ != 0 || name_[0] == '!') {
      kind_ = XmlEvent_empty;
    } else if (name_[0] == '/') {
      kind_ = XmlEvent_end;
    } else {
      kind_ = XmlEvent_start;
    }
    eventOffset_ = at;
    pos_ = lastEnd_;
    afterTag_ = true;
    return true;
  }
}

XmlEventKind XmlEventReader::Kind() const { return kind_; }

const std::string& XmlEventReader::Name() const { return name_; }

std::optional<std::string_view> XmlEventReader::Attribute(std::string_view name) const {
  for (const Attr& a : attrs_) {
    if (StrX_equalsNoCase(a.name, name)) return a.value;
  }
  return std::nullopt;
}

const std::vector<XmlEventReader::Attr>& XmlEventReader::Attributes() const { return attrs_; }

std::string XmlEventReader::Text(size_t size) const {
  if (kind_ != XmlEvent_text) return {};
  std::string_view text(bytes_.data() + textStart_, textEnd_ - textStart_);
  size_t limit = size >= 2 ? size - 2 : 0;
  if (text.size() > limit) {
    size_t i = 0;
    while (i < text.size()) {
      size_t len = Cp932_charLen(text, i);
      if (i + len > limit) break;
      i += len;
    }
    text = text.substr(0, i);
  }
  if (!preserve_) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  }
  return std::string(text);
}

void XmlEventReader::countLinesTo(size_t offset) const {
  if (offset < countedTo_) {
    countedTo_ = 0;
    lineFeeds_ = 0;
    lineStart_ = 0;
  }
  const char* b = bytes_.data();
  size_t p = countedTo_;
  while (p < offset) {
    const void* lf = std::memchr(b + p, '\n', offset - p);
    if (!lf) break;
    p = static_cast<size_t>(static_cast<const char*>(lf) - b) + 1;
    ++lineFeeds_;
    lineStart_ = p;
  }
  countedTo_ = offset;
}

int32_t XmlEventReader::Line() const {
  countLinesTo(eventOffset_);
  return static_cast<int32_t>(1 + lineFeeds_);
}

int32_t XmlEventReader::Column() const {
  countLinesTo(eventOffset_);
  return static_cast<int32_t>(1 + eventOffset_ - lineStart_);
}

size_t XmlEventReader::EventOffset() const { return eventOffset_; }

size_t XmlEventReader::EndOffset() const { return lastEnd_; }

std::string_view XmlEventReader::Bytes() const { return bytes_; }

void XmlEventReader::SkipTo(size_t offset) {
  if (!open_) return;
  if (afterTag_) settleTag();
  if (offset < lastEnd_) offset = lastEnd_;
  if (offset > bytes_.size()) offset = bytes_.size();
  pos_ = offset;
}
