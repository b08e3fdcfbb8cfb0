#include "view/editing/mouse_editor.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <utility>
#include <vector>

#include "figures/base/app_counters.h"
#include "figures/base/figure_numbering.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "undo/undo_history.h"
#include "view/editing/edit_snap.h"
#include "view/editing/edit_tools.h"
#include "view/editing/row_operations.h"
#include "view/selection/view_selection.h"

namespace {

Point32 add(Point32 a, Point32 b) {
  return {Figure_toInt32(int64_t{a.x} + b.x), Figure_toInt32(int64_t{a.y} + b.y)};
}
int64_t absDiff(int64_t a, int64_t b) { return a > b ? a - b : b - a; }

bool isText(const CadPrim* f) { return f != nullptr && f->GetKind() == FigureKind_Text; }
bool isCanvas(const CadPrim* f) { return f != nullptr && f->GetKind() == FigureKind_Canvas; }

bool canRecord(const EditPage& page) {
  return page.undo != nullptr && page.document != nullptr && page.pageNumber >= 0;
}

// The untouched new box of a double click or of a pulled line.
constexpr int32_t kPullDistance = 30;
constexpr int32_t kPullKeep = 15;
constexpr int32_t kDoubleClickDistance = 16;

}  // namespace

int32_t MouseEditor_threshold(int32_t zoom) { return std::max(1, 400 / std::max(1, zoom)); }

MouseEditor::MouseEditor(MouseEditorHooks hooks) : hooks_(std::move(hooks)) {}
MouseEditor::~MouseEditor() = default;

void MouseEditor::SetTool(int32_t tool) {
  if (tool < 0 || tool >= EditTools_count) return;
  m_Tool = tool;
}

// --- helpers ------------------------------------------------------------------------

void MouseEditor::layOut(EditPage& page, CadPrim& figure) const {
  if (!isText(&figure) || page.metrics == nullptr) return;
  auto& box = static_cast<Text_Box&>(figure);
  box.SetTextMetrics(page.metrics);
  box.Layout(*page.metrics, page.layout);
}

CadPrim& MouseEditor::insert(EditPage& page, std::unique_ptr<CadPrim> figure, bool bottomRun) {
  FigureList& list = page.selection.page();
  CadPrim& live = list.insert(EditTools_insertIndex(list, bottomRun), std::move(figure));
  layOut(page, live);
  created_.push_back(&live);
  return live;
}

void MouseEditor::removeFigure(EditPage& page, CadPrim& figure) {
  page.selection.Forget(figure);
  std::erase(created_, &figure);
  std::unique_ptr<CadPrim> gone = page.selection.page().remove(figure);
}

std::unique_ptr<Text_Box> MouseEditor::newText(EditPage& page, int32_t tool, Point32 at) {
  EditToolDefaults d;
  d.metrics = page.metrics;
  d.japanese = hooks_.japanese;
  d.dateFormat = hooks_.dateFormat;
  d.now = hooks_.now ? hooks_.now() : static_cast<int64_t>(std::time(nullptr));
  auto box = EditTools_defaultText(tool, at, d);
  box->SetNumber(AppCounters_instance().nextFigureNumber());
  return box;
}

std::unique_ptr<CadPrim> MouseEditor::newFigure(EditPage& page, int32_t tool, Point32 at) {
  std::unique_ptr<CadPrim> f;
  // The seam of the style templates: a template's clone stands in for the
  // default figure.
  if (hooks_.templateFor && tool >= EditTool_text && tool <= EditTool_diamond) {
    f = hooks_.templateFor(tool);
    if (f) {
      f->SetIsCopy(false);
      f->SetNumber(AppCounters_instance().nextFigureNumber());
      f->SetUrl("");
      f->MoveBy(Figure_toInt32(int64_t{at.x} - f->GetEdge(6)),
                Figure_toInt32(int64_t{at.y} - f->GetEdge(7)));
      if (tool == EditTool_dateText && isText(f.get())) {
        auto& box = static_cast<Text_Box&>(*f);
        const int64_t now = hooks_.now ? hooks_.now() : static_cast<int64_t>(std::time(nullptr));
        box.SetText(EditTools_dateText(box.text(), now));
      }
      if (isText(f.get())) {
        auto& box = static_cast<Text_Box&>(*f);
        box.SetTextMetrics(page.metrics);
        // A second title on a page is a keyword.
        if (box.className.find("title") != std::string::npos) {
          for (const auto& other : page.selection.page()) {
            const auto* t = dynamic_cast<const Text_Box*>(other.get());
            if (t != nullptr && t->className.find("title") != std::string::npos) {
              box.className = "keyword";
              break;
            }
          }
        }
      }
      return f;
    }
  }
  if (EditTools_isText(tool)) return newText(page, tool, at);
  EditToolDefaults d;
  d.metrics = page.metrics;
  d.japanese = hooks_.japanese;
  f = EditTools_defaultFigure(tool, at, d);
  if (f) f->SetNumber(AppCounters_instance().nextFigureNumber());
  return f;
}

