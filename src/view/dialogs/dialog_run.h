// How the program's dialogs are shown: a test's answer when the dialog's
// `exec` hook is set, a person's (QDialog::exec) when there is one, and
// OK without a person (batch runs keep the values the dialog proposes).
#pragma once

#include <QDialog>

#include "core/prompts/user_prompts.h"

// `Dialog` has a static std::function<int(Dialog&)> exec (the test hook).
template <typename Dialog>
int Dialog_run(Dialog& dialog) {
  if (Dialog::exec) return Dialog::exec(dialog);
  if (UserPrompts_get().interactive()) return dialog.QDialog::exec();
  return QDialog::Accepted;
}
