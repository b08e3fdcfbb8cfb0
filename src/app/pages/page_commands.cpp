#include "app/pages/page_commands.h"
#include "view/history/view_history.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QMenu>
#include <QThread>
#include <QTreeWidgetItemIterator>

#include <cstdio>

#include "app/mainframe/main_frame.h"
#include "core/errors/except3.h"
#include "core/filex/filex.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_vars.h"
#include "document/pages/page_import.h"
#include "figures/base/app_counters.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"

namespace {

constexpr int kWidenedWidth = 1000;

// A wait cursor for the life of a step.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

std::string PageTree_titleBar(const NoteDocument* doc, std::string_view notePath, bool japanese) {
  if (doc == nullptr || doc->closed() || doc->currentPage() == nullptr) {
    return CMainFrame_titleText(notePath, {}, japanese);
  }
  const int32_t current = doc->currentPageNumber();
  std::string part;
  if (doc->hasBackPage() && current == 0) {
    part = japanese ? "背景ページ" : "Background Page";
  } else {
    char text[64];
    std::snprintf(text, sizeof text, japanese ? "%d/%d ページ目" : "Page %d/%d", current,
                  doc->lastPageNumber());
    part = text;
  }
  std::string title = CMainFrame_titleText(notePath, part, japanese);
  if (doc->ordinaryPageCount() >= 2) title = doc->currentPage()->title() + " - " + title;
  return title;
}

PageCommands::PageCommands(CMainFrame& frame) : frame_(frame) {
  tree_ = new CLeftView(frame.leftPane());
  tree_->onSelected = [this](NotePage* page) { ShowPage(page); };
  tree_->onDrop = [this](NotePage* page, NotePage* target, int where) {
    MovePageInTree(page, target, where);
  };
  tree_->onContextMenu = [this](QPoint global) { contextMenu(global); };
  askNoteToInsert = [this](std::string& path) {
    if (!UserPrompts_get().interactive()) return false;
    const QString chosen = QFileDialog::getOpenFileName(
        &frame_, {}, {},
        QStringLiteral(u"SVG形式 Scalable Vector Graphics (*.svg *.svgz);;すべてのファイル (*)"));
    if (chosen.isEmpty()) return false;
    path = QtText_toCp932(chosen);
    return true;
  };
}

PageCommands::~PageCommands() {
  tree_->onSelected = nullptr;
  tree_->onDrop = nullptr;
  tree_->onContextMenu = nullptr;
}

NoteDocument* PageCommands::doc() const {
  return frame_.hasNote() ? &frame_.document() : nullptr;
}

bool PageCommands::japanese() const { return frame_.options().japanese; }

bool PageCommands::onBackPage() const {
  NoteDocument* d = doc();
  return d != nullptr && d->hasBackPage() && d->currentPageNumber() == 0;
}

void PageCommands::leavePage() { frame_.view().PageLeaving(); }

void PageCommands::showCurrent(bool scrollHome) {
  CChildView& view = frame_.view();
  frame_.pageShown();
  if (scrollHome) {
    view.UpdateScrollSizes();
    view.ScrollTo({0, 0});
  }
  frame_.RefreshWindowTitle();
  UpdateCommands();
}

void PageCommands::pagesChanged() {
  NoteDocument* d = doc();
  if (d == nullptr) {
    tree_->clearPages();
    lastSelected_ = nullptr;
    showCurrent(false);
    return;
  }
  NotePage* current = onBackPage() ? nullptr : d->currentPage();
  tree_->fill(*d, current);
  lastSelected_ = current;
  showCurrent(true);
}

void PageCommands::NoteLoaded() {
  NoteDocument* d = doc();
  if (d == nullptr) {
    tree_->clearPages();
    lastSelected_ = nullptr;
  } else {
    lastSelected_ = onBackPage() ? nullptr : d->currentPage();
    tree_->clearPages();  // nothing of the old note's folding carries over
    tree_->fill(*d, lastSelected_);
  }
  UpdateCommands();
}

// --- the selection handler and page steps --------------------------------------

void PageCommands::ShowPage(NotePage* page) {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPageNumber() == -1 || page == nullptr) return;
  const int32_t n = d->numberOf(page);
  if (n < 0) return;
  const int32_t current = d->currentPageNumber();
  CChildView& view = frame_.view();
  if (n != current) {
    if (!view.m_SwapHeld) view.TakeSwapState(current);
    leavePage();
    WaitCursor wait;
    d->SelectPage(n);
  }
  showCurrent(n != current);
  if (paneWidened_) WidenTreePane();
  lastSelected_ = page;
}

