#include "document/reader/reader_foreign.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <set>
#include <tuple>

#include "core/strx/codepage.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_search.h"
#include "document/reader/reader_values.h"
#include "document/reader/svg_values.h"
#include "figures/base/svg_format.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

// The properties a foreign element takes; the first kInherited are passed
// on to the elements inside.
constexpr std::string_view kProps[] = {
    "fill", "fill-opacity", "fill-rule", "stroke", "stroke-width", "stroke-opacity",
    "stroke-dasharray", "stroke-dashoffset", "stroke-linecap", "stroke-linejoin",
    "stroke-miterlimit", "font-family", "font-size", "font-weight", "font-style", "text-anchor",
    "color", "visibility", "marker-start", "marker-mid", "marker-end", "letter-spacing",
    "word-spacing", "text-decoration", "dominant-baseline", "clip-rule", "writing-mode",
    "font-variant",
    // Not inherited.
    "opacity", "display", "clip-path", "mask", "filter"};
enum Prop : size_t {
  P_fill = 0, P_fillOpacity = 1, P_stroke = 3, P_strokeWidth = 4, P_strokeOpacity = 5,
  P_dash = 6, P_fontFamily = 11, P_fontSize = 12, P_fontWeight = 13, P_fontStyle = 14,
  P_anchor = 15, P_color = 16, P_visibility = 17, P_markerStart = 18, P_markerMid = 19,
  P_markerEnd = 20, P_letterSpacing = 21, P_wordSpacing = 22, P_decoration = 23,
  P_writingMode = 26, kInherited = 28, P_opacity = 28, P_display = 29, P_clipPath = 30,
  P_mask = 31, P_filter = 32, kPropCount = 33
};
static_assert(std::size(kProps) == kPropCount);
static_assert(kPropCount <= std::tuple_size_v<decltype(ForeignSvgReader::Style::value)>);

constexpr double kDefaultFontSize = 16;
// Nested references a box follows at most.
constexpr int kUseDepth = 3;

std::optional<size_t> propIndex(std::string_view name) {
  for (size_t i = 0; i < kPropCount; ++i)
    if (kProps[i] == name) return i;
  return std::nullopt;
}

// Calls f(name, value) for each declaration of a style text.
template <typename F>
void eachDeclaration(std::string_view text, F&& f) {
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view item = text.substr(start, end - start);
    const size_t colon = item.find(':');
    if (colon != std::string_view::npos) {
      std::string_view value = StrX_trimmedView(item.substr(colon + 1));
      if (const size_t bang = value.find("!important"); bang != std::string_view::npos)
        value = StrX_trimmedView(value.substr(0, bang));
      std::string name(StrX_trimmedView(item.substr(0, colon)));
      StrX_lowerAscii(name);
      f(std::string_view(name), value);
    }
    start = end + 1;
  }
}

// Elements whose content is not drawn where it stands.
bool isDefinition(std::string_view name) {
  static const std::set<std::string_view> kNames = {
      "defs", "symbol", "clipPath", "mask", "marker", "pattern", "linearGradient",
      "radialGradient", "filter", "style", "title", "desc", "metadata", "script", "font",
      "font-face", "cursor", "view", "solidColor", "meshgradient", "hatch"};
  return kNames.count(name) > 0;
}

bool isDrawable(std::string_view name) {
  static const std::set<std::string_view> kNames = {
      "rect", "circle", "ellipse", "line", "polyline", "polygon", "path",
      "image", "text", "use", "switch", "foreignObject"};
  return kNames.count(name) > 0;
}

std::string normalisedLineEnds(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\r') {
      out += '\n';
      if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
    } else {
      out += raw[i];
    }
  }
  return out;
}

double number(std::string_view s, double fallback) {
  size_t pos = 0;
  const std::optional<double> v = SvgValue_number(s, pos);
  return v ? *v : fallback;
}

// 0-1; a percentage allowed.
double opacityValue(const std::string& v) {
  if (v.empty()) return 1;
  size_t pos = 0;
  const std::optional<double> n = SvgValue_number(v, pos);
  if (!n) return 1;
  double x = *n;
  if (pos < v.size() && v[pos] == '%') x /= 100;
  return std::clamp(x, 0.0, 1.0);
}

struct Paint {
  bool none = true;
  bool solid = false;  // else a paint server
  Colour colour = 0;
};

Paint paintOf(const ForeignSvgReader::Style& s, size_t prop) {
  const std::string_view v = StrX_trimmedView(s.value[prop]);
  Paint p;
  if (v.empty()) {
    if (prop == P_fill) p = {false, true, 0};
    return p;
  }
  if (v == "none" || v == "transparent") return p;
  if (v.starts_with("url(")) return {false, false, 0};
  const Colour current = SvgValue_colour(s.value[P_color]).value_or(0);
  if (const std::optional<Colour> c = SvgValue_colour(v, current)) return {false, true, *c};
  // An unreadable paint is the initial one.
  if (prop == P_fill) p = {false, true, 0};
  return p;
}

// The ` xmlns:prefix="uri"` declarations of the current tag but `skip`.
std::string namespaceDeclarations(const XmlEventReader& xml, std::string_view skip) {
  std::string out;
  for (const XmlEventReader::Attr& a : xml.Attributes()) {
    if (!a.name.starts_with("xmlns:") || a.name == skip) continue;
    out += ' ';
    out += a.name;
    out += "=\"";
    out += SvgFormat_escapeAttr(a.value);
    out += '"';
  }
  return out;
}

bool isSet(const std::string& v) { return !v.empty() && StrX_trimmedView(v) != "none"; }

double fontSizeOf(const ForeignSvgReader::Style& s) {
  const double v = number(s.value[P_fontSize], kDefaultFontSize);
  return v > 0 ? v : kDefaultFontSize;
}

// A number of the file as a whole number far beyond the model's range at
// most (NaN is 0), so that no value a file gives overflows.
int64_t whole(double v) {
  if (!(v == v)) return 0;
  return static_cast<int64_t>(std::clamp(v, -1e15, 1e15));
}
int32_t floorCoord(double v) { return Figure_clampCoord(whole(std::floor(v + 1e-6))); }
int32_t roundSize(double v) { return Figure_clampSize(whole(std::round(v))); }
int32_t roundInt(double v) { return Figure_toInt32(whole(std::round(v))); }

