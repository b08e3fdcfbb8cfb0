// The view's link commands on a real window: a new link page from a text
// box (its uuid link, the copy on the child page, the page title), the
// link address of a rectangle and the page buttons of the back page, all
// in the saved file, reloaded, undone back to the original bytes and done
// again; then the buttons on a note without a back page, and the input
// method commands.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QTest>

#include <deque>
#include <regex>
#include <string>

#include "app/links/view_link_commands.h"
#include "app/mainframe/main_frame.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "document/note/note_page.h"
#include "figures/base/app_counters.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "platform/images/qt_image_decoder.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/links/view_link_figures.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

using testing_support::Sjis;

class AnsweringPrompts : public NonInteractivePrompts {
 public:
  explicit AnsweringPrompts(std::string echo) : NonInteractivePrompts(std::move(echo)) {}
  // Each answer replaces the text (nullopt-like "\x01": OK with the preset;
  // "\x02": Cancel).
  bool inputText(std::string_view prompt, std::string_view, std::string& value, uint32_t) override {
    labels.emplace_back(prompt);
    presets.push_back(value);
    const std::string a = answers.empty() ? std::string("\x02") : answers.front();
    if (!answers.empty()) answers.pop_front();
    if (a == "\x02") return false;
    if (a != "\x01") value = a;
    return true;
  }
  std::deque<std::string> answers;
  std::vector<std::string> labels, presets;
};

