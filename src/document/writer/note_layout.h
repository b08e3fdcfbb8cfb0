// The document-level text of a note file: the prologue, the root element,
// the page script, page groups and their boundary lines, the page-title list
// and the placeholder of an unpublished file.  Every function appends to a
// text whose line breaks are "\n" (the writer turns them into CR LF).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The two texts of the SVG 1.0 document type.
inline constexpr const char* NoteLayout_svgPublicId = "-//W3C//DTD SVG 1.0//EN";
inline constexpr const char* NoteLayout_svgSystemId =
    "http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd";
inline constexpr const char* NoteLayout_svgNamespace = "http://www.w3.org/2000/svg";
inline constexpr const char* NoteLayout_xlinkNamespace = "http://www.w3.org/1999/xlink";
// The format version written in "sub_doctype".
inline constexpr int32_t NoteLayout_formatVersion = 300;
// Page sizes must stay below this (five digits in the root).
inline constexpr int32_t NoteLayout_sizeLimit = 100000;

// The XML declaration (utf-8 or utf-16) and the document type, each followed
// by an empty line.
void NoteLayout_writePrologue(std::string& out, bool wide);

struct NoteRootInfo {
  int32_t canvasType = 2;
  int32_t width = 0;   // the root size (NoteLayout_rootSize)
  int32_t height = 0;
  int32_t ordinaryPages = 1;
  int32_t pageInterval = 0;
  bool fixedZoom = false;  // "__viewBox" in place of "viewBox"
  std::string uuidText;    // without braces
  // One page record only: that page's attributes (each written when not
  // empty); the image path already relative to the note's folder.
  bool singleRecord = true;
  std::string corrImage;
  std::string pageClass;
  std::string pagePub;
  std::string filePub;
};

// The root size for pages of the given sizes (every record, the back page
// included): width 20 + the largest width (at least 21), height 10 + the sum
// of (height + 10).  Raises 102 when a page is 100000 or more.
struct NotePageSize {
  int32_t width = 0;
  int32_t height = 0;
};
NotePageSize NoteLayout_rootSize(const std::vector<NotePageSize>& pages);

// The root start tag up to and including its ">" and an empty line.
void NoteLayout_writeRoot(std::string& out, const NoteRootInfo& root);

// The page-switching script for a note of `ordinaryPages` pages: `script` is
// the installation's script file, already with "\n" line breaks.
void NoteLayout_writePageScript(std::string& out, int32_t ordinaryPages, std::string_view script);

struct NotePageGroupInfo {
  bool backPage = false;
  int32_t number = 1;  // ordinary pages from 1
  std::string id2;
  int32_t width = 0;
  int32_t height = 0;
  int32_t offset = 10;
  std::string corrImage;  // relative to the note's folder
  std::string pageClass;
  std::string pagePub;
};

void NoteLayout_writePageGroupStart(std::string& out, const NotePageGroupInfo& page);
// The four boundary lines of a page of w x h.
void NoteLayout_writeBounds(std::string& out, int32_t width, int32_t height);

struct NotePageTitle {
  int32_t number = 1;
  int32_t level = 0;  // depth in the page tree, 0 for a top-level page
  std::string title;
};
// The "<zerbin-pages>" list; `pages` in list order (a pre-order walk, so a
// page's descendants follow it with greater levels).
void NoteLayout_writePageTitles(std::string& out, const std::vector<NotePageTitle>& pages);

// An attribute value: & < " ' as entities, > kept.  Never cut.
std::string NoteLayout_attr(std::string_view value);

// The bytes of the document that stands for a file that is not published:
// UTF-16 little-endian with its byte-order mark, CR LF line ends.
std::string NoteLayout_placeholderDocument();