// --- the extent of markup ------------------------------------------------------

using IdLookup = std::function<std::optional<std::string_view>(std::string_view)>;

void extendBy(ForeignBox& box, bool& any, const SvgAffine& m, const ForeignBox& b) {
  for (const double x : {b.left, b.right})
    for (const double y : {b.top, b.bottom}) SvgValue_extendBox(box, any, m.mapX(x, y), m.mapY(x, y));
}

double attrNumber(const XmlEventReader& x, std::string_view name, double fallback = 0) {
  const std::optional<std::string_view> v = x.Attribute(name);
  return v ? number(*v, fallback) : fallback;
}

std::optional<ForeignBox> markupBox(std::string_view raw, const IdLookup& lookup, int depth,
                                    double fontSize);

std::optional<ForeignBox> leafBox(const XmlEventReader& x, const std::string& name,
                                  const IdLookup& lookup, int depth, double fontSize) {
  const double X = attrNumber(x, "x"), Y = attrNumber(x, "y");
  if (name == "rect" || name == "image" || name == "foreignObject")
    return ForeignBox{X, Y, X + attrNumber(x, "width"), Y + attrNumber(x, "height")};
  if (name == "circle" || name == "ellipse") {
    const double cx = attrNumber(x, "cx"), cy = attrNumber(x, "cy");
    const double rx = name == "circle" ? attrNumber(x, "r") : attrNumber(x, "rx");
    const double ry = name == "circle" ? rx : attrNumber(x, "ry", rx);
    return ForeignBox{cx - rx, cy - ry, cx + rx, cy + ry};
  }
  if (name == "line") {
    const double x1 = attrNumber(x, "x1"), y1 = attrNumber(x, "y1");
    const double x2 = attrNumber(x, "x2"), y2 = attrNumber(x, "y2");
    return ForeignBox{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
  }
  if (name == "polyline" || name == "polygon") {
    const std::optional<std::string_view> p = x.Attribute("points");
    return p ? SvgValue_pointsBox(*p) : std::nullopt;
  }
  if (name == "path") {
    const std::optional<std::string_view> d = x.Attribute("d");
    return d ? SvgValue_pathBox(*d) : std::nullopt;
  }
  if (name == "use" && depth < kUseDepth && lookup) {
    std::optional<std::string_view> href = x.Attribute("xlink:href");
    if (!href) href = x.Attribute("href");
    if (href && href->starts_with("#")) {
      if (const std::optional<std::string_view> target = lookup(href->substr(1))) {
        if (std::optional<ForeignBox> b = markupBox(*target, lookup, depth + 1, fontSize)) {
          b->left += X;
          b->right += X;
          b->top += Y;
          b->bottom += Y;
          return b;
        }
      }
    }
    return ForeignBox{X, Y, X + 1, Y + 1};
  }
  return std::nullopt;
}

std::optional<ForeignBox> markupBox(std::string_view raw, const IdLookup& lookup, int depth,
                                    double fontSize) {
  XmlEventReader x;
  x.OpenBytes(std::string(raw));
  ForeignBox box;
  bool any = false;
  std::vector<SvgAffine> stack{SvgAffine{}};
  std::vector<double> sizes{fontSize};
  int skip = 0;
  // Where the next text starts.
  bool anchored = false;
  double ax = 0, ay = 0, afs = fontSize;
  SvgAffine am;
  while (x.Next()) {
    const XmlEventKind kind = x.Kind();
    const std::string& name = x.Name();
    if (skip > 0) {
      if (kind == XmlEvent_start) ++skip;
      if (kind == XmlEvent_end) --skip;
      continue;
    }
    if (kind == XmlEvent_text) {
      if (!anchored) continue;
      const std::string text = x.Text();
      size_t chars = 0;
      for (size_t i = 0; i < text.size(); i += Cp932_charLen(text, i)) ++chars;
      const double w = double(chars) * afs * 0.6;
      extendBy(box, any, am, ForeignBox{ax - w, ay - afs, ax + w, ay + afs * 0.3});
      continue;
    }
    if (kind == XmlEvent_end) {
      if (stack.size() > 1) {
        stack.pop_back();
        sizes.pop_back();
      }
      continue;
    }
    if (name.empty() || name[0] == '!' || name[0] == '?') continue;
    if (isDefinition(name)) {
      if (kind == XmlEvent_start) skip = 1;
      continue;
    }
    SvgAffine m = stack.back();
    if (const std::optional<std::string_view> t = x.Attribute("transform"))
      if (const std::optional<SvgAffine> own = SvgValue_transform(*t)) m = m * *own;
    double fs = sizes.back();
    if (const std::optional<std::string_view> f = x.Attribute("font-size"))
      fs = SvgValue_length(*f, fs, fs).value_or(fs);
    if (const std::optional<std::string_view> st = x.Attribute("style")) {
      eachDeclaration(*st, [&](std::string_view n, std::string_view v) {
        if (n == "font-size") fs = SvgValue_length(v, fs, fs).value_or(fs);
      });
    }
    if (name == "text" || name == "tspan") {
      if (x.Attribute("x") || x.Attribute("y") || !anchored) {
        ax = x.Attribute("x") ? attrNumber(x, "x") : ax;
        ay = x.Attribute("y") ? attrNumber(x, "y") : ay;
        anchored = true;
      }
      afs = fs;
      am = m;
    } else if (std::optional<ForeignBox> b = leafBox(x, name, lookup, depth, fs)) {
      extendBy(box, any, m, *b);
    }
    if (kind == XmlEvent_start) {
      stack.push_back(m);
      sizes.push_back(fs);
    }
  }
  if (!any) return std::nullopt;
  return box;
}

}  // namespace

// --- the root ----------------------------------------------------------------------

