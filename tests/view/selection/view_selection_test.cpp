// The selection of the editing view as the user makes it: clicks, Ctrl and
// Shift clicks, rubber bands, select all, the canvas corner, and the hit
// order of overlapping figures.
#include <gtest/gtest.h>

#include "selection_page.h"
#include "view/selection/page_hit_test.h"
#include "view/selection/view_selection.h"

using namespace selection_test;

TEST(PageHitTest, UpperFigureWinsAndHeldFigureKeepsPressUnlessSmallerInside) {
  Page pg;
  ViewSelection s(pg.list);
  // Equal distance (both bodies, 0): the later, upper figure.
  PageHit h = s.HitTestPage(80, 60, 100, 0);
  EXPECT_EQ(h.figure, pg.over);
  EXPECT_EQ(h.hit.code, -1);
  EXPECT_EQ(h.hit.dx, 60 - 80);
  EXPECT_EQ(h.hit.dy, 40 - 60);
  // Nothing: the grab offset says none.
  h = s.HitTestPage(250, 350, 100, 0);
  EXPECT_EQ(h.figure, nullptr);
  EXPECT_EQ(h.hit.code, 0);
  EXPECT_EQ(h.hit.dx, PageHit_noGrab);
  EXPECT_EQ(h.hit.dy, PageHit_noGrab);
  // The canvas is never hit, not even at its corner.
  EXPECT_EQ(s.HitTestPage(600, 400, 100, 0).figure, nullptr);

  // With big held: the partly covering figure loses to it ...
  Click(s, {15, 80});
  ASSERT_EQ(s.HoldPrim(), pg.big);
  EXPECT_EQ(s.HitTestPage(80, 60, 100, 0).figure, pg.big);
  // ... the one wholly inside it wins.
  EXPECT_EQ(s.HitTestPage(40, 35, 100, 0).figure, pg.inner);
  // The figure to skip is never reported.
  EXPECT_EQ(PageHit_test(pg.list, 80, 60, 100, 0, nullptr, pg.over).figure, pg.big);
  // The preferred figure's hit can be reported as another one (the in-place
  // editor standing for the held text box).
  h = PageHit_test(pg.list, 80, 60, 100, 0, pg.big, nullptr, pg.a);
  EXPECT_EQ(h.figure, pg.a);
  EXPECT_EQ(h.hit.code, -1);
  ExpectInvariants(s, pg.list);
}

TEST(PageHitTest, HandlesOfTurnedRectangle) {
  Page pg;
  ViewSelection s(pg.list);
  // The box (300, 100) 100 x 50 turned by 90 degrees about (350, 125):
  // its bottom-right handle (401, 151) lies at (324, 176), its top-left
  // (300, 100) at (375, 75).
  Click(s, {350, 125});
  ASSERT_EQ(s.HoldPrim(), pg.turned);
  PageHit h = s.HitTestPage(324, 176, 100, 0);
  EXPECT_EQ(h.figure, pg.turned);
  EXPECT_EQ(h.hit.code, 8);
  EXPECT_EQ(h.hit.cursor, HitCursor_SizeDiagonalUp);  // turned a quarter
  h = s.HitTestPage(375, 75, 100, 0);
  EXPECT_EQ(h.hit.code, 1);
  // Where the unturned corner would be, nothing.
  EXPECT_EQ(s.HitTestPage(401, 151, 100, 0).figure, nullptr);
  // Pressed on a handle with nothing else selected, the drag resizes.
  s.Press({324, 176}, {}, {});
  EXPECT_EQ(s.DragMode(), 8);
  s.Release({330, 180});
  ExpectInvariants(s, pg.list);
  // In the rotate tool a handle reports the move cursor.
  EXPECT_EQ(s.HitTestPage(324, 176, 100, 1).hit.cursor, HitCursor_Move);
}

