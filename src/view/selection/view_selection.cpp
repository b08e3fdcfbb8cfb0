#include "view/selection/view_selection.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "figures/corner/line_corner.h"

namespace {

Rect32 unite(const Rect32& a, const Rect32& b) {
  const int64_t l = std::min(a.x, b.x), t = std::min(a.y, b.y);
  const int64_t r = std::max(Rect32_right(a), Rect32_right(b));
  const int64_t bt = std::max(Rect32_bottom(a), Rect32_bottom(b));
  return {Figure_toInt32(l), Figure_toInt32(t), Figure_toInt32(r - l), Figure_toInt32(bt - t)};
}

bool isCanvas(const CadPrim& f) { return f.GetKind() == FigureKind_Canvas; }

}  // namespace

int32_t ViewSelection_markMargin(int32_t zoom) {
  // A handle reaches 4 device pixels beyond its point; one unit more for the
  // truncation of the page-to-device conversion.
  const int32_t z = std::max(zoom, 1);
  return (5 * 100 + z - 1) / z + 1;
}

ViewSelection::ViewSelection(FigureList& page) : page_(&page) {}

ViewSelection::~ViewSelection() = default;

void ViewSelection::SetPage(FigureList& page) {
  DeselectAll(true);
  m_DragPrim = nullptr;
  m_DragMode = SelectionDrag_none;
  pressed_ = false;
  page_ = &page;
}

std::vector<std::unique_ptr<CadPrim>> ViewSelection::ReleaseBeforeCopies() {
  std::vector<std::unique_ptr<CadPrim>> out;
  out.swap(m_BeforeCopies);
  return out;
}

void ViewSelection::DiscardBeforeCopies() {
  m_BeforePrim.reset();
  m_BeforeCopies.clear();
}

bool ViewSelection::IsInSelection(const CadPrim& f) const {
  return std::find(m_Selection.begin(), m_Selection.end(), &f) != m_Selection.end();
}

// --- dirty area ------------------------------------------------------------

void ViewSelection::markDirty(const Rect32& r) { dirty_ = dirty_ ? unite(*dirty_, r) : r; }

void ViewSelection::markDirty(const CadPrim& f) {
  if (isCanvas(f)) return;  // its corner mark is painted with the outside area
  Rect32 b = f.GetBounds();
  if (f.GetKind() == FigureKind_Rect) {
    // A turned box: its corners lie within the circle through them.
    const double cx = b.x + b.w / 2.0, cy = b.y + b.h / 2.0;
    const double r = std::ceil(std::sqrt(double(b.w) * b.w + double(b.h) * b.h) / 2.0) + 1;
    b = {Figure_toInt32(int64_t(std::floor(cx - r))), Figure_toInt32(int64_t(std::floor(cy - r))),
         Figure_toInt32(int64_t(2 * r) + 1), Figure_toInt32(int64_t(2 * r) + 1)};
  }
  int32_t m = ViewSelection_markMargin(zoom_);
  if (const auto* corner = dynamic_cast<const Line_Corner*>(&f)) {
    // The route may bend outside the box of the two ends.
    const CornerRoute route = corner->ComputeRoute();
    for (int32_t i = 0; i < route.count; ++i) {
      b = unite(b, Rect32{route.points[i].x, route.points[i].y, 1, 1});
    }
  }
  // Line ends carry arrow heads and end shapes of some pixels.
  if (FigureKind_hasEnds(f.GetKind())) m += (20 * 100 + std::max(zoom_, 1) - 1) / std::max(zoom_, 1);
  markDirty(Rect32{Figure_toInt32(int64_t{b.x} - m), Figure_toInt32(int64_t{b.y} - m),
                   Figure_toInt32(int64_t{b.w} + 2 * m + 1),
                   Figure_toInt32(int64_t{b.h} + 2 * m + 1)});
}

std::optional<Rect32> ViewSelection::TakeDirtyRect() {
  std::optional<Rect32> out;
  out.swap(dirty_);
  return out;
}

bool ViewSelection::TakeSelectionChanged() { return std::exchange(selectionChanged_, false); }

// --- basic operations ----------------------------------------------------------

void ViewSelection::setSelected(CadPrim& f, bool on) {
  if (f.IsSelected() != on) markDirty(f);
  f.SetSelected(on);
}

void ViewSelection::removeEntry(const CadPrim& f) {
  m_Selection.erase(std::remove(m_Selection.begin(), m_Selection.end(), &f), m_Selection.end());
}

void ViewSelection::moveToFront(CadPrim& f) {
  removeEntry(f);
  m_Selection.insert(m_Selection.begin(), &f);
}

