// The tools of the palette (0-31): their command numbers and tips, the
// default figure each creation tool makes, and where a new figure goes in
// the page list.  Plain C++.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/surface/text_metrics.h"
#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"

class Text_Box;

enum EditTool : int32_t {
  EditTool_select = 0,
  EditTool_multiSelect = 1,
  EditTool_rotate = 2,
  EditTool_zoomPick = 3,
  EditTool_text = 4,
  EditTool_redText = 5,
  EditTool_blueText = 6,
  EditTool_dateText = 7,
  EditTool_rectText = 8,
  EditTool_roundText = 9,
  EditTool_circleText = 10,
  EditTool_diamondText = 11,
  EditTool_parallelogramText = 12,
  EditTool_line = 13,
  EditTool_arrow = 14,
  EditTool_corner = 15,
  EditTool_matome = 16,
  EditTool_guideLine = 17,
  EditTool_emphasis = 18,
  EditTool_rect = 19,
  EditTool_roundRect = 20,
  EditTool_ellipse = 21,
  EditTool_diamond = 22,
  EditTool_none = 23,
  EditTool_image = 24,
  EditTool_firstInk = 25,
  EditTool_lastInk = 31,
};

struct EditToolInfo {
  int32_t tool;
  int32_t command;       // 0: no command
  const char* japanese;  // tool tip ("" none)
  const char* english;   // "" : the Japanese one
};

// The table of tools 0-31 in tool order.
const EditToolInfo* EditTools_table();
inline constexpr int32_t EditTools_count = 32;
// The tool of a command number, -1 when none.
int32_t EditTools_toolOfCommand(int32_t command);

bool EditTools_isText(int32_t tool);      // 4-12
bool EditTools_isCreation(int32_t tool);  // 4-22 and 24
bool EditTools_isInk(int32_t tool);       // 25-31

// The placeholder of a new text box: "ABC", or "あいう" while the input
// method is open.
const char* EditTools_placeholder(bool inputMethodOpen);

// What a default figure needs to know.
struct EditToolDefaults {
  const TextMetrics* metrics = nullptr;  // given to new text boxes
  bool japanese = true;                  // the default text font
  bool inputMethodOpen = false;
  // Tool 7: the strftime format of the text and the time it shows.
  std::string dateFormat = "%Y/%m/%d %H:%M";
  int64_t now = 0;  // seconds since the epoch
};

// The default figure of a creation tool at point p (already snapped), or
// null for tools that create nothing.  Tool 17 gives its line; its text box
// is EditTools_defaultText(8, ...).  The figure has no number yet.
std::unique_ptr<CadPrim> EditTools_defaultFigure(int32_t tool, Point32 p,
                                                 const EditToolDefaults& d);
// The default text box of a text tool (4-12) at p.
std::unique_ptr<Text_Box> EditTools_defaultText(int32_t tool, Point32 p, const EditToolDefaults& d);
// The text of tool 7: `format` with the local time; "" when it does not fit
// 80 bytes.
std::string EditTools_dateText(const std::string& format, int64_t now);

// The index a new figure goes to: rectangles (but the emphasis circle),
// cornered lines of tool 15 and pulled lines stand in front of the first
// figure that is neither a rectangle nor the canvas; others are appended.
size_t EditTools_insertIndex(const FigureList& page, bool bottomRun);