Point32 MouseEditor::snapped(EditPage& page, Point32 p, bool axisLock, bool figures,
                             const CadPrim* movedText, int32_t gridYExtra) const {
  if (page.canvas != nullptr && page.canvas->snapToGrid()) {
    const Point32 q{p.x, Figure_toInt32(int64_t{p.y} + gridYExtra)};
    return add(p, EditSnap_grid(*page.canvas, q));
  }
  EditSnapInput in;
  in.point = p;
  in.press = m_PressPoint;
  in.axisLock = axisLock;
  in.figures = figures;
  in.movedText = figures ? movedText : nullptr;
  in.held = page.selection.HoldPrim();
  in.pending = pending_;
  return add(p, EditSnap_offset(page.selection.page(), in));
}

void MouseEditor::markMoving(EditPage& page) const {
  ViewSelection& sel = page.selection;
  for (CadPrim* f : sel.MoveSet()) sel.MarkDirty(*f);
  if (CadPrim* h = sel.HoldPrim(); h && !isCanvas(h)) sel.MarkDirty(*h);
  if (CadPrim* d = sel.DragPrim(); d && !isCanvas(d)) sel.MarkDirty(*d);
  for (CadPrim* c : created_) sel.MarkDirty(*c);
}

void MouseEditor::clearFlags() {
  m_LeftDrag = m_NotMoved = m_Creating = m_DoubleDrag = m_EndedEdit = false;
  m_InOleDrag = false;
  pulledLine_ = nullptr;
  pullSource_ = nullptr;
  pullSourceBefore_.reset();
  madeByDoubleClick_ = nullptr;
  created_.clear();
  pending_ = {};
}

void MouseEditor::Forget(const CadPrim& figure) {
  for (CadPrim** p : {&firstClickPrim_, &prevHeldAtFirstClick_, &madeByDoubleClick_, &pulledLine_}) {
    if (*p == &figure) *p = nullptr;
  }
  if (pullSource_ == &figure) pullSource_ = nullptr;
  std::erase(created_, &figure);
}

void MouseEditor::Reset() {
  clearFlags();
  rowBand_.reset();
  m_RowY = -1;
  m_RightDrag = false;
  m_MenuOnRelease = false;
  m_ClickCount = 0;
  firstClickPrim_ = prevHeldAtFirstClick_ = nullptr;
  lastClickedText_.reset();
}

// --- press ------------------------------------------------------------------------------

void MouseEditor::Press(EditPage& page, const MouseInput& in) {
  // A press while a drag runs (its release was lost) ends that drag first.
  if (m_LeftDrag) Release(page, in);
  if (EditTools_isInk(m_Tool)) return;
  ViewSelection& sel = page.selection;
  if (m_RightDrag && m_RowY >= 0) {
    // A left press cancels an armed row operation.
    sel.DiscardBeforeCopies();
    if (rowBand_) sel.MarkDirty(Rect32{0, std::min(rowBand_->startY, rowMouseY_) - 2,
                                        page.canvas ? page.canvas->width() + 1 : 1,
                                        Figure_toInt32(absDiff(rowBand_->startY, rowMouseY_) + 5)});
    rowBand_.reset();
    m_RowY = -1;
    m_RightDrag = false;
    return;
  }
  const Point32 p = in.at;
  if (m_ClickCount >= 1 && (in.doubleClick || in.tick - m_LastClickTick < hooks_.doubleClickTime) &&
      absDiff(p.x, m_PressPoint.x) + absDiff(p.y, m_PressPoint.y) < kDoubleClickDistance) {
    m_LastClickTick = in.tick;
    doubleClick(page, in);
    return;
  }
  m_PressPoint = p;
  m_DragPoint = p;
  m_LeftDrag = m_NotMoved = true;
  m_ClickCount = 1;
  m_DoubleDrag = m_EndedEdit = m_Creating = m_NewTextBox = false;
  created_.clear();
  switch (m_Tool) {
    case EditTool_select:
    case EditTool_multiSelect:
      selectPress(page, in);
      break;
    case EditTool_rotate:
      rotatePress(page, in);
      break;
    case EditTool_zoomPick:
    case EditTool_none:
      break;
    default:
      if (EditTools_isCreation(m_Tool)) creationPress(page, in);
      break;
  }
}

void MouseEditor::selectPress(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  const bool hadSelection = !sel.Selection().empty();
  SelectionModifiers mods;
  mods.shift = in.shift;
  mods.ctrl = in.ctrl;
  SelectionPress how;
  how.zoom = page.zoom;
  how.tool = m_Tool;
  sel.Press(in.at, mods, how);
  firstClickPrim_ = sel.DragPrim();
  prevHeldAtFirstClick_ = sel.PrevHoldPrim();
  if (hadSelection && sel.Selection().empty()) m_EndedEdit = true;
  if (sel.HoldPrim() != nullptr) {
    if (sel.DragMode() >= 1) sel.SetGrabOffset({0, 0});
    m_DragPoint = add(in.at, sel.GrabOffset());
  }
}

void MouseEditor::rotatePress(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  sel.DeselectAll(false);
  const PageHit hit = sel.HitTestPage(in.at.x, in.at.y, page.zoom, 1);
  firstClickPrim_ = hit.figure;
  prevHeldAtFirstClick_ = nullptr;
  if (hit.figure == nullptr) {
    sel.Hold(nullptr, nullptr, SelectionDrag_none, {PageHit_noGrab, PageHit_noGrab});
    return;
  }
  sel.SelectOnly(*hit.figure);
  // Only a handle turns the figure.
  const bool handle = hit.hit.code >= 1;
  sel.Hold(hit.figure, handle ? hit.figure : nullptr, handle ? hit.hit.code : SelectionDrag_none,
           {0, 0});
  sel.TakeBeforeCopies(hit.figure);
}

