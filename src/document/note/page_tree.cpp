// The page tree of a note: adding, deleting and appending pages, the back
// page, and the checks and questions on the tree links.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/errors/errors.h"
#include "core/filex/filex.h"
#include "document/note/note_document.h"

namespace {

bool isAncestor(const NotePage* ancestor, const NotePage* p, size_t limit) {
  for (const NotePage* a = p->parent; a != nullptr && limit > 0; a = a->parent, --limit) {
    if (a == ancestor) return true;
  }
  return false;
}

// A page made from another page's settings: no image file regenerated from
// it and no id (two pages answering one link target would make the later
// one unreachable, or the new one take the links of the old).
void copySettingsForNewPage(NotePage& to, const NotePage& from) {
  to.settings().CopyFrom(from.settings(), nullptr);
  to.settings().setSaveImageFile("");
  to.settings().SetId("");
}

}  // namespace

size_t NoteDocument::subtreeEnd(size_t index) const {
  const NotePage* p = pages_.at(index).get();
  size_t j = index + 1;
  while (j < pages_.size() && isAncestor(p, pages_[j].get(), pages_.size())) ++j;
  return j;
}

int32_t NoteDocument::AddPage(int32_t kind, std::string_view templatePath,
                              const NoteTemplateFill& fill) {
  if (kind < AddPage_next || kind > AddPage_previous) Errors_RAISE(Errors_Unofficial, "error");
  const int32_t current = currentPageNumber_;
  NotePage* p = currentPage();
  if (p == nullptr) Errors_RAISE(Errors_Unofficial, "no current page");
  if (hasBackPage() && current == 0) Errors_RAISE(Errors_Unofficial, "error");
  SelectPage(-1);

  const size_t pi = indexOf(p);
  auto made = std::make_unique<NotePage>();
  NotePage* n = made.get();
  size_t at = pi;
  switch (kind) {
    case AddPage_next:
      at = subtreeEnd(pi);
      n->parent = p->parent;
      n->nextSibling = p->nextSibling;
      if (n->nextSibling) n->nextSibling->previousSibling = n;
      p->nextSibling = n;
      n->previousSibling = p;
      break;
    case AddPage_child:
      at = pi + 1;
      n->parent = p;
      n->nextSibling = p->firstChild;
      if (n->nextSibling) n->nextSibling->previousSibling = n;
      p->firstChild = n;
      break;
    default:  // AddPage_previous
      at = pi;
      n->parent = p->parent;
      if (p->parent && p->parent->firstChild == p) p->parent->firstChild = n;
      n->previousSibling = p->previousSibling;
      if (n->previousSibling) n->previousSibling->nextSibling = n;
      n->nextSibling = p;
      p->previousSibling = n;
      break;
  }
  copySettingsForNewPage(*n, *p);

  const int32_t lastBefore = lastPageNumber();
  pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at), std::move(made));
  const int32_t number = pageNumberAt(at);
  InkLayerFiles files = inkFiles();
  files.shift(number, lastBefore, 1);
  files.createEmpty(number);

  if (!templatePath.empty() && fill && FileX_exists(templatePath)) fill(*n, number, templatePath);
  SelectPage(number);
  return number;
}

void NoteDocument::ToggleBackPage(bool japaneseUi) {
  const int32_t current = currentPageNumber_;
  NotePage* p = currentPage();
  if (p == nullptr) Errors_RAISE(Errors_Unofficial, "no current page");
  SelectPage(-1);
  if (hasBackPage() && current == 0) {
    int32_t back = returnPageNumber;
    if (page(back) == nullptr || back == 0) back = 1;
    SelectPage(back);
    return;
  }
  if (!hasBackPage()) {
    auto made = std::make_unique<NotePage>();
    copySettingsForNewPage(*made, *p);
    made->setTitle(japaneseUi ? "背景" : "Background");
    pages_.insert(pages_.begin(), std::move(made));
    firstPageNumber_ = 0;
    backPageMade = true;
    inkFiles().createEmpty(0);
  }
  SelectPage(0);
  returnPageNumber = current;
}

