// What the benchmarks ask of the process and the file system: the
// temporary folder, sizes of files, and the memory counters of
// /proc/self/status.
#pragma once

#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

inline std::string Bench_tempFolder() {
  const char* t = std::getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}

inline long Bench_fileSize(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  const long n = std::ftell(f);
  std::fclose(f);
  return n;
}

// A line of /proc/self/status in kB ("VmRSS", "VmHWM").
inline long Bench_statusKb(const char* key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string k = std::string(key) + ":";
  while (std::getline(in, line)) {
    if (line.compare(0, k.size(), k) == 0) return std::atol(line.c_str() + k.size());
  }
  return 0;
}

// Releases free memory and resets the peak, so that what comes next shows
// as growth of VmHWM; answers the peak now.
inline long Bench_resetPeak() {
  malloc_trim(0);
  {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
  }
  return Bench_statusKb("VmHWM");
}

// Processor time of the programs run so far (the machine may be shared:
// wall time waits for other work too).
inline double& Bench_childCpuMs() {
  static double ms = 0;
  return ms;
}

// Runs a program on the offscreen platform without questions; its exit
// status, its processor time added to Bench_childCpuMs(), and its peak
// resident memory in kB.
inline int Bench_run(std::vector<std::string> words, long* maxRssKb = nullptr) {
  const pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZERBIN_NONINTERACTIVE", "1", 1);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  struct rusage usage {};
  wait4(pid, &st, 0, &usage);
  if (maxRssKb != nullptr) *maxRssKb = usage.ru_maxrss;
  Bench_childCpuMs() += 1000.0 * double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                        double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
  return WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
}

// The program's command line for a batch run with a service name, echo
// file and profile of the benchmark `name` in the temporary folder.
inline std::vector<std::string> Bench_zerbin(const std::string& program, const std::string& name,
                                             std::vector<std::string> words) {
  const std::string t = Bench_tempFolder();
  std::vector<std::string> all = {program,
                                  "-t",
                                  "-j",
                                  "-service_name=Brevlo" + name + "Bench_" + std::to_string(getpid()),
                                  "-echo=" + t + "/zerbin-bench-" + name + "-echo.txt",
                                  "-prof=" + t + "/zerbin-bench-" + name + "-profile"};
  all.insert(all.end(), words.begin(), words.end());
  return all;
}
