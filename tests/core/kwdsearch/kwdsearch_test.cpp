#include "core/kwdsearch/kwdsearch.h"
#include "core/filex/filex_atomic.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <cstring>
#include <mutex>
#include <random>
#include <atomic>
#include <thread>

#include "core/errors/except3.h"
#include "core/strx/strx_search.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

struct Kw {
  std::string text;
  std::string id;  // "" = no href
  int level = 1;
};
struct Page {
  int id;
  std::string title;
  std::vector<Kw> kws;
};

// An index file as the note writer produces it.
std::string indexFile(const std::string& note, const std::vector<Page>& pages) {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift-JIS\" ?>\r\n\r\n";
  s += "<keywords xmlns:xlink=\"http://www.w3.org/1999/xlink\"\r\n  xlink:type=\"simple\"\r\n";
  s += "  xlink:href=\"" + note + "\">\r\n\r\n";
  for (const Page& p : pages) {
    s += "<page id=\"" + std::to_string(p.id) + "\" title=\"" + p.title + "\">\r\n";
    for (const Kw& k : p.kws) {
      s += "<kw";
      if (!k.id.empty()) s += " href=\"#" + k.id + "\"";
      if (k.level >= 2) s += " level=" + std::to_string(k.level);
      s += ">" + k.text + "</kw>\r\n";
    }
    s += "</page>\r\n";
  }
  s += "\r\n</keywords>\r\n";
  return s;
}

void setTime(const std::string& path, int64_t seconds) {
  struct timespec ts[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), ts, 0)) << path;
}

void writeIndex(const std::string& path, const std::string& note, const std::vector<Page>& pages,
                int64_t seconds = 1600000000) {
  WriteFileBytes(path, indexFile(note, pages));
  setTime(path, seconds);
}

// A hit as "note file|page id|target|text|score" (page id "-" when none).
std::string render(const KwdSearch_Hit& h) {
  std::string note = h.entry->noteLink;
  size_t cut = note.find_last_of("\\/");
  if (cut != std::string::npos) note = note.substr(cut + 1);
  return note + "|" + (h.page ? std::to_string(h.page->id) : "-") + "|" + h.target + "|" +
         h.text + "|" + std::to_string(h.score);
}

std::vector<std::string> run(KwdSearch& engine, std::vector<std::string> words,
                             bool caseSensitive = false, std::string prefix = "") {
  KwdSearch_Query q;
  q.words = std::move(words);
  q.caseSensitive = caseSensitive;
  q.pathPrefix = std::move(prefix);
  std::vector<std::string> hits;
  KwdSearch_Callback cb;
  cb.hit = [&](const KwdSearch_Hit& h) {
    hits.push_back(render(h));
    return true;
  };
  engine.search(q, cb);
  return hits;
}

using Hits = std::vector<std::string>;

}  // namespace

// ---- splitting queries ----

TEST(KwdSearchSplit, TenWordsAcceptedElevenAnswer8449) {
  KwdSearch_Query q;
  EXPECT_EQ(0, KwdSearch::splitQuery("a b c d e f g h i j", q));
  EXPECT_EQ(10u, q.words.size());
  EXPECT_EQ(8449, KwdSearch::splitQuery("a b c d e f g h i j k", q));
  ASSERT_EQ(10u, q.words.size());
  EXPECT_EQ("j", q.words[9]);
}

TEST(KwdSearchSplit, IdeographicSpaceAndEmptyWords) {
  KwdSearch_Query q;
  EXPECT_EQ(0, KwdSearch::splitQuery("  red \x81\x40\x81\x40" "apple   ", q));
  EXPECT_EQ((std::vector<std::string>{"red", "apple"}), q.words);
  // 0x81 as a trail byte followed by "@" (0x40) is no space.
  EXPECT_EQ(0, KwdSearch::splitQuery("\x88\x81@x", q));
  EXPECT_EQ((std::vector<std::string>{"\x88\x81@x"}), q.words);
  EXPECT_EQ(0, KwdSearch::splitQuery("   ", q));
  EXPECT_TRUE(q.words.empty());
  // Eleven words counted even when separated by ideographic spaces only.
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += "w\x81\x40";
  EXPECT_EQ(8449, KwdSearch::splitQuery(eleven, q));
}

