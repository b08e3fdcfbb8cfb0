// Undo and redo of one step that deleted 1,000 figures of a page (text
// boxes, rectangles and the lines between the boxes, the lines hanging on
// the boxes), as the delete command records it: one deletion per figure in
// one group.  Goal: at most 50 ms for the undo and for the redo.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "document/note/note_document.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"
#include "undo/undo_history.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

// A page of 1,000 figures: 400 text boxes, 200 lines between pairs of
// them, 400 rectangles; all of them deleted in one step.
struct DeletedPage {
  testing_support::TempDir work;
  NoteDocument doc{work.path()};
  UndoHistory history;

  DeletedPage() {
    doc.NewDocument(3, false);
    FigureList& list = doc.workingFigures();
    int32_t number = 0;
    for (int i = 0; i < 400; ++i) {
      auto r = std::make_unique<Rect_Ex>();
      r->SetNumber(++number);
      r->x = (i % 20) * 50;
      r->y = (i / 20) * 40;
      r->width = 40;
      r->height = 30;
      list.append(std::move(r));
    }
    for (int i = 0; i < 200; ++i) {
      Text_Box* pair[2];
      for (int k = 0; k < 2; ++k) {
        auto b = std::make_unique<Text_Box>(&metrics());
        b->SetNumber(++number);
        b->SetText("box " + std::to_string(i));
        b->SetBasePoint(30 + k * 300, 20 + i * 30);
        b->Layout(metrics(), DrawContext{});
        pair[k] = static_cast<Text_Box*>(&list.append(std::move(b)));
      }
      auto l = std::make_unique<Line_Ex>();
      l->SetNumber(++number);
      l->SetPoints({30, 20 + i * 30}, {330, 20 + i * 30});
      CadPrim& line = list.append(std::move(l));
      pair[0]->AttachEnd(0, line, 1);
      pair[1]->AttachEnd(0, line, 2);
    }
    UndoGroup group(history);
    while (list.size() > 1) {
      CadPrim& f = list.at(list.size() - 1);
      history.RecordDeletion(f, doc, 1);
      list.remove(f).reset();
    }
  }
};

DeletedPage& page() {
  static DeletedPage p;
  return p;
}

void BM_UndoDeletionOf1000Figures(benchmark::State& state) {
  DeletedPage& p = page();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    p.history.Undo(p.doc);
    const auto t1 = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    if (p.doc.workingFigures().size() != 1001) state.SkipWithError("not restored");
    p.history.clearRestored();
    p.history.Redo(p.doc);
  }
}
BENCHMARK(BM_UndoDeletionOf1000Figures)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RedoDeletionOf1000Figures(benchmark::State& state) {
  DeletedPage& p = page();
  for (auto _ : state) {
    p.history.Undo(p.doc);
    p.history.clearRestored();
    const auto t0 = std::chrono::steady_clock::now();
    p.history.Redo(p.doc);
    const auto t1 = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(t1 - t0).count());
    if (p.doc.workingFigures().size() != 1) state.SkipWithError("not deleted");
  }
}
BENCHMARK(BM_RedoDeletionOf1000Figures)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
