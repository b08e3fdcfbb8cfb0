// Resolving an ordinary group when it closes: a shape and a text box become
// a framed text box, horizontal and vertical lines a cornered line, the
// drawn arrow heads of a line its arrow kinds.
#include <algorithm>
#include <span>

#include "document/reader/reader_elements.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

// Removes a figure from the collection list and destroys it.
void dropFigure(FigureList& figures, std::vector<CadPrim*>& collected, CadPrim* figure) {
  collected.erase(std::remove(collected.begin(), collected.end(), figure), collected.end());
  figures.remove(*figure);
}

// Appends a figure made from the group's figures to the page and, as a
// figure made inside a group, to the collection list.
void addFigure(FigureList& figures, std::vector<CadPrim*>& collected,
               std::unique_ptr<CadPrim> figure) {
  collected.push_back(&figures.append(std::move(figure)));
}

int32_t frameShapeOf(int32_t rectShape) {
  switch (rectShape) {
    case RectShape_RoundRect: return TextBoxFrame_RoundRect;
    case RectShape_Ellipse: return TextBoxFrame_Ellipse;
    case RectShape_Diamond: return TextBoxFrame_Diamond;
    case RectShape_Parallelogram: return TextBoxFrame_Parallelogram;
    default: return TextBoxFrame_Rectangle;  // rectangles and pictures
  }
}

// 1. The shape becomes the frame of the text box, which goes to the end of
// the page with a new number.
void mergeFrame(FigureList& figures, std::vector<CadPrim*>& collected, Rect_Ex& shape,
                Text_Box& text, ReaderContext& ctx) {
  std::unique_ptr<CadPrim> owned = figures.remove(text);
  collected.erase(std::remove(collected.begin(), collected.end(), &text), collected.end());
  Text_Box& box = static_cast<Text_Box&>(*owned);
  box.SetNumber(ctx.counters.nextFigureNumber());
  box.frameShape = frameShapeOf(shape.shape);
  box.bounds = {shape.x, shape.y, Figure_toInt32(int64_t{shape.x} + shape.width),
                Figure_toInt32(int64_t{shape.y} + shape.height)};
  box.layoutFlags |= TextBox_boundsValid;
  box.frameWidth = shape.strokeWidth;
  box.frameColour = shape.strokeColour;
  box.fillColour = shape.fillColour;
  box.opacity = shape.opacity;
  box.widthExtra = box.vertical ? shape.height : shape.width;
  // The margins follow from the bounds at the first layout.
  box.marginX = -1;
  box.marginY = -1;
  if (box.GetPub().empty() && !shape.pub.empty()) box.SetProperty(5, shape.pub, {});
  dropFigure(figures, collected, &shape);
  addFigure(figures, collected, std::move(owned));
}

bool isAxisLine(const CadPrim* f) {
  const auto* l = dynamic_cast<const Line_Ex*>(f);
  if (!l) return false;
  return l->point1().x == l->point2().x || l->point1().y == l->point2().y;
}

// A cornered line's end from a line's end: its arrow and, when the line
// end was marked attached, the mark (the target is found after loading).
void takeEnd(Line_Corner& c, int32_t cornerEnd, const Line_Ex& line, int32_t lineEnd) {
  c.setArrow(cornerEnd, line.arrow(lineEnd));
  if (line.IsLegacyAttached(lineEnd)) c.setEndTargetNumber(cornerEnd, -1);
}

