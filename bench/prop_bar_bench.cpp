// The property bar of a main window (offscreen, 1280 x 800) on a page of
// 1,000 rectangles, all selected, each measured against the same work done
// without the bar in the same run.
//
// BM_SelectAll/bar:0 and /bar:1: select all (Ctrl+A's command) with the bar
// hidden and shown; the difference is the bar's refresh for 1,000 figures
// of one kind (goal: at most 5 ms).
// BM_FillColour/bar:0: the fill colour set on the 1,000 figures by hand as
// one undo step (before copies, SetProperty, records) and the page
// repainted; /bar:1: the same through a click on the bar's fill line with
// the colour dialog answered, the list refilled (goal: at most 50 ms).
// BM_UndoFillColour: the undo command on that step, the page repainted and the bar
// refilled (goal: at most 50 ms); the redo is not timed.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>

#include <chrono>
#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/propbar/prop_bar.h"
#include "bench/bench_main.h"
#include "bench/bench_process.h"
#include "figures/rect/rect_ex.h"
#include "platform/text/qt_text.h"
#include "undo/undo_history.h"
#include "view/dialogs/input_dialogs.h"
#include "view/history/view_history.h"
#include "view/selection/view_selection.h"

namespace {

struct Frame {
  std::unique_ptr<CMainFrame> frame;
  Frame() {
    CMainFrameOptions o;
    o.workFolder = Bench_tempFolder();
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->NewNote();
    FigureList& list = frame->document().workingFigures();
    for (int i = 0; i < 1000; ++i) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(1000 + i);
      r->x = (i % 40) * 15;
      r->y = (i / 40) * 18;
      r->width = 12;
      r->height = 14;
      r->fillColour = 0xFFFFFF;
      list.append(std::move(r));
    }
    frame->pageShown();
    frame->resize(1280, 800);
    frame->show();
    frame->view().m_Sleep = [](int) {};
    QApplication::processEvents();
  }
  CZerbinPropBar& bar() { return frame->propBar(); }
  int fillLine() {
    for (int i = 0; i < bar().list().count(); ++i) {
      if (QtText_toCp932(bar().list().item(i)->text()).rfind("塗りつぶし色", 0) == 0) return i;
    }
    return -1;
  }
};

Frame& frame() { return Bench_fixture<Frame>(); }

void BM_SelectAll(benchmark::State& state) {
  Frame& f = frame();
  f.bar().setVisible(state.range(0) != 0);
  QApplication::processEvents();
  for (auto _ : state) {
    f.frame->view().selection()->DeselectAll();
    const auto t0 = std::chrono::steady_clock::now();
    f.frame->view().SelectAll();
    state.SetIterationTime(Bench_seconds(t0));
  }
  state.counters["selected"] = double(f.frame->view().selection()->Selection().size());
  state.counters["lines"] = double(f.bar().list().count());
  f.bar().setVisible(true);
}
BENCHMARK(BM_SelectAll)->ArgName("bar")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_FillColour(benchmark::State& state) {
  Frame& f = frame();
  f.frame->view().SelectAll();
  QApplication::processEvents();
  const int line = f.fillLine();
  if (line < 0) {
    state.SkipWithError("no fill line");
    return;
  }
  uint32_t colour = 0;
  CColorDialog::exec = [&colour](CColorDialog& d) {
    d.setCurrentColor(QColor(colour & 0xFF, (colour >> 8) & 0xFF, 0));
    return int(QDialog::Accepted);
  };
  for (auto _ : state) {
    ++colour;
    const auto t0 = std::chrono::steady_clock::now();
    if (state.range(0) != 0) {
      f.bar().EditLine(line);
    } else {
      const std::vector<CadPrim*>& sel = f.frame->view().selection()->Selection();
      NoteDocument& doc = f.frame->document();
      std::vector<std::unique_ptr<CadPrim>> before;
      for (const CadPrim* c : sel) before.push_back(Undo_copyOf(*c, &doc.workingFigures()));
      const std::string value = "rgb(" + std::to_string(colour & 0xFF) + "," +
                                std::to_string((colour >> 8) & 0xFF) + ",0)";
      for (CadPrim* c : sel) c->SetProperty(19 - 5, value, {});
      UndoGroup group(f.frame->undo());
      for (size_t i = 0; i < sel.size(); ++i) {
        f.frame->undo().RecordChange(std::move(before[i]), *sel[i], doc, doc.currentPageNumber());
      }
    }
    f.frame->view().RedrawNow();
    QApplication::processEvents();  // the title, the commands and the bar follow
    state.SetIterationTime(Bench_seconds(t0));
  }
  CColorDialog::exec = nullptr;
  state.counters["figures"] = double(f.frame->view().selection()->Selection().size());
}
BENCHMARK(BM_FillColour)->ArgName("bar")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_UndoFillColour(benchmark::State& state) {
  Frame& f = frame();
  f.frame->view().SelectAll();
  const int line = f.fillLine();
  uint32_t colour = 0;
  CColorDialog::exec = [&colour](CColorDialog& d) {
    d.setCurrentColor(QColor(0, colour & 0xFF, 0));
    return int(QDialog::Accepted);
  };
  for (auto _ : state) {
    state.PauseTiming();
    ++colour;
    f.bar().EditLine(line);
    state.ResumeTiming();
    const auto t0 = std::chrono::steady_clock::now();
    ViewHistory_undo(f.frame->view());
    f.frame->view().RedrawNow();
    QApplication::processEvents();
    state.SetIterationTime(Bench_seconds(t0));
  }
  CColorDialog::exec = nullptr;
}
BENCHMARK(BM_UndoFillColour)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  return Bench_qtMain<QApplication>(argc, argv, Bench_fixtureFree<Frame>);
}
