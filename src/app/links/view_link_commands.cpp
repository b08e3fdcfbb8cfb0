#include "app/links/view_link_commands.h"

#include <algorithm>
#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QInputMethod>

#include "app/mainframe/main_frame.h"
#include "app/pages/page_commands.h"
#include "core/prompts/user_prompts.h"
#include "document/note/note_document.h"
#include "document/note/note_page.h"
#include "figures/base/app_counters.h"
#include "figures/base/figure_kind.h"
#include "figures/text/text_box.h"
#include "platform/windows/window_ids.h"
#include "undo/undo_history.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/dialogs/input_ml_dialog.h"
#include "view/editing/connect_text.h"
#include "view/editing/mouse_editor.h"
#include "view/editor/in_place_editing.h"
#include "view/geometry/view_geometry.h"
#include "view/history/view_history.h"
#include "view/links/view_link_figures.h"
#include "view/selection/view_selection.h"

namespace {

CadPrim* held(CMainFrame& frame) {
  if (!frame.hasNote()) return nullptr;
  ViewSelection* sel = frame.view().selection();
  return sel ? sel->HoldPrim() : nullptr;
}

Text_Box* heldTextBox(CMainFrame& frame) {
  CadPrim* f = held(frame);
  return f != nullptr && f->GetKind() == FigureKind_Text ? dynamic_cast<Text_Box*>(f) : nullptr;
}

// The back page has no child pages.
bool newLinkPageAllowed(CMainFrame& frame) {
  return heldTextBox(frame) != nullptr && !frame.view().m_ViewerMode &&
         frame.document().currentPageNumber() != 0;
}

// Shows page `number` after the note changed its current page itself.
void showPage(CMainFrame& frame, int32_t number) { frame.SelectPageNumber(number); }

// The back-page switch: creates the back page when there is none.
void toggleBackPage(CMainFrame& frame) {
  frame.view().PageLeaving();
  frame.document().ToggleBackPage(frame.options().japanese);
  showPage(frame, frame.document().currentPageNumber());
}

void selectHeld(CMainFrame& frame, CadPrim& figure) {
  if (ViewSelection* sel = frame.view().selection()) {
    sel->DeselectAll(true);
    sel->SelectOnly(figure);
    sel->TakeSelectionChanged();
  }
}

}  // namespace

void ViewLinkCommands_pageButtons(CMainFrame& frame) {
  if (!frame.hasNote()) return;
  NoteDocument& doc = frame.document();
  const bool elsewhere = doc.currentPageNumber() != 0;
  if (elsewhere) toggleBackPage(frame);
  auto [back, next] =
      ViewLinks_makePageButtons(&frame.metrics(), AppCounters_instance(), frame.options().japanese);
  // Measured once, so that their frames are known before they are drawn.
  DrawContext ctx;
  frame.view().FillDrawContext(ctx, false);
  back->Layout(frame.metrics(), ctx);
  next->Layout(frame.metrics(), ctx);
  FigureList& list = doc.workingFigures();
  CadPrim& first = list.append(std::move(back));
  CadPrim& second = list.append(std::move(next));
  {
    UndoGroup step(frame.undo());
    frame.undo().RecordCreation(second, doc, doc.currentPageNumber());
    frame.undo().RecordCreation(first, doc, doc.currentPageNumber());
  }
  if (elsewhere) {
    toggleBackPage(frame);
  } else {
    frame.view().RedrawNow();
  }
  UserPrompts_get().messageBox(ViewLinks_pageButtonsMessage(frame.options().japanese), "Zerbin",
                               PromptButtons::Ok, PromptIcon::Information, PromptAnswer::Ok,
                               WindowIds_idOf(&frame));
}

void ViewLinkCommands_newLinkPage(CMainFrame& frame) {
  if (!newLinkPageAllowed(frame)) return;
  Text_Box& source = *heldTextBox(frame);
  NoteDocument& doc = frame.document();
  UndoHistory& undo = frame.undo();
  std::string name = ViewLinks_linkNamePreset;
  const bool named = UserPrompts_get().inputText(ViewLinks_linkNameLabel, "Zerbin", name,
                                                 WindowIds_idOf(&frame));
  if (named) name = ViewLinks_linkName(name);
  // Without a name the copy gets no id: two figures with one id would
  // send the source's old links elsewhere.
  std::unique_ptr<CadPrim> copy =
      ViewLinks_linkPageCopy(source, AppCounters_instance(), named ? name : std::string());
  const std::string text = source.text();

  UndoGroup step(undo);
  const int32_t from = doc.currentPageNumber();
  if (named) {
    std::unique_ptr<CadPrim> before = Undo_copyOf(source, &doc.workingFigures());
    source.SetUrl("#" + name);
    undo.RecordChange(std::move(before), source, doc, from);
  }
  // A child page made as the page commands make one (the page template,
  // the page tree filled again, the step recorded).
  frame.pages().AddPage(AddPage_child);
  const int32_t to = doc.currentPageNumber();
  if (to == from) return;

  CadPrim& live = doc.workingFigures().append(std::move(copy));
  if (auto* box = dynamic_cast<Text_Box*>(&live)) {
    // Laid out once, so that its edges are known.
    DrawContext ctx;
    frame.view().FillDrawContext(ctx, false);
    box->Layout(frame.metrics(), ctx);
  }
  ViewLinks_placeOnNewPage(live);
  selectHeld(frame, live);
  undo.RecordCreation(live, doc, to);

  NotePage& page = *doc.page(to);
  const std::string oldTitle = page.title();
  page.setTitle(ViewLinks_linkPageTitle(text));
  undo.RecordPageRename(to, oldTitle, page.title());
  frame.pages().HistoryStepped();
  frame.RefreshWindowTitle();
  frame.view().RedrawNow();
}

