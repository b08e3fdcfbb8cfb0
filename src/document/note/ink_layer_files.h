// The ink layer files of a note: two per page in the work folder, named
// "<work>/ink_%08X_%d_%d" with the note's document number, the page number
// and the layer (9 back, 13 front).  Each holds one complete ink group.
//
// File names follow page numbers, so whenever pages get other numbers the
// files are renamed with them.  Renames go through rename(2), which replaces
// an existing target on this platform; every operation here renames in an
// order that never lands on a file of another page still to be moved.  A
// file that is missing is simply not moved (nothing is raised).
//
// Number ranges: 0 is the back page, 1... the ordinary pages; from 10000
// up, the files of deleted pages kept while the deletion can be undone
// (always below 20000); from 20000 up, files parked during a move.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t InkLayer_back = 9;
inline constexpr int32_t InkLayer_front = 13;

// Holders of deleted pages: 10000 ... 19999.
inline constexpr int32_t InkFiles_holderBase = 10000;
inline constexpr int32_t InkFiles_holderCount = 10000;
// Parking numbers during a move: 20000 and up.
inline constexpr int32_t InkFiles_scratchBase = 20000;

// The holder number of the i-th page (from 0) of deletion entry u; u and
// u + i wrap inside 10000 ... 19999.
int32_t InkFiles_holderNumber(int32_t u, int32_t i);

// The text of one layer file; empty when it is missing or cannot be read.
std::string InkLayerFiles_read(std::string_view path);

class InkLayerFiles {
 public:
  // `workFolder` without a final separator (one is dropped if present).
  InkLayerFiles(std::string_view workFolder, int32_t documentNumber);

  // "<work>/ink_%08X_%d_%d".
  std::string path(int32_t page, int32_t layer) const;
  std::string backPath(int32_t page) const { return path(page, InkLayer_back); }
  std::string frontPath(int32_t page) const { return path(page, InkLayer_front); }

  // Creates (or empties) both files of the page; raises the file errors
  // (362, 365) when the work folder cannot be written.
  void createEmpty(int32_t page) const;
  // Renames both files of page `from` to page `to` (replacing files of
  // `to`); missing files are skipped.
  void move(int32_t from, int32_t to) const;
  // Renames both files of page `from` to page `to` of another note's files
  // in the same folder (replacing them); missing files are skipped.
  void moveTo(int32_t from, const InkLayerFiles& other, int32_t to) const;
  // Deletes both files of the page (missing files are skipped).
  void remove(int32_t page) const;
  // Renames the files of pages first ... last (inclusive) by `delta`, in the
  // order that never replaces a file of the range that has not moved yet:
  // from the top down when delta > 0, from the bottom up when delta < 0.
  void shift(int32_t first, int32_t last, int32_t delta) const;
  // Exchanges the files of two pages (through a parking number).
  void exchange(int32_t a, int32_t b) const;

  // Moves the files of pages [first, end) so that the block lands in front
  // of the page that had number `to` before the move (to <= last + 1); the
  // pages between the old and the new place close the gap.  Nothing happens
  // when `to` lies within first ... end.
  void moveBlock(int32_t first, int32_t end, int32_t to) const;

  // Deletes every "ink_%08X_*" file of this document number; returns how
  // many were deleted.
  int deleteAll() const;

 private:
  std::string folder_;
  int32_t documentNumber_;
};
