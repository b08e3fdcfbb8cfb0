#include "app/pages/left_view.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QPainter>
#include <QSignalBlocker>
#include <QTreeWidgetItemIterator>

#include <unordered_map>

#include "platform/text/qt_text.h"

namespace {

// Pointer below this many pixels from the top of an empty part of the
// tree: the drop goes after the last visible item, else before the first.
constexpr int kTopZone = 14;

}  // namespace

int PageTree_dropPlace(int y, int top, int bottom) {
  if (y <= (2 * bottom) / 5 + (3 * top) / 5) return PageDrop_before;
  if (y > (3 * bottom) / 5 + (2 * top) / 5) return PageDrop_after;
  return PageDrop_under;
}

CLeftView::CLeftView(QWidget* parent) : QTreeWidget(parent) {
  setObjectName("pageTree");
  setColumnCount(1);
  header()->hide();
  setSelectionMode(QAbstractItemView::SingleSelection);
  setDragEnabled(true);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDropIndicatorShown(false);
  setMinimumWidth(0);
  connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
    if (filling_ || !onSelected) return;
    if (NotePage* p = selectedPage()) onSelected(p);
  });
}

NotePage* CLeftView::pageOf(const QTreeWidgetItem* item) {
  if (item == nullptr) return nullptr;
  return reinterpret_cast<NotePage*>(item->data(0, Qt::UserRole).value<quintptr>());
}

QTreeWidgetItem* CLeftView::itemOf(const NotePage* page) const {
  if (page == nullptr) return nullptr;
  for (QTreeWidgetItemIterator it(const_cast<CLeftView*>(this)); *it; ++it) {
    if (pageOf(*it) == page) return *it;
  }
  return nullptr;
}

void CLeftView::clearPages() {
  QSignalBlocker block(this);
  clear();
}

void CLeftView::fill(const NoteDocument& doc, const NotePage* select) {
  std::unordered_set<const NotePage*> folded;
  for (QTreeWidgetItemIterator it(this); *it; ++it) {
    if ((*it)->childCount() > 0 && !(*it)->isExpanded()) folded.insert(pageOf(*it));
  }
  QSignalBlocker block(this);
  filling_ = true;
  setUpdatesEnabled(false);
  clear();
  std::unordered_map<const NotePage*, QTreeWidgetItem*> items;
  std::vector<std::pair<const NotePage*, QTreeWidgetItem*>> parents;
  for (size_t i = doc.hasBackPage() ? 1 : 0; i < doc.pageCount(); ++i) {
    NotePage& p = doc.pageAt(i);
    auto up = p.parent ? items.find(p.parent) : items.end();
    auto* item = up != items.end() ? new QTreeWidgetItem(up->second) : new QTreeWidgetItem(this);
    item->setText(0, QtText_fromCp932(p.title()));
    item->setData(0, Qt::UserRole, QVariant::fromValue(reinterpret_cast<quintptr>(&p)));
    items.emplace(&p, item);
    if (p.firstChild) parents.emplace_back(&p, item);
  }
  for (const auto& [p, item] : parents) item->setExpanded(folded.count(p) == 0);
  filling_ = false;
  selectPage(select);
  setUpdatesEnabled(true);
}

void CLeftView::selectPage(const NotePage* page) {
  QSignalBlocker block(this);
  QTreeWidgetItem* item = itemOf(page);
  if (item == nullptr) {
    clearSelection();
    setCurrentItem(nullptr);
    return;
  }
  for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
    up->setExpanded(true);
  }
  setCurrentItem(item);
  item->setSelected(true);
  scrollToItem(item);
}

NotePage* CLeftView::selectedPage() const {
  const QList<QTreeWidgetItem*> items = selectedItems();
  return items.isEmpty() ? nullptr : pageOf(items.front());
}

QTreeWidgetItem* CLeftView::lastVisibleItem() const {
  if (topLevelItemCount() == 0) return nullptr;
  QTreeWidgetItem* item = topLevelItem(topLevelItemCount() - 1);
  while (item->isExpanded() && item->childCount() > 0) item = item->child(item->childCount() - 1);
  return item;
}

std::optional<CLeftView::Drop> CLeftView::dropAt(QPoint pos) const {
  if (pos.x() < 0 || pos.x() >= viewport()->width()) return std::nullopt;
  if (QTreeWidgetItem* item = itemAt(pos)) {
    const QRect r = visualItemRect(item);
    return Drop{item, PageTree_dropPlace(pos.y(), r.top(), r.top() + r.height())};
  }
  if (topLevelItemCount() == 0) return std::nullopt;
  if (pos.y() > kTopZone) return Drop{lastVisibleItem(), PageDrop_after};
  QTreeWidgetItem* first = itemAt(QPoint(0, 0));
  return Drop{first ? first : topLevelItem(0), PageDrop_before};
}

