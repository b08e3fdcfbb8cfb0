// The keyword search engine: reading index files, the update by file time,
// the scored search and the keyword-link tables.
#include "core/kwdsearch/kwdsearch.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>

#include "core/arrx/arrx.h"
#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"
#include "core/filex/filex_copy.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_ospath.h"
#include "core/filex/filex_open.h"
#include "core/nestfind/nestfind.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_escape.h"
#include "core/strx/strx_fastsearch.h"
#include "core/strx/strx_path.h"
#include "core/strx/strx_search.h"
#include "core/xml/xml_event_reader.h"

namespace {

constexpr char separator = '\xFF';
constexpr size_t maxTargetBytes = 259;
constexpr size_t maxKeywordBytes = 1024;
// 100-ns units between 1601-01-01 and 1970-01-01.
constexpr int64_t epochDelta1601 = 116444736000000000LL;

int64_t fileTimeOf(std::string_view path) { return FileX_fileTime(path) / 100 + epochDelta1601; }

// The longest head of `s` of at most `max` bytes that ends at a character
// boundary.
std::string_view cutAtChar(std::string_view s, size_t max) {
  if (s.size() <= max) return s;
  size_t p = 0;
  while (p < s.size()) {
    size_t len = Cp932_charLen(s, p);
    if (p + len > max) break;
    p += len;
  }
  return s.substr(0, p);
}

// Whether byte `p` of `s` starts a character when `s` is read from `from`.
bool startsChar(std::string_view s, size_t from, size_t p) {
  size_t i = from;
  while (i < p) i += Cp932_charLen(s, i);
  return i == p;
}

// The uuid of a file name "..._keywords_<36-character GUID><4 characters>".
StrX_Guid uuidOfName(std::string_view name) {
  StrX_Guid g;
  constexpr std::string_view mark = "_keywords_";
  constexpr size_t tail = 36 + 4;
  if (name.size() < mark.size() + tail) return g;
  size_t at = name.size() - tail;
  if (name.substr(at - mark.size(), mark.size()) != mark) return g;
  std::string_view guid = name.substr(at, 36);
  if (StrX_isGuidText(guid)) StrX_readGuid(guid, g);
  return g;
}

std::optional<int32_t> intAttr(const XmlEventReader& r, std::string_view name) {
  std::optional<std::string_view> v = r.Attribute(name);
  if (!v) return std::nullopt;
  size_t used = 0;
  int32_t n = StrX_toInt(*v, &used);
  if (used == 0) return std::nullopt;
  return n;
}

// Whether a word occurs in `text` (which is padded) at a character start.
bool occursIn(const StrX_SearchPattern& pat, std::string_view text) {
  size_t pos = 0;
  while (pos + pat.length <= text.size()) {
    ptrdiff_t off = StrX_search(pat, text.substr(pos));
    if (off < 0) return false;
    size_t p = pos + static_cast<size_t>(off);
    if (startsChar(text, 0, p)) return true;
    pos = p + 1;
  }
  return false;
}

// The number of words found in a text; `scratch` holds the padded copy.
int countWords(const std::vector<StrX_SearchPattern>& pats, std::string_view text,
               std::string& scratch) {
  if (text.empty()) return 0;
  scratch.assign(text);
  scratch.append(StrX_SearchPadding, '\0');
  std::string_view padded(scratch.data(), text.size());
  int n = 0;
  for (const StrX_SearchPattern& p : pats) n += occursIn(p, padded) ? 1 : 0;
  return n;
}

// A word's way through the keyword text of one entry.
struct Cursor {
  size_t pos = 0;     // where the next search starts
  long k = -1;        // keyword number reached, -1 when no further one
  size_t start = 0;   // that keyword's first byte
  size_t sep = 0;     // its separator
};

// Moves the cursor to the next keyword holding a valid occurrence.
void advance(const StrX_SearchPattern& pat, std::string_view text, Cursor& c) {
  c.k = -1;
  while (c.pos + pat.length <= text.size()) {
    ptrdiff_t off = StrX_search(pat, text.substr(c.pos));
    if (off < 0) return;
    size_t p = c.pos + static_cast<size_t>(off);
    c.pos = p + 1;
    size_t sep = text.find(separator, p);
    if (sep == std::string_view::npos) return;
    // Never on a separator or its two number bytes, never across one.
    if (sep < p + static_cast<size_t>(pat.length)) continue;
    if ((p >= 1 && text[p - 1] == separator) || (p >= 2 && text[p - 2] == separator)) continue;
    size_t prev = p == 0 ? std::string_view::npos : text.rfind(separator, p - 1);
    size_t start = prev == std::string_view::npos ? 0 : prev + 3;
    if (!startsChar(text, start, p)) continue;
    unsigned hi = static_cast<unsigned char>(text[sep + 1]);
    unsigned lo = static_cast<unsigned char>(text[sep + 2]);
    c.k = static_cast<long>((hi - 1) * 254 + (lo - 1));
    c.start = start;
    c.sep = sep;
    c.pos = sep + 3;
    return;
  }
}

std::string withSeparator(std::string_view folder) {
  std::string f(folder);
  if (f.empty() || (f.back() != '/' && !(f.back() == '\\' && !StrX_isTrailAt(f, f.size() - 1))))
    f.push_back('/');
  return f;
}

bool report(const KwdSearch_Callback& cb, const KwdSearch_Progress& p) {
  return !cb.progress || cb.progress(p);
}

// Marks the engine busy for the lifetime of the object.
class BusyMark {
 public:
  explicit BusyMark(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyMark() { flag_ = false; }
  BusyMark(const BusyMark&) = delete;
  BusyMark& operator=(const BusyMark&) = delete;

 private:
  bool& flag_;
};

// Claims the engine for one search or rebuild; a second claim raises 102.
class SearchClaim {
 public:
  explicit SearchClaim(std::atomic<bool>& flag) : flag_(flag) {
    bool expected = false;
    if (!flag_.compare_exchange_strong(expected, true))
      Errors_RAISE(Errors_Unofficial, "KwdSearch: a search is already running");
  }
  ~SearchClaim() { flag_ = false; }
  SearchClaim(const SearchClaim&) = delete;
  SearchClaim& operator=(const SearchClaim&) = delete;

