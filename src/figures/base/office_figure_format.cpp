#include "figures/base/office_figure_format.h"

#include <cstdio>

#include "figures/base/office_script_writer.h"

int32_t OfficeFormat_scale(int32_t kind, int32_t flags) {
  return kind == static_cast<int32_t>(OfficeTarget::PowerPoint) && (flags & kOfficeFlagEnlarge) ? 2
                                                                                                : 1;
}

const char* OfficeFormat_container(int32_t kind) {
  return kind == static_cast<int32_t>(OfficeTarget::Word) ? "canvas" : "s.Shapes";
}

std::string OfficeFormat_rgb(Colour c) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "RGB(%d, %d, %d)", Colour_red(c), Colour_green(c), Colour_blue(c));
  return buf;
}

const char* OfficeFormat_arrowhead(int32_t shape) {
  switch (shape) {
    case 1:
      return "msoArrowheadOpen";
    case 2:
    case 5:
      return "msoArrowheadOval";
    case 3:
    case 6:
      return "msoArrowheadTriangle";
    case 4:
    case 7:
      return "msoArrowheadDiamond";
    default:
      return nullptr;
  }
}
