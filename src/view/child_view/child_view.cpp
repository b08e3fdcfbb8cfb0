#include "view/child_view/child_view.h"
#include "view/child_view/child_view_ink.h"

#include <QGuiApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyleHints>
#include <QPaintEvent>
#include <QPointer>
#include <QPainter>
#include <QScrollBar>
#include <QThread>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "core/lock/named_lock.h"
#include "core/prompts/user_prompts.h"
#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/editor/text_editor.h"
#include "ink/ink_engine.h"
#include "platform/surface/qt_surface.h"
#include "platform/text/qt_text.h"
#include "platform/text/qt_text_metrics.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/editing/edit_commands.h"
#include "view/editing/edit_tools.h"
#include "view/editing/mouse_editor.h"
#include "view/editor/in_place_editing.h"
#include "undo/undo_history.h"
#include "view/history/view_history.h"
#include "view/menus/context_menus.h"
#include "view/hover/hover_cursors.h"
#include "view/hover/hover_tip.h"
#include "view/selection/hover_cursor.h"
#include "view/selection/selection_marks.h"
#include "view/selection/view_selection.h"

QImage& ChildView_backBuffer() {
  static QImage buffer;
  return buffer;
}

namespace {

// The view whose full render the back buffer holds (views share it).
const void* g_bufferOwner = nullptr;

// Painting flags that are put back however the scope is left.
struct FlagGuard {
  explicit FlagGuard(bool& f) : flag(f) { flag = true; }
  ~FlagGuard() { flag = false; }
  bool& flag;
};

Point32 clientOf(const QMouseEvent* event) {
  const QPoint p = event->position().toPoint();
  return {p.x(), p.y()};
}

}  // namespace

// Step 6 of RenderPage: the handles of the selection and, while it is
// dragged, the rubber band clipped to the page.
class CChildView::SelectionPainter : public ViewSelectionMarks {
 public:
  explicit SelectionPainter(CChildView& view) : view_(view) {}
  void DrawSelectionMarks(Surface& surface, const DrawContext& ctx, Colour) override {
    const ViewSelection* selection = view_.selection();
    if (selection == nullptr) return;
    RenderSelectionMarks(surface, ctx, *selection);
    if (const std::optional<Rect32> band = selection->RubberBand()) {
      std::optional<SurfaceRect> clip;
      if (const Canvas* canvas = view_.currentCanvas()) {
        clip = SurfaceRect{DrawContext_deviceX(ctx, 0), DrawContext_deviceY(ctx, 0),
                           DrawContext_deviceX(ctx, canvas->width()),
                           DrawContext_deviceY(ctx, canvas->height())};
      }
      RenderRubberBand(surface, ctx, *band, clip);
    }
  }

 private:
  CChildView& view_;
};

CChildView::CChildView(ChildViewHost& host, QWidget* parent)
    : QAbstractScrollArea(parent), m_Host(host) {
  setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAttribute(Qt::WA_NoSystemBackground);
  viewport()->setCursor(Qt::ArrowCursor);
  // Moves without a button set the hover cursor.
  viewport()->setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  // Files, addresses, texts and figures can be dropped on the page.
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  m_FrameTimer.setSingleShot(true);
  connect(&m_FrameTimer, &QTimer::timeout, this, [this] { viewport()->update(); });
  m_OwnMarks = std::make_unique<SelectionPainter>(*this);
  m_TextCache = std::make_unique<QtSurfaceTextCache>();
  m_SelectionMarks = m_OwnMarks.get();
  m_TipTimer.setSingleShot(true);
  connect(&m_TipTimer, &QTimer::timeout, this, [this] { showTip(); });
  m_Sleep = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
  m_AutoScrollTimer.setInterval(ChildView_autoScrollInterval);
  connect(&m_AutoScrollTimer, &QTimer::timeout, this, [this] { autoScrollTick(); });
  m_Clock.start();
  m_Editor = std::make_unique<MouseEditor>(EditCommands_hooks(*this));
  m_RowGuide = [this](Surface& surface, const DrawContext& ctx) {
    const Canvas* canvas = currentCanvas();
    if (m_Editor->rowBand() && canvas != nullptr) {
      EditCommands_drawRowGuide(*m_Editor, surface, ctx, canvas->width());
    }
  };
  m_InPlace = std::make_unique<InPlaceEditing>(*this);
  m_Menus = std::make_unique<ViewContextMenus>(*this);
  m_ContextMenu = [this](QPoint global) {
    m_Menus->OpenAt(viewport()->mapFromGlobal(global - QPoint(2, 2)));
  };
}

CChildView::~CChildView() {
  // The figures may be gone already: the selection lets them be.
  m_SelectionMarks = nullptr;
}

Point32 CChildView::ClientToCanvas(Point32 client) const {
  return ViewGeometry_clientToCanvas(m_Geometry, client);
}
Point32 CChildView::CanvasToClient(Point32 canvas) const {
  return ViewGeometry_canvasToClient(m_Geometry, canvas);
}

void CChildView::FillDrawContext(DrawContext& ctx, bool clipToPage) const {
  ViewGeometry_fillDrawContext(m_Geometry, ctx, clipToPage, m_Host.CurrentPage().canvas,
                               m_ViewerMode);
}

ViewExtent CChildView::pageExtent() {
  const ViewPageSource page = m_Host.CurrentPage();
  if (page.canvas != nullptr) {
    m_Geometry.pageWidth = page.canvas->width();
    m_Geometry.pageHeight = page.canvas->height();
  }
  m_Geometry.clientWidth = std::max(1, viewport()->width());
  m_Geometry.clientHeight = std::max(1, viewport()->height());
  // Only the whole-page mode looks at the figures.
  if (m_Geometry.zoomMode != ViewZoom_FitPage) {
    return ViewGeometry_pageExtent(nullptr, m_Geometry.pageWidth, m_Geometry.pageHeight);
  }
  return ViewGeometry_pageExtent(page.figures, m_Geometry.pageWidth, m_Geometry.pageHeight);
}

