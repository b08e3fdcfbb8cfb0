#include "platform/prompts/qt_user_prompts.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt_test_app.h"
#include <QDialog>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "platform/text/font_substitution.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"

namespace {

QApplication& app() { return QtTestApp_ensure(); }

}  // namespace

TEST(QtText, Cp932RoundTripThroughQString) {
  app();
  QString q = QtText_fromCp932("ソ表～①");
  EXPECT_EQ(QString::fromUtf16(u"\u30BD\u8868\uFF5E\u2460"), q);
  EXPECT_EQ("ソ表～①", QtText_toCp932(q));
  EXPECT_EQ("a?", QtText_toCp932(QString::fromUtf16(u"a\u00E9")));
}

TEST(FontSubstitution, WindowsFacesMapToInstalledStandIns) {
  app();
  EXPECT_EQ(QStringLiteral("IPAPMincho"), FontSubstitution_family("ＭＳ Ｐ明朝"));
  EXPECT_EQ(QStringLiteral("IPAGothic"), FontSubstitution_family("ＭＳ ゴシック"));
  EXPECT_EQ(QStringLiteral("Liberation Sans"), FontSubstitution_family("Arial"));
  EXPECT_EQ(QStringLiteral("Verdana"), FontSubstitution_family("Verdana"));
  EXPECT_DOUBLE_EQ(10.5, FontSubstitution_font("Arial", 10.5).pointSizeF());
}

TEST(QtUserPrompts, MessageBoxCarriesTextTitleIconAndDefault) {
  app();
  auto box = QtUserPrompts_makeMessageBox("保存しますか?", "Brevlo 3.10", PromptButtons::YesNoCancel,
                                          PromptIcon::Question, PromptAnswer::No, 0);
  EXPECT_EQ(QtText_fromCp932("保存しますか?"), box->text());
  EXPECT_EQ(QStringLiteral("Brevlo 3.10"), box->windowTitle());
  EXPECT_EQ(QMessageBox::Question, box->icon());
  EXPECT_EQ(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, box->standardButtons());
  EXPECT_EQ(box->button(QMessageBox::No), box->defaultButton());
}

TEST(QtUserPrompts, MessageBoxAnswersWithTheButtonPressed) {
  app();
  QtUserPrompts prompts;
  QTimer::singleShot(0, [] {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (auto* box = qobject_cast<QMessageBox*>(w)) box->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(PromptAnswer::No, prompts.messageBox("q", "t", PromptButtons::YesNo, PromptIcon::Question,
                                                 PromptAnswer::Yes, 0));
}

TEST(QtUserPrompts, DetailDialogLayout) {
  app();
  QWidget owner;
  uint32_t id = WindowIds_idOf(&owner);
  EXPECT_EQ(id, WindowIds_idOf(&owner));
  EXPECT_EQ(&owner, WindowIds_find(id));
  auto dialog = QtUserPrompts_makeDetailDialog("エラー - Brevlo 3.10", "line1\nline2", id);
  EXPECT_EQ(QtText_fromCp932("エラー - Brevlo 3.10"), dialog->windowTitle());
  EXPECT_EQ(&owner, dialog->parentWidget());
  auto* edit = dialog->findChild<QPlainTextEdit*>(QStringLiteral("4225"));
  ASSERT_NE(nullptr, edit);
  EXPECT_TRUE(edit->isReadOnly());
  EXPECT_EQ(QStringLiteral("line1\nline2"), edit->toPlainText());
  auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("1"));
  ASSERT_NE(nullptr, ok);
  EXPECT_EQ(QStringLiteral("&OK"), ok->text());
  // The edit box spans the dialog's width less its margins; the button sits
  // below it, centred.
  EXPECT_LT(edit->geometry().right(), dialog->width());
  EXPECT_GT(ok->geometry().top(), edit->geometry().bottom());
  EXPECT_NEAR(dialog->width() / 2, ok->geometry().center().x(), dialog->width() / 50 + 2);
  EXPECT_NEAR(300.0 / 127.0 * 0.5, static_cast<double>(dialog->width()) / dialog->height(), 1.0);
}

TEST(WindowIds, ForgottenWhenTheWidgetGoes) {
  app();
  uint32_t id;
  {
    QWidget w;
    id = WindowIds_idOf(&w);
    ASSERT_NE(0u, id);
  }
  EXPECT_EQ(nullptr, WindowIds_find(id));
  EXPECT_EQ(0u, WindowIds_idOf(nullptr));
}
