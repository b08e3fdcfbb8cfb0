#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "reader_harness.h"
#include "support/test_support.h"

using reader_test::Harness;
using reader_test::svgOf;
using testing_support::CatchError;
using testing_support::Sjis;

namespace {

constexpr Colour kDefaultFill = 0xFFCCCC;  // rgb(204,204,255)

std::unique_ptr<Rect_Ex> rect(int32_t shape, int32_t x, int32_t y, int32_t w, int32_t h) {
  auto r = std::make_unique<Rect_Ex>();
  r->shape = shape;
  r->x = x;
  r->y = y;
  r->width = w;
  r->height = h;
  r->strokeWidth = 2;
  r->strokeColour = 0x102030;
  r->fillColour = 0x405060;
  return r;
}

// Writes the figure, reads it back and answers the one figure read (null
// when there is not exactly one).
template <class T>
T* roundTrip(Harness& h, const CadPrim& f) {
  h.read(svgOf(f));
  return h.only<T>();
}

}  // namespace

// --- round trips ---------------------------------------------------------------

TEST(ReaderShapes, RectanglesRoundTrip) {
  for (int32_t shape : {RectShape_Rectangle, RectShape_RoundRect}) {
    auto r = rect(shape, 10, -20, 30, 40);
    r->id = "box1";
    r->angle = 30;
    r->opacity = 57;
    Harness h;
    Rect_Ex* back = roundTrip<Rect_Ex>(h, *r);
    ASSERT_TRUE(back) << shape;
    EXPECT_TRUE(back->takeNaturalSize);
    r->SetNumber(back->GetNumber());
    EXPECT_TRUE(back->Equals(*r, 0)) << svgOf(*r);
  }
}

TEST(ReaderShapes, LinkedRectangleRoundTrip) {
  auto r = rect(RectShape_Rectangle, 1, 2, 3, 4);
  r->id = "r1";
  r->url = "http://example.com/page";
  r->target = "main";
  r->afterClick = 3;
  r->pub = "web";
  Harness h;
  Rect_Ex* back = roundTrip<Rect_Ex>(h, *r);
  ASSERT_TRUE(back);
  r->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*r, 0)) << svgOf(*r);

  // A script link goes through the group's onclick and a bare <a>; without
  // a target in the file the figure keeps its default one.
  r->url = "script:alert('x/y')";
  r->target = "_blank";
  r->afterClick = 0;
  Harness h2;
  back = roundTrip<Rect_Ex>(h2, *r);
  ASSERT_TRUE(back);
  r->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*r, 0)) << svgOf(*r);

  r->url = "#second";
  Harness h3;
  back = roundTrip<Rect_Ex>(h3, *r);
  ASSERT_TRUE(back);
  r->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*r, 0)) << svgOf(*r);
}

TEST(ReaderShapes, CirclesAndEllipsesRoundTrip) {
  // Odd sizes keep their size.
  auto c = rect(RectShape_Ellipse, 10, 20, 41, 41);
  Harness h;
  Rect_Ex* back = roundTrip<Rect_Ex>(h, *c);
  ASSERT_TRUE(back);
  c->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*c, 0)) << svgOf(*c);

  auto e = rect(RectShape_Ellipse, 10, 20, 41, 21);
  Harness h2;
  back = roundTrip<Rect_Ex>(h2, *e);
  ASSERT_TRUE(back);
  e->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*e, 0)) << svgOf(*e);

  // An even-sized circle grows by one unit.
  auto even = rect(RectShape_Ellipse, 10, 20, 40, 40);
  Harness h3;
  back = roundTrip<Rect_Ex>(h3, *even);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->x, 10);
  EXPECT_EQ(back->y, 20);
  EXPECT_EQ(back->width, 41);
  EXPECT_EQ(back->height, 41);
}

