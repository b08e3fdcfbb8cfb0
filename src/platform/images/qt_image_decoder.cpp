#include "platform/images/qt_image_decoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QImageReader>

#include <cstring>
#include <optional>

#include "core/strx/codepage.h"

namespace {

// The formats this decoder answers for (QImageReader's names).
bool isOwnFormat(const QByteArray& format) {
  return format == "png" || format == "jpeg" || format == "jpg" || format == "gif" ||
         format == "bmp";
}

int resultOf(QImageReader::ImageReaderError error) {
  switch (error) {
    case QImageReader::FileNotFoundError:
    case QImageReader::DeviceError: return SUSIE_ERR_FILE_READ;
    case QImageReader::UnsupportedFormatError: return SUSIE_ERR_UNKNOWN_FORMAT;
    case QImageReader::InvalidDataError: return SUSIE_ERR_BROKEN_DATA;
    default: return SUSIE_ERR_INTERNAL;
  }
}

std::optional<QString> qtPath(std::string_view path) {
  std::optional<std::string> os = Cp932_toOsPath(path);
  if (!os) return std::nullopt;
  return QFile::decodeName(QByteArray::fromStdString(*os));
}

}  // namespace

std::string QtImageDecoder::info(int number) {
  switch (number) {
    case 0: return "00IN";
    case 1: return "Brevlo built-in image decoder";
    case 2: return "*.png";
    case 3: return "PNG";
    case 4: return "*.jpg;*.jpeg";
    case 5: return "JPEG";
    case 6: return "*.gif";
    case 7: return "GIF";
    case 8: return "*.bmp";
    case 9: return "BMP";
    default: return "";
  }
}

bool QtImageDecoder::isSupported(std::string_view, std::span<const uint8_t, SUSIE_HEAD_SIZE> head) {
  QByteArray bytes(reinterpret_cast<const char*>(head.data()), static_cast<qsizetype>(head.size()));
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  return isOwnFormat(QImageReader::imageFormat(&buffer));
}

int QtImageDecoder::pictureInfo(std::string_view path, Susie_PictureInfo& info) {
  std::optional<QString> p = qtPath(path);
  if (!p) return SUSIE_ERR_FILE_READ;
  QImageReader reader(*p);
  if (!reader.canRead()) return resultOf(reader.error());
  QSize size = reader.size();
  if (!size.isValid() || size.isEmpty()) return SUSIE_ERR_BROKEN_DATA;
  info.width = size.width();
  info.height = size.height();
  QImage::Format format = reader.imageFormat();
  info.depth = format == QImage::Format_Invalid ? 32 : QImage::toPixelFormat(format).bitsPerPixel();
  return SUSIE_OK;
}

int QtImageDecoder::picture(std::string_view path, std::shared_ptr<const Bitmap>& bitmap) {
  std::optional<QString> p = qtPath(path);
  if (!p) return SUSIE_ERR_FILE_READ;
  QImageReader reader(*p);
  QImage image = reader.read();
  if (image.isNull()) return resultOf(reader.error());
  image = image.convertToFormat(QImage::Format_ARGB32);
  if (image.isNull()) return SUSIE_ERR_NO_MEMORY;
  auto out = std::make_shared<Bitmap>(image.width(), image.height());
  const size_t rowBytes = static_cast<size_t>(image.width()) * 4;
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(out->pixels.data() + static_cast<size_t>(y) * image.width(), image.constScanLine(y),
                rowBytes);
  bitmap = std::move(out);
  return SUSIE_OK;
}

void QtImageDecoder_register() { Susie_register(std::make_unique<QtImageDecoder>()); }