void ViewLinkCommands_editLinkAddress(CMainFrame& frame) {
  CadPrim* f = held(frame);
  if (f == nullptr || (f->GetKind() != FigureKind_Rect && f->GetKind() != FigureKind_Text)) return;
  std::string url = f->GetUrl();
  if (!UserPrompts_get().inputText("URL/onclick", "Zerbin", url, WindowIds_idOf(&frame))) return;
  NoteDocument& doc = frame.document();
  UndoGroup step(frame.undo());
  std::unique_ptr<CadPrim> before = Undo_copyOf(*f, &doc.workingFigures());
  f->SetUrl(url);
  frame.undo().RecordChange(std::move(before), *f, doc, doc.currentPageNumber());
  frame.view().RedrawNow();
}

bool ViewLinkCommands_canEditText(CMainFrame& frame) {
  return heldTextBox(frame) != nullptr && !frame.view().m_ViewerMode;
}

void ViewLinkCommands_textDialog(CMainFrame& frame) {
  if (!ViewLinkCommands_canEditText(frame)) return;
  frame.view().inPlace().End();
  Text_Box* box = heldTextBox(frame);
  if (box == nullptr) return;
  NoteDocument& doc = frame.document();
  std::unique_ptr<CadPrim> before = Undo_copyOf(*box, &doc.workingFigures());
  std::string text = box->text();
  if (!CInputML1_ask(&frame, text, frame.options().japanese, QCursor::pos())) return;
  if (text == box->text()) return;
  box->SetText(text);
  box->placeholder = false;
  DrawContext ctx;
  frame.view().FillDrawContext(ctx, false);
  box->Layout(frame.metrics(), ctx);
  frame.undo().RecordChange(std::move(before), *box, doc, doc.currentPageNumber());
  frame.view().RedrawNow();
}

bool ViewLinkCommands_canToggleLock(CMainFrame& frame) {
  return held(frame) != nullptr && !frame.view().m_ViewerMode;
}

void ViewLinkCommands_toggleLock(CMainFrame& frame) {
  if (!ViewLinkCommands_canToggleLock(frame)) return;
  ViewSelection& sel = *frame.view().selection();
  const bool locked = !sel.HoldPrim()->IsLocked();
  std::vector<CadPrim*> figures = sel.Selection();
  if (std::find(figures.begin(), figures.end(), sel.HoldPrim()) == figures.end())
    figures.push_back(sel.HoldPrim());
  // The lock is saved with the figure: it is a step of the history, and the
  // note is modified by it.
  NoteDocument& doc = frame.document();
  UndoGroup group(frame.undo());
  for (CadPrim* f : figures) {
    std::unique_ptr<CadPrim> before = Undo_copyOf(*f, &doc.workingFigures());
    f->SetLocked(locked);
    frame.undo().RecordChange(std::move(before), *f, doc, doc.currentPageNumber());
  }
  frame.view().RedrawNow();
}

void ViewLinkCommands_scrollTo(CMainFrame& frame, bool toEnd) {
  CChildView& view = frame.view();
  InPlaceEditing& edit = view.inPlace();
  if (!edit.active()) {
    view.ScrollTo(toEnd ? ViewGeometry_maxScroll(view.geometry()) : Point32{0, 0});
    return;
  }
  // The caret goes to the start (end) of the text, which is kept in view.
  const int32_t at = toEnd ? static_cast<int32_t>(edit.editor().text().size()) : 0;
  edit.editor().Select(at, at);
  edit.Refresh(false);
}

// The held line and the end that the right press of its menu grabbed.
std::pair<CadPrim*, int32_t> ViewLinkCommands_connectEnd(CMainFrame& frame) {
  CadPrim* f = held(frame);
  const int32_t end = frame.view().mouseEditor().m_RightEnd;
  if (f == nullptr || f->GetKind() != FigureKind_Line || end == 0) return {nullptr, 0};
  return {f, end};
}

bool ViewLinkCommands_canConnectText(CMainFrame& frame) {
  auto [line, end] = ViewLinkCommands_connectEnd(frame);
  return line != nullptr && ConnectText_target(frame.document().workingFigures(), *line, end);
}

