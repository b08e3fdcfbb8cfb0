#include "figures/base/figure_numbering.h"

#include <algorithm>

#include "figures/base/links.h"

namespace {

// Every partner number a figure holds, in any of its link slots.
std::vector<int32_t> partnerNumbers(CadPrim& f) {
  std::vector<int32_t> out;
  const LinkSlots slots = Links_slotsOf(f);
  for (const LinkSlots::End& e : slots.ends) out.push_back(e.link->number());
  for (const NodeLinks* n : slots.nodes)
    for (const Attachment& a : n->records()) out.push_back(a.lineNumber);
  return out;
}

}  // namespace

void Figures_renumberCopies(std::span<const std::unique_ptr<CadPrim>> copies,
                            AppCounters& counters) {
  for (const auto& c : copies) counters.raiseFigureNumberAbove(c->GetNumber());
  std::vector<std::pair<int32_t, int32_t>> pairs;
  std::vector<int32_t> fresh;
  for (const auto& c : copies) {
    if (c->GetNumber() <= 0) continue;
    pairs.emplace_back(c->GetNumber(), counters.nextFigureNumber());
    fresh.push_back(pairs.back().second);
  }
  // New numbers are above every old one, so a rename never meets a number
  // renamed before it.
  std::vector<bool> renamed(copies.size(), false);
  for (const auto& [oldNumber, newNumber] : pairs) {
    for (const auto& c : copies) c->RenumberLinks(oldNumber, newNumber);
    for (size_t i = 0; i < copies.size(); ++i)
      if (!renamed[i] && copies[i]->GetNumber() == oldNumber) {
        copies[i]->SetNumber(newNumber);
        renamed[i] = true;
        break;
      }
  }
  for (const auto& c : copies)
    for (int32_t n : partnerNumbers(*c))
      if (n > 0 && std::find(fresh.begin(), fresh.end(), n) == fresh.end())
        c->RenumberLinks(n, 0);
}

std::vector<CadPrim*> Figures_duplicate(FigureList& list, std::span<CadPrim* const> figures,
                                        AppCounters& counters) {
  std::vector<std::unique_ptr<CadPrim>> copies;
  for (CadPrim* f : figures) copies.push_back(f->Clone(&list));
  Figures_renumberCopies(copies, counters);
  std::vector<CadPrim*> out;
  for (auto& c : copies) out.push_back(&list.append(std::move(c)));
  FigureList_resolveLinks(list);
  return out;
}
