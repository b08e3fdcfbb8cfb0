#include "view/keyboard/selection_commands.h"

#include <unistd.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "core/filex/filex_info.h"
#include "core/filex/filex_ospath.h"
#include "document/note/note_document.h"
#include "figures/editor/text_editor.h"
#include "figures/base/figure_kind.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "undo/undo_history.h"
#include "view/history/pending_change.h"
#include "view/selection/view_selection.h"

namespace {

// The text box's "太字" (bold) property row.
constexpr int32_t TextBox_boldRow = 20;

// The first place of the list after the canvas: nothing is ever put in
// front of the canvas.
size_t headOf(const FigureList& list) {
  return !list.empty() && list.at(0).GetKind() == FigureKind_Canvas ? 1 : 0;
}

// The end of the bottom run of rectangles: the first figure from the head
// that is no rectangle (the size of the list when there is none).
size_t endOfRectRun(const FigureList& list) {
  size_t i = headOf(list);
  while (i < list.size() && list.at(i).GetKind() == FigureKind_Rect) ++i;
  return i;
}

bool contains(const std::vector<CadPrim*>& v, const CadPrim* f) {
  return std::find(v.begin(), v.end(), f) != v.end();
}

// A text box that takes part in the tab order (never the in-place editor).
const Text_Box* plainTextBox(const CadPrim* f) {
  if (f == nullptr || f->GetKind() != FigureKind_Text) return nullptr;
  if (dynamic_cast<const Text_Editor*>(f) != nullptr) return nullptr;
  return dynamic_cast<const Text_Box*>(f);
}

// Changes every member of the selection as one undo step: `change` is
// applied, then MoveBy(0, 0) lets attached lines follow, and every figure
// of the page that changed (members and what hangs on them) is recorded.
template <typename Change>
bool changeEach(const SelectionCommandTarget& t, const std::vector<CadPrim*>& members,
                Change change) {
  SelectionCommands_flushPendingChange(t);
  FigureList& list = t.selection->page();
  std::vector<std::unique_ptr<CadPrim>> before = Undo_copyFigures(list);
  for (CadPrim* f : members) {
    change(*f);
    f->MoveBy(0, 0);
  }
  UndoGroup group(*t.undo);
  Undo_recordChanged(*t.undo, std::move(before), *t.document, t.pageNumber);
  return true;
}

// The text box the tab order leads to from the held one, or null.
CadPrim* tabTarget(const SelectionCommandTarget& t, int direction) {
  if (!t.ok()) return nullptr;
  const Text_Box* held = plainTextBox(t.selection->HoldPrim());
  if (held == nullptr || held->tabOrder == 0) return nullptr;
  CadPrim* best = nullptr;
  int32_t bestOrder = 0;
  for (const auto& f : t.selection->page()) {
    const Text_Box* box = plainTextBox(f.get());
    // A box without a tab order (0) is never a stop.
    if (box == nullptr || box == held || box->tabOrder == 0) continue;
    const bool beyond = direction > 0 ? box->tabOrder > held->tabOrder
                                      : box->tabOrder < held->tabOrder;
    const bool closer = best == nullptr || (direction > 0 ? box->tabOrder < bestOrder
                                                          : box->tabOrder > bestOrder);
    if (beyond && closer) {
      best = f.get();
      bestOrder = box->tabOrder;
    }
  }
  return best;
}

// The held picture with a known pixel size, or null.
Rect_Ex* heldImage(const SelectionCommandTarget& t) {
  if (!t.ok()) return nullptr;
  auto* r = dynamic_cast<Rect_Ex*>(t.selection->HoldPrim());
  if (r == nullptr || r->shape != RectShape_Image) return nullptr;
  return r->naturalWidth > 0 && r->naturalHeight > 0 ? r : nullptr;
}

// Changes the held picture as one recorded change.
template <typename Change>
bool changeImage(const SelectionCommandTarget& t, Rect_Ex& image, Change change) {
  SelectionCommands_flushPendingChange(t);
  std::unique_ptr<CadPrim> before = Undo_copyOf(image, &t.selection->page());
  change(image);
  image.naturalSizeLock = false;
  t.undo->RecordChange(std::move(before), image, *t.document, t.pageNumber);
  return true;
}

}  // namespace

void SelectionCommands_flushPendingChange(const SelectionCommandTarget& t) {
  if (!t.ok()) return;
  PendingChange_record(*t.selection, *t.document, *t.undo, t.pageNumber);
}

bool SelectionCommands_nudge(const SelectionCommandTarget& t, int32_t dx, int32_t dy) {
  if (!t.ok() || t.selection->HoldPrim() == nullptr) return false;
  ViewSelection& s = *t.selection;
  CadPrim* held = s.HoldPrim();
  // The first nudge of a run takes the before copies: the run is one
  // pending change until something else records.
  if (s.BeforePrim() == nullptr) s.TakeBeforeCopiesOfPage(held);
  const std::vector<CadPrim*> moving = s.MoveSet();
  if (moving.empty()) {
    held->MoveBy(dx, dy);
    return true;
  }
  for (CadPrim* f : moving) f->MoveBy(dx, dy);
  for (CadPrim* f : moving) f->MoveBy(0, 0);
  return true;
}

