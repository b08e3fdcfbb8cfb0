// Every message box, question and input dialog of the program goes through
// one service.  The window system fills it with real dialogs; batch runs and
// tests use the non-interactive service, which never blocks: messages go to
// the echo file (or standard error) and questions take their default answer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No, Retry };

// Texts are CP932.  `owner` is the program's 32-bit id of a window (0: none).
class UserPrompts {
 public:
  virtual ~UserPrompts() = default;

  virtual PromptAnswer messageBox(std::string_view text, std::string_view title,
                                  PromptButtons buttons, PromptIcon icon,
                                  PromptAnswer defaultAnswer, uint32_t owner) = 0;
  // Asks for one line of text; false when the user cancels.
  virtual bool inputText(std::string_view prompt, std::string_view title,
                         std::string& value, uint32_t owner) = 0;
  // The modal error-detail dialog: a read-only text and an OK button.
  virtual void showDetail(std::string_view caption, std::string_view text,
                          uint32_t owner) = 0;
  // Asks for the name of a file to save.  `filter` is the list of file
  // kinds, "label|pattern|label|pattern|...||"; `filterIndex` (from 0) is
  // the kind chosen first and comes back as the kind chosen; `path` is the
  // proposed name (its folder is where the dialog opens) and comes back as
  // the chosen one.  False when the user cancels.  The default answer,
  // given without a person, is the proposed name with the first kind.
  virtual bool saveFileName(std::string_view title, std::string_view filter, std::string& path,
                            int& filterIndex, uint32_t owner);
  // Asks for an existing file to open, with the same filter list; `path`
  // is the folder (or a file in it) where the dialog opens and comes back
  // as the chosen file.  Without a person the dialog is cancelled.
  virtual bool openFileName(std::string_view title, std::string_view filter, std::string& path,
                            uint32_t owner);
  // An OK/Cancel question with a check box (`checkLabel`, e.g. "do not ask
  // again") whose state comes back in `checked`.  Without a person: the
  // message box's default answer, the box left unticked.
  virtual PromptAnswer confirmWithCheck(std::string_view text, std::string_view title,
                                        std::string_view checkLabel, bool& checked,
                                        PromptAnswer defaultAnswer, uint32_t owner);
  // Whether a person answers (false for the non-interactive service).
  virtual bool interactive() const = 0;
};

// The process's service.  Until one is set, the non-interactive service
// writing to standard error answers.
UserPrompts& UserPrompts_get();
// Installs a service (the caller keeps it alive); nullptr restores the
// default.
void UserPrompts_set(UserPrompts* prompts);

// The service of batch runs: every message is appended as one line to the
// echo file (CR LF, CP932) or written to standard error when there is none;
// questions take their default answer; input dialogs are cancelled.
class NonInteractivePrompts : public UserPrompts {
 public:
  explicit NonInteractivePrompts(std::string echoPath = {});

  PromptAnswer messageBox(std::string_view text, std::string_view title,
                          PromptButtons buttons, PromptIcon icon,
                          PromptAnswer defaultAnswer, uint32_t owner) override;
  bool inputText(std::string_view prompt, std::string_view title,
                 std::string& value, uint32_t owner) override;
  void showDetail(std::string_view caption, std::string_view text,
                  uint32_t owner) override;
  bool interactive() const override { return false; }

  const std::string& echoPath() const { return echoPath_; }

 private:
  void emitLine(std::string_view text);
  std::string echoPath_;
};

// Whether ZERBIN_NONINTERACTIVE=1 is set in the environment.
bool UserPrompts_nonInteractiveByEnvironment();
