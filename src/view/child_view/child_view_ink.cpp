// The view's side of pen ink: the engine's hooks, mouse and tablet input
// while an ink tool is chosen, the ink selection under the select tool,
// the live stroke drawn straight onto the back buffer, and the commands
// of the eraser and of selecting all ink.
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPointingDevice>
#include <QTabletEvent>

#include <cmath>

#include "core/errors/debug_trace.h"
#include "ink/ink_engine.h"
#include "platform/surface/qt_surface.h"
#include "view/child_view/child_view.h"
#include "view/child_view/child_view_ink.h"
#include "view/editing/edit_tools.h"
#include "view/editing/mouse_editor.h"
#include "view/selection/view_selection.h"

void CChildView::SetInkEnabled(bool on) {
  if (on == (m_InkEngine != nullptr)) return;
  if (!on) {
    m_Ink = nullptr;
    m_InkPainter.reset();
    m_InkEngine.reset();
    Invalidate();
    return;
  }
  InkEngineHooks hooks;
  hooks.document = [this] { return m_Host.Document(); };
  hooks.history = [this] { return m_Host.History(); };
  hooks.pageNumber = [this] { return m_Host.CurrentPageNumber(); };
  hooks.repaint = [this](std::optional<Rect32> area) { inkRepaint(area); };
  hooks.selectionChanged = [this] { m_Host.SelectionChanged(); };
  hooks.click = [this](Point32 from, Point32 to) { inkClick(from, to); };
  hooks.chooseSelectTool = [this] { ChooseTool(EditTool_select); };
  hooks.log = [](const std::string& line) { DebugTrace_printf("%s\n", line.c_str()); };
  m_InkEngine = std::make_unique<InkEngine>(std::move(hooks));
  m_InkPainter = std::make_unique<InkPainter>(*m_InkEngine);
  m_Ink = m_InkPainter.get();
  m_InkEngine->setZoom(m_Geometry.zoom);
}

void CChildView::ChooseEraser() {
  if (!m_InkEngine) return;
  // With the lasso's strokes selected, the eraser deletes them.
  if (m_InkEngine->tool() == InkTool_lasso && m_InkEngine->hasSelection()) {
    m_InkEngine->deleteSelection();
    return;
  }
  ChooseTool(InkTool_pen);
  m_InkEngine->chooseEraser();
}

void CChildView::SelectAllInk() {
  if (!m_InkEngine) return;
  ChooseTool(EditTool_select);
  setFocus(Qt::OtherFocusReason);
  if (m_ViewSelection) m_ViewSelection->DeselectAll();
  repaintSelection();
  m_InkEngine->selectAllInk();
}

void CChildView::inkRepaint(std::optional<Rect32> area) {
  if (!area) {
    Invalidate();
    return;
  }
  const Point32 a = CanvasToClient({area->x, area->y});
  const Point32 b = CanvasToClient({Figure_toInt32(int64_t{area->x} + area->w),
                                    Figure_toInt32(int64_t{area->y} + area->h)});
  InvalidateArea(QRect(QPoint(a.x - 1, a.y - 1), QPoint(b.x + 1, b.y + 1)));
}

void CChildView::inkClick(Point32 from, Point32 to) {
  ChooseTool(EditTool_select);
  MouseInput in;
  in.tick = static_cast<uint32_t>(m_Clock.elapsed());
  WithEditPage([&](EditPage& page) {
    in.at = from;
    m_Editor->Press(page, in);
    in.at = to;
    m_Editor->Move(page, in);
    m_Editor->Release(page, in);
  });
  followPendingLink();
}

