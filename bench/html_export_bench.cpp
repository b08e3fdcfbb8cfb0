// The HTML export from the command line, as whole processes.
//
// BM_HtmlExportProcess: "zerbin -cv" of the note of the read benchmark (20
// pages of 500 figures, note_bench_data.h) into VML-HTML pages.
// BM_PublicCopyProcess: "zerbin -cs" of the same note in the same run.
// Goal: "-cv" takes at most twice the time of "-cs".
#include <benchmark/benchmark.h>

#include <QApplication>

#include <string>
#include <vector>

#include "bench/bench_conversion.h"
#include "bench/bench_main.h"
#include "bench/note_bench_data.h"

namespace {

std::string folder() { return Bench_tempFolder(); }

std::vector<std::string> zerbin(std::vector<std::string> words) {
  return Bench_zerbin(ZERBIN_PROGRAM_PATH, "html", std::move(words));
}

const std::string& benchNote() {
  static const std::string path = [] {
    const std::string p = folder() + "/zerbin-bench-html-note.svg";
    Bench_writeNote(p, folder() + "/zerbin-bench-html-work", 7, BenchNote_fill);
    return p;
  }();
  return path;
}

void runBench(benchmark::State& state, const char* option, const std::string& out) {
  Bench_runConversion(state, zerbin({option, benchNote(), out}));
}

void BM_HtmlExportProcess(benchmark::State& state) {
  runBench(state, "-cv", folder() + "/zerbin-bench-html-out/note.html");
}
BENCHMARK(BM_HtmlExportProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_PublicCopyProcess(benchmark::State& state) {
  runBench(state, "-cs", folder() + "/zerbin-bench-html-out/public.svg");
}
BENCHMARK(BM_PublicCopyProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QApplication>(argc, argv); }
