#include "view/selection/page_hit_test.h"

#include <limits>

bool PageHit_boxInside(const CadPrim& inner, const CadPrim& outer) {
  const int32_t il = inner.GetEdge(0), ir = inner.GetEdge(1);
  const int32_t it = inner.GetEdge(2), ib = inner.GetEdge(3);
  const int32_t ol = outer.GetEdge(0), orr = outer.GetEdge(1);
  const int32_t ot = outer.GetEdge(2), ob = outer.GetEdge(3);
  // The intersection equals the inner box exactly when every inner edge
  // lies within the outer box.
  return il >= ol && ir <= orr && it >= ot && ib <= ob;
}

CadPrim* PageHit_canvas(const FigureList& page) {
  for (const auto& f : page) {
    if (f->GetKind() == FigureKind_Canvas) return f.get();
  }
  return nullptr;
}

PageHit PageHit_test(const FigureList& page, int32_t x, int32_t y, int32_t zoom, int32_t mode,
                     CadPrim* preferred, const CadPrim* skip, CadPrim* reportAs) {
  PageHit best;
  best.hit.dx = PageHit_noGrab;
  best.hit.dy = PageHit_noGrab;
  int64_t bestDistance = std::numeric_limits<int64_t>::max();
  for (const auto& owned : page) {
    CadPrim* f = owned.get();
    if (f == skip || f->GetKind() == FigureKind_Canvas) continue;
    const HitResult h = f->HitTest(x, y, zoom, mode);
    if (h.code != 0 && h.distance <= bestDistance) {
      bestDistance = h.distance;
      best.figure = f;
      best.hit = h;
    }
  }
  if (preferred) {
    const HitResult p = preferred->HitTest(x, y, zoom, mode);
    if (p.code != 0) {
      if (best.figure && best.figure != preferred && PageHit_boxInside(*best.figure, *preferred)) {
        return best;
      }
      best.figure = reportAs ? reportAs : preferred;
      best.hit = p;
    }
  }
  return best;
}
