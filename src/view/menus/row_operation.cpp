#include "view/menus/row_operation.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "document/note/note_document.h"
#include "figures/base/figure_kind.h"
#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "undo/undo_history.h"

namespace {

const Line_Ex* layoutLine(const CadPrim& f) {
  const auto* l = dynamic_cast<const Line_Ex*>(&f);
  return l != nullptr && l->layoutLine() ? l : nullptr;
}

// x of the line at height y (the line spans y).
int64_t xAt(const Line_Ex& l, int32_t y) {
  const Point32 a = l.point1(), b = l.point2();
  if (a.y == b.y) return std::min(a.x, b.x);
  return int64_t{a.x} + (int64_t{b.x} - a.x) * (int64_t{y} - a.y) / (int64_t{b.y} - a.y);
}

bool spans(const Line_Ex& l, int32_t y) {
  return std::min(l.point1().y, l.point2().y) <= y && y <= std::max(l.point1().y, l.point2().y);
}

}  // namespace

RowLimits RowOperation_limits(const FigureList& page, Point32 press) {
  RowLimits r;
  int64_t left = std::numeric_limits<int64_t>::min(), right = std::numeric_limits<int64_t>::max();
  int32_t leftBottom = 0, rightBottom = 0;
  for (const auto& f : page) {
    const Line_Ex* l = layoutLine(*f);
    if (l == nullptr || !spans(*l, press.y)) continue;
    const int64_t x = xAt(*l, press.y);
    const int32_t lower = std::max(l->point1().y, l->point2().y);
    if (x < press.x && x > left) {
      left = x;
      leftBottom = lower;
    } else if (x > press.x && x < right) {
      right = x;
      rightBottom = lower;
    }
  }
  bool any = false;
  int32_t bottom = 0;
  if (left != std::numeric_limits<int64_t>::min()) {
    r.left = Figure_toInt32(left + 1);
    bottom = leftBottom;
    any = true;
  }
  if (right != std::numeric_limits<int64_t>::max()) {
    r.right = Figure_toInt32(right - 1);
    bottom = any ? std::max(bottom, rightBottom) : rightBottom;
    any = true;
  }
  if (any) r.bottom = bottom;
  return r;
}

bool RowOperation_inRegion(const CadPrim& f, int32_t rowY, const RowLimits& limits) {
  if (f.GetKind() == FigureKind_Canvas) return false;
  const int32_t top = f.GetEdge(2);
  if (top >= limits.bottom) return true;
  return top >= rowY && f.GetEdge(1) >= limits.left && f.GetEdge(0) <= limits.right;
}

bool RowOperation_inBand(const CadPrim& f, int32_t top, int32_t bottom) {
  if (f.GetKind() == FigureKind_Canvas) return false;
  return f.GetEdge(2) <= bottom && f.GetEdge(3) >= top;
}

void RowOperation_apply(FigureList& page, Canvas& canvas, int32_t rowY, int32_t distance,
                        const RowLimits& limits, bool deleteBand, UndoHistory* history,
                        NoteDocument* doc, int32_t pageNumber) {
  if (distance == 0) return;
  const bool record = history != nullptr && doc != nullptr;
  std::optional<UndoGroup> group;
  if (record) group.emplace(*history);
  std::unique_ptr<CadPrim> canvasBefore = Undo_copyOf(canvas, &page);
  const int32_t bandTop = distance < 0 ? Figure_toInt32(int64_t{rowY} + distance) : rowY;
  // The figures crossing a deleted band go first, each its own deletion.
  if (distance < 0 && deleteBand) {
    std::vector<CadPrim*> gone;
    for (const auto& f : page)
      if (RowOperation_inBand(*f, bandTop, rowY) && !layoutLine(*f)) gone.push_back(f.get());
    for (CadPrim* f : gone) {
      if (record) history->RecordDeletion(*f, *doc, pageNumber);
      page.remove(*f).reset();
    }
  }
  // What moves and what stretches, decided before anything moves.
  std::vector<CadPrim*> moving;
  std::vector<Line_Ex*> stretching;
  for (const auto& f : page) {
    if (f->GetKind() == FigureKind_Canvas) continue;
    if (auto* l = const_cast<Line_Ex*>(layoutLine(*f)); l && spans(*l, rowY) &&
                                                         std::min(l->point1().y, l->point2().y) < rowY) {
      const int64_t x = xAt(*l, rowY);
      if (x >= limits.left - 1 && x <= int64_t{limits.right} + 1) {
        stretching.push_back(l);
        continue;
      }
    }
    if (RowOperation_inRegion(*f, rowY, limits)) moving.push_back(f.get());
  }
  std::vector<std::unique_ptr<CadPrim>> before;
  for (const auto& f : page)
    if (f->GetKind() != FigureKind_Canvas) before.push_back(Undo_copyOf(*f, &page));
  for (CadPrim* f : moving) f->MoveBy(0, distance);
  for (Line_Ex* l : stretching) {
    Point32 a = l->point1(), b = l->point2();
    Point32& lower = a.y >= b.y ? a : b;
    lower.y = std::max(rowY, Figure_toInt32(int64_t{lower.y} + distance));
    l->SetPoints(a, b);
  }
  // Lines hanging on moved boxes follow them.
  for (CadPrim* f : moving) f->MoveBy(0, 0);
  int64_t height = int64_t{canvas.height()} + (distance < 0 ? distance : 0);
  if (distance > 0) {
    int64_t lowest = 0;
    for (const auto& f : page)
      if (f->GetKind() != FigureKind_Canvas) lowest = std::max<int64_t>(lowest, f->GetEdge(3));
    height = std::max<int64_t>(height, lowest + 31);
  }
  canvas.setSize(canvas.width(), std::max<int64_t>(1, height));
  if (!record) return;
  history->RecordFigure(std::move(canvasBefore), Undo_copyOf(canvas, &page), nullptr, nullptr,
                        *doc, pageNumber);
  for (auto& b : before) {
    if (CadPrim* live = page.FindFigureByNumber(b->GetNumber()))
      history->RecordChange(std::move(b), *live, *doc, pageNumber);
  }
}
