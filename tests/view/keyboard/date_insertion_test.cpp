// The date and time put into the text edited in place: the template's
// format or "%c", at most 63 bytes without splitting a double-byte
// character, replacing the editor's selection.
#include "view/keyboard/date_insertion.h"

#include <gtest/gtest.h>

#include "figures/editor/text_editor.h"
#include "support/fixed_metrics.h"

namespace {

std::tm at(int y, int mo, int d, int h, int mi, int s) {
  std::tm t{};
  t.tm_year = y - 1900;
  t.tm_mon = mo - 1;
  t.tm_mday = d;
  t.tm_hour = h;
  t.tm_min = mi;
  t.tm_sec = s;
  std::mktime(&t);  // fills the weekday
  return t;
}

}  // namespace

TEST(DateInsertion, FormatsWithTheTemplateOrPercentCAndCutsAtACharacterBoundary) {
  const std::tm t = at(2026, 12, 10, 1, 3, 4);
  EXPECT_EQ("2026/12/10", DateInsertion_format("%Y/%m/%d", t));
  EXPECT_EQ("Thu Dec 10 01:03:04 2026", DateInsertion_format("", t));
  EXPECT_EQ("2026年12月10日", DateInsertion_format("%Y年%m月%d日", t));
  // 40 double-byte characters (80 bytes): 31 of them fit in 63 bytes.
  std::string wide;
  for (int i = 0; i < 40; ++i) wide += "日";
  const std::string cut = DateInsertion_format(wide, t);
  EXPECT_EQ(62u, cut.size());
  EXPECT_EQ(wide.substr(0, 62), cut);
  // A long format of single bytes ends at 63.
  EXPECT_EQ(std::string(63, 'x'), DateInsertion_format(std::string(100, 'x'), t));
}

TEST(DateInsertion, ReplacesTheEditorsSelectionAndLeavesTheCaretBehindIt) {
  static const FixedMetrics metrics;
  Text_Box box;
  box.SetTextMetrics(&metrics);
  box.SetBasePoint(100, 100);
  box.SetText("abcdef");
  box.Layout(metrics, DrawContext{});
  Text_Editor ed;
  ed.BeginEdit(box, false);
  ed.Select(1, 3);
  DateInsertion_insert(ed, "%Y-%m-%d", at(2026, 1, 2, 3, 4, 5));
  EXPECT_EQ("a2026-01-02def", ed.text());
  EXPECT_EQ(11, ed.caret());
}