TEST(KwdSearchSplit, LongWordCutAtCharacterBoundary) {
  KwdSearch_Query q;
  std::string word(254, 'a');
  word += Sjis(u8"あい");
  EXPECT_EQ(0, KwdSearch::splitQuery(word, q));
  ASSERT_EQ(1u, q.words.size());
  EXPECT_EQ(std::string(254, 'a'), q.words[0]);
}

// ---- reading index files ----

TEST(KwdSearchIndex, ReadsPagesKeywordsLevelsTargetsAndUuid) {
  TempDir dir;
  std::string path = dir.file("note_keywords_0123ABCD-4567-89AB-CDEF-0123456789AB.xml");
  WriteFileBytes(path,
                 "<keywords xlink:href=\"/n/x.svg\">\r\n<kw>loose</kw>\r\n"
                 "<page title=\"T\">\r\n<kw href=\"k9\" level=3>a&amp;b&nbsp;c</kw>\r\n"
                 "<kw href=\"#k1\">z</kw></page></keywords>\r\n");
  KwdSearch_Entry e = KwdSearch::readIndexFile(path);
  EXPECT_EQ("/n/x.svg", e.noteLink);
  ASSERT_EQ(2u, e.pages.size());
  EXPECT_EQ(1, e.pages[0].id);  // implicit page for a keyword outside any page
  EXPECT_EQ(2, e.pages[1].id);  // position from 1
  EXPECT_EQ("T", e.pages[1].title);
  EXPECT_EQ((std::vector<std::string>{""}), e.pages[0].targets);
  EXPECT_EQ((std::vector<std::string>{"k9", "k1"}), e.pages[1].targets);
  EXPECT_EQ((std::vector<int32_t>{2, 4, 2}), e.levels);
  EXPECT_EQ(std::string_view("loose\xFF\x01\x01" "a&b c\xFF\x01\x02z\xFF\x01\x03"),
            e.keywordText());
  ASSERT_EQ(e.keywordText().size() + 256, e.keywordBytes.size());
  EXPECT_EQ(std::string(256, '\0'), e.keywordBytes.substr(e.keywordText().size()));
  EXPECT_EQ(0x0123ABCDu, e.uuid.data1);
  EXPECT_EQ(0x4567u, e.uuid.data2);
  EXPECT_EQ(0xABu, e.uuid.data4[7]);
  EXPECT_EQ(StrX_Guid{}, KwdSearch::readIndexFile(dir.file("missing_keywords_x.xml")).uuid);
}

// ---- scores ----

TEST(KwdSearch, WordInTwoKeywordsOfOnePageGivesTwoHits) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg",
             {{1, "", {{"apple pie", "k1"}, {"pear", "k2"}, {"apple tart", "k3"}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|1|k1|apple pie|2", "a.svg|1|k3|apple tart|2"}), run(engine, {"apple"}));
}

TEST(KwdSearch, TwoWordsInOneKeywordScoreTenHigher) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg",
             {{1, "", {{"red apple", "k1"}, {"red", "k2", 3}}},
              {2, "", {{"green apple", ""}, {"apple red", "k4", 2}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|1|k1|red apple|12", "a.svg|1|k2|red|4", "a.svg|2||green apple|2",
                  "a.svg|2|k4|apple red|13"}),
            run(engine, {"red", "apple"}));
  EXPECT_EQ((Hits{"a.svg|1|k1|red apple|2", "a.svg|1|k2|red|4", "a.svg|2|k4|apple red|3"}),
            run(engine, {"red"}));
  // A word given twice counts twice.
  EXPECT_EQ((Hits{"a.svg|1|k1|red apple|12", "a.svg|1|k2|red|14", "a.svg|2|k4|apple red|13"}),
            run(engine, {"red", "red"}));
}

TEST(KwdSearch, NoteNameAndPageTitleHits) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "C:\\notes\\garden plan.svg",
             {{0, "Garden back", {}}, {3, "Spring plan", {{"seeds", ""}}}});
  writeIndex(dir.file("b.xml"), "/n/garden.svg", {{0, "", {}}});
  writeIndex(dir.file("c.xml"), "/n/garden2.svg", {});
  writeIndex(dir.file("d.xml"), "/n/garden3.svg", {{5, "", {}}, {6, "", {}}});
  KwdSearch engine(dir.path());
  // Entries come newest first: a fresh scan lists the walk backwards.
  EXPECT_EQ((Hits{"garden3.svg|5|||1", "garden2.svg|-|||1", "garden.svg|-|||1",
                  "garden plan.svg|3|||1", "garden plan.svg|0|||1"}),
            run(engine, {"garden"}));
  EXPECT_EQ((Hits{"garden plan.svg|3|||11", "garden plan.svg|0|||1", "garden plan.svg|3|||11"}),
            run(engine, {"plan", "GARDEN", "spring"}, false, dir.file("a")));
  EXPECT_EQ((Hits{"garden plan.svg|3|||1"}), run(engine, {"Spring"}, true));
  EXPECT_EQ(Hits{}, run(engine, {"spring"}, true));
}

