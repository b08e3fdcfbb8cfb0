// The figures of one page in painting order (later ones paint over earlier
// ones); the first is the page's canvas.  The list owns its figures.
// Removing a figure detaches its links first, so no figure of the list is
// left pointing at it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "figures/base/cad_prim.h"

class FigureList {
 public:
  FigureList() = default;
  FigureList(const FigureList&) = delete;
  FigureList& operator=(const FigureList&) = delete;
  FigureList(FigureList&&) = default;
  FigureList& operator=(FigureList&&) = default;
  // Destroys the figures from the last to the first; each non-copy detaches
  // its links as it goes.
  ~FigureList();

  size_t size() const { return figures_.size(); }
  bool empty() const { return figures_.empty(); }
  CadPrim& at(size_t i) const { return *figures_.at(i); }
  auto begin() const { return figures_.begin(); }
  auto end() const { return figures_.end(); }

  // Takes ownership; returns the figure.
  CadPrim& append(std::unique_ptr<CadPrim> figure);
  // Inserts before index `at` (at == size() appends).
  CadPrim& insert(size_t at, std::unique_ptr<CadPrim> figure);
  // The figure's index, or -1 when the list does not hold it.
  std::ptrdiff_t indexOf(const CadPrim& figure) const;
  // Detaches every link of the figure (both sides) and hands it back; null
  // when the list does not hold it.
  std::unique_ptr<CadPrim> remove(const CadPrim& figure);
  // Moves a figure of the list so that it stands before index `at` of the
  // list as it was (at == size() moves it to the end), keeping its links;
  // false when the list does not hold it.
  bool move(const CadPrim& figure, size_t at);
  // Removes and destroys every figure.
  void clear();

  // The first figure from the head whose GetNumber is `number`.  Numbers of
  // 0 or less are never looked up (the canvas reports -1): null.
  CadPrim* FindFigureByNumber(int32_t number) const;

 private:
  // Any change of the list's figures forgets the number index.
  void changed() { byNumber_.clear(); }
  std::vector<std::unique_ptr<CadPrim>> figures_;
  // Figure numbers of a long list, made on the first look-up after a
  // change (a figure renumbered since is found by the walk it falls back
  // on).
  mutable std::unordered_map<int32_t, CadPrim*> byNumber_;
};

// Resolves the links of every figure of the list, once each and without
// recursion, then drops every link that only one side holds: afterwards a
// line end points at a node only when the node holds a record of that end,
// and every record of a node points at a line whose end points back.
void FigureList_resolveLinks(FigureList& list);
