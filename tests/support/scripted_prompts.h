// A prompt service for window tests: every box is recorded and answered
// from a script (the box's default answer once the script is used up);
// file dialogs take names from their own scripts.  Install it for the
// lifetime of a test with ScriptedPrompts::Installed.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "core/prompts/user_prompts.h"

namespace testing_support {

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  struct Asked {
    std::string text, title;
    PromptButtons buttons;
  };
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons buttons,
                          PromptIcon, PromptAnswer defaultAnswer, uint32_t) override {
    asked.push_back({std::string(text), std::string(title), buttons});
    if (answers.empty()) return defaultAnswer;
    const PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool openFileName(std::string_view, std::string_view, std::string& path, uint32_t) override {
    if (openNames.empty()) return false;
    path = openNames.front();
    openNames.pop_front();
    return true;
  }
  // The texts of the boxes shown, in order.
  std::vector<std::string> texts() const {
    std::vector<std::string> out;
    for (const Asked& a : asked) out.push_back(a.text);
    return out;
  }

  std::vector<Asked> asked;
  std::deque<PromptAnswer> answers;
  std::deque<std::string> openNames;

  // Installs the service and takes it away again.
  struct Installed {
    explicit Installed(ScriptedPrompts& p) { UserPrompts_set(&p); }
    ~Installed() { UserPrompts_set(nullptr); }
  };
};

}  // namespace testing_support
