#include "app/saving/save_commands.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QStandardPaths>

#include <array>
#include <ctime>

#include "app/mainframe/main_frame.h"
#include "app/saving/auto_save.h"
#include "app/saving/frame_save_host.h"
#include "app/saving/shell_state.h"
#include "app/saving/recent_files.h"
#include "core/strx/strx_copy.h"
#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "document/writer/note_writer.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/commands/command_ids.h"

namespace {

constexpr int32_t kCurrentFormat = 300;
constexpr std::array<int, RecentFiles_max> kRecentIds = {
    Cmd_RecentFile1, Cmd_RecentFile2, Cmd_RecentFile3, Cmd_RecentFile4,
    Cmd_RecentFile5, Cmd_RecentFile6, Cmd_RecentFile7, Cmd_RecentFile8};

// The folder the save dialog opens in: the desktop until the first save,
// then the folder of the last save (for the whole application).
std::string& lastSaveFolder() {
  static std::string folder;
  return folder;
}


const char* tr(const CMainFrame& frame, const char* ja, const char* en) {
  return frame.options().japanese ? ja : en;
}

PromptAnswer ask(CMainFrame& frame, std::string_view text, std::string_view title,
                 PromptButtons buttons, PromptAnswer def) {
  return UserPrompts_get().messageBox(text, title, buttons, PromptIcon::Warning, def,
                                      WindowIds_idOf(&frame));
}

// Step 1 of both saves: a note of the older format is saved only after
// the question.  An untitled note has no older file to keep.
bool olderFormatAccepted(CMainFrame& frame) {
  if (frame.document().formatVersion == kCurrentFormat || frame.notePath().empty()) return true;
  return ask(frame, "Zerbin 2.30 以前では開けなくなりますが、保存しますか？", frame.notePath(),
             PromptButtons::YesNo, PromptAnswer::No) == PromptAnswer::Yes;
}

class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

// While a save runs (with its dialogs), nothing is saved silently.
class SavingMark {
 public:
  SavingMark() : was_(NoteSave_shell().saving) { NoteSave_shell().saving = true; }
  ~SavingMark() { NoteSave_shell().saving = was_; }

 private:
  bool was_;
};

// The note file's last-write time (0 when it cannot be examined).
int64_t diskTime(const std::string& path) {
  int64_t t = 0;
  Except_tryCatch([&] { t = FileX_isFile(path) ? FileX_fileTime(path) : 0; },
                  [](const Errors_Msg&) {});
  return t;
}

int write(CMainFrame& frame, const std::string& target) {
  frame.CommitPendingEdits();
  WaitCursor wait;
  FrameSaveHost host(frame);
  const int result = NoteWriter_save(frame.document(), target, false, host);
  // The file's last-write time becomes the window's loaded time.
  if (result != NoteWriter_failed) frame.loadedTime = diskTime(target);
  return result;
}

// With the first kind the name gets ".svg", with the second ".svgz" (an
// extension of either replaced, none added); "all files" keeps the name.
void applyKind(std::string& path, int kind) {
  if (kind != 0 && kind != 1) return;
  const std::string ext = StrX_extension(path);
  if (StrX_equalsNoCase(ext, "svg") || StrX_equalsNoCase(ext, "svgz")) {
    path.resize(path.size() - ext.size() - 1);
  }
  path += kind == 0 ? ".svg" : ".svgz";
}

std::string spreadsheetSuffix(int n) {
  std::string s;
  while (n > 0) {
    --n;
    s.insert(s.begin(), static_cast<char>('A' + n % 26));
    n /= 26;
  }
  return s;
}

void showError(CMainFrame& frame, const Errors_Msg& e) {
  UserPrompts_get().messageBox(e.message(), "Brevlo 3.10", PromptButtons::Ok, PromptIcon::Error,
                               PromptAnswer::Ok, WindowIds_idOf(&frame));
}

void addRecent(CMainFrame& frame, bool keepKnownTitle = false) {
  const std::string& profile = frame.options().save.profileFolder;
  if (profile.empty() || frame.notePath().empty() || !frame.hasNote()) return;
  const std::string title = frame.document().currentPage()->title();
  Except_tryCatch([&] { RecentFiles_add(profile, frame.notePath(), title, keepKnownTitle); },
                  [&](const Errors_Msg& e) { showError(frame, e); });
}


void openRecent(CMainFrame& frame, size_t index) {
  const std::string& profile = frame.options().save.profileFolder;
  if (profile.empty()) return;
  const std::vector<RecentFile> list = RecentFiles_read(profile);
  if (index >= list.size()) return;
  const std::string path = list[index].path;
  if (FileX_isFile(path)) {
    if (frame.options().save.openNote) frame.options().save.openNote(path);
    return;
  }
  std::string removeThis;
  if (RecentFiles_isServerPath(path)) {
    const std::string text =
        path + tr(frame, "見つかりません。 最近使ったファイルのリストから削除しますか？",
                  "Not Found. Are you remove this path in recent file list?");
    if (ask(frame, text, "Brevlo 3.10", PromptButtons::YesNo, PromptAnswer::Yes) ==
        PromptAnswer::Yes)
      removeThis = path;
  } else {
    ask(frame, path + tr(frame, "が見つかりません。", "Not Found."), "Brevlo 3.10",
        PromptButtons::Ok, PromptAnswer::Ok);
  }
  // Removing nothing still cleans and writes the list.
  Except_tryCatch([&] { RecentFiles_remove(profile, removeThis); },
                  [&](const Errors_Msg& e) { showError(frame, e); });
}

}  // namespace

