#include "ink/ink_engine.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_numbers.h"
#include "document/ink/ink_serialized.h"
#include "document/note/ink_layer_files.h"
#include "document/note/note_document.h"
#include "figures/canvas/canvas.h"
#include "ink/ink_paint.h"
#include "platform/surface/qt_surface.h"
#include "undo/undo_history.h"

namespace {

constexpr size_t kLassoPoints = 1024;
constexpr int32_t kLassoSpacing = 301;
constexpr double kLassoShare = 0.60;
constexpr double kBandShare = 0.01;
constexpr size_t kWrittenKept = 32;


std::vector<int32_t> asRecordIds(const std::vector<uint32_t>& ids) {
  return {ids.begin(), ids.end()};
}
std::vector<uint32_t> idsOf(const std::vector<int32_t>& ids) {
  std::vector<uint32_t> out;
  for (const int32_t id : ids)
    if (id > 0) out.push_back(static_cast<uint32_t>(id));
  return out;
}
std::vector<uint32_t> idsOf(const std::vector<PageInkStroke>& strokes) {
  std::vector<uint32_t> out;
  for (const PageInkStroke& s : strokes) out.push_back(s.id);
  return out;
}
std::vector<InkStroke> strokesOf(const std::vector<PageInkStroke>& strokes) {
  std::vector<InkStroke> out;
  for (const PageInkStroke& s : strokes) out.push_back(s.stroke);
  return out;
}

Rect32 unite(const Rect32& a, const Rect32& b) {
  if (a.w == 0 && a.h == 0) return b;
  if (b.w == 0 && b.h == 0) return a;
  const int64_t l = std::min(a.x, b.x), t = std::min(a.y, b.y);
  const int64_t r = std::max(int64_t{a.x} + a.w, int64_t{b.x} + b.w);
  const int64_t bt = std::max(int64_t{a.y} + a.h, int64_t{b.y} + b.h);
  return {static_cast<int32_t>(l), static_cast<int32_t>(t), Figure_toInt32(r - l),
          Figure_toInt32(bt - t)};
}


}  // namespace

uint64_t InkEngine::blockKey(std::string_view raw) {
  return std::hash<std::string_view>{}(raw) ^ (uint64_t{raw.size()} << 48);
}

InkEngine::InkEngine(InkEngineHooks hooks) : hooks_(std::move(hooks)) {}
InkEngine::~InkEngine() = default;

// --- InkManager ---------------------------------------------------------------------

std::string InkEngine::serialiseInk() {
  std::string raw = page_.rawBase64();
  if (page_.changed()) {
    if (writtenIds_.size() >= kWrittenKept) writtenIds_.erase(writtenIds_.begin());
    std::vector<uint32_t> ids;
    for (const PageInkStroke& s : page_.strokes()) ids.push_back(s.id);
    writtenIds_[blockKey(raw)] = std::move(ids);
  }
  return raw;
}

void InkEngine::writeLayerFiles(std::string_view backPath, std::string_view frontPath) {
  const std::string back = page_.layerText(InkLayer_back);
  const std::string front = page_.layerText(InkLayer_front);
  FileX_writeWhole(backPath, back);
  FileX_writeWhole(frontPath, front);
  page_.markWritten();
}

void InkEngine::clearInk() {
  cancel();
  page_.clear();
  loaded_ = false;
  stored_.clear();
}

void InkEngine::loadInk(std::string_view inkData, std::string_view backPath,
                        std::string_view frontPath) {
  cancel();
  const std::string back = InkLayerFiles_read(backPath), front = InkLayerFiles_read(frontPath);
  const bool decoded = page_.load(inkData, back, front);
  if (!decoded && std::find(reported_.begin(), reported_.end(), blockKey(inkData)) == reported_.end()) {
    reported_.push_back(blockKey(inkData));
    if (hooks_.log) {
      hooks_.log("ink: the raw ink block of a page does not decode (" +
                 std::to_string(inkData.size()) +
                 " characters); its ink is shown from its line segments and written back as it was");
    }
  }
  // A page written before keeps the ids its undo records name.
  if (const auto it = writtenIds_.find(blockKey(inkData)); it != writtenIds_.end())
    page_.renumber(it->second);
  loaded_ = true;
  stored_.clear();
}

