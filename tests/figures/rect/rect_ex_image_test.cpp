// Image figures with a stand-in decoder: it takes files that begin with the
// PNG signature, reads the size from the IHDR chunk and gives a picture of
// one colour.  A size of 0 makes it fail.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <string>
#include <vector>

#include "core/errors/errors.h"
#include "core/errors/result_code.h"
#include "core/filex/filex.h"
#include "core/susie/susie.h"
#include "figures/rect/rect_ex.h"
#include "support/recording_surface.h"
#include "support/test_support.h"

namespace {

using testing_support::ReadFileBytes;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

std::atomic<int> g_decodes{0};
constexpr uint32_t kPictureArgb = 0xFF336699u;

class PngSizeDecoder final : public Susie_Decoder {
 public:
  std::string info(int n) override { return n == 1 ? "rect test PNG" : ""; }
  bool isSupported(std::string_view, std::span<const uint8_t, SUSIE_HEAD_SIZE> h) override {
    return h[0] == 0x89 && h[1] == 'P' && h[2] == 'N' && h[3] == 'G';
  }
  int pictureInfo(std::string_view path, Susie_PictureInfo& info) override {
    const std::string b = ReadFileBytes(std::string(path));
    if (b.size() < 24) return SUSIE_ERR_BROKEN_DATA;
    info.width = be32(b, 16);
    info.height = be32(b, 20);
    info.depth = 32;
    return 0;
  }
  int picture(std::string_view path, std::shared_ptr<const Bitmap>& out) override {
    Susie_PictureInfo i;
    if (int rc = pictureInfo(path, i)) return rc;
    if (i.width <= 0 || i.height <= 0 || i.width > 4096 || i.height > 4096)
      return SUSIE_ERR_BROKEN_DATA;
    ++g_decodes;
    out = std::make_shared<const Bitmap>(i.width, i.height, kPictureArgb);
    return 0;
  }

