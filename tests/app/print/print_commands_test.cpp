// The print command and the page image command of a main window: a
// three-page note printed into a PDF file with its table of contents, and
// its pages exported through the dialog's fields, the save dialog and the
// questions where the files go and whether to overwrite them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

#include <deque>
#include <filesystem>
#include <memory>
#include <string>

#include "app/convert/page_image_command.h"
#include "app/mainframe/main_frame.h"
#include "app/print/print_command.h"
#include "app/startup/conversion_status.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "support/test_support.h"
#include "view/commands/command_ids.h"
#include "view/view_test_app.h"

WIDGET_TEST_APP_REGISTER();

namespace fs = std::filesystem;
using testing_support::ReadFileBytes;
using testing_support::Sjis;

namespace {

// Three pages of 400 x 300, a red rectangle on each.
std::string noteText() {
  std::string s = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<svg width=\"420\" height=\"930\">\r\n";
  for (int p = 1; p <= 3; ++p) {
    const std::string n = std::to_string(p);
    s += "<g id=\"page" + n + "\" width=\"400\" height=\"300\" transform=\"translate(+10,+" +
         std::to_string(10 + (p - 1) * 310) + ")\">\r\n<rect x=\"20\" y=\"20\" width=\"100\" " +
         "height=\"80\" style=\"fill:rgb(255,0,0)\" fill=\"rgb(255,0,0)\"/>\r\n</g>\r\n";
  }
  s += "<zerbin-pages>\r\n<zerbin-page num=\"1\" title=\"one\">\r\n<zerbin-page num=\"2\" "
       "title=\"two\"/>\r\n</zerbin-page>\r\n<zerbin-page num=\"3\" title=\"three\"/>\r\n"
       "</zerbin-pages>\r\n</svg>\r\n";
  return s;
}

class ScriptedPrompts : public NonInteractivePrompts {
 public:
  PromptAnswer messageBox(std::string_view text, std::string_view title, PromptButtons,
                          PromptIcon, PromptAnswer defaultAnswer, uint32_t) override {
    asked.push_back(std::string(title) + "|" + std::string(text));
    if (answers.empty()) return defaultAnswer;
    const PromptAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
  bool saveFileName(std::string_view, std::string_view filter, std::string& path, int& kind,
                    uint32_t) override {
    filters.push_back(std::string(filter));
    if (names.empty()) return false;
    path = names.front();
    names.pop_front();
    return kind >= 0;
  }
  std::vector<std::string> asked, filters;
  std::deque<PromptAnswer> answers;
  std::deque<std::string> names;
};

struct Fixture {
  testing_support::TempDir dir;
  ScriptedPrompts prompts;
  std::unique_ptr<CMainFrame> frame;
  int32_t imageType = 0;
  Fixture() {
    UserPrompts_set(&prompts);
    FileX_makeFolders(dir.file("work/x"), true);
    CMainFrameOptions o;
    o.japanese = true;
    o.workFolder = dir.file("work");
    o.save.desktopFolder = dir.file("desk");
    o.imageTypeChanged = [this](int32_t t) { imageType = t; };
    frame = std::make_unique<CMainFrame>(std::string(), o);
    FileX_writeWhole(dir.file("note.svg"), noteText());
    frame->LoadNote(dir.file("note.svg"), false);
    frame->show();
    QApplication::processEvents();
  }
  ~Fixture() {
    frame.reset();
    UserPrompts_set(nullptr);
  }
};

}  // namespace

TEST(PrintCommand, PrintsThePagesIntoAPdfWithItsTableOfContents) {
  Fixture f;
  QAction* print = f.frame->commands().action(Cmd_Print);
  ASSERT_NE(print, nullptr);
  EXPECT_EQ(print->shortcut(), QKeySequence(QKeySequence::Print));
  f.prompts.answers = {PromptAnswer::Yes};
  f.prompts.names = {f.dir.file("toc.csv")};
  const std::string pdf = f.dir.file("out.pdf");
  bool printingWhileAsked = false;
  const int sheets = NotePrint_printNote(*f.frame, [&](QPrinter& printer, int lastPage) {
    EXPECT_EQ(lastPage, 3);
    EXPECT_EQ(printer.fromPage(), 1);
    EXPECT_EQ(printer.toPage(), 3);
    EXPECT_TRUE(printer.collateCopies());
    EXPECT_EQ(printer.docName(), "note.svg");
    printingWhileAsked = f.frame->view().m_Printing;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    return true;
  });
  // 300 + 32 + 300 + 32 + 300 page units fit one A4 sheet.
  EXPECT_EQ(sheets, 1);
  EXPECT_TRUE(printingWhileAsked);
  EXPECT_FALSE(f.frame->view().m_Printing);
  ASSERT_EQ(f.prompts.asked.size(), 1u);
  EXPECT_EQ(f.prompts.asked[0], "|" + Sjis(u8"印刷物のもくじファイル(CSV形式)も出力しますか。"));
  EXPECT_EQ(f.prompts.filters[0], Sjis(u8"もくじCSVファイル|*.csv|すべてのファイル (*.*)|*.*||"));
  EXPECT_EQ(ReadFileBytes(pdf).substr(0, 5), "%PDF-");
  EXPECT_EQ(ReadFileBytes(f.dir.file("toc.csv")), "one,1\r\n\ttwo,1\r\nthree,1\r\n");
  EXPECT_EQ(f.frame->windowTitle(), QString::fromUtf8(u8"one - note.svg - 1/3 ページ目 - Brevlo 3.10"));

  // A table of contents that cannot be made is said, and nothing prints.
  f.prompts.asked.clear();
  f.prompts.answers = {PromptAnswer::Yes};
  f.prompts.names = {f.dir.file("no such folder/toc.csv")};
  EXPECT_EQ(NotePrint_printNote(*f.frame, [](QPrinter&, int) {
              ADD_FAILURE() << "printed without its table of contents";
              return false;
            }),
            0);
  ASSERT_EQ(f.prompts.asked.size(), 2u);
  EXPECT_NE(f.prompts.asked[1].find(f.dir.file("no such folder/toc.csv")), std::string::npos) << f.prompts.asked[1];

  // A cancelled print dialog prints nothing; without a person no dialog
  // shows and nothing is printed.
  EXPECT_EQ(NotePrint_printNote(*f.frame, [](QPrinter&, int) { return false; }), 0);
  EXPECT_EQ(NotePrint_printNote(*f.frame), 0);
  EXPECT_FALSE(f.frame->view().m_Printing);
}

TEST(PageImageCommand, DialogFieldsFollowTheirChecksAndTheExportAsksWhereAndWhetherToOverwrite) {
  Fixture f;
  COutPageDlg dlg(3, true);
  EXPECT_EQ(dlg.windowTitle(), QString::fromUtf8(u8"ページ全体を画像で出力"));
  EXPECT_TRUE(dlg.all->isChecked());
  EXPECT_TRUE(dlg.pngRadio->isChecked());
  EXPECT_EQ(dlg.toEdit->text(), "3");
  EXPECT_FALSE(dlg.widthEdit->isEnabled());
  EXPECT_EQ(dlg.widthEdit->text(), "240");
  EXPECT_EQ(dlg.heightEdit->text(), "260");
  EXPECT_EQ(dlg.widthEdit->maxLength(), 4);
  EXPECT_EQ(dlg.zoomEdit->text(), "60");
  EXPECT_EQ(dlg.zoomEdit->maxLength(), 3);
  EXPECT_FALSE(dlg.foldSpin->isEnabled());
  EXPECT_EQ(dlg.foldSpin->value(), 4);
  EXPECT_EQ(dlg.foldSpin->minimum(), 2);
  EXPECT_EQ(dlg.foldSpin->maximum(), 8);
  dlg.limitSize->setChecked(true);
  EXPECT_TRUE(dlg.widthEdit->isEnabled());
  dlg.widthEdit->clear();
  EXPECT_FALSE(dlg.ok->isEnabled());
  QTest::keyClicks(dlg.widthEdit, "300");
  EXPECT_TRUE(dlg.ok->isEnabled());
  dlg.fromEdit->clear();
  QTest::keyClicks(dlg.fromEdit, "3");
  EXPECT_TRUE(dlg.fromTo->isChecked());
  dlg.toEdit->clear();
  QTest::keyClicks(dlg.toEdit, "2");
  dlg.minZoom->setChecked(true);
  dlg.zoomEdit->clear();
  QTest::keyClicks(dlg.zoomEdit, "100");
  const OutPageValues v = dlg.values();
  EXPECT_EQ(v.range, 2);
  EXPECT_EQ(v.maxWidth, 300);

  // Pages 3 to 2 (swapped) at 100 % in tiles of 300 x 260: 2 x 2 tiles a
  // page, into a new folder named after the file.
  f.prompts.names = {f.dir.file("desk/pics.png")};
  f.prompts.answers = {PromptAnswer::Yes};
  auto dialog = [&v](OutPageValues& values) {
    values = v;
    return true;
  };
  EXPECT_EQ(PageImageCommand_run(*f.frame, dialog), 8);
  EXPECT_FALSE(f.frame->view().m_Printing);
  ASSERT_EQ(f.prompts.asked.size(), 1u);
  EXPECT_EQ(f.prompts.asked[0],
            Sjis(u8"作成位置の確認|新しいフォルダ[pics]を作成して、その中に画像ファイルを"
                 u8"まとめますか？\r\n「いいえ」を選ぶと、フォルダを作成しないで画像ファイルを"
                 u8"作成します。"));
  EXPECT_EQ(f.prompts.filters[0],
            Sjis(u8"PNG形式 (*.png)|*.png|JPEG形式 (*.jpg)|*.jpg;*.jpeg||"));
  EXPECT_EQ(f.imageType, 1);
  const QImage tile(QString::fromStdString(f.dir.file("desk/pics/pics (2) (1,1).png")));
  ASSERT_EQ(tile.size(), QSize(300, 260));
  EXPECT_EQ(tile.pixel(50, 50), qRgb(255, 0, 0));
  EXPECT_TRUE(fs::exists(f.dir.file("desk/pics/pics (3) (2,2).png")));
  EXPECT_FALSE(fs::exists(f.dir.file("desk/pics/pics (1) (1,1).png")));

  // Again into the same place: the folder exists, the files too; "No" to
  // overwriting them writes nothing.
  f.prompts.asked.clear();
  f.prompts.names = {f.dir.file("desk/pics.png")};
  f.prompts.answers = {PromptAnswer::Yes, PromptAnswer::No};
  fs::remove(f.dir.file("desk/pics/pics (3) (2,2).png"));
  EXPECT_EQ(PageImageCommand_run(*f.frame, dialog), 0);
  ASSERT_EQ(f.prompts.asked.size(), 2u);
  EXPECT_EQ(f.prompts.asked[0].substr(0, 40),
            Sjis(u8"作成位置の確認|既に存在するフォルダ[pics]").substr(0, 40));
  EXPECT_EQ(f.prompts.asked[1], "|" + f.dir.file("desk/pics/pics (2) (1,1).png") +
                                    Sjis(u8" などは既に存在します。\r\nすべて上書きしますか？"));
  EXPECT_FALSE(fs::exists(f.dir.file("desk/pics/pics (3) (2,2).png")));
  EXPECT_EQ(f.frame->windowTitle(), QString::fromUtf8(u8"one - note.svg - 1/3 ページ目 - Brevlo 3.10"));

  // Strips no taller than the tiles' overlap: said at once, no file asked for.
  f.prompts.asked.clear();
  f.prompts.filters.clear();
  OutPageValues strips = v;
  strips.limitSize = true;
  strips.maxWidth = 100;
  strips.maxHeight = 40;
  strips.useMinZoom = true;
  strips.minZoom = 100;
  strips.useFolds = true;
  strips.folds = 4;
  EXPECT_EQ(PageImageCommand_run(*f.frame, [&strips](OutPageValues& values) {
              values = strips;
              return true;
            }),
            0);
  ASSERT_EQ(f.prompts.asked.size(), 1u);
  EXPECT_NE(f.prompts.asked[0].find(Sjis(u8"以下になるので出力できません")), std::string::npos) << f.prompts.asked[0];
  EXPECT_TRUE(f.prompts.filters.empty());
}

// While the pages are written, the application's status names the image
// file (the notification icon's tip), and it is cleared afterwards, also
// when the destination cannot be written.
TEST(PageImageCommand, StatusNamesTheImagesWhileTheyAreWritten) {
  Fixture f;
  std::vector<std::string> tips;
  ConversionStatus_setRefresh([&tips] { tips.push_back(ConversionStatus_tip("Brevlo 3.10")); });
  auto currentPage = [](OutPageValues& values) {
    values.range = 1;
    return true;
  };
  f.prompts.names = {f.dir.file("desk/one.png")};
  EXPECT_EQ(PageImageCommand_run(*f.frame, currentPage), 1);
  EXPECT_TRUE(fs::exists(f.dir.file("desk/one.png")));
  EXPECT_EQ(tips, (std::vector<std::string>{Sjis(u8"Brevlo 3.10 - 変換中:one.png"), "Brevlo 3.10"}));

  tips.clear();
  FileX_writeWhole(f.dir.file("plain"), "x");
  f.prompts.names = {f.dir.file("plain/two.png")};
  EXPECT_EQ(PageImageCommand_run(*f.frame, currentPage), 0);
  ConversionStatus_setRefresh(nullptr);
  EXPECT_EQ(tips, (std::vector<std::string>{Sjis(u8"Brevlo 3.10 - 変換中:two.png"), "Brevlo 3.10"}));
  EXPECT_EQ(ConversionStatus_name(), "");
}
