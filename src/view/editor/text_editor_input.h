// The Qt side of in-place text editing: key presses, input-method events
// and queries, and the desktop clipboard, handed to a `Text_Editor` as its
// plain calls.  No editing rule lives here; text crosses as CP932 (through
// platform/text/qt_text.h).
#pragma once

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QVariant>

#include <optional>
#include <string>
#include <string_view>

#include "figures/editor/text_editor.h"

// The application clipboard (QGuiApplication::clipboard) as CP932 text.
class QtEditorClipboard final : public EditorClipboard {
 public:
  bool SetText(std::string_view cp932) override;
  std::optional<std::string> Text() override;
};

// A key press: Shift decides extendSelection; editing and moving keys,
// the standard copy / cut / paste / select-all / undo shortcuts and typed
// text are forwarded.  True when the editor took the key.
bool TextEditorInput_keyPress(Text_Editor& editor, const QKeyEvent& event, EditorClipboard& clip);
// An input-method event: the commit string is committed, the preedit string
// shown as the composition (an empty one ends it).
void TextEditorInput_inputMethod(Text_Editor& editor, const QInputMethodEvent& event);
// The answers to the input method's queries: the caret rectangle
// (ImCursorRectangle) and the box font at the zoom (ImFont); an invalid
// QVariant for the others.
QVariant TextEditorInput_query(const Text_Editor& editor, Qt::InputMethodQuery query,
                               const DrawContext& ctx);
