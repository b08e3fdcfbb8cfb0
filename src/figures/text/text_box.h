// The text figure `Text_Box`: lines of CP932 text in one font anchored at a
// base point, optionally inside a frame (rectangle, rounded rectangle,
// ellipse, diamond, parallelogram), rotated or written vertically, with a
// link, identity fields, a tab order, a display condition and an alarm.  It
// is the node figure: any number of line ends hang on it.
//
// Measuring.  The box measures its text with a `TextMetrics` that it holds
// by pointer (given to the constructor or with SetTextMetrics; clones keep
// it).  `Layout(metrics, ctx)` measures and lays the frame out explicitly
// (the document does this for every page before writing or linking); `Draw`
// does the same with the held metrics.  Without metrics Draw uses the cached
// layout.  The layout (line positions, frame bounds) is cached in the box;
// operations that need the frame before any measurement raise
// Zerbin_Err_NotSetDrawParam (9231).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/surface/text_metrics.h"
#include "figures/base/cad_prim.h"
#include "figures/base/links.h"
#include "figures/text/text_condition.h"

// layoutFlags bits.
inline constexpr int32_t TextBox_marginsValid = 1;
inline constexpr int32_t TextBox_spacingTaken = 2;
inline constexpr int32_t TextBox_boundsValid = 4;

enum TextBoxFrame : int32_t {
  TextBoxFrame_None = 0,
  TextBoxFrame_Rectangle = 1,
  TextBoxFrame_RoundRect = 2,
  TextBoxFrame_Ellipse = 3,
  TextBoxFrame_Diamond = 4,
  TextBoxFrame_Parallelogram = 5,
};

// One measured line: its text, the x (pixels from the line start) where
// the character at each byte starts (length + 1 entries, the last is the
// width), and its height in 1/16 pixel.
struct TextBoxLine {
  std::string text;
  std::vector<int32_t> positions;
  int32_t width = 0;
  int32_t height16 = 0;
};

// Frame bounds in page units, all four edges inclusive.
struct TextBoxFrameBounds {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  friend bool operator==(const TextBoxFrameBounds&, const TextBoxFrameBounds&) = default;
};

class Text_Box : public CadFigure {
 public:
  static constexpr uint16_t kSnapshotVersion = 1;
  static constexpr int32_t kPropertyCount = 32;

  explicit Text_Box(const TextMetrics* metrics = nullptr);
  ~Text_Box() override;

  void SetTextMetrics(const TextMetrics* metrics) { metrics_ = metrics; }
  const TextMetrics* textMetrics() const { return metrics_; }