bool NoteDocument::DeletePage(PageUndoHistory* undo) {
  const int32_t a = currentPageNumber_;
  NotePage* p = currentPage();
  if (p == nullptr || (hasBackPage() && a == 0)) return false;

  NotePage* e = p->previousSibling;
  NotePage* q = p->nextSibling;
  NotePage* r = p->parent;
  NotePage* s = q;
  for (NotePage* up = r; s == nullptr && up != nullptr; up = up->parent) s = up->nextSibling;
  const size_t pi = indexOf(p);
  const size_t si = s ? indexOf(s) : pages_.size();
  if (si == npos || si <= pi) Errors_RAISE(Errors_Unofficial, "broken page tree");
  const int32_t k = static_cast<int32_t>(si - pi);
  if (k >= ordinaryPageCount()) return false;

  SelectPage(-1);
  DeletedPages cut;
  cut.firstNumber = a;
  cut.parentNumber = numberOf(r);
  cut.previousNumber = numberOf(e);
  const int32_t lastBefore = lastPageNumber();
  for (size_t i = pi; i < si; ++i) cut.pages.push_back(std::move(pages_[i]));
  pages_.erase(pages_.begin() + static_cast<std::ptrdiff_t>(pi),
               pages_.begin() + static_cast<std::ptrdiff_t>(si));
  p->parent = p->previousSibling = p->nextSibling = nullptr;

  if (e) {
    e->nextSibling = q;
  } else if (r) {
    r->firstChild = q;
  }
  if (q) q->previousSibling = e;

  InkLayerFiles files = inkFiles();
  if (undo != nullptr) {
    const int32_t u = undo->RecordDeletedPages(std::move(cut));
    for (int32_t i = 0; i < k; ++i) files.move(a + i, InkFiles_holderNumber(u, i));
  } else {
    for (int32_t i = 0; i < k; ++i) files.remove(a + i);
  }
  files.shift(a + k, lastBefore, -k);

  SelectPage(s ? a : a - 1);
  return true;
}

void NoteDocument::RestoreDeletedPages(DeletedPages deleted, int32_t u) {
  if (deleted.pages.empty() || deleted.pages.front() == nullptr)
    Errors_RAISE(Errors_Unofficial, "error");
  const int32_t a = deleted.firstNumber;
  if (a < firstPageNumber_ || (hasBackPage() && a == 0) || a > lastPageNumber() + 1)
    Errors_RAISE(Errors_Unofficial, "error");
  NotePage* r = nullptr;
  if (deleted.parentNumber != -1) {
    r = page(deleted.parentNumber);
    if (r == nullptr || deleted.parentNumber >= a) Errors_RAISE(Errors_Unofficial, "error");
  }
  NotePage* e = nullptr;
  if (deleted.previousNumber != -1) {
    e = page(deleted.previousNumber);
    if (e == nullptr || e->parent != r || deleted.previousNumber >= a)
      Errors_RAISE(Errors_Unofficial, "error");
  }
  // The sibling that followed the cut page: the previous sibling's next, the
  // parent's first child, or the first top-level ordinary page.
  NotePage* q = nullptr;
  if (e != nullptr) {
    q = e->nextSibling;
  } else if (r != nullptr) {
    q = r->firstChild;
  } else {
    q = page(1);
    if (q != nullptr && q->parent != nullptr) Errors_RAISE(Errors_Unofficial, "error");
  }
  if (q != nullptr && numberOf(q) != a) Errors_RAISE(Errors_Unofficial, "error");

  SelectPage(-1);
  NotePage* p = deleted.pages.front().get();
  const int32_t k = static_cast<int32_t>(deleted.pages.size());
  p->parent = r;
  p->previousSibling = e;
  p->nextSibling = q;
  if (q) q->previousSibling = p;
  if (e) {
    e->nextSibling = p;
  } else if (r) {
    r->firstChild = p;
  }
  const int32_t lastBefore = lastPageNumber();
  const size_t at = static_cast<size_t>(a - firstPageNumber_);
  for (size_t i = 0; i < deleted.pages.size(); ++i) {
    pages_.insert(pages_.begin() + static_cast<std::ptrdiff_t>(at + i),
                  std::move(deleted.pages[i]));
  }
  InkLayerFiles files = inkFiles();
  files.shift(a, lastBefore, k);
  for (int32_t i = 0; i < k; ++i) files.move(InkFiles_holderNumber(u, i), a + i);
  SelectPage(a);
}

