#include "core/lock/named_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace {
std::string uniqueName(const char* base) {
  return std::string(base) + "_" + std::to_string(getpid()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name();
}
}  // namespace

TEST(NamedLock, ReentrantOnItsThreadExclusiveForOthers) {
  NamedLock lock(uniqueName("Zerbin_FileSema"));
  ASSERT_TRUE(lock.lock(0));
  ASSERT_TRUE(lock.lock(0));  // again on the same thread
  EXPECT_TRUE(lock.heldByThisThread());
  bool otherGot = true;
  std::thread t([&] {
    NamedLock same(lock.name());
    otherGot = same.lock(50);
  });
  t.join();
  EXPECT_FALSE(otherGot);
  lock.unlock();
  lock.unlock();
  EXPECT_FALSE(lock.heldByThisThread());
  std::thread t2([&] {
    NamedLock same(lock.name());
    otherGot = same.lock(1000);
    same.unlock();
  });
  t2.join();
  EXPECT_TRUE(otherGot);
}

TEST(NamedLock, WaitingThreadGetsTheLockWhenItIsReleased) {
  NamedLock lock(uniqueName("Zerbin_IniSema"));
  ASSERT_TRUE(lock.lock(NamedLock_infinite));
  std::atomic<bool> got{false};
  std::thread t([&] {
    NamedLock same(lock.name());
    NamedLockGuard g(same, 5000);
    got = g.owns();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_FALSE(got);
  lock.unlock();
  t.join();
  EXPECT_TRUE(got);
}

TEST(NamedLock, OtherProcessWaitsAndTheKernelReleasesADeadHolder) {
  std::string name = uniqueName("Zerbin_InitialSema");
  int ready[2];
  ASSERT_EQ(0, pipe(ready));
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    NamedLock lock(name);
    bool ok = lock.lock(1000);
    char c = ok ? '1' : '0';
    (void)!write(ready[1], &c, 1);
    usleep(300 * 1000);
    _exit(0);  // dies holding the lock
  }
  char c = 0;
  ASSERT_EQ(1, read(ready[0], &c, 1));
  ASSERT_EQ('1', c);
  NamedLock lock(name);
  EXPECT_FALSE(lock.lock(50));
  EXPECT_TRUE(lock.lock(5000));
  int status = 0;
  waitpid(child, &status, 0);
  close(ready[0]);
  close(ready[1]);
}

TEST(NamedLock, RuntimeFolderIsPrivate) {
  std::string dir = NamedLock_runtimeFolder();
  ASSERT_FALSE(dir.empty());
  struct stat st{};
  ASSERT_EQ(0, stat(dir.c_str(), &st));
  EXPECT_EQ(0u, st.st_mode & 077);
  EXPECT_EQ(getuid(), st.st_uid);
}

TEST(NamedLock, ChildOfAHolderWaitsForItsParent) {
  NamedLock lock(uniqueName("Zerbin_WindowPosSema"));
  ASSERT_TRUE(lock.lock(0));  // the file is open and locked before the fork
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    NamedLock same(lock.name());
    bool got = same.lock(100);
    _exit(got ? 1 : 0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status)) << "the child took a lock its parent holds";
  lock.unlock();
}
