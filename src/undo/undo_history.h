// The undo history of one open note: every change the user makes (figures
// on any page, ink strokes, pages, in-place text edits) is kept as records
// of copies, so that undo and redo can step backwards and forwards through
// the changes.  The history lives in memory only and has no length limit.
//
// Records hold copies of whole figures (Clone, marked isCopy, so that
// destroying them never deletes files or detaches links) and identify the
// live figure by its figure number.  Undo writes the "before" copy back
// into the live figure of the page's own FigureList, redo the "after" copy;
// afterwards the links of the page are resolved again and every one-sided
// link is dropped.
//
// Steps: outside a group every record is one step; inside a group
// (UndoGroup, or BeginGroup/EndGroup) only the first record starts the
// step, and a step is undone and redone as a whole.  A new record first
// frees every record that had been undone (the redo part).
//
// Storage: the records from the oldest to the newest; `current` counts the
// records whose change is in effect (0 = nothing to undo).  The saved mark
// is the value `current` had at the last save; when the record it stood
// for is freed, the saved state can no longer be reached and the note
// counts as modified until the next save.
//
// Pages: a record belongs to a page object of the note (and to its index
// from the first page held, used when the object is gone).  A deletion of
// pages is recorded by the note itself (PageUndoHistory), which hands the
// cut pages here; they are kept in the record and put back by undo.
//
// User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "document/note/ink_layer_files.h"
#include "document/note/note_document.h"
#include "document/note/page_undo.h"
#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"

enum UndoRecordKind : int32_t {
  UndoKind_figure = 0,
  UndoKind_ink = 1,
  UndoKind_page = 2,
  UndoKind_text = 3,
};

// Ink changes (kind 1).
enum UndoInkKind : int32_t {
  UndoInk_moved = 1,
  UndoInk_resized = 2,
  UndoInk_added = 3,
  UndoInk_deleted = 4,
  UndoInk_attributes = 5,
};

// Page operations (kind 2).  0 ... 2 are the AddPage kinds of the inserted
// page (AddPageKind).
enum UndoPageMode : int32_t {
  UndoPage_insertedNext = 0,
  UndoPage_insertedChild = 1,
  UndoPage_insertedPrevious = 2,
  UndoPage_removed = -1,
  UndoPage_retitled = -2,
  UndoPage_moved = -3,
};

struct UndoRecord {
  UndoRecordKind kind = UndoKind_figure;
  bool startsStep = true;
  // Index of the page from the first page held (-1 for page records) and
  // the page object the record was made on (never dereferenced once it may
  // be gone: only compared with the pages of the note).
  int32_t page = -1;
  const NotePage* pageObject = nullptr;
  uint64_t pageSerial = 0;  // NotePage::serial of that page

  // --- kind 0: a figure change ---
  std::unique_ptr<CadPrim> before;      // null: the change created the figure
  std::unique_ptr<CadPrim> after;       // null: the change deleted it
  std::unique_ptr<CadPrim> nextBefore;  // the figure that followed it before
  std::unique_ptr<CadPrim> nextAfter;   // the figure that follows it after

  // --- kind 1: an ink change (kept as data; the ink component applies it) ---
  int32_t inkKind = 0;
  std::vector<int32_t> strokes;  // positions in the ink id table
  int32_t dx = 0;                // moved / resized: distances in ink units
  int32_t dy = 0;
  std::string inkData;                                   // deleted: the strokes' saved data
  std::vector<std::pair<int32_t, int32_t>> attributes;  // attributes: the old pairs

