// The Word conversion script from the command line, as whole processes.
//
// BM_WordScriptProcess: "zerbin -cw" of the note of the read benchmark (20
// pages of 500 figures, note_bench_data.h) into a conversion script.
// BM_PublicCopyProcess: "zerbin -cs" of the same note in the same run.
// Goal: "-cw" takes at most twice the time of "-cs".
#include <benchmark/benchmark.h>

#include <QApplication>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "bench/note_bench_data.h"
#include "document/writer/note_writer.h"
#include "platform/text/qt_text_metrics.h"

namespace {

class BenchHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  QtTextMetrics metrics_;
};

std::string folder() { return Bench_tempFolder(); }

std::vector<std::string> zerbin(std::vector<std::string> words) {
  return Bench_zerbin(ZERBIN_PROGRAM_PATH, "office", std::move(words));
}

const std::string& benchNote() {
  static const std::string path = [] {
    const std::string p = folder() + "/zerbin-bench-office-note.svg";
    const std::string work = folder() + "/zerbin-bench-office-work";
    std::system(("mkdir -p '" + work + "'").c_str());
    BenchHost host;
    NoteDocument doc(work);
    doc.NewDocument(7, false);
    BenchNote_fill(doc, *host.metrics());
    NoteWriter_save(doc, p, true, host);
    doc.ClearDocument();
    return p;
  }();
  return path;
}

void runBench(benchmark::State& state, const char* option, const std::string& out) {
  const std::string note = benchNote();
  Bench_childCpuMs() = 0;
  for (auto _ : state) {
    if (Bench_run(zerbin({option, note, out})) != 0) {
      state.SkipWithError("the conversion failed");
      break;
    }
  }
  state.counters["child_cpu_ms"] = Bench_childCpuMs() / double(state.iterations());
}

void BM_WordScriptProcess(benchmark::State& state) {
  runBench(state, "-cw", folder() + "/zerbin-bench-office-out/note.wsf");
}
BENCHMARK(BM_WordScriptProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_PublicCopyProcess(benchmark::State& state) {
  runBench(state, "-cs", folder() + "/zerbin-bench-office-out/public.svg");
}
BENCHMARK(BM_PublicCopyProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
