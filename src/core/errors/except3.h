// Try levels over C++ exceptions.
//
//   Except_try(
//       [&] { body },
//       [&](const Errors_Msg& e) { if (e.code != 3183) Except_throw(e); ... },
//       [&] { finally part });
//
// The body runs; an error raised in it is handed to the catch branch once;
// the finally part runs on every path; a handled error clears the current
// record; an error the catch branch throws on, or one that leaves a level
// without a catch branch, goes to the enclosing level.  With no enclosing
// level it becomes the uncatchable error 5283 and the program stops.
#pragma once

#include <exception>
#include <new>
#include <source_location>
#include <utility>

#include "core/errors/errors.h"

// Number of try levels open on this thread.
int Except_depth();

// Throws `record` to the innermost open level; with none open this is the
// uncatchable error.  Catch branches use it to pass an error on.
[[noreturn]] void Except_throw(const Errors_Msg& record);

// The uncatchable error 5283: logs and stops the program.
[[noreturn]] void Except_uncatchable(const char* file, int line);

namespace except_detail {

// Opens a level for the lifetime of the object.
class Level {
 public:
  Level(const char* file, int line);
  ~Level();
  Level(const Level&) = delete;
  Level& operator=(const Level&) = delete;
};

// A record for an exception that is not ours (std::bad_alloc becomes 102).
Errors_Msg recordForForeign(const char* what, const char* file, int line);
// Ends a level after an error: throws it on, or stops when no level is left.
[[noreturn]] void passOn(const Errors_Msg& record);
// Called when the catch branch of a level has run.
void handled();
// Marks the start of a catch branch: the nesting count goes back to 0.
void enterCatch();


template <class Body, class Catch, class Finally>
void run(const char* file, int line, Body&& body, Catch* onCatch, Finally&& fin) {
  bool thrown = false;         // an error left the body
  bool thrownInCatch = false;  // the catch branch threw it (or another) on
  bool thrownInFinally = false;
  Errors_Msg record;
  Errors_Msg finallyRecord;
  std::exception_ptr foreign;
  {
    Level level(file, line);
    try {
      std::forward<Body>(body)();
    } catch (Errors_Exception& e) {
      thrown = true;
      record = e.msg;
    } catch (const std::bad_alloc&) {
      thrown = true;
      record = recordForForeign("std::bad_alloc", file, line);
    } catch (...) {
      foreign = std::current_exception();
    }
    if (thrown && onCatch) {
      enterCatch();
      try {
        (*onCatch)(static_cast<const Errors_Msg&>(record));
      } catch (Errors_Exception& e) {
        thrownInCatch = true;
        record = e.msg;
      }
    }
    // A raise in the finally part while an error is still unhandled is a
    // double error and stops inside the raise; any other goes outward.
    try {
      std::forward<Finally>(fin)();
    } catch (Errors_Exception& e) {
      thrownInFinally = true;
      finallyRecord = e.msg;
    }
    if (foreign) std::rethrow_exception(foreign);
  }
  if (thrownInFinally) passOn(finallyRecord);
  if (thrownInCatch || (thrown && !onCatch)) passOn(record);
  if (thrown) handled();
}

}  // namespace except_detail

// A level with a catch branch and a finally part.
template <class Body, class Catch, class Finally>
void Except_try(Body&& body, Catch&& onCatch, Finally&& fin,
                std::source_location loc = std::source_location::current()) {
  except_detail::run(loc.file_name(), static_cast<int>(loc.line()),
                     std::forward<Body>(body), &onCatch, std::forward<Finally>(fin));
}

// A level with a catch branch only.
template <class Body, class Catch>
void Except_tryCatch(Body&& body, Catch&& onCatch,
                     std::source_location loc = std::source_location::current()) {
  except_detail::run(loc.file_name(), static_cast<int>(loc.line()),
                     std::forward<Body>(body), &onCatch, [] {});
}

// A level without a catch branch: the finally part runs and the error goes
// on to the enclosing level.
template <class Body, class Finally>
void Except_tryFinally(Body&& body, Finally&& fin,
                       std::source_location loc = std::source_location::current()) {
  using NoCatchFn = void (*)(const Errors_Msg&);
  except_detail::run(loc.file_name(), static_cast<int>(loc.line()),
                     std::forward<Body>(body), static_cast<NoCatchFn*>(nullptr),
                     std::forward<Finally>(fin));
}

// An entry point from the event loop: errors that no level inside takes
// stop the program here and never cross the toolkit's frames.  The try
// depth seen inside starts at 0.
template <class Fn>
void Except_barrier(Fn&& fn);

namespace except_detail {
int swapDepth(int depth);
[[noreturn]] void fatalForeign(const char* what);
}  // namespace except_detail

template <class Fn>
void Except_barrier(Fn&& fn) {
  int saved = except_detail::swapDepth(0);
  try {
    std::forward<Fn>(fn)();
  } catch (Errors_Exception&) {
    // Only reachable when a level was left by a foreign path; stop.
    Except_uncatchable(__FILE__, __LINE__);
  } catch (const std::exception& e) {
    except_detail::fatalForeign(e.what());
  } catch (...) {
    except_detail::fatalForeign("unknown exception");
  }
  except_detail::swapDepth(saved);
}
