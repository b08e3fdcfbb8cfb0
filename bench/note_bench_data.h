// The note of the note-file benchmarks: 20 pages of 500 figures each
// (rectangles, ellipses, diamonds, text boxes with line ends hanging on
// them, straight lines with arrows, cornered connectors and braces), with
// ASCII and Japanese text.
#pragma once

#include <memory>
#include <string>

#include "document/note/note_document.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

inline constexpr int kBenchPages = 20;
inline constexpr int kBenchFiguresPerPage = 500;

// Text boxes measure with `metrics` (which must outlive the note).
inline void BenchNote_fill(NoteDocument& doc, const TextMetrics& metrics) {
  int32_t number = 1;
  for (int p = 0; p < kBenchPages; ++p) {
    if (p > 0) doc.AddPage(AddPage_next);
    doc.workingSettings().setSize(1200, 1600);
    doc.currentPage()->setTitle("page " + std::to_string(p + 1));
    FigureList& list = doc.workingFigures();
    // 50 groups of 10 figures: two boxes joined by a line and a connector,
    // and six shapes.
    for (int g = 0; g < kBenchFiguresPerPage / 10; ++g) {
      const int32_t x = (g % 5) * 230 + 10;
      const int32_t y = (g / 5) * 150 + 10;
      auto box = [&](int32_t bx, int32_t by, const std::string& text) -> Text_Box& {
        auto t = std::make_unique<Text_Box>(&metrics);
        t->SetNumber(number++);
        t->SetBasePoint(bx, by);
        t->SetText(text);
        t->Layout(metrics, DrawContext{});
        return static_cast<Text_Box&>(list.append(std::move(t)));
      };
      Text_Box& a = box(x + 10, y + 20, "box " + std::to_string(g) + "\r\nsecond line");
      Text_Box& b = box(x + 150, y + 20, "\x93\xfa\x96\x7b\x8c\xea text");  // "日本語 text"
      auto line = std::make_unique<Line_Ex>();
      line->SetNumber(number++);
      line->SetPoints({x + 40, y + 30}, {x + 150, y + 30});
      line->SetArrow(2, 3);
      Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(line)));
      a.AttachEnd(0, l, 1);
      b.AttachEnd(0, l, 2);
      auto corner = std::make_unique<Line_Corner>();
      corner->SetNumber(number++);
      corner->setEnd(1, x + 20, y + 40);
      corner->setEnd(2, x + 160, y + 40);
      corner->setThrough(x + 90, y + 80);
      corner->setArrow(2, 1);
      list.append(std::move(corner));
      for (int s = 0; s < 5; ++s) {
        auto r = std::make_unique<Rect_Ex>();
        r->SetNumber(number++);
        r->shape = 1 + s % 4;
        r->x = x + s * 40;
        r->y = y + 90;
        r->width = 30 + s;
        r->height = 30;
        r->fillColour = 0xFFCCCC;
        if (s == 0) r->url = "http://example.com/" + std::to_string(g);
        list.append(std::move(r));
      }
      auto brace = std::make_unique<Matome>();
      brace->SetNumber(number++);
      brace->SetPoints({x + 200, y + 10}, {x + 210, y + 130});
      list.append(std::move(brace));
    }
  }
  doc.SelectPage(1);
}
