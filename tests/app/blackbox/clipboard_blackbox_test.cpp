// Two running programs on one X display share the desktop's clipboard:
// figures copied in the one are pasted in the other, as a user does it
// with the keys, and the second saves them.  Needs Xvfb and xdotool (the
// set-up installs them); without them the test is skipped.
#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "core/filex/filex.h"
#include "support/test_support.h"
#include "zerbin_run.h"

namespace {

const char kWithRect[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<rect id=\"shared1\" x=\"100\" y=\"100\" width=\"120\" height=\"60\" "
    "style=\"fill:rgb(0,0,255)\" fill=\"rgb(0,0,255)\"/>\r\n"
    "</svg>\r\n";
const char kEmpty[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "</svg>\r\n";

bool have(const char* program) {
  return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

std::string run(const QString& program, const QStringList& args, const QString& display) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", display);
  p.setProcessEnvironment(env);
  p.start(program, args);
  p.waitForFinished(10000);
  return p.readAllStandardOutput().trimmed().toStdString();
}

// The first window whose name holds `name`, waited for (a program built
// with the sanitizers, on a busy machine, takes long to start); "" when
// none came.
std::string windowOf(const std::string& name, const QString& display) {
  for (int i = 0; i < 600; ++i) {
    const std::string id = run("xdotool", {"search", "--name", QString::fromStdString(name)}, display);
    if (!id.empty()) return id.substr(0, id.find('\n'));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return {};
}

// Keys typed into a window after giving it the input focus.
void typeInto(const std::string& window, const QStringList& keys, const QString& display) {
  run("xdotool", {"windowfocus", "--sync", QString::fromStdString(window)}, display);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  for (const QString& k : keys) {
    run("xdotool", {"key", k}, display);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
  }
}

struct Process {
  QProcess p;
  bool graceful = false;  // asked to end (a server then removes its lock)
  ~Process() {
    if (graceful) {
      p.terminate();
      if (p.waitForFinished(5000)) return;
    }
    p.kill();
    p.waitForFinished(5000);
  }
};

}  // namespace

TEST(ClipboardBlackBox, FiguresCopiedInOneProgramArePastedInAnother) {
  if (!have("Xvfb") || !have("xdotool")) GTEST_SKIP() << "needs Xvfb and xdotool";
  testing_support::TempDir dir;
  // The server picks a free display and says which (a fixed number may be
  // taken, or locked by a server that was killed).
  Process x;
  x.graceful = true;
  x.p.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
  ASSERT_TRUE(x.p.waitForStarted(5000));
  QByteArray number;
  for (int i = 0; i < 100 && !number.contains('\n'); ++i) {
    x.p.waitForReadyRead(100);
    number += x.p.readAllStandardOutput();
  }
  ASSERT_TRUE(number.contains('\n')) << "Xvfb did not start";
  const QString display = ":" + QString::fromLatin1(number.trimmed());

  const std::string a = dir.file("from.svg"), b = dir.file("into.svg");
  FileX_writeWhole(a, kWithRect);
  FileX_writeWhole(b, kEmpty);
  Process first, second;
  for (auto [proc, note, prof] : {std::tuple{&first, a, dir.file("P1")}, std::tuple{&second, b, dir.file("P2")}}) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("ZERBIN_NONINTERACTIVE", "1");
    env.remove("ZERBIN_QUIT_AFTER_STARTUP");
    // The keyboard library of X reads its names with strndup past their
    // ends, which strict string checks of the sanitizer build report
    // (not a fault of ours): those checks are off for these two programs.
    if (env.contains("ASAN_OPTIONS"))
      env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":strict_string_checks=0");
    proc->p.setProcessEnvironment(env);
    proc->p.start(ZERBIN_PROGRAM_PATH,
                  {"-t", "-j", QString::fromStdString(uniqueService()),
                   QString::fromStdString("-prof=" + prof), QString::fromStdString(note)});
    ASSERT_TRUE(proc->p.waitForStarted(5000));
  }
  const std::string from = windowOf("from.svg", display), into = windowOf("into.svg", display);
  ASSERT_FALSE(from.empty());
  ASSERT_FALSE(into.empty());
  // Select everything and copy in the first; paste and save in the second.
  // A window named early may not take keys yet: the keys are typed again
  // until the second note holds the figure.
  std::string saved;
  for (int attempt = 0; attempt < 5 && saved.find("shared1") == std::string::npos; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500 * attempt));
    typeInto(from, {"ctrl+a", "ctrl+c"}, display);
    typeInto(into, {"ctrl+v", "ctrl+s"}, display);
    for (int i = 0; i < 30; ++i) {
      saved = testing_support::ReadFileBytes(b);
      if (saved.find("shared1") != std::string::npos) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
  EXPECT_NE(std::string::npos, saved.find("id=\"shared1\"")) << saved;
  EXPECT_NE(std::string::npos, saved.find("rgb(0,0,255)")) << saved;
  // The source is untouched.
  EXPECT_EQ(kWithRect, testing_support::ReadFileBytes(a));
}
