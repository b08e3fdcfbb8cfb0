// The editing view: one page of the note on screen, zoomed and scrolled,
// with the selection of its figures (clicks, the rubber band, select all)
// and the hover cursor and link tip.
// The page is rendered into the process's one off-screen image (at the
// screen's device pixel ratio) and copied to the viewport; only paintEvent
// paints.  A change asks for a repaint through Invalidate, which lets at
// most one full render happen per 16 ms without ever sleeping.  A change
// that knows its area (the selection marks) re-renders only that part of
// the back buffer, as long as the buffer still shows the same zoom,
// scroll, size and page.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QPointF>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#include <utility>

#include "view/geometry/view_geometry.h"
#include "view/render/render_page.h"

class CadPrim;
class QMimeData;
class QMouseEvent;
class Canvas;
class CommandTable;
class InPlaceEditing;
class InkEngine;
class QTabletEvent;
class MouseEditor;
class NamedLock;
class NoteDocument;
struct EditPage;
class QtSurfaceTextCache;
class TextMetrics;
class UndoHistory;
class ViewContextMenus;
class ViewSelection;
struct UndoPendingState;

// What the view asks of its main window.
class ChildViewHost {
 public:
  virtual ~ChildViewHost() = default;
  // The page being shown (figures null: no page).
  virtual ViewPageSource CurrentPage() = 0;
  virtual int32_t CurrentPageNumber() = 0;
  // Next (+1) / previous (-1) page (commands 32948 / 32949); false when
  // there is none.
  virtual bool TurnPage(int direction) = 0;
  // Shows page `number` (zoom swap).
  virtual void GoToPage(int32_t number) = 0;
  // Between the back page and the normal page (command 32954).
  virtual void SwitchBackPage() = 0;
  // The grid settings changed (they go to the settings file).
  virtual void GridChanged(const Canvas& canvas) = 0;
  virtual bool Japanese() const = 0;
  virtual uint32_t WindowId() = 0;
  // The selection changed: the property bar and tool bar show it.
  virtual void SelectionChanged() {}
  // An undo or redo step ran: pages may have come, gone or moved.
  virtual void HistoryStepped() {}
  // The note's folder (CP932, "" for a new note): link tips are relative to
  // it.
  virtual std::string NoteFolder() { return {}; }
  // A click without a move on a figure with a link that was not held
  // before: the main window follows the link.
  virtual void LinkClicked(CadPrim& /*figure*/) {}
  // The mouse's back (-1) and forward (+1) buttons: the link history.
  virtual void LinkHistoryStep(int /*direction*/) {}
  // What mouse editing records into and measures with (null: nothing is
  // recorded; the view measures with metrics of its own).
  virtual UndoHistory* History() { return nullptr; }
  virtual NoteDocument* Document() { return nullptr; }
  virtual const TextMetrics* Metrics() { return nullptr; }
  // The note's path (CP932, "" untitled): shortcuts link to it.
  virtual std::string NotePath() { return {}; }
  // The note's modified state may have changed (the title shows it).
  virtual void ModifiedChanged() {}
  // Drag and drop onto the page: the action a drop of `data` would take
  // with these keys (Qt::IgnoreAction: none), and the drop at a page
  // point; the drop answers the action it took (what the source sees).
  virtual Qt::DropAction DropAction(const QMimeData& /*data*/, Qt::KeyboardModifiers /*keys*/) {
    return Qt::IgnoreAction;
  }
  virtual Qt::DropAction Drop(const QMimeData& /*data*/, Point32 /*at*/, Qt::DropAction /*action*/) {
    return Qt::IgnoreAction;
  }
  // Held figures dragged out of the view: the window starts a drag of the
  // selection with `anchor` (page units) as its point.
  virtual void DragOut(Point32 /*anchor*/) {}
};

// The back buffer shared by every view of the process.
QImage& ChildView_backBuffer();

class CChildView : public QAbstractScrollArea {
 public:
  explicit CChildView(ChildViewHost& host, QWidget* parent = nullptr);
  ~CChildView() override;

