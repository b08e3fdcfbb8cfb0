// A view host that shows one page made of a figure list of its own, whose
// first figure is the page's Canvas; the page never turns.
#pragma once

#include <memory>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "view/child_view/child_view.h"

struct ListPageHost : ChildViewHost {
  FigureList list;
  Canvas* canvas = nullptr;

  ListPageHost(int32_t width, int32_t height) {
    auto c = std::make_unique<Canvas>();
    c->setSize(width, height);
    canvas = static_cast<Canvas*>(&list.append(std::move(c)));
  }
  ViewPageSource CurrentPage() override {
    ViewPageSource s;
    s.figures = &list;
    s.canvas = canvas;
    return s;
  }
  int32_t CurrentPageNumber() override { return 1; }
  bool TurnPage(int) override { return false; }
  void GoToPage(int32_t) override {}
  void SwitchBackPage() override {}
  void GridChanged(const Canvas&) override {}
  bool Japanese() const override { return true; }
  uint32_t WindowId() override { return 0; }
};
