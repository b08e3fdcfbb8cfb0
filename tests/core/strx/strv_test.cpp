#include "core/strx/strv.h"

#include <gtest/gtest.h>

namespace {

TEST(Strv, GrowsIn32ByteSteps) {
  Strv s;
  EXPECT_EQ(s.capacity(), 32);
  EXPECT_EQ(s.length(), 0);
  EXPECT_EQ(s.view(), u"");
  s.append(std::u16string(15, u'a'));  // 30 + 2 = 32: still fits
  EXPECT_EQ(s.capacity(), 32);
  EXPECT_EQ(s.length(), 30);
  s.append(u"b");  // 32 + 2 = 34 -> 64
  EXPECT_EQ(s.capacity(), 64);
  s.append(std::u16string(40, u'c'));  // 112 + 2 = 114 -> 128
  EXPECT_EQ(s.capacity(), 128);
  EXPECT_EQ(s.length(), 112);
  EXPECT_EQ(s.c_str()[56], 0);
}

TEST(Strv, AssignAndAppendStrv) {
  Strv a, b;
  a.append(u"ソ表");
  b.append(std::u16string(30, u'x'));
  a.append(a);
  EXPECT_EQ(a.view(), u"ソ表ソ表");
  b.assign(a);  // capacity never shrinks
  EXPECT_EQ(b.view(), u"ソ表ソ表");
  EXPECT_EQ(b.capacity(), 64);
  Strv c;
  for (int i = 0; i < 4; ++i) c.append(b);  // 16 units: 32 + 2 -> 64
  EXPECT_EQ(c.capacity(), 64);
  for (int i = 0; i < 4; ++i) c.append(b);  // 32 units: 64 + 2 -> 96
  EXPECT_EQ(c.length(), 64);
  EXPECT_EQ(c.capacity(), 96);
}

}  // namespace
