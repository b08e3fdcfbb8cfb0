// The selection of the editing view: the held figure, the ordered list of
// selected figures, the move set and the "before" copies for undo, and how
// presses, drags and releases of the select tools change them.  Plain C++:
// the view widget converts mouse positions to page units and calls
// Press / Move / Release, then asks TakeDirtyRect what to repaint and
// TakeSelectionChanged whether the property bar must be told.
//
// Invariants after every complete operation (press and release, SelectAll,
// DeselectAll, SelectInRect):
//   - m_Selection holds each figure once, never the canvas, only figures of
//     the page, and exactly the page's figures whose IsSelected is true;
//   - m_HoldPrim is null exactly when m_Selection is empty (or the canvas
//     while its corner is dragged), else a member of m_Selection; a figure
//     picked again is moved to the front;
//   - m_MoveSet is, in page order, the figures whose move mark is set: the
//     selection and what is attached to it;
//   - m_BeforeCopies, when taken, holds one copy per member of m_MoveSet.
// Ink strokes have no selection yet: the ink steps do nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"
#include "view/selection/page_hit_test.h"

// What a drag does (m_DragMode).
enum SelectionDragMode : int32_t {
  SelectionDrag_none = 0,
  SelectionDrag_inkResize = -3,
  SelectionDrag_selection = -2,  // the whole selection moves
  SelectionDrag_figure = -1,     // the held figure by its reference point
  SelectionDrag_canvasCorner = 1,  // with the canvas held
  SelectionDrag_rubberBand = 2,    // with nothing held
  // 1-8: the box handle (1-2 line points) of the held figure.
};

// The select tools: 0 picks one figure, 1 adds to the selection.
inline constexpr int32_t SelectionTool_select = 0;
inline constexpr int32_t SelectionTool_multiSelect = 1;
inline constexpr int32_t SelectionTool_rotate = 2;

struct SelectionModifiers {
  bool shift = false;
  bool ctrl = false;
  bool any() const { return shift || ctrl; }
};

// What the widget knows at a press.
struct SelectionPress {
  int32_t zoom = 100;    // m_Zoom
  int32_t tool = SelectionTool_select;
  // The in-place text editor while a text box is edited (its hits are
  // reported as the held figure), else null.
  CadPrim* editor = nullptr;
};

class ViewSelection {
 public:
  // `page`: the shown page's figure list (the canvas may be one of them).
  explicit ViewSelection(FigureList& page);
  ~ViewSelection();
  ViewSelection(const ViewSelection&) = delete;
  ViewSelection& operator=(const ViewSelection&) = delete;

  // Another page is shown: the selection of the old page is cleared first,
  // so call it while the old list still lives.  A figure about to leave
  // the page (delete, cut, undo) goes through RemoveFromSelection first.
  void SetPage(FigureList& page);
  FigureList& page() const { return *page_; }

  // --- state ---
  CadPrim* HoldPrim() const { return m_HoldPrim; }
  CadPrim* PrevHoldPrim() const { return m_PrevHoldPrim; }
  CadPrim* DragPrim() const { return m_DragPrim; }
  int32_t DragMode() const { return m_DragMode; }
  Point32 GrabOffset() const { return m_GrabOffset; }
  Point32 PressPoint() const { return m_PressPoint; }
  bool WasSelected() const { return m_WasSelected; }
  const std::vector<CadPrim*>& Selection() const { return m_Selection; }
  const std::vector<CadPrim*>& MoveSet() const { return m_MoveSet; }
  const CadPrim* BeforePrim() const { return m_BeforePrim.get(); }
  const std::vector<std::unique_ptr<CadPrim>>& BeforeCopies() const { return m_BeforeCopies; }
  // Hands the before states to the undo step (they are the caller's then).
  std::unique_ptr<CadPrim> ReleaseBeforePrim() { return std::move(m_BeforePrim); }
  std::vector<std::unique_ptr<CadPrim>> ReleaseBeforeCopies();
  // Destroys the before states.
  void DiscardBeforeCopies();
  bool IsInSelection(const CadPrim& f) const;

  // --- hit testing ---
  // PageHit_test with the held figure (or the editor, reported as the held
  // figure) preferred.
  PageHit HitTestPage(int32_t x, int32_t y, int32_t zoom, int32_t mode, CadPrim* editor = nullptr,
                      const CadPrim* skip = nullptr) const;

