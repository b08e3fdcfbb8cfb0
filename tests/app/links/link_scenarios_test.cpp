// Notes in windows, driven as a user drives them on the offscreen
// platform: a click on a link to "#page3" of another note, back and
// forward across the windows; the decision table's targets (web address,
// folder, safe and unsafe files, missing files, undefined path variables);
// a new note with dropped files, saved as, closed and opened again from
// the recent list; and paths that are far too long.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QPointer>
#include <QTest>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/blackbox/zerbin_run.h"
#include "app/links/dropped_files.h"
#include "app/links/follow_link.h"
#include "app/links/frame_links.h"
#include "app/links/recording_shell.h"
#include "app/links/shell_services.h"
#include "app/links/app_folders.h"
#include "app/mainframe/main_frame.h"
#include "app/saving/recent_files.h"
#include "app/saving/save_commands.h"
#include "app/settings/settings.h"
#include "app/startup/zerbin_app.h"
#include "app/windows/window_list.h"
#include "core/filex/filex.h"
#include "core/filex/filex_delete.h"
#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "ink/ink_engine.h"
#include "platform/images/qt_image_decoder.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

#include <unistd.h>

WIDGET_TEST_APP_REGISTER();

namespace {

using testing_support::Sjis;

std::string page(int n, const std::string& body) {
  return "<g id=\"page" + std::to_string(n) + "\" width=\"800\" height=\"1400\" transform=\"translate(+10,+" +
         std::to_string(10 + (n - 1) * 1410) + ")\">\r\n" + body + "</g>\r\n";
}

std::string note(const std::string& pages, int count) {
  std::string list = "<zerbin-pages>\r\n";
  for (int i = 1; i <= count; ++i)
    list += "<zerbin-page num=\"" + std::to_string(i) + "\" title=\"p" + std::to_string(i) + "\"/>\r\n";
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"00820\" height=\"04240\" "
         "sub_doctype=\"zerbin-300\">\r\n" + pages + list + "</zerbin-pages>\r\n</svg>\r\n";
}

std::string rect(int x, int y, const char* fill, const char* id = nullptr) {
  return std::string("<rect ") + (id ? std::string("id=\"") + id + "\" " : std::string()) + "x=\"" +
         std::to_string(x) + "\" y=\"" + std::to_string(y) +
         "\" width=\"120\" height=\"80\" style=\"fill:" + fill + "\" fill=\"" + fill + "\"/>\r\n";
}

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  explicit ScriptedPrompts(std::string echo) : NonInteractivePrompts(std::move(echo)) {}
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons b,
                          PromptIcon i, PromptAnswer def, uint32_t owner) override {
    titles.emplace_back(title);
    if (onBox) onBox(text);
    return NonInteractivePrompts::messageBox(text, title, b, i, def, owner);
  }
  bool saveFileName(std::string_view, std::string_view, std::string& path, int& kind,
                    uint32_t) override {
    if (saveNames.empty()) return false;
    path = saveNames.front();
    kind = 0;
    saveNames.pop_front();
    return true;
  }
  bool openFileName(std::string_view, std::string_view filter, std::string& path, uint32_t) override {
    openFilter = filter;
    if (openNames.empty()) return false;
    path = openNames.front();
    openNames.pop_front();
    return true;
  }
  PromptAnswer confirmWithCheck(std::string_view text, std::string_view title,
                                std::string_view check, bool& checked, PromptAnswer def,
                                uint32_t owner) override {
    if (!tickNeverAsk) return UserPrompts::confirmWithCheck(text, title, check, checked, def, owner);
    checkLabels.emplace_back(check);
    checked = true;
    return PromptAnswer::Ok;
  }
  // Runs while a box waits for its answer (as calls of other starts do).
  std::function<void(std::string_view text)> onBox;
  bool tickNeverAsk = false;
  std::vector<std::string> titles, checkLabels;
  std::deque<std::string> saveNames, openNames;
  std::string openFilter;
};


