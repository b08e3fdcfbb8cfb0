#include "core/errors/except3.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

[[noreturn]] void raiseCode(int32_t code) {
  Errors_raise(__FILE__, __LINE__, code, Errors_idName(code), "code %d", code);
}

}  // namespace

TEST(ExceptTry, BodyCatchFinallyRunInOrderAndAHandledErrorIsCleared) {
  std::vector<std::string> steps;
  Except_try([&] { steps.push_back("body"); raiseCode(FileX_Err_CannotReadOpen); steps.push_back("after"); },
             [&](const Errors_Msg& e) {
               steps.push_back("catch " + std::to_string(e.code));
               EXPECT_EQ(0, Errors_nestingCount());
               EXPECT_EQ(FileX_Err_CannotReadOpen, Errors_current().code);
             },
             [&] { steps.push_back("finally"); });
  EXPECT_EQ((std::vector<std::string>{"body", "catch 363", "finally"}), steps);
  EXPECT_EQ(0, Errors_current().code);
  EXPECT_EQ(0, Errors_nestingCount());
  EXPECT_EQ(0, Except_depth());
}

TEST(ExceptTry, NoErrorRunsBodyAndFinallyOnly) {
  std::vector<std::string> steps;
  Except_try([&] { steps.push_back("body"); },
             [&](const Errors_Msg&) { steps.push_back("catch"); },
             [&] { steps.push_back("finally"); });
  EXPECT_EQ((std::vector<std::string>{"body", "finally"}), steps);
}

TEST(ExceptTry, RethrowRunsTheEnclosingCatchOnceAndKeepsTheRecord) {
  std::vector<std::string> steps;
  Except_tryCatch(
      [&] {
        Except_try([&] { raiseCode(StrX_Err_BufOver); },
                   [&](const Errors_Msg& e) {
                     steps.push_back("inner catch");
                     if (e.code != FileX_Err_EOF) Except_throw(e);
                   },
                   [&] { steps.push_back("inner finally"); });
        steps.push_back("not reached");
      },
      [&](const Errors_Msg& e) {
        steps.push_back("outer catch " + std::to_string(e.code));
        // A rethrow leaves the current record set until the outer level ends.
        EXPECT_EQ(StrX_Err_BufOver, Errors_current().code);
      });
  EXPECT_EQ((std::vector<std::string>{"inner catch", "inner finally", "outer catch 3183"}), steps);
  EXPECT_EQ(0, Errors_current().code);
}

TEST(ExceptTry, TryFinallyRunsItsFinallyAndPassesTheErrorOn) {
  std::vector<std::string> steps;
  Except_tryCatch(
      [&] {
        Except_tryFinally([&] { raiseCode(FileX_Err_CannotWrite); },
                          [&] {
                            steps.push_back("finally");
                            EXPECT_EQ(1, Errors_nestingCount());
                          });
      },
      [&](const Errors_Msg& e) { steps.push_back("catch " + std::to_string(e.code)); });
  EXPECT_EQ((std::vector<std::string>{"finally", "catch 365"}), steps);
}

TEST(ExceptTry, ErrorRaisedInACatchBranchGoesToTheEnclosingLevel) {
  int outerCode = 0;
  Except_tryCatch(
      [&] {
        Except_tryCatch([] { raiseCode(FileX_Err_EOF); },
                        [](const Errors_Msg&) { raiseCode(IniFile_Err_BadFormat); });
      },
      [&](const Errors_Msg& e) { outerCode = e.code; });
  EXPECT_EQ(IniFile_Err_BadFormat, outerCode);
}

TEST(ExceptTry, NestedLevelInsideACatchBranchKeepsItsOwnState) {
  // A level opened while a catch branch runs must not disturb the outer one.
  std::vector<std::string> steps;
  Except_tryCatch(
      [&] {
        Except_tryCatch([] { raiseCode(FileX_Err_EOF); },
                        [&](const Errors_Msg& e) {
                          Except_tryCatch([] { raiseCode(StrX_Err_BufOver); },
                                          [&](const Errors_Msg&) { steps.push_back("nested"); });
                          steps.push_back("rethrow");
                          Except_throw(e);
                        });
      },
      [&](const Errors_Msg& e) { steps.push_back("outer " + std::to_string(e.code)); });
  EXPECT_EQ((std::vector<std::string>{"nested", "rethrow", "outer 361"}), steps);
}