TEST(ViewSelection, ClickCtrlClickAndShiftClickToggle) {
  Page pg;
  ViewSelection s(pg.list);
  Click(s, {15, 80});  // big
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.big});
  EXPECT_EQ(s.HoldPrim(), pg.big);
  EXPECT_EQ(s.DragMode(), -1);
  EXPECT_TRUE(s.TakeSelectionChanged());
  ExpectInvariants(s, pg.list);

  // Ctrl+click adds the other figure and holds it.
  s.Press({150, 110}, kCtrl, {});
  EXPECT_EQ(s.DragMode(), SelectionDrag_selection);
  EXPECT_EQ(s.PrevHoldPrim(), pg.big);
  s.Release({150, 110});
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.big, pg.over}));
  EXPECT_EQ(s.HoldPrim(), pg.over);
  ExpectInvariants(s, pg.list);

  // Ctrl+click on a selected figure and a drag: it stays, comes to the
  // front, the whole selection moves.
  s.Press({15, 80}, kCtrl, {});
  EXPECT_TRUE(s.WasSelected());
  EXPECT_EQ(s.Selection().front(), pg.big);
  s.Move({20, 85});
  s.Release({20, 85});
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.big, pg.over}));
  EXPECT_EQ(s.DragMode(), SelectionDrag_selection);
  ExpectInvariants(s, pg.list);

  // A plain click on a selected figure keeps the others; the drag moves
  // them all.
  s.Press({150, 110}, {}, {});
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.over, pg.big}));
  EXPECT_EQ(s.DragMode(), SelectionDrag_selection);
  EXPECT_EQ(s.BeforeCopies().size(), s.MoveSet().size());
  s.Release({150, 110});
  ExpectInvariants(s, pg.list);

  // Ctrl+click on a selected figure without moving takes it out; the new
  // front figure is held.
  Click(s, {150, 110}, kCtrl);
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.big});
  EXPECT_EQ(s.HoldPrim(), pg.big);
  EXPECT_FALSE(pg.over->IsSelected());
  EXPECT_EQ(s.BeforePrim(), nullptr);
  EXPECT_TRUE(s.BeforeCopies().empty());
  ExpectInvariants(s, pg.list);
  // Shift does the same; the last one out leaves nothing held.
  Click(s, {15, 80}, kShift);
  EXPECT_TRUE(s.Selection().empty());
  EXPECT_EQ(s.HoldPrim(), nullptr);
  ExpectInvariants(s, pg.list);

  // The multi-select tool adds without a modifier.
  SelectionPress multi;
  multi.tool = SelectionTool_multiSelect;
  Click(s, {15, 80}, {}, multi);
  Click(s, {230, 255}, {}, multi);
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.big, pg.line}));
  ExpectInvariants(s, pg.list);

  // A plain click elsewhere selects only that figure.
  Click(s, {150, 110});
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.over});
  ExpectInvariants(s, pg.list);
  // A click on empty canvas deselects everything.
  Click(s, {250, 350});
  EXPECT_TRUE(s.Selection().empty());
  ExpectInvariants(s, pg.list);
}

TEST(ViewSelection, BeforeCopiesAreMarkedCopiesOfTheMoveSet) {
  Page pg;
  ViewSelection s(pg.list);
  // A text box carries its connector along: the move set holds both in
  // page order, each with a copy.
  s.Press({395, 104}, {}, {});
  EXPECT_EQ(s.HoldPrim(), pg.a);
  EXPECT_EQ(s.MoveSet(), (std::vector<CadPrim*>{pg.a, pg.conn}));
  ASSERT_EQ(s.BeforeCopies().size(), 2u);
  for (size_t i = 0; i < 2; ++i) {
    const CadPrim& copy = *s.BeforeCopies()[i];
    EXPECT_TRUE(copy.Equals(*s.MoveSet()[i], 0));
    EXPECT_TRUE(dynamic_cast<const CadFigure&>(copy).isCopy());
  }
  ASSERT_NE(s.BeforePrim(), nullptr);
  EXPECT_EQ(s.BeforePrim()->GetNumber(), pg.a->GetNumber());
  EXPECT_TRUE(dynamic_cast<const CadFigure*>(s.BeforePrim())->isCopy());
  auto copies = s.ReleaseBeforeCopies();
  EXPECT_EQ(copies.size(), 2u);
  EXPECT_TRUE(s.BeforeCopies().empty());
  s.Release({395, 104});
  ExpectInvariants(s, pg.list);
}

