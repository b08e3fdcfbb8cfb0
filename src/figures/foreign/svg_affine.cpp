#include "figures/foreign/svg_affine.h"

#include <charconv>
#include <cmath>

double SvgAffine::lengthScale() const { return std::sqrt(std::fabs(a * d - b * c)); }

SvgAffine operator*(const SvgAffine& o, const SvgAffine& i) {
  return {o.a * i.a + o.c * i.b, o.b * i.a + o.d * i.b, o.a * i.c + o.c * i.d,
          o.b * i.c + o.d * i.d, o.a * i.e + o.c * i.f + o.e, o.b * i.e + o.d * i.f + o.f};
}

SvgAffine SvgAffine_translate(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }
SvgAffine SvgAffine_scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

std::string SvgAffine_number(double v) {
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, v == 0 ? 0.0 : v);
  return std::string(buf, r.ptr);
}

std::string SvgAffine_text(const SvgAffine& m) {
  std::string out = "matrix(";
  const double v[6] = {m.a, m.b, m.c, m.d, m.e, m.f};
  for (int k = 0; k < 6; ++k) {
    if (k > 0) out += ',';
    out += SvgAffine_number(v[k]);
  }
  out += ')';
  return out;
}
