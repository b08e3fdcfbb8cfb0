#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "app/settings/settings.h"
#include "core/filex/text_file.h"
#include "core/inifile/ini_line_scanner.h"
#include "support/test_support.h"

extern char** environ;

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

ZerbinSettings everyFieldChanged() {
  ZerbinSettings s;
  s.windowColor = true;
  s.imgFolderPath = "/home/u/画像/ソ";
  s.workFolderPath = "w2";
  s.keywordsFolderPath = "/k, \"q\"";
  s.lowerPath = true;
  s.gridOn = true;
  s.gridDisp = true;
  s.backupInterval = -3;
  s.singleClick = false;
  s.ctrlRet = false;
  s.splitX = 333;
  s.defaultImageType = 2;
  s.vbaVer = 2007;
  s.allSearchDBPath = "/db/表.db";
  s.noInkForDebug = true;
  s.keepDebugOut = true;
  s.defaultCommand = "-e -echo=/t/e.txt /t/missing.svg";
  s.searchOpen = "xdg-open";
  s.searchOpenShow = 3;
  s.resident = false;
  s.partsAlwaysShow = true;
  s.multiSaveRoot = "/mirror";
  s.prevCaptureMode = 4;
  s.prevCaptureRect[0] = -5;
  s.prevCaptureRect[1] = 6;
  s.prevCaptureRect[2] = 700;
  s.prevCaptureRect[3] = 800;
  s.nextCaptureWindowTime = 1714979289;
  s.tooBigCapture = 1;
  s.searchWeb = {{"能 (Web)", "https://example.org/?q=?p8&x=1,2"}, {"b", "?ps"}};
  return s;
}

std::string profileOf(const TempDir& dir) { return dir.path() + "/"; }

// The view-section line of `key` in a written file ("" when absent).
std::string lineOf(const std::string& text, const std::string& key) {
  size_t at = text.find("\r\n" + key + " = ");
  if (at == std::string::npos) return "";
  size_t end = text.find("\r\n", at + 2);
  return text.substr(at + 2, end - at - 2);
}

}  // namespace

TEST(Settings, EveryKeyRoundTrips) {
  TempDir dir;
  ZerbinSettings s = everyFieldChanged();
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, dir.file("echo.txt")));
  ZerbinSettings back;
  EXPECT_TRUE(CZerbinApp_readSettings(profileOf(dir), back, dir.file("echo.txt")));
  EXPECT_TRUE(back == s);
  EXPECT_EQ(s.searchWeb[0].url, back.searchWeb[0].url);
  EXPECT_EQ(s.keywordsFolderPath, back.keywordsFolderPath);
  EXPECT_EQ("", ReadFileBytes(dir.file("echo.txt")));
  EXPECT_EQ("", ReadFileBytes(dir.file("zerbin.ini_")));
}

TEST(Settings, DefaultFileText) {
  TempDir dir;
  ZerbinSettings s;
  s.searchWeb = Settings_defaultSearchWeb();
  s.nextCaptureWindowTime = 1714979289;
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, ""));
  std::string expected =
      "[main] \nApplication = Zerbin\nVersion = 300\n \n[view] \nPropBox = 1\nWindowColor = 0\n"
      "ImgFolderPath = \nLowerPath = 0\nGridOn = 0\nGridDisp = 0\nBackupInterval = 1\n"
      "SingleClick = 1\nCtrlRet = 1\nSplitX = 120\nDefaultImageType = 1\nVBAVer = 2000\n"
      "AllSearchDBPath = \nSearchOpen = \nSearchOpen_Show = 1\nResident = 1\n"
      "PartsAlwaysShow = 0\nMultiSaveRoot = \nPrevCaptureMode = 0\n"
      "PrevCaptureRect = 0, 0, 100, 100\nNextCaptureWindowTime = " +
      IniFile_timeText(1714979289) +
      "\nTooBigCapture = 0\n"
      "SearchWeb = Google (Web), https://www.google.com/search?q=?p8\n"
      "SearchWeb = Wikipedia (Web), https://ja.wikipedia.org/w/index.php?search=?p8\n"
      "SearchWeb = amazon (Web), https://www.amazon.co.jp/s?k=?p8\n"
      "SearchWeb = MSDN (Web), https://learn.microsoft.com/ja-jp/search/?terms=?p8\n"
      "SearchWeb = BIGLOBE 辞書 (Web), https://search.biglobe.ne.jp/dic/search?q=?ps\n"
      "SearchWeb = BIGLOBE (Web), https://search.biglobe.ne.jp/web?q=?p8\n \n";
  EXPECT_EQ(TextFile_toDisk(expected), ReadFileBytes(dir.file("zerbin.ini")));

  // The folder of the program is written as an empty image folder, with or
  // without its final separator; the program file itself is no folder.
  std::string program = Errors_selfProgramPath();
  std::string folder = program.substr(0, program.rfind('/'));
  for (const std::string& img : {folder, folder + "/", folder + "/./"}) {
    s.imgFolderPath = img;
    ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, ""));
    EXPECT_EQ("ImgFolderPath = ", lineOf(ReadFileBytes(dir.file("zerbin.ini")), "ImgFolderPath")) << img;
  }
  s.imgFolderPath = program;
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, ""));
  EXPECT_EQ("ImgFolderPath = " + program, lineOf(ReadFileBytes(dir.file("zerbin.ini")), "ImgFolderPath"));
}