  // --- geometry (CChildView's members of the same names) ---
  const ViewGeometry& geometry() const { return m_Geometry; }
  Point32 ClientToCanvas(Point32 client) const;
  Point32 CanvasToClient(Point32 canvas) const;
  void FillDrawContext(DrawContext& ctx, bool clipToPage) const;
  // how = 1 centres on `centre` (canvas units); how = 0 may enter zoom-pick.
  void SetZoom(int32_t zoom, int how = 0, Point32 centre = {});
  void SetZoomMode(int32_t mode);  // the fit commands (2, 3)
  void ZoomIn();
  void ZoomOut();
  void ZoomSwap();
  // The page-step commands (next, previous, first, last page) set it after
  // their step, the zoom swap clears it: while it is set, showing another
  // page keeps the zoom-swap state taken before the run of steps.
  bool m_SwapHeld = false;
  // The zoom-swap state takes the current zoom, zoom mode, scroll position
  // and page number (the page tree does before it shows another page).
  void TakeSwapState(int32_t page);
  void UpdateScrollSizes();
  void ScrollTo(Point32 position);
  bool EnsureVisible(const Rect32& canvasRect);
  // Page down (+1) / up (-1); turns the page at the end.
  void ScrollPage(int direction);
  bool zoomPicking() const { return m_ZoomPick; }
  // The commands' own steps: the zoom rate dialog, fit page with its hint,
  // and the grid commands (Cmd_GridCatch, Cmd_GridDisplay, Cmd_GridStandard).
  void ZoomRateDialog();
  void FitWholePage();
  void GridCommand(int id);
  bool japanese() const { return m_Host.Japanese(); }
  std::string notePath() const { return m_Host.NotePath(); }
  // A plain click on a linked figure: the main window follows the link.
  // During a mouse event the link waits until the event is handled (the
  // jump may show another page or close this view, which frees what the
  // gesture still works on).
  void FollowLink(CadPrim& figure);
  // A command runs, or the window is about to save or close: a left drag
  // still running is taken back (as Escape) and the mouse state lets go of
  // every figure, so that nothing of the gesture outlives what comes next.
  void EndGesture();
  // A figure of the shown page is about to go outside a gesture: the
  // selection and the mouse state let go of it.
  void FigureLeaving(const CadPrim& figure);
  // Records the pending change (a run of nudges) as its own step unless a
  // gesture runs (then the before copies are the gesture's).
  void RecordPendingChange();
  Canvas* currentCanvas() const { return m_Host.CurrentPage().canvas; }
  // Another page is shown, or the page's size changed.  The figures of the
  // shown page are the host's working copy, which the view's selection
  // marks.  A host that replaces the figures of the same list (a page turn
  // of the note, loading, closing) calls PageLeaving first, while they
  // still live.
  void PageChanged();
  void PageLeaving();

  // --- selection ---
  // The selection of the shown page; null while no page is shown.
  ViewSelection* selection() const { return m_ViewSelection.get(); }
  // Command 32868 (Ctrl+A).
  void SelectAll();
  // The link text of the hover tip (m_TipText) and the text the tip shows
  // since its timer ran out ("" = none).
  const std::string& tipText() const { return m_TipText; }
  const std::string& shownTipText() const { return m_ShownTip; }
  // The active tool (0 = select; the editing state machine sets it).
  int32_t m_Tool = 0;
  ChildViewHost& host() const { return m_Host; }

  // --- in-place text editing and the right button ---
  InPlaceEditing& inPlace() const { return *m_InPlace; }
  ViewContextMenus& contextMenus() const { return *m_Menus; }
  // What the view adds to the note's modified state: a pending change
  // (before copies of figures that differ from them, outside a drag) and
  // an in-place edit that changed its text.
  UndoPendingState PendingState() const;
  // The input method's questions: while a text box is edited, the caret
  // rectangle (in the view's coordinates, zoom and scroll applied) and the
  // box's font.
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  // Whether the left button is down on the page (a drag may be running).
  bool leftDown() const { return m_LeftDown; }

  // --- mouse editing (src/view/editing) ---
  MouseEditor& mouseEditor() { return *m_Editor; }
  // Chooses a tool of the palette (ends zoom-pick).
  void ChooseTool(int32_t tool);
  // Runs an editing step on the shown page, then repaints what it changed;
  // false when no page is shown.
  bool WithEditPage(const std::function<void(EditPage&)>& run);
  // The context menu of a right click (at the global position; empty: none).
  std::function<void(QPoint global)> m_ContextMenu;

