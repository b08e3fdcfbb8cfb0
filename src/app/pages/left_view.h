// The page tree in the left pane of a main window: one item per ordinary
// page (the back page has none), nested as the note's page tree, each
// showing the page's title and holding the page record.
//
// The tree shows and reports; the page commands (page_commands.h) decide.
// A change of the selected item made by the user goes to `onSelected`;
// selections made from code (selectPage, fill) report nothing, the caller
// runs what follows itself.  Items are dragged to move pages: the pointer
// decides the drop (PageTree_dropAt), the tree marks it while dragging
// (an insert line before or after an item, a frame around the item a page
// goes under) and hands a drop to `onDrop`.
#pragma once

#include <QTreeWidget>

#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

#include "document/note/note_document.h"

// Where a drop at height y over an item whose text rectangle runs from
// `top` to `bottom` (exclusive) lands: the upper two fifths before it, the
// middle fifth under it, the lower two fifths after it (each product
// divided by 5 in integers).
int PageTree_dropPlace(int y, int top, int bottom);

// The mime type of a dragged page.
inline constexpr const char* PageTree_mimeType = "application/x-zerbin-page";

class CLeftView : public QTreeWidget {
 public:
  explicit CLeftView(QWidget* parent = nullptr);

  // Deletes every item and inserts the note's pages again; pages folded
  // before stay folded, others are unfolded.  Selects `select`'s item
  // (none for null or the back page) without reporting it.
  void fill(const NoteDocument& doc, const NotePage* select);
  // Empties the tree (no note).
  void clearPages();
  // The item of a page, or null.
  QTreeWidgetItem* itemOf(const NotePage* page) const;
  // The page of an item (null for none).
  static NotePage* pageOf(const QTreeWidgetItem* item);
  // Selects the page's item, unfolding the items above it, and scrolls it
  // into view; null clears the selection.  Reports nothing.
  void selectPage(const NotePage* page);
  // The page of the selected item, or null.
  NotePage* selectedPage() const;
  // The last visible item (the bottom of the unfolded tree), or null.
  QTreeWidgetItem* lastVisibleItem() const;

  // The drop at a point of the viewport for a drag of `dragged`: the
  // target item and PageDrop, or none (outside the tree's width, or no
  // item at all).
  struct Drop {
    QTreeWidgetItem* item = nullptr;
    int where = PageDrop_after;
  };
  std::optional<Drop> dropAt(QPoint pos) const;

  // The user selected another item.
  std::function<void(NotePage*)> onSelected;
  // A page was dropped: the dragged page, the target page and PageDrop.
  std::function<void(NotePage*, NotePage*, int)> onDrop;
  // The context menu was asked for at a global position.
  std::function<void(QPoint)> onContextMenu;

 protected:
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QList<QTreeWidgetItem*>& items) const override;
  void startDrag(Qt::DropActions supported) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  // The page a drag carries, when it is one of this tree's items.
  NotePage* draggedPage(const QMimeData* data) const;
  // The mark while dragging: whether a drop there moves the page.
  void setMark(std::optional<Drop> drop);

  bool filling_ = false;
  std::optional<Drop> mark_;
};