 private:
  std::atomic<bool>& flag_;
};

}  // namespace

std::string_view KwdSearch_Entry::keywordText() const {
  std::string_view s(keywordBytes);
  return s.size() >= StrX_SearchPadding ? s.substr(0, s.size() - StrX_SearchPadding)
                                        : std::string_view();
}

struct KwdSearch::LinkTable {
  int64_t time = 0;
  ArrX_HashTable<std::string> table;
};

// ---- the index files ----

KwdSearch_Entry KwdSearch::readIndexFile(std::string_view path) {
  KwdSearch_Entry e;
  e.path = std::string(path);
  e.pathHash = static_cast<int32_t>(StrX_hash(path, 65536));
  e.uuid = uuidOfName(StrX_fileName(path));
  std::string text;
  Except_tryCatch(
      [&] {
        e.fileTime = fileTimeOf(path);
        XmlEventReader r;
        r.Open(path);
        bool inKw = false;
        std::string target;
        int32_t level = 2;
        while (r.Next()) {
          XmlEventKind kind = r.Kind();
          const std::string& name = r.Name();
          if (kind == XmlEvent_start || kind == XmlEvent_empty) {
            inKw = false;
            if (name == "keywords") {
              if (auto v = r.Attribute("xlink:href")) e.noteLink = std::string(*v);
            } else if (name == "page") {
              KwdSearch_Page page;
              page.id = intAttr(r, "id").value_or(static_cast<int32_t>(e.pages.size() + 1));
              if (auto v = r.Attribute("title")) page.title = std::string(*v);
              e.pages.push_back(std::move(page));
            } else if (name == "kw") {
              std::string_view href = r.Attribute("href").value_or("");
              if (!href.empty() && href.front() == '#') href.remove_prefix(1);
              target = std::string(cutAtChar(href, maxTargetBytes));
              std::optional<int32_t> lv = intAttr(r, "level");
              level = lv ? (*lv == INT32_MAX ? *lv : *lv + 1) : 2;
              inKw = kind == XmlEvent_start;
            }
          } else if (kind == XmlEvent_end) {
            if (name == "/kw") target.clear();
            inKw = false;
          } else if (kind == XmlEvent_text && inKw) {
            inKw = false;
            if (e.levels.size() >= KwdSearch_maxKeywords) {
              Errors_printf("KwdSearch: more than %zu keywords in %s", KwdSearch_maxKeywords,
                            e.path.c_str());
              continue;
            }
            std::string kw = StrX_htmlUnescape(r.Text(maxKeywordBytes + 2));
            for (char& ch : kw)
              if (ch == separator || ch == '\0') ch = '?';
            size_t k = e.levels.size();
            text += kw;
            text.push_back(separator);
            text.push_back(static_cast<char>(k / 254 + 1));
            text.push_back(static_cast<char>(k % 254 + 1));
            e.levels.push_back(level);
            if (e.pages.empty()) e.pages.push_back(KwdSearch_Page{1, {}, {}});
            e.pages.back().targets.push_back(target);
          }
        }
      },
      [&](const Errors_Msg& m) {
        Errors_printf("KwdSearch: %s: %s", e.path.c_str(), m.message());
      });
  if (!text.empty()) {
    e.keywordBytes = std::move(text);
    e.keywordBytes.append(StrX_SearchPadding, '\0');
  }
  return e;
}

// ---- the engine ----

void KwdSearch::open(std::string_view folder) {
  std::lock_guard lock(mutex_);
  if (running_) Errors_RAISE(Errors_Unofficial, "KwdSearch: open during a search");
  folder_ = withSeparator(folder);
  entries_.clear();
  byPath_.clear();
  folderStamps_.clear();
  cacheTried_ = false;
  modified_ = false;
}

void KwdSearch::loadCacheFile() {
  cacheTried_ = true;
  std::string path = folder_ + KwdSearch_cacheName;
  if (!FileX_isFile(path)) return;
  std::string bytes;
  bool readOk = false;
  Except_tryCatch(
      [&] {
        bytes = FileX_readWhole(path);
        readOk = true;
      },
      [&](const Errors_Msg& m) { Errors_printf("KwdSearch: %s", m.message()); });
  if (!readOk) {
    modified_ = true;
    return;
  }
  modified_ = true;  // stays set when the version raises or the cache is damaged
  std::list<KwdSearch_Entry> list;
  if (!KwdSearch_decodeCache(bytes, list)) {
    Errors_printf("KwdSearch: damaged cache %s, scanning again", path.c_str());
    return;
  }
  modified_ = false;
  entries_ = std::move(list);
  byPath_.clear();
  for (auto it = entries_.begin(); it != entries_.end(); ++it) byPath_[it->path] = Slot{it, 0};
}

bool KwdSearch::foldersUnchanged() const {
  if (folderStamps_.empty()) return false;
  if (std::chrono::steady_clock::now() - lastFullWalk_ >= fullWalkInterval_) return false;
  for (const FolderStamp& f : folderStamps_) {
    struct stat st;
    if (::stat(f.osPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    if (st.st_mtim.tv_sec != f.mtime.tv_sec || st.st_mtim.tv_nsec != f.mtime.tv_nsec) return false;
  }
  return true;
}

bool KwdSearch::update(const KwdSearch_Callback& callback, bool loadCache) {
  if (loadCache && !cacheTried_ && entries_.empty()) loadCacheFile();
  // Index files are only ever replaced by renaming a new file over them,
  // which changes the time of their folder: while no folder of the tree
  // changed, no index file did, and the walk is skipped.
  if (foldersUnchanged()) return true;
  // The folder times are taken before the walk, so that a change during
  // the walk shows at the next update.
  std::vector<FolderStamp> stamps;
  auto stampFolder = [&stamps](const std::string& path) {
    std::optional<std::string> os = FileX_osPath(path);
    struct stat st;
    if (os && ::stat(os->c_str(), &st) == 0 && S_ISDIR(st.st_mode))
      stamps.push_back(FolderStamp{*os, st.st_mtim});
  };
  stampFolder(folder_);
  const auto walkStart = std::chrono::steady_clock::now();
  const uint64_t stamp = ++walkStamp_;
  KwdSearch_Progress progress;
  NestFindGrow walk;
  walk.open(folder_, true);
  while (walk.next()) {
    if (progress.scanned % 32 == 0 && !report(callback, progress)) return false;
    std::string path = walk.path();
    if (walk.isFolder()) {
      stampFolder(path);
      continue;
    }
    ++progress.scanned;
    if (StrX_fileName(path).starts_with(KwdSearch_cacheName)) continue;
    int64_t time = 0;
    bool present = false;
    Except_tryCatch(
        [&] {
          time = fileTimeOf(path);
          present = true;
        },
        [](const Errors_Msg&) {});
    if (!present) continue;  // gone meanwhile
    auto found = byPath_.find(path);
    if (found != byPath_.end()) {
      found->second.seen = stamp;
      if (found->second.it->fileTime == time) continue;
      *found->second.it = readIndexFile(path);
    } else {
      entries_.push_front(readIndexFile(path));
      byPath_.emplace(path, Slot{entries_.begin(), stamp});
    }
    ++progress.read;
    modified_ = true;
  }
  // Entries of index files that are gone.
  for (auto it = byPath_.begin(); it != byPath_.end();) {
    if (it->second.seen != stamp) {
      entries_.erase(it->second.it);
      it = byPath_.erase(it);
      modified_ = true;
    } else {
      ++it;
    }
  }
  folderStamps_ = std::move(stamps);
  lastFullWalk_ = walkStart;
  return true;
}

void KwdSearch::search(const KwdSearch_Query& query, const KwdSearch_Callback& callback) {
  SearchClaim claim(claimed_);
  std::lock_guard lock(mutex_);
  BusyMark busy(running_);
  if (!update(callback, true)) return;
  searchLocked(query, callback);
}

void KwdSearch::searchLocked(const KwdSearch_Query& query, const KwdSearch_Callback& cb) {
  std::vector<StrX_SearchPattern> pats;
  for (const std::string& w : query.words) {
    std::string_view word = cutAtChar(w, KwdSearch_maxWordBytes);
    if (!word.empty() && word.find('\0') == std::string_view::npos)
      pats.push_back(StrX_initSearch(word, query.caseSensitive));
  }
  KwdSearch_Progress progress;
  progress.total = static_cast<int32_t>(entries_.size());
  std::vector<Cursor> cursors(pats.size());
  std::vector<size_t> pageEnds;
  std::string scratch;
  for (const KwdSearch_Entry& e : entries_) {
    if (progress.done % 128 == 0 && !report(cb, progress)) return;
    ++progress.done;
    if (pats.empty()) continue;
    if (!query.pathPrefix.empty() && !StrX_pathHasPrefix(e.path, query.pathPrefix)) continue;
    auto emit = [&](const KwdSearch_Page* page, std::string target, std::string text,
                    int32_t score) {
      if (!cb.hit) return true;
      KwdSearch_Hit hit;
      hit.entry = &e;
      hit.page = page;
      hit.target = std::move(target);
      hit.text = std::move(text);
      hit.score = score;
      return cb.hit(hit);
    };

    // The note's file name.
    int n = countWords(pats, StrX_fileName(e.noteLink), scratch);
    if (n >= 1) {
      const KwdSearch_Page* page = nullptr;
      if (!e.pages.empty()) {
        if (e.pages[0].id != 0) page = &e.pages[0];
        else if (e.pages.size() > 1) page = &e.pages[1];
      }
      if (!emit(page, {}, {}, n * 10 - 9)) return;
    }
    // Page titles.
    for (const KwdSearch_Page& page : e.pages) {
      n = countWords(pats, page.title, scratch);
      if (n >= 1 && !emit(&page, {}, {}, n * 10 - 9)) return;
    }
    // Keywords: one hit per keyword that any word reaches.
    std::string_view text = e.keywordText();
    if (text.empty()) continue;
    pageEnds.clear();
    size_t sum = 0;
    for (const KwdSearch_Page& page : e.pages) pageEnds.push_back(sum += page.targets.size());
    for (size_t i = 0; i < pats.size(); ++i) {
      cursors[i] = Cursor{};
      advance(pats[i], text, cursors[i]);
    }
    for (;;) {
      long kmin = -1;
      for (const Cursor& c : cursors)
        if (c.k >= 0 && (kmin < 0 || c.k < kmin)) kmin = c.k;
      if (kmin < 0) break;
      int words = 0;
      size_t start = 0, sep = 0;
      for (const Cursor& c : cursors)
        if (c.k == kmin) {
          ++words;
          start = c.start;
          sep = c.sep;
        }
      size_t k = static_cast<size_t>(kmin);
      const KwdSearch_Page* page = nullptr;
      std::string target;
      auto pe = std::upper_bound(pageEnds.begin(), pageEnds.end(), k);
      if (pe != pageEnds.end()) {
        size_t pi = static_cast<size_t>(pe - pageEnds.begin());
        page = &e.pages[pi];
        target = page->targets[k - (pi == 0 ? 0 : pageEnds[pi - 1])];
      }
      int32_t level = k < e.levels.size() ? e.levels[k] : 2;
      if (!emit(page, std::move(target), std::string(text.substr(start, sep - start)),
                level + words * 10 - 10))
        return;
      for (size_t i = 0; i < pats.size(); ++i)
        if (cursors[i].k == kmin) advance(pats[i], text, cursors[i]);
    }
  }
  report(cb, progress);
}

void KwdSearch::saveLocked() {
  FileX_makeFolders(folder_, false);
  std::string bytes = KwdSearch_encodeCache(entries_);
  FileX_AtomicFile file(folder_ + KwdSearch_cacheName);
  file.write(bytes);
  file.commit();
  modified_ = false;
}

void KwdSearch::saveCache() {
  std::lock_guard lock(mutex_);
  if (running_) Errors_RAISE(Errors_Unofficial, "KwdSearch: saving the cache during a search");
  saveLocked();
}

bool KwdSearch::isModified() {
  std::lock_guard lock(mutex_);
  return modified_;
}

std::vector<KwdSearch_Entry> KwdSearch::entries() {
  std::lock_guard lock(mutex_);
  return {entries_.begin(), entries_.end()};
}

void KwdSearch::rebuild(const KwdSearch_Callback& callback) {
  SearchClaim claim(claimed_);
  std::lock_guard lock(mutex_);
  BusyMark busy(running_);
  entries_.clear();
  byPath_.clear();
  folderStamps_.clear();
  cacheTried_ = true;
  modified_ = true;
  if (!update(callback, false)) return;
  KwdSearch_Progress progress;
  progress.scanned = progress.read = static_cast<int32_t>(entries_.size());
  progress.text = "ファイル保存中…";
  report(callback, progress);
  saveLocked();
}

// ---- queries ----

int KwdSearch::splitQuery(std::string_view text, KwdSearch_Query& query) {
  query.words.clear();
  size_t count = 0;
  std::string cur;
  auto flush = [&] {
    if (cur.empty()) return;
    ++count;
    if (query.words.size() < KwdSearch_maxWords)
      query.words.emplace_back(cutAtChar(cur, KwdSearch_maxWordBytes));
    cur.clear();
  };
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      flush();
      ++i;
    } else if (text[i] == '\x81' && i + 1 < text.size() && text[i + 1] == '\x40') {
      flush();
      i += 2;
    } else {
      size_t len = Cp932_charLen(text, i);
      cur.append(text.substr(i, len));
      i += len;
    }
  }
  flush();
  return count > KwdSearch_maxWords ? KwdSearch_TooManyWords : 0;
}

// ---- keyword links ----

std::optional<std::string> KwdSearch::resolveKeywordLink(std::string_view file,
                                                        std::string_view word) {
  std::lock_guard lock(linkMutex_);
  int64_t time = 0;
  bool present = false;
  Except_tryCatch(
      [&] {
        time = FileX_fileTime(file);
        present = true;
      },
      [](const Errors_Msg&) {});
  if (!present) return std::nullopt;
  std::shared_ptr<LinkTable>& slot = links_[std::string(file)];
  if (!slot || slot->time != time) {
    auto table = std::make_shared<LinkTable>();
    table->time = time;
    Except_tryCatch(
        [&] {
          XmlEventReader r;
          r.Open(file);
          std::optional<std::string> pending;  // href of an `a` waiting for its text
          while (r.Next()) {
            XmlEventKind kind = r.Kind();
            if (kind == XmlEvent_text) {
              if (pending) {
                std::string key = StrX_htmlUnescape(r.Text());
                StrX_lowerAscii(key);
                table->table.insert(key, std::move(*pending));
                pending.reset();
              }
              continue;
            }
            pending.reset();
            if (kind != XmlEvent_start && kind != XmlEvent_empty) continue;
            if (r.Name() != "a" && r.Name() != "A") continue;
            std::optional<std::string_view> href = r.Attribute("href");
            if (!href) continue;
            std::string target = StrX_isUrl(*href) ? std::string(*href) : StrX_toSlashPath(*href);
            if (std::optional<std::string_view> lower = r.Attribute("lower"))
              table->table.insert(*lower, std::move(target));
            else if (kind == XmlEvent_start)
              pending = std::move(target);
          }
        },
        [&](const Errors_Msg& m) { Errors_printf("KwdSearch: %s", m.message()); });
    slot = std::move(table);
  }
  std::string key(word);
  StrX_lowerAscii(key);
  const std::string* target = slot->table.find(key);
  if (!target) return std::nullopt;
  std::string out;
  bool made = false;
  Except_tryCatch(
      [&] {
        StrX_makeAbsolute(out, *target, StrX_parentFolder(file), 4096);
        made = true;
      },
      [](const Errors_Msg&) {});
  if (!made) return std::nullopt;
  return out;
}
