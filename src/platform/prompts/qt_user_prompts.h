// Message boxes and dialogs of the program on Qt Widgets.
#pragma once

#include <memory>

#include "core/prompts/user_prompts.h"

class QDialog;
class QMessageBox;

class QtUserPrompts : public UserPrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title,
                          PromptButtons buttons, PromptIcon icon,
                          PromptAnswer defaultAnswer, uint32_t owner) override;
  bool inputText(std::string_view prompt, std::string_view title, std::string& value,
                 uint32_t owner) override;
  void showDetail(std::string_view caption, std::string_view text, uint32_t owner) override;
  // A QFileDialog (not the system's: the caller asks its own overwrite
  // question).
  bool saveFileName(std::string_view title, std::string_view filter, std::string& path,
                    int& filterIndex, uint32_t owner) override;
  bool openFileName(std::string_view title, std::string_view filter, std::string& path,
                    uint32_t owner) override;
  PromptAnswer confirmWithCheck(std::string_view text, std::string_view title,
                                std::string_view checkLabel, bool& checked,
                                PromptAnswer defaultAnswer, uint32_t owner) override;
  bool interactive() const override { return true; }
};

// The boxes as they are shown, for building without showing them.
std::unique_ptr<QMessageBox> QtUserPrompts_makeMessageBox(std::string_view text,
                                                          std::string_view title,
                                                          PromptButtons buttons, PromptIcon icon,
                                                          PromptAnswer defaultAnswer,
                                                          uint32_t owner);
// The error-detail dialog: 300 x 127 dialog units in "ＭＳ Ｐ明朝" 10 pt, a
// read-only multi-line text (control 4225) and an "&OK" button (control 1)
// that has the focus.
std::unique_ptr<QDialog> QtUserPrompts_makeDetailDialog(std::string_view caption,
                                                        std::string_view text, uint32_t owner);
