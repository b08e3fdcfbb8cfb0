#include "core/filex/filex_atomic.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/filex/filex_flags.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::ReadFileBytes;

namespace {

// Writes half of the first block, then fails as a full disk does.
ssize_t failingWrite(int fd, const void* data, size_t n) {
  if (n > 1) return ::write(fd, data, n / 2);
  errno = ENOSPC;
  return -1;
}

int entries(const std::string& dir) {
  int n = 0;
  DIR* d = opendir(dir.c_str());
  while (struct dirent* e = readdir(d)) n += e->d_name[0] != '.';
  closedir(d);
  return n;
}

}  // namespace

TEST(FileXAtomic, ReplaceKeepsModeAndFollowsLinks) {
  testing_support::TempDir dir;
  std::string p = dir.file("note.svg");
  FileX_replaceAtomically(p, "new file");
  EXPECT_EQ("new file", ReadFileBytes(p));
  chmod(p.c_str(), 0640);
  FileX_replaceAtomically(p, "second");
  EXPECT_EQ("second", ReadFileBytes(p));
  struct stat st;
  stat(p.c_str(), &st);
  EXPECT_EQ(0640u, st.st_mode & 07777);
  std::string link = dir.file("link.svg");
  ASSERT_EQ(0, symlink("note.svg", link.c_str()));
  FileX_replaceAtomically(link, "through the link");
  EXPECT_EQ("through the link", ReadFileBytes(p));
  lstat(link.c_str(), &st);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(2, entries(dir.path()));  // no temporary file left
}

TEST(FileXAtomic, FailedWriteLeavesTheOldFile) {
  testing_support::TempDir dir;
  std::string p = dir.file("note.svg");
  testing_support::WriteFileBytes(p, "the user's note");
  FileX_setWriteFailed(false);
  {
    FileX_WriteFunctionScope scope(&failingWrite);
    Errors_Msg e = CatchError([&] { FileX_replaceAtomically(p, "a much longer replacement"); });
    EXPECT_EQ(FileX_Err_CannotWrite, e.code);
    EXPECT_EQ(p + " の書きこみに失敗しました。", e.message());
    std::string src = dir.file("src.svg");
    testing_support::WriteFileBytes(src, "copied content");
    e = CatchError([&] { FileX_copyOverAtomically(p, src, true); });
    EXPECT_EQ(FileX_Err_CannotWrite, e.code);
    unlink(src.c_str());
  }
  EXPECT_TRUE(FileX_writeFailed());
  FileX_setWriteFailed(false);
  EXPECT_EQ("the user's note", ReadFileBytes(p));
  EXPECT_EQ(1, entries(dir.path()));

  // Streamed: without commit the target stays as it was.
  {
    FileX_AtomicFile f(p);
    f.write("partial");
  }
  EXPECT_EQ("the user's note", ReadFileBytes(p));
  EXPECT_EQ(1, entries(dir.path()));

  chmod(p.c_str(), 0444);
  EXPECT_EQ(FileX_Err_CannotWriteOpen, CatchError([&] { FileX_replaceAtomically(p, "x"); }).code);
  EXPECT_EQ(FileX_Err_CannotWriteOpen,
            CatchError([&] { FileX_replaceAtomically(dir.file("no/x"), "x"); }).code);
  EXPECT_EQ("the user's note", ReadFileBytes(p));
}
