#include <gtest/gtest.h>

#include "figures/text/text_box.h"
#include "text_box_fixture.h"

using namespace text_box_test;

TEST(TextBoxProps, NamesAndKindsOfEveryRow) {
  struct Row {
    const char* ja;
    const char* en;
    PropertyRowKind kind;
  };
  const Row rows[32] = {
      {"テキスト", "Text", PropertyRowKind_MultiLine},
      {"class", "class", PropertyRowKind_ClassName},
      {"id", "id", PropertyRowKind_Id},
      {"URL/onclick", "URL/onclick", PropertyRowKind_Url},
      {"target", "target", PropertyRowKind_TargetWindow},
      {"pub", "pub", PropertyRowKind_Text},
      {"ファイル", "ファイル", PropertyRowKind_ReadOnly},
      {"クリック後", "After Click", PropertyRowKind_Choice},
      {"固定", "固定", PropertyRowKind_OnOff},
      {"Tab Order", "Tab Order", PropertyRowKind_Integer},
      {"枠の形状", "Shape of Frame", PropertyRowKind_Choice},
      {"x (横基準点)", "x (Base Point)", PropertyRowKind_Integer},
      {"y (縦基準点)", "y (Base Point)", PropertyRowKind_Integer},
      {"幅の誤差", "Difference of width", PropertyRowKind_Integer},
      {"行間", "Between of Line", PropertyRowKind_Integer},
      {"基準点位置", "Base Position", PropertyRowKind_Choice},
      {"角度", "Angle", PropertyRowKind_Integer},
      {"テキストの色", "Text Color", PropertyRowKind_Colour},
      {"フォント", "Font", PropertyRowKind_Font},
      {"サイズ", "Size", PropertyRowKind_Integer},
      {"太字", "Bold", PropertyRowKind_OnOff},
      {"斜体", "Itaric", PropertyRowKind_OnOff},
      {"方向", "Direction", PropertyRowKind_Choice},
      {"横マージン", "Horizontal Mergin", PropertyRowKind_Integer},
      {"縦マージン", "Vertical Mergin", PropertyRowKind_Integer},
      {"塗りつぶし色", "Fill Color", PropertyRowKind_Colour},
      {"濃さ（非透過％）", "Transparent %", PropertyRowKind_Integer},
      {"枠の色", "Frame Color", PropertyRowKind_Colour},
      {"枠の幅", "Frame Width", PropertyRowKind_Integer},
      {"アラーム", "Alarm", PropertyRowKind_ReadOnly},
      {"条件式", "条件式", PropertyRowKind_Text},
      {"フィルタ変数", "フィルタ変数", PropertyRowKind_Text},
  };
  Text_Box b;
  ASSERT_EQ(b.GetPropertyCount(), 32);
  for (int32_t i = 0; i < 32; ++i) {
    SCOPED_TRACE(i);
    const PropertyRow ja = b.GetProperty(i, true, 4096, "");
    const PropertyRow en = b.GetProperty(i, false, 4096, "");
    EXPECT_EQ(ja.name, rows[i].ja);
    EXPECT_EQ(en.name, rows[i].en);
    EXPECT_EQ(ja.kind, rows[i].kind);
    EXPECT_EQ(en.kind, rows[i].kind);
  }
  EXPECT_EQ(b.GetProperty(32, true, 4096, "").kind, PropertyRowKind_ReadOnly);
  // Extra data.
  EXPECT_EQ(b.GetProperty(9, true, 99, "").extra.minimum, 0);
  EXPECT_EQ(b.GetProperty(11, true, 99, "").extra.minimum, INT32_MIN);
  EXPECT_EQ(b.GetProperty(14, true, 99, "").extra.minimum, 1);
  EXPECT_EQ(b.GetProperty(19, true, 99, "").extra.minimum, 1);
  EXPECT_EQ(b.GetProperty(23, true, 99, "").extra.minimum, 0);
  EXPECT_EQ(b.GetProperty(26, true, 99, "").extra.maximum, 100);
  EXPECT_EQ(b.GetProperty(28, true, 99, "").extra.maximum, INT32_MAX);
  EXPECT_EQ(b.GetProperty(3, true, 99, "").extra.filter, "すべてのファイル (*.*)|*.*||");
  EXPECT_EQ(b.GetProperty(3, false, 99, "").extra.filter, "All Files (*.*)|*.*||");
  EXPECT_EQ(b.GetProperty(10, true, 99, "").extra.choices,
            (std::vector<std::string>{"　 枠なし", "□ 矩形、長方形", "ロ 丸矩形", "○ 円、楕円",
                                      "◇ ひし形", "// 平行四辺形"}));
  EXPECT_EQ(b.GetProperty(10, false, 99, "").extra.choices[3], "Circle, Ellipse");
  EXPECT_EQ(b.GetProperty(7, false, 99, "").extra.choices,
            (std::vector<std::string>{"Do Nothing", "Close", "Viewer Mode", "Viewer & Close"}));
  EXPECT_EQ(b.GetProperty(15, true, 99, "").extra.choices,
            (std::vector<std::string>{"左端", "中央", "右端"}));
  EXPECT_EQ(b.GetProperty(22, false, 99, "").extra.choices,
            (std::vector<std::string>{"Horizontal", "Vertical"}));
  EXPECT_EQ(b.GetProperty(29, true, 99, "").value, "開発中");
  b.vertical = true;
  EXPECT_EQ(b.GetProperty(15, false, 99, "").extra.choices,
            (std::vector<std::string>{"Top", "Center", "Bottom"}));
  b.marginX = 8;
  b.marginY = 2;
  EXPECT_EQ(b.GetProperty(23, true, 99, "").value, "2");  // exchanged
  EXPECT_EQ(b.GetProperty(24, true, 99, "").value, "8");
}

