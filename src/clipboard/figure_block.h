// The program's own clipboard records: the figure block ("Zerbin",
// offered as application/x-zerbin) and the ink box ("Zerbin2",
// application/x-zerbin2).  A block comes from any program on the desktop:
// the reader checks every length, count and offset against the bytes that
// are there and refuses the whole block at the first fault.  Plain C++.
//
// Block layout, little-endian int32, texts zero-terminated and padded with
// zeros to a multiple of 4:
//   0 size (bytes after the 28-byte header), 4 flags, 8 count, 12 held,
//   16 source window, 20 anchor x, 24 anchor y;
//   the note path (UTF-16LE), the folder path (CP932);
//   with flag 1 (a whole page) the page title (CP932) and two int32 sizes;
//   `count` records: int32 size (snapshot + 8), int32 kind, the snapshot.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "figures/base/cad_prim.h"

class TextMetrics;

inline constexpr const char* FigureBlock_mimeType = "application/x-zerbin";
inline constexpr const char* InkBox_mimeType = "application/x-zerbin2";
// The strokes themselves, in the serialised ink format.
inline constexpr const char* InkStrokes_mimeType = "application/x-zerbin-ink";

enum FigureBlockFlags : uint32_t {
  FigureBlock_wholePage = 1,
  FigureBlock_fromNoteBar = 2,
  FigureBlock_fromViewer = 4,
};

struct FigureBlockRecord {
  int32_t kind = 0;
  std::string snapshot;
};

struct FigureBlock {
  uint32_t flags = 0;
  int32_t held = 0;           // figure number of the held figure
  uint32_t sourceWindow = 0;  // the program's id of the source view's window
  int32_t anchorX = 0, anchorY = 0;
  std::string notePath;    // CP932 (written as UTF-16)
  std::string folderPath;  // CP932
  std::string pageTitle;   // whole page only
  int32_t pageWidth = 0, pageHeight = 0;
  std::vector<FigureBlockRecord> records;
};

// The bytes of a block; its size not a multiple of 4 raises 102.
std::string FigureBlock_encode(const FigureBlock& block);
// Reads a block; false (and the reason in `error`) when the bytes are no
// block: a size or count past the data, a text without its terminator, a
// record outside the block, a kind that is no figure.
bool FigureBlock_decode(std::string_view bytes, FigureBlock& block, std::string* error = nullptr);

// The block of figures (their snapshots, in the given order).
FigureBlock FigureBlock_of(const std::vector<const CadPrim*>& figures);
// The figures of a block, each read from its snapshot; nothing (and the
// reason in `error`) when any record cannot be read.  The figures keep
// the numbers and links of the block: FigureBlock_renumber gives them
// their own.
std::vector<std::unique_ptr<CadPrim>> FigureBlock_figures(const FigureBlock& block,
                                                          const TextMetrics* metrics,
                                                          std::string* error = nullptr);
// New figure numbers for pasted figures, links among them following; a
// link to a figure outside them is dropped (it would point at a figure of
// another page or note, or at nothing).
void FigureBlock_renumber(std::vector<std::unique_ptr<CadPrim>>& figures);
// Pictures among pasted figures get their working files in `workFolder`:
// the file the block names is copied (it may be any file of another note
// or program, and is never written), or the picture is made again from
// its image file when it is drawn.
void FigureBlock_takeIntoWorkFolder(std::vector<std::unique_ptr<CadPrim>>& figures,
                                    const std::string& workFolder);

// The ink box: the ink selection's rectangle and the anchor, 24 bytes.
struct InkBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0, anchorX = 0, anchorY = 0;
};
std::string InkBox_encode(const InkBox& box);
bool InkBox_decode(std::string_view bytes, InkBox& box);
