// Two real processes of the program and one service name: the first serves,
// later starts hand their command lines over.  The test process also talks
// to the server itself, politely and not.
#include <signal.h>
#include <sys/prctl.h>
#include <linux/securebits.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "app/instance/instance_channel.h"
#include "core/filex/filex.h"
#include "core/strx/codepage.h"
#include "support/test_support.h"
#include "zerbin_run.h"

namespace {

using Clock = std::chrono::steady_clock;
using testing_support::ReadFileBytes;
using testing_support::Sjis;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// A short runtime folder of its own (socket paths are short), set as
// XDG_RUNTIME_DIR of this process and of the programs it starts.
class Runtime {
 public:
  Runtime() : old_(std::getenv("XDG_RUNTIME_DIR") ? std::getenv("XDG_RUNTIME_DIR") : "") {
    char t[] = "/tmp/zsvcXXXXXX";
    dir_ = mkdtemp(t);
    setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  }
  ~Runtime() {
    old_.empty() ? unsetenv("XDG_RUNTIME_DIR") : setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  std::string socket(const std::string& service) const { return dir_ + "/zerbin/" + service + ".sock"; }

 private:
  std::string old_, dir_;
};

// One polite call of the test process; its answer lines, or the result code.
int call(const std::string& service, std::u16string_view text, std::vector<std::u16string>* answer = nullptr,
         int timeoutMs = 10000) {
  std::vector<std::u16string> lines;
  bool connected = false;
  const int r = GUIService_call(service, text, lines, connected, timeoutMs);
  if (answer) *answer = lines;
  return r;
}

// The first process: runs until it ends or the test kills it.
class Server {
 public:
  Server(const TempDir& dir, const std::string& service, std::vector<std::string> words,
         const std::string& echo) {
    words.insert(words.begin(), {ZERBIN_PROGRAM_PATH, "-t", "-j", "-service_name=" + service, "-echo=" + echo});
    std::string err = dir.file("server_stderr.txt");
    pid_ = fork();
    if (pid_ == 0) {
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("ZERBIN_NONINTERACTIVE", "1", 1);
      unsetenv("ZERBIN_QUIT_AFTER_STARTUP");
      if (!freopen(err.c_str(), "w", stderr)) _exit(125);
      std::vector<char*> argv;
      for (std::string& w : words) argv.push_back(w.data());
      argv.push_back(nullptr);
      execv(argv[0], argv.data());
      _exit(127);
    }
  }
  ~Server() {  // a hard end: the socket stays behind
    if (pid_ > 0 && status_ < 0) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }
  // Waits until the server answers on its socket.
  bool ready(const std::string& service) {
    auto end = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < end) {
      if (call(service, u"Call\n-load\n/\n", nullptr, 5000) == 0) return true;
      if (ended(0)) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }
  // Whether the process ended within `ms`; its exit status goes to status().
  bool ended(int ms) {
    if (status_ >= 0) return true;
    auto end = Clock::now() + std::chrono::milliseconds(ms);
    do {
      int st = 0;
      if (waitpid(pid_, &st, WNOHANG) == pid_) {
        status_ = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (Clock::now() < end);
    return false;
  }
  int status() const { return status_; }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
};

// A second start with the same service name (it ends after handing over).
ZerbinRun secondStart(const TempDir& dir, const std::string& service,
                      std::vector<std::string> words, const std::string& echo) {
  words.insert(words.begin(), {"-t", "-j", "-service_name=" + service, "-echo=" + echo});
  ZerbinRunOptions o;
  o.bare = true;
  return runZerbin(dir, words, o);
}

std::string ascii(const std::u16string& s) { return Cp932_fromUtf16(s); }

int connectTo(const std::string& path) {
  int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un a{AF_UNIX, {}};
  std::strncpy(a.sun_path, path.c_str(), sizeof a.sun_path - 1);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) return fd;
  close(fd);
  return -1;
}

void sendBytes(int fd, const std::string& bytes) {
  ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
}

// Whether the server closed the connection within `ms` (reading what it
// sent until the end).
bool closedByServer(int fd, int ms) {
  auto end = Clock::now() + std::chrono::milliseconds(ms);
  char buf[256];
  while (Clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    ssize_t n = recv(fd, buf, sizeof buf, 0);
    if (n <= 0) return true;
  }
  return false;
}

std::string u32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>(v >> (8 * i)));
  return s;
}

// A polite call answers within two seconds.
void expectServes(const std::string& service, Server& server) {
  auto t0 = Clock::now();
  std::vector<std::u16string> answer;
  ASSERT_EQ(call(service, u"Call\n-load\n/\n", &answer), 0);
  EXPECT_LT(Clock::now() - t0, std::chrono::seconds(2));
  ASSERT_EQ(answer.size(), 2u);
  char pid[16];
  std::snprintf(pid, sizeof pid, "0x%08X", static_cast<unsigned>(server.pid()));
  EXPECT_EQ(ascii(answer[1]), pid);
  EXPECT_FALSE(server.ended(0));
}

TEST(InstanceBlackBox, SecondStartOpensItsNoteInTheFirstProcess) {
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_open";
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  WriteFileBytes(dir.file("b.svg"), TemplateNote());
  Server server(dir, service, {prof}, dir.file("echo1.txt"));
  ASSERT_TRUE(server.ready(service));

  // The second start hands "a.svg" over and ends at once with status 0.
  auto t0 = Clock::now();
  ZerbinRun r = secondStart(dir, service, {prof, dir.file("a.svg")}, dir.file("echo2.txt"));
  const auto took = Clock::now() - t0;
  EXPECT_EQ(r.status, 0) << r.echo << r.err;
  EXPECT_LT(took, std::chrono::seconds(5));
  EXPECT_EQ(r.echo, "");
  // The first process opened it: its recent list names the note.
  EXPECT_NE(ReadFileBytes(dir.file("P/recent.ini")).find(dir.file("a.svg")), std::string::npos);
  EXPECT_FALSE(server.ended(0));

  // The answer: the new window's id and the server's process id.
  std::vector<std::u16string> answer;
  ASSERT_EQ(call(service, u"Call\n-t b.svg\n" + Utf8_toUtf16(dir.path()) + u"\n", &answer), 0);
  ASSERT_EQ(answer.size(), 2u);
  unsigned window = 0, pid = 0;
  EXPECT_EQ(std::sscanf(ascii(answer[0]).c_str(), "0x%08X", &window), 1);
  EXPECT_EQ(std::sscanf(ascii(answer[1]).c_str(), "0x%08X", &pid), 1);
  EXPECT_NE(window, 0u);
  EXPECT_EQ(pid, static_cast<unsigned>(server.pid()));
  EXPECT_NE(ReadFileBytes(dir.file("P/recent.ini")).find(dir.file("b.svg")), std::string::npos);

  // A name that code page 932 cannot hold never opens another file: the
  // decoy "caf?.svg" stays unopened.
  WriteFileBytes(dir.file("caf\xC3\xA9.svg"), TemplateNote());
  WriteFileBytes(dir.file("caf?.svg"), TemplateNote());
  const std::u16string lossy = u"Call\n" + Utf8_toUtf16("-t -echo=" + dir.file("echo4.txt") + " " +
                                                        dir.file("caf\xC3\xA9.svg")) +
                               u"\n" + Utf8_toUtf16(dir.path()) + u"\n";
  ASSERT_EQ(call(service, lossy, &answer), 0);
  ASSERT_EQ(answer.size(), 2u);
  EXPECT_EQ(ascii(answer[0]), "0x00000000");
  EXPECT_EQ(ReadFileBytes(dir.file("P/recent.ini")).find("caf?"), std::string::npos);
  EXPECT_NE(ReadFileBytes(dir.file("echo4.txt")), "");

  // A missing note: no window, and the message goes to the caller's echo file.
  r = secondStart(dir, service, {prof, dir.file("none.svg")}, dir.file("echo3.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFileBytes(dir.file("echo3.txt")),
            Sjis(u8"ファイルが見つかりません。\r\n") + dir.file("none.svg") + "\r\n");
  EXPECT_FALSE(server.ended(0));

  // "Exit" ends the server; its socket goes with it.
  ASSERT_EQ(call(service, u"Exit\n"), 0);
  EXPECT_TRUE(server.ended(10000));
  EXPECT_EQ(server.status(), 0);
  struct stat st{};
  EXPECT_NE(lstat(rt.socket(service).c_str(), &st), 0);
}

TEST(InstanceBlackBox, HandedOverConversionsTakeTheOptionsOfTheirCall) {
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_conv";
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  Server server(dir, service, {prof}, dir.file("echo1.txt"));
  ASSERT_TRUE(server.ready(service));

  // Each format under the name and size its own call asks for.
  struct Case {
    std::vector<std::string> words;
    const char* written;
    std::string head;  // the first bytes of the file
  };
  const Case cases[] = {
      {{"-cp", "a.svg", "o1.png"}, "o1.png", "\x89PNG"},
      {{"-cj", "a.svg", "o2.jpg"}, "o2.jpg", "\xFF\xD8"},
      {{"-max_size=330x250", "-cp", "a.svg", "o3.png"}, "o3.png", "\x89PNG"},
      {{"-cd", "a.svg"}, "a.txt", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.written);
    std::vector<std::string> words = {prof};
    for (const std::string& w : c.words) words.push_back(w.find('.') != std::string::npos ? dir.file(w) : w);
    ZerbinRun r = secondStart(dir, service, words, dir.file("echo2.txt"));
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string bytes = ReadFileBytes(dir.file(c.written));
    ASSERT_FALSE(bytes.empty());
    EXPECT_EQ(bytes.substr(0, c.head.size()), c.head);
  }
  EXPECT_FALSE(FileX_exists(dir.file("o1.jpg")));
  // The image limited by the call's "-max_size=", as a conversion of its
  // own process makes it (not the whole 660 x 500 page).
  ZerbinRun own = runZerbin(dir, {prof + "own", "-max_size=330x250", "-cp", dir.file("a.svg"),
                                  dir.file("o4.png")});
  EXPECT_EQ(own.status, 0) << own.echo;
  const std::string png = ReadFileBytes(dir.file("o3.png"));
  ASSERT_GE(png.size(), 24u);
  EXPECT_EQ(png.substr(16, 8), ReadFileBytes(dir.file("o4.png")).substr(16, 8));
  EXPECT_NE(png.substr(16, 8), std::string("\0\0\x02\x94\0\0\x01\xF4", 8));
  EXPECT_EQ(ReadFileBytes(dir.file("echo2.txt")), "");

  // A call whose conversion fails leaves the server serving.
  ZerbinRun r = secondStart(dir, service, {prof, "-cd", dir.file("a.svg"), dir.file("a.svg")},
                            dir.file("echo3.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFileBytes(dir.file("a.svg")), TemplateNote());
  EXPECT_EQ(ReadFileBytes(dir.file("echo3.txt")),
            dir.file("a.svg") + Sjis(u8": 変換の出力で元のノートを上書きすることはできません。\r\n"));
  // A conversion without its note: the note that cannot be found.
  r = secondStart(dir, service, {prof, "-links"}, dir.file("echo4.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(ReadFileBytes(dir.file("echo4.txt")), Sjis(u8"ファイルが見つかりません。\r\n\r\n"));
  ASSERT_EQ(call(service, u"Exit\n"), 0);
  EXPECT_TRUE(server.ended(10000));
  EXPECT_EQ(server.status(), 0);
}

TEST(InstanceBlackBox, UnloadEndsTheFirstAndUnloadIfOnlyWithoutWindows) {
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_unload";
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  {
    Server server(dir, service, {prof, dir.file("a.svg")}, dir.file("echo1.txt"));
    ASSERT_TRUE(server.ready(service));
    // A window is open: "-unload_if" leaves the first process running.
    ZerbinRun r = secondStart(dir, service, {prof, "-unload_if"}, dir.file("echo2.txt"));
    EXPECT_EQ(r.status, 0) << r.echo;
    EXPECT_FALSE(server.ended(1500));
    // "-unload" ends it.
    r = secondStart(dir, service, {prof, "-unload"}, dir.file("echo3.txt"));
    EXPECT_EQ(r.status, 0) << r.echo;
    EXPECT_TRUE(server.ended(10000));
    EXPECT_EQ(server.status(), 0);
  }
  {
    // "-g" hides the first window: without windows "-unload_if" ends it.
    Server server(dir, service, {prof, "-g", dir.file("a.svg")}, dir.file("echo4.txt"));
    ASSERT_TRUE(server.ready(service));
    ZerbinRun r = secondStart(dir, service, {prof, "-unload_if"}, dir.file("echo5.txt"));
    EXPECT_EQ(r.status, 0) << r.echo;
    EXPECT_TRUE(server.ended(10000));
    EXPECT_EQ(server.status(), 0);
  }
  // Nobody serves: "-unload" alone just ends.
  ZerbinRun r = secondStart(dir, service, {prof, "-unload"}, dir.file("echo6.txt"));
  EXPECT_EQ(r.status, 0);
}

TEST(InstanceBlackBox, HostileMessagesNeitherCrashNorBlockTheServer) {
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_hostile";
  Server server(dir, service, {"-prof=" + dir.file("P")}, dir.file("echo1.txt"));
  ASSERT_TRUE(server.ready(service));
  const std::string path = rt.socket(service);
  const std::string hello =
      GUIService_record(GUIService_Kind_CallerCreating, 0,
                        GUIService_textBody(u"CallerCreating\nGUIServiceCall_x\n"));

  // Each of these is closed by the server without an answer to act on.
  const std::vector<std::string> bad = {
      // A 1 GiB length field.
      u32(GUIService_Kind_Text) + u32(1) + u32(1u << 30) + "xxxx",
      // A length shorter than its own field.
      u32(GUIService_Kind_Text) + u32(1) + u32(2) + "xx",
      // No record at all.
      std::string("GET / HTTP/1.0\r\n\r\n") + std::string(3000, '\xFF'),
      // The server's own kind.
      u32(GUIService_Kind_StopReader) + u32(0),
      // A request before registering.
      GUIService_record(GUIService_Kind_Text, 7, GUIService_textBody(u"Exit\n")),
      // Registered, then a request under another caller's number.
      hello + GUIService_record(GUIService_Kind_Text, 99, GUIService_textBody(u"Exit\n")),
      // An odd number of UTF-16 bytes.
      hello + u32(GUIService_Kind_Text) + u32(1) + u32(4 + 5) + "\xFF\xFE" "abc",
  };
  for (size_t i = 0; i < bad.size(); ++i) {
    SCOPED_TRACE("message " + std::to_string(i));
    int fd = connectTo(path);
    ASSERT_GE(fd, 0);
    sendBytes(fd, bad[i]);
    EXPECT_TRUE(closedByServer(fd, 3000)) << "message " << i;
    close(fd);
    expectServes(service, server);
  }

  // A connection closed in the middle of a record.
  SCOPED_TRACE("closed mid-record");
  int fd = connectTo(path);
  sendBytes(fd, hello.substr(0, hello.size() - 3));
  close(fd);
  expectServes(service, server);

  // A caller that stops in the middle of its record: others are served
  // meanwhile, and the silent one is closed after the idle limit.
  SCOPED_TRACE("stalled");
  int stalled = connectTo(path);
  sendBytes(stalled, hello + u32(GUIService_Kind_Text) + u32(1) + u32(200) + "\xFF\xFE");
  expectServes(service, server);
  EXPECT_TRUE(closedByServer(stalled, 8000));
  close(stalled);

  // Many silent connections held open: the oldest give way to new
  // callers, so a polite caller is served while they stay.
  SCOPED_TRACE("many");
  std::vector<int> many;
  for (int i = 0; i < 100; ++i) many.push_back(connectTo(path));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  expectServes(service, server);
  for (int m : many) close(m);
  expectServes(service, server);

  // Nothing of it reached the handler: no window was opened or ended.
  EXPECT_FALSE(server.ended(0));
  EXPECT_EQ(ReadFileBytes(dir.file("echo1.txt")), "");
}

TEST(InstanceBlackBox, StaleSocketIsTakenOverAndANonSocketIsLeftAlone) {
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_stale";
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  {
    Server dead(dir, service, {prof}, dir.file("echo1.txt"));
    ASSERT_TRUE(dead.ready(service));
  }
  struct stat st{};
  ASSERT_EQ(lstat(rt.socket(service).c_str(), &st), 0);  // left behind
  {
    Server server(dir, service, {prof}, dir.file("echo2.txt"));
    ASSERT_TRUE(server.ready(service));
    EXPECT_EQ(ReadFileBytes(dir.file("echo2.txt")), "");
    ZerbinRun r = secondStart(dir, service, {prof, dir.file("a.svg")}, dir.file("echo3.txt"));
    EXPECT_EQ(r.status, 0);
    EXPECT_FALSE(server.ended(0));
  }

  // A plain file where the socket goes: reported, kept, and the start goes
  // on with its window.
  const std::string other = "BrevloSvc_" + std::to_string(getpid()) + "_plain";
  WriteFileBytes(rt.socket(other), "user data");
  ZerbinRun r = secondStart(dir, other, {prof, dir.file("a.svg")}, dir.file("echo4.txt"));
  EXPECT_EQ(r.status, 0);
  const std::string echo = ReadFileBytes(dir.file("echo4.txt"));
  EXPECT_EQ(echo, Cp932_fromUtf8(rt.socket(other)) +
                      Sjis(u8" はソケットではありません。ほかの起動からの呼び出しは受けられません。\r\n"));
  EXPECT_EQ(ReadFileBytes(rt.socket(other)), "user data");
}

TEST(InstanceBlackBox, APeerOfAnotherUserIsRefused) {
  if (getuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  TempDir dir;
  Runtime rt;
  const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_peer";
  Server server(dir, service, {"-prof=" + dir.file("P")}, dir.file("echo1.txt"));
  ASSERT_TRUE(server.ready(service));
  const std::string path = rt.socket(service);
  int pipeFd[2];
  ASSERT_EQ(pipe(pipeFd), 0);
  pid_t child = fork();
  if (child == 0) {
    // Keep the right to pass the owner-only folder, but be user 65534.
    char result = 'p';
    if (prctl(PR_SET_SECUREBITS, SECBIT_NO_SETUID_FIXUP) == 0 && (result = 'u', setresuid(65534, 65534, 0) == 0)) {
      result = 'n';
      int fd = connectTo(path);
      std::string hello = GUIService_record(GUIService_Kind_CallerCreating, 0,
                                            GUIService_textBody(u"CallerCreating\nx\n"));
      if (fd >= 0) {
        // Closed at once: the record may not even get out.
        const bool sent = send(fd, hello.data(), hello.size(), MSG_NOSIGNAL) > 0;
        result = !sent || closedByServer(fd, 3000) ? 'c' : 'a';
      }
    }
    (void)!write(pipeFd[1], &result, 1);
    _exit(0);
  }
  close(pipeFd[1]);
  char result = 0;
  ASSERT_EQ(read(pipeFd[0], &result, 1), 1);
  waitpid(child, nullptr, 0);
  if (result == 'p' || result == 'u') GTEST_SKIP() << "cannot act as another user here: " << result;
  EXPECT_EQ(result, 'c');  // closed without an answer
  expectServes(service, server);
}

// Every path of the recent list, in file order.
std::vector<std::string> recentPaths(const std::string& recentIni) {
  std::vector<std::string> paths;
  const std::string text = ReadFileBytes(recentIni);
  size_t at = 0;
  while ((at = text.find("path = ", at)) != std::string::npos) {
    at += 7;
    paths.push_back(text.substr(at, text.find(',', at) - at));
  }
  return paths;
}

}  // namespace

TEST(InstanceBlackBox, RecentListAndSettingsSurviveTwoProcessesSavingAtOnce) {
  TempDir dir;
  Runtime rt;
  const std::string prof = "-prof=" + dir.file("P");
  const std::string s1 = "BrevloSvc_" + std::to_string(getpid()) + "_one";
  const std::string s2 = "BrevloSvc_" + std::to_string(getpid()) + "_two";
  WriteFileBytes(dir.file("first.svg"), TemplateNote());
  for (int round = 0; round < 3; ++round) {
    // Two servers on one profile.
    Server one(dir, s1, {prof, dir.file("first.svg")}, dir.file("echo1.txt"));
    Server two(dir, s2, {prof, dir.file("first.svg")}, dir.file("echo2.txt"));
    ASSERT_TRUE(one.ready(s1));
    ASSERT_TRUE(two.ready(s2));
    const std::string settings = ReadFileBytes(dir.file("P/zerbin.ini"));
    ASSERT_NE(settings.find("[main]"), std::string::npos);

    for (int batch = 0; batch < 4; ++batch) {
      // Each process opens four new notes while the other does the same:
      // each open puts its note in front of the shared list.
      std::vector<std::string> expected;
      auto name = [&](char who, int i) {
        return dir.file(std::string(1, who) + std::to_string(round * 10 + batch) + "_" + std::to_string(i) + ".svg");
      };
      for (char who : {'a', 'b'}) {
        for (int i = 0; i < 4; ++i) {
          WriteFileBytes(name(who, i), TemplateNote());
          expected.push_back(name(who, i));
        }
      }
      auto opener = [&](const std::string& service, char who) {
        for (int i = 0; i < 4; ++i)
          EXPECT_EQ(call(service, u"Call\n" + Utf8_toUtf16("-t " + name(who, i)) + u"\n/\n", nullptr, 20000), 0);
      };
      std::thread ta(opener, s1, 'a');
      std::thread tb(opener, s2, 'b');
      ta.join();
      tb.join();
      // No entry of either process was lost: the list holds exactly the
      // eight notes of this batch.
      std::vector<std::string> paths = recentPaths(dir.file("P/recent.ini"));
      std::sort(paths.begin(), paths.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(paths, expected) << "round " << round << " batch " << batch;
    }

    // Both end at once, and both write the settings as they go.
    std::thread ea([&] { call(s1, u"Exit\n"); });
    std::thread eb([&] { call(s2, u"Exit\n"); });
    ea.join();
    eb.join();
    ASSERT_TRUE(one.ended(20000));
    ASSERT_TRUE(two.ended(20000));
    EXPECT_EQ(one.status(), 0);
    EXPECT_EQ(two.status(), 0);
    EXPECT_EQ(ReadFileBytes(dir.file("P/zerbin.ini")), settings);
    EXPECT_FALSE(FileX_exists(dir.file("P/zerbin.ini_")));
    EXPECT_FALSE(FileX_exists(dir.file("P/recent.ini_")));
  }
}

TEST(InstanceBlackBox, TermAndHangUpEndTheFirstProcessAsASessionEndDoes) {
  TempDir dir;
  Runtime rt;
  const std::string prof = "-prof=" + dir.file("P");
  WriteFileBytes(dir.file("a.svg"), TemplateNote());
  for (int sig : {SIGTERM, SIGHUP}) {
    const std::string service = "BrevloSvc_" + std::to_string(getpid()) + "_sig" + std::to_string(sig);
    Server server(dir, service, {prof, dir.file("a.svg")}, dir.file("echo.txt"));
    ASSERT_TRUE(server.ready(service));
    ASSERT_EQ(0, kill(server.pid(), sig));
    ASSERT_TRUE(server.ended(20000)) << sig;
    EXPECT_EQ(0, server.status()) << sig;
    // The socket goes with the process; the next start serves again.
    struct stat st{};
    EXPECT_NE(0, lstat(rt.socket(service).c_str(), &st)) << sig;
  }
}
