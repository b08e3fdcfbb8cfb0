#include "app/startup/folders.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace {

StrX_VarLookup envOf(std::map<std::string, std::string> vars) {
  return [vars](std::string_view name, std::string& value) {
    auto it = vars.find(std::string(name));
    if (it == vars.end()) return false;
    value = it->second;
    return true;
  };
}

CZerbinApp_Folders sample() {
  CZerbinApp_Folders f;
  f.programFolder = "/opt/brevlo/";
  f.profileFolder = "/home/u/prof/";
  return f;
}

std::string expand(const CZerbinApp_Folders& f, const char* fmt) {
  std::string dst;
  CZerbinApp_expandPath(f, dst, 512, fmt, 0);
  return dst;
}

TEST(CZerbinAppFolders, Variables) {
  CZerbinApp_Folders f = sample();
  EXPECT_EQ(expand(f, "%prof%/zerbin.ini"), "/home/u/prof/zerbin.ini");
  EXPECT_EQ(expand(f, "%prof%"), "/home/u/prof/");
  EXPECT_EQ(expand(f, "%auto%"), "/home/u/prof/auto");
  EXPECT_EQ(expand(f, "%work%/write_test.bin"), "/home/u/prof/work/write_test.bin");
  EXPECT_EQ(expand(f, "%work%/"), "/home/u/prof/work");
  EXPECT_EQ(expand(f, "%log%/errlog%%d.txt"), "/home/u/prof/log/errlog%d.txt");
  EXPECT_EQ(expand(f, "%rel_copy%"), "/home/u/prof/script/rel_copy");
  EXPECT_EQ(expand(f, "%prog%"), "/opt/brevlo/");
  EXPECT_EQ(expand(f, "%plugin%"), "/opt/brevlo/system/plugin");
  EXPECT_EQ(expand(f, "%scriptlib%"), "/opt/brevlo/system/scriptlib");
  EXPECT_EQ(expand(f, "%profile_first%"), "/opt/brevlo/system/profile_first");
  for (const char* v : {"%backup%", "%design%", "%icon%", "%keywords%", "%path_var%", "%script%",
                        "%security%", "%template%"}) {
    std::string name(v + 1, std::strlen(v) - 2);
    EXPECT_EQ(expand(f, v), "/home/u/prof/" + name);
  }
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  char day[16];
  std::strftime(day, sizeof day, "%y%m%d", &tm);
  EXPECT_EQ(expand(f, "%log_copy%"), std::string("/home/u/prof/log_copy/") + day);

  std::string dst;
  CZerbinApp_expandPath(f, dst, 512, "%template%/page%d_%s.svg", 3, "ソ");
  EXPECT_EQ(dst, "/home/u/prof/template/page3_ソ.svg");

  // Settings override the work and keyword folders.
  f.workFolderSetting = "/w";
  f.keywordsFolderSetting = "/k";
  EXPECT_EQ(expand(f, "%work%/a"), "/w/a");
  EXPECT_EQ(expand(f, "%keywords%"), "/k");
  // Relative settings lie in the profile folder, wherever the process runs.
  f.workFolderSetting = "w2";
  f.keywordsFolderSetting = "data/kw";
  EXPECT_EQ(expand(f, "%work%/a"), "/home/u/prof/w2/a");
  EXPECT_EQ(expand(f, "%keywords%"), "/home/u/prof/data/kw");
}

TEST(CZerbinAppFolders, ErrorsAndEnvironment) {
  CZerbinApp_Folders f = sample();
  EXPECT_EQ(testing_support::CatchError([&] { expand(f, "%nosuch%/a"); }).code, Errors_Unofficial);
  EXPECT_EQ(testing_support::CatchError([&] { expand(f, "/plain"); }).code, Errors_Unofficial);
  // Exactly fitting and one short.
  std::string dst;
  std::string want = "/home/u/prof/auto";
  EXPECT_EQ(testing_support::CatchError(
                [&] { CZerbinApp_expandPath(f, dst, want.size() + 1, "%auto%"); })
                .code,
            0);
  EXPECT_EQ(dst, want);
  EXPECT_EQ(testing_support::CatchError(
                [&] { CZerbinApp_expandPath(f, dst, want.size(), "%auto%"); })
                .code,
            StrX_Err_BufOver);
  EXPECT_EQ(dst, want.substr(0, want.size() - 1));

  setenv("ZERBIN_FOLDERS_TEST", "sub", 1);
  EXPECT_EQ(expand(f, "%auto%/%%ZERBIN_FOLDERS_TEST%%/x"), "/home/u/prof/auto/sub/x");
  unsetenv("ZERBIN_FOLDERS_TEST");
}

TEST(CZerbinAppFolders, ProfileRule) {
  auto env = envOf({{"HOME", "/home/u"}});
  EXPECT_EQ(CZerbinApp_profileFolderFor("/p/q/", "/opt/b/", env), "/p/q/");
  EXPECT_EQ(CZerbinApp_profileFolderFor("/p/q", "/usr/bin/", env), "/p/q/");
  EXPECT_EQ(CZerbinApp_profileFolderFor("", "/opt/b/", env), "/opt/b/profile/");
  EXPECT_EQ(CZerbinApp_profileFolderFor("", "/opt/b", env), "/opt/b/profile/");
  EXPECT_EQ(CZerbinApp_profileFolderFor("", "/usr/bin/", env), "/home/u/.local/share/Brevlo/");
  EXPECT_EQ(CZerbinApp_profileFolderFor("", "/usr/bin/", envOf({{"XDG_DATA_HOME", "/x/d/"}})),
            "/x/d/Brevlo/");
  // "/usrx" is not "/usr".
  EXPECT_EQ(CZerbinApp_profileFolderFor("", "/usrx/b/", env), "/usrx/b/profile/");

  EXPECT_TRUE(CZerbinApp_localeIsJapanese(envOf({{"LANG", "ja_JP.UTF-8"}})));
  EXPECT_FALSE(CZerbinApp_localeIsJapanese(envOf({{"LC_ALL", "C"}, {"LANG", "ja_JP"}})));
  EXPECT_TRUE(CZerbinApp_localeIsJapanese(envOf({{"LC_ALL", ""}, {"LC_MESSAGES", "ja"}})));
  EXPECT_FALSE(CZerbinApp_localeIsJapanese(envOf({})));
}

}  // namespace

namespace {

TEST(CZerbinAppFolders, VariablesForLinksByBareName) {
  CZerbinApp_Folders f = sample();
  std::string value;
  ASSERT_TRUE(CZerbinApp_folderVariable(f, "work", value));
  EXPECT_EQ(value, "/home/u/prof/work");
  ASSERT_TRUE(CZerbinApp_folderVariable(f, "prog", value));
  EXPECT_EQ(value, "/opt/brevlo/");
  f.workFolderSetting = "/elsewhere/w";
  ASSERT_TRUE(CZerbinApp_folderVariable(f, "work", value));
  EXPECT_EQ(value, "/elsewhere/w");
  value = "kept";
  EXPECT_FALSE(CZerbinApp_folderVariable(f, "%work%", value));
  EXPECT_FALSE(CZerbinApp_folderVariable(f, "HOME", value));
  EXPECT_FALSE(CZerbinApp_folderVariable(f, "", value));
  EXPECT_EQ(value, "kept");
}

}  // namespace
