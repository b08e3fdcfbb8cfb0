#include <gtest/gtest.h>

#include <functional>

#include "figures/base/snapshot.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "text_box_fixture.h"

using namespace text_box_test;

namespace {

// A box whose every persistent field differs from the defaults.
void fillAll(Text_Box& b) {
  b.SetNumber(42);
  b.SetLocked(true);
  b.SetText("表示\r\nソ");
  b.SetBasePoint(-5, 7);
  b.SetId("i");
  b.AssignUrl("u.svg");
  b.SetTarget("_blank");
  b.SetProperty(5, "pub", "");
  b.ApplyLinkColours(true);
  b.afterClick = 2;
  b.widthExtra = 3;
  b.lineSpacing = 19;
  b.angle = 33;
  b.textColour = 0x123456;
  b.fontFace = "ＭＳ 明朝";
  b.fontSize = 15;
  b.bold = b.italic = b.vertical = true;
  b.alignment = 2;
  b.placeholder = false;
  b.frameShape = 5;
  b.marginX = 11;
  b.marginY = 12;
  b.frameWidth = 4;
  b.frameColour = 0x010203;
  b.fillColour = 0x040506;
  b.opacity = 40;
  b.tabOrder = 9;
  b.className = "cls";
  b.SetProperty(30, "mode=a", "");
  b.filterText = "f";
  b.SetProperty(29, "2030/01/02-03:04:05", "");
  b.SetTextMetrics(&metrics());
  layOut(b);
}

}  // namespace

TEST(TextBoxCopy, CloneSnapshotAndEqualsCoverEveryField) {
  Text_Box src;
  fillAll(src);
  ASSERT_TRUE(src.alarmSet);

  std::unique_ptr<CadPrim> clone = src.Clone(nullptr);
  auto& c = static_cast<Text_Box&>(*clone);
  EXPECT_TRUE(c.Equals(src, 5));
  EXPECT_EQ(c.GetNumber(), 42);
  EXPECT_EQ(c.tabOrder, 9);  // copied (undo must see tab-order changes)
  EXPECT_EQ(c.alarmTime, src.alarmTime);
  EXPECT_EQ(c.FrameBounds(), src.FrameBounds());
  EXPECT_EQ(c.layoutFlags, src.layoutFlags);

  Text_Box r;
  Snapshot_restore(r, Snapshot_make(src));
  EXPECT_TRUE(r.Equals(src, 5));
  EXPECT_EQ(r.GetNumber(), 42);
  EXPECT_TRUE(r.IsLocked());
  EXPECT_EQ(r.textWidth, src.textWidth);
  EXPECT_EQ(r.lineHeight16, src.lineHeight16);
  EXPECT_EQ(r.bounds, src.bounds);
  EXPECT_EQ(r.condition, src.condition);
  EXPECT_EQ(r.GetPub(), "pub");
  EXPECT_FALSE(r.placeholder);

  // Each persistent field on its own makes the boxes differ.
  const std::vector<std::function<void(Text_Box&)>> changes = {
      [](Text_Box& b) { b.SetLocked(false); },
      [](Text_Box& b) { b.SetText("x"); },
      [](Text_Box& b) { b.SetId("j"); },
      [](Text_Box& b) { b.AssignUrl("v"); },
      [](Text_Box& b) { b.SetTarget("t"); },
      [](Text_Box& b) { b.SetProperty(5, "q", ""); },
      [](Text_Box& b) { b.ApplyLinkColours(false); },
      [](Text_Box& b) { b.afterClick = 1; },
      [](Text_Box& b) { b.SetBasePoint(0, 7); },
      [](Text_Box& b) { b.SetBasePoint(-5, 0); },
      [](Text_Box& b) { b.widthExtra = 0; },
      [](Text_Box& b) { b.lineSpacing = 1; },
      [](Text_Box& b) { b.angle = 0; },
      [](Text_Box& b) { b.textColour = 0; },
      [](Text_Box& b) { b.fontFace = "Arial"; },
      [](Text_Box& b) { b.fontSize = 1; },
      [](Text_Box& b) { b.bold = false; },
      [](Text_Box& b) { b.italic = false; },
      [](Text_Box& b) { b.alignment = 0; },
      [](Text_Box& b) { b.vertical = false; },
      [](Text_Box& b) { b.frameShape = 1; },
      [](Text_Box& b) { b.marginX = 0; },
      [](Text_Box& b) { b.marginY = 0; },
      [](Text_Box& b) { b.frameWidth = 1; },
      [](Text_Box& b) { b.frameColour = 0; },
      [](Text_Box& b) { b.fillColour = 0; },
      [](Text_Box& b) { b.opacity = 100; },
      [](Text_Box& b) { b.tabOrder = 0; },
      [](Text_Box& b) { b.className = ""; },
      [](Text_Box& b) { b.SetProperty(30, "mode=b", ""); },
      [](Text_Box& b) { b.filterText = ""; },
      [](Text_Box& b) { b.alarmSet = false; },
      [](Text_Box& b) { b.alarmTime += 1; },
  };
  for (size_t i = 0; i < changes.size(); ++i) {
    SCOPED_TRACE(i);
    Text_Box d;
    fillAll(d);
    ASSERT_TRUE(d.Equals(src, 5));
    changes[i](d);
    EXPECT_FALSE(d.Equals(src, 0));
    // ... and the change survives a snapshot.
    Text_Box s;
    Snapshot_restore(s, Snapshot_make(d));
    EXPECT_TRUE(s.Equals(d, 5));
  }
  // The figure number is not compared.
  {
    Text_Box d;
    fillAll(d);
    d.SetNumber(7);
    EXPECT_TRUE(d.Equals(src, 5));
  }
}

TEST(TextBoxCopy, MalformedSnapshotsRaise) {
  Text_Box b;
  std::vector<uint8_t> snap = Snapshot_make(b);
  snap.pop_back();
  Text_Box r;
  EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(r, snap); }).code,
            Errors_Unofficial);
  std::vector<uint8_t> wrong = Snapshot_make(b);
  wrong[0] = 2;  // another kind
  EXPECT_EQ(testing_support::CatchError([&] { Snapshot_restore(r, wrong); }).code,
            Errors_Unofficial);
}
