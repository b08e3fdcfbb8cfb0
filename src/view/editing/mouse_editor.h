// The left-button state machine of the editing view: what a press, a drag
// and a release do with each tool of the palette (select, multi-select,
// rotate, the creation tools), the drag threshold, moving and resizing with
// snapping, pulling a line out of a text box after a double click, and the
// undo step every finished gesture leaves.  Also the drag-menu operations
// copy (32839), animated move (32838) and shortcut (33159).
//
// Plain C++: the widget converts mouse positions to page units and calls
// Press / Move / Release / Cancel with an EditPage that names the shown
// page, its selection and the undo history; it then repaints what
// ViewSelection::TakeDirtyRect reports.  The selection part of the state
// (m_HoldPrim, m_DragPrim, m_BeforePrim, m_Selection, m_MoveSet, the before
// copies, m_DragMode, m_GrabOffset) lives in ViewSelection; the rest of the
// mouse state lives here under the view's member names.
//
// Every path out of a gesture (release, Escape, a page change) leaves the
// state idle: the flags false, the before copies consumed or discarded.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/prompts/user_prompts.h"
#include "core/surface/text_metrics.h"
#include "figures/base/cad_prim.h"
#include "figures/base/draw_context.h"
#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"

class Canvas;
class NoteDocument;
class Text_Box;
class UndoHistory;
class ViewSelection;

// The band of a row operation of the right button (row_operations.h).
struct RowBand {
  int32_t startY = 0;
  // The horizontal limits (one unit inside the layout lines) and the lower
  // end of those lines; unlimited without layout lines.
  int32_t left = std::numeric_limits<int32_t>::min();
  int32_t right = std::numeric_limits<int32_t>::max();
  int32_t bottom = std::numeric_limits<int32_t>::max();
};

// The page a gesture works on.
struct EditPage {
  explicit EditPage(ViewSelection& s) : selection(s) {}
  ViewSelection& selection;
  Canvas* canvas = nullptr;  // the page's settings (grid, size)
  int32_t zoom = 100;
  const TextMetrics* metrics = nullptr;  // new text boxes measure with it
  DrawContext layout;                    // and are laid out in it
  // Recording (both null: nothing is recorded, e.g. a page without a note).
  UndoHistory* undo = nullptr;
  NoteDocument* document = nullptr;
  int32_t pageNumber = -1;
  bool viewerMode = false;
};

struct MouseInput {
  Point32 at;  // page units
  bool shift = false;
  bool ctrl = false;
  uint32_t tick = 0;  // milliseconds of a monotonic clock
  // The window system reported this press as the second of a double click:
  // it counts as one whatever the clock says (the first press may have
  // taken long to handle).
  bool doubleClick = false;
};

// What the state machine asks of the window around it.  Every member may
// be left empty.
struct MouseEditorHooks {
  // The style template of a creation tool (a clone the editor may keep), or
  // null: the default figure is made.  Style sets fill this in.
  std::function<std::unique_ptr<CadPrim>(int32_t tool)> templateFor;
  // In-place editing of a text box at a page point; `selectAll` selects
  // the whole text (a new box's placeholder).  A double click on a held
  // text box and a new text box start here.
  std::function<void(Text_Box& box, Point32 at, bool selectAll)> startTextEdit;
  // A double click on a text box released without pulling a line: the
  // in-place editor (held before) or the multi-line text dialog.
  std::function<void(Text_Box& box, Point32 at)> textDoubleClicked;
  // The text of a text box made at the end of a pulled line; false: the
  // user cancelled and the box is removed again.  Empty: the placeholder
  // stays.
  std::function<bool(std::string& text)> askNewText;
  // A click on a figure with a link (not the figure held before).
  std::function<void(CadPrim& figure)> followLink;
  // A message to the user (the shortcut without an id).
  std::function<void(const std::string& text)> message;
  // The "SingleClick" setting, the system's double-click time (ms).
  bool singleClick = false;
  uint32_t doubleClickTime = 500;
  bool japanese = true;
  std::string dateFormat = "%Y/%m/%d %H:%M";
  std::function<int64_t()> now;  // seconds since the epoch (tool 7)
};

class MouseEditor {
 public:
  explicit MouseEditor(MouseEditorHooks hooks = {});
  ~MouseEditor();
  MouseEditor(const MouseEditor&) = delete;
  MouseEditor& operator=(const MouseEditor&) = delete;

  MouseEditorHooks& hooks() { return hooks_; }

  // --- the tool ---
  int32_t tool() const { return m_Tool; }
  void SetTool(int32_t tool);

  // --- the left button ---
  void Press(EditPage& page, const MouseInput& in);
  void Move(EditPage& page, const MouseInput& in);
  void Release(EditPage& page, const MouseInput& in);
  // Escape during a drag: the figures go back to where the press found
  // them, a figure made by the press goes again; nothing is recorded.
  // False when no drag ran.
  bool Cancel(EditPage& page);
  // The page is about to change or go: the gesture ends without a record.
  void Reset();
  // A figure is about to go: no pointer of the mouse state keeps it.
  void Forget(const CadPrim& figure);
  bool dragging() const { return m_LeftDrag; }
  // The canvas corner moved (or went back): the scroll sizes and the whole
  // window follow.
  bool TakePageSizeChanged() { return std::exchange(pageSizeChanged_, false); }

