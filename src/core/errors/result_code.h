// Integer results of the instance service and a few small functions: 0 for
// success, a code from 1025 upward for failure.  These functions never raise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

enum ResultCodeValue : int {
  ResultCode_NoError = 0,
  ResultCode_OsError = 1025,
  ResultCode_WriteFailed = 1027,
  ResultCode_InputFailed = 1028,
  ResultCode_Declined = 1033,
  ResultCode_Message = 1034,
  ResultCode_NoHeap = 1040,
  ResultCode_BufferTooSmall = 1041,
  ResultCode_BadText = 1045,
  ResultCode_AccessDenied = 1047,
  ResultCode_NotFound = 1048,
  ResultCode_OutsideFolders = 1061,
};

inline constexpr size_t ResultCode_messageSize = 4096;

// Stores a message (at most 4095 bytes) for the generic texts; 1041 when the
// message was cut, else 0.  The store belongs to the calling thread.
int ResultCode_setMessage(const char* format, ...) __attribute__((format(printf, 1, 2)));
void ResultCode_clearMessage();
// Stores the OS error number that 1025 reports (0: use the current errno).
void ResultCode_setErrno(int errnum);

// The text of a code, at most `size` - 1 bytes.
std::string ResultCode_getText(int code, size_t size = ResultCode_messageSize);
// Shows the text in an OK box when the code is not 0.
void ResultCode_showBox(int code, uint32_t ownerWindow, std::string_view title);

// Reports a message to the user: a box titled with the application name
// when `echoFile` is empty, else the text and a line end appended to that
// file.  0, or 1027 when the echo file cannot be written (the text then goes
// to standard error so that it is not lost).
int ReportToUser(uint32_t ownerWindow, std::string_view echoFile,
                 const char* format, ...) __attribute__((format(printf, 3, 4)));
int ReportToUserText(uint32_t ownerWindow, std::string_view echoFile,
                     std::string_view text);
