// Text_Box: construction, link fields and colours, the link protocol,
// copying, comparing and snapshots.
#include "figures/text/text_box.h"

#include <ctime>

#include "core/errors/errors.h"
#include "core/strx/codepage.h"
#include "figures/base/figure_list.h"
#include "figures/base/snapshot.h"

namespace {

constexpr Colour kLinkBlue = 0xFF0000;
constexpr Colour kLinkFill = 0xB0FFF8;

bool hasLeadByte(std::string_view s) {
  for (char c : s)
    if (Cp932_isLead(c)) return true;
  return false;
}

}  // namespace

Text_Box::Text_Box(const TextMetrics* metrics)
    : alarmTime(static_cast<int64_t>(std::time(nullptr))), metrics_(metrics) {}

Text_Box::~Text_Box() { Links_detachOnDestroy(*this, isCopy()); }

std::string Text_Box::GetKindNameJapanese() const { return FigureKind_nameJapanese(GetKind()); }
std::string Text_Box::GetKindNameEnglish() const { return FigureKind_nameEnglish(GetKind()); }

// A non-empty url turns black text blue; clearing it turns blue text black.
void Text_Box::SetUrl(std::string_view url) {
  url_ = url;
  if (!url_.empty() && textColour == 0) textColour = kLinkBlue;
  if (url_.empty() && textColour == kLinkBlue) textColour = 0;
}

void Text_Box::ApplyLinkColours(bool isAttachedFile) {
  attachedFile_ = isAttachedFile;
  if (url_.empty()) return;
  textColour = kLinkBlue;
  fillColour = isAttachedFile ? 0xFFFFFF : kLinkFill;
}

// url := path + "#" + id (a path "." counts as empty), the id moves into
// the url.
void Text_Box::LinkToFileAnchor(std::string_view path) {
  if (path.empty() || id_.empty()) return;
  std::string p = path == "." ? std::string() : std::string(path);
  url_ = p + "#" + id_;
  id_.clear();
  if (textColour == 0) textColour = kLinkBlue;
}

void Text_Box::WritePlainText(std::string& dst) const {
  dst += text_;
  dst += "\r\n";
}

bool Text_Box::HasMultibyteText() const { return hasLeadByte(text_) || hasLeadByte(url_); }

// --- links ---

void Text_Box::RenumberLinks(int32_t oldNumber, int32_t newNumber) {
  nodes_.renumber(oldNumber, newNumber);
  attachedTo_.renumber(oldNumber, newNumber);
}

// The node records the end, then lets the line recompute that end against
// the frame.  The frame must be known (9231 otherwise).
void Text_Box::AttachEnd(int32_t, CadPrim& line, int32_t lineEnd) {
  (void)FrameBounds();
  const Attachment* rec = nodes_.attach(*this, line, lineEnd);
  if (!rec) return;
  const int32_t x = rec->x, y = rec->y;
  line.DragHandleTo(lineEnd, x, y, false, 0, false);
}

void Text_Box::DetachEnd(CadPrim& line, int32_t lineEnd, bool notify) {
  nodes_.detach(*this, line, lineEnd, notify);
}

void Text_Box::DetachAll(bool notify) {
  nodes_.detachAll(*this, notify);
  attachedTo_.detachFromTarget(*this, 1);
}

void Text_Box::SetEndTarget(int32_t, CadPrim& node) { attachedTo_.set(node); }

void Text_Box::ClearEndTarget(int32_t, const CadPrim& node) { attachedTo_.clear(node); }

// Pointers from numbers.  The attached lines resolve their own ends when
// the list is resolved (FigureList_resolveLinks), so there is no recursion.
void Text_Box::ResolveLinks(const FigureList& list) {
  attachedTo_.resolve(list, false);
  nodes_.resolve(list);
}

// --- copying and comparing ---

void Text_Box::CopyFrom(const CadPrim& other, const FigureList*) {
  const auto* o = dynamic_cast<const Text_Box*>(&other);
  if (!o) Errors_RAISE(Errors_Unofficial, "error");
  if (o == this) return;
  header_.locked = o->header_.locked;
  header_.number = o->header_.number;
  id_ = o->id_;
  url_ = o->url_;
  target_ = o->target_;
  pub_ = o->pub_;
  attachedFile_ = o->attachedFile_;
  afterClick = o->afterClick;
  text_ = o->text_;
  baseX_ = o->baseX_;
  baseY_ = o->baseY_;
  widthExtra = o->widthExtra;
  textWidth = o->textWidth;
  textHeight16 = o->textHeight16;
  lineHeight16 = o->lineHeight16;
  exactWidth = o->exactWidth;
  descent16 = o->descent16;
  firstLineTop = o->firstLineTop;
  lineCount = o->lineCount;
  lineSpacing = o->lineSpacing;
  angle = o->angle;
  textColour = o->textColour;
  fontFace = o->fontFace;
  fontSize = o->fontSize;
  bold = o->bold;
  italic = o->italic;
  alignment = o->alignment;
  vertical = o->vertical;
  placeholder = o->placeholder;
  frameShape = o->frameShape;
  marginX = o->marginX;
  marginY = o->marginY;
  frameWidth = o->frameWidth;
  frameColour = o->frameColour;
  fillColour = o->fillColour;
  opacity = o->opacity;
  layoutFlags = o->layoutFlags;
  bounds = o->bounds;
  className = o->className;
  condition = o->condition;
  filterText = o->filterText;
  tabOrder = o->tabOrder;
  alarmSet = o->alarmSet;
  alarmTime = o->alarmTime;
  metrics_ = o->metrics_;
  nodes_.copyNumbersFrom(o->nodes_);
  attachedTo_.copyNumberFrom(o->attachedTo_);
  // The measured lines are not copied: the next drawing measures again.
  lines_.clear();
  measuredText_.clear();
}

