// The view's link commands on a real window, ending in the saved file.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <deque>
#include <regex>

#include "app/links/view_link_commands.h"
#include "app/mainframe/main_frame.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "figures/base/app_counters.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

using testing_support::Sjis;

// Input dialogs answer from a list: "" = OK with the preset, "-" = Cancel.
struct Prompts : NonInteractivePrompts {
  using NonInteractivePrompts::NonInteractivePrompts;
  bool inputText(std::string_view label, std::string_view, std::string& v, uint32_t) override {
    asked.push_back(std::string(label) + "|" + v);
    const std::string a = answers.empty() ? "-" : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (!a.empty() && a != "-") v = a;
    return a != "-";
  }
  std::deque<std::string> answers;
  std::vector<std::string> asked;
};

struct App {
  testing_support::TempDir dir;
  Prompts prompts = Prompts(dir.file("echo.txt"));
  CZerbinApp app;
  App() {
    app.folders.profileFolder = dir.file("prof/");
    FileX_makeFolders(dir.file("prof/work"), false);
    UserPrompts_set(&prompts);
  }
  ~App() { app.frames.clear(), UserPrompts_set(nullptr); }
  // A note of one page with the rectangle "box".
  CMainFrame* open() {
    FileX_writeWhole(dir.file("a.svg"), "<svg sub_doctype=\"zerbin-300\"><g id=\"page1\" width=\"800\" height=\"1400\">"
                     "<rect id=\"box\" x=\"300\" y=\"300\" width=\"120\" height=\"80\" style=\"fill:red\"/></g>"
                     "<zerbin-pages><zerbin-page num=\"1\" title=\"p1\"/></zerbin-pages></svg>");
    CMainFrame* f = WindowList_of(app).openNote(dir.file("a.svg"), "", false);
    f->show();
    QApplication::processEvents();
    return f;
  }
};

// A text box added to the shown page, measured as a paint would.
Text_Box& addBox(CMainFrame& f, const char* text, int x, int y) {
  auto box = std::make_unique<Text_Box>(&f.metrics());
  box->SetNumber(AppCounters_instance().nextFigureNumber());
  box->SetText(text);
  box->SetBasePoint(x, y);
  DrawContext ctx;
  f.view().FillDrawContext(ctx, false);
  box->Layout(f.metrics(), ctx);
  return static_cast<Text_Box&>(f.document().workingFigures().append(std::move(box)));
}

void click(CMainFrame& f, const CadPrim& figure) {
  const Rect32 b = figure.GetBounds();
  const Point32 c = f.view().CanvasToClient({b.x + b.w / 2, b.y + b.h / 2});
  QTest::mouseClick(f.view().viewport(), Qt::LeftButton, {}, QPoint(c.x, c.y));
}

std::string save(CMainFrame& f) {
  EXPECT_TRUE(f.commands().run(Cmd_FileSave));
  return FileX_readWhole(f.notePath());
}

// The text of a note saved as UTF-16 (it has double-byte text) in CP932.
std::string cp932(const std::string& b) {
  return QtText_toCp932(QString::fromUtf16(reinterpret_cast<const char16_t*>(b.data() + 2), (b.size() - 2) / 2));
}

void steps(CMainFrame& f, int n, bool redo = false) {
  for (int i = 0; i < n; ++i) {
    f.view().PageLeaving();
    ASSERT_TRUE(redo ? f.undo().Redo(f.document()) : f.undo().Undo(f.document()));
    f.SelectPageNumber(f.document().currentPageNumber());
  }
}

}  // namespace

