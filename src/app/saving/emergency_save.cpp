#include "app/saving/emergency_save.h"

#include "app/saving/frame_save_host.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/filex/filex_names.h"
#include "core/filex/text_file.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "document/writer/note_writer.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include <QApplication>
#include <QWidget>

namespace {

std::string listPath(const std::string& folder) {
  return StrX_joinPath(folder, EmergencySave_listName);
}

// "recovery-" + the note's file name + "-" + n + ".svg", n the first free.
std::string copyName(const std::string& folder, const std::string& note) {
  std::string dir = folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return FileX_uniqueNoteName(dir, "recovery-" + (note.empty() ? std::string() : StrX_fileName(note)) + "-");
}

}  // namespace

bool EmergencySave_writeCopy(CMainFrame& frame, const std::string& backupFolder) {
  if (backupFolder.empty() || !frame.hasNote()) return false;
  bool written = false;
  Except_tryCatch(
      [&] {
        FileX_makeFolders(backupFolder, false);
        const std::string copy = copyName(backupFolder, frame.notePath());
        FrameSaveHost host(frame);
        if (NoteWriter_save(frame.document(), copy, true, host) == NoteWriter_failed) return;
        written = EmergencySave_list(backupFolder, copy, frame.notePath());
      },
      [](const Errors_Msg&) {});
  return written;
}

int EmergencySave_writeAll(const std::string& backupFolder) {
  if (!QApplication::instance() || backupFolder.empty()) return 0;
  int written = 0;
  for (CMainFrame* frame : CMainFrame_shownFrames()) {
    if (frame->noteModified() && EmergencySave_writeCopy(*frame, backupFolder)) written++;
  }
  return written;
}

bool EmergencySave_list(const std::string& backupFolder, const std::string& copy,
                        const std::string& original) {
  for (const EmergencyCopy& c : EmergencySave_listed(backupFolder))
    if (c.copy == copy) return true;
  return TextFile_write(listPath(backupFolder), copy + "\t" + original + "\n", true);
}

std::vector<EmergencyCopy> EmergencySave_listed(const std::string& backupFolder) {
  std::vector<EmergencyCopy> list;
  std::optional<std::string> text = TextFile_read(listPath(backupFolder));
  if (!text) return list;
  size_t start = 0;
  while (start < text->size()) {
    size_t end = text->find('\n', start);
    if (end == std::string::npos) end = text->size();
    const std::string line = text->substr(start, end - start);
    start = end + 1;
    const size_t tab = line.find('\t');
    EmergencyCopy c{line.substr(0, tab), tab == std::string::npos ? "" : line.substr(tab + 1)};
    if (!c.copy.empty() && FileX_isFile(c.copy)) list.push_back(std::move(c));
  }
  return list;
}

int EmergencySave_offerRecovery(const std::string& backupFolder, bool japanese,
                                const std::function<void(const std::string&)>& open) {
  const std::vector<EmergencyCopy> list = EmergencySave_listed(backupFolder);
  FileX_deleteFile(listPath(backupFolder));
  if (list.empty()) return 0;
  std::string names;
  for (const EmergencyCopy& c : list) {
    names += c.copy + " (" + (c.original.empty() ? std::string(japanese ? "無題" : "NoTitle") : c.original) +
             ")\r\n";
  }
  const std::string text =
      japanese ? "前回 Brevlo がエラーで終了したとき、保存されていなかったノートの復旧用コピーを作りました。\r\n" +
                     names + "開きますか？"
               : "Brevlo stopped on an error last time; recovery copies of the notes that were not saved were made.\r\n" +
                     names + "Do you open them?";
  if (UserPrompts_get().messageBox(text, "Brevlo 3.10", PromptButtons::YesNo, PromptIcon::Question,
                                   PromptAnswer::Yes, 0) != PromptAnswer::Yes)
    return 0;
  int opened = 0;
  for (const EmergencyCopy& c : list) {
    open(c.copy);
    opened++;
  }
  return opened;
}
