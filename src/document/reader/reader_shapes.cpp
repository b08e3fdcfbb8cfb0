// The figures of empty-element tags: rectangles, circles, ellipses,
// polygons (diamonds, parallelograms and others), images, lines and pack
// lines.
//
// Colours.  The reader keeps a line colour and a fill colour for the whole
// file (ReaderColours).  Every stroke read sets the line colour, every fill
// read the fill colour; an element whose kind has a default for a colour
// it does not give resets the variable to that default; a figure then takes
// both colours from the variables.  So an element without a colour and
// without a default takes the colour an earlier element left.
#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/errors/except3.h"
#include "core/filex/filex_info.h"
#include "core/filex/filex_open.h"
#include "core/strx/strx_base64.h"
#include "core/strx/strx_copy.h"
#include "core/strx/strx_fields.h"
#include "core/strx/strx_numbers.h"
#include "core/strx/strx_path.h"
#include "document/reader/reader_elements.h"
#include "document/reader/reader_values.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"

namespace {

// The default fill of rectangles, circles, ellipses and diamonds.
constexpr Colour kDefaultFill = StrX_rgb(204, 204, 255);
constexpr Colour kDefaultStroke = 0x000000;
// Paths are read into buffers of this size.
constexpr size_t kPathSize = 4096;

std::string attrText(const XmlEventReader& xml, std::string_view name) {
  const std::optional<std::string_view> v = xml.Attribute(name);
  return v ? std::string(*v) : std::string();
}

std::string styleOf(const XmlEventReader& xml) { return attrText(xml, "style"); }

// A colour property into its variable: a readable value sets it, "none" and
// unknown values leave it, and an absent property gives the default when
// the element has one.
void takeColour(std::string_view style, std::string_view name, Colour& variable,
                std::optional<Colour> fallback) {
  const std::optional<std::string> v = ReaderStyle_get(style, name);
  if (!v) {
    if (fallback) variable = *fallback;
    return;
  }
  if (const std::optional<Colour> c = ReaderValue_colour(*v)) variable = *c;
}

// stroke-width: 1 when absent; never negative nor beyond a figure's size.
int32_t strokeWidth(std::string_view style) {
  const std::optional<std::string> v = ReaderStyle_get(style, "stroke-width");
  if (!v) return 1;
  return std::clamp(ReaderValue_int(*v), 0, Figure_sizeMax);
}

int32_t fillOpacity(std::string_view style) {
  const std::optional<std::string> v = ReaderStyle_get(style, "fill-opacity");
  if (!v) return 100;
  return ReaderValue_opacityPercent(*v).value_or(100);
}

int32_t transformAngle(const XmlEventReader& xml) {
  const std::optional<std::string_view> t = xml.Attribute("transform");
  return t ? ReaderValue_transformAngle(*t) : 0;
}

int32_t coord(const XmlEventReader& xml, std::string_view name) {
  return Figure_clampCoord(ReaderValue_attrInt(xml, name, 0));
}

// The id of the tag, else the one of the enclosing group.
std::string idOf(const ReaderContext& ctx) {
  const std::optional<std::string_view> id = ctx.xml.Attribute("id");
  return id ? std::string(*id) : ctx.pending.id;
}

// Identity and link data of a rectangle-family figure; the publication
// list is used up.
void takeRectData(Rect_Ex& r, ReaderContext& ctx) {
  r.SetNumber(ctx.counters.nextFigureNumber());
  r.id = idOf(ctx);
  r.url = ctx.pending.link;
  // The target as its link element has it: none written, none.  Script and
  // "#" links are written without a link element that could carry one: the
  // figure keeps its own ("_blank"), as does a figure without a link.
  if (ctx.pending.linkElement) r.target = ctx.pending.target;
  r.afterClick = std::clamp(ctx.pending.afterClick, 0, 3);
  if (!ctx.pending.pub.empty()) {
    r.pub = ctx.pending.pub;
    ctx.pending.pub.clear();
  }
  r.angle = transformAngle(ctx.xml);
}

// Style of rectangles, circles and ellipses, with their defaults.
void takeBoxStyle(Rect_Ex& r, ReaderContext& ctx) {
  const std::string style = styleOf(ctx.xml);
  takeColour(style, "fill", ctx.colours.fill, kDefaultFill);
  takeColour(style, "stroke", ctx.colours.line, kDefaultStroke);
  r.strokeWidth = strokeWidth(style);
  r.opacity = fillOpacity(style);
  r.fillColour = ctx.colours.fill;
  r.strokeColour = ctx.colours.line;
}

std::unique_ptr<CadPrim> readRect(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  if (!xml.Attribute("x"))
    ReaderError_withMessage(xml, ctx.notePath, "<rect> x がない", ctx.japanese);
  auto r = std::make_unique<Rect_Ex>();
  takeRectData(*r, ctx);
  const std::optional<std::string_view> rx = xml.Attribute("rx");
  r->shape = rx && ReaderValue_int(*rx) >= 1 ? RectShape_RoundRect : RectShape_Rectangle;
  r->x = coord(xml, "x");
  r->y = coord(xml, "y");
  r->width = Figure_clampSize(ReaderValue_attrInt(xml, "width", 1));
  r->height = Figure_clampSize(ReaderValue_attrInt(xml, "height", 1));
  takeBoxStyle(*r, ctx);
  return r;
}

// A circle (rx = ry = r) or an ellipse around (cx, cy): 2 r + 1 units wide.
std::unique_ptr<CadPrim> readEllipse(ReaderContext& ctx, bool circle) {
  const XmlEventReader& xml = ctx.xml;
  if (!xml.Attribute("cx")) ReaderError_unsupported(ctx.japanese);
  auto r = std::make_unique<Rect_Ex>();
  takeRectData(*r, ctx);
  r->shape = RectShape_Ellipse;
  const int64_t cx = coord(xml, "cx"), cy = coord(xml, "cy");
  const int64_t rx = std::clamp(ReaderValue_attrInt(xml, circle ? "r" : "rx", 0), 0, Figure_sizeMax);
  const int64_t ry = circle ? rx : std::clamp(ReaderValue_attrInt(xml, "ry", 0), 0, Figure_sizeMax);
  r->x = Figure_clampCoord(cx - rx);
  r->y = Figure_clampCoord(cy - ry);
  r->width = Figure_clampSize(2 * rx + 1);
  r->height = Figure_clampSize(2 * ry + 1);
  takeBoxStyle(*r, ctx);
  return r;
}

// --- polygons ------------------------------------------------------------

bool isDiamond(const std::array<StrX_Point, 4>& p) {
  const int64_t x0 = p[0].x, y0 = p[0].y, x1 = p[1].x, y1 = p[1].y;
  const int64_t x2 = p[2].x, y2 = p[2].y, x3 = p[3].x, y3 = p[3].y;
  if (x0 != x2 || y1 != y3) return false;
  const int64_t mx = (x1 + x3) / 2 - x0, my = (y0 + y2) / 2 - y1;
  return mx >= -1 && mx <= 1 && my >= -1 && my <= 1;
}

bool isParallelogram(const std::array<StrX_Point, 4>& p) {
  const int64_t x0 = p[0].x, y0 = p[0].y, x1 = p[1].x, y1 = p[1].y;
  const int64_t x2 = p[2].x, y2 = p[2].y, x3 = p[3].x, y3 = p[3].y;
  if (y0 != y1 || y2 != y3 || x1 - x0 != x2 - x3) return false;
  const int64_t h = y3 - y0, slant = 2 * (x0 - x3);
  return slant <= h && slant >= h - 3;
}

std::unique_ptr<CadPrim> readPolygon(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  std::array<StrX_Point, 4> p{};
  const int count = StrX_pointList(attrText(xml, "points"), p);
  if (count <= 0) return nullptr;
  const std::string style = styleOf(xml);

  if (count == 4 && (isDiamond(p) || isParallelogram(p))) {
    const bool diamond = isDiamond(p);
    auto r = std::make_unique<Rect_Ex>();
    takeRectData(*r, ctx);
    if (diamond) {
      // The writer lists top, right, bottom, left; other orders give the
      // same box.
      r->shape = RectShape_Diamond;
      r->x = Figure_clampCoord(std::min(p[1].x, p[3].x));
      r->width = Figure_clampSize(std::abs(int64_t{p[1].x} - p[3].x));
      r->y = Figure_clampCoord(std::min(p[0].y, p[2].y));
      r->height = Figure_clampSize(std::abs(int64_t{p[2].y} - p[0].y));
      takeColour(style, "fill", ctx.colours.fill, kDefaultFill);
    } else {
      r->shape = RectShape_Parallelogram;
      const int64_t left = (int64_t{p[0].x} + p[3].x) / 2;
      r->x = Figure_clampCoord(left);
      r->width = Figure_clampSize((int64_t{p[1].x} + p[2].x) / 2 - left);
      r->y = Figure_clampCoord(p[0].y);
      r->height = Figure_clampSize(int64_t{p[2].y} - p[0].y);
      takeColour(style, "fill", ctx.colours.fill, std::nullopt);
    }
    takeColour(style, "stroke", ctx.colours.line, std::nullopt);
    r->strokeWidth = strokeWidth(style);
    r->opacity = fillOpacity(style);
    r->fillColour = ctx.colours.fill;
    r->strokeColour = ctx.colours.line;
    return r;
  }

  auto g = std::make_unique<Polygon_Ex>();
  g->SetNumber(ctx.counters.nextFigureNumber());
  g->SetId(idOf(ctx));
  g->SetUrl(ctx.pending.link);
  g->setTarget(ctx.pending.target);
  g->setAfterOpen(std::clamp(ctx.pending.afterClick, 0, 3));
  g->setShape(PolygonShape_Polygon);
  std::vector<Point32> points;
  for (int i = 0; i < std::min(count, 4); ++i)
    points.push_back({p[static_cast<size_t>(i)].x, p[static_cast<size_t>(i)].y});
  g->setPoints(points);
  g->setAngle(transformAngle(xml));
  takeColour(style, "fill", ctx.colours.fill, std::nullopt);
  takeColour(style, "stroke", ctx.colours.line, std::nullopt);
  g->setWidth(strokeWidth(style));
  g->setOpacity(fillOpacity(style));
  g->setColour(ctx.colours.line);
  g->setFillColour(ctx.colours.fill);
  return g;
}

// --- images --------------------------------------------------------------

bool existsQuietly(const std::string& path) {
  bool found = false;
  // A name that cannot be a file on this system is a missing file here.
  Except_tryCatch([&] { found = !path.empty() && FileX_exists(path); },
                  [&](const Errors_Msg& e) {
                    if (e.code != Errors_Unofficial) Except_throw(e);
                  });
  return found;
}

// The extension of a picture from its first bytes ("" when unknown).
std::string pictureExtension(std::string_view b) {
  if (b.substr(0, 3) == "GIF") return "gif";
  if (b.size() >= 4 && b.substr(1, 3) == "PNG") return "png";
  if (b.size() >= 10 && b.substr(6, 4) == "JFIF") return "jpg";
  if (b.size() >= 3 && b.substr(0, 3) == "\xFF\xD8\xFF") return "jpg";
  return "";
}

// "<work>/img_<document>_<serial>" with the extension, or "" without a
// work folder.
std::string workImageName(ReaderContext& ctx, std::string_view extension) {
  if (ctx.workFolder.empty()) return "";
  char name[64];
  std::snprintf(name, sizeof name, "img_%08X_%d", static_cast<unsigned>(ctx.documentNumber),
                ctx.counters.nextImageSerial());
  std::string path = ctx.workFolder;
  if (path.back() != '/') path += '/';
  path += name;
  if (!extension.empty()) {
    path += '.';
    path += extension;
  }
  return path;
}

// An embedded picture: "data:" with an optional media type, then
// ";base64," and the Base64 text (line breaks and blanks inside are
// skipped).  None when the link is no embedded picture.
std::optional<std::string_view> embeddedData(std::string_view href) {
  if (!StrX_startsWithNoCase(href, "data:")) return std::nullopt;
  const size_t comma = href.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::string_view head = href.substr(0, comma);
  if (head.size() < 12 || !StrX_equalsNoCase(head.substr(head.size() - 7), ";base64"))
    return std::nullopt;
  return href.substr(comma + 1);
}

std::unique_ptr<CadPrim> readImage(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  if (!xml.Attribute("x")) ReaderError_unsupported(ctx.japanese);
  const std::optional<std::string_view> href = xml.Attribute("xlink:href");
  if (!href)
    ReaderError_withMessage(xml, ctx.notePath, "<image> xlink:href タグがない", ctx.japanese);
  auto r = std::make_unique<Rect_Ex>();
  takeRectData(*r, ctx);
  r->shape = RectShape_Image;
  r->x = coord(xml, "x");
  r->y = coord(xml, "y");
  const std::optional<std::string_view> w = xml.Attribute("width"), h = xml.Attribute("height");
  if (w) r->width = Figure_clampSize(ReaderValue_int(*w));
  if (h) r->height = Figure_clampSize(ReaderValue_int(*h));
  // A picture shown at a size of its own keeps that size when it loads.
  if (w && h) r->takeNaturalSize = false;
  r->strokeWidth = 1;
  r->strokeColour = ctx.colours.line;
  r->fillColour = ctx.colours.fill;
  r->setWorkFolder(ctx.workFolder);

  if (const std::optional<std::string_view> data = embeddedData(*href)) {
    // The tokenizer hands over the whole attribute, so decoding ends with
    // its closing quote and never runs into the attributes behind it.
    const std::string bytes = StrX_base64Decode(*data);
    r->embedImage = true;
    r->imagePath.clear();
    r->workImagePath = workImageName(ctx, pictureExtension(bytes));
    if (!r->workImagePath.empty()) FileX_writeWhole(r->workImagePath, bytes);
    return r;
  }
  std::string path;
  if (ctx.notePath.empty())
    path = StrX_toSlashPath(*href);
  else
    StrX_absoluteFromFileFolder(path, StrX_toSlashPath(*href), ctx.notePath, kPathSize);
  if (existsQuietly(path)) StrX_realCase(path);
  r->embedImage = false;
  r->imagePath = path;
  r->workImagePath = workImageName(ctx, StrX_extension(path));
  return r;
}

// --- lines ---------------------------------------------------------------

// "x,y,arrow,attached" of a line end (older notes and cornered-line
// segments).  False without at least x and y.
struct EndData {
  int32_t x = 0, y = 0, arrow = 0;
  bool attached = false;
};
bool readEndData(std::string_view text, EndData& d) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string_view::npos ? text.npos : comma - start));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  if (fields.size() < 2) return false;
  d.x = Figure_clampCoord(ReaderValue_int(fields[0]));
  d.y = Figure_clampCoord(ReaderValue_int(fields[1]));
  if (fields.size() >= 3) d.arrow = ReaderValue_int(fields[2]);
  if (fields.size() >= 4) d.attached = ReaderValue_int(fields[3]) != 0;
  return true;
}

