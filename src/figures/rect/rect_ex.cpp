// Rect_Ex: names, copies, equality, snapshots, edges and extents.
#include "figures/rect/rect_ex.h"

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "figures/base/snapshot.h"

Point32 Rect_rotateRound(double px, double py, double cx, double cy, int32_t degrees) {
  // Unrotated points stay exact (the +0.5 would move negative ones).
  if (degrees % 360 == 0) {
    return {Figure_toInt32(static_cast<int64_t>(px)), Figure_toInt32(static_cast<int64_t>(py))};
  }
  const RectPointF r = Rect_rotate(px, py, cx, cy, degrees);
  return {Figure_toInt32(static_cast<int64_t>(r.x + 0.5)),
          Figure_toInt32(static_cast<int64_t>(r.y + 0.5))};
}

std::string Rect_Ex::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Rect_Ex::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

bool Rect_Ex::HasMultibyteText() const {
  for (char c : imagePath) {
    if (Cp932_isLead(static_cast<unsigned char>(c))) return true;
  }
  return false;
}

// --- copies and equality ---------------------------------------------------

void Rect_Ex::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Rect_Ex*>(&other);
  if (o == nullptr) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.number = o->header_.number;
  header_.locked = o->header_.locked;
  url = o->url;
  target = o->target;
  afterClick = o->afterClick;
  id = o->id;
  pub = o->pub;
  x = o->x;
  y = o->y;
  width = o->width;
  height = o->height;
  angle = o->angle;
  CopyStyleFrom(*o, 0);
  shape = o->shape;
  imagePath = o->imagePath;
  workImagePath = o->workImagePath;
  embedImage = o->embedImage;
  takeNaturalSize = o->takeNaturalSize;
  naturalWidth = o->naturalWidth;
  naturalHeight = o->naturalHeight;
  naturalSizeLock = o->naturalSizeLock;
  imageLoadable = o->imageLoadable;
  workFolder_ = o->workFolder_;
  DropImageCache();  // this figure renders its own picture
}

void Rect_Ex::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Rect_Ex*>(&other);
  if (o == nullptr) return;
  strokeWidth = o->strokeWidth;
  strokeColour = o->strokeColour;
  fillColour = o->fillColour;
  opacity = o->opacity;
  styleReserve = o->styleReserve;
}

bool Rect_Ex::Equals(const CadPrim& other, int32_t) const {
  const auto* o = dynamic_cast<const Rect_Ex*>(&other);
  if (o == nullptr) return false;
  return header_.number == o->header_.number && header_.locked == o->header_.locked &&
         url == o->url && target == o->target && afterClick == o->afterClick && id == o->id &&
         pub == o->pub && x == o->x && y == o->y && width == o->width && height == o->height &&
         angle == o->angle && strokeWidth == o->strokeWidth &&
         strokeColour == o->strokeColour && fillColour == o->fillColour &&
         opacity == o->opacity && styleReserve == o->styleReserve && shape == o->shape &&
         imagePath == o->imagePath && workImagePath == o->workImagePath &&
         embedImage == o->embedImage && takeNaturalSize == o->takeNaturalSize &&
         naturalWidth == o->naturalWidth && naturalHeight == o->naturalHeight &&
         naturalSizeLock == o->naturalSizeLock;
}

std::unique_ptr<CadPrim> Rect_Ex::Clone(const FigureList* list) const {
  auto c = std::make_unique<Rect_Ex>();
  c->CopyFrom(*this, list);
  return c;
}

// --- snapshots ---------------------------------------------------------------
// number, locked, afterClick, x ... shape (11 int32), the cache record
// (text + 3 int32), embedImage, takeNaturalSize, naturalWidth,
// naturalHeight, naturalSizeLock, imageLoadable, then the six texts.

size_t Rect_Ex::GetSnapshotSize() const {
  return Snapshot_headerSize + 2 * Snapshot_int32Size + Snapshot_int8Size +
         11 * Snapshot_int32Size + Snapshot_stringSize(cache.cachePath) +
         3 * Snapshot_int32Size + 4 * Snapshot_int8Size + 2 * Snapshot_int32Size +
         Snapshot_stringSize(id) + Snapshot_stringSize(url) + Snapshot_stringSize(target) +
         Snapshot_stringSize(pub) + Snapshot_stringSize(imagePath) +
         Snapshot_stringSize(workImagePath);
}

