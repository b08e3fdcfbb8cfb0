#include "core/prompts/user_prompts.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "core/filex/text_file.h"
#include "core/strx/codepage.h"

namespace {

NonInteractivePrompts& fallback() {
  static NonInteractivePrompts p;
  return p;
}

std::atomic<UserPrompts*>& current() {
  static std::atomic<UserPrompts*> p{nullptr};
  return p;
}

}  // namespace

UserPrompts& UserPrompts_get() {
  UserPrompts* p = current().load();
  return p ? *p : fallback();
}

void UserPrompts_set(UserPrompts* prompts) { current().store(prompts); }

bool UserPrompts_nonInteractiveByEnvironment() {
  const char* v = std::getenv("ZERBIN_NONINTERACTIVE");
  return v && std::strcmp(v, "1") == 0;
}

NonInteractivePrompts::NonInteractivePrompts(std::string echoPath)
    : echoPath_(std::move(echoPath)) {}

void NonInteractivePrompts::emitLine(std::string_view text) {
  std::string line(text);
  line += "\n";
  if (!echoPath_.empty() && TextFile_write(echoPath_, line, true)) return;
  std::cerr << Cp932_toUtf8(line) << std::flush;
}

PromptAnswer NonInteractivePrompts::messageBox(std::string_view text, std::string_view,
                                               PromptButtons, PromptIcon,
                                               PromptAnswer defaultAnswer, uint32_t) {
  emitLine(text);
  return defaultAnswer;
}

bool NonInteractivePrompts::inputText(std::string_view prompt, std::string_view, std::string&,
                                      uint32_t) {
  emitLine(prompt);
  return false;
}

void NonInteractivePrompts::showDetail(std::string_view, std::string_view text, uint32_t) {
  emitLine(text);
}

bool UserPrompts::saveFileName(std::string_view, std::string_view, std::string& path, int&,
                               uint32_t) {
  return !path.empty();
}

bool UserPrompts::openFileName(std::string_view, std::string_view, std::string&, uint32_t) {
  return false;
}

PromptAnswer UserPrompts::confirmWithCheck(std::string_view text, std::string_view title,
                                           std::string_view, bool& checked,
                                           PromptAnswer defaultAnswer, uint32_t owner) {
  checked = false;
  return messageBox(text, title, PromptButtons::OkCancel, PromptIcon::Question, defaultAnswer,
                    owner);
}
