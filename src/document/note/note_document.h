// The in-memory note: its page records in list order, the page tree, the
// page being edited, and the temporary files that keep each page's ink
// between saves.
//
// Page numbers: a page's number is its list position plus
// firstPageNumber(); the back page, when the note has one, is the first
// record and page 0, and the ordinary pages are 1, 2, ... in list order.
// The list is a pre-order walk of the page tree (a page's descendants
// follow it directly); the back page belongs to no tree.
//
// The working copy.  The page being edited is not copied anywhere: the
// working copy IS the current record's Canvas and figure list
// (currentPage()), so every figure exists once and the view edits the
// record itself.  What "storing the working copy" still does:
//   - the note-level settings (canvas type, page interval, publication list
//     of the file, filter variables; NoteDocumentSettings) are taken from
//     the current page's Canvas into the note, and are written into the
//     Canvas of every page that becomes current, so they stay with the note
//     whichever page is shown (the Canvas of a page that is not current may
//     hold stale copies of them: read them through documentSettings());
//   - with an ink manager that holds changed ink, the ink is serialised into
//     the record and the page's two ink layer files are rewritten.
// SelectPage(-1) stores and leaves no page current (currentPageNumber() is
// -1); storeWorkingCopy() stores and keeps the page current.  The
// operations that need "the current page" (AddPage, DeletePage,
// ToggleBackPage) take its number before they store.
//
// Temporary files live in the work folder given at construction: the ink
// layer files (ink_layer_files.h), and the image working copies, whose names
// begin with imageNamePrefix().  Each page always has both ink layer files:
// they are created empty whenever a page is made.
//
// Errors: misuse (a page number that does not exist, an operation that
// needs a current page while none is) raises Errors_Unofficial (102); file
// errors of the work folder are FileX's (362, 365).  Renames of ink layer
// files never raise.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/strx/strx_numbers.h"
#include "document/note/ink_layer_files.h"
#include "document/note/ink_manager.h"
#include "document/note/note_page.h"
#include "document/note/page_undo.h"

class AppCounters;

inline constexpr int32_t NoteDocument_noWindowPosition = 2147483647;
inline constexpr int32_t NoteDocument_defaultFormatVersion = 200;

// The settings held in a page's Canvas that belong to the whole note.
struct NoteDocumentSettings {
  int32_t canvasType = CanvasType_Document;
  int32_t pageInterval = 0;
  std::string pubFile;
  std::string filterVariables;

  static NoteDocumentSettings from(const Canvas& canvas);
  void applyTo(Canvas& canvas) const;
  bool operator==(const NoteDocumentSettings&) const = default;
};

// Kinds of AddPage.
enum AddPageKind : int32_t {
  AddPage_next = 0,      // next sibling of the current page, after its descendants
  AddPage_child = 1,     // first child of the current page
  AddPage_previous = 2,  // at the current page's place
};

// Fills a new page from a template note (the page, its number, the path).
using NoteTemplateFill = std::function<void(NotePage&, int32_t, std::string_view)>;

class NoteDocument {
 public:
  // A closed note without pages; NewDocument makes its first page.
  // `workFolder`: where the temporary files go (no final separator needed).
  explicit NoteDocument(std::string_view workFolder);
  NoteDocument(const NoteDocument&) = delete;
  NoteDocument& operator=(const NoteDocument&) = delete;

  // --- fields of the note ---
  StrX_Guid uuid;
  bool savedInPlace = false;  // the last save went to the note's own path
  bool inkEnabled = false;    // the note uses the pen-ink layer
  bool autoSaveDisabled = false;
  int32_t formatVersion = NoteDocument_defaultFormatVersion;
  bool backPageMade = false;
  int32_t returnPageNumber = 1;  // selected again when the back page is left
  int32_t windowX = NoteDocument_noWindowPosition;
  int32_t windowY = NoteDocument_noWindowPosition;
  // The view's ink component, or none (never owned).
  InkManager* inkManager = nullptr;

  int32_t documentNumber() const { return documentNumber_; }
  const std::string& workFolder() const { return workFolder_; }
  // True from construction and after ClearDocument, until NewDocument.
  bool closed() const { return closed_; }
  // 0 when the first record is the back page, else 1.
  int32_t firstPageNumber() const { return firstPageNumber_; }
  // The page being edited; -1 while none is.
  int32_t currentPageNumber() const { return currentPageNumber_; }

