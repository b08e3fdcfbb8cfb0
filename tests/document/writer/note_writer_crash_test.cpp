// A save stopped at any write, by a failing disk or by the death of the
// process, leaves the old note byte for byte and nothing beside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "core/filex/filex_flags.h"
#include "document/writer/note_writer.h"
#include "note_writer_fixture.h"

using namespace testing_support;

namespace {

thread_local int gWritesLeft = 0;
thread_local bool gKill = false;

// Writes normally until the count runs out; then fails, or kills the
// process in the middle of the block.
ssize_t stoppingWrite(int fd, const void* data, size_t n) {
  if (gWritesLeft-- <= 0) {
    if (gKill) {
      (void)::write(fd, data, n / 2);
      ::kill(::getpid(), SIGKILL);
    }
    errno = ENOSPC;
    return -1;
  }
  return ::write(fd, data, n);
}

std::vector<std::string> folderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class NoteWriterCrash : public ::testing::Test {
 protected:
  void SetUp() override {
    doc.NewDocument(3, false);
    // About 300 KB of figures: several blocks of the writer.
    for (int i = 0; i < 3000; ++i) doc.workingFigures().append(TestRect(i + 1, i, i, 10, 10));
    target = dir.file("note.svg");
    WriteFileBytes(target, old);
  }

  TempDir work;
  TempDir dir;
  NoteDocument doc{work.path()};
  RecordingSaveHost host;
  std::string target;
  const std::string old = "<svg>the old note</svg>\r\n";
};

TEST_F(NoteWriterCrash, FailingWriteAtEveryBlockKeepsTheOldFile) {
  int blocks = 0;
  for (int k = 0;; ++k) {
    gKill = false;
    gWritesLeft = k;
    int result;
    {
      FileX_WriteFunctionScope scope(stoppingWrite);
      result = NoteWriter_save(doc, target, false, host);
    }
    if (result == 0) {
      blocks = k;
      break;
    }
    ASSERT_EQ(result, 1) << "block " << k;
    EXPECT_EQ(ReadFileBytes(target), old) << "block " << k;
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"note.svg"}) << "block " << k;
    FileX_setWriteFailed(false);
  }
  EXPECT_GE(blocks, 4);
  EXPECT_NE(ReadFileBytes(target), old);
}

TEST_F(NoteWriterCrash, ProcessKilledAtEveryBlockKeepsTheOldFile) {
  for (int k = 0; k < 5; ++k) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      gKill = true;
      gWritesLeft = k;
      FileX_WriteFunctionScope scope(stoppingWrite);
      NoteWriter_save(doc, target, false, host);
      ::_exit(3);  // not reached while k is below the number of blocks
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "block " << k;
    EXPECT_EQ(WTERMSIG(status), SIGKILL);
    EXPECT_EQ(ReadFileBytes(target), old) << "block " << k;
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"note.svg"}) << "block " << k;
  }
}

}  // namespace