void MouseEditor::creationPress(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  sel.DeselectAll(false);
  firstClickPrim_ = nullptr;
  prevHeldAtFirstClick_ = nullptr;
  const Point32 s = snapped(page, in.at, false, m_AutoCorrect && !in.shift && !in.ctrl, nullptr, 0);
  std::unique_ptr<CadPrim> made = newFigure(page, m_Tool, s);
  if (!made) return;
  CadPrim* held = nullptr;
  CadPrim* dragged = nullptr;
  int32_t mode = 0;
  FigureList& list = sel.page();
  switch (m_Tool) {
    case EditTool_guideLine: {
      CadPrim& line = insert(page, std::move(made), false);
      std::unique_ptr<CadPrim> boxFigure;
      if (hooks_.templateFor) boxFigure = hooks_.templateFor(EditTool_rectText);
      if (boxFigure) {
        boxFigure->SetIsCopy(false);
        boxFigure->SetNumber(AppCounters_instance().nextFigureNumber());
        boxFigure->MoveBy(Figure_toInt32(int64_t{s.x} - boxFigure->GetEdge(6)),
                          Figure_toInt32(int64_t{s.y} - boxFigure->GetEdge(7)));
      } else {
        boxFigure = newText(page, EditTool_rectText, s);
      }
      CadPrim& box = insert(page, std::move(boxFigure), false);
      box.AttachEnd(0, line, 2);
      held = &box;
      dragged = &line;
      mode = SelectionDrag_figure;
      break;
    }
    case EditTool_corner: {
      CadPrim& corner = insert(page, std::move(made), true);
      static_cast<void>(corner);
      if (page.canvas == nullptr || !page.canvas->snapToGrid()) {
        // The first end hangs on the text box under the press.
        for (const auto& f : list) {
          if (f.get() == &corner || !FigureKind_takesPartInLinks(f->GetKind()) ||
              f->GetKind() != FigureKind_Text) {
            continue;
          }
          if (!static_cast<const Text_Box&>(*f).HasLayout()) continue;
          if (f->ContainsPoint(in.at.x, in.at.y)) dragged = f.get();
        }
        if (dragged != nullptr) {
          sel.SetBeforePrim(Undo_copyOf(*dragged, &list));
          dragged->AttachEnd(0, corner, 1);
        }
      }
      held = &corner;
      if (dragged == nullptr) dragged = &corner;
      mode = 2;
      break;
    }
    case EditTool_line:
    case EditTool_arrow:
      held = dragged = &insert(page, std::move(made), false);
      mode = 2;
      break;
    case EditTool_matome:
      held = dragged = &insert(page, std::move(made), false);
      mode = 8;
      break;
    default:
      if (made->GetKind() == FigureKind_Rect) {
        held = dragged = &insert(page, std::move(made), m_Tool != EditTool_emphasis);
        mode = 8;
      } else {
        held = dragged = &insert(page, std::move(made), false);
        mode = SelectionDrag_figure;
      }
      break;
  }
  m_NewKind = held->GetKind();
  sel.SelectOnly(*held);
  sel.Hold(held, dragged, mode, {0, 0});
  m_DragPoint = {-9999, -9999};
  m_Creating = true;
  markMoving(page);
}

// --- double click -------------------------------------------------------------------------

void MouseEditor::doubleClick(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  const Point32 p = in.at;
  const PageHit hit = sel.HitTestPage(p.x, p.y, page.zoom, 0);
  CadPrim* F = hit.figure;
  CadPrim* held = sel.HoldPrim();
  const bool same = F == firstClickPrim_;
  ++m_ClickCount;
  doublePoint_ = p;
  created_.clear();
  auto arm = [&] {
    m_LeftDrag = m_NotMoved = true;
    m_DoubleDrag = true;
    m_DragPoint = p;
  };
  if (same && isText(F) && F == held && F == prevHeldAtFirstClick_) {
    // A held text box clicked twice: in-place editing.
    arm();
    sel.Hold(F, F, SelectionDrag_figure, {hit.hit.dx, hit.hit.dy});
    if (hooks_.startTextEdit) hooks_.startTextEdit(static_cast<Text_Box&>(*F), p, hooks_.singleClick);
    return;
  }
  if (same && (F == nullptr || (F == held && !isText(F) && F->GetKind() != FigureKind_CorneredLine)) &&
      !page.viewerMode) {
    // A text box at the point; the keys choose its frame.
    sel.DeselectAll(false);
    const Point32 s = snapped(page, p, false, false, nullptr, 0);
    std::unique_ptr<Text_Box> box = newText(page, EditTool_text, s);
    box->frameWidth = 1;
    box->frameColour = 0;
    box->fillColour = 0xFFFFFF;
    box->frameShape = TextBoxFrame_None;
    if (in.shift || in.ctrl) {
      box->frameShape = in.shift && in.ctrl ? TextBoxFrame_Ellipse
                        : in.shift          ? TextBoxFrame_Diamond
                                            : TextBoxFrame_Rectangle;
      box->marginX = in.shift && in.ctrl ? 10 : in.shift ? 28 : 8;
      box->marginY = 6;
      box->alignment = 1;
    } else if (lastClickedText_) {
      box->CopyStyleFrom(*lastClickedText_, 0);
    }
    box->fontSize = 10;
    CadPrim& live = insert(page, std::move(box), false);
    m_NewKind = live.GetKind();
    sel.SelectOnly(live);
    sel.Hold(&live, &live, SelectionDrag_figure, {0, 0});
    madeByDoubleClick_ = &live;
    arm();
    m_Creating = true;
    markMoving(page);
    return;
  }
  if (isText(F)) {
    // A text box: selected, and a drag pulls a line out of it.
    sel.SelectOnly(*F);
    sel.Hold(F, F, SelectionDrag_figure, {hit.hit.dx, hit.hit.dy});
    sel.TakeBeforeCopies(F);
    arm();
    return;
  }
  // Anything else is a plain press.
  m_ClickCount = 0;
  Press(page, in);
}

