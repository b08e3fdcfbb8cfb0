// After a page is loaded: line ends are attached to the text boxes they
// name (by id) or that they were marked attached to (by position), and
// every figure is moved into the page coordinate range.

#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "core/strx/strx_copy.h"
#include "core/strx/strx_search.h"
#include "document/note/note_document.h"
#include "document/reader/reader_elements.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/text/text_box.h"

namespace {

// The tolerance around a box's centre of the position rule.
constexpr int32_t kNearCentre = 5;
// The page range figures are kept in (the bottom leaves room for the last
// line of text).
constexpr int32_t kLeftMost = -99999;
constexpr int32_t kRightMost = 99999;
constexpr int32_t kTopMost = -99999;
constexpr int32_t kBottomMost = 99991;

// Whether the box knows its frame (from the file, or by measuring it now
// with the metrics it holds).  A box that cannot know it takes no line end.
bool ensureFrame(Text_Box& box) {
  if ((box.layoutFlags & TextBox_boundsValid) || box.HasLayout()) return true;
  if (!box.textMetrics()) return false;
  box.Layout(*box.textMetrics(), DrawContext{});
  return true;
}

Text_Box* asTextBox(CadPrim* f) {
  if (!f || f->GetKind() != FigureKind_Text) return nullptr;
  return dynamic_cast<Text_Box*>(f);
}

// The text boxes that ids name, looked up once per page: for each id
// (ignoring case) the box that the first figure with that id is, or else
// the first text box with that id (only text boxes take line ends).
std::string foldedId(std::string_view id) {
  std::string key(id);
  StrX_lowerAscii(key);
  return key;
}

class BoxesById {
 public:
  explicit BoxesById(const FigureList& list) {
    std::unordered_set<std::string> firstSeen;  // ids whose first figure was met
    for (const auto& f : list) {
      if (f->GetKind() == FigureKind_Canvas) continue;
      const std::string id = f->GetId();
      if (id.empty()) continue;
      std::string key = foldedId(id);
      Text_Box* box = asTextBox(f.get());
      const bool first = firstSeen.insert(key).second;
      if (box && (first || !boxes_.count(key))) boxes_.emplace(std::move(key), box);
    }
  }
  Text_Box* find(std::string_view id) const {
    if (id.empty()) return nullptr;
    auto it = boxes_.find(foldedId(id));
    return it == boxes_.end() ? nullptr : it->second;
  }

 private:
  std::unordered_map<std::string, Text_Box*> boxes_;
};

// The ends of straight lines that name their target by id.
void attachById(const BoxesById& boxes, Line_Ex& line) {
  for (int32_t end = 1; end <= 2; ++end) {
    if (line.RawEndTargetNumber(end) != -2) continue;
    Text_Box* box = boxes.find(line.PendingTargetId(end));
    if (!box) {
      line.ReleasePendingTargetId(end);
      continue;
    }
    // A box that cannot be laid out keeps the id pending, so that a save
    // writes the link again.
    if (!ensureFrame(*box)) continue;
    box->AttachEnd(-1, line, end);
    line.ReleasePendingTargetId(end);
  }
}

// The first text box other than `self` with (x, y) near its centre; with
// `inside`, else the first whose frame holds the point.
Text_Box* boxAt(const FigureList& list, const CadPrim& self, Point32 p, bool inside) {
  for (const auto& f : list) {
    Text_Box* box = asTextBox(f.get());
    if (!box || box == &self || !ensureFrame(*box)) continue;
    if (box->IsNearCentre(p.x, p.y, kNearCentre)) return box;
  }
  if (!inside) return nullptr;
  for (const auto& f : list) {
    Text_Box* box = asTextBox(f.get());
    if (!box || box == &self || !ensureFrame(*box)) continue;
    if (box->ContainsPoint(p.x, p.y)) return box;
  }
  return nullptr;
}

// Ends marked attached without a target (-1): the box at the end point
// takes them; ends that find none become free.
void attachByPosition(const FigureList& list, int32_t formatVersion, CadPrim& figure) {
  auto* line = dynamic_cast<Line_Ex*>(&figure);
  auto* corner = dynamic_cast<Line_Corner*>(&figure);
  for (int32_t end = 1; end <= 2; ++end) {
    Point32 at;
    if (line) {
      if (!line->IsLegacyAttached(end)) continue;
      at = end == 1 ? line->point1() : line->point2();
    } else if (corner) {
      if (corner->rawEndTargetNumber(end) != -1) continue;
      at = corner->end(end);
    } else {
      return;
    }
    // A current note keeps the end where it was dropped on the box, which
    // need not be its centre.
    Text_Box* box = boxAt(list, figure, at, formatVersion >= 300);
    if (box) {
      box->AttachEnd(-1, figure, end);
    } else if (line) {
      line->SetEndTargetNumber(end, 0);
    } else {
      corner->setEndTargetNumber(end, 0);
    }
  }
}

// Moves a figure into the page range (a box that does not know its frame
// stays where it is).
void keepInRange(CadPrim& f) {
  if (f.GetKind() == FigureKind_Canvas) return;
  if (Text_Box* box = asTextBox(&f); box && !ensureFrame(*box)) return;
  int64_t dx = 0, dy = 0;
  const int64_t left = f.GetEdge(0), right = f.GetEdge(1);
  const int64_t top = f.GetEdge(2), bottom = f.GetEdge(3);
  if (left < kLeftMost)
    dx = kLeftMost - left;
  else if (right > kRightMost)
    dx = kRightMost - right;
  if (top < kTopMost)
    dy = kTopMost - top;
  else if (bottom > kBottomMost)
    dy = kBottomMost - bottom;
  if (dx != 0 || dy != 0) f.MoveBy(Figure_toInt32(dx), Figure_toInt32(dy));
}

}  // namespace

void ReaderElements_connectLoadedLinks(FigureList& figures, int32_t formatVersion) {
  std::optional<BoxesById> boxes;
  for (const auto& f : figures) {
    if (f->GetKind() != FigureKind_Line) continue;
    auto* line = dynamic_cast<Line_Ex*>(f.get());
    if (!line || (line->RawEndTargetNumber(1) != -2 && line->RawEndTargetNumber(2) != -2)) continue;
    if (!boxes) boxes.emplace(figures);
    attachById(*boxes, *line);
  }
  for (const auto& f : figures)
    if (FigureKind_hasEnds(f->GetKind())) attachByPosition(figures, formatVersion, *f);
  for (const auto& f : figures) keepInRange(*f);
}
