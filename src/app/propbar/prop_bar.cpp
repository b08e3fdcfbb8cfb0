#include "app/propbar/prop_bar.h"

#include <ctime>

#include "core/errors/errors.h"
#include "core/errors/result_code.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "figures/canvas/canvas.h"

// Qt after the core headers.
#include "app/mainframe/main_frame.h"
#include <QListWidget>
#include <QResizeEvent>
#include <QShowEvent>
#include <QVBoxLayout>

#include "platform/text/qt_text.h"
#include "platform/windows/window_ids.h"
#include "view/dialogs/dialog_run.h"
#include "view/dialogs/input_dialogs.h"
#include "view/dialogs/input_ml_dialog.h"
#include "view/selection/view_selection.h"

namespace {

constexpr const char* kDateFormat = "%Y/%m/%d-%H:%M:%S";

std::time_t readDate(const std::string& text) {
  std::tm tm{};
  if (strptime(text.c_str(), kDateFormat, &tm) == nullptr) return std::time(nullptr);
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

std::string dateText(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char buf[64];
  return std::string(buf, std::strftime(buf, sizeof buf, kDateFormat, &tm));
}

}  // namespace

CZerbinPropBar::CZerbinPropBar(CMainFrame& frame)
    : QDockWidget(&frame), frame_(frame), list_(new QListWidget(this)) {
  const bool ja = frame.options().japanese;
  setObjectName("propBar");
  setWindowTitle(QtText_fromCp932(ja ? "プロパティ" : "Property"));
  list_->setObjectName("propList");
  list_->setContextMenuPolicy(Qt::CustomContextMenu);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  setWidget(list_);
  // The edit runs after the click is handled: its dialogs are modal and
  // the list is filled anew afterwards.
  connect(list_, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
    const int32_t line = list_->row(item);
    QMetaObject::invokeMethod(this, [this, line] { EditLine(line); }, Qt::QueuedConnection);
  });
  connect(list_, &QListWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QListWidgetItem* item = list_->itemAt(at);
    if (item == nullptr) return;
    list_->setCurrentItem(item);
    const int32_t line = list_->row(item);
    QMetaObject::invokeMethod(this, [this, line] { EditLine(line); }, Qt::QueuedConnection);
  });
}

void CZerbinPropBar::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  Refresh();
}

void CZerbinPropBar::resizeEvent(QResizeEvent* event) {
  QDockWidget::resizeEvent(event);
  if (isVisible()) keptSize = size();
}

std::vector<CadPrim*> CZerbinPropBar::selection() const {
  ViewSelection* s = frame_.hasNote() ? frame_.view().selection() : nullptr;
  return s != nullptr ? s->Selection() : std::vector<CadPrim*>();
}

void CZerbinPropBar::RefreshSoon() {
  if (refreshDue_ || !isVisible()) return;
  refreshDue_ = true;
  QMetaObject::invokeMethod(this, [this] {
    if (refreshDue_) Refresh();
  }, Qt::QueuedConnection);
}

void CZerbinPropBar::Refresh(int32_t kind) {
  refreshDue_ = false;
  if (!isVisible()) return;
  const std::vector<CadPrim*> sel = selection();
  std::vector<int32_t> numbers;
  numbers.reserve(sel.size());
  for (const CadPrim* f : sel) numbers.push_back(f->GetNumber());
  // A kind the user chose stays while the same figures are selected.
  const bool sameFigures = numbers == listed_;
  if (kind == PropBar_noKind && sameFigures && listing_.shownKind >= 0) kind = listing_.shownKind;
  // Another selection: no line of the last one stays marked.
  if (!sameFigures) list_->setCurrentRow(-1);
  listed_ = std::move(numbers);
  const std::vector<PropInkStroke> ink =
      sel.empty() && inkSelection ? inkSelection() : std::vector<PropInkStroke>();
  const Canvas* canvas = frame_.hasNote() ? &frame_.document().workingSettings() : nullptr;
  const std::string folder =
      frame_.notePath().empty() ? std::string() : StrX_parentFolder(frame_.notePath());
  listing_ = PropBar_list(sel, canvas, ink, kind, frame_.options().japanese, folder);
  // The items are kept and their texts replaced: a refresh during a click
  // on the list frees no item the click still uses.
  const int count = static_cast<int>(listing_.lines.size());
  while (list_->count() > count) delete list_->takeItem(list_->count() - 1);
  for (int i = 0; i < count; ++i) {
    const QString text = QtText_fromCp932(listing_.lines[static_cast<size_t>(i)]);
    if (i < list_->count()) {
      if (list_->item(i)->text() != text) list_->item(i)->setText(text);
    } else {
      list_->addItem(text);
    }
  }
}