bool PageCommands::GoToPage(int32_t n) {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr) return false;
  if (n == 0 && d->hasBackPage()) {
    if (!onBackPage()) SwitchBackPage();
    return true;
  }
  NotePage* page = d->page(n);
  if (page == nullptr) return false;
  tree_->selectPage(page);
  ShowPage(page);
  return true;
}

void PageCommands::NextPage() {
  if (!IsEnabled(Cmd_NextPage)) return;
  GoToPage(doc()->currentPageNumber() + 1);
  frame_.view().m_SwapHeld = true;
}

void PageCommands::PreviousPage() {
  if (!IsEnabled(Cmd_PreviousPage)) return;
  GoToPage(doc()->currentPageNumber() - 1);
  frame_.view().m_SwapHeld = true;
}

void PageCommands::FirstPage() {
  if (!IsEnabled(Cmd_FirstPage)) return;
  GoToPage(1);
  frame_.view().m_SwapHeld = true;
}

void PageCommands::LastPage() {
  if (!IsEnabled(Cmd_LastPage)) return;
  GoToPage(doc()->lastPageNumber());
  frame_.view().m_SwapHeld = true;
}

// --- changing the pages -----------------------------------------------------------

std::string PageCommands::templatePath() const {
  std::string path = "%template%/page_default.svg";
  const StrX_VarLookup& lookup = frame_.options().save.variables;
  if (!lookup) return {};
  StrX_expandVariables(path, 4096, lookup);
  return path.find('%') == std::string::npos ? path : std::string();
}

namespace {

NoteReadOptions readOptions(const CMainFrame& frame) {
  NoteReadOptions read(AppCounters_instance());
  read.metrics = &frame.metrics();
  read.japanese = frame.options().japanese;
  return read;
}

// A note that could not be read: the reader's message, or for a missing
// file its name and "が見つかりません。".
void reportReadError(CMainFrame& frame, const Errors_Msg& e, std::string_view path) {
  std::string text = e.message();
  if (e.code == FileX_Err_CannotReadOpen || text.empty()) {
    text = std::string(path) + (frame.options().japanese ? "が見つかりません。" : " Not Found.");
  }
  UserPrompts_get().messageBox(text, "Zerbin", PromptButtons::Ok, PromptIcon::Error,
                               PromptAnswer::Ok, WindowIds_idOf(&frame));
}

}  // namespace

void PageCommands::AddPage(int32_t kind) {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr || onBackPage()) return;
  leavePage();
  const int32_t from = d->currentPageNumber();
  const NoteReadOptions read = readOptions(frame_);
  const std::string notePath = frame_.notePath();
  const int32_t n = d->AddPage(
      kind, templatePath(), [&](NotePage& page, int32_t number, std::string_view path) {
        Except_tryCatch(
            [&] { NotePages_takeTemplatePage(*d, page, number, path, notePath, read); },
            [&](const Errors_Msg& e) { reportReadError(frame_, e, path); });
      });
  frame_.undo().RecordPageInsert(from, n, kind);
  pagesChanged();
  showTreePane();
  frame_.view().setFocus();
}

void PageCommands::SwitchBackPage() {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr) return;
  leavePage();
  d->ToggleBackPage(japanese());
  if (onBackPage()) {
    tree_->selectPage(nullptr);
    lastSelected_ = nullptr;
  } else {
    tree_->selectPage(d->currentPage());
    d->SelectPage(d->currentPageNumber());
    lastSelected_ = d->currentPage();
  }
  frame_.pageShown();
  frame_.view().UpdateScrollSizes();
  frame_.RefreshWindowTitle();
  UpdateCommands();
}

void PageCommands::DeletePage() {
  if (!IsEnabled(Cmd_DeletePage)) return;
  NoteDocument* d = doc();
  NotePage* p = d->currentPage();
  NotePage* next = p->nextSibling ? p->nextSibling : p->previousSibling ? p->previousSibling
                                                                        : p->parent;
  leavePage();
  if (!d->DeletePage(&frame_.undo())) {
    showCurrent(false);
    return;
  }
  // The tree's choice of the page shown next.
  if (next != nullptr && d->numberOf(next) >= 0 && d->currentPage() != next) {
    d->SelectPage(d->numberOf(next));
  }
  pagesChanged();
}

void PageCommands::InsertPagesFromFile() {
  if (doc() == nullptr || !askNoteToInsert) return;
  std::string path;
  if (!askNoteToInsert(path) || path.empty()) return;
  InsertPagesFromFile(path);
}

