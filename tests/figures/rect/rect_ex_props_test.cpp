#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/prompts/user_prompts.h"
#include "figures/base/snapshot.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"

namespace {

using testing_support::Sjis;

// Answers every question with `answer` and remembers the texts asked.
class ScriptedPrompts final : public UserPrompts {
 public:
  explicit ScriptedPrompts(PromptAnswer answer) : answer_(answer) { UserPrompts_set(this); }
  ~ScriptedPrompts() override { UserPrompts_set(nullptr); }
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer, uint32_t) override {
    asked.push_back(std::string(text) + "|" + std::string(title));
    return answer_;
  }
  bool inputText(std::string_view, std::string_view, std::string&, uint32_t) override {
    return false;
  }
  void showDetail(std::string_view, std::string_view, uint32_t) override {}
  bool interactive() const override { return true; }
  std::vector<std::string> asked;

 private:
  PromptAnswer answer_;
};

TEST(RectExProps, RowsOfARectangleInBothLanguages) {
  Rect_Ex r;
  r.x = 10;
  r.y = 20;
  r.width = 30;
  r.height = 40;
  r.id = "box1";
  r.url = "/notes/a/b.svg";
  r.pub = "web";
  r.afterClick = 2;
  r.angle = 15;
  r.fillColour = Colour_rgb(1, 2, 3);
  r.strokeColour = Colour_rgb(4, 5, 6);
  r.strokeWidth = 2;
  r.opacity = 70;
  EXPECT_EQ(r.GetPropertyCount(), 18);
  EXPECT_EQ(r.GetKind(), FigureKind_Rect);
  EXPECT_EQ(r.GetKindNameJapanese(), Sjis(u8"図形"));
  EXPECT_EQ(r.GetKindNameEnglish(), "Figure");
  PropertyRow p = r.GetProperty(0, true, 256, "");
  EXPECT_EQ(p.name, Sjis(u8"形状"));
  EXPECT_EQ(p.value, "0");
  EXPECT_EQ(p.kind, PropertyRowKind_Choice);
  ASSERT_EQ(p.extra.choices.size(), 5u);
  EXPECT_EQ(p.extra.choices[0], Sjis(u8"矩形、長方形"));
  EXPECT_EQ(r.GetProperty(0, false, 256, "").extra.choices[2], "Circle, Ellipse");
  EXPECT_EQ(r.GetProperty(1, true, 256, "").kind, PropertyRowKind_Id);
  p = r.GetProperty(2, false, 256, "/notes");
  EXPECT_EQ(p.value, "a/b.svg");
  EXPECT_EQ(p.kind, PropertyRowKind_Url);
  EXPECT_EQ(p.extra.filter, "All Files (*.*)|*.*||");
  EXPECT_EQ(r.GetProperty(2, true, 256, "").value, "/notes/a/b.svg");
  EXPECT_EQ(r.GetProperty(3, true, 256, "").value, "_blank");
  EXPECT_EQ(r.GetProperty(3, true, 256, "").kind, PropertyRowKind_TargetWindow);
  EXPECT_EQ(r.GetProperty(4, true, 256, "").value, "web");
  p = r.GetProperty(5, false, 256, "");
  EXPECT_EQ(p.name, "After Click");
  EXPECT_EQ(p.value, "2");
  EXPECT_EQ(p.extra.choices[3], "Viewer & Close");
  EXPECT_EQ(r.GetProperty(6, false, 256, "").name, Sjis(u8"固定"));
  EXPECT_EQ(r.GetProperty(7, true, 256, "").name, Sjis(u8"x (左)"));
  EXPECT_EQ(r.GetProperty(9, true, 256, "").value, "40");
  EXPECT_EQ(r.GetProperty(10, false, 256, "").value, "60");
  EXPECT_EQ(r.GetProperty(10, false, 256, "").extra.minimum, INT32_MIN);
  EXPECT_EQ(r.GetProperty(11, true, 256, "").name, Sjis(u8"幅"));
  EXPECT_EQ(r.GetProperty(11, false, 256, "").name, "width");
  EXPECT_EQ(r.GetProperty(11, false, 256, "").extra.minimum, 1);
  // Rows above 12 skip the image rows.
  EXPECT_EQ(r.GetProperty(13, false, 256, "").name, "Angle");
  EXPECT_EQ(r.GetProperty(13, false, 256, "").value, "15");
  EXPECT_EQ(r.GetProperty(14, true, 256, "").value, "rgb(1,2,3)");
  p = r.GetProperty(15, true, 256, "");
  EXPECT_EQ(p.name, Sjis(u8"濃さ（非透過率％）"));
  EXPECT_EQ(p.extra.maximum, 100);
  EXPECT_EQ(r.GetProperty(16, false, 256, "").value, "rgb(4,5,6)");
  EXPECT_EQ(r.GetProperty(17, false, 256, "").name, "Border Width");
  EXPECT_EQ(r.GetProperty(17, false, 256, "").extra.minimum, 0);
  EXPECT_EQ(r.GetProperty(18, false, 256, "").kind, PropertyRowKind_ReadOnly);
  // Values are cut to the grid's buffer without splitting a character.
  r.id = Sjis(u8"aソ表");
  EXPECT_EQ(r.GetProperty(1, true, 5, "").value, Sjis(u8"aソ"));
  EXPECT_EQ(r.GetProperty(1, true, 4, "").value, Sjis(u8"aソ"));
  EXPECT_EQ(r.GetProperty(1, true, 3, "").value, "a");
}

