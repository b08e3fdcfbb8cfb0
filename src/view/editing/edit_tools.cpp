#include "view/editing/edit_tools.h"

#include <ctime>

#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"

namespace {

constexpr EditToolInfo kTools[EditTools_count] = {
    {0, 32775, "図形選択", "Select and Edit"},
    {1, 32928, "図形複数選択", ""},
    {2, 32841, "図形回転", "Rotate"},
    {3, 0, "", ""},
    {4, 32790, "文字作成", "Create Text"},
    {5, 32958, "赤い文字作成", ""},
    {6, 32959, "青い文字作成", ""},
    {7, 33011, "日付時刻名前付きテキスト作成", ""},
    {8, 32802, "矩形枠付き文字作成", "Create Rectangle Text"},
    {9, 32810, "丸長方形の枠付き文字作成", "Create Round Rectangle Text"},
    {10, 32811, "円枠付き文字作成", "Create Circle Text"},
    {11, 32812, "ひし形枠付き文字作成", "Create Diamond Text"},
    {12, 32883, "", ""},
    {13, 32773, "ライン作成", "Create Line"},
    {14, 32837, "矢印作成", "Create Arrow"},
    {15, 32805, "折れ線作成", "Create Cornered Line"},
    {16, 33024, "まとめ線", ""},
    {17, 32834, "説明線作成", "Create Guide Line"},
    {18, 32865, "強調図形作成", "Create Transparent Circle"},
    {19, 32774, "長方形作成", "Create Rectangle"},
    {20, 32807, "丸長方形作成", "Create Round Rectangle"},
    {21, 32808, "円・楕円作成", "Create Circle"},
    {22, 32809, "ひし形作成", "Create Diamond"},
    {23, 0, "", ""},
    {24, 0, "", ""},
    {25, 32884, "ペン描画", "Pen"},
    {26, 32907, "赤ペン描画", "Red Pen"},
    {27, 32911, "青ペン描画", "Blue Pen"},
    {28, 32910, "マーカー", "Marker"},
    {29, 32912, "マーカー赤", "Red Marker"},
    {30, 32913, "マーカー黄", "Yellow Marker"},
    {31, 32893, "インク選択用の投げ縄", "Ink Lasso"},
};

// Frame shape, horizontal and vertical margin of the text tools 4-12.
struct TextFrame {
  int32_t shape, marginX, marginY;
};
constexpr TextFrame kTextFrames[9] = {
    {TextBoxFrame_None, 8, 2},         {TextBoxFrame_None, 8, 2},
    {TextBoxFrame_None, 8, 2},         {TextBoxFrame_None, 8, 2},
    {TextBoxFrame_Rectangle, 8, 6},    {TextBoxFrame_RoundRect, 8, 6},
    {TextBoxFrame_Ellipse, 10, 8},     {TextBoxFrame_Diamond, 28, 8},
    {TextBoxFrame_Parallelogram, 10, 6},
};

constexpr Colour kRed = 255;
constexpr Colour kBlue = 16711680;

}  // namespace

const EditToolInfo* EditTools_table() { return kTools; }

int32_t EditTools_toolOfCommand(int32_t command) {
  for (const EditToolInfo& t : kTools) {
    if (t.command != 0 && t.command == command) return t.tool;
  }
  return -1;
}

bool EditTools_isText(int32_t tool) { return tool >= EditTool_text && tool <= EditTool_parallelogramText; }
bool EditTools_isCreation(int32_t tool) {
  return (tool >= EditTool_text && tool <= EditTool_diamond) || tool == EditTool_image;
}
bool EditTools_isInk(int32_t tool) { return tool >= EditTool_firstInk && tool <= EditTool_lastInk; }

const char* EditTools_placeholder(bool inputMethodOpen) { return inputMethodOpen ? "あいう" : "ABC"; }