void InkEngine::setInkArea(int32_t /*width*/, int32_t /*height*/) {}

// --- tools ------------------------------------------------------------------------

void InkEngine::chooseTool(int32_t tool) {
  cancel();
  erasing_ = false;
  tool_ = tool >= InkTool_pen && tool <= InkTool_lasso ? tool : 0;
  keepNextStroke_ = tool_ != 0 && tool_ != InkTool_lasso;
}

void InkEngine::chooseEraser() {
  cancel();
  tool_ = InkTool_pen;
  erasing_ = true;
}

// --- writing --------------------------------------------------------------------------

InkPoint InkEngine::toInk(double x, double y, int32_t pressure) const {
  auto c = [](double v) { return static_cast<int32_t>(std::lround(std::clamp(v, -1.0e9, 1.0e9))); };
  return {c(x * Ink_unitsPerPixel), c(y * Ink_unitsPerPixel),
          std::clamp(pressure, 0, InkPoint_pressureMax)};
}

void InkEngine::repaint(std::optional<Rect32> inkArea) {
  if (hooks_.repaint) hooks_.repaint(inkArea ? std::optional(Ink_toPageRect(*inkArea)) : std::nullopt);
}

void InkEngine::press(double x, double y, int32_t pressure, uint32_t tick, bool eraserEnd,
                      bool barrel) {
  cancel();
  const InkPoint p = toInk(x, y, pressure);
  pressTick_ = tick;
  if (eraserEnd || erasing_) {
    gesture_ = Gesture::Erase;
    eraseAt(p);
    return;
  }
  if (tool_ == 0 || barrel) return;
  if (tool_ == InkTool_lasso) {
    gesture_ = Gesture::Lasso;
    lasso_.assign(1, p);
    return;
  }
  gesture_ = Gesture::Stroke;
  live_ = InkStroke{{p}, InkTool_attributes(tool_)};
  liveDrawn_ = 0;
  repaint(InkStroke_drawnBox(live_));
}

void InkEngine::move(double x, double y, int32_t pressure) {
  const InkPoint p = toInk(x, y, pressure);
  switch (gesture_) {
    case Gesture::Stroke:
      if (!live_.points.empty() && live_.points.back().x == p.x && live_.points.back().y == p.y) {
        live_.points.back().pressure = std::max(live_.points.back().pressure, p.pressure);
        return;
      }
      live_.points.push_back(p);
      break;
    case Gesture::Lasso: {
      const InkPoint& last = lasso_.back();
      if (lasso_.size() >= kLassoPoints ||
          std::llabs(int64_t{p.x} - last.x) + std::llabs(int64_t{p.y} - last.y) < kLassoSpacing)
        return;
      lasso_.push_back(p);
      const InkStroke ring{lasso_, {}};
      repaint(InkStroke_drawnBox(ring));
      break;
    }
    case Gesture::Erase:
      eraseAt(p);
      break;
    case Gesture::None:
      break;
  }
}

void InkEngine::release(double x, double y, uint32_t tick) {
  if (gesture_ == Gesture::None) return;
  move(x, y, gesture_ == Gesture::Stroke && !live_.points.empty() ? live_.points.back().pressure : 0);
  switch (gesture_) {
    case Gesture::Stroke: finishStroke(tick); break;
    case Gesture::Lasso: finishLasso(); break;
    case Gesture::Erase: finishErase(); break;
    case Gesture::None: break;
  }
}

void InkEngine::cancel() {
  if (gesture_ == Gesture::Stroke) repaint(InkStroke_drawnBox(live_));
  if (gesture_ == Gesture::Lasso) repaint(std::nullopt);
  if (gesture_ == Gesture::Erase) finishErase();
  gesture_ = Gesture::None;
  live_ = {};
  lasso_.clear();
  if (drag_ != Drag::None) {
    // A drag taken back: the strokes go back where they were.
    page_.replace(dragBefore_);
    drag_ = Drag::None;
    following_ = false;
    dragBefore_.clear();
    repaint(std::nullopt);
  }
}