std::unique_ptr<CadPrim> readLine(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  if (const std::optional<std::string_view> c = xml.Attribute("class"); c && *c == "page_bound")
    return nullptr;
  if (!xml.Attribute("x1")) ReaderError_unsupported(ctx.japanese);
  auto line = std::make_unique<Line_Ex>();
  line->SetNumber(ctx.counters.nextFigureNumber());
  Point32 p1{coord(xml, "x1"), coord(xml, "y1")};
  Point32 p2{coord(xml, "x2"), coord(xml, "y2")};

  const std::string style = styleOf(xml);
  takeColour(style, "stroke", ctx.colours.line, kDefaultStroke);
  line->SetColour(ctx.colours.line);
  line->SetWidth(strokeWidth(style));
  line->SetDashed(ReaderStyle_get(style, "stroke-dasharray").has_value());
  line->SetLayoutLine(xml.Attribute("zerbin-layout-line").has_value());

  // Ends written as p1 / p2: by older notes for lines, and by every note
  // for the end segments of cornered lines.
  bool legacy = false;
  for (int32_t end = 1; end <= 2; ++end) {
    const std::optional<std::string_view> v = xml.Attribute(end == 1 ? "p1" : "p2");
    EndData d;
    if (!v || !readEndData(*v, d)) continue;
    legacy = true;
    (end == 1 ? p1 : p2) = {d.x, d.y};
    line->SetArrow(end, d.arrow);
    if (d.attached) line->SetEndTargetNumber(end, -1);
  }
  line->SetPoints(p1, p2);
  if (legacy) line->SetLegacyLinkData(Line_Ex::LegacyMarker{});

  if (ctx.formatVersion >= 300) {
    for (int32_t end = 1; end <= 2; ++end) {
      if (const auto a = xml.Attribute(end == 1 ? "zerbin-arrow1" : "zerbin-arrow2"))
        line->SetArrow(end, ReaderValue_int(*a));
      if (const auto l = xml.Attribute(end == 1 ? "zerbin-lnk1" : "zerbin-lnk2")) {
        std::string_view id = *l;
        if (!id.empty() && id.front() == '#') id.remove_prefix(1);
        if (!id.empty()) line->SetPendingTargetId(end, id);
      }
    }
  }
  return line;
}

