// The keyword search over 5,000 index files of 20 keywords each: building
// the cache from nothing, a query answered from the cache (in memory, and
// from the cache file in a new engine), and `grep -rl` over the same files.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/filex/filex_info.h"
#include "core/kwdsearch/kwdsearch.h"
#include "core/nestfind/nestfind.h"

namespace {

constexpr int fileCount = 5000;
constexpr int keywordsPerFile = 20;
// Found in one file of every hundred.
constexpr const char* rareWord = "needle";

struct Corpus {
  std::string folder;
  Corpus() {
    const char* tmp = std::getenv("TMPDIR");
    folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/kwdsearch_bench_" +
             std::to_string(getpid());
    std::filesystem::create_directories(folder);
    for (int f = 0; f < fileCount; ++f) {
      char name[128];
      std::snprintf(name, sizeof name, "/note%05d_keywords_%08X-0000-4000-8000-%012X.xml", f,
                    0x10000000u + static_cast<unsigned>(f), static_cast<unsigned>(f));
      std::ofstream out(folder + name, std::ios::binary);
      out << "<?xml version=\"1.0\" encoding=\"Shift-JIS\" ?>\r\n\r\n"
          << "<keywords xmlns:xlink=\"http://www.w3.org/1999/xlink\"\r\n  xlink:type=\"simple\"\r\n"
          << "  xlink:href=\"/home/user/notes/note" << f << ".svg\">\r\n\r\n";
      for (int page = 1; page <= 2; ++page) {
        out << "<page id=\"" << page << "\" title=\"Page " << page << " of note " << f << "\">\r\n";
        for (int k = 0; k < keywordsPerFile / 2; ++k) {
          int n = (page - 1) * (keywordsPerFile / 2) + k;
          out << "<kw href=\"#t" << n << "\"" << (n % 3 == 0 ? " level=2" : "") << ">topic"
              << (f * 7 + n) % 997 << " keyword " << n;
          if (f % 100 == 0 && n == 5) out << " " << rareWord;
          out << "</kw>\r\n";
        }
        out << "</page>\r\n";
      }
      out << "\r\n</keywords>\r\n";
    }
  }
  ~Corpus() { std::filesystem::remove_all(folder); }
  std::string cachePath() const { return folder + "/" + KwdSearch_cacheName; }
};

Corpus& corpus() {
  static Corpus c;
  return c;
}

int search(KwdSearch& engine, const char* word) {
  KwdSearch_Query q;
  q.words = {word};
  int hits = 0;
  KwdSearch_Callback cb;
  cb.hit = [&](const KwdSearch_Hit&) { return ++hits, true; };
  engine.search(q, cb);
  return hits;
}

std::string grepCommand() { return std::string("grep -rl ") + rareWord + " " + corpus().folder + " > /dev/null"; }

void BM_BuildCache(benchmark::State& state) {
  Corpus& c = corpus();
  for (auto _ : state) {
    std::filesystem::remove(c.cachePath());
    KwdSearch engine(c.folder);
    benchmark::DoNotOptimize(search(engine, rareWord));
    engine.saveCache();
  }
}
BENCHMARK(BM_BuildCache)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_QueryCached(benchmark::State& state) {
  Corpus& c = corpus();
  KwdSearch engine(c.folder);
  search(engine, rareWord);
  int hits = 0;
  for (auto _ : state) hits = search(engine, rareWord);
  state.counters["hits"] = hits;
}
BENCHMARK(BM_QueryCached)->Unit(benchmark::kMillisecond);

void BM_QueryFromCacheFile(benchmark::State& state) {
  Corpus& c = corpus();
  {
    KwdSearch engine(c.folder);
    search(engine, rareWord);
    engine.saveCache();
  }
  for (auto _ : state) {
    KwdSearch engine(c.folder);
    benchmark::DoNotOptimize(search(engine, rareWord));
  }
}
BENCHMARK(BM_QueryFromCacheFile)->Unit(benchmark::kMillisecond);

// The part of every update that the cache cannot save: listing the folder
// and examining each file's time.
void BM_WalkAndStat(benchmark::State& state) {
  Corpus& c = corpus();
  for (auto _ : state) {
    NestFindGrow walk;
    walk.open(c.folder, false);
    int64_t sum = 0;
    while (walk.next()) sum += FileX_fileTime(walk.path());
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_WalkAndStat)->Unit(benchmark::kMillisecond);

void BM_WalkOnly(benchmark::State& state) {
  Corpus& c = corpus();
  for (auto _ : state) {
    NestFindGrow walk;
    walk.open(c.folder, false);
    int n = 0;
    while (walk.next()) ++n;
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_WalkOnly)->Unit(benchmark::kMillisecond);

void BM_Grep(benchmark::State& state) {
  std::string cmd = grepCommand();
  for (auto _ : state) benchmark::DoNotOptimize(std::system(cmd.c_str()));
}
BENCHMARK(BM_Grep)->Unit(benchmark::kMillisecond);

// Median-free mean of `runs` timings, in milliseconds.
template <class Fn>
double timeMs(int runs, Fn&& fn) {
  auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < runs; ++i) fn();
  std::chrono::duration<double, std::milli> d = std::chrono::steady_clock::now() - t0;
  return d.count() / runs;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  corpus();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();

  // The goal: a query answered from the cache at least 10 times faster than
  // grep over the same files.
  KwdSearch engine(corpus().folder);
  search(engine, rareWord);
  std::string cmd = grepCommand();
  double query = timeMs(10, [&] { search(engine, rareWord); });
  double grep = timeMs(10, [&] { (void)std::system(cmd.c_str()); });
  std::printf("cached query %.2f ms, grep -rl %.2f ms, ratio %.1f (goal >= 10)\n", query, grep,
              grep / query);
  return 0;
}
