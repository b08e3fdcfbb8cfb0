// The figure side of the note reader: turning the elements of a note (or a
// foreign SVG file) into figures, resolving groups when they close, and
// connecting line ends after loading.  The event loop (note_reader.cpp)
// keeps the document structure and calls these.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/errors/errors.h"
#include "core/surface/text_metrics.h"
#include "core/xml/xml_event_reader.h"
#include "figures/base/app_counters.h"
#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"

class Text_Box;

// The attributes a figure takes from the groups and links around it.  The
// event loop keeps one per open group (a group starts with its parent's
// values), so a value never leaks out of the group that set it.
struct ReaderPending {
  std::string id;
  std::string className;
  std::string pub;
  std::string formula;    // zerbin_formula
  std::string variables;  // zerbin_variables
  // From the enclosing <a> (or a <g> with href / onclick).
  std::string link;
  std::string target;
  int32_t afterClick = 0;
  bool attachedFile = false;
  // The link comes from an <a> with an href, which carries the target when
  // the figure has one (none written: the figure has none).
  bool linkElement = false;
};

// The two colour variables of a file (line and fill), which a figure
// without its own colour takes over from earlier elements.
struct ReaderColours {
  Colour line = 0x000000;   // the system window-text colour
  Colour fill = 0xF0F0F0;   // the system button-face colour
};

// What the element readers need besides the current tag.
struct ReaderContext {
  const XmlEventReader& xml;
  ReaderPending& pending;
  ReaderColours& colours;
  int32_t formatVersion = 300;  // of the file being read
  std::string notePath;         // links and image paths are absolute against its folder
  std::string workFolder;       // where image working copies go
  int32_t documentNumber = 0;   // part of the working copies' names
  AppCounters& counters;        // figure numbers and image serials
  const TextMetrics* metrics = nullptr;  // given to every text box
  bool japanese = true;         // the default font of a text
};

// The figure of an empty-element tag: line, rect, circle, ellipse, image,
// polygon or path (subtype "matome"); null for elements that make nothing
// (page boundary lines, unknown paths).  Raises the reader's errors
// (ReaderError_* below) for missing required attributes.  The figure has a
// new number; its id and link data come from the tag or `pending` (the
// used pending values are cleared as the format says).
std::unique_ptr<CadPrim> ReaderElements_figure(ReaderContext& ctx);

// The text box of a <text> start tag (frameless; its lines come later).
std::unique_ptr<Text_Box> ReaderElements_textStart(ReaderContext& ctx);
// A <tspan> start tag inside `box`: `count` is 1 for the first tspan of the
// box (it sets the line spacing), 2 for the next, ...  Every tspan starts a
// new line of the box (a CR LF is appended here), so that a tspan without
// text still gives its empty line.
void ReaderElements_tspanStart(Text_Box& box, ReaderContext& ctx, int32_t count);
// Appends the text of a text event inside <text> (count 0) or <tspan>
// (count >= 1: to the line its tspan started), entities decoded.
void ReaderElements_appendText(Text_Box& box, std::string_view rawText, int32_t count);

// Resolves an ordinary group when it closes.  `figures` is the page's list;
// `collected` the figures made while any group was open, in creation order
// (pointers into `figures`); the group's own figures are collected[first
// ...].  Merges a shape followed by a text box into a framed text box,
// lines into a cornered line, drawn arrow heads into arrow kinds; removes
// from both lists what it replaces.  Only the group's own figures take
// part.  A figure made here goes to the end of `figures` and of
// `collected` (so that an enclosing group sees it as one of its own).
void ReaderElements_resolveGroup(FigureList& figures, std::vector<CadPrim*>& collected,
                                 size_t first, ReaderContext& ctx);

// After loading a page: attaches line ends to the text boxes they name
// (zerbin-lnk ids, ignoring case) or that they were marked attached to
// (p1 / p2 of older notes and of cornered lines: the first box with the end
// within 5 of its centre; for a current note, else the first box whose
// frame holds the end), and keeps every figure inside the page coordinate
// range.  Boxes without a frame yet are laid out with their own metrics;
// a box that has none takes no line end (an id stays pending).
void ReaderElements_connectLoadedLinks(FigureList& figures, int32_t formatVersion);

// Errors of the reader (code 4010, CZerbinApp_Err_Format).
// The text of the unsupported-element error in the language of the user
// interface (CP932).
const char* ReaderError_unsupportedText(bool japanese);
// Shows that text in a message box (UserPrompts) captioned "Zerbin", then
// raises it.
[[noreturn]] void ReaderError_unsupported(bool japanese);
// Whether `e` is that error, whose text the user has seen already (the
// box came first): whoever catches it reports nothing more.
bool ReaderError_shownToUser(const Errors_Msg& e);
// Raises, without a box, that text followed by "\r\nfile = " path,
// "\r\nline = ", "\r\ncolumn = " (of the current event) and
// "\r\nmessage = " message.
[[noreturn]] void ReaderError_withMessage(const XmlEventReader& xml, std::string_view notePath,
                                          std::string_view message, bool japanese);