void Rect_Ex::WriteSnapshot(SnapshotWriter& out) const {
  out.header(GetKind(), kSnapshotVersion);
  out.i32(header_.number);
  out.boolean(header_.locked);
  out.i32(afterClick);
  for (int32_t v : {x, y, width, height, angle, strokeWidth}) out.i32(v);
  out.u32(strokeColour);
  out.u32(fillColour);
  for (int32_t v : {opacity, styleReserve, shape}) out.i32(v);
  out.string(cache.cachePath);
  out.i32(cache.width);
  out.i32(cache.height);
  out.i32(cache.byteSize);
  out.boolean(embedImage);
  out.boolean(takeNaturalSize);
  out.i32(naturalWidth);
  out.i32(naturalHeight);
  out.boolean(naturalSizeLock);
  out.boolean(imageLoadable);
  for (const std::string* s : {&id, &url, &target, &pub, &imagePath, &workImagePath}) {
    out.string(*s);
  }
}

void Rect_Ex::ReadSnapshot(SnapshotReader& in) {
  in.header(GetKind(), kSnapshotVersion);
  Rect_Ex r;  // filled first: a malformed snapshot leaves this figure alone
  r.header_.number = in.i32();
  r.header_.locked = in.boolean();
  r.afterClick = in.i32();
  for (int32_t* v : {&r.x, &r.y, &r.width, &r.height, &r.angle, &r.strokeWidth}) *v = in.i32();
  r.strokeColour = in.u32();
  r.fillColour = in.u32();
  for (int32_t* v : {&r.opacity, &r.styleReserve, &r.shape}) *v = in.i32();
  RectImageCache c;
  c.cachePath = in.string(4095);
  c.width = in.i32();
  c.height = in.i32();
  c.byteSize = in.i32();
  r.embedImage = in.boolean();
  r.takeNaturalSize = in.boolean();
  r.naturalWidth = in.i32();
  r.naturalHeight = in.i32();
  r.naturalSizeLock = in.boolean();
  r.imageLoadable = in.boolean();
  for (std::string* s : {&r.id, &r.url, &r.target, &r.pub, &r.imagePath, &r.workImagePath}) {
    *s = in.string();
  }
  // Sizes of a foreign snapshot are kept within the model's limits.
  r.width = Figure_clampSize(r.width);
  r.height = Figure_clampSize(r.height);
  r.workFolder_ = workFolder_;
  const FigureHeader keep = header_;  // isCopy, selection and marks stay
  CopyFrom(r, nullptr);
  header_ = FigureHeader{r.header_.number, keep.isCopy, keep.selected, keep.moveMark,
                         r.header_.locked};
  cache = c;  // the record only; the picture is rendered again when shown
}

// --- edges and extents -------------------------------------------------------

bool Rect_Ex::IntersectsRect(const Rect32& r) const {
  return Rect32_overlaps(Rect32{x, y, width, height}, r);
}

int32_t Rect_Ex::GetEdge(int32_t which) const {
  Figure_checkGetEdge(which);
  switch (which) {
    case 0: case 6: return x;
    case 1: return Figure_toInt32(int64_t{x} + width);
    case 2: case 7: return y;
    case 3: return Figure_toInt32(int64_t{y} + height);
    case 4: return Figure_toInt32(int64_t{x} + width / 2);
    case 5: return Figure_toInt32(int64_t{y} + height / 2);
    default: return 0;
  }
}

void Rect_Ex::SetEdge(int32_t which, int32_t v) {
  Figure_checkSetEdge(which);
  switch (which) {
    case 0: x = Figure_clampCoord(v); break;
    case 1: x = Figure_clampCoord(int64_t{v} - width); break;
    case 2: y = Figure_clampCoord(v); break;
    case 3: y = Figure_clampCoord(int64_t{v} - height); break;
    case 4: x = Figure_clampCoord(int64_t{v} - width / 2); break;
    case 5: y = Figure_clampCoord(int64_t{v} - height / 2); break;
    default: break;
  }
}

void Rect_Ex::SetExtent(bool vertical, int32_t value) {
  (vertical ? height : width) = Figure_clampSize(value);
}

void Rect_Ex::EnsureMinimumSize() {
  if (width <= 2 && height <= 2) {
    width = 32;
    height = 20;
  }
}
