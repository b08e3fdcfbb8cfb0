// Runs the built program with its own profile, service name and echo file
// and looks at what it leaves behind.
#include <sys/wait.h>
#include <unistd.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/settings/settings.h"
#include "core/filex/filex.h"
#include "core/lock/named_lock.h"
#include "support/test_support.h"
#include "zerbin_run.h"

namespace {

TEST(ZerbinBlackBox, NewProfileIsFilledFromProfileFirst) {
  testing_support::TempDir dir;
  std::string prof = dir.file("P");
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 0) << r.echo;
  for (const char* sub : {"auto", "backup", "design", "icon", "keywords", "log", "path_var",
                          "script", "security", "template", "work"}) {
    EXPECT_TRUE(FileX_isFolder(prof + "/" + sub)) << sub;
  }
  EXPECT_TRUE(FileX_isFile(prof + "/template/new_default.svg"));
  EXPECT_TRUE(FileX_isFile(prof + "/script/svg-script.txt"));
  EXPECT_FALSE(FileX_exists(prof + "/write_test.bin"));
  EXPECT_FALSE(FileX_exists(prof + "/work/write_test.bin"));
  // -t: no welcome box in the echo file.
  EXPECT_EQ(r.echo.find(testing_support::Sjis(u8"ようこそ")), std::string::npos) << r.echo;
}

TEST(ZerbinBlackBox, UnknownOptionIsReportedAndStartUpGoesOn) {
  testing_support::TempDir dir;
  std::string note = dir.file("a.svg");
  testing_support::WriteFileBytes(note, testing_support::ReadFileBytes(
                                            std::string(ZERBIN_PROGRAM_PATH).substr(
                                                0, std::string(ZERBIN_PROGRAM_PATH).rfind('/')) +
                                            "/system/profile_first/template/new_default.svg"));
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-zz", note});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(r.echo, "-zz オプションはありません。\n");
  EXPECT_TRUE(FileX_isFolder(dir.file("P/work")));  // start-up went on
}

TEST(ZerbinBlackBox, MissingNoteEndsWithMessage) {
  testing_support::TempDir dir;
  std::string note = dir.file("none.svg");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), note});
  EXPECT_NE(r.status, 0);
  EXPECT_EQ(r.echo, note + " を開こうとしましたが見つかりません。\n");
}

TEST(ZerbinBlackBox, MissingNoteInEnglish) {
  testing_support::TempDir dir;
  std::string note = dir.file("none.svg");
  ZerbinRun r = runZerbin(dir, {"-prof=" + dir.file("P"), "-e", note});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.echo, note + " can not open. Zerbin exits.\n");
}

TEST(ZerbinBlackBox, ProfileBelowRegularFileEndsWithStatus5) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.file("plain"), "x");
  std::string prof = dir.file("plain") + "/sub";
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.echo, "プロファイルフォルダに書き込めません。\npath = " + prof +
                        "/write_test.bin\nBrevlo を終了します。\n");
}

TEST(ZerbinBlackBox, WorkFolderBelowRegularFileEndsWithStatus5) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.file("plain"), "x");
  std::string prof = dir.file("P");
  FileX_makeFolders(prof, false);
  ZerbinSettings settings;
  settings.workFolderPath = dir.file("plain") + "/w";
  ASSERT_TRUE(CZerbinApp_writeSettings(prof + "/", settings, dir.file("settings_echo.txt")));
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof});
  EXPECT_EQ(r.status, 5);
  EXPECT_EQ(r.echo, "ワークフォルダに書き込めません。\npath = " + dir.file("plain") +
                        "/w/write_test.bin\nBrevlo を終了します。\n");
}

TEST(ZerbinBlackBox, BatchCommandWritesItsDestinationAndQuits) {
  testing_support::TempDir dir;
  std::string prof = dir.file("P");
  ZerbinRun first = runZerbin(dir, {"-prof=" + prof});
  ASSERT_EQ(first.status, 0);
  std::string note = prof + "/template/new_default.svg";
  ZerbinRun r = runZerbin(dir, {"-prof=" + prof, "-cd", note, dir.file("o.txt")});
  EXPECT_EQ(r.status, 0) << r.echo;
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("o.txt")).rfind("[page 1] ", 0), 0u);
}

