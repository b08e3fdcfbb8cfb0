// Image decoders ("plug-ins"): a process-wide list of decoders, newest
// first, that turn picture files into Bitmaps for the image figures.
//
// The application registers its built-in decoder at start-up and then calls
// Susie_loadAll on the plug-in folder, so that native plug-ins found there
// are newer and asked first.  Susie_decode asks the decoders in list order
// and keeps the picture in the record of the decoder that accepted the file.
//
// Every failure is raised with the codes 22760-22763 and is meant to be
// caught by the caller (a picture that cannot be shown gets a placeholder);
// none of them goes to the fatal stop here.
//
// The list is guarded by a lock, but records and their pictures are meant
// for the UI thread.  A record stays valid until Susie_loadAll drops the
// plug-ins it loaded earlier, or Susie_freeAll.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/surface/surface.h"
#include "core/susie/susie_plugin_abi.h"

// Size, and bits per pixel as stored in the file, of a picture.
struct Susie_PictureInfo {
  int32_t width = 0;
  int32_t height = 0;
  int32_t depth = 0;
};

// One decoder.  The results of pictureInfo and picture are 0 for success or
// the decoder's own error code (the SUSIE_ERR_ values are the usual ones).
// Paths are the program's CP932 text.
class Susie_Decoder {
 public:
  virtual ~Susie_Decoder() = default;
  // Text number `number`: 0 the interface version, 1 the name, 2n+2 the
  // extension pattern of format n, 2n+3 its description; "" when none.
  virtual std::string info(int number) = 0;
  // Whether the decoder takes the file; `head` is its first 2048 bytes,
  // padded with zeros.
  virtual bool isSupported(std::string_view path, std::span<const uint8_t, SUSIE_HEAD_SIZE> head) = 0;
  virtual int pictureInfo(std::string_view path, Susie_PictureInfo& info) = 0;
  // On success `bitmap` holds the picture; its deleter is how the decoder
  // learns that the picture is no longer used.
  virtual int picture(std::string_view path, std::shared_ptr<const Bitmap>& bitmap) = 0;
};

// A decoder in the list with the picture it decoded last.
struct Susie_Record {
  std::unique_ptr<Susie_Decoder> decoder;
  std::string libraryPath;  // the plug-in file; "" for a registered decoder
  std::shared_ptr<const Bitmap> bitmap;  // the last decode, or none
  int32_t width = 0;  // of the last decode
  int32_t height = 0;
  int32_t depth = 0;
};

// Puts a decoder at the front of the list (it is asked first).
void Susie_register(std::unique_ptr<Susie_Decoder> decoder);

// Loads one native plug-in (see susie_plugin_abi.h) and puts it at the
// front of the list.  A library that cannot be loaded, or lacks one of the
// four entry points, raises 22760 "プラグインがロードできません:<path>";
// the reason goes to the log.
void Susie_loadPlugin(std::string_view path);

// Drops the plug-ins an earlier call loaded (registered decoders stay),
// then loads every file of `folder` whose extension is "so" or "spi" (ASCII
// case folded), in sorted name order, so the last name ends up first.
// Subfolders are not entered.  A plug-in that fails to load is logged and
// skipped.  An empty folder name loads nothing.  Returns how many loaded.
int Susie_loadAll(std::string_view folder);

// Decodes a file with the first decoder that accepts it, frees the picture
// of the previous decode and makes the record the current decoder.
// Raises 22761 "対応していない画像形式です:<path>" when no decoder accepts
// the file, 22762 "SPI_getPictureInfo エラー:<code>" and 22763
// "SPI_getPicture エラー:<code>" with the decoder's code.
Susie_Record& Susie_decode(std::string_view path);

// The record of the last successful decode, or nullptr.
Susie_Record* Susie_current();

// Draws the record's picture 1:1 at (0, 0).  Nothing without a picture.
void Susie_draw(const Susie_Record& record, Surface& surface);
// Draws the whole picture into the rectangle, smoothly scaled.
void Susie_drawScaled(const Susie_Record& record, Surface& surface, int x, int y, int width,
                      int height);

// Frees every picture and drops every decoder (plug-in libraries are
// unloaded).  Run at shut-down.
void Susie_freeAll();

// Text 1 (the name) of every decoder, in list order.
std::vector<std::string> Susie_decoderNames();