// --- pack lines ----------------------------------------------------------

// The numbers of a path's `d`, separated by commas and blanks; letters in
// front of a number (the commands) are skipped.
std::vector<int32_t> pathNumbers(std::string_view d) {
  std::vector<int32_t> out;
  size_t i = 0;
  while (i < d.size()) {
    while (i < d.size() && (d[i] == ',' || StrX_isSpace(d[i]))) ++i;
    if (i >= d.size()) break;
    size_t end = i;
    while (end < d.size() && d[end] != ',' && !StrX_isSpace(d[end])) ++end;
    std::string_view token = d.substr(i, end - i);
    while (!token.empty() && StrX_isAsciiAlpha(token.front())) token.remove_prefix(1);
    if (!token.empty()) out.push_back(ReaderValue_int(token));
    i = end;
  }
  return out;
}

std::unique_ptr<CadPrim> readPath(ReaderContext& ctx) {
  const XmlEventReader& xml = ctx.xml;
  const std::optional<std::string_view> subtype = xml.Attribute("subtype");
  if (!subtype || *subtype != "matome") return nullptr;
  const std::vector<int32_t> t = pathNumbers(attrText(xml, "d"));
  if (t.size() < 34) return nullptr;
  auto m = std::make_unique<Matome>();
  m->SetNumber(ctx.counters.nextFigureNumber());
  if (t[32] == t[0])
    m->SetPoints({t[16], std::min(t[1], t[33])}, {t[32], std::max(t[1], t[33])});
  else
    m->SetPoints({std::min(t[0], t[32]), t[17]}, {std::max(t[0], t[32]), t[33]});
  const std::string style = styleOf(xml);
  takeColour(style, "stroke", ctx.colours.line, std::nullopt);
  m->SetColour(ctx.colours.line);
  m->SetWidth(strokeWidth(style));
  return m;
}

}  // namespace

std::unique_ptr<CadPrim> ReaderElements_figure(ReaderContext& ctx) {
  const std::string& name = ctx.xml.Name();
  if (name == "rect") return readRect(ctx);
  if (name == "circle") return readEllipse(ctx, true);
  if (name == "ellipse") return readEllipse(ctx, false);
  if (name == "polygon") return readPolygon(ctx);
  if (name == "image") return readImage(ctx);
  if (name == "line") return readLine(ctx);
  if (name == "path") return readPath(ctx);
  return nullptr;
}