QPoint CZerbinPropBar::lineCentre(int32_t line) const {
  QListWidgetItem* item = list_->item(line);
  const QRect r = item != nullptr ? list_->visualItemRect(item) : list_->viewport()->rect();
  return list_->viewport()->mapToGlobal(r.center());
}

void CZerbinPropBar::report(const std::string& text) const {
  UserPrompts_get().messageBox(text, "Zerbin", PromptButtons::Ok, PromptIcon::Warning,
                               PromptAnswer::Ok, WindowIds_idOf(&frame_));
}

void CZerbinPropBar::EditLine(int32_t line) {
  if (!frame_.hasNote() || line < 0 || line >= static_cast<int32_t>(listing_.lines.size())) return;
  // A running in-place edit and pending nudges are recorded first: the
  // change is made on what the user sees.  When that changed the line
  // clicked (an untouched new text box goes away), nothing is edited.
  // The row's name (the value may change with the commit).
  auto nameOf = [](const std::string& l) { return l.substr(0, l.find(" =")); };
  const std::string clicked = nameOf(listing_.lines[static_cast<size_t>(line)]);
  const PropListingSource source = listing_.source;
  frame_.CommitPendingEdits();
  if (!isVisible() || !frame_.hasNote()) return;
  Refresh(listing_.shownKind >= 0 ? listing_.shownKind : PropBar_noKind);
  if (line >= static_cast<int32_t>(listing_.lines.size()) || listing_.source != source ||
      nameOf(listing_.lines[static_cast<size_t>(line)]) != clicked)
    return;
  const QPoint at = lineCentre(line);
  switch (listing_.source) {
    case PropListingSource::Mixed:
      if (line == 0) chooseKind(at);
      return;
    case PropListingSource::Figures:
      if (line == 0) {
        if (PropBar_kinds(selection(), true).size() > 1) chooseKind(at);
        return;
      }
      editRow(listing_.rowOfLine(line), at);
      return;
    case PropListingSource::Canvas:
      editRow(line, at);
      return;
    case PropListingSource::Ink:
      if (line > 0) editInk(listing_.rowOfLine(line), at);
      return;
  }
}

void CZerbinPropBar::chooseKind(QPoint at) {
  const bool ja = frame_.options().japanese;
  const auto kinds = PropBar_kinds(selection(), ja);
  std::vector<std::string> names;
  for (const auto& k : kinds) names.push_back(k.second);
  CInputSelectDlg dialog(this, ja ? "タイプ" : "Type", names, 0);
  InputDialogs_centreOn(dialog, at);
  if (Dialog_run(dialog) != QDialog::Accepted) return;
  const int32_t i = dialog.chosen();
  if (i < 0 || static_cast<size_t>(i) >= kinds.size()) return;
  listed_.clear();
  Refresh(kinds[static_cast<size_t>(i)].first);
}