// An application with its folders below a test folder, without start-up:
// every window goes through its window list.
struct App {
  testing_support::TempDir dir;
  std::string echo = dir.file("echo.txt");
  ScriptedPrompts prompts{echo};
  RecordingShell shell;
  CZerbinApp app;
  App() {
    AppFolders_prepare(app, dir);
    UserPrompts_set(&prompts);
    ShellServices_set(&shell);
  }
  ~App() {
    app.frames.clear();
    Susie_freeAll();
    ShellServices_set(nullptr);
    UserPrompts_set(nullptr);
  }
  WindowList& windows() { return WindowList_of(app); }
  std::string echoed() { return FileX_isFile(echo) ? FileX_readWhole(echo) : std::string(); }
  // Lets queued closes and deferred deletions happen.
  static void settle() {
    for (int i = 0; i < 3; ++i) {
      QApplication::processEvents();
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
  }
  std::string selectedId(CMainFrame& f) {
    ViewSelection* s = f.view().selection();
    return s && s->HoldPrim() ? s->HoldPrim()->GetId() : std::string();
  }
};

QPoint clientCentre(CMainFrame& f, const CadPrim& figure) {
  const Rect32 b = figure.GetBounds();
  const Point32 c = f.view().CanvasToClient({b.x + b.w / 2, b.y + b.h / 2});
  return {c.x, c.y};
}

// The figures of every page as the note file writes them.
std::string figuresOf(CMainFrame& f) {
  std::string all;
  NoteDocument& doc = f.document();
  for (int32_t n = 1; n <= doc.lastPageNumber(); ++n) {
    f.SelectPageNumber(n);
    const FigureList& list = doc.workingFigures();
    for (size_t i = 0; i < list.size(); ++i) {
      const CadPrim& p = list.at(i);
      if (p.GetKind() == FigureKind_Canvas) continue;
      const Rect32 b = p.GetBounds();
      all += std::to_string(p.GetKind()) + " " + p.GetUrl() + " " + p.GetId() + " " +
             std::to_string(b.x) + "," + std::to_string(b.y) + "," + std::to_string(b.w) + "," +
             std::to_string(b.h);
      if (p.GetKind() == FigureKind_Text) all += " " + static_cast<const Text_Box&>(p).text();
      all += "\n";
    }
  }
  return all;
}

}  // namespace

TEST(LinkScenarios, LinkToPage3OfAnotherNoteThenBackAndForwardAcrossWindows) {
  App t;
  const std::string a = t.dir.file("notes/a.svg");
  const std::string b = t.dir.file("notes/b.svg");
  FileX_writeWhole(a, note(page(1, rect(20, 20, "rgb(255,0,0)")) +
                               page(2, rect(400, 900, "rgb(0,255,0)", "mark") +
                                           "<a xlink:href=\"b.svg#page3\"><rect id=\"go\" x=\"300\" y=\"600\" "
                                           "width=\"160\" height=\"90\" style=\"fill:rgb(0,0,255)\" "
                                           "fill=\"rgb(0,0,255)\"/></a>\r\n"),
                           2));
  FileX_writeWhole(b, note(page(1, "") + page(2, "") + page(3, rect(40, 40, "rgb(255,255,0)", "p3box")), 3));

  QPointer<CMainFrame> first = t.windows().openNote(a, "", false);
  ASSERT_TRUE(first);
  first->resize(700, 500);
  App::settle();
  ASSERT_TRUE(first->SelectPageNumber(2));
  first->view().SetZoom(150, 1, {0, 0});
  first->view().ScrollTo({120, 500});
  const Point32 scroll = first->view().geometry().scroll;
  ASSERT_GT(scroll.y, 0);
  const CadPrim* go = NoteDocument_findFigureById(first->document().workingFigures(), "go");
  ASSERT_NE(nullptr, go);
  // The link figure's target: the reader keeps the <a> element's (none).
  ASSERT_EQ("", go->GetTarget());

  // The user clicks the link: b.svg opens on page 3 in a new window and
  // this window closes.
  QTest::mouseClick(first->view().viewport(), Qt::LeftButton, {}, clientCentre(*first, *go));
  App::settle();
  EXPECT_TRUE(first.isNull());
  ASSERT_EQ(1u, t.windows().frames().size());
  QPointer<CMainFrame> second = t.windows().frames()[0];
  EXPECT_EQ(b, second->notePath());
  EXPECT_EQ(3, second->document().currentPageNumber());
  EXPECT_TRUE(second->links().history.canBack());
  EXPECT_FALSE(second->links().history.canForward());
  EXPECT_FALSE(second->commands().run(Cmd_LinkForward));  // disabled: nothing ahead
  second->view().ScrollTo({0, 7});
  const Point32 scrollB = second->view().geometry().scroll;

  // "Back" (the key of the platform): a.svg again, page 2, the zoom, the
  // scroll position and the selected figure as they were.
  QAction* back = second->commands().action(Cmd_LinkBack);
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(QKeySequence(QKeySequence::Back), back->shortcut());
  ASSERT_TRUE(second->commands().run(Cmd_LinkBack));
  App::settle();
  EXPECT_TRUE(second.isNull());
  ASSERT_EQ(1u, t.windows().frames().size());
  QPointer<CMainFrame> third = t.windows().frames()[0];
  EXPECT_EQ(a, third->notePath());
  EXPECT_EQ(2, third->document().currentPageNumber());
  EXPECT_EQ(150, third->view().geometry().zoom);
  EXPECT_EQ(scroll, third->view().geometry().scroll);
  EXPECT_EQ("go", t.selectedId(*third));
  EXPECT_FALSE(third->links().history.canBack());
  EXPECT_TRUE(third->links().history.canForward());
  EXPECT_FALSE(third->commands().action(Cmd_LinkBack)->isEnabled());

  // Forward: b.svg on page 3 where it was left.
  ASSERT_TRUE(third->commands().run(Cmd_LinkForward));
  App::settle();
  EXPECT_TRUE(third.isNull());
  ASSERT_EQ(1u, t.windows().frames().size());
  CMainFrame* fourth = t.windows().frames()[0];
  EXPECT_EQ(b, fourth->notePath());
  EXPECT_EQ(3, fourth->document().currentPageNumber());
  EXPECT_EQ(scrollB, fourth->view().geometry().scroll);
  EXPECT_TRUE(fourth->links().history.canBack());

  // A link to the open note brings its window to the front: no second one.
  FollowLinkRequest again;
  again.link = b + "#p3box";
  again.target = "_blank";
  EXPECT_EQ(fourth, CMainFrame_followLink(*fourth, again));
  EXPECT_EQ(1u, t.windows().frames().size());
  EXPECT_EQ("p3box", t.selectedId(*fourth));
  // Nothing was said to the user on the way.
  EXPECT_EQ("", t.echoed());
}