bool ForeignSvg_isForeignRoot(const XmlEventReader& xml) {
  // Anything beyond a size (a namespace, a view box, a version, a style)
  // and none of this program's marks.
  bool more = false;
  for (const XmlEventReader::Attr& a : xml.Attributes()) {
    const std::string n = StrX_lowerAsciiCopy(std::string(a.name));
    if (n.find("zerbin") != std::string::npos || n == "sub_doctype" || n == "onload" ||
        n == "corr-image" || n == "uuid")
      return false;
    if (n != "width" && n != "height") more = true;
  }
  return more;
}

namespace {

// The root's viewport: its size in pixels and its view box's size.
struct RootViewport {
  double width = 500, height = 300;
  double boxWidth = 0, boxHeight = 0;  // 0: no view box
};

RootViewport rootViewport(const XmlEventReader& xml) {
  RootViewport out;
  const std::optional<std::string_view> viewBox = xml.Attribute("viewBox");
  double boxW = 0, boxH = 0;
  if (viewBox) {
    if (const auto size = SvgValue_viewBoxSize(*viewBox)) std::tie(boxW, boxH) = *size;
  }
  const bool hasBox = boxW > 0;
  // A size in percent is of a window the file does not know: the view box's.
  auto side = [&](std::string_view attr, double fromBox, double fallback) {
    const std::optional<std::string_view> v = xml.Attribute(attr);
    const bool percent = v && StrX_trimmedView(*v).find('%') != std::string_view::npos;
    if (v && !percent) {
      const std::optional<double> l = SvgValue_length(*v);
      if (l && *l > 0) return *l;
    }
    return hasBox ? fromBox * (percent ? number(*v, 100) / 100 : 1) : fallback;
  };
  double w = side("width", boxW, 500);
  double h = side("height", boxH, 300);
  // One side given with a view box: the other keeps the box's proportion.
  if (hasBox && xml.Attribute("width") && !xml.Attribute("height")) h = w * boxH / boxW;
  if (hasBox && xml.Attribute("height") && !xml.Attribute("width")) w = h * boxW / boxH;
  out.width = w;
  out.height = h;
  out.boxWidth = boxW;
  out.boxHeight = boxH;
  return out;
}

}  // namespace

void ForeignSvg_rootSize(const XmlEventReader& xml, int64_t& width, int64_t& height) {
  const RootViewport v = rootViewport(xml);
  // A part of a pixel is a pixel, as renderers size their pictures.
  width = whole(std::ceil(v.width - 1e-6));
  height = whole(std::ceil(v.height - 1e-6));
}

void ForeignSvgReader::root(int64_t& width, int64_t& height) {
  // Our own notes declare the xlink prefix at their root already.
  namespaces_ = namespaceDeclarations(xml_, "xmlns:xlink");
  const RootViewport v = rootViewport(xml_);
  const double w = v.width, h = v.height, boxW = v.boxWidth, boxH = v.boxHeight;
  const bool hasBox = boxW > 0;
  const std::optional<std::string_view> viewBox = xml_.Attribute("viewBox");
  ForeignSvg_rootSize(xml_, width, height);
  rootFrame_.viewWidth = hasBox ? boxW : w;
  rootFrame_.viewHeight = hasBox ? boxH : h;
  if (hasBox) {
    const std::optional<std::string_view> par = xml_.Attribute("preserveAspectRatio");
    if (const std::optional<SvgAffine> m =
            SvgValue_viewBoxMap(*viewBox, par.value_or(""), w, h))
      rootFrame_.ctm = *m;
  }
  rootFrame_.style = cascade(xml_, Style{});
  rootFrame_.style.groupOpacity = opacityValue(rootFrame_.style.value[P_opacity]);
}

// --- styles --------------------------------------------------------------------------

ForeignSvgReader::Style ForeignSvgReader::cascade(const XmlEventReader& xml,
                                                  const Style& parent) const {
  Style s;
  for (size_t i = 0; i < kInherited; ++i) s.value[i] = parent.value[i];
  s.groupOpacity = parent.groupOpacity;
  auto apply = [&](std::string_view name, std::string_view value) {
    if (name == "marker") {
      for (const size_t i : {P_markerStart, P_markerMid, P_markerEnd}) s.value[i] = value;
      return;
    }
    const std::optional<size_t> i = propIndex(name);
    if (!i) return;
    if (value == "inherit") {
      s.value[*i] = parent.value[*i];
    } else if (*i == P_fontSize) {
      // Kept in px, so that what is inside sizes against it.
      const double base = fontSizeOf(parent);
      if (const std::optional<double> px = SvgValue_length(value, base, base); px && *px > 0) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.6gpx", *px);
        s.value[*i] = buf;
      }
    } else {
      s.value[*i] = std::string(value);
    }
  };
  for (const XmlEventReader::Attr& a : xml.Attributes()) {
    if (a.name == "style" || a.name == "class" || a.name == "id") continue;
    apply(a.name, StrX_trimmedView(a.value));
  }
  if (!css_.empty()) {
    const std::string& tag = xml.Name();
    const std::string_view classes = xml.Attribute("class").value_or("");
    const std::string_view id = xml.Attribute("id").value_or("");
    auto hasClass = [&](std::string_view c) {
      size_t pos = 0;
      while (pos < classes.size()) {
        while (pos < classes.size() && StrX_isSpace(classes[pos])) ++pos;
        size_t end = pos;
        while (end < classes.size() && !StrX_isSpace(classes[end])) ++end;
        if (classes.substr(pos, end - pos) == c) return true;
        pos = end;
      }
      return false;
    };
    for (const CssRule& r : css_) {
      if (!r.tag.empty() && r.tag != tag) continue;
      if (!r.id.empty() && r.id != id) continue;
      if (!r.cls.empty() && !hasClass(r.cls)) continue;
      eachDeclaration(r.declarations, apply);
    }
  }
  if (const std::optional<std::string_view> style = xml.Attribute("style"))
    eachDeclaration(*style, apply);
  return s;
}

double ForeignSvgReader::length(const Style& s, std::string_view attr, double percentOf) const {
  const std::optional<std::string_view> v = xml_.Attribute(attr);
  if (!v) return 0;
  const double fs = fontSizeOf(s);
  return SvgValue_length(*v, percentOf, fs).value_or(0);
}

