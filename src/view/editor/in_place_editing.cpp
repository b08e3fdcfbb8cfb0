#include "view/editor/in_place_editing.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleHints>

#include <algorithm>

#include "document/note/note_document.h"
#include "figures/base/app_counters.h"
#include "figures/base/figure_kind.h"
#include "figures/canvas/canvas.h"
#include "platform/text/qt_text_metrics.h"
#include "figures/text/text_box.h"
#include "undo/undo_history.h"
#include "view/child_view/child_view.h"
#include "view/editor/text_editor_input.h"
#include "view/history/view_history.h"
#include "view/selection/view_selection.h"

bool InPlaceEditing_isInitialText(const std::string& text) {
  return text.empty() || text == "ABC" || text == "あいう";
}

InPlaceEditing::InPlaceEditing(CChildView& view) : view_(view) {
  QObject::connect(&blink_, &QTimer::timeout, &view_, [this] {
    caretOn_ = !caretOn_;
    view_.viewport()->update(CaretRect().adjusted(-1, -1, 1, 1));
  });
}

InPlaceEditing::~InPlaceEditing() = default;

DrawContext InPlaceEditing::context() const {
  DrawContext ctx;
  view_.FillDrawContext(ctx, true);
  return ctx;
}

void InPlaceEditing::Begin(Text_Box& box, std::optional<Point32> caretAt, bool newBox) {
  if (box_ == &box) {
    if (caretAt) {
      editor_.extendSelection = false;
      editor_.SetCaretFromPoint(caretAt->x, caretAt->y);
      changed(false);
    }
    return;
  }
  End();
  const DrawContext ctx = context();
  if (box.textMetrics()) box.Layout(*box.textMetrics(), ctx);
  // Pending nudges become their own step; the box's own change will be
  // the edit's text step, not a pending change.
  ViewHistory_flushPendingChange(view_);
  if (ViewSelection* sel = view_.selection()) {
    if (sel->HoldPrim() != &box) sel->SelectOnly(box);
    sel->DiscardBeforeCopies();
  }
  box_ = &box;
  boxNumber_ = box.GetNumber();
  textBefore_ = box.text();
  newTextBox_ = newBox;
  pressInEditor_ = false;
  editor_.BeginEdit(box, false, ctx);
  if (caretAt) {
    editor_.extendSelection = false;
    editor_.SetCaretFromPoint(caretAt->x, caretAt->y);
  } else {
    editor_.SelectAll();
  }
  view_.setAttribute(Qt::WA_InputMethodEnabled, true);
  view_.viewport()->setCursor(Qt::IBeamCursor);
  if (QGuiApplication::inputMethod()) QGuiApplication::inputMethod()->update(Qt::ImQueryAll);
  changed(false);
}

void InPlaceEditing::BeginAt(Text_Box& box, int32_t caret) {
  Begin(box, std::nullopt);
  if (box_ != &box) return;
  editor_.Select(caret, caret);
  changed(false);
}

bool InPlaceEditing::Changed() const {
  if (box_ == nullptr) return false;
  // A composition under way is text being typed.
  if (editor_.IsComposing()) return true;
  std::string t = editor_.text();
  if (editor_.placeholder && t == "あいう") t = "ABC";
  return t != textBefore_;
}

bool InPlaceEditing::End() {
  if (box_ == nullptr) return false;
  // A composition the input method still holds is handed over first.
  if (editor_.IsComposing() && QGuiApplication::inputMethod()) {
    QGuiApplication::inputMethod()->commit();
    if (box_ == nullptr) return false;  // the commit ended the edit
  }
  Text_Box& box = *box_;
  box_ = nullptr;
  const bool composing = editor_.IsComposing();
  editor_.CommitRun();
  editor_.EndEdit(box, false, true);
  // The box is laid out as undo and redo lay it out (the view's context:
  // its line spacing when the text first has several lines), not as the
  // editor left it.
  if (box.textMetrics()) {
    const std::string text = box.text();
    box.SetText(text);
    box.Layout(*box.textMetrics(), context());
  }
  const std::string& now = box.text();
  const bool textChanged = now != textBefore_;
  NoteDocument* doc = view_.host().Document();
  UndoHistory* history = view_.host().History();
  if (textChanged && doc != nullptr && history != nullptr && doc->currentPage() != nullptr) {
    history->RecordText(boxNumber_, editor_.caret(), textBefore_, now, *doc,
                        doc->currentPageNumber());
  }
  blink_.stop();
  caretOn_ = false;
  pressInEditor_ = false;
  view_.viewport()->setCursor(Qt::ArrowCursor);
  view_.setAttribute(Qt::WA_InputMethodEnabled, false);
  if (newTextBox_ && !composing && !textChanged && InPlaceEditing_isInitialText(now)) {
    removeUntouchedNewBox();
  }
  newTextBox_ = false;
  if (QGuiApplication::inputMethod()) QGuiApplication::inputMethod()->update(Qt::ImQueryAll);
  view_.UpdateScrollSizes();
  view_.Invalidate();
  view_.host().ModifiedChanged();
  return textChanged;
}

