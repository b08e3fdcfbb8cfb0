// The page tree and the page commands on a real main window (offscreen):
// whole user tasks that end in the saved note.
//
// Dragging in the tree: a real drag runs the platform's drag loop, which
// the offscreen platform cannot drive, so the tests hand the tree the
// events a drag delivers (enter, move, drop) at the pixel positions of its
// items, carrying the data the tree's own model makes for the dragged item.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QDockWidget>
#include <QDropEvent>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTreeWidgetItemIterator>

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/mainframe/main_frame.h"
#include "app/pages/page_commands.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "figures/rect/rect_ex.h"
#include "platform/text/qt_text.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer defaultAnswer, uint32_t) override {
    boxes.push_back(std::string(title) + ": " + std::string(text));
    return defaultAnswer;
  }
  bool inputText(std::string_view, std::string_view, std::string& value, uint32_t) override {
    if (inputs.empty()) return false;
    value = inputs.front();
    inputs.pop_front();
    return true;
  }
  std::vector<std::string> boxes;
  std::deque<std::string> inputs;
};

std::string page(int n, const std::string& body, const std::string& extra = "") {
  return "<g id=\"page" + std::to_string(n) + "\" width=\"400\" height=\"300\"" + extra +
         " transform=\"translate(+10,+" + std::to_string(10 + 310 * (n - 1)) + ")\">\r\n" + body +
         "</g>\r\n";
}
std::string rect(const char* colour, const std::string& attrs = "") {
  return "<rect" + attrs + " x=\"20\" y=\"20\" width=\"100\" height=\"80\" style=\"fill:rgb(" +
         colour + ")\"/>\r\n";
}
std::string note(const std::string& pages, const std::string& titles) {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
         "<svg sub_doctype=\"zerbin-300\" width=\"00420\" height=\"00940\">\r\n" +
         pages + "<zerbin-pages>\r\n" + titles + "</zerbin-pages>\r\n</svg>\r\n";
}
std::string title(int n, const char* text, bool open = false) {
  return "<zerbin-page num=\"" + std::to_string(n) + "\" title=\"" + text + "\"" +
         (open ? ">" : "/>") + "\r\n";
}

struct Fixture {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<CMainFrame> frame;
  std::string path;
  std::map<const NotePage*, std::string> names;

