// The context menus of the view: the editing state machine's right click
// and the menu key open the menu of what lies under the point (the
// editor's own menu while editing in place).  The menus are tables of
// command numbers; an item runs its command through the window's command
// table and is disabled while that command does not exist (or is
// disabled) there.  In the in-place editor's menu the clipboard items act
// on the editor itself.
#pragma once

#include <QPoint>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "figures/base/geometry.h"

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
const char* ViewMenu_name(ViewMenu menu);

class ViewContextMenus {
 public:
  explicit ViewContextMenus(CChildView& view);

  // The window's commands (null: every command item is disabled).
  void setCommands(const CommandTable* table) { table_ = table; }
  // Note-bar mode of the window (its own menus).
  bool noteBarMode = false;

  // The menu key (33223): the menu of the edit at its caret, else of the
  // held figure at its bottom-right corner (the canvas menu at (0, 0)).
  void OpenForKey();
  // The context menu of what is under a client point (the editing state
  // machine's right click, the edit's own menu while editing in place).
  void OpenAt(QPoint client);

  // Builds a menu as it would open (texts in the window's language, items
  // enabled as their commands are).
  void Build(QMenu& menu, ViewMenu which) const;
  // The menu the last release opened (none yet: -1).
  int lastMenu() const { return lastMenu_; }
  // The page point the last menu opened at (its copy and paste use it).
  Point32 lastPoint() const { return lastPoint_; }

  // Opens a built menu at a global position and answers the chosen item
  // (null: none).  Tests replace it; by default QMenu::exec.
  std::function<QAction*(QMenu&, QPoint)> exec;

  // Runs a menu item: while a text is edited in place the clipboard items
  // and select-all act on the edit, the others run their commands.
  void runItem(int id);

 private:
  // Which context menu the release opens.
  ViewMenu choose(Point32 canvas) const;
  void open(ViewMenu which, QPoint client);

  CChildView& view_;
  const CommandTable* table_ = nullptr;
  int lastMenu_ = -1;
  Point32 lastPoint_{0, 0};
};