TEST(ViewSelection, RubberBandSelectsAndWithCtrlToggles) {
  Page pg;
  ViewSelection s(pg.list);
  Click(s, {15, 80});  // big
  s.TakeDirtyRect();
  // Without a modifier: the press on empty canvas clears, the band selects
  // what it meets (inclusive corners).
  s.Press({190, 240}, {}, {});
  EXPECT_EQ(s.DragMode(), SelectionDrag_rubberBand);
  EXPECT_EQ(s.HoldPrim(), nullptr);
  EXPECT_FALSE(pg.big->IsSelected());
  s.Move({270, 270});
  ASSERT_TRUE(s.RubberBand().has_value());
  EXPECT_EQ(*s.RubberBand(), (Rect32{190, 240, 81, 31}));
  std::optional<Rect32> dirty = s.TakeDirtyRect();
  ASSERT_TRUE(dirty.has_value());
  EXPECT_TRUE(Rect32_overlaps(*dirty, Rect32{15, 15, 1, 1}));  // big's marks went
  EXPECT_TRUE(Rect32_overlaps(*dirty, Rect32{269, 269, 1, 1}));  // the band grew
  s.Release({270, 270});
  EXPECT_FALSE(s.RubberBand().has_value());
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.line});
  EXPECT_EQ(s.HoldPrim(), pg.line);
  ExpectInvariants(s, pg.list);

  // A Ctrl press on empty canvas keeps the selection while the band is
  // dragged; a click without a move toggles nothing.
  Click(s, {15, 80});
  s.Press({250, 350}, kCtrl, {});
  EXPECT_TRUE(pg.big->IsSelected());
  s.Release({250, 350});
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.big});
  EXPECT_EQ(s.HoldPrim(), pg.big);
  ExpectInvariants(s, pg.list);
}

TEST(ViewSelection, CtrlRubberBandTogglesEachFigure) {
  Page pg;
  ViewSelection s(pg.list);
  Click(s, {15, 80});  // big
  ASSERT_EQ(s.Selection(), std::vector<CadPrim*>{pg.big});
  // From empty canvas below the figures up over big, over and inner.
  s.Press({65, 140}, kCtrl, {});
  EXPECT_EQ(s.DragMode(), SelectionDrag_rubberBand);
  EXPECT_TRUE(pg.big->IsSelected());
  s.Move({55, 45});
  s.Release({55, 45});
  EXPECT_FALSE(pg.big->IsSelected());
  EXPECT_TRUE(pg.over->IsSelected());
  EXPECT_TRUE(pg.inner->IsSelected());
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.over, pg.inner}));
  EXPECT_EQ(s.HoldPrim(), pg.inner);
  ExpectInvariants(s, pg.list);
  // The same band again toggles them all back.
  s.Press({65, 140}, kCtrl, {});
  s.Release({55, 45});
  EXPECT_EQ(s.Selection(), std::vector<CadPrim*>{pg.big});
  EXPECT_EQ(s.HoldPrim(), pg.big);
  ExpectInvariants(s, pg.list);
  // A band over both text boxes drops their connector from the selection
  // (it moves with them anyway).
  s.Press({390, 60}, {}, {});
  s.Release({560, 230});
  EXPECT_TRUE(pg.a->IsSelected());
  EXPECT_TRUE(pg.b->IsSelected());
  EXPECT_FALSE(pg.conn->IsSelected());
  EXPECT_NE(std::find(s.MoveSet().begin(), s.MoveSet().end(), pg.conn), s.MoveSet().end());
  ExpectInvariants(s, pg.list);
}

