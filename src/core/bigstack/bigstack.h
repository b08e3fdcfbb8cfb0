// The big stack: a last-in-first-out arena of 6000 bytes per thread for
// temporary 260-byte path buffers.  A function opens a frame (BigStackFrame),
// takes buffers, and the frame's end releases them all at once.
//
// The accounting is that of 32-bit words: a frame costs a 4-byte frame word
// (holding the offset of the frame it hides), so after one frame 23 buffers
// fit and the 24th raises BigStack_Full with 16 usable bytes.
#pragma once

#include <cstddef>
#include <span>

inline constexpr size_t BigStack_Size = 6000;
inline constexpr size_t BigStack_BufSize = 260;
inline constexpr size_t BigStack_FrameWordSize = 4;

// Opens a frame.  Raises BigStack_Full when not even the frame word fits.
void BigStack_push();
// A 260-byte buffer of the current frame.  Raises BigStack_Full (281,
// "BigStack 不足です (usable=%d, request=%d)") when it does not fit; nothing
// is taken then.  Without an open frame it raises 102.
std::span<char, BigStack_BufSize> BigStack_alloc();
// Releases every buffer of the current frame and makes the frame before it
// current again.  Without an open frame it raises 102.
void BigStack_pop();

// Bytes in use (frame words and buffers), bytes still usable, the highest
// use a buffer reached, and the number of open frames, on this thread.
size_t BigStack_used();
size_t BigStack_usable();
size_t BigStack_highWater();
int BigStack_frameCount();

// Opens a frame for its lifetime (the pop runs also when an error leaves).
class BigStackFrame {
 public:
  BigStackFrame() { BigStack_push(); }
  ~BigStackFrame();
  BigStackFrame(const BigStackFrame&) = delete;
  BigStackFrame& operator=(const BigStackFrame&) = delete;
  std::span<char, BigStack_BufSize> alloc() { return BigStack_alloc(); }
};
