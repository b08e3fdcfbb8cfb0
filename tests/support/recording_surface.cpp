#include "support/recording_surface.h"

#include <cstdio>

namespace {

const char* penName(PenStyle s) {
  switch (s) {
    case PenStyle::Solid: return "solid";
    case PenStyle::Dash: return "dash";
    case PenStyle::Dot: return "dot";
    case PenStyle::DashDot: return "dashdot";
    case PenStyle::DashDotDot: return "dashdotdot";
    case PenStyle::Null: return "null";
  }
  return "?";
}

const char* brushName(BrushStyle s) {
  switch (s) {
    case BrushStyle::Solid: return "solid";
    case BrushStyle::Hatched: return "hatched";
    case BrushStyle::Null: return "null";
  }
  return "?";
}

const char* ropName(RasterOp r) {
  switch (r) {
    case RasterOp::Copy: return "copy";
    case RasterOp::Xor: return "xor";
    case RasterOp::Not: return "not";
  }
  return "?";
}

}  // namespace

void RecordingSurface::textOut(int x, int y, std::string_view s) {
  add("text", {x, y}, std::string(s));
}

std::vector<int> RecordingSurface::flat(std::span<const SurfacePoint> pts) {
  std::vector<int> v;
  for (const SurfacePoint& p : pts) {
    v.push_back(p.x);
    v.push_back(p.y);
  }
  return v;
}

void RecordingSurface::add(std::string op, std::vector<int> args, std::string text) {
  calls_.push_back({std::move(op), std::move(args), std::move(text), state_});
}

std::string RecordingSurface::describe(const Call& c, bool withState) {
  std::string s = c.op + " ";
  for (size_t i = 0; i < c.args.size(); ++i) {
    if (i) s += ",";
    s += std::to_string(c.args[i]);
  }
  if (c.op == "text") s += " \"" + c.text + "\"";
  if (withState) {
    char buf[160];
    std::snprintf(buf, sizeof buf, " pen=%s/%d/%06x brush=%s/%06x rop=%s",
                  penName(c.state.pen.style), c.state.pen.width, c.state.pen.colour,
                  brushName(c.state.brush.style), c.state.brush.colour,
                  ropName(c.state.rasterOp));
    s += buf;
  }
  return s;
}

std::vector<std::string> RecordingSurface::lines(bool withState) const {
  std::vector<std::string> out;
  for (const Call& c : calls_) out.push_back(describe(c, withState));
  return out;
}