TEST(ReaderShapes, DiamondsAndParallelogramsRoundTrip) {
  auto d = rect(RectShape_Diamond, 10, 20, 30, 40);
  Harness h;
  Rect_Ex* back = roundTrip<Rect_Ex>(h, *d);
  ASSERT_TRUE(back);
  d->SetNumber(back->GetNumber());
  EXPECT_TRUE(back->Equals(*d, 0)) << svgOf(*d);

  // An odd width is written rounded up to even and read back so.
  auto odd = rect(RectShape_Diamond, 10, 20, 31, 41);
  Harness h2;
  back = roundTrip<Rect_Ex>(h2, *odd);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->shape, RectShape_Diamond);
  EXPECT_EQ(back->width, 32);
  EXPECT_EQ(back->height, 42);

  for (int32_t height : {40, 41, 42, 43, 3, 1}) {
    auto p = rect(RectShape_Parallelogram, 10, 20, 30, height);
    Harness hp;
    back = roundTrip<Rect_Ex>(hp, *p);
    ASSERT_TRUE(back) << height;
    p->SetNumber(back->GetNumber());
    EXPECT_TRUE(back->Equals(*p, 0)) << svgOf(*p);
  }
}

TEST(ReaderShapes, EveryOpacityRoundTrips) {
  for (int32_t o = 0; o <= 100; ++o) {
    auto r = rect(RectShape_Rectangle, 0, 0, 5, 5);
    r->opacity = o;
    Harness h;
    Rect_Ex* back = roundTrip<Rect_Ex>(h, *r);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->opacity, o);
  }
}

TEST(ReaderShapes, LinesRoundTrip) {
  for (int32_t a1 = 0; a1 < 8; ++a1) {
    for (int32_t a2 : {0, 1, 3, 5, 7}) {
      Line_Ex l;
      l.SetPoints({10, 20}, {110, 75});
      l.SetWidth(2);
      l.SetColour(0x0080FF);
      l.SetDashed(a1 % 2 == 1);
      l.SetLayoutLine(a2 == 3);
      l.SetArrow(1, a1);
      l.SetArrow(2, a2);
      Harness h;
      Line_Ex* back = roundTrip<Line_Ex>(h, l);
      ASSERT_TRUE(back) << a1 << " " << a2 << svgOf(l);
      l.SetNumber(back->GetNumber());
      EXPECT_TRUE(back->Equals(l, 0)) << svgOf(l);
      EXPECT_TRUE(std::holds_alternative<std::monostate>(back->legacyLinkData()));
    }
  }
  // Horizontal and vertical lines with arrow heads stay straight lines.
  for (Point32 end : {Point32{90, 20}, Point32{10, 95}}) {
    Line_Ex l;
    l.SetPoints({10, 20}, end);
    l.SetArrow(2, 1);
    Harness h;
    Line_Ex* back = roundTrip<Line_Ex>(h, l);
    ASSERT_TRUE(back) << svgOf(l);
    l.SetNumber(back->GetNumber());
    EXPECT_TRUE(back->Equals(l, 0));
  }
}

TEST(ReaderShapes, PackLinesRoundTrip) {
  // Horizontal braces (wider than high) and vertical ones; the points come
  // back ordered by x (horizontal) or by y (vertical).
  struct Case {
    Point32 a, b;
  };
  for (Case c : {Case{{10, 20}, {110, 40}}, Case{{10, 40}, {110, 20}}, Case{{20, 10}, {40, 110}},
                 Case{{40, 10}, {20, 110}}, Case{{-50, -60}, {-10, 30}}}) {
    Matome m;
    m.SetPoints(c.a, c.b);
    m.SetWidth(3);
    m.SetColour(0x123456);
    Harness h;
    Matome* back = roundTrip<Matome>(h, m);
    ASSERT_TRUE(back) << svgOf(m);
    m.SetNumber(back->GetNumber());
    EXPECT_TRUE(back->Equals(m, 0)) << svgOf(m);
  }
  // A horizontal brace written from right to left comes back from left to
  // right.
  Matome m;
  m.SetPoints({110, 20}, {10, 40});
  Harness h;
  Matome* back = roundTrip<Matome>(h, m);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->point1(), (Point32{10, 20}));
  EXPECT_EQ(back->point2(), (Point32{110, 40}));
}

