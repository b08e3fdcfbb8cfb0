// StrX_search against std::boyer_moore_horspool_searcher on one 10 MB code
// page 932 text: kanji and kana (trail bytes 0x5C, 0x41, 0x61 ...), ASCII
// words, spaces and line breaks.  Patterns lie near the end or are absent.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <string_view>

#include "core/strx/strx_fastsearch.h"

namespace {

constexpr size_t kTextSize = 10 * 1024 * 1024;

unsigned char foldAscii(unsigned char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 32) : c;
}

struct FoldHash {
  size_t operator()(char c) const { return foldAscii(static_cast<unsigned char>(c)); }
};
struct FoldEq {
  bool operator()(char a, char b) const {
    return foldAscii(static_cast<unsigned char>(a)) == foldAscii(static_cast<unsigned char>(b));
  }
};

struct Case {
  const char* name;
  std::string pattern;   // what is searched for
  std::string planted;   // what is put near the end ("" = absent)
  bool caseSensitive;
};

const Case kCases[] = {
    {"sjis_end", "表示能力ソフト", "表示能力ソフト", true},
    {"ascii_end", "Keyword#Needle", "Keyword#Needle", true},
    {"ascii_end_nocase", "keyword#needle", "KEYWORD#Needle", false},
    {"sjis_absent", "十能ソフト#", "", true},
    {"ascii_absent", "Missing#Word", "", true},
    {"ascii_absent_nocase", "missing#word", "", false},
};

// The text, followed by StrX_SearchPadding zero bytes (see StrX_search).
const StrX_PaddedText& text() {
  static const StrX_PaddedText padded = [] {
    const char* pieces[] = {"ソ", "表", "十", "能", "ア", "ヂ", "漢字", "かな", "カタカナ",
                            "日本語", "文書", "予定", "。", "、", "word", "Note", "page",
                            "abc", "XYZ", " ", "  ", "\r\n", "1234", "svg"};
    std::mt19937 rng(12345);
    std::string s;
    s.reserve(kTextSize + 64);
    while (s.size() < kTextSize) s += pieces[rng() % std::size(pieces)];
    s.resize(kTextSize);
    return StrX_PaddedText(s);
  }();
  return padded;
}

// The text with the case's pattern planted 1000 bytes before the end.
std::string_view textFor(const Case& c, std::string& store) {
  if (c.planted.empty()) return text().view();
  store.assign(text().view());
  store.replace(store.size() - 1000, c.planted.size(), c.planted);
  store.append(StrX_SearchPadding, '\0');
  return std::string_view(store.data(), kTextSize);
}

void BM_StrXSearch(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  std::string store;
  const std::string_view t = textFor(c, store);
  const StrX_SearchPattern p = StrX_initSearch(c.pattern, c.caseSensitive);
  ptrdiff_t at = 0;
  for (auto _ : state) {
    at = StrX_search(p, t);
    benchmark::DoNotOptimize(at);
  }
  state.SetLabel(std::string(c.name) + " at=" + std::to_string(at));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTextSize);
}

template <class Searcher>
ptrdiff_t runStd(std::string_view t, const Searcher& s) {
  auto it = std::search(t.begin(), t.end(), s);
  return it == t.end() ? -1 : it - t.begin();
}

void BM_StdHorspool(benchmark::State& state) {
  const Case& c = kCases[state.range(0)];
  std::string store;
  const std::string_view t = textFor(c, store);
  ptrdiff_t at = 0;
  if (c.caseSensitive) {
    const std::boyer_moore_horspool_searcher s(c.pattern.begin(), c.pattern.end());
    for (auto _ : state) {
      at = runStd(t, s);
      benchmark::DoNotOptimize(at);
    }
  } else {
    const std::boyer_moore_horspool_searcher s(c.pattern.begin(), c.pattern.end(), FoldHash{},
                                               FoldEq{});
    for (auto _ : state) {
      at = runStd(t, s);
      benchmark::DoNotOptimize(at);
    }
  }
  state.SetLabel(std::string(c.name) + " at=" + std::to_string(at));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kTextSize);
}

BENCHMARK(BM_StrXSearch)->DenseRange(0, std::size(kCases) - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdHorspool)->DenseRange(0, std::size(kCases) - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
