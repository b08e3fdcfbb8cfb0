#include "document/ink/page_ink.h"

#include <algorithm>
#include <cmath>

#include "document/ink/ink_serialized.h"
#include "document/note/ink_layer_files.h"

namespace {

// Ids looked up many times: sorted once.
class IdSet {
 public:
  explicit IdSet(std::span<const uint32_t> ids) : ids_(ids.begin(), ids.end()) {
    std::sort(ids_.begin(), ids_.end());
  }
  bool has(uint32_t id) const { return std::binary_search(ids_.begin(), ids_.end(), id); }

 private:
  std::vector<uint32_t> ids_;
};

// Squared distance from p to the segment a-b.
double distance2(double px, double py, const InkPoint& a, const InkPoint& b) {
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
  const double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? ((px - a.x) * dx + (py - a.y) * dy) / len2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double cx = a.x + t * dx - px, cy = a.y + t * dy - py;
  return cx * cx + cy * cy;
}

}  // namespace

Rect32 InkStroke_drawnBox(const InkStroke& stroke) {
  const InkStroke one[1] = {stroke};
  Rect32 r = InkStrokes_bounds(std::span<const InkStroke>(one, 1));
  int32_t pen = std::max(stroke.attributes.width, stroke.attributes.height);
  pen = std::clamp(pen, 0, 1000000) / 2 + 1;
  return {Figure_toInt32(int64_t{r.x} - pen), Figure_toInt32(int64_t{r.y} - pen),
          Figure_toInt32(int64_t{r.w} + 2 * pen), Figure_toInt32(int64_t{r.h} + 2 * pen)};
}

bool PageInk::load(std::string_view rawBase64, std::string_view backGroup, std::string_view frontGroup) {
  clear();
  raw_ = rawBase64;
  back_ = backGroup;
  front_ = frontGroup;
  std::optional<std::vector<InkStroke>> strokes = InkIsf_decodeBase64(rawBase64);
  const bool decoded = strokes.has_value();
  if (!decoded || (strokes->empty() && raw_.empty())) {
    strokes = InkLayer_strokesOfGroup(back_);
    std::vector<InkStroke> front = InkLayer_strokesOfGroup(front_);
    strokes->insert(strokes->end(), std::make_move_iterator(front.begin()),
                    std::make_move_iterator(front.end()));
  }
  for (InkStroke& s : *strokes) add(std::move(s));
  changed_ = false;
  return decoded;
}

void PageInk::clear() {
  ++revision_;
  damageAll_ = true;
  damage_.clear();
  strokes_.clear();
  selection_.clear();
  raw_.clear();
  back_.clear();
  front_.clear();
  changed_ = false;
}

std::string PageInk::rawBase64() const {
  if (!changed_) return raw_;
  std::vector<InkStroke> all;
  all.reserve(strokes_.size());
  for (const PageInkStroke& s : strokes_) all.push_back(s.stroke);
  return InkIsf_encodeBase64(all);
}

std::string PageInk::layerText(int32_t layer) const {
  if (!changed_) return layer == InkLayer_back ? back_ : front_;
  if (strokes_.empty()) return {};
  std::vector<InkStroke> all;
  all.reserve(strokes_.size());
  for (const PageInkStroke& s : strokes_) all.push_back(s.stroke);
  return InkLayer_groupText(all, layer, layer == InkLayer_front ? rawBase64() : std::string());
}

void PageInk::markWritten() {
  if (!changed_) return;
  raw_ = rawBase64();
  back_ = layerText(InkLayer_back);
  front_ = layerText(InkLayer_front);
  changed_ = false;
}

void PageInk::renumber(const std::vector<uint32_t>& ids) {
  if (ids.size() != strokes_.size()) return;
  for (size_t i = 0; i < ids.size(); ++i) {
    strokes_[i].id = ids[i];
    nextId_ = std::max(nextId_, ids[i] + 1);
  }
}

const PageInkStroke* PageInk::find(uint32_t id) const {
  for (const PageInkStroke& s : strokes_)
    if (s.id == id) return &s;
  return nullptr;
}

uint32_t PageInk::add(InkStroke stroke, uint32_t id) {
  if (id == 0 || find(id) != nullptr) id = nextId_;
  nextId_ = std::max(nextId_, id + 1);
  PageInkStroke s;
  s.id = id;
  s.box = InkStroke_drawnBox(stroke);
  s.stroke = std::move(stroke);
  touch(s.box);
  strokes_.push_back(std::move(s));
  return id;
}

std::vector<PageInkStroke> PageInk::remove(std::span<const uint32_t> idList) {
  const IdSet ids(idList);
  std::vector<PageInkStroke> out;
  std::erase_if(strokes_, [&](PageInkStroke& s) {
    if (!ids.has(s.id)) return false;
    touch(s.box);
    out.push_back(std::move(s));
    return true;
  });
  std::erase_if(selection_, [&](uint32_t id) { return ids.has(id); });
  return out;
}