// A text longer than its field is reported and never used cut, neither when
// it is read nor when it is written; the other keys are kept.
TEST(Settings, TooLongTextsAreReportedNotCut) {
  TempDir dir;
  std::string longPath = "/" + std::string(600, 'w');
  std::string longCommand = "-e " + std::string(300, 'c');
  WriteFileBytes(dir.file("zerbin.ini"), "[view] \r\nWorkFolderPath = " + longPath +
                                             "\r\nDefaultCommand = " + longCommand +
                                             "\r\nMultiSaveRoot = /" + std::string(255, 'm') +
                                             "\r\nSplitX = 200\r\nSearchOpen = " + std::string(259, 's') + "\r\n");
  ZerbinSettings s;
  ASSERT_TRUE(CZerbinApp_readSettings(profileOf(dir), s, dir.file("echo.txt")));
  EXPECT_EQ("", s.workFolderPath);
  EXPECT_EQ("", s.defaultCommand);
  EXPECT_EQ("", s.multiSaveRoot);
  EXPECT_EQ(std::string(259, 's'), s.searchOpen);  // exactly fits its 260 bytes
  EXPECT_EQ(200, s.splitX);
  std::string echo = ReadFileBytes(dir.file("echo.txt"));
  EXPECT_NE(std::string::npos, echo.find("(WorkFolderPath)")) << echo;
  EXPECT_NE(std::string::npos, echo.find("(DefaultCommand)")) << echo;
  EXPECT_NE(std::string::npos, echo.find("(MultiSaveRoot)")) << echo;
  EXPECT_EQ(std::string::npos, echo.find("(SearchOpen)")) << echo;

  s.workFolderPath = longPath;
  s.multiSaveRoot = "/mirror";
  s.defaultCommand = longCommand;
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, dir.file("echo2.txt")));
  std::string text = ReadFileBytes(dir.file("zerbin.ini"));
  EXPECT_EQ("", lineOf(text, "WorkFolderPath"));
  EXPECT_EQ("", lineOf(text, "DefaultCommand"));
  EXPECT_EQ("MultiSaveRoot = /mirror", lineOf(text, "MultiSaveRoot"));
  echo = ReadFileBytes(dir.file("echo2.txt"));
  EXPECT_NE(std::string::npos, echo.find("WorkFolderPath")) << echo;
  EXPECT_NE(std::string::npos, echo.find("DefaultCommand")) << echo;
  ZerbinSettings back;
  ASSERT_TRUE(CZerbinApp_readSettings(profileOf(dir), back, dir.file("echo3.txt")));
  EXPECT_EQ("", ReadFileBytes(dir.file("echo3.txt")));
  EXPECT_EQ("/mirror", back.multiSaveRoot);
}

// One damaged line (a quote never closed) hides only itself, and a
// rewrite keeps the mode of the file.
TEST(Settings, UnclosedQuoteHidesOnlyItsLineAndModeIsKept) {
  TempDir dir;
  WriteFileBytes(dir.file("zerbin.ini"),
                 "[view] \r\nAllSearchDBPath = \"/db\r\nGridOn = 1\r\nSplitX = 250\r\n"
                 "SearchWeb = \"a,b\", \"u\"\r\nResident = 0\r\n");
  ZerbinSettings s;
  ASSERT_TRUE(CZerbinApp_readSettings(profileOf(dir), s, dir.file("echo.txt")));
  EXPECT_TRUE(s.gridOn);
  EXPECT_EQ(250, s.splitX);
  ASSERT_EQ(1u, s.searchWeb.size());
  EXPECT_EQ("a,b", s.searchWeb[0].name);
  EXPECT_EQ("u", s.searchWeb[0].url);
  EXPECT_FALSE(s.resident);

  ASSERT_EQ(0, ::chmod(dir.file("zerbin.ini").c_str(), 0600));
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, dir.file("echo.txt")));
  struct stat st{};
  ASSERT_EQ(0, ::stat(dir.file("zerbin.ini").c_str(), &st));
  EXPECT_EQ(0600u, st.st_mode & 07777);
}

