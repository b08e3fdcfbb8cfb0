// A page of fixture figures for the selection tests, and the check of the
// selection's invariants.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>

#include "figures/base/figure_list.h"
#include "figures/canvas/canvas.h"
#include "figures/corner/line_corner.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box_fixture.h"
#include "view/selection/view_selection.h"

namespace selection_test {

// Canvas 600 x 400, then in painting order:
//   big    Rect_Ex (10, 10) 100 x 80
//   over   Rect_Ex (60, 40) 100 x 80, partly over big
//   inner  Rect_Ex (20, 20) 40 x 30, wholly inside big
//   line   Line_Ex (200, 250) - (260, 260)
//   a, b   Text_Box at (400, 100) and (500, 200)
//   conn   Line_Corner from a to b
//   turned Rect_Ex (300, 100) 100 x 50 turned by 90 degrees
struct Page {
  FigureList list;
  Canvas* canvas = nullptr;
  Rect_Ex* big = nullptr;
  Rect_Ex* over = nullptr;
  Rect_Ex* inner = nullptr;
  Line_Ex* line = nullptr;
  Text_Box* a = nullptr;
  Text_Box* b = nullptr;
  Line_Corner* conn = nullptr;
  Rect_Ex* turned = nullptr;

  Page() {
    auto c = std::make_unique<Canvas>();
    c->setSize(600, 400);
    canvas = static_cast<Canvas*>(&list.append(std::move(c)));
    big = rect(1, 10, 10, 100, 80);
    over = rect(2, 60, 40, 100, 80);
    inner = rect(3, 20, 20, 40, 30);
    auto l = std::make_unique<Line_Ex>();
    l->SetNumber(4);
    l->SetPoints({200, 250}, {260, 260});
    line = static_cast<Line_Ex*>(&list.append(std::move(l)));
    a = box(5, 400, 100);
    b = box(6, 500, 200);
    auto k = std::make_unique<Line_Corner>();
    k->SetNumber(7);
    k->setEnd(1, 410, 95);
    k->setEnd(2, 510, 195);
    k->setThrough(460, 145);
    k->setAutoCentre(false);
    conn = static_cast<Line_Corner*>(&list.append(std::move(k)));
    a->AttachEnd(0, *conn, 1);
    b->AttachEnd(0, *conn, 2);
    turned = rect(8, 300, 100, 100, 50);
    turned->angle = 90;
  }
  Rect_Ex* rect(int32_t n, int32_t x, int32_t y, int32_t w, int32_t h) {
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(n);
    r->x = x;
    r->y = y;
    r->width = w;
    r->height = h;
    return static_cast<Rect_Ex*>(&list.append(std::move(r)));
  }
  Text_Box* box(int32_t n, int32_t x, int32_t y) {
    auto t = std::make_unique<Text_Box>(&text_box_test::metrics());
    t->SetNumber(n);
    t->SetText("abc");
    t->SetBasePoint(x, y);
    text_box_test::layOut(*t);
    return static_cast<Text_Box*>(&list.append(std::move(t)));
  }
};

// The invariants that hold after every complete operation.
inline void ExpectInvariants(const ViewSelection& s, const FigureList& page) {
  const auto& sel = s.Selection();
  std::set<const CadPrim*> members(sel.begin(), sel.end());
  EXPECT_EQ(members.size(), sel.size()) << "a figure is selected twice";
  for (const auto& f : page) {
    if (f->GetKind() == FigureKind_Canvas) {
      EXPECT_EQ(members.count(f.get()), 0u) << "the canvas is selected";
      continue;
    }
    EXPECT_EQ(f->IsSelected(), members.count(f.get()) == 1) << "figure " << f->GetNumber();
  }
  for (const CadPrim* m : sel) EXPECT_GE(page.indexOf(*m), 0) << "not on the page";
  const CadPrim* held = s.HoldPrim();
  if (!held || held->GetKind() != FigureKind_Canvas) {
    EXPECT_EQ(held == nullptr, sel.empty());
    if (held) EXPECT_EQ(members.count(held), 1u) << "the held figure is not selected";
  }
  // The move set: the page's move-marked figures in page order, the
  // selection among them.
  std::vector<CadPrim*> marked;
  for (const auto& f : page) {
    if (f->GetKind() != FigureKind_Canvas && f->HasMoveMark()) marked.push_back(f.get());
  }
  EXPECT_EQ(s.MoveSet(), marked);
  for (CadPrim* m : sel) {
    EXPECT_NE(std::find(marked.begin(), marked.end(), m), marked.end());
  }
}

inline void Click(ViewSelection& s, Point32 p, SelectionModifiers mods = {},
                  SelectionPress how = {}) {
  s.Press(p, mods, how);
  s.Release(p);
}

inline constexpr SelectionModifiers kCtrl{false, true};
inline constexpr SelectionModifiers kShift{true, false};

}  // namespace selection_test
