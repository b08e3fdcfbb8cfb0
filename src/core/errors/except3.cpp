#include "core/errors/except3.h"

#include <cstring>

#include "core/errors/error_state.h"

using error_state::thread;

namespace {
constexpr int kLevelCapacity = 10;
constexpr const char* kUncatchableText = "キャッチできない例外が発生しました";
}  // namespace

int Except_depth() { return thread().depth; }

void Except_throw(const Errors_Msg& record) {
  if (thread().depth <= 0) Except_uncatchable(__FILE__, __LINE__);
  throw Errors_Exception{record};
}

void Except_uncatchable(const char* file, int line) {
  ThreadState& t = thread();
  if (t.current.code != 0) Errors_keepMsg();
  Errors_Msg& m = t.current;
  m = Errors_Msg{};
  m.id = -1;
  m.code = Errors_Uncatchable;
  std::strncpy(m.file, file, sizeof m.file - 1);
  m.line = line;
  std::strncpy(m.text, kUncatchableText, sizeof m.text - 1);
  m.messageOffset = 0;
  Errors_RaiseHook hook = Errors_getRaiseHook();
  if (hook) {
    ++t.nesting;
    if (t.depth >= 2) Errors_printf("%s", kUncatchableText);
    hook(-1, Errors_Uncatchable, kUncatchableText);
  } else {
    Errors_printf("%s", kUncatchableText);
  }
  Errors_fatalExit();
}

namespace except_detail {

Level::Level(const char*, int) {
  ThreadState& t = thread();
  ++t.depth;
  if (t.depth > kLevelCapacity && !t.warnedDepth) {
    t.warnedDepth = true;
    Errors_printf("try levels nested deeper than %d", kLevelCapacity);
  }
}

Level::~Level() { --thread().depth; }

Errors_Msg recordForForeign(const char* what, const char* file, int line) {
  error_state::fillCurrent(file, line, Errors_Unofficial, "Errors_Unofficial", what);
  ++thread().nesting;
  return thread().current;
}

void passOn(const Errors_Msg& record) {
  if (thread().depth <= 0) Except_uncatchable(__FILE__, __LINE__);
  throw Errors_Exception{record};
}

void handled() { Errors_clear(); }

void enterCatch() { thread().nesting = 0; }

int swapDepth(int depth) {
  int old = thread().depth;
  thread().depth = depth;
  return old;
}

void fatalForeign(const char* what) {
  error_state::fillCurrent(__FILE__, __LINE__, Errors_Unofficial, "Errors_Unofficial", what);
  ++thread().nesting;
  Errors_fatalExit();
}

}  // namespace except_detail
