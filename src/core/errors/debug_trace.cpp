#include "core/errors/debug_trace.h"

#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/errors/result_code.h"
#include "core/filex/text_file.h"
#include "core/lock/named_lock.h"
#include "core/strx/codepage.h"

namespace {

constexpr int kMaxSlots = 8;

struct TraceState {
  std::mutex m;
  std::string name;  // empty: the desktop default
  bool firstUse = true;
  std::string written;  // the file this run wrote to ("" none)
  int callNumber = 0;
  std::vector<std::thread::id> slots;
};

TraceState& state() {
  static TraceState s;
  return s;
}

std::string defaultPath() {
  const char* home = std::getenv("HOME");
  std::string base = home && *home ? home : "/tmp";
  std::string desktop = base + "/Desktop";
  struct stat st{};
  if (stat(desktop.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) base = desktop;
  std::optional<std::string> cp = Cp932_fromOsPath(base + "/DebugOut.txt");
  return cp ? *cp : std::string("/tmp/DebugOut.txt");
}

// Creates the folders above the OS path `os` (the trace never goes through
// the file helpers, which report malformed paths to the trace).
void makeParentFolders(const std::string& os) {
  for (size_t at = os.find('/', 1); at != std::string::npos; at = os.find('/', at + 1)) {
    ::mkdir(os.substr(0, at).c_str(), 0777);
  }
}

int slotOf(TraceState& s) {
  auto self = std::this_thread::get_id();
  for (size_t i = 0; i < s.slots.size(); ++i)
    if (s.slots[i] == self) return static_cast<int>(i);
  if (static_cast<int>(s.slots.size()) < kMaxSlots) {
    s.slots.push_back(self);
    return static_cast<int>(s.slots.size()) - 1;
  }
  return kMaxSlots - 1;
}

}  // namespace

void DebugTrace_setName(const char* path) {
  TraceState& s = state();
  std::lock_guard<std::mutex> lock(s.m);
  s.name = path ? path : "";
  s.firstUse = true;
}

bool DebugTrace_removeFile() {
  TraceState& s = state();
  std::lock_guard<std::mutex> lock(s.m);
  if (s.written.empty()) return false;
  NamedLock mutex("printf_file_mutex");
  NamedLockGuard guard(mutex, 10000);
  std::optional<std::string> os = Cp932_toOsPath(s.written);
  s.written.clear();
  return os && ::unlink(os->c_str()) == 0;
}

int DebugTrace_printf(const char* format, ...) {
  char text[4096];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);

  TraceState& s = state();
  std::lock_guard<std::mutex> lock(s.m);
  int slot = slotOf(s);
  std::string line = "|{" + std::string(static_cast<size_t>(slot) * 8, ' ') +
                     std::to_string(getpid()) + ":" + std::to_string(++s.callNumber) + "}" +
                     text;
  if (s.name == "*") {
    std::string out = Cp932_toUtf8(line);
    return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0
                                                                       : ResultCode_WriteFailed;
  }
  std::string path = s.name.empty() ? defaultPath() : s.name;
  NamedLock mutex("printf_file_mutex");
  NamedLockGuard guard(mutex, 10000);
  if (s.firstUse) {
    s.firstUse = false;
    if (std::optional<std::string> os = Cp932_toOsPath(path)) unlink(os->c_str());
  }
  FilePtr f = FileX_openOs(path, "ab");
  if (!f) {
    if (std::optional<std::string> os = Cp932_toOsPath(path)) makeParentFolders(*os);
    f = FileX_openOs(path, "ab");
  }
  if (!f) return ResultCode_WriteFailed;
  s.written = path;
  if (std::fwrite(line.data(), 1, line.size(), f.get()) != line.size())
    return ResultCode_WriteFailed;
  return std::fclose(f.release()) == 0 ? 0 : ResultCode_WriteFailed;
}