TEST(RectExProps, SettingRows) {
  Rect_Ex r;
  r.x = 10;
  r.y = 20;
  r.SetProperty(0, "3", "");
  EXPECT_EQ(r.shape, RectShape_Diamond);
  r.SetProperty(0, "7", "");
  EXPECT_EQ(r.shape, RectShape_Rectangle);
  r.SetProperty(0, "-2", "");
  EXPECT_EQ(r.shape, RectShape_Rectangle);
  r.SetProperty(1, "  \"my id\"  ", "");
  EXPECT_EQ(r.id, "my id");
  r.SetProperty(1, std::string(300, 'a') , "");
  EXPECT_EQ(r.id.size(), 259u);
  r.SetProperty(1, std::string(258, 'a') + Sjis(u8"ソ"), "");
  EXPECT_EQ(r.id, std::string(258, 'a'));
  r.SetProperty(2, "script:go()", "");
  EXPECT_EQ(r.GetUrl(), "script:go()");
  r.SetProperty(3, "_self", "");
  EXPECT_EQ(r.GetTarget(), "_self");
  r.SetProperty(4, "p", "");
  EXPECT_EQ(r.GetPub(), "p");
  r.SetProperty(5, "3", "");
  EXPECT_EQ(r.GetAfterClick(), 3);
  r.SetProperty(6, "1", "");
  EXPECT_TRUE(r.IsLocked());
  r.SetProperty(6, "0", "");
  EXPECT_FALSE(r.IsLocked());
  r.SetProperty(7, "-5", "");
  r.SetProperty(8, "7", "");
  r.SetProperty(9, "20", "");
  r.SetProperty(10, "3", "");  // above the top: height 1
  EXPECT_EQ(r.GetBounds(), (Rect32{-5, 7, 25, 1}));
  r.SetProperty(11, "0", "");
  r.SetProperty(12, "44", "");
  EXPECT_EQ(r.width, 1);
  EXPECT_EQ(r.height, 44);
  r.SetProperty(13, "-30", "");
  EXPECT_EQ(r.angle, -30);
  r.SetProperty(14, "rgb(10,20,30)", "");
  EXPECT_EQ(r.fillColour, Colour_rgb(10, 20, 30));
  r.SetProperty(14, "nonsense", "");
  EXPECT_EQ(r.fillColour, Colour_rgb(10, 20, 30));
  r.SetProperty(15, "150", "");
  EXPECT_EQ(r.opacity, 100);
  r.SetProperty(16, "#ff0000", "");
  EXPECT_EQ(r.strokeColour, Colour_rgb(255, 0, 0));
  r.SetProperty(17, "-3", "");
  EXPECT_EQ(r.strokeWidth, 0);
  r.SetProperty(17, "4", "");
  EXPECT_EQ(r.strokeWidth, 4);
}

