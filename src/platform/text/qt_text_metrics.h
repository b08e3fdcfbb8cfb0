// TextMetrics over Qt: QFontMetrics at a fixed 96 dpi, with the face names
// mapped through the font substitution table.  Needs a QGuiApplication
// (the offscreen platform in batch runs and tests).
//
// Measuring is the larger part of every conversion of a note full of text,
// so each object keeps one Qt font per font description and the advance of every
// character it has measured in it.  The fonts are built with kerning off and
// without ligatures, so the width of a text is the sum of the advances of its
// characters: the results equal Qt's own measurement of the whole text.  An
// object is not thread-safe; use it on one thread (the UI thread).
#pragma once

#include <QFont>
#include <QImage>

#include <memory>
#include <string>
#include <unordered_map>

#include "core/surface/text_metrics.h"

// The Qt font that stands for a font of the figures (substituted family,
// pixel size, weight 700 or 400, italic, underline; kerning off so that
// widths add up character by character).
QFont QtTextMetrics_font(const FontSpec& font);

struct QtTextMetrics_Font;  // one cached font

class QtTextMetrics final : public TextMetrics {
 public:
  QtTextMetrics();
  ~QtTextMetrics() override;
  QtTextMetrics(const QtTextMetrics&) = delete;
  QtTextMetrics& operator=(const QtTextMetrics&) = delete;

  FontMetrics fontMetrics(const FontSpec& font) const override;
  TextExtent textExtent(const FontSpec& font, std::string_view cp932) const override;
  std::vector<int> caretPositions(const FontSpec& font, std::string_view cp932) const override;

  // At most this many fonts are kept; one more empties the cache.
  static constexpr size_t kMaxFonts = 64;
  size_t cachedFontCount() const { return fonts_.size(); }

 private:
  using Font = QtTextMetrics_Font;
  Font& fontOf(const FontSpec& font) const;

  QImage device_;  // a 96 dpi paint device for the metrics
  mutable std::unordered_map<std::string, std::unique_ptr<Font>> fonts_;
  mutable Font* last_ = nullptr;  // the font of the previous call
  mutable FontSpec lastWanted_;
};
