// The clipboard and drops in real windows, through the keys and the
// view's drop events: figures copied in one window and pasted in another
// keep their ids and the links among them and lose the links to what
// stayed behind; cut and undo; texts, pictures, file lists and hostile
// bytes from other programs; a file dropped from outside; the forms other
// programs read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDropEvent>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <memory>
#include <string>

#include "app/clipboard/frame_clipboard.h"
#include "app/mainframe/main_frame.h"
#include "app/pages/left_view.h"
#include "app/pages/page_commands.h"
#include "figures/canvas/canvas.h"
#include "view/commands/command_ids.h"
#include "clipboard/figure_block.h"
#include "core/filex/filex.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "view/menus/context_menus.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

const char kNote[] =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<rect id=\"r1\" x=\"300\" y=\"300\" width=\"100\" height=\"50\" style=\"fill:rgb(0,255,0)\" "
    "fill=\"rgb(0,255,0)\"/>\r\n"
    "</svg>\r\n";

struct Window {
  std::unique_ptr<CMainFrame> f;
  std::string path;
  Window(testing_support::TempDir& dir, const std::string& name) : path(dir.file(name)) {
    FileX_makeFolders(dir.file("work/"), false);
    FileX_writeWhole(path, kNote);
    CMainFrameOptions o;
    o.workFolder = dir.file("work");
    f = std::make_unique<CMainFrame>(std::string(), o);
    f->LoadNote(path, false);
    f->resize(900, 700);
    f->show();
    f->view().m_Sleep = [](int) {};
    QApplication::processEvents();
  }
  ~Window() { f->undo().MarkSaved(); }
  FigureList& list() { return f->document().workingFigures(); }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
    // The window's keys work in the active window.
    QApplication::setActiveWindow(f.get());
    f->view().setFocus();
    QTest::keyClick(&f->view(), k, mods);
    QApplication::processEvents();
  }
  std::string save() {
    key(Qt::Key_S);
    return testing_support::ReadFileBytes(path);
  }
  template <typename T>
  T* nth(FigureKind kind, int n) {
    for (const auto& x : list()) {
      if (x->GetKind() == kind && n-- == 0) return static_cast<T*>(x.get());
    }
    return nullptr;
  }
  int count(FigureKind kind) {
    int n = 0;
    for (const auto& x : list()) n += x->GetKind() == kind;
    return n;
  }
};

// A text box "memo" (id "m1") with a line hanging on it whose other end
// hangs on a second box "far".
void addBoxAndLine(Window& w) {
  auto box = [&](int32_t number, const char* text, int32_t x, int32_t y) -> CadPrim& {
    auto b = std::make_unique<Text_Box>(&w.f->metrics());
    b->SetNumber(number);
    b->SetText(text);
    b->SetBasePoint(x, y);
    b->Layout(w.f->metrics(), DrawContext{});
    return w.list().append(std::move(b));
  };
  CadPrim& memo = box(900001, "memo", 60, 60);
  memo.SetId("m1");
  CadPrim& far = box(900003, "far", 500, 500);
  auto line = std::make_unique<Line_Ex>();
  line->SetNumber(900002);
  line->SetPoints({80, 80}, {510, 510});
  CadPrim& l = w.list().append(std::move(line));
  memo.AttachEnd(0, l, 1);
  far.AttachEnd(0, l, 2);
  w.f->pageShown();
}

void setClipboard(QMimeData* data) {
  QGuiApplication::clipboard()->setMimeData(data);
  QApplication::processEvents();
}

}  // namespace

