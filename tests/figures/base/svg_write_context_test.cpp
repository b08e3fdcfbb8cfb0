#include "figures/base/svg_write_context.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace {

std::string viaLibc(const char* format, int a, const char* s, int b) {
  char buf[256];
  std::snprintf(buf, sizeof buf, format, a, s, b);
  return buf;
}

TEST(SvgWriteContext, PrintfMatchesTheCLibrary) {
  const char* formats[] = {"%d.5,%s %d",       "x=\"%05d\"%s%02d",  "%%%d%%%s%%%d",
                           "%3d|%8s|%1d",      "%0d%s%010d",        "plain %d %s %d tail"};
  const int values[] = {0, 1, -1, 7, 42, -42, 99999, 100000, INT_MAX, INT_MIN};
  for (const char* f : formats) {
    for (int a : values) {
      for (int b : {0, -5, 123456}) {
        SvgWriteContext ctx;
        ctx.put("pre");
        ctx.printf(f, a, "str", b);
        ASSERT_EQ(ctx.out, "pre" + viaLibc(f, a, "str", b)) << f << " " << a << " " << b;
      }
    }
  }
}

TEST(SvgWriteContext, OtherConversionsAndLongTextsGoThroughTheCLibrary) {
  SvgWriteContext ctx;
  ctx.printf("%x %c %.2f", 255, 'q', 1.5);
  EXPECT_EQ(ctx.out, "ff q 1.50");
  const std::string big(3000, 'a');
  ctx.out.clear();
  ctx.printf("<%s>", big.c_str());
  EXPECT_EQ(ctx.out, "<" + big + ">");
  ctx.out.clear();
  ctx.printf("%5.1f|%s", 2.25, big.c_str());
  EXPECT_EQ(ctx.out, "  2.2|" + big);
}

}  // namespace