// The first start in a fresh profile writes the settings and shows the
// welcome text once; the next start is no first run.  Relative settings
// folders lie in the profile, not in the current folder.
TEST(ZerbinBlackBox, FirstRunWritesSettingsAndWelcomesOnce) {
  testing_support::TempDir dir;
  std::string prof = dir.file("P");
  std::string elsewhere = dir.file("cwd");
  FileX_makeFolders(elsewhere, false);
  const std::string welcome = "ヘルプ - F1 キーを押すと、クイックツアー（ビジュアル・ヘルプ）が表示されます。\n"
                              "（このメッセージは、初めて起動したときだけ表示されます。）\n";
  ZerbinRunOptions loud;
  loud.quiet = false;
  loud.cwd = elsewhere;
  ZerbinRun first = runZerbin(dir, {"-prof=" + prof}, loud);
  EXPECT_EQ(first.status, 0) << first.echo;
  EXPECT_EQ(first.echo, welcome);
  std::string ini = testing_support::ReadFileBytes(prof + "/zerbin.ini");
  EXPECT_EQ(ini.rfind("[main] \r\nApplication = Zerbin\r\nVersion = 300\r\n \r\n[view] \r\nPropBox = 1\r\n", 0), 0u)
      << ini;
  EXPECT_NE(ini.find("\r\nSearchWeb = Google (Web), "), std::string::npos) << ini;

  // A setting in the file survives the next start (read, then written back
  // at shut-down), and a relative work folder is made in the profile.
  ZerbinSettings settings;
  ASSERT_TRUE(CZerbinApp_readSettings(prof + "/", settings, dir.file("settings_echo.txt")));
  settings.workFolderPath = "w2";
  settings.splitX = 321;
  ASSERT_TRUE(CZerbinApp_writeSettings(prof + "/", settings, dir.file("settings_echo.txt")));
  std::remove(dir.file("echo.txt").c_str());
  ZerbinRun second = runZerbin(dir, {"-prof=" + prof}, loud);
  EXPECT_EQ(second.status, 0) << second.echo;
  EXPECT_EQ(second.echo, "");
  EXPECT_TRUE(FileX_isFolder(prof + "/w2"));
  EXPECT_FALSE(FileX_exists(elsewhere + "/w2"));
  ZerbinSettings after;
  ASSERT_TRUE(CZerbinApp_readSettings(prof + "/", after, dir.file("settings_echo.txt")));
  EXPECT_EQ(after.splitX, 321);
  EXPECT_EQ(after.workFolderPath, "w2");
  EXPECT_EQ(testing_support::ReadFileBytes(dir.file("settings_echo.txt")), "");
}

