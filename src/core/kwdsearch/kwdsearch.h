// The keyword search engine: looks for words in the keyword index files of
// a keywords folder (one small XML file per note listing its pages, their
// titles and the keywords of each page) and reports scored hits.
//
// The engine keeps every index file in memory and on disk in the binary
// cache "!!keywords_cache.bin" of the folder; before each search it walks
// the folder and reads again only the files whose time changed (new files
// are added, entries of files that are gone are dropped).
//
// Cache file (little-endian, fixed widths):
//   "KwfC" int32 100, "File" int32 entry count, then per entry a 64-byte
//   header (0-3 reserved, 4-7 path length with its zero byte, 8-11 path
//   hash, 12-15 reserved, 16-23 file time, 24-27 note link length with its
//   zero byte, 28-43 uuid, 44-47 keyword text length with a final zero byte
//   or 0, 48-51 levels size, 52-55 page records size, 56-59 page count,
//   60-63 check value), the path, note link, keyword text and levels, and
//   per page a 16-byte record (id, title length with its zero byte, keyword
//   count, 4 x keyword count) followed by the title, one int32 length per
//   keyword target (with its zero byte, 0 for none) and the targets.
//   The check value is a CRC-32 of the header's first 60 bytes and of all
//   the entry's bytes behind it.  Every length and count is checked against
//   the bytes left; a cache that fails any check (or whose check value
//   differs) is dropped as a whole and the folder is scanned again.  Only a
//   version other than 100 is an error (369).
//
// Threads: an engine is used by one thread at a time.  Its state is guarded
// by a mutex; a search or rebuild asked for while another one runs on the
// engine raises 102 at once instead of waiting.  Only a search or rebuild
// is refused so: the other calls wait for the state (for a running search,
// until it ends).  The engine raises errors
// on the thread that calls it: a caller on a worker thread runs the engine
// inside its own try level (Except_tryCatch) and hands the error to the UI
// thread; no error may leave the thread.  Calling the engine (other than
// splitQuery and resolveKeywordLink) from inside one of its callbacks
// raises 102.  The keyword-link tables have a
// mutex of their own, so that a link can be resolved while a search runs.
// No state is shared between engines.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/strx/strx_numbers.h"

inline constexpr const char* KwdSearch_cacheName = "!!keywords_cache.bin";
inline constexpr int32_t KwdSearch_cacheVersion = 100;
// splitQuery's answer for a query of more than KwdSearch_maxWords words.
inline constexpr int KwdSearch_TooManyWords = 8449;
inline constexpr size_t KwdSearch_maxWords = 10;
inline constexpr size_t KwdSearch_maxWordBytes = 255;
// Keywords of one index file beyond this count are not kept: the number
// bytes behind a separator would reach 0xFF.
inline constexpr size_t KwdSearch_maxKeywords = 254 * 254;
// While no folder of the keywords tree changed, an update skips the walk
// over the index files for this long after a whole walk (a file changed in
// place by another program, which the program itself never does, shows
// after at most this time).
inline constexpr std::chrono::seconds KwdSearch_fullWalkInterval{10};

struct KwdSearch_Page {
  int32_t id = 0;             // the `id` attribute, or the position from 1
  std::string title;          // empty when absent
  std::vector<std::string> targets;  // per keyword; "" = none
};

// One index file.
struct KwdSearch_Entry {
  std::string path;           // full path of the index file
  int32_t pathHash = 0;       // StrX_hash(path, 65536)
  int64_t fileTime = 0;       // 100-ns units since 1601 when it was read
  std::string noteLink;       // xlink:href of the keywords element
  StrX_Guid uuid;             // from the file name "..._keywords_<GUID>.xxx"
  // Every keyword text followed by 0xFF and the two number bytes
  // k / 254 + 1 and k % 254 + 1; behind them StrX_SearchPadding zero bytes
  // (part of the string).  Empty when the file has no keyword.
  std::string keywordBytes;
  std::vector<int32_t> levels;  // per keyword: level + 1 (2 by default)
  std::vector<KwdSearch_Page> pages;

  // The keyword text without its padding.
  std::string_view keywordText() const;
  size_t keywordCount() const { return levels.size(); }
};

struct KwdSearch_Query {
  std::string pathPrefix;  // entries whose path does not begin with it are skipped
  std::vector<std::string> words;
  bool caseSensitive = false;
};

// A hit, valid during the callback only (entry and page point into the
// engine).
struct KwdSearch_Hit {
  const KwdSearch_Entry* entry = nullptr;
  const KwdSearch_Page* page = nullptr;  // none for a note-name hit of a note without pages
  std::string target;   // the keyword's target; "" = none
  std::string text;     // the matched keyword text; "" for names and titles
  int32_t score = 0;
};

