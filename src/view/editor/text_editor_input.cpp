// Forwarding Qt input to Text_Editor.
#include "view/editor/text_editor_input.h"

#include <QClipboard>
#include <QFont>
#include <QGuiApplication>
#include <QRect>

#include <algorithm>

#include "platform/text/font_substitution.h"
#include "platform/text/qt_text.h"

bool QtEditorClipboard::SetText(std::string_view cp932) {
  QClipboard* c = QGuiApplication::clipboard();
  if (!c) return false;
  c->setText(QtText_fromCp932(cp932));
  return true;
}

std::optional<std::string> QtEditorClipboard::Text() {
  const QClipboard* c = QGuiApplication::clipboard();
  if (!c) return std::nullopt;
  const QString t = c->text();
  if (t.isEmpty()) return std::nullopt;
  return QtText_toCp932(t);
}

namespace {

std::optional<EditorKey> editorKey(int key) {
  switch (key) {
    case Qt::Key_Backspace: return EditorKey::Backspace;
    case Qt::Key_Delete: return EditorKey::Delete;
    case Qt::Key_Home: return EditorKey::Home;
    case Qt::Key_End: return EditorKey::End;
    case Qt::Key_Left: return EditorKey::Left;
    case Qt::Key_Right: return EditorKey::Right;
    case Qt::Key_Up: return EditorKey::Up;
    case Qt::Key_Down: return EditorKey::Down;
    case Qt::Key_Return:
    case Qt::Key_Enter: return EditorKey::Enter;
    default: return std::nullopt;
  }
}

}  // namespace

bool TextEditorInput_keyPress(Text_Editor& editor, const QKeyEvent& event, EditorClipboard& clip) {
  editor.extendSelection = event.modifiers().testFlag(Qt::ShiftModifier);
  if (event.matches(QKeySequence::Copy)) return editor.CopySelection(clip);
  if (event.matches(QKeySequence::Cut)) return editor.CutSelection(clip);
  if (event.matches(QKeySequence::Paste)) return editor.Paste(clip);
  if (event.matches(QKeySequence::Undo)) return editor.UndoRun();
  if (event.matches(QKeySequence::SelectAll)) {
    editor.SelectAll();
    return true;
  }
  if (const std::optional<EditorKey> k = editorKey(event.key())) return editor.HandleKey(*k);
  if (event.modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
  const std::string text = QtText_toCp932(event.text());
  if (text.empty()) return false;
  if (text.size() == 1) return editor.HandleKey(static_cast<unsigned char>(text[0]));
  editor.InsertText(text);
  return true;
}

void TextEditorInput_inputMethod(Text_Editor& editor, const QInputMethodEvent& event) {
  if (!event.commitString().isEmpty())
    editor.CommitComposition(QtText_toCp932(event.commitString()));
  const QString preedit = event.preeditString();
  if (preedit.isEmpty()) {
    editor.CancelComposition();
    return;
  }
  qsizetype cursor = preedit.size();
  for (const QInputMethodEvent::Attribute& a : event.attributes())
    if (a.type == QInputMethodEvent::Cursor) cursor = std::clamp<qsizetype>(a.start, 0, preedit.size());
  const std::string before = QtText_toCp932(preedit.left(cursor));
  editor.SetComposition(QtText_toCp932(preedit), static_cast<int32_t>(before.size()));
}

QVariant TextEditorInput_query(const Text_Editor& editor, Qt::InputMethodQuery query,
                               const DrawContext& ctx) {
  if (query == Qt::ImCursorRectangle) {
    const SurfaceRect r = editor.CaretRect(ctx);
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
  }
  if (query == Qt::ImFont) {
    QFont f = FontSubstitution_font(editor.fontFace, editor.fontSize * ctx.zoomX / 100.0);
    f.setBold(editor.bold);
    f.setItalic(editor.italic);
    return f;
  }
  return {};
}