TEST(Clipboard, FiguresCopiedInOneWindowArePastedInAnotherWithTheirLinksAmongThem) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window a(dir, "a.svg"), b(dir, "b.svg");
  addBoxAndLine(a);
  CadPrim* box = a.nth<Text_Box>(FigureKind_Text, 0);
  CadPrim* line = a.nth<Line_Ex>(FigureKind_Line, 0);
  a.f->view().selection()->SelectFigures({box, line}, box);
  a.key(Qt::Key_C);
  // Other programs get the texts, a picture and an SVG of the figures.
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(nullptr, data);
  EXPECT_EQ("memo", data->text().toStdString());
  EXPECT_TRUE(data->formats().contains("image/png"));
  const QImage png = QImage::fromData(data->data("image/png"), "PNG");
  EXPECT_FALSE(png.isNull());
  EXPECT_GT(png.width(), 20);
  const std::string svg = data->data("image/svg+xml").toStdString();
  EXPECT_NE(std::string::npos, svg.find("encoding=\"UTF-8\"")) << svg.substr(0, 80);
  EXPECT_NE(std::string::npos, svg.find(">memo<")) << svg;

  const std::string before = b.save();
  b.key(Qt::Key_V);
  ASSERT_EQ(1, b.count(FigureKind_Text));
  ASSERT_EQ(1, b.count(FigureKind_Line));
  auto* pastedBox = b.nth<Text_Box>(FigureKind_Text, 0);
  auto* pastedLine = b.nth<Line_Ex>(FigureKind_Line, 0);
  EXPECT_EQ("m1", pastedBox->GetId());
  EXPECT_NE(box->GetNumber(), pastedBox->GetNumber());
  // The end on the box hangs on the pasted box; the end on the rectangle
  // that stayed behind hangs on nothing (not on b's rectangle).
  EXPECT_EQ(pastedBox, pastedLine->GetEndTarget(1));
  EXPECT_EQ(nullptr, pastedLine->GetEndTarget(2));
  EXPECT_EQ(2u, b.f->view().selection()->Selection().size());
  // The line follows its pasted box.
  const Point32 end = pastedLine->point1();
  b.f->view().selection()->SelectFigures({pastedBox}, pastedBox);
  b.key(Qt::Key_Right, Qt::NoModifier);
  EXPECT_NE(end.x, pastedLine->point1().x);
  // One undo step takes the paste back.
  b.key(Qt::Key_Z);
  b.key(Qt::Key_Z);
  EXPECT_EQ(before, b.save());

  // Pasting twice in the copying window: 8, then 16 units further.
  const Rect32 from = box->GetBounds();
  a.key(Qt::Key_V);
  a.key(Qt::Key_V);
  ASSERT_EQ(4, a.count(FigureKind_Text));
  EXPECT_EQ(from.x + 8, a.nth<Text_Box>(FigureKind_Text, 2)->GetBounds().x);
  EXPECT_EQ(from.x + 16, a.nth<Text_Box>(FigureKind_Text, 3)->GetBounds().x);
  EXPECT_TRUE(prompts.asked.empty());
}

