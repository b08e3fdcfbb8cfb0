#include "core/errors/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/errors/except3.h"
#include "support/test_support.h"

using testing_support::CatchError;

namespace {

// Raises with a known file and line so that headers can be compared.
[[noreturn]] void raiseAt(int32_t code, const char* idName, const char* message) {
  Errors_raise("C:\\src\\core\\strx.cpp", 120, code, idName, "%s", message);
}

int idOf(const Errors_Msg& m) { return m.id; }

}  // namespace

TEST(ErrorsRaise, HeaderHoldsBaseNameLineIdCodeAndIdName) {
  Errors_Msg first = CatchError([] { raiseAt(StrX_Err_BufOver, "StrX_Err_BufOver", "BufOver:0x1"); });
  Errors_Msg second = CatchError([] { raiseAt(FileX_Err_EOF, "FileX_Err_EOF", "x"); });
  char expected[128];
  std::snprintf(expected, sizeof expected,
                "strx.cpp (120) : id = %d, code = 3183, StrX_Err_BufOver, BufOver:0x1", first.id);
  EXPECT_STREQ(expected, first.text);
  EXPECT_STREQ("BufOver:0x1", first.message());
  EXPECT_STREQ("C:\\src\\core\\strx.cpp", first.file);
  EXPECT_EQ(120, first.line);
  EXPECT_EQ(first.id + 1, idOf(second));  // ids count every raise
}

TEST(ErrorsRaise, SourcePathWithSlashesGivesBaseName) {
  Errors_Msg m = CatchError([] { Errors_raise("/a/b/c/filex.cpp", 7, 362, "FileX_Err_CannotWriteOpen", "m"); });
  EXPECT_EQ(0, std::strncmp(m.text, "filex.cpp (7) : id = ", 21)) << m.text;
}

TEST(ErrorsRaise, FullTextOver1024IsCutTo1019AndDotsThenToTheField) {
  std::string longMessage(2000, 'a');
  Errors_Msg m = CatchError([&] { raiseAt(Errors_Unofficial, "Errors_Unofficial", longMessage.c_str()); });
  // The record's field holds 511 bytes of the cut full text.
  EXPECT_EQ(511u, std::strlen(m.text));
  // The full text handed to the hook is the 1019 + "..." form.
  static std::string hooked;
  Errors_setRaiseHook([](int32_t, int32_t code, const char* text) {
    hooked = text;
    return Errors_defaultRaiseHook(0, code, text);
  });
  CatchError([&] { raiseAt(Errors_Unofficial, "Errors_Unofficial", longMessage.c_str()); });
  Errors_setRaiseHook(&Errors_defaultRaiseHook);
  ASSERT_EQ(1022u, hooked.size());
  EXPECT_EQ("...", hooked.substr(1019));
  EXPECT_EQ('a', hooked[1018]);
}

TEST(ErrorsRaise, CutsNeverSplitADoubleByteCharacter) {
  // Header + message so that byte 511 of the field would be a lead byte.
  std::string msg;
  for (int i = 0; i < 300; ++i) msg += "表";
  Errors_Msg m = CatchError([&] { raiseAt(Errors_Unofficial, "Errors_Unofficial", msg.c_str()); });
  size_t len = std::strlen(m.text);
  ASSERT_GE(len, 509u);
  // Walk the text by characters: the last one must be whole.
  size_t i = m.messageOffset;
  while (i < len) i += (static_cast<unsigned char>(m.text[i]) >= 0x81) ? 2 : 1;
  EXPECT_EQ(len, i);
}

TEST(ErrorsRaise, MessageOffsetStaysValidInCopies) {
  Errors_Msg copy;
  {
    Errors_Msg m = CatchError([] { raiseAt(FileX_Err_CannotReadOpen, "FileX_Err_CannotReadOpen", "gone"); });
    copy = m;
  }
  CatchError([] { raiseAt(Errors_Unofficial, "Errors_Unofficial", "other"); });
  EXPECT_STREQ("gone", copy.message());
}