bool SelectionCommands_delete(const SelectionCommandTarget& t) {
  if (!t.ok() || t.selection->HoldPrim() == nullptr) return false;
  ViewSelection& s = *t.selection;
  // The nudges before the delete stay a step of their own.
  SelectionCommands_flushPendingChange(t);
  FigureList& list = s.page();
  std::vector<CadPrim*> victims = s.Selection();
  if (victims.empty()) victims.push_back(s.HoldPrim());
  // The page's canvas (held while its corner is dragged) is the page
  // itself, never a figure to delete.
  std::erase_if(victims, [](const CadPrim* f) { return f->GetKind() == FigureKind_Canvas; });
  if (victims.empty()) return false;
  // Recorded from the last in painting order to the first: undo then
  // brings them back from the first on, each in front of the first
  // following figure that stays, so every figure regains its own place.
  std::sort(victims.begin(), victims.end(),
            [&list](const CadPrim* a, const CadPrim* b) { return list.indexOf(*a) > list.indexOf(*b); });
  {
    UndoGroup group(*t.undo);
    for (CadPrim* f : victims) {
      // Undo puts it back in front of the first following figure that
      // stays.
      const CadPrim* next = nullptr;
      for (size_t i = static_cast<size_t>(list.indexOf(*f)) + 1; i < list.size(); ++i) {
        if (!contains(victims, &list.at(i))) {
          next = &list.at(i);
          break;
        }
      }
      t.undo->RecordFigure(Undo_copyOf(*f, &list), nullptr,
                           next ? Undo_copyOf(*next, &list) : nullptr, nullptr, *t.document,
                           t.pageNumber);
    }
    s.DeselectAll();
    for (CadPrim* f : victims) list.remove(*f);  // detaches its links; destroyed here
  }
  // An attachment folder left empty goes.
  if (!t.notePath.empty()) {
    const std::string files = NoteDocument_filesFolder(t.notePath);
    if (FileX_isFolder(files)) {
      if (auto os = FileX_osPath(files)) ::rmdir(os->c_str());  // fails unless empty
    }
  }
  return true;
}

bool SelectionCommands_order(const SelectionCommandTarget& t, SelectionOrder how) {
  if (!t.ok()) return false;
  CadPrim* held = t.selection->HoldPrim();
  if (held == nullptr || held->GetKind() == FigureKind_Canvas) return false;
  FigureList& list = t.selection->page();
  const std::ptrdiff_t at = list.indexOf(*held);
  if (at < 0) return false;
  const size_t i = static_cast<size_t>(at);
  const size_t head = headOf(list);
  const size_t runEnd = endOfRectRun(list);
  size_t to = i;  // the index (in the list as it is) to stand in front of
  switch (how) {
    case SelectionOrder_stepUp:
      if (i + 1 >= list.size()) return false;
      to = i + 2;
      break;
    case SelectionOrder_stepDown:
      if (i <= head) return false;
      to = i - 1;
      break;
    case SelectionOrder_top:
      // A rectangle inside the bottom run goes to the end of the run; at
      // its end already (or any other figure): to the very top.
      to = held->GetKind() == FigureKind_Rect && i + 1 < runEnd ? runEnd : list.size();
      break;
    case SelectionOrder_bottom:
      to = i > runEnd ? runEnd : head;
      break;
  }
  if (to == i || to == i + 1) return false;  // it stands there already
  SelectionCommands_flushPendingChange(t);
  const int32_t nextBefore = i + 1 < list.size() ? list.at(i + 1).GetNumber() : -1;
  std::unique_ptr<CadPrim> before = Undo_copyOf(*held, &list);
  list.move(*held, to);
  t.undo->RecordChange(std::move(before), *held, *t.document, t.pageNumber, nextBefore);
  return true;
}

bool SelectionCommands_align(const SelectionCommandTarget& t, int32_t edge) {
  if (!t.ok() || t.selection->HoldPrim() == nullptr || edge < 0 || edge > 5) return false;
  const std::vector<CadPrim*> members = t.selection->Selection();
  if (members.empty()) return false;
  int32_t target = t.selection->HoldPrim()->GetEdge(edge);
  if (edge <= 3) {
    for (const CadPrim* f : members) {
      const int32_t v = f->GetEdge(edge);
      target = (edge == 0 || edge == 2) ? std::min(target, v) : std::max(target, v);
    }
  }
  return changeEach(t, members, [&](CadPrim& f) { f.SetEdge(edge, target); });
}

bool SelectionCommands_sameSize(const SelectionCommandTarget& t, bool vertical) {
  if (!t.ok() || t.selection->HoldPrim() == nullptr) return false;
  const std::vector<CadPrim*> members = t.selection->Selection();
  const int32_t target = t.selection->HoldPrim()->GetExtent(vertical);
  return changeEach(t, members, [&](CadPrim& f) { f.SetExtent(vertical, target); });
}

bool SelectionCommands_canEqualSpacing(const SelectionCommandTarget& t) {
  return t.ok() && t.selection->Selection().size() >= 3;
}