TEST(ReaderShapes, PolygonsAreNotWritten) {
  Polygon_Ex p;
  p.setPoints(std::vector<Point32>{{0, 0}, {10, 0}, {5, 8}});
  EXPECT_EQ(svgOf(p), "<svg>\n</svg>\n");
}

// --- reading rules and defaults ---------------------------------------------------

TEST(ReaderShapes, RectangleDefaults) {
  Harness h;
  h.colours.line = 0x111111;
  h.colours.fill = 0x222222;
  h.read("<svg><rect x=\"10.5\" y=\"20.5\" width=\"30\" height=\"40\"/></svg>");
  Rect_Ex* r = h.only<Rect_Ex>();
  ASSERT_TRUE(r);
  EXPECT_EQ(r->shape, RectShape_Rectangle);
  EXPECT_EQ(r->x, 10);
  EXPECT_EQ(r->y, 20);
  EXPECT_EQ(r->width, 30);
  EXPECT_EQ(r->height, 40);
  EXPECT_EQ(r->fillColour, kDefaultFill);
  EXPECT_EQ(r->strokeColour, Colour{0});
  EXPECT_EQ(r->strokeWidth, 1);
  EXPECT_EQ(r->opacity, 100);
  EXPECT_EQ(r->angle, 0);
  EXPECT_EQ(r->target, "_blank");
  EXPECT_GT(r->GetNumber(), 0);
  // The defaults went into the colour variables.
  EXPECT_EQ(h.colours.fill, kDefaultFill);
  EXPECT_EQ(h.colours.line, Colour{0});
}

TEST(ReaderShapes, RoundedOnlyWithRadiusOfOneOrMore) {
  Harness h;
  h.read("<svg><rect x=\"0\" rx=\"1\"/><rect x=\"0\" rx=\"0.9\"/><rect x=\"0\" rx=\"\"/>"
         "<rect x=\"0\"/></svg>");
  auto rs = h.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs[0]->shape, RectShape_RoundRect);
  EXPECT_EQ(rs[1]->shape, RectShape_Rectangle);
  EXPECT_EQ(rs[2]->shape, RectShape_Rectangle);
  EXPECT_EQ(rs[3]->shape, RectShape_Rectangle);
  // Missing sizes give the smallest box.
  EXPECT_EQ(rs[3]->width, 1);
  EXPECT_EQ(rs[3]->height, 1);
}

TEST(ReaderShapes, NumbersAreClamped) {
  Harness h;
  h.read("<svg><rect x=\"-99999999999\" y=\"5000000\" width=\"9999999999\" height=\"-7\""
         " style=\"stroke-width:-3\"/>"
         "<circle cx=\"10\" cy=\"10\" r=\"-5\"/>"
         "<circle cx=\"0\" cy=\"0\" r=\"99999999999\"/>"
         "<line x1=\"-99999999999\" y1=\"0\" x2=\"99999999999\" y2=\"0\""
         " style=\"stroke-width:99999999999\"/></svg>");
  ASSERT_EQ(h.figures.size(), 4u);
  auto rs = h.all<Rect_Ex>();
  EXPECT_EQ(rs[0]->x, -Figure_coordMax);
  EXPECT_EQ(rs[0]->y, Figure_coordMax);
  EXPECT_EQ(rs[0]->width, Figure_sizeMax);
  EXPECT_EQ(rs[0]->height, 1);
  EXPECT_EQ(rs[0]->strokeWidth, 0);
  // A negative radius is no radius.
  EXPECT_EQ(rs[1]->x, 10);
  EXPECT_EQ(rs[1]->width, 1);
  EXPECT_EQ(rs[2]->x, -Figure_coordMax);
  EXPECT_EQ(rs[2]->width, Figure_sizeMax);
  auto* l = h.all<Line_Ex>().at(0);
  EXPECT_EQ(l->point1().x, -Figure_coordMax);
  EXPECT_EQ(l->point2().x, Figure_coordMax);
  EXPECT_EQ(l->width(), Figure_sizeMax);
}

