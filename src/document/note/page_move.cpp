// Pages that change their place: a page with its descendants moved in the
// page tree, and the pages of another note put into this one.
#include <iterator>
#include <memory>
#include <utility>
#include <vector>

#include "core/errors/errors.h"
#include "document/note/note_document.h"

bool NoteDocument::isInSubtree(int32_t pageNumber, int32_t other) const {
  const NotePage* p = page(pageNumber);
  const NotePage* o = page(other);
  if (p == nullptr || o == nullptr) return false;
  size_t limit = pages_.size() + 1;
  for (const NotePage* a = o; a != nullptr && limit > 0; a = a->parent, --limit) {
    if (a == p) return true;
  }
  return false;
}

NoteDocument::PageMoveResult NoteDocument::MovePageInTree(const PageTreeMove& m) {
  PageMoveResult result;
  NotePage* p = page(m.page);
  NotePage* t = page(m.target);
  if (p == nullptr || t == nullptr) return result;
  if (m.where < PageDrop_before || m.where > PageDrop_after) return result;
  if (hasBackPage() && (m.page == 0 || m.target == 0)) return result;
  if (isInSubtree(m.page, m.target)) return result;
  // Drops that leave the page where it is.
  if ((m.where == PageDrop_before && t->previousSibling == p) ||
      (m.where == PageDrop_after && t->nextSibling == p) ||
      (m.where == PageDrop_under && t->firstChild == p)) {
    return result;
  }

  SelectPage(-1);
  NotePage* e = p->previousSibling;
  NotePage* q = p->nextSibling;
  NotePage* r = p->parent;
  const size_t pi = indexOf(p);
  const size_t pe = subtreeEnd(pi);
  const size_t ti = indexOf(t);
  // Where the block goes in the list as it is now.
  const size_t dest = m.where == PageDrop_before  ? ti
                      : m.where == PageDrop_under ? ti + 1
                                                  : subtreeEnd(ti);

  // Out of its sibling chain.
  if (e) {
    e->nextSibling = q;
  } else if (r) {
    r->firstChild = q;
  }
  if (q) q->previousSibling = e;
  p->parent = p->previousSibling = p->nextSibling = nullptr;

  // Into the new one.
  switch (m.where) {
    case PageDrop_after:
      p->parent = t->parent;
      p->previousSibling = t;
      p->nextSibling = t->nextSibling;
      if (p->nextSibling) p->nextSibling->previousSibling = p;
      t->nextSibling = p;
      break;
    case PageDrop_under:
      p->parent = t;
      p->nextSibling = t->firstChild;
      if (p->nextSibling) p->nextSibling->previousSibling = p;
      t->firstChild = p;
      break;
    default:  // PageDrop_before
      p->parent = t->parent;
      p->previousSibling = t->previousSibling;
      if (p->previousSibling) {
        p->previousSibling->nextSibling = p;
      } else if (t->parent) {
        t->parent->firstChild = p;
      }
      p->nextSibling = t;
      t->previousSibling = p;
      break;
  }

  // The records as one block, and their ink layer files.
  result.first = pageNumberAt(pi);
  result.end = pageNumberAt(pe);
  result.to = pageNumberAt(dest);
  std::vector<std::unique_ptr<NotePage>> block(
      std::make_move_iterator(pages_.begin() + static_cast<std::ptrdiff_t>(pi)),
      std::make_move_iterator(pages_.begin() + static_cast<std::ptrdiff_t>(pe)));
  pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(pi),
               pages_.begin() + static_cast<std::ptrdiff_t>(pe));
  const size_t at = dest > pi ? dest - (pe - pi) : dest;
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at),
                std::make_move_iterator(block.begin()), std::make_move_iterator(block.end()));
  inkFiles().moveBlock(result.first, result.end, result.to);

  result.moved = true;
  result.number = numberOf(p);
  // Back: behind the old previous sibling, else first under the old
  // parent, else in front of the old next sibling (a top-level page).
  result.back.page = result.number;
  if (e) {
    result.back.target = numberOf(e);
    result.back.where = PageDrop_after;
  } else if (r) {
    result.back.target = numberOf(r);
    result.back.where = PageDrop_under;
  } else {
    result.back.target = numberOf(q);
    result.back.where = PageDrop_before;
  }
  SelectPage(result.number);
  return result;
}

int32_t NoteDocument::InsertPagesFrom(NoteDocument& from, int32_t before) {
  if (&from == this) Errors_RAISE(Errors_Unofficial, "error");
  if (hasBackPage() && before == 0) before = 1;
  NotePage* x = page(before);
  if (x == nullptr) Errors_RAISE(Errors_Unofficial, "no page %d", before);
  const size_t fb = from.hasBackPage() ? 1 : 0;
  if (from.pages_.size() <= fb) return -1;
  const int32_t n = static_cast<int32_t>(from.pages_.size() - fb);

  from.SelectPage(-1);
  SelectPage(-1);
  // The top-level pages of the other note take x's place among its
  // siblings; x follows the last of them.
  NotePage* firstRoot = from.pages_[fb].get();
  NotePage* lastRoot = firstRoot;
  size_t limit = from.pages_.size();
  for (NotePage* s = firstRoot; s != nullptr && limit > 0; s = s->nextSibling, --limit) {
    s->parent = x->parent;
    lastRoot = s;
  }
  firstRoot->previousSibling = x->previousSibling;
  if (x->previousSibling) {
    x->previousSibling->nextSibling = firstRoot;
  } else if (x->parent) {
    x->parent->firstChild = firstRoot;
  }
  lastRoot->nextSibling = x;
  x->previousSibling = lastRoot;

  const size_t xi = indexOf(x);
  const int32_t lastBefore = lastPageNumber();
  InkLayerFiles mine = inkFiles();
  const InkLayerFiles theirs = from.inkFiles();
  mine.shift(before, lastBefore, n);
  for (int32_t i = 0; i < n; ++i) {
    theirs.moveTo(from.pageNumberAt(fb + static_cast<size_t>(i)), mine, before + i);
  }
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(xi),
                std::make_move_iterator(from.pages_.begin() + static_cast<std::ptrdiff_t>(fb)),
                std::make_move_iterator(from.pages_.end()));
  from.pages_.erase(from.pages_.begin() + static_cast<std::ptrdiff_t>(fb), from.pages_.end());
  SelectPage(before);
  return before;
}
