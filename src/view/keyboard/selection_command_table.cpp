// The selection commands bound to their numbers, texts and keys.  The bare
// keys (cursor keys, Home, End, Backspace, Del, Tab) work while the view
// has the focus, so that the page tree and other panes keep theirs.
#include <QKeySequence>
#include <QWidget>

#include <memory>

#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/geometry/view_geometry.h"
#include "ink/ink_engine.h"
#include "view/keyboard/selection_commands.h"
#include "view/selection/view_selection.h"

namespace {

// Virtual-key codes of the keys handed to the in-place editor.
enum EditorKey : int {
  EditorKey_backspace = 8,
  EditorKey_end = 35,
  EditorKey_home = 36,
  EditorKey_left = 37,
  EditorKey_up = 38,
  EditorKey_right = 39,
  EditorKey_down = 40,
  EditorKey_delete = 46,
};

// How far a cursor key scrolls when no figure is held, in pixels.
constexpr int32_t kScrollStep = 40;

struct Binder {
  CommandTable& table;
  CChildView& view;
  std::shared_ptr<SelectionCommandHooks> hooks;
  bool ja;

  std::string_view t(const char* j, const char* e) const { return ja ? j : e; }
  bool editing() const { return hooks->editingInPlace && hooks->editingInPlace(); }
  SelectionCommandTarget target() const {
    return hooks->target ? hooks->target() : SelectionCommandTarget{};
  }
  // After a command: the page is drawn again and the property bar told.
  void changed() const {
    if (ViewSelection* s = view.selection()) {
      s->TakeDirtyRect();
      s->TakeSelectionChanged();
    }
    view.UpdateScrollSizes();
    view.Invalidate();
    if (hooks->changed) hooks->changed();
  }
  // A key that the editor takes while a text box is edited in place.
  void editorKey(int vk) const {
    if (hooks->keyToEditor) hooks->keyToEditor(vk);
  }
  void nudge(int32_t dx, int32_t dy) const {
    if (SelectionCommands_nudge(target(), dx, dy)) {
      changed();
    } else {
      const Point32 s = view.geometry().scroll;
      view.ScrollTo({s.x + dx * kScrollStep, s.y + dy * kScrollStep});
    }
  }
  // A bare key on the view.
  QAction* key(int id, QList<QKeySequence> keys, std::function<void()> run) const {
    QAction* a = table.add(id, {}, {}, std::move(keys), std::move(run));
    if (auto* owner = qobject_cast<QWidget*>(a->parent())) owner->removeAction(a);
    a->setShortcutContext(Qt::WidgetShortcut);
    view.addAction(a);
    return a;
  }
  // A cursor key: the editor's while editing, else `run`.
  void cursorKey(int id, QKeySequence k, int vk, std::function<void()> run) const {
    Binder b = *this;
    key(id, {k}, [b, vk, run = std::move(run)] {
      if (b.editing()) {
        b.editorKey(vk);
      } else if (run) {
        run();
      }
    });
  }
  // A menu command that edits the selection, with its enabling rule.
  void command(int id, std::string_view text, std::string_view menu, QList<QKeySequence> keys,
               std::function<bool(const SelectionCommandTarget&)> enabled,
               std::function<bool(const SelectionCommandTarget&)> run) const {
    Binder b = *this;
    table.add(id, text, menu, std::move(keys), [b, enabled, run] {
      const SelectionCommandTarget t = b.target();
      if (b.editing() || !enabled(t)) return;
      if (run(t)) b.changed();
    });
    table.setEnabledRule(id, [b, enabled] { return !b.editing() && enabled(b.target()); });
  }
};

bool held(const SelectionCommandTarget& t) { return t.ok() && t.selection->HoldPrim() != nullptr; }

}  // namespace

