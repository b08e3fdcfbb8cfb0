// What a note asks of the view's pen-ink component when it changes the
// page being edited.  The document never owns one: the view hands it a
// pointer (or none), and without one the ink layer files of the pages are
// left exactly as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class InkManager {
 public:
  virtual ~InkManager() = default;

  // Whether ink of a page is loaded (the component may hold none at all).
  virtual bool hasInkLoaded() const = 0;
  // Whether the loaded ink changed since it was loaded or last serialised.
  virtual bool inkChanged() const = 0;
  // The loaded ink in its serialised form (Base64 text, ASCII).
  virtual std::string serialiseInk() = 0;
  // Rewrites the two ink layer files of the page from the loaded ink: each
  // file is one complete ink group (back layer 9, front layer 13).
  virtual void writeLayerFiles(std::string_view backPath, std::string_view frontPath) = 0;
  // Drops every loaded stroke.
  virtual void clearInk() = 0;
  // Loads a page's serialised ink (may be empty: no strokes) with the paths
  // of its two ink layer files (what other viewers see of it).
  virtual void loadInk(std::string_view inkData, std::string_view backPath,
                       std::string_view frontPath) = 0;
  // The view's zoom in percent (100 = one unit per pixel).
  virtual int32_t zoomPercent() const = 0;
  // The area that takes ink input, in pixels: the page size scaled by the
  // zoom.
  virtual void setInkArea(int32_t width, int32_t height) = 0;
};
