/* The entry points of a native image plug-in (a shared library with the
 * extension ".so" or ".spi" in the plug-in folder), as plain C.
 *
 * A plug-in exports the four functions below with C linkage, and may
 * export a fifth, FreePluginMemory.  Conventions:
 * - Paths are the operating system's file names (UTF-8), NUL-terminated.
 *   The texts of GetPluginInfo are UTF-8 as well.
 * - offset and flag are always 0: the path names a file and the picture
 *   starts at its first byte.
 * - Results: SUSIE_OK (0) is success; any other value is the plug-in's
 *   error code, shown to the user in the error text.  The SUSIE_ERR_
 *   values below are the usual ones.
 * - Memory handed to the host (the info text of the picture information,
 *   the pixel block of a picture) is allocated by the plug-in and released
 *   by the host exactly once: with FreePluginMemory when the plug-in
 *   exports it, else with free() (so then it must come from malloc).  After
 *   a failing call the host releases nothing: the plug-in must not leave
 *   memory in the out structures then.
 */
#ifndef ZERBIN_SUSIE_PLUGIN_ABI_H
#define ZERBIN_SUSIE_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
  SUSIE_OK = 0,
  SUSIE_ERR_NOT_IMPLEMENTED = -1,
  SUSIE_ERR_ABORTED = 1,       /* the progress callback asked to stop */
  SUSIE_ERR_UNKNOWN_FORMAT = 2,
  SUSIE_ERR_BROKEN_DATA = 3,
  SUSIE_ERR_NO_MEMORY = 4,
  SUSIE_ERR_MEMORY = 5,
  SUSIE_ERR_FILE_READ = 6,
  SUSIE_ERR_INTERNAL = 8
};

/* Filled by GetPictureInfo.  colour_depth is the bits per pixel of the
 * picture as stored in the file (1, 4, 8, 24, 32...).  info_text is an
 * optional NUL-terminated text (comments of the file) or NULL. */
typedef struct SusiePictureInfo {
  int32_t left;
  int32_t top;
  int32_t width;
  int32_t height;
  int32_t x_density;
  int32_t y_density;
  int32_t colour_depth;
  char* info_text;
} SusiePictureInfo;

/* Filled by GetPicture.  Rows run top-down, `stride` bytes apart
 * (stride >= width * bits_per_pixel / 8).  bits_per_pixel is 32 or 24:
 *   32: one uint32_t per pixel in host byte order, 0xAARRGGBB
 *       (alpha 0xFF = opaque; the host honours the alpha);
 *   24: three bytes per pixel, blue, green, red (opaque).
 * `pixels` is the plug-in's block, released as said above. */
typedef struct SusieBitmap {
  int32_t width;
  int32_t height;
  int32_t bits_per_pixel;
  int32_t stride;
  void* pixels;
} SusieBitmap;

/* Called by the plug-in now and then while decoding; a non-zero result
 * asks it to stop (SUSIE_ERR_ABORTED).  The host passes NULL. */
typedef int (*SusieProgressCallback)(int num, int denom, intptr_t data);

/* Text number `info_no` into buf (at most buflen bytes including the NUL):
 * 0 the interface version ("00IN"), 1 the plug-in's name, 2n+2 the
 * extension pattern of format n ("*.png"), 2n+3 its description.  Returns
 * the length written, 0 when there is no such text. */
typedef int (*SusieGetPluginInfoFn)(int info_no, char* buf, int buflen);
/* Non-zero when the plug-in can decode the file; `head` holds its first
 * 2048 bytes, padded with zeros. */
typedef int (*SusieIsSupportedFn)(const char* path, const unsigned char* head);
typedef int (*SusieGetPictureInfoFn)(const char* path, long offset, unsigned int flag,
                                     SusiePictureInfo* info);
typedef int (*SusieGetPictureFn)(const char* path, long offset, unsigned int flag,
                                 SusieBitmap* bitmap, SusieProgressCallback progress,
                                 intptr_t data);
typedef void (*SusieFreePluginMemoryFn)(void* block);

#define SUSIE_HEAD_SIZE 2048

#ifdef __cplusplus
}
#endif

#endif /* ZERBIN_SUSIE_PLUGIN_ABI_H */
