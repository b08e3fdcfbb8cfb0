// A random walk through editing and the undo history: thousands of random
// edits on a note (every figure kind created, moved, resized, rotated, line
// ends attached to and detached from text boxes, deletions, text written
// with the in-place editor, nudges, z-order, pages added, turned and
// deleted), recorded as the view records them and mixed with random undo
// and redo.  After every step the shown page's links are two-sided and the
// page tree and figure lists sound; at the end undo leads back to the
// original saved bytes and redo forward to the edited ones.
//
// ZERBIN_UNDO_WALK_STEPS and ZERBIN_UNDO_WALK_SEED set the length and the
// seed (scripts/undo_walk runs a long walk with them).
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "document/note/note_document.h"
#include "document/writer/note_bytes.h"
#include "document/writer/note_writer.h"
#include "figures/base/figure_kind.h"
#include "figures/corner/line_corner.h"
#include "figures/editor/text_editor.h"
#include "figures/line/line_ex.h"
#include "figures/matome/matome.h"
#include "figures/polygon/polygon_ex.h"
#include "figures/rect/rect_ex.h"
#include "figures/text/text_box.h"
#include "support/test_support.h"
#include "undo/undo_history.h"
#include "undo_test_util.h"

namespace {

class MeasuringHost : public NoteSaveHost {
 public:
  const TextMetrics* metrics() const override { return &undo_test::metrics(); }
};

long envNumber(const char* name, long fallback) {
  const char* v = std::getenv(name);
  return v != nullptr && *v != '\0' ? std::strtol(v, nullptr, 10) : fallback;
}

// "" when the list starts with its one Canvas and every other figure has a
// number of its own.
std::string listFault(const FigureList& list) {
  if (list.empty() || list.at(0).GetKind() != FigureKind_Canvas) return "no canvas first";
  std::set<int32_t> numbers;
  for (size_t i = 1; i < list.size(); ++i) {
    const CadPrim& f = list.at(i);
    if (f.GetKind() == FigureKind_Canvas) return "a second canvas";
    if (!FigureKind_isValid(f.GetKind())) return "a figure of no kind";
    if (f.GetNumber() <= 0 || !numbers.insert(f.GetNumber()).second) {
      return "figure number " + std::to_string(f.GetNumber()) + " twice or invalid";
    }
  }
  return "";
}

class Walk {
 public:
  explicit Walk(uint32_t seed) : rng_(seed) { doc_.NewDocument(11, false); }

  NoteDocument& doc() { return doc_; }
  UndoHistory& history() { return history_; }
  FigureList& list() { return doc_.workingFigures(); }
  int32_t page() { return doc_.currentPageNumber(); }

  int rand(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }
  int32_t coord() { return 20 + rand(560); }

  // The note's file bytes as a save writes them.
  std::string bytes() {
    MeasuringHost host;
    bool wide = false;
    const std::string text = NoteWriter_documentText(doc_, work_.file("walk.svg"), host, wide);
    return NoteBytes_encode(text, wide);
  }

  void seedPage() {
    Text_Box& a = addBox(100, 100, "始まり");
    Text_Box& b = addBox(300, 220, "end");
    addRect(80, 300, 1);
    auto line = std::make_unique<Line_Ex>();
    line->SetNumber(++number_);
    line->SetPoints({100, 100}, {300, 220});
    CadPrim& l = list().append(std::move(line));
    a.AttachEnd(0, l, 1);
    b.AttachEnd(0, l, 2);
  }