TEST(ReaderShapes, IdAndLinkDataOfRectangles) {
  Harness h;
  h.read("<svg><g id=\"grp\" pub=\"p1\"><a xlink:href=\"http://x/\" target=\"t\">"
         "<rect x=\"1\"/><rect id=\"own\" x=\"2\"/></a><rect x=\"3\"/></g><rect x=\"4\"/></svg>");
  auto rs = h.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 4u);
  EXPECT_EQ(rs[0]->id, "grp");
  EXPECT_EQ(rs[0]->url, "http://x/");
  EXPECT_EQ(rs[0]->target, "t");
  // The publication list is used up by the first figure that takes it.
  EXPECT_EQ(rs[0]->pub, "p1");
  EXPECT_EQ(rs[1]->id, "own");
  EXPECT_EQ(rs[1]->pub, "");
  EXPECT_EQ(rs[1]->url, "http://x/");
  // Behind </a>: no link, the group's id still.
  EXPECT_EQ(rs[2]->id, "grp");
  EXPECT_EQ(rs[2]->url, "");
  EXPECT_EQ(rs[2]->target, "_blank");
  EXPECT_EQ(rs[3]->id, "");
}

TEST(ReaderShapes, CircleAndEllipseGeometry) {
  Harness h;
  h.read("<svg><circle cx=\"50.5\" cy=\"60.5\" r=\"20\" transform=\"rotate(15,50,60)\"/>"
         "<ellipse cx=\"50.5\" cy=\"60.5\" rx=\"20\" ry=\"10\"/></svg>");
  auto rs = h.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 2u);
  EXPECT_EQ(rs[0]->shape, RectShape_Ellipse);
  EXPECT_EQ((Rect32{rs[0]->x, rs[0]->y, rs[0]->width, rs[0]->height}), (Rect32{30, 40, 41, 41}));
  EXPECT_EQ(rs[0]->angle, 15);
  EXPECT_EQ((Rect32{rs[1]->x, rs[1]->y, rs[1]->width, rs[1]->height}), (Rect32{30, 50, 41, 21}));
  EXPECT_EQ(rs[1]->fillColour, kDefaultFill);
}

