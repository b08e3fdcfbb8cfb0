// The error model: every failing operation raises an error record that the
// innermost open try level (except3.h) receives.  A raise never returns.
//
// The current record, the nesting count and the try stack belong to the
// thread that raises; the id counter, the kept-error list and the log file
// are shared by the process and guarded.
#pragma once

#include <cstdint>
#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Error codes.  Catch branches test these by number.
enum ErrorCode : int32_t {
  Errors_NoError = 0,
  Errors_Unofficial = 102,
  Errors_NotSupport = 107,
  Errors_Err_Errno = 112,
  BigStack_Full = 281,
  FileX_Err_EOF = 361,
  FileX_Err_CannotWriteOpen = 362,
  FileX_Err_CannotReadOpen = 363,
  FileX_Err_NotFindCopySrc = 364,
  FileX_Err_CannotWrite = 365,
  FileX_Err_CannotMkdir = 366,
  FileX_Err_AccessDenied = 367,
  FileX_Err_NotUnicodeFile = 368,
  FileX_Err_BadVer = 369,
  FileX_Err_NotSupportUnicode = 370,
  IniFile_NotFoundSection = 591,
  IniFile_Err_BadFormat = 593,
  IniFile_Err_FewAttr = 595,
  IniFile_Err_BadAttr = 596,
  IniFile_Err_OtherApp = 597,
  IniFile_Err_OtherVer = 598,
  ArrX_Err_Full = 901,
  WinX_Err_DDE = 989,
  WinX_Err_WrongPath = 990,
  WinX_Err_API_Error = 991,
  WinX_Err_NoRegKey = 992,
  WinX_Err_NoRegData = 994,
  WinX_Err_DifferentType = 995,
  StrX_Err_MemEmpty = 3180,
  StrX_Err_BufOver = 3183,
  CZerbinApp_Err_Format = 4010,
  CZerbinApp_Err_MakeRel = 4011,
  CZerbinApp_Err_SnanKeyword = 4012,
  Errors_Uncatchable = 5283,
  Zerbin_Err_NotSetDrawParam = 9231,
  NestFind_Err_OverNest = 9991,
  NestFind_Err_OverBuf = 9992,
  Susie_Err_CannotLoadSPI = 22760,
  Susie_Err_NotSupportImgType = 22761,
  Susie_Err_GetPictureInfo = 22762,
  Susie_Err_GetPicture = 22763,
};

// The id name printed in the header of a code's text ("" for 5283 and for
// codes outside the table).
const char* Errors_idName(int32_t code);

// Sizes of the record's fields and of the full text before it is cut.
inline constexpr size_t Errors_textSize = 512;
inline constexpr size_t Errors_fileSize = 256;
inline constexpr size_t Errors_fullTextMax = 1024;
inline constexpr int Errors_keptCount = 5;

// One error record, copied by value.  The bare message is kept as an offset
// into `text`, so a copy stays valid on its own.
struct Errors_Msg {
  bool used = false;
  int32_t id = 0;
  int32_t code = 0;
  char text[Errors_textSize] = {};
  int32_t messageOffset = 0;
  char file[Errors_fileSize] = {};
  int32_t line = 0;

  // The bare message behind the header: what catch branches show the user.
  const char* message() const { return text + messageOffset; }
};

// What a raise throws.  Only the try levels of except3.h catch it.
struct Errors_Exception {
  Errors_Msg msg;
};

// Raise an error: never returns.  The message is formatted printf-style.
[[noreturn]] void Errors_raise(const char* file, int line, int32_t code,
                               const char* idName, const char* format, ...)
    __attribute__((format(printf, 5, 6)));
[[noreturn]] void Errors_raiseV(const char* file, int line, int32_t code,
                                const char* idName, const char* format,
                                va_list args);

// Raise code 112 with the text of the current errno.  With a file name the
// message is "file=<name>, <text>".
[[noreturn]] void Errors_raiseErrno(const char* file, int line,
                                    const char* fileName);

