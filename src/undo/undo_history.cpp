#include "undo/undo_history.h"

#include <algorithm>

#include "core/errors/errors.h"
#include "figures/base/figure_kind.h"
#include "figures/base/links.h"
#include "figures/text/text_box.h"

const char* const Undo_backPageUndoMessage = "元に戻す（アンドゥする）背景ページに移動します。";
const char* const Undo_backPageRedoMessage = "進む（リドゥ）を行う背景ページに移動します。";

namespace {

constexpr const char* kMoveWarningTitle = "警告";
constexpr const char* kMoveWarningText =
    "失敗することがあるかもしれません。必要ならバックアップしてください。\r\n継続しますか？";

// Both positions absent, or both present and equal.
bool samePosition(const CadPrim* a, const CadPrim* b) {
  if (a == nullptr || b == nullptr) return a == b;
  return a->Equals(*b, 5);
}

int32_t numberOrZero(const CadPrim* p) { return p ? p->GetNumber() : 0; }

// The index in front of which a figure goes: before the live figure with
// the neighbour's number, else at the end.
size_t placeBefore(const FigureList& list, const CadPrim* neighbour) {
  if (neighbour != nullptr) {
    if (CadPrim* n = list.FindFigureByNumber(neighbour->GetNumber())) {
      return static_cast<size_t>(list.indexOf(*n));
    }
  }
  return list.size();
}

}  // namespace

std::unique_ptr<CadPrim> Undo_copyOf(const CadPrim& live, const FigureList* list) {
  std::unique_ptr<CadPrim> c = live.Clone(list);
  c->SetIsCopy(true);
  return c;
}

std::vector<std::unique_ptr<CadPrim>> Undo_copyFigures(const FigureList& list) {
  std::vector<std::unique_ptr<CadPrim>> copies;
  for (const auto& f : list) {
    if (f->GetKind() != FigureKind_Canvas) copies.push_back(Undo_copyOf(*f, &list));
  }
  return copies;
}

void Undo_recordChanged(UndoHistory& history, std::vector<std::unique_ptr<CadPrim>> copies,
                        const NoteDocument& doc, int32_t pageNumber) {
  NotePage* page = doc.page(pageNumber);
  if (page == nullptr) return;
  const FigureList& list = page->figures;
  for (auto& copy : copies) {
    const CadPrim* live = list.FindFigureByNumber(copy->GetNumber());
    if (live == nullptr || list.indexOf(*live) < 0 || live->Equals(*copy, 5)) continue;
    history.RecordChange(std::move(copy), *live, doc, pageNumber);
  }
}

UndoRecord::~UndoRecord() {
  if (removedPages && holderFiles) {
    for (size_t i = 0; i < removedPages->pages.size(); ++i) {
      holderFiles->remove(InkFiles_holderNumber(holderEntry, static_cast<int32_t>(i)));
    }
  }
}

// --- the host's defaults -------------------------------------------------------

void UndoHost::turnToPage(NoteDocument& doc, int32_t pageNumber, const char*) {
  doc.SelectPage(pageNumber);
}

void UndoHost::movePageInTree(NoteDocument& doc, const PageTreeMove& move) {
  doc.MovePageInTree(move);
}

void UndoHost::applyText(CadPrim& textBox, int32_t, const std::string& text) {
  if (auto* box = dynamic_cast<Text_Box*>(&textBox)) box->SetText(text);
}

// --- groups and recording ---------------------------------------------------------

UndoHistory::~UndoHistory() {
  listener_ = nullptr;  // the window may be going already
  Clear();
}

void UndoHistory::runBeforeRecording() {
  if (!beforeRecording_ || inBeforeRecording_) return;
  inBeforeRecording_ = true;
  const std::function<void()> before = beforeRecording_;
  before();
  inBeforeRecording_ = false;
}

void UndoHistory::BeginGroup() {
  if (groupDepth_ == 0) runBeforeRecording();
  if (groupDepth_++ == 0) groupCounter_ = 1;
}

void UndoHistory::EndGroup() {
  if (groupDepth_ == 0) return;
  if (--groupDepth_ == 0) groupCounter_ = 0;
}