  // --- painting ---
  // The page changed (a new page, an edit): a repaint within the frame
  // pacing.
  void Invalidate();
  // Renders the page into the back buffer now and repaints at once.
  void RedrawNow();
  // RenderPage onto any surface (the back buffer, page images, printing).
  // `area` (client pixels, right and bottom exclusive) limits the drawing
  // to that part of the surface.
  DrawContext RenderPage(Surface& surface, bool clipToPage, bool useScroll, bool forPrint,
                         bool noGrid, bool noBackground,
                         std::optional<SurfaceRect> area = std::nullopt);
  // The area of the client (pixels) whose content changed: only that part
  // of the back buffer is rendered again at the next paint, unless a full
  // render is due by then.
  void InvalidateArea(const QRect& area);
  // How many full renders have been made (for tests and benchmarks), and
  // how many renders of a part.
  int renderCount() const { return m_RenderCount; }
  int partRenderCount() const { return m_PartRenderCount; }

  // --- pen ink (child_view_ink.cpp) ---
  // The ink engine (null: ink is off, as the NoInkForDebug setting asks).
  InkEngine* ink() const { return m_InkEngine.get(); }
  void SetInkEnabled(bool on);
  // The eraser (32894) and "select all ink" (33077).
  void ChooseEraser();
  void SelectAllInk();

