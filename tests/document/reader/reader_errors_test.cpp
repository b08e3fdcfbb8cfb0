#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/prompts/user_prompts.h"
#include "core/xml/xml_event_reader.h"
#include "document/reader/reader_elements.h"
#include "support/test_support.h"

using testing_support::CatchError;
using testing_support::Sjis;

namespace {

// Records every message box; answers with the default.
class RecordingPrompts : public UserPrompts {
 public:
  struct Box {
    std::string text, title;
  };
  std::vector<Box> boxes;

  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer defaultAnswer, uint32_t) override {
    boxes.push_back({std::string(text), std::string(title)});
    return defaultAnswer;
  }
  bool inputText(std::string_view, std::string_view, std::string&, uint32_t) override {
    return false;
  }
  void showDetail(std::string_view, std::string_view, uint32_t) override {}
  bool interactive() const override { return false; }
};

class ReaderErrors : public ::testing::Test {
 protected:
  void SetUp() override { UserPrompts_set(&prompts); }
  void TearDown() override { UserPrompts_set(nullptr); }
  RecordingPrompts prompts;
};

const std::string kJapanese = Sjis(
    u8"Zerbin ではサポートされていない SVG の要素があるため、開けません。 "
    u8"もしくは、ファイルが壊れた可能性があります。バックアップがあれば復活させてください");
const std::string kEnglish =
    "File can not open, because there is the element not supported by Zerbin.";

}  // namespace

TEST_F(ReaderErrors, UnsupportedElementShowsABoxAndRaises) {
  Errors_Msg e = CatchError([] { ReaderError_unsupported(true); });
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()), kJapanese);
  ASSERT_EQ(prompts.boxes.size(), 1u);
  EXPECT_EQ(prompts.boxes[0].text, kJapanese);
  EXPECT_EQ(prompts.boxes[0].title, "Zerbin");

  e = CatchError([] { ReaderError_unsupported(false); });
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()), kEnglish);
  ASSERT_EQ(prompts.boxes.size(), 2u);
  EXPECT_EQ(prompts.boxes[1].text, kEnglish);
  EXPECT_EQ(ReaderError_unsupportedText(true), kJapanese);
  EXPECT_EQ(ReaderError_unsupportedText(false), kEnglish);
}

TEST_F(ReaderErrors, ReaderErrorNamesThePlace) {
  XmlEventReader xml;
  xml.OpenBytes("<svg>\r\n<g>\r\n\t\t</g></g>");
  // To the second </g>.
  int ends = 0;
  while (ends < 2 && xml.Next())
    if (xml.Kind() == XmlEvent_end && xml.Name() == "/g") ++ends;
  ASSERT_EQ(ends, 2);
  const std::string message = Sjis(u8"</g> が多すぎる");
  Errors_Msg e = CatchError([&] { ReaderError_withMessage(xml, "/notes/n.svg", message, false); });
  EXPECT_EQ(e.code, CZerbinApp_Err_Format);
  EXPECT_EQ(std::string(e.message()),
            kEnglish + "\r\nfile = /notes/n.svg\r\nline = 3\r\ncolumn = 7\r\nmessage = " + message);
  e = CatchError([&] { ReaderError_withMessage(xml, "/notes/n.svg", message, true); });
  EXPECT_EQ(std::string(e.message()),
            kJapanese + "\r\nfile = /notes/n.svg\r\nline = 3\r\ncolumn = 7\r\nmessage = " + message);
  // No box for this one.
  EXPECT_TRUE(prompts.boxes.empty());
}