void CChildView::syncScrollBars() {
  FlagGuard guard(m_SyncingBars);
  const Point32 max = ViewGeometry_maxScroll(m_Geometry);
  QScrollBar* h = horizontalScrollBar();
  QScrollBar* v = verticalScrollBar();
  h->setRange(0, max.x);
  h->setPageStep(m_Geometry.clientWidth);
  h->setSingleStep(std::max(1, m_Geometry.clientWidth / 8));
  h->setValue(m_Geometry.scroll.x);
  v->setRange(0, max.y);
  v->setPageStep(m_Geometry.clientHeight);
  v->setSingleStep(std::max(1, m_Geometry.clientHeight / 8));
  v->setValue(m_Geometry.scroll.y);
}

void CChildView::UpdateScrollSizes() {
  const bool invalidate = ViewGeometry_updateScrollSizes(m_Geometry, pageExtent());
  syncScrollBars();
  if (invalidate) Invalidate();
}

void CChildView::PageChanged() {
  syncSelectionPage();
  UpdateScrollSizes();
  Invalidate();
}

void CChildView::PageLeaving() {
  ++m_PagesLeft;
  m_PendingLink = nullptr;
  m_InPlace->End();
  m_AutoScrollTimer.stop();
  m_LeftDown = false;
  m_Editor->Reset();
  if (!m_ViewSelection) return;
  const bool had = !m_ViewSelection->Selection().empty();
  m_ViewSelection->DeselectAll(true);
  m_ViewSelection.reset();
  if (had) m_Host.SelectionChanged();
}

void CChildView::syncSelectionPage() {
  // The list is the host's working copy of the page: the view marks its
  // figures selected (the page source hands it out read-only for drawing).
  auto* list = const_cast<FigureList*>(m_Host.CurrentPage().figures);
  if (list == nullptr) {
    m_ViewSelection.reset();
    return;
  }
  if (!m_ViewSelection) {
    m_ViewSelection = std::make_unique<ViewSelection>(*list);
    // Nudges still pending become their step before anything drops them;
    // the copies of a running gesture are the gesture's.
    m_ViewSelection->SetPendingRecorder([this] { RecordPendingChange(); });
  } else if (&m_ViewSelection->page() != list) {
    m_ViewSelection->SetPage(*list);
    if (m_ViewSelection->TakeSelectionChanged()) m_Host.SelectionChanged();
    m_ViewSelection->TakeDirtyRect();
  }
}

void CChildView::repaintSelection() {
  if (!m_ViewSelection) return;
  if (m_ViewSelection->TakeSelectionChanged()) m_Host.SelectionChanged();
  const std::optional<Rect32> dirty = m_ViewSelection->TakeDirtyRect();
  if (!dirty) return;
  const Point32 a = CanvasToClient({dirty->x, dirty->y});
  const Point32 b = CanvasToClient({Figure_toInt32(Rect32_right(*dirty)),
                                    Figure_toInt32(Rect32_bottom(*dirty))});
  // One pixel more on each side for the truncation of the conversion;
  // far-away corners are brought near the window first.
  const int w = viewport()->width(), h = viewport()->height();
  auto near = [](int32_t v, int size) { return std::clamp<int32_t>(v, -2, size + 2); };
  const QRect rect = QRect(QPoint(near(a.x, w), near(a.y, h)), QPoint(near(b.x, w), near(b.y, h)))
                         .normalized()
                         .adjusted(-1, -1, 1, 1);
  InvalidateArea(rect);
}

void CChildView::InvalidateArea(const QRect& area) {
  const QRect visible = area.intersected(viewport()->rect());
  if (visible.isEmpty()) return;
  m_DirtyArea |= visible;
  viewport()->update(visible);
}

void CChildView::SelectAll() {
  if (!m_ViewSelection) return;
  // While a text box is edited, its text is what Ctrl+A selects.
  if (m_InPlace->active()) {
    Text_Editor& editor = m_InPlace->editor();
    editor.Select(0, static_cast<int32_t>(editor.text().size()));
    m_InPlace->Refresh(false);
    return;
  }
  m_Tool = SelectionTool_select;
  // The left pane gives the focus to the view.
  setFocus(Qt::OtherFocusReason);
  m_ViewSelection->SelectAll();
  repaintSelection();
  if (m_InkEngine) {
    m_InkEngine->chooseTool(m_Tool);
    m_InkEngine->selectAllInk();
  }
}

NamedLock& CChildView::fileLock() {
  if (!m_FileLock) m_FileLock = std::make_unique<NamedLock>(Hover_fileLockName);
  return *m_FileLock;
}

void CChildView::hoverAt(QPoint client, QPoint global) {
  if (!m_ViewSelection || m_ZoomPick) return;
  HoverContext ctx;
  ctx.zoom = m_Geometry.zoom;
  ctx.tool = m_Tool;
  ctx.pageShown = m_PageShown;
  ctx.viewerMode = m_ViewerMode;
  ctx.noteFolder = m_Host.NoteFolder();
  if (m_InPlace->active()) ctx.editor = &m_InPlace->editor();
  const HoverResult r = Hover_update(*m_ViewSelection, ClientToCanvas({client.x(), client.y()}),
                                     ctx, fileLock(), m_TipText);
  if (r.cursor != HoverCursor::Keep) viewport()->setCursor(HoverCursors_cursor(r.cursor));
  if (r.skipped) return;
  if (m_TipText.empty()) {
    m_TipTimer.stop();
    if (!m_ShownTip.empty()) QToolTip::hideText();
    m_ShownTip.clear();
  } else if (r.tipChanged) {
    m_TipAt = global;
    m_TipTimer.start(ChildView_tipDelay);
  }
}

void CChildView::showTip() {
  if (m_TipText.empty()) return;
  m_ShownTip = m_TipText;
  QToolTip::showText(m_TipAt,
                     HoverTip_wrap(QtText_fromCp932(m_TipText), QFontMetrics(QToolTip::font())),
                     viewport(), QRect(), 4000);
}

void CChildView::updateAutoScroll(QPoint client) {
  const QRect inner = viewport()->rect().adjusted(ChildView_autoScrollStep, ChildView_autoScrollStep,
                                                  -ChildView_autoScrollStep,
                                                  -ChildView_autoScrollStep);
  if (inner.contains(client)) {
    m_AutoScrollTimer.stop();
  } else if (!m_AutoScrollTimer.isActive()) {
    m_AutoScrollTimer.start();
  }
}

