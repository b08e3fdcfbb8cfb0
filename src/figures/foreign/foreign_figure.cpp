#include "figures/foreign/foreign_figure.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "figures/base/handles.h"
#include "figures/base/snapshot.h"
#include "figures/base/svg_format.h"
#include "figures/base/svg_write_context.h"

namespace {

// The render document's user space: far beyond the model's coordinates.
constexpr const char* kRenderRoot =
    "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
    "version=\"1.1\" width=\"800000\" height=\"800000\" viewBox=\"-400000 -400000 800000 "
    "800000\"";

int32_t roundOut(double v, bool up) {
  const double r = up ? std::ceil(v) : std::floor(v);
  if (!(r == r)) return 0;  // NaN
  return static_cast<int32_t>(std::clamp(r, -2.0e9, 2.0e9));
}

// The same render document (the map is the painter's, not the document's).
bool drawsTheSame(const ForeignParts& a, const ForeignParts& b) {
  return a.markup == b.markup && a.defs == b.defs && a.style == b.style &&
         a.namespaces == b.namespaces;
}

void putDouble(SnapshotWriter& out, double v) { out.i64(std::bit_cast<int64_t>(v)); }
double getDouble(SnapshotReader& in) { return std::bit_cast<double>(in.i64()); }

}  // namespace

bool ForeignParts_finite(const ForeignParts& p) {
  const SvgAffine& m = p.matrix;
  const ForeignBox& b = p.box;
  for (const double v : {m.a, m.b, m.c, m.d, m.e, m.f, b.left, b.top, b.right, b.bottom})
    if (!std::isfinite(v)) return false;
  return true;
}

std::string Foreign_Figure::GetKindNameJapanese() const {
  return FigureKind_nameJapanese(GetKind());
}
std::string Foreign_Figure::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

const std::string& Foreign_Figure::renderDocument() const {
  if (!render_.empty()) return render_;
  std::string doc = kRenderRoot;
  doc += parts_.namespaces;
  doc += ">";
  if (!parts_.defs.empty()) {
    doc += "<defs>";
    doc += parts_.defs;
    doc += "</defs>";
  }
  doc += "<g";
  if (!parts_.style.empty()) {
    doc += " style=\"";
    doc += SvgFormat_escapeAttr(parts_.style);
    doc += '"';
  }
  doc += ">";
  doc += parts_.markup;
  doc += "</g></svg>";
  // The renderer drops a radial gradient without a radius: give it the
  // default one.
  for (size_t at = 0; (at = doc.find("<radialGradient", at)) != std::string::npos;) {
    at += 15;
    const size_t end = doc.find('>', at);
    if (end == std::string::npos) break;
    const std::string_view tag(doc.data() + at, end - at);
    bool hasR = false;
    for (const char* form : {" r=", "\tr=", "\nr="}) hasR = hasR || tag.find(form) != std::string_view::npos;
    if (!hasR) doc.insert(at, " r=\"50%\"");
  }
  render_ = Cp932_toUtf8(doc);
  return render_;
}

Rect32 Foreign_Figure::pageBox() const {
  const SvgAffine& m = parts_.matrix;
  const ForeignBox& b = parts_.box;
  double l = INFINITY, t = INFINITY, r = -INFINITY, bo = -INFINITY;
  for (const double x : {b.left, b.right}) {
    for (const double y : {b.top, b.bottom}) {
      const double px = m.mapX(x, y), py = m.mapY(x, y);
      l = std::min(l, px);
      r = std::max(r, px);
      t = std::min(t, py);
      bo = std::max(bo, py);
    }
  }
  // Within the model's range, so that keeping figures inside it never
  // moves a figure larger than the range.
  auto inRange = [](int32_t v) { return std::clamp(v, -Figure_coordMax, Figure_coordMax); };
  const int32_t left = inRange(roundOut(l, false)), top = inRange(roundOut(t, false));
  const int32_t right = std::max(inRange(roundOut(r, true)), left);
  const int32_t bottom = std::max(inRange(roundOut(bo, true)), top);
  return {left, top, right - left, bottom - top};
}

// --- output ------------------------------------------------------------------