void InkEngine::finishStroke(uint32_t tick) {
  gesture_ = Gesture::None;
  InkStroke stroke = std::move(live_);
  live_ = {};
  const Rect32 box = InkStroke_drawnBox(stroke);
  const int64_t since = hadStroke_ ? int64_t{pressTick_} - int64_t{lastStrokeTick_} : -1;
  const bool ink = InkStroke_isInk(since, keepNextStroke_, stroke);
  hadStroke_ = true;
  lastStrokeTick_ = tick;
  keepNextStroke_ = false;
  if (!ink) {
    repaint(box);
    if (hooks_.click && !stroke.points.empty()) {
      auto page = [](const InkPoint& p) {
        return Point32{static_cast<int32_t>(std::lround(p.x / Ink_unitsPerPixel)),
                       static_cast<int32_t>(std::lround(p.y / Ink_unitsPerPixel))};
      };
      const Point32 from = page(stroke.points.front()), to = page(stroke.points.back());
      tool_ = 0;
      hooks_.click(from, to);
    }
    return;
  }
  const uint32_t id = page_.add(std::move(stroke));
  recordStrokes(UndoInk_added, {*page_.find(id)});
  repaint(box);
}

void InkEngine::finishLasso() {
  gesture_ = Gesture::None;
  std::vector<uint32_t> hit = page_.inside(lasso_, kLassoShare);
  lasso_.clear();
  page_.select(hit);
  if (!hit.empty()) {
    tool_ = 0;
    if (hooks_.chooseSelectTool) hooks_.chooseSelectTool();
  }
  selectionChanged();
  repaint(std::nullopt);
}

void InkEngine::eraseAt(const InkPoint& p) {
  const int32_t tolerance =
      static_cast<int32_t>(std::lround(3 * Ink_unitsPerPixel * 100.0 / std::max(zoom_, 1)));
  while (true) {
    const uint32_t id = page_.strokeAt(p.x, p.y, tolerance);
    if (id == 0) return;
    const uint32_t ids[1] = {id};
    std::vector<PageInkStroke> gone = page_.remove(ids);
    for (PageInkStroke& s : gone) {
      repaint(s.box);
      erased_.push_back(std::move(s));
    }
  }
}

void InkEngine::finishErase() {
  gesture_ = Gesture::None;
  if (erased_.empty()) return;
  std::vector<PageInkStroke> gone = std::move(erased_);
  erased_.clear();
  recordStrokes(UndoInk_deleted, gone);
  selectionChanged();
}

bool InkEngine::drawPending(Surface& surface, const DrawContext& ctx, QRectF* drawn) {
  if (gesture_ != Gesture::Stroke || live_.attributes.rasterOp == InkRop_maskPen) return false;
  if (liveDrawn_ >= live_.points.size()) return false;
  auto* qt = dynamic_cast<QtSurface*>(&surface);
  if (qt == nullptr) return false;
  QPainter& painter = qt->painter();
  painter.save();
  if (const QRect clip = InkPaint_deviceClip(ctx); !clip.isNull()) painter.setClipRect(clip);
  painter.setRenderHint(QPainter::Antialiasing, true);
  InkPaint_stroke(painter, ctx, live_, liveDrawn_);
  painter.restore();
  if (drawn != nullptr) {
    const std::optional<Rect32> area = pendingArea();
    *drawn = area ? InkPaint_deviceBox(Ink_fromPageRect(*area), ctx) : QRectF();
  }
  liveDrawn_ = live_.points.size();
  return true;
}

std::optional<Rect32> InkEngine::pendingArea() const {
  if (gesture_ != Gesture::Stroke || live_.points.empty()) return std::nullopt;
  const size_t from = liveDrawn_ > 0 ? std::min(liveDrawn_ - 1, live_.points.size() - 1) : 0;
  InkStroke tail{std::vector<InkPoint>(live_.points.begin() + static_cast<std::ptrdiff_t>(from),
                                       live_.points.end()),
                 live_.attributes};
  return Ink_toPageRect(InkStroke_drawnBox(tail));
}

// --- the selection ---------------------------------------------------------------------