TEST(KwdSearch, PathPrefixFilter) {
  TempDir dir;
  mkdir(dir.file("one").c_str(), 0700);
  mkdir(dir.file("two").c_str(), 0700);
  writeIndex(dir.file("one/a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  writeIndex(dir.file("two/b.xml"), "/n/b.svg", {{1, "", {{"word", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"b.svg|1||word|2", "a.svg|1||word|2"}), run(engine, {"word"}));
  EXPECT_EQ((Hits{"a.svg|1||word|2"}), run(engine, {"word"}, false, dir.file("one/")));
  EXPECT_EQ((Hits{"b.svg|1||word|2"}), run(engine, {"word"}, false, dir.file("tw")));
  EXPECT_EQ(Hits{}, run(engine, {"word"}, false, dir.file("three")));
}

TEST(KwdSearch, CaseFlag) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"Apple", ""}, {"apple", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|1||Apple|2", "a.svg|1||apple|2"}), run(engine, {"APPLE"}));
  EXPECT_EQ((Hits{"a.svg|1||Apple|2"}), run(engine, {"Apple"}, true));
  EXPECT_EQ(Hits{}, run(engine, {"APPLE"}, true));
}

TEST(KwdSearch, ShiftJisTrailBytesNeverStartAMatch) {
  TempDir dir;
  std::string so = Sjis(u8"ソフト");   // 83 5C ...
  std::string hyo = Sjis(u8"表示");    // 95 5C 8E A6
  std::string po = Sjis(u8"ポ");       // 83 7C
  std::string a = Sjis(u8"ア");        // 83 41
  ASSERT_EQ('\x5C', so[1]);
  ASSERT_EQ('\x5C', hyo[1]);
  ASSERT_EQ('\x7C', po[1]);
  writeIndex(dir.file("a.xml"), "/n/n.svg", {{1, "", {{so, ""}, {hyo, ""}, {po, ""}, {a, ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"n.svg|1||" + so + "|2"}), run(engine, {so}));
  EXPECT_EQ((Hits{"n.svg|1||" + hyo + "|2"}), run(engine, {Sjis(u8"示")}));
  EXPECT_EQ(Hits{}, run(engine, {"\\"}));
  EXPECT_EQ(Hits{}, run(engine, {"|"}));
  EXPECT_EQ(Hits{}, run(engine, {hyo.substr(1)}));  // across the trail byte
  EXPECT_EQ(Hits{}, run(engine, {"a"}));             // the trail byte of ア
  EXPECT_EQ(Hits{}, run(engine, {"A"}, true));
}

TEST(KwdSearch, NeverInsideTheNumberBytes) {
  TempDir dir;
  // Keyword 128 carries the number bytes 01 81 (a lead byte value); the
  // keyword behind it must still be found at its start.
  std::vector<Kw> kws(130, Kw{"x", ""});
  kws[129].text = "abc";
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", kws}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|1||abc|2"}), run(engine, {"abc"}));
  EXPECT_EQ(Hits{}, run(engine, {"\x01"}));
  EXPECT_EQ(Hits{}, run(engine, {"\x01\x81"}));
  EXPECT_EQ(129u, run(engine, {"x"}).size());
}

