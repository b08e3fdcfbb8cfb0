// The picture of some figures on their own (the clipboard's image and a
// drag's): drawn at 100 % on white as a page image draws them, cut to the
// figures' bounds with a small margin.
#pragma once

#include <QImage>

#include "core/surface/text_metrics.h"
#include "figures/base/figure_list.h"

// The area of the list's figures (the canvas left out); empty when none.
Rect32 View_figuresBounds(FigureList& list, const TextMetrics& metrics);
// The picture of `list` (a Canvas first, then the figures, links
// resolved), scaled down to at most `maxSide` pixels a side.  Null when
// the list has no figure.
QImage View_renderFigures(FigureList& list, const TextMetrics& metrics, int32_t maxSide = 4096);
