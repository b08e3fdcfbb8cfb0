#include "app/mainframe/main_frame.h"

#include "app/saving/frame_backup.h"
#include "ink/ink_engine.h"

#include <QCloseEvent>
#include <QApplication>
#include <QDockWidget>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QString>
#include <QWidget>

#include "app/clipboard/frame_clipboard.h"
#include "app/convert/embed_window.h"
#include "app/convert/html_export_window.h"
#include "app/convert/office_script_window.h"
#include "app/convert/page_image_command.h"
#include "app/convert/table_out_window.h"
#include "app/print/print_command.h"
#include "app/propbar/prop_bar.h"
#include "app/toolbars/tool_bars.h"
#include "app/links/follow_link.h"
#include "app/links/frame_links.h"
#include "app/pages/page_commands.h"
#include "app/links/view_link_commands.h"
#include "app/saving/save_commands.h"
#include "app/windows/window_list.h"
#include "app/windows/window_place.h"
#include "core/errors/except3.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "document/reader/note_reader.h"
#include "figures/base/app_counters.h"
#include "figures/canvas/canvas.h"
#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/editor/in_place_editing.h"
#include "view/history/view_history.h"
#include "view/menus/context_menus.h"
#include "view/keyboard/date_insertion.h"
#include "view/keyboard/selection_commands.h"
#include "view/keyboard/text_box_keys.h"
#include "view/render/render_page.h"

std::string CMainFrame_titleText(std::string_view notePath, std::string_view pagePart,
                                 bool japanese) {
  std::string title = notePath.empty() ? std::string(japanese ? "無題" : "NoTitle")
                                       : StrX_fileName(notePath);
  title += " - ";
  if (!pagePart.empty()) {
    title += pagePart;
    title += " - ";
  }
  title += "Brevlo 3.10";
  return title;
}

CMainFrame::CMainFrame(std::string notePath, bool japanese)
    : CMainFrame(std::move(notePath), CMainFrameOptions{japanese, {}, false, false, {}, {}}) {}

CMainFrame::CMainFrame(std::string notePath, CMainFrameOptions options)
    : notePath_(std::move(notePath)),
      options_(std::move(options)),
      links_(std::make_unique<FrameLinks>()) {
  resize(800, 600);
  view_ = new CChildView(*this, this);
  view_->SetInkEnabled(options_.ink);
  setCentralWidget(view_);
  // The left pane: the page tree goes here.
  leftPane_ = new QDockWidget(this);
  leftPane_->setObjectName("leftPane");
  leftPane_->setFeatures(QDockWidget::NoDockWidgetFeatures);
  // An empty title bar: a layout gives it a size hint of no height (a bare
  // widget has none, which made the pane's minimum height negative).
  auto* titleBar = new QWidget(leftPane_);
  auto* titleLayout = new QHBoxLayout(titleBar);
  titleLayout->setContentsMargins(0, 0, 0, 0);
  leftPane_->setTitleBarWidget(titleBar);
  pages_ = std::make_unique<PageCommands>(*this);
  pages_->recordHistoryStep = [this](const std::function<void()>& move) {
    CMainFrame_recordedMove(*this, move);
  };
  leftPane_->setWidget(&pages_->tree());
  addDockWidget(Qt::LeftDockWidgetArea, leftPane_);
  resizeDocks({leftPane_}, {160}, Qt::Horizontal);
  propBar_ = new CZerbinPropBar(*this);
  propBar_->inkSelection = [this] {
    std::vector<PropInkStroke> out;
    if (InkEngine* ink = view_->ink()) {
      for (const InkAttributes& a : ink->selectedAttributes())
        out.push_back({a.colour, a.width, !a.ignorePressure});
    }
    return out;
  };
  propBar_->applyInk = [this](int32_t row, const std::string& value) {
    InkEngine* ink = view_->ink();
    if (ink == nullptr) return false;
    return ink->applyAttribute(row, value);
  };
  addDockWidget(Qt::RightDockWidgetArea, propBar_);
  resizeDocks({propBar_}, {200}, Qt::Horizontal);
  clipboard_ = new FrameClipboard(*this);
  backup_ = std::make_unique<FrameBackup>(*this, options_.backupFolder, options_.backupInterval);
  commands_ = std::make_unique<CommandTable>(this);
  commands_->setBeforeEachCommand([this] { view_->EndGesture(); });
  WindowCommands_register(*commands_, *this);
  NoteSave_registerCommands(*commands_, *this);
  NotePrint_registerCommands(*commands_, *this);
  PageImageCommand_register(*commands_, *this);
  HtmlExportWindow_register(*commands_, *this);
  TableOutWindow_register(*commands_, *this);
  OfficeScriptWindow_register(*commands_, *this);
  EmbedWindow_register(*commands_, *this);
  LinkCommands_register(*commands_, *this);
  ViewLinkCommands_register(*commands_, *this);
  FrameClipboard_register(*commands_, *this);
  FrameBackup_registerCommands(*commands_, *this);
  CChildView_registerCommands(*commands_, *view_);
  PageCommands_registerCommands(*commands_, *pages_);
  ViewHistory_registerCommands(*commands_, *view_);
  view_->contextMenus().setCommands(commands_.get());
  undo_.setListener([this] { ModifiedChanged(); });
  undo_.setBeforeRecording([this] {
    if (hasNote()) view_->RecordPendingChange();
  });
  SelectionCommands_register(
      *commands_, *view_,
      {.target = [this] { return selectionTarget(); },
       .editingInPlace = [this] { return view_->inPlace().active(); },
       .continueBelow = [this] { return TextBoxKeys_continueBelow(*view_); },
       .aroundEdit = [this](const std::function<bool()>& change) {
         return TextBoxKeys_aroundEdit(*view_, change);
       },
       .linkHistory = [this](int direction) { LinkHistoryStep(direction); },
       .changed = [this] { ModifiedChanged(); }});
  DateInsertion_register(*commands_, *view_,
                         {.editor = [this]() -> Text_Editor* {
                           InPlaceEditing& e = view_->inPlace();
                           return e.active() ? &e.editor() : nullptr;
                         }});
  TextBoxKeys_register(*commands_, *view_);
  toolBars_ = std::make_unique<ToolBars>(*this);
  commands_->buildMenus(*menuBar());
  toolBars_->build();
  NoteSave_menusBuilt(*commands_, *this);
  RefreshWindowTitle();
}

