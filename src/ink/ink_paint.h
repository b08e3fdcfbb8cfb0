// Drawing pen ink on a surface of the view, a page image or a printer
// sheet: pens as round-capped lines whose width follows the pressure,
// markers multiplied into what lies under them, the halo of selected
// strokes, and a page's ink as its note stores it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "core/surface/surface.h"
#include "document/ink/page_ink.h"
#include "figures/base/draw_context.h"

class NoteDocument;
class QPainter;
class QPointF;
class QRect;
class QRectF;

// Where a stroke lands on the device (ink units to device pixels).
QRectF InkPaint_deviceBox(const Rect32& inkBox, const DrawContext& ctx);
QPointF InkPaint_devicePoint(const DrawContext& ctx, const InkPoint& point);
// The context's clip box on the device; a null rectangle when it has none.
QRect InkPaint_deviceClip(const DrawContext& ctx);

// Draws one stroke with a painter already set up (clip, antialiasing).
// `from` > 0 draws only the segments from point `from` - 1 on (the newest
// part of a stroke being written).  `halo` draws the stroke's halo: 40 ink
// units wider, in `haloColour`, copied over what lies under it.
void InkPaint_stroke(QPainter& painter, const DrawContext& ctx, const InkStroke& stroke,
                     size_t from = 0, bool halo = false, Colour haloColour = 0xFFFFFF);

// Draws strokes on a surface that paints with Qt (other surfaces draw no
// ink), within the context's clip; strokes whose box misses it are passed
// over.  `selected` strokes get their halo first.
void InkPaint_strokes(Surface& surface, const DrawContext& ctx,
                      std::span<const PageInkStroke> strokes,
                      std::span<const uint32_t> selected = {});

// The ink a note stores for a page: its raw block, or its layer files when
// the block is missing or does not decode.  False when no page of that
// number has ink.
bool InkPaint_loadStoredPage(const NoteDocument& doc, int32_t pageNumber, PageInk& ink);
// Draws it (page images and prints).
void InkPaint_storedPage(Surface& surface, const DrawContext& ctx, const NoteDocument& doc,
                         int32_t pageNumber);
