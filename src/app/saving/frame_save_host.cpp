#include "app/saving/frame_save_host.h"

#include "view/render/page_image.h"

#include "app/mainframe/main_frame.h"
#include "app/saving/recent_files.h"
#include "core/prompts/user_prompts.h"
#include "platform/windows/window_ids.h"

FrameSaveHost::FrameSaveHost(CMainFrame& frame) : frame_(frame) {}

const TextMetrics* FrameSaveHost::metrics() const { return &frame_.metrics(); }

bool FrameSaveHost::lockFiles() { return fileSema_.lock(NamedLock_infinite); }

void FrameSaveHost::unlockFiles() { fileSema_.unlock(); }

std::string FrameSaveHost::scriptPath() const { return frame_.options().save.scriptPath; }

StrX_VarLookup FrameSaveHost::variables() const { return frame_.options().save.variables; }

bool FrameSaveHost::lowerPath() const { return frame_.options().save.lowerPath; }

bool FrameSaveHost::japanese() const { return frame_.options().japanese; }

std::string FrameSaveHost::notePath() const { return frame_.notePath(); }

void FrameSaveHost::setNotePath(std::string_view path) { frame_.setNotePath(std::string(path)); }

void FrameSaveHost::refreshTitle() { frame_.RefreshWindowTitle(); }

void FrameSaveHost::addRecentFile(std::string_view path) {
  const std::string& profile = frame_.options().save.profileFolder;
  if (profile.empty()) return;
  std::string title;
  if (frame_.hasNote()) title = frame_.document().currentPage()->title();
  RecentFiles_add(profile, path, title);
}

void FrameSaveHost::markSaved() { frame_.undo().MarkSaved(); }

bool FrameSaveHost::autoSaveEnabled() const {
  return frame_.hasNote() && !frame_.document().autoSaveDisabled;
}

std::string FrameSaveHost::keywordsFolder() const { return frame_.options().save.keywordsFolder; }

void FrameSaveHost::showSaveFailure(std::string_view text, std::string_view caption) {
  UserPrompts_get().messageBox(text, caption, PromptButtons::Ok, PromptIcon::Error,
                               PromptAnswer::Ok, WindowIds_idOf(&frame_));
}

void FrameSaveHost::showSaveStepFailure(std::string_view text) {
  UserPrompts_get().messageBox(text, "Brevlo 3.10", PromptButtons::Ok, PromptIcon::Warning,
                               PromptAnswer::Ok, WindowIds_idOf(&frame_));
}

void FrameSaveHost::exportPageImage(int32_t page, std::string_view path) {
  if (frame_.hasNote()) View_exportPageImage(frame_.document(), page, path);
}
