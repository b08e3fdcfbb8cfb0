// Rendering a page the way the view does.
//
// BM_RenderPage: RenderPage of a 2000 x 2000 page with 5,000 figures (a
// third text boxes with Japanese text, a third rectangles and ellipses, a
// third lines) through the Qt surface: arg 100 = the whole page at 100 %
// into a page-sized image, arg 1 = 100 % into a 1280 x 800 window (its top
// left part, as the view's back buffer holds it), arg 0 = fit page into a
// 1280 x 800 window.
//
// BM_RenderDirtyRect: what a selection click costs the back buffer: one
// rectangle of the page (a 120 x 50 box in the middle) is selected and only
// its marked area (the box and its handle margin) is rendered again, the
// outside first, as the view does; arg 100 / 0 as above.
//
// BM_DragOneFigure: a recorded drag in the real view (1280 x 800 window at
// 100 %, offscreen): a press on one figure near the middle of the window,
// 100 mouse moves of 3 units each, a release.  Each move is a page hit
// test at the mouse and the view's whole work for the move: the state
// machine (snapping against every figure of the page, the move), then a
// synchronous repaint, which renders again only
// the area the figure left and entered.  The counter "move_ms_median" is the
// median time of one move; arg 0 drags a rectangle, arg 1 a text box.
//
// BM_RsvgConvert: the peer in the same run: "rsvg-convert" turning the same
// page, written as a one-page SVG, into a PNG of the same size (a child
// process; the time includes its start and writing the PNG, which
// RenderPage does not do).  The files are left in $TMPDIR (or /tmp).
//
// BM_OpenToFirstPaint: from opening the 10,000-figure note of the read
// benchmark (20 pages of 500 figures, written once per run with the Qt
// metrics) to its first page painted: NoteReader_read, then what a paint
// of a 1280 x 800 window does (the outside, then RenderPage at 100 %) into
// a back buffer of that size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "bench/bench_process.h"
#include "bench/note_bench_data.h"
#include "bench/render_page_data.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "document/reader/note_reader.h"
#include "document/writer/note_writer.h"
#include "figures/base/figure_list.h"
#include "figures/base/figure_kind.h"
#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text_metrics.h"
#include "view/child_view/child_view.h"
#include "view/geometry/view_geometry.h"
#include "view/render/render_page.h"
#include "view/selection/view_selection.h"

namespace {

struct BenchPage {
  QtTextMetrics metrics;
  FigureList figures;
  Canvas* canvas = nullptr;
  std::string svg;  // the same page for the peer (UTF-8)