std::string EditTools_dateText(const std::string& format, int64_t now) {
  const std::time_t t = static_cast<std::time_t>(now);
  std::tm local{};
  localtime_r(&t, &local);
  char buffer[80];
  // An empty result of strftime leaves the buffer undefined.
  const size_t n = std::strftime(buffer, sizeof buffer, format.c_str(), &local);
  return n == 0 ? std::string() : std::string(buffer, n);
}

std::unique_ptr<Text_Box> EditTools_defaultText(int32_t tool, Point32 p, const EditToolDefaults& d) {
  if (!EditTools_isText(tool)) tool = EditTool_rectText;
  auto box = std::make_unique<Text_Box>(d.metrics);
  box->SetBasePoint(p.x, p.y);
  box->SetText(tool == EditTool_dateText ? EditTools_dateText(d.dateFormat, d.now)
                                         : EditTools_placeholder(d.inputMethodOpen));
  box->placeholder = tool != EditTool_dateText;
  box->textWidth = 100;
  box->textHeight16 = 320;
  box->textColour = tool == EditTool_redText || tool == EditTool_dateText ? kRed
                    : tool == EditTool_blueText                           ? kBlue
                                                                          : 0;
  box->fontFace = d.japanese ? "ＭＳ Ｐゴシック" : "Arial";
  box->fontSize = 10;
  box->bold = tool == EditTool_redText || tool == EditTool_blueText || tool == EditTool_dateText;
  const TextFrame& f = kTextFrames[tool - EditTool_text];
  box->frameShape = f.shape;
  box->marginX = f.marginX;
  box->marginY = f.marginY;
  box->alignment = tool >= EditTool_rectText ? 1 : 0;
  box->frameWidth = 1;
  box->frameColour = 0;
  box->fillColour = 0xFFFFFF;
  return box;
}

std::unique_ptr<CadPrim> EditTools_defaultFigure(int32_t tool, Point32 p, const EditToolDefaults& d) {
  if (EditTools_isText(tool)) return EditTools_defaultText(tool, p, d);
  switch (tool) {
    case EditTool_line:
    case EditTool_arrow:
    case EditTool_guideLine: {
      auto line = std::make_unique<Line_Ex>();
      line->SetPoints(p, p);
      line->SetWidth(tool == EditTool_guideLine ? 2 : 1);
      line->SetDashed(false);
      if (tool == EditTool_arrow) line->SetArrow(2, 1);
      if (tool == EditTool_guideLine) line->SetArrow(1, 2);
      return line;
    }
    case EditTool_corner: {
      auto corner = std::make_unique<Line_Corner>();
      corner->setEnd(1, p.x, p.y);
      corner->setEnd(2, p.x, p.y);
      corner->setThrough(p.x, p.y);
      corner->setWidth(1);
      return corner;
    }
    case EditTool_matome: {
      auto m = std::make_unique<Matome>();
      m->SetPoints(p, p);
      return m;
    }
    case EditTool_emphasis:
    case EditTool_rect:
    case EditTool_roundRect:
    case EditTool_ellipse:
    case EditTool_diamond:
    case EditTool_image: {
      auto r = std::make_unique<Rect_Ex>();
      r->x = p.x;
      r->y = p.y;
      r->width = 1;
      r->height = 1;
      r->strokeWidth = 1;
      r->strokeColour = 0;
      r->fillColour = 0xFFFFFF;
      r->shape = tool == EditTool_rect        ? RectShape_Rectangle
                 : tool == EditTool_roundRect ? RectShape_RoundRect
                 : tool == EditTool_diamond   ? RectShape_Diamond
                 : tool == EditTool_image     ? RectShape_Image
                                              : RectShape_Ellipse;
      if (tool == EditTool_emphasis) r->opacity = 0;
      return r;
    }
    default:
      return nullptr;
  }
}

size_t EditTools_insertIndex(const FigureList& page, bool bottomRun) {
  if (!bottomRun) return page.size();
  for (size_t i = 0; i < page.size(); ++i) {
    const FigureKind k = page.at(i).GetKind();
    if (k != FigureKind_Rect && k != FigureKind_Canvas) return i;
  }
  return page.size();
}