TEST(KwdSearch, KeywordsMapToTheirPages) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg",
             {{1, "", {{"w1", "a"}}}, {2, "", {}}, {4, "", {{"w2", "b"}, {"w3", "c"}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|1|a|w1|2", "a.svg|4|b|w2|2", "a.svg|4|c|w3|2"}), run(engine, {"w"}));
}

// ---- the update ----

TEST(KwdSearch, ChangedFileReadAgainUnchangedTakenFromCache) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"old a", ""}}}}, 1600000000);
  writeIndex(dir.file("b.xml"), "/n/b.svg", {{1, "", {{"old b", ""}}}}, 1600000000);
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"b.svg|1||old b|2", "a.svg|1||old a|2"}), run(engine, {"old"}));
  EXPECT_TRUE(engine.isModified());
  engine.saveCache();
  EXPECT_FALSE(engine.isModified());
  // a: new content, same time -> the cached entry stays; b: new time -> read.
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"new a", ""}}}}, 1600000000);
  writeIndex(dir.file("b.xml"), "/n/b.svg", {{1, "", {{"new b", ""}}}}, 1600000005);
  EXPECT_EQ((Hits{"b.svg|1||new b|2"}), run(engine, {"new"}));
  EXPECT_EQ((Hits{"a.svg|1||old a|2"}), run(engine, {"old"}));
  EXPECT_TRUE(engine.isModified());
  // The same through the cache file in a new engine.
  KwdSearch reopened(dir.path());
  EXPECT_EQ((Hits{"b.svg|1||new b|2"}), run(reopened, {"new"}));
  EXPECT_EQ((Hits{"a.svg|1||old a|2"}), run(reopened, {"old"}));
}

