// Copy and paste of 5,000 figures (a third of them text boxes, a third
// lines hanging on the boxes, a third rectangles) in a main window
// (offscreen, 1280 x 800), goal: each at most 100 ms.
//
// BM_Copy: the copy command on the 5,000 selected figures: the figure
// block, the texts and the offer of the picture and the SVG, which are
// made only when a program asks for them (BM_CopyPicture measures that).
// BM_Paste: the paste command of that clipboard into the page: the figures
// read from the block, numbered, linked, added, recorded as one undo step,
// selected and the page repainted; the undo that takes them away again is
// not timed.
// BM_CopyPicture: the PNG another program gets when it asks.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <chrono>
#include <memory>
#include <string>

#include "app/clipboard/frame_clipboard.h"
#include "app/mainframe/main_frame.h"
#include "bench/bench_main.h"
#include "bench/bench_process.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "view/history/view_history.h"
#include "view/selection/view_selection.h"

namespace {

struct Frame {
  std::unique_ptr<CMainFrame> frame;
  std::vector<CadPrim*> figures;
  Frame() {
    CMainFrameOptions o;
    o.workFolder = Bench_tempFolder();
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->NewNote();
    FigureList& list = frame->document().workingFigures();
    int32_t number = 500000;
    for (int i = 0; i < 1667; ++i) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(++number);
      r->x = (i % 40) * 30;
      r->y = 2000 + (i / 40) * 30;
      r->width = 20;
      r->height = 20;
      figures.push_back(&list.append(std::move(r)));
    }
    for (int i = 0; i < 1667; ++i) {
      auto b = std::make_unique<Text_Box>(&frame->metrics());
      b->SetNumber(++number);
      b->SetText("box " + std::to_string(i));
      b->SetBasePoint((i % 20) * 60, (i / 20) * 24);
      b->Layout(frame->metrics(), DrawContext{});
      CadPrim& box = list.append(std::move(b));
      auto l = std::make_unique<Line_Ex>();
      l->SetNumber(++number);
      l->SetPoints({(i % 20) * 60, (i / 20) * 24}, {(i % 20) * 60 + 30, (i / 20) * 24 + 40});
      CadPrim& line = list.append(std::move(l));
      box.AttachEnd(0, line, 1);
      figures.push_back(&box);
      figures.push_back(&line);
    }
    frame->pageShown();
    frame->resize(1280, 800);
    frame->show();
    frame->view().m_Sleep = [](int) {};
    QApplication::processEvents();
  }
  void selectAll() {
    frame->view().selection()->SelectFigures(figures, figures.front());
  }
};

Frame& frame() { return Bench_fixture<Frame>(); }

void BM_Copy(benchmark::State& state) {
  Frame& f = frame();
  f.selectAll();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    f.frame->clipboard().Copy();
    state.SetIterationTime(Bench_seconds(t0));
  }
  state.counters["figures"] = double(f.figures.size());
  state.counters["block_bytes"] =
      double(QGuiApplication::clipboard()->mimeData()->data("application/x-zerbin").size());
}
BENCHMARK(BM_Copy)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_Paste(benchmark::State& state) {
  Frame& f = frame();
  f.selectAll();
  f.frame->clipboard().Copy();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    f.frame->clipboard().Paste();
    f.frame->view().RedrawNow();
    state.SetIterationTime(Bench_seconds(t0));
    state.PauseTiming();
    const size_t pasted = f.frame->view().selection()->Selection().size();
    ViewHistory_undo(f.frame->view());
    state.counters["pasted"] = double(pasted);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_Paste)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_CopyPicture(benchmark::State& state) {
  Frame& f = frame();
  f.selectAll();
  for (auto _ : state) {
    f.frame->clipboard().Copy();
    const auto t0 = std::chrono::steady_clock::now();
    const QByteArray png = QGuiApplication::clipboard()->mimeData()->data("image/png");
    state.SetIterationTime(Bench_seconds(t0));
    state.counters["png_bytes"] = double(png.size());
  }
}
BENCHMARK(BM_CopyPicture)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  return Bench_qtMain<QApplication>(argc, argv, Bench_fixtureFree<Frame>);
}
