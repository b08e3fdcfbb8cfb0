#include "core/errors/result_code.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <iostream>

#include "core/errors/errors.h"
#include "core/filex/text_file.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"

namespace {

struct MessageStore {
  std::string text;
  bool set = false;
  int errnum = 0;
};

// The store of the calling thread: the service threads keep their own.
MessageStore& store() {
  thread_local MessageStore s;
  return s;
}

std::string formatV(const char* format, va_list args, size_t size, bool* cut) {
  std::string out = StrX_formatV(format, args);
  const size_t whole = std::char_traits<char>::length(out.c_str());
  const bool tooLong = out.size() >= size;
  if (tooLong) {
    out.resize(whole);
    Errors_cutText(out, size - 1);
  }
  if (cut) *cut = tooLong;
  return out;
}

const std::string& titleText() {
  static const std::string fallback = "Brevlo 3.10";
  return Errors_appName().empty() ? fallback : Errors_appName();
}

}  // namespace

int ResultCode_setMessage(const char* format, ...) {
  va_list args;
  va_start(args, format);
  bool cut = false;
  store().text = formatV(format, args, ResultCode_messageSize, &cut);
  va_end(args);
  store().set = true;
  return cut ? ResultCode_BufferTooSmall : 0;
}

void ResultCode_clearMessage() {
  store().text.clear();
  store().set = false;
}

void ResultCode_setErrno(int errnum) { store().errnum = errnum; }

std::string ResultCode_getText(int code, size_t size) {
  std::string text;
  switch (code) {
    case ResultCode_NoError:
      text = "no error";
      break;
    case ResultCode_OsError: {
      int errnum = store().errnum ? store().errnum : errno;
      char head[64];
      std::snprintf(head, sizeof head, "<ERROR GetLastError=\"0x%08X\" GetLastErrorStr=\"",
                    static_cast<unsigned>(errnum));
      std::string os = Errors_osErrorText(errnum);
      while (!os.empty() && (os.back() == '\n' || os.back() == '\r')) os.pop_back();
      text = head + os + "\"/>";
      break;
    }
    case ResultCode_NoHeap:
      text = "<ERROR msg=\"ヒープ・メモリーが不足しました。\"/>";
      break;
    case ResultCode_BufferTooSmall:
      text = "<ERROR msg=\"プログラム内部の配列メモリーが不足しました。\"/>";
      break;
    default:
      if (store().set) {
        text = store().text;
      } else {
        char buf[64];
        std::snprintf(buf, sizeof buf, "<ERROR errnum=\"%d\"/>", code);
        text = buf;
      }
  }
  if (size == 0) return {};
  Errors_cutText(text, size - 1);
  return text;
}

void ResultCode_showBox(int code, uint32_t ownerWindow, std::string_view title) {
  if (code == 0) return;
  std::string text = ResultCode_getText(code);
  UserPrompts_get().messageBox(text, title, PromptButtons::Ok, PromptIcon::Error,
                               PromptAnswer::Ok, ownerWindow);
}

int ReportToUserText(uint32_t ownerWindow, std::string_view echoFile, std::string_view text) {
  if (echoFile.empty()) {
    UserPrompts_get().messageBox(text, titleText(), PromptButtons::Ok, PromptIcon::None,
                                 PromptAnswer::Ok, ownerWindow);
    return 0;
  }
  std::string line(text);
  line += "\n";
  if (TextFile_write(echoFile, line, true)) return 0;
  // The message must not be lost with the echo file.
  std::cerr << Cp932_toUtf8(line);
  return ResultCode_WriteFailed;
}

int ReportToUser(uint32_t ownerWindow, std::string_view echoFile, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = formatV(format, args, ResultCode_messageSize, nullptr);
  va_end(args);
  return ReportToUserText(ownerWindow, echoFile, text);
}