std::vector<int32_t> UndoHistory::MadeByLastStep() const {
  std::vector<int32_t> made;
  for (size_t i = current_; i > 0; --i) {
    const UndoRecord& r = *records_[i - 1];
    if (r.kind == UndoKind_figure && r.before == nullptr && r.after != nullptr) {
      made.push_back(r.after->GetNumber());
    }
    if (r.startsStep) break;
  }
  return made;
}

bool UndoHistory::Retract(NoteDocument& doc) {
  if (!CanUndo() || !Undo(doc)) return false;
  DropRedo();
  notify();
  return true;
}

void UndoHistory::DropRedo() {
  if (current_ >= records_.size()) return;
  if (savedMark_ > current_) savedReachable_ = false;
  while (records_.size() > current_) {
    std::unique_ptr<UndoRecord> r = std::move(records_.back());
    records_.pop_back();
    r.reset();
  }
}

UndoRecord& UndoHistory::addRecord(std::unique_ptr<UndoRecord> record) {
  if (groupDepth_ == 0) runBeforeRecording();
  DropRedo();
  record->startsStep = groupCounter_ < 2;
  if (groupDepth_ > 0) ++groupCounter_;
  records_.push_back(std::move(record));
  current_ = records_.size();
  notify();
  return *records_.back();
}

void UndoHistory::setPage(UndoRecord& r, const NoteDocument& doc, int32_t pageNumber) const {
  r.page = pageNumber - doc.firstPageNumber();
  r.pageObject = doc.page(pageNumber);
  r.pageSerial = r.pageObject ? r.pageObject->serial() : 0;
}

bool UndoHistory::RecordFigure(std::unique_ptr<CadPrim> before, std::unique_ptr<CadPrim> after,
                               std::unique_ptr<CadPrim> nextBefore,
                               std::unique_ptr<CadPrim> nextAfter, const NoteDocument& doc,
                               int32_t pageNumber) {
  if (before == nullptr && after == nullptr) return false;
  if (before && after) {
    if (before->GetKind() != after->GetKind()) return false;
    if (before->Equals(*after, 5) && samePosition(nextBefore.get(), nextAfter.get())) return false;
  }
  for (CadPrim* c : {before.get(), after.get(), nextBefore.get(), nextAfter.get()}) {
    if (c) c->SetIsCopy(true);
  }
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_figure;
  setPage(*r, doc, pageNumber);
  r->before = std::move(before);
  r->after = std::move(after);
  r->nextBefore = std::move(nextBefore);
  r->nextAfter = std::move(nextAfter);
  addRecord(std::move(r));
  return true;
}

namespace {

// The figure after `live` in its page's list, or null.
const CadPrim* nextInList(const FigureList& list, const CadPrim& live) {
  const std::ptrdiff_t i = list.indexOf(live);
  if (i < 0 || static_cast<size_t>(i) + 1 >= list.size()) return nullptr;
  return &list.at(static_cast<size_t>(i) + 1);
}

const FigureList& listOfPage(const NoteDocument& doc, int32_t pageNumber) {
  NotePage* p = doc.page(pageNumber);
  if (p == nullptr) Errors_RAISE(Errors_Unofficial, "error");
  return p->figures;
}

std::unique_ptr<CadPrim> copyOrNull(const CadPrim* p, const FigureList& list) {
  return p ? Undo_copyOf(*p, &list) : nullptr;
}

}  // namespace

bool UndoHistory::RecordCreation(const CadPrim& live, const NoteDocument& doc,
                                 int32_t pageNumber) {
  const FigureList& list = listOfPage(doc, pageNumber);
  return RecordFigure(nullptr, Undo_copyOf(live, &list), nullptr,
                      copyOrNull(nextInList(list, live), list), doc, pageNumber);
}

bool UndoHistory::RecordDeletion(const CadPrim& live, const NoteDocument& doc,
                                 int32_t pageNumber) {
  const FigureList& list = listOfPage(doc, pageNumber);
  return RecordFigure(Undo_copyOf(live, &list), nullptr,
                      copyOrNull(nextInList(list, live), list), nullptr, doc, pageNumber);
}