bool CZerbinPropBar::askValue(const PropertyRow& row, const std::vector<const CadPrim*>& edited,
                              QPoint at, std::string& value) {
  const bool ja = frame_.options().japanese;
  const std::string title = ja ? "プロパティ" : "Property";
  const std::string folder =
      frame_.notePath().empty() ? std::string() : StrX_parentFolder(frame_.notePath());
  switch (row.kind) {
    case PropertyRowKind_Text:
    case PropertyRowKind_TargetWindow:
    case PropertyRowKind_ClassName:
    case PropertyRowKind_Id:
    case PropertyRowKind_Url:
    case PropertyRowKind_ImagePath: {
      std::string text = row.value;
      for (;;) {
        const std::vector<std::string> targets =
            row.kind == PropertyRowKind_TargetWindow ? std::vector<std::string>{"_blank", "_top"}
                                                     : std::vector<std::string>{};
        CInputDlg1 dialog(this, title, row.name, text, targets);
        if (row.kind == PropertyRowKind_Url || row.kind == PropertyRowKind_ImagePath) {
          dialog.addBrowse(row.extra.filter, folder);
        }
        InputDialogs_centreOn(dialog, at);
        if (Dialog_run(dialog) != QDialog::Accepted) return false;
        text = dialog.text();
        if (row.kind == PropertyRowKind_Id &&
            PropBar_idTaken(frame_.document(), text, edited) &&
            UserPrompts_get().messageBox(
                ja ? PropBar_duplicateIdJa : "This id is already used. Set it anyway?", "Zerbin",
                PromptButtons::OkCancel, PromptIcon::Question, PromptAnswer::Ok,
                WindowIds_idOf(&frame_)) != PromptAnswer::Ok) {
          continue;  // asked again, with the text entered
        }
        value = text;
        return true;
      }
    }
    case PropertyRowKind_Colour: {
      uint32_t colour = 0;
      StrX_readColor(row.value, colour);
      CColorDialog dialog(this, colour);
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted) return false;
      value = StrX_colorText(dialog.colour());
      return true;
    }
    case PropertyRowKind_Font: {
      StrX_Font font{{}, 100, false, false};
      PropertyRow_readFontValue(row.value, font);
      QFont qfont(QtText_fromCp932(font.face));
      qfont.setPointSizeF(std::max(font.size10, 10) / 10.0);
      qfont.setBold(font.bold);
      qfont.setItalic(font.italic);
      CFontDialog dialog(this, qfont);
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted) return false;
      const QFont chosen = dialog.currentFont();
      const double points = chosen.pointSizeF() > 0 ? chosen.pointSizeF() : 10.0;
      value = PropertyRow_fontValue({QtText_toCp932(chosen.family()),
                                     static_cast<int32_t>(points * 10 + 0.5), chosen.bold(),
                                     chosen.italic()});
      return true;
    }
    case PropertyRowKind_OnOff:
      return true;  // flipped without a dialog
    case PropertyRowKind_Integer: {
      CInputIntDlg1 dialog(this, title, row.name, StrX_toInt(row.value));
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted) return false;
      value = dialog.text();
      return true;
    }
    case PropertyRowKind_Choice: {
      CInputSelectDlg dialog(this, row.name, row.extra.choices, StrX_toInt(row.value));
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted || dialog.chosen() < 0) return false;
      value = std::to_string(dialog.chosen());
      return true;
    }
    case PropertyRowKind_MultiLine: {
      CInputML1 dialog(this, row.value, ja, at);
      dialog.setWindowTitle(QtText_fromCp932(ja ? "テキスト編集" : "Edit Text"));
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted) return false;
      value = lastMultiLine_ = dialog.text();
      return true;
    }
    case PropertyRowKind_DateTime: {
      CAlarmDlg dialog(this, ja, readDate(row.value));
      InputDialogs_centreOn(dialog, at);
      if (Dialog_run(dialog) != QDialog::Accepted) return false;
      value = dateText(dialog.time());
      return true;
    }
    case PropertyRowKind_ReadOnly:
      return false;
  }
  return false;
}