TEST(LinkScenarios, TheDecisionTableSendsEachTargetWhereItBelongs) {
  App t;
  const std::string a = t.dir.file("notes/a.svg");
  FileX_writeWhole(a, note(page(1, rect(20, 20, "rgb(255,0,0)", "Summary")) + page(2, ""), 2));
  FileX_writeWhole(t.dir.file("notes/readme.txt"), "text");
  FileX_writeWhole(t.dir.file("notes/page.html"), "<html/>");
  FileX_makeFolders(t.dir.file("notes/sub"), false);
  // A user path variable "docs" for the notes folder.
  FileX_writeWhole(t.dir.file("prof/path_var/docs.ini"),
                   "[PathVariable]\r\nComment = my notes\r\nPath = " + t.dir.file("notes") + "\r\n \r\n");
  t.windows().reloadPathVariables();
  CMainFrame* f = t.windows().openNote(a, "", false);
  ASSERT_NE(nullptr, f);
  f->SelectPageNumber(2);
  auto follow = [&](const std::string& link) {
    FollowLinkRequest r;
    r.link = link;
    return CMainFrame_followLink(*f, r);
  };

  // A name inside the note, and one that no page has.
  EXPECT_EQ(f, follow("#Summary"));
  EXPECT_EQ(1, f->document().currentPageNumber());
  EXPECT_EQ("Summary", t.selectedId(*f));
  EXPECT_EQ(f, follow("#Nowhere"));
  // Web addresses and folders go to the desktop; two '?' cannot be asked.
  EXPECT_EQ(nullptr, follow("https://example.org/a?b=1#top"));
  EXPECT_EQ(nullptr, follow("http://example.org/?q=1?kw=2"));
  EXPECT_EQ(nullptr, follow("%docs%/sub"));
  // A page with a fragment is a file like any other: it asks first.
  EXPECT_EQ(nullptr, follow("page.html#part"));
  // A file that is not in the safe list asks first (Cancel by default);
  // one whose pattern is there opens at once.
  EXPECT_EQ(nullptr, follow("readme.txt"));
  FileX_writeWhole(t.dir.file("prof/security/safefiles.txt"), "*\r\n  *.txt  \r\n");
  EXPECT_EQ(nullptr, follow("%DOCS%/readme.txt"));
  // "Do not ask again" adds the file's pattern to the list.
  FileX_writeWhole(t.dir.file("notes/table.csv"), "1,2");
  t.prompts.tickNeverAsk = true;
  EXPECT_EQ(nullptr, follow("table.csv"));
  t.prompts.tickNeverAsk = false;
  EXPECT_EQ((std::vector<std::string>{Sjis(u8"今後は確認しない (*.csv)")}), t.prompts.checkLabels);
  EXPECT_EQ("*\r\n  *.txt  \r\n*.csv\r\n", FileX_readWhole(t.dir.file("prof/security/safefiles.txt")));
  EXPECT_EQ(nullptr, follow("table.csv"));
  EXPECT_EQ(1u, t.prompts.checkLabels.size());
  EXPECT_EQ((std::vector<std::string>{"https://example.org/a?b=1#top", t.dir.file("notes/sub"),
                                      t.dir.file("notes/readme.txt"), t.dir.file("notes/table.csv"),
                                      t.dir.file("notes/table.csv")}),
            t.shell.opened);
  // A keyword link: the anchor of the word in the keyword file leads to
  // the figure Summary of this note.
  FileX_writeWhole(t.dir.file("notes/kw.html"),
                   "<html><body><a href=\"a.svg#Summary\">Sum</a></body></html>");
  f->SelectPageNumber(2);
  EXPECT_EQ(f, follow("kw.html?kw=sum"));
  EXPECT_EQ(1, f->document().currentPageNumber());
  // A fragment of another file goes to the SearchOpen command line, split
  // into words without a shell.
  t.app.settings.searchOpen = "viewer --find \"%2\" %1";
  EXPECT_EQ(nullptr, follow("readme.txt#a \"b\""));
  EXPECT_EQ((std::vector<std::string>{"viewer", "--find", "a \\'b\\'", t.dir.file("notes/readme.txt")}),
            std::vector<std::string>(t.shell.opened.end() - 4, t.shell.opened.end()));
  t.shell.opened.resize(t.shell.opened.size() - 4);
  // Missing targets: the box of the decision table, and a variable that no
  // file defines named below it.
  EXPECT_EQ(nullptr, follow("gone.svg"));
  EXPECT_EQ(nullptr, follow("%undefined%/x.svg"));
  EXPECT_EQ(1u, t.windows().frames().size());
  const std::string notes = t.dir.file("notes");
  EXPECT_EQ(Sjis(u8"リンク先Nowhereが見つかりません\r\n"
                 u8"キーワードを入力するテキストボックスが見つかりません\r\n"
                 u8"このファイルを開きますか？\r\n") +
                notes + Sjis(u8"/page.html\r\n種類: html\r\nこのファイルを開きますか？\r\n") +
                notes + Sjis(u8"/readme.txt\r\n種類: txt\r\n") +
                notes + Sjis(u8"/gone.svg が見つかりません。\r\n") +
                notes + Sjis(u8"/%undefined%/x.svg が見つかりません。\r\nパス変数 %undefined% が定義されていません。\r\n"),
            t.echoed());
  EXPECT_EQ("リンク先エラー", t.prompts.titles.back());
  // Paths come back in variable form; a note of that folder keeps its own.
  EXPECT_EQ("%docs%/x/y.svg", t.windows().pathVariables().toVariableForm(notes + "/x/y.svg"));
  EXPECT_EQ(notes + "/x/y.svg", t.windows().pathVariables().toVariableForm(notes + "/x/y.svg", a));

  // The open dialog (Ctrl+O) with the note filter opens in a new window.
  const std::string b = t.dir.file("notes/b.svg");
  FileX_writeWhole(b, note(page(1, ""), 1));
  t.prompts.openNames.push_back(b);
  ASSERT_TRUE(f->commands().run(Cmd_FileOpen));
  EXPECT_EQ(QKeySequence(QKeySequence::Open), f->commands().action(Cmd_FileOpen)->shortcut());
  EXPECT_EQ(Sjis(u8"SVG形式 Scalable Vector Graphics (*.svg, *.svgz)|*.svg;*.svgz|すべてのファイル (*.*)|*.*||"),
            t.prompts.openFilter);
  App::settle();
  ASSERT_EQ(2u, t.windows().frames().size());
  EXPECT_EQ(b, t.windows().frames()[0]->notePath());
  EXPECT_EQ(a, t.windows().frames()[1]->notePath());
}

