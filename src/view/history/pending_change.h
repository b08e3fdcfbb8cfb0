// The pending change of the view: the before copies that the selection
// takes when a run of keyboard nudges (or a drag) begins, recorded as one
// undo step when something else is about to record or the run ends.
#pragma once

#include <cstdint>

class NoteDocument;
class UndoHistory;
class ViewSelection;

// Records the selection's before copies (or its one before figure) against
// the live figures of its page, found by number, as one step — a copy whose
// figure is gone or equal to it records nothing — and discards them.
// Answers whether a record was made.
bool PendingChange_record(ViewSelection& selection, NoteDocument& document, UndoHistory& history,
                          int32_t pageNumber);
