// The kind codes of the figures (`GetKind`) and their names.
#pragma once

#include <cstdint>

enum FigureKind : int32_t {
  FigureKind_Canvas = -2,
  FigureKind_Line = 1,         // Line_Ex
  FigureKind_Rect = 2,         // Rect_Ex
  FigureKind_Text = 4,         // Text_Box and Text_Editor
  FigureKind_CorneredLine = 5, // Line_Corner
  FigureKind_Matome = 6,       // Matome (pack line)
  FigureKind_Polygon = 8,      // Polygon_Ex
  FigureKind_Foreign = 9,      // Foreign_Figure
};

// Whether a code is one of the kinds above (0, 3 and 7 are not used).
constexpr bool FigureKind_isValid(int32_t kind) {
  return kind == FigureKind_Canvas || kind == FigureKind_Line || kind == FigureKind_Rect ||
         kind == FigureKind_Text || kind == FigureKind_CorneredLine ||
         kind == FigureKind_Matome || kind == FigureKind_Polygon || kind == FigureKind_Foreign;
}

// Kinds that take part in links (AttachEnd, SetEndTarget ... do not raise).
constexpr bool FigureKind_takesPartInLinks(int32_t kind) {
  return kind == FigureKind_Line || kind == FigureKind_Text || kind == FigureKind_CorneredLine;
}

// Kinds whose ends can hang on a node (lines).
constexpr bool FigureKind_hasEnds(int32_t kind) {
  return kind == FigureKind_Line || kind == FigureKind_CorneredLine;
}

// The kind names ("" for an unknown code), CP932.
const char* FigureKind_nameJapanese(int32_t kind);
const char* FigureKind_nameEnglish(int32_t kind);
