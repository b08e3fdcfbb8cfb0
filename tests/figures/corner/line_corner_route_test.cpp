#include <gtest/gtest.h>

#include <vector>

#include "figures/corner/line_corner.h"
#include "support/test_support.h"

namespace {

std::vector<Point32> route(Point32 e1, Point32 e2, Point32 c, int32_t direction = 1) {
  const CornerRoute r = LineCorner_route(e1, e2, c, direction);
  return {r.points.begin(), r.points.begin() + r.count};
}

using P = std::vector<Point32>;

}  // namespace

TEST(LineCornerRoute, CasesOfTheText) {
  // C between the ends: N type and Z type.
  EXPECT_EQ(route({0, 0}, {100, 50}, {50, 25}, 1), (P{{0, 0}, {0, 25}, {100, 25}, {100, 50}}));
  EXPECT_EQ(route({0, 0}, {100, 50}, {50, 25}, 0), (P{{0, 0}, {50, 0}, {50, 50}, {100, 50}}));
  // C below both ends by more than 8.
  EXPECT_EQ(route({0, 0}, {100, 50}, {50, 100}), (P{{0, 0}, {0, 100}, {100, 100}, {100, 50}}));
  // Equal x: end 2 starts the route.
  const CornerRoute tie = LineCorner_route({0, 0}, {0, 50}, {0, 25}, 1);
  EXPECT_TRUE(tie.reversed);
  EXPECT_EQ(route({0, 0}, {0, 50}, {0, 25}), (P{{0, 50}, {0, 25}, {0, 0}}));
  // C right of R.
  EXPECT_EQ(route({0, 0}, {100, 50}, {150, 25}), (P{{0, 0}, {150, 0}, {150, 50}, {100, 50}}));
}

TEST(LineCornerRoute, LeftOfLAndNearR) {
  // C well left of L: out to C.x first.
  EXPECT_EQ(route({0, 0}, {100, 50}, {-20, 25}), (P{{0, 0}, {-20, 0}, {-20, 50}, {100, 50}}));
  // ... and below both: five points.
  EXPECT_EQ(route({0, 0}, {100, 50}, {-20, 100}),
            (P{{0, 0}, {-20, 0}, {-20, 100}, {100, 100}, {100, 50}}));
  // o within ±8 and q = -9 goes across at C.y; q = -10 does not.
  EXPECT_EQ(route({0, 0}, {9, 50}, {0, 25}), (P{{0, 0}, {0, 25}, {9, 25}, {9, 50}}));
  EXPECT_EQ(route({0, 0}, {10, 50}, {0, 25}), (P{{0, 0}, {0, 50}, {10, 50}}));
  // C just right of R (q < 8): down the R side.
  EXPECT_EQ(route({0, 0}, {100, 50}, {104, 25}), (P{{0, 0}, {100, 0}, {100, 50}}));
  // Right of R and below both.
  EXPECT_EQ(route({0, 0}, {100, 50}, {150, 100}),
            (P{{0, 0}, {0, 100}, {150, 100}, {150, 50}, {100, 50}}));
}

TEST(LineCornerRoute, NTypeThresholdsAndReversal) {
  // f within ±7: down at L to R's height.
  EXPECT_EQ(route({0, 0}, {100, 50}, {50, 45}), (P{{0, 0}, {0, 50}, {100, 50}}));
  // t within ±7, f not: across at L's height, then down.
  EXPECT_EQ(route({0, 0}, {100, 50}, {50, 3}), (P{{0, 0}, {100, 0}, {100, 50}}));
  // End 1 right of end 2: the route runs from end 2 and says so.
  const CornerRoute r = LineCorner_route({100, 50}, {0, 0}, {50, 25}, 0);
  EXPECT_TRUE(r.reversed);
  EXPECT_EQ(route({100, 50}, {0, 0}, {50, 25}, 0), (P{{0, 0}, {50, 0}, {50, 50}, {100, 50}}));
  // Everything on one point: a single point.
  EXPECT_EQ(route({5, 5}, {5, 5}, {5, 5}), (P{{5, 5}}));
  // Far coordinates do not overflow.
  EXPECT_EQ(route({-99999, -99999}, {99999, 99999}, {0, 0}, 0),
            (P{{-99999, -99999}, {0, -99999}, {0, 99999}, {99999, 99999}}));
}

