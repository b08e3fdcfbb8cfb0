// A native image plug-in for the loader tests, built as a shared module.
//
// It takes files that start with the PNG signature or with "FAKE" (so it
// competes with the built-in decoder) and answers every one with the same
// 3x2 picture: pixel (x, y) = 0xFF80yyxx with yy = 10y+2, xx = 10x+1.
// Files that start with "FAKEERR1" / "FAKEERR2" fail the picture
// information (5) / the picture (4).
//
// Built with FAKE_PLAIN it takes only files that start with "PLAIN",
// answers 32 bits per pixel and exports no FreePluginMemory, so the host
// releases its blocks with free().
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/susie/susie_plugin_abi.h"

namespace {

int releases = 0;  // blocks released through FreePluginMemory
int live = 0;      // blocks handed out and not yet released

void* handOut(size_t size) {
  ++live;
  return std::calloc(1, size);
}

// The first bytes of the file ("" when it cannot be read).
bool startsWith(const char* path, const char* magic) {
  char buf[16] = {};
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  size_t n = std::fread(buf, 1, sizeof buf - 1, f);
  std::fclose(f);
  size_t len = std::strlen(magic);
  return n >= len && std::memcmp(buf, magic, len) == 0;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int GetPluginInfo(int info_no, char* buf, int buflen) {
#ifdef FAKE_PLAIN
  const char* texts[] = {"00IN", "Plain plug-in"};
#else
  const char* texts[] = {"00IN", "Fake plug-in"};
#endif
  if (info_no < 0 || info_no > 1 || buflen <= 0) return 0;
  std::snprintf(buf, static_cast<size_t>(buflen), "%s", texts[info_no]);
  return static_cast<int>(std::strlen(buf));
}

__attribute__((visibility("default"))) int IsSupported(const char*, const unsigned char* head) {
#ifdef FAKE_PLAIN
  return std::memcmp(head, "PLAIN", 5) == 0;
#else
  return std::memcmp(head, "\x89PNG", 4) == 0 || std::memcmp(head, "FAKE", 4) == 0;
#endif
}

__attribute__((visibility("default"))) int GetPictureInfo(const char* path, long, unsigned int,
                                                          SusiePictureInfo* info) {
  if (startsWith(path, "FAKEERR1")) return 5;
  std::memset(info, 0, sizeof *info);
  info->width = 3;
  info->height = 2;
  info->colour_depth = 24;
  info->info_text = static_cast<char*>(handOut(8));
  std::strcpy(info->info_text, "fake");
  return SUSIE_OK;
}

__attribute__((visibility("default"))) int GetPicture(const char* path, long, unsigned int,
                                                      SusieBitmap* bitmap, SusieProgressCallback,
                                                      intptr_t) {
  if (startsWith(path, "FAKEERR2")) return 4;
#ifdef FAKE_PLAIN
  const int bpp = 32, stride = 3 * 4;
#else
  const int bpp = 24, stride = 12;  // 9 bytes of pixels, padded
#endif
  auto* px = static_cast<unsigned char*>(handOut(static_cast<size_t>(stride) * 2));
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      unsigned int argb = 0xFF800000u | static_cast<unsigned>(10 * y + 2) << 8 | static_cast<unsigned>(10 * x + 1);
      unsigned char* p = px + y * stride + x * (bpp / 8);
      if (bpp == 32) {
        std::memcpy(p, &argb, 4);
      } else {
        p[0] = argb & 0xFF;
        p[1] = (argb >> 8) & 0xFF;
        p[2] = (argb >> 16) & 0xFF;
      }
    }
  bitmap->width = 3;
  bitmap->height = 2;
  bitmap->bits_per_pixel = bpp;
  bitmap->stride = stride;
  bitmap->pixels = px;
  return SUSIE_OK;
}

#ifndef FAKE_PLAIN
__attribute__((visibility("default"))) void FreePluginMemory(void* block) {
  ++releases;
  --live;
  std::free(block);
}
#endif

// For the tests: what the host gave back.
__attribute__((visibility("default"))) int FakePlugin_releases(void) { return releases; }
__attribute__((visibility("default"))) int FakePlugin_live(void) { return live; }

}  // extern "C"