std::optional<Point32> InkEngine::cornerMark() const {
  if (page_.selection().empty()) return std::nullopt;
  const Rect32 box = page_.selectionBox();
  const double zoom = std::max(zoom_, 1) / 100.0;
  return Point32{static_cast<int32_t>(std::lround((double(box.x) + box.w) / Ink_unitsPerPixel + 4 / zoom)),
                 static_cast<int32_t>(std::lround((double(box.y) + box.h) / Ink_unitsPerPixel + 4 / zoom))};
}

bool InkEngine::pressSelection(Point32 at, int32_t zoom) {
  zoom_ = zoom;
  if (page_.selection().empty()) return false;
  const InkPoint p = toInk(at.x, at.y, 0);
  const std::optional<Point32> corner = cornerMark();
  if (corner && std::abs(at.x - corner->x) <= 4 && std::abs(at.y - corner->y) <= 4) {
    beginDrag(Drag::Resize, at);
  } else if (page_.onSelection(p.x, p.y)) {
    beginDrag(Drag::Move, at);
  } else {
    return false;
  }
  return true;
}

void InkEngine::followSelection(Point32 at) {
  if (page_.selection().empty()) return;
  beginDrag(Drag::Move, at);
  following_ = true;
}

void InkEngine::beginDrag(Drag drag, Point32 at) {
  drag_ = drag;
  following_ = false;
  dragInkFrom_ = toInk(at.x, at.y, 0);
  movedX_ = movedY_ = 0;
  dragBox_ = page_.selectionBox();
  dragBefore_.clear();
  const std::vector<uint32_t>& sel = page_.selection();
  const std::unordered_set<uint32_t> ids(sel.begin(), sel.end());
  for (const PageInkStroke& st : page_.strokes())
    if (ids.count(st.id) != 0) dragBefore_.push_back(st);
}

void InkEngine::dragSelection(Point32 at) {
  if (drag_ == Drag::None) return;
  const Rect32 before = page_.selectionBox();
  const InkPoint p = toInk(at.x, at.y, 0);
  if (drag_ == Drag::Move) {
    const int32_t dx = Figure_toInt32(int64_t{p.x} - dragInkFrom_.x);
    const int32_t dy = Figure_toInt32(int64_t{p.y} - dragInkFrom_.y);
    page_.moveBy(page_.selection(), Figure_toInt32(int64_t{dx} - movedX_),
                 Figure_toInt32(int64_t{dy} - movedY_));
    movedX_ = dx;
    movedY_ = dy;
  } else {
    page_.replace(dragBefore_);
    const Rect32 target{dragBox_.x, dragBox_.y, Figure_toInt32(int64_t{p.x} - dragBox_.x),
                        Figure_toInt32(int64_t{p.y} - dragBox_.y)};
    page_.scaleTo(page_.selection(), target);
  }
  const int32_t grow = 600;
  Rect32 area = unite(before, page_.selectionBox());
  area = {Figure_toInt32(int64_t{area.x} - grow), Figure_toInt32(int64_t{area.y} - grow),
          Figure_toInt32(int64_t{area.w} + 2 * grow), Figure_toInt32(int64_t{area.h} + 2 * grow)};
  repaint(area);
}

void InkEngine::releaseSelection(Point32 at) {
  if (drag_ == Drag::None) return;
  dragSelection(at);
  const Drag drag = drag_;
  drag_ = Drag::None;
  following_ = false;
  std::vector<PageInkStroke> before = std::move(dragBefore_);
  dragBefore_.clear();
  if (drag == Drag::Move) {
    if (movedX_ != 0 || movedY_ != 0) recordMove(movedX_, movedY_);
  } else {
    recordReplace(UndoInk_resized, before);
  }
  selectionChanged();
}

void InkEngine::selectInRect(const Rect32& r) {
  Rect32 band = r;
  if (band.w == 0) band.w = 1;
  if (band.h == 0) band.h = 1;
  const Rect32 ink = Ink_fromPageRect(band);
  std::vector<uint32_t> chosen = page_.selection();
  for (const uint32_t id : page_.inside(ink, kBandShare))
    if (std::find(chosen.begin(), chosen.end(), id) == chosen.end()) chosen.push_back(id);
  if (chosen == page_.selection()) return;
  page_.select(std::move(chosen));
  selectionChanged();
  repaint(std::nullopt);
}