// --- move ------------------------------------------------------------------------------------

void MouseEditor::Move(EditPage& page, const MouseInput& in) {
  if (!m_LeftDrag) return;
  const Point32 p = in.at;
  if (m_NotMoved) {
    const int32_t t = MouseEditor_threshold(page.zoom);
    if (absDiff(p.x, m_PressPoint.x) <= t && absDiff(p.y, m_PressPoint.y) <= t &&
        !(m_DoubleDrag && (absDiff(p.x, doublePoint_.x) > t || absDiff(p.y, doublePoint_.y) > t))) {
      return;
    }
    m_NotMoved = false;
  }
  if (m_DoubleDrag && !m_Editing) {
    doubleDragMove(page, in);
    return;
  }
  if (m_Editing) return;  // the editor's text selection follows (its owner's)
  ViewSelection& sel = page.selection;
  if (sel.HoldPrim() == nullptr) {
    sel.Move(p);  // the rubber band
    return;
  }
  if (sel.DragMode() == SelectionDrag_selection) {
    moveSelection(page, in);
  } else if (sel.DragMode() != SelectionDrag_none) {
    dragHeld(page, in);
  }
}

void MouseEditor::moveSelection(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  const Point32 grab = sel.GrabOffset();
  const Point32 target = add(in.at, grab);
  CadPrim* held = sel.HoldPrim();
  pending_ = {Figure_toInt32(int64_t{target.x} - m_DragPoint.x),
              Figure_toInt32(int64_t{target.y} - m_DragPoint.y)};
  const bool figures = m_AutoCorrect && !in.shift && !in.ctrl;
  Point32 s;
  {
    const Point32 press = m_PressPoint;
    m_PressPoint = add(press, grab);
    s = snapped(page, target, in.shift, figures, isText(held) ? held : nullptr, 5);
    m_PressPoint = press;
  }
  if (page.viewerMode) return;
  const int32_t dx = Figure_toInt32(int64_t{s.x} - m_DragPoint.x);
  const int32_t dy = Figure_toInt32(int64_t{s.y} - m_DragPoint.y);
  if (dx == 0 && dy == 0) return;
  markMoving(page);
  for (CadPrim* f : sel.Selection()) {
    if (!f->IsLocked()) f->MoveBy(dx, dy);
  }
  markMoving(page);
  m_DragPoint = s;
  m_ClickCount = 0;
}

void MouseEditor::dragHeld(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  CadPrim* held = sel.HoldPrim();
  const int32_t mode = sel.DragMode();
  m_ClickCount = 0;
  if (isCanvas(held)) {
    const int32_t w = Figure_toInt32(std::max<int64_t>(1, int64_t{in.at.x} - 2));
    const int32_t h = Figure_toInt32(std::max<int64_t>(1, int64_t{in.at.y} - 2));
    held->DragHandleTo(1, w, h, false, 0, false);
    pageSizeChanged_ = true;
    m_DragPoint = in.at;
    return;
  }
  if (held->IsLocked() || page.viewerMode) return;
  const Point32 grab = sel.GrabOffset();
  const bool wholeText = isText(held) && mode < 0;
  const bool figures = m_AutoCorrect && !in.shift && !in.ctrl;
  if (mode == SelectionDrag_figure) {
    pending_ = {Figure_toInt32(int64_t{in.at.x} + grab.x - held->GetEdge(6)),
                Figure_toInt32(int64_t{in.at.y} + grab.y - held->GetEdge(7))};
  }
  Point32 s;
  if (page.canvas != nullptr && page.canvas->snapToGrid()) {
    const Point32 q = add(in.at, grab);
    const Point32 off = EditSnap_grid(*page.canvas, {q.x, Figure_toInt32(int64_t{q.y} + (wholeText ? 5 : 0))});
    s = add(in.at, off);
  } else {
    s = snapped(page, in.at, in.shift, figures,
                wholeText && mode == SelectionDrag_figure ? held : nullptr, 0);
  }
  const Point32 to = add(s, grab);
  markMoving(page);
  held->DragHandleTo(mode, to.x, to.y, in.shift, 0, m_Tool == EditTool_rotate);
  markMoving(page);
  m_DragPoint = in.at;
}

