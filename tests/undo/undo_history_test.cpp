// The undo history as the user meets it: a page edited step by step (three
// figures created, one moved, one deleted with a line hanging on it, a
// property changed, a z-order move), undone to the start and redone to the
// end with the figures, their links and the modified state checked at every
// step; then pages added, retitled and deleted, and undone and redone.
#include <dirent.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/note/note_document.h"
#include "figures/base/figure_list.h"
#include "figures/line/line_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "undo_test_util.h"

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;
using undo_test::copyPage;
using undo_test::layOutAll;
using undo_test::oneSidedLink;
using undo_test::PageCopy;
using undo_test::pageDiff;

namespace {

class UndoScenario : public ::testing::Test {
 protected:
  void SetUp() override { doc.NewDocument(7, false); }

  FigureList& list() { return doc.workingFigures(); }

  Text_Box& addBox(int32_t number, int32_t x, int32_t y, const char* text) {
    auto box = std::make_unique<Text_Box>(&undo_test::metrics());
    box->SetNumber(number);
    box->SetText(text);
    box->SetBasePoint(x, y);
    box->Layout(undo_test::metrics(), DrawContext{});
    return static_cast<Text_Box&>(list().append(std::move(box)));
  }

  // Every state the page went through, with the modified state expected
  // there.
  void keep(bool modified) {
    states.push_back(copyPage(list()));
    modifiedAt.push_back(modified);
    ASSERT_EQ("", oneSidedLink(list()));
    ASSERT_EQ(modified, history.IsModified());
  }
  void expectState(size_t i) {
    SCOPED_TRACE("state " + std::to_string(i));
    EXPECT_EQ("", pageDiff(list(), states.at(i)));
    EXPECT_EQ("", oneSidedLink(list()));
    // Modified everywhere but at the saved state.
    EXPECT_EQ(i != savedState, history.IsModified());
    layOutAll(list());  // as the view does with the restored text boxes
  }

