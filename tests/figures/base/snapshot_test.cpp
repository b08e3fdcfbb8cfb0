#include "figures/base/snapshot.h"

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "test_kinds.h"

using test_kinds::TestBox;
using test_kinds::TestLine;

namespace {

int32_t code(const std::function<void()>& fn) { return testing_support::CatchError(fn).code; }

// A kind that says one size and writes another.
class Liar final : public CadFigure {
 public:
  size_t said = 10;
  size_t wrote = 8;
  FigureKind GetKind() const override { return FigureKind_Rect; }
  std::string GetKindNameJapanese() const override { return ""; }
  std::string GetKindNameEnglish() const override { return ""; }
  void Draw(Surface&, const DrawContext&) override {}
  void DrawHandles(Surface&, const DrawContext&, Colour, int32_t) override {}
  void CopyFrom(const CadPrim&, const FigureList*) override {}
  void CopyStyleFrom(const CadPrim&, int32_t) override {}
  bool Equals(const CadPrim&, int32_t) const override { return false; }
  std::unique_ptr<CadPrim> Clone(const FigureList*) const override { return nullptr; }
  size_t GetSnapshotSize() const override { return said; }
  void WriteSnapshot(SnapshotWriter& w) const override {
    for (size_t i = 0; i < wrote; ++i) w.u8(0);
  }
  void ReadSnapshot(SnapshotReader&) override {}
  HitResult HitTest(int32_t, int32_t, int32_t, int32_t) override { return {}; }
  Point32 GetHandlePoint(int32_t) const override { return {}; }
  void MoveBy(int32_t, int32_t) override {}
  void DragHandleTo(int32_t, int32_t, int32_t, bool, int32_t, bool) override {}
  bool IntersectsRect(const Rect32&) const override { return false; }
  int32_t GetEdge(int32_t) const override { return 0; }
  void SetEdge(int32_t, int32_t) override {}
  int32_t GetExtent(bool) const override { return 0; }
  void SetExtent(bool, int32_t) override {}
  int32_t GetPropertyCount() const override { return 0; }
  PropertyRow GetProperty(int32_t, bool, size_t, std::string_view) const override {
    return {};
  }
  void SetProperty(int32_t, std::string_view, std::string_view) override {}
};

}  // namespace

TEST(Snapshot, LittleEndianLayoutAndPrimitivesRoundTrip) {
  std::vector<uint8_t> buf(Snapshot_headerSize + 1 + 2 + 4 + 8 + Snapshot_stringSize("ソ表x"));
  SnapshotWriter w(buf);
  w.header(-2, 3);
  w.boolean(true);
  w.i16(-2);
  w.i32(0x01020304);
  w.i64(-5);
  w.string("ソ表x");
  EXPECT_EQ(0u, w.remaining());
  const std::vector<uint8_t> head(buf.begin(), buf.begin() + 13);
  EXPECT_EQ((std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF, 3, 0, 1, 0xFE, 0xFF, 4, 3, 2, 1}),
            head);
  EXPECT_EQ(0x83, buf[25]);  // "ソ" = 83 5C after the 4-byte length
  EXPECT_EQ(0x5C, buf[26]);
  EXPECT_EQ(-2, Snapshot_peekHeader(buf).kind);

  SnapshotReader r(buf);
  EXPECT_EQ(3, r.header(-2, 3));
  EXPECT_TRUE(r.boolean());
  EXPECT_EQ(-2, r.i16());
  EXPECT_EQ(0x01020304, r.i32());
  EXPECT_EQ(-5, r.i64());
  EXPECT_EQ("ソ表x", r.string());
  r.expectEnd();
  EXPECT_EQ(102, code([&] { r.u8(); }));  // past the end
  EXPECT_EQ(102, code([&] { w.u8(1); }));
}

TEST(Snapshot, FiguresRoundTripAndEveryTruncationRaises) {
  TestBox box(Rect32{-99999, 5, 7, 199998});
  box.SetNumber(42);
  box.SetLocked(true);
  TestLine line;
  line.SetNumber(43);
  box.AttachEnd(0, line, 2);
  std::vector<uint8_t> snap = Snapshot_make(box);
  EXPECT_EQ(box.GetSnapshotSize(), snap.size());

  TestBox back;
  Snapshot_restore(back, snap);
  EXPECT_TRUE(back.Equals(box, 5));
  EXPECT_EQ(42, back.GetNumber());
  EXPECT_EQ(nullptr, back.nodes.get(1)->line);  // numbers only
  EXPECT_EQ(43, back.nodes.get(1)->lineNumber);

  for (size_t n = 0; n < snap.size(); ++n) {
    TestBox t;
    EXPECT_EQ(102, code([&] { Snapshot_restore(t, std::span(snap.data(), n)); })) << n;
  }
  std::vector<uint8_t> longer = snap;
  longer.push_back(0);
  TestBox t;
  EXPECT_EQ(102, code([&] { Snapshot_restore(t, longer); }));
  line.ends[1].reset();  // box goes first; keep the destructors quiet
  box.nodes.reset();
}

TEST(Snapshot, WrongKindVersionAndMalformedFieldsRaise) {
  TestBox box;
  std::vector<uint8_t> snap = Snapshot_make(box);
  TestLine line;
  EXPECT_EQ(102, code([&] { Snapshot_restore(line, snap); }));  // kind 4 into a line
  for (uint8_t v : {0, 2}) {
    std::vector<uint8_t> bad = snap;
    bad[4] = v;
    TestBox t;
    EXPECT_EQ(102, code([&] { Snapshot_restore(t, bad); })) << int(v);
  }
  std::vector<uint8_t> badBool = snap;
  badBool[10] = 2;  // the locked byte
  TestBox t;
  EXPECT_EQ(102, code([&] { Snapshot_restore(t, badBool); }));
  // A record count far beyond the data is refused before anything is made.
  std::vector<uint8_t> huge = snap;
  huge[27] = huge[28] = huge[29] = huge[30] = 0xFF;
  EXPECT_EQ(102, code([&] { Snapshot_restore(t, huge); }));
  // A text length beyond the data or the limit.
  std::vector<uint8_t> s = {5, 0, 0, 0, 'a', 'b'};
  SnapshotReader r(s);
  EXPECT_EQ(102, code([&] { r.string(); }));
  std::vector<uint8_t> s2 = {2, 0, 0, 0, 'a', 'b'};
  SnapshotReader r2(s2);
  EXPECT_EQ(102, code([&] { r2.string(1); }));
}

TEST(Snapshot, SizeMustBeExact) {
  Liar liar;
  EXPECT_EQ(102, code([&] { Snapshot_make(liar); }));
  liar.wrote = 11;
  EXPECT_EQ(102, code([&] { Snapshot_make(liar); }));
  liar.wrote = 10;
  EXPECT_EQ(10u, Snapshot_make(liar).size());
}
