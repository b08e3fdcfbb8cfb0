#include "core/errors/errors.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <deque>
#include <mutex>

#include "core/errors/debug_trace.h"
#include "core/errors/except3.h"
#include "core/errors/error_state.h"
#include "core/filex/text_file.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"

namespace {

struct CodeName {
  int32_t code;
  const char* name;
};

constexpr CodeName kCodeNames[] = {
    {Errors_Unofficial, "Errors_Unofficial"},
    {Errors_NotSupport, "Errors_NotSupport"},
    {Errors_Err_Errno, "Errors_Err_Errno"},
    {BigStack_Full, "BigStack_Full"},
    {FileX_Err_EOF, "FileX_Err_EOF"},
    {FileX_Err_CannotWriteOpen, "FileX_Err_CannotWriteOpen"},
    {FileX_Err_CannotReadOpen, "FileX_Err_CannotReadOpen"},
    {FileX_Err_NotFindCopySrc, "FileX_Err_NotFindCopySrc"},
    {FileX_Err_CannotWrite, "FileX_Err_CannotWrite"},
    {FileX_Err_CannotMkdir, "FileX_Err_CannotMkdir"},
    {FileX_Err_AccessDenied, "FileX_Err_AccessDenied"},
    {FileX_Err_NotUnicodeFile, "FileX_Err_NotUnicodeFile"},
    {FileX_Err_BadVer, "FileX_Err_BadVer"},
    {FileX_Err_NotSupportUnicode, "FileX_Err_NotSupportUnicode"},
    {IniFile_NotFoundSection, "IniFile_NotFoundSection"},
    {IniFile_Err_BadFormat, "IniFile_Err_BadFormat"},
    {IniFile_Err_FewAttr, "IniFile_Err_FewAttr"},
    {IniFile_Err_BadAttr, "IniFile_Err_BadAttr"},
    {IniFile_Err_OtherApp, "IniFile_Err_OtherApp"},
    {IniFile_Err_OtherVer, "IniFile_Err_OtherVer"},
    {ArrX_Err_Full, "ArrX_Err_Full"},
    {WinX_Err_DDE, "WinX_Err_DDE"},
    {WinX_Err_WrongPath, "WinX_Err_WrongPath"},
    {WinX_Err_API_Error, "WinX_Err_API_Error"},
    {WinX_Err_NoRegKey, "WinX_Err_NoRegKey"},
    {WinX_Err_NoRegData, "WinX_Err_NoRegData"},
    {WinX_Err_DifferentType, "WinX_Err_DifferentType"},
    {StrX_Err_MemEmpty, "StrX_Err_MemEmpty"},
    {StrX_Err_BufOver, "StrX_Err_BufOver"},
    {CZerbinApp_Err_Format, "CZerbinApp_Err_Format"},
    {CZerbinApp_Err_MakeRel, "CZerbinApp_Err_MakeRel"},
    {CZerbinApp_Err_SnanKeyword, "CZerbinApp_Err_SnanKeyword"},
    {Zerbin_Err_NotSetDrawParam, "Zerbin_Err_NotSetDrawParam"},
    {NestFind_Err_OverNest, "NestFind_Err_OverNest"},
    {NestFind_Err_OverBuf, "NestFind_Err_OverBuf"},
    {Susie_Err_CannotLoadSPI, "Susie_Err_CannotLoadSPI"},
    {Susie_Err_NotSupportImgType, "Susie_Err_NotSupportImgType"},
    {Susie_Err_GetPictureInfo, "Susie_Err_GetPictureInfo"},
    {Susie_Err_GetPicture, "Susie_Err_GetPicture"},
};

// Process-wide state of the module.  The current record and the nesting
// count belong to each thread (error_state.h).
struct ProcessState {
  std::atomic<int32_t> idCounter{0};
  std::atomic<Errors_RaiseHook> raiseHook{&Errors_defaultRaiseHook};
  std::atomic<bool> sessionEnding{false};
  std::atomic<uint32_t> mainWindow{0};

