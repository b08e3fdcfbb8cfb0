// The per-thread part of the error module, shared by errors.cpp and
// except3.cpp only.
#pragma once

#include <string>
#include <string_view>

#include "core/errors/errors.h"

struct ThreadState {
  Errors_Msg current;
  int32_t nesting = 0;  // raises not yet taken by a catch branch
  int depth = 0;        // open try levels
  bool warnedDepth = false;
};

namespace error_state {
ThreadState& thread();
// Makes a new current record as a raise does, without throwing; returns
// the full text before it was cut to the record's field.
std::string fillCurrent(const char* file, int line, int32_t code, const char* idName,
                 std::string_view message);
}  // namespace error_state
