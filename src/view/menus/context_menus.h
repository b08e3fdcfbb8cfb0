// The right button of the view: the press selects the figure under it (or
// ends an in-place edit elsewhere), the release drops a right-dragged
// figure through the drag menu or opens the context menu of what was
// pressed.  The menus are tables of command numbers; an item runs its
// command through the window's command table and is disabled while that
// command does not exist (or is disabled) there.  In the in-place editor's
// menu the clipboard items act on the editor itself.
#pragma once

#include <QPoint>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "figures/base/geometry.h"
#include "view/menus/row_operation.h"

class CChildView;
class CommandTable;
class QAction;
class QMenu;

// The menus of the view (their resource names).
enum class ViewMenu {
  Drag,            // "DragMenu"
  EditorRight,     // "Editor Right"
  CanvasRight,     // "CanvasRight"
  CanvasRightShort,  // "CanvasRight", short form (beyond the canvas)
  PrimRightForLine,  // "PrimRightForLine"
  PrimRightImage,    // the image variant of "PrimRight"
  PrimRightAppBar,   // "PrimRight AppBar"
  PrimRight,         // "PrimRight"
};

// One item: a command number and its Japanese and English texts; id 0 is
// a separator.
struct ViewMenuItem {
  int id = 0;
  const char* japanese = "";
  const char* english = "";
};

const std::vector<ViewMenuItem>& ViewMenu_items(ViewMenu menu);
// Layout lines stay when a row band is deleted (they are shortened).
bool IsLayoutLineForRows(const class CadPrim& f);
const char* ViewMenu_name(ViewMenu menu);

class ViewContextMenus {
 public:
  explicit ViewContextMenus(CChildView& view);

  // The window's commands (null: every command item is disabled).
  void setCommands(const CommandTable* table) { table_ = table; }
  // Note-bar mode of the window (its own menus).
  bool noteBarMode = false;

  // The right press and release in client pixels; `ctrl` / `shift` as held.
  void Press(QPoint client, bool ctrl);
  void Release(QPoint client, bool ctrl, bool shift);
  // A move with the right button down: the row guide follows while a row
  // operation is armed.  Answers whether one is.
  bool Move(QPoint client);
  // The menu key (33223): the menu of the edit at its caret, else of the
  // held figure at its bottom-right corner (the canvas menu at (0, 0)).
  void OpenForKey();
  // The context menu of what is under a client point (the editing state
  // machine's right click, the edit's own menu while editing in place).
  void OpenAt(QPoint client);
  // A left press cancels an armed row operation; answers whether one was.
  bool CancelRow();
  // m_RowY: the start line of an armed row operation.
  std::optional<int32_t> rowY() const { return rowY_; }
  bool rightDrag() const { return m_RightDrag; }
  bool menuOnRelease() const { return m_MenuOnRelease; }

  // Builds a menu as it would open (texts in the window's language, items
  // enabled as their commands are).
  void Build(QMenu& menu, ViewMenu which) const;
  // The menu the last release opened (none yet: -1).
  int lastMenu() const { return lastMenu_; }

  // Opens a built menu at a global position and answers the chosen item
  // (null: none).  Tests replace it; by default QMenu::exec.
  std::function<QAction*(QMenu&, QPoint)> exec;

 private:
  // Which context menu the release opens.
  ViewMenu choose(Point32 canvas) const;
  void open(ViewMenu which, QPoint client);
  void runItem(int id);

  void rowRelease(int32_t start, Point32 p);
  void setGuide(std::optional<int32_t> mouseY);

  CChildView& view_;
  const CommandTable* table_ = nullptr;
  std::optional<int32_t> rowY_;
  RowLimits limits_;
  bool m_RightDrag = false;
  bool m_MenuOnRelease = false;
  QPoint pressAt_;
  int lastMenu_ = -1;
};