void MouseEditor::pullLine(EditPage& page, const MouseInput& in, Text_Box* source) {
  ViewSelection& sel = page.selection;
  FigureList& list = sel.page();
  bool straight = true;
  if (source != nullptr) {
    pullSourceBefore_ = Undo_copyOf(*source, &list);
    const bool noFrame = source->frameShape == TextBoxFrame_None;
    const bool invisible = source->frameShape == TextBoxFrame_Rectangle && source->frameWidth == 0;
    straight = noFrame || invisible || source->frameShape == TextBoxFrame_Ellipse;
    if (noFrame) {
      // An invisible frame the line can end on.
      source->frameShape = TextBoxFrame_Rectangle;
      source->frameWidth = 0;
      source->marginX = 8;
      source->marginY = 2;
      source->fillColour = 0xFFFFFF;
      source->layoutFlags &= ~TextBox_boundsValid;
      layOut(page, *source);
    }
    if (in.shift) straight = !straight;
  }
  const int32_t tool = straight ? EditTool_arrow : EditTool_corner;
  std::unique_ptr<CadPrim> line;
  if (hooks_.templateFor) line = hooks_.templateFor(tool);
  if (line) {
    line->SetIsCopy(false);
    line->SetNumber(AppCounters_instance().nextFigureNumber());
  } else {
    EditToolDefaults d;
    line = EditTools_defaultFigure(straight ? EditTool_line : EditTool_corner, doublePoint_, d);
    line->SetNumber(AppCounters_instance().nextFigureNumber());
  }
  line->DragHandleTo(1, doublePoint_.x, doublePoint_.y, false, 1, false);
  line->DragHandleTo(2, doublePoint_.x, doublePoint_.y, false, 1, false);
  if (auto* l = dynamic_cast<Line_Ex*>(line.get())) l->SetArrow(2, in.ctrl ? 0 : 1);
  if (auto* c = dynamic_cast<Line_Corner*>(line.get())) c->setArrow(2, in.ctrl ? 0 : 1);
  CadPrim& live = insert(page, std::move(line), true);
  if (source != nullptr) source->AttachEnd(0, live, 1);
  sel.SelectOnly(live);
  sel.Hold(&live, source, 2, {0, 0});
  pulledLine_ = &live;
  pullSource_ = source;
  markMoving(page);
}

void MouseEditor::doubleDragMove(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  const Point32 p = in.at;
  if (pulledLine_ == nullptr) {
    if (absDiff(p.x, doublePoint_.x) <= kPullDistance && absDiff(p.y, doublePoint_.y) <= kPullDistance) {
      return;
    }
    CadPrim* held = sel.HoldPrim();
    if (held != nullptr && held == madeByDoubleClick_) {
      // The box of this double click goes; a line alone starts instead.
      removeFigure(page, *held);
      madeByDoubleClick_ = nullptr;
      m_Creating = false;
      pullLine(page, in, nullptr);
    } else if (isText(held)) {
      sel.DiscardBeforeCopies();
      pullLine(page, in, static_cast<Text_Box*>(held));
    } else if (held != nullptr) {
      dragHeld(page, in);
      return;
    } else {
      return;
    }
  }
  // Near the start the line keeps the start's x or y.
  Point32 q = p;
  if (absDiff(q.x, doublePoint_.x) <= kPullKeep) q.x = doublePoint_.x;
  if (absDiff(q.y, doublePoint_.y) <= kPullKeep) q.y = doublePoint_.y;
  markMoving(page);
  pulledLine_->DragHandleTo(2, q.x, q.y, false, 0, false);
  markMoving(page);
  m_DragPoint = q;
  m_ClickCount = 0;
}

// --- release -------------------------------------------------------------------------------

void MouseEditor::Release(EditPage& page, const MouseInput& in) {
  if (!m_LeftDrag) return;
  ViewSelection& sel = page.selection;
  m_LastClickTick = in.tick;
  sel.Release(in.at);
  if (m_Creating) {
    creationFinish(page, in);
  } else if (m_DoubleDrag) {
    doubleDragFinish(page, in);
  } else {
    normalFinish(page, in);
    if (!m_NotMoved) recordMoves(page);
  }
  sel.DiscardBeforeCopies();
  sel.EndPress();
  clearFlags();
}

void MouseEditor::recordMoves(EditPage& page) {
  ViewSelection& sel = page.selection;
  std::unique_ptr<CadPrim> before = sel.ReleaseBeforePrim();
  std::vector<std::unique_ptr<CadPrim>> copies = sel.ReleaseBeforeCopies();
  if (!canRecord(page)) return;
  UndoHistory& undo = *page.undo;
  CadPrim* held = sel.HoldPrim();
  // The canvas corner: the page's size is the change, whether figures stay
  // selected (a Shift or Ctrl press keeps them) or not.
  if (before && isCanvas(held)) {
    undo.RecordChange(std::move(before), *held, *page.document, page.pageNumber);
    return;
  }
  if (sel.Selection().empty()) return;
  UndoGroup group(undo);
  const std::vector<CadPrim*>& moved = sel.MoveSet();
  for (size_t i = 0; i < moved.size() && i < copies.size(); ++i) {
    if (copies[i]->GetNumber() != moved[i]->GetNumber()) continue;
    undo.RecordChange(std::move(copies[i]), *moved[i], *page.document, page.pageNumber);
  }
}