TEST(ViewSelection, SelectAllAndDeselectAll) {
  Page pg;
  ViewSelection s(pg.list);
  s.SelectAll();
  // Every figure but the canvas and the connector between two selected
  // boxes; the last one stays held and comes to the front.
  EXPECT_EQ(s.Selection(), (std::vector<CadPrim*>{pg.turned, pg.big, pg.over, pg.inner, pg.line,
                                                   pg.a, pg.b}));
  EXPECT_EQ(s.HoldPrim(), pg.turned);
  EXPECT_FALSE(pg.conn->IsSelected());
  EXPECT_EQ(s.MoveSet().size(), 8u);  // the connector moves along
  EXPECT_TRUE(s.TakeSelectionChanged());
  ExpectInvariants(s, pg.list);
  // A Ctrl+click on the connector is ignored: it cannot stay in this
  // selection.
  ASSERT_EQ(s.HitTestPage(460, 145, 100, 0).figure, pg.conn);
  s.Press({460, 145}, kCtrl, {});
  EXPECT_EQ(s.DragMode(), SelectionDrag_none);
  s.Release({460, 145});
  EXPECT_FALSE(pg.conn->IsSelected());
  ExpectInvariants(s, pg.list);

  EXPECT_TRUE(s.DeselectAll());
  EXPECT_TRUE(s.Selection().empty());
  EXPECT_TRUE(s.MoveSet().empty());
  EXPECT_EQ(s.HoldPrim(), nullptr);
  for (const auto& f : pg.list) {
    if (f->GetKind() != FigureKind_Canvas) EXPECT_FALSE(f->HasMoveMark());
  }
  ExpectInvariants(s, pg.list);
  EXPECT_FALSE(s.DeselectAll());

  // Another page: the selection of the old one is cleared.
  s.SelectAll();
  FigureList other;
  s.SetPage(other);
  EXPECT_FALSE(pg.big->IsSelected());
  EXPECT_TRUE(s.Selection().empty());
}

TEST(ViewSelection, CanvasCornerGrabbedNearItRubberBandBeyond) {
  Page pg;
  ViewSelection s(pg.list);
  // Up to 8 units beyond the corner (at 100 %) and 4 inside: the corner.
  for (Point32 p : {Point32{608, 408}, Point32{596, 396}, Point32{600, 400}}) {
    s.Press(p, {}, {});
    EXPECT_EQ(s.HoldPrim(), pg.canvas) << p.x;
    EXPECT_EQ(s.DragMode(), SelectionDrag_canvasCorner);
    EXPECT_EQ(s.GrabOffset(), (Point32{0, 0}));
    ASSERT_NE(s.BeforePrim(), nullptr);
    EXPECT_EQ(s.BeforePrim()->GetKind(), FigureKind_Canvas);
    s.Release(p);
    ExpectInvariants(s, pg.list);
  }
  // Nine beyond: a rubber band.
  s.Press({609, 400}, {}, {});
  EXPECT_EQ(s.HoldPrim(), nullptr);
  EXPECT_EQ(s.DragMode(), SelectionDrag_rubberBand);
  s.Release({609, 400});
  // At 50 % the reach beyond the canvas doubles.
  SelectionPress half;
  half.zoom = 50;
  s.Press({616, 400}, {}, half);
  EXPECT_EQ(s.DragMode(), SelectionDrag_canvasCorner);
  s.Release({616, 400});
  s.Press({617, 400}, {}, half);
  EXPECT_EQ(s.DragMode(), SelectionDrag_rubberBand);
  s.Release({617, 400});
  ExpectInvariants(s, pg.list);
}

TEST(ViewSelection, DirtyRectCoversOldAndNewMarks) {
  Page pg;
  ViewSelection s(pg.list);
  Click(s, {15, 80});
  s.TakeDirtyRect();
  Click(s, {230, 255});  // the line; big loses its marks
  std::optional<Rect32> d = s.TakeDirtyRect();
  ASSERT_TRUE(d.has_value());
  // big's handles reach 4 pixels beyond (10, 10) .. (111, 91).
  EXPECT_LE(d->x, 6);
  EXPECT_LE(d->y, 6);
  EXPECT_GE(Rect32_right(*d), 265);
  EXPECT_GE(Rect32_bottom(*d), 265);
  EXPECT_FALSE(s.TakeDirtyRect().has_value());
  // A press that changes nothing leaves nothing to repaint but the held
  // figure.
  Click(s, {230, 255});
  d = s.TakeDirtyRect();
  ASSERT_TRUE(d.has_value());
  EXPECT_GT(d->x, 150);
}