TEST(LinkScenarios, NewNoteWithDroppedFilesSavedAsClosedAndReopenedFromTheRecentList) {
  App t;
  FileX_writeWhole(t.dir.file("prof/template/new_default.svg"),
                   note(page(1, rect(10, 10, "rgb(1,2,3)", "fromTemplate")), 1));
  // Files dropped on the new note: a picture, a note, a shortcut (symbolic
  // link) to a text file, and an Internet shortcut.
  QImage png(4, 3, QImage::Format_RGB32);
  png.fill(Qt::red);
  ASSERT_TRUE(png.save(QtText_fromCp932(t.dir.file("notes/pic.png"))));
  FileX_writeWhole(t.dir.file("notes/other.svg"), note(page(1, ""), 1));
  FileX_writeWhole(t.dir.file("notes/data.txt"), "x");
  ASSERT_EQ(0, symlink(t.dir.file("notes/data.txt").c_str(), t.dir.file("notes/shortcut").c_str()));
  FileX_writeWhole(t.dir.file("notes/site.url"), "[InternetShortcut]\r\nURL=https://example.org/\r\n");

  CMainFrame* keeper = t.windows().openNote(t.dir.file("notes/other.svg"), "", false);
  ASSERT_NE(nullptr, keeper);
  QApplication::setActiveWindow(keeper);
  QTest::keySequence(keeper, QKeySequence::New);
  App::settle();
  ASSERT_EQ(2u, t.windows().frames().size());
  QPointer<CMainFrame> fresh = t.windows().frames()[0];
  EXPECT_EQ("", fresh->notePath());
  ASSERT_NE(nullptr, NoteDocument_findFigureById(fresh->document().workingFigures(), "fromTemplate"));

  CadPrim* image = MakeFigureForFile(*fresh, {200, 100}, t.dir.file("notes/pic.png"), 0, false);
  ASSERT_NE(nullptr, image);
  EXPECT_EQ(RectShape_Image, static_cast<Rect_Ex*>(image)->shape);
  int32_t index = 0;
  for (const char* name : {"other.svg", "shortcut", "site.url"}) {
    CadPrim* box = MakeFigureForFile(*fresh, {40, 300}, t.dir.file(std::string("notes/") + name), index++, false);
    ASSERT_NE(nullptr, box);
    ASSERT_EQ(FigureKind_Text, box->GetKind());
  }
  const FigureList& list = fresh->document().workingFigures();
  const auto& other = static_cast<const Text_Box&>(list.at(list.size() - 3));
  const auto& shortcut = static_cast<const Text_Box&>(list.at(list.size() - 2));
  const auto& site = static_cast<const Text_Box&>(list.at(list.size() - 1));
  EXPECT_EQ("other", other.text());
  EXPECT_EQ(t.dir.file("notes/other.svg"), other.GetUrl());
  EXPECT_EQ("shortcut.txt", shortcut.text());
  EXPECT_EQ(t.dir.file("notes/data.txt"), shortcut.GetUrl());
  EXPECT_EQ("site (Web)", site.text());
  EXPECT_EQ("https://example.org/", site.GetUrl());
  EXPECT_EQ(24, shortcut.GetBounds().y - other.GetBounds().y);
  EXPECT_EQ(24, site.GetBounds().y - shortcut.GetBounds().y);
  EXPECT_EQ(&site, fresh->view().selection()->HoldPrim());
  ASSERT_TRUE(fresh->undo().IsModified());
  // Let the picture take its natural size, as the screen does.
  fresh->view().RedrawNow();
  const std::string before = figuresOf(*fresh);
  ASSERT_NE(std::string::npos, before.find("4,3")) << before;

  // Save as, close, and open again from the recent list of the other window.
  const std::string saved = t.dir.file("notes/new note.svg");
  t.prompts.saveNames.push_back(saved);
  ASSERT_TRUE(fresh->commands().run(Cmd_FileSaveAs));
  ASSERT_TRUE(FileX_isFile(saved));
  const std::string bytes = FileX_readWhole(saved);
  fresh->close();
  App::settle();
  EXPECT_TRUE(fresh.isNull());
  ASSERT_EQ(1u, t.windows().frames().size());
  ASSERT_EQ(saved, RecentFiles_read(t.app.folders.profileFolder).at(0).path);
  // The File menu opens (its entries follow the list) and the user picks
  // the first entry.
  NoteSave_refreshRecentEntries(keeper->commands(), *keeper);
  ASSERT_TRUE(keeper->commands().run(Cmd_RecentFile1));
  App::settle();
  ASSERT_EQ(2u, t.windows().frames().size());
  CMainFrame* reopened = t.windows().frames()[0];
  EXPECT_EQ(saved, reopened->notePath());
  reopened->view().RedrawNow();
  EXPECT_EQ(before, figuresOf(*reopened));
  // Saved again unchanged, the file keeps its bytes.
  ASSERT_TRUE(reopened->commands().run(Cmd_FileSave));
  EXPECT_EQ(bytes, FileX_readWhole(saved));
  EXPECT_EQ("", t.echoed());
}

