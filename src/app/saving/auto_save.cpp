#include "app/saving/auto_save.h"

#include <QApplication>
#include <QEvent>
#include <QKeySequence>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTimer>

#include <set>

#include "app/mainframe/main_frame.h"
#include "app/toolbars/tool_bars.h"
#include "app/saving/emergency_save.h"
#include "app/saving/frame_save_host.h"
#include "app/saving/save_commands.h"
#include "app/saving/shell_state.h"
#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/prompts/user_prompts.h"
#include "document/writer/note_writer.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

namespace {

const char* tr(const CMainFrame& frame, const char* ja, const char* en) {
  return frame.options().japanese ? ja : en;
}


// Whether the window that has become active belongs to `frame` (its
// dialogs and floating bars): activation that stays in the window is no
// loss.
bool ownWindowActive(CMainFrame& frame) {
  for (QWidget* w = QApplication::activeWindow(); w; w = w->parentWidget()) {
    if (w == &frame) return true;
  }
  return false;
}

class ActivationWatch : public QObject {
 public:
  explicit ActivationWatch(CMainFrame& frame) : QObject(&frame), frame_(&frame) {}
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == frame_ && event->type() == QEvent::WindowDeactivate) {
      // After the activation has settled, outside the event (which also
      // comes while the window is being destroyed).  A note bar saves
      // itself whenever it is left, as the auto-save flag does.
      QPointer<CMainFrame> f = frame_;
      QTimer::singleShot(0, this, [f] {
        if (f && (NoteSave_shell().autoSave || f->toolBars().noteBarMode()) && !ownWindowActive(*f))
          Except_barrier([&] { NoteSave_autoSave(*f); });
      });
    }
    return false;
  }

 private:
  CMainFrame* frame_;
};

}  // namespace

size_t NoteSave_shownWindows() { return CMainFrame_shownFrames().size(); }

NoteSaveShell& NoteSave_shell() {
  static NoteSaveShell shell;
  return shell;
}

bool NoteSave_autoSave(CMainFrame& frame) {
  NoteSaveShell& shell = NoteSave_shell();
  if (shell.saving || frame.notePath().empty() || !frame.hasNote() ||
      frame.document().autoSaveDisabled)
    return false;
  // A running edit and pending nudges are part of what is saved.
  frame.CommitPendingEdits();
  if (!frame.noteModified()) return false;
  // Someone else wrote the file: a silent save would lose their version,
  // so the edits go to a recovery copy and the note file stays.
  if (NoteSave_changedOnDisk(frame)) {
    std::string backup;
    if (frame.options().save.variables && frame.options().save.variables("backup", backup)) {
      EmergencySave_writeCopy(frame, backup);
    }
    return false;
  }
  shell.saving = true;
  int result = NoteWriter_failed;
  Except_tryFinally(
      [&] {
        FrameSaveHost host(frame);
        result = NoteWriter_save(frame.document(), frame.notePath(), false, host);
      },
      [&] { shell.saving = false; });
  return result != NoteWriter_failed;
}

void NoteSave_watchActivation(CMainFrame& frame) {
  frame.installEventFilter(new ActivationWatch(frame));
}

bool NoteSave_exitAll(CMainFrame* owner, bool fromIcon) {
  std::vector<CMainFrame*> frames = CMainFrame_shownFrames();
  if (frames.size() >= (fromIcon ? 1u : 2u)) {
    if (UserPrompts_get().messageBox("Brevlo 3.10 のすべてのウィンドウを閉じますが、よろしいですか。",
                                     "アプリケーションの終了", PromptButtons::YesNo,
                                     PromptIcon::Question, PromptAnswer::Yes,
                                     owner ? WindowIds_idOf(owner) : 0) != PromptAnswer::Yes)
      return false;
  }
  NoteSaveShell& shell = NoteSave_shell();
  shell.closing = true;
  bool all = true;
  for (CMainFrame* f : frames) {
    if (!f->close()) {
      all = false;
      break;
    }
  }
  // A close that was cancelled ends the exit.
  shell.closing = all;
  if (all) QCoreApplication::exit(0);
  return all;
}

bool NoteSave_sessionEnd(bool mayInteract) {
  Errors_setSessionEnding(true);
  bool ok = true;
  for (CMainFrame* f : CMainFrame_shownFrames()) {
    f->CommitPendingEdits();
    if (!f->noteModified()) continue;
    // An untitled note needs its save dialog, and only a person answers it.
    if (f->notePath().empty() && !mayInteract) {
      ok = false;
      break;
    }
    if (!NoteSave_save(*f) || f->noteModified()) {
      ok = false;
      break;
    }
  }
  if (!ok) Errors_setSessionEnding(false);
  return ok;
}

void NoteSave_registerShellCommands(CommandTable& table, CMainFrame& frame) {
  auto t = [&](const char* ja, const char* en) { return std::string(tr(frame, ja, en)); };
  const std::string fileMenu = t("ファイル(&F)", "&File");
  NoteSaveShell& shell = NoteSave_shell();
  table.add(Cmd_AutoSave, t("自動保存(&W)", "Auto Save(&W)"), fileMenu, {},
            [&shell] { shell.autoSave = !shell.autoSave; }, [&shell] { return shell.autoSave; });
  table.add(Cmd_TrayIcon, t("ﾀｽｸﾄﾚｲにｱｲｺﾝを表示", "Show Icon in Notification Area"), fileMenu, {},
            [&shell] {
              shell.trayIcon = !shell.trayIcon;
              shell.autoSave = shell.trayIcon;
              if (shell.showTrayIcon) shell.showTrayIcon(shell.trayIcon);
            },
            [&shell] { return shell.trayIcon; });
  // Where the desktop has no notification area there is no icon to show.
  table.action(Cmd_TrayIcon)->setEnabled(QSystemTrayIcon::isSystemTrayAvailable());
  table.add(Cmd_AppExit, t("アプリケーションの終了", "Exit"), fileMenu, {},
            [&frame] { NoteSave_exitAll(&frame, false); });
  NoteSave_watchActivation(frame);
}

void NoteSave_assignStandardKeys(CommandTable& table) {
  const std::pair<int, QKeySequence::StandardKey> standard[] = {
      {Cmd_FileNew, QKeySequence::New},   {Cmd_FileSave, QKeySequence::Save},
      {Cmd_FileSaveAs, QKeySequence::SaveAs}, {Cmd_FileClose, QKeySequence::Close},
      {Cmd_AppExit, QKeySequence::Quit}};
  // Keys the other commands already have stay theirs.
  std::set<QString> taken;
  for (const CommandEntry& e : table.entries()) {
    bool ours = false;
    for (const auto& [id, key] : standard) ours = ours || id == e.id;
    if (ours || !e.action) continue;
    for (const QKeySequence& k : e.action->shortcuts()) taken.insert(k.toString());
  }
  for (const auto& [id, key] : standard) {
    QAction* a = table.action(id);
    if (!a) continue;
    QList<QKeySequence> keys = a->shortcuts();
    QList<QKeySequence> bindings = QKeySequence::keyBindings(key);
    // A desktop whose theme names none gets the keys most desktops use.
    if (bindings.isEmpty() && key == QKeySequence::SaveAs)
      bindings.push_back(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    if (bindings.isEmpty() && key == QKeySequence::Close)
      bindings.push_back(QKeySequence(Qt::CTRL | Qt::Key_F4));
    for (const QKeySequence& k : bindings) {
      if (!taken.count(k.toString()) && !keys.contains(k)) keys.push_back(k);
    }
    a->setShortcuts(keys);
  }
}