void ForeignSvgReader::parseStyleSheet(std::string_view text) {
  std::string sheet(text);
  // Comments and CDATA marks are no rules.
  for (size_t at; (at = sheet.find("/*")) != std::string::npos;) {
    const size_t end = sheet.find("*/", at + 2);
    sheet.erase(at, end == std::string::npos ? std::string::npos : end + 2 - at);
  }
  for (const char* mark : {"<![CDATA[", "]]>"})
    for (size_t at; (at = sheet.find(mark)) != std::string::npos;) sheet.erase(at, std::strlen(mark));
  size_t pos = 0;
  while (pos < sheet.size()) {
    const size_t open = sheet.find('{', pos);
    if (open == std::string::npos) break;
    const size_t close = sheet.find('}', open);
    if (close == std::string::npos) break;
    const std::string_view selectors = StrX_trimmedView(std::string_view(sheet).substr(pos, open - pos));
    const std::string declarations = sheet.substr(open + 1, close - open - 1);
    pos = close + 1;
    if (selectors.starts_with("@")) continue;
    size_t s = 0;
    while (s <= selectors.size()) {
      size_t comma = selectors.find(',', s);
      if (comma == std::string_view::npos) comma = selectors.size();
      const std::string_view sel = StrX_trimmedView(selectors.substr(s, comma - s));
      s = comma + 1;
      if (sel.empty() || sel.find_first_of(" >+~:[") != std::string_view::npos) continue;
      CssRule r;
      r.declarations = declarations;
      if (sel == "*") {
      } else if (sel[0] == '#') {
        r.id = sel.substr(1);
      } else {
        const size_t dot = sel.find('.');
        r.tag = sel.substr(0, dot);
        if (dot != std::string_view::npos) r.cls = sel.substr(dot + 1);
        if (r.cls.find('.') != std::string::npos) continue;
      }
      css_.push_back(std::move(r));
    }
  }
}

// --- elements ------------------------------------------------------------------------

std::string_view ForeignSvgReader::consume() {
  const std::string_view bytes = xml_.Bytes();
  const size_t start = xml_.EventOffset();
  if (xml_.Kind() == XmlEvent_empty) {
    if (const std::optional<std::string_view> id = xml_.Attribute("id"))
      ids_.emplace(std::string(*id), std::make_pair(start, xml_.EndOffset()));
    return bytes.substr(start, std::min(xml_.EndOffset(), bytes.size()) - start);
  }
  // The ids inside, with the offsets of their elements.
  std::vector<std::pair<size_t, std::optional<std::string>>> open;
  auto push = [&](size_t at) {
    const std::optional<std::string_view> id = xml_.Attribute("id");
    open.emplace_back(at, id ? std::optional<std::string>(std::string(*id)) : std::nullopt);
  };
  push(start);
  size_t end = bytes.size();
  while (!open.empty() && xml_.Next()) {
    const XmlEventKind kind = xml_.Kind();
    if (kind == XmlEvent_start) {
      push(xml_.EventOffset());
    } else if (kind == XmlEvent_empty) {
      if (const std::optional<std::string_view> id = xml_.Attribute("id"))
        ids_.emplace(std::string(*id), std::make_pair(xml_.EventOffset(), xml_.EndOffset()));
    } else if (kind == XmlEvent_end) {
      const auto [at, id] = open.back();
      open.pop_back();
      if (id) ids_.emplace(*id, std::make_pair(at, xml_.EndOffset()));
      if (open.empty()) end = xml_.EndOffset();
    }
  }
  end = std::min(end, bytes.size());
  return bytes.substr(start, end - start);
}

ForeignSvgReader::Action ForeignSvgReader::element(std::vector<std::unique_ptr<CadPrim>>& out) {
  const std::string name = xml_.Name();
  if (name.empty() || name[0] == '!' || name[0] == '?') return Action::Done;
  const Frame& parent = top();
  Style own = cascade(xml_, parent.style);
  const bool start = xml_.Kind() == XmlEvent_start;

  if (StrX_trimmedView(own.value[P_display]) == "none") {
    consume();
    return Action::Done;
  }
  SvgAffine transform;
  if (const std::optional<std::string_view> t = xml_.Attribute("transform"))
    if (const std::optional<SvgAffine> m = SvgValue_transform(*t)) transform = *m;

  const bool effects = isSet(own.value[P_clipPath]) || isSet(own.value[P_mask]) ||
                       isSet(own.value[P_filter]);
  if ((name == "g" || name == "a" || name == "svg") && !effects) {
    if (!start) return Action::Done;
    Frame f;
    f.style = own;
    f.style.groupOpacity = parent.style.groupOpacity * opacityValue(own.value[P_opacity]);
    f.ctm = parent.ctm * transform;
    f.viewWidth = parent.viewWidth;
    f.viewHeight = parent.viewHeight;
    if (name == "svg") {
      const double x = length(own, "x", parent.viewWidth), y = length(own, "y", parent.viewHeight);
      double w = xml_.Attribute("width") ? length(own, "width", parent.viewWidth) : parent.viewWidth;
      double h = xml_.Attribute("height") ? length(own, "height", parent.viewHeight) : parent.viewHeight;
      f.ctm = parent.ctm * SvgAffine_translate(x, y);
      f.viewWidth = w;
      f.viewHeight = h;
      if (const std::optional<std::string_view> vb = xml_.Attribute("viewBox")) {
        const std::optional<std::string_view> par = xml_.Attribute("preserveAspectRatio");
        if (const std::optional<SvgAffine> m = SvgValue_viewBoxMap(*vb, par.value_or(""), w, h)) {
          f.ctm = f.ctm * *m;
          const auto size = SvgValue_viewBoxSize(*vb);
          f.viewWidth = size->first;
          f.viewHeight = size->second;
        }
      }
    }
    f.idStart = xml_.EventOffset();
    f.id = std::string(xml_.Attribute("id").value_or(""));
    frames_.push_back(std::move(f));
    return Action::Container;
  }

  // A text span belongs in a text.
  if (name == "tspan") ReaderError_unsupported(ctx_.japanese);
  if (name == "style") {
    const std::string_view raw = consume();
    const size_t open = raw.find('>'), close = raw.rfind('<');
    if (open != std::string_view::npos && close != std::string_view::npos && close > open) {
      parseStyleSheet(raw.substr(open + 1, close - open - 1));
      styleSheets_ += normalisedLineEnds(raw);
    }
    return Action::Done;
  }
  if (!isDrawable(name) && name != "g" && name != "a" && name != "svg") {
    consume();
    return Action::Done;
  }
  const std::string_view visibility = StrX_trimmedView(own.value[P_visibility]);
  if ((visibility == "hidden" || visibility == "collapse") && name != "g" && name != "switch") {
    consume();
    return Action::Done;
  }

  const SvgAffine m = parent.ctm * transform;
  std::unique_ptr<CadPrim> native;
  std::unique_ptr<CadPrim> box;
  if (!effects) {
    if (name == "text") box = ReaderElements_textStart(ctx_);
    else native = nativeShape(name, own, m);
  }
  const std::string_view raw = consume();
  if (box) {
    // A text box paints its background: text drawn over a coloured shape
    // is kept as it is drawn.
    bool overPaint = false;
    if (const std::optional<ForeignBox> b = markupBox(raw, nullptr, 0, fontSizeOf(parent.style))) {
      // The box already holds the text's own transform.
      ForeignBox page;
      bool any = false;
      extendBy(page, any, top().ctm, *b);
      for (const Rect32& r : painted_)
        overPaint = overPaint || (page.right > r.x && page.left < double(r.x) + r.w &&
                                  page.bottom > r.y && page.top < double(r.y) + r.h);
    }
    if (!overPaint) native = nativeText(raw, own, m, std::move(box));
  }
  if (native) {
    out.push_back(std::move(native));
    return Action::Done;
  }
  if (name == "foreignObject") return Action::Done;  // nothing the renderer draws
  if (std::unique_ptr<Foreign_Figure> f = foreignFigure(name, raw, parent.style, own))
    out.push_back(std::move(f));
  return Action::Done;
}

