// The Qt glue of the text editor: Qt key and input-method events reach the
// editor as its calls, the clipboard carries CP932 text as Unicode.
#include "view/editor/text_editor_input.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include <optional>

#include "platform/text/qt_text.h"
#include "support/fixed_metrics.h"

namespace {

// The application lives for the suite only: one left to the exit handlers
// would be torn down after Qt's own statics.
class TextEditorInput : public testing::Test {
 protected:
  // Other suites of this program may have made the one application already.
  static void SetUpTestSuite() {
    if (QCoreApplication::instance() == nullptr) app().emplace(argc, argv);
  }
  static void TearDownTestSuite() { app().reset(); }
  static std::optional<QGuiApplication>& app() {
    static std::optional<QGuiApplication> a;
    return a;
  }
  static inline int argc = 1;
  static inline char name[] = "view_tests";
  static inline char* argv[] = {name, nullptr};
};

const FixedMetrics& metrics() {
  static const FixedMetrics m;
  return m;
}

struct Editing {
  explicit Editing(std::string_view text) {
    box.SetTextMetrics(&metrics());
    box.SetBasePoint(100, 100);
    box.SetText(text);
    box.Layout(metrics(), DrawContext{});
    ed.BeginEdit(box, false);
  }
  Text_Box box;
  Text_Editor ed;
};

bool key(Text_Editor& e, EditorClipboard& clip, int k, Qt::KeyboardModifiers m = Qt::NoModifier,
         const QString& text = {}) {
  const QKeyEvent ev(QEvent::KeyPress, k, m, text);
  return TextEditorInput_keyPress(e, ev, clip);
}

}  // namespace

TEST_F(TextEditorInput, KeysTextAndShortcutsReachTheEditor) {
  QtEditorClipboard clip;
  Editing t("表");
  Text_Editor& e = t.ed;
  EXPECT_TRUE(key(e, clip, Qt::Key_End));
  EXPECT_TRUE(key(e, clip, Qt::Key_A, Qt::NoModifier, u"a"_qs));
  EXPECT_TRUE(key(e, clip, Qt::Key_unknown, Qt::NoModifier, u"ソ"_qs));
  EXPECT_TRUE(key(e, clip, Qt::Key_Return));
  EXPECT_EQ(e.text(), "表aソ\r\n");
  EXPECT_FALSE(key(e, clip, Qt::Key_M, Qt::ControlModifier, u"\r"_qs));
  EXPECT_TRUE(key(e, clip, Qt::Key_Left, Qt::ShiftModifier));
  EXPECT_TRUE(key(e, clip, Qt::Key_Left, Qt::ShiftModifier));
  EXPECT_EQ(e.GetSelectionText(), "ソ\r\n");
  EXPECT_TRUE(key(e, clip, Qt::Key_C, Qt::ControlModifier));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), u"ソ\r\n"_qs);
  EXPECT_TRUE(key(e, clip, Qt::Key_Backspace));
  EXPECT_EQ(e.text(), "表a");
  QGuiApplication::clipboard()->setText(u"ア\n能"_qs);
  EXPECT_TRUE(key(e, clip, Qt::Key_V, Qt::ControlModifier));
  EXPECT_EQ(e.text(), "表aア\r\n能");
  EXPECT_TRUE(key(e, clip, Qt::Key_A, Qt::ControlModifier));
  EXPECT_EQ(e.GetSelectionText(), e.text());
}

TEST_F(TextEditorInput, InputMethodEventsComposeCommitAndCancel) {
  Editing t("a表");
  Text_Editor& e = t.ed;
  e.Select(1, 3);
  using Attr = QInputMethodEvent::Attribute;
  {
    QInputMethodEvent ev(u"かん"_qs, {Attr(QInputMethodEvent::Cursor, 1, 1)});
    TextEditorInput_inputMethod(e, ev);
  }
  EXPECT_TRUE(e.IsComposing());
  EXPECT_EQ(e.text(), "aかん");
  EXPECT_EQ(e.caret(), 3);  // one UTF-16 unit in: after "か"
  {
    QInputMethodEvent ev(u"漢"_qs, {});
    TextEditorInput_inputMethod(e, ev);
  }
  EXPECT_EQ(e.text(), "a漢");
  EXPECT_EQ(e.caret(), 3);  // no cursor attribute: at the end
  const QRect r = TextEditorInput_query(e, Qt::ImCursorRectangle, DrawContext{}).toRect();
  EXPECT_EQ(r.left(), 101 + 8 + 16);
  {
    QInputMethodEvent ev;  // empty: cancelled
    TextEditorInput_inputMethod(e, ev);
  }
  EXPECT_FALSE(e.IsComposing());
  EXPECT_EQ(e.text(), "a表");
  EXPECT_EQ(e.GetSelectionText(), "表");
  {
    QInputMethodEvent ev(u"そ"_qs, {});
    TextEditorInput_inputMethod(e, ev);
  }
  {
    QInputMethodEvent ev;
    ev.setCommitString(u"ソ"_qs);
    TextEditorInput_inputMethod(e, ev);
  }
  EXPECT_FALSE(e.IsComposing());
  EXPECT_EQ(e.text(), "aソ");
  EXPECT_EQ(e.caret(), 3);
}