  // --- operations ---
  // Resets every field to its default (the ink manager stays), makes a new
  // uuid and one page titled "New Page", creates its two empty ink layer
  // files and selects it.  Files of an earlier content are not touched:
  // ClearDocument first.
  void NewDocument(int32_t documentNumber, bool inkEnabled);
  // Stores the working copy, releases every page, deletes this note's
  // "ink_%08X_*" and "img_%08X_*" files (other notes' files stay) and marks
  // the note closed.
  void ClearDocument();
  // Stores the working copy; then, for n != -1, makes page n current
  // (carrying the note-level settings to its Canvas and, with ink enabled
  // and an ink manager, loading its ink).  n = -1 leaves no page current.
  // A number that is not a page raises 102 before anything changes.
  void SelectPage(int32_t n);
  // Stores the working copy and keeps the page current.
  void storeWorkingCopy();
  // Adds a page next to the current page (AddPageKind) with the current
  // page's settings (no saveImageFile, no id), shifts the ink layer files
  // of the later pages up by one, creates the new page's empty ones, fills
  // it through `fill` when both a template path and `fill` are given and
  // the file exists, and selects it.  Answers its number.  Raises 102 when
  // no page is current, on the back page and for an unknown kind.
  int32_t AddPage(int32_t kind, std::string_view templatePath = {},
                  const NoteTemplateFill& fill = {});
  // On the back page: selects returnPageNumber.  Elsewhere: creates the
  // back page when there is none (title "背景" for a Japanese user
  // interface, else "Background"; the current page's settings without
  // saveImageFile and id; no figures, no ink, no tree links; ordinary
  // page numbers stay), selects it and remembers the page to return to.
  void ToggleBackPage(bool japaneseUi);
  // Exchanges the settings, figures and ink data of pages 0 and 1 and their
  // ink layer files; the current page stays current.  Raises 102 without a
  // back page and an ordinary page.
  void ExchangeBackPageAndFirst();
  // Deletes the current page with its descendants.  The cut pages go to
  // `undo` (their ink layer files to its holder numbers); without an undo
  // history they are destroyed with their ink layer files.  The ink layer
  // files of the later pages move down; the following page (or, at the end
  // of the list, the page before) is selected.  Refuses (false, nothing
  // changed) without a current page, on the back page, and when no
  // ordinary page would be left.
  bool DeletePage(PageUndoHistory* undo);
  // Puts the pages of one deletion back where they were cut out (before
  // the page that now has deleted.firstNumber, under the parent and after
  // the previous sibling recorded there), shifts the ink layer files of the
  // later pages up and moves the kept files back from the holder numbers of
  // entry `u`; the restored page is selected.  Raises 102, with nothing
  // changed, when the pages are empty or the numbers no longer fit the
  // note (no such place, parent or sibling).
  void RestoreDeletedPages(DeletedPages deleted, int32_t u);
  // Moves the ink layer files of the pages [first, end) in front of the
  // page that has number `to` now, closing the gap (the records are moved
  // by the caller).  `end` or `to` below firstPageNumber() mean after the
  // last page.  Nothing happens when `to` lies within first ... end; a
  // range outside the pages raises 102.
  void MovePageInkFiles(int32_t first, int32_t end, int32_t to);
  // Moves page m.page with its descendants in the page tree (PageDrop),
  // the records as one block and their ink layer files with them, then
  // selects the page at its new number.  See PageMoveResult.  Refuses
  // (moved false, nothing changed) when the target is the page itself or
  // one of its descendants, when the move would leave the page where it
  // is, on the back page, and for numbers that are no page.
  struct PageMoveResult {
    bool moved = false;
    // The block [first, end) went in front of the page that had number
    // `to` (the number after the last page: to the end), numbers before
    // the move.
    int32_t first = -1, end = -1, to = -1;
    int32_t number = -1;  // the page's number after the move
    PageTreeMove back;    // the move that puts it back, by the numbers after
  };
  PageMoveResult MovePageInTree(const PageTreeMove& m);
  // Whether page `other` is page `page` or one of its descendants.
  bool isInSubtree(int32_t page, int32_t other) const;
  // Takes every ordinary page of `from` (a note read for the purpose, with
  // its own document number and the same work folder) with its tree and
  // puts them in front of page `before` of this note (page 1 when `before`
  // is the back page): the first inserted top-level page takes that page's
  // place among its siblings, the last one has it as its next sibling.
  // The ink layer files of `before` and the later pages move up by the
  // number of inserted pages and those of `from` move to the inserted
  // pages' numbers; the first inserted page is selected and its number
  // answered.  `from` keeps only its back page (if it had one): clear it
  // afterwards.  Nothing changes (and -1 is answered) when `from` has no
  // ordinary page; a number that is no page raises 102.
  int32_t InsertPagesFrom(NoteDocument& from, int32_t before);

