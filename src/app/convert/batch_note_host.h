// The save host of conversions run without a window: text measured with the
// platform's fonts, the application's file lock, its folders and settings,
// and failures reported to the echo file (or the message box of a window).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "document/writer/note_save_host.h"

struct CZerbinApp;
class NoteDocument;

class CZerbinApp_BatchNoteHost final : public NoteSaveHost {
 public:
  CZerbinApp_BatchNoteHost(CZerbinApp& app, uint32_t frame, std::string notePath);
  ~CZerbinApp_BatchNoteHost() override;

  const TextMetrics* metrics() const override;
  bool lockFiles() override;
  void unlockFiles() override;
  std::string scriptPath() const override;
  StrX_VarLookup variables() const override;
  bool lowerPath() const override;
  bool japanese() const override;
  std::string notePath() const override { return notePath_; }
  void setNotePath(std::string_view path) override { notePath_ = path; }
  void showSaveFailure(std::string_view text, std::string_view caption) override;
  void showSaveStepFailure(std::string_view text) override;
  void exportPageImage(int32_t page, std::string_view path) override;
  void exportHtml(std::string_view path, char mode) override;
  // The note whose pages are rendered for page images (none: no images).
  void setDocument(NoteDocument* doc) { doc_ = doc; }

 private:
  CZerbinApp& app_;
  uint32_t frame_;
  std::string notePath_;
  NoteDocument* doc_ = nullptr;
  std::unique_ptr<TextMetrics> metrics_;
};

// Reads the note `source` into a document of the work folder (text measured
// with `metrics`, as the host measures it) and runs `write` on it; answers
// what `write` answers, or 1 after reporting an error of either to the echo
// file or the message box of `frame` (an unsupported note, whose box the
// reader has shown, is not reported again when `skipShownReaderError`).
// The document is cleared afterwards.
int CZerbinApp_withBatchNote(CZerbinApp& app, uint32_t frame, const std::string& source,
                             const TextMetrics* metrics,
                             const std::function<int(NoteDocument&)>& write,
                             bool skipShownReaderError = true);

// A folder of the program ("%script%", "%rel_copy%", ...) as a path.
std::string CZerbinApp_folderPath(const CZerbinApp& app, const char* name);