void ForeignSvgReader::close() {
  if (frames_.empty()) return;
  const Frame& f = frames_.back();
  if (!f.id.empty()) ids_.emplace(f.id, std::make_pair(f.idStart, xml_.EndOffset()));
  frames_.pop_back();
}

// --- figures of our own --------------------------------------------------------------

std::unique_ptr<CadPrim> ForeignSvgReader::nativeShape(const std::string& name, const Style& s,
                                                       const SvgAffine& m) {
  const bool line = name == "line";
  if (!line && name != "rect" && name != "circle" && name != "ellipse" && name != "image")
    return nullptr;
  // A turn by whole degrees with one scale is the figure's angle.
  int32_t angle = 0;
  double scale = 1;
  if (!line && !m.isAxisAligned()) {
    scale = std::hypot(m.a, m.b);
    const double degrees = std::atan2(m.b, m.a) * 180 / M_PI;
    if (std::fabs(m.a - m.d) > 1e-9 * scale || std::fabs(m.b + m.c) > 1e-9 * scale ||
        !(scale > 0) || std::fabs(degrees - std::round(degrees)) > 1e-6)
      return nullptr;
    angle = roundInt(degrees);
    if (angle < 0) angle += 360;
    if (name == "image") return nullptr;
  }
  const Frame& f = top();
  const double op = opacityValue(s.value[P_opacity]) * s.groupOpacity;
  const Paint fill = paintOf(s, P_fill), stroke = paintOf(s, P_stroke);
  const double fo = op * opacityValue(s.value[P_fillOpacity]);
  const double so = op * opacityValue(s.value[P_strokeOpacity]);
  const bool hasFill = !fill.none && fo > 0.001;
  // A width in percent is of the viewport's normalised diagonal.
  const double diagonal = std::hypot(f.viewWidth, f.viewHeight) / M_SQRT2;
  const double sw =
      std::max(0.0, SvgValue_length(s.value[P_strokeWidth], diagonal, fontSizeOf(s)).value_or(1)) *
      m.lengthScale();
  const bool hasStroke = !stroke.none && so > 0.001 && sw > 0;
  if (hasFill && (!fill.solid || fo < 0.999)) return nullptr;
  if (hasStroke && (!stroke.solid || so < 0.999 || isSet(s.value[P_dash]))) return nullptr;
  // A hairline below most of a pixel shows far lighter than the pixel-wide
  // line of a figure.
  if (hasStroke && sw < 0.75) return nullptr;
  if (line && (isSet(s.value[P_markerStart]) || isSet(s.value[P_markerEnd]))) return nullptr;
  const int32_t width = hasStroke ? std::max<int32_t>(1, roundInt(sw)) : 0;
  const std::string id(xml_.Attribute("id").value_or(""));

  if (line) {
    if (!hasStroke) return nullptr;
    const double x1 = length(s, "x1", f.viewWidth), y1 = length(s, "y1", f.viewHeight);
    const double x2 = length(s, "x2", f.viewWidth), y2 = length(s, "y2", f.viewHeight);
    auto l = std::make_unique<Line_Ex>();
    l->SetNumber(ctx_.counters.nextFigureNumber());
    auto at = [&](double x, double y) {
      return Point32{Figure_clampCoord(whole(std::round(m.mapX(x, y)))),
                     Figure_clampCoord(whole(std::round(m.mapY(x, y))))};
    };
    l->SetPoints(at(x1, y1), at(x2, y2));
    l->SetColour(stroke.colour);
    l->SetWidth(width);
    return l;
  }

  auto r = std::make_unique<Rect_Ex>();
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  if (name == "rect" || name == "image") {
    const double x = length(s, "x", f.viewWidth), y = length(s, "y", f.viewHeight);
    const double w = length(s, "width", f.viewWidth), h = length(s, "height", f.viewHeight);
    if (!(w > 0) || !(h > 0)) return nullptr;
    if (length(s, "rx", f.viewWidth) > 0 || length(s, "ry", f.viewHeight) > 0) return nullptr;
    x0 = x, y0 = y, x1 = x + w, y1 = y + h;
    r->shape = RectShape_Rectangle;
  } else {
    const double cx = length(s, "cx", f.viewWidth), cy = length(s, "cy", f.viewHeight);
    double rx = 0, ry = 0;
    if (name == "circle") {
      rx = ry = length(s, "r", diagonal);
    } else {
      rx = length(s, "rx", f.viewWidth);
      ry = length(s, "ry", f.viewHeight);
      if (!xml_.Attribute("ry")) ry = rx;
      if (!xml_.Attribute("rx")) rx = ry;
    }
    if (!(rx > 0) || !(ry > 0)) return nullptr;
    x0 = cx - rx, y0 = cy - ry, x1 = cx + rx, y1 = cy + ry;
    r->shape = RectShape_Ellipse;
  }
  double l = std::min(m.mapX(x0, y0), m.mapX(x1, y1));
  double rr = std::max(m.mapX(x0, y0), m.mapX(x1, y1));
  double t = std::min(m.mapY(x0, y0), m.mapY(x1, y1));
  double b = std::max(m.mapY(x0, y0), m.mapY(x1, y1));
  if (angle != 0) {
    // Turned about its centre: the box is the unturned one there.
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    const double pcx = m.mapX(cx, cy), pcy = m.mapY(cx, cy);
    const double hw = (x1 - x0) * scale / 2, hh = (y1 - y0) * scale / 2;
    l = pcx - hw, rr = pcx + hw, t = pcy - hh, b = pcy + hh;
  }

  if (name == "image") {
    // A picture is read as the note format reads it, then placed.
    if (!xml_.Attribute("x") || !xml_.Attribute("xlink:href") || hasStroke) return nullptr;
    std::unique_ptr<CadPrim> picture = ReaderElements_figure(ctx_);
    auto* image = dynamic_cast<Rect_Ex*>(picture.get());
    if (image == nullptr) return nullptr;
    image->x = floorCoord(l);
    image->y = floorCoord(t);
    image->width = roundSize(rr - l);
    image->height = roundSize(b - t);
    image->takeNaturalSize = false;
    return picture;
  }
  r->SetNumber(ctx_.counters.nextFigureNumber());
  r->id = id.empty() ? ctx_.pending.id : id;
  r->angle = angle;
  r->url = ctx_.pending.link;
  if (ctx_.pending.linkElement) r->target = ctx_.pending.target;
  r->afterClick = std::clamp(ctx_.pending.afterClick, 0, 3);
  r->x = floorCoord(l);
  r->y = floorCoord(t);
  r->width = roundSize(rr - l);
  r->height = roundSize(b - t);
  r->strokeWidth = width;
  r->strokeColour = hasStroke ? stroke.colour : 0;
  r->fillColour = hasFill ? fill.colour : 0xFFFFFF;
  r->opacity = hasFill ? 100 : 0;
  if (hasFill && fill.colour != 0xFFFFFF) painted_.push_back(r->GetBounds());
  return r;
}