int32_t PageCommands::InsertPagesFromFile(const std::string& path) {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr) return 0;
  WaitCursor wait;
  int32_t before = d->currentPageNumber();
  if (before == 0 && d->hasBackPage()) before = 1;
  leavePage();
  NotePages_Inserted done;
  bool failed = false;
  const NoteReadOptions read = readOptions(frame_);
  Except_tryCatch([&] { done = NotePages_insertFromFile(*d, before, path, frame_.notePath(), read); },
                  [&](const Errors_Msg& e) {
                    failed = true;
                    reportReadError(frame_, e, path);
                  });
  if (failed || done.count == 0) {
    if (d->currentPage() == nullptr) d->SelectPage(before);
    showCurrent(false);
    return 0;
  }
  {
    UndoGroup step(frame_.undo());
    for (int32_t i = 0; i < done.count; ++i) {
      frame_.undo().RecordPageInsert(before + i, before + i, AddPage_previous);
    }
  }
  pagesChanged();
  showTreePane();
  return done.count;
}

void PageCommands::EditTitle() {
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr) return;
  NotePage* p = d->currentPage();
  std::string value = p->title();
  if (!UserPrompts_get().inputText(japanese() ? "このページのタイトル" : "Title of this page",
                                   "Zerbin", value, WindowIds_idOf(&frame_))) {
    return;
  }
  const std::string old = p->title();
  p->setTitle(value);
  frame_.undo().RecordPageRename(d->currentPageNumber(), old, p->title());
  if (QTreeWidgetItem* item = tree_->itemOf(p)) item->setText(0, QtText_fromCp932(p->title()));
  frame_.RefreshWindowTitle();
  UpdateCommands();
}

bool PageCommands::MovePageInTree(NotePage* page, NotePage* target, int where) {
  NoteDocument* d = doc();
  if (d == nullptr || page == nullptr || target == nullptr || page == target) return false;
  const int32_t p = d->numberOf(page), t = d->numberOf(target);
  if (p < 0 || t < 0) return false;
  if (d->isInSubtree(p, t)) {
    UserPrompts_get().messageBox(
        japanese() ? "そこは子項目なので移動できません" : "Can not move to child node.", "Zerbin",
        PromptButtons::Ok, PromptIcon::Warning, PromptAnswer::Ok, WindowIds_idOf(&frame_));
    return false;
  }
  leavePage();
  const PageTreeMove move{p, t, where};
  const NoteDocument::PageMoveResult done = d->MovePageInTree(move);
  if (!done.moved) {
    if (d->currentPage() == nullptr) d->SelectPage(p);
    showCurrent(false);
    return false;
  }
  pagesChanged();
  frame_.undo().RecordPageTreeMove(done.first, done.end, done.to, move, done.back);
  return true;
}

// --- undo and redo ------------------------------------------------------------------

bool PageCommands::Undo() { return ViewHistory_undo(frame_.view()); }

bool PageCommands::Redo() { return ViewHistory_redo(frame_.view()); }

void PageCommands::HistoryStepped() {
  NoteDocument* d = doc();
  if (d == nullptr) return;
  // A step may have taken away the page that was shown.
  if (d->currentPage() == nullptr) d->SelectPage(d->hasBackPage() ? 1 : d->firstPageNumber());
  NotePage* current = onBackPage() ? nullptr : d->currentPage();
  tree_->fill(*d, current);
  lastSelected_ = current;
  frame_.RefreshWindowTitle();
  UpdateCommands();
}

// --- the tree: parent, folding, the pane ---------------------------------------------

void PageCommands::GoToParentPage() {
  QTreeWidgetItem* selected = tree_->currentItem();
  QTreeWidgetItem* target =
      selected && selected->parent() ? selected->parent() : tree_->topLevelItem(0);
  if (target == nullptr) return;
  NotePage* page = CLeftView::pageOf(target);
  const std::function<void()> move = [this, page] {
    tree_->selectPage(page);
    ShowPage(page);
  };
  if (recordHistoryStep) {
    recordHistoryStep(move);
  } else {
    move();
  }
}

void PageCommands::FoldPage() {
  if (QTreeWidgetItem* selected = tree_->currentItem()) selected->setExpanded(false);
  UpdateCommands();
}

