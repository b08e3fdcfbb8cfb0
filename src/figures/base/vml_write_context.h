// Figures append their markup to `out` with CR LF line ends as written
// (unlike the note's elements, which use "\n").
//
// The state handed to every figure's `WriteVml` and `WriteMhtmlPart` while
// the HTML export writes a page: the note writer's context (links, path
// variables, the page number, the output text) and what only the HTML
// export has: its output file, the attachment folder, the link target
// options and the side files.
#pragma once

#include <cstdint>
#include <string>

#include "figures/base/svg_write_context.h"

struct VmlWriteContext : SvgWriteContext {
  // Full path of the HTML or MHTML file being written (CP932): the page file
  // that receives the figures.
  std::string outputPath;
  // The note being exported, when `notePath` is the page file (links are
  // made relative to that); "" when `notePath` is the note.  The side files
  // name the note with it, and its relative links start from its folder.
  std::string sourceNotePath;
  const std::string& noteOfLinks() const { return sourceNotePath.empty() ? notePath : sourceNotePath; }
  // The attachment folder: the output's name with its extension replaced by
  // "files", followed by "/".  Pictures are copied behind it as
  // "NN/imageMM.ext" (page number, index).
  std::string attachFolderPath;
  // Link targets (see the exporter's options "-no_blank", "-top2blank").
  bool keepBlankTarget = false;
  bool preferNewWindow = false;

  // The optional side files: a figure appends its lines to those that are
  // not null (each is written out by the exporter, CP932, CR LF as given).
  std::string* linkListFile = nullptr;
  std::string* anchorListFile = nullptr;
  std::string* moveListFile = nullptr;
  std::string* imageListFile = nullptr;
  std::string imageListBase;  // the folder the image list's paths are relative to
  std::string* keywordTreeFile = nullptr;
  std::string* sitemapFile = nullptr;

  // When positive, text boxes name their anchors "zerbin_vml_p%d" with it.
  int32_t anchorCounter = 0;
  // In-out: the lowest y (with verticalOffset) reached by a named anchor.
  int32_t contentBottom = 0;
  // Texts the keyword tree already holds as page entries (the page title
  // or the note title): the export writes no separate entry for them.
  bool titleInKeywordTree = false;
  // Set with titleInKeywordTree when the text was the note title.
  bool noteTitleInKeywordTree = false;
  // File name of the export's main output ("X.html"), which keyword-tree
  // entries link to; "" = baseName + ".html".
  std::string exportFileName;
  std::string pageTitle;
  std::string noteTitle;
};

// The MHTML archive's picture parts: the same context, the parts appended
// to `out`.
struct MhtmlWriteContext : VmlWriteContext {};