void InPlaceEditing::removeUntouchedNewBox() {
  ViewSelection* sel = view_.selection();
  CadPrim* box = sel ? sel->page().FindFigureByNumber(boxNumber_) : nullptr;
  if (box == nullptr) return;
  sel->RemoveFromSelection(*box);
  NoteDocument* doc = view_.host().Document();
  UndoHistory* history = view_.host().History();
  if (doc != nullptr && history != nullptr && history->CanUndo()) {
    // The creation is the last step: taking it back takes the box away
    // (with what the same gesture made), and no redo makes an empty box
    // again.  The view lets go of those figures first.
    for (int32_t number : history->MadeByLastStep()) {
      if (CadPrim* made = sel->page().FindFigureByNumber(number)) view_.FigureLeaving(*made);
    }
    history->Retract(*doc);
    history->clearRestored();
  } else {
    sel->page().remove(*box).reset();
  }
}

// --- events ---

bool InPlaceEditing::WantsShortcut(const QKeyEvent& e) const {
  if (box_ == nullptr) return false;
  if (e.matches(QKeySequence::Copy) || e.matches(QKeySequence::Cut) ||
      e.matches(QKeySequence::Paste) || e.matches(QKeySequence::SelectAll)) {
    return true;
  }
  const Qt::KeyboardModifiers mods = e.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
  if (mods != Qt::NoModifier) return false;
  switch (e.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
    case Qt::Key_Tab:
      return true;
    default:
      return !e.text().isEmpty();
  }
}

bool InPlaceEditing::KeyPress(QKeyEvent& e) {
  if (box_ == nullptr) return false;
  if (e.key() == Qt::Key_Escape && e.modifiers() == Qt::NoModifier) {
    End();
    return true;
  }
  QtEditorClipboard clip;
  const size_t before = editor_.text().size();
  const int32_t anchor = editor_.anchor(), caret = editor_.caret();
  TextEditorInput_keyPress(editor_, e, clip);
  changed(editor_.text().size() != before || editor_.anchor() != anchor ||
          editor_.caret() != caret);
  // Every key belongs to the editor while it runs (none reaches the
  // figure commands).
  return true;
}

void InPlaceEditing::InputMethod(QInputMethodEvent& e) {
  if (box_ == nullptr) return;
  TextEditorInput_inputMethod(editor_, e);
  changed(true);
}

QRect InPlaceEditing::CaretRect() const {
  if (box_ == nullptr) return {};
  const SurfaceRect r = editor_.CaretRect(context());
  return QRect(r.left, r.top, std::max(1, r.right - r.left), std::max(1, r.bottom - r.top));
}

QVariant InPlaceEditing::Query(Qt::InputMethodQuery query) const {
  if (box_ == nullptr) return {};
  switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle: return CaretRect();
    case Qt::ImFont: return TextEditorInput_query(editor_, query, context());
    case Qt::ImHints: return static_cast<int>(Qt::ImhMultiLine);
    default: return {};
  }
}

bool InPlaceEditing::Contains(Point32 p) const {
  if (box_ == nullptr) return false;
  // The editor's hit test is the box's, grown to the editing margins.
  auto& ed = const_cast<Text_Editor&>(editor_);
  return ed.HitTest(p.x, p.y, view_.geometry().zoom, 0).code != 0;
}

bool InPlaceEditing::LeftPress(Point32 p, bool shift) {
  if (box_ == nullptr) return false;
  if (!Contains(p)) {
    End();
    return false;
  }
  editor_.extendSelection = shift;
  editor_.SetCaretFromPoint(p.x, p.y);
  editor_.extendSelection = false;
  pressInEditor_ = true;
  changed(false);
  return true;
}

bool InPlaceEditing::RightPress(Point32 p) {
  if (box_ == nullptr) return false;
  if (Contains(p)) return true;
  End();
  return false;
}

bool InPlaceEditing::LeftMove(Point32 p) {
  if (box_ == nullptr || !pressInEditor_) return false;
  editor_.ExtendFromPoint(p.x, p.y);
  changed(false);
  return true;
}

bool InPlaceEditing::LeftRelease() {
  if (!pressInEditor_) return false;
  pressInEditor_ = false;
  editor_.EndDrag();
  return true;
}

bool InPlaceEditing::DoubleClick(Point32 p, bool shift, bool ctrl) {
  if (box_ != nullptr && Contains(p)) {
    editor_.SelectWordAt(p.x, p.y);
    changed(false);
    return true;
  }
  ViewSelection* sel = view_.selection();
  if (sel == nullptr || view_.m_ViewerMode) return false;
  const PageHit hit = sel->HitTestPage(p.x, p.y, view_.geometry().zoom, 0);
  const FigureKind kind = hit.figure ? hit.figure->GetKind() : FigureKind_Canvas;
  if (kind == FigureKind_Text) {
    auto* box = dynamic_cast<Text_Box*>(hit.figure);
    if (box == nullptr || box->IsLocked()) return false;
    Begin(*box, p);
    return true;
  }
  if (kind == FigureKind_CorneredLine) return false;
  return CreateBoxAt(p, shift, ctrl) != nullptr;
}

