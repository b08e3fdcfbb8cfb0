// The cursor and the link tool tip while the mouse hovers over the page
// without a pressed button.  The decision is plain C++; the widget maps
// the cursor to a real one and shows the tip after its 400 ms timer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "figures/base/geometry.h"

class CadPrim;
class NamedLock;
class ViewSelection;

enum class HoverCursor {
  Keep,              // the cursor chosen last stays (the file lock was busy)
  Arrow,
  IBeam,
  SizeWE,            // left-right arrows
  SizeNS,            // up-down arrows
  SizeNWSE,          // top-left to bottom-right arrows
  SizeNESW,          // top-right to bottom-left arrows
  SizeAll,           // four-way arrows (a line point)
  Forbidden,         // "not allowed"
  Hand,              // a link
  MoveFigure,        // the program's move cursor
  MoveText,          // the move cursor of text boxes
  Rotate,            // the rotate tool over a figure
  ImageShrunk,       // an image shown smaller than its pixel size
  ImageEnlarged,     // an image shown larger than its pixel size
  Tool,              // the active tool's own cursor
};

// Tools whose default cursor is the arrow (the others have their own).
bool Hover_toolUsesArrow(int32_t tool);

// What the widget knows when the mouse hovers.
struct HoverContext {
  int32_t zoom = 100;
  int32_t tool = 0;
  bool pageShown = false;  // the page was painted once
  bool viewerMode = false;
  // The in-place text editor while a text box is edited, else null.
  CadPrim* editor = nullptr;
  // The note's folder (CP932, "" for a new note): links are shown relative
  // to it.
  std::string noteFolder;
};

struct HoverResult {
  HoverCursor cursor = HoverCursor::Keep;
  // The tool tip: the hovered figure's link ("" = none: pop the tip down);
  // tipChanged: differs from the text shown before (restart the timer).
  std::string tipText;
  bool tipChanged = false;
  // The hit test did not run: the lock was busy or the page never shown.
  bool skipped = false;
};

// The link text of a tip: relative to `noteFolder` when one is given, cut
// to at most 511 bytes on a character boundary.
std::string Hover_tipText(std::string_view url, std::string_view noteFolder);

// The hover rules at page point p (no lock taken; errors pass on).
HoverResult Hover_decide(const ViewSelection& selection, Point32 p, const HoverContext& ctx);

// The hover of the view: does nothing before the page was shown; takes
// `fileLock` ("Zerbin_FileSema") without waiting, and when another holder
// has it keeps the last cursor and tip; an error inside is caught, reported
// unless it is 9231 (a text box not laid out), and gives the arrow.
// `lastTip` is the tip text shown so far (m_TipText); it is updated.
HoverResult Hover_update(const ViewSelection& selection, Point32 p, const HoverContext& ctx,
                         NamedLock& fileLock, std::string& lastTip);

inline constexpr const char* Hover_fileLockName = "Zerbin_FileSema";
inline constexpr size_t Hover_tipMaxBytes = 511;