  BenchPage() {
    canvas = static_cast<Canvas*>(&figures.append(std::make_unique<Canvas>()));
    canvas->setSize(kPage, kPage);
    RenderBench_fillPage(figures, metrics, svg);
  }
};

BenchPage& page() {
  static BenchPage p;
  return p;
}

// The geometry of the two cases and the image size they give.
ViewGeometry geometryFor(int mode) {
  ViewGeometry g;
  g.pageWidth = g.pageHeight = kPage;
  if (mode == 100) {
    g.clientWidth = g.clientHeight = kPage;
  } else if (mode == 1) {
    g.clientWidth = 1280;
    g.clientHeight = 800;
  } else {
    g.clientWidth = 1280;
    g.clientHeight = 800;
    ViewGeometry_setMode(g, ViewZoom_FitPage,
                         ViewGeometry_pageExtent(&page().figures, kPage, kPage));
  }
  return g;
}

// One paint of the whole page; `shared`: with one text cache over the
// paints, as the view keeps it, else a surface's own cache each paint.
void renderPage(benchmark::State& state, bool shared) {
  BenchPage& p = page();
  const ViewGeometry g = geometryFor(static_cast<int>(state.range(0)));
  QImage image(g.clientWidth, g.clientHeight, QImage::Format_RGB32);
  ViewPageSource source;
  source.figures = &p.figures;
  source.canvas = p.canvas;
  QtSurfaceTextCache texts;
  for (auto _ : state) {
    QtSurface surface(image, shared ? &texts : nullptr);
    View_renderPage(surface, g, source, {});
  }
  state.counters["zoom"] = g.zoom;
  state.counters["pixels"] = double(g.clientWidth) * g.clientHeight;
}

void BM_RenderPage(benchmark::State& state) { renderPage(state, true); }
BENCHMARK(BM_RenderPage)->Arg(100)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RenderPageFreshTexts(benchmark::State& state) { renderPage(state, false); }
BENCHMARK(BM_RenderPageFreshTexts)
    ->Arg(100)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RenderDirtyRect(benchmark::State& state) {
  BenchPage& p = page();
  const ViewGeometry g = geometryFor(static_cast<int>(state.range(0)));
  QImage image(g.clientWidth, g.clientHeight, QImage::Format_RGB32);
  ViewPageSource source;
  source.figures = &p.figures;
  source.canvas = p.canvas;
  {
    QtSurface surface(image);
    View_drawOutside(surface, g, *p.canvas);
    View_renderPage(surface, g, source, {});
  }
  // A rectangle near the middle of the list (figure 2500 is one).
  CadPrim* picked = nullptr;
  for (size_t i = kFigures / 2; picked == nullptr; ++i) {
    CadPrim& f = p.figures.at(i);
    if (f.GetKind() == FigureKind_Rect) picked = &f;
  }
  picked->SetSelected(true);
  // The area the selection marks dirty, in client pixels, one more on each
  // side for the truncation of the conversion.
  const Rect32 b = picked->GetBounds();
  const int32_t m = ViewSelection_markMargin(g.zoom);
  const Point32 a = ViewGeometry_canvasToClient(g, {b.x - m, b.y - m});
  const Point32 z = ViewGeometry_canvasToClient(g, {b.x + b.w + m + 1, b.y + b.h + m + 1});
  ViewRenderOptions options;
  options.area = SurfaceRect{a.x - 1, a.y - 1, z.x + 2, z.y + 2};
  for (auto _ : state) {
    QtSurface surface(image);
    {
      SurfaceSaver saver(surface);
      surface.setClipRect(options.area);
      View_drawOutside(surface, g, *p.canvas);
    }
    View_renderPage(surface, g, source, options);
  }
  picked->SetSelected(false);
  state.counters["zoom"] = g.zoom;
  state.counters["pixels"] = double(options.area->right - options.area->left) *
                             (options.area->bottom - options.area->top);
}
BENCHMARK(BM_RenderDirtyRect)->Arg(100)->Arg(0)->Unit(benchmark::kMicrosecond)->UseRealTime();

// The benchmark page shown in a view.
struct BenchHost : ChildViewHost {
  ViewPageSource CurrentPage() override {
    ViewPageSource s;
    s.figures = &page().figures;
    s.canvas = page().canvas;
    return s;
  }
  int32_t CurrentPageNumber() override { return 1; }
  bool TurnPage(int) override { return false; }
  void GoToPage(int32_t) override {}
  void SwitchBackPage() override {}
  void GridChanged(const Canvas&) override {}
  bool Japanese() const override { return true; }
  uint32_t WindowId() override { return 0; }
  const TextMetrics* Metrics() override { return &page().metrics; }
};

void BM_DragOneFigure(benchmark::State& state) {
  BenchPage& p = page();
  BenchHost host;
  CChildView view(host);
  view.resize(1280 + 2 * view.frameWidth(), 800 + 2 * view.frameWidth());
  view.show();
  QApplication::processEvents();
  view.PageChanged();
  view.RedrawNow();
  QApplication::processEvents();
  // A figure of the wanted kind near the middle of the window, on top.
  const FigureKind kind = state.range(0) == 0 ? FigureKind_Rect : FigureKind_Text;
  CadPrim* picked = nullptr;
  for (size_t i = p.figures.size() - 1; i > 0 && picked == nullptr; --i) {
    CadPrim& f = p.figures.at(i);
    const Rect32 b = f.GetBounds();
    if (f.GetKind() == kind && b.x > 500 && b.x < 700 && b.y > 300 && b.y < 400) picked = &f;
  }
  if (picked == nullptr) {
    state.SkipWithError("no figure to drag");
    return;
  }
  const Rect32 b = picked->GetBounds();
  const Point32 start{b.x + b.w / 2, b.y + b.h / 2};
  QWidget* vp = view.viewport();
  auto send = [vp](QEvent::Type type, Point32 at, Qt::MouseButtons buttons) {
    const QPointF local(at.x, at.y);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, local, vp->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  };
  std::vector<double> moves;
  QElapsedTimer clock;
  int direction = 1;
  for (auto _ : state) {
    const Point32 from = view.CanvasToClient(start);
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Point32 at = from;
    for (int i = 1; i <= 100; ++i) {
      at = {from.x + direction * 3 * i, from.y + direction * i};
      clock.start();
      // The page hit test a press or the hover makes at the mouse, then
      // the move itself and its repaint.
      benchmark::DoNotOptimize(
          view.selection()->HitTestPage(view.ClientToCanvas(at).x, view.ClientToCanvas(at).y,
                                        100, 0));
      send(QEvent::MouseMove, at, Qt::LeftButton);
      vp->repaint();
      moves.push_back(static_cast<double>(clock.nsecsElapsed()) / 1e6);
    }
    send(QEvent::MouseButtonRelease, at, Qt::NoButton);
    // The next drag goes back.
    direction = -direction;
  }
  std::sort(moves.begin(), moves.end());
  state.counters["move_ms_median"] = moves.empty() ? 0 : moves[moves.size() / 2];
  state.counters["move_ms_max"] = moves.empty() ? 0 : moves.back();
  state.counters["part_renders"] = view.partRenderCount();
  state.counters["full_renders"] = view.renderCount();
}
BENCHMARK(BM_DragOneFigure)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RsvgConvert(benchmark::State& state) {
  const ViewGeometry g = geometryFor(static_cast<int>(state.range(0)));
  const std::string folder = Bench_tempFolder();
  const std::string svg = folder + "/render_page_bench.svg", png = folder + "/render_page_bench.png";
  FileX_writeWhole(svg, page().svg);
  const int w = g.zoom * kPage / 100;
  const std::string command = "rsvg-convert -w " + std::to_string(w) + " -h " + std::to_string(w) +
                              " -o '" + png + "' '" + svg + "'";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("rsvg-convert failed (is it installed?)");
      break;
    }
  }
  state.counters["zoom"] = g.zoom;
}
BENCHMARK(BM_RsvgConvert)->Arg(100)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

class BenchSaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }
  QtTextMetrics metrics_;
};

const std::string& readWorkFolder() {
  static const std::string w = [] {
    std::string p = Bench_tempFolder() + "/zerbin-bench-paint-work";
    std::system(("mkdir -p '" + p + "'").c_str());
    return p;
  }();
  return w;
}

// The note of the read benchmark, written once per run.
const std::string& readNoteFile() {
  static const std::string path = [] {
    std::string p = Bench_tempFolder() + "/zerbin-bench-paint-note.svg";
    NoteDocument doc(readWorkFolder());
    doc.NewDocument(900, false);
    BenchSaveHost host;
    BenchNote_fill(doc, *host.metrics());
    NoteWriter_save(doc, p, true, host);
    doc.ClearDocument();
    return p;
  }();
  return path;
}

void BM_OpenToFirstPaint(benchmark::State& state) {
  const std::string& path = readNoteFile();
  QtTextMetrics metrics;
  AppCounters counters;
  NoteReadOptions options(counters);
  options.metrics = &metrics;
  QImage buffer(1280, 800, QImage::Format_RGB32);
  size_t figures = 0, pageFigures = 0;
  for (auto _ : state) {
    std::optional<NoteDocument> opened;
    opened.emplace(readWorkFolder());
    NoteDocument& doc = *opened;
    NoteReader_read(doc, 901, path, options);
    NotePage& first = *doc.currentPage();
    ViewGeometry g;
    g.clientWidth = buffer.width();
    g.clientHeight = buffer.height();
    g.pageWidth = first.settings().width();
    g.pageHeight = first.settings().height();
    ViewPageSource source;
    source.figures = &first.figures;
    source.canvas = &first.settings();
    {
      QtSurface surface(buffer);
      View_drawOutside(surface, g, first.settings());
      View_renderPage(surface, g, source, {});
    }
    state.PauseTiming();
    figures = 0;
    for (size_t i = 0; i < doc.pageCount(); ++i) figures += doc.pageAt(i).figureCount();
    pageFigures = first.figureCount();
    doc.ClearDocument();
    opened.reset();  // closing is no part of opening
    state.ResumeTiming();
  }
  state.counters["figures"] = double(figures);
  state.counters["page_figures"] = double(pageFigures);
}
BENCHMARK(BM_OpenToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QApplication>(argc, argv); }