TEST(Clipboard, CutThenUndoAndWhatOtherProgramsPaste) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window w(dir, "a.svg");
  const std::string original = w.save();
  CadPrim* rect = w.nth<Rect_Ex>(FigureKind_Rect, 0);
  w.f->view().selection()->SelectFigures({rect}, rect);
  w.key(Qt::Key_X);
  EXPECT_EQ(0, w.count(FigureKind_Rect));
  EXPECT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(FigureBlock_mimeType));
  w.key(Qt::Key_Z);
  EXPECT_EQ(1, w.count(FigureKind_Rect));
  EXPECT_EQ(original, w.save());

  // A text of two lines: split into two boxes when asked so.
  auto* text = new QMimeData;
  text->setText(QString::fromUtf8("first\nsecond \xe3\x81\x82\n"));
  setClipboard(text);
  prompts.answers = {PromptAnswer::Yes};
  w.key(Qt::Key_V);
  ASSERT_EQ(1u, prompts.asked.size());
  EXPECT_EQ(Clipboard_splitQuestionJa, prompts.asked[0].text);
  ASSERT_EQ(2, w.count(FigureKind_Text));
  EXPECT_EQ("first", w.nth<Text_Box>(FigureKind_Text, 0)->text());
  EXPECT_EQ("second \x82\xa0", w.nth<Text_Box>(FigureKind_Text, 1)->text());
  // Cancel pastes nothing and leaves no open undo step.
  prompts.answers = {PromptAnswer::Cancel};
  w.key(Qt::Key_V);
  EXPECT_EQ(2, w.count(FigureKind_Text));
  EXPECT_EQ(0, w.f->undo().groupDepth());

  // A picture: an image figure whose working copy is in the work folder.
  QImage image(40, 30, QImage::Format_RGB32);
  image.fill(Qt::red);
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  auto* picture = new QMimeData;
  picture->setData("image/png", png);
  setClipboard(picture);
  w.key(Qt::Key_V);
  Rect_Ex* pasted = nullptr;
  for (const auto& f : w.list()) {
    if (f->GetKind() == FigureKind_Rect && static_cast<Rect_Ex&>(*f).shape == RectShape_Image)
      pasted = static_cast<Rect_Ex*>(f.get());
  }
  ASSERT_NE(nullptr, pasted);
  EXPECT_EQ(0u, pasted->workImagePath.rfind(dir.file("work"), 0)) << pasted->workImagePath;
  EXPECT_TRUE(FileX_exists(pasted->workImagePath));

  // Two files: two link boxes with their names.
  FileX_writeWhole(dir.file("one.txt"), "1");
  FileX_writeWhole(dir.file("two.txt"), "2");
  auto* files = new QMimeData;
  files->setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("one.txt"))),
                  QUrl::fromLocalFile(QString::fromStdString(dir.file("two.txt")))});
  setClipboard(files);
  w.key(Qt::Key_V);
  ASSERT_EQ(4, w.count(FigureKind_Text));
  EXPECT_EQ(dir.file("one.txt"), w.nth<Text_Box>(FigureKind_Text, 2)->GetUrl());
  EXPECT_EQ(dir.file("two.txt"), w.nth<Text_Box>(FigureKind_Text, 3)->GetUrl());

  // A browser's link: a link box titled as the browser says.
  auto* web = new QMimeData;
  web->setUrls({QUrl("https://example.com/a?b=1")});
  const QString moz = QStringLiteral("https://example.com/a?b=1\nExample \u30da\u30fc\u30b8");
  web->setData("text/x-moz-url", QByteArray(reinterpret_cast<const char*>(moz.utf16()), moz.size() * 2));
  setClipboard(web);
  w.key(Qt::Key_V);
  ASSERT_EQ(5, w.count(FigureKind_Text));
  EXPECT_EQ("https://example.com/a?b=1", w.nth<Text_Box>(FigureKind_Text, 4)->GetUrl());
  EXPECT_EQ("Example \x83\x79\x81\x5b\x83\x57", w.nth<Text_Box>(FigureKind_Text, 4)->text());

  // Damaged figure blocks: a message, nothing pasted, no undo step.
  const size_t steps = w.f->undo().recordCount();
  const std::string good = FigureBlock_encode(FigureBlock_of({w.nth<Text_Box>(FigureKind_Text, 0)}));
  for (std::string bad : {std::string("\xff\xff\xff\x7f", 4) + good.substr(4), good.substr(0, good.size() - 3),
                          std::string(40, '\x01')}) {
    auto* hostile = new QMimeData;
    hostile->setData(FigureBlock_mimeType, QByteArray::fromStdString(bad));
    setClipboard(hostile);
    prompts.asked.clear();
    w.key(Qt::Key_V);
    EXPECT_EQ(1u, prompts.asked.size());
  }
  EXPECT_EQ(5, w.count(FigureKind_Text));
  EXPECT_EQ(steps, w.f->undo().recordCount());
}