TEST(LineCornerGeometry, EdgesExtentsAndMinimumSize) {
  Line_Corner c;
  c.setEnd(1, 100, 50);
  c.setEnd(2, 0, 0);
  c.setThrough(50, 25);
  EXPECT_EQ(c.GetEdge(0), 0);
  EXPECT_EQ(c.GetEdge(6), 0);
  EXPECT_EQ(c.GetEdge(1), 100);
  EXPECT_EQ(c.GetEdge(2), 0);
  EXPECT_EQ(c.GetEdge(3), 50);
  EXPECT_EQ(c.GetEdge(4), 50);
  EXPECT_EQ(c.GetEdge(5), 25);
  EXPECT_EQ(c.GetBounds(), (Rect32{0, 0, 100, 50}));
  EXPECT_EQ(testing_support::CatchError([&] { (void)c.GetEdge(8); }).code, Errors_Unofficial);
  EXPECT_EQ(testing_support::CatchError([&] { c.SetEdge(6, 1); }).code, Errors_Unofficial);

  c.SetEdge(1, 130);  // both ends move, the through point stays
  EXPECT_EQ(c.end(1), (Point32{130, 50}));
  EXPECT_EQ(c.end(2), (Point32{30, 0}));
  EXPECT_EQ(c.through(), (Point32{50, 25}));
  c.SetEdge(2, 10);
  EXPECT_EQ(c.end(1), (Point32{130, 60}));
  c.SetEdge(4, 7);
  c.SetEdge(5, 8);
  EXPECT_EQ(c.through(), (Point32{7, 8}));

  EXPECT_EQ(c.GetExtent(false), 101);
  EXPECT_EQ(c.GetExtent(true), 51);
  c.SetExtent(false, 11);  // end 1 stays; end 2 lies left of it
  EXPECT_EQ(c.end(2).x, 120);
  c.SetExtent(true, 5);
  EXPECT_EQ(c.end(2).y, 56);

  Line_Corner small;
  small.setEnd(1, 10, 10);
  small.setEnd(2, 12, 8);
  small.EnsureMinimumSize();
  EXPECT_EQ(small.end(2), (Point32{42, 30}));
  EXPECT_EQ(small.through(), (Point32{26, 20}));
  small.setEnd(2, 13, 10);  // 3 apart: left alone
  small.EnsureMinimumSize();
  EXPECT_EQ(small.end(2), (Point32{13, 10}));
}

TEST(LineCornerGeometry, IntersectsRectAlongTheRoute) {
  Line_Corner c;  // route (0,0) (0,25) (100,25) (100,50)
  c.setEnd(2, 100, 50);
  c.setThrough(50, 25);
  EXPECT_TRUE(c.IntersectsRect({40, 20, 10, 10}));
  EXPECT_FALSE(c.IntersectsRect({40, 0, 10, 10}));  // inside the ends' box, off the route
  EXPECT_TRUE(c.IntersectsRect({-5, 5, 10, 10}));
  EXPECT_TRUE(c.IntersectsRect({100, 30, 5, 5}));   // x on the left edge counts
  EXPECT_FALSE(c.IntersectsRect({101, 30, 5, 5}));
  EXPECT_FALSE(c.IntersectsRect({95, 50, 10, 5}));  // y-range meets only at its end
  Line_Corner dot;
  dot.setEnd(2, 0, 0);
  dot.setThrough(0, 0);
  EXPECT_FALSE(dot.IntersectsRect({-10, -10, 20, 20}));
}
