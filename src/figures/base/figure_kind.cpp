#include "figures/base/figure_kind.h"

const char* FigureKind_nameJapanese(int32_t kind) {
  switch (kind) {
    case FigureKind_Canvas: return "キャンバス";
    case FigureKind_Line: return "ライン";
    case FigureKind_Rect: return "図形";
    case FigureKind_Text: return "テキスト";
    case FigureKind_CorneredLine: return "折れ線";
    case FigureKind_Matome: return "まとめ線";
    case FigureKind_Polygon: return "図形";
    case FigureKind_Foreign: return "SVG 要素";
    default: return "";
  }
}

const char* FigureKind_nameEnglish(int32_t kind) {
  switch (kind) {
    case FigureKind_Canvas: return "Canvas";
    case FigureKind_Line: return "Line";
    case FigureKind_Rect: return "Figure";
    case FigureKind_Text: return "Text";
    case FigureKind_CorneredLine: return "Cornered Line";
    case FigureKind_Matome: return "Pack Line";
    case FigureKind_Polygon: return "Figure";
    case FigureKind_Foreign: return "SVG Element";
    default: return "";
  }
}
