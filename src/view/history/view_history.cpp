#include "view/history/view_history.h"

#include <QAction>
#include <QKeySequence>

#include <memory>
#include <string>
#include <vector>

#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "figures/base/figure_kind.h"
#include "figures/text/text_box.h"
#include "ink/ink_engine.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/editor/in_place_editing.h"
#include "view/history/pending_change.h"
#include "view/selection/view_selection.h"

// --- the pending change ---------------------------------------------------------

bool ViewHistory_hasPendingChange(const CChildView& view) {
  const ViewSelection* sel = view.selection();
  if (sel == nullptr || view.leftDown()) return false;
  const FigureList& list = sel->page();
  auto differs = [&list](const CadPrim* copy) {
    if (copy == nullptr) return false;
    const CadPrim* live = list.FindFigureByNumber(copy->GetNumber());
    return live != nullptr && !live->Equals(*copy, 5);
  };
  for (const auto& c : sel->BeforeCopies()) {
    if (differs(c.get())) return true;
  }
  return sel->BeforeCopies().empty() && differs(sel->BeforePrim());
}

bool ViewHistory_flushPendingChange(CChildView& view) {
  ViewSelection* sel = view.selection();
  if (sel == nullptr) return false;
  NoteDocument* doc = view.host().Document();
  UndoHistory* history = view.host().History();
  if (doc == nullptr || history == nullptr || doc->currentPage() == nullptr) {
    sel->ReleaseBeforePrim();
    sel->ReleaseBeforeCopies();
    return false;
  }
  return PendingChange_record(*sel, *doc, *history, doc->currentPageNumber());
}

// --- the host of a step ------------------------------------------------------------

void ViewUndoHost::turnToPage(NoteDocument&, int32_t pageNumber, const char* message) {
  ChildViewHost& host = view_.host();
  if (message != nullptr) {
    UserPrompts_get().messageBox(message, "Zerbin", PromptButtons::Ok, PromptIcon::Information,
                                 PromptAnswer::Ok, host.WindowId());
  }
  host.GoToPage(pageNumber);
  view_.RedrawNow();
  if (view_.m_Sleep) view_.m_Sleep(ViewHistory_pagePause);
  // The step works on the figures themselves: the new page's selection
  // lets go of them again.
  view_.PageLeaving();
}

bool ViewUndoHost::confirmPageMove(const char* title, const char* text) {
  return UserPrompts_get().messageBox(text, title, PromptButtons::OkCancel, PromptIcon::Warning,
                                      PromptAnswer::Ok, view_.host().WindowId()) ==
         PromptAnswer::Ok;
}

void ViewUndoHost::applyInk(NoteDocument& /*doc*/, const UndoRecord& record, bool redo) {
  if (InkEngine* ink = view_.ink()) ink->applyRecord(record, redo);
}

void ViewUndoHost::applyText(CadPrim& textBox, int32_t caret, const std::string& text) {
  auto* box = dynamic_cast<Text_Box*>(&textBox);
  if (box == nullptr) return;
  box->SetText(text);
  // Laid out as the in-place editor lays it out (the view's context).
  DrawContext ctx;
  view_.FillDrawContext(ctx, true);
  if (box->textMetrics()) box->Layout(*box->textMetrics(), ctx);
  editBox = box->GetNumber();
  editCaret = caret;
}

// --- the commands ----------------------------------------------------------------------

namespace {

bool step(CChildView& view, bool redo) {
  NoteDocument* doc = view.host().Document();
  UndoHistory* history = view.host().History();
  if (doc == nullptr || history == nullptr || doc->closed()) return false;
  // A running edit becomes its own step first; otherwise the pending
  // nudges do.  An untouched new text box goes with the undo of its
  // creation: that undo is this command's one step.
  const size_t before = history->current();
  view.inPlace().End();
  if (!redo && history->current() < before) {
    view.host().HistoryStepped();
    view.PageLeaving();
    view.PageChanged();
    view.RedrawNow();
    view.host().SelectionChanged();
    view.host().ModifiedChanged();
    return true;
  }
  ViewHistory_flushPendingChange(view);
  if (redo ? !history->CanRedo() : !history->CanUndo()) {
    view.host().ModifiedChanged();
    return false;
  }
  // The step destroys and makes live figures: the selection lets go of
  // them first and takes the page again afterwards.
  view.PageLeaving();
  ViewUndoHost host(view);
  const bool done = redo ? history->Redo(*doc, &host) : history->Undo(*doc, &host);
  view.host().HistoryStepped();
  view.PageChanged();
  if (ViewSelection* sel = view.selection()) {
    const FigureList& list = sel->page();
    // The first restored figure ends up held.
    const std::vector<CadPrim*>& restored = history->restored();
    for (auto it = restored.rbegin(); it != restored.rend(); ++it) {
      if (list.indexOf(**it) >= 0 && (*it)->GetKind() != FigureKind_Canvas) {
        sel->AddToSelection(**it);
      }
    }
    sel->TakeDirtyRect();
    if (host.editBox != 0) {
      if (auto* box = dynamic_cast<Text_Box*>(sel->page().FindFigureByNumber(host.editBox))) {
        view.inPlace().BeginAt(*box, host.editCaret);
      }
    }
  }
  history->clearRestored();
  view.UpdateScrollSizes();
  view.RedrawNow();
  view.host().SelectionChanged();
  view.host().ModifiedChanged();
  return done;
}

}  // namespace

bool ViewHistory_undo(CChildView& view) { return step(view, false); }
bool ViewHistory_redo(CChildView& view) { return step(view, true); }

void ViewHistory_registerCommands(CommandTable& table, CChildView& view) {
  const bool ja = view.japanese();
  CChildView* v = &view;
  const std::string_view menu = ja ? "編集(&E)" : "&Edit";
  table.add(Cmd_Undo, ja ? "元に戻す" : "&Undo", menu,
            {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)},
            [v] { ViewHistory_undo(*v); });
  table.add(Cmd_Redo, ja ? "進む(&R)" : "&Redo", menu, {QKeySequence(Qt::CTRL | Qt::Key_Y)},
            [v] { ViewHistory_redo(*v); });
  ViewHistory_updateCommands(table, view);
}

void ViewHistory_updateCommands(const CommandTable& table, CChildView& view) {
  const UndoHistory* history = view.host().History();
  // A running edit or a pending nudge is a step that undo records first.
  const bool pending = view.inPlace().Changed() || ViewHistory_hasPendingChange(view);
  if (QAction* a = table.action(Cmd_Undo)) {
    a->setEnabled(history != nullptr && (history->CanUndo() || pending));
  }
  if (QAction* a = table.action(Cmd_Redo)) {
    a->setEnabled(history != nullptr && history->CanRedo() && !pending);
  }
}
