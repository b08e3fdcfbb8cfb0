#include "core/errors/debug_trace.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "support/test_support.h"

TEST(DebugTrace, LinesCarryProcessIdCallNumberAndThreadIndent) {
  testing_support::TempDir dir;
  std::string path = dir.file("DebugOut.txt");
  testing_support::WriteFileBytes(path, "old run\n");
  DebugTrace_setName(path.c_str());
  EXPECT_EQ(0, DebugTrace_printf("first %d\n", 1));
  std::thread t([] { DebugTrace_printf("from a thread\n"); });
  t.join();
  EXPECT_EQ(0, DebugTrace_printf("third\n"));
  std::string pid = std::to_string(getpid());
  // The file of the earlier run is gone; the second thread is indented by
  // one slot of 8 spaces.
  EXPECT_EQ("|{" + pid + ":1}first 1\n|{        " + pid + ":2}from a thread\n|{" + pid + ":3}third\n",
            testing_support::ReadFileBytes(path));
  testing_support::WriteFileBytes(dir.file("plain"), "x");
  DebugTrace_setName((dir.path() + "/plain/folder/x.txt").c_str());
  EXPECT_EQ(1027, DebugTrace_printf("lost\n"));
  DebugTrace_setName((testing_support::TestOutputDir() + "/DebugOut.txt").c_str());
}

// The program names a trace file in its log folder: the folder is made when
// missing, and shut-down deletes the file this run wrote, nothing else.
TEST(DebugTrace, FolderIsMadeAndOnlyTheFileOfThisRunIsRemoved) {
  testing_support::TempDir dir;
  std::string path = dir.path() + "/prof/log/DebugOut.txt";
  DebugTrace_setName(path.c_str());
  EXPECT_EQ(0, DebugTrace_printf("in the log folder\n"));
  EXPECT_NE(std::string::npos, testing_support::ReadFileBytes(path).find("in the log folder\n"));
  EXPECT_TRUE(DebugTrace_removeFile());
  EXPECT_FALSE(DebugTrace_removeFile());
  EXPECT_EQ("", testing_support::ReadFileBytes(path));
  // A trace of an earlier run that this run never wrote to stays.
  testing_support::WriteFileBytes(path, "earlier run\n");
  EXPECT_FALSE(DebugTrace_removeFile());
  EXPECT_EQ("earlier run\n", testing_support::ReadFileBytes(path));
  DebugTrace_setName((testing_support::TestOutputDir() + "/DebugOut.txt").c_str());
}
