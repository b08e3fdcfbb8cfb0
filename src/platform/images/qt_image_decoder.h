// The built-in image decoder: PNG, JPEG, GIF and BMP through QImageReader,
// offered to the decoder list of core/susie.
#pragma once

#include <memory>

#include "core/susie/susie.h"

class QtImageDecoder final : public Susie_Decoder {
 public:
  std::string info(int number) override;
  // Judged by the head alone (the signature of one of the four formats).
  bool isSupported(std::string_view path, std::span<const uint8_t, SUSIE_HEAD_SIZE> head) override;
  // Results: SUSIE_ERR_FILE_READ, SUSIE_ERR_UNKNOWN_FORMAT,
  // SUSIE_ERR_BROKEN_DATA or SUSIE_ERR_INTERNAL from the reader's error.
  int pictureInfo(std::string_view path, Susie_PictureInfo& info) override;
  // The first frame, with its alpha, as 0xAARRGGBB.
  int picture(std::string_view path, std::shared_ptr<const Bitmap>& bitmap) override;
};

// Puts the built-in decoder into the list.  The application calls it at
// start-up, before Susie_loadAll, so that native plug-ins are asked first.
void QtImageDecoder_register();