TEST(Settings, MissingFileAndNoSearchWebGiveDefaults) {
  TempDir dir;
  ZerbinSettings s = everyFieldChanged();
  std::time_t before = std::time(nullptr);
  EXPECT_FALSE(CZerbinApp_readSettings(profileOf(dir), s, ""));
  ZerbinSettings d;
  d.searchWeb = Settings_defaultSearchWeb();
  d.nextCaptureWindowTime = s.nextCaptureWindowTime;
  EXPECT_TRUE(s == d);
  EXPECT_GE(s.nextCaptureWindowTime, before);

  WriteFileBytes(dir.file("zerbin.ini"), "[view] \r\nSplitX = 200\r\n");
  ASSERT_TRUE(CZerbinApp_readSettings(profileOf(dir), s, ""));
  EXPECT_EQ(200, s.splitX);
  ASSERT_EQ(6u, s.searchWeb.size());
  const char* names[] = {"Google (Web)", "Wikipedia (Web)", "amazon (Web)",
                         "MSDN (Web)", "BIGLOBE 辞書 (Web)", "BIGLOBE (Web)"};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(names[i], s.searchWeb[i].name);
    EXPECT_TRUE(s.searchWeb[i].url.find("?p8") != std::string::npos ||
                s.searchWeb[i].url.find("?ps") != std::string::npos);
  }
  ASSERT_TRUE(CZerbinApp_writeSettings(profileOf(dir), s, ""));
  std::string text = ReadFileBytes(dir.file("zerbin.ini"));
  size_t n = 0;
  for (size_t at = text.find("\nSearchWeb = "); at != std::string::npos;
       at = text.find("\nSearchWeb = ", at + 1))
    ++n;
  EXPECT_EQ(6u, n);
}

TEST(Settings, EdgeValuesOfTheKeys) {
  TempDir dir;
  auto read = [&](const std::string& body) {
    WriteFileBytes(dir.file("zerbin.ini"), "[main] \r\n \r\n[view] \r\n" + body);
    ZerbinSettings s;
    CZerbinApp_readSettings(profileOf(dir), s, dir.file("echo.txt"));
    return s;
  };
  EXPECT_EQ(120, read("SplitX = 0\r\n").splitX);
  EXPECT_EQ(2000, read("VBAVer = 2003\r\n").vbaVer);
  EXPECT_EQ(2007, read("VBAVer = 2007\r\n").vbaVer);
  EXPECT_TRUE(read("GridDisp = 1\r\n").gridDisp);
  EXPECT_FALSE(read("GridDisp = 2\r\n").gridDisp);
  EXPECT_EQ(7, read("backupinterval = 7\n").backupInterval);  // lower case, LF ends
  EXPECT_EQ("-e x.svg", read("  defaultcommand\t= -e x.svg\r\n").defaultCommand);
  EXPECT_EQ(1, read("BackupInterval = \r\n").backupInterval);  // "+i" keeps the default
  EXPECT_EQ(0, read("PrevCaptureMode = \r\n").prevCaptureMode);
  // SearchOpen_Show is not taken for SearchOpen, and unknown keys are skipped.
  ZerbinSettings s = read("Unknown = 1\r\nSearchOpen_Show = 5\r\nSearchOpen = ed\r\n");
  EXPECT_EQ(5, s.searchOpenShow);
  EXPECT_EQ("ed", s.searchOpen);
  // The writer's older time text is read too.
  std::time_t when = 1714979289;
  std::tm tm{};
  localtime_r(&when, &tm);
  char old[32];
  std::strftime(old, sizeof old, "%Y/%m/%d-%H:%M:%S", &tm);
  EXPECT_EQ(when, read("NextCaptureWindowTime = " + std::string(old) + "\r\n").nextCaptureWindowTime);
  EXPECT_EQ(when, read("NextCaptureWindowTime = " + IniFile_timeText(when) + "\r\n").nextCaptureWindowTime);
  // 21 lines: 19 entries, the error entry, and nothing more.
  std::string lines;
  for (int i = 0; i < 21; ++i) lines += "SearchWeb = n" + std::to_string(i) + ", u\r\n";
  s = read(lines);
  ASSERT_EQ(20u, s.searchWeb.size());
  EXPECT_EQ("n18", s.searchWeb[18].name);
  EXPECT_EQ("（エラー：SearchWeb 属性はこれ以上追加できません）", s.searchWeb[19].name);
  EXPECT_EQ("", s.searchWeb[19].url);
  EXPECT_EQ("", ReadFileBytes(dir.file("echo.txt")));
}

