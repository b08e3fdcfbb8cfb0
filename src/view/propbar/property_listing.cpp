#include "view/propbar/property_listing.h"

#include <algorithm>

#include "core/errors/except3.h"
#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "figures/canvas/canvas.h"
#include "undo/undo_history.h"

namespace {

constexpr const char* kMixedJa[] = {"タイプ = 未選択",         "",
                                    "選択している図形の種類が", "違うため、表示することが",
                                    "できませんが、タイプを",   "制限すれば一部表示でき",
                                    "ます。"};
constexpr const char* kMixedEn[] = {"Type = not select yet",     "",
                                    "Can not display, because", " the type of selected",
                                    " primitives are not same.", "But selected type can",
                                    " display a part."};

// The value a line shows: a choice row shows the chosen entry.
std::string shownValue(const PropertyRow& row) {
  if (row.kind == PropertyRowKind_Choice) {
    const int32_t i = StrX_toInt(row.value);
    if (i >= 0 && static_cast<size_t>(i) < row.extra.choices.size()) return row.extra.choices[i];
  }
  return row.value;
}

std::string line(const PropertyRow& row) { return row.name + " = " + shownValue(row); }

std::string eachValue(std::string_view name, bool japanese) {
  return std::string(name) + (japanese ? " =（それぞれ）" : " = (each value)");
}

void listInk(PropListing& out, const std::vector<PropInkStroke>& ink, bool j) {
  out.source = PropListingSource::Ink;
  out.firstRowLine = 1;
  out.lines.push_back(j ? "タイプ = インク" : "Type = Ink");
  const PropInkStroke& first = ink.front();
  auto same = [&](auto field) {
    return std::all_of(ink.begin(), ink.end(),
                       [&](const PropInkStroke& s) { return field(s) == field(first); });
  };
  auto add = [&](const char* ja, const char* en, bool uniform, const std::string& value) {
    const std::string name = j ? ja : en;
    out.lines.push_back(uniform ? name + " = " + value : eachValue(name, j));
  };
  add("色", "Color", same([](const PropInkStroke& s) { return s.colour; }), StrX_colorText(first.colour));
  add("幅", "Width", same([](const PropInkStroke& s) { return s.width; }),
      std::to_string(first.width));
  add("筆圧", "Pressure", same([](const PropInkStroke& s) { return s.pressure; }),
      first.pressure ? "1" : "0");
}

// Where the file name part of a path begins (after its last separator,
// found character by character: '\\' is also a second byte).
size_t fileNameStart(std::string_view path) { return path.size() - StrX_fileName(path).size(); }

}  // namespace

std::vector<CadPrim*> PropBar_ofKind(const std::vector<CadPrim*>& selection, int32_t kind) {
  std::vector<CadPrim*> out;
  for (CadPrim* f : selection) {
    if (f != nullptr && f->GetKind() == kind) out.push_back(f);
  }
  return out;
}

std::vector<std::pair<int32_t, std::string>> PropBar_kinds(const std::vector<CadPrim*>& selection,
                                                           bool japanese) {
  std::vector<std::pair<int32_t, std::string>> kinds;
  for (const CadPrim* f : selection) {
    const int32_t k = f->GetKind();
    if (std::none_of(kinds.begin(), kinds.end(), [k](const auto& e) { return e.first == k; })) {
      kinds.emplace_back(k, japanese ? f->GetKindNameJapanese() : f->GetKindNameEnglish());
    }
  }
  return kinds;
}

PropListing PropBar_list(const std::vector<CadPrim*>& selection, const Canvas* canvas,
                         const std::vector<PropInkStroke>& ink, int32_t kind, bool japanese,
                         std::string_view noteFolder) {
  PropListing out;
  if (selection.empty()) {
    if (!ink.empty()) {
      listInk(out, ink, japanese);
      return out;
    }
    out.source = PropListingSource::Canvas;
    if (canvas == nullptr) return out;
    out.shownKind = FigureKind_Canvas;
    for (int32_t r = 0; r < canvas->GetPropertyCount(); ++r) {
      out.lines.push_back(line(canvas->GetProperty(r, japanese, PropBar_valueCapacity, noteFolder)));
    }
    return out;
  }
  if (kind == PropBar_noKind || PropBar_ofKind(selection, kind).empty()) {
    kind = selection.front()->GetKind();
    const bool oneKind = std::all_of(selection.begin(), selection.end(),
                                     [kind](const CadPrim* f) { return f->GetKind() == kind; });
    if (!oneKind) {
      out.source = PropListingSource::Mixed;
      out.shownKind = PropBar_mixedKind;
      for (const char* l : japanese ? kMixedJa : kMixedEn) out.lines.emplace_back(l);
      return out;
    }
  }
  out.source = PropListingSource::Figures;
  out.shownKind = kind;
  out.firstRowLine = 1;
  const std::vector<CadPrim*> figures = PropBar_ofKind(selection, kind);
  const CadPrim& shown = *figures.front();
  out.lines.push_back(std::string(japanese ? "タイプ = " : "Type = ") +
                      (japanese ? shown.GetKindNameJapanese() : shown.GetKindNameEnglish()));
  // Figures of one kind may still differ in their number of rows (a
  // picture has more than a rectangle): a row another figure lacks differs.
  const int32_t count = shown.GetPropertyCount();
  for (int32_t r = 0; r < count; ++r) {
    const PropertyRow row = shown.GetProperty(r, japanese, PropBar_valueCapacity, noteFolder);
    bool same = true;
    for (size_t i = 1; i < figures.size() && same; ++i) {
      same = r < figures[i]->GetPropertyCount() &&
             figures[i]->GetProperty(r, japanese, PropBar_valueCapacity, noteFolder).value ==
                 row.value;
    }
    out.lines.push_back(same ? line(row) : eachValue(row.name, japanese));
  }
  return out;
}