  std::mutex keptMutex;
  std::deque<Errors_Msg> kept;  // at most Errors_keptCount, oldest first
  int droppedKept = 0;

  std::mutex exitMutex;
  Errors_ExitHook exitHook = nullptr;
  void* exitApp = nullptr;
  bool exitHookRan = false;

  std::mutex nameMutex;
  std::string appName;
  std::string appVersion;
  std::string programPath;

  std::mutex logMutex;
  std::string logName = "errlog.txt";
  std::function<int64_t()> logClock;
  int32_t logIndex = 0;
  bool logFirstWrite = true;
  bool logFailed = false;
};

ProcessState& process() {
  static ProcessState s;
  return s;
}

// The base name of a source path: after the last "\" or "/".
const char* baseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (Cp932_isLead(*p) && p[1]) {
      ++p;
      continue;
    }
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  return base;
}

void copyField(char* dst, size_t dstSize, std::string_view src) {
  size_t n = Cp932_cutLength(src, dstSize - 1);
  std::memcpy(dst, src.data(), n);
  dst[n] = '\0';
}

int64_t bootMilliseconds() {
  timespec ts{};
  clock_gettime(CLOCK_BOOTTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

// "hh:mm:ss" of the build as "MMSS".
std::string buildTimeMMSS() {
  const char* t = __TIME__;
  return std::string{t[3], t[4], t[6], t[7]};
}

std::string folderOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void makeParentFolders(const std::string& osPath) {
  for (size_t i = 1; i < osPath.size(); ++i) {
    if (osPath[i] != '/') continue;
    std::string part = osPath.substr(0, i);
    mkdir(part.c_str(), 0755);
  }
}

bool tracerAttached() {
  FilePtr f(std::fopen("/proc/self/status", "r"));
  if (!f) return false;
  char line[256];
  while (std::fgets(line, sizeof line, f.get())) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) return std::atoi(line + 10) != 0;
  }
  return false;
}

}  // namespace

namespace error_state {

ThreadState& thread() {
  thread_local ThreadState t;
  return t;
}

}  // namespace error_state

using error_state::thread;

const char* Errors_idName(int32_t code) {
  for (const CodeName& c : kCodeNames)
    if (c.code == code) return c.name;
  return "";
}

void Errors_cutText(std::string& text, size_t maxBytes) {
  text.resize(Cp932_cutLength(text, maxBytes));
}

const Errors_Msg& Errors_current() { return thread().current; }

void Errors_clear() {
  Errors_Msg& m = thread().current;
  m = Errors_Msg{};
  thread().nesting = 0;
}

void Errors_keepMsg() {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.keptMutex);
  if (static_cast<int>(s.kept.size()) >= Errors_keptCount) {
    s.kept.pop_front();
    ++s.droppedKept;
  }
  Errors_Msg copy = thread().current;
  copy.used = true;
  s.kept.push_back(copy);
}

std::vector<Errors_Msg> Errors_keptMsgs() {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.keptMutex);
  return {s.kept.begin(), s.kept.end()};
}

int Errors_droppedKeptCount() {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.keptMutex);
  return s.droppedKept;
}

void Errors_clearKept() {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.keptMutex);
  s.kept.clear();
  s.droppedKept = 0;
}

int32_t Errors_nestingCount() { return thread().nesting; }
void Errors_setNestingCount(int32_t n) { thread().nesting = n; }

void Errors_setRaiseHook(Errors_RaiseHook hook) { process().raiseHook = hook; }
Errors_RaiseHook Errors_getRaiseHook() { return process().raiseHook; }

int Errors_defaultRaiseHook(int32_t, int32_t code, const char*) {
  if (code != Errors_Uncatchable) Except_throw(thread().current);
  return 1;
}

void Errors_setExitHook(Errors_ExitHook hook, void* app) {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.exitMutex);
  s.exitHook = hook;
  s.exitApp = app;
  s.exitHookRan = false;
}

void Errors_setAppName(std::string_view name, std::string_view version) {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.nameMutex);
  s.appName = name;
  s.appVersion = version;
}

