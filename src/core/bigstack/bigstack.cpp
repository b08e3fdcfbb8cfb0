// The big stack of each thread.  Frame words hold int32 offsets, never
// addresses, so the arena keeps the 4-byte accounting on 64-bit.
#include "core/bigstack/bigstack.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "core/errors/errors.h"

namespace {

constexpr int32_t kNoFrame = -1;

struct BigStack {
  std::array<char, BigStack_Size> bytes{};
  size_t top = 0;
  int32_t frame = kNoFrame;  // offset of the current frame word
  size_t highWater = 0;
  int frames = 0;
};

BigStack& stack() {
  thread_local BigStack s;
  return s;
}

[[noreturn]] void raiseFull(const BigStack& s, size_t request) {
  Errors_RAISE(BigStack_Full, "BigStack 不足です (usable=%d, request=%d)",
               static_cast<int>(BigStack_Size - s.top), static_cast<int>(request));
}

// The pop without checks, for the frame guard's destructor.
void popFrame(BigStack& s) {
  int32_t saved = 0;
  std::memcpy(&saved, s.bytes.data() + s.frame, sizeof saved);
  s.top = static_cast<size_t>(s.frame);
  s.frame = saved;
  --s.frames;
}

}  // namespace

void BigStack_push() {
  BigStack& s = stack();
  if (s.top + BigStack_FrameWordSize > BigStack_Size) raiseFull(s, BigStack_FrameWordSize);
  std::memcpy(s.bytes.data() + s.top, &s.frame, sizeof s.frame);
  s.frame = static_cast<int32_t>(s.top);
  s.top += BigStack_FrameWordSize;
  ++s.frames;
}

std::span<char, BigStack_BufSize> BigStack_alloc() {
  BigStack& s = stack();
  if (s.frame == kNoFrame) Errors_UNOFFICIAL();
  if (s.top + BigStack_BufSize > BigStack_Size) raiseFull(s, BigStack_BufSize);
  char* p = s.bytes.data() + s.top;
  s.top += BigStack_BufSize;
  if (s.top > s.highWater) s.highWater = s.top;
  return std::span<char, BigStack_BufSize>(p, BigStack_BufSize);
}

void BigStack_pop() {
  BigStack& s = stack();
  if (s.frame == kNoFrame) Errors_UNOFFICIAL();
  popFrame(s);
}

size_t BigStack_used() { return stack().top; }
size_t BigStack_usable() { return BigStack_Size - stack().top; }
size_t BigStack_highWater() { return stack().highWater; }
int BigStack_frameCount() { return stack().frames; }

BigStackFrame::~BigStackFrame() {
  BigStack& s = stack();
  if (s.frame != kNoFrame) popFrame(s);
}