std::unique_ptr<CadPrim> ForeignSvgReader::nativeText(std::string_view raw, const Style& s,
                                                      const SvgAffine& m,
                                                      std::unique_ptr<CadPrim> made) {
  auto* box = dynamic_cast<Text_Box*>(made.get());
  if (box == nullptr || !m.isAxisAligned() || std::fabs(m.a - m.d) > 1e-9 || !(m.a > 0))
    return nullptr;
  const double op = opacityValue(s.value[P_opacity]) * s.groupOpacity *
                    opacityValue(s.value[P_fillOpacity]);
  const Paint fill = paintOf(s, P_fill), stroke = paintOf(s, P_stroke);
  if (fill.none || !fill.solid || op < 0.999 || !stroke.none) return nullptr;
  for (const size_t p : {P_letterSpacing, P_wordSpacing, P_decoration, P_writingMode}) {
    const std::string_view v = StrX_trimmedView(s.value[p]);
    if (!v.empty() && v != "normal" && v != "none" && v != "0" && v != "lr-tb" && v != "lr" &&
        v != "horizontal-tb")
      return nullptr;
  }

  struct Line {
    std::string text;
    std::optional<double> x, y;
  };
  std::vector<Line> lines(1);
  XmlEventReader x;
  x.OpenBytes(std::string(raw));
  int depth = 0;
  bool simple = true;
  auto single = [&](std::string_view attr) -> std::optional<double> {
    const std::optional<std::string_view> v = x.Attribute(attr);
    if (!v) return std::nullopt;
    size_t pos = 0;
    const std::optional<double> n = SvgValue_number(*v, pos);
    if (!n || !StrX_trimmedView(v->substr(pos)).empty()) {
      simple = false;
      return std::nullopt;
    }
    return n;
  };
  auto sameLook = [&](const Style& t) {
    for (const size_t p : {P_fill, P_fontFamily, P_fontSize, P_fontWeight, P_fontStyle, P_anchor,
                           P_stroke, P_decoration})
      if (StrX_trimmedView(t.value[p]) != StrX_trimmedView(s.value[p])) return false;
    return opacityValue(t.value[P_opacity]) >= 0.999;
  };
  auto append = [&](std::string_view text) {
    std::string& line = lines.back().text;
    for (const char c : ReaderText_decodeEntities(text)) {
      if (StrX_isSpace(c)) {
        if (!line.empty() && line.back() != ' ') line += ' ';
      } else {
        line += c;
      }
    }
  };
  while (simple && x.Next()) {
    const XmlEventKind kind = x.Kind();
    const std::string& name = x.Name();
    if (kind == XmlEvent_text) {
      append(x.Text());
      continue;
    }
    if (name.empty() || name[0] == '!' || name[0] == '?') continue;
    if (kind == XmlEvent_end) {
      --depth;
      continue;
    }
    if (depth == 0) {
      if (name != "text") simple = false;
      for (const char* a : {"dx", "dy", "rotate", "textLength"})
        if (x.Attribute(a)) simple = false;
      lines.back().x = single("x");
      lines.back().y = single("y");
    } else if (depth == 1 && name == "tspan") {
      for (const char* a : {"dx", "rotate", "textLength"})
        if (x.Attribute(a)) simple = false;
      if (!sameLook(cascade(x, s))) simple = false;
      const std::optional<double> tx = single("x"), ty = single("y"), dy = single("dy");
      if (ty || dy) {
        const std::optional<double> prev = lines.back().y;
        if (!lines.back().text.empty() || lines.size() > 1 || lines.back().y != ty || !ty)
          lines.push_back({});
        lines.back().x = tx ? tx : lines[0].x;
        lines.back().y = ty ? ty : (prev ? std::optional<double>(*prev + *dy) : std::nullopt);
      } else if (tx) {
        simple = false;
      }
    } else if (name != "title" && name != "desc") {
      simple = false;
    }
    if (kind == XmlEvent_start) ++depth;
  }
  if (!simple) return nullptr;
  if (lines.size() > 1 && lines[0].text.empty() && !lines[0].x && !lines[0].y)
    lines.erase(lines.begin());
  if (lines.size() > 1 && lines[0].text.empty() && lines[1].y)
    lines.erase(lines.begin());
  for (Line& l : lines) {
    while (!l.text.empty() && l.text.back() == ' ') l.text.pop_back();
  }
  const double x0 = lines[0].x.value_or(0), y0 = lines[0].y.value_or(0);
  double spacing = 0;
  for (size_t k = 1; k < lines.size(); ++k) {
    if (!lines[k].y || std::fabs(lines[k].x.value_or(x0) - x0) > 0.5) return nullptr;
    const double step = *lines[k].y - (k == 1 ? y0 : *lines[k - 1].y);
    if (k == 1) spacing = step;
    if (!(step > 0) || std::fabs(step - spacing) > 0.75) return nullptr;
  }
  const double fontPx = fontSizeOf(s) * m.a;
  box->fontSize = std::max(1, roundInt(fontPx * 72 / 96));
  box->SetBasePoint(floorCoord(m.mapX(x0, y0)), floorCoord(m.mapY(x0, y0)));
  box->lineSpacing = lines.size() > 1
                         ? std::max(1, roundInt(spacing * m.a))
                         : Figure_toInt32(int64_t{box->fontSize} * 15 / 10);
  if (lines.size() > 1) box->layoutFlags |= TextBox_spacingTaken;
  box->textColour = fill.colour;
  if (const std::string_view family = StrX_trimmedView(s.value[P_fontFamily]); !family.empty()) {
    std::string first(StrX_trimmedView(family.substr(0, family.find(','))));
    if (first.size() >= 2 && (first.front() == '\'' || first.front() == '"'))
      first = first.substr(1, first.size() - 2);
    first = first.substr(0, Cp932_cutLength(first, 39));
    box->fontFace = SvgFormat_fontFaceFromFile(first);
  } else {
    // What SVG renderers take without a family.
    box->fontFace = SvgFormat_fontFaceFromFile("serif");
  }
  const std::string_view weight = StrX_trimmedView(s.value[P_fontWeight]);
  box->bold = weight == "bold" || weight == "bolder" || number(weight, 400) >= 600;
  const std::string_view style = StrX_trimmedView(s.value[P_fontStyle]);
  box->italic = style == "italic" || style == "oblique";
  const std::string_view anchor = StrX_trimmedView(s.value[P_anchor]);
  box->alignment = anchor == "middle" ? 1 : anchor == "end" ? 2 : 0;
  box->angle = 0;
  std::string text;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (k > 0) text += "\r\n";
    text += lines[k].text;
  }
  box->SetText(text);
  return made;
}