void Foreign_Figure::WriteSvg(SvgWriteContext& ctx) const {
  ctx.put("\t<g zerbin-foreign=\"");
  ctx.put(SvgFormat_escapeAttr(parts_.element));
  ctx.put("\"");
  ctx.put(parts_.namespaces);
  if (!parts_.matrix.isIdentity()) {
    ctx.put(" transform=\"");
    ctx.put(SvgAffine_text(parts_.matrix));
    ctx.put("\"");
  }
  if (!parts_.style.empty()) {
    ctx.put(" style=\"");
    ctx.put(SvgFormat_escapeAttr(parts_.style));
    ctx.put("\"");
  }
  const ForeignBox& b = parts_.box;
  ctx.put(" zerbin-box=\"" + SvgAffine_number(b.left) + " " + SvgAffine_number(b.top) + " " +
          SvgAffine_number(b.right) + " " + SvgAffine_number(b.bottom) + "\"");
  ctx.put(">\n");
  if (!parts_.defs.empty()) {
    ctx.put("\t<defs>");
    ctx.put(parts_.defs);
    ctx.put("</defs>\n");
  }
  ctx.put(parts_.markup);
  ctx.put("\n\t</g>\n");
}

void Foreign_Figure::Draw(Surface& surface, const DrawContext& ctx) {
  const Rect32 box = pageBox();
  const int64_t l = DrawContext_deviceX(ctx, box.x), t = DrawContext_deviceY(ctx, box.y);
  const int64_t r = DrawContext_deviceX(ctx, int64_t{box.x} + box.w);
  const int64_t b = DrawContext_deviceY(ctx, int64_t{box.y} + box.h);
  if (!DrawContext_outsideClip(ctx, l - 2, t - 2, r + 2, b + 2)) {
    const SvgAffine toDevice =
        SvgAffine{ctx.zoomX / 100.0, 0, 0, ctx.zoomY / 100.0, double(-ctx.scrollX),
                  double(-ctx.scrollY)} *
        parts_.matrix;
    surface.svgDocument(renderDocument(),
                        SurfaceAffine{toDevice.a, toDevice.b, toDevice.c, toDevice.d, toDevice.e,
                                      toDevice.f},
                        cache_);
  }
  if (IsSelected() && ctx.showHandles) DrawHandles(surface, ctx, SystemColour_highlight ^ 0xFFFFFF, 0);
}

void Foreign_Figure::DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour, int32_t) {
  const Rect32 box = pageBox();
  const std::array<Point32, 8> points = FigureHandles_boxPoints(box);
  FigureHandles_draw(surface, ctx, points, colour, true);
}

// --- copies, equality, snapshots ----------------------------------------------

void Foreign_Figure::changed() {
  render_.clear();
  cache_.reset();
}

void Foreign_Figure::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Foreign_Figure*>(&other);
  if (o == nullptr) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  const bool sameDrawing = drawsTheSame(parts_, o->parts_);
  parts_ = o->parts_;
  if (!sameDrawing) {
    // The other's parse draws what this figure now holds.
    render_ = o->render_;
    cache_ = o->cache_;
  }
}

bool Foreign_Figure::Equals(const CadPrim& other, int32_t) const {
  const auto* o = dynamic_cast<const Foreign_Figure*>(&other);
  return o != nullptr && header_.number == o->header_.number && parts_ == o->parts_;
}

std::unique_ptr<CadPrim> Foreign_Figure::Clone(const FigureList* list) const {
  auto c = std::make_unique<Foreign_Figure>();
  c->CopyFrom(*this, list);
  return c;
}

size_t Foreign_Figure::GetSnapshotSize() const {
  return Snapshot_headerSize + Snapshot_int32Size + Snapshot_stringSize(parts_.element) +
         Snapshot_stringSize(parts_.markup) + Snapshot_stringSize(parts_.defs) +
         Snapshot_stringSize(parts_.style) + Snapshot_stringSize(parts_.namespaces) +
         10 * Snapshot_int64Size;
}

