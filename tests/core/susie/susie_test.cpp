#include "core/susie/susie.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace {

using testing_support::CatchError;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// Counts the pictures a fake hands out and how many of them were let go.
struct Counts {
  int made = 0;
  int freed = 0;
};

// A picture that reports its end to the counts.
struct CountedBitmap {
  CountedBitmap(Counts* c, Bitmap b) : counts(c), bitmap(std::move(b)) { ++counts->made; }
  ~CountedBitmap() { ++counts->freed; }
  Counts* counts;
  Bitmap bitmap;
};

// Accepts files that start with `magic`; answers with a 2x1 picture of one
// colour, or with the given error codes.
class FakeDecoder : public Susie_Decoder {
 public:
  FakeDecoder(std::string name, std::string magic, uint32_t colour, Counts* counts)
      : name_(std::move(name)), magic_(std::move(magic)), colour_(colour), counts_(counts) {}
  int infoResult = 0;
  int pictureResult = 0;
  bool giveNothing = false;  // succeed without a picture

  std::string info(int number) override { return number == 1 ? name_ : ""; }
  bool isSupported(std::string_view, std::span<const uint8_t, SUSIE_HEAD_SIZE> head) override {
    return std::equal(magic_.begin(), magic_.end(), head.begin(),
                      [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; });
  }
  int pictureInfo(std::string_view, Susie_PictureInfo& info) override {
    if (infoResult) return infoResult;
    info = {5, 5, 24};  // differs from the picture on purpose
    return 0;
  }
  int picture(std::string_view, std::shared_ptr<const Bitmap>& bitmap) override {
    if (pictureResult) return pictureResult;
    if (giveNothing) return 0;
    auto holder = std::make_shared<CountedBitmap>(counts_, Bitmap(2, 1, colour_));
    bitmap = std::shared_ptr<const Bitmap>(holder, &holder->bitmap);
    return 0;
  }

 private:
  std::string name_, magic_;
  uint32_t colour_;
  Counts* counts_;
};

struct Call {
  std::string op;
  uint32_t firstPixel;
  int x, y, w, h;
  bool smooth;
};

class RecordingSurface : public Surface {
 public:
  std::vector<Call> calls;
  void drawBitmap(const Bitmap& b, int x, int y) override {
    calls.push_back({"draw", b.pixel(0, 0), x, y, b.width, b.height, false});
  }
  void stretchBitmap(const Bitmap& b, int x, int y, int w, int h, bool smooth) override {
    calls.push_back({"stretch", b.pixel(0, 0), x, y, w, h, smooth});
  }
};

class SusieTest : public ::testing::Test {
 protected:
  void SetUp() override { Susie_freeAll(); }
  void TearDown() override { Susie_freeAll(); }

  FakeDecoder* add(std::string name, std::string magic, uint32_t colour) {
    auto d = std::make_unique<FakeDecoder>(std::move(name), std::move(magic), colour, &counts);
    FakeDecoder* raw = d.get();
    Susie_register(std::move(d));
    return raw;
  }
  std::string file(const std::string& name, std::string_view bytes) {
    std::string p = dir.file(name);
    WriteFileBytes(p, bytes);
    return p;
  }

  TempDir dir;
  Counts counts;
};

TEST_F(SusieTest, EmptyRegistryRejectsEveryFileWithThePath) {
  std::string pic = file("a.pic", "PIC1");
  Errors_Msg e = CatchError([&] { Susie_decode(pic); });
  EXPECT_EQ(Susie_Err_NotSupportImgType, e.code);
  EXPECT_EQ("対応していない画像形式です:" + pic, e.message());
  // A missing file is not taken either.
  e = CatchError([&] { Susie_decode(dir.file("none.pic")); });
  EXPECT_EQ(Susie_Err_NotSupportImgType, e.code);
  EXPECT_EQ(nullptr, Susie_current());

  // A folder without loadable plug-ins leaves the list empty; the junk
  // ".spi" is skipped and logged instead of stopping.
  TempDir plugins;
  WriteFileBytes(plugins.file("junk.SPI"), "not a library");
  WriteFileBytes(plugins.file("readme.txt"), "");
  std::string log = dir.file("log.txt");
  Errors_setProgramPath(dir.file("zerbin"));
  Errors_setLogName(log);
  Errors_resetLog();
  EXPECT_EQ(0, Susie_loadAll(plugins.path()));
  Errors_setProgramPath("");
  EXPECT_EQ(0, Susie_loadAll(""));
  EXPECT_TRUE(Susie_decoderNames().empty());
  std::string logged = testing_support::ReadFileBytes(log);
  EXPECT_NE(std::string::npos,
            logged.find("プラグインがロードできません:" + plugins.file("junk.SPI")));
  EXPECT_EQ(std::string::npos, logged.find("readme"));
  EXPECT_EQ(Susie_Err_NotSupportImgType, CatchError([&] { Susie_decode(pic); }).code);
}

