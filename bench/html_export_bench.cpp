// The HTML export from the command line, as whole processes.
//
// BM_HtmlExportProcess: "zerbin -cv" of the note of the read benchmark (20
// pages of 500 figures, note_bench_data.h) into VML-HTML pages.
// BM_PublicCopyProcess: "zerbin -cs" of the same note in the same run.
// Goal: "-cv" takes at most twice the time of "-cs".
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

double& childCpuMs() {
  static double ms = 0;
  return ms;
}

int run(std::vector<std::string> words) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZERBIN_NONINTERACTIVE", "1", 1);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  struct rusage usage {};
  wait4(pid, &st, 0, &usage);
  childCpuMs() += 1000.0 * double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                  double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

std::vector<std::string> zerbin(std::vector<std::string> words) {
  std::vector<std::string> all = {ZERBIN_PROGRAM_PATH,
                                  "-t",
                                  "-j",
                                  "-service_name=BrevloHtmlBench_" + std::to_string(getpid()),
                                  "-echo=" + folder() + "/zerbin-bench-html-echo.txt",
                                  "-prof=" + folder() + "/zerbin-bench-html-profile"};
  all.insert(all.end(), words.begin(), words.end());
  return all;
}

const std::string& benchNote() {
  static const std::string path = [] {
    const std::string p = folder() + "/zerbin-bench-html-note.svg";
    const std::string work = folder() + "/zerbin-bench-html-work";
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
  childCpuMs() = 0;
  for (auto _ : state) {
    if (run(zerbin({option, note, out})) != 0) {
      state.SkipWithError("the conversion failed");
      break;
    }
  }
  state.counters["child_cpu_ms"] = childCpuMs() / double(state.iterations());
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

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
