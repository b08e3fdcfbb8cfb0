#include "figures/base/figure_list.h"

#include <algorithm>

#include "figures/base/links.h"

FigureList::~FigureList() { clear(); }

CadPrim& FigureList::append(std::unique_ptr<CadPrim> figure) {
  changed();
  figures_.push_back(std::move(figure));
  return *figures_.back();
}

CadPrim& FigureList::insert(size_t at, std::unique_ptr<CadPrim> figure) {
  if (at > figures_.size()) at = figures_.size();
  changed();
  auto it = figures_.insert(figures_.begin() + static_cast<std::ptrdiff_t>(at),
                            std::move(figure));
  return **it;
}

std::ptrdiff_t FigureList::indexOf(const CadPrim& figure) const {
  for (size_t i = 0; i < figures_.size(); ++i)
    if (figures_[i].get() == &figure) return static_cast<std::ptrdiff_t>(i);
  return -1;
}

std::unique_ptr<CadPrim> FigureList::remove(const CadPrim& figure) {
  std::ptrdiff_t i = indexOf(figure);
  if (i < 0) return nullptr;
  changed();
  std::unique_ptr<CadPrim> out = std::move(figures_[static_cast<size_t>(i)]);
  figures_.erase(figures_.begin() + i);
  out->DetachAll(true);
  return out;
}

bool FigureList::move(const CadPrim& figure, size_t at) {
  const std::ptrdiff_t i = indexOf(figure);
  if (i < 0) return false;
  const size_t from = static_cast<size_t>(i);
  if (at > figures_.size()) at = figures_.size();
  auto first = figures_.begin();
  if (at > from) {
    std::rotate(first + i, first + i + 1, first + static_cast<std::ptrdiff_t>(at));
  } else if (at < from) {
    std::rotate(first + static_cast<std::ptrdiff_t>(at), first + i, first + i + 1);
  }
  return true;
}

void FigureList::clear() {
  changed();
  while (!figures_.empty()) {
    std::unique_ptr<CadPrim> last = std::move(figures_.back());
    figures_.pop_back();
    last.reset();
  }
}

CadPrim* FigureList::FindFigureByNumber(int32_t number) const {
  if (number <= 0) return nullptr;
  // Short lists are walked; long ones keep an index of their numbers.
  constexpr size_t kIndexFrom = 64;
  if (figures_.size() >= kIndexFrom) {
    if (byNumber_.empty()) {
      byNumber_.reserve(figures_.size());
      for (const auto& f : figures_) byNumber_.emplace(f->GetNumber(), f.get());
    }
    const auto it = byNumber_.find(number);
    if (it != byNumber_.end() && it->second->GetNumber() == number) return it->second;
  }
  for (const auto& f : figures_)
    if (f->GetNumber() == number) return f.get();
  return nullptr;
}

void FigureList_resolveLinks(FigureList& list) {
  for (const auto& f : list) f->ResolveLinks(list);
  Links_dropOneSided(list);
}