bool UndoHistory::RecordChange(std::unique_ptr<CadPrim> before, const CadPrim& live,
                               const NoteDocument& doc, int32_t pageNumber,
                               int32_t nextBeforeNumber) {
  const FigureList& list = listOfPage(doc, pageNumber);
  const CadPrim* nowNext = nextInList(list, live);
  std::unique_ptr<CadPrim> nb, na;
  if (nextBeforeNumber != 0 && nextBeforeNumber != numberOrZero(nowNext)) {
    nb = copyOrNull(list.FindFigureByNumber(nextBeforeNumber), list);
    na = copyOrNull(nowNext, list);
  }
  return RecordFigure(std::move(before), Undo_copyOf(live, &list), std::move(nb), std::move(na),
                      doc, pageNumber);
}

void UndoHistory::RecordInkMove(int32_t inkKind, std::vector<int32_t> strokes, int32_t dx,
                                int32_t dy, const NoteDocument& doc, int32_t pageNumber) {
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_ink;
  setPage(*r, doc, pageNumber);
  r->inkKind = inkKind;
  r->strokes = std::move(strokes);
  r->dx = dx;
  r->dy = dy;
  addRecord(std::move(r));
}

void UndoHistory::RecordInkStrokes(int32_t inkKind, std::string inkData,
                                   std::vector<int32_t> strokes, const NoteDocument& doc,
                                   int32_t pageNumber) {
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_ink;
  setPage(*r, doc, pageNumber);
  r->inkKind = inkKind;
  r->inkData = std::move(inkData);
  r->strokes = std::move(strokes);
  addRecord(std::move(r));
}

void UndoHistory::RecordInkAttributes(std::vector<int32_t> strokes,
                                      std::vector<std::pair<int32_t, int32_t>> oldAttributes,
                                      const NoteDocument& doc, int32_t pageNumber) {
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_ink;
  setPage(*r, doc, pageNumber);
  r->inkKind = UndoInk_attributes;
  r->strokes = std::move(strokes);
  r->attributes = std::move(oldAttributes);
  addRecord(std::move(r));
}

void UndoHistory::RecordPageInsert(int32_t from, int32_t to, int32_t kind) {
  if (kind < UndoPage_insertedNext || kind > UndoPage_insertedPrevious)
    Errors_RAISE(Errors_Unofficial, "error");
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_page;
  r->from = from;
  r->to = to;
  r->mode = kind;
  addRecord(std::move(r));
}

void UndoHistory::RecordPageMove(int32_t first, int32_t end, int32_t to) {
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_page;
  r->from = first;
  r->end = end;
  r->to = to;
  r->mode = UndoPage_moved;
  addRecord(std::move(r));
}

void UndoHistory::RecordPageTreeMove(int32_t first, int32_t end, int32_t to,
                                     const PageTreeMove& forward, const PageTreeMove& back) {
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_page;
  r->from = first;
  r->end = end;
  r->to = to;
  r->mode = UndoPage_moved;
  r->treeMove = forward;
  r->treeMoveBack = back;
  addRecord(std::move(r));
}

void UndoHistory::RecordPageRename(int32_t pageNumber, std::string oldTitle,
                                   std::string newTitle) {
  if (oldTitle == newTitle) return;
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_page;
  r->from = r->to = pageNumber;
  r->mode = UndoPage_retitled;
  r->oldTitle = std::move(oldTitle);
  r->newTitle = std::move(newTitle);
  addRecord(std::move(r));
}

int32_t UndoHistory::RecordDeletedPages(DeletedPages deleted) {
  const int32_t u = nextHolderEntry_;
  nextHolderEntry_ =
      static_cast<int32_t>((int64_t{u} + static_cast<int64_t>(deleted.pages.size())) %
                           InkFiles_holderCount);
  if (replaying_ != nullptr) {
    replaying_->removedPages = std::move(deleted);
    replaying_->holderEntry = u;
    return u;
  }
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_page;
  r->from = r->to = deleted.firstNumber;
  r->end = deleted.firstNumber + static_cast<int32_t>(deleted.pages.size());
  r->mode = UndoPage_removed;
  r->removedPages = std::move(deleted);
  r->holderEntry = u;
  addRecord(std::move(r));
  return u;
}

