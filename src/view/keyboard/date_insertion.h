// Inserting the date and time into the text being edited in place
// (command 33186): the local time formatted with the strftime conventions,
// with the text of the date tool's style template as the format when there
// is one, else "%c"; at most 63 bytes, never a split double-byte character.
// Outside an in-place edit the command does nothing.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>

class CChildView;
class CommandTable;
class Text_Editor;

// The text for time `t` with `format` ("" gives "%c").
std::string DateInsertion_format(std::string_view format, const std::tm& t);
// Replaces the editor's selection with that text (the caret ends behind
// it); the change belongs to the in-place edit.
void DateInsertion_insert(Text_Editor& editor, std::string_view format, const std::tm& t);

struct DateInsertionHooks {
  // The in-place editor while a text box is edited, else null.
  std::function<Text_Editor*()> editor;
  // The text of the date tool's style template ("" when there is none).
  std::function<std::string()> format;
};

// Binds command 33186 "日時挿入(&T)".
void DateInsertion_register(CommandTable& table, CChildView& view, DateInsertionHooks hooks);