// 2. Horizontal and vertical lines, in order, form one cornered line.  The
// through point and the route type follow from the first two segments.
void cornerFromLines(FigureList& figures, std::vector<CadPrim*>& collected,
                     const std::vector<Line_Ex*>& lines, ReaderContext& ctx) {
  const Line_Ex& firstLine = *lines.front();
  const Line_Ex& secondLine = *lines[1];
  const Line_Ex& lastLine = *lines.back();
  auto c = std::make_unique<Line_Corner>();
  c->SetNumber(ctx.counters.nextFigureNumber());
  c->setEnd(1, firstLine.point1().x, firstLine.point1().y);
  c->setEnd(2, lastLine.point2().x, lastLine.point2().y);
  c->setWidth(lastLine.width());
  c->setColour(lastLine.colour());
  c->setDashed(lastLine.dashed());
  takeEnd(*c, 1, firstLine, 1);
  takeEnd(*c, 2, lastLine, 2);
  c->setAutoCentre(false);

  const int64_t p = firstLine.point1().x, r = firstLine.point2().x, s = firstLine.point2().y;
  const int64_t t = secondLine.point1().x, u = secondLine.point1().y;
  const int64_t v = secondLine.point2().x, w = secondLine.point2().y;
  const int64_t ex = lastLine.point2().x, ey = lastLine.point2().y;
  int64_t tx = 0, ty = 0;
  int32_t direction = LineCorner_directionN;
  if (r < p) {
    tx = v;
    ty = w == ey ? (u + w) / 2 : w;
  } else if (r == p) {
    tx = ex >= v ? (t + v) / 2 : v;
    ty = u;
  } else {
    direction = LineCorner_directionZ;
    tx = r;
    if (r < ex) {
      ty = (u + w) / 2;
    } else if (r == ex) {
      ty = s;
    } else {
      tx = v;
      ty = ey < w ? w : (u + w) / 2;
    }
  }
  c->setThrough(Figure_clampCoord(tx), Figure_clampCoord(ty));
  c->setDirection(direction);

  for (Line_Ex* l : lines) dropFigure(figures, collected, l);
  addFigure(figures, collected, std::move(c));
}

// 3. A group of one line: a cornered line between its ends, N-type through
// the middle.
void cornerFromLine(FigureList& figures, std::vector<CadPrim*>& collected, Line_Ex& line,
                    ReaderContext& ctx) {
  auto c = std::make_unique<Line_Corner>();
  c->SetNumber(ctx.counters.nextFigureNumber());
  const Point32 a = line.point1(), b = line.point2();
  c->setEnd(1, a.x, a.y);
  c->setEnd(2, b.x, b.y);
  c->setWidth(line.width());
  c->setColour(line.colour());
  c->setDashed(line.dashed());
  takeEnd(*c, 1, line, 1);
  takeEnd(*c, 2, line, 2);
  c->setAutoCentre(false);
  c->setDirection(LineCorner_directionN);
  c->setThrough(Figure_clampCoord((int64_t{a.x} + b.x) / 2),
                Figure_clampCoord((int64_t{a.y} + b.y) / 2));
  dropFigure(figures, collected, &line);
  addFigure(figures, collected, std::move(c));
}

// An arrow head drawn by an older note: its kind and the point it sits at.
struct DrawnHead {
  int32_t kind = 0;
  Point32 at;
  std::vector<CadPrim*> parts;
};

// The head that starts at figures[i], or kind 0.
DrawnHead headAt(std::span<CadPrim* const> figures, size_t i) {
  DrawnHead h;
  CadPrim* f = figures[i];
  if (const auto* l = dynamic_cast<const Line_Ex*>(f)) {
    if (i + 1 < figures.size()) {
      const auto* m = dynamic_cast<const Line_Ex*>(figures[i + 1]);
      if (m && m->point1() == l->point1()) {
        h.kind = 1;
        h.at = l->point1();
        h.parts = {f, figures[i + 1]};
      }
    }
    return h;
  }
  if (const auto* r = dynamic_cast<const Rect_Ex*>(f)) {
    if (r->shape == RectShape_Ellipse) h.kind = 2;
    if (r->shape == RectShape_Diamond) h.kind = 4;
    if (h.kind == 0) return h;
    if (r->fillColour != r->strokeColour) h.kind += 3;
    h.at = {Figure_toInt32(int64_t{r->x} + r->width / 2),
            Figure_toInt32(int64_t{r->y} + r->height / 2)};
    h.parts = {f};
    return h;
  }
  if (const auto* g = dynamic_cast<const Polygon_Ex*>(f)) {
    const size_t n = g->points().size();
    if (n == 3) h.kind = 3;
    if (n == 4) h.kind = 4;
    if (h.kind == 0) return h;
    if (g->fillColour() != g->colour()) h.kind += 3;
    h.at = g->points().front();
    h.parts = {f};
  }
  return h;
}

