#include "view/menus/context_menus.h"

#include <QAction>
#include <QMenu>

#include "figures/base/figure_kind.h"
#include "figures/canvas/canvas.h"
#include "figures/rect/rect_ex.h"
#include "platform/text/qt_text.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/editor/in_place_editing.h"
#include "view/editor/text_editor_input.h"
#include "view/selection/view_selection.h"

namespace {

using Items = std::vector<ViewMenuItem>;
constexpr ViewMenuItem kSeparator{};

const ViewMenuItem kCut{Cmd_Cut, "切り取り(&T)", "Cu&t"};
const ViewMenuItem kCopy{Cmd_Copy, "コピー(&C)", "&Copy"};
const ViewMenuItem kPaste{Cmd_Paste, "貼り付け(&P)", "&Paste"};
// The figure menus copy with the point clicked as the anchor; the canvas
// menu pastes there.
const ViewMenuItem kCopyAt{Cmd_CopyAtPoint, "コピー(&C)", "&Copy"};
const ViewMenuItem kPasteAt{Cmd_PasteAtPoint, "貼り付け(&V)", "&Paste"};
const ViewMenuItem kDelete{Cmd_Delete, "削除(&D)", "&Delete"};
const ViewMenuItem kSelectAll{Cmd_SelectAll, "すべて選択(&A)", "Select &All"};
const ViewMenuItem kUndo{Cmd_Undo, "元に戻す", "&Undo"};
const ViewMenuItem kRedo{Cmd_Redo, "進む(&R)", "&Redo"};
const ViewMenuItem kFront{Cmd_OneFront, "１つ手前(&F)", "&Front"};
const ViewMenuItem kBack{Cmd_OneBack, "１つ奥(&P)", "Bac&k"};
const ViewMenuItem kTop{Cmd_ToTop, "最前(&T)", "&Top"};
const ViewMenuItem kBottom{Cmd_ToBottom, "最奥(&B)", "&Bottom"};
const ViewMenuItem kTextDialog{Cmd_TextDialog, "エディター起動(&Z)", "&Editor"};
const ViewMenuItem kLinkAddress{Cmd_LinkAddress, "リンク先アドレス編集(&X)", "Edit Link Addre&ss"};
const ViewMenuItem kLock{Cmd_LockToggle, "固定状態の切替(&Q)", "&Lock / Unlock"};
const ViewMenuItem kNewLinkPage{Cmd_NewLinkPage, "新規リンクページ(K)...", "New Lin&k Page..."};
const ViewMenuItem kConnect{Cmd_ConnectWithText, "テキストと接続(&A)", "Connect with &Text"};

}  // namespace

const std::vector<ViewMenuItem>& ViewMenu_items(ViewMenu menu) {
  static const Items drag = {{Cmd_DragCopy, "コピー(&C)", "&Copy"},
                             {Cmd_DragMove, "移動(&M)", "&Move"},
                             {Cmd_MakeShortcut, "ショートカットの作成(&S)", "Create &Shortcut"},
                             kSeparator,
                             {Cmd_DragCancel, "キャンセル", "Cancel"}};
  static const Items editor = {kCut,
                               kCopy,
                               kPaste,
                               kSeparator,
                               kSelectAll,
                               kSeparator,
                               {Cmd_InsertDate, "日時挿入(&T)", "Insert &Date"},
                               {Cmd_Reconvert, "漢字再変換(&R)", "&Reconvert"},
                               {Cmd_SendToInputMethod, "ローマ字をIMEに送る(&S)",
                                "&Send to Input Method"}};
  static const Items canvas = {kPasteAt,
                               kSelectAll,
                               kSeparator,
                               kUndo,
                               kRedo,
                               kSeparator,
                               {Cmd_PageButtons, "ページボタン貼り付け", "Paste Page &Buttons"},
                               {Cmd_GridCatch, "引っ掛ける(&C)", "&Catch"},
                               {Cmd_GridDisplay, "表示する(&D)", "&Display"},
                               {Cmd_AutoCorrect, "自動補正する", "Auto Correct"}};
  static const Items canvasShort = {kPasteAt, kSelectAll};
  static const Items line = {kCut,    kCopyAt,  kPaste, kDelete, kSeparator, kConnect,
                             kSeparator, kFront, kBack, kTop, kBottom, kSeparator, kLock};
  static const Items image = {kCut,
                              kCopyAt,
                              kPaste,
                              kDelete,
                              kSeparator,
                              {Cmd_ImageShrink, "縮小する(&Q)", "&Shrink"},
                              {Cmd_ImageActualSize, "100%に戻す(&O)", "&Actual Size"},
                              {Cmd_ImageZoomUp, "ズームアップ(&G)", "&Zoom Up"},
                              kSeparator,
                              kFront,
                              kBack,
                              kTop,
                              kBottom,
                              kSeparator,
                              kLinkAddress,
                              kLock};
  static const Items appBar = {{Cmd_NoteBarMode, "ドッキング解除(C)", "Un&dock"},
                               kSeparator,
                               kCut,
                               kCopy,
                               kPaste,
                               kDelete};
  static const Items prim = {kCut,       kCopyAt,      kPaste, kDelete,      kSeparator,
                             kFront,     kBack,      kTop,   kBottom,      kSeparator,
                             kTextDialog, kLinkAddress, kLock, kNewLinkPage};
  switch (menu) {
    case ViewMenu::Drag: return drag;
    case ViewMenu::EditorRight: return editor;
    case ViewMenu::CanvasRight: return canvas;
    case ViewMenu::CanvasRightShort: return canvasShort;
    case ViewMenu::PrimRightForLine: return line;
    case ViewMenu::PrimRightImage: return image;
    case ViewMenu::PrimRightAppBar: return appBar;
    case ViewMenu::PrimRight: break;
  }
  return prim;
}

