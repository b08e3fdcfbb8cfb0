// Page images from the command line, as whole processes.
//
// BM_PageImageProcess: "zerbin -cp" of the 5,000-figure page of the
// rendering benchmark (render_page_data.h), saved as a one-page note, into
// a 2000 x 2000 PNG.  BM_RsvgConvertProcess: the peer in the same run,
// "rsvg-convert" of the same page as a one-page SVG into a PNG of the same
// size.  Goal: "-cp" takes at most half the peer's time.
//
// BM_TiledPagePeakMemory: "zerbin -cp -max_size=4000x4000 -min_zoom=100" of
// a 20,000 x 20,000 page (2,500 rectangles over all of it): 36 tiles of
// 4000 x 4000.  The counters give the child's peak resident memory
// (ru_maxrss of wait4), that of the same program making one 100 x 100
// image (the process itself), one tile's pixels (RGB32) and the whole
// page's.  Goal: the peak is about the process plus one tile.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_conversion.h"
#include "bench/bench_main.h"
#include "bench/render_page_data.h"
#include "core/filex/filex.h"

namespace {

std::string folder() { return Bench_tempFolder(); }

// A note of one page of W x H with the figures `fill` adds.
bool writeNote(const std::string& path, int w, int h,
               const std::function<void(FigureList&, const TextMetrics&)>& fill) {
  return Bench_writeNote(path, folder() + "/zerbin-bench-image-work", 5,
                         [&](NoteDocument& doc, const TextMetrics& metrics) {
                           doc.workingSettings().setSize(w, h);
                           fill(doc.workingFigures(), metrics);
                         });
}

std::vector<std::string> zerbin(std::vector<std::string> words) {
  return Bench_zerbin(ZERBIN_PROGRAM_PATH, "image", std::move(words));
}

const std::string& pageNote() {
  static const std::string path = [] {
    const std::string p = folder() + "/zerbin-bench-image-page.svg";
    std::string svg;
    writeNote(p, kPage, kPage, [&svg](FigureList& list, const TextMetrics& metrics) {
      RenderBench_fillPage(list, metrics, svg);
    });
    FileX_writeWhole(folder() + "/zerbin-bench-image-page-plain.svg", svg);
    return p;
  }();
  return path;
}

void BM_PageImageProcess(benchmark::State& state) {
  const std::string note = pageNote(), png = folder() + "/zerbin-bench-image-page.png";
  Bench_runConversion(state, zerbin({"-cp", note, png}), "zerbin -cp failed");
  state.counters["png_kB"] = double(Bench_fileSize(png)) / 1e3;
}
BENCHMARK(BM_PageImageProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_RsvgConvertProcess(benchmark::State& state) {
  pageNote();
  const std::string svg = folder() + "/zerbin-bench-image-page-plain.svg";
  const std::string png = folder() + "/zerbin-bench-image-page-rsvg.png";
  const std::string size = std::to_string(kPage);
  Bench_runConversion(state, {"rsvg-convert", "-w", size, "-h", size, "-o", png, svg},
                      "rsvg-convert failed (is it installed?)");
  state.counters["png_kB"] = double(Bench_fileSize(png)) / 1e3;
}
BENCHMARK(BM_RsvgConvertProcess)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

void BM_TiledPagePeakMemory(benchmark::State& state) {
  constexpr int kBig = 20000, kTile = 4000;
  const std::string big = folder() + "/zerbin-bench-image-big.svg";
  const std::string small = folder() + "/zerbin-bench-image-small.svg";
  const bool written =
      writeNote(big, kBig, kBig,
                [](FigureList& list, const TextMetrics&) {
                  for (int i = 0; i < 2500; ++i) {
                    auto r = std::make_unique<Rect_Ex>();
                    r->x = (i % 50) * 400 + 50;
                    r->y = (i / 50) * 400 + 50;
                    r->width = 200;
                    r->height = 120;
                    r->fillColour = Colour_rgb((i * 53) & 0xFF, (i * 97) & 0xFF, 90);
                    list.append(std::move(r));
                  }
                }) &&
      writeNote(small, 100, 100, [](FigureList&, const TextMetrics&) {});
  if (!written) {
    state.SkipWithError("writing the notes failed");
    return;
  }
  const std::string out = folder() + "/zerbin-bench-image-big/tile.png";
  long peak = 0, baseline = 0;
  for (auto _ : state) {
    if (Bench_run(zerbin({"-cp", "-max_size=" + std::to_string(kTile) + "x" + std::to_string(kTile),
                    "-min_zoom=100", big, out}),
            &peak) != 0) {
      state.SkipWithError("zerbin -cp of the big page failed");
      return;
    }
  }
  Bench_run(zerbin({"-cp", small, folder() + "/zerbin-bench-image-small.png"}), &baseline);
  state.counters["peak_MB"] = double(peak) / 1024;
  state.counters["process_MB"] = double(baseline) / 1024;
  state.counters["tile_MB"] = double(kTile) * kTile * 4 / (1024 * 1024);
  state.counters["page_MB"] = double(kBig) * kBig * 4 / (1024 * 1024);
}
BENCHMARK(BM_TiledPagePeakMemory)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QApplication>(argc, argv); }