CMainFrame::~CMainFrame() {
  if (backup_) backup_->stop();
  // The bars show nothing more: the note and the tool bars' state go
  // before the widgets do.
  propBar_ = nullptr;
  tearingDown_ = true;
  toolBars_.reset();
  undo_.setListener(nullptr);
  undo_.setBeforeRecording(nullptr);
  view_->PageLeaving();
  if (doc_ && !doc_->closed()) {
    Except_tryCatch([&] { doc_->ClearDocument(); }, [](const Errors_Msg&) {});
  }
}

void CMainFrame::setNotePath(std::string path) {
  notePath_ = std::move(path);
  if (toolBars_) toolBars_->notePathChanged();
}

void CMainFrame::RefreshWindowTitle() {
  const std::string title =
      PageTree_titleBar(hasNote() ? doc_.get() : nullptr, notePath_, options_.japanese);
  setWindowTitle(QtText_fromCp932(noteModified() ? "*" + title : title));
}

std::vector<CMainFrame*> CMainFrame_shownFrames() {
  std::vector<CMainFrame*> frames;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    auto* f = dynamic_cast<CMainFrame*>(w);
    if (f != nullptr && f->isVisible()) frames.push_back(f);
  }
  return frames;
}

bool CMainFrame::noteModified() const {
  return hasNote() && undo_.IsModified(view_->PendingState());
}

void CMainFrame::CommitPendingEdits() {
  view_->EndGesture();
  if (!hasNote()) return;
  view_->inPlace().End();
  ViewHistory_flushPendingChange(*view_);
}

void CMainFrame::ModifiedChanged() {
  RefreshWindowTitle();
  if (propBar_ != nullptr) propBar_->RefreshSoon();
  // The tool bars show the tool in use (a new figure ends its tool).
  if (commands_ && !tearingDown_) commands_->updateChecks();
  if (commands_) ViewHistory_updateCommands(*commands_, *view_);
}

void CMainFrame::attachInk() {
  InkEngine* ink = view_->ink();
  if (ink != nullptr) ink->clearInk();
  doc_->inkManager = ink;
  doc_->inkEnabled = ink != nullptr;
}

void CMainFrame::LoadNote(const std::string& path, bool untitled) {
  view_->PageLeaving();
  if (doc_ && !doc_->closed()) doc_->ClearDocument();
  doc_ = std::make_unique<NoteDocument>(options_.workFolder);
  attachInk();
  AppCounters& counters = AppCounters_instance();
  NoteReadOptions read(counters);
  read.metrics = &metrics_;
  read.japanese = options_.japanese;
  Except_tryCatch(
      [&] {
        NoteReader_read(*doc_, NoteDocument_newDocumentNumber(counters, options_.workFolder), path,
                        read);
      },
      [&](const Errors_Msg& e) {
        // Nothing of a half-read note stays: its working files go too.
        Except_tryCatch([&] { doc_->ClearDocument(); }, [](const Errors_Msg&) {});
        doc_.reset();
        notePath_.clear();
        RefreshWindowTitle();
        view_->PageChanged();
        pages_->NoteLoaded();
        Except_throw(e);
      });
  if (doc_->currentPageNumber() != 1 && doc_->page(1) != nullptr) doc_->SelectPage(1);
  // A note made from a template is a note of its own: the keyword index
  // tells notes apart by their uuid.
  if (untitled) doc_->uuid = NoteDocument_newUuid();
  notePath_ = untitled ? std::string() : path;
  undo_.Clear();
  undo_.MarkSaved();
  RefreshWindowTitle();
  pageShown();
  pages_->NoteLoaded();
  NoteSave_noteLoaded(*this);
  backup_->noteChanged();
  backup_->start();
  if (toolBars_) toolBars_->notePathChanged();
}