  // --- what other parts of the view plug in ---
  // The selection layer's painter of step 6 (not owned; null: none).
  ViewSelectionMarks* m_SelectionMarks = nullptr;
  // The pen-ink painter of steps 3 and 5 (not owned; null: none).
  ViewInkPainter* m_Ink = nullptr;
  // The row guide of step 8 (empty: none).
  std::function<void(Surface&, const DrawContext&)> m_RowGuide;
  bool m_DisplayOn = true;
  bool m_Printing = false;
  bool m_UseSystemColours = false;
  bool m_ViewerMode = false;
  // The pause of the zoom-out transition (blocking; tests replace it).
  std::function<void(int ms)> m_Sleep;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  bool event(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  // Drops (child_view_drop.cpp): the host decides and inserts.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  // A left drag of held figures that leaves the window ends at the view's
  // edge (as a release at the last point inside) and becomes a drag to
  // other windows and programs; true when it did.
  bool dragOutIfLeaving(QMouseEvent* event);
  // Tablet events reach the ink; what the ink does not take becomes mouse
  // events as usual.
  bool viewportEvent(QEvent* event) override;

 private:
  ViewExtent pageExtent();
  void syncScrollBars();
  void renderBackBuffer();
  // Renders `area` (client pixels) of the back buffer again; false when the
  // buffer does not show the current state and must be rendered whole.
  bool renderBackBufferPart(const QRect& area);
  // Whether the back buffer holds this view's full render of the current
  // zoom, scroll, size and page.
  bool bufferCurrent() const;
  // What a full render of the back buffer depends on besides the figures.
  struct BufferKey {
    int32_t zoom = 0, pageWidth = 0, pageHeight = 0, clientWidth = 0, clientHeight = 0;
    Point32 scroll, origin;
    bool outsideFigures = false;
    QSize pixels;
    qreal dpr = 0;
    const void* figures = nullptr;
    bool operator==(const BufferKey&) const = default;
  };
  BufferKey bufferKey() const;
  void drawZoomPick(Surface& surface);
  void zoomOutTransition(int32_t zoom);
  // The visible page part (client pixels 0 .. right-1, 0 .. bottom-1).
  QSize visiblePagePart() const;
  void turnPage(int direction);
  void syncSelectionPage();
  // Repaints the area whose selection marks changed (client coordinates).
  void repaintSelection();
  void hoverAt(QPoint client, QPoint global);
  void showTip();
  // Auto-scroll while dragging: started near an edge, stopped inside.
  void updateAutoScroll(QPoint client);
  void autoScrollTick();
  NamedLock& fileLock();
  // A left-button event for the editing state machine (0 press, 1 move,
  // 2 release).
  void editMouse(int what, QMouseEvent* event);
  // The same for the right button.
  void editRightMouse(int what, QMouseEvent* event);
  // The milliseconds of a mouse event (its timestamp, else the view's clock).
  uint32_t eventTick(const QMouseEvent& event) const;
  // The link a click asked for during the event, followed after it.
  void followPendingLink();
  // Pen ink: a left-button or pen event (0 press, 1 move, 2 release) at a
  // client point; true when the ink took it.
  bool inkMouse(int what, QMouseEvent* event);
  bool inkTablet(QTabletEvent* event);
  bool inkInput(int what, QPointF client, int32_t pressure, uint32_t tick, bool eraserEnd,
                bool barrel);
  void inkRepaint(std::optional<Rect32> pageArea);
  // After the figures' press: the selected ink follows a move of the
  // selected figures (`before`: the selection before the press), or is let
  // go.
  void inkAfterPress(QMouseEvent* event, const std::vector<CadPrim*>& before);
  void inkClick(Point32 from, Point32 to);

  ChildViewHost& m_Host;
  ViewGeometry m_Geometry;
  bool m_ZoomPick = false;
  bool m_Painting = false;
  bool m_Rendering = false;
  bool m_SyncingBars = false;
  int m_WheelRest = 0;
  int m_RenderCount = 0;
  int m_PartRenderCount = 0;
  // A full render is due at the next paint (any change without an area).
  bool m_FullRenderDue = true;
  // The changed area waiting for the next paint (client pixels).
  QRect m_DirtyArea;
  // The back buffer was drawn on directly (the live ink stroke) and only
  // needs showing.
  bool m_BufferPainted = false;
  // What the back buffer showed at its last full render (none: it was
  // never rendered by this view, or another view rendered into it since).
  std::optional<BufferKey> m_BufferKey;
  QElapsedTimer m_LastRender;
  int32_t m_LastRenderMs = 0;
  QTimer m_FrameTimer;

  class SelectionPainter;
  std::unique_ptr<ViewSelection> m_ViewSelection;
  std::unique_ptr<InPlaceEditing> m_InPlace;
  std::unique_ptr<ViewContextMenus> m_Menus;
  std::unique_ptr<SelectionPainter> m_OwnMarks;
  std::unique_ptr<NamedLock> m_FileLock;
  std::unique_ptr<MouseEditor> m_Editor;
  class InkPainter;
  std::unique_ptr<InkEngine> m_InkEngine;
  std::unique_ptr<InkPainter> m_InkPainter;
  // The event compression in force before a stroke began (given back at
  // its end).
  std::optional<std::pair<bool, bool>> m_InkCompression;
  std::unique_ptr<TextMetrics> m_OwnMetrics;
  QElapsedTimer m_Clock;
  // The shaped texts of this view's paints, kept from one paint to the next.
  std::unique_ptr<QtSurfaceTextCache> m_TextCache;
  bool m_PageShown = false;
  // A right press inside the text being edited: its menu opens at the release.
  bool m_EditorRightPress = false;
  bool m_LeftDown = false;
  // Mouse events being handled (nested by modal loops), the figure number
  // of a link clicked meanwhile, and how often the shown page was left.
  int m_InMouseEvent = 0;
  const CadPrim* m_PendingLink = nullptr;
  uint64_t m_PagesLeft = 0;
  std::string m_TipText;
  std::string m_ShownTip;
  QPoint m_TipAt;
  QTimer m_TipTimer;        // 400 ms before a link tip shows
  QTimer m_AutoScrollTimer;  // 50 ms ticks while a drag is near an edge
  QPoint m_LastMouse;        // client position of the last mouse event
  // Zoom-pick: where the lens follows the mouse (none until it moves).
  std::optional<QPoint> m_LensAt;
  // The zoom-out transition: the part of the page the old zoom showed
  // (client rectangle) while the rest of the page is grey.
  std::optional<QRect> m_Transition;
};

// Auto-scroll: how far one tick scrolls, in pixels, which is also the width
// of the edge zone that starts it, and the milliseconds between ticks.
inline constexpr int ChildView_autoScrollStep = 32;
inline constexpr int ChildView_autoScrollInterval = 50;
// Milliseconds of hovering over a link before its tip shows.
inline constexpr int ChildView_tipDelay = 400;
// How long the zoom-out transition shows, in milliseconds.
inline constexpr int ChildView_zoomOutPause = 250;

// Binds the view's commands (zoom, fit, swap, scroll pages, grid) to their
// numbers, texts and keys.
void CChildView_registerCommands(CommandTable& table, CChildView& view);