void PageInk::replace(std::span<const PageInkStroke> with) {
  std::vector<uint32_t> idList;
  for (const PageInkStroke& w : with) idList.push_back(w.id);
  const IdSet ids(idList);
  for (PageInkStroke& s : strokes_) {
    if (!ids.has(s.id)) continue;
    for (const PageInkStroke& w : with) {
      if (w.id != s.id) continue;
      touch(s.box);
      s.stroke = w.stroke;
      s.box = InkStroke_drawnBox(s.stroke);
      touch(s.box);
    }
  }
}

void PageInk::moveBy(std::span<const uint32_t> idList, int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  const IdSet ids(idList);
  for (PageInkStroke& s : strokes_) {
    if (!ids.has(s.id)) continue;
    touch(s.box);
    InkStrokes_moveBy(std::span<InkStroke>(&s.stroke, 1), dx, dy);
    s.box = InkStroke_drawnBox(s.stroke);
    touch(s.box);
  }
}

void PageInk::scaleTo(std::span<const uint32_t> idList, Rect32 target) {
  std::vector<InkStroke> chosen = copies(idList);
  if (chosen.empty()) return;
  InkStrokes_scaleToRectangle(chosen, target);
  const IdSet ids(idList);
  size_t k = 0;
  for (PageInkStroke& s : strokes_) {
    if (!ids.has(s.id) || k >= chosen.size()) continue;
    touch(s.box);
    s.stroke = std::move(chosen[k++]);
    s.box = InkStroke_drawnBox(s.stroke);
    touch(s.box);
  }
}

std::vector<InkStroke> PageInk::copies(std::span<const uint32_t> idList) const {
  const IdSet ids(idList);
  std::vector<InkStroke> out;
  for (const PageInkStroke& s : strokes_)
    if (ids.has(s.id)) out.push_back(s.stroke);
  return out;
}

bool PageInk::takeDamage(std::vector<Rect32>& areas) {
  const bool all = damageAll_;
  areas = std::move(damage_);
  damage_.clear();
  damageAll_ = false;
  return !all;
}

void PageInk::select(std::vector<uint32_t> ids) {
  const IdSet wanted(ids);
  selection_.clear();
  for (const PageInkStroke& s : strokes_)
    if (wanted.has(s.id)) selection_.push_back(s.id);
}

void PageInk::selectAll() {
  selection_.clear();
  for (const PageInkStroke& s : strokes_) selection_.push_back(s.id);
}

bool PageInk::deselectAll() {
  const bool had = !selection_.empty();
  selection_.clear();
  return had;
}

Rect32 PageInk::selectionBox() const {
  return InkStrokes_bounds(copies(selection_));
}

uint32_t PageInk::strokeAt(int32_t x, int32_t y, int32_t tolerance) const {
  const Rect32 probe{Figure_toInt32(int64_t{x} - tolerance), Figure_toInt32(int64_t{y} - tolerance),
                     Figure_toInt32(int64_t{tolerance} * 2), Figure_toInt32(int64_t{tolerance} * 2)};
  for (auto it = strokes_.rbegin(); it != strokes_.rend(); ++it) {
    if (!Rect32_overlaps(it->box, probe)) continue;
    const std::vector<InkPoint>& pts = it->stroke.points;
    for (size_t i = 0; i < pts.size(); ++i) {
      const InkPoint& a = pts[i];
      const InkPoint& b = pts[std::min(i + 1, pts.size() - 1)];
      const double reach = tolerance + InkStroke_widthAt(it->stroke.attributes, a) / 2.0;
      if (distance2(x, y, a, b) <= reach * reach) return it->id;
    }
  }
  return 0;
}

std::vector<uint32_t> PageInk::inside(std::span<const InkPoint> outline, double share) const {
  std::vector<uint32_t> out;
  if (outline.size() < 3) return out;
  std::vector<InkStroke> ring;
  ring.push_back(InkStroke{std::vector<InkPoint>(outline.begin(), outline.end()), {}});
  const Rect32 box = InkStrokes_bounds(ring);
  for (const PageInkStroke& s : strokes_) {
    if (!Rect32_overlaps(s.box, box)) continue;
    if (InkStroke_shareInside(s.stroke, outline) >= share) out.push_back(s.id);
  }
  return out;
}

std::vector<uint32_t> PageInk::inside(const Rect32& rect, double share) const {
  std::vector<uint32_t> out;
  for (const PageInkStroke& s : strokes_) {
    if (!Rect32_overlaps(s.box, rect)) continue;
    if (InkStroke_shareInside(s.stroke, rect) >= share) out.push_back(s.id);
  }
  return out;
}

bool PageInk::onSelection(int32_t x, int32_t y) const {
  for (const uint32_t id : selection_) {
    const PageInkStroke* s = find(id);
    if (s != nullptr && InkStroke_shareNear(s->stroke, x, y) >= 0.01) return true;
  }
  return false;
}