TEST(ViewLinkCommands, LinkPageLinkAddressAndPageButtonsSavedUndoneToTheOriginalBytesAndRedone) {
  App t;
  CMainFrame& f = *t.open();
  NoteDocument& doc = f.document();
  f.view().PageLeaving();
  doc.ToggleBackPage(true), doc.ToggleBackPage(true);  // an empty back page
  f.SelectPageNumber(1);
  Text_Box* chapter = &addBox(f, Sjis(u8"第一章\r\nChapter one").c_str(), 100, 200);
  const std::string original = save(f);
  CadPrim* rect = NoteDocument_findFigureById(doc.workingFigures(), "box");

  // New link page: only with a text box held; the preset name is kept.
  click(f, *rect);
  EXPECT_FALSE(f.commands().run(Cmd_NewLinkPage));
  click(f, *chapter);
  t.prompts.answers = {""};
  ASSERT_TRUE(f.commands().run(Cmd_NewLinkPage));
  EXPECT_EQ(Sjis(u8"リンク先の図形の識別名(URLの#より後):|(そのままOKなら自動生成)"), t.prompts.asked.at(0));
  const std::string link = chapter->GetUrl();
  ASSERT_TRUE(std::regex_match(link, std::regex("#[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}"))) << link;
  ASSERT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ(1, doc.parentNumber(2));
  EXPECT_EQ(Sjis(u8"第一章"), doc.page(2)->title());
  const CadPrim* copy = f.view().selection()->HoldPrim();
  EXPECT_EQ(link.substr(1), copy->GetId());
  EXPECT_EQ(15, copy->GetEdge(0));
  EXPECT_EQ(16, copy->GetEdge(2));
  EXPECT_EQ(2, doc.FindPageByName(link.substr(1)));

  // Link address of the rectangle; a cancelled dialog changes nothing.
  f.SelectPageNumber(1);
  rect = NoteDocument_findFigureById(doc.workingFigures(), "box");
  click(f, *rect);
  t.prompts.answers = {"http://example.com/x?a=1", "-"};
  ASSERT_TRUE(f.commands().run(Cmd_EditLinkAddress));
  EXPECT_EQ("URL/onclick|", t.prompts.asked.at(1));
  ASSERT_TRUE(f.commands().run(Cmd_EditLinkAddress));
  EXPECT_EQ("http://example.com/x?a=1", rect->GetUrl());

  // Page buttons from page 1 go on the back page; page 1 stays shown.
  ASSERT_TRUE(f.commands().run(Cmd_PageButtons));
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ(Sjis(u8"背景の左上にページ切り替えボタン '<Back' と 'Next>' を作成しました。\r\n"
                 u8"このボタンは、SVG ビューアで表示したときにクリックできます。\r\n"
                 u8"Zerbin では、適当な位置に移動したり、プロパティを変更することができます。\r\n"),
            FileX_readWhole(t.dir.file("echo.txt")));

  const std::string edited = save(f), text = cp932(edited);
  ASSERT_EQ('\xFF', edited[0]);
  for (const std::string& s : std::vector<std::string>{
           "onclick=\"nextPage( evt, -1 )\"", "onclick=\"nextPage( evt, +1 )\"", "&lt;Back", "Next&gt;",
           "font-weight:bold", "fill:rgb(0,128,0)", "http://example.com/x?a=1", "xlink:href=\"" + link + "\"",
           "id=\"" + link.substr(1) + "\"", Sjis(u8"title=\"第一章\"")})
    EXPECT_NE(std::string::npos, text.find(s)) << s << "\n" << text;

  // Three steps: undone, the original bytes; redone, the edited ones.
  steps(f, 3);
  EXPECT_FALSE(f.undo().CanUndo());
  EXPECT_EQ(original, save(f));
  steps(f, 3, true);
  EXPECT_EQ(edited, save(f));
}

TEST(ViewLinkCommands, ButtonsMakeTheBackPageLinkPageCancelledAndTheInputMethod) {
  App t;
  CMainFrame& f = *t.open();
  NoteDocument& doc = f.document();
  ASSERT_TRUE(f.commands().run(Cmd_PageButtons));
  ASSERT_TRUE(doc.hasBackPage());
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ(2u, doc.pageAt(0).figureCount());
  // No link page from the back page (it has no child pages).  A click on
  // a button follows its link, so it is held as a drag would hold it.
  f.SelectPageNumber(0);
  f.view().selection()->SelectOnly(doc.workingFigures().at(1));
  ViewLinkCommands_refresh(f);
  EXPECT_FALSE(f.commands().run(Cmd_NewLinkPage));
  f.SelectPageNumber(1);
  steps(f, 1);  // both buttons in one step; the back page stays
  EXPECT_EQ(0u, doc.pageAt(0).figureCount());

  // The name dialog cancelled: the page and the copy are made without
  // link and without id (the source keeps its own).
  f.SelectPageNumber(1);
  Text_Box& topic = addBox(f, "Topic", 200, 100);
  topic.SetId("topic");
  click(f, topic);
  ASSERT_TRUE(f.commands().run(Cmd_NewLinkPage));
  EXPECT_EQ("", topic.GetUrl());
  EXPECT_EQ("Topic", doc.page(2)->title());
  EXPECT_EQ("", f.view().selection()->HoldPrim()->GetId());
  EXPECT_EQ(1, doc.FindPageByName("topic"));
  steps(f, 1);
  EXPECT_EQ(1, doc.lastPageNumber());
  EXPECT_FALSE(f.undo().CanUndo());

  // The input method opens and closes; handing text to it is not offered
  // by the platform, so those commands (Ctrl+D too) are disabled.
  const bool open = f.view().testAttribute(Qt::WA_InputMethodEnabled);
  ASSERT_TRUE(f.commands().run(Cmd_InputMethodOnOff));
  EXPECT_EQ(!open, f.view().testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_EQ(!open, f.commands().action(Cmd_InputMethodOnOff)->isChecked());
  for (int id : {Cmd_Reconvert, Cmd_SendToInputMethod, Cmd_SendToInputMethodKey})
    EXPECT_FALSE(f.commands().run(id)) << id;
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_D), f.commands().action(Cmd_SendToInputMethodKey)->shortcut());
}
