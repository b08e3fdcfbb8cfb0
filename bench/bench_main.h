// The main function of the benchmarks that need a Qt application: the
// offscreen platform unless another is asked for, the benchmark's own
// arguments, then every benchmark of the program.
#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

#include <chrono>
#include <memory>

// The seconds since `t0` (a benchmark's manual time).
inline double Bench_seconds(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

// One fixture of type T for every benchmark of the program, made on first
// use; Bench_qtMain's afterRun frees it (Bench_fixtureFree<T>) while the
// application still lives.
template <class T>
std::unique_ptr<T>& Bench_fixtureSlot() {
  static std::unique_ptr<T> slot;
  return slot;
}
template <class T>
T& Bench_fixture() {
  std::unique_ptr<T>& slot = Bench_fixtureSlot<T>();
  if (!slot) slot = std::make_unique<T>();
  return *slot;
}
template <class T>
void Bench_fixtureFree() {
  Bench_fixtureSlot<T>().reset();
}

// `afterRun` frees what the benchmarks kept while the application lives.
template <class Application>
int Bench_qtMain(int argc, char** argv, void (*afterRun)() = nullptr) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  Application app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  if (afterRun != nullptr) afterRun();
  benchmark::Shutdown();
  return 0;
}