int64_t distance2(Point32 a, Point32 b) {
  const int64_t dx = int64_t{a.x} - b.x, dy = int64_t{a.y} - b.y;
  return dx * dx + dy * dy;
}

// The arrow heads an older note drew after its line become the line's arrow
// kinds: the first head found goes to end 1, the next to end 2, and both
// kinds change places when the first head sits at end 2.  A line that
// carries its ends in p1 / p2 already has its kinds: its heads only go.
void convertOldHeads(FigureList& figures, std::vector<CadPrim*>& collected, size_t first) {
  const std::vector<CadPrim*> own(collected.begin() + static_cast<std::ptrdiff_t>(first),
                                  collected.end());
  auto* line = dynamic_cast<Line_Ex*>(own.front());
  const bool hasEndData = !std::holds_alternative<std::monostate>(line->legacyLinkData());
  std::vector<CadPrim*> drop;
  int32_t found = 0;
  Point32 firstAt;
  for (size_t i = 1; i < own.size();) {
    const DrawnHead h = headAt(own, i);
    if (h.kind == 0) {
      ++i;
      continue;
    }
    if (!hasEndData && found < 2) {
      line->SetArrow(found + 1, h.kind);
      if (found == 0) firstAt = h.at;
      ++found;
    }
    drop.insert(drop.end(), h.parts.begin(), h.parts.end());
    i += h.parts.size();
  }
  if (found > 0 &&
      distance2(firstAt, line->point2()) < distance2(firstAt, line->point1())) {
    const int32_t a1 = line->arrow(1), a2 = line->arrow(2);
    line->SetArrow(1, a2);
    line->SetArrow(2, a1);
  }
  for (CadPrim* f : drop) dropFigure(figures, collected, f);
}

}  // namespace

void ReaderElements_resolveGroup(FigureList& figures, std::vector<CadPrim*>& collected,
                                 size_t first, ReaderContext& ctx) {
  if (first >= collected.size()) return;
  const size_t count = collected.size() - first;
  CadPrim* head = collected[first];

  // 1. A shape followed by a text box: a framed text box.
  if (count == 2) {
    auto* shape = dynamic_cast<Rect_Ex*>(head);
    auto* text = dynamic_cast<Text_Box*>(collected[first + 1]);
    if (shape && text && text->GetKind() == FigureKind_Text) {
      mergeFrame(figures, collected, *shape, *text, ctx);
      return;
    }
  }

  auto* line = dynamic_cast<Line_Ex*>(head);
  if (!line) return;

  // 2. A line and more.
  if (count > 1) {
    std::vector<Line_Ex*> lines;
    for (size_t i = first; i < collected.size(); ++i) {
      if (!isAxisLine(collected[i])) break;
      lines.push_back(static_cast<Line_Ex*>(collected[i]));
    }
    if (lines.size() == count) {
      cornerFromLines(figures, collected, lines, ctx);
      return;
    }
    if (ctx.formatVersion >= 300) {
      // The end shapes the note drew for the line: the line has them as
      // its arrow kinds.
      const std::vector<CadPrim*> heads(collected.begin() + static_cast<std::ptrdiff_t>(first) + 1,
                                        collected.end());
      for (CadPrim* f : heads) dropFigure(figures, collected, f);
    } else {
      convertOldHeads(figures, collected, first);
    }
    return;
  }

  // 3. One line alone.
  cornerFromLine(figures, collected, *line, ctx);
}
