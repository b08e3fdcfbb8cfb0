// PNG and JPEG files of a picture given as rows of RGB bytes (3 bytes a
// pixel, rows from the top).  The file is encoded in memory and then
// written in one piece beside the target and renamed over it, so a failure
// leaves no half-written image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The encoded bytes; raise FileX_Err_CannotWrite (365) with the path when
// the library refuses the picture.
std::string ImageWriters_encodePng(int32_t width, int32_t height, size_t rowBytes,
                                   const uint8_t* rgb, std::string_view path);
std::string ImageWriters_encodeJpeg(int32_t width, int32_t height, size_t rowBytes,
                                    const uint8_t* rgb, std::string_view path);

// SavePng / SaveJpeg: encode and replace `path`.  Raise 365 with
// "%s を開けません。" and the path when the file cannot be written.
void ImageWriters_savePng(int32_t width, int32_t height, size_t rowBytes, const uint8_t* rgb,
                          std::string_view path);
void ImageWriters_saveJpeg(int32_t width, int32_t height, size_t rowBytes, const uint8_t* rgb,
                           std::string_view path);