  // --- kind 2: a page change ---
  int32_t from = -1;  // inserted: the page it was added from; removed, retitled:
  int32_t to = -1;    //   the page; moved: first page; to: the new page / place
  int32_t end = -1;   // moved: the end of the range [from, end)
  int32_t mode = 0;   // UndoPageMode
  std::string oldTitle;
  std::string newTitle;
  // moved in the page tree: the move forwards (numbers before it) and the
  // move back (numbers after it); page -1 for a move of the list only.
  PageTreeMove treeMove;
  PageTreeMove treeMoveBack;
  // The pages taken out of the note by this record while they are out
  // (removed and in effect, or inserted and undone), with the holder entry
  // of their ink layer files.
  std::optional<DeletedPages> removedPages;
  int32_t holderEntry = 0;
  std::optional<InkLayerFiles> holderFiles;

  // --- kind 3: an in-place text edit ---
  int32_t figure = 0;
  int32_t caret = 0;
  std::string oldText;
  std::string newText;

  UndoRecord() = default;
  UndoRecord(const UndoRecord&) = delete;
  UndoRecord& operator=(const UndoRecord&) = delete;
  // Frees the copies; kept pages are freed and their kept ink layer files
  // deleted.
  ~UndoRecord();
};

// What undo and redo ask of the window that shows the note.  Every step
// has a default, so a test or a batch run gives only what it needs.
class UndoHost {
 public:
  virtual ~UndoHost() = default;
  // Turns to page `pageNumber`, redraws it and pauses 300 ms so that the
  // user sees where the change happens; `message` (CP932, title "Zerbin")
  // is shown first when not null.  Default: selects the page.
  virtual void turnToPage(NoteDocument& doc, int32_t pageNumber, const char* message);
  // Asks the page-move question (title "警告", OK and Cancel); false stops
  // the undo.  Default: true.
  virtual bool confirmPageMove(const char* /*title*/, const char* /*text*/) { return true; }
  // Moves the pages [first, end) in front of page `to` (the page tree and
  // the ink layer files).  Default: nothing.
  virtual void movePages(NoteDocument& /*doc*/, int32_t /*first*/, int32_t /*end*/,
                         int32_t /*to*/) {}
  // Moves a page in the page tree (NoteDocument::MovePageInTree).  A host
  // that shows the tree updates it too.
  virtual void movePageInTree(NoteDocument& doc, const PageTreeMove& move);
  // Applies an ink record backwards (redo = false) or forwards, through the
  // ink component; a failure of the component raises 102.  Default: nothing
  // (a note without an ink component has no ink records).
  virtual void applyInk(NoteDocument& /*doc*/, const UndoRecord& /*record*/, bool /*redo*/) {}
  // Puts a text and the caret into a text box (the in-place editor starts
  // on it when it is not being edited).  Default: Text_Box::SetText.
  virtual void applyText(CadPrim& textBox, int32_t caret, const std::string& text);
};

// What the view adds to the modified state.
struct UndoPendingState {
  bool pendingChange = false;  // a before copy is held outside a mouse drag
  bool editorChanged = false;  // an in-place edit reports a change
  bool inkUnsaved = false;     // the ink component reports unsaved ink
};

class UndoHistory final : public PageUndoHistory {
 public:
  UndoHistory() = default;
  UndoHistory(const UndoHistory&) = delete;
  UndoHistory& operator=(const UndoHistory&) = delete;
  ~UndoHistory() override;

  // --- groups ---
  void BeginGroup();
  void EndGroup();

  // --- recording ---
  // A figure change: the caller's copies (any may be null, not both of
  // before and after); the history owns them from then on and marks them
  // as copies.  Nothing is recorded when before and after are of different
  // kinds, or when they are equal (Equals mode 5) and so are the positions.
  // pageNumber: the page of `doc` the change was made on.  Answers whether
  // a record was added.
  bool RecordFigure(std::unique_ptr<CadPrim> before, std::unique_ptr<CadPrim> after,
                    std::unique_ptr<CadPrim> nextBefore, std::unique_ptr<CadPrim> nextAfter,
                    const NoteDocument& doc, int32_t pageNumber);
  // Helpers that make the copies from the live list of the page:
  //   - the live figure was just created (it is in the list);
  //   - the live figure is about to be deleted (still in the list);
  //   - the live figure changed from `before` (a copy taken before the
  //     change); for a change of place in the list (z-order),
  //     `nextBeforeNumber` is the number of the figure that followed it
  //     before, or -1 when it was the last figure; 0: its place did not
  //     change.
  bool RecordCreation(const CadPrim& live, const NoteDocument& doc, int32_t pageNumber);
  bool RecordDeletion(const CadPrim& live, const NoteDocument& doc, int32_t pageNumber);
  bool RecordChange(std::unique_ptr<CadPrim> before, const CadPrim& live,
                    const NoteDocument& doc, int32_t pageNumber, int32_t nextBeforeNumber = 0);