// Style only.  The text colour is not copied where it would carry the link
// blue onto an unlinked box or take it from a linked one.
void Text_Box::CopyStyleFrom(const CadPrim& other, int32_t) {
  const auto* o = dynamic_cast<const Text_Box*>(&other);
  if (!o || o == this) return;
  lineSpacing = o->lineSpacing;
  fontFace = o->fontFace;
  fontSize = o->fontSize;
  bold = o->bold;
  italic = o->italic;
  frameShape = o->frameShape;
  marginX = o->marginX;
  marginY = o->marginY;
  frameWidth = o->frameWidth;
  frameColour = o->frameColour;
  fillColour = o->fillColour;
  opacity = o->opacity;
  layoutFlags = o->layoutFlags & ~TextBox_boundsValid;
  const bool thisPlain = textColour == 0 && url_.empty();
  const bool thisLinked = textColour == kLinkBlue && !url_.empty();
  const bool otherPlain = o->textColour == 0 && o->url_.empty();
  const bool otherLinked = o->textColour == kLinkBlue && !o->url_.empty();
  if (!(thisPlain && otherLinked) && !(thisLinked && otherPlain)) textColour = o->textColour;
}

bool Text_Box::Equals(const CadPrim& other, int32_t mode) const {
  if (other.GetKind() != GetKind()) return false;
  const auto* o = dynamic_cast<const Text_Box*>(&other);
  if (!o) return false;
  const bool same =
      header_.locked == o->header_.locked && text_ == o->text_ && id_ == o->id_ &&
      url_ == o->url_ && target_ == o->target_ && pub_ == o->pub_ &&
      attachedFile_ == o->attachedFile_ && afterClick == o->afterClick && baseX_ == o->baseX_ &&
      baseY_ == o->baseY_ && widthExtra == o->widthExtra && lineSpacing == o->lineSpacing &&
      angle == o->angle && textColour == o->textColour && fontFace == o->fontFace &&
      fontSize == o->fontSize && bold == o->bold && italic == o->italic &&
      alignment == o->alignment && vertical == o->vertical && frameShape == o->frameShape &&
      marginX == o->marginX && marginY == o->marginY && frameWidth == o->frameWidth &&
      frameColour == o->frameColour && fillColour == o->fillColour && opacity == o->opacity &&
      tabOrder == o->tabOrder && className == o->className &&
      condition.text == o->condition.text && filterText == o->filterText &&
      alarmSet == o->alarmSet && (!alarmSet || alarmTime == o->alarmTime);
  if (!same) return false;
  if (mode != 5) return true;
  return nodes_.equalsNumbers(o->nodes_) && attachedTo_.number() == o->attachedTo_.number();
}

std::unique_ptr<CadPrim> Text_Box::Clone(const FigureList* list) const {
  auto c = std::make_unique<Text_Box>(metrics_);
  c->CopyFrom(*this, list);
  return c;
}

// --- snapshots ---
// Layout: header; number; bytes locked, attachedFile, bold, italic,
// vertical, placeholder, alarmSet; int32 fields; int64 alarmTime; texts;
// the condition; the node records; attachedTo's number.

namespace {

constexpr size_t kSnapshotBytes = 7;
constexpr size_t kSnapshotInts = 34;

}  // namespace

size_t Text_Box::GetSnapshotSize() const {
  size_t n = Snapshot_headerSize + kSnapshotBytes * Snapshot_int8Size +
             kSnapshotInts * Snapshot_int32Size + Snapshot_int64Size;
  for (std::string_view s : {std::string_view(text_), std::string_view(fontFace),
                             std::string_view(url_), std::string_view(target_),
                             std::string_view(id_), std::string_view(pub_),
                             std::string_view(className), std::string_view(filterText),
                             std::string_view(condition.text), std::string_view(condition.name),
                             std::string_view(condition.value)})
    n += Snapshot_stringSize(s);
  n += Snapshot_int32Size;  // condition operator
  n += nodes_.snapshotSize() + EndLink::snapshotSize();
  return n;
}