void CChildView::autoScrollTick() {
  if (!m_LeftDown || !m_ViewSelection) {
    m_AutoScrollTimer.stop();
    return;
  }
  const QPoint p = m_LastMouse;
  const QRect r = viewport()->rect();
  const int edge = ChildView_autoScrollStep;
  int dx = 0, dy = 0;
  if (p.x() < r.left() + edge) dx = -edge;
  if (p.x() > r.right() - edge) dx = edge;
  if (p.y() < r.top() + edge) dy = -edge;
  if (p.y() > r.bottom() - edge) dy = edge;
  // Only along a direction in which the page is larger than the window.
  const Point32 max = ViewGeometry_maxScroll(m_Geometry);
  if (max.x <= 0) dx = 0;
  if (max.y <= 0) dy = 0;
  if (dx == 0 && dy == 0) return;
  if (dx > 0 || dy > 0) UpdateScrollSizes();
  const Point32 before = m_Geometry.scroll;
  ScrollTo({before.x + dx, before.y + dy});
  if (m_Geometry.scroll == before) return;
  // The tick acts as a mouse move at the same place.
  const Point32 at = ClientToCanvas({p.x(), p.y()});
  WithEditPage([&](EditPage& page) {
    MouseInput in;
    in.at = at;
    in.tick = static_cast<uint32_t>(m_Clock.elapsed());
    m_Editor->Move(page, in);
  });
  m_ViewSelection->TakeDirtyRect();
  viewport()->update();
}

void CChildView::ScrollTo(Point32 position) {
  ViewGeometry_scrollTo(m_Geometry, position);
  syncScrollBars();
  Invalidate();
}

bool CChildView::EnsureVisible(const Rect32& canvasRect) {
  if (!ViewGeometry_ensureVisible(m_Geometry, canvasRect)) return false;
  syncScrollBars();
  Invalidate();
  return true;
}

void CChildView::SetZoom(int32_t zoom, int how, Point32 centre) {
  const int32_t clamped = std::clamp(zoom, ViewZoom_min, ViewZoom_max);
  if (clamped < m_Geometry.zoom) zoomOutTransition(clamped);
  const ViewExtent extent = pageExtent();
  if (zoom <= m_Geometry.zoom) m_ZoomPick = false;
  if (ViewGeometry_setZoom(m_Geometry, zoom, how, centre, extent) == ViewSetZoomResult::ZoomPick) {
    m_ZoomPick = true;
    m_LensAt.reset();
    viewport()->setCursor(Qt::CrossCursor);
    Invalidate();
    return;
  }
  m_ZoomPick = false;
  viewport()->setCursor(Qt::ArrowCursor);
  syncScrollBars();
  Invalidate();
}

QSize CChildView::visiblePagePart() const {
  const int64_t right = std::min<int64_t>(m_Geometry.clientWidth,
                                          ViewGeometry_length(m_Geometry, m_Geometry.pageWidth) -
                                              int64_t{m_Geometry.scroll.x} + m_Geometry.origin.x);
  const int64_t bottom = std::min<int64_t>(m_Geometry.clientHeight,
                                           ViewGeometry_length(m_Geometry, m_Geometry.pageHeight) -
                                               int64_t{m_Geometry.scroll.y} + m_Geometry.origin.y);
  return {static_cast<int>(std::max<int64_t>(0, right)),
          static_cast<int>(std::max<int64_t>(0, bottom))};
}

void CChildView::zoomOutTransition(int32_t zoom) {
  // Only a page on screen has something to show.
  if (!isVisible() || !m_DisplayOn || m_Printing || m_Host.CurrentPage().figures == nullptr) {
    return;
  }
  const int32_t old = m_Geometry.zoom;
  const int cw = m_Geometry.clientWidth, ch = m_Geometry.clientHeight;
  const Point32 centre = ClientToCanvas({cw / 2, ch / 2});
  const Point32 s = m_Geometry.scroll;
  m_ZoomPick = false;
  m_Geometry.zoom = zoom;
  m_Geometry.targetZoom = old;
  m_Geometry.zoomMode = ViewZoom_Fixed;
  ViewGeometry_updateScrollSizes(m_Geometry, pageExtent());
  ViewGeometry_scrollTo(m_Geometry,
                        {Figure_toInt32(int64_t{zoom} * (int64_t{s.x} - cw / 2) / old),
                         Figure_toInt32(int64_t{zoom} * (int64_t{s.y} - ch / 2) / old)});
  syncScrollBars();
  // What the old zoom showed, at the new zoom, around the old centre.
  const int w = static_cast<int>(int64_t{cw} * zoom / old);
  const int h = static_cast<int>(int64_t{ch} * zoom / old);
  const Point32 c = CanvasToClient(centre);
  m_Transition = QRect(c.x - w / 2, c.y - h / 2, w, h);
  m_FrameTimer.stop();
  viewport()->repaint();
  m_Transition.reset();
  if (m_Sleep) m_Sleep(ChildView_zoomOutPause);
}

void CChildView::SetZoomMode(int32_t mode) {
  m_ZoomPick = false;
  viewport()->setCursor(Qt::ArrowCursor);
  ViewGeometry_setMode(m_Geometry, mode, pageExtent());
  syncScrollBars();
  Invalidate();
}

void CChildView::ZoomIn() { SetZoom(ViewZoom_stepIn(m_Geometry.targetZoom)); }
void CChildView::ZoomOut() { SetZoom(ViewZoom_stepOut(m_Geometry.targetZoom)); }

void CChildView::ZoomSwap() {
  Point32 restore;
  const int32_t current = m_Host.CurrentPageNumber();
  const int32_t saved = ViewGeometry_swapZoom(m_Geometry, current, restore);
  m_ZoomPick = false;
  m_SwapHeld = true;  // the turn below must not take the state just swapped
  if (saved != 0 && current != 0) {
    if (saved != current) m_Host.GoToPage(saved);
  } else {
    m_Host.SwitchBackPage();
  }
  m_SwapHeld = false;
  UpdateScrollSizes();
  ScrollTo(restore);
}

