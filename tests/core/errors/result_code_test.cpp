#include "core/errors/result_code.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "core/prompts/user_prompts.h"
#include "support/test_support.h"

TEST(ResultCodeText, FixedAndGenericTexts) {
  ResultCode_clearMessage();
  EXPECT_EQ("no error", ResultCode_getText(0));
  EXPECT_EQ("<ERROR msg=\"プログラム内部の配列メモリーが不足しました。\"/>", ResultCode_getText(1041));
  EXPECT_EQ("<ERROR msg=\"ヒープ・メモリーが不足しました。\"/>", ResultCode_getText(1040));
  EXPECT_EQ("<ERROR errnum=\"1234\"/>", ResultCode_getText(1234));
  EXPECT_EQ("<ERROR errnum=\"1048\"/>", ResultCode_getText(1048));
  EXPECT_EQ(0, ResultCode_setMessage("stored %d", 7));
  EXPECT_EQ("stored 7", ResultCode_getText(1034));
  EXPECT_EQ("stored 7", ResultCode_getText(1048));
  ResultCode_clearMessage();
}

TEST(ResultCodeText, OsErrorNamesTheStoredNumber) {
  ResultCode_setErrno(ENOENT);
  std::string t = ResultCode_getText(1025);
  EXPECT_EQ(0u, t.rfind("<ERROR GetLastError=\"0x00000002\" GetLastErrorStr=\"", 0)) << t;
  EXPECT_EQ("\"/>", t.substr(t.size() - 3));
  EXPECT_GT(t.size(), 52u);  // the system's own text is there
  ResultCode_setErrno(0);
}

TEST(ResultCodeText, LongMessageIsCutAndReports1041) {
  std::string big(5000, 'x');
  EXPECT_EQ(ResultCode_BufferTooSmall, ResultCode_setMessage("%s", big.c_str()));
  EXPECT_EQ(4095u, ResultCode_getText(1034).size());
  EXPECT_EQ(9u, ResultCode_getText(1034, 10).size());
  ResultCode_clearMessage();
}

TEST(ReportToUser, EchoFileGetsTheTextAndALineEndAppended) {
  testing_support::TempDir dir;
  std::string echo = dir.file("e.txt");
  testing_support::WriteFileBytes(echo, "before\r\n");
  EXPECT_EQ(0, ReportToUser(0, echo, "%s を開こうとしましたが見つかりません。", "/t/missing.svg"));
  EXPECT_EQ(0, ReportToUser(0, echo, "second"));
  EXPECT_EQ("before\r\n/t/missing.svg を開こうとしましたが見つかりません。\r\nsecond\r\n",
            testing_support::ReadFileBytes(echo));
}

TEST(ReportToUser, UnwritableEchoFileGives1027) {
  testing_support::TempDir dir;
  EXPECT_EQ(ResultCode_WriteFailed, ReportToUser(0, dir.file("no/such/dir/e.txt"), "lost?"));
}

namespace {
// Records what the program would have shown.
class RecordingPrompts : public UserPrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon icon, PromptAnswer def, uint32_t owner) override {
    texts.emplace_back(text);
    titles.emplace_back(title);
    lastIcon = icon;
    lastOwner = owner;
    return def;
  }
  bool inputText(std::string_view, std::string_view, std::string&, uint32_t) override { return false; }
  void showDetail(std::string_view caption, std::string_view text, uint32_t) override {
    titles.emplace_back(caption);
    texts.emplace_back(text);
  }
  bool interactive() const override { return true; }
  std::vector<std::string> texts, titles;
  PromptIcon lastIcon = PromptIcon::None;
  uint32_t lastOwner = 0;
};
}  // namespace

TEST(ReportToUser, WithoutEchoFileABoxTitledWithTheApplicationName) {
  RecordingPrompts rec;
  UserPrompts_set(&rec);
  EXPECT_EQ(0, ReportToUser(0x10, "", "hello %d", 5));
  ResultCode_showBox(0, 0, "T");      // 0 shows nothing
  ResultCode_showBox(1041, 0x20, "T");
  Errors_showDetailDialog("detail");
  UserPrompts_set(nullptr);
  ASSERT_EQ(3u, rec.texts.size());
  EXPECT_EQ("hello 5", rec.texts[0]);
  EXPECT_EQ("Brevlo 3.10", rec.titles[0]);
  EXPECT_EQ("<ERROR msg=\"プログラム内部の配列メモリーが不足しました。\"/>", rec.texts[1]);
  EXPECT_EQ("T", rec.titles[1]);
  EXPECT_EQ(PromptIcon::Error, rec.lastIcon);
  EXPECT_EQ(0x20u, rec.lastOwner);
  EXPECT_EQ("エラー - Brevlo 3.10", rec.titles[2]);
  EXPECT_EQ("detail", rec.texts[2]);
}

TEST(NonInteractivePrompts, MessagesGoToTheEchoFileAndQuestionsTakeTheirDefault) {
  testing_support::TempDir dir;
  NonInteractivePrompts p(dir.file("echo.txt"));
  EXPECT_EQ(PromptAnswer::No, p.messageBox("保存しますか?", "Brevlo 3.10", PromptButtons::YesNo,
                                           PromptIcon::Question, PromptAnswer::No, 0));
  std::string value = "keep";
  EXPECT_FALSE(p.inputText("name?", "t", value, 0));
  EXPECT_EQ("keep", value);
  EXPECT_FALSE(p.interactive());
  EXPECT_EQ("保存しますか?\r\nname?\r\n", testing_support::ReadFileBytes(dir.file("echo.txt")));
}
