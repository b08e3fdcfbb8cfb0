// The cache file of the keyword search: encoding and checked decoding.
#include <array>
#include <cstring>
#include <unordered_map>

#include "core/errors/errors.h"
#include "core/kwdsearch/kwdsearch.h"
#include "core/strx/strx_fastsearch.h"
#include "core/strx/strx_search.h"

namespace {

constexpr size_t headerSize = 64;
constexpr size_t pageRecordSize = 16;

constexpr std::array<uint32_t, 256> makeCrcTable() {
  std::array<uint32_t, 256> t{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    t[i] = c;
  }
  return t;
}
constexpr std::array<uint32_t, 256> crcTable = makeCrcTable();

uint32_t crc32(std::string_view a, std::string_view b) {
  uint32_t c = 0xFFFFFFFFu;
  for (std::string_view s : {a, b})
    for (unsigned char ch : s) c = crcTable[(c ^ ch) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void putU64(std::string& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void setU32(std::string& out, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
uint32_t getU32(std::string_view s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}
uint64_t getU64(std::string_view s, size_t at) {
  uint64_t v = 0;
  for (int i = 7; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s[at + i]);
  return v;
}
// A text with its zero byte (length written in front elsewhere).
void putText(std::string& out, std::string_view s) {
  out.append(s);
  out.push_back('\0');
}

void putGuid(std::string& out, const StrX_Guid& g) {
  putU32(out, g.data1);
  out.push_back(static_cast<char>(g.data2 & 0xFF));
  out.push_back(static_cast<char>(g.data2 >> 8));
  out.push_back(static_cast<char>(g.data3 & 0xFF));
  out.push_back(static_cast<char>(g.data3 >> 8));
  for (uint8_t b : g.data4) out.push_back(static_cast<char>(b));
}
StrX_Guid getGuid(std::string_view s, size_t at) {
  StrX_Guid g;
  g.data1 = getU32(s, at);
  g.data2 = static_cast<uint16_t>(static_cast<unsigned char>(s[at + 4]) |
                                  (static_cast<unsigned char>(s[at + 5]) << 8));
  g.data3 = static_cast<uint16_t>(static_cast<unsigned char>(s[at + 6]) |
                                  (static_cast<unsigned char>(s[at + 7]) << 8));
  for (size_t i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(s[at + 8 + i]);
  return g;
}

// Reads bounded pieces of one entry; any overrun or malformed text sets
// `bad` and answers empty values from then on.
class Reader {
 public:
  Reader(std::string_view bytes, size_t at, size_t end) : s_(bytes), at_(at), end_(end) {}
  bool bad() const { return bad_; }
  size_t at() const { return at_; }
  size_t left() const { return bad_ ? 0 : end_ - at_; }
  uint32_t u32() {
    if (!take(4)) return 0;
    return getU32(s_, at_ - 4);
  }
  // `len` bytes of which the last is the only zero byte.
  std::string text(uint32_t len) {
    if (len == 0 || !take(len)) {
      bad_ = true;
      return {};
    }
    std::string_view t = s_.substr(at_ - len, len - 1);
    if (s_[at_ - 1] != '\0' || t.find('\0') != std::string_view::npos) {
      bad_ = true;
      return {};
    }
    return std::string(t);
  }
  std::string_view raw(size_t len) {
    if (!take(len)) return {};
    return s_.substr(at_ - len, len);
  }

 private:
  bool take(size_t n) {
    if (bad_ || n > end_ - at_) {
      bad_ = true;
      return false;
    }
    at_ += n;
    return true;
  }
  std::string_view s_;
  size_t at_;
  size_t end_;
  bool bad_ = false;
};

// Whether a keyword text (without its final zero byte) is a run of texts
// without 0xFF, each followed by 0xFF and the numbers 0, 1, 2, ... in order;
// `count` receives the number of keywords.
bool validKeywordText(std::string_view t, size_t& count) {
  count = 0;
  size_t p = 0;
  while (p < t.size()) {
    size_t sep = t.find('\xFF', p);
    if (sep == std::string_view::npos || sep + 2 >= t.size()) return false;
    unsigned hi = static_cast<unsigned char>(t[sep + 1]);
    unsigned lo = static_cast<unsigned char>(t[sep + 2]);
    if (hi < 1 || hi > 254 || lo < 1 || lo > 254) return false;
    if ((hi - 1) * 254 + (lo - 1) != count) return false;
    ++count;
    p = sep + 3;
  }
  return t.find('\0') == std::string_view::npos;
}

// One entry starting at `at`; false when it is damaged.  `at` moves behind it.
bool decodeEntry(std::string_view bytes, size_t& at, KwdSearch_Entry& e) {
  if (bytes.size() - at < headerSize) return false;
  std::string_view h = bytes.substr(at, headerSize);
  uint32_t pathLen = getU32(h, 4);
  uint32_t hash = getU32(h, 8);
  uint64_t time = getU64(h, 16);
  uint32_t linkLen = getU32(h, 24);
  uint32_t kwLen = getU32(h, 44);
  uint32_t levelsSize = getU32(h, 48);
  uint32_t pageSize = getU32(h, 52);
  uint32_t pageCount = getU32(h, 56);
  uint32_t check = getU32(h, 60);

  Reader r(bytes, at + headerSize, bytes.size());
  e.path = r.text(pathLen);
  e.pathHash = static_cast<int32_t>(hash);
  e.fileTime = static_cast<int64_t>(time);
  e.noteLink = r.text(linkLen);
  e.uuid = getGuid(h, 28);
  size_t keywords = 0;
  e.keywordBytes.clear();
  if (kwLen != 0) {
    std::string_view t = r.raw(kwLen);
    if (r.bad() || t.back() != '\0') return false;
    t.remove_suffix(1);
    if (!validKeywordText(t, keywords)) return false;
    if (!t.empty()) {
      e.keywordBytes.reserve(t.size() + StrX_SearchPadding);
      e.keywordBytes.assign(t);
      e.keywordBytes.append(StrX_SearchPadding, '\0');
    }
  }
  if (r.bad() || levelsSize % 4 != 0 || levelsSize / 4 != keywords || levelsSize > r.left())
    return false;
  e.levels.resize(keywords);
  for (int32_t& level : e.levels) level = static_cast<int32_t>(r.u32());
  if (pageSize / pageRecordSize != pageCount || pageSize % pageRecordSize != 0 ||
      pageCount > r.left() / pageRecordSize)
    return false;
  e.pages.clear();
  e.pages.reserve(pageCount);
  size_t covered = 0;
  for (uint32_t i = 0; i < pageCount && !r.bad(); ++i) {
    KwdSearch_Page page;
    page.id = static_cast<int32_t>(r.u32());
    uint32_t titleLen = r.u32();
    uint32_t count = r.u32();
    uint32_t targetsSize = r.u32();
    if (r.bad() || count > keywords - covered || targetsSize != 4 * count) return false;
    page.title = r.text(titleLen);
    if (r.bad() || targetsSize > r.left()) return false;
    std::vector<uint32_t> lens(count);
    for (uint32_t& len : lens) len = r.u32();
    page.targets.resize(count);
    for (uint32_t k = 0; k < count && !r.bad(); ++k)
      if (lens[k] != 0) page.targets[k] = r.text(lens[k]);
    covered += count;
    e.pages.push_back(std::move(page));
  }
  if (r.bad() || covered != keywords) return false;
  if (hash != StrX_hash(e.path, 65536)) return false;
  if (crc32(h.substr(0, 60), bytes.substr(at + headerSize, r.at() - at - headerSize)) != check)
    return false;
  at = r.at();
  return true;
}

}  // namespace

std::string KwdSearch_encodeCache(const std::list<KwdSearch_Entry>& entries) {
  std::string out;
  out.append("KwfC");
  putU32(out, KwdSearch_cacheVersion);
  out.append("File");
  putU32(out, static_cast<uint32_t>(entries.size()));
  for (const KwdSearch_Entry& e : entries) {
    size_t start = out.size();
    std::string_view kw = e.keywordText();
    putU32(out, 0);
    putU32(out, static_cast<uint32_t>(e.path.size() + 1));
    putU32(out, static_cast<uint32_t>(e.pathHash));
    putU32(out, 0);
    putU64(out, static_cast<uint64_t>(e.fileTime));
    putU32(out, static_cast<uint32_t>(e.noteLink.size() + 1));
    putGuid(out, e.uuid);
    putU32(out, kw.empty() ? 0 : static_cast<uint32_t>(kw.size() + 1));
    putU32(out, static_cast<uint32_t>(4 * e.levels.size()));
    putU32(out, static_cast<uint32_t>(pageRecordSize * e.pages.size()));
    putU32(out, static_cast<uint32_t>(e.pages.size()));
    putU32(out, 0);  // check value, set below
    putText(out, e.path);
    putText(out, e.noteLink);
    if (!kw.empty()) putText(out, kw);
    for (int32_t level : e.levels) putU32(out, static_cast<uint32_t>(level));
    for (const KwdSearch_Page& p : e.pages) {
      putU32(out, static_cast<uint32_t>(p.id));
      putU32(out, static_cast<uint32_t>(p.title.size() + 1));
      putU32(out, static_cast<uint32_t>(p.targets.size()));
      putU32(out, static_cast<uint32_t>(4 * p.targets.size()));
      putText(out, p.title);
      for (const std::string& t : p.targets)
        putU32(out, t.empty() ? 0 : static_cast<uint32_t>(t.size() + 1));
      for (const std::string& t : p.targets)
        if (!t.empty()) putText(out, t);
    }
    std::string_view all(out);
    setU32(out, start + 60,
           crc32(all.substr(start, 60), all.substr(start + headerSize)));
  }
  return out;
}

bool KwdSearch_decodeCache(std::string_view bytes, std::list<KwdSearch_Entry>& entries) {
  if (bytes.size() < 16 || bytes.substr(0, 4) != "KwfC") return false;
  int32_t version = static_cast<int32_t>(getU32(bytes, 4));
  if (version != KwdSearch_cacheVersion)
    Errors_RAISE(FileX_Err_BadVer, "ファイルタイプかバージョンが違います(%d)", version);
  if (bytes.substr(8, 4) != "File") return false;
  uint32_t count = getU32(bytes, 12);
  if (count > (bytes.size() - 16) / headerSize) return false;
  std::list<KwdSearch_Entry> list;
  std::unordered_map<std::string, std::list<KwdSearch_Entry>::iterator> byPath;
  size_t at = 16;
  for (uint32_t i = 0; i < count; ++i) {
    KwdSearch_Entry e;
    if (!decodeEntry(bytes, at, e)) return false;
    auto found = byPath.find(e.path);
    if (found != byPath.end()) {
      *found->second = std::move(e);  // a later entry replaces an earlier one
    } else {
      std::string key = e.path;
      list.push_back(std::move(e));
      byPath.emplace(std::move(key), std::prev(list.end()));
    }
  }
  if (at != bytes.size()) return false;
  entries = std::move(list);
  return true;
}
