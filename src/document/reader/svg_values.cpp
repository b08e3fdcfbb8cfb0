#include "document/reader/svg_values.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "core/strx/strx_copy.h"

namespace {

void skipBlanks(std::string_view s, size_t& pos) {
  while (pos < s.size() && StrX_isSpace(s[pos])) ++pos;
}

void skipSeparator(std::string_view s, size_t& pos) {
  skipBlanks(s, pos);
  if (pos < s.size() && s[pos] == ',') ++pos;
  skipBlanks(s, pos);
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The CSS colour names, sorted for a binary search.
struct NamedColour {
  const char* name;
  uint32_t rgb;
};
constexpr NamedColour kNames[] = {
    {"aliceblue", 0xF0F8FF}, {"antiquewhite", 0xFAEBD7}, {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4}, {"azure", 0xF0FFFF}, {"beige", 0xF5F5DC}, {"bisque", 0xFFE4C4},
    {"black", 0x000000}, {"blanchedalmond", 0xFFEBCD}, {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2}, {"brown", 0xA52A2A}, {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0}, {"chartreuse", 0x7FFF00}, {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50}, {"cornflowerblue", 0x6495ED}, {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C}, {"cyan", 0x00FFFF}, {"darkblue", 0x00008B}, {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B}, {"darkgray", 0xA9A9A9}, {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9}, {"darkkhaki", 0xBDB76B}, {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F}, {"darkorange", 0xFF8C00}, {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000}, {"darksalmon", 0xE9967A}, {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B}, {"darkslategray", 0x2F4F4F}, {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1}, {"darkviolet", 0x9400D3}, {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF}, {"dimgray", 0x696969}, {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF}, {"firebrick", 0xB22222}, {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22}, {"fuchsia", 0xFF00FF}, {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF}, {"gold", 0xFFD700}, {"goldenrod", 0xDAA520}, {"gray", 0x808080},
    {"green", 0x008000}, {"greenyellow", 0xADFF2F}, {"grey", 0x808080}, {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4}, {"indianred", 0xCD5C5C}, {"indigo", 0x4B0082}, {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C}, {"lavender", 0xE6E6FA}, {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00}, {"lemonchiffon", 0xFFFACD}, {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080}, {"lightcyan", 0xE0FFFF}, {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgray", 0xD3D3D3}, {"lightgreen", 0x90EE90}, {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1}, {"lightsalmon", 0xFFA07A}, {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA}, {"lightslategray", 0x778899}, {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE}, {"lightyellow", 0xFFFFE0}, {"lime", 0x00FF00},
    {"limegreen", 0x32CD32}, {"linen", 0xFAF0E6}, {"magenta", 0xFF00FF}, {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA}, {"mediumblue", 0x0000CD}, {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB}, {"mediumseagreen", 0x3CB371}, {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A}, {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585}, {"midnightblue", 0x191970}, {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1}, {"moccasin", 0xFFE4B5}, {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080}, {"oldlace", 0xFDF5E6}, {"olive", 0x808000}, {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500}, {"orangered", 0xFF4500}, {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA}, {"palegreen", 0x98FB98}, {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093}, {"papayawhip", 0xFFEFD5}, {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F}, {"pink", 0xFFC0CB}, {"plum", 0xDDA0DD}, {"powderblue", 0xB0E0E6},
    {"purple", 0x800080}, {"rebeccapurple", 0x663399}, {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F}, {"royalblue", 0x4169E1}, {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072}, {"sandybrown", 0xF4A460}, {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE}, {"sienna", 0xA0522D}, {"silver", 0xC0C0C0}, {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD}, {"slategray", 0x708090}, {"slategrey", 0x708090},
    {"snow", 0xFFFAFA}, {"springgreen", 0x00FF7F}, {"steelblue", 0x4682B4}, {"tan", 0xD2B48C},
    {"teal", 0x008080}, {"thistle", 0xD8BFD8}, {"tomato", 0xFF6347}, {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE}, {"wheat", 0xF5DEB3}, {"white", 0xFFFFFF}, {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00}, {"yellowgreen", 0x9ACD32},
};

Colour fromRgb(uint32_t rgb) {
  return Colour_rgb(static_cast<int>(rgb >> 16), static_cast<int>((rgb >> 8) & 0xFF),
                    static_cast<int>(rgb & 0xFF));
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = StrX_toLowerAscii(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

void SvgValue_extendBox(ForeignBox& box, bool& any, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  if (!any) {
    box = {x, y, x, y};
    any = true;
    return;
  }
  box.left = std::min(box.left, x);
  box.right = std::max(box.right, x);
  box.top = std::min(box.top, y);
  box.bottom = std::max(box.bottom, y);
}


std::optional<double> SvgValue_number(std::string_view s, size_t& pos) {
  size_t i = pos;
  skipSeparator(s, i);
  const size_t start = i;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  bool digits = false;
  while (i < s.size() && isDigit(s[i])) ++i, digits = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && isDigit(s[i])) ++i, digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    size_t j = i + 1;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    if (j < s.size() && isDigit(s[j])) {
      while (j < s.size() && isDigit(s[j])) ++j;
      i = j;
    }
  }
  const std::string text(s.substr(start, i - start));
  const double v = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(v)) return std::nullopt;
  pos = i;
  return v;
}

std::optional<double> SvgValue_length(std::string_view s, double percentOf, double fontSize) {
  size_t pos = 0;
  const std::optional<double> v = SvgValue_number(s, pos);
  if (!v) return std::nullopt;
  const std::string_view unit = StrX_trimmedView(s.substr(pos));
  if (unit.empty() || StrX_equalsNoCase(unit, "px")) return *v;
  if (StrX_equalsNoCase(unit, "pt")) return *v * 96.0 / 72.0;
  if (StrX_equalsNoCase(unit, "pc")) return *v * 16.0;
  if (StrX_equalsNoCase(unit, "mm")) return *v * 96.0 / 25.4;
  if (StrX_equalsNoCase(unit, "cm")) return *v * 96.0 / 2.54;
  if (StrX_equalsNoCase(unit, "in")) return *v * 96.0;
  if (StrX_equalsNoCase(unit, "em")) return *v * fontSize;
  if (StrX_equalsNoCase(unit, "ex")) return *v * fontSize / 2;
  if (unit == "%") return *v * percentOf / 100.0;
  return *v;
}

std::optional<SvgAffine> SvgValue_transform(std::string_view s) {
  SvgAffine m;
  size_t pos = 0;
  while (true) {
    skipSeparator(s, pos);
    if (pos >= s.size()) break;
    const size_t nameStart = pos;
    while (pos < s.size() && ((s[pos] >= 'a' && s[pos] <= 'z') || (s[pos] >= 'A' && s[pos] <= 'Z')))
      ++pos;
    const std::string_view name = s.substr(nameStart, pos - nameStart);
    skipBlanks(s, pos);
    if (name.empty() || pos >= s.size() || s[pos] != '(') return std::nullopt;
    ++pos;
    std::array<double, 6> v{};
    size_t n = 0;
    while (n < v.size()) {
      const std::optional<double> x = SvgValue_number(s, pos);
      if (!x) break;
      v[n++] = *x;
    }
    skipBlanks(s, pos);
    if (pos >= s.size() || s[pos] != ')') return std::nullopt;
    ++pos;
    SvgAffine t;
    if (name == "matrix" && n == 6) {
      t = {v[0], v[1], v[2], v[3], v[4], v[5]};
    } else if (name == "translate" && (n == 1 || n == 2)) {
      t = SvgAffine_translate(v[0], n == 2 ? v[1] : 0);
    } else if (name == "scale" && (n == 1 || n == 2)) {
      t = SvgAffine_scale(v[0], n == 2 ? v[1] : v[0]);
    } else if (name == "rotate" && (n == 1 || n == 3)) {
      const double r = v[0] * M_PI / 180.0;
      const double c = std::cos(r), sn = std::sin(r);
      // Exact quarter turns, so that a turned rectangle stays one.
      auto snap = [](double x) { return std::fabs(x) < 1e-12 ? 0.0 : x; };
      t = {snap(c), snap(sn), snap(-sn), snap(c), 0, 0};
      if (n == 3) t = SvgAffine_translate(v[1], v[2]) * t * SvgAffine_translate(-v[1], -v[2]);
    } else if (name == "skewX" && n == 1) {
      t = {1, 0, std::tan(v[0] * M_PI / 180.0), 1, 0, 0};
    } else if (name == "skewY" && n == 1) {
      t = {1, std::tan(v[0] * M_PI / 180.0), 0, 1, 0, 0};
    } else {
      return std::nullopt;
    }
    m = m * t;
  }
  return m;
}

std::optional<std::pair<double, double>> SvgValue_viewBoxSize(std::string_view viewBox) {
  size_t pos = 0;
  std::array<double, 4> v{};
  for (double& x : v) {
    const std::optional<double> n = SvgValue_number(viewBox, pos);
    if (!n) return std::nullopt;
    x = *n;
  }
  if (!(v[2] > 0) || !(v[3] > 0)) return std::nullopt;
  return std::make_pair(v[2], v[3]);
}

std::optional<SvgAffine> SvgValue_viewBoxMap(std::string_view viewBox,
                                             std::string_view preserveAspectRatio, double width,
                                             double height) {
  size_t pos = 0;
  std::array<double, 4> v{};
  for (double& x : v) {
    const std::optional<double> n = SvgValue_number(viewBox, pos);
    if (!n) return std::nullopt;
    x = *n;
  }
  if (!(v[2] > 0) || !(v[3] > 0) || !(width > 0) || !(height > 0)) return std::nullopt;
  double sx = width / v[2], sy = height / v[3];
  std::string_view par = StrX_trimmedView(preserveAspectRatio);
  if (par.substr(0, 5) == "defer") par = StrX_trimmedView(par.substr(5));
  const size_t blank = par.find(' ');
  const std::string_view align = par.substr(0, blank);
  const std::string_view meetOrSlice = blank == std::string_view::npos ? "" : StrX_trimmedView(par.substr(blank));
  if (align == "none") return SvgAffine{sx, 0, 0, sy, -v[0] * sx, -v[1] * sy};
  const double s = meetOrSlice == "slice" ? std::max(sx, sy) : std::min(sx, sy);
  sx = sy = s;
  double tx = -v[0] * s, ty = -v[1] * s;
  const double extraX = width - v[2] * s, extraY = height - v[3] * s;
  const std::string_view a = align.empty() ? "xMidYMid" : align;
  if (a.find("xMid") != std::string_view::npos) tx += extraX / 2;
  if (a.find("xMax") != std::string_view::npos) tx += extraX;
  if (a.find("YMid") != std::string_view::npos) ty += extraY / 2;
  if (a.find("YMax") != std::string_view::npos) ty += extraY;
  return SvgAffine{sx, 0, 0, sy, tx, ty};
}

std::optional<Colour> SvgValue_colour(std::string_view s, Colour current) {
  s = StrX_trimmedView(s);
  if (s.empty()) return std::nullopt;
  if (s[0] == '#') {
    const std::string_view h = s.substr(1);
    if (h.size() == 3 || h.size() == 6) {
      int d[6];
      for (size_t i = 0; i < h.size(); ++i)
        if ((d[i] = hexDigit(h[i])) < 0) return std::nullopt;
      if (h.size() == 3) return Colour_rgb(d[0] * 17, d[1] * 17, d[2] * 17);
      return Colour_rgb(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
    }
    return std::nullopt;
  }
  if (StrX_equalsNoCase(s, "currentColor")) return current;
  if (s.size() > 4 && StrX_equalsNoCase(s.substr(0, 4), "rgb(")) {
    size_t pos = 4;
    int c[3];
    for (int& x : c) {
      const std::optional<double> n = SvgValue_number(s, pos);
      if (!n) return std::nullopt;
      double v = *n;
      if (pos < s.size() && s[pos] == '%') {
        v = v * 255 / 100;
        ++pos;
      }
      x = static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0)));
    }
    return Colour_rgb(c[0], c[1], c[2]);
  }
  std::string name(s);
  for (char& ch : name) ch = StrX_toLowerAscii(ch);
  const auto* end = std::end(kNames);
  const auto* at = std::lower_bound(std::begin(kNames), end, name,
                                    [](const NamedColour& n, const std::string& k) {
                                      return std::strcmp(n.name, k.c_str()) < 0;
                                    });
  if (at == end || name != at->name) return std::nullopt;
  return fromRgb(at->rgb);
}