  void RecordInkMove(int32_t inkKind, std::vector<int32_t> strokes, int32_t dx, int32_t dy,
                     const NoteDocument& doc, int32_t pageNumber);
  void RecordInkStrokes(int32_t inkKind, std::string inkData, std::vector<int32_t> strokes,
                        const NoteDocument& doc, int32_t pageNumber);
  void RecordInkAttributes(std::vector<int32_t> strokes,
                           std::vector<std::pair<int32_t, int32_t>> oldAttributes,
                           const NoteDocument& doc, int32_t pageNumber);

  // A page added by NoteDocument::AddPage(kind) from page `from`, now page
  // `to`.
  void RecordPageInsert(int32_t from, int32_t to, int32_t kind);
  // A page moved in the page tree: [first, end) in front of page `to`.
  void RecordPageMove(int32_t first, int32_t end, int32_t to);
  // A page moved in the page tree with its descendants: the block
  // [first, end) went in front of page `to` (as RecordPageMove); undo
  // applies `back`, redo `forward` (NoteDocument::PageMoveResult).
  void RecordPageTreeMove(int32_t first, int32_t end, int32_t to, const PageTreeMove& forward,
                          const PageTreeMove& back);
  void RecordPageRename(int32_t pageNumber, std::string oldTitle, std::string newTitle);
  // PageUndoHistory: NoteDocument::DeletePage(this) hands the cut pages
  // here; outside undo and redo this records the deletion.
  int32_t RecordDeletedPages(DeletedPages deleted) override;

  void RecordText(int32_t figureNumber, int32_t caret, std::string oldText, std::string newText,
                  const NoteDocument& doc, int32_t pageNumber);

  // --- undo and redo ---
  // One step backwards / forwards; false (nothing changed) when there is no
  // step, or the user cancelled.  Live figures are found by number; one
  // that cannot be found is skipped.
  bool Undo(NoteDocument& doc, UndoHost* host = nullptr);
  bool Redo(NoteDocument& doc, UndoHost* host = nullptr);
  bool CanUndo() const { return current_ > 0; }
  bool CanRedo() const { return current_ < records_.size(); }
  // The page number the next undo / redo step will change, -1 when none.
  int32_t PageOfNextUndo(const NoteDocument& doc) const;
  int32_t PageOfNextRedo(const NoteDocument& doc) const;

  // The live figures touched by the last undo or redo (the first one held
  // first), to be selected; the ink strokes are the host's.
  const std::vector<CadPrim*>& restored() const { return restored_; }
  void clearRestored() { restored_.clear(); }

  // --- saved state ---
  // The document writer's NoteSaveHost::markSaved.
  void MarkSaved();
  bool IsModified() const;
  bool IsModified(const UndoPendingState& view) const;

  // Frees every record and its copies, the kept pages and their files.
  void Clear();

  // Called after every change of the history (a record, an undo or redo
  // step, the saved mark, clearing): the window shows the modified state
  // and enables its commands.
  void setListener(std::function<void()> listener) { listener_ = std::move(listener); }
  // Runs before a step is recorded (a group opens, or a record comes
  // outside a group): the window records what is still pending (a run of
  // nudges) as its own step first, whoever records.
  void setBeforeRecording(std::function<void()> before) { beforeRecording_ = std::move(before); }

