#include "platform/images/image_writers.h"

#include <png.h>
// jpeglib.h needs FILE and size_t declared before it.
#include <cstdio>
#include <jpeglib.h>

#include <csetjmp>
#include <cstdlib>

#include "core/errors/errors.h"
#include "core/errors/except3.h"
#include "core/filex/filex_atomic.h"

namespace {

[[noreturn]] void cannotWrite(std::string_view path) {
  const std::string p(path);
  Errors_RAISE(FileX_Err_CannotWrite, "%s を開けません。", p.c_str());
}

void checkSize(int32_t width, int32_t height, std::string_view path) {
  // Sizes beyond what a format can hold are refused by the libraries.
  if (width <= 0 || height <= 0) cannotWrite(path);
}

// --- PNG -------------------------------------------------------------------

struct PngSink {
  std::string bytes;
  jmp_buf jump;
};

void pngWrite(png_structp png, png_bytep data, png_size_t length) {
  auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
  sink->bytes.append(reinterpret_cast<const char*>(data), length);
}
void pngFlush(png_structp) {}
void pngError(png_structp png, png_const_charp) {
  auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
  longjmp(sink->jump, 1);
}
void pngWarning(png_structp, png_const_charp) {}

// Everything the library touches between setjmp and longjmp lives in this
// function, which holds no object with a destructor.
bool encodePng(PngSink& sink, int32_t width, int32_t height, size_t rowBytes, const uint8_t* rgb) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, pngError, pngWarning);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(sink.jump) != 0) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &sink, pngWrite, pngFlush);
  // Pages are mostly flat colours: unfiltered rows at a middle level pack
  // them as small as the strongest level with adaptive filters does, about
  // twenty times faster.
  png_set_compression_level(png, 3);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int32_t y = 0; y < height; ++y) {
    png_write_row(png, const_cast<png_bytep>(rgb + rowBytes * static_cast<size_t>(y)));
  }
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return true;
}

// --- JPEG ------------------------------------------------------------------

// The library's own error manager ends the process; this one jumps back.
struct JpegError {
  jpeg_error_mgr base;
  jmp_buf jump;
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  longjmp(err->jump, 1);
}
void jpegOutput(j_common_ptr) {}

bool encodeJpeg(unsigned char*& out, unsigned long& outSize, int32_t width, int32_t height,
                size_t rowBytes, const uint8_t* rgb) {
  jpeg_compress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.base);
  err.base.error_exit = jpegErrorExit;
  err.base.output_message = jpegOutput;
  if (setjmp(err.jump) != 0) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &out, &outSize);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, FALSE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(rgb + rowBytes * cinfo.next_scanline);
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

// Replaces the file; any failure of the file layer becomes 365 with the
// message of an image that cannot be written.
void replace(std::string_view path, const std::string& bytes) {
  bool failed = false;
  Except_tryCatch([&] { FileX_replaceAtomically(path, bytes); },
                  [&](const Errors_Msg&) { failed = true; });
  if (failed) cannotWrite(path);
}

}  // namespace

std::string ImageWriters_encodePng(int32_t width, int32_t height, size_t rowBytes,
                                   const uint8_t* rgb, std::string_view path) {
  checkSize(width, height, path);
  PngSink sink;
  if (!encodePng(sink, width, height, rowBytes, rgb)) cannotWrite(path);
  return std::move(sink.bytes);
}

std::string ImageWriters_encodeJpeg(int32_t width, int32_t height, size_t rowBytes,
                                    const uint8_t* rgb, std::string_view path) {
  checkSize(width, height, path);
  unsigned char* out = nullptr;
  unsigned long size = 0;
  const bool ok = encodeJpeg(out, size, width, height, rowBytes, rgb);
  std::string bytes;
  if (ok && out != nullptr) bytes.assign(reinterpret_cast<const char*>(out), size);
  std::free(out);
  if (!ok || bytes.empty()) cannotWrite(path);
  return bytes;
}

void ImageWriters_savePng(int32_t width, int32_t height, size_t rowBytes, const uint8_t* rgb,
                          std::string_view path) {
  replace(path, ImageWriters_encodePng(width, height, rowBytes, rgb, path));
}

void ImageWriters_saveJpeg(int32_t width, int32_t height, size_t rowBytes, const uint8_t* rgb,
                           std::string_view path) {
  replace(path, ImageWriters_encodeJpeg(width, height, rowBytes, rgb, path));
}