void MouseEditor::normalFinish(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  CadPrim* held = sel.HoldPrim();
  if (held == nullptr) return;
  if (isCanvas(held)) {
    pageSizeChanged_ = true;
    return;
  }
  if (in.ctrl || !m_NotMoved) return;
  const bool link = hooks_.followLink && !held->GetUrl().empty() && held != sel.PrevHoldPrim() &&
                    !m_Editing;
  if (link) {
    // The window records the selection in its link history before the
    // jump and lets the figure go when the jump stays on this page; the
    // jump may free this page's figures, so nothing here touches them
    // after it.
    hooks_.followLink(*held);
    return;
  }
  if (held->IsLocked() || page.viewerMode) {
    sel.DeselectAll(true);
    return;
  }
  if (isText(held)) {
    lastClickedText_ = Undo_copyOf(*held, &sel.page());
    // Single-click editing.
    if (!in.shift && m_Tool != EditTool_multiSelect && m_ClickCount >= 1 && !m_EndedEdit &&
        (hooks_.singleClick || held == sel.PrevHoldPrim()) && hooks_.startTextEdit) {
      hooks_.startTextEdit(static_cast<Text_Box&>(*held), in.at, false);
    }
  }
}

void MouseEditor::creationFinish(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  CadPrim* made = sel.HoldPrim();
  CadPrim* dragged = sel.DragPrim();
  if (made == nullptr || created_.empty()) return;
  FigureList& list = sel.page();
  markMoving(page);
  if (!isText(made)) made->EnsureMinimumSize();
  std::unique_ptr<CadPrim> before = sel.ReleaseBeforePrim();
  std::optional<UndoGroup> group;
  if (canRecord(page)) group.emplace(*page.undo);
  if (before && dragged != nullptr && dragged != made && canRecord(page)) {
    page.undo->RecordChange(std::move(before), *dragged, *page.document, page.pageNumber);
  }
  Line_Ex* guide = nullptr;
  if (isText(made)) {
    auto& box = static_cast<Text_Box&>(*made);
    auto* line = dynamic_cast<Line_Ex*>(dragged);
    bool clickGuide = false;
    if (line != nullptr && line != static_cast<CadPrim*>(&box)) {
      guide = line;
      const Point32 a = line->point1();
      if (absDiff(a.x, in.at.x) <= 20 && absDiff(a.y, in.at.y) <= 15) {
        // A guide line made by a click: the box goes below and right.
        clickGuide = true;
        Point32 at{Figure_toInt32(int64_t{a.x} + 40), Figure_toInt32(int64_t{a.y} + 30)};
        if (page.canvas != nullptr && page.canvas->snapToGrid()) {
          at = add(at, EditSnap_grid(*page.canvas, at));
        }
        box.DragHandleTo(SelectionDrag_figure, at.x, at.y, true, 0, false);
      }
    }
    if (m_Tool != EditTool_dateText && hooks_.startTextEdit) {
      m_NewTextBox = !clickGuide;
      hooks_.startTextEdit(box, in.at, true);
    }
  }
  if (auto* corner = dynamic_cast<Line_Corner*>(made)) corner->setAutoCentre(false);
  if (canRecord(page)) {
    page.undo->RecordCreation(*made, *page.document, page.pageNumber);
    if (guide != nullptr) page.undo->RecordCreation(*guide, *page.document, page.pageNumber);
  }
  static_cast<void>(list);
  markMoving(page);
}

void MouseEditor::doubleDragFinish(EditPage& page, const MouseInput& in) {
  ViewSelection& sel = page.selection;
  FigureList& list = sel.page();
  if (pulledLine_ == nullptr) {
    // A double click released without pulling.
    if (CadPrim* held = sel.HoldPrim(); isText(held) && hooks_.textDoubleClicked) {
      hooks_.textDoubleClicked(static_cast<Text_Box&>(*held), in.at);
    }
    return;
  }
  CadPrim* line = pulledLine_;
  Text_Box* source = pullSource_;
  // The figure under the end, the line itself left out (it is held, so it
  // would keep the point as the preferred figure).
  const PageHit hit = PageHit_test(list, in.at.x, in.at.y, page.zoom, 0, nullptr, line);
  if (source != nullptr && hit.figure == source) {
    // Back on the source: the pull is abandoned (a cornered line turns its
    // bend the other way first, which goes with it).
    markMoving(page);
    removeFigure(page, *line);
    if (pullSourceBefore_) source->CopyFrom(*pullSourceBefore_, &list);
    FigureList_resolveLinks(list);
    layOut(page, *source);
    sel.SelectOnly(*source);
    return;
  }
  markMoving(page);
  Text_Box* target = nullptr;
  std::unique_ptr<CadPrim> targetBefore;
  bool newTarget = false;
  if (isText(hit.figure) && hit.figure != source) {
    target = static_cast<Text_Box*>(hit.figure);
    targetBefore = Undo_copyOf(*target, &list);
    if (target->frameShape == TextBoxFrame_None) {
      target->frameShape = TextBoxFrame_Rectangle;
      target->frameWidth = 0;
      target->layoutFlags &= ~TextBox_boundsValid;
      layOut(page, *target);
    }
  } else {
    Point32 at = line->GetHandlePoint(2);
    if (at == line->GetHandlePoint(1)) at = line->GetHandlePoint(1);
    std::unique_ptr<Text_Box> box = newText(page, EditTool_text, at);
    if (source != nullptr) box->CopyStyleFrom(*source, 0);
    box->SetText(EditTools_placeholder(false));
    box->textWidth = 100;
    box->textHeight16 = 320;
    target = static_cast<Text_Box*>(&insert(page, std::move(box), false));
    newTarget = true;
  }
  target->AttachEnd(0, *line, 2);
  if (newTarget && hooks_.askNewText) {
    std::string text = target->text();
    if (hooks_.askNewText(text)) {
      // Left as it was, the placeholder stays a placeholder.
      if (text != target->text()) {
        target->SetText(text);
        target->placeholder = false;
        layOut(page, *target);
      }
    } else {
      removeFigure(page, *target);
      target = nullptr;
    }
  }
  if (canRecord(page)) {
    UndoGroup group(*page.undo);
    if (source != nullptr && pullSourceBefore_) {
      page.undo->RecordChange(std::move(pullSourceBefore_), *source, *page.document,
                              page.pageNumber);
    }
    page.undo->RecordCreation(*line, *page.document, page.pageNumber);
    if (target != nullptr) {
      if (newTarget) {
        page.undo->RecordCreation(*target, *page.document, page.pageNumber);
      } else {
        page.undo->RecordChange(std::move(targetBefore), *target, *page.document,
                                page.pageNumber);
      }
    }
  }
  sel.SelectOnly(target != nullptr ? static_cast<CadPrim&>(*target) : *line);
  markMoving(page);
}