 private:
  static int32_t be32(const std::string& b, size_t at) {
    return static_cast<int32_t>((uint32_t(uint8_t(b[at])) << 24) | (uint32_t(uint8_t(b[at + 1])) << 16) |
                                (uint32_t(uint8_t(b[at + 2])) << 8) | uint32_t(uint8_t(b[at + 3])));
  }
};

// Takes files that begin with "BRKN" and fails to decode them with an
// error of its own (a read error), not one of the loader's codes.
std::atomic<int> g_failedDecodes{0};
class FailingDecoder final : public Susie_Decoder {
 public:
  std::string info(int n) override { return n == 1 ? "rect test failing" : ""; }
  bool isSupported(std::string_view, std::span<const uint8_t, SUSIE_HEAD_SIZE> h) override {
    return h[0] == 'B' && h[1] == 'R' && h[2] == 'K' && h[3] == 'N';
  }
  int pictureInfo(std::string_view, Susie_PictureInfo& info) override {
    info.width = 8;
    info.height = 8;
    info.depth = 32;
    return 0;
  }
  int picture(std::string_view path, std::shared_ptr<const Bitmap>&) override {
    ++g_failedDecodes;
    const std::string p(path);
    Errors_RAISE(FileX_Err_CannotReadOpen, "test decoder cannot read:%s", p.c_str());
  }
};

void registerDecoderOnce() {
  static const bool done = [] {
    Susie_register(std::make_unique<FailingDecoder>());
    Susie_register(std::make_unique<PngSizeDecoder>());
    return true;
  }();
  (void)done;
}

// A well-known 1 x 1 PNG with the size in its IHDR chunk replaced.
constexpr char kHead[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR";
constexpr char kTail[] =
    "\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\x0aIDATx\x9c\x63\0\x01\0\0\x05\0\x01"
    "\x0d\x0a\x2d\xb4\0\0\0\0IEND\xae\x42\x60\x82";
std::string png(uint32_t w, uint32_t h) {
  std::string b(kHead, sizeof kHead - 1);
  for (uint32_t v : {w, h}) {
    for (int s = 24; s >= 0; s -= 8) b += static_cast<char>((v >> s) & 0xFF);
  }
  return b + std::string(kTail, sizeof kTail - 1);
}

class RectExImage : public ::testing::Test {
 protected:
  void SetUp() override {
    registerDecoderOnce();
    ResultCode_clearMessage();
    WriteFileBytes(dir.file("pic.png"), png(40, 30));
  }
  Rect_Ex& image(Rect_Ex& r, std::string_view name = "pic.png") {
    r.SetNumber(5);
    r.shape = RectShape_Image;
    r.imagePath = dir.file(name);
    r.setWorkFolder(dir.path() + "/work");
    return r;
  }
  std::vector<std::string> draw(Rect_Ex& r, const DrawContext& ctx = DrawContext{},
                                bool withState = false) {
    RecordingSurface s;
    r.Draw(s, ctx);
    return s.lines(withState);
  }
  TempDir dir;
};

TEST_F(RectExImage, TakesItsNaturalSizeAndRendersOncePerSize) {
  Rect_Ex r;
  image(r);
  const int before = g_decodes;
  EXPECT_EQ(draw(r), (std::vector<std::string>{"bitmap 0,0,40,30"}));
  EXPECT_EQ(r.workImagePath, dir.path() + "/work/img_00000005_1.png");
  EXPECT_EQ(ReadFileBytes(r.workImagePath), png(40, 30));
  EXPECT_EQ(r.width, 40);
  EXPECT_EQ(r.height, 30);
  EXPECT_FALSE(r.takeNaturalSize);
  EXPECT_EQ(r.naturalWidth, 40);
  EXPECT_EQ(r.cache.cachePath, dir.path() + "/work/img_00000005_1.ddb");
  EXPECT_EQ(r.cache.byteSize, 40 * 30 * 4);
  EXPECT_EQ(r.cachedPicture().pixel(39, 29), kPictureArgb);
  EXPECT_EQ(g_decodes, before + 1);
  draw(r);
  EXPECT_EQ(g_decodes, before + 1);  // the rendered picture is reused
  DrawContext z;
  z.zoomX = z.zoomY = 200;
  z.scrollX = 3;
  z.scrollY = 4;
  r.x = 10;
  r.y = 20;
  EXPECT_EQ(draw(r, z), (std::vector<std::string>{"bitmap 17,36,80,60"}));
  EXPECT_EQ(g_decodes, before + 2);
  EXPECT_EQ(r.cachedPicture().width, 80);
  z.directOutput = true;  // printing decodes and stretches
  EXPECT_EQ(draw(r, z), (std::vector<std::string>{"stretch 17,36,80,60,40,30,1"}));
  // Locked to the natural size: natural width, and the zoomed height when
  // it is more than 3 away.
  r.naturalSizeLock = true;
  EXPECT_EQ(r.DisplaySize(z), (RectSize{40, 60}));
  r.height = 31;
  EXPECT_EQ(r.DisplaySize(DrawContext{}), (RectSize{40, 30}));
  r.DropImageCache();
  EXPECT_TRUE(r.cache.cachePath.empty());
  EXPECT_TRUE(r.cachedPicture().empty());
  // Too large to keep: stretched at every paint.
  Rect_Ex big;
  image(big);
  big.takeNaturalSize = false;
  big.width = big.height = 5000;
  DrawContext z4;
  z4.zoomX = z4.zoomY = 400;
  EXPECT_EQ(draw(big, z4), (std::vector<std::string>{"stretch 0,0,20000,20000,40,30,1"}));
  EXPECT_TRUE(big.cachedPicture().empty());
}

TEST_F(RectExImage, BrokenPicturesShowThePlaceholderAndAreNotRetried) {
  WriteFileBytes(dir.file("zero.png"), png(0, 0));
  WriteFileBytes(dir.file("text.png"), "not a picture at all");
  WriteFileBytes(dir.file("short.png"), std::string("\x89PNG", 4));
  for (const char* name : {"zero.png", "text.png", "short.png"}) {
    ResultCode_clearMessage();
    Rect_Ex r;
    image(r, name);
    r.x = 10;
    r.y = 20;
    r.width = 30;
    r.height = 40;
    EXPECT_EQ(draw(r, {}, true),
              (std::vector<std::string>{"rect 10,20,41,61 pen=solid/1/000000 brush=solid/804040 rop=copy"}))
        << name;
    EXPECT_FALSE(r.imageLoadable) << name;
    EXPECT_EQ(ResultCode_getText(ResultCode_Message), Rect_imageErrorMessage) << name;
    EXPECT_EQ(r.width, 30);  // the natural size was never learned
    ResultCode_clearMessage();
    const int before = g_decodes;
    EXPECT_EQ(draw(r).size(), 1u);
    EXPECT_EQ(g_decodes, before);
    EXPECT_NE(ResultCode_getText(ResultCode_Message), Rect_imageErrorMessage);
    // Choosing the picture again tries again.
    r.SetProperty(14, dir.file("pic.png"), "");
    EXPECT_TRUE(r.imageLoadable);
    EXPECT_EQ(draw(r), (std::vector<std::string>{"bitmap 10,20,40,30"})) << name;
  }
  // A missing picture or no work folder: the placeholder, nothing stored.
  ResultCode_clearMessage();
  Rect_Ex missing;
  image(missing, "gone.png");
  EXPECT_EQ(draw(missing).size(), 1u);
  EXPECT_TRUE(missing.imageLoadable);
  Rect_Ex noFolder;
  image(noFolder).setWorkFolder("");
  EXPECT_EQ(draw(noFolder), (std::vector<std::string>{"rect 0,0,2,2"}));
  EXPECT_TRUE(noFolder.workImagePath.empty());
  EXPECT_NE(ResultCode_getText(ResultCode_Message), Rect_imageErrorMessage);
}

TEST_F(RectExImage, OtherDecodeErrorsAreReportedOnceAndShowThePlaceholder) {
  TempDir logDir;
  const std::string log = logDir.file("log.txt");
  Errors_setProgramPath(logDir.file("zerbin"));  // the log is written only then
  Errors_setLogName(log);
  Errors_resetLog();
  WriteFileBytes(dir.file("broken.pic"), "BRKN and then nothing a decoder could use");
  Rect_Ex r;
  image(r, "broken.pic");
  r.x = 10;
  r.y = 20;
  r.width = 30;
  r.height = 40;
  const int before = g_failedDecodes;
  DrawContext zoomed;
  zoomed.zoomX = zoomed.zoomY = 200;
  for (const DrawContext& ctx : {DrawContext{}, DrawContext{}, zoomed, DrawContext{}}) {
    const std::string box = ctx.zoomX == 200 ? "rect 20,40,81,121 pen=solid/2"
                                             : "rect 10,20,41,61 pen=solid/1";
    EXPECT_EQ(draw(r, ctx, true),
              (std::vector<std::string>{box + "/000000 brush=solid/804040 rop=copy"}));
  }
  EXPECT_EQ(g_failedDecodes, before + 1);  // not decoded again at each paint
  EXPECT_FALSE(r.imageLoadable);
  EXPECT_EQ(ResultCode_getText(ResultCode_Message), Rect_imageErrorMessage);
  const std::string logged = ReadFileBytes(log);
  Errors_setProgramPath("");
  Errors_setLogName("errlog.txt");
  const std::string line = "test decoder cannot read:" + r.workImagePath;
  const size_t at = logged.find(line);
  EXPECT_NE(at, std::string::npos) << logged;
  EXPECT_EQ(logged.find(line, at + 1), std::string::npos) << logged;  // once
}

TEST_F(RectExImage, WorkingCopiesFollowTheSourceOnlyWhenNotEmbedded) {
  Rect_Ex r;
  image(r);
  draw(r);
  const std::string work = r.workImagePath;
  // Embedded: a changed source is not copied again.
  WriteFileBytes(dir.file("pic.png"), png(50, 20));
  const struct timespec old[2] = {{1000000, 0}, {1000000, 0}};  // the copy is older
  ASSERT_EQ(::utimensat(AT_FDCWD, work.c_str(), old, 0), 0);
  draw(r);
  EXPECT_EQ(ReadFileBytes(work), png(40, 30));
  // Not embedded: the newer source replaces the working copy.
  r.embedImage = false;
  draw(r);
  EXPECT_EQ(ReadFileBytes(work), png(50, 20));
  EXPECT_EQ(r.naturalWidth, 50);
  EXPECT_EQ(r.width, 40);  // the box keeps its size
  // The source gone: the working copy stays and is still shown.
  ASSERT_TRUE(FileX_deleteFile(dir.file("pic.png")));
  r.embedImage = true;
  r.RefreshWorkImage();
  EXPECT_TRUE(FileX_exists(work));
  r.DropImageCache();
  EXPECT_EQ(draw(r), (std::vector<std::string>{"bitmap 0,0,40,30"}));
}

TEST_F(RectExImage, DuplicatesOwnTheirWorkingCopy) {
  TempDir other;
  std::string originalWork;
  std::unique_ptr<CadPrim> undoCopy;
  std::unique_ptr<CadPrim> pasted;
  {
    Rect_Ex r;
    image(r);
    draw(r);
    originalWork = r.workImagePath;
    // An undo copy shares the file and never makes or deletes one.
    undoCopy = r.Clone(nullptr);
    undoCopy->SetIsCopy(true);
    auto* u = static_cast<Rect_Ex*>(undoCopy.get());
    EXPECT_FALSE(u->MakeOwnWorkingCopy());
    EXPECT_EQ(u->workImagePath, originalWork);
    // A duplicate in the same note gets a second file.
    std::unique_ptr<CadPrim> dup = r.Clone(nullptr);
    auto* d = static_cast<Rect_Ex*>(dup.get());
    d->SetNumber(6);
    ASSERT_TRUE(d->MakeOwnWorkingCopy());
    EXPECT_EQ(d->workImagePath, dir.path() + "/work/img_00000006_1.png");
    EXPECT_EQ(ReadFileBytes(d->workImagePath), png(40, 30));
    EXPECT_TRUE(d->cachedPicture().empty());
    // A figure pasted into another note copies into that note's folder.
    pasted = r.Clone(nullptr);
    auto* p = static_cast<Rect_Ex*>(pasted.get());
    p->setWorkFolder(other.path() + "/work");
    ASSERT_TRUE(p->MakeOwnWorkingCopy());
    EXPECT_EQ(p->workImagePath.rfind(other.path() + "/work/img_00000005_", 0), 0u);
  }
  // Destroying figures deletes no working file.
  EXPECT_TRUE(FileX_exists(originalWork));
  // Closing the first note (its work folder goes) leaves the pasted one whole.
  ASSERT_TRUE(FileX_deleteTree(dir.path() + "/work"));
  ASSERT_TRUE(FileX_deleteFile(dir.file("pic.png")));
  auto* p = static_cast<Rect_Ex*>(pasted.get());
  EXPECT_EQ(draw(*p), (std::vector<std::string>{"bitmap 0,0,40,30"}));
  EXPECT_TRUE(p->imageLoadable);
  // Nothing to copy: false, nothing changes.
  Rect_Ex none;
  EXPECT_FALSE(none.MakeOwnWorkingCopy());
}

}  // namespace