void PageCommands::FoldChildPages() {
  QTreeWidgetItem* selected = tree_->currentItem();
  if (selected == nullptr) return;
  if (selected == tree_->topLevelItem(0)) {
    tree_->collapseAll();
  } else {
    for (QTreeWidgetItemIterator it(selected); *it; ++it) {
      QTreeWidgetItem* item = *it;
      if (item == selected) continue;
      // The walk leaves the subtree at the first item that is no descendant.
      bool below = false;
      for (QTreeWidgetItem* up = item->parent(); up != nullptr; up = up->parent()) {
        if (up == selected) below = true;
      }
      if (!below) break;
      item->setExpanded(false);
    }
  }
  UpdateCommands();
}

int PageCommands::paneWidth() const {
  QDockWidget* pane = frame_.leftPane();
  return pane != nullptr && pane->isVisible() ? pane->width() : 0;
}

void PageCommands::setPaneWidth(int width) {
  QDockWidget* pane = frame_.leftPane();
  if (pane == nullptr) return;
  frame_.resizeDocks({pane}, {width}, Qt::Horizontal);
}

void PageCommands::showTreePane() {
  if (paneHidden_) ToggleTreePane();
}

void PageCommands::ToggleTreePane() {
  QDockWidget* pane = frame_.leftPane();
  if (pane == nullptr) return;
  if (paneHidden_) {
    pane->show();
    paneHidden_ = paneWidened_ = false;
    setPaneWidth(savedWidth_);
  } else {
    if (!paneWidened_) savedWidth_ = pane->width();
    pane->hide();
    paneHidden_ = true;
    paneWidened_ = false;
  }
  UpdateCommands();
}

void PageCommands::WidenTreePane() {
  QDockWidget* pane = frame_.leftPane();
  NoteDocument* d = doc();
  if (pane == nullptr || d == nullptr || d->ordinaryPageCount() < 2) return;
  if (paneWidened_) {
    paneWidened_ = false;
    if (widenedFromHidden_) {
      pane->hide();
      paneHidden_ = true;
    } else {
      setPaneWidth(savedWidth_);
    }
  } else {
    if (!paneHidden_) savedWidth_ = pane->width();
    widenedFromHidden_ = paneHidden_;
    pane->show();
    paneHidden_ = false;
    paneWidened_ = true;
    setPaneWidth(kWidenedWidth);
  }
  UpdateCommands();
}

void PageCommands::contextMenu(QPoint global) {
  if (table_ == nullptr) return;
  UpdateCommands();
  QMenu menu(tree_);
  auto add = [&](int id) {
    if (QAction* a = table_->action(id)) menu.addAction(a);
  };
  // The figure clipboard commands, where the window has them.
  for (int id : {57635, 57634, 57637, 32776}) add(id);
  if (!menu.isEmpty()) menu.addSeparator();
  for (int id : {Cmd_AddNextPage, Cmd_AddChildPage, Cmd_AddPreviousPage, Cmd_InsertPagesFromFile}) {
    add(id);
  }
  QAction* title = menu.addAction(QtText_fromCp932(
      japanese() ? "タイトルの編集(&T)..." : "Edit &Title..."));
  QObject::connect(title, &QAction::triggered, tree_, [this] { EditTitle(); });
  menu.addSeparator();
  for (int id : {Cmd_ParentPage, Cmd_FoldPage, Cmd_FoldChildPages}) add(id);
  if (table_->action(32789) != nullptr) {
    menu.addSeparator();
    add(32789);
  }
  menu.exec(global);
}

// --- enabling and the command table -------------------------------------------------

bool PageCommands::IsEnabled(int id) const {
  if (id == Cmd_ShowTree) return true;
  NoteDocument* d = doc();
  if (d == nullptr || d->currentPage() == nullptr) return false;
  const int32_t current = d->currentPageNumber();
  const bool back = onBackPage();
  QTreeWidgetItem* selected = tree_->selectedItems().isEmpty() ? nullptr : tree_->currentItem();
  switch (id) {
    case Cmd_NextPage:
      return !back && current != d->lastPageNumber();
    case Cmd_PreviousPage:
      return current > 1;
    case Cmd_FirstPage:
    case Cmd_LastPage:
      return d->ordinaryPageCount() >= 2 && !back;
    case Cmd_AddNextPage:
    case Cmd_AddChildPage:
    case Cmd_AddPreviousPage:
      return !back;
    case Cmd_BackPageSwitch:
    case Cmd_InsertPagesFromFile:
    case Cmd_EditPageTitle:
      return true;
    case Cmd_DeletePage: {
      const NotePage* p = d->currentPage();
      return !back && (p->previousSibling || p->nextSibling || p->parent);
    }
    case Cmd_ParentPage:
      return selected != nullptr && selected != tree_->topLevelItem(0);
    case Cmd_FoldPage:
      return selected != nullptr && selected->childCount() > 0;
    case Cmd_FoldChildPages:
      return selected != nullptr &&
             (selected->childCount() > 0 || selected == tree_->topLevelItem(0));
    case Cmd_WidenTree:
      return d->ordinaryPageCount() >= 2;
    default:
      return false;
  }
}