TEST(Settings, DamagedFileKeepsWhatCanBeRead) {
  TempDir dir;
  WriteFileBytes(dir.file("zerbin.ini"),
                 "[view] \r\nSplitX = abc\r\n\x83\x5c\xff garbage\r\nGridOn = 1\r\n"
                 "NextCaptureWindowTime = yesterday\r\nPrevCaptureRect = 1, 2, x\r\n"
                 "SearchWeb = \"unterminated, u");
  ZerbinSettings s;
  ASSERT_TRUE(CZerbinApp_readSettings(profileOf(dir), s, dir.file("echo.txt")));
  EXPECT_EQ(120, s.splitX);
  EXPECT_TRUE(s.gridOn);
  EXPECT_EQ(100, s.prevCaptureRect[2]);
  ASSERT_EQ(1u, s.searchWeb.size());
  EXPECT_EQ("unterminated, u", s.searchWeb[0].name);
  std::string echo = ReadFileBytes(dir.file("echo.txt"));
  EXPECT_NE(std::string::npos, echo.find("(SplitX)")) << echo;
  EXPECT_NE(std::string::npos, echo.find("(NextCaptureWindowTime)"));
  EXPECT_NE(std::string::npos, echo.find("(PrevCaptureRect)"));

  // A folder that cannot be written is reported, not raised.
  EXPECT_FALSE(CZerbinApp_writeSettings(dir.file("none/"), s, dir.file("echo2.txt")));
  EXPECT_NE("", ReadFileBytes(dir.file("echo2.txt")));
}

// The child of Settings.TwoProcessesLoseNothing (started with the variable
// ZERBIN_SETTINGS_CHILD="<profile>|<tag>").
TEST(SettingsChild, WritesWhileAnotherProcessDoes) {
  const char* arg = std::getenv("ZERBIN_SETTINGS_CHILD");
  if (!arg) GTEST_SKIP() << "runs only as a child process";
  std::string a(arg);
  std::string profile = a.substr(0, a.find('|'));
  std::string tag = a.substr(a.find('|') + 1);
  ZerbinSettings mine = everyFieldChanged();
  mine.searchOpen = tag;
  for (int i = 0; i < 15; ++i) {
    WindowPosition p;
    p.key = "/notes/" + tag + std::to_string(i) + ".svg";
    p.right = i;
    ASSERT_TRUE(CZerbinApp_saveWindowPosition(profile, p, ""));
    ASSERT_TRUE(CZerbinApp_writeSettings(profile, mine, ""));
    ZerbinSettings got;
    ASSERT_TRUE(CZerbinApp_readSettings(profile, got, ""));
    // Always one whole record: never a half-written file.
    EXPECT_TRUE(got.searchOpen == "A" || got.searchOpen == "B");
    got.searchOpen = tag;
    EXPECT_TRUE(got == mine);
  }
}

TEST(Settings, TwoProcessesLoseNothing) {
  TempDir dir;
  std::string profile = profileOf(dir);
  // Fresh processes (not plain forks) so that each has its own lock files open.
  std::vector<pid_t> pids;
  for (const char* tag : {"A", "B"}) {
    std::string env = "ZERBIN_SETTINGS_CHILD=" + profile + "|" + tag;
    std::vector<std::string> envs = {env};
    for (char** e = environ; *e; ++e)
      if (std::string_view(*e).substr(0, 22) != "ZERBIN_SETTINGS_CHILD=") envs.emplace_back(*e);
    std::vector<char*> envp;
    for (std::string& e : envs) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=SettingsChild.*";
    char* argv[] = {self.data(), filter.data(), nullptr};
    pid_t pid = 0;
    ASSERT_EQ(0, posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv, envp.data()));
    pids.push_back(pid);
  }
  for (pid_t pid : pids) {
    int status = 0;
    ASSERT_EQ(pid, waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  for (const char* tag : {"A", "B"}) {
    for (int i = 0; i < 15; ++i) {
      WindowPosition p;
      EXPECT_TRUE(CZerbinApp_loadWindowPosition(
          profile, "/notes/" + std::string(tag) + std::to_string(i) + ".svg", p))
          << tag << i;
      EXPECT_EQ(i, p.right);
    }
  }
  EXPECT_EQ("", ReadFileBytes(dir.file("zerbin.ini_")));
  EXPECT_EQ("", ReadFileBytes(dir.file("window.ini_")));
}