void CChildView::TakeSwapState(int32_t page) {
  m_Geometry.swapZoom = m_Geometry.zoom;
  m_Geometry.swapZoomMode = m_Geometry.zoomMode;
  m_Geometry.swapScroll = m_Geometry.scroll;
  m_Geometry.swapPage = page;
}

void CChildView::turnPage(int direction) {
  if (direction > 0) {
    if (m_Host.TurnPage(+1)) {
      UpdateScrollSizes();
      ScrollTo({m_Geometry.scroll.x, 0});
    }
  } else if (m_Host.CurrentPageNumber() > 1 && m_Host.TurnPage(-1)) {
    UpdateScrollSizes();
    ScrollTo({m_Geometry.scroll.x, ViewGeometry_maxScroll(m_Geometry).y});
  }
}

void CChildView::ScrollPage(int direction) {
  if (ViewGeometry_scrollPage(m_Geometry, direction)) {
    syncScrollBars();
    Invalidate();
  } else {
    turnPage(direction);
  }
}

void CChildView::Invalidate() {
  m_FullRenderDue = true;
  if (m_FrameTimer.isActive()) return;  // a repaint is already due
  if (!m_LastRender.isValid()) {
    viewport()->update();
    return;
  }
  const qint64 wait = ViewFrame_delayAfter(m_LastRenderMs) - m_LastRender.elapsed();
  if (wait <= 0) {
    viewport()->update();
  } else {
    m_FrameTimer.start(static_cast<int>(wait));
  }
}

void CChildView::RedrawNow() {
  m_FullRenderDue = true;
  m_FrameTimer.stop();
  viewport()->repaint();
}

DrawContext CChildView::RenderPage(Surface& surface, bool clipToPage, bool useScroll,
                                   bool forPrint, bool noGrid, bool noBackground,
                                   std::optional<SurfaceRect> area) {
  if (m_Rendering) return {};
  FlagGuard guard(m_Rendering);
  ViewRenderOptions options;
  options.clipToPage = clipToPage;
  options.useScroll = useScroll;
  options.forPrint = forPrint;
  options.noGrid = noGrid;
  options.noBackground = noBackground;
  options.useSystemColours = m_UseSystemColours;
  options.showLockCrosses = m_ViewerMode;
  options.area = area;
  ViewRenderHooks hooks;
  hooks.selection = m_SelectionMarks;
  hooks.ink = m_Ink;
  hooks.rowGuide = m_RowGuide;
  ViewPageSource page = m_Host.CurrentPage();
  page.pageNumber = m_Host.CurrentPageNumber();
  if (m_InPlace->active() && !forPrint) {
    page.editedText = m_InPlace->box();
    hooks.editor = [this](Surface& s, const DrawContext& c) { m_InPlace->Draw(s, c); };
  }
  return View_renderPage(surface, m_Geometry, page, options, hooks);
}

void CChildView::renderBackBuffer() {
  QElapsedTimer clock;
  clock.start();
  QImage& buffer = ChildView_backBuffer();
  const qreal dpr = devicePixelRatioF();
  const QSize pixels(std::max(1, qRound(viewport()->width() * dpr)),
                     std::max(1, qRound(viewport()->height() * dpr)));
  if (buffer.size() != pixels || buffer.devicePixelRatio() != dpr) {
    buffer = QImage(pixels, QImage::Format_RGB32);
    buffer.setDevicePixelRatio(dpr);
  }
  if (m_Geometry.clientWidth != viewport()->width() ||
      m_Geometry.clientHeight != viewport()->height()) {
    UpdateScrollSizes();
  }
  {
    QtSurface surface(buffer, m_TextCache.get());
    const ViewPageSource page = m_Host.CurrentPage();
    if (!m_DisplayOn || page.figures == nullptr || page.canvas == nullptr) {
      ScopedPen pen(surface, Pen::null());
      ScopedBrush brush(surface, Brush::solid(SystemColour_appWorkspace));
      surface.rectangle(0, 0, m_Geometry.clientWidth + 1, m_Geometry.clientHeight + 1);
    } else {
      // The outside first, so that figures sticking out of the canvas show
      // over the workspace.
      View_drawOutside(surface, m_Geometry, *page.canvas);
      RenderPage(surface, true, true, false, false, false);
      if (m_ZoomPick) drawZoomPick(surface);
      if (m_Transition) {
        // The page is grey but for the part the old zoom showed.
        const QSize part = visiblePagePart();
        const QRect& k = *m_Transition;
        ScopedPen pen(surface, Pen::null());
        ScopedBrush brush(surface, Brush::solid(SystemColour_appWorkspace));
        auto fill = [&surface](int l, int t, int r, int b) {
          if (r > l && b > t) surface.rectangle(l, t, r + 1, b + 1);
        };
        const int top = std::clamp(k.top(), 0, part.height());
        const int bottom = std::clamp(k.top() + k.height(), top, part.height());
        fill(0, 0, part.width(), top);
        fill(0, bottom, part.width(), part.height());
        fill(0, top, std::clamp(k.left(), 0, part.width()), bottom);
        fill(std::clamp(k.left() + k.width(), 0, part.width()), top, part.width(), bottom);
      }
    }
  }
  ++m_RenderCount;
  m_LastRenderMs = static_cast<int32_t>(clock.elapsed());
  m_LastRender.start();
  // A buffer with the zoom-pick hatching or the zoom-out grey is no base
  // for a partial render.
  g_bufferOwner = this;
  if (m_ZoomPick || m_Transition) {
    m_BufferKey.reset();
  } else {
    m_BufferKey = bufferKey();
  }
}

CChildView::BufferKey CChildView::bufferKey() const {
  BufferKey k;
  k.zoom = m_Geometry.zoom;
  k.pageWidth = m_Geometry.pageWidth;
  k.pageHeight = m_Geometry.pageHeight;
  k.clientWidth = m_Geometry.clientWidth;
  k.clientHeight = m_Geometry.clientHeight;
  k.scroll = m_Geometry.scroll;
  k.origin = m_Geometry.origin;
  k.outsideFigures = m_Geometry.outsideFigures;
  k.pixels = ChildView_backBuffer().size();
  k.dpr = ChildView_backBuffer().devicePixelRatio();
  k.figures = m_Host.CurrentPage().figures;
  return k;
}

