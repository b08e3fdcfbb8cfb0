// Reading the note of the save benchmark (20 pages x 500 figures, about
// 5 MB in the UTF-16 form): the whole reader (tokenizer, figures built,
// line ends connected, ink files written) against `xmllint --noout` on the
// same file in the same run.  Counters: figures per second, MB/s of the
// file, and the peak memory a read adds (VmHWM growth after releasing free
// memory), also as a multiple of the file's size.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/bench_process.h"
#include "bench/note_bench_data.h"
#include "document/reader/note_reader.h"
#include "document/writer/note_writer.h"
#include "support/fixed_metrics.h"

namespace {




class BenchHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  FixedMetrics metrics_;
};

const std::string& workFolder() {
  static const std::string w = [] {
    std::string p = Bench_tempFolder() + "/zerbin-bench-read-work";
    std::system(("mkdir -p '" + p + "'").c_str());
    return p;
  }();
  return w;
}

// The note file, written once per run.
const std::string& noteFile() {
  static const std::string path = [] {
    std::string p = Bench_tempFolder() + "/zerbin-bench-read-note.svg";
    NoteDocument doc(workFolder());
    doc.NewDocument(900, false);
    BenchHost host;
    BenchNote_fill(doc, *host.metrics());
    NoteWriter_save(doc, p, true, host);
    doc.ClearDocument();
    return p;
  }();
  return path;
}

void BM_ReadNote(benchmark::State& state) {
  const std::string& path = noteFile();
  FixedMetrics metrics;
  AppCounters counters;
  NoteReadOptions options(counters);
  options.metrics = &metrics;
  const long before = Bench_resetPeak();
  size_t figures = 0;
  for (auto _ : state) {
    NoteDocument doc(workFolder());
    NoteReader_read(doc, 901, path, options);
    figures = 0;
    for (size_t i = 0; i < doc.pageCount(); ++i) figures += doc.pageAt(i).figureCount();
    doc.ClearDocument();
  }
  const long peak = Bench_statusKb("VmHWM") - before;
  const double bytes = double(Bench_fileSize(path));
  state.counters["figures"] = double(figures);
  state.counters["figures/s"] =
      benchmark::Counter(double(figures) * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["MB/s"] =
      benchmark::Counter(bytes * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
  state.counters["file_MB"] = bytes / 1e6;
  state.counters["peak_added_MB"] = double(peak) / 1024.0;
  state.counters["peak/file"] = double(peak) * 1024.0 / bytes;
}
BENCHMARK(BM_ReadNote)->Unit(benchmark::kMillisecond)->UseRealTime();

// libxml2's bare parse of the same file (fork and exec included).
void BM_XmllintNoout(benchmark::State& state) {
  const std::string command = "xmllint --noout '" + noteFile() + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("xmllint failed");
      break;
    }
  }
  state.counters["MB/s"] = benchmark::Counter(double(Bench_fileSize(noteFile())) *
                                                  double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_XmllintNoout)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
