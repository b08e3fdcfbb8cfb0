// What the benchmarks ask of the process and the file system: the
// temporary folder, sizes of files, and the memory counters of
// /proc/self/status.
#pragma once

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

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