TEST(ExceptTry, FinallyPartRunsWhenAForeignExceptionPasses) {
  bool ran = false;
  try {
    Except_tryFinally([] { throw std::runtime_error("x"); }, [&] { ran = true; });
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(ran);
  EXPECT_EQ(0, Except_depth());
}

TEST(ExceptTry, BadAllocBecomesCode102) {
  Errors_Msg m = testing_support::CatchError([] { throw std::bad_alloc(); });
  EXPECT_EQ(Errors_Unofficial, m.code);
}

TEST(ExceptTry, RaiseInFinallyAfterAHandledErrorIsAnOrdinaryError) {
  int outerCode = 0;
  Except_tryCatch(
      [&] {
        Except_try([] { raiseCode(FileX_Err_EOF); }, [](const Errors_Msg&) {},
                   [] { raiseCode(FileX_Err_BadVer); });
      },
      [&](const Errors_Msg& e) { outerCode = e.code; });
  EXPECT_EQ(FileX_Err_BadVer, outerCode);
}

// The fatal stop: exit status 14, the log and the box text.

namespace {
void prepareLog(const std::string& dir) {
  Errors_setProgramPath(dir + "/zerbin");
  Errors_setLogName(dir + "/errlog.txt");
  Errors_resetLog();
}
}  // namespace

TEST(ExceptDeath, RaiseWithNoLevelStopsWithStatus14) {
  EXPECT_EXIT(raiseCode(FileX_Err_CannotReadOpen), testing::ExitedWithCode(14), "Brevlo 3.10");
}

TEST(ExceptDeath, RethrowOutOfTheOutermostLevelIsUncatchable) {
  std::string dir = testing_support::FixedDir("death-rethrow");
  EXPECT_EXIT(
      {
        prepareLog(dir);
        Except_tryCatch([] { raiseCode(StrX_Err_BufOver); },
                        [](const Errors_Msg& e) { Except_throw(e); });
      },
      testing::ExitedWithCode(14), "");
  std::string log = testing_support::ReadFileBytes(dir + "/errlog.txt");
  // The rethrown error is kept, then the uncatchable text, then the names.
  size_t kept = log.find("code = 3183, StrX_Err_BufOver, code 3183");
  size_t uncatchable = log.find("キャッチできない例外が発生しました");
  size_t app = log.find("Application = Brevlo 3.10\r\n");
  size_t version = log.find("Version = " + Errors_buildVersion() + "\r\n");
  EXPECT_NE(std::string::npos, kept) << log;
  EXPECT_NE(std::string::npos, uncatchable);
  EXPECT_LT(kept, uncatchable);
  EXPECT_LT(uncatchable, app);
  EXPECT_LT(app, version);
}

TEST(ExceptDeath, ErrorLeavingTheOutermostTryFinallyIsUncatchable) {
  EXPECT_EXIT(Except_tryFinally([] { raiseCode(FileX_Err_EOF); }, [] {}),
              testing::ExitedWithCode(14), "");
}

TEST(ExceptDeath, RaiseInAFinallyPartOfAnUnhandledErrorIsADoubleError) {
  std::string dir = testing_support::FixedDir("death-double");
  EXPECT_EXIT(
      {
        prepareLog(dir);
        Except_tryCatch(
            [] { Except_tryFinally([] { raiseCode(FileX_Err_EOF); }, [] { raiseCode(FileX_Err_BadVer); }); },
            [](const Errors_Msg&) {});
      },
      testing::ExitedWithCode(14), "");
  std::string log = testing_support::ReadFileBytes(dir + "/errlog.txt");
  EXPECT_NE(std::string::npos,
            log.find("二重エラーです。catch または finally の中でエラーになっている可能性があります。"))
      << log;
  EXPECT_NE(std::string::npos, log.find("code = 369"));
}

TEST(ExceptDeath, TheExitHookRunsBeforeTheEnd) {
  static std::string marker;
  marker = testing_support::FixedDir("death-hook") + "/hook-ran";
  EXPECT_EXIT(
      {
        Errors_setExitHook([](void* app) { testing_support::WriteFileBytes(marker, static_cast<const char*>(app)); },
                           const_cast<char*>("yes"));
        raiseCode(Errors_Unofficial);
      },
      testing::ExitedWithCode(14), "");
  EXPECT_EQ("yes", testing_support::ReadFileBytes(marker));
}

TEST(ExceptDeath, EventLoopBarrierStopsAnEscapingError) {
  EXPECT_EXIT(
      Except_tryCatch([] { Except_barrier([] { raiseCode(FileX_Err_EOF); }); },
                      [](const Errors_Msg&) {}),
      testing::ExitedWithCode(14), "");
  int depthInside = -1;
  Except_tryCatch([&] { Except_barrier([&] { depthInside = Except_depth(); }); },
                  [](const Errors_Msg&) {});
  EXPECT_EQ(0, depthInside);
  EXPECT_EQ(0, Except_depth());
}