// The keyword scan writes titles whole, however long: the search finds a
// word at the end of one, also through its cache.
TEST(KwdSearch, WordAtTheEndOfAVeryLongTitle) {
  TempDir dir;
  std::string title;
  for (int i = 0; i < 300; ++i) title += "&amp;";
  title += " &lt;tailword&gt;";
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {}}, {2, title, {{"k", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ((Hits{"a.svg|2|||1"}), run(engine, {"tailword"}));
  engine.saveCache();
  KwdSearch reopened(dir.path());
  EXPECT_EQ((Hits{"a.svg|2|||1"}), run(reopened, {"tailword"}));
}

TEST(KwdSearch, DeletedFileDropped) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  writeIndex(dir.file("b.xml"), "/n/b.svg", {{1, "", {{"word", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ(2u, run(engine, {"word"}).size());
  engine.saveCache();
  ASSERT_EQ(0, unlink(dir.file("a.xml").c_str()));
  EXPECT_EQ((Hits{"b.svg|1||word|2"}), run(engine, {"word"}));
  EXPECT_EQ(1u, engine.entries().size());
  EXPECT_TRUE(engine.isModified());
  ASSERT_EQ(0, unlink(dir.file("b.xml").c_str()));
  KwdSearch reopened(dir.path());  // the cache still lists both
  EXPECT_EQ(Hits{}, run(reopened, {"word"}));
  EXPECT_TRUE(reopened.entries().empty());
}

// ---- the cache file ----

TEST(KwdSearchCache, RoundTripAndLayout) {
  TempDir dir;
  writeIndex(dir.file("n_keywords_0123ABCD-4567-89AB-CDEF-0123456789AB.xml"), "/n/a.svg",
             {{1, "T1", {{"alpha", "k1", 2}, {"beta", ""}}}, {2, "", {}}});
  writeIndex(dir.file("z.xml"), "/n/z.svg", {});
  KwdSearch engine(dir.path());
  Hits fresh = run(engine, {"a"});
  engine.saveCache();
  std::string bytes = ReadFileBytes(dir.file("!!keywords_cache.bin"));
  ASSERT_GE(bytes.size(), 16u + 64u);
  EXPECT_EQ(std::string("KwfC\x64\0\0\0File\x02\0\0\0", 16), bytes.substr(0, 16));
  // The first entry: z.xml (newest first), no keywords, no pages.
  std::string zpath = dir.file("z.xml");
  auto u32 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at]) |
                                 static_cast<unsigned char>(bytes[at + 1]) << 8 |
                                 static_cast<unsigned char>(bytes[at + 2]) << 16 |
                                 static_cast<unsigned char>(bytes[at + 3]) << 24);
  };
  EXPECT_EQ(zpath.size() + 1, u32(16 + 4));
  EXPECT_EQ(StrX_hash(zpath, 65536), u32(16 + 8));
  EXPECT_EQ(sizeof("/n/z.svg"), u32(16 + 24));
  EXPECT_EQ(0u, u32(16 + 44));
  EXPECT_EQ(0u, u32(16 + 48));
  EXPECT_EQ(0u, u32(16 + 52));
  EXPECT_EQ(0u, u32(16 + 56));
  EXPECT_EQ(zpath + '\0' + "/n/z.svg" + '\0', bytes.substr(80, zpath.size() + 10));
  // The second entry: 2 keywords, 2 pages, the uuid in the Windows layout.
  size_t h = 80 + zpath.size() + 10;
  EXPECT_EQ(std::string("\xCD\xAB\x23\x01\x67\x45\xAB\x89\xCD\xEF\x01\x23\x45\x67\x89\xAB", 16),
            bytes.substr(h + 28, 16));
  EXPECT_EQ(sizeof("alpha\xFF\x01\x01" "beta\xFF\x01\x02"), u32(h + 44));
  EXPECT_EQ(8u, u32(h + 48));
  EXPECT_EQ(32u, u32(h + 52));
  EXPECT_EQ(2u, u32(h + 56));
  // 100-ns units since 1601 of the file time.
  uint64_t t = u32(h + 16) | static_cast<uint64_t>(u32(h + 20)) << 32;
  EXPECT_EQ(1600000000ULL * 10000000ULL + 116444736000000000ULL, t);

  KwdSearch reopened(dir.path());
  EXPECT_EQ(fresh, run(reopened, {"a"}));
  EXPECT_FALSE(reopened.isModified());  // everything came from the cache
  std::vector<KwdSearch_Entry> a = engine.entries(), b = reopened.entries();
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    EXPECT_EQ(a[i].path, b[i].path);
    EXPECT_EQ(a[i].keywordBytes, b[i].keywordBytes);
    EXPECT_EQ(a[i].levels, b[i].levels);
    EXPECT_EQ(a[i].fileTime, b[i].fileTime);
    EXPECT_EQ(a[i].uuid, b[i].uuid);
    ASSERT_EQ(a[i].pages.size(), b[i].pages.size());
    for (size_t p = 0; p < a[i].pages.size(); ++p) {
      EXPECT_EQ(a[i].pages[p].id, b[i].pages[p].id);
      EXPECT_EQ(a[i].pages[p].title, b[i].pages[p].title);
      EXPECT_EQ(a[i].pages[p].targets, b[i].pages[p].targets);
    }
  }
  // Encoding the decoded entries gives the same bytes.
  std::list<KwdSearch_Entry> decoded;
  ASSERT_TRUE(KwdSearch_decodeCache(bytes, decoded));
  EXPECT_EQ(bytes, KwdSearch_encodeCache(decoded));
}

TEST(KwdSearchCache, Version101Raises369Once) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  WriteFileBytes(dir.file("!!keywords_cache.bin"), std::string("KwfC\x65\0\0\0File\0\0\0\0", 16));
  KwdSearch engine(dir.path());
  Errors_Msg e = CatchError([&] { run(engine, {"word"}); });
  EXPECT_EQ(369, e.code);
  EXPECT_NE(nullptr, std::strstr(e.message(), "(101)")) << e.message();
  // The next search scans without the cache and writes it anew.
  EXPECT_EQ((Hits{"a.svg|1||word|2"}), run(engine, {"word"}));
  EXPECT_TRUE(engine.isModified());
  engine.saveCache();
  KwdSearch reopened(dir.path());
  EXPECT_EQ((Hits{"a.svg|1||word|2"}), run(reopened, {"word"}));
}

