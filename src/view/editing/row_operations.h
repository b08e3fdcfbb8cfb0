// Row operations of the right button on empty canvas: a drag downwards
// from a start line inserts room (everything below moves down, the canvas
// grows), a drag upwards deletes the band between the release and the start
// line (what crosses it may be deleted after a question, everything below
// moves up, the canvas shrinks).  The band is limited left and right by the
// nearest layout lines that span the start height.  One undo step each.
// Plain C++; the right button of the view arms and finishes it.
#pragma once

#include <cstdint>
#include <functional>

#include "core/prompts/user_prompts.h"
#include "core/surface/surface.h"
#include "figures/base/draw_context.h"
#include "figures/base/figure_list.h"
#include "figures/base/geometry.h"
#include "view/editing/mouse_editor.h"


// The band of a row operation armed at `press`.
RowBand RowOps_band(const FigureList& page, Point32 press);
// Whether a figure moves with the rows below the start line.
bool RowOps_inRegion(const CadPrim& figure, const RowBand& band);

// What a row operation asks: the deletion question (Yes deletes what
// crosses the band too, No keeps it, Cancel stops) and the pause before it.
struct RowOpsHooks {
  std::function<PromptAnswer(const char* text, const char* title)> ask;
  std::function<void(int ms)> sleep;
  bool japanese = true;
};

// Finishes a row operation released at height `releaseY`.  Answers false
// when nothing changed (a release within 6 units of the start line, which
// opens the canvas menu instead, or a cancelled deletion).
bool RowOps_finish(EditPage& page, const RowBand& band, int32_t releaseY, const RowOpsHooks& hooks);

// The guide while the right button is held: two horizontal dash-dot lines
// between the limits at the start height and at the mouse, each white with
// a black one a pixel below.
void RowOps_drawGuide(Surface& surface, const DrawContext& ctx, const RowBand& band, int32_t mouseY,
                      int32_t canvasWidth);

inline constexpr const char* RowOps_deleteTitle = "行削除";
inline constexpr const char* RowOps_deleteTitleEnglish = "Delete Row";
inline constexpr const char* RowOps_deleteQuestion = "選択した図形も削除しますか？";
inline constexpr const char* RowOps_deleteQuestionEnglish = "Do you delete selected figure too ?";
