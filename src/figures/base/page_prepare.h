// Preparing the figures of one page for writing.  Figures never measure
// while they are written, so the writer lays each page out first.
#pragma once

#include "core/surface/text_metrics.h"
#include "figures/base/draw_context.h"
#include "figures/base/figure_list.h"

// Lays out every text box of the list with `metrics` and `ctx` (the
// context's pageNumber is the number a "pagenum" box shows, its
// defaultLineSpacing the spacing a box takes when it first has several
// lines).  The boxes come first: straight lines and cornered connectors
// compute their visible ends and routes from the frames of the boxes they
// hang on when they are written, so once every box is laid out their ends
// are correct too.
void FigureList_prepareForWrite(FigureList& list, const TextMetrics& metrics,
                                const DrawContext& ctx);