void ViewSelection::recordPending() {
  if (!pendingRecorder_ || recordingPending_) return;
  if (m_BeforePrim == nullptr && m_BeforeCopies.empty()) return;
  recordingPending_ = true;
  pendingRecorder_();
  recordingPending_ = false;
}

bool ViewSelection::DeselectAll(bool updatePropertyBar) {
  recordPending();
  const bool any = !m_Selection.empty();
  if (any) {
    m_Selection.clear();
    m_MoveSet.clear();
    DiscardBeforeCopies();
    for (const auto& f : *page_) {
      if (isCanvas(*f)) continue;
      setSelected(*f, false);
      f->SetMoveMark(false);
    }
  }
  if (m_HoldPrim) markDirty(*m_HoldPrim);
  m_HoldPrim = nullptr;
  m_PrevHoldPrim = nullptr;
  // Nothing is held any more: no figure is dragged either (the figures
  // may go right after this).
  m_DragPrim = nullptr;
  m_WasSelected = false;
  if (updatePropertyBar) selectionChanged_ = true;
  return any;
}

void ViewSelection::SelectOnly(CadPrim& f) {
  recordPending();
  for (CadPrim* s : m_Selection) {
    if (s != &f) setSelected(*s, false);
  }
  m_Selection.assign(1, &f);
  setSelected(f, true);
  if (m_HoldPrim && m_HoldPrim != &f) markDirty(*m_HoldPrim);
  m_HoldPrim = &f;
  markDirty(f);
  RebuildMoveSet();
  selectionChanged_ = true;
}

void ViewSelection::AddToSelection(CadPrim& f) {
  recordPending();
  if (IsInSelection(f)) {
    moveToFront(f);
  } else {
    m_Selection.push_back(&f);
    setSelected(f, true);
  }
  if (m_HoldPrim && m_HoldPrim != &f) markDirty(*m_HoldPrim);
  m_HoldPrim = &f;
  markDirty(f);
  RebuildMoveSet();
  selectionChanged_ = true;
}

void ViewSelection::RemoveFromSelection(CadPrim& f) {
  recordPending();
  if (!IsInSelection(f)) return;
  removeEntry(f);
  setSelected(f, false);
  markDirty(f);
  if (m_HoldPrim == &f) m_HoldPrim = m_Selection.empty() ? nullptr : m_Selection.front();
  if (m_HoldPrim) markDirty(*m_HoldPrim);
  if (m_DragPrim == &f) m_DragPrim = nullptr;
  RebuildMoveSet();
  selectionChanged_ = true;
}

void ViewSelection::RebuildMoveSet() {
  for (const auto& f : *page_) f->SetMoveMark(false);
  m_MoveSet.clear();
  for (CadPrim* s : m_Selection) {
    s->SetMoveMark(true);
    s->MarkAttachedForMove();
  }
  for (const auto& f : *page_) {
    if (!isCanvas(*f) && f->HasMoveMark()) m_MoveSet.push_back(f.get());
  }
}

void ViewSelection::TakeBeforeCopies(const CadPrim* pressed) {
  recordPending();
  m_BeforePrim.reset();
  const CadPrim* src = pressed && IsInSelection(*pressed)
                           ? pressed
                           : (m_Selection.empty() ? nullptr : m_Selection.front());
  if (src) {
    m_BeforePrim = src->Clone(page_);
    m_BeforePrim->SetIsCopy(true);
  }
  m_BeforeCopies.clear();
  for (const CadPrim* f : m_MoveSet) {
    auto copy = f->Clone(page_);
    copy->SetIsCopy(true);
    m_BeforeCopies.push_back(std::move(copy));
  }
}

void ViewSelection::TakeBeforeCopiesOfPage(const CadPrim* pressed) {
  TakeBeforeCopies(pressed);
  for (const auto& f : *page_) {
    if (isCanvas(*f) || std::find(m_MoveSet.begin(), m_MoveSet.end(), f.get()) != m_MoveSet.end()) {
      continue;
    }
    auto copy = f->Clone(page_);
    copy->SetIsCopy(true);
    m_BeforeCopies.push_back(std::move(copy));
  }
}

// Removes the members that do not stay in a selection with their partners
// (a connector whose two ends hang on selected figures).
void ViewSelection::dropUnkept() {
  std::vector<CadPrim*> drop;
  for (CadPrim* s : m_Selection) {
    if (!s->KeepInSelection()) drop.push_back(s);
  }
  for (CadPrim* s : drop) {
    removeEntry(*s);
    setSelected(*s, false);
    if (m_HoldPrim == s) m_HoldPrim = nullptr;
  }
}