bool CChildView::bufferCurrent() const {
  if (g_bufferOwner != this || !m_BufferKey || m_ZoomPick || m_Transition || !m_DisplayOn) {
    return false;
  }
  const qreal dpr = devicePixelRatioF();
  const QSize pixels(std::max(1, qRound(viewport()->width() * dpr)),
                     std::max(1, qRound(viewport()->height() * dpr)));
  const ViewPageSource page = m_Host.CurrentPage();
  return ChildView_backBuffer().size() == pixels &&
         ChildView_backBuffer().devicePixelRatio() == dpr &&
         m_Geometry.clientWidth == viewport()->width() &&
         m_Geometry.clientHeight == viewport()->height() && bufferKey() == *m_BufferKey &&
         page.figures != nullptr && page.canvas != nullptr;
}

bool CChildView::renderBackBufferPart(const QRect& area) {
  if (!bufferCurrent()) return false;
  const ViewPageSource page = m_Host.CurrentPage();
  QtSurface surface(ChildView_backBuffer(), m_TextCache.get());
  const SurfaceRect part{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
  {
    // The outside first, as in the full render.
    SurfaceSaver saver(surface);
    surface.setClipRect(part);
    View_drawOutside(surface, m_Geometry, *page.canvas);
  }
  RenderPage(surface, true, true, false, false, false, part);
  ++m_PartRenderCount;
  return true;
}

void CChildView::drawZoomPick(Surface& surface) {
  // The visible page part, hatched white and black, and the hint.
  const int right = visiblePagePart().width();
  const int bottom = visiblePagePart().height();
  SurfaceSaver saver(surface);
  surface.setPen(Pen::null());
  // Hatches the pixels left..right-1, top..bottom-1.
  auto hatch = [&surface](int l, int t, int r, int b) {
    if (r <= l || b <= t) return;
    surface.setBrush(Brush::hatched(HatchStyle::ForwardDiagonal, 0xFFFFFF));
    surface.rectangle(l, t, r + 1, b + 1);
    surface.setBrush(Brush::hatched(HatchStyle::BackwardDiagonal, 0));
    surface.rectangle(l, t, r + 1, b + 1);
  };
  if (!m_LensAt) {
    hatch(0, 0, right, bottom);
  } else {
    // The lens: what the window will show at the new zoom, centred on the
    // mouse and kept inside the page part; the live page shows there, the
    // hatched page around it.
    const int64_t target = std::max(1, m_Geometry.targetZoom);
    const int w = static_cast<int>(int64_t{m_Geometry.clientWidth} * m_Geometry.zoom / target);
    const int h = static_cast<int>(int64_t{m_Geometry.clientHeight} * m_Geometry.zoom / target);
    const int l = std::clamp(m_LensAt->x() - w / 2, 0, std::max(0, right - w));
    const int t = std::clamp(m_LensAt->y() - h / 2, 0, std::max(0, bottom - h));
    hatch(0, 0, right, t);              // above
    hatch(0, t + h, right, bottom);     // below
    hatch(0, t, l, t + h);              // left
    hatch(l + w, t, right, t + h);      // right
  }
  FontSpec font;
  font.face = m_Host.Japanese() ? "ＭＳ Ｐゴシック" : "Arial";
  font.height = 16;
  font.bold = true;
  surface.setFont(font);
  surface.setTextColour(Colour_rgb(255, 255, 0));
  surface.setBackgroundMode(BackgroundMode::Transparent);
  const int x = m_Geometry.clientWidth / 3, y = m_Geometry.clientHeight / 3;
  surface.textOut(x, y, m_Host.Japanese() ? "拡大する位置をクリックしてください。"
                                          : "Click the position of zooming.");
  char factor[32];
  std::snprintf(factor, sizeof factor, "x%d", m_Geometry.targetZoom / 100);
  surface.textOut(x, y + 20, factor);
}

void CChildView::paintEvent(QPaintEvent* event) {
  if (m_Printing || m_Painting) return;
  FlagGuard guard(m_Painting);
  // A full render waiting for its frame leaves the buffer as it is (a part
  // that changed meanwhile is brought up to date); otherwise a change with
  // a known area renders that area alone.
  const QRect dirty = std::exchange(m_DirtyArea, QRect());
  bool done = false;
  if (m_FullRenderDue && m_FrameTimer.isActive() && bufferCurrent()) {
    if (!dirty.isEmpty()) renderBackBufferPart(dirty);
    done = true;
  } else if (!m_FullRenderDue && !dirty.isEmpty()) {
    done = renderBackBufferPart(dirty);
  } else if (!m_FullRenderDue && std::exchange(m_BufferPainted, false) && bufferCurrent()) {
    done = true;  // the ink drew its newest part into the buffer itself
  }
  if (!done) {
    m_FullRenderDue = false;
    renderBackBuffer();
  }
  if (m_Host.CurrentPage().figures != nullptr) m_PageShown = true;
  QPainter painter(viewport());
  painter.setClipRegion(event->region());
  painter.drawImage(QPoint(0, 0), ChildView_backBuffer());
  m_InPlace->PaintOverlay(painter);
}

void CChildView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollSizes();
  Invalidate();
}

void CChildView::scrollContentsBy(int dx, int dy) {
  if (m_SyncingBars) return;
  m_Geometry.scroll = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
  viewport()->scroll(dx, dy);
}

void CChildView::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  event->accept();
  if (delta == 0) return;
  if (ViewGeometry_wheel(m_Geometry, delta)) {
    m_WheelRest = 0;
    syncScrollBars();
    Invalidate();
    // Another part of the page lies under the mouse now.
    if (event->buttons() == Qt::NoButton) {
      hoverAt(event->position().toPoint(), event->globalPosition().toPoint());
    }
    return;
  }
  // At the end of the page a whole notch turns the page (small touchpad
  // steps add up first).
  m_WheelRest += delta;
  if (std::abs(m_WheelRest) < 120) return;
  const int direction = m_WheelRest < 0 ? +1 : -1;
  m_WheelRest = 0;
  turnPage(direction);
}

