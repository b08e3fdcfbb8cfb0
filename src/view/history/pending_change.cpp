#include "view/history/pending_change.h"

#include <memory>
#include <vector>

#include "figures/base/figure_list.h"
#include "undo/undo_history.h"
#include "view/selection/view_selection.h"

bool PendingChange_record(ViewSelection& selection, NoteDocument& document, UndoHistory& history,
                          int32_t pageNumber) {
  if (selection.BeforePrim() == nullptr && selection.BeforeCopies().empty()) return false;
  std::unique_ptr<CadPrim> beforePrim = selection.ReleaseBeforePrim();
  std::vector<std::unique_ptr<CadPrim>> copies = selection.ReleaseBeforeCopies();
  if (copies.empty() && beforePrim) copies.push_back(std::move(beforePrim));
  FigureList& list = selection.page();
  bool recorded = false;
  UndoGroup group(history);
  for (auto& copy : copies) {
    // The selection may have changed since the copies were taken: the live
    // figures are found by number, and only while they are on the page.
    CadPrim* live = list.FindFigureByNumber(copy->GetNumber());
    if (live != nullptr && list.indexOf(*live) >= 0) {
      recorded = history.RecordChange(std::move(copy), *live, document, pageNumber) || recorded;
    }
  }
  return recorded;
}
