// The save host of a main window: text measured with the window's metrics,
// the application's file lock "Zerbin_FileSema", its folders and settings,
// the window's path and title, the shared recent list, undo's saved mark,
// and failures shown through the prompts service.
#pragma once

#include <string>

#include "core/lock/named_lock.h"
#include "document/writer/note_save_host.h"

class CMainFrame;

class FrameSaveHost final : public NoteSaveHost {
 public:
  explicit FrameSaveHost(CMainFrame& frame);

  const TextMetrics* metrics() const override;
  bool lockFiles() override;
  void unlockFiles() override;
  std::string scriptPath() const override;
  StrX_VarLookup variables() const override;
  bool lowerPath() const override;
  bool japanese() const override;
  std::string notePath() const override;
  void setNotePath(std::string_view path) override;
  void refreshTitle() override;
  void addRecentFile(std::string_view path) override;
  void markSaved() override;
  bool autoSaveEnabled() const override;
  std::string keywordsFolder() const override;
  void showSaveFailure(std::string_view text, std::string_view caption) override;
  void showSaveStepFailure(std::string_view text) override;
  void exportPageImage(int32_t page, std::string_view path) override;

 private:
  CMainFrame& frame_;
  NamedLock fileSema_{"Zerbin_FileSema"};
};