void UndoHistory::RecordText(int32_t figureNumber, int32_t caret, std::string oldText,
                             std::string newText, const NoteDocument& doc, int32_t pageNumber) {
  if (oldText == newText) return;
  auto r = std::make_unique<UndoRecord>();
  r->kind = UndoKind_text;
  setPage(*r, doc, pageNumber);
  r->figure = figureNumber;
  r->caret = caret;
  r->oldText = std::move(oldText);
  r->newText = std::move(newText);
  addRecord(std::move(r));
}

void UndoHistory::ensureInkId(size_t pos) {
  if (pos < inkIdTable_.size()) return;
  const size_t grown = (pos / 256 + 1) * 256;
  inkIdTable_.resize(grown, 0);
}

// --- pages of records -----------------------------------------------------------------

int32_t UndoHistory::pageNumberOf(const UndoRecord& r, const NoteDocument& doc) const {
  if (r.kind == UndoKind_page) {
    if (r.mode == UndoPage_moved && r.treeMoveBack.page >= 0) return r.treeMoveBack.page;
    return r.mode == UndoPage_removed || r.mode == UndoPage_retitled ? r.from : r.to;
  }
  // The page itself: page numbers shift when pages come and go.  A page
  // that left the note other than through this history is gone for its
  // records (they are skipped), whatever page took its number or address.
  if (r.pageSerial != 0) {
    for (size_t i = 0; i < doc.pageCount(); ++i) {
      if (doc.pageAt(i).serial() == r.pageSerial) return doc.pageNumberAt(i);
    }
    return -1;
  }
  const int32_t n = r.page + doc.firstPageNumber();
  return doc.page(n) ? n : -1;
}

NotePage* UndoHistory::pageOf(const UndoRecord& r, const NoteDocument& doc) const {
  const int32_t n = pageNumberOf(r, doc);
  return n < 0 ? nullptr : doc.page(n);
}

int32_t UndoHistory::PageOfNextUndo(const NoteDocument& doc) const {
  if (current_ == 0) return -1;
  return pageNumberOf(*records_[current_ - 1], doc);
}

int32_t UndoHistory::PageOfNextRedo(const NoteDocument& doc) const {
  if (current_ >= records_.size()) return -1;
  const UndoRecord& r = *records_[current_];
  if (r.kind == UndoKind_page && r.mode == UndoPage_moved && r.treeMove.page >= 0)
    return r.treeMove.page;
  if (r.kind == UndoKind_page && r.mode == UndoPage_removed) return r.from;
  if (r.kind == UndoKind_page && r.mode >= UndoPage_insertedNext) return r.from;
  return pageNumberOf(r, doc);
}

void UndoHistory::turnIfNeeded(NoteDocument& doc, UndoHost& host, int32_t pageNumber,
                               bool redo) {
  if (pageNumber < 0 || doc.page(pageNumber) == nullptr) return;
  if (pageNumber == doc.currentPageNumber()) return;
  const char* message = nullptr;
  if (pageNumber == 0 && doc.hasBackPage() && doc.pageCount() == 2) {
    message = redo ? Undo_backPageRedoMessage : Undo_backPageUndoMessage;
  }
  host.turnToPage(doc, pageNumber, message);
}

// --- applying records --------------------------------------------------------------------

void UndoHistory::forgetRestored(const CadPrim* figure) {
  std::erase(restored_, figure);
}