TEST(LinkScenarios, PathsFarTooLongAreRefusedWithAMessageAndNoWindow) {
  App t;
  const std::string a = t.dir.file("notes/a.svg");
  FileX_writeWhole(a, note(page(1, ""), 1));
  CMainFrame* f = t.windows().openNote(a, "", false);
  ASSERT_NE(nullptr, f);
  const std::string longPath = "/" + std::string(3999, 'x');
  ASSERT_EQ(4000u, longPath.size());
  EXPECT_EQ(nullptr, t.windows().openNote(longPath, "", false));
  FollowLinkRequest r;
  r.link = longPath + ".svg#page2";
  EXPECT_EQ(nullptr, CMainFrame_followLink(*f, r));
  r.link = std::string(4000, 'y') + ".svg";  // relative: too long once made absolute
  EXPECT_EQ(nullptr, CMainFrame_followLink(*f, r));
  EXPECT_EQ(1u, t.windows().frames().size());
  EXPECT_EQ(a, f->notePath());
  const std::string echo = t.echoed();
  EXPECT_EQ(3, std::count(echo.begin(), echo.end(), '\n')) << echo;
  EXPECT_NE(std::string::npos, echo.find(longPath + Sjis(u8" が見つかりません。\r\n")));

  // The program given such a path says so and ends with status 1.
  const std::string given = t.dir.file(std::string(4000 - t.dir.file("").size(), 'z'));
  ASSERT_EQ(4000u, given.size());
  testing_support::TempDir run;
  ZerbinRun p = runZerbin(run, {"-prof=" + run.file("P"), given});
  EXPECT_EQ(1, p.status) << p.err;
  EXPECT_EQ(given + Sjis(u8" を開こうとしましたが見つかりません。\n"), p.echo);
}

