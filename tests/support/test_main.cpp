// The main of every test program.
#include <gtest/gtest.h>

#include "core/errors/errors.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Death tests fork; the thread-safe style re-executes the program so
  // that worker threads of earlier tests cannot deadlock the child.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  Errors_setAppName("Brevlo 3.10", Errors_buildVersion());
  return RUN_ALL_TESTS();
}