TEST_F(SusieTest, TheDecoderRegisteredLastIsAskedFirst) {
  add("A", "PI", 0xFF0000AA);
  add("B", "PIC", 0xFF0000BB);
  EXPECT_EQ((std::vector<std::string>{"B", "A"}), Susie_decoderNames());

  Susie_Record& rec = Susie_decode(file("both.pic", "PIC1"));
  EXPECT_EQ("B", rec.decoder->info(1));
  EXPECT_EQ(&rec, Susie_current());
  ASSERT_TRUE(rec.bitmap);
  EXPECT_EQ(0xFF0000BBu, rec.bitmap->pixel(1, 0));
  // The picture's own size, not the information's; depth from the info.
  EXPECT_EQ(2, rec.width);
  EXPECT_EQ(1, rec.height);
  EXPECT_EQ(24, rec.depth);

  Susie_Record& other = Susie_decode(file("only-a.pic", "PIX"));
  EXPECT_EQ("A", other.decoder->info(1));
  EXPECT_EQ(0xFF0000AAu, other.bitmap->pixel(0, 0));
}

TEST_F(SusieTest, EachDecodeFreesThePictureOfThePreviousOne) {
  add("A", "A", 0xFF0000AA);
  add("B", "B", 0xFF0000BB);
  std::string a = file("a", "A"), b = file("b", "B");
  Susie_Record& ra = Susie_decode(a);
  EXPECT_EQ(1, counts.made);
  EXPECT_EQ(0, counts.freed);
  Susie_decode(a);  // same decoder
  EXPECT_EQ(2, counts.made);
  EXPECT_EQ(1, counts.freed);
  Susie_Record& rb = Susie_decode(b);  // another decoder: still freed
  EXPECT_EQ(2, counts.freed);
  EXPECT_FALSE(ra.bitmap);
  EXPECT_TRUE(rb.bitmap);
  // A caller that keeps a copy keeps the picture alive.
  std::shared_ptr<const Bitmap> kept = rb.bitmap;
  Susie_decode(a);
  EXPECT_EQ(2, counts.freed);
  kept.reset();
  EXPECT_EQ(3, counts.freed);
  Susie_freeAll();
  EXPECT_EQ(4, counts.freed);
  EXPECT_EQ(nullptr, Susie_current());
}

TEST_F(SusieTest, DecoderFailuresRaiseTheirCodesWithThePluginResult) {
  FakeDecoder* d = add("A", "A", 0xFF0000AA);
  std::string a = file("a", "A");
  Susie_Record& rec = Susie_decode(a);

  // The information fails before anything is freed.
  d->infoResult = 7;
  Errors_Msg e = CatchError([&] { Susie_decode(a); });
  EXPECT_EQ(Susie_Err_GetPictureInfo, e.code);
  EXPECT_STREQ("SPI_getPictureInfo エラー:7", e.message());
  EXPECT_EQ(0, counts.freed);
  EXPECT_EQ(&rec, Susie_current());

  // The picture fails after the old one went: nothing is current.
  d->infoResult = 0;
  d->pictureResult = -1;
  e = CatchError([&] { Susie_decode(a); });
  EXPECT_EQ(Susie_Err_GetPicture, e.code);
  EXPECT_STREQ("SPI_getPicture エラー:-1", e.message());
  EXPECT_EQ(1, counts.freed);
  EXPECT_FALSE(rec.bitmap);
  EXPECT_EQ(nullptr, Susie_current());

  // Success without a picture is the decoder's internal error.
  d->pictureResult = 0;
  d->giveNothing = true;
  e = CatchError([&] { Susie_decode(a); });
  EXPECT_EQ(Susie_Err_GetPicture, e.code);
  EXPECT_STREQ("SPI_getPicture エラー:8", e.message());
}

TEST_F(SusieTest, DrawingHandsThePictureToTheSurface) {
  add("A", "A", 0xFF123456);
  RecordingSurface s;
  Susie_Record& rec = Susie_decode(file("a", "A"));
  Susie_draw(rec, s);
  Susie_drawScaled(rec, s, 3, 4, 20, 10);
  Susie_drawScaled(rec, s, 3, 4, 0, 10);  // empty: nothing
  ASSERT_EQ(2u, s.calls.size());
  EXPECT_EQ("draw", s.calls[0].op);
  EXPECT_EQ(0xFF123456u, s.calls[0].firstPixel);
  EXPECT_EQ(0, s.calls[0].x);
  EXPECT_EQ(0, s.calls[0].y);
  EXPECT_EQ("stretch", s.calls[1].op);
  EXPECT_EQ(3, s.calls[1].x);
  EXPECT_EQ(4, s.calls[1].y);
  EXPECT_EQ(20, s.calls[1].w);
  EXPECT_EQ(10, s.calls[1].h);
  EXPECT_TRUE(s.calls[1].smooth);

  Susie_freeAll();
  Susie_Record none;
  Susie_draw(none, s);
  Susie_drawScaled(none, s, 0, 0, 5, 5);
  EXPECT_EQ(2u, s.calls.size());
}

}  // namespace
