// The main function of the benchmarks that need a Qt application: the
// offscreen platform unless another is asked for, the benchmark's own
// arguments, then every benchmark of the program.
#pragma once

#include <benchmark/benchmark.h>

#include <QtGlobal>

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
