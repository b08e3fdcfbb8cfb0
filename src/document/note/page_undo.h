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

// Where a page goes, with its descendants, when it is moved in the page
// tree: in front of the target among its siblings, as the target's first
// child, or behind the target (after its descendants) among its siblings.
enum PageDrop : int32_t {
  PageDrop_before = 0,
  PageDrop_under = 1,
  PageDrop_after = 2,
};

// One move of a page in the tree, by the page numbers before the move.
struct PageTreeMove {
  int32_t page = -1;
  int32_t target = -1;
  int32_t where = PageDrop_after;  // PageDrop
  bool operator==(const PageTreeMove&) const = default;
};

class PageUndoHistory {
 public:
  virtual ~PageUndoHistory() = default;
  // Takes the cut pages and answers the entry number u under which they
  // are kept.  The ink layer files of page i (from 0) of the cut are then
  // found under the number InkFiles_holderNumber(u, i).
  virtual int32_t RecordDeletedPages(DeletedPages deleted) = 0;
};
