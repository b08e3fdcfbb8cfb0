#include "view/hover/hover_cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <map>

namespace {

constexpr int kSize = 32;

// A 32 x 32 cursor: what `draw` paints in black, outlined in white so it
// shows on any page, with its hot spot.
template <typename Draw>
QCursor drawn(QPoint hotSpot, Draw draw) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  {
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPainterPath path;
    draw(path);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::black);
    p.drawPath(path);
  }
  return QCursor(pixmap, hotSpot.x(), hotSpot.y());
}

// The arrow of the arrow cursor, its tip at (1, 1).
void arrow(QPainterPath& path) {
  path.addPolygon(QPolygonF({{1, 1}, {1, 17}, {5, 13}, {8, 20}, {10, 19}, {7, 12}, {12, 12}, {1, 1}}));
}

// Four arrows around (cx, cy) of half-length r.
void fourWay(QPainterPath& path, qreal cx, qreal cy, qreal r) {
  path.addRect(cx - r, cy - 0.5, 2 * r + 1, 1);
  path.addRect(cx - 0.5, cy - r, 1, 2 * r + 1);
  const qreal a = 3;
  path.addPolygon(QPolygonF({{cx - r - 1, cy}, {cx - r + a, cy - a}, {cx - r + a, cy + a}}));
  path.addPolygon(QPolygonF({{cx + r + 1, cy}, {cx + r - a, cy - a}, {cx + r - a, cy + a}}));
  path.addPolygon(QPolygonF({{cx, cy - r - 1}, {cx - a, cy - r + a}, {cx + a, cy - r + a}}));
  path.addPolygon(QPolygonF({{cx, cy + r + 1}, {cx - a, cy + r - a}, {cx + a, cy + r - a}}));
}

// A magnifying glass with a plus (enlarged) or a minus (shrunk).
void magnifier(QPainterPath& path, bool plus) {
  path.addEllipse(QRectF(2, 2, 16, 16));
  path.addEllipse(QRectF(5, 5, 10, 10));
  path.addRect(7, 9.5, 6, 1);
  if (plus) path.addRect(9.5, 7, 1, 6);
  path.addPolygon(QPolygonF({{15, 17}, {17, 15}, {25, 23}, {23, 25}, {15, 17}}));
}

QCursor make(HoverCursor cursor) {
  switch (cursor) {
    case HoverCursor::Keep:
    case HoverCursor::Arrow: return QCursor(Qt::ArrowCursor);
    case HoverCursor::IBeam: return QCursor(Qt::IBeamCursor);
    case HoverCursor::SizeWE: return QCursor(Qt::SizeHorCursor);
    case HoverCursor::SizeNS: return QCursor(Qt::SizeVerCursor);
    case HoverCursor::SizeNWSE: return QCursor(Qt::SizeFDiagCursor);
    case HoverCursor::SizeNESW: return QCursor(Qt::SizeBDiagCursor);
    case HoverCursor::SizeAll: return QCursor(Qt::SizeAllCursor);
    case HoverCursor::Forbidden: return QCursor(Qt::ForbiddenCursor);
    case HoverCursor::Hand: return QCursor(Qt::PointingHandCursor);
    case HoverCursor::Tool: return QCursor(Qt::CrossCursor);
    case HoverCursor::MoveFigure:
      // The arrow with four small arrows below it.
      return drawn({1, 1}, [](QPainterPath& path) {
        arrow(path);
        fourWay(path, 21, 21, 7);
      });
    case HoverCursor::MoveText:
      // The arrow with a small letter box: a text box is moved.
      return drawn({1, 1}, [](QPainterPath& path) {
        arrow(path);
        path.addRect(14, 16, 14, 12);
        path.addRect(16, 18, 10, 8);
        path.addRect(18, 19.5, 6, 1);
        path.addRect(20.5, 19.5, 1, 6);
      });
    case HoverCursor::Rotate:
      // A turning arrow around the hot spot.
      return drawn({15, 15}, [](QPainterPath& path) {
        QPainterPath ring;
        ring.arcMoveTo(QRectF(5, 5, 20, 20), 120);
        ring.arcTo(QRectF(5, 5, 20, 20), 120, 270);
        ring.arcTo(QRectF(9, 9, 12, 12), 30, -270);
        ring.closeSubpath();
        path.addPath(ring);
        path.addPolygon(QPolygonF({{4, 5}, {12, 4}, {8, 12}, {4, 5}}));
        path.addRect(14.5, 14.5, 1, 1);
      });
    case HoverCursor::ImageShrunk: return drawn({10, 10}, [](QPainterPath& p) { magnifier(p, false); });
    case HoverCursor::ImageEnlarged: return drawn({10, 10}, [](QPainterPath& p) { magnifier(p, true); });
  }
  return QCursor(Qt::ArrowCursor);
}

}  // namespace

QCursor HoverCursors_cursor(HoverCursor cursor) {
  // Made once: a cursor from a pixmap is a new one each time otherwise.
  // Kept to the end of the process: none goes after the application does.
  static auto* made = new std::map<HoverCursor, QCursor>;
  auto it = made->find(cursor);
  if (it == made->end()) it = made->emplace(cursor, make(cursor)).first;
  return it->second;
}
