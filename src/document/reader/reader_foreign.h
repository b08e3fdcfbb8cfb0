// SVG drawn by other programs, read as it looks.  A file is foreign when
// its root says more than a size (a namespace, a view box, a version, a
// style ...) and carries none of this program's marks; the program's own
// notes (with or without the version mark) are read as before.
//
// For a foreign file the reader keeps, per open element, the properties
// the element passes on (presentation attributes, the file's style sheet
// rules, `style`, which wins) and the map from its user units to page
// units (the root's size and view box, nested viewports, `transform`).
// Each drawn element then becomes:
//   - a figure of the program's own, where one expresses it: rectangles,
//     circles and ellipses under a map without turn or shear, lines, plain
//     pictures, and texts of lines with one fill, font and anchor, in solid
//     colours without transparency;
//   - else one foreign figure (figures/foreign) holding the element as it
//     was read, with the definitions it refers to.
// Groups are never merged into composite figures, and hidden elements and
// definitions draw nothing of their own.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/xml/xml_event_reader.h"
#include "document/reader/reader_elements.h"
#include "figures/base/figure_list.h"
#include "figures/foreign/foreign_figure.h"

// Whether the root start tag (current in `xml`) is that of a foreign file.
bool ForeignSvg_isForeignRoot(const XmlEventReader& xml);

// The page size a foreign root gives (rounded pixels).
void ForeignSvg_rootSize(const XmlEventReader& xml, int64_t& width, int64_t& height);

// The most bytes of definitions the foreign figures of one file take
// together.
inline constexpr size_t ForeignSvg_definitionsBudget = size_t{64} << 20;

// The attribute that marks the group the writer puts around a foreign
// figure.
inline constexpr std::string_view ForeignSvg_wrapperAttribute = "zerbin-foreign";

// Reads the wrapper group of a foreign figure (its start tag current in
// `xml`) up to its end tag: the figure as it was written, or null for a
// wrapper that holds no element.  The events go on behind the end tag.
std::unique_ptr<Foreign_Figure> ForeignSvg_readWrapper(XmlEventReader& xml, AppCounters& counters);

// A foreign figure of one element's markup, in page units as it stands;
// null when it draws nothing.
std::unique_ptr<Foreign_Figure> ForeignSvg_fromMarkup(std::string_view element,
                                                     std::string_view markup);

class ForeignSvgReader {
 public:
  explicit ForeignSvgReader(ReaderContext& ctx, XmlEventReader& xml) : ctx_(ctx), xml_(xml) {}

  // The root: the page size (rounded) and the map of its view box.
  void root(int64_t& width, int64_t& height);

  // What the event loop does with a start or empty tag.
  enum class Action {
    Container,  // a group, link or nested viewport: opened here, the loop goes on inside
    Done,       // handled whole here (a figure made, or nothing drawn)
  };
  // A start or empty tag other than the root.  Figures made go to `out`.
  Action element(std::vector<std::unique_ptr<CadPrim>>& out);
  // The end tag of an element that Container opened.
  void close();

  // After the last event: gives each foreign figure of the pages the
  // definitions it refers to.
  void finish(std::vector<FigureList*> pages);

  struct Style {
    std::array<std::string, 33> value;  // by property index; empty: not given
    double groupOpacity = 1;            // the opacity of the groups around
  };

 private:
  struct Frame {
    Style style;
    SvgAffine ctm;
    double viewWidth = 0, viewHeight = 0;
    // The container's id ("" none) and where its start tag stands.
    std::string id;
    size_t idStart = 0;
  };
  struct CssRule {
    std::string tag, cls, id;  // empty: any
    std::string declarations;
  };

  const Frame& top() const { return frames_.empty() ? rootFrame_ : frames_.back(); }
  Style cascade(const XmlEventReader& xml, const Style& parent) const;
  double length(const Style& s, std::string_view attr, double percentOf) const;
  // Consumes the element whose start or empty tag is current; its bytes.
  std::string_view consume();
  void parseStyleSheet(std::string_view text);
  std::unique_ptr<CadPrim> nativeShape(const std::string& name, const Style& s,
                                       const SvgAffine& m);
  std::unique_ptr<CadPrim> nativeText(std::string_view raw, const Style& s, const SvgAffine& m,
                                      std::unique_ptr<CadPrim> box);
  std::unique_ptr<Foreign_Figure> foreignFigure(const std::string& name, std::string_view raw,
                                                const Style& parent, const Style& own);

  ReaderContext& ctx_;
  XmlEventReader& xml_;
  Frame rootFrame_;
  std::vector<Frame> frames_;
  std::string namespaces_;  // the root's prefix declarations
  std::vector<CssRule> css_;
  std::string styleSheets_;  // every <style> element, for foreign figures
  // Elements with an id: their bytes' offsets.
  std::map<std::string, std::pair<size_t, size_t>, std::less<>> ids_;
  // The page boxes of the shapes made with a coloured fill.
  std::vector<Rect32> painted_;
  // The foreign figures made, by number.
  std::vector<int32_t> made_;
};
