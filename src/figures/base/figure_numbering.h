// Creating, numbering and duplicating figures.
#pragma once

#include <memory>
#include <span>
#include <utility>
#include <vector>

#include "figures/base/app_counters.h"
#include "figures/base/cad_prim.h"
#include "figures/base/figure_list.h"

// A new figure of kind T (its constructor's defaults) with a fresh number.
template <class T, class... Args>
std::unique_ptr<T> Figure_create(AppCounters& counters, Args&&... args) {
  auto f = std::make_unique<T>(std::forward<Args>(args)...);
  f->SetNumber(counters.nextFigureNumber());
  return f;
}

// Gives a set of copies (clones or pasted snapshots, not yet in a list)
// fresh numbers: the counter is first raised above every number of the set,
// one number is issued per copy, and for each pair (old, new) every copy
// gets RenumberLinks(old, new) and the copy numbered old SetNumber(new), so
// that links among the copies refer to the copies.  Partner numbers that
// name no copy are then set to 0 (the copies' links to figures outside the
// set are dropped).  Copies whose number is 0 or less (the canvas) keep it.
void Figures_renumberCopies(std::span<const std::unique_ptr<CadPrim>> copies,
                            AppCounters& counters);

// Duplicates figures of `list`: clones each (in the given order), renumbers
// the clones (above), appends them to the list and resolves the list's
// links.  Returns the new figures, in the same order.
std::vector<CadPrim*> Figures_duplicate(FigureList& list, std::span<CadPrim* const> figures,
                                        AppCounters& counters);