void InkEngine::selectAllInk() {
  page_.selectAll();
  selectionChanged();
  repaint(std::nullopt);
}

bool InkEngine::deselectAll() {
  if (!page_.deselectAll()) return false;
  selectionChanged();
  repaint(std::nullopt);
  return true;
}

bool InkEngine::deleteSelection() {
  if (page_.selection().empty()) return false;
  const std::vector<uint32_t> ids = page_.selection();
  std::vector<PageInkStroke> gone = page_.remove(ids);
  recordStrokes(UndoInk_deleted, gone);
  selectionChanged();
  repaint(std::nullopt);
  return true;
}

std::vector<InkAttributes> InkEngine::selectedAttributes() const {
  std::vector<InkAttributes> out;
  for (const uint32_t id : page_.selection())
    if (const PageInkStroke* s = page_.find(id)) out.push_back(s->stroke.attributes);
  return out;
}

bool InkEngine::applyAttribute(int32_t row, std::string_view value) {
  std::vector<PageInkStroke> before;
  for (const uint32_t id : page_.selection())
    if (const PageInkStroke* s = page_.find(id)) before.push_back(*s);
  if (before.empty()) return false;
  std::vector<PageInkStroke> after = before;
  for (PageInkStroke& s : after) {
    InkAttributes& a = s.stroke.attributes;
    if (row == 0) {
      uint32_t c = 0;
      if (!StrX_readColor(value, c)) return false;
      a.colour = c & 0xFFFFFF;
    } else if (row == 1) {
      int32_t w = 0;
      for (const char ch : value) {
        if (ch < '0' || ch > '9' || w > 100000) return false;
        w = w * 10 + (ch - '0');
      }
      if (w <= 0) return false;
      a.width = a.height = w;
    } else if (row == 2) {
      a.ignorePressure = value != "1";
    } else {
      return false;
    }
  }
  page_.replace(after);
  recordReplace(UndoInk_attributes, before);
  selectionChanged();
  repaint(std::nullopt);
  return true;
}

// --- clipboard --------------------------------------------------------------------------

std::string InkEngine::copySelection() const {
  const std::vector<InkStroke> chosen = page_.copies(page_.selection());
  return chosen.empty() ? std::string() : InkIsf_encode(chosen);
}

bool InkEngine::paste(std::string_view bytes, int32_t dx, int32_t dy) {
  std::optional<std::vector<InkStroke>> strokes = InkIsf_decode(bytes);
  if (!strokes || strokes->empty()) return false;
  InkStrokes_moveBy(*strokes, dx, dy);
  std::vector<PageInkStroke> added;
  std::vector<uint32_t> ids;
  for (InkStroke& s : *strokes) {
    ids.push_back(page_.add(std::move(s)));
    added.push_back(page_.strokes().back());
  }
  recordStrokes(UndoInk_added, added);
  page_.select(ids);
  selectionChanged();
  repaint(std::nullopt);
  return true;
}

bool InkEngine::pasteStyle(std::string_view bytes) {
  const std::optional<std::vector<InkStroke>> strokes = InkIsf_decode(bytes);
  if (!strokes || strokes->empty() || page_.selection().empty()) return false;
  std::vector<PageInkStroke> before;
  for (const uint32_t id : page_.selection())
    if (const PageInkStroke* s = page_.find(id)) before.push_back(*s);
  std::vector<PageInkStroke> after = before;
  for (PageInkStroke& s : after) s.stroke.attributes = strokes->front().attributes;
  page_.replace(after);
  recordReplace(UndoInk_attributes, before);
  repaint(std::nullopt);
  return true;
}

// --- undo -----------------------------------------------------------------------------

bool InkEngine::canRecord() const {
  return hooks_.history && hooks_.document && hooks_.pageNumber && hooks_.history() != nullptr &&
         hooks_.document() != nullptr;
}

void InkEngine::recordStrokes(int32_t inkKind, const std::vector<PageInkStroke>& strokes) {
  if (!canRecord() || strokes.empty()) return;
  hooks_.history()->RecordInkStrokes(inkKind, InkIsf_encodeBase64(strokesOf(strokes)),
                                     asRecordIds(idsOf(strokes)), *hooks_.document(),
                                     hooks_.pageNumber());
}