TEST(ErrorsRaise, ErrnoTextsWithAndWithoutFileName) {
  Errors_Msg plain = CatchError([] {
    errno = EACCES;
    Errors_RAISE_ERRNO(nullptr);
  });
  EXPECT_EQ(Errors_Err_Errno, plain.code);
  EXPECT_STREQ("errno = EACCES : アクセスが拒否された。", plain.message());
  Errors_Msg named = CatchError([] {
    errno = E2BIG;
    Errors_RAISE_ERRNO("/tmp/x.svg");
  });
  EXPECT_STREQ("file=/tmp/x.svg, errno = E2BIG : 引数リストが長すぎる", named.message());
  EXPECT_EQ(0, std::strncmp(named.text, "errors_test.cpp (", 17)) << named.text;
  // A value outside the list names its number and the system's text.
  EXPECT_EQ(0, Errors_errnoText(ENOTDIR).rfind("errno = 20 : ", 0)) << Errors_errnoText(ENOTDIR);
  EXPECT_EQ("リソースのデッドロックが発生する可能性がある。", Errors_errnoText(EDEADLK));
}

TEST(ErrorsRaise, IdNamesOfTheTable) {
  EXPECT_STREQ("StrX_Err_BufOver", Errors_idName(3183));
  EXPECT_STREQ("CZerbinApp_Err_SnanKeyword", Errors_idName(4012));
  EXPECT_STREQ("Susie_Err_GetPicture", Errors_idName(22763));
  EXPECT_STREQ("", Errors_idName(5283));
  EXPECT_STREQ("", Errors_idName(4242));
}

TEST(ErrorsKept, RaiseWhileAnErrorIsSetKeepsTheOlderRecord) {
  Errors_clearKept();
  Errors_Msg inner;
  Errors_Msg outer = CatchError([&] {
    Except_tryCatch([] { raiseAt(FileX_Err_EOF, "FileX_Err_EOF", "first"); },
                    [&](const Errors_Msg&) {
                      // Still handling the first: the second raise keeps it.
                      raiseAt(Errors_Unofficial, "Errors_Unofficial", "second");
                    });
  });
  EXPECT_STREQ("second", outer.message());
  std::vector<Errors_Msg> kept = Errors_keptMsgs();
  ASSERT_EQ(1u, kept.size());
  EXPECT_TRUE(kept[0].used);
  EXPECT_STREQ("first", kept[0].message());
}

TEST(ErrorsKept, SixthKeepDropsTheOldestAndNeverRaises) {
  Errors_clearKept();
  for (int i = 0; i < 7; ++i) {
    Except_tryCatch(
        [&] { Errors_raise("k.cpp", i, FileX_Err_EOF, "FileX_Err_EOF", "eof %d", i); },
        [](const Errors_Msg&) { Errors_keepMsg(); });
  }
  std::vector<Errors_Msg> kept = Errors_keptMsgs();
  ASSERT_EQ(5u, kept.size());
  EXPECT_STREQ("eof 2", kept.front().message());
  EXPECT_STREQ("eof 6", kept.back().message());
  EXPECT_EQ(2, Errors_droppedKeptCount());
  EXPECT_EQ(0, Errors_current().code);
  Errors_clearKept();
}

TEST(ErrorsPrintf, LongLineIsCutTo1020AndDots) {
  testing_support::TempDir dir;
  Errors_setProgramPath(dir.file("zerbin"));
  Errors_setLogName(dir.file("plain.txt"));
  Errors_resetLog();
  std::string longLine(1500, 'b');
  Errors_printf("%s", longLine.c_str());
  Errors_printf("short");
  std::string log = testing_support::ReadFileBytes(dir.file("plain.txt"));
  EXPECT_EQ(std::string(1020, 'b') + "...\r\nshort\r\n", log);
  Errors_setProgramPath("");
}