TEST(TextBoxProps, ValuesAndSetting) {
  Text_Box b;
  EXPECT_EQ(b.GetProperty(0, true, 4, "").kind, PropertyRowKind_MultiLine);
  EXPECT_EQ(b.GetProperty(0, true, 3, "").kind, PropertyRowKind_ReadOnly);  // "abc" does not fit
  EXPECT_EQ(b.GetProperty(18, true, 99, "").value, "ＭＳ Ｐゴシック,120,0,0");
  EXPECT_EQ(b.GetProperty(25, true, 99, "").value, "rgb(255,255,255)");

  b.SetProperty(2, "  \"top\"  ", "");
  EXPECT_EQ(b.GetId(), "top");
  b.SetProperty(3, "doc/a.svg", "/notes/");
  EXPECT_EQ(b.GetUrl(), "/notes/doc/a.svg");
  EXPECT_EQ(b.GetProperty(3, true, 99, "/notes/").value, "doc/a.svg");
  EXPECT_EQ(b.textColour, 0xFF0000u);
  b.SetProperty(6, "1", "");
  EXPECT_TRUE(b.HasAttachedFile());
  EXPECT_EQ(b.fillColour, 0xFFFFFFu);
  b.SetProperty(6, "0", "");
  EXPECT_EQ(b.fillColour, 0xB0FFF8u);
  b.SetProperty(9, "-4", "");
  EXPECT_EQ(b.tabOrder, 0);
  b.SetProperty(9, "7", "");
  EXPECT_EQ(b.tabOrder, 7);
  EXPECT_EQ(b.GetProperty(9, true, 99, "").value, "7");
  b.SetProperty(19, "20", "");  // line spacing grows by 8
  EXPECT_EQ(b.fontSize, 20);
  EXPECT_EQ(b.lineSpacing, 22);
  b.SetProperty(18, "ＭＳ 明朝,100,1,1", "");
  EXPECT_EQ(b.fontFace, "ＭＳ 明朝");
  EXPECT_EQ(b.fontSize, 10);
  EXPECT_EQ(b.lineSpacing, 12);
  EXPECT_TRUE(b.bold && b.italic);
  b.SetProperty(19, "1", "");
  b.SetProperty(19, "1", "");
  EXPECT_GE(b.lineSpacing, 1);
  b.SetProperty(26, "150", "");
  EXPECT_EQ(b.opacity, 100);
  b.SetProperty(17, "rgb(1,2,3)", "");
  EXPECT_EQ(b.textColour, 0x030201u);
  b.marginX = 20;
  b.SetProperty(28, "0", "");
  EXPECT_EQ(b.frameWidth, 0);
  EXPECT_EQ(b.marginX, 8);
  EXPECT_EQ(b.frameShape, TextBoxFrame_Rectangle);

  // Alarm: a date sets it, other text clears it.
  b.SetProperty(29, "2024/05/06-07:08:09", "");
  EXPECT_TRUE(b.alarmSet);
  EXPECT_EQ(b.AlarmText(), "2024/05/06-07:08:09");
  b.SetProperty(29, "off", "");
  EXPECT_FALSE(b.alarmSet);

  // Condition and filter text.
  b.SetProperty(31, "mode=a", "");
  EXPECT_EQ(b.filterText, "mode=a");
  EXPECT_EQ(b.condition.name, "mode");
  b.SetProperty(30, "x != 2", "");
  b.SetProperty(31, "y=3", "");
  EXPECT_EQ(b.condition.name, "x");
  EXPECT_EQ(b.GetProperty(30, true, 99, "").value, "x != 2");
}

