// The property bar in the main window, as a user works it: figures are
// selected with the mouse, a line of the bar is clicked, the dialog it opens
// is answered, and the saved file, Ctrl+Z and the bar's lines show what
// happened.
#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <memory>
#include <string>

#include "app/mainframe/main_frame.h"
#include "app/propbar/prop_bar.h"
#include "core/filex/filex.h"
#include "figures/canvas/canvas.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text.h"
#include "support/scripted_prompts.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/dialogs/input_dialogs.h"
#include "view/editing/edit_tools.h"
#include "view/selection/view_selection.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace {

// Two rectangles of different fills, a text box and a line.
const char* kNote =
    "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n"
    "<svg width=\"00620\" height=\"00820\" sub_doctype=\"zerbin-300\">\r\n"
    "<text x=\"80\" y=\"80\" style=\"font-size:12pt\">memo</text>\r\n"
    "<rect id=\"boxA\" x=\"60\" y=\"300\" width=\"120\" height=\"60\" "
    "style=\"fill:rgb(0,255,0)\" fill=\"rgb(0,255,0)\"/>\r\n"
    "<rect x=\"260\" y=\"300\" width=\"120\" height=\"60\" style=\"fill:rgb(255,0,0)\" "
    "fill=\"rgb(255,0,0)\"/>\r\n"
    "<line x1=\"300\" y1=\"100\" x2=\"450\" y2=\"180\" style=\"stroke:rgb(0,0,0)\"/>\r\n"
    "</svg>\r\n";

// Every dialog hook goes back to a person when a test ends.
struct DialogHooks {
  ~DialogHooks() {
    CInputDlg1::exec = nullptr;
    CInputIntDlg1::exec = nullptr;
    CInputSelectDlg::exec = nullptr;
    CColorDialog::exec = nullptr;
    CFontDialog::exec = nullptr;
  }
};

struct Window {
  testing_support::TempDir dir;
  testing_support::ScriptedPrompts prompts;
  testing_support::ScriptedPrompts::Installed installed{prompts};
  DialogHooks hooks;
  std::unique_ptr<CMainFrame> frame;
  std::string path;

  Window() {
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("");
    frame = std::make_unique<CMainFrame>(std::string(), o);
    frame->resize(900, 700);
    path = dir.file("note.svg");
    FileX_writeWhole(path, kNote);
    frame->LoadNote(path, false);
    frame->show();
    frame->view().m_Sleep = [](int) {};
    QApplication::processEvents();
  }
  ~Window() { frame->undo().MarkSaved(); }

  CZerbinPropBar& bar() { return frame->propBar(); }
  QListWidget& list() { return bar().list(); }
  std::string lineText(int i) { return QtText_toCp932(list().item(i)->text()); }
  // The line whose text begins with `prefix` (CP932), -1 when none.
  int lineOf(const std::string& prefix) {
    for (int i = 0; i < list().count(); ++i) {
      if (lineText(i).rfind(prefix, 0) == 0) return i;
    }
    return -1;
  }
  void clickLine(int i) {
    ASSERT_GE(i, 0);
    QTest::mouseClick(list().viewport(), Qt::LeftButton, {},
                      list().visualItemRect(list().item(i)).center());
    QApplication::processEvents();  // the edit runs after the click
  }
  void clickLine(const std::string& prefix) { clickLine(lineOf(prefix)); }
  void clickFigure(int32_t x, int32_t y, Qt::KeyboardModifiers mods = {}) {
    const Point32 p = frame->view().CanvasToClient({x, y});
    QTest::mouseClick(frame->view().viewport(), Qt::LeftButton, mods, QPoint(p.x, p.y));
    QApplication::processEvents();
  }
  void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
    QTest::keyClick(&frame->view(), k, mods);
    QApplication::processEvents();
  }
  std::string save() {
    key(Qt::Key_S);
    return testing_support::ReadFileBytes(path);
  }
  template <typename T>
  T* figure(FigureKind kind, int nth = 0) {
    for (const auto& f : frame->document().workingFigures()) {
      if (f->GetKind() == kind && nth-- == 0) return static_cast<T*>(f.get());
    }
    return nullptr;
  }
};