// The text of an errno value as this program shows it.
std::string Errors_errnoText(int errnum);
// The operating system's own text for an errno value, as CP932.
std::string Errors_osErrorText(int errnum);

#define Errors_RAISE(code, ...) \
  Errors_raise(__FILE__, __LINE__, (code), #code, __VA_ARGS__)
#define Errors_RAISE_ERRNO(fileName) \
  Errors_raiseErrno(__FILE__, __LINE__, (fileName))
// An internal contradiction: code 102 with the text "error".
#define Errors_UNOFFICIAL() \
  Errors_raise(__FILE__, __LINE__, Errors_Unofficial, "Errors_Unofficial", "error")

// The record of the error being handled on this thread (code 0 when none).
const Errors_Msg& Errors_current();
// Empties the current record and sets the nesting count to 0.
void Errors_clear();
// Copies the current record into the kept-error list.  When all five slots
// are used the oldest record gives way; this never raises.
void Errors_keepMsg();
// Copies of the used kept records, oldest first, and how many gave way.
std::vector<Errors_Msg> Errors_keptMsgs();
int Errors_droppedKeptCount();
void Errors_clearKept();

// Raises not yet taken by a catch branch on this thread.
int32_t Errors_nestingCount();
void Errors_setNestingCount(int32_t n);

// The raise hook is called with (id, code, full text).  The default hook
// throws the current record to the innermost try level unless the code is
// 5283.  A hook that returns 1 lets the raise go on to the fatal stop.
using Errors_RaiseHook = int (*)(int32_t id, int32_t code, const char* text);
void Errors_setRaiseHook(Errors_RaiseHook hook);
Errors_RaiseHook Errors_getRaiseHook();
int Errors_defaultRaiseHook(int32_t id, int32_t code, const char* text);

// The exit hook runs once during the fatal stop, before the process ends.
using Errors_ExitHook = void (*)(void* app);
void Errors_setExitHook(Errors_ExitHook hook, void* app);

// Application name ("Brevlo 3.10"), version ("%y.%m.%d" of the build date)
// and build time used in the log and the fatal box.
void Errors_setAppName(std::string_view name, std::string_view version);
const std::string& Errors_appName();
const std::string& Errors_appVersion();
// The version text of this build, "%y.%m.%d" of its build date.
std::string Errors_buildVersion();

// The full path of the running program; log and trace names that are not
// absolute are taken relative to its folder.
void Errors_setProgramPath(std::string_view path);
const std::string& Errors_programPath();
// The full path of the running program (/proc/self/exe) as CP932 text.
std::string Errors_selfProgramPath();

// The log file name: a name that holds "%d" is a ring of ten files, one a
// minute.  The clock gives milliseconds since system start.
void Errors_setLogName(std::string_view pattern);
void Errors_setLogClock(std::function<int64_t()> clock);
// Formats one line (cut to 1020 bytes and "..." beyond 1024) and appends it
// to the log.  Never raises.
void Errors_printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Errors_printToFile(std::string_view line);
// Forgets which log file was written last, as at the start of a run.
void Errors_resetLog();

// Set while the session is ending: the detail dialog writes a file instead
// and the fatal stop lists no kept errors.
void Errors_setSessionEnding(bool ending);
bool Errors_sessionEnding();

// The main window that owns the fatal box (0 = none).
void Errors_setMainWindow(uint32_t windowId);

// The fatal stop: logs, shows the box, runs the exit hook, exit status 14.
[[noreturn]] void Errors_fatalExit();

// Shows one error text in the detail dialog (or writes it to
// "errlog_EndSession.txt" while the session ends).
void Errors_showDetailDialog(std::string_view text);

// Cuts a CP932 text to at most `maxBytes` bytes without leaving half of a
// double-byte character.
void Errors_cutText(std::string& text, size_t maxBytes);