const std::string& Errors_appName() { return process().appName; }
const std::string& Errors_appVersion() { return process().appVersion; }

std::string Errors_buildVersion() {
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const char* d = __DATE__;  // "Mmm dd yyyy"
  int month = 1;
  for (int i = 0; i < 12; ++i)
    if (std::strncmp(d, kMonths[i], 3) == 0) month = i + 1;
  int day = std::atoi(d + 4);
  int year = std::atoi(d + 7) % 100;
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%02d", year, month, day);
  return buf;
}

void Errors_setProgramPath(std::string_view path) {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.nameMutex);
  s.programPath = path;
}

const std::string& Errors_programPath() { return process().programPath; }

std::string Errors_selfProgramPath() {
  char buf[4096];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::optional<std::string> cp = Cp932_fromOsPath(std::string_view(buf, n));
  return cp ? *cp : std::string();
}

void Errors_setLogName(std::string_view pattern) {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.logMutex);
  s.logName = pattern;
}

void Errors_setLogClock(std::function<int64_t()> clock) {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.logMutex);
  s.logClock = std::move(clock);
}

void Errors_resetLog() {
  ProcessState& s = process();
  std::lock_guard<std::mutex> lock(s.logMutex);
  s.logIndex = 0;
  s.logFirstWrite = true;
  s.logFailed = false;
}

void Errors_printToFile(std::string_view line) {
  ProcessState& s = process();
  std::string programPath;
  {
    std::lock_guard<std::mutex> lock(s.nameMutex);
    programPath = s.programPath;
  }
  if (programPath.empty()) return;
  std::lock_guard<std::mutex> lock(s.logMutex);

  std::string name = s.logName;
  bool ring = name.find('%') != std::string::npos;
  int32_t index = 0;
  if (ring) {
    int64_t ms = s.logClock ? s.logClock() : bootMilliseconds();
    index = static_cast<int32_t>((ms / 60000) % 10);
    size_t d = name.find("%d");
    if (d != std::string::npos) name.replace(d, 2, std::to_string(index));
    if (name.size() > 259) name.resize(Cp932_cutLength(name, 259));
  }
  if (name.empty()) return;
  if (name[0] != '/') name = folderOf(programPath) + "/" + name;
  std::optional<std::string> os = Cp932_toOsPath(name);
  if (!os) {
    s.logFailed = true;
    return;
  }

  bool starting = false;
  if (ring) {
    if (s.logFirstWrite || index != s.logIndex) {
      // At the first write of a run a file written less than a minute ago
      // belongs to a run that just stopped: keep its report and append.
      struct stat st{};
      bool recent = stat(os->c_str(), &st) == 0 && std::time(nullptr) - st.st_mtime < 60;
      if (!(s.logFirstWrite && recent)) {
        unlink(os->c_str());
        starting = true;
      }
      s.logIndex = index;
      s.logFirstWrite = false;
      makeParentFolders(*os);
    }
  } else if (s.logFirstWrite) {
    unlink(os->c_str());
    s.logFirstWrite = false;
  }

  FilePtr f(std::fopen(os->c_str(), "ab"));
  if (!f) {
    s.logFailed = true;
    return;
  }
  if (starting) {
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char date[128];
    std::strftime(date, sizeof date, "%c", &tm);
    std::string header;
    {
      std::lock_guard<std::mutex> nameLock(s.nameMutex);
      header = s.appName + " " + s.appVersion + " - " + buildTimeMMSS() + " (Log:" + date + ")\r\n";
    }
    std::fwrite(header.data(), 1, header.size(), f.get());
  }
  std::fwrite(line.data(), 1, line.size(), f.get());
  std::fwrite("\r\n", 1, 2, f.get());
}

void Errors_printf(const char* format, ...) {
  char buf[Errors_fullTextMax + 1];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buf, sizeof buf, format, args);
  va_end(args);
  std::string line(buf);
  if (n > static_cast<int>(Errors_fullTextMax)) {
    Errors_cutText(line, 1020);
    line += "...";
  }
  Errors_printToFile(line);
}

