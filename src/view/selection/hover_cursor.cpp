#include "view/selection/hover_cursor.h"

#include <algorithm>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/lock/named_lock.h"
#include "core/prompts/user_prompts.h"
#include "core/strx/strx_path.h"
#include "figures/rect/rect_ex.h"
#include "view/selection/page_hit_test.h"
#include "view/selection/view_selection.h"

namespace {

// A text box that was never measured (its layout is unknown).
constexpr int32_t kNotLaidOut = 9231;

HoverCursor byHitCursor(int32_t code) {
  switch (code) {
    case HitCursor_SizeHorizontal: return HoverCursor::SizeWE;
    case HitCursor_SizeVertical: return HoverCursor::SizeNS;
    case HitCursor_SizeDiagonalDown: return HoverCursor::SizeNWSE;
    case HitCursor_SizeDiagonalUp: return HoverCursor::SizeNESW;
    default: return HoverCursor::Keep;
  }
}

// An image figure shown at another size than its picture's pixels.
HoverCursor imageCursor(const CadPrim& f) {
  const auto* r = dynamic_cast<const Rect_Ex*>(&f);
  if (!r || r->shape != RectShape_Image) return HoverCursor::Keep;
  if (r->width == r->naturalWidth && r->height == r->naturalHeight) return HoverCursor::Keep;
  return int64_t{r->width} * r->height < int64_t{r->naturalWidth} * r->naturalHeight
             ? HoverCursor::ImageShrunk
             : HoverCursor::ImageEnlarged;
}

}  // namespace

bool Hover_toolUsesArrow(int32_t tool) {
  return tool == 0 || tool == 1 || tool == 3 || tool == 23;
}

std::string Hover_tipText(std::string_view url, std::string_view noteFolder) {
  std::string text = noteFolder.empty() ? std::string(url) : StrX_makeRelative(url, noteFolder);
  Errors_cutText(text, Hover_tipMaxBytes);
  return text;
}

HoverResult Hover_decide(const ViewSelection& selection, Point32 p, const HoverContext& ctx) {
  HoverResult r;
  const int32_t zoom = std::max(ctx.zoom, 1);
  // 1. The in-place editor under the mouse.
  if (ctx.editor && ctx.editor->HitTest(p.x, p.y, zoom, 0).code != 0) {
    r.cursor = HoverCursor::IBeam;
    return r;
  }
  // 3. Beyond the canvas: its corner, or nothing.
  if (const CadPrim* canvas = PageHit_canvas(selection.page())) {
    const Point32 wh = canvas->GetHandlePoint(1);
    if (p.x > wh.x || p.y > wh.y) {
      const int64_t z = std::min(zoom, 100);
      const int64_t dx = int64_t{p.x} - wh.x, dy = int64_t{p.y} - wh.y;
      const int64_t lo = -400 / z, hi = 800 / z;
      r.cursor = dx >= lo && dx <= hi && dy >= lo && dy <= hi ? HoverCursor::SizeNWSE
                                                                : HoverCursor::Arrow;
      return r;
    }
  }
  // 4. The tool's own cursor unless a figure says otherwise.
  const HoverCursor toolDefault =
      Hover_toolUsesArrow(ctx.tool) ? HoverCursor::Arrow : HoverCursor::Tool;
  // 6. What lies under the mouse.
  const int32_t mode = ctx.tool == SelectionTool_rotate ? 1 : 0;
  const PageHit hit = selection.HitTestPage(p.x, p.y, zoom, mode, ctx.editor);
  const CadPrim* F = hit.figure;
  if (F) {
    const std::string url = F->GetUrl();
    if (!url.empty()) r.tipText = Hover_tipText(url, ctx.noteFolder);
    HoverCursor c = HoverCursor::Keep;
    if (ctx.editor && F->GetKind() == FigureKind_Text && ctx.tool != SelectionTool_multiSelect) {
      c = HoverCursor::IBeam;
    } else if (!url.empty() && F != selection.HoldPrim()) {
      c = HoverCursor::Hand;
    } else if ((c = byHitCursor(hit.hit.cursor)) == HoverCursor::Keep) {
      c = imageCursor(*F);
    }
    if (c != HoverCursor::Keep) {
      r.cursor = c;
      return r;
    }
  }
  // 7. Moving, rotating, line points.
  if (ctx.viewerMode || (F && F->IsLocked())) {
    r.cursor = HoverCursor::Arrow;
  } else if (F && selection.Selection().size() >= 2 && selection.IsInSelection(*F)) {
    r.cursor = HoverCursor::MoveFigure;
  } else if (F && ctx.tool == SelectionTool_rotate && hit.hit.code == 1) {
    r.cursor = HoverCursor::Rotate;
  } else {
    switch (F ? hit.hit.cursor : 0) {
      case HitCursor_Move:
        r.cursor = F->GetKind() == FigureKind_Text ? HoverCursor::MoveText
                                                   : HoverCursor::MoveFigure;
        break;
      case HitCursor_LinePoint: r.cursor = HoverCursor::SizeAll; break;
      case HitCursor_Forbidden: r.cursor = HoverCursor::Forbidden; break;
      default: r.cursor = toolDefault; break;
    }
  }
  return r;
}

HoverResult Hover_update(const ViewSelection& selection, Point32 p, const HoverContext& ctx,
                         NamedLock& fileLock, std::string& lastTip) {
  HoverResult r;
  if (!ctx.pageShown) {
    r.skipped = true;
    r.tipText = lastTip;
    return r;
  }
  // Saves hold the same lock; the mouse never waits for one to finish.
  NamedLockGuard guard(fileLock, 0);
  if (!guard.owns()) {
    r.skipped = true;
    r.tipText = lastTip;
    return r;
  }
  Except_tryCatch([&] { r = Hover_decide(selection, p, ctx); },
                  [&](const Errors_Msg& e) {
                    if (e.code != kNotLaidOut) {
                      UserPrompts_get().messageBox(e.message(), Errors_appName(),
                                                   PromptButtons::Ok, PromptIcon::Error,
                                                   PromptAnswer::Ok, 0);
                    }
                    r = HoverResult{};
                    r.cursor = HoverCursor::Arrow;
                  });
  r.tipChanged = r.tipText != lastTip;
  lastTip = r.tipText;
  return r;
}
