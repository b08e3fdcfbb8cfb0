#include "document/ink/ink_strokes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/xml/xml_event_reader.h"
#include "document/note/ink_layer_files.h"
#include "document/reader/reader_values.h"
#include "document/reader/svg_values.h"
#include "figures/base/svg_format.h"

namespace {

// Tenths of a page unit of an ink length, written with its sign even when
// the whole part is 0 ("-0.5").
std::string tenths(int64_t inkUnits) {
  const int64_t t = std::llround(double(inkUnits) * 10.0 / Ink_unitsPerPixel);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%s%lld.%lld", t < 0 ? "-" : "", static_cast<long long>(std::llabs(t) / 10),
                static_cast<long long>(std::llabs(t) % 10));
  return buf;
}

std::string whole(int64_t inkUnits) {
  return std::to_string(std::llround(double(inkUnits) / Ink_unitsPerPixel));
}

bool isMarker(const InkStroke& s) { return s.attributes.rasterOp == InkRop_maskPen; }

}  // namespace

int32_t InkStroke_widthAt(const InkAttributes& a, const InkPoint& p) {
  if (a.ignorePressure || p.pressure <= 0) return a.width;
  return static_cast<int32_t>(std::max<int64_t>(
      1, int64_t{a.width} * std::min(p.pressure, InkPoint_pressureMax) / InkPoint_pressureMax));
}

Rect32 Ink_toPageRect(const Rect32& ink) {
  const double l = std::floor(ink.x / Ink_unitsPerPixel) - 2;
  const double t = std::floor(ink.y / Ink_unitsPerPixel) - 2;
  const double r = std::ceil((double(ink.x) + ink.w) / Ink_unitsPerPixel) + 2;
  const double b = std::ceil((double(ink.y) + ink.h) / Ink_unitsPerPixel) + 2;
  auto c = [](double v) { return static_cast<int32_t>(std::clamp(v, -1.0e9, 1.0e9)); };
  return {c(l), c(t), c(r - l), c(b - t)};
}

Rect32 Ink_fromPageRect(const Rect32& page) {
  auto c = [](double v) {
    return static_cast<int32_t>(std::llround(std::clamp(v * Ink_unitsPerPixel, -2.0e9, 2.0e9)));
  };
  return {c(page.x), c(page.y), c(page.w), c(page.h)};
}

InkAttributes InkTool_attributes(int32_t tool) {
  InkAttributes a;
  switch (tool) {
    case 26: a.colour = 255; break;
    case 27: a.colour = 16711680; break;
    case 28: a = {6356904, 400, 400, true, InkRop_maskPen}; break;
    case 29: a = {13648127, 400, 400, true, InkRop_maskPen}; break;
    case 30: a = {4259839, 400, 400, true, InkRop_maskPen}; break;
    case 31: a = {255, 1, 1, false, InkRop_noOperation}; break;
    default: break;
  }
  return a;
}

bool InkStroke_isInk(int64_t msSincePrevious, bool keepNext, const InkStroke& stroke) {
  if (keepNext || (msSincePrevious >= 0 && msSincePrevious < 700)) return true;
  if (stroke.points.empty()) return false;
  const InkPoint& a = stroke.points.front();
  const InkPoint& b = stroke.points.back();
  const int64_t d = std::llabs(int64_t{a.x} - b.x) + std::llabs(int64_t{a.y} - b.y);
  const size_t n = stroke.points.size();
  return (d > 59 || n > 16) && (d > 149 || n > 11);
}

double InkStroke_shareInside(const InkStroke& stroke, std::span<const InkPoint> outline) {
  if (stroke.points.empty() || outline.size() < 3) return 0;
  size_t inside = 0;
  for (const InkPoint& p : stroke.points) {
    bool in = false;
    for (size_t i = 0, j = outline.size() - 1; i < outline.size(); j = i++) {
      const double xi = outline[i].x, yi = outline[i].y, xj = outline[j].x, yj = outline[j].y;
      if ((yi > p.y) != (yj > p.y) && p.x < (xj - xi) * (p.y - yi) / (yj - yi) + xi) in = !in;
    }
    if (in) ++inside;
  }
  return double(inside) / double(stroke.points.size());
}

double InkStroke_shareInside(const InkStroke& stroke, const Rect32& r) {
  if (stroke.points.empty()) return 0;
  size_t inside = 0;
  for (const InkPoint& p : stroke.points) {
    if (p.x >= r.x && p.x <= int64_t{r.x} + r.w && p.y >= r.y && p.y <= int64_t{r.y} + r.h) ++inside;
  }
  return double(inside) / double(stroke.points.size());
}

Rect32 InkStrokes_bounds(std::span<const InkStroke> strokes) {
  int64_t l = INT64_MAX, t = INT64_MAX, r = INT64_MIN, b = INT64_MIN;
  for (const InkStroke& s : strokes) {
    for (const InkPoint& p : s.points) {
      l = std::min<int64_t>(l, p.x);
      t = std::min<int64_t>(t, p.y);
      r = std::max<int64_t>(r, p.x);
      b = std::max<int64_t>(b, p.y);
    }
  }
  if (l > r) return {};
  return {static_cast<int32_t>(l), static_cast<int32_t>(t), Figure_toInt32(r - l),
          Figure_toInt32(b - t)};
}

double InkStroke_shareNear(const InkStroke& stroke, int32_t x, int32_t y, int32_t tolerance) {
  if (stroke.points.empty()) return 0;
  size_t near = 0;
  for (const InkPoint& p : stroke.points) {
    if (std::llabs(int64_t{p.x} - x) <= tolerance && std::llabs(int64_t{p.y} - y) <= tolerance)
      ++near;
  }
  return double(near) / double(stroke.points.size());
}