// --- foreign figures -----------------------------------------------------------------

std::unique_ptr<Foreign_Figure> ForeignSvgReader::foreignFigure(const std::string& name,
                                                                std::string_view raw,
                                                                const Style& parent,
                                                                const Style& own) {
  ForeignParts p;
  p.element = name;
  p.markup = normalisedLineEnds(raw);
  for (size_t i = 0; i < kInherited; ++i) {
    if (parent.value[i].empty()) continue;
    if (!p.style.empty()) p.style += ';';
    p.style += kProps[i];
    p.style += ':';
    p.style += parent.value[i];
  }
  if (parent.groupOpacity < 1) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%sopacity:%.6g", p.style.empty() ? "" : ";",
                  parent.groupOpacity);
    p.style += buf;
  }
  // Only the prefixes the markup uses.
  for (size_t at = 0; at < namespaces_.size();) {
    const size_t next = namespaces_.find(" xmlns:", at + 1);
    const std::string_view decl =
        std::string_view(namespaces_).substr(at, next == std::string::npos ? std::string::npos : next - at);
    const size_t eq = decl.find('=');
    const std::string prefix = std::string(decl.substr(7, eq - 7)) + ":";
    if (p.markup.find(prefix) != std::string::npos) p.namespaces += decl;
    at = next == std::string::npos ? namespaces_.size() : next;
  }
  const IdLookup lookup = [this](std::string_view id) -> std::optional<std::string_view> {
    const auto it = ids_.find(id);
    if (it == ids_.end()) return std::nullopt;
    return xml_.Bytes().substr(it->second.first, it->second.second - it->second.first);
  };
  std::optional<ForeignBox> box = markupBox(raw, lookup, 0, fontSizeOf(parent));
  if (!box) return nullptr;  // draws nothing anyone could see or select
  const Paint stroke = paintOf(own, P_stroke);
  if (!stroke.none) {
    const double half = number(own.value[P_strokeWidth], 1) / 2 + 1;
    box->left -= half;
    box->top -= half;
    box->right += half;
    box->bottom += half;
  }
  p.box = *box;
  p.matrix = top().ctm;
  // A map beyond the numbers draws nowhere.
  if (!ForeignParts_finite(p)) return nullptr;
  auto f = std::make_unique<Foreign_Figure>(std::move(p));
  f->SetNumber(ctx_.counters.nextFigureNumber());
  made_.push_back(f->GetNumber());
  return f;
}