size_t count(const std::string& s, const std::string& what) {
  size_t n = 0;
  for (size_t at = s.find(what); at != std::string::npos; at = s.find(what, at + 1)) ++n;
  return n;
}

}  // namespace

TEST(PropBar, TwoFillsShowEachValueTakeOneColourAndOneUndoBringsBothBack) {
  Window w;
  // Nothing selected: the page's rows, without a type line.
  EXPECT_EQ("タイプ = ドキュメント", w.lineText(0));
  EXPECT_EQ("キャンバスの幅 = 600", w.lineText(w.lineOf("キャンバスの幅")));
  const std::string original = w.save();

  w.clickFigure(100, 330);
  w.clickFigure(300, 330, Qt::ShiftModifier);
  ASSERT_EQ(2u, w.frame->view().selection()->Selection().size());
  EXPECT_EQ("タイプ = 図形", w.lineText(0));
  EXPECT_EQ("塗りつぶし色 =（それぞれ）", w.lineText(w.lineOf("塗りつぶし色")));
  EXPECT_EQ("境界色 = rgb(0,0,0)", w.lineText(w.lineOf("境界色")));

  CColorDialog::exec = [](CColorDialog& d) {
    d.setCurrentColor(QColor(0, 0, 255));
    return int(QDialog::Accepted);
  };
  w.clickLine("塗りつぶし色");
  EXPECT_EQ("塗りつぶし色 = rgb(0,0,255)", w.lineText(w.lineOf("塗りつぶし色")));
  EXPECT_EQ(0xFF0000u, w.figure<Rect_Ex>(FigureKind_Rect, 0)->fillColour);
  EXPECT_EQ(0xFF0000u, w.figure<Rect_Ex>(FigureKind_Rect, 1)->fillColour);
  CColorDialog::exec = [](CColorDialog& d) {
    d.setCurrentColor(QColor(200, 0, 0));
    return int(QDialog::Accepted);
  };
  w.clickLine("境界色");
  const std::string coloured = w.save();
  EXPECT_EQ(2u, count(coloured, "fill:rgb(0,0,255)")) << coloured;
  EXPECT_EQ(2u, count(coloured, "stroke:rgb(200,0,0)")) << coloured;
  // Cancel changes nothing.
  CColorDialog::exec = [](CColorDialog&) { return int(QDialog::Rejected); };
  w.clickLine("境界色");
  EXPECT_EQ(coloured, w.save());

  // One undo step per change, each on both figures; the bar follows.
  w.key(Qt::Key_Z);
  EXPECT_EQ("境界色 = rgb(0,0,0)", w.lineText(w.lineOf("境界色")));
  w.key(Qt::Key_Z);
  EXPECT_EQ(original, w.save());
  w.key(Qt::Key_Y);
  w.key(Qt::Key_Y);
  EXPECT_EQ(coloured, w.save());
}

