#include "document/reader/note_reader_pages.h"

#include <string>

#include "core/errors/errors.h"
#include "core/strx/strx_numbers.h"
#include "document/reader/reader_elements.h"

NotePage& NoteReaderPageList::list(const XmlEventReader& xml) {
  const auto num = xml.Attribute("num");
  size_t used = 0;
  const int32_t number = num ? StrX_toInt(*num, &used) : 0;
  NotePage* page = used > 0 && number >= 1 ? doc_.page(number) : nullptr;
  if (page == nullptr) ReaderError_unsupported(japanese_);

  if (!any_) {
    // The list decides the tree: the links the pages got while they were
    // read are dropped.
    for (size_t i = 0; i < doc_.pageCount(); ++i) {
      NotePage& p = doc_.pageAt(i);
      p.parent = p.firstChild = p.previousSibling = p.nextSibling = nullptr;
    }
    any_ = true;
  }

  NotePage* parent = open_.empty() ? nullptr : open_.back();
  page->parent = parent;
  page->previousSibling = previous_;
  page->nextSibling = nullptr;
  page->firstChild = nullptr;
  if (previous_ != nullptr) {
    previous_->nextSibling = page;
  } else if (parent != nullptr) {
    parent->firstChild = page;
  }
  const auto title = xml.Attribute("title");
  // A title longer than a page holds refuses the load (the reader reports
  // it in the BufOver form) rather than losing its end.
  if (title && title->size() > NotePage_titleMax)
    Errors_RAISE(StrX_Err_BufOver, "title over %zu bytes", NotePage_titleMax);
  page->setTitle(title && !title->empty() ? *title : std::string_view(NoteReader_defaultTitle));
  if (number > highestNumber_) highestNumber_ = number;
  return *page;
}

void NoteReaderPageList::start(const XmlEventReader& xml) {
  NotePage& page = list(xml);
  open_.push_back(&page);
  previous_ = nullptr;
}

void NoteReaderPageList::empty(const XmlEventReader& xml) { previous_ = &list(xml); }

void NoteReaderPageList::end() {
  if (open_.empty()) return;  // a stray end tag closes nothing
  previous_ = open_.back();
  open_.pop_back();
}

void NoteReader_flattenTree(NoteDocument& doc) {
  const size_t first = doc.hasBackPage() ? 1 : 0;
  NotePage* previous = nullptr;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    NotePage& p = doc.pageAt(i);
    p.parent = p.firstChild = p.nextSibling = nullptr;
    p.previousSibling = nullptr;
    if (i < first) continue;
    p.previousSibling = previous;
    if (previous != nullptr) previous->nextSibling = &p;
    previous = &p;
  }
}

void NoteReaderPageList::giveDefaultTitles() {
  for (size_t i = doc_.hasBackPage() ? 1 : 0; i < doc_.pageCount(); ++i) {
    NotePage& p = doc_.pageAt(i);
    if (p.title().empty()) p.setTitle(NoteReader_defaultTitle);
  }
}

void NoteReaderPageList::finish() {
  if (!any_) {
    NoteReader_flattenTree(doc_);
    giveDefaultTitles();
    return;
  }
  // The pages behind the highest listed one were not listed: they follow
  // it at its level.
  NotePage* previous = doc_.page(highestNumber_);
  for (int32_t n = highestNumber_ + 1; n <= doc_.lastPageNumber(); ++n) {
    NotePage* p = doc_.page(n);
    p->parent = previous->parent;
    p->previousSibling = previous;
    p->firstChild = p->nextSibling = nullptr;
    previous->nextSibling = p;
    previous = p;
  }
  const std::string fault = doc_.checkTree();
  if (!fault.empty()) {
    Errors_printf("page-title list does not fit the pages (%s): flat page tree", fault.c_str());
    NoteReader_flattenTree(doc_);
  }
  giveDefaultTitles();
}
