// Saving a note of 20 pages x 500 figures, against copying the saved file
// with cp(1) in the same run.  Counters: figures per second, MB/s of the
// file written, and the peak memory the save added (VmHWM after resetting
// it once the note is built, minus that size).  The saved note is left in
// $TMPDIR (or /tmp) as zerbin-bench-note.svg.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "bench/bench_process.h"
#include "bench/note_bench_data.h"
#include "document/writer/note_bytes.h"
#include "document/writer/note_writer.h"
#include "support/fixed_metrics.h"

namespace {


const std::string& benchNotePath() {
  static const std::string path = Bench_tempFolder() + "/zerbin-bench-note.svg";
  return path;
}



class BenchHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }

 private:
  FixedMetrics metrics_;
};


void BM_SaveNote(benchmark::State& state) {
  const std::string work = Bench_tempFolder() + "/zerbin-bench-work";
  std::system(("mkdir -p '" + work + "'").c_str());
  NoteDocument doc(work);
  doc.NewDocument(1, false);
  BenchHost host;
  BenchNote_fill(doc, *host.metrics());
  // What the save needs shows as growth of the peak.
  const long before = Bench_resetPeak();
  for (auto _ : state) {
    if (NoteWriter_save(doc, benchNotePath(), true, host) != 0) {
      state.SkipWithError("save failed");
      break;
    }
  }
  const long peakAdded = Bench_statusKb("VmHWM") - before;
  const long bytes = Bench_fileSize(benchNotePath());
  const double figures = double(kBenchPages) * kBenchFiguresPerPage;
  state.counters["figures/s"] =
      benchmark::Counter(figures * double(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["MB/s"] = benchmark::Counter(double(bytes) * double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
  state.counters["file_MB"] = double(bytes) / 1e6;
  state.counters["peak_added_MB"] = double(peakAdded) / 1024.0;
  doc.ClearDocument();
}
BENCHMARK(BM_SaveNote)->Unit(benchmark::kMillisecond)->UseRealTime();

// The parts of a save: the document text alone, and its UTF-16 form.
void BM_DocumentText(benchmark::State& state) {
  const std::string work = Bench_tempFolder() + "/zerbin-bench-work";
  NoteDocument doc(work);
  doc.NewDocument(2, false);
  BenchHost host;
  BenchNote_fill(doc, *host.metrics());
  bool wide = false;
  size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = NoteWriter_documentText(doc, benchNotePath(), host, wide);
    bytes = text.size();
    if (state.range(0)) benchmark::DoNotOptimize(NoteBytes_encode(text, wide));
  }
  state.counters["text_MB"] = double(bytes) / 1e6;
  doc.ClearDocument();
}
BENCHMARK(BM_DocumentText)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// cp of the file the save wrote: the bar the save is measured against.
void BM_CopySavedNote(benchmark::State& state) {
  const std::string copy = benchNotePath() + ".copy";
  const std::string command = "cp '" + benchNotePath() + "' '" + copy + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("cp failed");
      break;
    }
  }
  std::remove(copy.c_str());
  const long bytes = Bench_fileSize(benchNotePath());
  state.counters["MB/s"] = benchmark::Counter(double(bytes) * double(state.iterations()) / 1e6,
                                              benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CopySavedNote)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