  // --- the right button ---
  // A right press: during a left drag it takes the drag back (as Escape);
  // on a figure it selects it for a right drag; on empty canvas (or with
  // Ctrl) it arms a row operation at the press height.
  void RightPress(EditPage& page, const MouseInput& in);
  // The mouse while a row operation is armed (the guide follows).
  void RightMove(EditPage& page, const MouseInput& in);
  enum class RightResult { None, ContextMenu, DragMenu, Copy, Move };
  // The right release: finishes a row operation (asking through `ask`), or
  // tells what a right drag of figures asks for (Ctrl copies, Shift moves,
  // else the drag menu), or that the context menu opens.
  RightResult RightRelease(EditPage& page, const MouseInput& in,
                           const std::function<PromptAnswer(const char*, const char*)>& ask,
                           const std::function<void(int ms)>& sleep);
  // The armed row operation's band and the mouse height, none when idle.
  const std::optional<RowBand>& rowBand() const { return rowBand_; }
  int32_t rowMouseY() const { return rowMouseY_; }

  // --- the drag menu (after a right drag from `from` to `to`) ---
  Point32 dragFrom() const { return dragFrom_; }
  Point32 dragTo() const { return dragTo_; }
  void SetDragGesture(Point32 from, Point32 to) {
    dragFrom_ = from;
    dragTo_ = to;
  }
  // Copy: duplicates of the selection moved by the gesture, one step.
  void CopySelection(EditPage& page, int32_t dx, int32_t dy);
  void CopyByGesture(EditPage& page) {
    CopySelection(page, dragTo_.x - dragFrom_.x, dragTo_.y - dragFrom_.y);
  }
  // Move: a press at the start, 30 steps along an accelerating path (one
  // about every 12 ms, late steps skipped), a release at the end.  `step`
  // runs after each move (repaint); `sleep` waits; `clock` gives ms.
  void AnimatedMove(EditPage& page, Point32 from, Point32 to, const std::function<void()>& step,
                    const std::function<void(int ms)>& sleep,
                    const std::function<uint32_t()>& clock);
  // Shortcut: a text box at `at` linking to the held text box or image by
  // "%s#%s" (the note's path, its id).
  void MakeShortcut(EditPage& page, Point32 at, const std::string& notePath);

  // --- the mouse state (the view's members; all false / 0 when idle) ---
  int32_t m_Tool = 0;
  bool m_LeftDrag = false;
  bool m_NotMoved = false;
  bool m_Creating = false;
  int32_t m_ClickCount = 0;
  uint32_t m_LastClickTick = 0;
  bool m_EndedEdit = false;
  bool m_DoubleDrag = false;
  bool m_RightDrag = false;
  bool m_MenuOnRelease = false;
  // The line end (1, 2) that the last right press grabbed; 0: none.
  int32_t m_RightEnd = 0;
  bool m_InOleDrag = false;
  int32_t m_RowY = -1;
  bool m_Editing = false;  // the in-place editor runs (its owner sets it)
  bool m_NewTextBox = false;
  bool m_AutoCorrect = true;  // command 33108
  int32_t m_NewKind = 0;
  Point32 m_DragPoint;
  Point32 m_PressPoint;

 private:
  void selectPress(EditPage& page, const MouseInput& in);
  void rotatePress(EditPage& page, const MouseInput& in);
  void creationPress(EditPage& page, const MouseInput& in);
  void doubleClick(EditPage& page, const MouseInput& in);
  void moveSelection(EditPage& page, const MouseInput& in);
  void dragHeld(EditPage& page, const MouseInput& in);
  void doubleDragMove(EditPage& page, const MouseInput& in);
  void normalFinish(EditPage& page, const MouseInput& in);
  void creationFinish(EditPage& page, const MouseInput& in);
  void doubleDragFinish(EditPage& page, const MouseInput& in);
  void recordMoves(EditPage& page);
  void clearFlags();
  // A new figure: the template's clone or the default, numbered.
  std::unique_ptr<CadPrim> newFigure(EditPage& page, int32_t tool, Point32 at);
  std::unique_ptr<Text_Box> newText(EditPage& page, int32_t tool, Point32 at);
  CadPrim& insert(EditPage& page, std::unique_ptr<CadPrim> figure, bool bottomRun);
  void layOut(EditPage& page, CadPrim& figure) const;
  // Removes a figure from the page (and from the selection).
  void removeFigure(EditPage& page, CadPrim& figure);
  Point32 snapped(EditPage& page, Point32 p, bool axisLock, bool figures,
                  const CadPrim* movedText, int32_t gridYExtra) const;
  // The figures whose areas change with the held figure: dirty before and
  // after a change.
  void markMoving(EditPage& page) const;
  void pullLine(EditPage& page, const MouseInput& in, Text_Box* source);

  MouseEditorHooks hooks_;
  // The figures the current gesture made (removed again by Escape).
  std::vector<CadPrim*> created_;
  // How far a text box moved as a whole is about to move (its alignment
  // looks at where it will be).
  Point32 pending_;
  bool pageSizeChanged_ = false;
  std::optional<RowBand> rowBand_;
  int32_t rowMouseY_ = 0;
  Point32 rightFrom_;
  Point32 dragFrom_, dragTo_;
  // The double click: its point, the figure the first click pressed, the
  // text box it made (removed again by a pull), the pulled line and the
  // figure it comes from.
  Point32 doublePoint_;
  CadPrim* firstClickPrim_ = nullptr;
  CadPrim* prevHeldAtFirstClick_ = nullptr;
  CadPrim* madeByDoubleClick_ = nullptr;
  CadPrim* pulledLine_ = nullptr;
  Text_Box* pullSource_ = nullptr;
  std::unique_ptr<CadPrim> pullSourceBefore_;
  // The last clicked text box (its style goes to double-click boxes).
  std::unique_ptr<CadPrim> lastClickedText_;
};

// The drag threshold in page units at a zoom: max(1, 400 / zoom).
int32_t MouseEditor_threshold(int32_t zoom);
