// The two errors of the note reader, both CZerbinApp_Err_Format (4010): the
// unsupported-element error (shown in a message box first) and the reader
// error that names the place in the file and what is wrong there.
#include <string>

#include "core/errors/errors.h"
#include "core/prompts/user_prompts.h"
#include "document/reader/reader_elements.h"

namespace {

// The texts of the unsupported-element error for the two languages of the
// user interface.
constexpr const char* kUnsupportedJapanese =
    "Zerbin ではサポートされていない SVG の要素があるため、開けません。 "
    "もしくは、ファイルが壊れた可能性があります。バックアップがあれば復活させてください";
constexpr const char* kUnsupportedEnglish =
    "File can not open, because there is the element not supported by Zerbin.";

}  // namespace

const char* ReaderError_unsupportedText(bool japanese) {
  return japanese ? kUnsupportedJapanese : kUnsupportedEnglish;
}

void ReaderError_unsupported(bool japanese) {
  const char* text = ReaderError_unsupportedText(japanese);
  UserPrompts_get().messageBox(text, "Zerbin", PromptButtons::Ok, PromptIcon::Error,
                               PromptAnswer::Ok, 0);
  Errors_RAISE(CZerbinApp_Err_Format, "%s", text);
}

bool ReaderError_shownToUser(const Errors_Msg& e) {
  if (e.code != CZerbinApp_Err_Format) return false;
  const std::string_view text = e.message();
  return text == kUnsupportedJapanese || text == kUnsupportedEnglish;
}

void ReaderError_withMessage(const XmlEventReader& xml, std::string_view notePath,
                             std::string_view message, bool japanese) {
  std::string text = ReaderError_unsupportedText(japanese);
  text += "\r\nfile = ";
  text += notePath;
  text += "\r\nline = ";
  text += std::to_string(xml.Line());
  text += "\r\ncolumn = ";
  text += std::to_string(xml.Column());
  text += "\r\nmessage = ";
  text += message;
  Errors_RAISE(CZerbinApp_Err_Format, "%s", text.c_str());
}