TEST(ErrorsPrintf, NothingIsWrittenBeforeTheProgramPathIsSet) {
  testing_support::TempDir dir;
  Errors_setProgramPath("");
  Errors_setLogName(dir.file("never.txt"));
  Errors_resetLog();
  Errors_printf("lost");
  EXPECT_EQ("", testing_support::ReadFileBytes(dir.file("never.txt")));
}

namespace {
int64_t g_fakeMs = 0;
}

TEST(ErrorsLogRing, OneFileAMinuteTenFilesRound) {
  testing_support::TempDir dir;
  Errors_setProgramPath(dir.file("prog/zerbin"));
  Errors_setLogName(dir.file("log/errlog%d.txt"));
  Errors_setLogClock([] { return g_fakeMs; });
  Errors_resetLog();

  g_fakeMs = 3 * 60000 + 10;  // minute 3
  Errors_printf("one");
  Errors_printf("two");
  g_fakeMs = 4 * 60000;  // the next minute: a new file
  Errors_printf("three");
  std::string f3 = testing_support::ReadFileBytes(dir.file("log/errlog3.txt"));
  std::string f4 = testing_support::ReadFileBytes(dir.file("log/errlog4.txt"));
  std::string header = "Brevlo 3.10 " + Errors_appVersion() + " - ";
  ASSERT_EQ(0u, f3.rfind(header, 0)) << f3;
  EXPECT_NE(std::string::npos, f3.find(" (Log:"));
  EXPECT_EQ("one\r\ntwo\r\n", f3.substr(f3.find(")\r\n") + 3));
  EXPECT_EQ("three\r\n", f4.substr(f4.find(")\r\n") + 3));

  // Ten minutes later the slot of minute 3 comes round again: replaced.
  g_fakeMs = 13 * 60000 + 5;
  Errors_printf("four");
  std::string again = testing_support::ReadFileBytes(dir.file("log/errlog3.txt"));
  EXPECT_EQ(std::string::npos, again.find("one"));
  EXPECT_EQ("four\r\n", again.substr(again.find(")\r\n") + 3));

  // A new run within a minute of the last write keeps the report.
  Errors_resetLog();
  Errors_printf("five");
  again = testing_support::ReadFileBytes(dir.file("log/errlog3.txt"));
  EXPECT_NE(std::string::npos, again.find("four\r\nfive\r\n"));

  Errors_setLogClock(nullptr);
  Errors_setProgramPath("");
}

TEST(ErrorsLogRing, RelativeNameLiesInTheProgramFolder) {
  testing_support::TempDir dir;
  Errors_setProgramPath(dir.file("zerbin"));
  Errors_setLogName("sub/errlog%d.txt");
  Errors_setLogClock([] { return int64_t{7 * 60000}; });
  Errors_resetLog();
  Errors_printf("here");
  EXPECT_NE(std::string::npos,
            testing_support::ReadFileBytes(dir.file("sub/errlog7.txt")).find("here\r\n"));
  Errors_setLogClock(nullptr);
  Errors_setProgramPath("");
}

TEST(ErrorsVersion, BuildVersionIsYearMonthDay) {
  std::string v = Errors_buildVersion();
  ASSERT_EQ(8u, v.size());
  EXPECT_EQ('.', v[2]);
  EXPECT_EQ('.', v[5]);
  int month = std::stoi(v.substr(3, 2));
  EXPECT_GE(month, 1);
  EXPECT_LE(month, 12);
}

TEST(ErrorsDetail, SessionEndingWritesTheEndSessionFile) {
  testing_support::TempDir dir;
  Errors_setProgramPath(dir.file("zerbin"));
  Errors_setSessionEnding(true);
  Errors_showDetailDialog("line1\nline2");
  Errors_setSessionEnding(false);
  EXPECT_EQ("line1\r\nline2", testing_support::ReadFileBytes(dir.file("errlog_EndSession.txt")));
  Errors_setProgramPath("");
}