struct App {
  testing_support::TempDir dir;
  std::string echo = dir.file("echo.txt");
  AnsweringPrompts prompts{echo};
  CZerbinApp app;
  App() {
    app.folders.profileFolder = dir.file("prof/");
    app.folders.programFolder = dir.file("prog/");
    app.options.japanese = true;
    for (const char* f : {"prof/work", "prof/template", "prof/path_var", "prof/security", "notes"})
      FileX_makeFolders(dir.file(f), false);
    UserPrompts_set(&prompts);
    QtImageDecoder_register();
  }
  ~App() {
    app.frames.clear();
    UserPrompts_set(nullptr);
  }
  WindowList& windows() { return WindowList_of(app); }
  std::string echoed() { return FileX_isFile(echo) ? FileX_readWhole(echo) : std::string(); }
  static void settle() {
    for (int i = 0; i < 3; ++i) {
      QApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
};

std::string note1(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"00820\" height=\"01420\" "
         "sub_doctype=\"zerbin-300\">\r\n<g id=\"page1\" width=\"800\" height=\"1400\" "
         "transform=\"translate(+10,+10)\">\r\n" +
         body + "</g>\r\n<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"p1\"/>\r\n</zerbin-pages>\r\n</svg>\r\n";
}

const char* kRect =
    "<rect id=\"box\" x=\"300\" y=\"300\" width=\"120\" height=\"80\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n";

void click(CMainFrame& f, const CadPrim& figure) {
  const Rect32 b = figure.GetBounds();
  const Point32 c = f.view().CanvasToClient({b.x + b.w / 2, b.y + b.h / 2});
  QTest::mouseClick(f.view().viewport(), Qt::LeftButton, {}, QPoint(c.x, c.y));
  App::settle();
}

std::string save(CMainFrame& f) {
  EXPECT_TRUE(f.commands().run(Cmd_FileSave));
  return FileX_readWhole(f.notePath());
}

void undoSteps(CMainFrame& f, int n, bool redo = false) {
  for (int i = 0; i < n; ++i) {
    f.view().PageLeaving();
    ASSERT_TRUE(redo ? f.undo().Redo(f.document()) : f.undo().Undo(f.document()));
    f.SelectPageNumber(f.document().currentPageNumber());
  }
}

// The saved text as CP932 (a note with double-byte text is saved as
// UTF-16).
std::string textOf(const std::string& bytes) {
  if (bytes.size() < 2 || bytes[0] != '\xFF' || bytes[1] != '\xFE') return bytes;
  return QtText_toCp932(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.data() + 2),
                                           static_cast<qsizetype>((bytes.size() - 2) / 2)));
}

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(ViewLinkCommands, LinkPageLinkAddressAndPageButtonsSavedUndoneToTheOriginalBytesAndRedone) {
  App t;
  const std::string path = t.dir.file("notes/a.svg");
  FileX_writeWhole(path, note1(kRect));
  // The original: a back page, the rectangle and a text box "Chapter one"
  // on page 1.
  {
    QPointer<CMainFrame> f = t.windows().openNote(path, "", false);
    ASSERT_TRUE(f);
    NoteDocument& doc = f->document();
    f->view().PageLeaving();
    doc.ToggleBackPage(true);
    doc.ToggleBackPage(true);
    auto box = std::make_unique<Text_Box>(&f->metrics());
    box->SetNumber(AppCounters_instance().nextFigureNumber());
    box->SetText(Sjis(u8"第一章\r\nChapter one"));
    box->SetBasePoint(100, 200);
    doc.workingFigures().append(std::move(box));
    f->SelectPageNumber(1);
    ASSERT_TRUE(f->commands().run(Cmd_FileSave));
    f->close();
    App::settle();
  }
  const std::string original = FileX_readWhole(path);
  QPointer<CMainFrame> f = t.windows().openNote(path, "", false);
  ASSERT_TRUE(f);
  f->resize(800, 600);
  App::settle();
  NoteDocument& doc = f->document();
  ASSERT_TRUE(doc.hasBackPage());
  ASSERT_EQ(1, doc.lastPageNumber());
  f->view().RedrawNow();
  FigureList& list = doc.workingFigures();
  Text_Box* chapter = nullptr;
  for (size_t i = 0; i < list.size(); ++i)
    if (list.at(i).GetKind() == FigureKind_Text) chapter = static_cast<Text_Box*>(&list.at(i));
  ASSERT_NE(nullptr, chapter);
  CadPrim* rect = NoteDocument_findFigureById(list, "box");
  ASSERT_NE(nullptr, rect);

  // New link page: disabled until a text box is held; the user clicks the
  // text box and leaves the preset name.
  EXPECT_FALSE(f->commands().run(Cmd_NewLinkPage));
  click(*f, *rect);
  EXPECT_FALSE(f->commands().action(Cmd_NewLinkPage)->isEnabled());
  click(*f, *chapter);
  ASSERT_EQ(chapter, f->view().selection()->HoldPrim());
  t.prompts.answers = {"\x01"};
  ASSERT_TRUE(f->commands().run(Cmd_NewLinkPage));
  EXPECT_EQ(Sjis(u8"リンク先の図形の識別名(URLの#より後):"), t.prompts.labels.at(0));
  EXPECT_EQ(Sjis(u8"(そのままOKなら自動生成)"), t.prompts.presets.at(0));
  const std::string link = chapter->GetUrl();
  ASSERT_TRUE(std::regex_match(link, std::regex("#[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}")))
      << link;
  const std::string name = link.substr(1);
  // The child page shows the copy, held, at (15, 16), with the name as id.
  ASSERT_EQ(2, doc.lastPageNumber());
  ASSERT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ(1, doc.parentNumber(2));
  EXPECT_EQ(Sjis(u8"第一章"), doc.page(2)->title());
  CadPrim* copy = f->view().selection()->HoldPrim();
  ASSERT_NE(nullptr, copy);
  EXPECT_EQ(name, copy->GetId());
  EXPECT_EQ(15, copy->GetEdge(0));
  EXPECT_EQ(16, copy->GetEdge(2));
  EXPECT_EQ(Sjis(u8"第一章\r\nChapter one"), static_cast<Text_Box*>(copy)->text());
  EXPECT_EQ(2, doc.FindPageByName(name));

  // Link address of the rectangle on page 1.
  ASSERT_TRUE(f->SelectPageNumber(1));
  rect = NoteDocument_findFigureById(doc.workingFigures(), "box");
  click(*f, *rect);
  t.prompts.answers = {"http://example.com/x?a=1"};
  ASSERT_TRUE(f->commands().run(Cmd_EditLinkAddress));
  EXPECT_EQ("URL/onclick", t.prompts.labels.at(1));
  EXPECT_EQ("", t.prompts.presets.at(1));
  EXPECT_EQ("http://example.com/x?a=1", rect->GetUrl());
  // Cancelled: nothing changes, no step.
  const size_t records = f->undo().recordCount();
  ASSERT_TRUE(f->commands().run(Cmd_EditLinkAddress));
  EXPECT_EQ("http://example.com/x?a=1", rect->GetUrl());
  EXPECT_EQ(records, f->undo().recordCount());

  // Page buttons from page 1: made on the back page, back on page 1.
  ASSERT_TRUE(f->commands().run(Cmd_PageButtons));
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ(Sjis(u8"背景の左上にページ切り替えボタン '<Back' と 'Next>' を作成しました。\r\n"
                 u8"このボタンは、SVG ビューアで表示したときにクリックできます。\r\n"
                 u8"Zerbin では、適当な位置に移動したり、プロパティを変更することができます。\r\n"),
            t.echoed());
  ASSERT_EQ(3u, doc.pageAt(0).figures.size());
  const auto& back = static_cast<const Text_Box&>(doc.pageAt(0).figures.at(1));
  const auto& next = static_cast<const Text_Box&>(doc.pageAt(0).figures.at(2));
  EXPECT_EQ("<Back", back.text());
  EXPECT_EQ("Next>", next.text());
  EXPECT_EQ(5, back.basePoint().x);
  EXPECT_EQ(60, next.basePoint().x);
  EXPECT_EQ(15, next.basePoint().y);

  // The saved file carries all of it.
  const std::string edited = save(*f);
  const std::string file = textOf(edited);
  EXPECT_NE(std::string::npos, file.find("onclick=\"nextPage( evt, -1 )\"")) << file;
  EXPECT_NE(std::string::npos, file.find("onclick=\"nextPage( evt, +1 )\""));
  EXPECT_EQ(2u, count(file, "fill:rgb(0,128,0)"));
  EXPECT_NE(std::string::npos, file.find("&lt;Back"));
  EXPECT_NE(std::string::npos, file.find("Next&gt;"));
  EXPECT_NE(std::string::npos, file.find("xlink:href=\"#" + name + "\""));
  EXPECT_NE(std::string::npos, file.find("id=\"" + name + "\""));
  EXPECT_NE(std::string::npos, file.find("http://example.com/x?a=1"));
  EXPECT_NE(std::string::npos, file.find(Sjis(u8"title=\"第一章\"")));
  {
    CMainFrameOptions o;
    o.workFolder = t.dir.file("prof/work");
    CMainFrame again(std::string(), o);
    again.LoadNote(path, false);
    EXPECT_EQ(2, again.document().FindPageByName(name));
    EXPECT_EQ(2u, again.document().pageAt(0).figureCount());
    EXPECT_EQ(ViewLinks_backButtonUrl, again.document().pageAt(0).figures.at(1).GetUrl());
  }

  // Three steps: undone, the note is the original byte for byte; redone,
  // the edited one.
  undoSteps(*f, 3);
  EXPECT_FALSE(f->undo().CanUndo());
  EXPECT_EQ(original, save(*f));
  undoSteps(*f, 3, true);
  EXPECT_EQ(edited, save(*f));
}

