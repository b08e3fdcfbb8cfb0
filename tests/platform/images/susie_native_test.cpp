// Native plug-ins loaded from a folder, built by the test CMake file.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QImage>

#include <filesystem>

#include "core/susie/susie.h"
#include "platform/images/qt_image_decoder.h"
#include "support/test_support.h"

namespace {

using testing_support::CatchError;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

// A counter the fake plug-in exports, read from the loaded copy.
int pluginCounter(const std::string& libraryPath, const char* name) {
  void* h = dlopen(libraryPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (!h) return -1;
  auto fn = reinterpret_cast<int (*)()>(dlsym(h, name));
  int value = fn ? fn() : -1;
  dlclose(h);
  return value;
}

class SusieNativeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Susie_freeAll();
    namespace fs = std::filesystem;
    fs::copy_file(ZERBIN_TEST_SPI_FAKE, plugins.file("10-fake.so"));
    fs::copy_file(ZERBIN_TEST_SPI_INCOMPLETE, plugins.file("15-incomplete.so"));
    fs::copy_file(ZERBIN_TEST_SPI_PLAIN, plugins.file("20-Plain.Spi"));
    WriteFileBytes(plugins.file("05-junk.spi"), "this is no library");
    WriteFileBytes(plugins.file("30-notes.txt"), "");
    fs::create_directory(plugins.file("40-folder.so"));
  }
  void TearDown() override { Susie_freeAll(); }

  TempDir plugins;
  TempDir files;
};

TEST_F(SusieNativeTest, FolderPluginsComeBeforeTheBuiltInDecoderAndBrokenOnesAreSkipped) {
  QtImageDecoder_register();
  EXPECT_EQ(2, Susie_loadAll(plugins.path()));
  EXPECT_EQ((std::vector<std::string>{"Plain plug-in", "Fake plug-in", "Brevlo built-in image decoder"}),
            Susie_decoderNames());

  // A real PNG goes to the fake plug-in, which answers its own 3x2 picture
  // (24 bits, padded rows).
  std::string png = files.file("real.png");
  QImage real(5, 5, QImage::Format_RGB32);
  real.fill(Qt::red);
  ASSERT_TRUE(real.save(QString::fromLatin1(png.c_str()), "PNG"));
  Susie_Record& rec = Susie_decode(png);
  EXPECT_EQ(plugins.file("10-fake.so"), rec.libraryPath);
  ASSERT_TRUE(rec.bitmap);
  EXPECT_EQ(3, rec.width);
  EXPECT_EQ(2, rec.height);
  EXPECT_EQ(24, rec.depth);
  EXPECT_EQ((std::vector<uint32_t>{0xFF800201u, 0xFF80020Bu, 0xFF800215u, 0xFF800C01u,
                                   0xFF800C0Bu, 0xFF800C15u}),
            rec.bitmap->pixels);
  // Its info text and pixel block went back through FreePluginMemory.
  const std::string fake = plugins.file("10-fake.so");
  EXPECT_EQ(2, pluginCounter(fake, "FakePlugin_releases"));
  EXPECT_EQ(0, pluginCounter(fake, "FakePlugin_live"));

  // 32-bit pictures of a plug-in without FreePluginMemory (freed with free).
  std::string plain = files.file("x.plain");
  WriteFileBytes(plain, "PLAIN");
  EXPECT_EQ(0xFF800C15u, Susie_decode(plain).bitmap->pixel(2, 1));

  // The plug-in's error codes.
  std::string err1 = files.file("e1"), err2 = files.file("e2");
  WriteFileBytes(err1, "FAKEERR1");
  WriteFileBytes(err2, "FAKEERR2");
  Errors_Msg e = CatchError([&] { Susie_decode(err1); });
  EXPECT_EQ(Susie_Err_GetPictureInfo, e.code);
  EXPECT_STREQ("SPI_getPictureInfo エラー:5", e.message());
  e = CatchError([&] { Susie_decode(err2); });
  EXPECT_EQ(Susie_Err_GetPicture, e.code);
  EXPECT_STREQ("SPI_getPicture エラー:4", e.message());

  // Loading again replaces the folder's plug-ins; the built-in one stays.
  EXPECT_EQ(0, Susie_loadAll(""));
  EXPECT_EQ((std::vector<std::string>{"Brevlo built-in image decoder"}), Susie_decoderNames());
  EXPECT_EQ(0xFFFF0000u, Susie_decode(png).bitmap->pixel(4, 4));
}

TEST_F(SusieNativeTest, LoadingOnePluginRaisesWhenItCannotLoad) {
  std::string junk = plugins.file("05-junk.spi");
  Errors_Msg e = CatchError([&] { Susie_loadPlugin(junk); });
  EXPECT_EQ(Susie_Err_CannotLoadSPI, e.code);
  EXPECT_EQ("プラグインがロードできません:" + junk, e.message());
  e = CatchError([&] { Susie_loadPlugin(plugins.file("15-incomplete.so")); });
  EXPECT_EQ(Susie_Err_CannotLoadSPI, e.code);
  EXPECT_TRUE(Susie_decoderNames().empty());
  Susie_loadPlugin(plugins.file("10-fake.so"));
  EXPECT_EQ((std::vector<std::string>{"Fake plug-in"}), Susie_decoderNames());
}

}  // namespace