void CChildView::mousePressEvent(QMouseEvent* event) {
  if (m_ZoomPick && event->button() == Qt::LeftButton) {
    const QPoint p = event->position().toPoint();
    const Point32 at = ClientToCanvas({p.x(), p.y()});
    m_ZoomPick = false;
    viewport()->setCursor(Qt::ArrowCursor);
    ViewGeometry_zoomAround(m_Geometry, at, pageExtent());
    syncScrollBars();
    Invalidate();
    event->accept();
    return;
  }
  if (event->button() == Qt::BackButton || event->button() == Qt::ForwardButton) {
    m_Host.LinkHistoryStep(event->button() == Qt::BackButton ? -1 : 1);
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton && m_ViewSelection) {
    m_TipTimer.stop();
    // Inside a text being edited: the editor's menu at the release;
    // elsewhere the press ends the edit and goes on as any right press.
    m_EditorRightPress = !m_LeftDown && m_InPlace->active() &&
                         m_InPlace->RightPress(ClientToCanvas(clientOf(event)));
    if (m_EditorRightPress) {
      event->accept();
      return;
    }
    if (m_LeftDown) {
      m_LeftDown = false;
      m_AutoScrollTimer.stop();
    }
    editRightMouse(0, event);
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton && m_ViewSelection) {
    m_LastMouse = event->position().toPoint();
    m_TipTimer.stop();
    if (m_InPlace->LeftPress(ClientToCanvas(clientOf(event)),
                             event->modifiers().testFlag(Qt::ShiftModifier))) {
      m_LeftDown = true;
      event->accept();
      return;
    }
    // Pending nudges become their step; a drag still running (its release
    // was lost) keeps its before copies for its own step.
    RecordPendingChange();
    m_LeftDown = true;
    if (inkMouse(0, event)) {
      event->accept();
      return;
    }
    const std::vector<CadPrim*> before =
        m_ViewSelection ? m_ViewSelection->Selection() : std::vector<CadPrim*>();
    editMouse(0, event);
    inkAfterPress(event, before);
    event->accept();
    return;
  }
  QAbstractScrollArea::mousePressEvent(event);
}

void CChildView::mouseMoveEvent(QMouseEvent* event) {
  m_LastMouse = event->position().toPoint();
  if (m_ZoomPick) {
    m_LensAt = m_LastMouse;
    viewport()->update();
    event->accept();
    return;
  }
  if (m_ViewSelection && event->buttons() == Qt::RightButton) editRightMouse(1, event);
  if (m_LeftDown && event->buttons().testFlag(Qt::LeftButton) &&
      m_InPlace->LeftMove(ClientToCanvas(clientOf(event)))) {
    updateAutoScroll(m_LastMouse);
    event->accept();
    return;
  }
  if (m_LeftDown && event->buttons().testFlag(Qt::LeftButton) && inkMouse(1, event)) {
    event->accept();
    return;
  }
  if (m_LeftDown && m_ViewSelection && event->buttons().testFlag(Qt::LeftButton)) {
    if (dragOutIfLeaving(event)) return;
    editMouse(1, event);
    updateAutoScroll(m_LastMouse);
    event->accept();
    return;
  }
  if (event->buttons() == Qt::NoButton) {
    hoverAt(m_LastMouse, event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QAbstractScrollArea::mouseMoveEvent(event);
}

void CChildView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton && std::exchange(m_EditorRightPress, false)) {
    m_Menus->OpenAt(event->position().toPoint());
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton && m_InPlace->LeftRelease()) {
    m_LeftDown = false;
    m_AutoScrollTimer.stop();
    event->accept();
    return;
  }
  if (event->button() == Qt::RightButton && m_ViewSelection) {
    editRightMouse(2, event);
    event->accept();
    return;
  }
  if (event->button() == Qt::LeftButton && m_LeftDown && m_ViewSelection) {
    m_LeftDown = false;
    m_AutoScrollTimer.stop();
    m_LastMouse = event->position().toPoint();
    // Ink that followed the figures moves back with them in one step.
    std::optional<UndoGroup> together;
    if (m_InkEngine && m_InkEngine->followingFigures() && m_Host.History() != nullptr)
      together.emplace(*m_Host.History());
    if (inkMouse(2, event)) {
      event->accept();
      return;
    }
    editMouse(2, event);
    hoverAt(m_LastMouse, event->globalPosition().toPoint());
    event->accept();
    return;
  }
  QAbstractScrollArea::mouseReleaseEvent(event);
}

// --- in-place editing: the hooks; the rules are InPlaceEditing's ---

void CChildView::mouseDoubleClickEvent(QMouseEvent* event) {
  const Point32 p = ClientToCanvas(clientOf(event));
  if (event->button() == Qt::LeftButton && m_InPlace->active() && m_InPlace->Contains(p)) {
    m_InPlace->DoubleClick(p, event->modifiers().testFlag(Qt::ShiftModifier),
                           event->modifiers().testFlag(Qt::ControlModifier));
    m_LeftDown = false;
    event->accept();
    return;
  }
  // Otherwise the editing state machine tells double clicks by their
  // timing (a double click may go on into a drag that pulls a line); it
  // starts in-place editing through its hooks.
  mousePressEvent(event);
}

