// The selection marks the view paints over the page after the figures: the
// handles of the selected figures and, while it is dragged, the rubber
// band.  They go through Surface and the figures' own DrawHandles.
#pragma once

#include <optional>

#include "core/surface/surface.h"
#include "figures/base/draw_context.h"
#include "figures/base/geometry.h"

class ViewSelection;

// Paints the handles of every selected figure: the held figure's in the
// highlight colour (squares filled with SystemColour_highlight), the other
// selected figures' as the figures paint their own marks (filled with the
// inverse of the highlight colour and outlined in it), the held one last so
// that it is on top.  Nothing when the context does not show handles or is
// not the screen (printing, page images); the widget clears showHandles
// while a text box is edited in place.  The canvas held for a corner drag
// is not marked here (the outside area paints its corner).
void RenderSelectionMarks(Surface& surface, const DrawContext& ctx, const ViewSelection& selection);

// The rubber band `band` (page units, inclusive corners): a rectangle
// filled with forward-diagonal hatching in the highlight colour on a
// transparent background, outlined with a dash-dot pen in the highlight
// colour, clipped to `pageClip` (device pixels) when given.  The surface
// state is left as it was.
void RenderRubberBand(Surface& surface, const DrawContext& ctx, const Rect32& band,
                      std::optional<SurfaceRect> pageClip);
