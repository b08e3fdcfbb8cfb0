#include "core/bigstack/bigstack.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/test_support.h"

TEST(BigStack, TwentyThreeBuffersFitAfterOneFrameAndTheNextRaises281) {
  ASSERT_EQ(0u, BigStack_used());
  {
    BigStackFrame frame;
    EXPECT_EQ(4u, BigStack_used());
    for (int i = 0; i < 23; ++i) frame.alloc()[0] = static_cast<char>(i);
    EXPECT_EQ(16u, BigStack_usable());
    Errors_Msg e = testing_support::CatchError([&] { frame.alloc(); });
    EXPECT_EQ(BigStack_Full, e.code);
    EXPECT_STREQ("BigStack 不足です (usable=16, request=260)", e.message());
    EXPECT_EQ(5984u, BigStack_used());  // nothing taken
    EXPECT_EQ(5984u, BigStack_highWater());
  }
  EXPECT_EQ(0u, BigStack_used());
  EXPECT_EQ(0, BigStack_frameCount());
}

TEST(BigStack, NestedFramesPopInOrderAlsoWhenAnErrorLeaves) {
  BigStackFrame outer;
  std::span<char, 260> a = outer.alloc();
  a[0] = 'A';
  Errors_Msg e = testing_support::CatchError([&] {
    BigStackFrame inner;
    inner.alloc();
    EXPECT_EQ(4u + 260 + 4 + 260, BigStack_used());
    Errors_RAISE(Errors_Unofficial, "error");
  });
  EXPECT_EQ(Errors_Unofficial, e.code);
  EXPECT_EQ(264u, BigStack_used());
  EXPECT_EQ(1, BigStack_frameCount());
  EXPECT_EQ('A', a[0]);  // the outer frame's buffer survived the inner one
  std::span<char, 260> b = outer.alloc();
  EXPECT_EQ(a.data() + 260, b.data());
}

TEST(BigStack, ErrorsWithoutAFrameAndOnePerThread) {
  EXPECT_EQ(Errors_Unofficial, testing_support::CatchError([] { BigStack_alloc(); }).code);
  EXPECT_EQ(Errors_Unofficial, testing_support::CatchError([] { BigStack_pop(); }).code);
  BigStack_push();
  BigStack_alloc();
  size_t otherUsed = 99;
  std::thread worker([&] { otherUsed = BigStack_used(); });
  worker.join();
  EXPECT_EQ(0u, otherUsed);
  BigStack_pop();
  EXPECT_EQ(0u, BigStack_used());
}
