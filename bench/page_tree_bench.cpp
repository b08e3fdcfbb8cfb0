// The page tree of a main window (offscreen, 1280 x 800), on the
// 10,000-figure note of the read benchmark (20 pages of 500 figures,
// written once per run with the Qt metrics).
//
// BM_SwitchPage: one page switch as the tree's selection does it (the view
// lets go of the page, the note selects the next one, the tree, the title
// bar and the commands follow) and the repaint of the window with the new
// page (RedrawNow: the full render of the back buffer and the copy to the
// screen).  The pages are visited in turn.
//
// BM_MoveSubtree: page 2 with its nine child pages (ten pages, each with
// 500 figures and both ink layer files holding an ink group of 100 strokes)
// dropped behind the last page and back, one move per iteration, as the
// tree's drop does it: the records and the ink layer files move, the tree
// is filled anew, the undo step is recorded and the page is shown and
// repainted.
#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/pages/page_commands.h"
#include "bench/bench_main.h"
#include "bench/bench_process.h"
#include "bench/note_bench_data.h"
#include "core/filex/filex.h"
#include "document/writer/note_writer.h"
#include "platform/text/qt_text_metrics.h"

namespace {

class BenchSaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  QtTextMetrics metrics_;
};

const std::string& workFolder() {
  static const std::string w = [] {
    std::string p = Bench_tempFolder() + "/zerbin-bench-pages-work";
    std::system(("mkdir -p '" + p + "'").c_str());
    return p;
  }();
  return w;
}

// An ink group of 100 strokes for a layer file.
std::string inkGroup(const char* type) {
  std::string g = std::string("\t<g id=\"zerbin-ink\" type=\"") + type + "\">\r\n";
  for (int i = 0; i < 100; ++i) {
    g += "\t<g id=\"zerbin-stroke\" style=\"stroke:rgb(0,0,255)\">\r\n";
    g += "\t<line x1=\"" + std::to_string(i) + "\" y1=\"10\" x2=\"" + std::to_string(i + 40) +
         "\" y2=\"90\"\r\n\t\tstyle=\"stroke-width:1.0\"/>\r\n\t</g>\r\n";
  }
  return g + "\t</g>\r\n";
}

// The note: 20 pages of 500 figures; with `subtree`, pages 3 to 11 are the
// children of page 2 and every page has ink.
std::string noteFile(bool subtree) {
  const std::string path =
      Bench_tempFolder() + (subtree ? "/zerbin-bench-pages-tree.svg" : "/zerbin-bench-pages.svg");
  NoteDocument doc(workFolder());
  doc.NewDocument(910, false);
  BenchSaveHost host;
  BenchNote_fill(doc, *host.metrics());
  if (subtree) {
    NotePage* parent = doc.page(2);
    // Pages 11, 10, ... 3 each become the first child of page 2: the one
    // not yet moved is always page 11 now.
    for (int i = 0; i < 9; ++i) {
      NotePage* child = doc.page(11);
      doc.MovePageInTree({doc.numberOf(child), doc.numberOf(parent), PageDrop_under});
    }
    for (int32_t n = 1; n <= doc.lastPageNumber(); ++n) {
      FileX_writeWhole(doc.inkLayerPath(n, InkLayer_back), inkGroup("back"));
      FileX_writeWhole(doc.inkLayerPath(n, InkLayer_front), inkGroup("front"));
    }
  }
  NoteWriter_save(doc, path, true, host);
  doc.ClearDocument();
  return path;
}

std::unique_ptr<CMainFrame> openWindow(const std::string& path) {
  CMainFrameOptions o;
  o.workFolder = workFolder();
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  frame->resize(1280, 800);
  frame->LoadNote(path, false);
  frame->show();
  QApplication::processEvents();
  frame->view().RedrawNow();
  return frame;
}

void BM_SwitchPage(benchmark::State& state) {
  static const std::string path = noteFile(false);
  std::unique_ptr<CMainFrame> frame = openWindow(path);
  PageCommands& pages = frame->pages();
  const int32_t last = frame->document().lastPageNumber();
  int32_t next = 1;
  int renders = frame->view().renderCount();
  for (auto _ : state) {
    next = next % last + 1;
    pages.GoToPage(next);
    frame->view().RedrawNow();
  }
  state.counters["pages"] = last;
  state.counters["renders"] = frame->view().renderCount() - renders;
  state.counters["page_figures"] = double(frame->document().currentPage()->figureCount());
}
BENCHMARK(BM_SwitchPage)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MoveSubtree(benchmark::State& state) {
  static const std::string path = noteFile(true);
  std::unique_ptr<CMainFrame> frame = openWindow(path);
  NoteDocument& doc = frame->document();
  PageCommands& pages = frame->pages();
  NotePage* block = doc.page(2);
  NotePage* first = doc.page(1);
  bool away = true;
  for (auto _ : state) {
    NotePage* target = away ? &doc.pageAt(doc.pageCount() - 1) : first;
    if (!pages.MovePageInTree(block, target, PageDrop_after)) {
      state.SkipWithError("the block did not move");
      break;
    }
    frame->view().RedrawNow();
    away = !away;
  }
  int32_t size = 1;
  while (doc.page(doc.numberOf(block) + size) && doc.isInSubtree(doc.numberOf(block),
                                                                 doc.numberOf(block) + size))
    ++size;
  state.counters["block_pages"] = size;
  state.counters["ink_bytes_per_page"] = double(2 * inkGroup("front").size());
}
BENCHMARK(BM_MoveSubtree)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QApplication>(argc, argv); }
