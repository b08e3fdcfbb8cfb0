// Runs the built program in a child process with its own service name and
// echo file, on the offscreen platform, ending right after start-up.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "support/test_support.h"

struct ZerbinRun {
  int status = -1;
  std::string echo;  // CP932, CR LF turned into LF
  std::string err;   // standard error (UTF-8)
};

inline std::string uniqueService() {
  static std::atomic<int> n{0};
  return "-service_name=BrevloTest_" + std::to_string(getpid()) + "_" + std::to_string(n++);
}

// How a run differs from the usual one.
struct ZerbinRunOptions {
  bool quiet = true;  // -t: no first-run box
  std::string cwd;    // the current folder of the process ("" = the test's)
  std::vector<std::pair<std::string, std::string>> env;  // extra variables
  std::string program;  // another copy of the program ("" = the built one)
  bool bare = false;    // no words of its own: only `words` (echo file and
                        // service name come from the caller)
  bool echo = true;     // the runner adds its own "-echo=" (else messages go
                        // to standard error, kept in ZerbinRun::err)
};

// Runs zerbin with the words (UTF-8) plus -t, -j, its own service and echo
// file; the event loop ends right after start-up.
inline ZerbinRun runZerbin(const testing_support::TempDir& dir, std::vector<std::string> words,
                           const ZerbinRunOptions& options = {}) {
  std::string echo = dir.file("echo.txt");
  std::string err = dir.file("stderr.txt");
  std::vector<std::string> all = {options.program.empty() ? ZERBIN_PROGRAM_PATH : options.program};
  if (!options.bare) {
    if (options.quiet) all.push_back("-t");
    for (std::string w : {std::string("-j"), uniqueService()}) all.push_back(w);
    if (options.echo) all.push_back("-echo=" + echo);
  }
  all.insert(all.end(), words.begin(), words.end());
  pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZERBIN_QUIT_AFTER_STARTUP", "1", 1);
    for (const auto& [name, value] : options.env) setenv(name.c_str(), value.c_str(), 1);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    if (!freopen(err.c_str(), "w", stderr)) _exit(125);
    std::vector<char*> argv;
    for (std::string& w : all) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  ZerbinRun r;
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  std::string bytes = testing_support::ReadFileBytes(echo);
  for (char c : bytes) {
    if (c != '\r') r.echo += c;
  }
  r.err = testing_support::ReadFileBytes(err);
  return r;
}