void UndoHistory::applyFigure(UndoRecord& r, NoteDocument& doc, bool redo,
                              std::vector<FigureList*>& touched) {
  NotePage* page = pageOf(r, doc);
  if (page == nullptr) return;  // the page is gone: skipped
  FigureList& list = page->figures;
  const CadPrim* from = redo ? r.before.get() : r.after.get();  // the state now
  const CadPrim* to = redo ? r.after.get() : r.before.get();    // the state wanted
  const CadPrim* neighbour = redo ? r.nextAfter.get() : r.nextBefore.get();

  if (from != nullptr && from->GetKind() == FigureKind_Canvas) {
    if (to != nullptr) page->settings().CopyFrom(*to, &list);
    return;
  }
  if (std::find(touched.begin(), touched.end(), &list) == touched.end()) touched.push_back(&list);

  if (from == nullptr) {  // bring the figure back
    if (to == nullptr) return;
    std::unique_ptr<CadPrim> made = to->Clone(&list);
    made->SetIsCopy(false);
    CadPrim& live = list.insert(placeBefore(list, neighbour), std::move(made));
    restored_.push_back(&live);
    return;
  }
  CadPrim* live = list.FindFigureByNumber(from->GetNumber());
  if (live == nullptr) return;  // not found: skipped
  if (to == nullptr) {  // take it away
    forgetRestored(live);
    std::unique_ptr<CadPrim> gone = list.remove(*live);
    gone.reset();
    return;
  }
  live->CopyFrom(*to, &list);
  if (numberOrZero(r.nextBefore.get()) != numberOrZero(r.nextAfter.get())) {
    size_t at = placeBefore(list, neighbour);
    list.move(*live, at);
  }
  if (std::find(restored_.begin(), restored_.end(), live) == restored_.end())
    restored_.push_back(live);
}

void UndoHistory::applyText(UndoRecord& r, NoteDocument& doc, UndoHost& host, bool redo) {
  NotePage* page = pageOf(r, doc);
  if (page == nullptr) return;
  CadPrim* box = page->figures.FindFigureByNumber(r.figure);
  if (box == nullptr || box->GetKind() != FigureKind_Text) return;
  host.applyText(*box, r.caret, redo ? r.newText : r.oldText);
  if (std::find(restored_.begin(), restored_.end(), box) == restored_.end())
    restored_.push_back(box);
}

void UndoHistory::applyPage(UndoRecord& r, NoteDocument& doc, UndoHost& host, bool redo) {
  switch (r.mode) {
    case UndoPage_retitled:
      if (NotePage* p = doc.page(r.from)) p->setTitle(redo ? r.newTitle : r.oldTitle);
      return;
    case UndoPage_moved:
      if (r.treeMove.page >= 0) {
        host.movePageInTree(doc, redo ? r.treeMove : r.treeMoveBack);
      } else if (redo) {
        host.movePages(doc, r.from, r.end, r.to);
      } else {
        // The pages now stand in front of the old `to`; move them back.
        const int32_t k = r.end - r.from;
        const int32_t first = r.to > r.from ? r.to - k : r.to;
        const int32_t back = r.to > r.from ? r.from : r.end;
        host.movePages(doc, first, first + k, back);
      }
      return;
    default:
      break;
  }
  const bool takeOut = (r.mode == UndoPage_removed) == redo;
  if (takeOut) {
    // Cut the page out again and keep it in the record.
    const int32_t n = r.mode == UndoPage_removed ? r.from : r.to;
    if (doc.page(n) == nullptr) return;
    doc.SelectPage(n);
    r.holderFiles = doc.inkFiles();
    replaying_ = &r;
    bool done = false;
    try {
      done = doc.DeletePage(this);
    } catch (...) {
      replaying_ = nullptr;
      throw;
    }
    replaying_ = nullptr;
    if (!done) return;
    if (r.mode != UndoPage_removed && doc.page(r.from)) doc.SelectPage(r.from);
    return;
  }
  if (!r.removedPages) return;
  DeletedPages pages = std::move(*r.removedPages);
  r.removedPages.reset();
  doc.RestoreDeletedPages(std::move(pages), r.holderEntry);
}