Text_Box* InPlaceEditing::CreateBoxAt(Point32 p, bool shift, bool ctrl) {
  ViewSelection* sel = view_.selection();
  if (sel == nullptr || view_.m_ViewerMode) return nullptr;
  End();
  ViewHistory_flushPendingChange(view_);
  const TextMetrics* metrics = view_.host().Metrics();
  if (metrics == nullptr) {
    static QtTextMetrics own;
    metrics = &own;
  }
  if (const Canvas* canvas = view_.currentCanvas(); canvas && canvas->snapToGrid()) {
    const Point32 d = canvas->GridSnapOffset(p.x, p.y);
    p = {Figure_toInt32(int64_t{p.x} + d.x), Figure_toInt32(int64_t{p.y} + d.y)};
  }
  sel->DeselectAll(true);
  auto made = std::make_unique<Text_Box>(metrics);
  made->SetNumber(AppCounters_instance().nextFigureNumber());
  made->SetText("ABC");
  made->placeholder = true;
  made->textWidth = 100;
  made->textHeight16 = 320;
  made->fontFace = view_.japanese() ? "ＭＳ Ｐゴシック" : "Arial";
  made->fontSize = 10;
  made->frameWidth = 1;
  made->frameColour = 0;
  made->fillColour = 0xFFFFFF;
  if (!shift && !ctrl) {
    made->SetFrameShape(TextBoxFrame_None);
  } else {
    made->frameShape = shift && ctrl ? TextBoxFrame_Ellipse
                       : shift       ? TextBoxFrame_Diamond
                                     : TextBoxFrame_Rectangle;
    made->marginX = shift && ctrl ? 10 : shift ? 28 : 8;
    made->marginY = 6;
    made->SetAlignment(1);
  }
  made->SetBasePoint(p.x, p.y);
  made->Layout(*metrics, context());
  auto& box = static_cast<Text_Box&>(sel->page().append(std::move(made)));
  NoteDocument* doc = view_.host().Document();
  UndoHistory* history = view_.host().History();
  if (doc != nullptr && history != nullptr && doc->currentPage() != nullptr) {
    history->RecordCreation(box, *doc, doc->currentPageNumber());
  }
  Begin(box, std::nullopt, true);
  return &box;
}

void InPlaceEditing::FocusChanged(bool in) {
  focused_ = in;
  if (box_ == nullptr) return;
  if (in) {
    restartBlink();
  } else {
    blink_.stop();
    caretOn_ = false;
  }
  view_.viewport()->update(CaretRect().adjusted(-1, -1, 1, 1));
}

// --- painting ---

void InPlaceEditing::Draw(Surface& surface, const DrawContext& ctx) {
  if (box_ != nullptr) editor_.Draw(surface, ctx);
}

void InPlaceEditing::PaintOverlay(QPainter& painter) const {
  if (box_ == nullptr) return;
  const DrawContext ctx = context();
  if (editor_.IsComposing()) {
    // The composition is underlined, line by line.
    const auto [a, b] = editor_.CompositionRange();
    const std::string& t = editor_.text();
    const int32_t lineHeight = std::max(1, editor_.lineHeight16 / 16);
    painter.setPen(QPen(Qt::black, 1));
    int32_t from = a;
    while (from < b) {
      const size_t nl = t.find('\n', static_cast<size_t>(from));
      const int32_t to = nl == std::string::npos || static_cast<int32_t>(nl) >= b
                             ? b
                             : static_cast<int32_t>(nl);
      const Point32 p = editor_.PointAt(from), q = editor_.PointAt(to);
      const int y = DrawContext_deviceY(ctx, int64_t{p.y} + lineHeight);
      painter.drawLine(DrawContext_deviceX(ctx, p.x), y, DrawContext_deviceX(ctx, q.x) - 1, y);
      from = to + 1;
    }
  }
  if (caretOn_ && focused_) painter.fillRect(CaretRect(), Qt::black);
}

void InPlaceEditing::restartBlink() {
  caretOn_ = true;
  const int flash = QGuiApplication::styleHints()->cursorFlashTime();
  if (flash > 0 && focused_) {
    blink_.start(flash / 2);
  } else {
    blink_.stop();
  }
}

void InPlaceEditing::keepCaretVisible() {
  const int32_t x = Figure_toInt32(int64_t{editor_.basePoint().x} + editor_.caretX);
  const int32_t y = Figure_toInt32(int64_t{editor_.firstLineTop} + editor_.caretY);
  view_.EnsureVisible(Rect32{x - 8, y - 8, 18, std::max(editor_.lineSpacing, 1) + 16});
}

void InPlaceEditing::changed(bool textChanged) {
  editor_.UpdateCaret();
  keepCaretVisible();
  restartBlink();
  view_.Invalidate();
  if (QGuiApplication::inputMethod()) {
    QGuiApplication::inputMethod()->update(Qt::ImCursorRectangle | Qt::ImFont);
  }
  if (textChanged) view_.host().ModifiedChanged();
}