  // --- CadPrim ---
  void RenumberLinks(int32_t oldNumber, int32_t newNumber) override;
  FigureKind GetKind() const override { return FigureKind_Text; }
  std::string GetKindNameJapanese() const override;
  std::string GetKindNameEnglish() const override;
  std::string GetUrl() const override { return url_; }
  void SetUrl(std::string_view url) override;
  bool HasAttachedFile() const override { return attachedFile_; }
  void ApplyLinkColours(bool isAttachedFile) override;
  std::string GetTarget() const override { return target_; }
  void SetTarget(std::string_view t) override { target_ = t; }
  int32_t GetAfterClick() const override { return afterClick; }
  std::string GetId() const override { return id_; }
  void SetId(std::string_view id) override { id_ = id; }
  std::string GetPub() const override { return pub_; }
  bool HasAttachments() const override { return !nodes_.empty(); }
  void WritePlainText(std::string& dst) const override;
  // A linked box: <AREA shape="rect" coords="l,t,r+1,b+1" href="url"
  // target="t"/> over its frame, the url relative to baseFolder (when one is
  // given) and escaped; the target attribute only when a target is set.
  bool WriteImageMapArea(std::string& dst, size_t size,
                         std::string_view baseFolder) const override;
  // The note file's elements (text_box_svg.cpp).  Never measures: the
  // writer lays every page out first (FigureList_prepareForWrite); a box
  // without a layout is written with the frame it has.
  void WriteSvg(SvgWriteContext& ctx) const override;
  // The HTML export's frame shape and positioned text (text_box_vml.cpp).
  // Needs the layout; `index` numbers the text element "text<page>_<index>".
  void WriteVml(VmlWriteContext& ctx, int32_t index) const override;
  // The conversion script's statements that rebuild the box in Word,
  // Excel or PowerPoint: frame shape, text shape, text, font, paragraphs,
  // link, bookmark and grouping (text_box_office.cpp).  Needs the layout
  // (raises 9231 without).  Answers how far the running index advances: 0
  // for a linked box, else 1 for a frame plus 1 for an added text shape.
  int32_t WriteOfficeScript(OfficeScriptWriter& w, int32_t index, int32_t& lineCount,
                            int32_t kind, int32_t flags) const override;
  void Draw(Surface& surface, const DrawContext& ctx) override;
  void DrawHandles(Surface& surface, const DrawContext& ctx, Colour colour,
                   int32_t ignored) override;
  void CopyFrom(const CadPrim& other, const FigureList* list) override;
  void CopyStyleFrom(const CadPrim& other, int32_t mode) override;
  bool Equals(const CadPrim& other, int32_t mode) const override;
  std::unique_ptr<CadPrim> Clone(const FigureList* list) const override;
  size_t GetSnapshotSize() const override;
  void WriteSnapshot(SnapshotWriter& out) const override;
  void ReadSnapshot(SnapshotReader& in) override;
  void LinkToFileAnchor(std::string_view path) override;
  HitResult HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) override;
  Point32 GetHandlePoint(int32_t handle) const override;
  void MoveBy(int32_t dx, int32_t dy) override;
  void DragHandleTo(int32_t handle, int32_t x, int32_t y, bool modifierA, int32_t ignored,
                    bool rotate) override;
  void MarkAttachedForMove() override { nodes_.markForMove(); }
  bool IntersectsRect(const Rect32& r) const override;
  void SetLocked(bool locked) override { header_.locked = locked; }
  bool IsLocked() const override { return header_.locked; }
  int32_t GetEdge(int32_t which) const override;
  void SetEdge(int32_t which, int32_t value) override;
  int32_t GetExtent(bool vertical) const override;
  void SetExtent(bool vertical, int32_t value) override;
  int32_t GetPropertyCount() const override { return kPropertyCount; }
  PropertyRow GetProperty(int32_t row, bool japanese, size_t valueCapacity,
                          std::string_view noteFolder) const override;
  void SetProperty(int32_t row, std::string_view value, std::string_view noteFolder) override;
  bool HasMultibyteText() const override;
  const Attachment* GetAttachment(int32_t n) const override { return nodes_.get(n); }
  int32_t GetAttachmentCount() const override { return static_cast<int32_t>(nodes_.size()); }
  bool IsNearCentre(int32_t x, int32_t y, int32_t tolerance) const override;
  bool ContainsPoint(int32_t x, int32_t y) const override;
  void AttachEnd(int32_t nodeEnd, CadPrim& line, int32_t lineEnd) override;
  void DetachEnd(CadPrim& line, int32_t lineEnd, bool notify) override;
  void DetachAll(bool notify) override;
  void SetEndTarget(int32_t end, CadPrim& node) override;
  void ClearEndTarget(int32_t end, const CadPrim& node) override;
  void ResolveLinks(const FigureList& list) override;
  // The ends hanging here, and attachedTo as own end 1.
  void CollectLinkSlots(LinkSlots& out) override {
    out.ends.push_back({1, &attachedTo_});
    out.nodes.push_back(&nodes_);
  }

  // --- layout ---
  // Measure and Layout with the given metrics (what Draw does first).
  void Layout(const TextMetrics& metrics, const DrawContext& ctx);
  // The frame bounds; computed from the cached measurement when they are
  // invalid; raises 9231 when the text was never measured.
  TextBoxFrameBounds FrameBounds() const;
  bool HasLayout() const { return lineHeight16 >= 0; }
  // The visible end of a line end at p heading from q, on the frame.  When
  // the segment does not meet the frame, p itself.
  Point32 OutlinePoint(Point32 p, Point32 q) const;
  // The frame outline in page units (unrotated, for the shapes drawn with
  // polygons; rectangle-like shapes give their four corners).
  std::vector<Point32> OutlinePoints() const;

  // --- fields the editor, reader and writer use ---
  const std::string& text() const { return text_; }
  void SetText(std::string_view text);
  Point32 basePoint() const { return {baseX_, baseY_}; }
  void SetBasePoint(int32_t x, int32_t y);
  void SetFrameShape(int32_t shape);
  void SetAlignment(int32_t alignment);
  // The url without the link-colour rule (the note reader).
  void AssignUrl(std::string_view url) { url_ = url; }
  const std::vector<TextBoxLine>& lines() const { return lines_; }

  int32_t widthExtra = 0;
  int32_t lineSpacing = 14;
  int32_t angle = 0;
  Colour textColour = 0;
  std::string fontFace = "ＭＳ Ｐゴシック";
  int32_t fontSize = 12;
  bool bold = false;
  bool italic = false;
  int32_t alignment = 0;  // 0 left (top), 1 centre, 2 right (bottom)
  bool vertical = false;
  bool placeholder = true;
  int32_t selectionStart = 0;
  int32_t selectionEnd = 0;
  int32_t frameShape = TextBoxFrame_Rectangle;
  int32_t marginX = 8;
  int32_t marginY = 2;
  int32_t frameWidth = 1;
  Colour frameColour = 0;
  Colour fillColour = 0xFFFFFF;
  int32_t opacity = 100;
  int32_t layoutFlags = 0;
  TextBoxFrameBounds bounds;  // valid with TextBox_boundsValid
  int32_t afterClick = 0;
  int32_t tabOrder = 0;
  std::string className;
  TextCondition condition;
  std::string filterText;
  bool alarmSet = false;
  int64_t alarmTime = 0;  // seconds since the epoch

  // Computed by measuring.
  int32_t textWidth = 32;
  int32_t textHeight16 = 320;
  int32_t lineHeight16 = -1;
  int32_t exactWidth = 0;
  int32_t descent16 = 0;
  int32_t firstLineTop = 0;
  int32_t lineCount = 1;

  // alarmTime as local time "%Y/%m/%d-%H:%M:%S" (the row 29 format).
  std::string AlarmText() const;
  const EndLink& attachedTo() const { return attachedTo_; }

 protected:
  // True for the editing copy of a box (Text_Editor): it shows and measures
  // its own text even in a "pagenum" box, leaves the frame to the editor's
  // own drawing, and is the only box that shows the text selection.
  virtual bool IsEditCopy() const { return false; }

 private:
  struct Geometry;  // the layout numbers of one frame computation
  TextBoxFrameBounds computeBounds() const;
  void measure(const TextMetrics& metrics, std::string_view shown);
  void layout(const DrawContext& ctx);
  void invalidateBounds() { layoutFlags &= ~TextBox_boundsValid; }
  std::string shownText(const DrawContext& ctx) const;
  double rotationDegrees() const;  // angle, or angle + 90 for vertical text
  void drawFrame(Surface& s, const DrawContext& ctx, const TextBoxFrameBounds& b) const;
  void drawText(Surface& s, const DrawContext& ctx, std::string_view shown) const;
  int32_t textLeft() const;
  // The keyword-tree line of a named box (text_box_vml.cpp).
  void writeKeywordEntry(VmlWriteContext& ctx, const std::string& firstLine) const;

  const TextMetrics* metrics_ = nullptr;
  bool attachedFile_ = false;
  std::string text_ = "abc";
  int32_t baseX_ = 0;
  int32_t baseY_ = 0;
  std::string url_, target_, id_, pub_;

  std::vector<TextBoxLine> lines_;
  bool widthShrank_ = false;
  std::string measuredText_;
  std::string measuredFace_;
  int32_t measuredSize_ = 12;
  bool measuredBold_ = false;
  bool measuredVertical_ = false;

  NodeLinks nodes_;
  EndLink attachedTo_;
};

// The class list (`className`: words separated by blanks, commas or tabs)
// holds `name` as one of its words.
bool TextBox_hasClass(std::string_view list, std::string_view name);
