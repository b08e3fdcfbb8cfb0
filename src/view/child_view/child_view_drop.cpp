// Drops onto the view: what a drag offers is judged by the main window,
// which also inserts it at the page point of the drop.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

#include "view/child_view/child_view.h"

namespace {

// The page point of a drop at a viewport position.
Point32 pagePoint(const CChildView& view, QPointF at) {
  return view.ClientToCanvas({static_cast<int32_t>(at.x()), static_cast<int32_t>(at.y())});
}

}  // namespace

void CChildView::dragEnterEvent(QDragEnterEvent* event) {
  const Qt::DropAction action = m_Host.DropAction(*event->mimeData(), event->modifiers());
  if (action == Qt::IgnoreAction) {
    event->ignore();
    return;
  }
  event->setDropAction(action);
  event->accept();
}

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