// While the welcome box of a first run is open, another start must not
// wait for the start-up lock.  The echo file is a pipe kept full, so the
// program stops inside the welcome message until the test drains it; at
// that moment the lock "Zerbin_InitialSema" must be free.
TEST(ZerbinBlackBox, WelcomeBoxComesAfterTheStartUpLock) {
  testing_support::TempDir dir;
  std::string echo = dir.file("echo.txt");
  ASSERT_EQ(mkfifo(echo.c_str(), 0600), 0);
  int fd = open(echo.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  std::string block(4096, 'x');
  while (write(fd, block.data(), block.size()) > 0) {
  }
  // The pipe may still take a few bytes: fill it to the last one.
  while (write(fd, block.data(), 1) > 0) {
  }
  std::string prof = dir.file("P");
  std::vector<std::string> all = {ZERBIN_PROGRAM_PATH, "-j", uniqueService(), "-echo=" + echo,
                                  "-prof=" + prof};
  pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZERBIN_QUIT_AFTER_STARTUP", "1", 1);
    std::vector<char*> argv;
    for (std::string& w : all) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  // Wait until the program holds the echo file open: it is then stuck in
  // writing the welcome text.
  auto holdsEcho = [&] {
    // Only after the exec: until then the child still has the test's end.
    char exe[4096];
    ssize_t n = readlink(("/proc/" + std::to_string(pid) + "/exe").c_str(), exe, sizeof exe - 1);
    if (n <= 0 || std::string(exe, static_cast<size_t>(n)) != std::string(ZERBIN_PROGRAM_PATH))
      return false;
    std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    bool found = false;
    if (DIR* d = opendir(fds.c_str())) {
      while (dirent* e = readdir(d)) {
        char target[4096];
        ssize_t len = readlink((fds + "/" + e->d_name).c_str(), target, sizeof target - 1);
        if (len > 0 && std::string(target, static_cast<size_t>(len)) == echo) found = true;
      }
      closedir(d);
    }
    return found;
  };
  bool stuck = false;
  for (int i = 0; i < 600 && !stuck; ++i) {
    stuck = holdsEcho();
    if (!stuck) usleep(50000);
  }
  EXPECT_TRUE(stuck);
  bool lockFree = false;
  if (stuck) {
    NamedLock initial("Zerbin_InitialSema");
    // Other tests may start the program at the same time and hold the lock
    // for a moment; a start stuck in the welcome text would hold it for good.
    lockFree = initial.lock(15000);
    if (lockFree) initial.unlock();
  }
  EXPECT_TRUE(lockFree);
  // Drain the pipe so that the program goes on, and collect its text.
  std::string text;
  char buf[4096];
  int st = 0;
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      text.append(buf, static_cast<size_t>(n));
      continue;
    }
    if (waitpid(pid, &st, WNOHANG) == pid) break;
    usleep(20000);
  }
  while (read(fd, buf, sizeof buf) > 0) {
  }
  close(fd);
  EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0);
  EXPECT_NE(text.find(testing_support::Sjis(u8"クイックツアー")), std::string::npos) << text.size();
}

// The developer trace goes to the log folder of the profile, never to the
// desktop, and is deleted at shut-down unless the settings keep it.  A copy
// of the program with its own profile beside it starts with an empty
// command line and runs `DefaultCommand`, whose note path is no
// well-formed text: the file helpers note it in the trace.
TEST(ZerbinBlackBox, DeveloperTraceLivesInTheLogFolder) {
  testing_support::TempDir dir;
  std::string program = ZERBIN_PROGRAM_PATH;
  std::string bin = dir.file("bin");
  FileX_makeFolders(bin, false);
  std::string exe = bin + "/zerbin";
  if (link(program.c_str(), exe.c_str()) != 0) {
    testing_support::WriteFileBytes(exe, testing_support::ReadFileBytes(program));
    ASSERT_EQ(chmod(exe.c_str(), 0755), 0);
  }
  ASSERT_EQ(symlink((program.substr(0, program.rfind('/')) + "/system").c_str(),
                    (bin + "/system").c_str()),
            0);
  std::string home = dir.file("home");
  FileX_makeFolders(home + "/Desktop", false);
  ZerbinRunOptions opts;
  opts.env = {{"HOME", home}, {"XDG_DATA_HOME", home + "/.local/share"}};
  opts.program = exe;
  opts.bare = true;
  std::string prof = bin + "/profile/";
  std::string trace = prof + "log/DebugOut.txt";
  for (bool keep : {true, false}) {
    ZerbinSettings settings;
    settings.defaultCommand = "-t -j " + uniqueService() + " -echo=" + dir.file("echo.txt") + " " +
                              dir.file("n\x81.svg");
    settings.keepDebugOut = keep;
    FileX_makeFolders(prof, false);
    ASSERT_TRUE(CZerbinApp_writeSettings(prof, settings, dir.file("settings_echo.txt")));
    ASSERT_EQ(testing_support::ReadFileBytes(dir.file("settings_echo.txt")), "");
    std::remove(dir.file("echo.txt").c_str());
    ZerbinRun r = runZerbin(dir, {}, opts);
    EXPECT_EQ(r.status, 1) << r.echo;
    if (keep) {
      std::string text = testing_support::ReadFileBytes(trace);
      EXPECT_NE(text.find("Error in the path. path=\"" + dir.file("n\x81.svg") + "\""),
                std::string::npos)
          << text;
    } else {
      EXPECT_FALSE(FileX_exists(trace));
    }
    EXPECT_FALSE(FileX_exists(home + "/Desktop/DebugOut.txt"));
  }
}

}  // namespace
