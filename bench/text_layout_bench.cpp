// Measuring text with the real Qt metrics.
//
// BM_LayoutTextBoxes: laying out 5,000 text boxes (Japanese and Latin, one
// and two lines) with QtTextMetrics, against the same layout measured by Qt
// directly (a new QFont and QFontMetrics per call, every prefix of a chunk
// measured whole), in the same run.  Arg 0: the direct peer; 1: a new
// QtTextMetrics per layout of all boxes (as one conversion); 2: one kept
// QtTextMetrics (as the view).
//
// BM_DrawTextBoxes: painting them through the Qt surface.
//
// BM_PublicCopy: "zerbin -cs" run as a child process on a note of 20 pages
// with 5,000 text boxes among 10,000 figures (texts:1), on the same note
// without its text boxes (texts:0) and with the boxes' texts empty
// (texts:2).  child_cpu_ms is the processor time of one run.  The notes are
// left in $TMPDIR (or /tmp).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_main.h"
#include "bench/bench_process.h"
#include "core/strx/codepage.h"
#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"
#include "support/fixed_metrics.h"

namespace {

constexpr int kPages = 20;
constexpr int kBoxesPerPage = 250;  // 5,000 text boxes
constexpr int kShapesPerPage = 250;

// What the metrics did before they kept fonts: Qt asked afresh every call.
class DirectQtMetrics final : public TextMetrics {
 public:
  DirectQtMetrics() : device_(1, 1, QImage::Format_RGB32) {
    device_.setDotsPerMeterX(3780);
    device_.setDotsPerMeterY(3780);
  }
  FontMetrics fontMetrics(const FontSpec& font) const override {
    QFontMetrics fm(QtTextMetrics_font(font), &device_);
    FontMetrics m;
    m.ascent = fm.ascent();
    m.descent = fm.descent();
    m.height = m.ascent + m.descent;
    m.lineHeight = m.height + (fm.leading() > 0 ? fm.leading() : 0);
    return m;
  }
  TextExtent textExtent(const FontSpec& font, std::string_view cp932) const override {
    QFontMetrics fm(QtTextMetrics_font(font), &device_);
    return {fm.horizontalAdvance(QtText_fromCp932(cp932)), fm.ascent() + fm.descent()};
  }
  std::vector<int> caretPositions(const FontSpec& font, std::string_view cp932) const override {
    QFontMetrics fm(QtTextMetrics_font(font), &device_);
    std::vector<int> pos(cp932.size() + 1, 0);
    QString prefix;
    size_t i = 0;
    while (i < cp932.size()) {
      const size_t n = Cp932_charLen(cp932, i);
      const int x = fm.horizontalAdvance(prefix);
      for (size_t k = 0; k < n; ++k) pos[i + k] = x;
      prefix += QtText_fromCp932(cp932.substr(i, n));
      i += n;
    }
    pos[cp932.size()] = fm.horizontalAdvance(prefix);
    return pos;
  }