void ViewSelection::SelectInRect(const Rect32& r) {
  recordPending();
  if (m_HoldPrim) markDirty(*m_HoldPrim);
  m_HoldPrim = nullptr;
  m_PrevHoldPrim = nullptr;
  for (const auto& owned : *page_) {
    CadPrim& f = *owned;
    if (isCanvas(f) || !f.IntersectsRect(r)) continue;
    if (f.IsSelected()) {
      removeEntry(f);
      setSelected(f, false);
    } else {
      m_Selection.push_back(&f);
      setSelected(f, true);
      m_HoldPrim = &f;
    }
  }
  dropUnkept();
  if (!m_HoldPrim && !m_Selection.empty()) m_HoldPrim = m_Selection.front();
  if (m_HoldPrim) markDirty(*m_HoldPrim);
  RebuildMoveSet();
  selectionChanged_ = true;
}

void ViewSelection::SelectFigures(const std::vector<CadPrim*>& figures, CadPrim* held) {
  DeselectAll(true);
  for (CadPrim* f : figures) {
    if (isCanvas(*f) || f->IsSelected()) continue;
    m_Selection.push_back(f);
    setSelected(*f, true);
  }
  dropUnkept();
  m_HoldPrim = held != nullptr && held->IsSelected() ? held
               : m_Selection.empty()                  ? nullptr
                                                      : m_Selection.back();
  if (m_HoldPrim) {
    moveToFront(*m_HoldPrim);
    markDirty(*m_HoldPrim);
  }
  RebuildMoveSet();
  selectionChanged_ = true;
}

void ViewSelection::SelectAll() {
  DeselectAll(true);
  for (const auto& owned : *page_) {
    CadPrim& f = *owned;
    if (isCanvas(f)) continue;
    m_Selection.push_back(&f);
    setSelected(f, true);
    m_HoldPrim = &f;
  }
  dropUnkept();
  if (!m_HoldPrim && !m_Selection.empty()) m_HoldPrim = m_Selection.front();
  if (m_HoldPrim) {
    moveToFront(*m_HoldPrim);
    markDirty(*m_HoldPrim);
  }
  RebuildMoveSet();
  selectionChanged_ = true;
}

// --- hit testing -----------------------------------------------------------------

PageHit ViewSelection::HitTestPage(int32_t x, int32_t y, int32_t zoom, int32_t mode,
                                   CadPrim* editor, const CadPrim* skip) const {
  CadPrim* held = m_HoldPrim && !isCanvas(*m_HoldPrim) ? m_HoldPrim : nullptr;
  if (editor) return PageHit_test(*page_, x, y, zoom, mode, editor, skip, held ? held : editor);
  return PageHit_test(*page_, x, y, zoom, mode, held, skip);
}

// --- the mouse ---------------------------------------------------------------------

Rect32 ViewSelection::bandRect(Point32 a, Point32 b) const {
  const int32_t l = std::min(a.x, b.x), t = std::min(a.y, b.y);
  return {l, t, Figure_toInt32(int64_t{std::max(a.x, b.x)} - l + 1),
          Figure_toInt32(int64_t{std::max(a.y, b.y)} - t + 1)};
}

std::optional<Rect32> ViewSelection::RubberBand() const {
  if (!pressed_ || m_DragMode != SelectionDrag_rubberBand || m_HoldPrim) return std::nullopt;
  return bandRect(m_PressPoint, m_DragPoint);
}