bool SelectionCommands_equalSpacing(const SelectionCommandTarget& t, bool vertical) {
  if (!SelectionCommands_canEqualSpacing(t)) return false;
  const int32_t startEdge = vertical ? 2 : 0;
  std::vector<CadPrim*> members = t.selection->Selection();
  std::stable_sort(members.begin(), members.end(), [&](const CadPrim* a, const CadPrim* b) {
    return a->GetEdge(startEdge) < b->GetEdge(startEdge);
  });
  const int64_t n = static_cast<int64_t>(members.size());
  const int64_t start = members.front()->GetEdge(startEdge);
  const int64_t end = members.back()->GetEdge(startEdge) + members.back()->GetExtent(vertical);
  int64_t sumExtents = 0;
  for (const CadPrim* f : members) sumExtents += f->GetExtent(vertical) - 1;
  // In 1/256 units, so that the rest of the division spreads over the gaps.
  const int64_t gap = ((end - start - sumExtents) * 256 - 256) / (n - 1);
  int64_t position = start * 256;
  members.pop_back();  // the last one keeps its place
  return changeEach(t, members, [&](CadPrim& f) {
    const int64_t extent = f.GetExtent(vertical);
    f.SetEdge(startEdge, static_cast<int32_t>(position / 256));
    position += extent * 256 + gap - 256;
  });
}

bool SelectionCommands_canTab(const SelectionCommandTarget& t, int direction) {
  return tabTarget(t, direction) != nullptr;
}

bool SelectionCommands_tab(const SelectionCommandTarget& t, int direction) {
  CadPrim* next = tabTarget(t, direction);
  if (next == nullptr) return false;
  SelectionCommands_flushPendingChange(t);
  t.selection->DeselectAll();
  t.selection->SelectOnly(*next);
  return true;
}

bool SelectionCommands_canBold(const SelectionCommandTarget& t) {
  return t.ok() && t.selection->HoldPrim() != nullptr &&
         t.selection->HoldPrim()->GetKind() == FigureKind_Text;
}

bool SelectionCommands_bold(const SelectionCommandTarget& t) {
  if (!SelectionCommands_canBold(t)) return false;
  std::vector<CadPrim*> boxes;
  for (CadPrim* f : t.selection->Selection()) {
    if (plainTextBox(f) != nullptr) boxes.push_back(f);
  }
  return changeEach(t, boxes, [](CadPrim& f) {
    f.SetProperty(TextBox_boldRow, static_cast<Text_Box&>(f).bold ? "0" : "1", {});
  });
}

bool SelectionCommands_canShrinkImage(const SelectionCommandTarget& t) {
  return heldImage(t) != nullptr;
}

bool SelectionCommands_shrinkImage(const SelectionCommandTarget& t) {
  Rect_Ex* image = heldImage(t);
  if (image == nullptr) return false;
  // The largest of 100 x 2^k (halving in integers below 100) not above p.
  const int64_t p = int64_t{image->width} * 100 / image->naturalWidth - 1;
  int64_t c = 100;
  if (p >= 100) {
    while (c * 2 <= p) c *= 2;
  } else {
    while (c > p && c > 1) c /= 2;
  }
  c = std::max<int64_t>(c, 1);
  return changeImage(t, *image, [c](Rect_Ex& r) {
    r.width = static_cast<int32_t>(std::max<int64_t>(1, c * r.naturalWidth / 100));
    r.height = static_cast<int32_t>(std::max<int64_t>(1, c * r.naturalHeight / 100));
  });
}

bool SelectionCommands_canImageToPixelSize(const SelectionCommandTarget& t) {
  const Rect_Ex* image = heldImage(t);
  return image != nullptr &&
         (image->width != image->naturalWidth || image->height != image->naturalHeight);
}

bool SelectionCommands_imageToPixelSize(const SelectionCommandTarget& t) {
  if (!SelectionCommands_canImageToPixelSize(t)) return false;
  return changeImage(t, *heldImage(t), [](Rect_Ex& r) {
    r.width = r.naturalWidth;
    r.height = r.naturalHeight;
  });
}

std::optional<int32_t> SelectionCommands_imageZoomUpRate(const SelectionCommandTarget& t,
                                                         int32_t zoom) {
  const Rect_Ex* image = heldImage(t);
  if (image == nullptr || image->naturalSizeLock || image->width <= 0) return std::nullopt;
  // Shown at its own pixel size already: nothing to zoom.
  if (int64_t{image->width} * zoom / 100 == image->naturalWidth) return std::nullopt;
  return static_cast<int32_t>(int64_t{image->naturalWidth} * 100 / image->width);
}

bool SelectionCommands_lockImageAtPixelSize(const SelectionCommandTarget& t) {
  Rect_Ex* image = heldImage(t);
  if (image == nullptr || image->naturalSizeLock) return false;
  SelectionCommands_flushPendingChange(t);
  std::unique_ptr<CadPrim> before = Undo_copyOf(*image, &t.selection->page());
  image->naturalSizeLock = true;
  t.undo->RecordChange(std::move(before), *image, *t.document, t.pageNumber);
  return true;
}
