// The main window's VML-HTML and MHTML export commands: the save dialog
// proposes the note's name, the pages or the archive are written there,
// and a cancelled dialog writes nothing.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "app/convert/html_export_window.h"
#include "app/mainframe/main_frame.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

std::string noteText() {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"620\">\r\n";
  for (int p = 1; p <= 2; ++p) {
    const std::string n = std::to_string(p);
    s += "<g id=\"page" + n + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p - 1) * 310) + ")\">\r\n<rect x=\"20\" y=\"20\" width=\"100\" " +
         "height=\"80\" style=\"fill:rgb(255,0,0)\" fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n";
  }
  s += "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\"/>\r\n<zerbin-page num=\"2\" "
       "title=\"two\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
  return s;
}

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  bool saveFileName(std::string_view, std::string_view filter, std::string& path, int&,
                    uint32_t) override {
    proposed.push_back(path);
    filters.push_back(std::string(filter));
    if (names.empty()) return false;
    path = names.front();
    names.pop_front();
    return true;
  }
  std::vector<std::string> proposed, filters;
  std::deque<std::string> names;
};

}  // namespace

TEST(HtmlExportWindow, CommandsWriteThePagesOrTheArchiveWhereTheDialogSays) {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  UserPrompts_set(&prompts);
  FileX_makeFolders(dir.file("work/x"), true);
  CMainFrameOptions o;
  o.japanese = true;
  o.workFolder = dir.file("work");
  o.save.desktopFolder = dir.file("desk");
  o.save.lowerPath = true;
  // The installation's frame page and archive head templates.
  FileX_makeFolders(dir.file("script/x"), true);
  FileX_writeWhole(dir.file("script/vml_frame.txt"), "<frameset>%tree_path%|%main_path%</frameset>\r\n");
  FileX_writeWhole(dir.file("script/mht_head.txt"), "From: %title%\r\n\r\n");
  o.save.variables = [&dir](std::string_view name, std::string& value) {
    if (name != "script") return false;
    value = dir.file("script");
    return true;
  };
  auto frame = std::make_unique<CMainFrame>(std::string(), o);
  FileX_writeWhole(dir.file("Note!.svg"), noteText());
  frame->LoadNote(dir.file("Note!.svg"), false);
  frame->show();
  QApplication::processEvents();

  QAction* mht = frame->commands().action(Cmd_ExportVmlMhtml);
  ASSERT_NE(mht, nullptr);
  EXPECT_EQ(mht->text(), QString::fromUtf8(u8"VML-MHTML形式で出力(&V)..."));
  EXPECT_EQ(frame->commands().action(Cmd_ExportVmlHtml)->text(),
            QString::fromUtf8(u8"VML-HTML(FTP)形式で出力(&F)..."));
  prompts.names = {dir.file("out/a.mht")};
  FileX_makeFolders(dir.file("out/x"), true);
  mht->trigger();
  ASSERT_EQ(prompts.proposed.size(), 1u);
  EXPECT_EQ(prompts.proposed[0], dir.file("Note.mht"));
  EXPECT_EQ(prompts.filters[0], Sjis(u8"MHTML形式 (*.mht)|*.mht||"));
  const std::string archive = ReadFileBytes(dir.file("out/a.mht"));
  EXPECT_EQ(archive.substr(0, 13), "From: Note!\r\n");
  EXPECT_NE(archive.find("<!-- page 2 -->"), std::string::npos);

  // The web-server form proposes the name lower-cased (the paths setting).
  prompts.names = {dir.file("site/b.html")};
  FileX_makeFolders(dir.file("site/x"), true);
  frame->commands().action(Cmd_ExportVmlHtml)->trigger();
  EXPECT_EQ(prompts.proposed[1], dir.file("note.html"));
  EXPECT_EQ(ReadFileBytes(dir.file("site/b.html")), "<frameset>b.files/b_tree.html|b.files/b_01.html</frameset>\r\n");
  EXPECT_NE(ReadFileBytes(dir.file("site/b.files/b_01.html")).find("<!-- page 2 -->"), std::string::npos);

  // A cancelled dialog writes nothing.
  EXPECT_EQ(HtmlExportWindow_run(*frame, 'V'), "");
  EXPECT_EQ(prompts.proposed[2], dir.file("Note.html"));
  EXPECT_FALSE(FileX_exists(dir.file("Note.html")));

  frame.reset();
  UserPrompts_set(nullptr);
}