void CChildView::keyPressEvent(QKeyEvent* event) {
  if (m_InPlace->KeyPress(*event)) {
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Escape && m_Editor->dragging() &&
      WithEditPage([this](EditPage& page) { m_Editor->Cancel(page); })) {
    m_LeftDown = false;
    m_AutoScrollTimer.stop();
    event->accept();
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

uint32_t CChildView::eventTick(const QMouseEvent& event) const {
  // The time the window system gave the event: a double click is told by
  // when the clicks happened, not by when they were handled.
  if (event.timestamp() != 0) return static_cast<uint32_t>(event.timestamp());
  return static_cast<uint32_t>(m_Clock.elapsed());
}

void CChildView::FollowLink(CadPrim& figure) {
  if (m_InMouseEvent > 0) {
    m_PendingLink = &figure;
    return;
  }
  m_Host.LinkClicked(figure);
}

void CChildView::followPendingLink() {
  const CadPrim* pending = std::exchange(m_PendingLink, nullptr);
  if (pending == nullptr || !m_ViewSelection) return;
  // Still a figure of the shown page (compared by address only).
  CadPrim* figure = nullptr;
  for (const auto& owned : m_ViewSelection->page()) {
    if (owned.get() == pending) figure = owned.get();
  }
  if (figure == nullptr) return;
  QPointer<CChildView> self(this);
  const uint64_t pagesLeft = m_PagesLeft;
  m_Host.LinkClicked(*figure);
  // A jump that left the page as it was (a web address, a file, a link
  // that failed) lets the clicked figure go; another page keeps its own.
  if (self.isNull() || m_PagesLeft != pagesLeft || !m_ViewSelection) return;
  m_ViewSelection->DeselectAll(true);
  repaintSelection();
}

void CChildView::RecordPendingChange() {
  if (!m_LeftDown && !m_Editor->dragging()) ViewHistory_flushPendingChange(*this);
}

void CChildView::FigureLeaving(const CadPrim& figure) {
  if (m_ViewSelection) m_ViewSelection->Forget(figure);
  m_Editor->Forget(figure);
}

void CChildView::EndGesture() {
  if (m_InMouseEvent > 0) return;
  if (m_Editor->dragging()) WithEditPage([this](EditPage& page) { m_Editor->Cancel(page); });
  if (m_InkEngine) m_InkEngine->cancel();
  if (!m_InPlace->active()) m_LeftDown = false;
  m_AutoScrollTimer.stop();
  m_Editor->Reset();
}

void CChildView::editMouse(int what, QMouseEvent* event) {
  MouseInput in;
  in.at = ClientToCanvas(clientOf(event));
  in.shift = event->modifiers().testFlag(Qt::ShiftModifier);
  in.ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  in.tick = eventTick(*event);
  in.doubleClick = event->type() == QEvent::MouseButtonDblClick;
  {
    ++m_InMouseEvent;
    const std::shared_ptr<void> leave(nullptr, [this](void*) { --m_InMouseEvent; });
    // The rubber band takes ink as well as figures.
    const std::optional<Rect32> band =
        what == 2 && m_ViewSelection ? m_ViewSelection->RubberBand() : std::nullopt;
    WithEditPage([&](EditPage& page) {
      if (what == 0) m_Editor->Press(page, in);
      if (what == 1) m_Editor->Move(page, in);
      if (what == 2) m_Editor->Release(page, in);
    });
    if (band && m_InkEngine) m_InkEngine->selectInRect(*band);
  }
  followPendingLink();
}

void CChildView::editRightMouse(int what, QMouseEvent* event) {
  MouseInput in;
  in.at = ClientToCanvas(clientOf(event));
  in.shift = event->modifiers().testFlag(Qt::ShiftModifier);
  in.ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  in.tick = eventTick(*event);
  const QPoint global = event->globalPosition().toPoint();
  WithEditPage([&](EditPage& page) {
    if (what == 0) m_Editor->RightPress(page, in);
    if (what == 1) m_Editor->RightMove(page, in);
    if (what == 2) EditCommands_rightRelease(*this, page, in, global);
  });
}

void CChildView::ChooseTool(int32_t tool) {
  m_Editor->SetTool(tool);
  m_Tool = m_Editor->tool();
  if (m_InkEngine) {
    m_InkEngine->chooseTool(m_Tool);
    // A pen tool lets go of the figures (and of the ink).
    if (EditTools_isInk(m_Tool)) {
      if (m_ViewSelection && m_ViewSelection->DeselectAll()) repaintSelection();
      m_InkEngine->deselectAll();
    }
  }
  viewport()->setCursor(m_Tool == InkTool_lasso ? Qt::CrossCursor : Qt::ArrowCursor);
  if (m_ZoomPick) {
    m_ZoomPick = false;
    viewport()->setCursor(Qt::ArrowCursor);
    Invalidate();
  }
}

bool CChildView::WithEditPage(const std::function<void(EditPage&)>& run) {
  if (!m_ViewSelection) return false;
  EditPage page{*m_ViewSelection};
  page.canvas = currentCanvas();
  page.zoom = m_Geometry.zoom;
  page.metrics = m_Host.Metrics();
  if (page.metrics == nullptr) {
    if (!m_OwnMetrics) m_OwnMetrics = std::make_unique<QtTextMetrics>();
    page.metrics = m_OwnMetrics.get();
  }
  page.layout.pageNumber = m_Host.CurrentPageNumber();
  page.undo = m_Host.History();
  page.document = m_Host.Document();
  page.pageNumber = m_Host.CurrentPageNumber();
  page.viewerMode = m_ViewerMode;
  m_Editor->m_Tool = m_Tool;
  run(page);
  if (m_Editor->TakePageSizeChanged()) {
    UpdateScrollSizes();
    Invalidate();
  }
  repaintSelection();
  return true;
}

void CChildView::inputMethodEvent(QInputMethodEvent* event) {
  m_InPlace->InputMethod(*event);
  event->accept();
}

QVariant CChildView::inputMethodQuery(Qt::InputMethodQuery query) const {
  if (m_InPlace && m_InPlace->active()) {
    QVariant v = m_InPlace->Query(query);
    // The caret is in the viewport; the input method asks the view.
    if (query == Qt::ImCursorRectangle) return v.toRect().translated(viewport()->pos());
    if (v.isValid()) return v;
  }
  return QAbstractScrollArea::inputMethodQuery(query);
}

bool CChildView::event(QEvent* event) {
  if (m_InPlace && m_InPlace->active()) {
    if (event->type() == QEvent::ShortcutOverride &&
        m_InPlace->WantsShortcut(*static_cast<QKeyEvent*>(event))) {
      event->accept();
      return true;
    }
    // Tab types a tab into the text instead of moving the focus.
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab) {
      keyPressEvent(static_cast<QKeyEvent*>(event));
      return true;
    }
  }
  return QAbstractScrollArea::event(event);
}

void CChildView::focusInEvent(QFocusEvent* event) {
  if (m_InPlace) m_InPlace->FocusChanged(true);
  QAbstractScrollArea::focusInEvent(event);
}

void CChildView::focusOutEvent(QFocusEvent* event) {
  if (m_InPlace) m_InPlace->FocusChanged(false);
  QAbstractScrollArea::focusOutEvent(event);
}

void CChildView::contextMenuEvent(QContextMenuEvent* event) {
  // The mouse's menus open at the right release; the menu key's here.
  if (event->reason() == QContextMenuEvent::Keyboard) m_Menus->OpenForKey();
  event->accept();
}

UndoPendingState CChildView::PendingState() const {
  UndoPendingState s;
  s.pendingChange = ViewHistory_hasPendingChange(*this);
  s.editorChanged = m_InPlace->Changed();
  return s;
}

void CChildView::ZoomRateDialog() {
  std::string value = std::to_string(m_Geometry.zoom);
  const bool ja = m_Host.Japanese();
  if (!UserPrompts_get().inputText(ja ? "拡大率" : "Zoom Rate", ja ? "拡大率" : "Zoom Rate", value,
                                   m_Host.WindowId())) {
    return;
  }
  char* end = nullptr;
  const long zoom = std::strtol(value.c_str(), &end, 10);
  if (end == value.c_str() || zoom < ViewZoom_min || zoom > ViewZoom_max) return;
  SetZoom(static_cast<int32_t>(zoom));
}

void CChildView::FitWholePage() {
  SetZoomMode(ViewZoom_FitPage);
  if (!m_Geometry.outsideFigures) return;
  const bool ja = m_Host.Japanese();
  UserPrompts_get().messageBox(
      ja ? "キャンバスの外に図形が出ています。 中に戻すときは、[ 編集 | 全て選択 ] "
           "を選び、カーソルキーで図形を移動させてください。"
         : "There are figures out of canvas. If you want to move it,[ Edit | Select All ] and "
           "push cursor key.",
      ja ? "ヒント" : "Hint", PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok,
      m_Host.WindowId());
}

void CChildView::GridCommand(int id) {
  Canvas* canvas = m_Host.CurrentPage().canvas;
  if (canvas == nullptr) return;
  if (id == Cmd_GridCatch) View_toggleGridCatch(*canvas);
  if (id == Cmd_GridDisplay) View_toggleGridDisplay(*canvas);
  if (id == Cmd_GridStandard) View_standardGrid(*canvas);
  RedrawNow();
  m_Host.GridChanged(*canvas);
}

void CChildView_registerCommands(CommandTable& table, CChildView& view) {
  const bool ja = view.japanese();
  auto t = [ja](const char* j, const char* e) { return std::string_view(ja ? j : e); };
  const std::string_view zoomMenu = t("表示(&V)", "&View");
  const std::string gridMenu = std::string(zoomMenu) + "/" + std::string(t("グリッド(&G)", "&Grid"));
  CChildView* v = &view;
  using K = QKeySequence;
  table.add(Cmd_SelectAll, t("すべて選択(&A)", "Select &All"), t("編集(&E)", "&Edit"),
            {K(Qt::CTRL | Qt::Key_A)}, [v] { v->SelectAll(); });
  table.add(Cmd_Zoom100, t("等倍表示 (&1)", "Full Size (&1)"), zoomMenu, {K(Qt::Key_1)},
            [v] { v->SetZoom(100); });
  table.add(Cmd_Zoom200, t("２倍表示 (&2)", "Double Size Zoom (&2)"), zoomMenu, {K(Qt::Key_2)},
            [v] { v->SetZoom(200); });
  table.add(Cmd_Zoom400, t("４倍表示 (&4)", "4 times Zoom (&4)"), zoomMenu, {K(Qt::Key_4)},
            [v] { v->SetZoom(400); });
  table.add(Cmd_Zoom800, t("８倍表示 [8]キー", "8 times Zoom [8] key"), {}, {K(Qt::Key_8)},
            [v] { v->SetZoom(800); });
  table.add(Cmd_ZoomRate, t("拡大率...", "Zoom Rate..."), zoomMenu, {},
            [v] { v->ZoomRateDialog(); });
  table.add(Cmd_ZoomIn, t("２倍拡大(I)", "Zoom &In"), zoomMenu,
            {K(Qt::CTRL | Qt::Key_PageDown)}, [v] { v->ZoomIn(); });
  table.add(Cmd_ZoomOut, t("１／２に縮小(&O)", "Zoom &Out"), zoomMenu,
            {K(Qt::CTRL | Qt::Key_PageUp)}, [v] { v->ZoomOut(); });
  table.add(Cmd_FitPage, t("ページ全体表示(&L)", "Fit Who&le of Page"), zoomMenu,
            {K(Qt::CTRL | Qt::Key_W)}, [v] { v->FitWholePage(); });
  table.add(Cmd_FitWidth, t("幅全体表示(&W)", "Fit by &Width"), zoomMenu,
            {K(Qt::CTRL | Qt::Key_Q)}, [v] { v->SetZoomMode(ViewZoom_FitWidth); });
  table.add(Cmd_ZoomSwap, t("ページ&&ズーム・スワップ", "Zoom &Swap"), zoomMenu, {K(Qt::Key_F5)},
            [v] { v->ZoomSwap(); });
  table.add(Cmd_ScrollPageDown, t("次のスクロール", "Scroll Page Down"), {},
            {K(Qt::Key_PageDown), K(Qt::SHIFT | Qt::Key_PageDown)}, [v] { v->ScrollPage(+1); });
  table.add(Cmd_ScrollPageUp, t("前のスクロール", "Scroll Page Up"), {},
            {K(Qt::Key_PageUp), K(Qt::SHIFT | Qt::Key_PageUp)}, [v] { v->ScrollPage(-1); });
  auto canvasFlag = [v](bool catchFlag) {
    return [v, catchFlag] {
      const Canvas* c = v->currentCanvas();
      return c != nullptr && (catchFlag ? c->snapToGrid() : View_gridDisplayed(*c));
    };
  };
  table.add(Cmd_GridCatch, t("引っ掛ける(&C)", "&Catch"), gridMenu, {},
            [v] { v->GridCommand(Cmd_GridCatch); }, canvasFlag(true));
  table.add(Cmd_GridDisplay, t("表示する(&D)", "&Display"), gridMenu, {},
            [v] { v->GridCommand(Cmd_GridDisplay); }, canvasFlag(false));
  table.add(Cmd_GridStandard, t("標準の間隔に戻す(&S)", "&Standard Interval"), gridMenu, {},
            [v] { v->GridCommand(Cmd_GridStandard); });
  EditCommands_register(table, view);
}
