#include "view/keyboard/text_box_keys.h"

#include <QAction>
#include <QKeySequence>

#include <memory>
#include <optional>

#include "document/note/note_document.h"
#include "figures/base/app_counters.h"
#include "figures/base/figure_kind.h"
#include "figures/canvas/canvas.h"
#include "figures/editor/text_editor.h"
#include "figures/text/text_box.h"
#include "platform/text/qt_text_metrics.h"
#include "undo/undo_history.h"
#include "view/child_view/child_view.h"
#include "view/commands/command_ids.h"
#include "view/commands/command_table.h"
#include "view/editor/in_place_editing.h"
#include "view/history/view_history.h"
#include "view/selection/view_selection.h"

namespace {

const TextMetrics& metricsOf(CChildView& view) {
  if (const TextMetrics* m = view.host().Metrics()) return *m;
  static QtTextMetrics own;
  return own;
}

DrawContext contextOf(CChildView& view) {
  DrawContext ctx;
  view.FillDrawContext(ctx, false);
  return ctx;
}

Text_Box* heldTextBox(CChildView& view) {
  ViewSelection* sel = view.selection();
  CadPrim* f = sel ? sel->HoldPrim() : nullptr;
  return f != nullptr && f->GetKind() == FigureKind_Text ? dynamic_cast<Text_Box*>(f) : nullptr;
}

// Adds `made` to the shown page, holds it, records its creation and edits
// it in place as a box of this edit.
Text_Box& addAndEdit(CChildView& view, std::unique_ptr<Text_Box> made) {
  ViewSelection& sel = *view.selection();
  made->Layout(metricsOf(view), contextOf(view));
  auto& box = static_cast<Text_Box&>(sel.page().append(std::move(made)));
  sel.SelectOnly(box);
  NoteDocument* doc = view.host().Document();
  UndoHistory* history = view.host().History();
  if (doc != nullptr && history != nullptr && doc->currentPage() != nullptr) {
    history->RecordCreation(box, *doc, doc->currentPageNumber());
  }
  view.inPlace().Begin(box, std::nullopt, true);
  view.EnsureVisible(box.GetBounds());
  view.host().ModifiedChanged();
  return box;
}

}  // namespace

Point32 NextTextPosition::Take(int32_t width, int32_t height) {
  if (at.y > height) {
    at.x += 60;
    at.y = 30;
  }
  if (at.x > width) at.x = 30;
  const Point32 place = at;
  at.y += 30;
  return place;
}

Text_Box* TextBoxKeys_newBox(CChildView& view, NextTextPosition& next) {
  if (view.selection() == nullptr || view.m_ViewerMode) return nullptr;
  view.inPlace().End();
  ViewHistory_flushPendingChange(view);
  view.selection()->DeselectAll(true);
  const Canvas* canvas = view.currentCanvas();
  const Point32 at = next.Take(canvas ? canvas->width() : 450, canvas ? canvas->height() : 300);
  // The default text box of a paste (no text tool template is kept).
  auto made = std::make_unique<Text_Box>(&metricsOf(view));
  made->SetNumber(AppCounters_instance().nextFigureNumber());
  made->SetText("ABC");
  made->placeholder = true;
  made->fontFace = view.japanese() ? "ＭＳ Ｐゴシック" : "Arial";
  made->fontSize = 10;
  made->frameShape = TextBoxFrame_Rectangle;
  made->marginX = 8;
  made->marginY = 6;
  made->frameWidth = 1;
  made->frameColour = 0;
  made->fillColour = 0xFFFFFF;
  made->SetBasePoint(at.x, at.y);
  made->EnsureMinimumSize();
  return &addAndEdit(view, std::move(made));
}

bool TextBoxKeys_editHeld(CChildView& view) {
  Text_Box* box = heldTextBox(view);
  if (box == nullptr) return false;
  InPlaceEditing& edit = view.inPlace();
  if (edit.active() && edit.box() == box) return true;  // its selection stays
  ViewHistory_flushPendingChange(view);
  edit.Begin(*box, std::nullopt);
  return true;
}

int32_t TextBoxKeys_continueOffset(const Text_Box& box) {
  // The style step below the last line is not kept by text boxes: 0.
  return box.fontSize + box.lineSpacing * (box.lineCount - 1) + 2 * box.marginY + 7;
}

bool TextBoxKeys_continueBelow(CChildView& view) {
  InPlaceEditing& edit = view.inPlace();
  Text_Box* box = edit.box();
  if (box == nullptr || !edit.newTextBox() || view.selection() == nullptr) return false;
  const Text_Editor& editor = edit.editor();
  if (editor.hasSelection() || editor.caret() != static_cast<int32_t>(editor.text().size())) {
    return false;
  }
  std::unique_ptr<CadPrim> copy = box->Clone(&view.selection()->page());
  edit.End();
  auto next = std::unique_ptr<Text_Box>(static_cast<Text_Box*>(copy.release()));
  next->SetNumber(AppCounters_instance().nextFigureNumber());
  next->SetText("");
  next->placeholder = false;
  const Point32 base = next->basePoint();
  next->SetBasePoint(base.x, base.y + TextBoxKeys_continueOffset(*next));
  view.selection()->DeselectAll(true);
  addAndEdit(view, std::move(next));
  return true;
}

bool TextBoxKeys_aroundEdit(CChildView& view, const std::function<bool()>& change) {
  InPlaceEditing& edit = view.inPlace();
  Text_Box* box = edit.box();
  if (box == nullptr || view.selection() == nullptr) return change();
  const int32_t number = box->GetNumber();
  const int32_t anchor = edit.editor().anchor();
  const int32_t caret = edit.editor().caret();
  edit.End();
  const bool done = change();
  // An untouched new box is gone with the end of its edit.
  CadPrim* again = view.selection()->page().FindFigureByNumber(number);
  if (again != nullptr && again == box) {
    edit.Begin(*box, std::nullopt);
    edit.editor().Select(anchor, caret);
    edit.Refresh(false);
  }
  return done;
}

void TextBoxKeys_register(CommandTable& table, CChildView& view) {
  CChildView* v = &view;
  auto onView = [v](QAction* a) {
    if (auto* owner = qobject_cast<QWidget*>(a->parent())) owner->removeAction(a);
    a->setShortcutContext(Qt::WidgetShortcut);
    v->addAction(a);
  };
  // While editing, Enter and Space are typed into the text (the editor
  // takes them before the shortcut).
  QAction* enter = table.add(
      Cmd_KeyEnter, {}, {},
      {QKeySequence(Qt::Key_Return), QKeySequence(Qt::SHIFT | Qt::Key_Return),
       QKeySequence(Qt::Key_Enter)},
      [v] {
        if (!v->inPlace().active()) TextBoxKeys_editHeld(*v);
      });
  enter->setToolTip(QString::fromUtf8(v->japanese() ? "\xe6\x94\xb9\xe8\xa1\x8c" : "New Line"));
  onView(enter);
  auto next = std::make_shared<NextTextPosition>();
  onView(table.add(Cmd_KeySpace, {}, {}, {QKeySequence(Qt::Key_Space)}, [v, next] {
    if (!v->inPlace().active()) TextBoxKeys_newBox(*v, *next);
  }));
}
