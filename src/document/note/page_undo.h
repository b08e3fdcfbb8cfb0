// What a note hands to the undo history when a page is deleted.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "document/note/note_page.h"

// The pages cut out by one deletion: the deleted page followed by its
// descendants in list order.  The links among them are kept; the first
// page's parent and sibling links are cleared and described by numbers
// instead (the numbers the pages had before the deletion).
struct DeletedPages {
  std::vector<std::unique_ptr<NotePage>> pages;
  int32_t firstNumber = 0;      // number of the deleted page
  int32_t parentNumber = -1;    // its parent, -1 for a top-level page
  int32_t previousNumber = -1;  // its previous sibling, -1 when none
};

class PageUndoHistory {
 public:
  virtual ~PageUndoHistory() = default;
  // Takes the cut pages and answers the entry number u under which they
  // are kept.  The ink layer files of page i (from 0) of the cut are then
  // found under the number InkFiles_holderNumber(u, i).
  virtual int32_t RecordDeletedPages(DeletedPages deleted) = 0;
};