TEST(TextBoxProps, LinkColoursAndAnchors) {
  Text_Box b;
  b.SetUrl("http://x/");
  EXPECT_EQ(b.textColour, 0xFF0000u);
  b.SetUrl("");
  EXPECT_EQ(b.textColour, 0u);
  b.textColour = 0x0000FF;  // red stays red
  b.SetUrl("a.svg");
  EXPECT_EQ(b.textColour, 0x0000FFu);
  b.ApplyLinkColours(false);
  EXPECT_EQ(b.textColour, 0xFF0000u);
  EXPECT_EQ(b.fillColour, 0xB0FFF8u);
  Text_Box plain;
  plain.ApplyLinkColours(true);  // no url: only the flag
  EXPECT_TRUE(plain.HasAttachedFile());
  EXPECT_EQ(plain.textColour, 0u);

  // Style copy keeps black text black and blue links blue.
  Text_Box linked;
  linked.SetUrl("u");
  linked.fontSize = 30;
  Text_Box black;
  black.CopyStyleFrom(linked, 0);
  EXPECT_EQ(black.textColour, 0u);
  EXPECT_EQ(black.fontSize, 30);
  linked.CopyStyleFrom(black, 0);
  EXPECT_EQ(linked.textColour, 0xFF0000u);
  Text_Box green;
  green.textColour = 0x00FF00;
  black.CopyStyleFrom(green, 0);
  EXPECT_EQ(black.textColour, 0x00FF00u);

  Text_Box a;
  a.SetId("top");
  a.LinkToFileAnchor("doc.svg");
  EXPECT_EQ(a.GetUrl(), "doc.svg#top");
  EXPECT_EQ(a.GetId(), "");
  EXPECT_EQ(a.textColour, 0xFF0000u);
  a.SetId("x");
  a.LinkToFileAnchor(".");
  EXPECT_EQ(a.GetUrl(), "#x");

  Text_Box m;
  EXPECT_FALSE(m.HasMultibyteText());
  m.SetUrl("ソ.svg");
  EXPECT_TRUE(m.HasMultibyteText());
  std::string out = "x";
  m.SetText("表\r\nb");
  m.WritePlainText(out);
  EXPECT_EQ(out, "x表\r\nb\r\n");
  EXPECT_EQ(m.GetKind(), FigureKind_Text);
  EXPECT_EQ(m.GetKindNameJapanese(), "テキスト");
  EXPECT_EQ(m.GetKindNameEnglish(), "Text");
}