std::vector<std::pair<double, double>> SvgValue_points(std::string_view points) {
  std::vector<std::pair<double, double>> out;
  size_t pos = 0;
  while (true) {
    const std::optional<double> x = SvgValue_number(points, pos);
    if (!x) break;
    const std::optional<double> y = SvgValue_number(points, pos);
    if (!y) break;
    out.emplace_back(*x, *y);
  }
  return out;
}

std::optional<ForeignBox> SvgValue_pointsBox(std::string_view points) {
  ForeignBox box;
  bool any = false;
  for (const auto& [x, y] : SvgValue_points(points)) SvgValue_extendBox(box, any, x, y);
  if (!any) return std::nullopt;
  return box;
}

std::optional<ForeignBox> SvgValue_pathBox(std::string_view d) {
  ForeignBox box;
  bool any = false;
  double cx = 0, cy = 0, startX = 0, startY = 0;
  char command = 0;
  size_t pos = 0;
  auto flag = [&](double& out) {
    // Arc flags may be written without separators ("a1 1 0 00 1 1").
    skipSeparator(d, pos);
    if (pos < d.size() && (d[pos] == '0' || d[pos] == '1')) {
      out = d[pos] - '0';
      ++pos;
      return true;
    }
    return false;
  };
  while (true) {
    skipSeparator(d, pos);
    if (pos >= d.size()) break;
    const char c = d[pos];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
      command = c;
      ++pos;
      if (c == 'z' || c == 'Z') {
        cx = startX;
        cy = startY;
        continue;
      }
    } else if (command == 0) {
      break;
    }
    const bool rel = command >= 'a' && command <= 'z';
    const char up = static_cast<char>(rel ? command - 32 : command);
    size_t count = 0;
    switch (up) {
      case 'M': case 'L': case 'T': count = 2; break;
      case 'H': case 'V': count = 1; break;
      case 'C': count = 6; break;
      case 'S': case 'Q': count = 4; break;
      case 'A': count = 7; break;
      default: return any ? std::optional<ForeignBox>(box) : std::nullopt;
    }
    std::array<double, 7> v{};
    bool ok = true;
    for (size_t k = 0; k < count && ok; ++k) {
      if (up == 'A' && (k == 3 || k == 4)) {
        ok = flag(v[k]);
      } else {
        const std::optional<double> n = SvgValue_number(d, pos);
        ok = n.has_value();
        if (ok) v[k] = *n;
      }
    }
    if (!ok) break;
    const double ox = rel ? cx : 0, oy = rel ? cy : 0;
    switch (up) {
      case 'H': cx = v[0] + (rel ? cx : 0); break;
      case 'V': cy = v[0] + (rel ? cy : 0); break;
      case 'A': {
        // The arc lies within its radii around both ends.
        const double ex = v[5] + ox, ey = v[6] + oy;
        const double rx = std::fabs(v[0]), ry = std::fabs(v[1]);
        for (const double px : {cx, ex})
          for (const double py : {cy, ey}) {
            SvgValue_extendBox(box, any, px - rx, py - ry);
            SvgValue_extendBox(box, any, px + rx, py + ry);
          }
        cx = ex;
        cy = ey;
        break;
      }
      default:
        for (size_t k = 0; k + 1 < count; k += 2) SvgValue_extendBox(box, any, v[k] + ox, v[k + 1] + oy);
        cx = v[count - 2] + ox;
        cy = v[count - 1] + oy;
        break;
    }
    SvgValue_extendBox(box, any, cx, cy);
    if (up == 'M') {
      startX = cx;
      startY = cy;
      // Further pairs of a move are lines.
      command = rel ? 'l' : 'L';
    }
  }
  if (!any) return std::nullopt;
  return box;
}