TEST(Clipboard, AFileDroppedFromOutsideIsCopiedBesideTheNoteAndLinked) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window w(dir, "a.svg");
  FileX_makeFolders(dir.file("a.files/"), false);
  FileX_writeWhole(dir.file("a.files/plan.txt"), "old");
  FileX_writeWhole(dir.file("a.files/plan (2).txt"), "old");
  FileX_makeFolders(dir.file("out/"), false);
  FileX_writeWhole(dir.file("out/plan.txt"), "new");
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.file("out/plan.txt")))});
  const Point32 c = w.f->view().CanvasToClient({100, 150});
  const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
  // As a window system brings a drag: it enters, then drops.
  QDragEnterEvent enter(QPoint(c.x, c.y), offered, &data, Qt::LeftButton, Qt::ControlModifier);
  QApplication::sendEvent(w.f->view().viewport(), &enter);
  ASSERT_TRUE(enter.isAccepted());
  EXPECT_EQ(Qt::CopyAction, enter.dropAction()) << "Ctrl copies";
  QDropEvent drop(QPointF(c.x, c.y), offered, &data, Qt::LeftButton, Qt::ControlModifier);
  QApplication::sendEvent(w.f->view().viewport(), &drop);
  EXPECT_TRUE(drop.isAccepted());
  EXPECT_EQ(Qt::CopyAction, drop.dropAction());
  EXPECT_EQ("new", testing_support::ReadFileBytes(dir.file("a.files/plan (3).txt")));
  EXPECT_EQ("new", testing_support::ReadFileBytes(dir.file("out/plan.txt")));
  ASSERT_EQ(1, w.count(FigureKind_Text));
  EXPECT_EQ(dir.file("a.files/plan (3).txt"), w.nth<Text_Box>(FigureKind_Text, 0)->GetUrl());
  EXPECT_EQ(100, w.nth<Text_Box>(FigureKind_Text, 0)->GetEdge(6));
  w.key(Qt::Key_Z);
  EXPECT_EQ(0, w.count(FigureKind_Text));
}

TEST(Clipboard, AFigureDraggedOutIsOfferedAsSvgAndPngAndMovesToAnotherWindow) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window a(dir, "a.svg"), b(dir, "b.svg");
  QByteArray block, svg;
  QImage png;
  Qt::DropActions offered;
  a.f->clipboard().dragExec = [&](QMimeData* data, Qt::DropActions allowed) {
    std::unique_ptr<QMimeData> owned(data);
    offered = allowed;
    block = data->data(FigureBlock_mimeType);
    svg = data->data("image/svg+xml");
    png = QImage::fromData(data->data("image/png"), "PNG");
    // The other window takes it at (100, 500) and moves it there.
    return b.f->clipboard().Drop(*data, {100, 500}, Qt::MoveAction);
  };
  // A press on the rectangle, a move, and out of the window on the right.
  QWidget* port = a.f->view().viewport();
  const Point32 c = a.f->view().CanvasToClient({350, 325});
  QTest::mousePress(port, Qt::LeftButton, {}, QPoint(c.x, c.y));
  for (const QPoint& p : {QPoint(c.x + 10, c.y), QPoint(c.x + 40, c.y), QPoint(port->width() + 3000, c.y)}) {
    QMouseEvent move(QEvent::MouseMove, p, port->mapToGlobal(p), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(port, &move);
  }
  QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(port->width() + 3000, c.y));
  QApplication::processEvents();
  EXPECT_TRUE(offered.testFlag(Qt::MoveAction));
  EXPECT_FALSE(block.isEmpty());
  EXPECT_NE(-1, svg.indexOf("<rect")) << svg.toStdString();
  ASSERT_FALSE(png.isNull());
  EXPECT_EQ(QColor(0, 255, 0), png.pixelColor(png.width() / 2, png.height() / 2));
  // Moved: gone here, there in the other window at the drop point.
  EXPECT_EQ(0, a.count(FigureKind_Rect));
  ASSERT_EQ(2, b.count(FigureKind_Rect));
  EXPECT_EQ("r1", b.nth<Rect_Ex>(FigureKind_Rect, 1)->GetId());
  a.key(Qt::Key_Z);
  EXPECT_EQ(1, a.count(FigureKind_Rect));
}

