#include "view/keyboard/date_insertion.h"

#include <vector>

#include "core/strx/strx_copy.h"
#include "figures/editor/text_editor.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

namespace {

// The room of the formatted text: 63 bytes and the terminator.
constexpr size_t kDateSize = 64;

}  // namespace

std::string DateInsertion_format(std::string_view format, const std::tm& t) {
  const std::string fmt = format.empty() ? std::string("%c") : std::string(format);
  // Formatted in full first, then cut at a character boundary (strftime
  // answers 0 both for a text that does not fit and for an empty one).
  std::vector<char> buf(fmt.size() * 16 + 256);
  size_t n = 0;
  while ((n = std::strftime(buf.data(), buf.size(), fmt.c_str(), &t)) == 0 &&
         buf.size() < 65536) {
    buf.resize(buf.size() * 4);
  }
  std::string out;
  StrX_cpyNChar(out, std::string_view(buf.data(), n), StrX_room(kDateSize), kDateSize);
  return out;
}

void DateInsertion_insert(Text_Editor& editor, std::string_view format, const std::tm& t) {
  editor.InsertText(DateInsertion_format(format, t));
}

void DateInsertion_register(CommandTable& table, CChildView& view, DateInsertionHooks hooks) {
  const bool ja = view.japanese();
  CChildView* v = &view;
  table.add(Cmd_InsertDate, ja ? "日時挿入(&T)" : "Insert Date and &Time",
            ja ? "編集(&E)" : "&Edit", {}, [v, hooks] {
              Text_Editor* editor = hooks.editor ? hooks.editor() : nullptr;
              if (editor == nullptr) return;
              const std::time_t now = std::time(nullptr);
              std::tm local{};
              localtime_r(&now, &local);
              DateInsertion_insert(*editor, hooks.format ? hooks.format() : std::string(), local);
              v->RedrawNow();
            });
}