TEST(ReaderShapes, PolygonKinds) {
  Harness h;
  h.read("<svg>"
         // A diamond: top, right, bottom, left.
         "<polygon points=\"25.5,20.5 40.5,40.5 25.5,60.5 10.5,40.5\"/>"
         // The same diamond listed the other way round.
         "<polygon points=\"25,20 10,40 25,60 40,40\"/>"
         // A parallelogram.
         "<polygon points=\"20,20 50,20 30,60 0,60\"/>"
         // Four points of neither kind, and five points.
         "<polygon points=\"0,0 10,0 10,10 0,12\" transform=\"rotate(5)\"/>"
         "<polygon points=\"0,0 1,1 2,2 3,3 4,4\"/>"
         "<polygon points=\"0,0 10,0 5,8\"/>"
         "<polygon points=\"\"/></svg>");
  ASSERT_EQ(h.figures.size(), 6u);
  auto rs = h.all<Rect_Ex>();
  ASSERT_EQ(rs.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(rs[i]->shape, RectShape_Diamond);
    EXPECT_EQ((Rect32{rs[i]->x, rs[i]->y, rs[i]->width, rs[i]->height}), (Rect32{10, 20, 30, 40}));
  }
  EXPECT_EQ(rs[2]->shape, RectShape_Parallelogram);
  EXPECT_EQ((Rect32{rs[2]->x, rs[2]->y, rs[2]->width, rs[2]->height}), (Rect32{10, 20, 30, 40}));
  auto ps = h.all<Polygon_Ex>();
  ASSERT_EQ(ps.size(), 3u);
  EXPECT_EQ(ps[0]->points(), (std::vector<Point32>{{0, 0}, {10, 0}, {10, 10}, {0, 12}}));
  EXPECT_EQ(ps[0]->angle(), 5);
  EXPECT_EQ(ps[0]->shape(), PolygonShape_Polygon);
  EXPECT_EQ(ps[1]->points(), (std::vector<Point32>{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
  EXPECT_EQ(ps[2]->points().size(), 3u);
}

TEST(ReaderShapes, PolygonTakesStyleAndLink) {
  Harness h;
  h.read("<svg><a xlink:href=\"http://x/\" target=\"w\" "
         "onclick=\"parent.window.opener='a'; parent.window.close();\">"
         "<polygon id=\"pg\" points=\"0,0 10,0 5,8\" "
         "style=\"fill:rgb(1,2,3);stroke:rgb(4,5,6);stroke-width:3;fill-opacity:0.29\"/>"
         "</a></svg>");
  auto* p = h.only<Polygon_Ex>();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->GetId(), "pg");
  EXPECT_EQ(p->GetUrl(), "http://x/");
  EXPECT_EQ(p->GetTarget(), "w");
  EXPECT_EQ(p->afterOpen(), 1);
  EXPECT_EQ(p->fillColour(), Colour{0x030201});
  EXPECT_EQ(p->colour(), Colour{0x060504});
  EXPECT_EQ(p->width(), 3);
  EXPECT_EQ(p->opacity(), 29);
}

TEST(ReaderShapes, ColourVariablesCarryOver) {
  Harness h;
  h.read("<svg>"
         "<rect x=\"0\" style=\"fill:rgb(1,2,3);stroke:rgb(4,5,6)\"/>"
         // A diamond has a default fill but no default stroke.
         "<polygon points=\"25,20 40,40 25,60 10,40\"/>"
         // A parallelogram and other polygons have no default colour.
         "<polygon points=\"20,20 50,20 30,60 0,60\"/>"
         "<polygon points=\"0,0 10,0 5,8\"/>"
         // "none" leaves a variable; a missing stroke of a rectangle is black.
         "<rect x=\"0\" style=\"fill:none\"/>"
         "<image x=\"0\" xlink:href=\"a.png\"/>"
         "<line x1=\"0\" style=\"stroke:rgb(7,8,9)\"/>"
         "<path subtype=\"matome\" d=\"M10.5,40.5 A10,10 0 0,1 20.5,30.5 L50.5,30.5 A10,10, 0 0,0, "
         "60.5,20.5 A10,10, 0 0,0, 70.5,30.5 L100.5,30.5 A10,10, 0 0,1, 110.5,40.5\"/>"
         "<polygon points=\"0,0 10,0 5,8\" style=\"stroke:#abc;fill:#102030\"/>"
         "<line x1=\"0\"/>"
         "</svg>");
  ASSERT_EQ(h.figures.size(), 10u);
  auto* r0 = dynamic_cast<Rect_Ex*>(&h.figures.at(0));
  auto* diamond = dynamic_cast<Rect_Ex*>(&h.figures.at(1));
  auto* para = dynamic_cast<Rect_Ex*>(&h.figures.at(2));
  auto* poly = dynamic_cast<Polygon_Ex*>(&h.figures.at(3));
  auto* r4 = dynamic_cast<Rect_Ex*>(&h.figures.at(4));
  auto* image = dynamic_cast<Rect_Ex*>(&h.figures.at(5));
  auto* line = dynamic_cast<Line_Ex*>(&h.figures.at(6));
  auto* brace = dynamic_cast<Matome*>(&h.figures.at(7));
  auto* poly2 = dynamic_cast<Polygon_Ex*>(&h.figures.at(8));
  auto* line2 = dynamic_cast<Line_Ex*>(&h.figures.at(9));
  ASSERT_TRUE(r0 && diamond && para && poly && r4 && image && line && brace && poly2 && line2);
  EXPECT_EQ(r0->fillColour, Colour{0x030201});
  EXPECT_EQ(r0->strokeColour, Colour{0x060504});
  EXPECT_EQ(diamond->fillColour, kDefaultFill);
  EXPECT_EQ(diamond->strokeColour, Colour{0x060504});
  EXPECT_EQ(para->fillColour, kDefaultFill);
  EXPECT_EQ(para->strokeColour, Colour{0x060504});
  EXPECT_EQ(poly->fillColour(), kDefaultFill);
  EXPECT_EQ(poly->colour(), Colour{0x060504});
  EXPECT_EQ(r4->fillColour, kDefaultFill);
  EXPECT_EQ(r4->strokeColour, Colour{0});
  EXPECT_EQ(image->fillColour, kDefaultFill);
  EXPECT_EQ(image->strokeColour, Colour{0});
  EXPECT_EQ(image->strokeWidth, 1);
  EXPECT_EQ(line->colour(), Colour{0x090807});
  EXPECT_EQ(brace->colour(), Colour{0x090807});
  EXPECT_EQ(poly2->colour(), Colour{0xCCBBAA});
  EXPECT_EQ(poly2->fillColour(), Colour{0x302010});
  // A line without stroke is black.
  EXPECT_EQ(line2->colour(), Colour{0});
  EXPECT_EQ(h.colours.line, Colour{0});
  EXPECT_EQ(h.colours.fill, Colour{0x302010});
}

TEST(ReaderShapes, InitialColourVariables) {
  ReaderColours c;
  EXPECT_EQ(c.line, Colour{0x000000});
  EXPECT_EQ(c.fill, Colour{0xF0F0F0});
  Harness h;
  h.read("<svg><polygon points=\"0,0 10,0 5,8\"/></svg>");
  auto* p = h.only<Polygon_Ex>();
  ASSERT_TRUE(p);
  EXPECT_EQ(p->fillColour(), Colour{0xF0F0F0});
  EXPECT_EQ(p->colour(), Colour{0});
}

TEST(ReaderShapes, LineRules) {
  Harness h;
  h.read("<svg>"
         "<line class=\"page_bound\" x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\"/>"
         "<line x1=\"1.5\" y1=\"2.5\" x2=\"3.5\" y2=\"4.5\" "
         "style=\"stroke:rgb(1,1,1);stroke-width:4;stroke-dasharray:1\" zerbin-layout-line=\"0\" "
         "zerbin-arrow1=\"3\" zerbin-arrow2=\"9\" zerbin-lnk1=\"#Box1\" zerbin-lnk2=\"box2\"/>"
         "<line x1=\"1\"/>"
         "</svg>");
  auto ls = h.all<Line_Ex>();
  ASSERT_EQ(ls.size(), 2u);
  const Line_Ex& l = *ls[0];
  EXPECT_EQ(l.point1(), (Point32{1, 2}));
  EXPECT_EQ(l.point2(), (Point32{3, 4}));
  EXPECT_EQ(l.colour(), Colour{0x010101});
  EXPECT_EQ(l.width(), 4);
  EXPECT_TRUE(l.dashed());
  EXPECT_TRUE(l.layoutLine());
  EXPECT_EQ(l.arrow(1), 3);
  EXPECT_EQ(l.arrow(2), 0);  // not an end shape
  EXPECT_EQ(l.RawEndTargetNumber(1), -2);
  EXPECT_EQ(l.PendingTargetId(1), "Box1");
  EXPECT_EQ(l.RawEndTargetNumber(2), -2);
  EXPECT_EQ(l.PendingTargetId(2), "box2");
  const Line_Ex& d = *ls[1];
  EXPECT_EQ(d.point1(), (Point32{1, 0}));
  EXPECT_EQ(d.point2(), (Point32{0, 0}));
  EXPECT_EQ(d.width(), 1);
  EXPECT_FALSE(d.dashed());
  EXPECT_FALSE(d.layoutLine());
  EXPECT_EQ(d.RawEndTargetNumber(1), 0);
}

TEST(ReaderShapes, LineEndDataOfOlderNotes) {
  for (int32_t version : {200, 300}) {
    Harness h;
    h.formatVersion = version;
    h.read("<svg><line x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\" zerbin-arrow1=\"2\" "
           "p1=\"5,6,3,1\" p2=\"50,60,4,0\"/><line x1=\"0\" zerbin-arrow2=\"2\"/></svg>");
    auto ls = h.all<Line_Ex>();
    ASSERT_EQ(ls.size(), 2u);
    const Line_Ex& l = *ls[0];
    EXPECT_EQ(l.point1(), (Point32{5, 6}));
    EXPECT_EQ(l.point2(), (Point32{50, 60}));
    EXPECT_TRUE(l.IsLegacyAttached(1));
    EXPECT_FALSE(l.IsLegacyAttached(2));
    EXPECT_EQ(l.RawEndTargetNumber(2), 0);
    EXPECT_TRUE(std::holds_alternative<Line_Ex::LegacyMarker>(l.legacyLinkData()));
    EXPECT_EQ(l.arrow(2), 4);
    // zerbin-arrow belongs to the current format only.
    EXPECT_EQ(l.arrow(1), version >= 300 ? 2 : 3);
    EXPECT_EQ(ls[1]->arrow(2), version >= 300 ? 2 : 0);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(ls[1]->legacyLinkData()));
  }
}

TEST(ReaderShapes, PackLineRules) {
  Harness h;
  const std::string d =
      "M10.5,40.5 A10,10 0 0,1 20.5,30.5 L50.5,30.5 A10,10, 0 0,0, 60.5,20.5 A10,10, 0 0,0, "
      "70.5,30.5 L100.5,30.5 A10,10, 0 0,1, 110.5,40.5";
  h.read("<svg><path subtype=\"matome\" d=\"" + d + "\" style=\"stroke-width:2\"/>" +
         "<path d=\"" + d + "\"/><path subtype=\"other\" d=\"" + d + "\"/>" +
         "<path subtype=\"matome\" d=\"M10.5,40.5 A10,10 0 0,1 20.5,30.5\"/></svg>");
  auto* m = h.only<Matome>();
  ASSERT_TRUE(m);
  EXPECT_EQ(m->point1(), (Point32{10, 20}));
  EXPECT_EQ(m->point2(), (Point32{110, 40}));
  EXPECT_EQ(m->width(), 2);
}

TEST(ReaderShapes, UnknownElementsMakeNothing) {
  Harness h;
  h.read("<svg><polyline points=\"0,0 1,1\"/><foo x=\"1\"/><Rect x=\"1\"/></svg>");
  EXPECT_EQ(h.figures.size(), 0u);
}

TEST(ReaderShapes, FigureNumbersAreNew) {
  Harness h;
  h.counters.raiseFigureNumberAbove(40);
  h.read("<svg><rect x=\"0\"/><line x1=\"0\"/></svg>");
  ASSERT_EQ(h.figures.size(), 2u);
  EXPECT_EQ(h.figures.at(0).GetNumber(), 41);
  EXPECT_EQ(h.figures.at(1).GetNumber(), 42);
}

TEST(ReaderShapes, MissingRequiredAttributes) {
  Harness h;
  h.notePath = "/notes/n.svg";
  Errors_Msg e = CatchError([&] { h.read("<svg>\n  <rect y=\"1\"/></svg>"); });
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()),
            Sjis(u8"Zerbin ではサポートされていない SVG の要素があるため、開けません。 "
                 u8"もしくは、ファイルが壊れた可能性があります。バックアップがあれば復活させてください"
                 u8"\r\nfile = /notes/n.svg\r\nline = 2\r\ncolumn = 3\r\nmessage = <rect> x がない"));
  for (const char* tag : {"<circle cy=\"1\"/>", "<ellipse cy=\"1\"/>", "<line y1=\"1\"/>",
                          "<image y=\"1\" xlink:href=\"a.png\"/>"}) {
    Harness h2;
    h2.japanese = false;
    e = CatchError([&] { h2.read(std::string("<svg>") + tag + "</svg>"); });
    EXPECT_EQ(e.code, CZerbinApp_Err_Format) << tag;
    EXPECT_STREQ(e.message(),
                 "File can not open, because there is the element not supported by Zerbin.");
  }
  Harness h3;
  h3.japanese = false;
  e = CatchError([&] { h3.read("<svg><image x=\"1\"/></svg>"); });
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()),
            "File can not open, because there is the element not supported by Zerbin."
            "\r\nfile = /notes/a.svg\r\nline = 1\r\ncolumn = 6\r\nmessage = " +
                Sjis(u8"<image> xlink:href タグがない"));
}
