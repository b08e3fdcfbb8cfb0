#include "view/editing/connect_text.h"

#include <memory>

#include "figures/base/figure_kind.h"
#include "figures/base/figure_list.h"
#include "figures/text/text_box.h"
#include "undo/undo_history.h"

namespace {

bool isLine(const CadPrim& f) { return f.GetKind() == FigureKind_Line; }

// The number of the figure after `f` in the list (-1: it is the last).
int32_t nextNumber(const FigureList& list, const CadPrim& f) {
  const auto i = static_cast<size_t>(list.indexOf(f));
  return i + 1 < list.size() ? list.at(i + 1).GetNumber() : -1;
}

// Moves `f` to stand directly after `above` (drawn after it).
void putAfter(FigureList& list, const CadPrim& f, const CadPrim& above) {
  list.move(f, static_cast<size_t>(list.indexOf(above)) + 1);
}

}  // namespace

bool ConnectText_attached(CadPrim& line, int32_t end) {
  return isLine(line) && (end == 1 || end == 2) && line.GetEndTarget(end) != nullptr;
}

Text_Box* ConnectText_target(const FigureList& list, CadPrim& line, int32_t end) {
  if (!isLine(line) || (end != 1 && end != 2)) return nullptr;
  if (CadPrim* on = line.GetEndTarget(end)) return dynamic_cast<Text_Box*>(on);
  const Point32 p = line.GetHandlePoint(end);
  for (const auto& f : list) {
    if (f->GetKind() != FigureKind_Text) continue;
    const Rect32 r = f->GetBounds();
    if (p.x >= r.x - 4 && p.x <= r.x + r.w + 4 && p.y >= r.y - 4 && p.y <= r.y + r.h + 4) {
      return static_cast<Text_Box*>(f.get());
    }
  }
  return nullptr;
}

bool ConnectText_toggle(FigureList& list, CadPrim& line, int32_t end, UndoHistory& undo,
                        const NoteDocument& doc, int32_t pageNumber) {
  Text_Box* box = ConnectText_target(list, line, end);
  if (box == nullptr) return false;
  std::unique_ptr<CadPrim> lineBefore = Undo_copyOf(line, &list);
  std::unique_ptr<CadPrim> boxBefore = Undo_copyOf(*box, &list);
  const int32_t lineNext = nextNumber(list, line);
  const int32_t boxNext = nextNumber(list, *box);
  if (ConnectText_attached(line, end)) {
    box->DetachEnd(line, end, true);
    putAfter(list, line, *box);
    if (CadPrim* other = line.GetEndTarget(3 - end)) putAfter(list, *other, line);
  } else {
    box->AttachEnd(0, line, end);
    list.move(line, static_cast<size_t>(list.indexOf(*box)));
  }
  UndoGroup step(undo);
  undo.RecordChange(std::move(lineBefore), line, doc, pageNumber,
                    nextNumber(list, line) != lineNext ? lineNext : 0);
  undo.RecordChange(std::move(boxBefore), *box, doc, pageNumber,
                    nextNumber(list, *box) != boxNext ? boxNext : 0);
  return true;
}