void SelectionCommands_register(CommandTable& table, CChildView& view,
                                SelectionCommandHooks hooksIn) {
  using K = QKeySequence;
  const Binder b{table, view, std::make_shared<SelectionCommandHooks>(std::move(hooksIn)),
                 view.japanese()};
  const std::string edit(b.t("編集(&E)", "&Edit"));
  const std::string moveMenu = edit + "/" + std::string(b.t("移動(&M)", "&Move"));
  const std::string orderMenu = edit + "/" + std::string(b.t("重なり順(&Z)", "&Order"));
  const std::string alignMenu = edit + "/" + std::string(b.t("整列(&G)", "Ali&gn"));

  // The cursor keys: nudge the held figure, else scroll.
  b.cursorKey(Cmd_KeyLeft, K(Qt::Key_Left), EditorKey_left, [b] { b.nudge(-1, 0); });
  b.cursorKey(Cmd_KeyRight, K(Qt::Key_Right), EditorKey_right, [b] { b.nudge(1, 0); });
  b.cursorKey(Cmd_KeyUp, K(Qt::Key_Up), EditorKey_up, [b] { b.nudge(0, -1); });
  b.cursorKey(Cmd_KeyDown, K(Qt::Key_Down), EditorKey_down, [b] { b.nudge(0, 1); });
  b.cursorKey(Cmd_KeyShiftLeft, K(Qt::SHIFT | Qt::Key_Left), EditorKey_left, {});
  b.cursorKey(Cmd_KeyShiftRight, K(Qt::SHIFT | Qt::Key_Right), EditorKey_right, {});
  b.cursorKey(Cmd_KeyShiftUp, K(Qt::SHIFT | Qt::Key_Up), EditorKey_up, {});
  b.cursorKey(Cmd_KeyShiftDown, K(Qt::SHIFT | Qt::Key_Down), EditorKey_down,
              [b] { b.nudge(0, 1); });
  // Continuing with a new text box below belongs to the in-place editor.
  b.key(Cmd_KeyCtrlShiftDown, {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Down)}, [b] {
    if (!b.editing()) {
      b.nudge(0, 1);
    } else if (!b.hooks->continueBelow || !b.hooks->continueBelow()) {
      b.editorKey(EditorKey_down);
    }
  });
  auto home = [b] { b.view.ScrollTo({0, 0}); };
  auto end = [b] { b.view.ScrollTo(ViewGeometry_maxScroll(b.view.geometry())); };
  b.cursorKey(Cmd_KeyHome, K(Qt::Key_Home), EditorKey_home, home);
  b.cursorKey(Cmd_KeyShiftHome, K(Qt::SHIFT | Qt::Key_Home), EditorKey_home, home);
  b.cursorKey(Cmd_KeyEnd, K(Qt::Key_End), EditorKey_end, end);
  b.cursorKey(Cmd_KeyShiftEnd, K(Qt::SHIFT | Qt::Key_End), EditorKey_end, end);
  // Back and forward in the link history, when the window keeps one.
  b.cursorKey(Cmd_KeyBackspace, K(Qt::Key_Backspace), EditorKey_backspace, [b] {
    if (b.hooks->linkHistory) b.hooks->linkHistory(-1);
  });
  b.key(Cmd_KeyShiftBackspace, {K(Qt::SHIFT | Qt::Key_Backspace)}, [b] {
    if (!b.editing() && b.hooks->linkHistory) b.hooks->linkHistory(+1);
  });
  auto hasHistory = [b] { return b.editing() || b.hooks->linkHistory != nullptr; };
  table.setEnabledRule(Cmd_KeyBackspace, hasHistory);
  table.setEnabledRule(Cmd_KeyShiftBackspace,
                       [b] { return !b.editing() && b.hooks->linkHistory != nullptr; });
  if (!b.hooks->linkHistory) {
    table.action(Cmd_KeyBackspace)->setEnabled(false);
    table.action(Cmd_KeyShiftBackspace)->setEnabled(false);
  }

  // Delete: the editor's Delete while editing.
  {
    Binder c = b;
    QAction* del = table.add(Cmd_Delete, b.t("削除(&D)", "&Delete"), edit, {K(Qt::Key_Delete)},
                             [c] {
                               if (c.editing()) {
                                 c.editorKey(EditorKey_delete);
                                 return;
                               }
                               bool deleted = SelectionCommands_delete(c.target());
                               if (InkEngine* ink = c.view.ink()) deleted |= ink->deleteSelection();
                               if (deleted) c.changed();
                             });
    if (auto* owner = qobject_cast<QWidget*>(del->parent())) owner->removeAction(del);
    del->setShortcutContext(Qt::WidgetShortcut);
    view.addAction(del);
    table.setEnabledRule(Cmd_Delete, [c] {
      return c.editing() || held(c.target()) || (c.view.ink() && c.view.ink()->hasSelection());
    });
  }

  // The menu's moves by one unit.
  auto move = [](int32_t dx, int32_t dy) {
    return [dx, dy](const SelectionCommandTarget& t) {
      return SelectionCommands_nudge(t, dx, dy);
    };
  };
  b.command(Cmd_MoveLeft, b.t("左(&L)", "&Left"), moveMenu, {}, held, move(-1, 0));
  b.command(Cmd_MoveRight, b.t("右(&R)", "&Right"), moveMenu, {}, held, move(1, 0));
  b.command(Cmd_MoveUp, b.t("上(&U)", "&Up"), moveMenu, {}, held, move(0, -1));
  b.command(Cmd_MoveDown, b.t("下(&D)", "&Down"), moveMenu, {}, held, move(0, 1));

  // The painting order; the step moves choose the select tool.
  auto order = [b](SelectionOrder how) {
    return [b, how](const SelectionCommandTarget& t) {
      const bool moved = SelectionCommands_order(t, how);
      if (how == SelectionOrder_stepUp || how == SelectionOrder_stepDown) b.view.m_Tool = 0;
      return moved;
    };
  };
  b.command(Cmd_OrderStepUp, b.t("１つ手前(&F)", "&Front"), orderMenu, {K(Qt::CTRL | Qt::Key_K)},
            held, order(SelectionOrder_stepUp));
  b.command(Cmd_OrderStepDown, b.t("１つ奥(&P)", "Bac&k"), orderMenu, {}, held,
            order(SelectionOrder_stepDown));
  b.command(Cmd_OrderTop, b.t("最前(&T)", "&Top"), orderMenu, {K(Qt::CTRL | Qt::Key_J)}, held,
            order(SelectionOrder_top));
  b.command(Cmd_OrderBottom, b.t("最奥(&B)", "&Bottom"), orderMenu, {K(Qt::CTRL | Qt::Key_M)},
            held, order(SelectionOrder_bottom));

  // Alignment, same size and equal spacing.
  auto align = [](int32_t edge) {
    return [edge](const SelectionCommandTarget& t) { return SelectionCommands_align(t, edge); };
  };
  b.command(Cmd_AlignLeft, b.t("左整列(&L)", "&Left Alignment"), alignMenu, {}, held, align(0));
  b.command(Cmd_AlignRight, b.t("右整列(&R)", "&Right Alignment"), alignMenu, {}, held, align(1));
  b.command(Cmd_AlignTop, b.t("上整列(&U)", "&Top Alignment"), alignMenu, {}, held, align(2));
  b.command(Cmd_AlignBottom, b.t("下整列(&B)", "&Bottom Alilgnment"), alignMenu, {}, held,
            align(3));
  b.command(Cmd_AlignVertical, b.t("垂直整列(&V)", "&Vertical Alignment"), alignMenu, {}, held,
            align(4));
  b.command(Cmd_AlignHorizontal, b.t("水平整列(&H)", "&Horizontal Alignment"), alignMenu, {},
            held, align(5));
  b.command(Cmd_SameWidth, b.t("水平等サイズ(&I)", "Hor&izontal Same Size"), alignMenu, {}, held,
            [](const SelectionCommandTarget& t) { return SelectionCommands_sameSize(t, false); });
  b.command(Cmd_SameHeight, b.t("垂直等サイズ(&T)", "Verti&cal Same Size"), alignMenu, {}, held,
            [](const SelectionCommandTarget& t) { return SelectionCommands_sameSize(t, true); });
  b.command(Cmd_SpaceHorizontal, b.t("水平等間隔(&O)", "H&orizontal Regular Interval"), alignMenu,
            {}, SelectionCommands_canEqualSpacing,
            [](const SelectionCommandTarget& t) {
              return SelectionCommands_equalSpacing(t, false);
            });
  b.command(Cmd_SpaceVertical, b.t("垂直等間隔(&E)", "V&ertical Regular Interval"), alignMenu, {},
            SelectionCommands_canEqualSpacing, [](const SelectionCommandTarget& t) {
              return SelectionCommands_equalSpacing(t, true);
            });

  // Bold (a tool bar button; while editing in place it is the editor's).
  table.add(Cmd_Bold, b.t("太字", "Bold"), {}, {}, [b] {
    const SelectionCommandTarget t = b.target();
    if (!SelectionCommands_canBold(t)) return;
    bool done = false;
    if (b.editing() && b.hooks->aroundEdit) {
      done = b.hooks->aroundEdit([&t] { return SelectionCommands_bold(t); });
    } else if (!b.editing()) {
      done = SelectionCommands_bold(t);
    }
    if (done) b.changed();
  });
  table.setEnabledRule(Cmd_Bold, [b] {
    return (!b.editing() || b.hooks->aroundEdit) && SelectionCommands_canBold(b.target());
  });
  // Pictures.
  const std::string imageMenu = edit + "/" + std::string(b.t("画像(&I)", "&Image"));
  CChildView* v = &view;
  b.command(Cmd_ImageShrink, b.t("縮小する(&Q)", "Shrink(&Q)"), imageMenu, {},
            [v](const SelectionCommandTarget& t) {
              return !v->m_ViewerMode && SelectionCommands_canShrinkImage(t);
            },
            SelectionCommands_shrinkImage);
  b.command(Cmd_Image100, b.t("100%に戻す(&O)", "Back to 100%(&O)"), imageMenu, {},
            SelectionCommands_canImageToPixelSize, SelectionCommands_imageToPixelSize);

  b.command(Cmd_ImageZoomUp, b.t("ズームアップ(&G)", "Zoom Up(&G)"), imageMenu, {},
            [v](const SelectionCommandTarget& t) {
              return SelectionCommands_imageZoomUpRate(t, v->geometry().zoom).has_value();
            },
            [v](const SelectionCommandTarget& t) {
              const std::optional<int32_t> rate =
                  SelectionCommands_imageZoomUpRate(t, v->geometry().zoom);
              const CadPrim* image = t.selection->HoldPrim();
              const Point32 centre{(image->GetEdge(0) + image->GetEdge(1)) / 2,
                                   (image->GetEdge(2) + image->GetEdge(3)) / 2};
              v->SetZoom(*rate, 1, centre);
              return SelectionCommands_lockImageAtPixelSize(t);
            });

  // The tab order of text boxes.
  b.command(Cmd_TabNext, b.t("次のタブ オーダーへ(&Q)", "Next Tab Order"), edit, {K(Qt::Key_Tab)},
            [](const SelectionCommandTarget& t) { return SelectionCommands_canTab(t, +1); },
            [](const SelectionCommandTarget& t) { return SelectionCommands_tab(t, +1); });
  b.command(Cmd_TabPrevious, b.t("前のタブ オーダーへ(&W)", "Previous Tab Order"), edit,
            {K(Qt::SHIFT | Qt::Key_Tab)},
            [](const SelectionCommandTarget& t) { return SelectionCommands_canTab(t, -1); },
            [](const SelectionCommandTarget& t) { return SelectionCommands_tab(t, -1); });
  for (int id : {Cmd_TabNext, Cmd_TabPrevious}) {
    QAction* a = table.action(id);
    if (auto* owner = qobject_cast<QWidget*>(a->parent())) owner->removeAction(a);
    a->setShortcutContext(Qt::WidgetShortcut);
    view.addAction(a);
  }
}