void Text_Box::WriteSnapshot(SnapshotWriter& w) const {
  w.header(GetKind(), kSnapshotVersion);
  for (bool b : {header_.locked, attachedFile_, bold, italic, vertical, placeholder, alarmSet})
    w.boolean(b);
  const int32_t ints[kSnapshotInts] = {
      header_.number, baseX_, baseY_, widthExtra, textWidth, textHeight16, lineHeight16,
      exactWidth, descent16, firstLineTop, lineSpacing, angle,
      static_cast<int32_t>(textColour), fontSize, alignment, selectionStart, selectionEnd,
      frameShape, marginX, marginY, frameWidth, static_cast<int32_t>(frameColour),
      static_cast<int32_t>(fillColour), opacity, lineCount, layoutFlags, bounds.left,
      bounds.top, bounds.right, bounds.bottom, afterClick, tabOrder, 0, 0};
  for (int32_t v : ints) w.i32(v);
  w.i64(alarmTime);
  for (std::string_view s : {std::string_view(text_), std::string_view(fontFace),
                             std::string_view(url_), std::string_view(target_),
                             std::string_view(id_), std::string_view(pub_),
                             std::string_view(className), std::string_view(filterText),
                             std::string_view(condition.text), std::string_view(condition.name),
                             std::string_view(condition.value)})
    w.string(s);
  w.i32(condition.op);
  nodes_.write(w);
  attachedTo_.write(w);
}

// Read into a scratch box first and checked: malformed or out-of-range data
// raises and leaves this box as it was.
void Text_Box::ReadSnapshot(SnapshotReader& r) {
  r.header(GetKind(), kSnapshotVersion);
  Text_Box t(metrics_);
  t.header_.isCopy = true;  // the scratch box never detaches anything
  bool* bytes[kSnapshotBytes] = {&t.header_.locked, &t.attachedFile_, &t.bold,
                                 &t.italic,         &t.vertical,      &t.placeholder,
                                 &t.alarmSet};
  for (bool* b : bytes) *b = r.boolean();
  int32_t tc = 0, fc = 0, fill = 0, spare1 = 0, spare2 = 0;
  int32_t* ints[kSnapshotInts] = {
      &t.header_.number, &t.baseX_, &t.baseY_, &t.widthExtra, &t.textWidth, &t.textHeight16,
      &t.lineHeight16, &t.exactWidth, &t.descent16, &t.firstLineTop, &t.lineSpacing, &t.angle,
      &tc, &t.fontSize, &t.alignment, &t.selectionStart, &t.selectionEnd, &t.frameShape,
      &t.marginX, &t.marginY, &t.frameWidth, &fc, &fill, &t.opacity, &t.lineCount,
      &t.layoutFlags, &t.bounds.left, &t.bounds.top, &t.bounds.right, &t.bounds.bottom,
      &t.afterClick, &t.tabOrder, &spare1, &spare2};
  for (int32_t* v : ints) *v = r.i32();
  t.textColour = static_cast<Colour>(tc);
  t.frameColour = static_cast<Colour>(fc);
  t.fillColour = static_cast<Colour>(fill);
  t.alarmTime = r.i64();
  for (std::string* s : {&t.text_, &t.fontFace, &t.url_, &t.target_, &t.id_, &t.pub_,
                         &t.className, &t.filterText, &t.condition.text, &t.condition.name,
                         &t.condition.value})
    *s = r.string();
  t.condition.op = r.i32();
  t.nodes_.read(r);
  t.attachedTo_.read(r);
  // A negative frame shape is an old layout still to be converted.
  if (t.lineSpacing < 1 || t.fontSize < 1 || t.frameShape < -TextBoxFrame_Parallelogram ||
      t.frameShape > TextBoxFrame_Parallelogram || t.alignment < 0 || t.alignment > 2)
    Errors_RAISE(Errors_Unofficial, "error");
  const FigureHeader keep = header_;  // isCopy, selection and marks stay
  CopyFrom(t, nullptr);
  header_ = FigureHeader{t.header_.number, keep.isCopy, keep.selected, keep.moveMark,
                         t.header_.locked};
  selectionStart = t.selectionStart;
  selectionEnd = t.selectionEnd;
}

bool TextBox_hasClass(std::string_view list, std::string_view name) {
  size_t i = 0;
  while (i < list.size()) {
    while (i < list.size() && (list[i] == ' ' || list[i] == ',' || list[i] == '\t')) ++i;
    size_t j = i;
    while (j < list.size() && list[j] != ' ' && list[j] != ',' && list[j] != '\t') ++j;
    if (j > i && list.substr(i, j - i) == name) return true;
    i = j;
  }
  return false;
}
