// Opening a drawing of another program: 1.6 MB of paths (7,000 curved,
// filled, half-transparent shapes in translated groups, as illustration
// programs write them).
//
// BM_ForeignDrawingOpenAndDraw: "zerbin -cp" of the drawing, a whole
// process that reads the file into figures and draws its page into a PNG.
// BM_ForeignDrawingRsvgConvert: the peer in the same run, "rsvg-convert" of
// the same file into a PNG.  Goal: the program takes at most twice the
// peer's time.  BM_ForeignDrawingRead: only the reading, in this process.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdio>
#include <random>
#include <string>

#include "bench/bench_conversion.h"
#include "bench/bench_main.h"
#include "core/filex/filex.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"

namespace {

std::string folder() { return Bench_tempFolder(); }

const std::string& drawing() {
  static const std::string path = [] {
    const std::string p = folder() + "/zerbin-bench-foreign.svg";
    std::mt19937 random(7);
    auto uniform = [&](double lo, double hi) {
      return std::uniform_real_distribution<double>(lo, hi)(random);
    };
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
        "width=\"2000\" height=\"2000\" viewBox=\"0 0 2000 2000\">\n";
    char buf[512];
    while (svg.size() < 1600000) {
      std::snprintf(buf, sizeof buf, "<g transform=\"translate(%d,%d)\">\n",
                    int(uniform(0, 1800)), int(uniform(0, 1800)));
      svg += buf;
      for (int k = 0; k < 20; ++k) {
        std::snprintf(buf, sizeof buf, "<path d=\"M%.2f,%.2f", uniform(0, 200), uniform(0, 200));
        svg += buf;
        for (int c = 0; c < 3; ++c) {
          std::snprintf(buf, sizeof buf, " C%.2f,%.2f %.2f,%.2f %.2f,%.2f", uniform(0, 200),
                        uniform(0, 200), uniform(0, 200), uniform(0, 200), uniform(0, 200),
                        uniform(0, 200));
          svg += buf;
        }
        std::snprintf(buf, sizeof buf,
                      " Z\" fill=\"#%06x\" stroke=\"#%06x\" stroke-width=\"%.1f\" "
                      "fill-opacity=\"0.8\"/>\n",
                      unsigned(uniform(0, 0xFFFFFF)), unsigned(uniform(0, 0xFFFFFF)),
                      uniform(0.5, 3));
        svg += buf;
      }
      svg += "</g>\n";
    }
    svg += "</svg>\n";
    FileX_writeWhole(p, svg);
    return p;
  }();
  return path;
}

void BM_ForeignDrawingOpenAndDraw(benchmark::State& state) {
  const std::string png = folder() + "/zerbin-bench-foreign.png";
  Bench_runConversion(state,
                      Bench_zerbin(ZERBIN_PROGRAM_PATH, "foreign", {"-cp", drawing(), png}),
                      "zerbin -cp failed");
  state.counters["svg_kB"] = double(Bench_fileSize(drawing())) / 1e3;
}
BENCHMARK(BM_ForeignDrawingOpenAndDraw)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_ForeignDrawingRsvgConvert(benchmark::State& state) {
  const std::string png = folder() + "/zerbin-bench-foreign-rsvg.png";
  Bench_runConversion(state, {"rsvg-convert", "-o", png, drawing()},
                      "rsvg-convert failed (is it installed?)");
}
BENCHMARK(BM_ForeignDrawingRsvgConvert)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_ForeignDrawingRead(benchmark::State& state) {
  const std::string work = folder() + "/zerbin-bench-foreign-work";
  FileX_makeFolders(work + "/", false);
  AppCounters counters;
  NoteReadOptions options(counters);
  size_t figures = 0;
  for (auto _ : state) {
    NoteDocument doc(work);
    NoteReader_read(doc, 7, drawing(), options);
    figures = doc.page(1)->figureCount();
    doc.ClearDocument();
  }
  state.counters["figures"] = double(figures);
}
BENCHMARK(BM_ForeignDrawingRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QApplication>(argc, argv); }
