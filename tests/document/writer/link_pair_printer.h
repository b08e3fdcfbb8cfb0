// Readable failure output for link tables.
#pragma once

#include <ostream>

#include "figures/base/svg_write_context.h"

inline void PrintTo(const SvgLinkPair& p, std::ostream* os) {
  *os << "{\"" << p.from << "\" -> \"" << p.to << "\"}";
}