const char* ViewMenu_name(ViewMenu menu) {
  switch (menu) {
    case ViewMenu::Drag: return "DragMenu";
    case ViewMenu::EditorRight: return "Editor Right";
    case ViewMenu::CanvasRight:
    case ViewMenu::CanvasRightShort: return "CanvasRight";
    case ViewMenu::PrimRightForLine: return "PrimRightForLine";
    case ViewMenu::PrimRightImage: return "PrimRight";
    case ViewMenu::PrimRightAppBar: return "PrimRight AppBar";
    case ViewMenu::PrimRight: break;
  }
  return "PrimRight";
}

ViewContextMenus::ViewContextMenus(CChildView& view) : view_(view) {
  exec = [](QMenu& menu, QPoint global) { return menu.exec(global); };
}

void ViewContextMenus::OpenAt(QPoint client) {
  open(choose(view_.ClientToCanvas({client.x(), client.y()})), client);
}

ViewMenu ViewContextMenus::choose(Point32 p) const {
  if (view_.inPlace().active()) return ViewMenu::EditorRight;
  const Canvas* canvas = view_.currentCanvas();
  if (canvas != nullptr && (p.x > canvas->width() || p.y > canvas->height())) {
    return ViewMenu::CanvasRightShort;
  }
  const ViewSelection* sel = view_.selection();
  const CadPrim* held = sel ? sel->HoldPrim() : nullptr;
  if (held == nullptr || held->GetKind() == FigureKind_Canvas) return ViewMenu::CanvasRight;
  if (FigureKind_hasEnds(held->GetKind()) || held->GetKind() == FigureKind_Matome) {
    return ViewMenu::PrimRightForLine;
  }
  if (const auto* r = dynamic_cast<const Rect_Ex*>(held); r && r->shape == RectShape_Image) {
    return ViewMenu::PrimRightImage;
  }
  if (noteBarMode) return ViewMenu::PrimRightAppBar;
  return ViewMenu::PrimRight;
}

void ViewContextMenus::Build(QMenu& menu, ViewMenu which) const {
  const bool ja = view_.japanese();
  const bool editing = which == ViewMenu::EditorRight && view_.inPlace().active();
  for (const ViewMenuItem& item : ViewMenu_items(which)) {
    if (item.id == 0) {
      menu.addSeparator();
      continue;
    }
    QAction* a = menu.addAction(QtText_fromCp932(ja ? item.japanese : item.english));
    a->setData(item.id);
    bool enabled = false;
    if (editing && (item.id == Cmd_Cut || item.id == Cmd_Copy || item.id == Cmd_Paste ||
                    item.id == Cmd_SelectAll)) {
      // The editor's own clipboard and selection.
      const Text_Editor& ed = view_.inPlace().editor();
      enabled = item.id == Cmd_Paste || item.id == Cmd_SelectAll || ed.hasSelection();
    } else if (item.id == Cmd_DragCancel) {
      enabled = true;  // closes the menu and does nothing
    } else if (table_ != nullptr) {
      const QAction* command = table_->action(item.id);
      enabled = table_->enabled(item.id);
      if (command != nullptr && command->isCheckable()) {
        a->setCheckable(true);
        a->setChecked(command->isChecked());
      }
    }
    a->setEnabled(enabled);
  }
}

void ViewContextMenus::open(ViewMenu which, QPoint client) {
  lastMenu_ = static_cast<int>(which);
  lastPoint_ = view_.ClientToCanvas({client.x(), client.y()});
  int dx = 2;
  if (which == ViewMenu::CanvasRightShort || which == ViewMenu::PrimRightForLine) dx += 8;
  if (table_ != nullptr) table_->updateChecks();
  QMenu menu(&view_);
  menu.setObjectName(QString::fromLatin1(ViewMenu_name(which)));
  Build(menu, which);
  const QPoint at = which == ViewMenu::Drag ? client : client + QPoint(dx, 2);
  QAction* chosen = exec ? exec(menu, view_.viewport()->mapToGlobal(at)) : nullptr;
  if (chosen == nullptr || !chosen->isEnabled()) return;
  runItem(chosen->data().toInt());
}

void ViewContextMenus::runItem(int id) {
  InPlaceEditing& editing = view_.inPlace();
  if (editing.active() &&
      (id == Cmd_Cut || id == Cmd_Copy || id == Cmd_Paste || id == Cmd_SelectAll)) {
    QtEditorClipboard clip;
    Text_Editor& ed = editing.editor();
    if (id == Cmd_Cut) ed.CutSelection(clip);
    if (id == Cmd_Copy) ed.CopySelection(clip);
    if (id == Cmd_Paste) ed.Paste(clip);
    if (id == Cmd_SelectAll) ed.SelectAll();
    editing.Refresh(true);
    return;
  }
  if (id == Cmd_DragCancel) return;
  if (table_ != nullptr) table_->run(id);
}

void ViewContextMenus::OpenForKey() {
  QPoint at(0, 0);
  Point32 p{0, 0};
  if (view_.inPlace().active()) {
    at = view_.inPlace().CaretRect().bottomLeft();
    p = view_.ClientToCanvas({at.x(), at.y()});
  } else if (const ViewSelection* sel = view_.selection(); sel && sel->HoldPrim()) {
    p = {sel->HoldPrim()->GetEdge(1), sel->HoldPrim()->GetEdge(3)};
    const Point32 c = view_.CanvasToClient(p);
    at = {c.x, c.y};
  }
  open(choose(p), at);
}