TEST(PropBar, TextBoxFontOpacityLinkTargetAndAnIdTakenAlready) {
  Window w;
  Text_Box* box = w.figure<Text_Box>(FigureKind_Text);
  ASSERT_NE(nullptr, box);
  const Rect32 b = box->GetBounds();
  w.clickFigure(b.x + b.w / 2, b.y + b.h / 2);
  ASSERT_EQ("タイプ = テキスト", w.lineText(0));

  CFontDialog::exec = [](CFontDialog& d) {
    QFont f("Liberation Sans");
    f.setPointSize(14);
    f.setBold(true);
    d.setCurrentFont(f);
    return int(QDialog::Accepted);
  };
  w.clickLine("フォント");
  EXPECT_EQ("Liberation Sans", box->fontFace);
  EXPECT_EQ(14, box->fontSize);
  EXPECT_TRUE(box->bold);
  EXPECT_EQ("サイズ = 14", w.lineText(w.lineOf("サイズ")));

  // A number above the row's range is stored as its largest value.
  CInputIntDlg1::exec = [](CInputIntDlg1& d) {
    d.setText("250");
    return int(QDialog::Accepted);
  };
  w.clickLine("濃さ");
  EXPECT_EQ(100, box->opacity);
  EXPECT_EQ("濃さ（非透過％） = 100", w.lineText(w.lineOf("濃さ")));

  std::vector<std::string> offered;
  std::vector<std::string> answers = {"other.svg#p2", "_blank", "BOXA", "memo1"};
  CInputDlg1::exec = [&](CInputDlg1& d) {
    offered.push_back(d.text());
    d.setText(answers.front());
    answers.erase(answers.begin());
    return int(QDialog::Accepted);
  };
  w.clickLine("URL");
  w.clickLine("target");
  // The id of the rectangle: the question, Cancel, and the dialog again
  // with what was typed.
  w.prompts.answers = {PromptAnswer::Cancel};
  w.clickLine("id");
  ASSERT_EQ(1u, w.prompts.asked.size());
  EXPECT_EQ(PropBar_duplicateIdJa, w.prompts.asked[0].text);
  ASSERT_EQ(4u, offered.size());
  EXPECT_EQ("BOXA", offered[3]);
  EXPECT_EQ("memo1", box->GetId());

  const std::string saved = w.save();
  EXPECT_NE(std::string::npos, saved.find("Liberation Sans")) << saved;
  EXPECT_NE(std::string::npos, saved.find("other.svg#p2")) << saved;
  EXPECT_NE(std::string::npos, saved.find("_blank")) << saved;
  EXPECT_NE(std::string::npos, saved.find("memo1")) << saved;
  EXPECT_EQ(std::string::npos, saved.find(w.dir.file("other.svg"))) << "links stay relative";
}

