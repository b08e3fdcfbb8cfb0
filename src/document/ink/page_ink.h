// The ink of the page being edited: its strokes (each with an id that
// stays while the page is shown, so that undo records and selections never
// hold pointers), the selected strokes, what the page's file held (the raw
// block and the two layer groups, written back unchanged until the ink
// changes), and the hit tests of the eraser, the lasso, the rubber band and
// a press.  Plain C++: the view's ink engine drives it.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document/ink/ink_strokes.h"

struct PageInkStroke {
  uint32_t id = 0;
  InkStroke stroke;
  Rect32 box;  // the points' box grown by half the pen (ink units)
};

class PageInk {
 public:
  // Loads a page: the raw block (Base64) is the authority; without one, or
  // when it does not decode, the strokes come from the layer groups.
  // Answers false when a raw block was there but did not decode.
  bool load(std::string_view rawBase64, std::string_view backGroup, std::string_view frontGroup);
  void clear();

  bool changed() const { return changed_; }
  // Grows with every change of what the strokes look like (a load too):
  // what was drawn of an older revision is stale.
  uint64_t revision() const { return revision_; }
  // The areas (ink units) whose look changed since the last call; false
  // when everything did (a load).
  bool takeDamage(std::vector<Rect32>& areas);
  // The raw block and the layer group of the page as they are to be
  // written: what was loaded while nothing changed, else made from the
  // strokes.  Marks the ink as written (no longer changed).
  std::string rawBase64() const;
  std::string layerText(int32_t layer) const;
  void markWritten();
  // Gives the strokes these ids in order (the ids they had when the ink
  // was written); nothing when the counts differ.
  void renumber(const std::vector<uint32_t>& ids);

  // --- strokes ---
  const std::vector<PageInkStroke>& strokes() const { return strokes_; }
  const PageInkStroke* find(uint32_t id) const;
  // Adds a stroke (a new id when `id` is 0) and answers its id.
  uint32_t add(InkStroke stroke, uint32_t id = 0);
  // Takes strokes out; answers the ones that were there.
  std::vector<PageInkStroke> remove(std::span<const uint32_t> ids);
  // Replaces the content of the strokes of the same ids.
  void replace(std::span<const PageInkStroke> strokes);
  void moveBy(std::span<const uint32_t> ids, int32_t dx, int32_t dy);
  void scaleTo(std::span<const uint32_t> ids, Rect32 target);
  std::vector<InkStroke> copies(std::span<const uint32_t> ids) const;

  // --- selection ---
  const std::vector<uint32_t>& selection() const { return selection_; }
  void select(std::vector<uint32_t> ids);
  void selectAll();
  bool deselectAll();
  Rect32 selectionBox() const;  // 0 × 0 without a selection

  // --- hit tests (ink units) ---
  // The topmost stroke whose drawn line passes within `tolerance` of the
  // point, 0 when none.
  uint32_t strokeAt(int32_t x, int32_t y, int32_t tolerance) const;
  // Strokes with at least `share` of their points inside the outline /
  // rectangle.
  std::vector<uint32_t> inside(std::span<const InkPoint> outline, double share) const;
  std::vector<uint32_t> inside(const Rect32& rect, double share) const;
  // Whether a press at the point is on a selected stroke (1 % of its
  // points within ±260).
  bool onSelection(int32_t x, int32_t y) const;

 private:
  void touch(const Rect32& area) {
    changed_ = true;
    ++revision_;
    // Many small areas are as good as everything.
    if (damage_.size() >= 256) damageAll_ = true;
    if (!damageAll_) damage_.push_back(area);
  }
  std::vector<PageInkStroke> strokes_;
  std::vector<uint32_t> selection_;
  uint32_t nextId_ = 1;
  bool changed_ = false;
  uint64_t revision_ = 0;
  std::vector<Rect32> damage_;
  bool damageAll_ = true;
  // What the file held.
  std::string raw_, back_, front_;
};

// The box a stroke covers when drawn: its points grown by half its pen.
Rect32 InkStroke_drawnBox(const InkStroke& stroke);
