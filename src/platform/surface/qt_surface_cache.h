// What a QtSurfaceTextCache holds (private to the Qt surface): the fonts of
// text output with their shaped texts, and the stamps of what the painter
// gave for a text in an opaque cell or for an ellipse or rounded rectangle,
// so that a page painted again sets those pixels straight in its image.
//
// A stamp holds only what does not depend on where it is set: a text cell
// is filled with its background before its glyphs are drawn, so its pixels
// follow from the font, the text and the two colours as long as no glyph
// reaches out of the cell; a shape in opaque colours sets each of its pixels
// to the pen or the brush colour or leaves it, whatever lies below.  A stamp
// is made from the painter's own pixels in a scratch image when the same
// thing is drawn again (a shape), or drawn again in a later paint over the
// same cache (a text: one paint alone makes no text stamps); the first time
// the painter draws it as usual.  What the scratch shows cannot be stamped
// is remembered and always painted.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QList>
#include <QRgb>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/surface/surface.h"
#include "platform/surface/qt_surface.h"

struct QtSurfaceTextCache::Impl {
  struct KeyHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
  };
  struct KeyEq {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const { return a == b; }
  };
  template <typename T>
  using ByText = std::unordered_map<std::string, T, KeyHash, KeyEq>;

  // A text laid out on a baseline at y = 0 from x = 0.  The shaping depends
  // on the font (all of FontSpec goes into QtTextMetrics_font) and the text
  // only: layouts are made without a paint device.
  struct Shaped {
    int width = 0;
    QList<QGlyphRun> runs;
  };
  // The pixels of a text's cell: its width, and the rows of the cell (the
  // font's ascent above the baseline, its descent below) from the origin.
  struct TextStamp {
    uint32_t used = 0;    // the last paint that set it (or saw it)
    bool refused = false; // a glyph reaches out of its cell
    int width = 0;
    std::vector<QRgb> pixels;  // empty until made
  };
  struct Font {
    FontSpec wanted;
    QFont font;
    QFontMetrics metrics;
    int ascent = 0;
    int descent = 0;
    ByText<Shaped> texts;
    // By text colour, background colour and text (stampKey).
    ByText<TextStamp> stamps;
  };

  // What an ellipse or rounded rectangle of one size and pen sets: the pen
  // and brush runs of each row, from the box's top left.
  enum class ShapeKind : uint8_t { Ellipse, RoundRect };
  struct ShapeKey {
    ShapeKind kind;
    bool brush;      // a solid brush, else none
    bool opaque;     // the background mode (Qt rasterises differently)
    int8_t penWidth; // 0 thin, -1 none, else the width
    int32_t width, height, cornerWidth, cornerHeight;
    friend bool operator==(const ShapeKey&, const ShapeKey&) = default;
  };
  struct ShapeKeyHash {
    size_t operator()(const ShapeKey& k) const {
      size_t h = static_cast<size_t>(k.kind) * 4 + (k.brush ? 1 : 0) + (k.opaque ? 2 : 0);
      for (int64_t v : {int64_t{k.penWidth}, int64_t{k.width}, int64_t{k.height},
                        int64_t{k.cornerWidth}, int64_t{k.cornerHeight}})
        h = h * 1000003u ^ static_cast<size_t>(v);
      return h;
    }
  };
  struct ShapeRun {
    int32_t y, left, right;  // right outside
    bool pen;
  };
  struct ShapeStamp {
    uint32_t used = 0;
    bool refused = false;
    bool made = false;
    std::vector<ShapeRun> runs;
  };

  // Shapes beyond this size in either direction, and text cells higher or
  // of more pixels, are always painted.
  static constexpr int kMaxShape = 1024;
  static constexpr int kMaxCellHeight = 16;
  static constexpr int64_t kMaxCellPixels = 16384;
  // The stamps' own bound: when a new stamp does not fit, the stamps that
  // the current paint has not used are dropped, once per paint; when it
  // still does not fit, the painter draws it.
  static constexpr size_t kMaxStampBytes = size_t{16} << 20;

  std::vector<std::unique_ptr<Font>> fonts;
  Font* last = nullptr;
  std::unordered_map<ShapeKey, ShapeStamp, ShapeKeyHash> shapes;
  size_t texts = 0;
  size_t bytes = 0;       // of the shaped texts
  size_t stampBytes = 0;  // of the stamps
  uint32_t paint = 1;     // counts the surfaces that paint with the cache
  uint32_t evictedIn = 0; // the paint that last dropped stamps
  std::string key;        // scratch for stampKey

  Font& fontOf(const FontSpec& wanted);
  void clear();
  // Drops the shaped texts (the fonts stay: a caller may hold one).
  void clearTexts();
  const Shaped& shaped(Font& f, std::string_view cp932);
  static size_t bytesOf(const std::string& key, const TextStamp& s) {
    return sizeof s + key.size() + 64 + s.pixels.size() * sizeof(QRgb);
  }
  static size_t bytesOf(const ShapeStamp& s) {
    return sizeof s + 64 + s.runs.size() * sizeof(ShapeRun);
  }
  // Whether `more` bytes of stamps fit (see kMaxStampBytes); counts them
  // when they do.
  bool stampRoom(size_t more);
  // The key of a text stamp in `key`.
  std::string_view stampKey(Colour text, Colour background, std::string_view cp932);
};
