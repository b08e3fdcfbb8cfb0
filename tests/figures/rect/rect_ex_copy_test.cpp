#include <gtest/gtest.h>

#include <vector>

#include "figures/base/snapshot.h"
#include "figures/rect/rect_ex.h"
#include "support/test_support.h"
#include "figures/base/test_kinds.h"

namespace {

using testing_support::CatchError;
using testing_support::Sjis;

// Every persistent field away from its default.
void fill(Rect_Ex& r) {
  r.SetNumber(77);
  r.SetLocked(true);
  r.url = "http://example.invalid/";
  r.target = "_top";
  r.afterClick = 3;
  r.id = Sjis(u8"表ソ");
  r.pub = "pub";
  r.x = -10;
  r.y = 20;
  r.width = 30;
  r.height = 40;
  r.angle = 33;
  r.strokeWidth = 5;
  r.strokeColour = 0x112233;
  r.fillColour = 0x445566;
  r.opacity = 42;
  r.styleReserve = 9;
  r.shape = RectShape_Image;
  r.imagePath = "/pics/a.png";
  r.workImagePath = "/work/img_0000004D_1.png";
  r.cache.cachePath = "/work/img_0000004D_1.ddb";
  r.cache.width = 30;
  r.cache.height = 40;
  r.cache.byteSize = 4800;
  r.embedImage = false;
  r.takeNaturalSize = false;
  r.naturalWidth = 300;
  r.naturalHeight = 400;
  r.naturalSizeLock = true;
  r.imageLoadable = false;
}

TEST(RectExCopy, DefaultsCopyStyleAndEquality) {
  Rect_Ex d;
  EXPECT_EQ(d.target, "_blank");
  EXPECT_EQ(d.opacity, 100);
  EXPECT_TRUE(d.embedImage);
  EXPECT_TRUE(d.takeNaturalSize);
  EXPECT_EQ(d.naturalWidth, 100);
  EXPECT_EQ(d.cache.width, -1);
  EXPECT_TRUE(d.imageLoadable);

  Rect_Ex a;
  fill(a);
  a.setWorkFolder("/work");
  Rect_Ex b;
  b.CopyFrom(a, nullptr);
  EXPECT_TRUE(b.Equals(a, 0));
  EXPECT_TRUE(b.IsLocked());
  EXPECT_EQ(b.GetNumber(), 77);
  EXPECT_EQ(b.workFolder(), "/work");
  EXPECT_FALSE(b.imageLoadable);
  EXPECT_EQ(b.cache, RectImageCache{});  // each figure renders its own picture
  // Every compared field makes a difference.
  auto differs = [&](auto change) {
    Rect_Ex c;
    c.CopyFrom(a, nullptr);
    change(c);
    return !c.Equals(a, 0);
  };
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.SetNumber(1); }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.SetLocked(false); }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.url += "x"; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.target = ""; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.afterClick = 0; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.id = ""; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.pub = ""; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.height = 1; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.angle = 0; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.styleReserve = 0; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.opacity = 100; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.shape = 1; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.workImagePath = ""; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.embedImage = true; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.naturalHeight = 1; }));
  EXPECT_TRUE(differs([](Rect_Ex& c) { c.naturalSizeLock = false; }));
  EXPECT_FALSE(differs([](Rect_Ex& c) { c.imageLoadable = true; }));
  EXPECT_FALSE(differs([](Rect_Ex& c) { c.SetSelected(true); }));

  Rect_Ex s;
  s.CopyStyleFrom(a, 0);
  EXPECT_EQ(s.strokeWidth, 5);
  EXPECT_EQ(s.strokeColour, 0x112233u);
  EXPECT_EQ(s.fillColour, 0x445566u);
  EXPECT_EQ(s.opacity, 42);
  EXPECT_EQ(s.styleReserve, 9);
  EXPECT_EQ(s.x, 0);
  EXPECT_EQ(s.shape, RectShape_Rectangle);

  std::unique_ptr<CadPrim> c = a.Clone(nullptr);
  EXPECT_TRUE(c->Equals(a, 0));
  EXPECT_TRUE(a.Equals(*c, 0));
  // Another kind is never equal and cannot be copied from.
  test_kinds::TestBox other;
  EXPECT_FALSE(a.Equals(other, 0));
  EXPECT_EQ(CatchError([&] { b.CopyFrom(other, nullptr); }).code, Errors_Unofficial);
}

TEST(RectExCopy, SnapshotsRoundTripEveryField) {
  Rect_Ex a;
  fill(a);
  const std::vector<uint8_t> snap = Snapshot_make(a);
  EXPECT_EQ(snap.size(), a.GetSnapshotSize());
  Rect_Ex b;
  b.SetIsCopy(true);
  b.SetSelected(true);
  b.setWorkFolder("/mine");
  Snapshot_restore(b, snap);
  EXPECT_TRUE(b.Equals(a, 0));
  EXPECT_EQ(b.cache, a.cache);
  EXPECT_FALSE(b.imageLoadable);
  EXPECT_TRUE(b.isCopy());
  EXPECT_TRUE(b.IsSelected());
  EXPECT_EQ(b.workFolder(), "/mine");
  EXPECT_EQ(Snapshot_make(b), snap);

  // Cut or damaged snapshots raise 102 and leave the figure as it was.
  Rect_Ex c;
  for (size_t cut : {size_t{3}, size_t{20}, snap.size() - 1}) {
    std::vector<uint8_t> part(snap.begin(), snap.begin() + static_cast<long>(cut));
    EXPECT_EQ(CatchError([&] { Snapshot_restore(c, part); }).code, Errors_Unofficial);
    EXPECT_TRUE(c.Equals(Rect_Ex{}, 0));
  }
  std::vector<uint8_t> wrongKind = snap;
  wrongKind[0] = 4;
  EXPECT_EQ(CatchError([&] { Snapshot_restore(c, wrongKind); }).code, Errors_Unofficial);
  // A foreign snapshot with a zero width is brought back to 1.
  Rect_Ex z;
  z.width = 0;
  Rect_Ex zr;
  Snapshot_restore(zr, Snapshot_make(z));
  EXPECT_EQ(zr.width, 1);
}

}  // namespace