PageHit ViewSelection::Press(Point32 p, SelectionModifiers mods, const SelectionPress& how) {
  zoom_ = std::max(how.zoom, 1);
  m_PrevHoldPrim = m_HoldPrim;
  m_PressPoint = p;
  m_DragPoint = p;
  m_WasSelected = false;
  pressed_ = true;
  moved_ = false;
  const int32_t mode = how.tool == SelectionTool_rotate ? 1 : 0;
  const PageHit hit = HitTestPage(p.x, p.y, zoom_, mode, how.editor);
  CadPrim* F = hit.figure;

  if (!F) {
    if (!mods.any()) DeselectAll(false);
    CadPrim* canvas = PageHit_canvas(*page_);
    bool corner = false;
    if (canvas) {
      const Point32 wh = canvas->GetHandlePoint(1);
      const int64_t dx = int64_t{p.x} - wh.x, dy = int64_t{p.y} - wh.y;
      // Inside the canvas a few units either side of the corner; beyond it
      // a reach that grows as the zoom falls below 100 %.
      const bool beyond = p.x > wh.x || p.y > wh.y;
      const int64_t z = std::min(zoom_, 100);
      const int64_t lo = beyond ? -400 / z : -4, hi = beyond ? 800 / z : 8;
      corner = dx >= lo && dx <= hi && dy >= lo && dy <= hi;
    }
    if (m_HoldPrim) markDirty(*m_HoldPrim);
    if (corner) {
      m_HoldPrim = canvas;
      m_DragMode = SelectionDrag_canvasCorner;
      m_GrabOffset = {0, 0};
      m_BeforePrim = canvas->Clone(page_);
      m_BeforePrim->SetIsCopy(true);
    } else {
      m_HoldPrim = nullptr;
      m_DragMode = SelectionDrag_rubberBand;
      m_GrabOffset = {PageHit_noGrab, PageHit_noGrab};
    }
    m_DragPrim = nullptr;
    return hit;
  }

  if (mods.any() || how.tool == SelectionTool_multiSelect) {
    if (!F->KeepInSelection()) {
      // A connector whose two ends hang on selected figures: the press
      // changes nothing and starts no drag.
      m_DragPrim = nullptr;
      m_DragMode = SelectionDrag_none;
      pressed_ = false;
      return hit;
    }
    if (IsInSelection(*F)) {
      moveToFront(*F);
      m_WasSelected = true;
    } else {
      m_Selection.push_back(F);
      setSelected(*F, true);
      selectionChanged_ = true;
    }
    if (m_HoldPrim && m_HoldPrim != F) markDirty(*m_HoldPrim);
    m_HoldPrim = m_DragPrim = F;
    m_DragMode = SelectionDrag_selection;
  } else {
    if (IsInSelection(*F)) {
      moveToFront(*F);
    } else {
      for (const auto& f : *page_) {
        if (!isCanvas(*f)) setSelected(*f, false);
      }
      m_Selection.assign(1, F);
      setSelected(*F, true);
    }
    if (m_HoldPrim && m_HoldPrim != F) markDirty(*m_HoldPrim);
    m_HoldPrim = m_DragPrim = F;
    m_DragMode = m_Selection.size() >= 2 ? int32_t{SelectionDrag_selection} : hit.hit.code;
    selectionChanged_ = true;
  }
  markDirty(*F);
  m_GrabOffset = {hit.hit.dx, hit.hit.dy};
  RebuildMoveSet();
  TakeBeforeCopies(F);
  return hit;
}

void ViewSelection::Move(Point32 p) {
  if (!pressed_) return;
  if (p != m_PressPoint) moved_ = true;
  if (m_DragMode == SelectionDrag_rubberBand && !m_HoldPrim) {
    markDirty(bandRect(m_PressPoint, m_DragPoint));
    markDirty(bandRect(m_PressPoint, p));
  }
  m_DragPoint = p;
}

void ViewSelection::Release(Point32 p) {
  if (!pressed_) return;
  Move(p);
  pressed_ = false;
  if (m_DragMode == SelectionDrag_rubberBand && !m_HoldPrim) {
    const Rect32 band = bandRect(m_PressPoint, p);
    markDirty(band);
    m_DragMode = SelectionDrag_none;
    SelectInRect(band);
    return;
  }
  if (m_WasSelected && !moved_ && m_DragPrim) {
    CadPrim* f = m_DragPrim;
    removeEntry(*f);
    setSelected(*f, false);
    markDirty(*f);
    m_HoldPrim = m_Selection.empty() ? nullptr : m_Selection.front();
    if (m_HoldPrim) markDirty(*m_HoldPrim);
    m_DragPrim = nullptr;
    m_DragMode = SelectionDrag_none;
    RebuildMoveSet();
    DiscardBeforeCopies();
    selectionChanged_ = true;
  }
  m_WasSelected = false;
}

// --- the editing state machine's settings ------------------------------------------------

void ViewSelection::Hold(CadPrim* held, CadPrim* dragged, int32_t mode, Point32 grab) {
  if (m_HoldPrim && m_HoldPrim != held) markDirty(*m_HoldPrim);
  m_HoldPrim = held;
  m_DragPrim = dragged;
  m_DragMode = mode;
  m_GrabOffset = grab;
  if (held) markDirty(*held);
}

void ViewSelection::SetBeforePrim(std::unique_ptr<CadPrim> before) {
  if (before) before->SetIsCopy(true);
  m_BeforePrim = std::move(before);
}

void ViewSelection::Forget(const CadPrim& f) {
  recordPending();
  if (IsInSelection(f)) {
    removeEntry(f);
    selectionChanged_ = true;
  }
  markDirty(f);
  if (std::erase(m_MoveSet, &f) > 0) m_BeforeCopies.clear();
  if (m_HoldPrim == &f) m_HoldPrim = m_Selection.empty() ? nullptr : m_Selection.front();
  if (m_PrevHoldPrim == &f) m_PrevHoldPrim = nullptr;
  if (m_DragPrim == &f) m_DragPrim = nullptr;
}