TEST(LinkScenarios, TargetsPinnedWindowsTemplatesAndThePoolOfHiddenWindows) {
  App t;
  FileX_writeWhole(t.dir.file("prof/template/file_default.svg"),
                   note(page(1, rect(5, 5, "rgb(9,9,9)", "emptyStart")), 1));
  const std::string a = t.dir.file("notes/a.svg");
  FileX_writeWhole(a, note(page(1, ""), 1));
  std::vector<std::string> others;
  for (int i = 0; i < 21; ++i) {
    others.push_back(t.dir.file("notes/n" + std::to_string(i) + ".svg"));
    FileX_writeWhole(others.back(), note(page(1, rect(i, i, "rgb(0,0,0)")), 1));
  }
  CMainFrame* f = t.windows().openNote(a, "", false);
  ASSERT_NE(nullptr, f);
  // A pinned window is not replaced: the link opens a new window.
  ASSERT_TRUE(f->commands().run(Cmd_PinWindow));
  EXPECT_TRUE(f->links().pinned);
  FollowLinkRequest r;
  r.link = others[0];
  CMainFrame* g = CMainFrame_followLink(*f, r);
  App::settle();
  ASSERT_NE(nullptr, g);
  EXPECT_EQ(2u, t.windows().frames().size());
  EXPECT_EQ(a, f->notePath());
  // A named target: the second link goes to the same window.
  r.link = others[1];
  r.target = "side";
  CMainFrame* side = CMainFrame_followLink(*f, r);
  r.link = others[2];
  EXPECT_EQ(side, CMainFrame_followLink(*f, r));
  EXPECT_EQ(others[2], side->notePath());
  EXPECT_EQ(3u, t.windows().frames().size());
  // An empty note file starts from the template of empty files and keeps
  // its own name.
  const std::string empty = t.dir.file("notes/empty.svg");
  FileX_writeWhole(empty, "");
  CMainFrame* e = t.windows().openNote(empty, "", false);
  ASSERT_NE(nullptr, e);
  EXPECT_EQ(empty, e->notePath());
  EXPECT_NE(nullptr, NoteDocument_findFigureById(e->document().workingFigures(), "emptyStart"));

  // A note with a record in "window.ini" takes its place and pin from it;
  // a note with ink shows it.
  const std::string placed = t.dir.file("notes/placed.svg");
  FileX_writeWhole(placed, note(page(1, "<g id=\"zerbin-ink\" type=\"front\">\r\n"
                                        "<g id=\"zerbin-stroke\" style=\"stroke:rgb(255,0,0)\">\r\n"
                                        "<line x1=\"1\" y1=\"2\" x2=\"30\" y2=\"40\" "
                                        "style=\"stroke-width:2.0\"/>\r\n</g>\r\n</g>\r\n"),
                                1));
  WindowPosition pos;
  pos.key = placed;
  pos.left = 40, pos.top = 30, pos.right = 540, pos.bottom = 430;
  pos.viewFlags = 2;
  ASSERT_TRUE(CZerbinApp_saveWindowPosition(t.app.folders.profileFolder, pos, ""));
  CMainFrame* p = t.windows().openNote(placed, "", false);
  ASSERT_NE(nullptr, p);
  EXPECT_EQ(QSize(500, 400), p->size());
  EXPECT_TRUE(p->links().pinned);
  // The ink is shown (the notice is only for a window with ink off).
  ASSERT_NE(nullptr, p->view().ink());
  EXPECT_EQ(1u, p->view().ink()->page().strokes().size());
  EXPECT_EQ("", t.echoed());
  FileX_deleteFile(t.echo);

  // Up to 20 windows, then a closed window stays hidden in the pool and
  // the next note is loaded into it.
  for (int i = 3; t.windows().frames().size() < WindowList_poolFrom; ++i)
    ASSERT_NE(nullptr, t.windows().openNote(others[i], "", false));
  QPointer<CMainFrame> closing = t.windows().frames()[0];
  closing->close();
  App::settle();
  ASSERT_FALSE(closing.isNull());
  EXPECT_TRUE(closing->isHidden());
  EXPECT_TRUE(t.windows().isPooled(*closing));
  EXPECT_EQ(WindowList_poolFrom, t.windows().frames().size());
  EXPECT_EQ(closing.data(), t.windows().openNote(others[20], "", false));
  EXPECT_FALSE(closing->isHidden());
  EXPECT_EQ(others[20], closing->notePath());
  EXPECT_EQ(WindowList_poolFrom, t.windows().frames().size());
  EXPECT_EQ("", t.echoed());
}