TEST(RectExProps, ImageRowsAndZoomQuestions) {
  testing_support::TempDir dir;
  Rect_Ex r;
  r.shape = RectShape_Image;
  r.width = 50;
  r.height = 40;
  r.naturalWidth = 100;
  r.naturalHeight = 80;
  EXPECT_EQ(r.GetPropertyCount(), 22);
  EXPECT_EQ(r.GetProperty(13, true, 256, "").name, Sjis(u8"画像埋め込み"));
  EXPECT_EQ(r.GetProperty(13, true, 256, "").value, "1");
  r.SetProperty(13, "0", "");
  EXPECT_FALSE(r.embedImage);
  r.SetProperty(13, "", "");
  EXPECT_TRUE(r.embedImage);
  PropertyRow p = r.GetProperty(14, true, 256, "");
  EXPECT_EQ(p.name, Sjis(u8"画像ﾌｧｲﾙﾊﾟｽ"));
  EXPECT_EQ(p.kind, PropertyRowKind_ImagePath);
  EXPECT_EQ(p.extra.filter,
            Sjis(u8"画像ファイル(*.jpg;*.gif;*.png)|*.jpg;*.gif;*.png|すべてのファイル (*.*)|*.*||"));
  r.workImagePath = dir.file("img_00000001_1.png");
  p = r.GetProperty(14, false, 256, "");
  EXPECT_EQ(p.name, "Image Type");
  EXPECT_EQ(p.value, "png");
  // The size row: (size + 101) / 1024 and the tenths digit.
  testing_support::WriteFileBytes(r.workImagePath, std::string(1946, 'x'));
  p = r.GetProperty(15, false, 256, "");
  EXPECT_EQ(p.name, Sjis(u8"画像サイズ"));
  EXPECT_EQ(p.value, "1.9KB");  // 2047: 1 and 1023 / 102 = 10, capped at 9
  EXPECT_EQ(p.kind, PropertyRowKind_ReadOnly);
  r.embedImage = false;
  EXPECT_EQ(r.GetProperty(15, false, 256, "").value, "0.0KB");  // no imagePath

  EXPECT_EQ(r.GetProperty(16, false, 256, "").value, "50");
  EXPECT_EQ(r.GetProperty(17, true, 256, "").name, Sjis(u8"Y拡大(%)"));
  EXPECT_EQ(r.GetProperty(17, true, 256, "").value, "50");
  EXPECT_EQ(r.GetProperty(18, false, 256, "").name, "Angle");
  EXPECT_EQ(r.GetProperty(21, false, 256, "").name, "Border Color");
  EXPECT_EQ(r.GetProperty(22, false, 256, "").kind, PropertyRowKind_ReadOnly);
  {
    ScriptedPrompts no(PromptAnswer::No);
    r.SetProperty(16, "100", "");
    EXPECT_EQ(r.width, 100);
    EXPECT_EQ(r.height, 40);
    ASSERT_EQ(no.asked.size(), 1u);
    EXPECT_EQ(no.asked[0], Sjis(u8"高さの倍率も同様に変えますか？|確認"));
  }
  {
    ScriptedPrompts yes(PromptAnswer::Yes);
    r.SetProperty(16, "200", "");  // f = 200.5 / 100; height 50 % -> 100 %
    EXPECT_EQ(r.width, 200);
    EXPECT_EQ(r.height, 80);
    r.width = 150;
    r.SetProperty(17, "150", "");  // f = 150.5 / 100; width 150 % -> 225 %
    EXPECT_EQ(r.height, 120);
    EXPECT_EQ(r.width, 225);
    EXPECT_EQ(yes.asked.back(), Sjis(u8"幅の倍率も同様に変えますか？|確認"));
  }
  // A natural size of 0 or a percentage of 0 never divides by zero.
  r.naturalWidth = 0;
  r.width = 1;
  r.naturalHeight = 1000;
  EXPECT_EQ(r.GetProperty(16, false, 256, "").value, "100");
  EXPECT_EQ(r.GetProperty(17, false, 256, "").value, "12");
  r.height = 5;  // 0 %, taken as 1
  ScriptedPrompts no(PromptAnswer::No);
  r.SetProperty(17, "50", "");
  EXPECT_EQ(r.height, 505);
}

TEST(RectExProps, ImagePathRowMakesAnImageAbsoluteAgainstTheNote) {
  testing_support::TempDir dir;
  testing_support::WriteFileBytes(dir.file("pic.png"), "data");
  Rect_Ex r;
  r.SetProperty(0, "4", "");  // rows 13-17 exist for images only
  r.setWorkFolder(dir.path() + "/work");
  r.takeNaturalSize = false;
  r.imageLoadable = false;
  r.SetProperty(14, "pic.png", dir.path());
  EXPECT_EQ(r.shape, RectShape_Image);
  EXPECT_EQ(r.imagePath, dir.file("pic.png"));
  EXPECT_TRUE(r.takeNaturalSize);
  EXPECT_TRUE(r.imageLoadable);
  EXPECT_EQ(r.GetProperty(14, true, 256, dir.path()).value, "pic.png");
  // The picture got a working copy of its own in the work folder.
  ASSERT_FALSE(r.workImagePath.empty());
  EXPECT_EQ(r.workImagePath.rfind(dir.path() + "/work/img_", 0), 0u);
  EXPECT_EQ(testing_support::ReadFileBytes(r.workImagePath), "data");
  EXPECT_TRUE(r.HasMultibyteText() == false);
  r.imagePath = Sjis(u8"/表.png");
  EXPECT_TRUE(r.HasMultibyteText());
  // A path too long to be made absolute is kept as typed.
  Rect_Ex l;
  l.shape = RectShape_Image;
  const std::string longName(5000, 'n');
  l.SetProperty(14, longName, dir.path());
  EXPECT_EQ(l.imagePath, longName);
}

}  // namespace
