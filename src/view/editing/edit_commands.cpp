#include "view/editing/edit_commands.h"

#include <QCursor>

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QStyleHints>
#include <QThread>

#include <string>

#include "core/prompts/user_prompts.h"
#include "ink/ink_engine.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/dialogs/input_ml_dialog.h"
#include "view/editing/edit_tools.h"
#include "view/editor/in_place_editing.h"
#include "view/editing/row_operations.h"
#include "view/menus/context_menus.h"
#include "platform/text/qt_text.h"

MouseEditorHooks EditCommands_hooks(CChildView& view) {
  MouseEditorHooks hooks;
  hooks.doubleClickTime =
      static_cast<uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  hooks.japanese = view.japanese();
  hooks.message = [](const std::string& text) {
    UserPrompts_get().messageBox(text, "Zerbin", PromptButtons::Ok, PromptIcon::Information,
                                 PromptAnswer::Ok, 0);
  };
  hooks.followLink = [&view](CadPrim& figure) { view.FollowLink(figure); };
  // A box made by this gesture (not the box of a guide line made by a
  // click) goes again when its edit ends untouched.
  hooks.startTextEdit = [&view](Text_Box& box, Point32 at, bool selectAll) {
    view.inPlace().Begin(box, selectAll ? std::nullopt : std::optional<Point32>(at),
                         view.mouseEditor().m_NewTextBox);
  };
  hooks.textDoubleClicked = [&view](Text_Box& box, Point32 at) { view.inPlace().Begin(box, at); };
  // The text of the box that a line pulled to empty space makes.
  hooks.askNewText = [&view](std::string& text) {
    return CInputML1_ask(&view, text, view.japanese(), QCursor::pos());
  };
  return hooks;
}

namespace {

void animatedMove(CChildView& view, EditPage& page) {
  MouseEditor& e = view.mouseEditor();
  QElapsedTimer clock;
  clock.start();
  CChildView* v = &view;
  e.AnimatedMove(
      page, e.dragFrom(), e.dragTo(), [v] { v->RedrawNow(); },
      [v](int ms) {
        if (v->m_Sleep) v->m_Sleep(ms);
      },
      [&clock] { return static_cast<uint32_t>(clock.elapsed()); });
}

}  // namespace

void EditCommands_rightRelease(CChildView& view, EditPage& page, const MouseInput& in,
                               QPoint global) {
  MouseEditor& e = view.mouseEditor();
  const bool ja = view.japanese();
  auto ask = [](const char* text, const char* title) {
    return UserPrompts_get().messageBox(text, title, PromptButtons::YesNoCancel,
                                        PromptIcon::Question, PromptAnswer::No, 0);
  };
  switch (e.RightRelease(page, in, ask, view.m_Sleep)) {
    case MouseEditor::RightResult::None:
      break;
    case MouseEditor::RightResult::ContextMenu:
      if (view.m_ContextMenu) view.m_ContextMenu(global + QPoint(2, 2));
      break;
    case MouseEditor::RightResult::Copy:
      e.CopyByGesture(page);
      break;
    case MouseEditor::RightResult::Move:
      animatedMove(view, page);
      break;
    case MouseEditor::RightResult::DragMenu: {
      QMenu menu(&view);
      QAction* copy = menu.addAction(QtText_fromCp932(ja ? "コピー(&C)" : "&Copy"));
      QAction* move = menu.addAction(QtText_fromCp932(ja ? "移動(&M)" : "&Move"));
      QAction* shortcut =
          ja ? menu.addAction(QtText_fromCp932("ショートカットの作成(&S)")) : nullptr;
      menu.addSeparator();
      menu.addAction(QtText_fromCp932(ja ? "キャンセル" : "Cancel"));
      // Shown as every menu of the view is (tests choose through the hook).
      const auto& exec = view.contextMenus().exec;
      QAction* chosen = exec ? exec(menu, global + QPoint(-32, -12)) : nullptr;
      if (chosen == nullptr) break;
      if (chosen == copy) e.CopyByGesture(page);
      if (chosen == move) animatedMove(view, page);
      if (chosen == shortcut) e.MakeShortcut(page, e.dragTo(), view.notePath());
      break;
    }
  }
}

void EditCommands_drawRowGuide(const MouseEditor& editor, Surface& surface, const DrawContext& ctx,
                               int32_t canvasWidth) {
  if (editor.rowBand()) {
    RowOps_drawGuide(surface, ctx, *editor.rowBand(), editor.rowMouseY(), canvasWidth);
  }
}

void EditCommands_register(CommandTable& table, CChildView& view) {
  const bool ja = view.japanese();
  CChildView* v = &view;
  const std::string toolMenu = ja ? "ツール(&T)" : "&Tools";
  for (int32_t i = 0; i < EditTools_count; ++i) {
    const EditToolInfo& t = EditTools_table()[i];
    if (t.command == 0) continue;
    const std::string text = ja || t.english[0] == '\0' ? t.japanese : t.english;
    const int32_t tool = t.tool;
    // A tool without a tip is chosen from the palette only.
    table.add(t.command, text, text.empty() ? std::string() : toolMenu, {},
              [v, tool] { v->ChooseTool(tool); },
              [v, tool] { return v->m_Tool == tool; });
  }
  table.add(Cmd_InkEraser, ja ? "インク専用の消しゴム" : "Ink Eraser", toolMenu, {},
            [v] { v->ChooseEraser(); },
            [v] { return v->ink() != nullptr && v->ink()->erasing(); });
  table.add(Cmd_SelectAllInk, ja ? "すべてのインクを選択(&I)" : "Select All &Ink",
            ja ? "編集(&E)" : "&Edit", {}, [v] { v->SelectAllInk(); });
  table.add(Cmd_AutoCorrect, ja ? "自動補正する" : "Auto Correct", toolMenu, {},
            [v] { v->mouseEditor().m_AutoCorrect = !v->mouseEditor().m_AutoCorrect; },
            [v] { return v->mouseEditor().m_AutoCorrect; });
  // The drag menu's items act on the last right drag.
  table.add(Cmd_DragCopy, ja ? "コピー(&C)" : "&Copy", {}, {}, [v] {
    v->WithEditPage([v](EditPage& page) { v->mouseEditor().CopyByGesture(page); });
  });
  table.add(Cmd_DragMove, ja ? "移動(&M)" : "&Move", {}, {}, [v] {
    v->WithEditPage([v](EditPage& page) { animatedMove(*v, page); });
  });
  table.add(Cmd_DragCancel, ja ? "キャンセル" : "Cancel", {}, {}, [] {});
  table.add(Cmd_DragShortcut, ja ? "ショートカットの作成(&S)" : "Create &Shortcut", {}, {}, [v] {
    const std::string path = v->notePath();
    v->WithEditPage(
        [&](EditPage& page) { v->mouseEditor().MakeShortcut(page, v->mouseEditor().dragTo(), path); });
  });
}