TEST(LinkScenarios, ClosedWindowsLeaveTheirPlaceAndABusyPooledWindowIsNotReused) {
  App t;
  std::vector<std::string> notes;
  for (int i = 0; i < 22; ++i) {
    notes.push_back(t.dir.file("notes/n" + std::to_string(i) + ".svg"));
    FileX_writeWhole(notes.back(), note(page(1, rect(i, i, "rgb(0,0,0)")), 1));
  }
  // The user moves and sizes a window and closes it: "window.ini" has its
  // place, and the note opened again comes up there.
  CMainFrame* f = t.windows().openNote(notes[0], "", false);
  ASSERT_NE(nullptr, f);
  f->move(70, 50);
  f->resize(610, 420);
  ASSERT_TRUE(f->commands().run(Cmd_PinWindow));
  f->close();
  App::settle();
  WindowPosition pos;
  ASSERT_TRUE(CZerbinApp_loadWindowPosition(t.app.folders.profileFolder, notes[0], pos));
  EXPECT_EQ(70, pos.left);
  EXPECT_EQ(50, pos.top);
  EXPECT_EQ(680, pos.right);
  EXPECT_EQ(470, pos.bottom);
  EXPECT_EQ(2, pos.viewFlags);
  // An untitled note has no key: it writes nothing.
  CMainFrame* untitled = t.windows().openNote("", "_blank", true);
  ASSERT_NE(nullptr, untitled);
  untitled->close();
  App::settle();
  f = t.windows().openNote(notes[0], "", false);
  ASSERT_NE(nullptr, f);
  EXPECT_EQ(QPoint(70, 50), f->pos());
  EXPECT_EQ(QSize(610, 420), f->size());
  EXPECT_TRUE(f->links().pinned);
  EXPECT_EQ(std::string::npos, FileX_readWhole(t.dir.file("prof/window.ini")).find("w = , "));

  // Twenty windows; one closes into the pool.
  for (int i = 1; t.windows().frames().size() < WindowList_poolFrom; ++i)
    ASSERT_NE(nullptr, t.windows().openNote(notes[i], "", false));
  QPointer<CMainFrame> pooled = t.windows().frames()[0];
  pooled->close();
  App::settle();
  ASSERT_TRUE(t.windows().isPooled(*pooled));
  // A note whose reading stops at a box: while the box waits, another
  // start's call opens a note.  The pooled window is busy loading the first
  // note and is not taken; the call gets a window of its own.
  const std::string cut = t.dir.file("notes/cut.svg");
  FileX_writeWhole(cut, "<svg>\r\n<g id=\"zerbin-ink\" type=\"front\">\r\n<zerbin-ink-rawdata>\r\n"
                        "<![CDATA[\r\nAAAA\r\n");
  CMainFrame* nested = nullptr;
  t.prompts.onBox = [&](std::string_view text) {
    if (text != "feof") return;
    EXPECT_TRUE(t.windows().isBusy(*pooled));
    nested = t.windows().openNote(notes[21], "", false);
  };
  CMainFrame* loaded = t.windows().openNote(cut, "", false);
  t.prompts.onBox = nullptr;
  EXPECT_EQ(pooled.data(), loaded);
  ASSERT_NE(nullptr, nested);
  EXPECT_NE(pooled.data(), nested);
  EXPECT_EQ(cut, pooled->notePath());
  EXPECT_EQ(notes[21], nested->notePath());
  EXPECT_FALSE(t.windows().isBusy(*pooled));
  EXPECT_EQ(WindowList_poolFrom + 1, t.windows().frames().size());
}

