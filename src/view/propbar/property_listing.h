// What the property bar lists and how a new value reaches the figures: the
// lines of the selection (one kind, the mixed-selection text, the page's
// canvas, the selected ink), the value an editor's answer becomes, and the
// change applied as one undo step.  Plain C++: the bar widget turns clicks
// into calls here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/cad_prim.h"

class Canvas;
class NoteDocument;
class UndoHistory;

// The shown kind besides the figure kinds: none chosen yet, and a
// selection of several kinds with none chosen.
inline constexpr int32_t PropBar_noKind = -1;
inline constexpr int32_t PropBar_mixedKind = -2;
// The value part a line shows (bytes with the terminator).
inline constexpr size_t PropBar_valueCapacity = 1024;
// The longest path a canvas or figure file field holds: longer values are
// refused whole, never cut.
inline constexpr size_t PropBar_pathLimit = 259;

// One selected ink stroke as the bar shows it.
struct PropInkStroke {
  uint32_t colour = 0;  // 0x00BBGGRR
  int32_t width = 0;
  bool pressure = false;
};

enum class PropListingSource { Canvas, Figures, Mixed, Ink };

struct PropListing {
  PropListingSource source = PropListingSource::Canvas;
  std::vector<std::string> lines;  // CP932
  int32_t shownKind = PropBar_noKind;
  // The line of row 0 (0 for the canvas, 1 below the type line).
  int32_t firstRowLine = 0;
  // The row of a line, -1 for the type line and the mixed text.
  int32_t rowOfLine(int32_t line) const {
    if (source == PropListingSource::Mixed || line < firstRowLine) return -1;
    return line - firstRowLine;
  }
};

// The listing of `selection` (figures of the shown page), or of the ink
// strokes when no figure is selected, or of `canvas` when neither is.
// `kind` is the kind the user chose, or PropBar_noKind to let the
// selection decide.
PropListing PropBar_list(const std::vector<CadPrim*>& selection, const Canvas* canvas,
                         const std::vector<PropInkStroke>& ink, int32_t kind, bool japanese,
                         std::string_view noteFolder);
// The figures of `selection` of one kind, in selection order.
std::vector<CadPrim*> PropBar_ofKind(const std::vector<CadPrim*>& selection, int32_t kind);
// The kinds present in `selection` in order of first appearance, with
// their names in the asked language.
std::vector<std::pair<int32_t, std::string>> PropBar_kinds(const std::vector<CadPrim*>& selection,
                                                           bool japanese);

// The value an editor's answer `entered` writes to a row: an on/off row
// flips, an integer is kept within the row's range as "%d", a link or file
// row is made absolute against the note (a "#fragment" gets the note's
// path in front, a "%var%" stays); others as entered.  Nothing for a
// read-only row.
std::optional<std::string> PropBar_valueFor(const PropertyRow& row, std::string_view entered,
                                            std::string_view notePath);
// The value of a file row on page `page` when set on every page: " (#)"
// goes before the file name's extension when the name holds no "#", then
// the name's first run of "#" becomes the page number padded with zeros to
// the run's length.  Only the file name is touched, never its folder.
// Nothing when the result does not fit PropBar_pathLimit.
std::optional<std::string> PropBar_numberForPage(std::string_view value, int32_t page);
// Whether `id` names a page or a figure of the note other than `edited`
// (ignoring case); an empty id never does.
bool PropBar_idTaken(const NoteDocument& doc, std::string_view id,
                     const std::vector<const CadPrim*>& edited);

// Where an edit goes.
struct PropEditTarget {
  NoteDocument* document = nullptr;
  UndoHistory* undo = nullptr;
  int32_t pageNumber = -1;
  std::string noteFolder;  // "" for an untitled note
};
// Sets row `row` to `value` on each figure, recorded as one undo step.
// Answers whether any figure changed.
bool PropBar_applyToFigures(const PropEditTarget& target, const std::vector<CadPrim*>& figures,
                            int32_t row, std::string_view value);
// Sets a canvas row on the shown page, or on every page (one undo step for
// all of them; a file row numbered per page).  Answers the pages changed,
// or nothing when a value was refused (too long): then nothing changed.
std::optional<int32_t> PropBar_applyToCanvas(const PropEditTarget& target, int32_t row,
                                             std::string_view value, bool everyPage);
