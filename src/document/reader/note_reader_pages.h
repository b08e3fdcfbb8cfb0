// The page side of the note reader: the page-title list ("<zerbin-pages>")
// that gives the pages their titles and their tree, and the tree that the
// pages get when the file has no list or one that does not fit.
#pragma once

#include <cstdint>
#include <vector>

#include "core/xml/xml_event_reader.h"
#include "document/note/note_document.h"

// The title given to a page that the list leaves without one.
inline constexpr const char* NoteReader_defaultTitle = "Page";

// Makes every ordinary page a top-level page, in list order (the back page
// gets no links).
void NoteReader_flattenTree(NoteDocument& doc);

class NoteReaderPageList {
 public:
  NoteReaderPageList(NoteDocument& doc, bool japanese) : doc_(doc), japanese_(japanese) {}

  // <zerbin-page num= title=> (or <page>): a page with children follows.
  void start(const XmlEventReader& xml);
  // <zerbin-page num= title=/>: a page without children.
  void empty(const XmlEventReader& xml);
  // </zerbin-page>: the level of the page last opened ends.
  void end();

  // After the last event: the pages behind the last one listed follow it as
  // its siblings; without a list every ordinary page is top level.  A tree
  // that is not the pre-order walk of the page list (pages listed twice or
  // out of order, pages left out in between) is replaced by the flat tree.
  // Pages still without a title get NoteReader_defaultTitle.
  void finish();

  // Whether a page-title element was read.
  bool any() const { return any_; }

 private:
  // Looks up the page `num` names (the unsupported-element error when no
  // ordinary page has it), links it after the previous page of the level
  // and gives it its title.
  NotePage& list(const XmlEventReader& xml);
  void giveDefaultTitles();

  NoteDocument& doc_;
  bool japanese_;
  bool any_ = false;
  std::vector<NotePage*> open_;   // pages whose elements are open
  NotePage* previous_ = nullptr;  // the page before at the current level
  int32_t highestNumber_ = 0;     // the largest page number listed
};