namespace {

// A small folder, its fresh-scan hits and its cache bytes.
struct CacheFixture {
  TempDir dir;
  Hits fresh;
  std::string cache;
  std::vector<std::string> words{"a", "t"};
  CacheFixture() {
    writeIndex(dir.file("a.xml"), "/n/at.svg",
               {{1, "at", {{"ab", "k1", 2}, {"tb", ""}}}, {2, "", {{"xa", "k3"}}}});
    writeIndex(dir.file("b.xml"), "/n/b.svg", {{0, "", {}}, {1, "t", {{"aa", ""}}}});
    KwdSearch engine(dir.path());
    fresh = run(engine, words);
    engine.saveCache();
    cache = ReadFileBytes(dir.file("!!keywords_cache.bin"));
  }
  // The hits of a new engine over the given cache bytes: 369 once at most.
  Hits hitsWith(const std::string& bytes, bool& raised369) {
    WriteFileBytes(dir.file("!!keywords_cache.bin"), bytes);
    KwdSearch engine(dir.path());
    Hits hits;
    Errors_Msg e = CatchError([&] { hits = run(engine, words); });
    raised369 = e.code == 369;
    EXPECT_TRUE(e.code == 0 || e.code == 369) << e.code << " " << e.message();
    if (e.code != 0) hits = run(engine, words);
    return hits;
  }
};

}  // namespace

TEST(KwdSearchCache, EveryTruncationRescans) {
  CacheFixture f;
  ASSERT_EQ((Hits{"b.svg|1|||1", "b.svg|1||aa|2", "at.svg|1|||11", "at.svg|1|||11",
                  "at.svg|1|k1|ab|3", "at.svg|1||tb|2", "at.svg|2|k3|xa|2"}),
            f.fresh);
  for (size_t len = 0; len < f.cache.size(); ++len) {
    bool raised = false;
    EXPECT_EQ(f.fresh, f.hitsWith(f.cache.substr(0, len), raised)) << "length " << len;
    EXPECT_FALSE(raised) << "length " << len;
  }
  // Trailing bytes are damage too.
  bool raised = false;
  EXPECT_EQ(f.fresh, f.hitsWith(f.cache + "x", raised));
}

TEST(KwdSearchCache, RandomByteFlipsRescan) {
  CacheFixture f;
  std::mt19937 rng(12345);
  int versionFlips = 0;
  for (int round = 0; round < 400; ++round) {
    std::string bytes = f.cache;
    size_t at = rng() % bytes.size();
    bytes[at] = static_cast<char>(bytes[at] ^ (1 + rng() % 255));
    bool raised = false;
    EXPECT_EQ(f.fresh, f.hitsWith(bytes, raised)) << "byte " << at;
    EXPECT_EQ(at >= 4 && at < 8, raised) << "byte " << at;
    versionFlips += raised ? 1 : 0;
  }
  // Each single byte of the cache, set to a different value.
  for (size_t at = 8; at < f.cache.size(); ++at) {
    std::string bytes = f.cache;
    bytes[at] = static_cast<char>(bytes[at] + 1);
    bool raised = false;
    EXPECT_EQ(f.fresh, f.hitsWith(bytes, raised)) << "byte " << at;
  }
}

TEST(KwdSearchCache, DamagedCacheMarksModifiedAndIsReplaced) {
  CacheFixture f;
  WriteFileBytes(f.dir.file("!!keywords_cache.bin"), f.cache.substr(0, 40));
  KwdSearch engine(f.dir.path());
  EXPECT_EQ(f.fresh, run(engine, f.words));
  EXPECT_TRUE(engine.isModified());
  engine.saveCache();
  EXPECT_EQ(f.cache, ReadFileBytes(f.dir.file("!!keywords_cache.bin")));
}