  // One random step; answers its name.
  const char* step() {
    const int r = rand(100);
    if (r < 14) {  // one to three steps back
      bool any = false;
      for (int k = rand(3); k >= 0; --k) any = history_.Undo(doc_) || any;
      return any ? "undo" : "undo (none)";
    }
    if (r < 22) {
      bool any = false;
      for (int k = rand(3); k >= 0; --k) any = history_.Redo(doc_) || any;
      return any ? "redo" : "redo (none)";
    }
    const size_t figures = list().size() - 1;
    if (r < 34 || figures < 3) return create();
    if (figures > 45 && r < 60) return remove();
    if (r < 43) return change("move", [this](CadPrim& f) { f.MoveBy(rand(81) - 40, rand(81) - 40); });
    if (r < 51) return change("resize", [this](CadPrim& f) {
      const int handles = FigureKind_hasEnds(f.GetKind()) ? 2 : 8;
      f.DragHandleTo(1 + rand(handles), coord(), coord(), rand(2) == 0, 0, false);
      f.EnsureMinimumSize();
    });
    if (r < 55) return change("rotate", [this](CadPrim& f) {
      if (f.GetKind() == FigureKind_Rect || f.GetKind() == FigureKind_Text)
        f.DragHandleTo(1 + rand(8), coord(), coord(), rand(2) == 0, 0, true);
    });
    if (r < 63) return attach();
    if (r < 67) return detach();
    if (r < 73) return remove();
    if (r < 82) return writeText();
    if (r < 87) return change("nudge", [this](CadPrim& f) {
      static const int d[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
      const int k = rand(4);
      f.MoveBy(d[k][0], d[k][1]);
      f.MoveBy(0, 0);
    });
    if (r < 91) return zOrder();
    if (r < 94) return turnPage();
    if (r < 97) return addPage();
    return deletePage();
  }

  std::string fault() {
    if (std::string f = listFault(list()); !f.empty()) return f;
    if (std::string f = undo_test::oneSidedLink(list()); !f.empty()) return f;
    return doc_.checkTree();
  }

 private:
  Text_Box& addBox(int32_t x, int32_t y, const char* text) {
    auto box = std::make_unique<Text_Box>(&undo_test::metrics());
    box->SetNumber(++number_);
    box->SetText(text);
    box->frameShape = rand(5);
    box->SetBasePoint(x, y);
    box->Layout(undo_test::metrics(), DrawContext{});
    return static_cast<Text_Box&>(list().append(std::move(box)));
  }
  Rect_Ex& addRect(int32_t x, int32_t y, int32_t shape) {
    auto r = std::make_unique<Rect_Ex>();
    r->SetNumber(++number_);
    r->x = x;
    r->y = y;
    r->width = 20 + rand(200);
    r->height = 20 + rand(150);
    r->shape = shape;
    r->fillColour = Colour_rgb(rand(256), rand(256), rand(256));
    // Rectangles stay at the bottom, in front of the first other figure.
    size_t at = 1;
    while (at < list().size() && list().at(at).GetKind() == FigureKind_Rect) ++at;
    return static_cast<Rect_Ex&>(list().insert(at, std::move(r)));
  }

  CadPrim* pick(std::function<bool(const CadPrim&)> fits = {}) {
    std::vector<CadPrim*> c;
    for (size_t i = 1; i < list().size(); ++i)
      if (!fits || fits(list().at(i))) c.push_back(&list().at(i));
    return c.empty() ? nullptr : c[static_cast<size_t>(rand(static_cast<int>(c.size())))];
  }

  const char* create() {
    static const char* const names[6] = {"create text", "create rect", "create line",
                                         "create cornered line", "create pack line",
                                         "create polygon"};
    const int kind = rand(6);
    CadPrim* made = nullptr;
    switch (kind) {
      case 0: made = &addBox(coord(), coord(), rand(2) ? "ABC" : "メモ"); break;
      case 1: made = &addRect(coord(), coord(), 1 + rand(4)); break;
      case 2: {
        auto l = std::make_unique<Line_Ex>();
        l->SetNumber(++number_);
        l->SetPoints({coord(), coord()}, {coord(), coord()});
        l->SetArrow(2, rand(3));
        made = &list().append(std::move(l));
        break;
      }
      case 3: {
        auto l = std::make_unique<Line_Corner>();
        l->SetNumber(++number_);
        l->setEnd(1, coord(), coord());
        l->setEnd(2, coord(), coord());
        made = &list().append(std::move(l));
        break;
      }
      case 4: {
        auto m = std::make_unique<Matome>();
        m->SetNumber(++number_);
        m->SetPoints({coord(), coord()}, {coord(), coord()});
        made = &list().append(std::move(m));
        break;
      }
      default: {
        auto p = std::make_unique<Polygon_Ex>();
        p->SetNumber(++number_);
        const Point32 pts[3] = {{coord(), coord()}, {coord(), coord()}, {coord(), coord()}};
        p->setPoints(pts);
        made = &list().append(std::move(p));
        break;
      }
    }
    history_.RecordCreation(*made, doc_, page());
    return names[kind];
  }

  // Applies `edit` to one figure and records every figure it changed (the
  // lines hanging on a moved box follow it) as one step.
  template <typename Edit>
  const char* change(const char* name, Edit edit, CadPrim* f = nullptr) {
    if (f == nullptr) f = pick();
    if (f == nullptr) return name;
    recordAround([&] { edit(*f); });
    return name;
  }

  void recordAround(const std::function<void()>& edit, CadPrim* deleted = nullptr) {
    std::vector<std::unique_ptr<CadPrim>> before;
    for (size_t i = 1; i < list().size(); ++i) {
      if (&list().at(i) != deleted) before.push_back(Undo_copyOf(list().at(i), &list()));
    }
    UndoGroup group(history_);
    if (deleted != nullptr) history_.RecordDeletion(*deleted, doc_, page());
    edit();
    for (auto& b : before) {
      if (CadPrim* live = list().FindFigureByNumber(b->GetNumber()))
        history_.RecordChange(std::move(b), *live, doc_, page());
    }
  }

  const char* attach() {
    CadPrim* line = pick([](const CadPrim& f) { return FigureKind_hasEnds(f.GetKind()); });
    CadPrim* box = pick([](const CadPrim& f) { return f.GetKind() == FigureKind_Text; });
    if (line == nullptr || box == nullptr) return "attach (none)";
    const int32_t end = 1 + rand(2);
    const int32_t other = end == 1 ? 2 : 1;
    if (line->GetEndTarget(other) == box) return "attach (same box)";
    recordAround([&] {
      if (CadPrim* old = line->GetEndTarget(end)) old->DetachEnd(*line, end, true);
      box->AttachEnd(0, *line, end);
    });
    return "attach";
  }

  const char* detach() {
    CadPrim* line = pick([](const CadPrim& f) {
      return FigureKind_hasEnds(f.GetKind()) && (f.GetEndTarget(1) || f.GetEndTarget(2));
    });
    if (line == nullptr) return "detach (none)";
    const int32_t end = line->GetEndTarget(1) ? 1 : 2;
    recordAround([&] { line->GetEndTarget(end)->DetachEnd(*line, end, true); });
    return "detach";
  }

  const char* remove() {
    CadPrim* f = pick();
    if (f == nullptr) return "delete (none)";
    recordAround([&] { list().remove(*f).reset(); }, f);
    return "delete";
  }

  const char* writeText() {
    auto* box = static_cast<Text_Box*>(
        pick([](const CadPrim& f) { return f.GetKind() == FigureKind_Text; }));
    if (box == nullptr) return "text (none)";
    static const char* const pieces[] = {"あ", "漢字", "x", "\r\n", "ソ表", "Memo ", "\t"};
    Text_Editor ed;
    ed.BeginEdit(*box, rand(2) == 0, DrawContext{});
    ed.Select(rand(static_cast<int>(ed.text().size()) + 1), rand(static_cast<int>(ed.text().size()) + 1));
    for (int k = rand(6) + 1; k > 0; --k) {
      switch (rand(5)) {
        case 0: ed.InsertText(pieces[rand(7)]); break;
        case 1: ed.HandleKey(EditorKey::Backspace); break;
        case 2: ed.HandleKey(rand(2) ? EditorKey::Left : EditorKey::Right); break;
        case 3:
          ed.SetComposition("にほ", 2);
          ed.CommitComposition("日本");
          break;
        default: ed.HandleKey(EditorKey::Delete); break;
      }
    }
    const std::string old = box->text();
    ed.EndEdit(*box, false, true);
    history_.RecordText(box->GetNumber(), ed.caret(), old, box->text(), doc_, page());
    return "text";
  }

  const char* zOrder() {
    CadPrim* f = pick();
    if (f == nullptr || list().size() < 3) return "z-order (none)";
    const size_t i = static_cast<size_t>(list().indexOf(*f));
    const int32_t nextBefore = i + 1 < list().size() ? list().at(i + 1).GetNumber() : -1;
    auto before = Undo_copyOf(*f, &list());
    const size_t to = 1 + static_cast<size_t>(rand(static_cast<int>(list().size()) - 1));
    list().move(*f, to);
    history_.RecordChange(std::move(before), *f, doc_, page(), nextBefore);
    return "z-order";
  }

  const char* turnPage() {
    const int32_t n = doc_.firstPageNumber() + rand(static_cast<int>(doc_.pageCount()));
    if (n != page() && doc_.page(n)) doc_.SelectPage(n);
    return "turn page";
  }

  const char* addPage() {
    if (doc_.pageCount() >= 4) return "add page (enough)";
    const int32_t from = page();
    const int32_t kind = rand(3);
    const int32_t to = doc_.AddPage(kind);
    history_.RecordPageInsert(from, to, kind);
    for (int k = 0; k < 2; ++k) create();
    return "add page";
  }

  const char* deletePage() {
    if (doc_.pageCount() < 2) return "delete page (last)";
    return doc_.DeletePage(&history_) ? "delete page" : "delete page (refused)";
  }

  testing_support::TempDir work_;
  NoteDocument doc_{work_.path()};
  UndoHistory history_;
  std::mt19937 rng_;
  int32_t number_ = 1000;
};

}  // namespace

TEST(UndoRandomWalk, RandomEditsUndoAndRedoKeepThePageSoundAndComeBackToTheBytes) {
  const long steps = envNumber("ZERBIN_UNDO_WALK_STEPS", 10000);
  const auto seed = static_cast<uint32_t>(envNumber("ZERBIN_UNDO_WALK_SEED", 1));
  const auto start = std::chrono::steady_clock::now();
  Walk w(seed);
  w.seedPage();
  w.history().MarkSaved();
  ASSERT_EQ("", w.fault());
  const std::string original = w.bytes();

  std::string last;
  std::map<std::string, long> counts;
  for (long i = 0; i < steps; ++i) {
    last = w.step();
    ++counts[last];
    const std::string f = w.fault();
    ASSERT_EQ("", f) << "step " << i << " (" << last << "), seed " << seed;
  }
  // The end of the walk: everything redone is the edited note.
  while (w.history().Redo(w.doc())) ASSERT_EQ("", w.fault());
  for (size_t i = 0; i < w.doc().pageCount(); ++i) {
    const int32_t n = w.doc().pageNumberAt(i);
    w.doc().SelectPage(n);
    ASSERT_EQ("", w.fault()) << "page " << n;
  }
  const std::string edited = w.bytes();
  EXPECT_NE(original, edited);
  const size_t records = w.history().recordCount();

  while (w.history().Undo(w.doc())) ASSERT_EQ("", w.fault());
  EXPECT_FALSE(w.history().IsModified());
  EXPECT_EQ(original, w.bytes());
  while (w.history().Redo(w.doc())) ASSERT_EQ("", w.fault());
  EXPECT_EQ(edited, w.bytes());
  EXPECT_EQ(records, w.history().recordCount());

  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("undo walk: seed %u, %ld steps, %zu records, %.1f s\n", seed, steps, records,
              seconds);
  for (const auto& [name, n] : counts) std::printf("  %-22s %ld\n", name.c_str(), n);
}

// Steps recorded on a page that later left the note without the history
// (no page record to bring it back) are skipped: they touch no other page,
// not even the one that took over the page's number.
TEST(UndoRandomWalk, StepsOfAPageDeletedOutsideTheHistoryTouchNoOtherPage) {
  Walk w(7);
  w.seedPage();
  const std::string pageOne = w.bytes();
  const int32_t two = w.doc().AddPage(AddPage_next);
  const int32_t three = w.doc().AddPage(AddPage_next);
  ASSERT_EQ(two + 1, three);
  w.history().MarkSaved();

  // Page 2: a box made, moved and deleted.
  w.doc().SelectPage(two);
  auto box = std::make_unique<Text_Box>(&undo_test::metrics());
  box->SetNumber(5001);
  box->SetText("gone");
  box->SetBasePoint(50, 50);
  box->Layout(undo_test::metrics(), DrawContext{});
  CadPrim& made = w.list().append(std::move(box));
  ASSERT_TRUE(w.history().RecordCreation(made, w.doc(), two));
  ASSERT_TRUE(w.history().RecordDeletion(made, w.doc(), two));
  w.list().remove(made).reset();
  // Page 3: a rectangle made.
  w.doc().SelectPage(three);
  auto rect = std::make_unique<Rect_Ex>();
  rect->SetNumber(5002);
  rect->width = rect->height = 40;
  CadPrim& r = w.list().append(std::move(rect));
  ASSERT_TRUE(w.history().RecordCreation(r, w.doc(), three));

  // Page 2 goes without a record; page 3 takes its number.
  w.doc().SelectPage(two);
  ASSERT_TRUE(w.doc().DeletePage(nullptr));
  const std::string after = w.bytes();

  while (w.history().Undo(w.doc())) {
    ASSERT_EQ("", w.fault());
    ASSERT_EQ(nullptr, w.doc().page(two)->figures.FindFigureByNumber(5001));
  }
  w.doc().SelectPage(two);  // the former page 3
  EXPECT_EQ(1u, w.list().size()) << "only its canvas";
  EXPECT_EQ(nullptr, w.list().FindFigureByNumber(5001));
  EXPECT_EQ("", w.fault());
  while (w.history().Redo(w.doc())) {
    ASSERT_EQ("", w.fault());
    ASSERT_EQ(nullptr, w.doc().page(two)->figures.FindFigureByNumber(5001));
  }
  EXPECT_EQ(after, w.bytes());
  w.doc().SelectPage(1);
  EXPECT_EQ("", w.fault());
}