  TempDir tmp;
  NoteDocument doc{tmp.path()};
  UndoHistory history;
  std::vector<PageCopy> states;
  std::vector<bool> modifiedAt;
  size_t savedState = 0;
};

// Creates two text boxes and a line between them, moves the first box (the
// line follows), saves, deletes the second box (the line's end hangs on
// it), recolours the first box and sends the line to the back; then undoes
// everything and redoes everything.
TEST_F(UndoScenario, UserTaskUndoneToTheStartAndRedoneToTheEnd) {
  keep(false);  // 0: the empty page

  Text_Box& a = addBox(101, 100, 100, "alpha");
  ASSERT_TRUE(history.RecordCreation(a, doc, 1));
  keep(true);  // 1

  Text_Box& b = addBox(102, 300, 200, "beta");
  ASSERT_TRUE(history.RecordCreation(b, doc, 1));
  keep(true);  // 2

  {  // a line pulled from a to b: source change, line creation, target change
    UndoGroup group(history);
    auto beforeA = Undo_copyOf(a, &list());
    auto beforeB = Undo_copyOf(b, &list());
    auto made = std::make_unique<Line_Ex>();
    made->SetNumber(103);
    made->SetPoints({120, 100}, {300, 200});
    Line_Ex& line = static_cast<Line_Ex&>(list().append(std::move(made)));
    a.AttachEnd(0, line, 1);
    b.AttachEnd(0, line, 2);
    ASSERT_TRUE(history.RecordCreation(line, doc, 1));
    ASSERT_TRUE(history.RecordChange(std::move(beforeA), a, doc, 1));
    ASSERT_TRUE(history.RecordChange(std::move(beforeB), b, doc, 1));
  }
  keep(true);  // 3
  EXPECT_EQ(5u, history.recordCount());
  Line_Ex* line = static_cast<Line_Ex*>(list().FindFigureByNumber(103));
  ASSERT_EQ(&b, line->GetEndTarget(2));

  {  // the first box moved: the line's end follows it
    UndoGroup group(history);
    auto beforeA = Undo_copyOf(a, &list());
    auto beforeL = Undo_copyOf(*line, &list());
    const Point32 end1 = line->point1();
    a.MoveBy(40, 30);
    ASSERT_NE(end1, line->point1());
    ASSERT_TRUE(history.RecordChange(std::move(beforeA), a, doc, 1));
    ASSERT_TRUE(history.RecordChange(std::move(beforeL), *line, doc, 1));
  }
  history.MarkSaved();  // the note is saved here
  keep(false);          // 4
  savedState = 4;

  // Deleting the second box; the line's end comes off it.
  ASSERT_TRUE(history.RecordDeletion(b, doc, 1));
  list().remove(b).reset();
  ASSERT_EQ(nullptr, line->GetEndTarget(2));
  keep(true);  // 5

  {  // a property of the first box
    auto beforeA = Undo_copyOf(a, &list());
    a.fillColour = 0x00FFCC;
    ASSERT_TRUE(history.RecordChange(std::move(beforeA), a, doc, 1));
  }
  keep(true);  // 6

  {  // z-order: the line to the back, right behind the canvas
    auto beforeL = Undo_copyOf(*line, &list());
    ASSERT_TRUE(list().move(*line, 1));
    // -1: the line was the last figure before the move
    ASSERT_TRUE(history.RecordChange(std::move(beforeL), *line, doc, 1, -1));
    ASSERT_EQ(1, list().indexOf(*line));
  }
  keep(true);  // 7
  ASSERT_EQ(10u, history.recordCount());

  // Undo to the start, checking every state on the way.
  for (size_t i = states.size() - 1; i > 0; --i) {
    ASSERT_TRUE(history.Undo(doc)) << i;
    expectState(i - 1);
  }
  EXPECT_FALSE(history.CanUndo());
  EXPECT_FALSE(history.Undo(doc));  // past the start: nothing
  expectState(0);
  EXPECT_EQ(-1, history.PageOfNextUndo(doc));
  EXPECT_EQ(1, history.PageOfNextRedo(doc));

  // Redo to the end.
  for (size_t i = 1; i < states.size(); ++i) {
    ASSERT_TRUE(history.Redo(doc)) << i;
    expectState(i);
  }
  EXPECT_FALSE(history.CanRedo());
  EXPECT_FALSE(history.Redo(doc));  // past the end: nothing
  expectState(states.size() - 1);

  // Undoing the deletion put the box back with the line on it, in front of
  // the same neighbour, and the restored figures are handed to the view.
  ASSERT_TRUE(history.Undo(doc));
  ASSERT_TRUE(history.Undo(doc));
  ASSERT_TRUE(history.Undo(doc));
  expectState(4);
  CadPrim* back = list().FindFigureByNumber(102);
  ASSERT_NE(nullptr, back);
  EXPECT_EQ(list().FindFigureByNumber(102), list().FindFigureByNumber(103)->GetEndTarget(2));
  ASSERT_EQ(1u, history.restored().size());
  EXPECT_EQ(back, history.restored().front());
  EXPECT_FALSE(history.IsModified());  // back at the saved state
}

// A change after undo drops the redo records; when the saved state goes
// with them, the note stays modified even where current meets the mark.
TEST_F(UndoScenario, NewChangeAfterUndoDropsRedoAndTheSavedStateStaysLost) {
  Text_Box& a = addBox(201, 50, 50, "a");
  history.RecordCreation(a, doc, 1);
  for (int step = 0; step < 3; ++step) {
    Text_Box* live = static_cast<Text_Box*>(list().FindFigureByNumber(201));
    auto before = Undo_copyOf(*live, &list());
    live->MoveBy(10, 0);
    ASSERT_TRUE(history.RecordChange(std::move(before), *live, doc, 1));
  }
  ASSERT_EQ(4u, history.recordCount());
  history.MarkSaved();
  EXPECT_FALSE(history.IsModified());

  ASSERT_TRUE(history.Undo(doc));
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_TRUE(history.IsModified());
  EXPECT_EQ(60, list().FindFigureByNumber(201)->GetEdge(6));
  ASSERT_TRUE(history.CanRedo());

  {  // a move that ends where it began leaves no record
    Text_Box* live = static_cast<Text_Box*>(list().FindFigureByNumber(201));
    auto before = Undo_copyOf(*live, &list());
    live->MoveBy(5, 5);
    live->MoveBy(-5, -5);
    EXPECT_FALSE(history.RecordChange(std::move(before), *live, doc, 1));
    EXPECT_TRUE(history.CanRedo());
  }
  {  // a real change drops both redo steps, the saved one among them
    Text_Box* live = static_cast<Text_Box*>(list().FindFigureByNumber(201));
    auto before = Undo_copyOf(*live, &list());
    live->MoveBy(0, 25);
    ASSERT_TRUE(history.RecordChange(std::move(before), *live, doc, 1));
  }
  EXPECT_FALSE(history.CanRedo());
  EXPECT_EQ(3u, history.recordCount());
  EXPECT_TRUE(history.IsModified());
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(2u, history.current());
  EXPECT_TRUE(history.IsModified());  // the file holds a state no longer reachable
  history.MarkSaved();
  EXPECT_FALSE(history.IsModified());
  EXPECT_TRUE(history.IsModified(UndoPendingState{true, false, false}));
  EXPECT_TRUE(history.IsModified(UndoPendingState{false, true, false}));
  EXPECT_TRUE(history.IsModified(UndoPendingState{false, false, true}));
}

// One group is one step, also when it is left by a raised error; a
// creation undone and redone comes back in front of the same neighbour.
TEST_F(UndoScenario, GroupsAreOneStepAndCreationsKeepTheirPlace) {
  Text_Box& a = addBox(301, 10, 10, "a");
  Text_Box& c = addBox(303, 10, 90, "c");
  history.RecordCreation(a, doc, 1);
  history.RecordCreation(c, doc, 1);
  const PageCopy twoBoxes = copyPage(list());

  // b inserted between a and c
  auto made = std::make_unique<Text_Box>(&undo_test::metrics());
  made->SetNumber(302);
  made->SetText("b");
  made->SetBasePoint(10, 50);
  CadPrim& b = list().insert(2, std::move(made));
  history.RecordCreation(b, doc, 1);
  const PageCopy threeBoxes = copyPage(list());

  try {
    UndoGroup group(history);
    for (int32_t n : {301, 302, 303}) {
      CadPrim* live = list().FindFigureByNumber(n);
      auto before = Undo_copyOf(*live, &list());
      live->MoveBy(0, 100);
      history.RecordChange(std::move(before), *live, doc, 1);
    }
    throw 1;  // the operation fails after recording
  } catch (int) {
  }
  EXPECT_EQ(0, history.groupDepth());
  const PageCopy moved = copyPage(list());
  ASSERT_EQ(6u, history.recordCount());

  ASSERT_TRUE(history.Undo(doc));  // the whole group at once
  EXPECT_EQ("", pageDiff(list(), threeBoxes));
  EXPECT_EQ(3u, history.restored().size());
  ASSERT_TRUE(history.Redo(doc));
  EXPECT_EQ("", pageDiff(list(), moved));
  ASSERT_TRUE(history.Undo(doc));
  ASSERT_TRUE(history.Undo(doc));  // the creation of b
  EXPECT_EQ("", pageDiff(list(), twoBoxes));
  ASSERT_TRUE(history.Redo(doc));
  EXPECT_EQ("", pageDiff(list(), threeBoxes));
  EXPECT_EQ(302, list().at(2).GetNumber());  // in front of c again

  // The next change outside a group is a step of its own again.
  CadPrim* live = list().FindFigureByNumber(303);
  auto before = Undo_copyOf(*live, &list());
  live->MoveBy(1, 0);
  ASSERT_TRUE(history.RecordChange(std::move(before), *live, doc, 1));
  EXPECT_TRUE(history.recordAt(history.recordCount() - 1).startsStep);
  EXPECT_EQ(4u, history.recordCount());
}

// A record of another page turns to it first; a text record puts the old
// text back; a mixed-kind change records nothing.
TEST_F(UndoScenario, OtherPageTurnsFirstAndTextEditsComeBack) {
  struct Host : UndoHost {
    std::vector<int32_t> turns;
    void turnToPage(NoteDocument& d, int32_t n, const char* message) override {
      turns.push_back(n);
      EXPECT_EQ(nullptr, message);
      d.SelectPage(n);
    }
  } host;
  Text_Box& a = addBox(401, 10, 10, "old");
  history.RecordCreation(a, doc, 1);
  a.SetText("new");
  history.RecordText(401, 3, "old", "new", doc, 1);
  doc.AddPage(AddPage_next);
  ASSERT_EQ(2, doc.currentPageNumber());

  EXPECT_FALSE(history.RecordFigure(Undo_copyOf(a, nullptr), std::make_unique<Rect_Ex>(),
                                    nullptr, nullptr, doc, 1));
  EXPECT_EQ(2u, history.recordCount());

  EXPECT_EQ(1, history.PageOfNextUndo(doc));
  ASSERT_TRUE(history.Undo(doc, &host));
  EXPECT_EQ(std::vector<int32_t>{1}, host.turns);
  EXPECT_EQ(1, doc.currentPageNumber());
  EXPECT_EQ("old", static_cast<Text_Box*>(doc.page(1)->figures.FindFigureByNumber(401))->text());
  ASSERT_TRUE(history.Redo(doc, &host));
  EXPECT_EQ("new", static_cast<Text_Box*>(doc.page(1)->figures.FindFigureByNumber(401))->text());
  EXPECT_EQ(1u, host.turns.size());  // already on page 1
}

// Pages added, given a figure, retitled and deleted (with a child page and
// ink layer files), then undone to one page and redone.
TEST_F(UndoScenario, PageInsertionRetitleAndDeletionUndoneAndRedone) {
  doc.page(1)->setTitle("p1");
  WriteFileBytes(doc.inkLayerPath(1, InkLayer_back), "ink1");
  const int32_t two = doc.AddPage(AddPage_next);
  ASSERT_EQ(2, two);
  history.RecordPageInsert(1, two, AddPage_next);
  doc.page(2)->setTitle("p2");
  WriteFileBytes(doc.inkLayerPath(2, InkLayer_back), "ink2");
  auto rect = std::make_unique<Rect_Ex>();
  rect->SetNumber(501);
  CadPrim& r = list().append(std::move(rect));
  history.RecordCreation(r, doc, 2);
  history.RecordPageRename(2, "p2", "second");
  doc.page(2)->setTitle("second");
  const int32_t three = doc.AddPage(AddPage_child);
  history.RecordPageInsert(2, three, AddPage_child);
  doc.page(3)->setTitle("p3");
  WriteFileBytes(doc.inkLayerPath(3, InkLayer_back), "ink3");
  doc.SelectPage(2);
  const int32_t four = doc.AddPage(AddPage_next);  // after 2 and its child
  ASSERT_EQ(4, four);
  history.RecordPageInsert(2, four, AddPage_next);
  doc.page(4)->setTitle("p4");
  WriteFileBytes(doc.inkLayerPath(4, InkLayer_back), "ink4");

  auto titles = [&] {
    std::string s;
    for (size_t i = 0; i < doc.pageCount(); ++i) s += doc.pageAt(i).title() + " ";
    return s;
  };
  auto ink = [&](int32_t n) { return ReadFileBytes(doc.inkLayerPath(n, InkLayer_back)); };

  doc.SelectPage(2);
  ASSERT_TRUE(doc.DeletePage(&history));  // page 2 with its child 3
  ASSERT_EQ("p1 p4 ", titles());
  ASSERT_EQ("ink4", ink(2));
  ASSERT_EQ(6u, history.recordCount());
  const std::string full = "p1 second p3 p4 ";

  ASSERT_TRUE(history.Undo(doc));  // the deletion
  EXPECT_EQ(full, titles());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("ink2", ink(2));
  EXPECT_EQ("ink3", ink(3));
  EXPECT_EQ("ink4", ink(4));
  EXPECT_EQ(2, doc.parentNumber(3));
  EXPECT_NE(nullptr, doc.page(2)->figures.FindFigureByNumber(501));

  ASSERT_TRUE(history.Undo(doc));  // page 4
  EXPECT_EQ("p1 second p3 ", titles());
  ASSERT_TRUE(history.Undo(doc));  // page 3
  EXPECT_EQ("p1 second ", titles());
  ASSERT_TRUE(history.Undo(doc));  // the title
  EXPECT_EQ("p1 p2 ", titles());
  ASSERT_TRUE(history.Undo(doc));  // the rectangle
  EXPECT_EQ(nullptr, doc.page(2)->figures.FindFigureByNumber(501));
  ASSERT_TRUE(history.Undo(doc));  // page 2
  EXPECT_EQ("p1 ", titles());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("ink1", ink(1));
  EXPECT_FALSE(history.Undo(doc));

  for (int i = 0; i < 6; ++i) ASSERT_TRUE(history.Redo(doc)) << i;
  EXPECT_EQ("p1 p4 ", titles());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("ink1", ink(1));
  EXPECT_EQ("ink4", ink(2));
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(full, titles());
  EXPECT_EQ("", doc.checkTree());
  EXPECT_EQ("ink2", ink(2));
  EXPECT_EQ("ink3", ink(3));
  EXPECT_NE(nullptr, doc.page(2)->figures.FindFigureByNumber(501));

  // Undone insertions dropped by a new change free their kept pages.
  ASSERT_TRUE(history.Undo(doc));
  ASSERT_TRUE(history.Undo(doc));
  history.RecordPageRename(1, "p1", "first");
  doc.page(1)->setTitle("first");
  EXPECT_EQ(4u, history.recordCount());
  EXPECT_EQ("first second ", titles());
}

// The back page made after a record does not send the record to another
// page; turning to the back page of a two-page note shows the message.
TEST_F(UndoScenario, BackPageTurnShowsTheMessageAndRecordsFollowTheirPage) {
  struct Host : UndoHost {
    std::vector<std::string> messages;
    void turnToPage(NoteDocument& d, int32_t n, const char* message) override {
      messages.push_back(message ? message : "");
      d.SelectPage(n);
    }
  } host;
  Text_Box& a = addBox(601, 10, 10, "one");
  history.RecordCreation(a, doc, 1);
  doc.ToggleBackPage(true);  // page 0 made before page 1
  ASSERT_EQ(0, doc.currentPageNumber());
  Text_Box& z = addBox(602, 10, 10, "back");
  history.RecordCreation(z, doc, 0);
  doc.SelectPage(1);

  EXPECT_EQ(0, history.PageOfNextUndo(doc));
  ASSERT_TRUE(history.Undo(doc, &host));
  ASSERT_EQ(1u, host.messages.size());
  EXPECT_EQ(std::string(Undo_backPageUndoMessage), host.messages[0]);
  EXPECT_EQ(nullptr, doc.page(0)->figures.FindFigureByNumber(602));
  EXPECT_EQ(1, history.PageOfNextUndo(doc));  // by its page, not its old index
  ASSERT_TRUE(history.Undo(doc, &host));
  EXPECT_EQ("", host.messages[1]);
  EXPECT_EQ(nullptr, doc.page(1)->figures.FindFigureByNumber(601));
  ASSERT_TRUE(history.Redo(doc, &host));
  EXPECT_NE(nullptr, doc.page(1)->figures.FindFigureByNumber(601));
  ASSERT_TRUE(history.Redo(doc, &host));
  EXPECT_EQ(std::string(Undo_backPageRedoMessage), host.messages.back());
  EXPECT_NE(nullptr, doc.page(0)->figures.FindFigureByNumber(602));
}

// A page move is undone through the host after the warning; Cancel leaves
// the history where it was.
TEST_F(UndoScenario, PageMoveAsksFirstAndCancelKeepsTheStep) {
  struct Host : UndoHost {
    bool answer = false;
    std::string asked;
    std::vector<std::vector<int32_t>> moves;
    bool confirmPageMove(const char* title, const char* text) override {
      asked = std::string(title) + "|" + text;
      return answer;
    }
    void movePages(NoteDocument&, int32_t first, int32_t end, int32_t to) override {
      moves.push_back({first, end, to});
    }
  } host;
  history.RecordPageMove(2, 3, 5);  // page 2 in front of page 5: now page 4
  history.RecordPageMove(4, 5, 2);  // and back in front of page 2
  EXPECT_FALSE(history.Undo(doc, &host));
  EXPECT_EQ(2u, history.current());
  EXPECT_EQ("警告|失敗することがあるかもしれません。必要ならバックアップしてください。\r\n継続しますか？",
            host.asked);
  host.answer = true;
  ASSERT_TRUE(history.Undo(doc, &host));
  ASSERT_TRUE(history.Undo(doc, &host));
  ASSERT_TRUE(history.Redo(doc, &host));
  const std::vector<std::vector<int32_t>> expected = {{2, 3, 5}, {4, 5, 2}, {2, 3, 5}};
  EXPECT_EQ(expected, host.moves);
}

// Pages kept by undone insertions are freed with their ink layer files
// when a new change drops the records.
TEST_F(UndoScenario, DroppedPageRecordsDeleteTheKeptInkFiles) {
  auto holderFiles = [&] {
    int count = 0;
    DIR* d = opendir(tmp.path().c_str());
    if (d == nullptr) return -1;
    while (dirent* e = readdir(d)) {
      const std::string name = e->d_name;
      if (name.rfind("ink_", 0) == 0 && name.find("_1000") != std::string::npos) ++count;
    }
    closedir(d);
    return count;
  };
  const int32_t two = doc.AddPage(AddPage_next);
  history.RecordPageInsert(1, two, AddPage_next);
  WriteFileBytes(doc.inkLayerPath(2, InkLayer_back), "ink2");
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(1u, doc.pageCount());
  EXPECT_EQ(2, holderFiles());  // both layers of the kept page
  history.RecordPageRename(1, "New Page", "first");
  EXPECT_EQ(0, holderFiles());
  EXPECT_EQ(1u, history.recordCount());
}

// A canvas corner drag is one figure change of the canvas; undo and redo
// set the page's settings, never a figure found by number.
TEST_F(UndoScenario, CanvasChangeRestoresThePageSettings) {
  Canvas& canvas = doc.workingSettings();
  canvas.setSize(450, 300);
  auto before = Undo_copyOf(canvas, &list());
  canvas.setSize(800, 600);
  ASSERT_TRUE(history.RecordChange(std::move(before), canvas, doc, 1));
  ASSERT_TRUE(history.Undo(doc));
  EXPECT_EQ(450, doc.page(1)->settings().width());
  EXPECT_EQ(300, doc.page(1)->settings().height());
  EXPECT_EQ(&canvas, &list().at(0));
  ASSERT_TRUE(history.Redo(doc));
  EXPECT_EQ(800, doc.page(1)->settings().width());
  EXPECT_EQ(1u, list().size());
}

}  // namespace
