// A desktop that only records what the program hands it: files, folders
// and addresses to open, and programs to start (with their words).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/links/shell_services.h"

class RecordingShell : public ShellServices {
 public:
  bool openWithDefault(std::string_view target) override {
    opened.emplace_back(target);
    return true;
  }
  bool showSelected(std::string_view path) override {
    opened.emplace_back(path);
    return true;
  }
  bool startDetached(const std::string& program, const std::vector<std::string>& args) override {
    opened.push_back(program);
    for (const std::string& a : args) opened.push_back(a);
    return true;
  }
  std::vector<std::string> opened;
};
