#include "figures/base/figure_numbering.h"

#include <algorithm>
#include <unordered_map>

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
  // Old number -> new number (the first copy of a number gives it).
  std::unordered_map<int32_t, int32_t> renamed;
  std::vector<int32_t> fresh(copies.size(), 0);
  for (size_t i = 0; i < copies.size(); ++i) {
    const int32_t n = copies[i]->GetNumber();
    if (n <= 0) continue;
    fresh[i] = counters.nextFigureNumber();
    renamed.emplace(n, fresh[i]);
  }
  for (const auto& c : copies) {
    std::vector<int32_t> partners = partnerNumbers(*c);
    std::sort(partners.begin(), partners.end());
    partners.erase(std::unique(partners.begin(), partners.end()), partners.end());
    // Links to figures outside the copies go first, so that no new number
    // (above every copy's old one) is mistaken for such a link.
    for (int32_t n : partners) {
      if (n > 0 && renamed.find(n) == renamed.end()) c->RenumberLinks(n, 0);
    }
    for (int32_t n : partners) {
      const auto it = renamed.find(n);
      if (n > 0 && it != renamed.end()) c->RenumberLinks(n, it->second);
    }
  }
  for (size_t i = 0; i < copies.size(); ++i) {
    if (fresh[i] != 0) copies[i]->SetNumber(fresh[i]);
  }
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