TEST(LinkScenarios, LinkAddressCommandsCopyAndPasteAddresses) {
  App t;
  const std::string a = t.dir.file("notes/a.svg");
  FileX_writeWhole(a, note(page(1, rect(20, 20, "rgb(255,0,0)", "box") + rect(300, 20, "rgb(0,0,255)")), 1));
  FileX_writeWhole(t.dir.file("prof/path_var/docs.ini"),
                   "[PathVariable]\r\nPath = " + t.dir.file("shared") + "\r\n \r\n");
  t.windows().reloadPathVariables();
  CMainFrame* f = t.windows().openNote(a, "", false);
  ASSERT_NE(nullptr, f);
  FigureList& list = f->document().workingFigures();
  CadPrim& box = *NoteDocument_findFigureById(list, "box");
  CadPrim& plain = list.at(list.size() - 1);
  QClipboard* clip = QGuiApplication::clipboard();

  // "Copy the address of here": the note's path and the figure's id; a
  // figure without id says so.
  f->view().selection()->SelectOnly(box);
  ASSERT_TRUE(f->commands().run(Cmd_CopyHereAddress));
  EXPECT_EQ(a + "#box", QtText_toCp932(clip->text()));
  f->view().selection()->SelectOnly(plain);
  ASSERT_TRUE(f->commands().run(Cmd_CopyHereAddress));
  EXPECT_EQ(Sjis(u8"id が設定されていないためコピーしませんでした。\r\n"), t.echoed());
  EXPECT_EQ(Sjis(u8"エラー"), t.prompts.titles.back());

  // "Paste address": quoted, relative to the note, in variable form; one
  // undo step takes it back.
  clip->setText(QtText_fromCp932("  \"" + t.dir.file("notes/sub/b.svg#x") + "\" "));
  ASSERT_TRUE(f->commands().run(Cmd_PasteAddress));
  EXPECT_EQ("sub/b.svg#x", plain.GetUrl());
  clip->setText(QtText_fromCp932(t.dir.file("shared/c.svg")));
  ASSERT_TRUE(f->commands().run(Cmd_PasteAddress));
  EXPECT_EQ("%docs%/c.svg", plain.GetUrl());
  EXPECT_TRUE(f->undo().IsModified());
  ASSERT_TRUE(f->undo().Undo(f->document()));
  EXPECT_EQ("sub/b.svg#x", list.at(list.size() - 1).GetUrl());
  // "Copy link address" gives the variable expanded.
  f->view().selection()->DeselectAll(true);
  CadPrim& again = list.at(list.size() - 1);
  again.SetUrl("%docs%/d.svg");
  f->view().selection()->SelectOnly(again);
  ASSERT_TRUE(f->commands().run(Cmd_CopyLinkAddress));
  EXPECT_EQ(t.dir.file("shared/d.svg"), QtText_toCp932(clip->text()));
}
