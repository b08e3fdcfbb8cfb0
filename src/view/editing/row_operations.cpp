#include "view/editing/row_operations.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "undo/undo_history.h"
#include "view/selection/view_selection.h"

namespace {

bool isCanvas(const CadPrim& f) { return f.GetKind() == FigureKind_Canvas; }

// A layout line that spans height y.
const Line_Ex* layoutLine(const CadPrim& f, int32_t y) {
  const auto* line = dynamic_cast<const Line_Ex*>(&f);
  if (line == nullptr || !line->layoutLine()) return nullptr;
  const int32_t top = std::min(line->point1().y, line->point2().y);
  const int32_t bottom = std::max(line->point1().y, line->point2().y);
  return top <= y && y <= bottom ? line : nullptr;
}

// The layout line crossing the start line within the limits: stretched
// instead of moved.
Line_Ex* stretched(CadPrim& f, const RowBand& band) {
  auto* line = dynamic_cast<Line_Ex*>(&f);
  if (line == nullptr || !line->layoutLine()) return nullptr;
  const Point32 a = line->point1(), b = line->point2();
  if (std::min(a.y, b.y) >= band.startY || std::max(a.y, b.y) <= band.startY) return nullptr;
  const int32_t x = std::min(a.x, b.x);
  return x >= band.left && x <= band.right ? line : nullptr;
}

}  // namespace

RowBand RowOps_band(const FigureList& page, Point32 press) {
  RowBand band;
  band.startY = press.y;
  int64_t left = INT64_MIN, right = INT64_MAX;
  int32_t bottom = std::numeric_limits<int32_t>::max();
  for (const auto& f : page) {
    const Line_Ex* line = layoutLine(*f, press.y);
    if (line == nullptr) continue;
    const int32_t x = line->point1().x;
    const int32_t lower = std::max(line->point1().y, line->point2().y);
    if (x <= press.x && x > left) {
      left = x;
      bottom = std::min(bottom, lower);
    }
    if (x > press.x && x < right) {
      right = x;
      bottom = std::min(bottom, lower);
    }
  }
  if (left != INT64_MIN) band.left = Figure_toInt32(left + 1);
  if (right != INT64_MAX) band.right = Figure_toInt32(right - 1);
  if (left != INT64_MIN || right != INT64_MAX) band.bottom = bottom;
  return band;
}

bool RowOps_inRegion(const CadPrim& f, const RowBand& band) {
  if (isCanvas(f)) return false;
  const Rect32 b = f.GetBounds();
  if (b.y >= band.bottom) return true;
  return b.y >= band.startY && int64_t{b.x} <= band.right && Rect32_right(b) >= band.left;
}

bool RowOps_finish(EditPage& page, const RowBand& band, int32_t releaseY, const RowOpsHooks& hooks) {
  ViewSelection& sel = page.selection;
  FigureList& list = sel.page();
  Canvas* canvas = page.canvas;
  if (canvas == nullptr) return false;
  // Above the page top counts as its top.
  const int32_t y = std::max(releaseY, 0);
  const int64_t d = int64_t{y} - band.startY;
  if (d < 7 && d >= -6) return false;
  const bool record = page.undo != nullptr && page.document != nullptr && page.pageNumber >= 0;
  std::optional<UndoGroup> group;
  if (record) group.emplace(*page.undo);
  std::unique_ptr<CadPrim> canvasBefore = Undo_copyOf(*canvas, &list);
  if (d < 0) {
    // The figures crossing the band are selected; they may go too.
    sel.DeselectAll(true);
    const Rect32 cut{0, y, std::max(1, canvas->width()), Figure_toInt32(-d)};
    for (const auto& f : list) {
      if (!isCanvas(*f) && f->IntersectsRect(cut) && !RowOps_inRegion(*f, band)) {
        sel.AddToSelection(*f);
      }
    }
    if (!sel.Selection().empty()) {
      if (hooks.sleep) hooks.sleep(500);
      const PromptAnswer a =
          hooks.ask ? hooks.ask(hooks.japanese ? RowOps_deleteQuestion : RowOps_deleteQuestionEnglish,
                                hooks.japanese ? RowOps_deleteTitle : RowOps_deleteTitleEnglish)
                    : PromptAnswer::No;
      if (a == PromptAnswer::Cancel) {
        sel.DeselectAll(true);
        return false;
      }
      if (a == PromptAnswer::Yes) {
        const std::vector<CadPrim*> gone = sel.Selection();
        sel.DeselectAll(true);
        for (CadPrim* f : gone) {
          if (record) page.undo->RecordDeletion(*f, *page.document, page.pageNumber);
          sel.MarkDirty(*f);
          std::unique_ptr<CadPrim> removed = list.remove(*f);
        }
      }
    }
    sel.DeselectAll(true);
  }
  // Everything of the region moves by the distance; layout lines crossing
  // the start line stretch.
  std::vector<CadPrim*> moved;
  for (const auto& owned : list) {
    CadPrim& f = *owned;
    Line_Ex* line = stretched(f, band);
    if (line == nullptr && !RowOps_inRegion(f, band)) continue;
    moved.push_back(&f);
  }
  // Whatever hangs on what moves follows it (lines on boxes, boxes on
  // lines): every figure that changes is part of the step.
  std::vector<std::unique_ptr<CadPrim>> before;
  if (record) before = Undo_copyFigures(list);
  int64_t lowest = 0;
  for (CadPrim* f : moved) {
    sel.MarkDirty(*f);
    if (Line_Ex* line = stretched(*f, band)) {
      const int32_t end = line->point1().y > line->point2().y ? 1 : 2;
      const Point32 p = line->GetHandlePoint(end);
      const int64_t to = std::max<int64_t>(int64_t{p.y} + d, band.startY);
      line->DragHandleTo(end, p.x, Figure_toInt32(to), false, 1, false);
    } else {
      f->MoveBy(0, Figure_toInt32(d));
    }
    sel.MarkDirty(*f);
  }
  for (const auto& owned : list) {
    if (!isCanvas(*owned)) lowest = std::max(lowest, Rect32_bottom(owned->GetBounds()));
  }
  if (d > 0) {
    canvas->setSize(canvas->width(), std::max<int64_t>(canvas->height(), lowest + 31));
  } else {
    canvas->setSize(canvas->width(), std::max<int64_t>(1, int64_t{canvas->height()} + d));
  }
  if (record) {
    page.undo->RecordChange(std::move(canvasBefore), *canvas, *page.document, page.pageNumber);
    Undo_recordChanged(*page.undo, std::move(before), *page.document, page.pageNumber);
  }
  return true;
}

void RowOps_drawGuide(Surface& surface, const DrawContext& ctx, const RowBand& band, int32_t mouseY,
                      int32_t canvasWidth) {
  const int32_t l = DrawContext_deviceX(ctx, std::max<int64_t>(band.left, 0));
  const int32_t r = DrawContext_deviceX(ctx, std::min<int64_t>(band.right, canvasWidth));
  for (int32_t y : {band.startY, mouseY}) {
    const int32_t dy = DrawContext_deviceY(ctx, y);
    for (int k = 0; k < 2; ++k) {
      ScopedPen pen(surface, Pen{PenStyle::DashDot, 1, k == 0 ? Colour(0xFFFFFF) : Colour(0)});
      surface.moveTo(l, dy + k);
      surface.lineTo(r, dy + k);
    }
  }
}