void Errors_setSessionEnding(bool ending) { process().sessionEnding = ending; }
bool Errors_sessionEnding() { return process().sessionEnding; }
void Errors_setMainWindow(uint32_t windowId) { process().mainWindow = windowId; }

namespace error_state {

// Steps 1 to 7 of a raise: the record becomes the current one.
std::string fillCurrent(const char* file, int line, int32_t code, const char* idName,
                        std::string_view message) {
  ProcessState& s = process();
  int32_t id = ++s.idCounter;
  char header[Errors_fullTextMax];
  int headerLen = std::snprintf(header, sizeof header, "%s (%d) : id = %d, code = %d, %s, ",
                                baseName(file), line, id, code, idName ? idName : "");
  if (headerLen < 0) headerLen = 0;
  std::string full(header);
  full += message;
  if (full.size() > Errors_fullTextMax) {
    Errors_cutText(full, 1019);
    full += "...";
  }
  ThreadState& t = thread();
  if (t.current.code != 0) Errors_keepMsg();
  Errors_Msg& m = t.current;
  m = Errors_Msg{};
  m.id = id;
  m.code = code;
  copyField(m.file, sizeof m.file, file);
  m.line = line;
  copyField(m.text, sizeof m.text, full);
  m.messageOffset = static_cast<int32_t>(
      std::min(std::strlen(header), std::strlen(m.text)));
  return full;
}

}  // namespace error_state

void Errors_raiseV(const char* file, int line, int32_t code, const char* idName,
                   const char* format, va_list args) {
  char message[Errors_fullTextMax + 1];
  std::vsnprintf(message, sizeof message, format, args);
  std::string full = error_state::fillCurrent(file, line, code, idName, message);
  ThreadState& t = thread();
  ++t.nesting;
  if (t.nesting > 1) {
    Errors_printf("%s", "二重エラーです。catch または finally の中でエラーになっている可能性があります。");
    Errors_printf("%s", full.c_str());
    Errors_fatalExit();
  }
  Errors_RaiseHook hook = process().raiseHook;
  if (hook) hook(t.current.id, code, full.c_str());
  Errors_fatalExit();
}

void Errors_raise(const char* file, int line, int32_t code, const char* idName,
                  const char* format, ...) {
  va_list args;
  va_start(args, format);
  Errors_raiseV(file, line, code, idName, format, args);
}

std::string Errors_osErrorText(int errnum) {
  char buf[256];
  const char* text = strerror_r(errnum, buf, sizeof buf);
  return Cp932_fromUtf8(text ? text : "");
}

std::string Errors_errnoText(int errnum) {
  switch (errnum) {
    case ENOENT: return "ファイルまたはディレクトリがない。指定されたファイルまたはディレクトリが存在しないか見つかりません。このメッセージは、指定されたファイルが存在しないか、パス名の要素が既存のディレクトリを指定していない場合に発生します。";
    case E2BIG: return "errno = E2BIG : 引数リストが長すぎる";
    case ENOEXEC: return "実行ファイルのエラー。実行可能でないか無効な実行可能ファイル形式を持つファイルを実行しようとしました。";
    case EBADF: return "不正なファイル番号。";
    case ECHILD: return "errno = ECHILD : 子プロセスが存在しない";
    case EAGAIN: return "errno = EAGAIN : これ以上プロセスを生成できない。プロセス スロットが足りないか、メモリ不足か、または最大ネスト レベルに達したために、新しいプロセスの生成に失敗しました。";
    case ENOMEM: return "メモリ不足。実行しようとした操作に十分なメモリがありません。";
    case EACCES: return "errno = EACCES : アクセスが拒否された。";
    case EEXIST: return "ファイルが存在する。既に存在するファイルを作成しようとしています。";
    case EXDEV: return "デバイス間リンク。rename 関数を使って、別のデバイスにファイルを移動しようとしました。";
    case EINVAL: return "不正な引数。たとえば、クローズされた後のファイル操作や、ファイル ポインタの移動 (fseek の呼び出し) のとき、指定した元の位置がファイルの先頭より前にある場合です。";
    case EMFILE: return "開いているファイルが多すぎる。空いているファイル ハンドルがないので、ファイルを開けません。";
    case ENOSPC: return "デバイスの空き領域不足。デバイスに書き込み用の領域が残っていません (たとえば、ディスクがいっぱいになった場合)。";
    case EDOM: return "数値演算関数の引数が関数のドメイン外の値である。";
    case ERANGE: return "結果が大きすぎる。数値演算関数の引数が大きすぎて、結果の有効桁数の一部または全部が失われます。このエラーは、他の関数でも、引数が想定より大きい(たとえば、_getcwd の buffer 引数が大きすぎる) 場合に発生します。";
    case EDEADLK: return "リソースのデッドロックが発生する可能性がある。";
    default: {
      char buf[64];
      std::snprintf(buf, sizeof buf, "errno = %d : ", errnum);
      return buf + Errors_osErrorText(errnum);
    }
  }
}