  // --- inspection ---
  size_t recordCount() const { return records_.size(); }
  // The number of records in effect (0: nothing to undo).
  size_t current() const { return current_; }
  // Record i from the oldest (0).
  const UndoRecord& recordAt(size_t i) const { return *records_.at(i); }
  int32_t groupDepth() const { return groupDepth_; }
  // Takes the last step back for good: it is undone and no redo brings it
  // again (a new text box that was left untouched was never made).
  // False when there is nothing to undo.
  bool Retract(NoteDocument& doc);
  // The numbers of the figures that the step Undo would undo made (the
  // figures that undoing it takes away), so that the window can let go of
  // them first.
  std::vector<int32_t> MadeByLastStep() const;

  // The ink id table: stroke positions of records → ink stroke ids.
  std::vector<int32_t>& inkIdTable() { return inkIdTable_; }
  // Grows the table (in steps of 256 entries) to hold position `pos`.
  void ensureInkId(size_t pos);

 private:
  UndoRecord& addRecord(std::unique_ptr<UndoRecord> record);
  void DropRedo();
  void setPage(UndoRecord& r, const NoteDocument& doc, int32_t pageNumber) const;
  int32_t pageNumberOf(const UndoRecord& r, const NoteDocument& doc) const;
  NotePage* pageOf(const UndoRecord& r, const NoteDocument& doc) const;
  void turnIfNeeded(NoteDocument& doc, UndoHost& host, int32_t pageNumber, bool redo);
  void applyFigure(UndoRecord& r, NoteDocument& doc, bool redo,
                   std::vector<FigureList*>& touched);
  void applyPage(UndoRecord& r, NoteDocument& doc, UndoHost& host, bool redo);
  void applyText(UndoRecord& r, NoteDocument& doc, UndoHost& host, bool redo);
  void repairLinks(const std::vector<FigureList*>& touched);
  void forgetRestored(const CadPrim* figure);

  std::vector<std::unique_ptr<UndoRecord>> records_;
  size_t current_ = 0;
  size_t savedMark_ = 0;
  bool savedReachable_ = true;
  int32_t groupCounter_ = 0;
  int32_t groupDepth_ = 0;
  std::vector<CadPrim*> restored_;
  std::vector<int32_t> inkIdTable_;
  int32_t nextHolderEntry_ = 0;
  // The page record being applied; RecordDeletedPages keeps the pages in it.
  UndoRecord* replaying_ = nullptr;
  std::function<void()> listener_;
  std::function<void()> beforeRecording_;
  bool inBeforeRecording_ = false;
  void runBeforeRecording();
  void notify() const {
    if (listener_) listener_();
  }
};

// Opens one undo step for its lifetime, so that every path out of an
// operation (a return, a raised error) closes it.
class UndoGroup {
 public:
  explicit UndoGroup(UndoHistory& history) : history_(history) { history_.BeginGroup(); }
  ~UndoGroup() { history_.EndGroup(); }
  UndoGroup(const UndoGroup&) = delete;
  UndoGroup& operator=(const UndoGroup&) = delete;

 private:
  UndoHistory& history_;
};

// A copy of a live figure for a record (Clone, marked as a copy).
std::unique_ptr<CadPrim> Undo_copyOf(const CadPrim& live, const FigureList* list);
// Copies of every figure of a page but its canvas, for an operation that
// may move figures it does not name (lines hanging on what moves, boxes
// hanging on lines that move).
std::vector<std::unique_ptr<CadPrim>> Undo_copyFigures(const FigureList& list);
// Records each copy against the live figure of its number that differs
// from it now (gone or equal: nothing), in page order.
void Undo_recordChanged(UndoHistory& history, std::vector<std::unique_ptr<CadPrim>> copies,
                        const NoteDocument& doc, int32_t pageNumber);

// The messages of the page turn to the back page.
extern const char* const Undo_backPageUndoMessage;
extern const char* const Undo_backPageRedoMessage;
