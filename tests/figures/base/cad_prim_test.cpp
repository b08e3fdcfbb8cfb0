#include "figures/base/app_counters.h"
#include "figures/base/cad_prim.h"

#include <gtest/gtest.h>

#include "figures/base/figure_list.h"
#include "support/test_support.h"
#include "test_kinds.h"

using test_kinds::TestBox;
using test_kinds::TestLine;

TEST(CadPrim, HeaderAccessorsAndBaseDefaults) {
  TestBox b(Rect32{10, 20, 30, 40});
  EXPECT_EQ(0, b.GetNumber());
  b.SetNumber(77);
  EXPECT_EQ(77, b.GetNumber());
  EXPECT_FALSE(b.IsSelected());
  b.SetSelected(true);
  EXPECT_TRUE(b.IsSelected());
  b.SetMoveMark(true);
  EXPECT_TRUE(b.HasMoveMark());
  b.SetIsCopy(true);
  EXPECT_TRUE(b.header().isCopy);
  EXPECT_EQ((FigureHeader{77, true, true, true, false}), b.header());

  EXPECT_EQ("", b.GetUrl());
  EXPECT_EQ("", b.GetId());
  EXPECT_EQ(0, b.GetAfterClick());
  EXPECT_TRUE(b.KeepInSelection());
  EXPECT_FALSE(b.HasMultibyteText());
  std::string area;
  EXPECT_FALSE(b.WriteImageMapArea(area, 100, ""));
  EXPECT_EQ("テキスト", b.GetKindNameJapanese());
  EXPECT_EQ("Text", b.GetKindNameEnglish());
  EXPECT_EQ(PropertyRowKind_ReadOnly, b.GetProperty(5, true, 256, "").kind);
}

TEST(CadPrim, BoundsFromEdgesAndBadSelectorsRaise102) {
  TestBox b(Rect32{10, 20, 30, 40});
  EXPECT_EQ((Rect32{10, 20, 30, 40}), b.GetBounds());
  TestLine l({50, 9}, {5, 60});
  EXPECT_EQ((Rect32{5, 9, 45, 51}), l.GetBounds());

  int32_t got = -5;
  Errors_Msg e = testing_support::CatchError([&] { got = b.GetEdge(8); });
  EXPECT_EQ(Errors_Unofficial, e.code);
  EXPECT_STREQ("error", e.message());
  EXPECT_EQ(-5, got);  // no value reached the caller
  EXPECT_EQ(102, testing_support::CatchError([&] { b.GetEdge(-1); }).code);
  EXPECT_EQ(102, testing_support::CatchError([&] { b.SetEdge(6, 0); }).code);
  EXPECT_EQ(0, testing_support::CatchError([&] { b.SetEdge(5, 100); }).code);
  EXPECT_EQ(100, b.GetEdge(5));
  EXPECT_EQ((Rect32{10, 80, 30, 40}), b.GetBounds());  // moved, not resized
}

TEST(CadPrim, LinkOperationsOfKindsWithoutLinksRaise102) {
  TestBox box;
  TestLine line;
  // The test line implements no end slots: the base operations raise.
  EXPECT_EQ(102, testing_support::CatchError([&] { line.AttachEnd(1, line, 1); }).code);
  EXPECT_EQ(102, testing_support::CatchError([&] { line.DetachEnd(line, 1, true); }).code);
  EXPECT_EQ(102, testing_support::CatchError([&] { box.SetEndTarget(1, line); }).code);
  EXPECT_EQ(102, testing_support::CatchError([&] { box.ClearEndTarget(1, line); }).code);
  // A box is no line: its ends cannot be attached.
  TestBox other;
  EXPECT_EQ(102, testing_support::CatchError([&] { box.AttachEnd(0, box, 1); }).code);
  EXPECT_EQ(102, testing_support::CatchError([&] { box.AttachEnd(0, line, 3); }).code);
  EXPECT_EQ(0u, box.nodes.size());
}

TEST(FigureKind, CodesAndNames) {
  EXPECT_STREQ("キャンバス", FigureKind_nameJapanese(FigureKind_Canvas));
  EXPECT_STREQ("折れ線", FigureKind_nameJapanese(5));
  EXPECT_STREQ("Cornered Line", FigureKind_nameEnglish(5));
  EXPECT_STREQ("Pack Line", FigureKind_nameEnglish(6));
  EXPECT_STREQ("図形", FigureKind_nameJapanese(8));
  EXPECT_STREQ("", FigureKind_nameEnglish(3));
  EXPECT_STREQ("SVG Element", FigureKind_nameEnglish(9));
  for (int k : {0, 3, 7, 10, -1}) EXPECT_FALSE(FigureKind_isValid(k)) << k;
  for (int k : {-2, 1, 2, 4, 5, 6, 8, 9}) EXPECT_TRUE(FigureKind_isValid(k)) << k;
}

TEST(PropertyRow, Builders) {
  EXPECT_EQ("rgb(1,2,3)", PropertyRow_colour("c", 0x030201).value);
  PropertyRow r = PropertyRow_integer("w", -7, 1);
  EXPECT_EQ("-7", r.value);
  EXPECT_EQ(PropertyRowKind_Integer, r.kind);
  EXPECT_EQ(1, r.extra.minimum);
  EXPECT_EQ(INT32_MAX, r.extra.maximum);
  EXPECT_EQ("1", PropertyRow_onOff("b", true).value);
  EXPECT_EQ(2u, PropertyRow_choice("c", 1, {"a", "b"}).extra.choices.size());
}

TEST(AppCounters, NumbersStopAtTheTopInsteadOfOverflowing) {
  AppCounters c;
  c.raiseFigureNumberAbove(INT32_MAX - 1);
  EXPECT_EQ(c.nextFigureNumber(), INT32_MAX);
  EXPECT_EQ(c.nextFigureNumber(), INT32_MAX);
  c.raiseFigureNumberAbove(INT32_MAX);
  EXPECT_EQ(c.peekFigureNumber(), INT32_MAX);
}