TEST(KwdSearchCache, RebuildRereadsEverythingAndWritesTheCache) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"old", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ(1u, run(engine, {"old"}).size());
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"new", ""}}}});  // same time
  std::vector<std::string> texts;
  KwdSearch_Callback cb;
  cb.progress = [&](const KwdSearch_Progress& p) {
    texts.emplace_back(p.text);
    return true;
  };
  engine.rebuild(cb);
  ASSERT_FALSE(texts.empty());
  EXPECT_EQ(Sjis(u8"ファイル保存中…"), texts.back());
  EXPECT_FALSE(engine.isModified());
  EXPECT_EQ(1u, run(engine, {"new"}).size());
  KwdSearch reopened(dir.path());
  EXPECT_EQ(1u, run(reopened, {"new"}).size());
  EXPECT_FALSE(reopened.isModified());
}

TEST(KwdSearchCache, SaveCreatesTheFolder) {
  TempDir dir;
  KwdSearch engine(dir.file("sub/keywords"));
  EXPECT_EQ(dir.file("sub/keywords/"), engine.folder());
  EXPECT_EQ(Hits{}, run(engine, {"x"}));
  engine.saveCache();
  EXPECT_EQ(std::string("KwfC\x64\0\0\0File\0\0\0\0", 16),
            ReadFileBytes(dir.file("sub/keywords/!!keywords_cache.bin")));
}

// ---- threads ----

TEST(KwdSearchThreads, SearchFromItsOwnCallbackIs102) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  KwdSearch engine(dir.path());
  int inner = 0, innerSave = 0;
  KwdSearch_Callback cb;
  cb.hit = [&](const KwdSearch_Hit&) {
    inner = CatchError([&] { run(engine, {"word"}); }).code;
    innerSave = CatchError([&] { engine.saveCache(); }).code;
    return true;
  };
  KwdSearch_Query q;
  q.words = {"word"};
  engine.search(q, cb);
  EXPECT_EQ(102, inner);
  EXPECT_EQ(102, innerSave);
  EXPECT_EQ(1u, run(engine, {"word"}).size());  // usable again afterwards
}

TEST(KwdSearchThreads, SecondSearchOnAnotherThreadIs102) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  KwdSearch engine(dir.path());
  std::mutex m;
  std::condition_variable cv;
  bool inside = false, release = false;
  Hits firstHits;
  int firstCode = -1;
  std::thread first([&] {
    // Errors stay on this thread: the search runs inside its own try level.
    firstCode = CatchError([&] {
      KwdSearch_Query q;
      q.words = {"word"};
      KwdSearch_Callback cb;
      cb.hit = [&](const KwdSearch_Hit& h) {
        firstHits.push_back(render(h));
        return true;
      };
      cb.progress = [&](const KwdSearch_Progress&) {
        std::unique_lock lock(m);
        inside = true;
        cv.notify_all();
        cv.wait(lock, [&] { return release; });
        return true;
      };
      engine.search(q, cb);
    }).code;
  });
  {
    std::unique_lock lock(m);
    cv.wait(lock, [&] { return inside; });
  }
  int secondCode = -1;
  std::thread second([&] { secondCode = CatchError([&] { run(engine, {"word"}); }).code; });
  second.join();
  {
    std::lock_guard lock(m);
    release = true;
  }
  cv.notify_all();
  first.join();
  EXPECT_EQ(102, secondCode);
  EXPECT_EQ(0, firstCode);
  EXPECT_EQ((Hits{"a.svg|1||word|2"}), firstHits);
}

// A thread that only reads the engine's state (the search window asking
// whether to save the cache) never makes a search fail.
TEST(KwdSearchThreads, ReadersOnAnotherThreadDoNotRefuseASearch) {
  TempDir dir;
  for (int i = 0; i < 500; ++i)
    writeIndex(dir.file("n" + std::to_string(i) + ".xml"), "/n/n" + std::to_string(i) + ".svg",
               {{1, "", {{"word" + std::to_string(i), ""}}}});
  KwdSearch engine(dir.path());
  ASSERT_EQ(1u, run(engine, {"word499"}).size());
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    while (!stop) {
      (void)engine.isModified();
      if (engine.entries().size() == 500) ++reads;
    }
  });
  // Searches while the reader reads, until it has read many times.
  int refused = 0, searches = 0;
  while (searches < 20 || (reads < 100 && searches < 5000)) {
    ++searches;
    if (CatchError([&] { run(engine, {"word499"}); }).code != 0) ++refused;
  }
  stop = true;
  reader.join();
  EXPECT_EQ(0, refused) << "of " << searches << " searches";
  EXPECT_GT(reads.load(), 0);
}