  // --- selection operations ---
  // Clears everything; true when something was selected.  With
  // `updatePropertyBar` the property bar is told (TakeSelectionChanged).
  // An in-place text edit must be ended by the caller first.
  bool DeselectAll(bool updatePropertyBar = true);
  void SelectOnly(CadPrim& f);
  // Appends (or moves to the front when already selected) and holds it.
  void AddToSelection(CadPrim& f);
  void RemoveFromSelection(CadPrim& f);
  void RebuildMoveSet();
  // Copies of the pressed figure (when selected, else of the front one) and
  // of every member of the move set, marked as copies.
  void TakeBeforeCopies(const CadPrim* pressed);
  // The same, and after those copies of every other figure of the page:
  // a run of nudges records whatever followed the moved figures (lines
  // hanging on them, boxes hanging on those lines).
  void TakeBeforeCopiesOfPage(const CadPrim* pressed);
  // The rubber band: toggles every figure whose box meets `r` (page units).
  void SelectInRect(const Rect32& r);
  void SelectAll();
  // Exactly these figures of the page (a paste's), `held` held (null: the
  // last of them).
  void SelectFigures(const std::vector<CadPrim*>& figures, CadPrim* held);

  // --- the mouse in the select tools (page units) ---
  // The press: hit test, then the selection rules.  Returns the hit.
  PageHit Press(Point32 p, SelectionModifiers mods, const SelectionPress& how);
  // A move with the button down: the rubber band follows; other drags are
  // the editing state machine's (it reads DragMode, DragPrim, GrabOffset).
  void Move(Point32 p);
  // The release: the rubber band selects, a Shift/Ctrl click on a selected
  // figure without a move takes it out of the selection.  Other drags keep
  // DragMode, DragPrim and the before copies for the editing state machine.
  void Release(Point32 p);
  // The band rectangle while it is dragged (inclusive corners), else none.
  std::optional<Rect32> RubberBand() const;
  bool Moved() const { return moved_; }

  // --- what the editing state machine sets (src/view/editing) ---
  // Holds `held` (null: nothing) with `dragged` under the mouse, the drag
  // mode and the grab offset; marks the old and new held figures dirty.
  void Hold(CadPrim* held, CadPrim* dragged, int32_t mode, Point32 grab);
  void SetDragMode(int32_t mode) { m_DragMode = mode; }
  void SetGrabOffset(Point32 grab) { m_GrabOffset = grab; }
  // A copy of the held figure (or of a figure a new one hangs on) taken
  // before a change; marked as a copy.
  void SetBeforePrim(std::unique_ptr<CadPrim> before);
  // The press of the select tools is over (no rubber band follows).
  void EndPress() { pressed_ = false; }
  // A figure about to leave the page: no pointer of the selection keeps it.
  void Forget(const CadPrim& f);
  // The area of a figure (with its handles) or a page rectangle must be
  // repainted.
  void MarkDirty(const CadPrim& f) { markDirty(f); }
  void MarkDirty(const Rect32& r) { markDirty(r); }

  // Who records the pending change (the before copies a run of keyboard
  // nudges left) as an undo step.  Every operation that would drop or
  // replace those copies, or change the selection they belong to, calls it
  // first, whoever asked for the operation; the recorder itself decides
  // whether a gesture runs (then the copies are the gesture's, not pending).
  void SetPendingRecorder(std::function<void()> recorder) { pendingRecorder_ = std::move(recorder); }

  // --- what the widget must do afterwards ---
  // The page area whose marks changed since the last call (old and new
  // boxes of the figures whose selection changed, with room for their
  // handles, and the old and new rubber band); none when nothing changed.
  std::optional<Rect32> TakeDirtyRect();
  // Whether the selection changed since the last call (the property bar and
  // tool bar show it).
  bool TakeSelectionChanged();

 private:
  void markDirty(const CadPrim& f);
  void markDirty(const Rect32& r);
  // Hands before copies that are still held to the pending recorder.
  void recordPending();
  void setSelected(CadPrim& f, bool on);
  void removeEntry(const CadPrim& f);
  void moveToFront(CadPrim& f);
  void dropUnkept();
  Rect32 bandRect(Point32 a, Point32 b) const;

  FigureList* page_;
  CadPrim* m_HoldPrim = nullptr;
  CadPrim* m_PrevHoldPrim = nullptr;
  CadPrim* m_DragPrim = nullptr;
  std::unique_ptr<CadPrim> m_BeforePrim;
  std::vector<CadPrim*> m_Selection;
  std::vector<CadPrim*> m_MoveSet;
  std::vector<std::unique_ptr<CadPrim>> m_BeforeCopies;
  int32_t m_DragMode = SelectionDrag_none;
  Point32 m_GrabOffset{PageHit_noGrab, PageHit_noGrab};
  Point32 m_DragPoint;
  Point32 m_PressPoint;
  bool m_WasSelected = false;

  std::function<void()> pendingRecorder_;
  bool recordingPending_ = false;
  bool pressed_ = false;
  bool moved_ = false;
  int32_t zoom_ = 100;
  std::optional<Rect32> dirty_;
  bool selectionChanged_ = false;
};

// How far handle marks reach beyond a figure's box, in page units at a zoom.
int32_t ViewSelection_markMargin(int32_t zoom);
