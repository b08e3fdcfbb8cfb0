// Drops onto the view: what a drag offers is judged by the main window,
// which also inserts it at the page point of the drop.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include <algorithm>

#include "view/child_view/child_view.h"
#include "view/selection/view_selection.h"

namespace {

// The page point of a drop at a viewport position.
Point32 pagePoint(const CChildView& view, QPointF at) {
  return view.ClientToCanvas({static_cast<int32_t>(at.x()), static_cast<int32_t>(at.y())});
}

}  // namespace

// Enter and move: the action the window would take, or the drag refused.
void CChildView::dragEnterEvent(QDragEnterEvent* event) { dragMoveEvent(event); }

void CChildView::dragMoveEvent(QDragMoveEvent* event) {
  const Qt::DropAction action = m_Host.DropAction(*event->mimeData(), event->modifiers());
  if (action == Qt::IgnoreAction) {
    event->ignore();
    return;
  }
  event->setDropAction(action);
  event->accept();
}

void CChildView::dropEvent(QDropEvent* event) {
  EndGesture();
  const Qt::DropAction wanted = m_Host.DropAction(*event->mimeData(), event->modifiers());
  const Qt::DropAction done =
      wanted == Qt::IgnoreAction
          ? Qt::IgnoreAction
          : m_Host.Drop(*event->mimeData(), pagePoint(*this, event->position()), wanted);
  if (done == Qt::IgnoreAction) {
    event->ignore();
    return;
  }
  // What the source sees: a move it must finish by deleting, or not.
  event->setDropAction(done);
  event->accept();
  Invalidate();
}

bool CChildView::dragOutIfLeaving(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  // Over the window's own bars and panes the drag goes on (and scrolls);
  // out of the window it goes to other windows and programs.
  const QWidget* top = window();
  if (top->rect().contains(viewport()->mapTo(top, at)) || m_Tool != 0 || m_ViewSelection == nullptr)
    return false;
  const int32_t mode = m_ViewSelection->DragMode();
  if ((mode != SelectionDrag_selection && mode != SelectionDrag_figure) ||
      m_ViewSelection->HoldPrim() == nullptr)
    return false;
  // The drag in the view ends at the last point inside it.
  const QRect inside = viewport()->rect();
  const QPoint last(std::clamp(at.x(), inside.left(), inside.right()),
                    std::clamp(at.y(), inside.top(), inside.bottom()));
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(last), event->globalPosition(),
                      Qt::LeftButton, Qt::NoButton, event->modifiers());
  editMouse(2, &release);
  m_LeftDown = false;
  m_AutoScrollTimer.stop();
  Invalidate();
  m_Host.DragOut(ClientToCanvas({last.x(), last.y()}));
  event->accept();
  return true;
}