  Fixture() {
    FileX_makeFolders(dir.file("work"), false);
    UserPrompts_set(&prompts);
  }
  ~Fixture() {
    frame.reset();
    UserPrompts_set(nullptr);
  }
  CMainFrameOptions options() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("work");
    o.save.variables = [this](std::string_view name, std::string& value) {
      if (name != "template") return false;
      value = dir.file("tmpl");
      return true;
    };
    return o;
  }
  void open(const std::string& text, const std::string& name = "note.svg") {
    path = dir.file(name);
    FileX_writeWhole(path, text);
    frame = std::make_unique<CMainFrame>(std::string(), options());
    frame->LoadNote(path, false);
    frame->view().m_Sleep = [](int) {};
    frame->show();
    QApplication::processEvents();
  }
  NoteDocument& doc() { return frame->document(); }
  CLeftView& tree() { return frame->pages().tree(); }
  std::string save() {
    EXPECT_TRUE(frame->commands().run(Cmd_FileSave));
    return FileX_readWhole(path);
  }
  bool run(int id) { return frame->commands().run(id); }
  // On page 2 (F8 from page 1), the pages of the note `other` are inserted
  // through the command; false when it refused.
  bool insertOnPage2(const std::string& other) {
    key(Qt::Key_F8);
    EXPECT_EQ(2, doc().currentPageNumber());
    frame->pages().askNoteToInsert = [other](std::string& chosen) {
      chosen = other;
      return true;
    };
    return run(Cmd_InsertPagesFromFile);
  }
  NotePage* current() { return doc().currentPage(); }
  void name(const char* n) { names[current()] = n; }
  // The pages in list order, a dot per level above them.
  std::string outline() {
    std::string out;
    for (size_t i = 0; i < doc().pageCount(); ++i) {
      const int32_t number = doc().pageNumberAt(i);
      if (number == 0) continue;
      out += (out.empty() ? "" : " ") + std::string(doc().treeDepth(number), '.') +
             names[&doc().pageAt(i)];
    }
    return out;
  }
  // The same from the items of the tree.
  std::string treeOutline() {
    std::string out;
    for (QTreeWidgetItemIterator it(&tree()); *it; ++it) {
      int depth = 0;
      for (QTreeWidgetItem* up = (*it)->parent(); up; up = up->parent()) ++depth;
      out += (out.empty() ? "" : " ") + std::string(depth, '.') + names[CLeftView::pageOf(*it)];
    }
    return out;
  }
  void click(NotePage* p) {
    QTreeWidgetItem* item = tree().itemOf(p);
    ASSERT_NE(nullptr, item);
    QTest::mouseClick(tree().viewport(), Qt::LeftButton, {},
                      tree().visualItemRect(item).center());
  }
  QModelIndex indexOf(QTreeWidgetItem* item) {
    if (item->parent() == nullptr) return tree().model()->index(tree().indexOfTopLevelItem(item), 0);
    return tree().model()->index(item->parent()->indexOfChild(item), 0, indexOf(item->parent()));
  }
  // Drags the page's item to `fifth` fifths (plus a little) down the
  // target's item and drops it there.
  void drag(NotePage* p, NotePage* target, double fifths) {
    std::unique_ptr<QMimeData> data(tree().model()->mimeData({indexOf(tree().itemOf(p))}));
    const QRect r = tree().visualItemRect(tree().itemOf(target));
    const QPointF at(r.center().x(), r.top() + r.height() * fifths / 5.0);
    QWidget* vp = tree().viewport();
    QDragEnterEvent enter(at.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(vp, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDragMoveEvent move(at.toPoint(), Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(vp, &move);
    QDropEvent drop(at, Qt::MoveAction, data.get(), Qt::LeftButton, {});
    QApplication::sendEvent(vp, &drop);
  }
  void key(Qt::Key k) { QTest::keyClick(frame->view().viewport(), k); }
  QString windowTitle() { return frame->windowTitle(); }
};

}  // namespace

TEST(PageTreeWindow, BuildRetitleDragDeleteThenUndoToTheOriginalFileAndRedoToTheEdited) {
  Fixture f;
  f.open(note(page(1, rect("255,0,0")), title(1, "top")));
  f.name("1");
  const std::string original = f.save();
  EXPECT_EQ(QStringLiteral(u"note.svg - 1/1 ページ目 - Brevlo 3.10"), f.windowTitle());

  // Three levels, five pages: 1 (2 (3), 4), 5.
  ASSERT_TRUE(f.run(Cmd_AddChildPage));
  f.name("2");
  ASSERT_TRUE(f.run(Cmd_AddChildPage));
  f.name("3");
  NotePage* p2 = f.doc().page(2);
  f.click(p2);
  ASSERT_EQ(p2, f.current());
  ASSERT_TRUE(f.run(Cmd_AddNextPage));
  f.name("4");
  NotePage* p4 = f.current();
  f.click(f.doc().page(1));
  ASSERT_TRUE(f.run(Cmd_AddNextPage));
  f.name("5");
  NotePage* p5 = f.current();
  EXPECT_EQ("1 .2 ..3 .4 5", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  EXPECT_EQ(5, f.doc().currentPageNumber());
  EXPECT_EQ(QStringLiteral(u"* - note.svg - 5/5 ページ目 - Brevlo 3.10"), f.windowTitle());

  // A Japanese title for page 4, in the tree and the title bar.
  f.click(p4);
  f.prompts.inputs.push_back("日本語のタイトル");
  ASSERT_TRUE(f.run(Cmd_EditPageTitle));
  EXPECT_EQ("日本語のタイトル", p4->title());
  EXPECT_EQ(QStringLiteral(u"日本語のタイトル"), f.tree().itemOf(p4)->text(0));
  EXPECT_EQ(QStringLiteral(u"*日本語のタイトル - note.svg - 4/5 ページ目 - Brevlo 3.10"),
            f.windowTitle());

  // Page 2 with its child dropped on the middle fifth of page 5: its first
  // child, the records and numbers follow.
  f.drag(p2, p5, 2.5);
  EXPECT_EQ("1 .4 5 .2 ..3", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  EXPECT_EQ(p2, f.current());
  EXPECT_EQ(4, f.doc().currentPageNumber());
  EXPECT_EQ("", f.doc().checkTree());

  // Page 5 deleted with its children; its previous sibling is shown.
  f.click(p5);
  ASSERT_TRUE(f.run(Cmd_DeletePage));
  EXPECT_EQ("1 .4", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  EXPECT_EQ("1", f.names[f.current()]);
  EXPECT_EQ(f.tree().itemOf(f.current()), f.tree().currentItem());
  const std::string edited = f.save();
  EXPECT_NE(original, edited);

  // Seven steps back give the original file, seven forwards the edited one.
  int steps = 0;
  while (f.frame->pages().Undo()) ++steps;
  EXPECT_EQ(7, steps);
  EXPECT_EQ("1", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  ASSERT_EQ(1u, f.prompts.boxes.size());
  EXPECT_EQ(0u, f.prompts.boxes[0].rfind("警告: ", 0));
  EXPECT_EQ(original, f.save());
  steps = 0;
  while (f.frame->pages().Redo()) ++steps;
  EXPECT_EQ(7, steps);
  EXPECT_EQ("1 .4", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  EXPECT_EQ(edited, f.save());
  EXPECT_EQ("日本語のタイトル", f.doc().page(2)->title());

  // The parent page is a step of the link history; folding.
  int historySteps = 0;
  f.frame->pages().recordHistoryStep = [&](const std::function<void()>& move) {
    ++historySteps;
    move();
  };
  f.click(p4);
  ASSERT_TRUE(f.run(Cmd_ParentPage));
  EXPECT_EQ(1, historySteps);
  EXPECT_EQ(1, f.doc().currentPageNumber());
  EXPECT_FALSE(f.frame->commands().action(Cmd_ParentPage)->isEnabled());
  ASSERT_TRUE(f.run(Cmd_FoldPage));
  EXPECT_FALSE(f.tree().itemOf(f.current())->isExpanded());
  f.key(Qt::Key_F8);  // the item of page 2 unfolds to be selected
  EXPECT_EQ(p4, f.current());
  EXPECT_TRUE(f.tree().itemOf(f.doc().page(1))->isExpanded());
  f.key(Qt::Key_F7);
  ASSERT_TRUE(f.run(Cmd_FoldChildPages));
  EXPECT_FALSE(f.tree().itemOf(f.doc().page(1))->isExpanded());
}

TEST(PageTreeWindow, PagesOfAnotherNoteComeWithTheirTreePicturesInkAndLinks) {
  Fixture f;
  // The other note: b1 with a picture and a link to b2's page id, b2 (a
  // child of b1) with ink and a link to a figure of b1, and b3.
  QImage red(4, 4, QImage::Format_RGB32);
  red.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  red.save(&buffer, "PNG");
  const std::string ink =
      "\t<g id=\"zerbin-ink\" type=\"front\">\r\n<zerbin-ink-rawdata>\r\n<![CDATA[\r\n"
      "QkFDSw==\r\n]]>\r\n</zerbin-ink-rawdata>\r\n\t</g>\r\n";
  const std::string other = f.dir.file("b.svg");
  FileX_writeWhole(
      other,
      note(page(1,
                "<image x=\"200\" y=\"20\" width=\"4\" height=\"4\" "
                "xlink:href=\"data:image/png;base64," +
                    png.toBase64().toStdString() + "\"/>\r\n<a xlink:href=\"#bpage2\">\r\n" +
                    rect("0,255,0", " id=\"bfig\"") + "</a>\r\n") +
               page(2, "<a xlink:href=\"#bfig\">\r\n" + rect("0,0,255") + "</a>\r\n" + ink,
                    " id2=\"bpage2\"") +
               page(3, rect("9,9,9")),
           title(1, "b1", true) + "\t" + title(2, "b2") + "</zerbin-page>\r\n" + title(3, "b3")));

  f.open(note(page(1, rect("255,0,0")) + page(2, rect("0,0,0")), title(1, "a1") + title(2, "a2")));
  const std::string original = f.save();
  ASSERT_TRUE(f.insertOnPage2(other));
  for (size_t i = 0; i < f.doc().pageCount(); ++i) f.names[&f.doc().pageAt(i)] = f.doc().pageAt(i).title();
  EXPECT_EQ("a1 b1 .b2 b3 a2", f.outline());
  EXPECT_EQ(f.outline(), f.treeOutline());
  EXPECT_EQ(2, f.doc().currentPageNumber());
  EXPECT_TRUE(f.prompts.boxes.empty());
  const std::string saved = f.save();
  EXPECT_EQ(std::string::npos, saved.find("b.svg"));

  // Read back in another window: the tree, the links among the inserted
  // pages, the picture and the ink.
  CMainFrame g(std::string(), f.options());
  g.LoadNote(f.path, false);
  NoteDocument& d = g.document();
  ASSERT_EQ(5u, d.pageCount());
  EXPECT_EQ("b2", d.page(3)->title());
  EXPECT_EQ(2, d.parentNumber(3));
  EXPECT_EQ(3, d.FindPageByName("bpage2"));
  EXPECT_EQ(2, d.FindPageByName("bfig"));
  const FigureList& b1 = d.page(2)->figures;
  ASSERT_EQ(3u, b1.size());
  auto* picture = dynamic_cast<Rect_Ex*>(&b1.at(1));
  ASSERT_NE(nullptr, picture);
  EXPECT_EQ(png.toStdString(), FileX_readWhole(picture->workImagePath));
  EXPECT_EQ(0u, picture->workImagePath.rfind(d.imageNamePrefix(), 0));
  EXPECT_EQ(f.path + "#bpage2", b1.at(2).GetUrl());
  EXPECT_EQ(f.path + "#bfig", d.page(3)->figures.at(1).GetUrl());
  EXPECT_EQ("QkFDSw==", d.page(3)->inkData);
  EXPECT_EQ(ink, FileX_readWhole(d.inkLayerPath(3, InkLayer_front)));
  EXPECT_EQ("", FileX_readWhole(d.inkLayerPath(5, InkLayer_front)));

  // The insertion is one step.
  ASSERT_TRUE(f.frame->pages().Undo());
  EXPECT_FALSE(f.frame->undo().CanUndo());
  EXPECT_EQ(original, f.save());
  ASSERT_TRUE(f.frame->pages().Redo());
  EXPECT_EQ(saved, f.save());
}

TEST(PageTreeWindow, TemplatePagesF7F8TheZoomSwapAndTheBackPage) {
  Fixture f;
  FileX_makeFolders(f.dir.file("tmpl"), false);
  FileX_writeWhole(f.dir.file("tmpl/page_default.svg"),
                   note(page(1, rect("0,255,0")), title(1, "from template")));
  f.open(note(page(1, rect("255,0,0")), title(1, "first")));
  ASSERT_TRUE(f.run(Cmd_AddNextPage));
  ASSERT_TRUE(f.run(Cmd_AddNextPage));
  ASSERT_EQ(3, f.doc().lastPageNumber());
  EXPECT_EQ("from template", f.doc().page(3)->title());
  ASSERT_EQ(1u, f.doc().page(3)->figureCount());
  EXPECT_EQ(Colour_rgb(0, 255, 0), dynamic_cast<Rect_Ex&>(f.doc().page(3)->figures.at(1)).fillColour);

  f.click(f.doc().page(1));
  f.key(Qt::Key_F8);
  f.key(Qt::Key_F8);
  EXPECT_EQ(3, f.doc().currentPageNumber());
  EXPECT_FALSE(f.frame->commands().action(Cmd_NextPage)->isEnabled());
  f.key(Qt::Key_F8);
  EXPECT_EQ(3, f.doc().currentPageNumber());
  // The zoom swap returns to where the run of steps began.
  f.key(Qt::Key_F5);
  EXPECT_EQ(1, f.doc().currentPageNumber());
  f.key(Qt::Key_F7);
  EXPECT_EQ(1, f.doc().currentPageNumber());

  // The tree pane: hidden, shown again at its width, widened until a page
  // is chosen in it.
  const int width = f.frame->pages().paneWidth();
  ASSERT_GT(width, 0);
  ASSERT_TRUE(f.run(Cmd_ShowTree));
  EXPECT_EQ(0, f.frame->pages().paneWidth());
  EXPECT_FALSE(f.frame->commands().action(Cmd_ShowTree)->isChecked());
  ASSERT_TRUE(f.run(Cmd_ShowTree));
  EXPECT_EQ(width, f.frame->pages().paneWidth());
  ASSERT_TRUE(f.run(Cmd_WidenTree));
  QApplication::processEvents();
  EXPECT_TRUE(f.frame->pages().paneWidened());
  EXPECT_GT(f.frame->pages().paneWidth(), width);
  f.click(f.doc().page(2));
  QApplication::processEvents();
  EXPECT_FALSE(f.frame->pages().paneWidened());
  EXPECT_EQ(width, f.frame->pages().paneWidth());
  f.click(f.doc().page(1));

  f.key(Qt::Key_F9);
  ASSERT_TRUE(f.doc().hasBackPage());
  EXPECT_EQ(0, f.doc().currentPageNumber());
  EXPECT_EQ("背景", f.current()->title());
  EXPECT_EQ(QStringLiteral(u"*背景 - note.svg - 背景ページ - Brevlo 3.10"), f.windowTitle());
  EXPECT_TRUE(f.tree().selectedItems().isEmpty());
  EXPECT_TRUE(f.frame->commands().action(Cmd_BackPageSwitch)->isChecked());
  for (int id : {Cmd_NextPage, Cmd_PreviousPage, Cmd_DeletePage, Cmd_AddNextPage})
    EXPECT_FALSE(f.frame->commands().action(id)->isEnabled()) << id;
  f.key(Qt::Key_F8);
  EXPECT_EQ(0, f.doc().currentPageNumber());
  f.key(Qt::Key_F9);
  EXPECT_EQ(1, f.doc().currentPageNumber());
  EXPECT_EQ(f.tree().itemOf(f.current()), f.tree().currentItem());
  f.save();
  CMainFrame g(std::string(), f.options());
  g.LoadNote(f.path, false);
  EXPECT_TRUE(g.document().hasBackPage());
  EXPECT_EQ(3, g.document().ordinaryPageCount());
}

TEST(PageTreeWindow, RefusalsAndBadInputChangeNothing) {
  Fixture f;
  f.open(note(page(1, rect("255,0,0")), title(1, "only")));

  // The last ordinary page cannot go; the title bar has no page title.
  EXPECT_FALSE(f.run(Cmd_DeletePage));
  f.frame->pages().DeletePage();
  EXPECT_EQ(1u, f.doc().pageCount());
  EXPECT_EQ(QStringLiteral(u"note.svg - 1/1 ページ目 - Brevlo 3.10"), f.windowTitle());

  // Nor the back page.
  ASSERT_TRUE(f.run(Cmd_BackPageSwitch));
  ASSERT_EQ(0, f.doc().currentPageNumber());
  EXPECT_FALSE(f.run(Cmd_DeletePage));
  f.frame->pages().DeletePage();
  EXPECT_EQ(2u, f.doc().pageCount());
  ASSERT_TRUE(f.run(Cmd_BackPageSwitch));
  EXPECT_FALSE(f.frame->undo().CanUndo());

  // A title of 300 bytes keeps 255; of 150 double-byte characters, 254.
  f.prompts.inputs.push_back(std::string(300, 'x'));
  ASSERT_TRUE(f.run(Cmd_EditPageTitle));
  EXPECT_EQ(std::string(255, 'x'), f.current()->title());
  std::string wide;
  for (int i = 0; i < 150; ++i) wide += "あ";
  f.prompts.inputs.push_back(wide);
  ASSERT_TRUE(f.run(Cmd_EditPageTitle));
  EXPECT_EQ(wide.substr(0, 254), f.current()->title());
  ASSERT_TRUE(f.frame->pages().Undo());
  ASSERT_TRUE(f.frame->pages().Undo());
  EXPECT_EQ("only", f.current()->title());

  // A note that is missing, and one that is no note: their error, nothing changed.
  const std::string before = f.save();
  const qsizetype workFiles = QDir(QString::fromStdString(f.dir.file("work"))).entryList(QDir::Files).size();
  EXPECT_EQ(0, f.frame->pages().InsertPagesFromFile(f.dir.file("missing.svg")));
  ASSERT_EQ(1u, f.prompts.boxes.size());
  EXPECT_EQ("Zerbin: " + f.dir.file("missing.svg") + "が見つかりません。", f.prompts.boxes[0]);
  FileX_writeWhole(f.dir.file("bad.svg"), "<svg><g id=\"page1\"></g></g></svg>");
  EXPECT_EQ(0, f.frame->pages().InsertPagesFromFile(f.dir.file("bad.svg")));
  EXPECT_EQ(2u, f.prompts.boxes.size());
  EXPECT_EQ(2u, f.doc().pageCount());
  EXPECT_EQ(workFiles, QDir(QString::fromStdString(f.dir.file("work"))).entryList(QDir::Files).size());
  EXPECT_FALSE(f.frame->undo().CanUndo());
  EXPECT_EQ(before, f.save());

  // The note into itself: copies of its saved pages; the page id stays
  // with the first page.
  FileX_writeWhole(f.path, note(page(1, rect("255,0,0"), " id2=\"home\""), title(1, "only")));
  f.frame->LoadNote(f.path, false);
  EXPECT_EQ(1, f.frame->pages().InsertPagesFromFile(f.path));
  EXPECT_EQ(2, f.doc().ordinaryPageCount());
  EXPECT_EQ(1, f.doc().currentPageNumber());
  EXPECT_EQ("", f.doc().page(1)->settings().GetId());
  EXPECT_EQ(2, f.doc().FindPageByName("home"));
  EXPECT_EQ(1u, f.doc().page(1)->figureCount());

  // A page dropped on its own child is refused with the box.
  f.click(f.doc().page(1));
  ASSERT_TRUE(f.run(Cmd_AddChildPage));
  NotePage* child = f.current();
  NotePage* parent = f.doc().page(1);
  const size_t boxes = f.prompts.boxes.size();
  f.drag(parent, child, 4.5);
  ASSERT_EQ(boxes + 1, f.prompts.boxes.size());
  EXPECT_EQ("Zerbin: そこは子項目なので移動できません", f.prompts.boxes.back());
  EXPECT_EQ(parent, f.doc().page(1));
  EXPECT_EQ(1, f.doc().parentNumber(2));
}

TEST(PageTreeWindow, DropPlacesAreFifthsOfTheItem) {
  // An item from 100 to 120: up to 108 before, 109 to 112 under, after.
  EXPECT_EQ(PageDrop_before, PageTree_dropPlace(108, 100, 120));
  EXPECT_EQ(PageDrop_under, PageTree_dropPlace(109, 100, 120));
  EXPECT_EQ(PageDrop_under, PageTree_dropPlace(112, 100, 120));
  EXPECT_EQ(PageDrop_after, PageTree_dropPlace(113, 100, 120));
}

TEST(PageTreeWindow, InsertedPagesKeepTheirOwnLinksWhenNamesCollide) {
  Fixture f;
  // The other note links "#page2" (its own page 2) and "#x" (its figure x);
  // this note has a figure x too.
  const std::string other = f.dir.file("c.svg");
  FileX_writeWhole(other, note(page(1, "<a xlink:href=\"#page2\">\r\n" + rect("0,255,0", " id=\"x\"") +
                                           "</a>\r\n") +
                                   page(2, "<a xlink:href=\"#x\">\r\n" + rect("0,0,255") + "</a>\r\n"),
                               title(1, "c1") + title(2, "c2")));
  f.open(note(page(1, rect("255,0,0", " id=\"x\"")) + page(2, rect("0,0,0")),
              title(1, "a1") + title(2, "a2")));
  ASSERT_TRUE(f.insertOnPage2(other));
  f.save();
  CMainFrame g(std::string(), f.options());
  g.LoadNote(f.path, false);
  NoteDocument& d = g.document();
  ASSERT_EQ(4u, d.pageCount());
  // The inserted pages are 2 and 3; their links lead to them, not to this
  // note's figure x or its old page 2.
  EXPECT_EQ(f.path + "#page3", d.page(2)->figures.at(1).GetUrl());
  EXPECT_EQ("x_2", d.page(2)->figures.at(1).GetId());
  EXPECT_EQ(f.path + "#x_2", d.page(3)->figures.at(1).GetUrl());
  EXPECT_EQ("x", d.page(1)->figures.at(1).GetId());
  EXPECT_EQ(2, d.FindPageByName("x_2"));
  EXPECT_EQ(1, d.FindPageByName("x"));
}