TEST(KwdSearchThreads, ProgressCanStopTheSearch) {
  TempDir dir;
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"word", ""}}}});
  KwdSearch engine(dir.path());
  KwdSearch_Query q;
  q.words = {"word"};
  int hits = 0;
  KwdSearch_Callback cb;
  cb.hit = [&](const KwdSearch_Hit&) { return ++hits, true; };
  cb.progress = [](const KwdSearch_Progress& p) { return p.total < 0; };  // stop after the update
  engine.search(q, cb);
  EXPECT_EQ(0, hits);
  EXPECT_EQ(1u, engine.entries().size());
}

// ---- keyword links ----

TEST(KwdSearchLinks, LowerAttributeIsTheKey) {
  TempDir dir;
  std::string file = dir.file("kw.html");
  WriteFileBytes(file,
                 "<html><body>\r\n<a href=\"x.html#k1\" lower=\"abc\">ABC Text</a>\r\n"
                 "<a href=\"sub\\y.html#k2\">Hello &amp; Bye</a>\r\n"
                 "<a href=\"http://example.com/a\\b\">Web</a></body></html>\r\n");
  setTime(file, 1600000000);
  KwdSearch engine(dir.path());
  EXPECT_EQ(std::optional<std::string>(dir.file("x.html#k1")),
            engine.resolveKeywordLink(file, "abc"));
  EXPECT_EQ(std::optional<std::string>(dir.file("x.html#k1")),
            engine.resolveKeywordLink(file, "ABC"));
  EXPECT_EQ(std::nullopt, engine.resolveKeywordLink(file, "abc text"));
  EXPECT_EQ(std::optional<std::string>(dir.file("sub/y.html#k2")),
            engine.resolveKeywordLink(file, "HELLO & bye"));
  EXPECT_EQ(std::optional<std::string>("http://example.com/a\\b"),
            engine.resolveKeywordLink(file, "web"));
  EXPECT_EQ(std::nullopt, engine.resolveKeywordLink(file, "none"));
  EXPECT_EQ(std::nullopt, engine.resolveKeywordLink(dir.file("missing.html"), "abc"));
  // A newer file is read again.
  WriteFileBytes(file, "<a href=\"z.html\" lower=\"abc\">x</a>");
  setTime(file, 1600000100);
  EXPECT_EQ(std::optional<std::string>(dir.file("z.html")),
            engine.resolveKeywordLink(file, "abc"));
}

namespace {

TEST(KwdSearch, ReplacedAndNewIndexFilesAreSeenAtOnceInPlaceEditsAfterTheInterval) {
  TempDir dir;
  ASSERT_EQ(0, mkdir(dir.file("sub").c_str(), 0755));
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"alpha", ""}}}});
  KwdSearch engine(dir.path());
  EXPECT_EQ(1u, run(engine, {"alpha"}).size());
  // Replaced by renaming a new file over it, as every writer of the
  // program does: seen by the next search.
  FileX_replaceAtomically(dir.file("a.xml"), indexFile("/n/a.svg", {{1, "", {{"beta", ""}}}}));
  EXPECT_EQ(1u, run(engine, {"beta"}).size());
  // A new file in a folder that had none.
  writeIndex(dir.file("sub/c.xml"), "/n/c.svg", {{1, "", {{"gamma", ""}}}});
  EXPECT_EQ(1u, run(engine, {"gamma"}).size());
  // Changed in place with a new time, the folder untouched: not looked at
  // until the interval has passed...
  writeIndex(dir.file("a.xml"), "/n/a.svg", {{1, "", {{"delta", ""}}}}, 1600000100);
  EXPECT_EQ(0u, run(engine, {"delta"}).size());
  // ...which here is now.
  engine.setFullWalkInterval(std::chrono::nanoseconds(0));
  EXPECT_EQ(1u, run(engine, {"delta"}).size());
}

}  // namespace
