#include "app/toolbars/style_sets.h"

#include <optional>
#include <vector>

#include "core/errors/except3.h"
#include "core/filex/filex_delete.h"
#include "core/filex/filex_info.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_path.h"
#include "document/note/note_document.h"
#include "document/reader/note_reader.h"
#include "figures/base/app_counters.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "view/editing/edit_tools.h"

namespace {

// A sample found by its id, with the page it lies on.
struct Sample {
  const CadPrim* figure = nullptr;
  const FigureList* page = nullptr;
};

Sample findSample(const NoteDocument& doc, std::string_view id) {
  for (size_t i = 0; i < doc.pageCount(); ++i) {
    const FigureList& list = doc.pageAt(i).figures;
    for (const auto& f : list) {
      if (f->GetKind() != FigureKind_Canvas && StrX_equalsNoCase(f->GetId(), id)) {
        return {f.get(), &list};
      }
    }
  }
  return {};
}

// The first figure of `kind` on the sample's page that overlaps the label.
const CadPrim* overlapping(const Sample& label, int32_t kind) {
  if (label.figure == nullptr || label.figure->GetKind() != FigureKind_Rect) return nullptr;
  const Rect32 r = label.figure->GetBounds();
  for (const auto& f : *label.page) {
    if (f.get() != label.figure && f->GetKind() == kind && f->IntersectsRect(r)) return f.get();
  }
  return nullptr;
}

bool isImage(const CadPrim& f) {
  return f.GetKind() == FigureKind_Rect && static_cast<const Rect_Ex&>(f).shape == RectShape_Image;
}

// A template's own working copy of its picture goes with it.
void release(std::unique_ptr<CadPrim>& f) {
  if (f && isImage(*f)) {
    const std::string work = static_cast<Rect_Ex&>(*f).workImagePath;
    if (!work.empty()) Except_tryCatch([&] { FileX_deleteFile(work); }, [](const Errors_Msg&) {});
  }
  f.reset();
}

// A clone that holds nothing of the note it came from: no links, and a
// picture of its own.
std::unique_ptr<CadPrim> detachedClone(const CadPrim& sample, const TextMetrics* metrics) {
  std::unique_ptr<CadPrim> c = sample.Clone(nullptr);
  c->DetachAll(false);
  if (c->GetKind() == FigureKind_Line) {
    auto& line = static_cast<Line_Ex&>(*c);
    line.SetEndTargetNumber(1, 0);
    line.SetEndTargetNumber(2, 0);
  }
  if (c->GetKind() == FigureKind_Text) static_cast<Text_Box&>(*c).SetTextMetrics(metrics);
  if (isImage(*c)) {
    c->SetNumber(AppCounters_instance().nextFigureNumber());
    if (!static_cast<Rect_Ex&>(*c).MakeOwnWorkingCopy()) static_cast<Rect_Ex&>(*c).workImagePath.clear();
  }
  return c;
}

struct TextSample {
  const char* id;
  int32_t tool;
  bool clearId;
};
constexpr TextSample kTexts[] = {
    {"Text", EditTool_text, true},          {"Text-Rect", EditTool_rectText, true},
    {"Text-Circle", EditTool_circleText, true}, {"Text-RoundRect", EditTool_roundText, true},
    {"Text-Diamond", EditTool_diamondText, true}, {"Text-Parallel", EditTool_parallelogramText, true},
    {"RedText", EditTool_redText, false},   {"BlueText", EditTool_blueText, false},
    {"TimeStampText", EditTool_dateText, false},
};
struct RectSample {
  const char* id;
  int32_t tool;
};
constexpr RectSample kRects[] = {
    {"Stronger", EditTool_emphasis}, {"Rect", EditTool_rect},       {"RoundRect", EditTool_roundRect},
    {"Circle", EditTool_ellipse},    {"Diamond", EditTool_diamond},
};

}  // namespace