void InkEngine::recordReplace(int32_t inkKind, const std::vector<PageInkStroke>& before) {
  if (!canRecord() || before.empty()) return;
  const std::vector<uint32_t> ids = idsOf(before);
  const std::string data =
      InkIsf_encodeBase64(strokesOf(before)) + "\n" + InkIsf_encodeBase64(page_.copies(ids));
  hooks_.history()->RecordInkStrokes(inkKind, data, asRecordIds(ids), *hooks_.document(),
                                     hooks_.pageNumber());
}

void InkEngine::recordMove(int32_t dx, int32_t dy) {
  if (!canRecord()) return;
  hooks_.history()->RecordInkMove(UndoInk_moved, asRecordIds(page_.selection()), dx, dy,
                                  *hooks_.document(), hooks_.pageNumber());
}

void InkEngine::applyRecord(const UndoRecord& r, bool redo) {
  cancel();
  const std::vector<uint32_t> ids = idsOf(r.strokes);
  auto decode = [](std::string_view text) {
    return InkIsf_decodeBase64(text).value_or(std::vector<InkStroke>{});
  };
  auto paired = [&](const std::vector<InkStroke>& strokes) {
    std::vector<PageInkStroke> out;
    for (size_t i = 0; i < strokes.size() && i < ids.size(); ++i) {
      PageInkStroke s;
      s.id = ids[i];
      s.stroke = strokes[i];
      out.push_back(std::move(s));
    }
    return out;
  };
  std::vector<uint32_t> touched;
  switch (r.inkKind) {
    case UndoInk_moved:
      page_.moveBy(ids, redo ? r.dx : -r.dx, redo ? r.dy : -r.dy);
      touched = ids;
      break;
    case UndoInk_resized:
    case UndoInk_attributes: {
      const size_t cut = r.inkData.find('\n');
      const std::string_view data = r.inkData;
      const std::string_view side =
          cut == std::string::npos ? std::string_view() : redo ? data.substr(cut + 1) : data.substr(0, cut);
      page_.replace(paired(decode(side)));
      touched = ids;
      break;
    }
    case UndoInk_added:
    case UndoInk_deleted:
      if ((r.inkKind == UndoInk_added) == redo) {
        for (PageInkStroke& s : paired(decode(r.inkData))) page_.add(std::move(s.stroke), s.id);
        touched = ids;
      } else {
        page_.remove(ids);
      }
      break;
    default:
      break;
  }
  page_.select(touched);
  selectionChanged();
  repaint(std::nullopt);
}

void InkEngine::selectionChanged() {
  if (hooks_.selectionChanged) hooks_.selectionChanged();
}

// --- drawing ---------------------------------------------------------------------------

const PageInk* InkEngine::storedPage(int32_t pageNumber) {
  NoteDocument* doc = hooks_.document ? hooks_.document() : nullptr;
  if (doc == nullptr || doc->page(pageNumber) == nullptr) return nullptr;
  const InkLayerFiles files = doc->inkFiles();
  auto size = [](const std::string& path) {
    return FileX_exists(path) ? std::to_string(FileX_fileSize(path)) : std::string("-");
  };
  const std::string key = std::to_string(blockKey(doc->page(pageNumber)->inkData)) + "|" +
                          size(files.backPath(pageNumber)) +
                          "|" + size(files.frontPath(pageNumber));
  auto it = stored_.find(pageNumber);
  if (it == stored_.end() || it->second.first != key) {
    PageInk ink;
    InkPaint_loadStoredPage(*doc, pageNumber, ink);
    it = stored_.insert_or_assign(pageNumber, std::make_pair(key, std::move(ink))).first;
  }
  return &it->second.second;
}