void Errors_raiseErrno(const char* file, int line, const char* fileName) {
  int saved = errno;
  std::string text = Errors_errnoText(saved);
  if (fileName)
    Errors_raise(file, line, Errors_Err_Errno, "Errors_Err_Errno", "file=%s, %s", fileName,
                 text.c_str());
  Errors_raise(file, line, Errors_Err_Errno, "Errors_Err_Errno", "%s", text.c_str());
}

void Errors_fatalExit() {
  ProcessState& s = process();
  ThreadState& t = thread();
  if (t.nesting > 0 && !s.sessionEnding) {
    for (const Errors_Msg& k : Errors_keptMsgs()) Errors_printf("%s", k.text);
    Errors_printf("%s", t.current.text);
  }
  std::string appName, version;
  {
    std::lock_guard<std::mutex> lock(s.nameMutex);
    appName = s.appName;
    version = s.appVersion;
  }
  if (!appName.empty()) Errors_printf("Application = %s", appName.c_str());
  if (!version.empty()) Errors_printf("Version = %s", version.c_str());

  if (t.nesting > 0) {
    const char* body =
        "エラーが発生しました。\r\nプログラムに原因（バグ)があると考えられるときは、開発者のホームページでバグ情報を参照するか、次に表示される詳細情報を eメールで送ってください。";
    std::string text = appName.empty() ? std::string(body) : appName + " で" + body;
    std::string title = appName.empty() ? std::string("Zerbin") : appName;
    UserPrompts& prompts = UserPrompts_get();
    if (!prompts.interactive()) {
      // Nobody reads a box in a batch run: the error itself goes along.
      text += "\r\n";
      text += t.current.text;
    }
    prompts.messageBox(text, title, PromptButtons::Ok, PromptIcon::Error, PromptAnswer::Ok,
                       s.mainWindow);
    DebugTrace_printf("%s", "ブレークします。もしデバッガーが接続されていなければ強制終了します。\n");
    if (tracerAttached()) raise(SIGTRAP);
  }

  Errors_ExitHook hook = nullptr;
  void* app = nullptr;
  {
    std::lock_guard<std::mutex> lock(s.exitMutex);
    if (s.exitHook && !s.exitHookRan) {
      s.exitHookRan = true;
      hook = s.exitHook;
      app = s.exitApp;
    }
  }
  if (hook) {
    t.nesting = 0;
    hook(app);
  }
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(14);
}

void Errors_showDetailDialog(std::string_view text) {
  ProcessState& s = process();
  if (s.sessionEnding) {
    std::string programPath;
    {
      std::lock_guard<std::mutex> lock(s.nameMutex);
      programPath = s.programPath;
    }
    std::string path = folderOf(programPath.empty() ? Errors_selfProgramPath() : programPath) +
                       "/errlog_EndSession.txt";
    TextFile_write(path, text, false);
    return;
  }
  std::string caption = "エラー - " + (s.appName.empty() ? std::string("Brevlo 3.10") : s.appName);
  UserPrompts_get().showDetail(caption, text, s.mainWindow);
}
