// The view's painter of pen ink (steps 3 and 5 of a render).
#pragma once

#include "ink/ink_engine.h"
#include "view/child_view/child_view.h"

// Steps 3 and 5 of a render: the engine's ink and its marks.
class CChildView::InkPainter final : public ViewInkPainter {
 public:
  explicit InkPainter(InkEngine& engine) : engine_(engine) {}
  void DrawInk(Surface& surface, const DrawContext& ctx, int32_t pageNumber) override {
    engine_.drawPage(surface, ctx, pageNumber);
  }
  void DrawInkSelection(Surface& surface, const DrawContext& ctx) override {
    engine_.setZoom(ctx.zoomX);
    engine_.drawMarks(surface, ctx);
  }

 private:
  InkEngine& engine_;
};