void ForeignSvgReader::finish(std::vector<FigureList*> pages) {
  if (made_.empty()) return;
  const std::set<int32_t> made(made_.begin(), made_.end());
  const std::string_view bytes = xml_.Bytes();
  size_t budget = ForeignSvg_definitionsBudget;
  auto referencesIn = [](std::string_view text, std::vector<std::string>& out) {
    for (size_t at = 0; (at = text.find("url(", at)) != std::string_view::npos;) {
      at += 4;
      while (at < text.size() && (text[at] == '\'' || text[at] == '"' || StrX_isSpace(text[at]))) ++at;
      if (at >= text.size() || text[at] != '#') continue;
      const size_t end = text.find_first_of(")'\" ", at);
      out.emplace_back(text.substr(at + 1, end == std::string_view::npos ? std::string_view::npos : end - at - 1));
    }
    for (size_t at = 0; (at = text.find("href=", at)) != std::string_view::npos;) {
      at += 5;
      if (at + 1 >= text.size() || (text[at] != '"' && text[at] != '\'') || text[at + 1] != '#') continue;
      const char quote = text[at];
      const size_t end = text.find(quote, at + 1);
      if (end == std::string_view::npos) continue;
      out.emplace_back(text.substr(at + 2, end - at - 2));
    }
  };
  for (FigureList* list : pages) {
    for (const std::unique_ptr<CadPrim>& figure : *list) {
      auto* f = dynamic_cast<Foreign_Figure*>(figure.get());
      if (f == nullptr || made.count(f->GetNumber()) == 0) continue;
      std::vector<std::string> queue;
      referencesIn(f->parts().markup, queue);
      referencesIn(f->parts().style, queue);
      std::set<std::pair<size_t, size_t>> ranges;
      std::set<std::string> seen;
      while (!queue.empty()) {
        const std::string id = std::move(queue.back());
        queue.pop_back();
        if (!seen.insert(id).second) continue;
        const auto it = ids_.find(id);
        if (it == ids_.end()) continue;
        if (!ranges.insert(it->second).second) continue;
        referencesIn(bytes.substr(it->second.first, it->second.second - it->second.first), queue);
      }
      std::string defs = styleSheets_;
      size_t coveredTo = 0;
      for (const auto& [from, to] : ranges) {
        if (from < coveredTo) continue;  // inside one already taken
        defs += normalisedLineEnds(bytes.substr(from, to - from));
        coveredTo = to;
      }
      // Each figure holds its own copy: a file whose many elements use
      // one large definition cannot make the note grow without end (such
      // figures then draw without their definitions).
      if (defs.size() > budget) continue;
      budget -= defs.size();
      if (!defs.empty()) f->setDefs(std::move(defs));
    }
  }
}

// --- the wrapper of a written foreign figure ------------------------------------------

std::unique_ptr<Foreign_Figure> ForeignSvg_readWrapper(XmlEventReader& xml, AppCounters& counters) {
  ForeignParts p;
  p.element = std::string(xml.Attribute(ForeignSvg_wrapperAttribute).value_or(""));
  if (const std::optional<std::string_view> t = xml.Attribute("transform"))
    p.matrix = SvgValue_transform(*t).value_or(SvgAffine{});
  p.style = std::string(xml.Attribute("style").value_or(""));
  std::optional<std::string> boxText;
  if (const std::optional<std::string_view> b = xml.Attribute("zerbin-box")) boxText = std::string(*b);
  p.namespaces = namespaceDeclarations(xml, "");
  const std::string_view bytes = xml.Bytes();
  // The elements directly inside: a <defs> first, then the figure.
  std::vector<std::pair<size_t, size_t>> children;
  std::string firstName;
  int depth = 0;
  size_t childStart = 0;
  while (xml.Next()) {
    const XmlEventKind kind = xml.Kind();
    const std::string& name = xml.Name();
    if (kind == XmlEvent_text || name.empty() || name[0] == '!' || name[0] == '?') continue;
    if (kind == XmlEvent_end) {
      if (depth == 0) break;  // the wrapper's own end
      if (--depth == 0) children.emplace_back(childStart, xml.EndOffset());
      continue;
    }
    if (depth == 0) {
      childStart = xml.EventOffset();
      if (children.empty()) firstName = name;
    }
    if (kind == XmlEvent_start) {
      ++depth;
    } else if (depth == 0) {
      children.emplace_back(childStart, xml.EndOffset());
    }
  }
  if (children.empty()) return nullptr;
  size_t first = 0;
  if (firstName == "defs" && children.size() > 1) {
    const std::string_view defs = bytes.substr(children[0].first, children[0].second - children[0].first);
    const size_t open = defs.find('>'), close = defs.rfind("</defs>");
    if (open != std::string_view::npos && close != std::string_view::npos && close > open)
      p.defs = normalisedLineEnds(defs.substr(open + 1, close - open - 1));
    first = 1;
  }
  const size_t from = children[first].first, to = children.back().second;
  p.markup = normalisedLineEnds(bytes.substr(from, std::min(to, bytes.size()) - from));
  // The extent as it was written; a wrapper without one is measured.
  std::optional<ForeignBox> box;
  if (boxText) {
    size_t pos = 0;
    std::array<double, 4> v{};
    bool all = true;
    for (double& x : v) {
      const std::optional<double> n = SvgValue_number(*boxText, pos);
      all = all && n.has_value();
      x = n.value_or(0);
    }
    if (all) box = ForeignBox{v[0], v[1], v[2], v[3]};
  }
  if (!box) box = markupBox(p.markup, nullptr, 0, kDefaultFontSize);
  p.box = box.value_or(ForeignBox{});
  if (!ForeignParts_finite(p)) return nullptr;
  auto f = std::make_unique<Foreign_Figure>(std::move(p));
  f->SetNumber(counters.nextFigureNumber());
  return f;
}

std::unique_ptr<Foreign_Figure> ForeignSvg_fromMarkup(std::string_view element,
                                                     std::string_view markup) {
  ForeignParts p;
  p.element = element;
  p.markup = normalisedLineEnds(markup);
  const std::optional<ForeignBox> box = markupBox(p.markup, nullptr, 0, kDefaultFontSize);
  if (!box) return nullptr;
  p.box = *box;
  if (!ForeignParts_finite(p)) return nullptr;
  return std::make_unique<Foreign_Figure>(std::move(p));
}
