// Measuring text for layout.  The platform measures with its fonts at a
// fixed 96 dpi (so files written in batch runs equal the editor's); tests
// use deterministic fakes.  Fonts are the `FontSpec` of surface.h (em
// height in pixels); all results are whole pixels.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "core/surface/surface.h"

struct FontMetrics {
  int ascent = 0;     // baseline to the top of the cell
  int descent = 0;    // baseline to the bottom of the cell
  int height = 0;     // ascent + descent: the cell height
  int lineHeight = 0; // height plus the font's external leading
};

struct TextExtent {
  int width = 0;
  int height = 0;  // the font's cell height, also for an empty text
  friend bool operator==(const TextExtent&, const TextExtent&) = default;
};

class TextMetrics {
 public:
  virtual ~TextMetrics() = default;

  virtual FontMetrics fontMetrics(const FontSpec& font) const = 0;
  // Width and height of a one-line CP932 text (tabs and line breaks are
  // measured as the font's glyphs for them: split lines first).
  virtual TextExtent textExtent(const FontSpec& font, std::string_view cp932) const = 0;
  // For every byte offset i from 0 to the text's length, the x where the
  // character that starts at byte i starts (the width of text[0, i)).  The
  // trail byte of a double-byte character repeats its lead byte's value; the
  // last entry is the whole width.  The result has length + 1 entries.
  virtual std::vector<int> caretPositions(const FontSpec& font, std::string_view cp932) const = 0;
};
