// How a line end hangs on another figure (a node).  Both sides keep the
// partner twice: as a pointer for work and as its figure number for
// snapshots, files and undo.  links.h holds the helpers that keep the two
// sides in step.
#pragma once

#include <cstdint>

class CadPrim;

// One record on the node side: which end of which line hangs here.
struct Attachment {
  CadPrim* line = nullptr;  // none until resolved
  int32_t lineNumber = 0;   // the line's figure number; 0 or less = none
  int32_t lineEnd = 0;      // 1 = the line's first point, 2 = its second
  int32_t x = 0;            // the end's position when it was attached
  int32_t y = 0;
};