bool CChildView::inkInput(int what, QPointF client, int32_t pressure, uint32_t tick,
                          bool eraserEnd, bool barrel) {
  if (!m_InkEngine || m_Host.CurrentPage().figures == nullptr) return false;
  InkEngine& ink = *m_InkEngine;
  if (what == 0 && !ink.takesInput() && !eraserEnd) return false;
  if (what != 0 && !ink.writing()) return false;
  // The page's part of the client: the live stroke is drawn within it.
  DrawContext ctx;
  FillDrawContext(ctx, true);
  const double x = (client.x() + ctx.scrollX) * 100.0 / std::max(ctx.zoomX, 1);
  const double y = (client.y() + ctx.scrollY) * 100.0 / std::max(ctx.zoomY, 1);
  ink.setZoom(m_Geometry.zoom);
  if (what == 0) {
    // Every report of the pen counts while it writes.
    if (!m_InkCompression) {
      m_InkCompression = std::make_pair(
          QGuiApplication::testAttribute(Qt::AA_CompressHighFrequencyEvents),
          QGuiApplication::testAttribute(Qt::AA_CompressTabletEvents));
    }
    QGuiApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, false);
    QGuiApplication::setAttribute(Qt::AA_CompressTabletEvents, false);
    ink.press(x, y, pressure, tick, eraserEnd, barrel);
    return true;
  }
  if (what == 1) {
    ink.move(x, y, pressure);
    // The newest part of a pen stroke goes straight onto the back buffer.
    if (!m_FullRenderDue && bufferCurrent()) {
      QRectF drawn;
      bool done = false;
      {
        QtSurface surface(ChildView_backBuffer(), m_TextCache.get());
        done = ink.drawPending(surface, ctx, &drawn);
      }
      if (done) {
        m_BufferPainted = true;
        viewport()->update(drawn.toAlignedRect().adjusted(-2, -2, 2, 2));
        return true;
      }
    }
    if (const std::optional<Rect32> area = ink.pendingArea()) inkRepaint(area);
    return true;
  }
  ink.release(x, y, tick);
  if (m_InkCompression) {
    QGuiApplication::setAttribute(Qt::AA_CompressHighFrequencyEvents, m_InkCompression->first);
    QGuiApplication::setAttribute(Qt::AA_CompressTabletEvents, m_InkCompression->second);
    m_InkCompression.reset();
  }
  return true;
}

bool CChildView::inkMouse(int what, QMouseEvent* event) {
  if (!m_InkEngine) return false;
  InkEngine& ink = *m_InkEngine;
  const QPointF client = event->position();
  if (inkInput(what, client, 0, eventTick(*event), false, false)) return true;
  const Point32 at = ClientToCanvas({static_cast<int32_t>(std::floor(client.x())),
                                     static_cast<int32_t>(std::floor(client.y()))});
  if (what == 0) {
    if (m_Tool != EditTool_select && m_Tool != EditTool_multiSelect) return false;
    return ink.pressSelection(at, m_Geometry.zoom);
  }
  if (!ink.draggingSelection()) return false;
  // Following a move of figures, the figures' own gesture goes on too.
  const bool following = ink.followingFigures();
  if (what == 1) {
    ink.dragSelection(at);
  } else {
    ink.releaseSelection(at);
  }
  return !following;
}

void CChildView::inkAfterPress(QMouseEvent* event, const std::vector<CadPrim*>& before) {
  if (!m_InkEngine || !m_ViewSelection || !m_InkEngine->hasSelection()) return;
  const ViewSelection& sel = *m_ViewSelection;
  const int32_t mode = sel.DragMode();
  // A press on a figure of the selection moves the selected ink with it.
  if (!sel.Selection().empty() && sel.Selection() == before &&
      (mode == SelectionDrag_selection || mode == SelectionDrag_figure)) {
    const QPointF c = event->position();
    m_InkEngine->followSelection(ClientToCanvas({static_cast<int32_t>(std::floor(c.x())),
                                                 static_cast<int32_t>(std::floor(c.y()))}));
    return;
  }
  // A press elsewhere lets go of the ink, as of the figures.
  if (!(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier))) m_InkEngine->deselectAll();
}

bool CChildView::inkTablet(QTabletEvent* event) {
  if (!m_InkEngine) return false;
  const bool eraser = event->pointerType() == QPointingDevice::PointerType::Eraser;
  const int32_t pressure = std::clamp(
      static_cast<int32_t>(std::lround(event->pressure() * InkPoint_pressureMax)), 1,
      InkPoint_pressureMax);
  const uint32_t tick = static_cast<uint32_t>(event->timestamp());
  switch (event->type()) {
    case QEvent::TabletPress: {
      if (event->button() != Qt::LeftButton && !(eraser && m_InkEngine->takesInput())) {
        // The barrel button: no ink for the stroke.
        if (m_InkEngine->takesInput()) return true;
        return false;
      }
      if (!m_InkEngine->takesInput() && !eraser) return false;
      m_LeftDown = true;
      return inkInput(0, event->position(), pressure, tick, eraser, false);
    }
    case QEvent::TabletMove:
      if (!m_InkEngine->writing()) return m_InkEngine->takesInput() && event->buttons() != Qt::NoButton;
      return inkInput(1, event->position(), pressure, tick, eraser, false);
    case QEvent::TabletRelease:
      if (!m_InkEngine->writing()) return false;
      m_LeftDown = false;
      return inkInput(2, event->position(), pressure, tick, eraser, false);
    default:
      return false;
  }
}

bool CChildView::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
      if (inkTablet(static_cast<QTabletEvent*>(event))) {
        event->accept();
        return true;
      }
      event->ignore();
      return false;
    default:
      return QAbstractScrollArea::viewportEvent(event);
  }
}