void InkEngine::drawPage(Surface& surface, const DrawContext& ctx, int32_t pageNumber) {
  const bool shown = loaded_ && hooks_.pageNumber && hooks_.pageNumber() == pageNumber;
  if (!shown) {
    if (const PageInk* ink = storedPage(pageNumber)) InkPaint_strokes(surface, ctx, ink->strokes());
    return;
  }
  // Prints and page images show the ink alone, without the halo of the
  // selection or a stroke still being written.
  if (ctx.directOutput) {
    InkPaint_strokes(surface, ctx, page_.strokes());
    return;
  }
  auto* qt = dynamic_cast<QtSurface*>(&surface);
  if (qt == nullptr) return;
  if (!page_.strokes().empty()) {
    QPainter& painter = qt->painter();
    if (!drawLayers(painter, ctx)) {
      InkPaint_strokes(surface, ctx, page_.strokes(), page_.selection());
    } else if (!page_.selection().empty()) {
      // The selected strokes again on top, with their halo.
      std::vector<PageInkStroke> chosen;
      const std::vector<uint32_t>& sel = page_.selection();
      const std::unordered_set<uint32_t> ids(sel.begin(), sel.end());
      for (const PageInkStroke& st : page_.strokes())
        if (ids.count(st.id) != 0) chosen.push_back(st);
      InkPaint_strokes(surface, ctx, chosen, sel);
    }
  }
  if (gesture_ == Gesture::Stroke && !live_.points.empty()) {
    if (auto* qt = dynamic_cast<QtSurface*>(&surface)) {
      QPainter& painter = qt->painter();
      painter.save();
      painter.setRenderHint(QPainter::Antialiasing, true);
      InkPaint_stroke(painter, ctx, live_);
      painter.restore();
      liveDrawn_ = live_.points.size();
    }
  }
}

bool InkEngine::drawLayers(QPainter& painter, const DrawContext& ctx) {
  constexpr double kMaxPixels = 12.0e6;  // of one picture
  const qreal ratio = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
  Layers& l = layers_;
  const bool sameView = l.revision != UINT64_MAX && l.zoomX == ctx.zoomX && l.zoomY == ctx.zoomY &&
                        l.ratio == ratio && !l.tooLarge;
  std::vector<Rect32> areas;
  const bool partial = page_.takeDamage(areas);
  // The picture's own context: device pixels from its origin, no clip.
  auto layerContext = [&] {
    DrawContext at = ctx;
    at.scrollX = static_cast<int32_t>(l.origin.x());
    at.scrollY = static_cast<int32_t>(l.origin.y());
    at.clipLeft = at.clipTop = INT32_MIN;
    at.clipRight = at.clipBottom = INT32_MAX;
    return at;
  };
  auto within = [&](const Rect32& a) {
    return a.x >= l.inkBounds.x && a.y >= l.inkBounds.y &&
           int64_t{a.x} + a.w <= int64_t{l.inkBounds.x} + l.inkBounds.w &&
           int64_t{a.y} + a.h <= int64_t{l.inkBounds.y} + l.inkBounds.h;
  };
  bool rebuild = !sameView || !partial;
  if (!rebuild && l.revision != page_.revision()) {
    rebuild = !std::all_of(areas.begin(), areas.end(), within);
  }
  if (rebuild) {
    l = Layers{};
    l.zoomX = ctx.zoomX;
    l.zoomY = ctx.zoomY;
    l.ratio = ratio;
    // The page and every stroke: writing on the page changes a part.
    Rect32 all;
    if (NoteDocument* doc = hooks_.document ? hooks_.document() : nullptr;
        doc != nullptr && doc->currentPage() != nullptr) {
      const Canvas& canvas = doc->currentPage()->settings();
      all = Ink_fromPageRect({0, 0, canvas.width(), canvas.height()});
    }
    for (const PageInkStroke& st : page_.strokes()) all = unite(all, st.box);
    l.inkBounds = all;
    DrawContext at = ctx;
    at.scrollX = at.scrollY = 0;
    const QRectF box = InkPaint_deviceBox(all, at).adjusted(-2, -2, 2, 2);
    const double w = std::ceil(box.width()) + 1, h = std::ceil(box.height()) + 1;
    l.tooLarge = w * h * ratio * ratio > kMaxPixels || w < 1 || h < 1;
    if (l.tooLarge) return false;
    l.origin = QPointF(std::floor(box.left()), std::floor(box.top()));
    l.size = QSize(static_cast<int>(std::ceil(w * ratio)), static_cast<int>(std::ceil(h * ratio)));
    areas.assign(1, all);
  }
  l.revision = page_.revision();
  // The changed areas of the pictures: cleared and drawn again.
  const DrawContext at = layerContext();
  const double unitsPerDevicePixel = Ink_unitsPerPixel * 100.0 / std::max(ctx.zoomX, 1);
  const int32_t margin = static_cast<int32_t>(std::ceil(4 * unitsPerDevicePixel));
  for (const Rect32& a : areas) {
    const Rect32 grown{Figure_toInt32(int64_t{a.x} - margin), Figure_toInt32(int64_t{a.y} - margin),
                       Figure_toInt32(int64_t{a.w} + 2 * margin), Figure_toInt32(int64_t{a.h} + 2 * margin)};
    const QRect clip = InkPaint_deviceBox(a, at).adjusted(-2, -2, 2, 2).toAlignedRect();
    for (const bool markers : {true, false}) {
      QImage& image = markers ? l.markers : l.pens;
      const bool needed = std::any_of(page_.strokes().begin(), page_.strokes().end(),
                                      [&](const PageInkStroke& st) {
                                        return (st.stroke.attributes.rasterOp == InkRop_maskPen) == markers;
                                      });
      if (image.isNull()) {
        if (!needed) continue;
        image = QImage(l.size, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) {
          l.tooLarge = true;
          return false;
        }
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::transparent);
      }
      QPainter p(&image);
      p.setClipRect(clip);
      p.setCompositionMode(QPainter::CompositionMode_Clear);
      p.fillRect(clip, Qt::transparent);
      p.setCompositionMode(QPainter::CompositionMode_SourceOver);
      p.setRenderHint(QPainter::Antialiasing, true);
      for (const PageInkStroke& st : page_.strokes()) {
        if ((st.stroke.attributes.rasterOp == InkRop_maskPen) != markers) continue;
        if (!Rect32_overlaps(st.box, grown)) continue;
        InkPaint_stroke(p, at, st.stroke);
      }
    }
  }
  if (l.tooLarge) return false;
  painter.save();
  const QPointF to(l.origin.x() - ctx.scrollX, l.origin.y() - ctx.scrollY);
  if (const QRect clip = InkPaint_deviceClip(ctx); !clip.isNull()) painter.setClipRect(clip);
  if (!l.markers.isNull()) {
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    painter.drawImage(to, l.markers);
  }
  if (!l.pens.isNull()) {
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(to, l.pens);
  }
  painter.restore();
  return true;
}