void CZerbinPropBar::editRow(int32_t r, QPoint at) {
  if (r < 0) return;
  const bool ja = frame_.options().japanese;
  NoteDocument& doc = frame_.document();
  const bool canvasRow = listing_.source == PropListingSource::Canvas;
  const std::string folder =
      frame_.notePath().empty() ? std::string() : StrX_parentFolder(frame_.notePath());
  std::vector<CadPrim*> figures;
  if (canvasRow) {
    figures.push_back(&doc.workingSettings());
  } else {
    figures = PropBar_ofKind(selection(), listing_.shownKind);
  }
  if (figures.empty()) return;
  const PropertyRow row = figures.front()->GetProperty(r, ja, PropBar_valueCapacity, folder);
  if (static_cast<int32_t>(row.kind) < 0 || row.kind > PropertyRowKind_max) {
    Errors_printf("property row %d of kind %d", r, static_cast<int>(row.kind));
    ReportToUserText(WindowIds_idOf(&frame_), {}, ResultCode_getText(Errors_Unofficial));
    return;
  }
  if (row.kind == PropertyRowKind_ReadOnly) return;
  std::string entered;
  if (!askValue(row, {figures.begin(), figures.end()}, at, entered)) return;
  std::optional<std::string> value =
      row.kind == PropertyRowKind_MultiLine ? std::optional<std::string>(entered)
                                            : PropBar_valueFor(row, entered, frame_.notePath());
  if (!value) return;
  const bool pathRow = row.kind == PropertyRowKind_Url || row.kind == PropertyRowKind_ImagePath ||
                       row.kind == PropertyRowKind_Id;
  const std::string tooLong =
      ja ? "259 バイトを超えるため設定できません：" : "Longer than 259 bytes, not set: ";
  if (pathRow && value->size() > PropBar_pathLimit) {
    report(tooLong + *value);
    return;
  }
  // The dialogs were modal, but what they waited on may have changed the
  // page: the figures are taken from the selection again.
  if (!frame_.hasNote()) return;
  PropEditTarget target{&frame_.document(), &frame_.undo(), frame_.document().currentPageNumber(),
                        folder};
  if (canvasRow) {
    bool everyPage = false;
    if (target.pageNumber == 0) {
      everyPage = UserPrompts_get().messageBox(ja ? PropBar_everyPageJa : "Set it on every page?",
                                               "Zerbin", PromptButtons::YesNo,
                                               PromptIcon::Question, PromptAnswer::No,
                                               WindowIds_idOf(&frame_)) == PromptAnswer::Yes;
    }
    if (!PropBar_applyToCanvas(target, r, *value, everyPage)) {
      report(tooLong + *value);
      return;
    }
    frame_.view().UpdateScrollSizes();
  } else {
    figures = PropBar_ofKind(selection(), listing_.shownKind);
    PropBar_applyToFigures(target, figures, r, *value);
  }
  frame_.view().Invalidate();
  Refresh(listing_.shownKind >= 0 ? listing_.shownKind : PropBar_noKind);
}

void CZerbinPropBar::editInk(int32_t row, QPoint at) {
  if (!inkSelection || !applyInk || row < 0 || row > 2) return;
  const std::vector<PropInkStroke> strokes = inkSelection();
  if (strokes.empty()) return;
  const bool ja = frame_.options().japanese;
  std::string value;
  if (row == 0) {
    CColorDialog dialog(this, strokes.front().colour);
    InputDialogs_centreOn(dialog, at);
    if (Dialog_run(dialog) != QDialog::Accepted) return;
    value = StrX_colorText(dialog.colour());
  } else if (row == 1) {
    CInputIntDlg1 dialog(this, ja ? "プロパティ" : "Property", ja ? "幅" : "Width",
                         strokes.front().width);
    InputDialogs_centreOn(dialog, at);
    if (Dialog_run(dialog) != QDialog::Accepted) return;
    value = std::to_string(std::clamp(StrX_toInt(dialog.text()), 10, 9999));
  } else {
    value = std::string(1, strokes.front().pressure ? '0' : '1');
  }
  applyInk(row, value);
  frame_.view().Invalidate();
  Refresh();
}
