// Helpers shared by the test programs.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/errors/errors.h"

namespace testing_support {

// Runs `fn` inside a try level and returns the record of the error it
// raised (code 0 when it raised none).  The error counts as handled.
Errors_Msg CatchError(const std::function<void()>& fn);

// A fresh folder below the test output folder, removed with its content
// when the object goes.  The path is UTF-8 (= CP932 for ASCII names) and
// ends without a separator.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// A folder of a fixed name below the test output folder, emptied now.
// Death tests use it: the dying child runs the test again from its start in
// a new process, so it must find the same folder as the parent.
std::string FixedDir(const std::string& name);

// Whole file as bytes ("" when it cannot be read); write bytes to a file.
std::string ReadFileBytes(const std::string& osPath);
void WriteFileBytes(const std::string& osPath, std::string_view bytes);

// Text of a UTF-8 literal (u8"...") as CP932 bytes, for comparing with texts
// the program produces.
std::string Sjis(std::u8string_view utf8);

// The folder that test programs write their output files to.
std::string TestOutputDir();

}  // namespace testing_support