namespace {

constexpr int kPageCommandIds[] = {
    Cmd_NextPage,      Cmd_PreviousPage,    Cmd_FirstPage,         Cmd_LastPage,
    Cmd_AddNextPage,   Cmd_AddChildPage,    Cmd_AddPreviousPage,   Cmd_BackPageSwitch,
    Cmd_DeletePage,    Cmd_InsertPagesFromFile, Cmd_EditPageTitle, Cmd_ParentPage,
    Cmd_FoldPage,      Cmd_FoldChildPages,  Cmd_ShowTree,          Cmd_WidenTree,
};

}  // namespace

void PageCommands::UpdateCommands() {
  if (table_ == nullptr) return;
  for (int id : kPageCommandIds) {
    if (QAction* a = table_->action(id)) a->setEnabled(IsEnabled(id));
  }
  table_->updateChecks();
}

void PageCommands_registerCommands(CommandTable& table, PageCommands& pages) {
  PageCommands* p = &pages;
  pages.SetCommandTable(&table);
  const bool japanese = pages.japanese();
  auto t = [japanese](const char* j, const char* e) { return std::string_view(japanese ? j : e); };
  const std::string_view menu = t("ページ(&P)", "&Page");
  using K = QKeySequence;
  table.add(Cmd_NextPage, t("次のページ(&N)", "&Next Page"), menu, {K(Qt::Key_F8)},
            [p] { p->NextPage(); });
  table.add(Cmd_PreviousPage, t("前のページ(&V)", "Pre&vious Page"), menu, {K(Qt::Key_F7)},
            [p] { p->PreviousPage(); });
  table.add(Cmd_FirstPage, t("最初のページへ", "First Page"), menu, {}, [p] { p->FirstPage(); });
  table.add(Cmd_LastPage, t("最後のページへ", "Last Page"), menu, {}, [p] { p->LastPage(); });
  table.add(Cmd_AddNextPage, t("次のページを追加(&A)", "&Add Next Page"), menu, {},
            [p] { p->AddPage(AddPage_next); });
  table.add(Cmd_AddChildPage, t("子のページを追加(&C)", "Add &Child Page"), menu, {},
            [p] { p->AddPage(AddPage_child); });
  table.add(Cmd_AddPreviousPage, t("前にページを追加(&P)", "Add &Previous Page"), menu, {},
            [p] { p->AddPage(AddPage_previous); });
  table.add(Cmd_BackPageSwitch, t("背景ページと切替(&B)", "Switch &Background Page"), menu,
            {K(Qt::Key_F9)}, [p] { p->SwitchBackPage(); },
            [p] { return p->onBackPage(); });
  table.add(Cmd_DeletePage, t("ページを削除(&D)", "&Delete Page"), menu, {},
            [p] { p->DeletePage(); });
  table.add(Cmd_InsertPagesFromFile,
            t("SVGファイルからページ追加(&F)...", "Add Pages from SVG &File..."), menu, {},
            [p] { p->InsertPagesFromFile(); });
  table.add(Cmd_EditPageTitle, t("ページのタイトルの編集(&T)...", "Edit Page &Title..."), menu,
            {}, [p] { p->EditTitle(); });
  table.add(Cmd_ParentPage, t("親のページへ移動(&P)", "Go to &Parent Page"), {}, {},
            [p] { p->GoToParentPage(); });
  table.add(Cmd_FoldPage, t("このページを折りたたみ(&L)", "Fo&ld This Page"), {}, {},
            [p] { p->FoldPage(); });
  table.add(Cmd_FoldChildPages, t("子のページをすべて折りたたみ(&E)", "Fold All Child Pag&es"),
            {}, {}, [p] { p->FoldChildPages(); });
  table.add(Cmd_ShowTree, t("ツリーを表示する", "Show Tree"), menu, {},
            [p] { p->ToggleTreePane(); }, [p] { return !p->paneHidden(); });
  table.add(Cmd_WidenTree, t("ツリーを最大表示する", "Maximize Tree"), menu, {},
            [p] { p->WidenTreePane(); });
  pages.UpdateCommands();
}
