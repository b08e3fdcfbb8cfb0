#include "figures/base/page_prepare.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "figures/base/figure_list.h"
#include "figures/base/svg_write_context.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/text/text_box.h"
#include "support/fixed_metrics.h"

namespace {

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

}  // namespace

TEST(PagePrepare, LaysOutBoxesSoThatAttachedEndsFollow) {
  FigureList list;
  auto box = std::make_unique<Text_Box>();  // no metrics of its own
  box->SetNumber(1);
  box->SetId("box1");
  box->SetBasePoint(100, 100);
  box->Layout(metrics(), DrawContext{});  // "abc": frame 92..132 x 86..107
  Text_Box& b = static_cast<Text_Box&>(list.append(std::move(box)));
  auto ln = std::make_unique<Line_Ex>();
  ln->SetNumber(2);
  ln->SetPoints({300, 96}, {112, 96});
  Line_Ex& l = static_cast<Line_Ex&>(list.append(std::move(ln)));
  b.AttachEnd(0, l, 2);
  auto corner = std::make_unique<Line_Corner>();
  corner->SetNumber(3);
  corner->setEnd(1, 300, 95);
  corner->setEnd(2, 110, 95);
  corner->setThrough(205, 95);
  Line_Corner& c = static_cast<Line_Corner&>(list.append(std::move(corner)));
  b.AttachEnd(0, c, 2);
  list.append(std::make_unique<Matome>());
  auto fresh = std::make_unique<Text_Box>();
  fresh->SetId("pagenum");
  fresh->frameShape = TextBoxFrame_None;
  fresh->SetText("0");
  Text_Box& p = static_cast<Text_Box&>(list.append(std::move(fresh)));

  // The text grows after the last layout: the frame is stale until the page
  // is laid out again.
  b.SetText("abcdefgh");
  EXPECT_EQ(b.FrameBounds().right, 132);
  EXPECT_EQ(c.VisibleEnd(2).point, (Point32{132, 95}));
  EXPECT_FALSE(p.HasLayout());

  DrawContext ctx;
  ctx.pageNumber = 12345;
  FigureList_prepareForWrite(list, metrics(), ctx);
  EXPECT_EQ(b.FrameBounds(), (TextBoxFrameBounds{92, 86, 172, 107}));
  ASSERT_TRUE(p.HasLayout());
  ASSERT_EQ(p.lines().size(), 1u);
  EXPECT_EQ(p.lines()[0].text, "12345");
  EXPECT_EQ(p.textWidth, 40);

  // The line's end and the connector's end shape now sit on the new frame.
  SvgWriteContext out;
  l.WriteSvg(out);
  EXPECT_EQ(out.out,
            "\t<line x1=\"300.5\" y1=\"96.5\" x2=\"172.5\" y2=\"96.5\"\n"
            "\t\tstyle=\"fill:none;stroke:rgb(0,0,0);stroke-width:1;stroke-linecap:round\"\n"
            "\t\t zerbin-lnk2=\"#box1\"/>\n");
  EXPECT_EQ(c.VisibleEnd(2).point, (Point32{172, 95}));
}