std::string StyleSet_defaultPath(const std::string& designFolder, std::string* missing) {
  const std::string svg = StrX_joinPath(designFolder, "Default Design.svg");
  const std::string svgz = svg + "z";
  if (FileX_isFile(svg)) return svg;
  if (FileX_isFile(svgz)) return svgz;
  if (missing != nullptr) *missing = svgz;
  return {};
}

StyleSet::~StyleSet() { Reset(); }

void StyleSet::Reset() {
  for (auto& s : slots_) release(s);
  release(guideText_);
  release(arrowCopy_);
}

void StyleSet::put(int32_t tool, std::unique_ptr<CadPrim> figure) {
  release(slots_[static_cast<size_t>(tool)]);
  slots_[static_cast<size_t>(tool)] = std::move(figure);
}

void StyleSet::Load(const std::string& path, const std::string& workFolder,
                    const TextMetrics* metrics, bool japanese) {
  AppCounters& counters = AppCounters_instance();
  NoteDocument doc(workFolder);
  NoteReadOptions read(counters);
  read.metrics = metrics;
  read.japanese = japanese;
  // The samples' note is released whatever happens.
  struct Release {
    NoteDocument& d;
    ~Release() { Except_tryCatch([&] { d.ClearDocument(); }, [](const Errors_Msg&) {}); }
  } releaseDoc{doc};
  NoteReader_read(doc, NoteDocument_newDocumentNumber(counters, workFolder), path, read);

  for (const TextSample& t : kTexts) {
    const Sample s = findSample(doc, t.id);
    if (s.figure == nullptr || s.figure->GetKind() != FigureKind_Text) continue;
    std::unique_ptr<CadPrim> c = detachedClone(*s.figure, metrics);
    if (t.clearId) c->SetId("");
    put(t.tool, std::move(c));
  }
  for (const auto& [id, tool, kind] : {std::tuple{"Line", EditTool_line, FigureKind_Line},
                                       std::tuple{"Arrow", EditTool_arrow, FigureKind_Line},
                                       std::tuple{"CorneredLine", EditTool_corner,
                                                  FigureKind_CorneredLine}}) {
    if (const CadPrim* line = overlapping(findSample(doc, id), kind)) {
      put(tool, detachedClone(*line, metrics));
    }
  }
  {
    const Sample label = findSample(doc, "GuideLine");
    const CadPrim* line = overlapping(label, FigureKind_Line);
    const CadPrim* text = overlapping(label, FigureKind_Text);
    if (line != nullptr && text != nullptr) {
      put(EditTool_guideLine, detachedClone(*line, metrics));
      release(guideText_);
      guideText_ = detachedClone(*text, metrics);
    }
  }
  for (const RectSample& r : kRects) {
    const Sample s = findSample(doc, r.id);
    if (s.figure == nullptr || s.figure->GetKind() != FigureKind_Rect) continue;
    put(r.tool, detachedClone(*s.figure, metrics));
  }
  release(arrowCopy_);
  if (slots_[EditTool_arrow]) arrowCopy_ = detachedClone(*slots_[EditTool_arrow], metrics);
}

const CadPrim* StyleSet::slot(int32_t tool) const {
  if (tool < 0 || tool >= static_cast<int32_t>(slots_.size())) return nullptr;
  return slots_[static_cast<size_t>(tool)].get();
}

std::unique_ptr<CadPrim> StyleSet::templateFor(int32_t tool) const {
  const CadPrim* t = slot(tool);
  if (t == nullptr) return nullptr;
  std::unique_ptr<CadPrim> c = t->Clone(nullptr);
  // Every figure made from a picture template has a working copy of its own.
  if (isImage(*c)) {
    c->SetNumber(AppCounters_instance().nextFigureNumber());
    if (!static_cast<Rect_Ex&>(*c).MakeOwnWorkingCopy()) static_cast<Rect_Ex&>(*c).workImagePath.clear();
  }
  return c;
}

std::unique_ptr<CadPrim> StyleSet::guideText() const {
  return guideText_ ? guideText_->Clone(nullptr) : nullptr;
}