NotePage& NoteDocument::appendPage(NotePage* parent) {
  NotePage* last = pages_.empty() ? nullptr : pages_.back().get();
  if (parent != nullptr) {
    const size_t pi = indexOf(parent);
    if (pi == npos || (hasBackPage() && pi == 0) ||
        (parent != last && !isAncestor(parent, last, pages_.size()))) {
      Errors_RAISE(Errors_Unofficial, "error");
    }
  }
  // The previous sibling: the last record, or its ancestor, that is a
  // child of `parent` (a top-level page when parent is null).
  NotePage* previous = nullptr;
  if (last != nullptr && !(hasBackPage() && pages_.size() == 1)) {
    size_t limit = pages_.size();
    for (NotePage* a = last; a != nullptr && limit > 0; a = a->parent, --limit) {
      if (a->parent == parent) {
        previous = a;
        break;
      }
    }
  }
  auto made = std::make_unique<NotePage>();
  NotePage* n = made.get();
  n->parent = parent;
  n->previousSibling = previous;
  if (previous) {
    previous->nextSibling = n;
  } else if (parent) {
    parent->firstChild = n;
  }
  pages_.push_back(std::move(made));
  inkFiles().createEmpty(lastPageNumber());
  return *n;
}

int32_t NoteDocument::parentNumber(int32_t number) const {
  NotePage* p = page(number);
  return p ? numberOf(p->parent) : -1;
}

int32_t NoteDocument::treeDepth(int32_t number) const {
  NotePage* p = page(number);
  int32_t depth = 0;
  size_t limit = pages_.size();
  for (NotePage* a = p ? p->parent : nullptr; a != nullptr && limit > 0; a = a->parent, --limit) {
    ++depth;
  }
  return depth;
}

std::string NoteDocument::checkTree() const {
  const size_t start = hasBackPage() ? 1 : 0;
  const NotePage* back = hasBackPage() ? pages_[0].get() : nullptr;
  auto name = [&](const NotePage* p) { return "page " + std::to_string(numberOf(p)); };

  if (back && (back->parent || back->firstChild || back->previousSibling || back->nextSibling)) {
    return "the back page has tree links";
  }
  for (size_t i = start; i < pages_.size(); ++i) {
    const NotePage* p = pages_[i].get();
    for (const NotePage* link : {p->parent, p->firstChild, p->previousSibling, p->nextSibling}) {
      if (link == nullptr) continue;
      if (link == back) return name(p) + " links to the back page";
      if (indexOf(link) == npos) return name(p) + " links to a page of no note";
    }
  }
  if (start == pages_.size()) return "";

  // Walk the tree in pre-order from the first ordinary record and compare
  // with the list.
  size_t expected = start;
  const NotePage* root = pages_[start].get();
  if (root->parent || root->previousSibling) return name(root) + " is not the first top-level page";
  struct Level {
    const NotePage* parent;
    const NotePage* next;      // the next page to visit at this level
    const NotePage* previous;  // the page visited before it at this level
  };
  std::vector<Level> stack{{nullptr, root, nullptr}};
  while (!stack.empty()) {
    Level& level = stack.back();
    const NotePage* p = level.next;
    if (p == nullptr) {
      stack.pop_back();
      continue;
    }
    if (expected >= pages_.size()) return "the tree has more pages than the list (a cycle?)";
    if (pages_[expected].get() != p) {
      return "list position " + std::to_string(pageNumberAt(expected)) + " is not " + name(p) +
             " of the pre-order walk";
    }
    ++expected;
    if (p->parent != level.parent) return name(p) + ": parent link does not match";
    if (p->previousSibling != level.previous) {
      return name(p) + ": previous sibling link does not match";
    }
    level.previous = p;
    level.next = p->nextSibling;
    if (p->firstChild) stack.push_back({p, p->firstChild, nullptr});
  }
  if (expected != pages_.size()) {
    return "page " + std::to_string(pageNumberAt(expected)) + " is not reached by the tree";
  }
  return "";
}
