// Text_Editor: starting and ending an edit, writing the result back, and
// the editor's own drawing and hit test.
#include <algorithm>
#include <chrono>
#include <thread>

#include "figures/editor/text_editor.h"

namespace {

constexpr Colour kEdgeLight = 0xD0C0B0;
constexpr Colour kEdgeDark = 0x202020;
constexpr Colour kEdgeWhite = 0xFFFFFF;

// One ring of the edit border: left and top in `lt`, right and bottom in
// `rb` (inclusive device coordinates).
void drawRing(Surface& s, int l, int t, int r, int b, Colour lt, Colour rb) {
  {
    const ScopedPen pen(s, Pen::solid(lt));
    const SurfacePoint pts[3] = {{l, b}, {l, t}, {r, t}};
    s.polyline(pts);
  }
  const ScopedPen pen(s, Pen::solid(rb));
  const SurfacePoint pts[3] = {{r, t}, {r, b}, {l, b}};
  s.polyline(pts);
}

}  // namespace

void Text_Editor::BeginEdit(const Text_Box& box, bool imeOpen, const DrawContext& ctx) {
  CopyFrom(box, nullptr);
  ctx_ = ctx;
  SetBasePoint(box.basePoint().x + 1, box.basePoint().y + 1);
  savedAngle = box.angle;
  angle = 0;
  savedVertical = box.vertical;
  vertical = false;
  savedMarginX = box.marginX;
  savedMarginY = box.marginY;
  marginX = std::max(box.marginX, 16);
  marginY = std::max(box.marginY, 4);
  // The margins are the editor's own from here on: the frame follows them.
  layoutFlags = (layoutFlags | TextBox_marginsValid) & ~TextBox_boundsValid;
  selectionStart = selectionEnd = 0;
  runStart = runEnd = undoPos = -1;
  runRemoved.clear();
  undoRemoved.clear();
  undoInserted.clear();
  dragAnchor = -1;
  firstKey = true;
  caretShown = false;
  composing_ = false;
  if (placeholder) {
    if (text() != "ABC") {
      placeholder = false;
    } else if (imeOpen) {
      SetText("あいう");
      selectionEnd = static_cast<int32_t>(text().size());
    }
  }
  relayout();
}

void Text_Editor::SetContext(const DrawContext& ctx) {
  ctx_ = ctx;
  relayout();
}

void Text_Editor::EndEdit(Text_Box& box, bool keepSelection, bool writeText) const {
  // An unfinished composition is no text of the box.
  std::string t = text();
  if (composing_) t = t.substr(0, compStart_) + compHidden_ + t.substr(compStart_ + compLen_);
  if (placeholder && t == "あいう") t = "ABC";
  if (writeText) {
    box.SetText(t);
    box.placeholder = placeholder;
  }
  if (keepSelection && !composing_) {
    box.selectionStart = std::min(selectionStart, selectionEnd);
    box.selectionEnd = std::max(selectionStart, selectionEnd);
  } else {
    box.selectionStart = box.selectionEnd = 0;
  }
  box.layoutFlags &= ~TextBox_boundsValid;
  if (box.textMetrics()) box.Layout(*box.textMetrics(), ctx_);
}

void Text_Editor::ApplyGeometry(Text_Box& box) const {
  std::string t = text();
  if (composing_) t = t.substr(0, compStart_) + compHidden_ + t.substr(compStart_ + compLen_);
  box.SetText(t);
  box.textWidth = textWidth;
  box.textHeight16 = textHeight16;
  box.lineHeight16 = lineHeight16;
  box.descent16 = descent16;
  box.firstLineTop = firstLineTop - 1;  // the editor sits one unit lower
  box.lineCount = lineCount;
  box.lineSpacing = lineSpacing;
  const TextBoxFrameBounds f = FrameBounds();
  const int64_t dx = int64_t{marginX} - savedMarginX, dy = int64_t{marginY} - savedMarginY;
  box.bounds.left = Figure_toInt32(f.left + dx - 1);
  box.bounds.right = Figure_toInt32(f.right - dx - 1);
  box.bounds.top = Figure_toInt32(f.top + dy - 1);
  box.bounds.bottom = Figure_toInt32(f.bottom - dy - 1);
  box.layoutFlags |= TextBox_boundsValid;
}

void Text_Editor::Draw(Surface& s, const DrawContext& ctx) {
  if (textMetrics()) Layout(*textMetrics(), ctx);
  if (!HasLayout() && !(layoutFlags & TextBox_boundsValid)) return;  // never measured
  UpdateCaret();
  const TextBoxFrameBounds f = FrameBounds();
  const int l = DrawContext_deviceX(ctx, f.left), r = DrawContext_deviceX(ctx, f.right);
  const int t = DrawContext_deviceY(ctx, f.top), b = DrawContext_deviceY(ctx, f.bottom);
  {
    const unsigned sum = (textColour & 0xFF) + ((textColour >> 8) & 0xFF) + ((textColour >> 16) & 0xFF);
    const Colour back = frameShape != TextBoxFrame_None ? fillColour
                        : sum <= 384                    ? Colour{0xFFFFFF}
                                                        : Colour{0};
    const ScopedPen pen(s, Pen::null());
    const ScopedBrush brush(s, Brush::solid(back));
    s.rectangle(l, t, r + 1, b + 1);
  }
  // Text_Box draws a selection only in ascending order.
  const int32_t a = selectionStart, c = selectionEnd;
  selectionStart = std::min(a, c);
  selectionEnd = std::max(a, c);
  Text_Box::Draw(s, ctx);
  selectionStart = a;
  selectionEnd = c;
  drawRing(s, l, t, r, b, kEdgeLight, kEdgeLight);
  drawRing(s, l + 1, t + 1, r - 1, b - 1, kEdgeDark, kEdgeLight);
  drawRing(s, l + 2, t + 2, r - 2, b - 2, kEdgeDark, kEdgeWhite);
}

HitResult Text_Editor::HitTest(int32_t x, int32_t y, int32_t zoom, int32_t mode) {
  if (lineHeight16 < 0 && !(layoutFlags & TextBox_boundsValid)) return {};
  const TextBoxFrameBounds saved = bounds;
  const int32_t savedFlags = layoutFlags;
  TextBoxFrameBounds f = FrameBounds();
  const int32_t gx = std::max(0, 16 - marginX), gy = std::max(0, 4 - marginY);
  f.left -= gx;
  f.right += gx;
  f.top -= gy;
  f.bottom += gy;
  bounds = f;
  layoutFlags |= TextBox_boundsValid;
  const HitResult h = Text_Box::HitTest(x, y, zoom, mode);
  bounds = saved;
  layoutFlags = savedFlags;
  return h;
}

void Text_Editor::BlinkSelection(Surface& s, const DrawContext& ctx,
                                 const std::function<void(int)>& wait) {
  constexpr int kBlinkMs = 100;
  Draw(s, ctx);
  if (wait)
    wait(kBlinkMs);
  else
    std::this_thread::sleep_for(std::chrono::milliseconds(kBlinkMs));
  Draw(s, ctx);
}