 private:
  QImage device_;
};

// The text of box n: Japanese or Latin, some of two lines, some in another
// face or bold.
std::string boxText(int n) {
  switch (n % 4) {
    case 0: return "日本語のテキスト 第" + std::to_string(n) + "項";
    case 1: return "Box " + std::to_string(n) + ": the quick brown fox";
    case 2: return "会議の議事録（" + std::to_string(n) + "）\r\n次回：ｶﾀｶﾅ・予定を確認";
    default: return "Item " + std::to_string(n) + "\r\n見出しと本文 mixed text";
  }
}

// Most boxes in the default face at 12 points; every fifth a bold heading
// at 16 points; some in the fixed-pitch gothic and in Arial.
void styleBox(Text_Box& t, int n) {
  t.fontFace = n % 8 == 3 ? "ＭＳ ゴシック" : n % 8 == 6 ? "Arial" : "ＭＳ Ｐゴシック";
  t.fontSize = n % 5 == 0 ? 16 : 12;
  t.bold = n % 5 == 0;
}

std::vector<std::unique_ptr<Text_Box>> makeBoxes(const TextMetrics* metrics) {
  std::vector<std::unique_ptr<Text_Box>> boxes;
  for (int n = 0; n < kPages * kBoxesPerPage; ++n) {
    auto t = std::make_unique<Text_Box>(metrics);
    t->SetNumber(n + 1);
    t->SetBasePoint(10 + (n % 5) * 230, 20 + (n / 5 % 50) * 30);
    t->SetText(boxText(n));
    styleBox(*t, n);
    boxes.push_back(std::move(t));
  }
  return boxes;
}

void BM_LayoutTextBoxes(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  DirectQtMetrics direct;
  QtTextMetrics kept;
  int64_t width = 0;
  size_t count = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::unique_ptr<Text_Box>> boxes = makeBoxes(&kept);
    count = boxes.size();
    state.ResumeTiming();
    std::unique_ptr<QtTextMetrics> fresh;
    const TextMetrics* m = &kept;
    if (mode == 0) m = &direct;
    if (mode == 1) m = (fresh = std::make_unique<QtTextMetrics>()).get();
    for (auto& b : boxes) {
      b->Layout(*m, DrawContext{});
      width += b->textWidth;
    }
  }
  benchmark::DoNotOptimize(width);
  state.counters["boxes/s"] =
      benchmark::Counter(double(count) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LayoutTextBoxes)
    ->ArgName("cached")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Painting the 5,000 laid-out boxes as the view paints them (character by
// character) on one 1200 x 1600 image: the base of a frame of the view.
void BM_DrawTextBoxes(benchmark::State& state) {
  QtTextMetrics metrics;
  std::vector<std::unique_ptr<Text_Box>> boxes = makeBoxes(&metrics);
  DrawContext ctx;
  ctx.clientWidth = 1200;
  ctx.clientHeight = 1600;
  for (auto& b : boxes) b->Layout(metrics, ctx);
  QImage image(1200, 1600, QImage::Format_RGB32);
  for (auto _ : state) {
    image.fill(Qt::white);
    QtSurface surface(image);
    for (auto& b : boxes) b->Draw(surface, ctx);
  }
  state.counters["boxes/s"] = benchmark::Counter(double(boxes.size()) * double(state.iterations()),
                                                 benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DrawTextBoxes)->Unit(benchmark::kMillisecond)->UseRealTime();

class BenchHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }

 private:
  FixedMetrics metrics_;
};

// What the text boxes of the note hold.
enum BenchTexts { kNoBoxes = 0, kWithTexts = 1, kEmptyTexts = 2 };

std::string notePath(int texts) {
  static const char* names[] = {"/zerbin-bench-notexts.svg", "/zerbin-bench-texts.svg",
                                "/zerbin-bench-emptytexts.svg"};
  return Bench_tempFolder() + names[texts];
}

// The note of 20 pages: 250 text boxes (none, with their texts, or with
// empty texts) and 250 rectangles and lines on each.
bool writeNote(int texts) {
  const std::string work = Bench_tempFolder() + "/zerbin-bench-work";
  std::system(("mkdir -p '" + work + "'").c_str());
  BenchHost host;
  NoteDocument doc(work);
  doc.NewDocument(3, false);
  int32_t number = 1;
  for (int p = 0; p < kPages; ++p) {
    if (p > 0) doc.AddPage(AddPage_next);
    doc.workingSettings().setSize(1200, 1600);
    FigureList& list = doc.workingFigures();
    for (int k = 0; k < kBoxesPerPage && texts != kNoBoxes; ++k) {
      const int n = p * kBoxesPerPage + k;
      auto t = std::make_unique<Text_Box>(host.metrics());
      t->SetNumber(number++);
      t->SetBasePoint(10 + (k % 5) * 230, 20 + (k / 5) * 30);
      t->SetText(texts == kWithTexts ? boxText(n) : std::string());
      styleBox(*t, n);
      t->Layout(*host.metrics(), DrawContext{});
      list.append(std::move(t));
    }
    for (int k = 0; k < kShapesPerPage; ++k) {
      const int32_t x = 10 + (k % 10) * 110, y = 20 + (k / 10) * 60;
      if (k % 2) {
        auto r = std::make_unique<Rect_Ex>();
        r->SetNumber(number++);
        r->shape = 1 + k % 4;
        r->x = x;
        r->y = y;
        r->width = 40;
        r->height = 30;
        list.append(std::move(r));
      } else {
        auto l = std::make_unique<Line_Ex>();
        l->SetNumber(number++);
        l->SetPoints({x, y}, {x + 80, y + 20});
        l->SetArrow(2, 3);
        list.append(std::move(l));
      }
    }
  }
  doc.SelectPage(1);
  const bool ok = NoteWriter_save(doc, notePath(texts), true, host) == 0;
  doc.ClearDocument();
  return ok;
}

// Runs "zerbin -cs" on the note; the exit status.
int publicCopy(int texts) {
  const std::string folder = Bench_tempFolder();
  std::vector<std::string> words = {ZERBIN_PROGRAM_PATH,
                                    "-t",
                                    "-j",
                                    "-service_name=BrevloBench_" + std::to_string(getpid()),
                                    "-echo=" + folder + "/zerbin-bench-echo.txt",
                                    "-prof=" + folder + "/zerbin-bench-profile",
                                    "-cs",
                                    notePath(texts),
                                    notePath(texts) + ".public.svg"};
  return Bench_run(std::move(words));
}

void BM_PublicCopy(benchmark::State& state) {
  const int texts = static_cast<int>(state.range(0));
  if (!writeNote(texts)) {
    state.SkipWithError("writing the note failed");
    return;
  }
  if (publicCopy(texts) != 0) {  // the profile is made once, outside the timing
    state.SkipWithError("zerbin -cs failed");
    return;
  }
  double childCpuBefore = 0;
  {
    struct rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    childCpuBefore = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  for (auto _ : state) {
    if (publicCopy(texts) != 0) {
      state.SkipWithError("zerbin -cs failed");
      break;
    }
  }
  state.counters["note_MB"] = double(Bench_fileSize(notePath(texts))) / 1e6;
  state.counters["text_boxes"] = texts != kNoBoxes ? kPages * kBoxesPerPage : 0;
  // Processor time of the child processes per run (the machine may be
  // shared: wall time waits for other work too).
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  state.counters["child_cpu_ms"] = 1000.0 * (cpu - childCpuBefore) / double(state.iterations());
}
BENCHMARK(BM_PublicCopy)
    ->ArgName("texts")
    ->Arg(kNoBoxes)
    ->Arg(kWithTexts)
    ->Arg(kEmptyTexts)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) { return Bench_qtMain<QGuiApplication>(argc, argv); }
