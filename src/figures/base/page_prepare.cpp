#include "figures/base/page_prepare.h"

#include "figures/text/text_box.h"

void FigureList_prepareForWrite(FigureList& list, const TextMetrics& metrics,
                                const DrawContext& ctx) {
  for (const auto& figure : list)
    if (auto* box = dynamic_cast<Text_Box*>(figure.get())) box->Layout(metrics, ctx);
}
