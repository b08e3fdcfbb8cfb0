// The view's side of the undo history: the pending change of keyboard
// nudges (FlushPendingChange), the Undo and Redo commands with what they
// do around the history (the in-place edit committed first, the page turned
// to the step's page with a pause, the restored figures selected), and what
// the view adds to the note's modified state.  The history and the note
// come from the view's host; a host without them records nothing.
#pragma once

#include <cstdint>
#include <functional>

#include "undo/undo_history.h"

class CChildView;
class CommandTable;

// Records the before copies that the selection still holds against the
// live figures (one step; a copy equal to its figure records nothing) and
// discards them.  Answers whether a record was made.
bool ViewHistory_flushPendingChange(CChildView& view);
// Whether the selection holds before copies that differ from their live
// figures (a nudge not yet recorded).
bool ViewHistory_hasPendingChange(const CChildView& view);

// The commands "元に戻す" (57643) and "進む(&R)" (57644): one step back or
// forward.  Answer whether a step was applied.
bool ViewHistory_undo(CChildView& view);
bool ViewHistory_redo(CChildView& view);

// Binds 57643 (Ctrl+Z, Alt+Backspace) and 57644 (Ctrl+Y) in the Edit menu.
void ViewHistory_registerCommands(CommandTable& table, CChildView& view);
// Enables Undo and Redo as the history allows.
void ViewHistory_updateCommands(const CommandTable& table, CChildView& view);

// What undo and redo ask of the window (UndoHost) while they run in the
// view: the page turn with its pause and message, the page-move question,
// and text records reopening the in-place edit.
class ViewUndoHost : public UndoHost {
 public:
  explicit ViewUndoHost(CChildView& view) : view_(view) {}
  void turnToPage(NoteDocument& doc, int32_t pageNumber, const char* message) override;
  bool confirmPageMove(const char* title, const char* text) override;
  void applyText(CadPrim& textBox, int32_t caret, const std::string& text) override;
  void applyInk(NoteDocument& doc, const UndoRecord& record, bool redo) override;

  // The text box a text record touched last (0: none) and its caret: the
  // edit opens on it once the step is done.
  int32_t editBox = 0;
  int32_t editCaret = 0;

 private:
  CChildView& view_;
};

// The pause after turning to the page of an undo step, in milliseconds.
inline constexpr int ViewHistory_pagePause = 300;