void UndoHistory::repairLinks(const std::vector<FigureList*>& touched) {
  auto isRestored = [this](const CadPrim* f) {
    return std::find(restored_.begin(), restored_.end(), f) != restored_.end();
  };
  for (FigureList* list : touched) {
    std::vector<CadPrim*> mine;
    for (CadPrim* f : restored_) {
      if (list->indexOf(*f) >= 0) mine.push_back(f);
    }
    for (CadPrim* f : mine) f->ResolveLinks(*list);
    for (CadPrim* f : mine) {
      // Lines hanging on a restored node that was not restored itself point
      // at it again.
      for (int32_t i = 1; i <= f->GetAttachmentCount(); ++i) {
        const Attachment* a = f->GetAttachment(i);
        if (a && a->line && !isRestored(a->line) && list->indexOf(*a->line) >= 0 &&
            FigureKind_hasEnds(a->line->GetKind())) {
          a->line->SetEndTarget(a->lineEnd, *f);
        }
      }
      // Text boxes that a restored line's end hangs on take the end again.
      if (FigureKind_hasEnds(f->GetKind())) {
        for (int32_t end = 1; end <= 2; ++end) {
          CadPrim* t = f->GetEndTarget(end);
          if (t && !isRestored(t) && t->GetKind() == FigureKind_Text && list->indexOf(*t) >= 0) {
            t->AttachEnd(0, *f, end);
          }
        }
      }
    }
    FigureList_resolveLinks(*list);
  }
}

bool UndoHistory::Undo(NoteDocument& doc, UndoHost* hostOrNull) {
  if (current_ == 0) return false;
  UndoHost defaultHost;
  UndoHost& host = hostOrNull ? *hostOrNull : defaultHost;
  restored_.clear();
  turnIfNeeded(doc, host, PageOfNextUndo(doc), false);
  std::vector<FigureList*> touched;
  while (current_ > 0) {
    UndoRecord& r = *records_[current_ - 1];
    switch (r.kind) {
      case UndoKind_figure:
        applyFigure(r, doc, false, touched);
        break;
      case UndoKind_ink:
        host.applyInk(doc, r, false);
        break;
      case UndoKind_page:
        if (r.mode == UndoPage_moved && !host.confirmPageMove(kMoveWarningTitle, kMoveWarningText)) {
          repairLinks(touched);
          return false;
        }
        restored_.clear();  // page operations reselect pages: no figure pointers kept
        applyPage(r, doc, host, false);
        break;
      case UndoKind_text:
        applyText(r, doc, host, false);
        break;
    }
    --current_;
    if (r.startsStep) break;
  }
  repairLinks(touched);
  notify();
  return true;
}

bool UndoHistory::Redo(NoteDocument& doc, UndoHost* hostOrNull) {
  if (current_ >= records_.size()) return false;
  UndoHost defaultHost;
  UndoHost& host = hostOrNull ? *hostOrNull : defaultHost;
  restored_.clear();
  turnIfNeeded(doc, host, PageOfNextRedo(doc), true);
  std::vector<FigureList*> touched;
  do {
    UndoRecord& r = *records_[current_];
    switch (r.kind) {
      case UndoKind_figure:
        applyFigure(r, doc, true, touched);
        break;
      case UndoKind_ink:
        host.applyInk(doc, r, true);
        break;
      case UndoKind_page:
        restored_.clear();
        applyPage(r, doc, host, true);
        break;
      case UndoKind_text:
        applyText(r, doc, host, true);
        break;
    }
    ++current_;
  } while (current_ < records_.size() && !records_[current_]->startsStep);
  repairLinks(touched);
  notify();
  return true;
}

// --- saved state ----------------------------------------------------------------------------

void UndoHistory::MarkSaved() {
  savedMark_ = current_;
  savedReachable_ = true;
  notify();
}

bool UndoHistory::IsModified() const { return !savedReachable_ || current_ != savedMark_; }

bool UndoHistory::IsModified(const UndoPendingState& view) const {
  return IsModified() || view.pendingChange || view.editorChanged || view.inkUnsaved;
}

void UndoHistory::Clear() {
  while (!records_.empty()) {
    std::unique_ptr<UndoRecord> r = std::move(records_.back());
    records_.pop_back();
    r.reset();
  }
  current_ = 0;
  savedMark_ = 0;
  savedReachable_ = true;
  groupCounter_ = 0;
  groupDepth_ = 0;
  restored_.clear();
  inkIdTable_.clear();
  notify();
}
