#include <gtest/gtest.h>

#include <string>

#include "figures/base/office_script_writer.h"
#include "figures/matome/matome.h"

// A horizontal brace is the upright shape turned about its centre; a
// vertical one is placed as it is; a brace of no size stays finite.
TEST(MatomeOffice, HorizontalVerticalAndEmptyBraces) {
  struct Case {
    Point32 p1, p2;
    int32_t kind, flags;
    std::string expected;
    int32_t lines;
  } cases[] = {
      {{0, 10}, {100, 30}, 0, 0,
       "  Set mat = canvas.AddShape( msoShapeLeftBrace, _\r\n"
       "     30.00 + left_m, -22.50 + top_m, 15.00, 75.00 )\r\n  mat.Rotation = 90\r\n"
       "  mat.RelativeVerticalPosition = wdRelativeVerticalPositionPage\r\n"
       "  m.AddGroup  mat.Name\r\n",
       5},
      {{40, 100}, {20, 0}, 2, 1,
       "  Set mat = s.Shapes.AddShape( msoShapeRightBrace, _\r\n"
       "     30.00 + left_m, 0.00 + top_m, 30.00, 150.00 )\r\n  m.AddGroup  mat.Name\r\n",
       3},
      {{7, 7}, {7, 7}, 1, 1,
       "  Set mat = s.Shapes.AddShape( msoShapeRightBrace, _\r\n"
       "     5.25 + left_m, 5.25 + top_m, 0.00, 0.00 )\r\n  m.AddGroup  mat.Name\r\n",
       3},
  };
  OfficeScriptWriter w;
  for (const Case& c : cases) {
    Matome brace;
    brace.SetPoints(c.p1, c.p2);
    w.out.clear();
    int32_t lines = 0;
    EXPECT_EQ(brace.WriteOfficeScript(w, 1, lines, c.kind, c.flags), 1);
    EXPECT_EQ(w.out, c.expected) << c.kind;
    EXPECT_EQ(lines, c.lines) << c.kind;
  }
}