// --- Escape -----------------------------------------------------------------------------------

bool MouseEditor::Cancel(EditPage& page) {
  if (!m_LeftDrag) return false;
  ViewSelection& sel = page.selection;
  FigureList& list = sel.page();
  markMoving(page);
  if (!created_.empty()) {
    // What the press made goes again; what it hung on comes back.
    CadPrim* attachedTo = sel.DragPrim();
    std::unique_ptr<CadPrim> before = sel.ReleaseBeforePrim();
    const std::vector<CadPrim*> made = created_;
    for (CadPrim* f : made) removeFigure(page, *f);
    if (before && attachedTo != nullptr && list.indexOf(*attachedTo) >= 0) {
      attachedTo->CopyFrom(*before, &list);
    }
    if (pullSource_ != nullptr && pullSourceBefore_) {
      pullSource_->CopyFrom(*pullSourceBefore_, &list);
    }
    FigureList_resolveLinks(list);
    sel.DeselectAll(true);
  } else if (!m_NotMoved) {
    // The figures go back to where the press found them.
    const std::vector<CadPrim*>& moved = sel.MoveSet();
    const auto& copies = sel.BeforeCopies();
    CadPrim* held = sel.HoldPrim();
    if (isCanvas(held) && sel.BeforePrim() != nullptr) {
      held->CopyFrom(*sel.BeforePrim(), &list);
      pageSizeChanged_ = true;
    }
    for (size_t i = 0; i < moved.size() && i < copies.size(); ++i) {
      if (copies[i]->GetNumber() == moved[i]->GetNumber()) moved[i]->CopyFrom(*copies[i], &list);
    }
    FigureList_resolveLinks(list);
    for (CadPrim* f : moved) layOut(page, *f);
  }
  markMoving(page);
  sel.DiscardBeforeCopies();
  sel.EndPress();
  clearFlags();
  return true;
}

// --- drag-menu operations -------------------------------------------------------------------

void MouseEditor::CopySelection(EditPage& page, int32_t dx, int32_t dy) {
  ViewSelection& sel = page.selection;
  FigureList& list = sel.page();
  std::vector<CadPrim*> sources;
  for (const auto& f : list) {  // in page order
    if (!isCanvas(f.get()) && sel.IsInSelection(*f)) sources.push_back(f.get());
  }
  if (sources.empty()) return;
  std::vector<std::unique_ptr<CadPrim>> copies;
  for (CadPrim* f : sources) {
    std::unique_ptr<CadPrim> c = f->Clone(&list);
    c->SetIsCopy(false);
    copies.push_back(std::move(c));
  }
  Figures_renumberCopies(copies, AppCounters_instance());
  // Moved while their links are numbers only, so that each moves once.
  for (auto& c : copies) {
    c->SetSelected(false);
    c->SetMoveMark(false);
    c->MoveBy(dx, dy);
  }
  sel.DeselectAll(true);
  std::vector<CadPrim*> made;
  for (auto& c : copies) {
    CadPrim& live = list.append(std::move(c));
    if (auto* r = dynamic_cast<Rect_Ex*>(&live); r && r->shape == RectShape_Image) {
      r->MakeOwnWorkingCopy();
    }
    made.push_back(&live);
  }
  FigureList_resolveLinks(list);
  for (CadPrim* f : made) layOut(page, *f);
  for (CadPrim* f : made) sel.AddToSelection(*f);
  if (!made.empty()) sel.AddToSelection(*made.front());
  if (canRecord(page)) {
    UndoGroup group(*page.undo);
    for (CadPrim* f : made) page.undo->RecordCreation(*f, *page.document, page.pageNumber);
  }
  created_.clear();
}

