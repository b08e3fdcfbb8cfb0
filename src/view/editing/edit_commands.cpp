#include "view/editing/edit_commands.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStyleHints>
#include <QThread>

#include <string>

#include "core/prompts/user_prompts.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/editing/edit_tools.h"

MouseEditorHooks EditCommands_hooks(CChildView& view) {
  MouseEditorHooks hooks;
  hooks.doubleClickTime =
      static_cast<uint32_t>(QGuiApplication::styleHints()->mouseDoubleClickInterval());
  hooks.japanese = view.japanese();
  CChildView* v = &view;
  hooks.message = [v](const std::string& text) {
    UserPrompts_get().messageBox(text, "Zerbin", PromptButtons::Ok, PromptIcon::Information,
                                 PromptAnswer::Ok, 0);
    static_cast<void>(v);
  };
  return hooks;
}

void EditCommands_register(CommandTable& table, CChildView& view) {
  const bool ja = view.japanese();
  CChildView* v = &view;
  const std::string toolMenu = ja ? "ツール(&T)" : "&Tools";
  for (int32_t i = 0; i < EditTools_count; ++i) {
    const EditToolInfo& t = EditTools_table()[i];
    // The ink tools wait for the ink engine.
    if (t.command == 0 || EditTools_isInk(t.tool)) continue;
    const std::string text = ja || t.english[0] == '\0' ? t.japanese : t.english;
    const int32_t tool = t.tool;
    table.add(t.command, text, toolMenu, {}, [v, tool] { v->ChooseTool(tool); },
              [v, tool] { return v->m_Tool == tool; });
  }
  table.add(Cmd_AutoCorrect, ja ? "自動補正する" : "Auto Correct", toolMenu, {},
            [v] { v->mouseEditor().m_AutoCorrect = !v->mouseEditor().m_AutoCorrect; },
            [v] { return v->mouseEditor().m_AutoCorrect; });
  // The drag menu's items act on the last right drag.
  table.add(Cmd_DragCopy, ja ? "コピー(&C)" : "&Copy", {}, {}, [v] {
    v->WithEditPage([v](EditPage& page) { v->mouseEditor().CopyByGesture(page); });
  });
  table.add(Cmd_DragMove, ja ? "移動(&M)" : "&Move", {}, {}, [v] {
    MouseEditor& e = v->mouseEditor();
    QElapsedTimer clock;
    clock.start();
    v->WithEditPage([&](EditPage& page) {
      e.AnimatedMove(
          page, e.dragFrom(), e.dragTo(), [v] { v->RedrawNow(); },
          [v](int ms) {
            if (v->m_Sleep) v->m_Sleep(ms);
          },
          [&clock] { return static_cast<uint32_t>(clock.elapsed()); });
    });
  });
  table.add(Cmd_DragCancel, ja ? "キャンセル" : "Cancel", {}, {}, [] {});
  table.add(Cmd_DragShortcut, ja ? "ショートカットの作成(&S)" : "Create &Shortcut", {}, {}, [v] {
    const std::string path = v->notePath();
    v->WithEditPage(
        [&](EditPage& page) { v->mouseEditor().MakeShortcut(page, v->mouseEditor().dragTo(), path); });
  });
}
