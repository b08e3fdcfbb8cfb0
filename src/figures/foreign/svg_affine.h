// A 2-D affine map as SVG writes it: matrix(a, b, c, d, e, f) takes (x, y)
// to (a x + c y + e, b x + d y + f).
#pragma once

#include <string>

struct SvgAffine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

  friend bool operator==(const SvgAffine&, const SvgAffine&) = default;

  bool isIdentity() const { return *this == SvgAffine{}; }
  // No turn and no shear: x depends on x only and y on y only.
  bool isAxisAligned() const { return b == 0 && c == 0; }
  double mapX(double x, double y) const { return a * x + c * y + e; }
  double mapY(double x, double y) const { return b * x + d * y + f; }
  // The mean scale of lengths (the root of the absolute determinant).
  double lengthScale() const;
};

// this then `inner`: (outer * inner)(p) = outer(inner(p)).
SvgAffine operator*(const SvgAffine& outer, const SvgAffine& inner);
SvgAffine SvgAffine_translate(double dx, double dy);
SvgAffine SvgAffine_scale(double sx, double sy);
// A number in its shortest exact form ("-0" written "0").
std::string SvgAffine_number(double v);
// "matrix(a,b,c,d,e,f)" with each number in its shortest exact form, so
// that reading the text back gives the same map.
std::string SvgAffine_text(const SvgAffine& m);
