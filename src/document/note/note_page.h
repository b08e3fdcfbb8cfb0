// One page of a note: its settings, its figures, its serialised ink, its
// place in the page tree and its title.
//
// The page's settings are its Canvas, and the Canvas is the FIRST figure of
// the page's own figure list, always: the list the view edits for the
// current page is exactly this list, and every page record has the same
// shape whether it is current or not.  Use settings() for the Canvas and
// clearFigures() to empty a page; never remove the first figure.
//
// Tree links are plain non-owning pointers to other pages of the same
// document (the document owns every page).  Only the document's operations
// and the note reader set them; NoteDocument::checkTree() verifies them.
// A page cut out of its document (a deletion kept for undo) keeps the links
// among the cut pages; its own parent and sibling links are cleared.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"

// The number of an id made of "page" and decimal digits only (clamped to
// the largest int32; 0 for "page0"), or none for any other id.  Such ids
// name page groups in note files.
std::optional<int32_t> NotePage_idNumber(std::string_view id);

// A title holds at most this many bytes (cut at a character boundary).
inline constexpr size_t NotePage_titleMax = 255;

class NotePage {
 public:
  // An empty page: a list holding only a default Canvas.
  NotePage();
  NotePage(const NotePage&) = delete;
  NotePage& operator=(const NotePage&) = delete;

  // A number no other page of the process ever had: undo records find
  // their page by it (an address may be reused by a later page).
  uint64_t serial() const { return serial_; }

  // The Canvas at the head of the figure list; raises 102 when the list
  // does not start with one.
  Canvas& settings();
  const Canvas& settings() const;

  // Removes and destroys every figure but the Canvas.
  void clearFigures();
  // The number of figures after the Canvas.
  size_t figureCount() const { return figures.empty() ? 0 : figures.size() - 1; }

  const std::string& title() const { return title_; }
  // Keeps at most NotePage_titleMax bytes, never ending inside a
  // double-byte character.
  void setTitle(std::string_view title);

  // The figures; figures.at(0) is the Canvas (see above).
  FigureList figures;
  // The page's ink in serialised form (Base64 text), or empty.
  std::string inkData;
  // The label-id pass of the writer visits this page.
  bool labelIds = true;
  // Two state bytes kept with the page (the view's).
  std::array<uint8_t, 2> state{};

  // The page tree (none = null).
  NotePage* parent = nullptr;
  NotePage* firstChild = nullptr;
  NotePage* previousSibling = nullptr;
  NotePage* nextSibling = nullptr;

 private:
  std::string title_;
  uint64_t serial_;
};