std::string NoteSave_proposeMemoName(std::string_view folder, const std::tm& date,
                                     bool japanese) {
  char day[16];
  std::strftime(day, sizeof day, "%y%m%d", &date);
  const std::string base =
      StrX_joinPath(folder, std::string(japanese ? "メモ" : "memo") + " " + day);
  for (int n = 0;; ++n) {
    const std::string name = base + spreadsheetSuffix(n);
    if (!FileX_exists(name + ".svg") && !FileX_exists(name + ".svgz")) return name;
  }
}

bool NoteSave_save(CMainFrame& frame) {
  if (!frame.hasNote()) return false;
  SavingMark mark;
  if (!olderFormatAccepted(frame)) return false;
  if (frame.notePath().empty()) return NoteSave_saveAs(frame);
  const std::string path = frame.notePath();
  bool cleared = false;
  if (FileX_isFile(path) && FileX_isReadOnly(path)) {
    if (ask(frame,
            tr(frame, "上書きするファイルが読み込み専用です。構わず上書きしますか？",
               "Overwriting file is read only. Do you overwrite?"),
            "Brevlo 3.10", PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes)
      return false;
    FileX_setReadOnly(path, false);
    cleared = true;
  }
  // Another window, program or sync tool wrote the file since it was
  // loaded: writing over it would lose that, so the user decides.
  if (NoteSave_changedOnDisk(frame) &&
      ask(frame,
          path + tr(frame, " は、開いた後に他のプログラムで変更されています。上書きしますか？",
                    " has been changed by another program since it was opened. Overwrite it?"),
          "Brevlo 3.10", PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes) {
    if (cleared) FileX_setReadOnly(path, true);
    return false;
  }
  const int result = write(frame, path);
  if (cleared &&
      ask(frame,
          tr(frame, "再び読み込み専用属性を設定しますか。",
             "Do you want to set readonly attribute again?"),
          path, PromptButtons::YesNo, PromptAnswer::Yes) == PromptAnswer::Yes)
    FileX_setReadOnly(path, true);
  return result != NoteWriter_failed;
}

bool NoteSave_saveAs(CMainFrame& frame, bool readOnly) {
  if (!frame.hasNote()) return false;
  SavingMark mark;
  if (!olderFormatAccepted(frame)) return false;
  UserPrompts& prompts = UserPrompts_get();
  const uint32_t owner = WindowIds_idOf(&frame);
  std::string proposed = frame.notePath();
  if (proposed.empty()) {
    const std::time_t now = std::time(nullptr);
    std::tm date{};
    localtime_r(&now, &date);
    proposed = NoteSave_proposeMemoName(NoteSave_desktopFolder(frame), date, frame.options().japanese);
  }
  // The dialog opens in the folder of the last save (the desktop first).
  const std::string start = lastSaveFolder().empty() ? NoteSave_desktopFolder(frame) : lastSaveFolder();
  if (frame.notePath().empty()) proposed = StrX_joinPath(start, StrX_fileName(proposed));
  const char* filter = tr(frame,
                          "SVG形式 Scalable Vector Graphics (*.svg)|*.svg|圧縮 SVG形式 Scalable "
                          "Vector Graphics (*.svgz)|*.svgz|すべてのファイル (*.*)|*.*||",
                          "SVG format  Scalable Vector Graphics (*.svg)|*.svg|compressed SVG "
                          "format  Scalable Vector Graphics (*.svgz)|*.svgz|All Files (*.*)|*.*||");
  std::string chosen;
  bool cleared = false;
  for (;;) {
    std::string path = proposed;
    int kind = StrX_equalsNoCase(StrX_extension(path), "svgz") ? 1 : 0;
    if (!prompts.saveFileName(tr(frame, "名前をつけて保存", "Save As"), filter, path, kind, owner))
      return false;
    applyKind(path, kind);
    // Without a person a "No" would only bring the same answer again.
    const bool again = prompts.interactive();
    if (FileX_exists(path)) {
      if (ask(frame, tr(frame, "ファイルを上書きしますか？", "Do you overwrite the file?"), path,
              PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes) {
        if (again) continue;
        return false;
      }
      if (FileX_isReadOnly(path)) {
        if (ask(frame,
                tr(frame, "上書きするファイルが読み込み専用です。構わず上書きしますか？",
                   "Overwriting file is read only. Do you overwrite?"),
                "Brevlo 3.10", PromptButtons::YesNo, PromptAnswer::No) != PromptAnswer::Yes) {
          if (again) continue;
          return false;
        }
        FileX_setReadOnly(path, false);
        cleared = true;
      }
    }
    chosen = path;
    break;
  }
  const int result = write(frame, chosen);
  if (result != NoteWriter_failed) lastSaveFolder() = StrX_parentFolder(chosen);
  if (readOnly && result != NoteWriter_failed) {
    FileX_setReadOnly(chosen, true);
  } else if (cleared &&
             ask(frame,
                 tr(frame, "再び読み込み専用属性を設定しますか。",
                    "Do you want to set readonly attribute again?"),
                 chosen, PromptButtons::YesNo, PromptAnswer::No) == PromptAnswer::Yes) {
    FileX_setReadOnly(chosen, true);
  }
  return result != NoteWriter_failed;
}

bool NoteSave_queryClose(CMainFrame& frame) {
  // The last window: a call of another start that is being handled keeps
  // the process.
  const NoteSaveShell& shell = NoteSave_shell();
  if (shell.mayEnd && NoteSave_shownWindows() <= 1 && !shell.mayEnd()) {
    UserPrompts_get().messageBox("閉じることができません: GUIServiceQueue", "Brevlo 3.10",
                                 PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok,
                                 WindowIds_idOf(&frame));
    return false;
  }
  if (frame.hasNote() && frame.noteModified()) {
    // With auto-save the note is saved without asking, unless a failed
    // save turned its auto-save off.
    PromptAnswer answer = PromptAnswer::Yes;
    if (!NoteSave_shell().autoSave || frame.document().autoSaveDisabled) {
      frame.raise();
      answer = ask(frame, tr(frame, "編集した内容を保存しますか？", "Do you save edited contents?"),
                   frame.notePath(), PromptButtons::YesNoCancel, PromptAnswer::Yes);
    }
    if (answer == PromptAnswer::Cancel) return false;
    if (answer == PromptAnswer::Yes) {
      if (frame.document().autoSaveDisabled) {
        NoteSave_saveAs(frame);
      } else {
        NoteSave_save(frame);
      }
      if (frame.noteModified()) return false;
    }
  }
  addRecent(frame);
  return true;
}

void NoteSave_noteLoaded(CMainFrame& frame) {
  frame.loadedTime = frame.notePath().empty() ? 0 : diskTime(frame.notePath());
  addRecent(frame, true);
}

bool NoteSave_changedOnDisk(CMainFrame& frame) {
  if (frame.notePath().empty() || frame.loadedTime == 0) return false;
  const int64_t now = diskTime(frame.notePath());
  return now != 0 && now != frame.loadedTime;
}

void NoteSave_reopen(CMainFrame& frame) {
  if (!frame.hasNote() || frame.notePath().empty()) return;
  frame.CommitPendingEdits();
  bool dropEdits = false;
  if (frame.noteModified()) {
    const PromptAnswer answer =
        ask(frame, tr(frame, "編集した内容を保存しますか？", "Do you save edited contents?"),
            frame.notePath(), PromptButtons::YesNoCancel, PromptAnswer::Yes);
    if (answer == PromptAnswer::Cancel) return;
    if (answer == PromptAnswer::Yes && !NoteSave_save(frame)) return;
    dropEdits = answer == PromptAnswer::No;
  }
  if (!dropEdits && !NoteSave_changedOnDisk(frame)) return;
  // Loaded again on the page and at the scroll position it showed.
  const std::string path = frame.notePath();
  const int32_t page = frame.document().currentPageNumber();
  const Point32 scroll = frame.view().geometry().scroll;
  Except_tryCatch([&] { frame.LoadNote(path, false); },
                  [&](const Errors_Msg& e) { showError(frame, e); });
  if (!frame.hasNote()) return;
  frame.SelectPageNumber(page);
  frame.view().ScrollTo(scroll);
}

void NoteSave_registerCommands(CommandTable& table, CMainFrame& frame) {
  auto t = [&](const char* ja, const char* en) { return std::string(tr(frame, ja, en)); };
  const std::string fileMenu = t("ファイル(&F)", "&File");
  table.add(Cmd_FileSave, t("上書き保存", "Save"), fileMenu, {QKeySequence(Qt::CTRL | Qt::Key_S)},
            [&frame] { NoteSave_save(frame); });
  table.add(Cmd_FileSaveAs, t("名前をつけて保存", "Save As"), fileMenu, {},
            [&frame] { NoteSave_saveAs(frame); });
  table.add(Cmd_FileSaveReadOnly, t("読み取り専用で保存", "Save Read Only"), fileMenu, {},
            [&frame] { NoteSave_saveAs(frame, true); });
  table.add(Cmd_FileReopen, t("開きなおす", "Reopen"), fileMenu, {},
            [&frame] { NoteSave_reopen(frame); });
  table.add(Cmd_FileClose, t("閉じる", "Close"), fileMenu, {}, [&frame] { frame.close(); });
  NoteSave_registerShellCommands(table, frame);
  for (size_t i = 0; i < kRecentIds.size(); ++i) {
    QAction* a = table.add(kRecentIds[i], "", fileMenu, {}, [&frame, i] { openRecent(frame, i); });
    a->setVisible(false);
  }
}

void NoteSave_refreshRecentEntries(CommandTable& table, CMainFrame& frame) {
  const std::string& profile = frame.options().save.profileFolder;
  const std::vector<RecentFile> list =
      profile.empty() ? std::vector<RecentFile>() : RecentFiles_read(profile);
  for (size_t i = 0; i < kRecentIds.size(); ++i) {
    QAction* a = table.action(kRecentIds[i]);
    if (a == nullptr) continue;
    a->setVisible(i < list.size());
    if (i < list.size())
      a->setText(QtText_fromCp932(RecentFiles_label(static_cast<int>(i + 1), list[i])));
  }
}

void NoteSave_menusBuilt(CommandTable& table, CMainFrame& frame) {
  NoteSave_assignStandardKeys(table);
  QAction* first = table.action(kRecentIds[0]);
  if (first == nullptr) return;
  for (QObject* o : first->associatedObjects()) {
    if (auto* menu = qobject_cast<QMenu*>(o)) {
      QObject::connect(menu, &QMenu::aboutToShow, &frame,
                       [&table, &frame] { NoteSave_refreshRecentEntries(table, frame); });
    }
  }
  NoteSave_refreshRecentEntries(table, frame);
}

std::string NoteSave_desktopFolder(const CMainFrame& frame) {
  if (!frame.options().save.desktopFolder.empty()) return frame.options().save.desktopFolder;
  QString d = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  if (d.isEmpty()) d = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
  return QtText_toCp932(d);
}
