#include "figures/base/cad_prim.h"

#include "core/errors/errors.h"

Rect32 CadPrim::GetBounds() const {
  const int32_t x = GetEdge(0), y = GetEdge(2);
  return {x, y, Figure_toInt32(int64_t{GetEdge(1)} - x), Figure_toInt32(int64_t{GetEdge(3)} - y)};
}

void CadPrim::AttachEnd(int32_t, CadPrim&, int32_t) { Errors_RAISE(Errors_Unofficial, "error"); }
void CadPrim::DetachEnd(CadPrim&, int32_t, bool) { Errors_RAISE(Errors_Unofficial, "error"); }
void CadPrim::SetEndTarget(int32_t, CadPrim&) { Errors_RAISE(Errors_Unofficial, "error"); }
void CadPrim::ClearEndTarget(int32_t, const CadPrim&) {
  Errors_RAISE(Errors_Unofficial, "error");
}

void Figure_checkGetEdge(int32_t which) {
  if (which < 0 || which > 7) Errors_RAISE(Errors_Unofficial, "error");
}

void Figure_checkSetEdge(int32_t which) {
  if (which < 0 || which > 5) Errors_RAISE(Errors_Unofficial, "error");
}