std::optional<std::string> PropBar_valueFor(const PropertyRow& row, std::string_view entered,
                                            std::string_view notePath) {
  switch (row.kind) {
    case PropertyRowKind_ReadOnly:
      return std::nullopt;
    case PropertyRowKind_OnOff:
      return std::string(row.value == "0" ? "1" : "0");
    case PropertyRowKind_Integer: {
      // The reader clamps to the int32 range, the row to its own.
      const int32_t n = StrX_toInt(entered);
      return std::to_string(std::clamp(n, row.extra.minimum, row.extra.maximum));
    }
    case PropertyRowKind_Url:
    case PropertyRowKind_ImagePath: {
      if (entered.empty() || entered.front() == '%' || notePath.empty()) return std::string(entered);
      std::string out;
      bool fits = true;
      Except_tryCatch([&] { StrX_resolveLink(out, entered, notePath, PropBar_valueCapacity); },
                      [&](const Errors_Msg&) { fits = false; });
      // Too long to make absolute: kept as entered, and refused by length.
      return fits ? out : std::string(entered);
    }
    default:
      return std::string(entered);
  }
}

std::optional<std::string> PropBar_numberForPage(std::string_view value, int32_t page) {
  std::string out(value);
  const size_t name = fileNameStart(out);
  if (out.find('#', name) == std::string::npos) {
    size_t dot = out.rfind('.');
    if (dot == std::string::npos || dot < name) dot = out.size();
    out.insert(dot, " (#)");
  }
  // Numbered from the file name on, so that a "#" of a folder stays.
  std::string file = out.substr(name);
  bool fits = true;
  Except_tryCatch([&] { StrX_numbering(file, page); }, [&](const Errors_Msg&) { fits = false; });
  out.replace(name, std::string::npos, file);
  if (!fits || out.size() > PropBar_pathLimit) return std::nullopt;
  return out;
}

bool PropBar_idTaken(const NoteDocument& doc, std::string_view id,
                     const std::vector<const CadPrim*>& edited) {
  if (id.empty()) return false;
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    for (const auto& f : doc.pageAt(i).figures) {
      if (std::find(edited.begin(), edited.end(), f.get()) != edited.end()) continue;
      if (StrX_equalsNoCase(f->GetId(), id)) return true;
    }
  }
  return false;
}

bool PropBar_applyToFigures(const PropEditTarget& t, const std::vector<CadPrim*>& figures,
                            int32_t row, std::string_view value) {
  if (figures.empty()) return false;
  const FigureList* list = t.document != nullptr ? &t.document->workingFigures() : nullptr;
  std::vector<std::unique_ptr<CadPrim>> before;
  before.reserve(figures.size());
  if (t.undo != nullptr) {
    for (const CadPrim* f : figures) before.push_back(Undo_copyOf(*f, list));
  }
  for (CadPrim* f : figures) f->SetProperty(row, value, t.noteFolder);
  if (t.undo == nullptr || t.document == nullptr) return true;
  bool changed = false;
  UndoGroup group(*t.undo);
  for (size_t i = 0; i < figures.size(); ++i) {
    changed = t.undo->RecordChange(std::move(before[i]), *figures[i], *t.document, t.pageNumber) ||
              changed;
  }
  return changed;
}

std::optional<int32_t> PropBar_applyToCanvas(const PropEditTarget& t, int32_t row,
                                             std::string_view value, bool everyPage) {
  NoteDocument& doc = *t.document;
  std::vector<int32_t> pages;
  if (everyPage) {
    for (size_t i = 0; i < doc.pageCount(); ++i) pages.push_back(doc.pageNumberAt(i));
  } else {
    pages.push_back(t.pageNumber);
  }
  const bool fileRow =
      doc.page(t.pageNumber)->settings().GetProperty(row, true, 0, {}).kind == PropertyRowKind_Url;
  // Every page's value first: one that does not fit refuses the whole change.
  std::vector<std::string> values;
  for (int32_t n : pages) {
    if (everyPage && fileRow && !value.empty()) {
      std::optional<std::string> v = PropBar_numberForPage(value, n);
      if (!v) return std::nullopt;
      values.push_back(std::move(*v));
    } else {
      if (fileRow && value.size() > PropBar_pathLimit) return std::nullopt;
      values.emplace_back(value);
    }
  }
  std::optional<UndoGroup> group;
  if (t.undo != nullptr) group.emplace(*t.undo);
  for (size_t i = 0; i < pages.size(); ++i) {
    NotePage* page = doc.page(pages[i]);
    if (page == nullptr) continue;
    Canvas& canvas = page->settings();
    std::unique_ptr<CadPrim> before = canvas.Clone(&page->figures);
    canvas.SetProperty(row, values[i], t.noteFolder);
    if (t.undo != nullptr) t.undo->RecordChange(std::move(before), canvas, doc, pages[i]);
  }
  return static_cast<int32_t>(pages.size());
}
