// What the benchmarks of conversions run as processes share: notes written
// with the platform's text metrics, and the loop that runs the program and
// counts its processor time.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_process.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "platform/text/qt_text_metrics.h"

// The save host of the notes: text measured with the platform's fonts.
class Bench_SaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  QtTextMetrics metrics_;
};

// Saves a new note (document number `number`, working files in `work`,
// made when missing) at `path` with what `fill` puts into it; false when
// the note could not be written.
inline bool Bench_writeNote(const std::string& path, const std::string& work, int32_t number,
                            const std::function<void(NoteDocument&, const TextMetrics&)>& fill) {
  std::system(("mkdir -p '" + work + "'").c_str());
  Bench_SaveHost host;
  NoteDocument doc(work);
  doc.NewDocument(number, false);
  fill(doc, *host.metrics());
  const bool ok = NoteWriter_save(doc, path, true, host) == 0;
  doc.ClearDocument();
  return ok;
}

// Runs the command line `words` once an iteration (`failure`: the error
// when it fails) and counts the program's processor time an iteration.
inline void Bench_runConversion(benchmark::State& state, const std::vector<std::string>& words,
                                const char* failure = "the conversion failed") {
  Bench_childCpuMs() = 0;
  for (auto _ : state) {
    if (Bench_run(words) != 0) {
      state.SkipWithError(failure);
      break;
    }
  }
  state.counters["child_cpu_ms"] = Bench_childCpuMs() / double(state.iterations());
}
