// Pages that embed the note's SVG file: the frame HTML (an `embed` element
// in the wallpaper, presentation or document layout; also the preview in a
// browser) and the embedding text that the user pastes into another page
// (the SVG embedded, or the page's PNG image with an image map of its
// links).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/strx/strx_vars.h"

class NoteDocument;

// What the pages need from the window: the note with the page being
// edited, its path, the interface language, the settings and the folder
// variables.
class EmbedHtmlHost {
 public:
  virtual ~EmbedHtmlHost() = default;
  virtual NoteDocument& document() const = 0;
  virtual std::string notePath() const = 0;
  virtual bool japanese() const = 0;
  // LowerPath: file names in lower case.
  virtual bool lowerPath() const { return false; }
  // WindowColor: the embedded SVG gets a transparent background.
  virtual bool transparentBackground() const { return false; }
  // Every line of the embedding text becomes a document.write call inside
  // a script element.
  virtual bool scriptWrapper() const { return false; }
  // "%script%" and the other folder variables.
  virtual StrX_VarLookup variables() const { return nullptr; }
};

// Layouts of the frame HTML.
inline constexpr int EmbedHtml_wallpaper = 1;
inline constexpr int EmbedHtml_presentation = 2;
inline constexpr int EmbedHtml_document = 3;
// Forms of the embedding text.
inline constexpr int EmbedHtml_svgForm = 0;
inline constexpr int EmbedHtml_imageForm = 2;
// The buffer of the embedding text.
inline constexpr size_t EmbedHtml_bufferSize = 16000;

// The download pages of an SVG viewer named in the embedding text: the
// notice links the one of the interface language; the plug-in page
// attribute always holds the Japanese one.
inline constexpr const char* EmbedHtml_viewerPageJa = "https://www.w3.org/Graphics/SVG/WG/wiki/Implementations?lang=ja";
inline constexpr const char* EmbedHtml_viewerPageEn = "https://www.w3.org/Graphics/SVG/WG/wiki/Implementations";

// The frame HTML of `layout` ("\n" line ends) for the SVG file reference
// `svgRef` and the page title.  The templates "%script%/html<layout>-script1.txt"
// and "...-script2.txt" go before and after the embed elements; a missing
// one is empty.  Layout 3 lists the ordinary pages (the back page is not one
// of them): with more than one page, a line of page links when every page is
// titled "New Page", else the contents built from the page tree; then one
// embed per page, sized like that page.  The title, the reference and the
// page titles are escaped for HTML.  An unknown layout raises 102.
std::string EmbedHtml_frameText(const EmbedHtmlHost& host, std::string_view svgRef,
                                std::string_view title, int layout);
// Writes that text to `htmlPath` in text mode (CR LF); raises the file
// errors (362, 365).
void WriteFrameHtml(const EmbedHtmlHost& host, std::string_view htmlPath, std::string_view svgRef,
                    std::string_view title, int layout);

// The embedding text of the page being edited into `text` (replaced), at
// most size - 1 bytes: form 0 embeds the note's SVG file, form 2 its image
// "<name>.png" with an image map of the linked figures' areas, from the
// top-most figure to the bottom-most.  An area that does not fit ends the
// map there (the map and the script are still closed); a text whose fixed
// parts do not fit raises 3183.  Names are escaped for HTML and, with the
// script wrapper, for the script's strings.  An unknown form raises 102.
void WriteEmbedTag(const EmbedHtmlHost& host, std::string& text, size_t size, int form);