void CMainFrame::NewNote() {
  view_->PageLeaving();
  if (doc_ && !doc_->closed()) doc_->ClearDocument();
  doc_ = std::make_unique<NoteDocument>(options_.workFolder);
  attachInk();
  doc_->NewDocument(NoteDocument_newDocumentNumber(AppCounters_instance(), options_.workFolder),
                    doc_->inkEnabled);
  notePath_.clear();
  undo_.Clear();
  undo_.MarkSaved();
  RefreshWindowTitle();
  pageShown();
  pages_->NoteLoaded();
  backup_->noteChanged();
  backup_->start();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  CommitPendingEdits();
  if (links_->closeAnswered || NoteSave_queryClose(*this)) {
    links_->closeAnswered = false;
    event->accept();
    backup_->discard();
    if (options_.windows) {
      WindowPlace_save(*this, options_.save.profileFolder, options_.windows->echoPath());
      options_.windows->frameClosed(*this);
    }
  } else {
    event->ignore();
  }
}

void CMainFrame::pageShown() {
  if (hasNote()) {
    Canvas& canvas = doc_->workingSettings();
    canvas.setSnapToGrid(options_.gridOn);
    canvas.setGridMode(options_.gridDisp ? 1 : 0);
  }
  view_->PageChanged();
  if (propBar_ != nullptr) propBar_->Refresh();
}

bool CMainFrame::SelectPageNumber(int32_t number) { return pages_->GoToPage(number); }

bool CMainFrame::SelectPageByText(std::string_view page) {
  if (page.empty()) return false;
  bool digits = page.size() < 10;
  for (char c : page) digits = digits && c >= '0' && c <= '9';
  if (digits) return SelectPageNumber(std::stoi(std::string(page)));
  if (!doc_ || doc_->closed()) return false;
  // A page id or a figure's id, else a page title (ignoring case).
  int32_t n = doc_->FindPageByName(page);
  for (size_t i = 0; n < 0 && i < doc_->pageCount(); ++i) {
    if (StrX_equalsNoCase(doc_->pageAt(i).title(), page)) n = doc_->pageNumberAt(i);
  }
  return n >= 0 && SelectPageNumber(n);
}

ViewPageSource CMainFrame::CurrentPage() {
  ViewPageSource s;
  if (!hasNote()) return s;
  s.figures = &doc_->workingFigures();
  s.canvas = &doc_->workingSettings();
  s.pageNumber = doc_->currentPageNumber();
  if (doc_->hasBackPage() && s.pageNumber != 0) {
    s.backFigures = &doc_->pageAt(0).figures;
    s.backPageNumber = 0;
  }
  return s;
}

int32_t CMainFrame::CurrentPageNumber() { return hasNote() ? doc_->currentPageNumber() : -1; }

bool CMainFrame::TurnPage(int direction) {
  if (!hasNote()) return false;
  const int32_t next = doc_->currentPageNumber() + direction;
  if (next < 1 || next > doc_->lastPageNumber()) return false;
  return SelectPageNumber(next);
}

void CMainFrame::GoToPage(int32_t number) { SelectPageNumber(number); }

void CMainFrame::SwitchBackPage() { pages_->SwitchBackPage(); }

void CMainFrame::GridChanged(const Canvas& canvas) {
  options_.gridOn = canvas.snapToGrid();
  options_.gridDisp = View_gridDisplayed(canvas);
  if (options_.gridChanged) options_.gridChanged(options_.gridOn, options_.gridDisp);
}

std::string CMainFrame::NoteFolder() {
  return notePath_.empty() ? std::string() : StrX_parentFolder(notePath_);
}

SelectionCommandTarget CMainFrame::selectionTarget() {
  return {hasNote() ? view_->selection() : nullptr, doc_.get(), &undo_, CurrentPageNumber(),
          notePath_};
}

uint32_t CMainFrame::WindowId() { return WindowIds_idOf(this); }

void CMainFrame::HistoryStepped() {
  if (pages_) pages_->HistoryStepped();
}

void CMainFrame::SelectionChanged() {
  ViewLinkCommands_refresh(*this);
  if (commands_ && !tearingDown_) commands_->updateChecks();
  if (propBar_ != nullptr) propBar_->Refresh();
}

Qt::DropAction CMainFrame::DropAction(const QMimeData& data, Qt::KeyboardModifiers keys) {
  return clipboard_->DropActionFor(data, keys);
}

Qt::DropAction CMainFrame::Drop(const QMimeData& data, Point32 at, Qt::DropAction action) {
  return clipboard_->Drop(data, at, action);
}

void CMainFrame::DragOut(Point32 anchor) { clipboard_->DragOut(anchor); }

void CMainFrame::LinkClicked(CadPrim& figure) { CMainFrame_linkClicked(*this, figure); }

void CMainFrame::LinkHistoryStep(int direction) { CMainFrame_historyStep(*this, direction); }