void MouseEditor::AnimatedMove(EditPage& page, Point32 from, Point32 to,
                               const std::function<void()>& step,
                               const std::function<void(int ms)>& sleep,
                               const std::function<uint32_t()>& clock) {
  const int32_t saved = m_Tool;
  m_Tool = EditTool_select;
  m_ClickCount = 0;
  const uint32_t start = clock ? clock() : 0;
  MouseInput in;
  in.at = from;
  in.tick = start;
  Press(page, in);
  // Every part of the way past the threshold.
  m_NotMoved = false;
  for (int32_t i = 1; i <= 30; ++i) {
    const uint32_t due = static_cast<uint32_t>(i * 12);
    const uint32_t now = clock ? clock() - start : due;
    if (now > due + 12 && i < 30) continue;  // late: skipped
    if (now < due && sleep) sleep(static_cast<int>(due - now));
    const int64_t num = int64_t{i} * (i + 1) / 2;
    in.at = {Figure_toInt32(int64_t{from.x} + (int64_t{to.x} - from.x) * num / 465),
             Figure_toInt32(int64_t{from.y} + (int64_t{to.y} - from.y) * num / 465)};
    in.tick = start + due;
    Move(page, in);
    if (step) step();
  }
  in.at = to;
  Release(page, in);
  m_ClickCount = 0;
  m_Tool = saved;
}

void MouseEditor::MakeShortcut(EditPage& page, Point32 at, const std::string& notePath) {
  ViewSelection& sel = page.selection;
  CadPrim* held = sel.HoldPrim();
  if (held == nullptr) return;
  const auto* image = dynamic_cast<const Rect_Ex*>(held);
  if (!isText(held) && !(image && image->shape == RectShape_Image)) return;
  const std::string id = held->GetId();
  if (id.empty()) {
    if (hooks_.message) {
      hooks_.message("リンク先に id が設定されていないため、ショートカットの作成を中止しました");
    }
    return;
  }
  std::unique_ptr<Text_Box> box = newText(page, EditTool_text, at);
  box->SetText(isText(held) ? static_cast<Text_Box*>(held)->text() : std::string("image"));
  box->placeholder = false;
  box->SetUrl(notePath + "#" + id);
  CadPrim& live = insert(page, std::move(box), false);
  sel.SelectOnly(live);
  if (canRecord(page)) page.undo->RecordCreation(live, *page.document, page.pageNumber);
  created_.clear();
}

// --- the right button -------------------------------------------------------------------------

void MouseEditor::RightPress(EditPage& page, const MouseInput& in) {
  m_EndedEdit = false;
  if (m_LeftDrag) {
    // The right button takes a left drag back; nothing is recorded.
    Cancel(page);
    return;
  }
  ViewSelection& sel = page.selection;
  rightFrom_ = in.at;
  const PageHit hit = in.ctrl ? PageHit{} : sel.HitTestPage(in.at.x, in.at.y, page.zoom, 0);
  m_RightEnd = hit.figure != nullptr && hit.figure->GetKind() == FigureKind_Line &&
                       (hit.hit.code == 1 || hit.hit.code == 2)
                   ? hit.hit.code
                   : 0;
  if (hit.figure != nullptr) {
    if (sel.IsInSelection(*hit.figure)) {
      sel.AddToSelection(*hit.figure);  // to the front
    } else {
      sel.SelectOnly(*hit.figure);
    }
    m_RightDrag = true;
    m_MenuOnRelease = true;
    return;
  }
  if (page.viewerMode) {
    m_MenuOnRelease = true;
    return;
  }
  sel.DeselectAll(true);
  rowBand_ = RowOps_band(sel.page(), in.at);
  rowMouseY_ = in.at.y;
  m_RowY = in.at.y;
  m_RightDrag = true;
  m_MenuOnRelease = false;
}

void MouseEditor::RightMove(EditPage& page, const MouseInput& in) {
  if (!rowBand_) return;
  // The guide's old and new lines.
  auto mark = [&](int32_t y) {
    page.selection.MarkDirty(Rect32{0, y - 2, page.canvas ? page.canvas->width() + 1 : 1, 5});
  };
  mark(rowMouseY_);
  rowMouseY_ = in.at.y;
  mark(rowMouseY_);
  mark(rowBand_->startY);
}

MouseEditor::RightResult MouseEditor::RightRelease(
    EditPage& page, const MouseInput& in,
    const std::function<PromptAnswer(const char*, const char*)>& ask,
    const std::function<void(int ms)>& sleep) {
  RightResult result = m_MenuOnRelease ? RightResult::ContextMenu : RightResult::None;
  if (rowBand_) {
    RightMove(page, in);
    const int64_t d = int64_t{std::max(in.at.y, 0)} - rowBand_->startY;
    RowOpsHooks hooks;
    hooks.ask = ask;
    hooks.sleep = sleep;
    hooks.japanese = hooks_.japanese;
    if (RowOps_finish(page, *rowBand_, in.at.y, hooks)) pageSizeChanged_ = true;
    // A plain right click on empty canvas opens the canvas menu.
    result = d < 7 && d >= -6 ? RightResult::ContextMenu : RightResult::None;
  } else if (m_RightDrag &&
             absDiff(in.at.x, rightFrom_.x) + absDiff(in.at.y, rightFrom_.y) > 6) {
    SetDragGesture(rightFrom_, in.at);
    result = in.ctrl && !in.shift   ? RightResult::Copy
             : in.shift && !in.ctrl ? RightResult::Move
                                    : RightResult::DragMenu;
  }
  rowBand_.reset();
  m_RowY = -1;
  m_RightDrag = false;
  m_MenuOnRelease = false;
  return result;
}