struct KwdSearch_Progress {
  int32_t scanned = 0;   // files walked by the update so far
  int32_t read = 0;      // of them, files read
  int32_t done = 0;      // entries searched
  int32_t total = -1;    // entries to search; -1 while the update runs
  std::string_view text;  // "ファイル保存中…" while a rebuild writes the cache
};

// What the engine reports to.  Either function may be empty; answering
// false stops the search (the entries read so far are kept).
struct KwdSearch_Callback {
  std::function<bool(const KwdSearch_Hit&)> hit;
  std::function<bool(const KwdSearch_Progress&)> progress;
};

class KwdSearch {
 public:
  KwdSearch() = default;
  explicit KwdSearch(std::string_view folder) { open(folder); }
  KwdSearch(const KwdSearch&) = delete;
  KwdSearch& operator=(const KwdSearch&) = delete;

  // The engine for a keywords folder (a final separator is added); nothing
  // is read yet.  Forgets all entries.
  void open(std::string_view folder);
  const std::string& folder() const { return folder_; }

  // Brings the entries up to date (loading the cache file the first time)
  // and reports the hits of the query.  369 for a cache of another version
  // (the next search scans without it); 102 while another search runs.
  void search(const KwdSearch_Query& query, const KwdSearch_Callback& callback);
  // Writes the cache file atomically (the folders are created first).
  void saveCache();
  // Whether an update changed the entries since the cache was loaded or
  // written.
  bool isModified();
  // Drops every entry, scans the folder and writes the cache.
  void rebuild(const KwdSearch_Callback& callback);

  // Splits at ASCII spaces and ideographic spaces (0x81 0x40); empty words
  // are skipped, words are cut to 255 bytes at a character boundary.  More
  // than 10 words answers KwdSearch_TooManyWords with the first 10 in
  // query.words; else 0.  The other fields of the query stay.
  static int splitQuery(std::string_view text, KwdSearch_Query& query);

  // The target of the anchor of `file` (an HTML file of `a` elements) whose
  // key is `word` in lower case: the key of an anchor is its `lower`
  // attribute, else its text in lower case; the target is its href with
  // backslashes made '/' (URLs stay), made absolute against the file's
  // folder.  None when there is no such anchor or the file cannot be read.
  std::optional<std::string> resolveKeywordLink(std::string_view file, std::string_view word);

  // How long a walk is skipped while no folder changed (default
  // KwdSearch_fullWalkInterval; 0 walks at every update).
  void setFullWalkInterval(std::chrono::nanoseconds interval) { fullWalkInterval_ = interval; }

  // A copy of the entries in search order (for tests and tools).
  std::vector<KwdSearch_Entry> entries();

  // Reads one index file into an entry (exposed for tests).  Errors while
  // reading leave the parts read so far.
  static KwdSearch_Entry readIndexFile(std::string_view path);

 private:
  struct LinkTable;

  bool update(const KwdSearch_Callback& callback, bool loadCache);
  // Whether no folder of the tree changed since the last walk, which was
  // less than KwdSearch_fullWalkInterval ago.
  bool foldersUnchanged() const;
  void loadCacheFile();
  void searchLocked(const KwdSearch_Query& query, const KwdSearch_Callback& callback);
  void saveLocked();

  struct Slot {
    std::list<KwdSearch_Entry>::iterator it;
    uint64_t seen = 0;  // the walk that saw the file last
  };

  // Recursive, so that a call from inside a callback finds `running_` set
  // and raises 102 instead of locking itself.
  std::recursive_mutex mutex_;
  bool running_ = false;
  // Claimed by a search or rebuild before it takes the mutex, so that a
  // second one is refused while a mere reader of the state only delays it.
  std::atomic<bool> claimed_{false};
  std::string folder_;
  std::list<KwdSearch_Entry> entries_;  // search order; new files at the head
  std::unordered_map<std::string, Slot> byPath_;
  uint64_t walkStamp_ = 0;
  struct FolderStamp {
    std::string osPath;
    struct timespec mtime;
  };
  std::vector<FolderStamp> folderStamps_;  // the folders of the last walk
  std::chrono::steady_clock::time_point lastFullWalk_{};
  std::chrono::nanoseconds fullWalkInterval_ = KwdSearch_fullWalkInterval;
  bool cacheTried_ = false;
  bool modified_ = false;

  std::mutex linkMutex_;
  std::unordered_map<std::string, std::shared_ptr<LinkTable>> links_;
};

// Cache bytes of a list of entries, and the entries of cache bytes: false
// (entries untouched) when the bytes are damaged; 369 for another version.
std::string KwdSearch_encodeCache(const std::list<KwdSearch_Entry>& entries);
bool KwdSearch_decodeCache(std::string_view bytes, std::list<KwdSearch_Entry>& entries);