TEST(PropBar, LineArrowAndDashThenAMixedSelectionNarrowedToOneKind) {
  Window w;
  Line_Ex* line = w.figure<Line_Ex>(FigureKind_Line);
  w.clickFigure(375, 140);
  ASSERT_EQ("タイプ = ライン", w.lineText(0));
  CInputSelectDlg::exec = [](CInputSelectDlg& d) {
    d.choose(3);
    return int(QDialog::Accepted);
  };
  w.clickLine("頂点２の形状");
  EXPECT_EQ(3, line->arrow(2));
  // An on/off row flips without a dialog.
  CInputDlg1::exec = [](CInputDlg1&) {
    ADD_FAILURE() << "no dialog for an on/off row";
    return int(QDialog::Rejected);
  };
  w.clickLine("破線");
  EXPECT_TRUE(line->dashed());
  EXPECT_EQ("破線 = 1", w.lineText(w.lineOf("破線")));

  // A rectangle and the line: the seven lines of a mixed selection.
  w.clickFigure(100, 330);
  w.clickFigure(375, 140, Qt::ShiftModifier);
  ASSERT_EQ(7, w.list().count());
  const char* mixed[] = {"タイプ = 未選択",         "",
                         "選択している図形の種類が", "違うため、表示することが",
                         "できませんが、タイプを",   "制限すれば一部表示でき",
                         "ます。"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(mixed[i], w.lineText(i));
  // The type line narrows it to the rectangles; an edit touches only them.
  std::vector<std::string> kinds;
  CInputSelectDlg::exec = [&](CInputSelectDlg& d) {
    for (int i = 0; i < d.list().count(); ++i) kinds.push_back(QtText_toCp932(d.list().item(i)->text()));
    d.choose(0);
    return int(QDialog::Accepted);
  };
  w.clickLine(0);
  EXPECT_EQ((std::vector<std::string>{"図形", "ライン"}), kinds);
  EXPECT_EQ("タイプ = 図形", w.lineText(0));
  CInputIntDlg1::exec = [](CInputIntDlg1& d) {
    d.setText("7");
    return int(QDialog::Accepted);
  };
  w.clickLine("境界幅");
  EXPECT_EQ(7, w.figure<Rect_Ex>(FigureKind_Rect, 0)->strokeWidth);
  EXPECT_EQ(1, w.figure<Rect_Ex>(FigureKind_Rect, 1)->strokeWidth);
  EXPECT_EQ(1, line->width());
  EXPECT_EQ("タイプ = 図形", w.lineText(0)) << "the chosen kind stays after the edit";
  const std::string saved = w.save();
  EXPECT_NE(std::string::npos, saved.find("stroke-width:7")) << saved;
  EXPECT_NE(std::string::npos, saved.find("stroke-dasharray")) << saved;
}

TEST(PropBar, CanvasRowsOnEveryPageAreOneUndoStepAndFilesAreNumberedPerPage) {
  Window w;
  NoteDocument& doc = w.frame->document();
  ASSERT_TRUE(w.frame->commands().run(Cmd_AddNextPage));
  ASSERT_TRUE(w.frame->commands().run(Cmd_BackPageSwitch));
  ASSERT_EQ(0, doc.currentPageNumber());
  ASSERT_EQ(3u, doc.pageCount());

  w.prompts.answers = {PromptAnswer::Yes};
  CInputIntDlg1::exec = [](CInputIntDlg1& d) {
    d.setText("1234");
    return int(QDialog::Accepted);
  };
  w.clickLine("キャンバスの幅");
  ASSERT_EQ(1u, w.prompts.asked.size());
  EXPECT_EQ(PropBar_everyPageJa, w.prompts.asked[0].text);
  for (int32_t n = 0; n <= 2; ++n) EXPECT_EQ(1234, doc.page(n)->settings().width()) << n;

  w.prompts.answers = {PromptAnswer::Yes};
  CInputDlg1::exec = [](CInputDlg1& d) {
    d.setText("page.png");
    return int(QDialog::Accepted);
  };
  w.clickLine("同時保存ファイル");
  for (int32_t n = 0; n <= 2; ++n) {
    EXPECT_EQ(w.dir.file("page (" + std::to_string(n) + ").png"),
              doc.page(n)->settings().saveImageFile());
  }
  // Answered No, only the back page changes.
  w.prompts.answers = {PromptAnswer::No};
  CInputIntDlg1::exec = [](CInputIntDlg1& d) {
    d.setText("700");
    return int(QDialog::Accepted);
  };
  w.clickLine("キャンバスの高さ");
  EXPECT_EQ(700, doc.page(0)->settings().height());
  EXPECT_EQ(800, doc.page(1)->settings().height());

  w.key(Qt::Key_Z);
  EXPECT_EQ(800, doc.page(0)->settings().height());
  w.key(Qt::Key_Z);
  for (int32_t n = 0; n <= 2; ++n) EXPECT_EQ("", doc.page(n)->settings().saveImageFile()) << n;
  EXPECT_EQ(1234, doc.page(2)->settings().width());
  w.key(Qt::Key_Z);
  for (int32_t n = 0; n <= 2; ++n) EXPECT_EQ(600, doc.page(n)->settings().width()) << n;
  // The bar shows the page it is on.
  EXPECT_EQ("キャンバスの幅 = 600", w.lineText(w.lineOf("キャンバスの幅")));
}

TEST(PropBar, AClickWhileANewTextBoxIsWrittenEditsNothingThatWentAway) {
  Window w;
  const size_t figures = w.frame->document().workingFigures().size();
  w.frame->view().ChooseTool(EditTool_text);
  w.clickFigure(300, 600);
  ASSERT_EQ(figures + 1, w.frame->document().workingFigures().size());
  ASSERT_EQ("タイプ = テキスト", w.lineText(0));
  // The untouched box goes when the edit ends: the line clicked is gone.
  CColorDialog::exec = [](CColorDialog&) {
    ADD_FAILURE() << "the box that went away is not edited";
    return int(QDialog::Rejected);
  };
  w.clickLine("塗りつぶし色");
  EXPECT_EQ(figures, w.frame->document().workingFigures().size());
  EXPECT_EQ("タイプ = ドキュメント", w.lineText(0));
  // A box being written keeps its text, and the row clicked is edited.
  w.frame->view().ChooseTool(EditTool_text);
  w.clickFigure(300, 600);
  QTest::keyClicks(&w.frame->view(), "abc");
  CColorDialog::exec = [](CColorDialog& d) {
    d.setCurrentColor(QColor(1, 2, 3));
    return int(QDialog::Accepted);
  };
  w.clickLine("塗りつぶし色");
  Text_Box* made = w.figure<Text_Box>(FigureKind_Text, 1);
  ASSERT_NE(nullptr, made);
  EXPECT_EQ("abc", made->text());
  EXPECT_EQ(0x030201u, made->fillColour);
}