TEST(ViewLinkCommands, PageButtonsMakeTheBackPageAndInputMethodCommandsFollowThePlatform) {
  App t;
  const std::string path = t.dir.file("notes/b.svg");
  FileX_writeWhole(path, note1(kRect));
  QPointer<CMainFrame> f = t.windows().openNote(path, "", false);
  ASSERT_TRUE(f);
  f->show();
  App::settle();
  NoteDocument& doc = f->document();
  ASSERT_FALSE(doc.hasBackPage());
  ASSERT_TRUE(f->commands().run(Cmd_PageButtons));
  ASSERT_TRUE(doc.hasBackPage());
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ(2u, doc.pageAt(0).figureCount());
  // A button held on the back page: no link page there (it has no
  // children).
  ASSERT_TRUE(f->SelectPageNumber(0));
  f->view().selection()->SelectOnly(doc.workingFigures().at(1));
  ASSERT_NE(nullptr, f->view().selection()->HoldPrim());
  ViewLinkCommands_refresh(*f);
  EXPECT_FALSE(f->commands().action(Cmd_NewLinkPage)->isEnabled());
  ViewLinkCommands_newLinkPage(*f);
  EXPECT_EQ(1, doc.lastPageNumber());
  EXPECT_FALSE(f->commands().run(Cmd_NewLinkPage));
  ASSERT_TRUE(f->SelectPageNumber(1));
  // One undo step removes both buttons; the back page stays.
  undoSteps(*f, 1);
  EXPECT_FALSE(f->undo().CanUndo());
  EXPECT_EQ(0u, doc.pageAt(0).figureCount());

  // New link page with the name dialog cancelled: the page and the copy
  // are made, the source keeps no link and the copy no id; one step.
  ASSERT_TRUE(f->SelectPageNumber(1));
  auto made = std::make_unique<Text_Box>(&f->metrics());
  made->SetNumber(AppCounters_instance().nextFigureNumber());
  made->SetText("Topic");
  made->SetId("topic");
  made->SetBasePoint(200, 100);
  Text_Box& topic = static_cast<Text_Box&>(doc.workingFigures().append(std::move(made)));
  f->view().RedrawNow();
  click(*f, topic);
  ASSERT_TRUE(f->commands().run(Cmd_NewLinkPage));
  EXPECT_EQ("", topic.GetUrl());
  ASSERT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ("Topic", doc.page(2)->title());
  EXPECT_EQ("", f->view().selection()->HoldPrim()->GetId());
  EXPECT_EQ(1, doc.FindPageByName("topic"));
  undoSteps(*f, 1);
  EXPECT_EQ(1, doc.lastPageNumber());
  EXPECT_FALSE(f->undo().CanUndo());

  // The input method of the view opens and closes; handing text to it is
  // not offered by the platform, so those commands are disabled, Ctrl+D
  // included.
  const bool open = f->view().testAttribute(Qt::WA_InputMethodEnabled);
  QAction* onOff = f->commands().action(Cmd_InputMethodOnOff);
  ASSERT_TRUE(f->commands().run(Cmd_InputMethodOnOff));
  EXPECT_NE(open, f->view().testAttribute(Qt::WA_InputMethodEnabled));
  EXPECT_EQ(!open, onOff->isChecked());
  ASSERT_TRUE(f->commands().run(Cmd_InputMethodOnOff));
  EXPECT_EQ(open, f->view().testAttribute(Qt::WA_InputMethodEnabled));
  for (int id : {Cmd_Reconvert, Cmd_SendToInputMethod, Cmd_SendToInputMethodKey})
    EXPECT_FALSE(f->commands().run(id)) << id;
  EXPECT_EQ(QKeySequence(Qt::CTRL | Qt::Key_D), f->commands().action(Cmd_SendToInputMethodKey)->shortcut());
  EXPECT_FALSE(f->undo().IsModified());
}