// --- dragging ---------------------------------------------------------------

QStringList CLeftView::mimeTypes() const { return {QString::fromLatin1(PageTree_mimeType)}; }

QMimeData* CLeftView::mimeData(const QList<QTreeWidgetItem*>& items) const {
  if (items.isEmpty()) return nullptr;
  auto* data = new QMimeData;
  const QString text = QString::number(reinterpret_cast<quintptr>(this)) + ':' +
                       QString::number(reinterpret_cast<quintptr>(pageOf(items.front())));
  data->setData(QString::fromLatin1(PageTree_mimeType), text.toLatin1());
  return data;
}

NotePage* CLeftView::draggedPage(const QMimeData* data) const {
  if (data == nullptr) return nullptr;
  const QList<QByteArray> parts = data->data(QString::fromLatin1(PageTree_mimeType)).split(':');
  if (parts.size() != 2 || parts[0].toULongLong() != reinterpret_cast<quintptr>(this)) {
    return nullptr;
  }
  const quintptr page = parts[1].toULongLong();
  // Only a page that still has its item here.
  for (QTreeWidgetItemIterator it(const_cast<CLeftView*>(this)); *it; ++it) {
    if (reinterpret_cast<quintptr>(pageOf(*it)) == page) return pageOf(*it);
  }
  return nullptr;
}

void CLeftView::startDrag(Qt::DropActions) {
  QTreeWidgetItem* item = currentItem();
  if (item == nullptr) return;
  auto* drag = new QDrag(this);
  drag->setMimeData(mimeData({item}));
  const QRect r = visualItemRect(item);
  if (r.isValid()) {
    drag->setPixmap(viewport()->grab(r));
    // Beside and below the pointer, so that the mark stays in sight.
    drag->setHotSpot(QPoint(-16, -8));
  }
  drag->exec(Qt::MoveAction);
  setMark(std::nullopt);
}

void CLeftView::setMark(std::optional<Drop> drop) {
  const bool same = mark_.has_value() == drop.has_value() &&
                    (!drop || (mark_->item == drop->item && mark_->where == drop->where));
  if (same) return;
  mark_ = drop;
  viewport()->update();
}

void CLeftView::dragEnterEvent(QDragEnterEvent* event) {
  if (draggedPage(event->mimeData()) != nullptr) {
    event->acceptProposedAction();
  } else {
    event->ignore();
  }
}

void CLeftView::dragMoveEvent(QDragMoveEvent* event) {
  NotePage* dragged = draggedPage(event->mimeData());
  const std::optional<Drop> drop = dragged ? dropAt(event->position().toPoint()) : std::nullopt;
  if (!drop) {
    setMark(std::nullopt);
    event->ignore();
    return;
  }
  event->acceptProposedAction();
  // No mark where the page would stay: on itself, or beside itself.
  const QTreeWidgetItem* self = itemOf(dragged);
  const bool stays = drop->item == self ||
                     (drop->where == PageDrop_before && itemAbove(drop->item) == self) ||
                     (drop->where == PageDrop_after && itemBelow(drop->item) == self);
  setMark(stays ? std::nullopt : drop);
}

void CLeftView::dragLeaveEvent(QDragLeaveEvent* event) {
  setMark(std::nullopt);
  event->accept();
}

void CLeftView::dropEvent(QDropEvent* event) {
  setMark(std::nullopt);
  NotePage* dragged = draggedPage(event->mimeData());
  const std::optional<Drop> drop = dragged ? dropAt(event->position().toPoint()) : std::nullopt;
  if (!drop) {
    event->ignore();
    return;
  }
  // The tree never moves its items itself: the page commands fill it anew.
  event->setDropAction(Qt::MoveAction);
  event->accept();
  NotePage* target = pageOf(drop->item);
  if (target == nullptr || target == dragged || !onDrop) return;
  onDrop(dragged, target, drop->where);
}

void CLeftView::paintEvent(QPaintEvent* event) {
  QTreeWidget::paintEvent(event);
  if (!mark_ || mark_->item == nullptr) return;
  const QRect r = visualItemRect(mark_->item);
  if (!r.isValid()) return;
  QPainter p(viewport());
  p.setPen(QPen(QColor(51, 153, 255), 2));
  switch (mark_->where) {
    case PageDrop_under:
      p.drawRect(r.adjusted(1, 1, -1, -1));
      break;
    case PageDrop_before:
      p.drawLine(r.left(), r.top() + 1, r.right(), r.top() + 1);
      break;
    default:
      p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
      break;
  }
}

void CLeftView::contextMenuEvent(QContextMenuEvent* event) {
  if (QTreeWidgetItem* item = itemAt(event->pos()); item != nullptr && item != currentItem()) {
    setCurrentItem(item);  // the selection handler turns to its page
  }
  if (onContextMenu) onContextMenu(event->globalPos());
  event->accept();
}
