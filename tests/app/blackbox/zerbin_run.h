// Runs the built program in a child process with its own service name and
// echo file, on the offscreen platform, ending right after start-up; and
// what the black-box tests share around it: notes saved for a run and the
// files a run leaves.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "document/note/note_document.h"
#include "document/writer/note_writer.h"
#include "figures/rect/rect_ex.h"
#include "support/fixed_metrics.h"
#include "support/test_support.h"

struct ZerbinRun {
  int status = -1;
  std::string echo;  // CP932, CR LF turned into LF
  std::string err;   // standard error (UTF-8)
};

inline std::string uniqueService() {
  static std::atomic<int> n{0};
  return "-service_name=BrevloTest_" + std::to_string(getpid()) + "_" + std::to_string(n++);
}

// How a run differs from the usual one.
struct ZerbinRunOptions {
  bool quiet = true;  // -t: no first-run box
  std::string cwd;    // the current folder of the process ("" = the test's)
  std::vector<std::pair<std::string, std::string>> env;  // extra variables
  std::string program;  // another copy of the program ("" = the built one)
  bool bare = false;    // no words of its own: only `words` (echo file and
                        // service name come from the caller)
  bool echo = true;     // the runner adds its own "-echo=" (else messages go
                        // to standard error, kept in ZerbinRun::err)
};

// Runs zerbin with the words (UTF-8) plus -t, -j, its own service and echo
// file; the event loop ends right after start-up.
inline ZerbinRun runZerbin(const testing_support::TempDir& dir, std::vector<std::string> words,
                           const ZerbinRunOptions& options = {}) {
  std::string echo = dir.file("echo.txt");
  std::string err = dir.file("stderr.txt");
  std::vector<std::string> all = {options.program.empty() ? ZERBIN_PROGRAM_PATH : options.program};
  if (!options.bare) {
    if (options.quiet) all.push_back("-t");
    for (std::string w : {std::string("-j"), uniqueService()}) all.push_back(w);
    if (options.echo) all.push_back("-echo=" + echo);
  }
  all.insert(all.end(), words.begin(), words.end());
  pid_t pid = fork();
  if (pid == 0) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    setenv("ZERBIN_QUIT_AFTER_STARTUP", "1", 1);
    for (const auto& [name, value] : options.env) setenv(name.c_str(), value.c_str(), 1);
    if (!options.cwd.empty() && chdir(options.cwd.c_str()) != 0) _exit(126);
    if (!freopen(err.c_str(), "w", stderr)) _exit(125);
    std::vector<char*> argv;
    for (std::string& w : all) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int st = 0;
  waitpid(pid, &st, 0);
  ZerbinRun r;
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : 128 + WTERMSIG(st);
  std::string bytes = testing_support::ReadFileBytes(echo);
  for (char c : bytes) {
    if (c != '\r') r.echo += c;
  }
  r.err = testing_support::ReadFileBytes(err);
  return r;
}

// The new note's template installed beside the program, and its bytes.
inline std::string TemplateNotePath() {
  const std::string program = ZERBIN_PROGRAM_PATH;
  return program.substr(0, program.rfind('/')) + "/system/profile_first/template/new_default.svg";
}
inline std::string TemplateNote() { return testing_support::ReadFileBytes(TemplateNotePath()); }

// The save host of the notes written for a run: text measured with the
// tests' fixed metrics.
class BlackBoxSaveHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &metrics_; }

 private:
  FixedMetrics metrics_;
};

// Saves a new note at `path` with what `fill` puts into it (its working
// files in `work`, made when missing; `copy` as NoteWriter_save takes it);
// an error fails the test.
inline void SaveNewNote(const std::string& work, const std::string& path,
                        const std::function<void(NoteDocument&, FixedMetrics&)>& fill,
                        bool copy = false) {
  std::filesystem::create_directories(work);
  const Errors_Msg e = testing_support::CatchError([&] {
    NoteDocument doc(work);
    doc.NewDocument(1, false);
    FixedMetrics metrics;
    fill(doc, metrics);
    BlackBoxSaveHost host;
    ASSERT_EQ(NoteWriter_save(doc, path, copy, host), 0);
    doc.ClearDocument();
  });
  ASSERT_EQ(e.code, 0) << e.text;
}

// A 2 x 2 PNG.
inline const std::string kPng(
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x02\x00\x00\x00\x02\x08\x02"
    "\x00\x00\x00\xfd\xd4\x9a\x73\x00\x00\x00\x12\x49\x44\x41\x54\x78\x9c\x63\xf8\xcf\xc0\xc0\x00\xc2\x0c\xff"
    "\x81\x00\x00\x1f\xee\x05\xfb\x0b\xd9\x68\x8b\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82",
    75);

// A picture of 20 x 20 that links its file (not embedded).
inline std::unique_ptr<Rect_Ex> PictureFigure(const std::string& path, int32_t number) {
  auto pic = std::make_unique<Rect_Ex>();
  pic->SetNumber(number);
  pic->shape = RectShape_Image;
  pic->embedImage = false;
  pic->takeNaturalSize = false;
  pic->imagePath = path;
  pic->width = pic->height = 20;
  return pic;
}

// The files below `folder`, as paths relative to it.
inline std::set<std::string> FilesUnder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::set<std::string> names;
  for (const auto& e : fs::recursive_directory_iterator(folder)) {
    if (e.is_regular_file()) names.insert(fs::relative(e.path(), folder).string());
  }
  return names;
}