void ViewLinkCommands_connectText(CMainFrame& frame) {
  auto [line, end] = ViewLinkCommands_connectEnd(frame);
  if (line == nullptr) return;
  ViewHistory_flushPendingChange(frame.view());
  NoteDocument& doc = frame.document();
  if (ConnectText_toggle(doc.workingFigures(), *line, end, frame.undo(), doc,
                         doc.currentPageNumber())) {
    frame.view().RedrawNow();
  }
}

bool ViewLinkCommands_inputMethodOpen(CMainFrame& frame) {
  return frame.view().testAttribute(Qt::WA_InputMethodEnabled);
}

void ViewLinkCommands_toggleInputMethod(CMainFrame& frame) {
  frame.view().setAttribute(Qt::WA_InputMethodEnabled, !ViewLinkCommands_inputMethodOpen(frame));
  if (frame.view().hasFocus()) QGuiApplication::inputMethod()->update(Qt::ImEnabled);
  frame.commands().updateChecks();
}

// Qt's input method interface takes no text from the program (no
// composition string, no reconversion string): the commands that would
// hand text over are disabled rather than imitated.
bool ViewLinkCommands_canReconvert() { return false; }

void ViewLinkCommands_refresh(CMainFrame& frame) {
  if (QAction* a = frame.commands().action(Cmd_NewLinkPage)) a->setEnabled(newLinkPageAllowed(frame));
}

void ViewLinkCommands_register(CommandTable& table, CMainFrame& frame) {
  CMainFrame* f = &frame;
  const bool ja = frame.options().japanese;
  auto t = [ja](const char* j, const char* e) { return std::string(ja ? j : e); };
  const std::string insertMenu = t("挿入(&I)", "&Insert");
  const std::string linkMenu = t("リンク(&L)", "&Link");
  table.add(Cmd_PageButtons, t("ﾍﾟｰｼﾞﾎﾞﾀﾝ貼り付け(&B)", "Paste Page &Buttons"), insertMenu, {},
            [f] { ViewLinkCommands_pageButtons(*f); });
  table.add(Cmd_NewLinkPage, t("新規リンクページ(K)...", "New Lin&k Page..."), linkMenu, {},
            [f] { ViewLinkCommands_newLinkPage(*f); });
  table.add(Cmd_EditLinkAddress, t("リンク先アドレス編集(&X)", "Edit Link Address(&X)"), linkMenu, {},
            [f] { ViewLinkCommands_editLinkAddress(*f); });
  table.add(Cmd_InputMethodOnOff, t("漢字オン・オフ", "Input Method On/Off"), {}, {},
            [f] { ViewLinkCommands_toggleInputMethod(*f); },
            [f] { return ViewLinkCommands_inputMethodOpen(*f); });
  table.add(Cmd_TextDialog, t("エディター起動(&Z)", "&Editor"), linkMenu, {},
            [f] { ViewLinkCommands_textDialog(*f); });
  table.setEnabledRule(Cmd_TextDialog, [f] { return ViewLinkCommands_canEditText(*f); });
  table.add(Cmd_LockToggle, t("固定状態の切替(&Q)", "&Lock / Unlock"), linkMenu, {},
            [f] { ViewLinkCommands_toggleLock(*f); });
  table.setEnabledRule(Cmd_LockToggle, [f] { return ViewLinkCommands_canToggleLock(*f); });
  table.add(
      Cmd_ConnectWithText, t("テキストと接続(&A)", "Connect with &Text"), {}, {},
      [f] { ViewLinkCommands_connectText(*f); },
      [f] {
        auto [line, end] = ViewLinkCommands_connectEnd(*f);
        return line != nullptr && ConnectText_attached(*line, end);
      });
  table.setEnabledRule(Cmd_ConnectWithText, [f] { return ViewLinkCommands_canConnectText(*f); });
  using K = QKeySequence;
  for (const bool toEnd : {false, true}) {
    QAction* a = table.add(
        toEnd ? Cmd_ScrollEnd : Cmd_ScrollStart, {}, {},
        toEnd ? QList<K>{K(Qt::CTRL | Qt::Key_End), K(Qt::CTRL | Qt::SHIFT | Qt::Key_End)}
              : QList<K>{K(Qt::CTRL | Qt::Key_Home), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Home)},
        [f, toEnd] { ViewLinkCommands_scrollTo(*f, toEnd); });
    a->setShortcutContext(Qt::WidgetShortcut);
    if (auto* owner = qobject_cast<QWidget*>(a->parent())) owner->removeAction(a);
    frame.view().addAction(a);
  }
  const bool reconvert = ViewLinkCommands_canReconvert();
  table.add(Cmd_Reconvert, t("漢字再変換(&R)", "&Reconvert"), {}, {}, [] {})->setEnabled(reconvert);
  table.add(Cmd_SendToInputMethod, t("ローマ字をIMEに送る(&S)", "&Send Text to Input Method"), {}, {},
            [] {})
      ->setEnabled(reconvert);
  table.add(Cmd_SendToInputMethodKey, {}, {}, {QKeySequence(Qt::CTRL | Qt::Key_D)}, [] {})
      ->setEnabled(reconvert);
  ViewLinkCommands_refresh(frame);
}
