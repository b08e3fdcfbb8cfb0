// The main of every test program.
#include <gtest/gtest.h>

#include "core/errors/debug_trace.h"
#include "core/errors/errors.h"
#include "support/test_support.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; the thread-safe style re-executes the program so
  // that worker threads of earlier tests cannot deadlock the child.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Errors_setAppName("Brevlo 3.10", Errors_buildVersion());
  // The developer trace of fatal stops goes to the test output, not the
  // desktop.
  static std::string trace = testing_support::TestOutputDir() + "/DebugOut.txt";
  DebugTrace_setName(trace.c_str());
  return RUN_ALL_TESTS();
}