void InkStrokes_moveBy(std::span<InkStroke> strokes, int32_t dx, int32_t dy) {
  for (InkStroke& s : strokes) {
    for (InkPoint& p : s.points) {
      p.x = Figure_toInt32(int64_t{p.x} + dx);
      p.y = Figure_toInt32(int64_t{p.y} + dy);
    }
  }
}

void InkStrokes_scaleToRectangle(std::span<InkStroke> strokes, Rect32 target) {
  const Rect32 from = InkStrokes_bounds(strokes);
  target.w = std::max(target.w, 100);
  target.h = std::max(target.h, 100);
  // A box without width (or height) keeps its points on one line.
  const double sx = from.w > 0 ? double(target.w) / from.w : 0;
  const double sy = from.h > 0 ? double(target.h) / from.h : 0;
  for (InkStroke& s : strokes) {
    for (InkPoint& p : s.points) {
      p.x = Figure_toInt32(std::llround(target.x + (double(p.x) - from.x) * sx));
      p.y = Figure_toInt32(std::llround(target.y + (double(p.y) - from.y) * sy));
    }
  }
}

std::string InkLayer_groupText(std::span<const InkStroke> strokes, int32_t layer,
                               std::string_view rawBase64) {
  const bool back = layer == InkLayer_back;
  std::string out = "\t<g id=\"zerbin-ink\" type=\"";
  out += back ? "back" : "front";
  out += "\">\n";
  for (const InkStroke& s : strokes) {
    if (isMarker(s) != back || s.attributes.rasterOp == InkRop_noOperation) continue;
    out += "\t<g id=\"zerbin-stroke\" style=\"stroke:" + SvgFormat_rgb(s.attributes.colour) +
           ";stroke-linecap:round";
    if (back) out += ";stroke-opacity:0.30;fill-opacity:0.0";
    out += "\">\n";
    // A single point is a dot: a segment of no length.
    const size_t n = s.points.size();
    for (size_t i = 0; i + 1 < std::max<size_t>(n, 2) && n > 0; ++i) {
      const InkPoint& a = s.points[i];
      const InkPoint& b = s.points[std::min(i + 1, n - 1)];
      auto c = [back](int64_t v) { return back ? whole(v) : tenths(v); };
      out += "\t<line x1=\"" + c(a.x) + "\" y1=\"" + c(a.y) + "\" x2=\"" + c(b.x) + "\" y2=\"" +
             c(b.y) + "\"\n\t\tstyle=\"stroke-width:" + tenths(InkStroke_widthAt(s.attributes, a)) +
             "\"/>\n";
    }
    out += "\t</g>\n";
  }
  if (!back && !rawBase64.empty()) {
    out += "<zerbin-ink-rawdata>\n<![CDATA[\n";
    for (size_t at = 0; at < rawBase64.size(); at += 73) {
      if (at > 0) out += '\n';
      out += rawBase64.substr(at, 73);
    }
    out += "\n]]>\n</zerbin-ink-rawdata>\n";
  }
  out += "\t</g>\n";
  return out;
}

namespace {

int32_t inkOf(std::string_view pageUnits) {
  size_t pos = 0;
  const std::optional<double> v = SvgValue_number(pageUnits, pos);
  if (!v) return 0;
  const double ink = std::clamp(*v * Ink_unitsPerPixel, -2.0e9, 2.0e9);
  return static_cast<int32_t>(std::lround(ink));
}

}  // namespace

std::vector<InkStroke> InkLayer_strokesOfGroup(std::string_view groupText) {
  std::vector<InkStroke> out;
  XmlEventReader xml;
  xml.OpenBytes(std::string(groupText));
  bool back = false, inStroke = false;
  while (xml.Next()) {
    const XmlEventKind kind = xml.Kind();
    const std::string& name = xml.Name();
    if (kind == XmlEvent_start && name == "g") {
      const std::string_view id = xml.Attribute("id").value_or("");
      if (id == "zerbin-ink") {
        back = xml.Attribute("type").value_or("") == "back";
      } else if (id == "zerbin-stroke") {
        inStroke = true;
        InkStroke s;
        s.attributes = back ? InkTool_attributes(28) : InkTool_attributes(25);
        const std::string style(xml.Attribute("style").value_or(""));
        if (const std::optional<std::string> c = ReaderStyle_get(style, "stroke"))
          s.attributes.colour = SvgValue_colour(*c).value_or(s.attributes.colour);
        out.push_back(std::move(s));
      }
    } else if (kind == XmlEvent_end && name == "/g") {
      inStroke = false;
    } else if (kind == XmlEvent_empty && name == "line" && inStroke) {
      InkStroke& s = out.back();
      const InkPoint a{inkOf(xml.Attribute("x1").value_or("0")), inkOf(xml.Attribute("y1").value_or("0")), 0};
      const InkPoint b{inkOf(xml.Attribute("x2").value_or("0")), inkOf(xml.Attribute("y2").value_or("0")), 0};
      if (s.points.empty()) {
        const std::string style(xml.Attribute("style").value_or(""));
        if (const std::optional<std::string> w = ReaderStyle_get(style, "stroke-width")) {
          const int32_t width = std::max(1, inkOf(*w));
          s.attributes.width = s.attributes.height = width;
        }
        s.points.push_back(a);
      }
      if (!(b == s.points.back()) || s.points.size() == 1) s.points.push_back(b);
    }
  }
  // A dot was written as a segment of no length.
  for (InkStroke& s : out)
    if (s.points.size() == 2 && s.points[0] == s.points[1]) s.points.pop_back();
  std::erase_if(out, [](const InkStroke& s) { return s.points.empty(); });
  return out;
}