  // The first page in list order (the back page included, as 0) whose id
  // equals `name` ignoring case, or else that holds a figure whose id does;
  // -1 when none (and for an empty name).
  int32_t FindPageByName(std::string_view name) const;

  // --- the working copy ---
  // The current record, or null while none is current.
  NotePage* currentPage() const;
  // The current page's figures / Canvas; raise 102 while none is current.
  FigureList& workingFigures() const;
  Canvas& workingSettings() const;
  // The note-level settings: from the current Canvas while a page is
  // current, else as last stored.
  NoteDocumentSettings documentSettings() const;
  // Sets them for the note (and into the current Canvas).
  void setDocumentSettings(const NoteDocumentSettings& settings);

  // --- the page records ---
  size_t pageCount() const { return pages_.size(); }
  // Record by list index (0 ... pageCount() - 1; 102 past the end).
  NotePage& pageAt(size_t index) const;
  int32_t pageNumberAt(size_t index) const {
    return static_cast<int32_t>(index) + firstPageNumber_;
  }
  // The number of the last record (firstPageNumber() - 1 when none).
  int32_t lastPageNumber() const { return pageNumberAt(pages_.size()) - 1; }
  bool hasBackPage() const { return firstPageNumber_ == 0 && !pages_.empty(); }
  // The records other than the back page.
  int32_t ordinaryPageCount() const;
  // The record of a page number, or null.
  NotePage* page(int32_t number) const;
  // The number of a record of this note, or -1.
  int32_t numberOf(const NotePage* page) const;
  // The number of the page's parent; -1 for a top-level page, the back page
  // and numbers that are no page.
  int32_t parentNumber(int32_t number) const;
  // Number of ancestors: 0 for a top-level page and the back page.
  int32_t treeDepth(int32_t number) const;
  // Appends a record at the end of the list with the given parent (null =
  // top level) as its parent's last child, creates its empty ink layer
  // files and answers it.  The parent must be the last record or one of
  // its ancestors (else 102: the list would stop being a pre-order walk).
  NotePage& appendPage(NotePage* parent);
  // Verifies the tree: the back page has no links and nothing links to it,
  // every link points at a page of this note, sibling and parent links
  // agree, and the list is the pre-order walk of the tree.  "" when sound,
  // else a description of the first fault.
  std::string checkTree() const;

  // --- temporary files ---
  InkLayerFiles inkFiles() const { return InkLayerFiles(workFolder_, documentNumber_); }
  std::string inkLayerPath(int32_t page, int32_t layer) const {
    return inkFiles().path(page, layer);
  }
  // "<work>/img_%08X_": image working copies of this note begin with it.
  std::string imageNamePrefix() const;

 private:
  static constexpr size_t npos = static_cast<size_t>(-1);
  size_t indexOf(const NotePage* page) const;
  // The list index after the last descendant of the record at `index`.
  size_t subtreeEnd(size_t index) const;
  void requireCurrent() const;

  std::string workFolder_;
  int32_t documentNumber_ = 0;
  bool closed_ = true;
  int32_t firstPageNumber_ = 1;
  int32_t currentPageNumber_ = -1;
  NoteDocumentSettings documentSettings_;
  std::vector<std::unique_ptr<NotePage>> pages_;
};

// The number for a note to be opened: the next of `counters` whose working
// files ("ink_%08X_*", "img_%08X_*") are not in `workFolder`, so that no
// two notes open in any process of the profile share their files.
int32_t NoteDocument_newDocumentNumber(AppCounters& counters, std::string_view workFolder);
// The folder of a note's attached files: "X/note.svg" -> "X/note.files"
// (the extension replaced, or ".files" added); "" for an untitled note.
std::string NoteDocument_filesFolder(std::string_view notePath);

// A new random uuid (libuuid), bytes in text order.
StrX_Guid NoteDocument_newUuid();
// "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X", no braces.
std::string NoteDocument_uuidText(const StrX_Guid& uuid);
// Reads that text, alone or in braces; false (out untouched) for anything
// else: short text, a wrong separator, a non-hexadecimal digit, trailing
// characters.
bool NoteDocument_parseUuid(std::string_view text, StrX_Guid& out);

// The first figure of the list whose id equals `name` ignoring case; null
// for an empty name and when none does.  The page's Canvas is not looked
// at (a page's own id is not a figure: FindPageByName checks it).
CadPrim* NoteDocument_findFigureById(const FigureList& list, std::string_view name);