void InkEngine::drawMarks(Surface& surface, const DrawContext& ctx) {
  auto* qt = dynamic_cast<QtSurface*>(&surface);
  if (qt == nullptr) return;
  const QPalette palette = QGuiApplication::palette();
  const QColor highlight = palette.color(QPalette::Highlight);
  const QColor inverse(255 - highlight.red(), 255 - highlight.green(), 255 - highlight.blue());
  QPainter& painter = qt->painter();
  painter.save();
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  if (gesture_ == Gesture::Lasso && lasso_.size() >= 2) {
    QPolygonF ring;
    for (const InkPoint& p : lasso_) ring << InkPaint_devicePoint(ctx, p);
    painter.setPen(QPen(inverse, 1, Qt::DashDotLine));
    painter.setBrush(QBrush(highlight, Qt::FDiagPattern));
    painter.drawPolygon(ring);
    painter.setPen(QPen(highlight, 1, Qt::DashDotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(ring);
  }
  if (!page_.selection().empty()) {
    // The selection's box, dotted, so that selected ink shows on any paper.
    const QRectF box = InkPaint_deviceBox(page_.selectionBox(), ctx).adjusted(-3, -3, 3, 3);
    painter.setPen(QPen(highlight, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(box);
  }
  if (const std::optional<Point32> corner = cornerMark()) {
    const double x = double(corner->x) * ctx.zoomX / 100.0 - ctx.scrollX;
    const double y = double(corner->y) * ctx.zoomY / 100.0 - ctx.scrollY;
    painter.setPen(QPen(inverse, 1));
    painter.setBrush(highlight);
    painter.drawRect(QRectF(std::floor(x) - 3, std::floor(y) - 3, 6, 6));
  }
  painter.restore();
}
