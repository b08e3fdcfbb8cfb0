// The page of the rendering benchmarks: 5,000 figures on a 2000 x 2000
// page (a third text boxes with Japanese text, a third rectangles and
// ellipses, a third lines), appended to `figures`, and the same page as a
// one-page SVG (UTF-8) for the peer, rsvg-convert.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "core/strx/codepage.h"
#include "figures/base/figure_list.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

inline constexpr int kFigures = 5000;
inline constexpr int kPage = 2000;

inline void RenderBench_fillPage(FigureList& figures, const TextMetrics& metrics, std::string& svg) {
  svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + std::to_string(kPage) +
        "\" height=\"" + std::to_string(kPage) + "\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
  DrawContext ctx;
  char buf[512];
  for (int i = 0; i < kFigures; ++i) {
    const int x = (i * 37) % (kPage - 150), y = (i * 91) % (kPage - 60);
    const Colour fill = Colour_rgb((i * 53) & 0xFF, (i * 97) & 0xFF, (i * 31) & 0xFF);
    const char* rgb = "rgb(%d,%d,%d)";
    char colour[32];
    std::snprintf(colour, sizeof colour, rgb, Colour_red(fill), Colour_green(fill), Colour_blue(fill));
    switch (i % 3) {
      case 0: {
        auto box = std::make_unique<Text_Box>(&metrics);
        box->SetText(i % 2 ? "日本語のテキスト" : "見出しと本文");
        box->SetBasePoint(x, y);
        box->fillColour = fill;
        box->Layout(metrics, ctx);
        const Rect32 b = box->GetBounds();
        std::snprintf(buf, sizeof buf,
                      "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"%s\" stroke=\"black\"/>"
                      "<text x=\"%d\" y=\"%d\" font-family=\"IPAPGothic\" font-size=\"16\">%s</text>\n",
                      b.x, b.y, b.w, b.h, colour, b.x + 4, b.y + 18,
                      i % 2 ? "日本語のテキスト" : "見出しと本文");
        // The literal above is code page 932 bytes: the SVG wants UTF-8.
        svg += Cp932_toUtf8(buf);
        figures.append(std::move(box));
        break;
      }
      case 1: {
        auto r = std::make_unique<Rect_Ex>();
        r->x = x;
        r->y = y;
        r->width = 120;
        r->height = 50;
        r->fillColour = fill;
        r->shape = i % 2 ? RectShape_Rectangle : RectShape_Ellipse;
        if (i % 2) {
          std::snprintf(buf, sizeof buf,
                        "<rect x=\"%d\" y=\"%d\" width=\"120\" height=\"50\" fill=\"%s\" stroke=\"black\"/>\n",
                        x, y, colour);
        } else {
          std::snprintf(buf, sizeof buf,
                        "<ellipse cx=\"%d\" cy=\"%d\" rx=\"60\" ry=\"25\" fill=\"%s\" stroke=\"black\"/>\n",
                        x + 60, y + 25, colour);
        }
        svg += buf;
        figures.append(std::move(r));
        break;
      }
      default: {
        auto line = std::make_unique<Line_Ex>();
        line->SetPoints({x, y}, {x + 140, y + 40});
        line->SetColour(fill);
        line->SetWidth(1 + i % 3);
        std::snprintf(buf, sizeof buf,
                      "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" stroke-width=\"%d\"/>\n",
                      x, y, x + 140, y + 40, colour, 1 + i % 3);
        svg += buf;
        figures.append(std::move(line));
        break;
      }
    }
  }
  svg += "</svg>\n";
}
