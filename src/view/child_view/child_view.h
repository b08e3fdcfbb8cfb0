// The editing view: one page of the note on screen, zoomed and scrolled.
// The page is rendered into the process's one off-screen image (at the
// screen's device pixel ratio) and copied to the viewport; only paintEvent
// paints.  A change asks for a repaint through Invalidate, which lets at
// most one full render happen per 16 ms without ever sleeping.
#pragma once

#include <QAbstractScrollArea>
#include <QElapsedTimer>
#include <QImage>
#include <QTimer>

#include <cstdint>
#include <functional>

#include "view/geometry/view_geometry.h"
#include "view/render/render_page.h"

class Canvas;
class CommandTable;

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
  Canvas* currentCanvas() const { return m_Host.CurrentPage().canvas; }
  // Another page is shown, or the page's size changed.
  void PageChanged();

  // --- painting ---
  // The page changed (a new page, an edit): a repaint within the frame
  // pacing.
  void Invalidate();
  // Renders the page into the back buffer now and repaints at once.
  void RedrawNow();
  // RenderPage onto any surface (the back buffer, page images, printing).
  DrawContext RenderPage(Surface& surface, bool clipToPage, bool useScroll, bool forPrint,
                         bool noGrid, bool noBackground);
  // How many full renders have been made (for tests and benchmarks).
  int renderCount() const { return m_RenderCount; }

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  ViewExtent pageExtent();
  void syncScrollBars();
  void renderBackBuffer();
  void drawZoomPick(Surface& surface);
  void turnPage(int direction);

  ChildViewHost& m_Host;
  ViewGeometry m_Geometry;
  bool m_ZoomPick = false;
  bool m_Painting = false;
  bool m_Rendering = false;
  bool m_SyncingBars = false;
  int m_WheelRest = 0;
  int m_RenderCount = 0;
  QElapsedTimer m_LastRender;
  int32_t m_LastRenderMs = 0;
  QTimer m_FrameTimer;
};

// Binds the view's commands (zoom, fit, swap, scroll pages, grid) to their
// numbers, texts and keys.
void CChildView_registerCommands(CommandTable& table, CChildView& view);