void Foreign_Figure::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  out.string(parts_.element);
  out.string(parts_.markup);
  out.string(parts_.defs);
  out.string(parts_.style);
  out.string(parts_.namespaces);
  const SvgAffine& m = parts_.matrix;
  for (const double v : {m.a, m.b, m.c, m.d, m.e, m.f}) putDouble(out, v);
  const ForeignBox& b = parts_.box;
  for (const double v : {b.left, b.top, b.right, b.bottom}) putDouble(out, v);
}

void Foreign_Figure::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  ForeignParts read;
  const int32_t number = in.i32();
  read.element = in.string();
  read.markup = in.string();
  read.defs = in.string();
  read.style = in.string();
  read.namespaces = in.string();
  SvgAffine& m = read.matrix;
  for (double* v : {&m.a, &m.b, &m.c, &m.d, &m.e, &m.f}) *v = getDouble(in);
  ForeignBox& b = read.box;
  for (double* v : {&b.left, &b.top, &b.right, &b.bottom}) *v = getDouble(in);
  if (!ForeignParts_finite(read)) Errors_RAISE(Errors_Unofficial, "error");
  const bool sameDrawing = drawsTheSame(read, parts_);
  parts_ = std::move(read);
  header_.number = number;
  if (!sameDrawing) changed();
}

// --- hit test, moving ----------------------------------------------------------

HitResult Foreign_Figure::HitTest(int32_t x, int32_t y, int32_t zoom, int32_t) {
  HitResult h;
  const Rect32 box = pageBox();
  const int64_t slack = std::max<int64_t>(200 / std::max(zoom, 1), 1);
  if (x >= box.x - slack && x <= int64_t{box.x} + box.w + slack && y >= box.y - slack &&
      y <= int64_t{box.y} + box.h + slack) {
    h.code = -1;
    h.dx = Figure_toInt32(int64_t{box.x} - x);
    h.dy = Figure_toInt32(int64_t{box.y} - y);
    h.cursor = HitCursor_Move;
  }
  return h;
}

Point32 Foreign_Figure::GetHandlePoint(int32_t) const {
  const Rect32 box = pageBox();
  return {box.x, box.y};
}

void Foreign_Figure::MoveBy(int32_t dx, int32_t dy) {
  parts_.matrix.e += dx;
  parts_.matrix.f += dy;
}

void Foreign_Figure::DragHandleTo(int32_t handle, int32_t x, int32_t y, bool, int32_t, bool) {
  if (handle != -1) return;
  const Rect32 box = pageBox();
  MoveBy(Figure_toInt32(int64_t{x} - box.x), Figure_toInt32(int64_t{y} - box.y));
}

bool Foreign_Figure::IntersectsRect(const Rect32& r) const {
  const Rect32 b = pageBox();
  return int64_t{b.x} + b.w > r.x && int64_t{r.x} + r.w > b.x && int64_t{b.y} + b.h > r.y &&
         int64_t{r.y} + r.h > b.y;
}

int32_t Foreign_Figure::GetEdge(int32_t which) const {
  Figure_checkGetEdge(which);
  const Rect32 b = pageBox();
  switch (which) {
    case 0: case 6: return b.x;
    case 1: return Figure_toInt32(int64_t{b.x} + b.w);
    case 2: case 7: return b.y;
    case 3: return Figure_toInt32(int64_t{b.y} + b.h);
    case 4: return Figure_toInt32(int64_t{b.x} + b.w / 2);
    default: return Figure_toInt32(int64_t{b.y} + b.h / 2);
  }
}

void Foreign_Figure::SetEdge(int32_t which, int32_t value) {
  Figure_checkSetEdge(which);
  const int32_t now = GetEdge(which);
  const int32_t d = Figure_toInt32(int64_t{value} - now);
  if (which == 0 || which == 1 || which == 4)
    MoveBy(d, 0);
  else
    MoveBy(0, d);
}

int32_t Foreign_Figure::GetExtent(bool vertical) const {
  const Rect32 b = pageBox();
  return vertical ? b.h : b.w;
}

PropertyRow Foreign_Figure::GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                                        std::string_view) const {
  if (row != 0) return PropertyRow_pastEnd();
  return PropertyRow_text(japanese ? "要素" : "Element",
                          PropertyRow_fitValue(parts_.element, valueCapacity));
}