TEST(Clipboard, AWholePageCopiedFromTheTreeReplacesAnotherPageAndOneUndoBringsItBack) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window w(dir, "a.svg");
  NoteDocument& doc = w.f->document();
  doc.currentPage()->setTitle("Plan");
  ASSERT_TRUE(w.f->commands().run(Cmd_AddNextPage));
  ASSERT_EQ(2, doc.currentPageNumber());
  // The second page: another size and a box of its own.
  doc.workingSettings().setSize(300, 200);
  auto own = std::make_unique<Text_Box>(&w.f->metrics());
  own->SetNumber(910001);
  own->SetText("own");
  own->SetBasePoint(20, 20);
  own->Layout(w.f->metrics(), DrawContext{});
  w.list().append(std::move(own));
  w.f->pageShown();
  const std::string before = w.save();

  // Page 1 copied with the focus in the page tree.
  ASSERT_TRUE(w.f->SelectPageNumber(1));
  w.f->pages().tree().setFocus();
  ASSERT_TRUE(w.f->commands().run(Cmd_Copy));
  FigureBlock block;
  const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data(FigureBlock_mimeType);
  ASSERT_TRUE(FigureBlock_decode(std::string_view(bytes.constData(), bytes.size()), block));
  EXPECT_EQ(FigureBlock_wholePage, block.flags & FigureBlock_wholePage);
  EXPECT_EQ("Plan", block.pageTitle);

  ASSERT_TRUE(w.f->SelectPageNumber(2));
  w.key(Qt::Key_V);
  EXPECT_EQ("Plan", doc.currentPage()->title());
  EXPECT_EQ(600, doc.workingSettings().width());
  EXPECT_EQ(0, w.count(FigureKind_Text));
  ASSERT_EQ(1, w.count(FigureKind_Rect));
  EXPECT_EQ(300, w.nth<Rect_Ex>(FigureKind_Rect, 0)->x) << "a whole page is pasted in place";
  // One step takes the whole paste back: title, size and the page's box.
  w.key(Qt::Key_Z);
  ASSERT_EQ(2, doc.currentPageNumber());
  EXPECT_EQ(300, doc.workingSettings().width());
  EXPECT_EQ(1, w.count(FigureKind_Text));
  EXPECT_EQ(0, w.count(FigureKind_Rect));
  EXPECT_EQ(before, w.save());
}

TEST(Clipboard, TheMenusCopyAtTheFigureClickedAndPasteAtThePointClicked) {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed(prompts);
  Window w(dir, "a.svg");
  std::string choose;
  w.f->view().contextMenus().exec = [&](QMenu& menu, QPoint) -> QAction* {
    for (QAction* a : menu.actions()) {
      if (a->text() == QtText_fromCp932(choose) && a->isEnabled()) return a;
    }
    return nullptr;
  };
  auto rightClick = [&](Point32 p) {
    const Point32 c = w.f->view().CanvasToClient(p);
    QTest::mouseClick(w.f->view().viewport(), Qt::RightButton, {}, QPoint(c.x, c.y));
    QApplication::processEvents();
  };
  // The rectangle (300, 300) copied from its menu clicked at (310, 320),
  // pasted from the canvas menu clicked at (110, 520): it lands at (100, 500).
  choose = "コピー(&C)";
  rightClick({310, 320});
  const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
  ASSERT_TRUE(copied != nullptr && copied->hasFormat(FigureBlock_mimeType));
  EXPECT_EQ(static_cast<int>(ViewMenu::PrimRight), w.f->view().contextMenus().lastMenu());
  choose = "貼り付け(&V)";
  rightClick({110, 520});
  EXPECT_EQ(static_cast<int>(ViewMenu::CanvasRight), w.f->view().contextMenus().lastMenu());
  ASSERT_EQ(2, w.count(FigureKind_Rect));
  const auto* pasted = w.nth<Rect_Ex>(FigureKind_Rect, 1);
  EXPECT_EQ(100, pasted->x);
  EXPECT_EQ(500, pasted->y);
}
