// New notes, the open dialog and templates (32985, 32780, 32982).
#include "app/links/follow_link.h"
#include "app/mainframe/main_frame.h"
#include "app/windows/window_list.h"
#include "core/prompts/user_prompts.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

namespace {

const char* tr(const CMainFrame& frame, const char* ja, const char* en) {
  return frame.options().japanese ? ja : en;
}

// 32982: the open dialog in "%template%"; the chosen note opens as an
// untitled copy.
void useTemplate(CMainFrame& frame) {
  WindowList* windows = frame.options().windows;
  if (windows == nullptr) return;
  std::string path = windows->folder("%template%/");
  const char* filter = tr(frame,
                          "SVG形式 Scalable Vector Graphics (*.svg, *.svgz)|*.svg;*.svgz|すべてのファイル (*.*)|*.*||",
                          "SVG format  Scalable Vector Graphics (*.svg, *.svgz)|*.svg;*.svgz|All Files (*.*)|*.*||");
  if (!UserPrompts_get().openFileName(tr(frame, "テンプレートを使う", "Use Template"), filter, path,
                                      WindowIds_idOf(&frame)))
    return;
  windows->openNote(path, "_blank", true);
}

}  // namespace

void WindowCommands_register(CommandTable& table, CMainFrame& frame) {
  CMainFrame* f = &frame;
  const std::string fileMenu = tr(frame, "ファイル(&F)", "&File");
  table.add(Cmd_FileNew, tr(frame, "新規ファイル", "New File"), fileMenu,
            {QKeySequence(QKeySequence::New)}, [f] {
              if (WindowList* w = f->options().windows) w->openNote("", "_blank", true);
            });
  table.add(Cmd_FileOpen, tr(frame, "開く", "Open"), fileMenu, {QKeySequence(QKeySequence::Open)},
            [f] {
              FollowLinkRequest req;
              req.openDialog = true;
              req.target = "_blank";
              CMainFrame_followLink(*f, req);
            });
  table.add(Cmd_UseTemplate, tr(frame, "テンプレートを使う", "Use Template"), fileMenu, {},
            [f] { useTemplate(*f); });
}
